#include "toolkit/lists/TkTabControlBase.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkTab, Object)
VQ_IMPLEMENT_RUNTIME_CLASS(TkTabControlBase, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkTabControlBase, CWnd)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
VQ_END_MESSAGE_MAP()

namespace {

// Strips draw everything themselves, so their class has no cursor, brush or icon.
const char* StripClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.lpszClassName = "VqTabStrip";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqTabStrip" : nullptr;
}

} // namespace

TkTabControlBase::TkTabControlBase() = default;
TkTabControlBase::~TkTabControlBase() = default;

BOOL TkTabControlBase::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CWnd::CreateEx(0, StripClassName(), "", style | WS_CHILD, rect, parent, id)) return FALSE;
    m_tabs.clear();
    m_hCursor = LoadCursor(IDC_ARROW);
    Initialize(style);
    return TRUE;
}

std::unique_ptr<TkTab> TkTabControlBase::CreateNewTab() {
    return std::make_unique<TkTab>();
}

std::unique_ptr<TkTab> TkTabControlBase::MakeTab(const char* label, Object* client, void* user1,
                                                 void* user2) {
    auto tab = CreateNewTab();
    tab->m_label = label ? label : "";
    tab->m_selected = FALSE;
    tab->m_client = client;
    tab->m_user1 = user1;
    tab->m_user2 = user2;
    return tab;
}

TkTab* TkTabControlBase::InsertTab(int index, const char* label, Object* client, void* user1, void* user2) {
    if (index < 0 || index > GetTabCount()) return nullptr;
    auto tab = MakeTab(label, client, user1, user2);
    TkTab* const record = tab.get();
    m_tabs.insert(m_tabs.begin() + index, std::move(tab));
    // The active index names a record, not a place.
    if (m_bHasActive && index <= m_nActiveIndex) ++m_nActiveIndex;
    return record;
}

TkTab* TkTabControlBase::AddTab(const char* label, Object* client, void* user1, void* user2) {
    m_tabs.push_back(MakeTab(label, client, user1, user2));
    RecalcLayout();
    InvalidateTab(GetTabCount() - 1);
    return m_tabs.back().get();
}

void TkTabControlBase::InvalidateFrom(int index) {
    for (int i = index; i < GetTabCount(); ++i)
        InvalidateTab(i);
}

BOOL TkTabControlBase::RemoveTab(int index) {
    if (!IsValidIndex(index)) return FALSE;
    InvalidateFrom(index);
    m_tabs.erase(m_tabs.begin() + index);
    if (m_bHasActive) {
        if (m_tabs.empty()) {
            m_bHasActive = FALSE;
        } else if (index < m_nActiveIndex) {
            --m_nActiveIndex;
        } else if (index == m_nActiveIndex) {
            m_bHasActive = FALSE;
            ActivateTab(index < GetTabCount() ? index : GetTabCount() - 1);
        }
    }
    InvalidateFrom(index);
    RecalcLayout();
    return TRUE;
}

BOOL TkTabControlBase::RenameTab(int index, const char* label) {
    if (!IsValidIndex(index)) return FALSE;
    InvalidateFrom(index);
    m_tabs[index]->m_label = label ? label : "";
    RecalcLayout();
    InvalidateFrom(index);
    return TRUE;
}

BOOL TkTabControlBase::ActivateTab(int index) {
    if (!IsValidIndex(index)) return FALSE;
    TkTabActivation record;
    record.id = std::int32_t(GetDlgCtrlID());
    record.newIndex = index;
    record.oldIndex = m_bHasActive ? m_nActiveIndex : -1;
    record.newClient = m_tabs[index]->m_client;
    record.oldClient = m_bHasActive ? m_tabs[m_nActiveIndex]->m_client : nullptr;
    if (m_bHasActive && m_nActiveIndex == index) return TRUE;
    if (m_bHasActive) {
        m_tabs[m_nActiveIndex]->m_selected = FALSE;
        InvalidateTab(m_nActiveIndex);
    }
    m_nActiveIndex = index;
    m_bHasActive = TRUE;
    m_tabs[index]->m_selected = TRUE;
    OnActivateTab(index);
    InvalidateTab(index);
    ScrollToTab(index);
    ::vq::SendMessage(::vq::GetParent(m_hWnd), TKTAB_ACTIVATED, WPARAM(index),
                      reinterpret_cast<LPARAM>(&record));
    return TRUE;
}

void TkTabControlBase::NotifyActiveTabClicked() {
    ::vq::SendMessage(::vq::GetParent(m_hWnd), TKTAB_ACTIVECLICKED,
                      WPARAM(m_bHasActive ? m_nActiveIndex : -1), 0);
}

BOOL TkTabControlBase::SelectTab(int index) {
    if (!IsValidIndex(index)) return FALSE;
    m_tabs[index]->m_selected = TRUE;
    InvalidateTab(index);
    ::vq::SendMessage(::vq::GetParent(m_hWnd), TKTAB_ACTIVATED, WPARAM(m_bHasActive ? m_nActiveIndex : -1),
                      0);
    return TRUE;
}

void TkTabControlBase::ClearSelection() {
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_tabs[i]->m_selected) InvalidateTab(i);
        m_tabs[i]->m_selected = FALSE;
    }
    m_bHasActive = FALSE;
    ::vq::SendMessage(::vq::GetParent(m_hWnd), TKTAB_SELECTIONCLEARED, 0, 0);
}

TkTab* TkTabControlBase::GetTab(int index) const {
    return IsValidIndex(index) ? m_tabs[index].get() : nullptr;
}

BOOL TkTabControlBase::FindTab(const Object* client, int& index) const {
    BOOL found = FALSE;
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[i]->m_client == client) {
            index = i;
            found = TRUE;
        }
    return found;
}

BOOL TkTabControlBase::TabExists(const Object* client) const {
    int index = 0;
    return FindTab(client, index);
}

BOOL TkTabControlBase::GetTabInfo(int index, const char*& label, BOOL& selected, Object*& client,
                                  void*& user1, void*& user2) const {
    if (!IsValidIndex(index)) return FALSE;
    const TkTab& tab = *m_tabs[index];
    label = InfoLabel(tab).c_str();
    selected = tab.m_selected;
    client = tab.m_client;
    user1 = tab.m_user1;
    user2 = tab.m_user2;
    return TRUE;
}

BOOL TkTabControlBase::GetActiveTab(int& index) const {
    index = m_bHasActive ? m_nActiveIndex : -1;
    return m_bHasActive;
}

LRESULT TkTabControlBase::OnDestroy(WPARAM, LPARAM) {
    m_tabs.clear();
    m_bHasActive = FALSE;
    DestroyGdiObjects();
    return Default();
}

LRESULT TkTabControlBase::OnSetCursor(WPARAM, LPARAM) {
    SetCursor(m_hCursor);
    return TRUE;
}

} // namespace vq
