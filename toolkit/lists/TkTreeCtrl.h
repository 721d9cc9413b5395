#pragma once

#include "toolkit/lists/TkTreeBaseC.h"

namespace vq {

class CDataExchange;

// The tree window: the mouse, keys, timers and label edits of the tree on top of the list's.
class TkTreeCtrl : public TkTreeBaseC {
    VQ_DECLARE_RUNTIME_CLASS(TkTreeCtrl)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Takes the place, style and id of the dialog's child, which it replaces, and its place in the
    // Tab order; FALSE when there is no such child or the tree cannot be made.
    BOOL ReplaceDlgItem(UINT id, CWnd* dialog) override;
    using TkListBaseC::EditLabel;
    TkListEdit* EditLabel(HTREEITEM item, std::int32_t subItem = 0);

    void OnKeyLeft(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                   UINT flags) override;
    void OnKeyBack(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                   UINT flags) override;
    void OnKeyRight(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                    UINT flags) override;
    void OnKeyMultiply(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                       UINT flags) override;

protected:
    LRESULT OnTreeDestroy(WPARAM, LPARAM);
    LRESULT OnTreeLButtonDown(WPARAM, LPARAM);
    LRESULT OnTreeLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnTreeTimer(WPARAM, LPARAM);
    LRESULT OnTreeChar(WPARAM, LPARAM);

    // Collapses an expanded item with children, else goes to its parent.
    void CollapseOrUp(std::int32_t focus);
    void HideTip();
};

// Puts the tree in place of the dialog's item when it has no window yet; the exchange fails when
// the item is missing.
void DDX_ReplaceTreeCtrl(CDataExchange* exchange, UINT id, TkTreeCtrl& tree);

} // namespace vq
