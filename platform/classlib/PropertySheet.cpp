#include "platform/classlib/PropertySheet.h"

#include "platform/gui/StandardControls.h"
#include "platform/res/Resources.h"

#include <algorithm>

namespace vq {

namespace {

constexpr int kMargin = 7;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

DialogTemplate SheetTemplate(const char* caption) {
    DialogTemplate t;
    t.caption = caption ? caption : "";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.rect = {40, 40, 340, 240};
    t.rectIsClient = true;
    return t;
}

std::string ResourceString(UINT id) {
    const auto bytes = FindResource(RT_STRING, id);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(CPropertyPage, CDialog)
VQ_IMPLEMENT_RUNTIME_CLASS(CPropertySheet, CDialog)

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId) {
    m_strCaption = captionId ? ResourceString(captionId) : m_template.caption;
}

BOOL CPropertyPage::CreatePage(CPropertySheet* sheet, const RECT& rect) {
    if (!m_hasTemplate) return FALSE;
    DialogTemplate t = m_template;
    t.style = (t.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_DISABLED | WS_VISIBLE)) |
              WS_CHILD;
    t.rect = rect;
    t.rectIsClient = false;
    m_bFirstSetActive = TRUE;
    if (!CreateFromTemplate(t, sheet->m_hWnd, false, nullptr)) return FALSE;
    // The page lies over the tab control's body, so it stacks above it; the sheet puts it after
    // the tabs in its Tab order.
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

void CPropertyPage::OnReset() {
    OnCancel();
}

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

void CPropertyPage::SetModified(BOOL changed) {
    m_bChanged = changed;
    if (m_pSheet) m_pSheet->OnPageModified();
}

BOOL CPropertyPage::PreTranslateMessage(MSG* msg) {
    return CWnd::PreTranslateMessage(msg);
}

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : CDialog(SheetTemplate(caption), parent), m_startPage(selectPage) {}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page) return;
    m_pages.push_back(page);
    page->m_pSheet = this;
    if (m_tab.m_hWnd) m_tab.InsertItem(int(m_pages.size()) - 1, page->GetCaption().c_str());
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < int(m_pages.size()) ? m_pages[std::size_t(index)] : nullptr;
}

BOOL CPropertySheet::OnInitDialog() {
    RegisterStandardControls();
    SIZE largest{};
    for (const CPropertyPage* page : m_pages) {
        largest.cx = std::max(largest.cx, page->m_template.rect.Width());
        largest.cy = std::max(largest.cy, page->m_template.rect.Height());
    }
    if (!m_tab.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, RECT{}, this, AFX_IDC_TAB_CONTROL))
        return FALSE;
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        m_tab.InsertItem(int(i), m_pages[i]->GetCaption().c_str());

    // The tab control is as large as its display area must be for the largest page.
    RECT tabRect{0, 0, largest.cx, largest.cy};
    m_tab.AdjustRect(TRUE, &tabRect);
    const int dx = kMargin - tabRect.left;
    const int dy = kMargin - tabRect.top;
    tabRect = OffsetRectBy(tabRect, dx, dy);
    m_pageRect = OffsetRectBy(RECT{0, 0, largest.cx, largest.cy}, dx, dy);
    MoveWindow(m_tab.m_hWnd, tabRect.left, tabRect.top, tabRect.Width(), tabRect.Height(), FALSE);

    const struct {
        UINT id;
        const char* text;
        DWORD style;
    } buttons[] = {{UINT(IDOK), "OK", BS_DEFPUSHBUTTON},
                   {UINT(IDCANCEL), "Cancel", BS_PUSHBUTTON},
                   {ID_APPLY_NOW, "&Apply", BS_PUSHBUTTON | WS_DISABLED}};
    const int top = tabRect.bottom + kMargin;
    int x = tabRect.right - 3 * kButtonWidth - 2 * kButtonGap;
    for (const auto& b : buttons) {
        CreateWindowEx(0, "Button", b.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | b.style, x, top,
                       kButtonWidth, kButtonHeight, m_hWnd, b.id, nullptr);
        x += kButtonWidth + kButtonGap;
    }

    // The window grows or shrinks to hold the tabs and the buttons.
    RECT outer, client;
    GetWindowRect(m_hWnd, &outer);
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_hWnd, 0, 0, 0, tabRect.right + kMargin + outer.Width() - client.Width(),
                 top + kButtonHeight + kMargin + outer.Height() - client.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_active = -1;
    const int start = m_startPage < m_pages.size() ? int(m_startPage) : 0;
    m_tab.SetCurSel(start);
    ShowPage(start);
    // The sheet starts on its tabs.
    SetFocus(m_tab.m_hWnd);
    return FALSE;
}

BOOL CPropertySheet::LeaveActivePage() {
    CPropertyPage* page = GetActivePage();
    return !page || page->OnKillActive();
}

BOOL CPropertySheet::ShowPage(int index) {
    CPropertyPage* page = GetPage(index);
    if (!page) return FALSE;
    if (!page->m_hWnd && !page->CreatePage(this, m_pageRect)) return FALSE;
    if (!page->OnSetActive()) return FALSE;
    CPropertyPage* old = GetActivePage();
    const HWND focus = GetFocus();
    const bool focusInOld =
        old && old != page && old->m_hWnd && (focus == old->m_hWnd || IsChild(old->m_hWnd, focus));
    if (old && old != page && old->m_hWnd) ShowWindow(old->m_hWnd, SW_HIDE);
    ShowWindow(page->m_hWnd, SW_SHOWNA);
    m_active = index;
    // The focus does not stay on a page that is hidden.
    if (focusInOld) SetFocus(m_tab.m_hWnd);
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int index) {
    if (!GetPage(index)) return FALSE;
    if (!m_hWnd) {
        m_startPage = UINT(index);
        return TRUE;
    }
    if (index == m_active) return TRUE;
    if (!LeaveActivePage()) return FALSE;
    m_tab.SetCurSel(index);
    if (ShowPage(index)) return TRUE;
    m_tab.SetCurSel(m_active);
    return FALSE;
}

