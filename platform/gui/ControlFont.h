#pragma once

#include "platform/gui/GdiObject.h"
#include "platform/gui/WindowSystem.h"

namespace vq {

// The font of a standard control, whichever class draws it. WM_SETFONT stores the handle (none for
// the default face) and answers false for a handle that is no live font, which leaves the font as
// it was; WM_GETFONT gives the handle back exactly as it came.
bool SetControlFont(HWND window, HFONT font);
HFONT ControlFont(HWND window);
// What the control's text is drawn with: its font while that lives, else the face of the layer's
// own controls.
HFONT DrawingFont(HWND window);
// WM_SETFONT of a control the layer draws itself: with the redraw flag, the control is drawn in
// the new font before the message returns.
LRESULT SetDrawnControlFont(HWND window, HFONT font, bool redraw);

} // namespace vq
