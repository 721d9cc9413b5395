#include "toolkit/lists/TkTabWndBase.h"

#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkTabWndBase, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkTabWndBase, CWnd)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_ON_MESSAGE(WM_CHILDACTIVATE, OnChildActivate)
VQ_ON_MESSAGE(TKTAB_ACTIVATED, OnTabActivated)
VQ_ON_MESSAGE(TKTAB_ACTIVECLICKED, OnActiveTabClicked)
VQ_END_MESSAGE_MAP()

namespace {

// Tab windows paint all of their client area themselves or through their children.
const char* TabWindowClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.lpszClassName = "VqTabWindow";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqTabWindow" : nullptr;
}

} // namespace

TkTabWndBase::TkTabWndBase() = default;
TkTabWndBase::~TkTabWndBase() = default;

BOOL TkTabWndBase::CreateEx(DWORD, const char*, const char*, DWORD style, const RECT&, CWnd* parent,
                            UINT id) {
    return Create(parent, style, id);
}

BOOL TkTabWndBase::Create(CWnd* parent, DWORD style, UINT id) {
    style &= ~(WS_HSCROLL | WS_VSCROLL);
    m_pNotifyWnd = parent;
    if (!m_hWnd && !CWnd::CreateEx(0, TabWindowClassName(), "", style, RECT{0, 0, 0, 0}, parent, id))
        return FALSE;
    BOOL made = FALSE;
    try {
        made = CreateTabCtrl(style, TKTAB_STRIP_ID);
    } catch (const ResourceException&) {
        made = FALSE;
    }
    if (!made) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL TkTabWndBase::CreateScrollBar(DWORD style, UINT id) {
    RegisterStandardControls();
    return ::vq::CreateWindowEx(0, "ScrollBar", "", style | WS_CHILD, 0, 0, 1, 1, m_hWnd, id, nullptr) != 0;
}

CWnd* TkTabWndBase::CreateView(const RuntimeClass* viewClass, CCreateContext* context, UINT id) {
    if (!viewClass) return nullptr;
    std::unique_ptr<Object> object = viewClass->CreateObject();
    auto* window = dynamic_cast<CWnd*>(object.get());
    if (!window) return nullptr;
    auto* view = dynamic_cast<CView*>(window);
    m_pCreatingWnd = window;
    if (view) view->SetCreatingInFrame(true);
    const BOOL created =
        window->CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, this, id);
    if (view) view->SetCreatingInFrame(false);
    if (!created) {
        m_pCreatingWnd = nullptr;
        return nullptr;
    }
    m_pCreatingWnd = nullptr;
    // From here on the window owns its object.
    object.release();
    if (view && context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(view);
    return window;
}

TkTab* TkTabWndBase::InsertTab(const RuntimeClass* viewClass, int index, const char* label,
                               CCreateContext* context, UINT id) {
    if (index < 0 || index > GetTabCount()) return nullptr;
    if (id == UINT(-1)) id = TKTAB_FIRST_VIEW_ID + UINT(GetTabCount());
    CWnd* window = CreateView(viewClass, context, id);
    return window ? InsertTab(window, index, label) : nullptr;
}

TkTab* TkTabWndBase::InsertTab(CWnd* window, int index, const char* label) {
    if (!m_pTabCtrl) return nullptr;
    TkTab* tab = m_pTabCtrl->InsertTab(index, label, window, nullptr, nullptr);
    if (tab) SetScrollStyle(index, 0);
    return tab;
}

TkTab* TkTabWndBase::AddTab(const RuntimeClass* viewClass, const char* label, CCreateContext* context,
                            UINT id) {
    if (id == UINT(-1)) id = TKTAB_FIRST_VIEW_ID + UINT(GetTabCount());
    CWnd* window = CreateView(viewClass, context, id);
    return window ? AddTab(window, label) : nullptr;
}

TkTab* TkTabWndBase::AddTab(CWnd* window, const char* label) {
    if (!m_pTabCtrl) return nullptr;
    TkTab* tab = m_pTabCtrl->AddTab(label, window, nullptr, nullptr);
    SetScrollStyle(GetTabCount() - 1, 0);
    return tab;
}

void TkTabWndBase::SetTabIcon(int index, const char* resource, int cx, int cy) {
    if (IsValidIndex(index)) m_pTabCtrl->SetTabIcon(index, resource, cx, cy);
}

void TkTabWndBase::SetTabIcon(int index, UINT resourceId, int cx, int cy) {
    if (IsValidIndex(index)) m_pTabCtrl->SetTabIcon(index, resourceId, cx, cy);
}

void TkTabWndBase::SetTabIcon(int index, HICON icon) {
    if (IsValidIndex(index)) m_pTabCtrl->SetTabIcon(index, icon);
}

BOOL TkTabWndBase::RemoveTab(int index) {
    if (!IsValidIndex(index)) return FALSE;
    if (TabWindow(index) == m_pActiveWnd) m_pActiveWnd = nullptr;
    return m_pTabCtrl->RemoveTab(index);
}

BOOL TkTabWndBase::RemoveTab(CWnd* window) {
    int index = -1;
    return FindTab(window, index) && RemoveTab(index);
}

BOOL TkTabWndBase::RenameTab(int index, const char* label) {
    return IsValidIndex(index) && m_pTabCtrl->RenameTab(index, label);
}

BOOL TkTabWndBase::RenameTab(CWnd* window, const char* label) {
    int index = -1;
    return FindTab(window, index) && RenameTab(index, label);
}

BOOL TkTabWndBase::ActivateTab(int index) {
    return IsValidIndex(index) && ActivateTab(TabWindow(index), index);
}

BOOL TkTabWndBase::ActivateTab(CWnd* window) {
    int index = -1;
    return FindTab(window, index) && ActivateTab(window, index);
}

BOOL TkTabWndBase::ActivateTab(CWnd* window, int index) {
    if (!IsValidIndex(index)) return FALSE;
    CWnd* const old = m_pActiveWnd;
    m_pActiveWnd = window;
    int active = -1;
    // The strip's notification comes back here for the same tab before the strip returns.
    if (!m_pTabCtrl->GetActiveTab(active) || active != index) m_pTabCtrl->ActivateTab(index);
    // Every tab's window but the new one goes, including windows added while another was shown.
    if (old && old != window && ::vq::IsWindow(old->m_hWnd)) ShowWindow(old->m_hWnd, SW_HIDE);
    for (int i = 0; i < GetTabCount(); ++i)
        if (CWnd* other = TabWindow(i); other && other != window && ::vq::IsWindow(other->m_hWnd))
            ShowWindow(other->m_hWnd, SW_HIDE);
    if (window && ::vq::IsWindow(window->m_hWnd)) {
        ShowWindow(window->m_hWnd, SW_SHOW);
        SetFocus(m_hWnd);
        FocusWindow(window);
        if (auto* view = dynamic_cast<CView*>(window))
            if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(view, TRUE);
    }
    RecalcLayout();
    Invalidate(TRUE);
    return TRUE;
}

void TkTabWndBase::FocusWindow(CWnd* window) {
    SetFocus(window->m_hWnd);
    // Only a top-level window can be the active one; a child's frame already is.
    if (!(window->GetStyle() & WS_CHILD)) SetActiveWindow(window->m_hWnd);
}

void TkTabWndBase::FocusActiveTab() {
    int active = -1;
    if (!m_pTabCtrl || !m_pTabCtrl->GetActiveTab(active) || !m_pActiveWnd) return;
    if (auto* view = dynamic_cast<CView*>(m_pActiveWnd)) {
        if (CFrameWnd* frame = GetParentFrame()) {
            frame->SetActiveView(view, TRUE);
            // A view that already was the frame's active one hears nothing, yet must get the focus.
            if (GetFocus() != view->m_hWnd) SetFocus(view->m_hWnd);
            return;
        }
    }
    SetFocus(m_hWnd);
    FocusWindow(m_pActiveWnd);
}

void TkTabWndBase::ClearSelection() {
    if (m_pTabCtrl) m_pTabCtrl->ClearSelection();
}

void TkTabWndBase::ScrollToTab(int index) {
    if (IsValidIndex(index)) m_pTabCtrl->ScrollToTab(index);
}

void TkTabWndBase::ScrollToTab(CWnd* window) {
    int index = -1;
    if (FindTab(window, index)) ScrollToTab(index);
}

CWnd* TkTabWndBase::SetNotifyWnd(CWnd* window) {
    m_pNotifyWnd = window ? window : GetParent();
    return m_pNotifyWnd;
}

void TkTabWndBase::GetInsideRect(RECT& rect) const {
    GetClientRect(m_hWnd, &rect);
}

int TkTabWndBase::GetTabCount() const {
    return m_pTabCtrl ? m_pTabCtrl->GetTabCount() : 0;
}

BOOL TkTabWndBase::IsValidIndex(int index) const {
    return m_pTabCtrl && m_pTabCtrl->IsValidIndex(index);
}

BOOL TkTabWndBase::TabExists(CWnd* window) const {
    return m_pTabCtrl && m_pTabCtrl->TabExists(window);
}

BOOL TkTabWndBase::FindTab(CWnd* window, int& index) const {
    return m_pTabCtrl && m_pTabCtrl->FindTab(window, index);
}

BOOL TkTabWndBase::GetTabInfo(int index, const char*& label, BOOL& selected, CWnd*& window,
                              void*& extra) const {
    Object* client = nullptr;
    void* user1 = nullptr;
    if (!m_pTabCtrl || !m_pTabCtrl->GetTabInfo(index, label, selected, client, user1, extra)) return FALSE;
    window = dynamic_cast<CWnd*>(client);
    return TRUE;
}

BOOL TkTabWndBase::GetActiveTab(int& index) const {
    index = -1;
    return m_pTabCtrl && m_pTabCtrl->GetActiveTab(index);
}

BOOL TkTabWndBase::GetActiveWnd(CWnd*& window) const {
    int index = -1;
    if (!GetActiveTab(index)) return FALSE;
    window = TabWindow(index);
    return TRUE;
}

CWnd* TkTabWndBase::TabWindow(int index) const {
    TkTab* tab = m_pTabCtrl ? m_pTabCtrl->GetTab(index) : nullptr;
    return tab ? dynamic_cast<CWnd*>(tab->m_client) : nullptr;
}

TkTabWndBase* TkTabWndBase::FindTabWnd(CWnd* window) {
    for (CWnd* w = window ? window->GetParent() : nullptr; w; w = w->GetParent())
        if (auto* tabs = dynamic_cast<TkTabWndBase*>(w)) return tabs;
    return nullptr;
}

LRESULT TkTabWndBase::OnDestroy(WPARAM, LPARAM) {
    if (m_pTabCtrl) {
        if (m_pTabCtrl->m_hWnd) m_pTabCtrl->DestroyWindow();
        m_pTabCtrl.reset();
    }
    m_pActiveWnd = nullptr;
    return Default();
}

LRESULT TkTabWndBase::OnChildActivate(WPARAM, LPARAM) {
    FocusActiveTab();
    return 0;
}

LRESULT TkTabWndBase::OnTabActivated(WPARAM index, LPARAM) {
    if (IsValidIndex(int(index))) ActivateTab(TabWindow(int(index)), int(index));
    return 0;
}

LRESULT TkTabWndBase::OnActiveTabClicked(WPARAM, LPARAM) {
    FocusActiveTab();
    return 0;
}

void TkTabWndBase::ForwardActivation(WPARAM index, LPARAM record) {
    if (!IsValidIndex(int(index))) return;
    if (record) reinterpret_cast<TkTabActivation*>(record)->id = std::int32_t(GetDlgCtrlID());
    ActivateTab(TabWindow(int(index)), int(index));
    if (m_pNotifyWnd && m_pNotifyWnd->m_hWnd)
        ::vq::SendMessage(m_pNotifyWnd->m_hWnd, TKTAB_ACTIVATED, index, record);
}

} // namespace vq