void CPropertySheet::UserSelect(int index) {
    NMHDR header;
    header.hwndFrom = m_tab.m_hWnd;
    header.idFrom = AFX_IDC_TAB_CONTROL;
    header.code = TCN_SELCHANGING;
    if (SendMessage(WM_NOTIFY, AFX_IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&header))) return;
    m_tab.SetCurSel(index);
    header.code = TCN_SELCHANGE;
    SendMessage(WM_NOTIFY, AFX_IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&header));
}

void CPropertySheet::OnPageModified() {
    const bool any =
        std::any_of(m_pages.begin(), m_pages.end(), [](const CPropertyPage* p) { return p->m_bChanged; });
    if (HWND apply = ::vq::GetDlgItem(m_hWnd, int(ID_APPLY_NOW))) EnableWindow(apply, any);
}

BOOL CPropertySheet::ApplyAll() {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        CPropertyPage* page = m_pages[i];
        if (!page->m_hWnd || page->OnApply()) continue;
        // The page that refused is shown so the user sees why.
        SetActivePage(int(i));
        return FALSE;
    }
    for (CPropertyPage* page : m_pages)
        page->m_bChanged = FALSE;
    OnPageModified();
    return TRUE;
}

void CPropertySheet::OnOKButton() {
    if (LeaveActivePage() && ApplyAll()) EndDialog(IDOK);
}

void CPropertySheet::OnApplyButton() {
    if (!LeaveActivePage()) return;
    const HWND apply = ::vq::GetDlgItem(m_hWnd, int(ID_APPLY_NOW));
    const bool applyHadFocus = GetFocus() == apply;
    ApplyAll();
    // A disabled button cannot keep the focus.
    if (applyHadFocus && !IsWindowEnabled(apply)) SetFocus(::vq::GetDlgItem(m_hWnd, IDOK));
}

void CPropertySheet::OnCancelButton() {
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd) page->OnReset();
    EndDialog(IDCANCEL);
}

HWND CPropertySheet::NextTabStop(HWND from, bool previous) const {
    // The sheet's tab stops as they stack, the page's first, with the tab control moved before them.
    std::vector<HWND> order;
    const HWND first = GetNextDlgTabItem(m_hWnd, 0, FALSE);
    for (HWND w = first; w && (order.empty() || w != first); w = GetNextDlgTabItem(m_hWnd, w, FALSE))
        order.push_back(w);
    if (const auto tab = std::find(order.begin(), order.end(), m_tab.m_hWnd); tab != order.end())
        std::rotate(order.begin(), tab, tab + 1);
    if (order.empty()) return 0;
    auto at = order.end();
    for (HWND w = from; w && w != m_hWnd && at == order.end(); w = ::vq::GetParent(w))
        at = std::find(order.begin(), order.end(), w);
    const auto n = std::ptrdiff_t(order.size());
    const std::ptrdiff_t index = at == order.end() ? (previous ? 0 : n - 1) : at - order.begin();
    return order[std::size_t(((index + (previous ? -1 : 1)) % n + n) % n)];
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
    const bool inside = msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd);
    if (inside && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        !(::vq::SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) &
          (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
        if (HWND next = NextTabStop(msg->hwnd, GetKeyState(VK_SHIFT) < 0)) FocusDlgControl(m_hWnd, next);
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && !m_pages.empty() && inside) {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        const bool forward = (msg->wParam == VK_TAB && !shift) || msg->wParam == VK_NEXT;
        const bool back = (msg->wParam == VK_TAB && shift) || msg->wParam == VK_PRIOR;
        if (forward || back) {
            const int count = int(m_pages.size());
            UserSelect((m_active + (back ? count - 1 : 1)) % count);
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}

BOOL CPropertySheet::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    if (code != CN_COMMAND || (id != UINT(IDOK) && id != UINT(IDCANCEL) && id != ID_APPLY_NOW)) return FALSE;
    if (info) return TRUE;
    if (id == UINT(IDOK))
        OnOKButton();
    else if (id == UINT(IDCANCEL))
        OnCancelButton();
    else
        OnApplyButton();
    return TRUE;
}

BOOL CPropertySheet::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_CLOSE) {
        OnCancelButton();
        *result = 0;
        return TRUE;
    }
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (message == WM_NOTIFY && header && header->hwndFrom == m_tab.m_hWnd) {
        if (CDialog::OnWndMsg(message, wParam, lParam, result)) return TRUE;
        if (header->code == TCN_SELCHANGING) {
            *result = LeaveActivePage() ? FALSE : TRUE;
            return TRUE;
        }
        if (header->code == TCN_SELCHANGE) {
            // A page that will not show leaves the tabs where they were.
            if (!ShowPage(m_tab.GetCurSel())) m_tab.SetCurSel(m_active);
            *result = 0;
            return TRUE;
        }
    }
    return CDialog::OnWndMsg(message, wParam, lParam, result);
}

} // namespace vq
