#pragma once

#include "platform/gui/ListViewTypes.h"

namespace vq {

// The "SysListView32" class in report view over a Qt tree widget: columns, items with a text, a
// small image, a data value and a state, sub-item texts, single (LVS_SINGLESEL) or multiple
// selection. Only what the user does is reported to the parent: LVN_ITEMCHANGED per item whose
// focus or selection a click or key changed, NM_CLICK, NM_DBLCLK and NM_RCLICK with the row
// under the pointer, LVN_COLUMNCLICK for a heading pressed and released. Insertions, deletions,
// state changes and sorting by message report nothing. The list never destroys its image lists.
LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
