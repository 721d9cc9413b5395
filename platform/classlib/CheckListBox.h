#pragma once

#include "platform/classlib/ListBox.h"

#include <vector>

namespace vq {

// Sent to the parent, with WM_COMMAND, when the user checks or unchecks an item.
inline constexpr UINT CLBN_CHKCHANGE = 40;

// A list box whose items carry a check box before their text. Its window is owner-drawn with
// fixed height and strings (Create adds those styles; a list subclassed from a template must have
// them). A click in an item's box, or Space on the focused item, toggles the box and tells the
// parent once with CLBN_CHKCHANGE; a click on the text only selects; SetCheck tells nobody.
class CCheckListBox : public CListBox {
    VQ_DECLARE_RUNTIME_CLASS(CCheckListBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // 1 checked, 0 not; -1 for an index outside the list.
    int GetCheck(int index);
    // Any nonzero check checks the item; FALSE for an index outside the list.
    BOOL SetCheck(int index, int check);

    void DrawItem(DRAWITEMSTRUCT* item) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Items added before the window was subclassed start unchecked.
    void Sync();
    bool InCheckBox(int index, POINT client) const;
    void RedrawItem(int index) const;
    void Toggle(int index);

    std::vector<int> m_checks;
};

} // namespace vq
