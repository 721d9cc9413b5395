#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The "Edit" class over a Qt line edit, or with ES_MULTILINE a Qt plain-text edit whose lines end
// in "\r\n". Its default handling of WM_KEYDOWN gives the widget the key without text (moving,
// selecting, Delete), of WM_CHAR the text only (Backspace is WM_CHAR 8; Ctrl+C, Ctrl+V, Ctrl+X and
// Ctrl+Z are 3, 22, 24 and 26, sent on to the window as WM_COPY, WM_PASTE, WM_CUT and WM_UNDO;
// Enter and Tab begin a line and insert a tab where there are lines), so a subclass decides what
// reaches it. A change the user makes, or WM_CUT, WM_PASTE, WM_CLEAR, WM_UNDO or EM_REPLACESEL, is
// reported with EN_UPDATE, then EN_CHANGE; WM_SETTEXT and selection changes are not. Positions
// count bytes of the UTF-8 text.
LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
