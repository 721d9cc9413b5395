#include "platform/gui/Icon.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/frames/TkWorkbook.h"

#include <algorithm>

namespace vq {

namespace {

constexpr int kIconSize = 16;

// Bytes of the last whole UTF-8 character of a non-empty text.
std::size_t LastCharacterLength(const std::string& text) {
    std::size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return text.size() - start;
}

std::size_t CharacterCount(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(),
                                     [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
    return size.cx;
}

bool InPolygon(const TkTabPolygon& points, POINT point) {
    HRGN region = CreatePolygonRgn(points.data(), int(points.size()), ALTERNATE);
    const bool inside = PtInRegion(region, point.x, point.y) != FALSE;
    DeleteObject(region);
    return inside;
}

void Line(HDC dc, HPEN pen, std::initializer_list<POINT> points) {
    const POINT* first = points.begin();
    SelectObject(dc, pen);
    MoveToEx(dc, first->x, first->y, nullptr);
    for (const POINT* p = first + 1; p != points.end(); ++p)
        LineTo(dc, p->x, p->y);
}

} // namespace

RECT TkWorkbook::ClientRectInFrame() const {
    RECT r{};
    if (!m_hWndMDIClient) return r;
    GetWindowRect(m_hWndMDIClient, &r);
    MapWindowPoints(0, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TkWorkbook::GetTabAreaRect(RECT* rect) const {
    const RECT client = ClientRectInFrame();
    const TkWorkbookClient* c = m_pClient.get();
    *rect = client;
    if (!c) return;
    rect->left -= c->m_nLeftMargin;
    rect->top -= c->m_nTopMargin;
    rect->right += c->m_nRightMargin;
    rect->bottom += c->m_nBottomMargin;
}

int TkWorkbook::ComputeTabWidth() const {
    if (m_arrSheets.empty()) return m_nTabWidth;
    const RECT client = ClientRectInFrame();
    return std::min((client.right - client.left + 5) / GetSheetCount(), m_nMaxTabWidth);
}

int TkWorkbook::TabPosition(const TkWorksheet* sheet) const {
    int position = 0;
    for (const TkWorksheet* other : m_arrSheets) {
        if (other == sheet) break;
        if (GetWindowLongPtr(other->m_hWnd, GWL_STYLE) & WS_VISIBLE) ++position;
    }
    return position;
}

TkTabPolygon TkWorkbook::GetTabPolygon(const TkWorksheet* sheet) const {
    const RECT client = ClientRectInFrame();
    const int a = sheet && (sheet == ActiveSheet() || sheet->m_bPressed) ? 1 : 0;
    const int w = m_nTabWidth, h = m_nTabHeight, b = m_nBevel;
    const int dx = m_nActiveExtraWidth, dy = m_nActiveExtraHeight;
    TkTabPolygon p;
    p[0] = {TabPosition(sheet) * w + client.left - a * (dx / 2), client.bottom + 4};
    p[1] = {p[0].x, p[0].y + h - b};
    p[2] = {p[1].x + b, p[1].y + a * dy + b};
    p[3] = {p[2].x + a * dx + w - 2 * b, p[2].y};
    p[4] = {p[3].x + b, p[1].y};
    p[5] = {p[4].x, p[0].y};
    p[6] = p[0];
    return p;
}

RECT TkWorkbook::GetTabTextRect(const TkTabPolygon& p, int iconWidth) const {
    return {p[2].x + iconWidth + 3, p[0].y, p[4].x - 2, p[3].y};
}

std::string TkWorkbook::FitTabTitle(HDC dc, std::string title, int width) {
    while (TextWidth(dc, title) > width && CharacterCount(title) >= 4) {
        title.resize(title.size() - LastCharacterLength(title));
        for (int i = 0; i < 3; ++i)
            title.resize(title.size() - LastCharacterLength(title));
        title += "...";
    }
    return title;
}

BOOL TkWorkbook::TabTextFits(const TkWorksheet* sheet) const {
    if (!sheet) return FALSE;
    const std::string title = GetSheetTitle(sheet);
    if (title.empty()) return FALSE;
    const RECT text = GetTabTextRect(GetTabPolygon(sheet), kIconSize);
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_hTabFont);
    const bool fits = TextWidth(dc, title) <= text.right - text.left;
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    return fits;
}

void TkWorkbook::TabBand(int position, BOOL toRightEdge, RECT* band) const {
    const RECT client = ClientRectInFrame();
    RECT frame{};
    GetClientRect(m_hWnd, &frame);
    band->left = position * m_nTabWidth + client.left - 2;
    band->right = toRightEdge ? frame.right : band->left + m_nTabWidth + 4;
    band->top = client.bottom + 4;
    band->bottom = client.bottom + m_nTabHeight + 8;
}

void TkWorkbook::InvalidateTab(const TkWorksheet* sheet, BOOL toRightEdge) {
    if (!m_hWnd || !sheet) return;
    RECT band;
    TabBand(TabPosition(sheet), toRightEdge, &band);
    InvalidateRect(m_hWnd, &band, TRUE);
}

void TkWorkbook::InvalidateTabRow() {
    if (!m_hWnd) return;
    RECT band;
    TabBand(0, TRUE, &band);
    band.left = 0;
    InvalidateRect(m_hWnd, &band, TRUE);
}

void TkWorkbook::DrawTabShape(HDC dc, const TkWorksheet* sheet) {
    const TkTabPolygon p = GetTabPolygon(sheet);
    HRGN region = CreatePolygonRgn(p.data(), int(p.size()), ALTERNATE);
    FillRgn(dc, region, GetSysColorBrush(COLOR_BTNFACE));
    DeleteObject(region);
    HGDIOBJ old = SelectObject(dc, m_hPenShadow);
    Line(dc, m_hPenShadow,
         {{p[1].x + 1, p[1].y - 1},
          {p[2].x, p[2].y - 2},
          {p[3].x, p[3].y - 2},
          {p[4].x - 2, p[4].y - 1},
          {p[5].x - 2, p[5].y},
          {p[5].x, p[5].y}});
    Line(dc, m_hPenHighlight, {{p[0].x, p[0].y + 1}, {p[1].x, p[1].y - 1}});
    Line(dc, m_hPenBlack,
         {{p[2].x + 1, p[2].y - 1}, {p[3].x, p[3].y - 1}, {p[4].x - 1, p[4].y - 1}, {p[5].x - 1, p[5].y}});
    SelectObject(dc, old);
}

void TkWorkbook::DrawTabContent(HDC dc, const TkWorksheet* sheet) {
    const TkTabPolygon p = GetTabPolygon(sheet);
    const HICON icon = GetSheetIcon(sheet);
    if (icon) DrawIconEx(dc, p[2].x + 1, p[0].y + 4, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    RECT text = GetTabTextRect(p, m_bShowTabIcons ? kIconSize : 0);
    HGDIOBJ old = SelectObject(dc, m_hTabFont);
    const std::string title = FitTabTitle(dc, GetSheetTitle(sheet), text.right - text.left);
    if (!title.empty())
        DrawText(dc, title.c_str(), int(title.size()), &text,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void TkWorkbook::DrawClientBorder(HDC dc) {
    const RECT client = ClientRectInFrame();
    const int l = client.left - 5, t = client.top - 5, r = client.right + 5, b = client.bottom + 5;
    HGDIOBJ old = SelectObject(dc, m_hPenShadow);
    Line(dc, m_hPenShadow, {{l + 1, b - 1}, {r - 1, b - 1}, {r - 1, t + 1}});
    Line(dc, m_hPenHighlight, {{r - 1, t}, {l, t}, {l, b}});
    // The black pen goes on from where the highlight ended.
    SelectObject(dc, m_hPenBlack);
    LineTo(dc, r, b);
    LineTo(dc, r, t);
    const TkWorkbookClient* c = m_pClient.get();
    const int left = client.left - (c ? c->m_nLeftMargin : 0);
    const int right = client.right + (c ? c->m_nRightMargin : 0);
    const int top = client.top - (c ? c->m_nTopMargin : 0);
    Line(dc, m_hPenShadow, {{left, top}, {right, top}});
    Line(dc, m_hPenHighlight, {{left, top + 1}, {right, top + 1}});
    SelectObject(dc, old);
}

void TkWorkbook::PaintTabs(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    for (const TkWorksheet* sheet : m_arrSheets) {
        if (!(GetWindowLongPtr(sheet->m_hWnd, GWL_STYLE) & WS_VISIBLE)) continue;
        DrawTabShape(dc, sheet);
        DrawTabContent(dc, sheet);
    }
    DrawClientBorder(dc);
    // The active tab lies over its neighbours' edges.
    const TkWorksheet* active = ActiveSheet();
    if (!m_arrSheets.empty() && active && (GetWindowLongPtr(active->m_hWnd, GWL_STYLE) & WS_VISIBLE)) {
        DrawTabShape(dc, active);
        DrawTabContent(dc, active);
    }
}

void TkWorkbook::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT inner{};
    if (m_hWndMDIClient) GetClientRect(m_hWndMDIClient, &inner);
    if (m_bShowTabs && m_pClient && !inner.IsEmpty()) {
        PaintTabs(dc);
        const SIZE size{inner.right - inner.left, inner.bottom - inner.top};
        const bool resized = size.cx != m_sizeLastClient.cx || size.cy != m_sizeLastClient.cy;
        m_sizeLastClient = size;
        if (m_bFullRepaint && resized) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    }
    EndPaint(m_hWnd, &ps);
}

void TkWorkbook::OnEraseBackground(HDC dc) {
    const RECT client = ClientRectInFrame();
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    const RECT area = AreaLeftByBars();
    if (m_bFullRepaint) {
        RECT tabs;
        GetTabAreaRect(&tabs);
        FillRect(dc, &tabs, GetSysColorBrush(COLOR_BTNFACE));
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE);
    } else {
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (!m_hPenHighlight) return;
    RECT frame{};
    GetClientRect(m_hWnd, &frame);
    HGDIOBJ old = SelectObject(dc, m_hPenHighlight);
    if (area.bottom < frame.bottom) {
        Line(dc, m_hPenHighlight, {{area.left, area.bottom - 1}, {area.right, area.bottom - 1}});
        Line(dc, m_hPenShadow, {{area.left, area.bottom - 2}, {area.right, area.bottom - 2}});
    }
    if (area.right < frame.right) {
        Line(dc, m_hPenHighlight, {{area.right - 1, area.top + 1}, {area.right - 1, area.bottom}});
        Line(dc, m_hPenShadow, {{area.right - 2, area.top + 1}, {area.right - 2, area.bottom}});
    }
    SelectObject(dc, old);
}

void TkWorkbook::OnLeftButtonDown(POINT point) {
    const TkWorksheet* active = ActiveSheet();
    for (TkWorksheet* sheet : m_arrSheets) {
        if (sheet == active || !(GetWindowLongPtr(sheet->m_hWnd, GWL_STYLE) & WS_VISIBLE)) continue;
        if (!InPolygon(GetTabPolygon(sheet), point)) continue;
        if (CanActivateSheet(sheet)) {
            sheet->m_bPressed = TRUE;
            RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            sheet->SendMessage(WM_MOUSEACTIVATE, WPARAM(m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        }
        return;
    }
}

std::intptr_t TkWorkbook::OnToolHitTest(POINT point, ToolHit* hit) const {
    for (const TkWorksheet* sheet : m_arrSheets) {
        const TkTabPolygon p = GetTabPolygon(sheet);
        if (!InPolygon(p, point)) continue;
        if (TabTextFits(sheet)) return -1;
        const std::intptr_t id = sheet->m_nTabIndex + 1;
        if (hit) {
            const auto [left, right] =
                std::minmax_element(p.begin(), p.end(), [](POINT a, POINT b) { return a.x < b.x; });
            const auto [top, bottom] =
                std::minmax_element(p.begin(), p.end(), [](POINT a, POINT b) { return a.y < b.y; });
            hit->info.uFlags = 0;
            hit->info.hwnd = m_hWnd;
            hit->info.uId = std::uintptr_t(id);
            hit->info.rect = {left->x, top->y, right->x, bottom->y};
            hit->info.lpszText = nullptr;
            hit->text = GetSheetTitle(sheet);
        }
        return id;
    }
    return -1;
}

} // namespace vq
