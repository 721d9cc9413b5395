#include "toolkit/lists/TkTreeCtrl.h"

#include "platform/classlib/DataExchange.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Messages.h"

namespace vq {

namespace {

constexpr std::uintptr_t HoverTimer = 4;

POINT PointOf(LPARAM lParam) {
    return POINT{std::int16_t(LOWORD(std::uintptr_t(lParam))), std::int16_t(HIWORD(std::uintptr_t(lParam)))};
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkTreeCtrl, TkListCtrl)

VQ_BEGIN_MESSAGE_MAP(TkTreeCtrl, TkTreeBaseC)
VQ_ON_MESSAGE(WM_DESTROY, OnTreeDestroy)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnTreeLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnTreeLButtonDblClk)
VQ_ON_MESSAGE(WM_TIMER, OnTreeTimer)
VQ_ON_MESSAGE(WM_CHAR, OnTreeChar)
VQ_END_MESSAGE_MAP()

LRESULT TkTreeCtrl::OnTreeDestroy(WPARAM wParam, LPARAM lParam) {
    DeleteItem(TVI_ROOT);
    return OnDestroy(wParam, lParam);
}

void TkTreeCtrl::HideTip() {
    if (TkListTip* tip = GetTip()) tip->Hide();
}

LRESULT TkTreeCtrl::OnTreeLButtonDown(WPARAM keys, LPARAM lParam) {
    // A click that lands while a label tip shows activates the frame as a click on the tree would.
    if (TkListTip* tip = GetTip(); tip && tip->m_hWnd && IsWindowVisible(tip->m_hWnd)) {
        CWinApp* app = AfxGetApp();
        const HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : 0;
        SendMessage(WM_MOUSEACTIVATE, WPARAM(main), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    }
    if (GetFocus() != m_hWnd) SetFocus(m_hWnd);
    TreeItemNode* old = GetCaretItem();
    UINT flags = 0;
    TreeItemNode* hit = HitTest(PointOf(lParam), &flags);
    if ((treeStyle_ & TVS_SINGLEEXPAND) && old && hit) {
        const LRESULT result = OnLButtonDown(keys, lParam);
        TreeItemNode* now = GetCaretItem();
        if (now == old && now == hit) {
            Expand(hit, TVE_TOGGLE, TRUE, FALSE);
        } else if (now == hit) {
            if (IsValidItem(old) && old->IsExpanded() && !old->IsAncestorOf(hit))
                Expand(old, TVE_COLLAPSE, TRUE, FALSE);
            if (IsValidItem(hit)) Expand(hit, TVE_EXPAND, TRUE, FALSE);
        }
        return result;
    }
    // A click on the box opens or closes the item and leaves the selection alone.
    if (flags & TVHT_ONITEMBUTTON) {
        Expand(hit, TVE_TOGGLE, TRUE, FALSE);
        return 0;
    }
    return OnLButtonDown(keys, lParam);
}

LRESULT TkTreeCtrl::OnTreeLButtonDblClk(WPARAM keys, LPARAM lParam) {
    const LRESULT result = OnLButtonDblClk(keys, lParam);
    if (LastNotifyResult() || (keys & (MK_SHIFT | MK_CONTROL))) return result;
    UINT flags = 0;
    TreeItemNode* hit = HitTest(PointOf(lParam), &flags);
    if (hit && (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMBUTTON)))
        Expand(hit, TVE_TOGGLE, TRUE, FALSE);
    return result;
}

// The hover timer has an id of its own, so the list's timers, type-ahead among them, run on.
LRESULT TkTreeCtrl::OnTreeTimer(WPARAM id, LPARAM lParam) {
    if (id != HoverTimer) return OnTimer(id, lParam);
    KillTimer(m_hWnd, HoverTimer);
    hoverTimer_ = 0;
    if (!(treeExStyle_ & TreeExHoverExpand)) return 0;
    TreeItemNode* target = GetDropHilightItem();
    if (target && !target->IsExpanded()) {
        Expand(target, TVE_EXPAND, TRUE, FALSE);
        UpdateWindow(m_hWnd);
    }
    return 0;
}

// These characters expand and collapse through their keys; they never start a search.
LRESULT TkTreeCtrl::OnTreeChar(WPARAM character, LPARAM lParam) {
    if (character == '+' || character == '-' || character == '=' || character == '_') return 0;
    return OnChar(character, lParam);
}

void TkTreeCtrl::CollapseOrUp(std::int32_t focus) {
    TreeItemNode* node = NodeOfRow(focus);
    if (!node) return;
    if ((node->FirstChild() || ReportsChildren(node)) && node->IsExpanded()) {
        Expand(node, TVE_COLLAPSE, TRUE, FALSE);
        HideTip();
        return;
    }
    TreeItemNode* parent = node->Parent();
    if (!parent || parent == root_.get()) return;
    DeselectAllExcept(-1);
    Select(parent, TVGN_CARET);
    HideTip();
}

void TkTreeCtrl::OnKeyLeft(std::int32_t focus, std::int32_t, BOOL, BOOL, UINT, UINT) {
    CollapseOrUp(focus);
}

void TkTreeCtrl::OnKeyBack(std::int32_t focus, std::int32_t, BOOL, BOOL, UINT, UINT) {
    CollapseOrUp(focus);
}

void TkTreeCtrl::OnKeyRight(std::int32_t focus, std::int32_t, BOOL, BOOL, UINT, UINT) {
    TreeItemNode* node = NodeOfRow(focus);
    if (!node) return;
    if (node->IsExpanded() && node->FirstChild()) {
        DeselectAllExcept(-1);
        Select(node->FirstChild(), TVGN_CARET);
    } else if (!node->IsExpanded() && (node->FirstChild() || ReportsChildren(node))) {
        Expand(node, TVE_EXPAND, TRUE, FALSE);
    }
    HideTip();
}

void TkTreeCtrl::OnKeyMultiply(std::int32_t focus, std::int32_t, BOOL, BOOL, UINT, UINT) {
    if (TreeItemNode* node = NodeOfRow(focus)) ExpandAll(node, TRUE);
}

TkListEdit* TkTreeCtrl::EditLabel(HTREEITEM item, std::int32_t subItem) {
    if (!HasListStyle(LVS_EDITLABELS)) return nullptr;
    const std::int32_t row = RowOfNode(Resolve(item));
    if (row < 0) return nullptr;
    std::int32_t column = 0;
    for (std::int32_t c = 0; c < GetColumnCount(); ++c)
        if (GetColumnSubItem(c) == subItem) column = c;
    return TkListBaseC::EditLabel(row, column);
}

BOOL TkTreeCtrl::ReplaceDlgItem(UINT id, CWnd* dialog) {
    if (!dialog || !dialog->m_hWnd) return FALSE;
    HWND child = ::vq::GetDlgItem(dialog->m_hWnd, int(id));
    if (!child) return FALSE;
    const DWORD style = DWORD(GetWindowLongPtr(child, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongPtr(child, GWL_EXSTYLE));
    HWND before = GetWindow(child, GW_HWNDPREV);
    RECT rect;
    ::vq::GetWindowRect(child, &rect);
    POINT topLeft{rect.left, rect.top}, bottomRight{rect.right, rect.bottom};
    ScreenToClient(dialog->m_hWnd, &topLeft);
    ScreenToClient(dialog->m_hWnd, &bottomRight);
    ::vq::DestroyWindow(child);
    if (!Create(style, exStyle | TreeExTips, RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, dialog,
                id))
        return FALSE;
    if (before) SetWindowPos(m_hWnd, before, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    return TRUE;
}

void DDX_ReplaceTreeCtrl(CDataExchange* exchange, UINT id, TkTreeCtrl& tree) {
    if (tree.m_hWnd) return;
    if (!tree.ReplaceDlgItem(id, exchange->m_pDlgWnd))
        exchange->Fail("The tree control could not be put in place.");
}

} // namespace vq
