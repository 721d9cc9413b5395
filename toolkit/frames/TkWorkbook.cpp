#include "toolkit/frames/TkWorkbook.h"

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>

namespace vq {

namespace {

constexpr std::int32_t kTabsLeftMargin = 13;
constexpr std::int32_t kTabsTopMargin = 13;
constexpr std::int32_t kTabsRightMargin = 13;
constexpr std::int32_t kTabsBottomMargin = 33;

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkWorkbook, TkMDIFrameWnd)

TkWorkbook::TkWorkbook() {
    m_pChildFloatClass = &TkControlBarWorksheet::Class();
}

TkWorkbook::~TkWorkbook() {
    for (HPEN pen : {m_hPenHighlight, m_hPenBlack, m_hPenShadow, m_hPenFace})
        if (pen) DeleteObject(pen);
}

void TkWorkbook::ShowTabs(BOOL on) {
    m_bShowTabs = on;
    if (m_pClient) {
        if (on)
            m_pClient->SetMargins(kTabsLeftMargin, kTabsTopMargin, kTabsRightMargin, kTabsBottomMargin);
        else
            m_pClient->SetMargins(0, 0, 0, 0);
    }
    RecalcLayout(TRUE);
    // The room around the client appears or goes: all of it is drawn anew.
    if (m_hWnd) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void TkWorkbook::ShowTabIcons(BOOL on) {
    m_bShowTabIcons = on;
    InvalidateTabRow();
}

TkWorksheet* TkWorkbook::GetSheet(int index) const {
    return index >= 0 && index < GetSheetCount() ? m_arrSheets[std::size_t(index)] : nullptr;
}

BOOL TkWorkbook::FindSheet(const TkWorksheet* sheet, int* index) const {
    const auto it = std::find(m_arrSheets.begin(), m_arrSheets.end(), sheet);
    if (it == m_arrSheets.end()) return FALSE;
    if (index) *index = int(it - m_arrSheets.begin());
    return TRUE;
}

BOOL TkWorkbook::CanActivateSheet(TkWorksheet*) {
    return TRUE;
}

void TkWorkbook::AddSheet(TkWorksheet* sheet) {
    if (!sheet || FindSheet(sheet, nullptr)) return;
    m_arrSheets.push_back(sheet);
    sheet->m_nTabIndex = GetSheetCount() - 1;
    const int width = ComputeTabWidth();
    if (width != m_nTabWidth) {
        m_nTabWidth = width;
        if (m_bShowTabs) InvalidateTabRow();
    } else if (m_bShowTabs) {
        if (GetSheetCount() <= 1)
            Invalidate(TRUE);
        else
            InvalidateTab(sheet, FALSE);
    }
    if (!m_pToolTip) {
        m_pToolTip = std::make_unique<CToolTipCtrl>();
        if (m_pToolTip->Create(this)) {
            m_pToolTip->Activate(TRUE);
            EnableToolTips(TRUE);
        } else {
            // The frame goes on without tips.
            m_pToolTip.reset();
        }
    }
}

void TkWorkbook::RemoveSheet(TkWorksheet* sheet) {
    int index = 0;
    if (!FindSheet(sheet, &index)) return;
    const int position = TabPosition(sheet);
    m_arrSheets.erase(m_arrSheets.begin() + index);
    for (int i = index; i < GetSheetCount(); ++i)
        m_arrSheets[std::size_t(i)]->m_nTabIndex = i;
    // While the frame is being destroyed its client has gone before the sheets.
    if (!m_pClient) return;
    const int width = GetSheetCount() > 0 ? ComputeTabWidth() : m_nTabWidth;
    if (width != m_nTabWidth) {
        m_nTabWidth = width;
        if (m_bShowTabs) InvalidateTabRow();
    } else if (m_bShowTabs) {
        if (GetSheetCount() == 0) {
            Invalidate(TRUE);
        } else {
            RECT band;
            TabBand(position, TRUE, &band);
            InvalidateRect(m_hWnd, &band, TRUE);
        }
    }
}

std::string TkWorkbook::GetSheetTitle(const TkWorksheet* sheet) const {
    if (!sheet) return {};
    if (const CDocument* document = sheet->GetActiveDocument()) return document->GetTitle();
    return sheet->GetWindowText();
}

HICON TkWorkbook::GetSheetIcon(const TkWorksheet* sheet) const {
    return sheet && m_bShowTabIcons ? sheet->m_hTabIcon : nullptr;
}

BOOL TkWorkbook::SetSheetIcon(TkWorksheet* sheet, HICON icon, BOOL redraw) {
    if (!sheet) return FALSE;
    sheet->m_hTabIcon = icon;
    if (redraw) InvalidateTab(sheet, FALSE);
    return TRUE;
}

TkWorksheet* TkWorkbook::ActiveSheet() const {
    CFrameWnd* active = const_cast<TkWorkbook*>(this)->GetActiveFrame();
    return active == this ? nullptr : dynamic_cast<TkWorksheet*>(active);
}

void TkWorkbook::RecalcLayout(BOOL notify) {
    if (m_bInRecalcLayout) return;
    TkMDIFrameWnd::RecalcLayout(notify);
    if (!m_bShowTabs || !m_hWnd) return;
    const RECT area = AreaLeftByBars();
    if (area == m_rectLastTabLayout) return;
    if (GetSheetCount() > 0) m_nTabWidth = ComputeTabWidth();
    Invalidate(TRUE);
    m_rectLastTabLayout = area;
}

RECT TkWorkbook::AreaLeftByBars() {
    RECT area{};
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &area);
    return area;
}

BOOL TkWorkbook::CreateClient(HMENU windowMenu) {
    const BOOL created = TkMDIFrameWnd::CreateClient(windowMenu);
    if (!created) return created;
    auto client = std::make_unique<TkWorkbookClient>();
    if (!client->SubclassWindow(m_hWndMDIClient)) return created;
    m_pClient = std::move(client);
    m_hTabFont = HFONT(GetStockObject(DEFAULT_GUI_FONT));
    if (!m_hTabFont) m_hTabFont = HFONT(GetStockObject(ANSI_VAR_FONT));
    m_hPenHighlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    m_hPenBlack = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_hPenShadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    m_hPenFace = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    return created;
}

CFrameWnd* TkWorkbook::CreateChildFloatingFrame(DWORD style, CControlBar* bar) {
    CFrameWnd* frame = TkMDIFrameWnd::CreateChildFloatingFrame(style, bar);
    auto* sheet = dynamic_cast<TkControlBarWorksheet*>(frame);
    if (!sheet || !bar) return frame;
    if (auto icon = reinterpret_cast<HICON>(bar->SendMessage(WM_GETICON, ICON_SMALL, 0))) {
        // The bar keeps its own icon for the next time it floats; the sheet owns a copy.
        if (sheet->m_hTabIcon) DestroyIcon(sheet->m_hTabIcon);
        sheet->m_hTabIcon = CopyIcon(icon);
    }
    return frame;
}

LRESULT TkWorkbook::OnRefreshTabs() {
    if (const TkWorksheet* last = GetSheet(m_nLastActive)) InvalidateTab(last, FALSE);
    TkWorksheet* active = ActiveSheet();
    int index = GetSheetCount();
    if (active && FindSheet(active, &index)) InvalidateTab(active, FALSE);
    m_nLastActive = active ? index : GetSheetCount();
    if (active && !IsZoomed(active->m_hWnd)) UpdateWindow(m_hWnd);
    return 0;
}

BOOL TkWorkbook::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_TK_REFRESHTABS:
        *result = OnRefreshTabs();
        return TRUE;
    case WM_PAINT:
        OnPaint();
        *result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        *result = TRUE;
        return TRUE;
    case WM_LBUTTONDOWN:
        if (m_bShowTabs) OnLeftButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_LBUTTONUP:
        if (m_bShowTabs)
            for (TkWorksheet* sheet : m_arrSheets)
                sheet->m_bPressed = FALSE;
        break;
    case WM_DESTROY: {
        const BOOL handled = TkMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
        if (!handled) *result = Default();
        // The sheets that go after this find no client and keep their array.
        if (m_pClient) m_pClient->UnsubclassWindow();
        m_pClient.reset();
        return TRUE;
    }
    default:
        break;
    }
    return TkMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
}

void TkWorkbookClient::SetMargins(std::int32_t left, std::int32_t top, std::int32_t right,
                                  std::int32_t bottom) {
    m_nLeftMargin = left;
    m_nTopMargin = top;
    m_nRightMargin = right;
    m_nBottomMargin = bottom;
}

void TkWorkbookClient::CalcWindowRect(RECT* rect) const {
    rect->left += m_nLeftMargin;
    rect->top += m_nTopMargin;
    rect->right -= m_nRightMargin;
    rect->bottom -= m_nBottomMargin;
    CWnd::CalcWindowRect(rect);
}

BOOL TkWorkbookClient::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_MDISETMENU && message != WM_TK_SHEETMENU)
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    if (wParam == WPARAM(-1) || lParam == LPARAM(-1))
        *result = 0;
    else
        *result = DefWindowProc(WM_MDISETMENU, wParam, lParam);
    ::vq::SendMessage(::vq::GetParent(m_hWnd), WM_TK_REFRESHTABS, 0, 0);
    return TRUE;
}

} // namespace vq
