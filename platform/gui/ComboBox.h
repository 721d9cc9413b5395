#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The "ComboBox" class over a Qt combo box: strings with item data, sorted with CBS_SORT, a
// drop-down list (CBS_DROPDOWNLIST) or a field the user types into (CBS_DROPDOWN, an "Edit" child
// with id 1001) above a list that drops below it. The height the window is made or moved with is
// the height with the list dropped; the window itself keeps the height of its field.
//
// Only what the user does is reported to the parent: choosing an entry with the mouse or the keys
// gives CBN_SELCHANGE, typing gives CBN_EDITUPDATE then CBN_EDITCHANGE, and dropping and closing
// the list give CBN_DROPDOWN, CBN_SELENDOK or CBN_SELENDCANCEL, and CBN_CLOSEUP. Messages that
// change the selection or the text report nothing.
LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
