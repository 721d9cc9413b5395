#include "toolkit/frames/TkGradientCaption.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/Icon.h"
#include "platform/gui/Menu.h"
#include "platform/gui/NonClientMetrics.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>

namespace vq {
namespace {

int Component(COLORREF c, int shift) { return int((c >> shift) & 0xFF); }

SIZE Extent(HDC dc, HFONT font, const std::string& text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    return size;
}

// The close item of the window's system menu can be chosen.
bool CanClose(HWND window) {
    if (!(GetWindowLongPtr(window, GWL_STYLE) & WS_SYSMENU)) return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return false;
    const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    return state != UINT(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

RECT InScreen(HWND window, RECT r) {
    RECT w{};
    GetWindowRect(window, &w);
    return {r.left + w.left, r.top + w.top, r.right + w.left, r.bottom + w.top};
}

} // namespace

HFONT TkGradientCaption::CaptionFont(bool italic) {
    NONCLIENTMETRICS metrics;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONT lf = metrics.lfCaptionFont;
    if (italic) lf.lfItalic = 1;
    return CreateFontIndirect(lf);
}

BOOL TkGradientCaption::PaintFrameAround(HWND window, WPARAM region) {
    auto* given = reinterpret_cast<HRGN>(region);
    if (region == 1 || !IsGdiObject(given) || given->ObjectType() != GdiObject::Type::Region) given = nullptr;
    const RECT caption = InScreen(window, CaptionRect(window));
    HRGN captionRegion = CreateRectRgnIndirect(caption);
    HRGN rest = CreateRectRgn(0, 0, 0, 0);
    BOOL paintCaption = TRUE;
    if (given && CombineRgn(rest, given, captionRegion, RGN_AND) == NULLREGION) {
        ::vq::DefWindowProc(window, WM_NCPAINT, region, 0);
        paintCaption = FALSE;
    } else {
        RECT w{};
        GetWindowRect(window, &w);
        SetRectRgn(rest, w.left, w.top, w.right, w.bottom);
        CombineRgn(rest, rest, captionRegion, RGN_DIFF);
        if (given) CombineRgn(rest, rest, given, RGN_AND);
        ::vq::DefWindowProc(window, WM_NCPAINT, WPARAM(rest), 0);
    }
    DeleteObject(rest);
    DeleteObject(captionRegion);
    return paintCaption;
}

LRESULT TkGradientCaption::DefaultWithoutFrame(HWND window, const std::function<LRESULT()>& handle) {
    const auto style = GetWindowLongPtr(window, GWL_STYLE);
    SetWindowLongPtr(window, GWL_STYLE, style & ~std::intptr_t(WS_VISIBLE));
    const LRESULT result = handle();
    SetWindowLongPtr(window, GWL_STYLE, style);
    return result;
}

void TkGradientCaption::FillGradient(HDC dc, const RECT& r, int steps, COLORREF start, COLORREF end) {
    const int width = r.right - r.left;
    steps = std::min(steps, width);
    // No width, no bands: dividing by the step count would fail.
    if (steps <= 0 || r.bottom <= r.top) return;
    int value[3], delta[3], last[3];
    for (int i = 0; i < 3; ++i) {
        value[i] = Component(start, 8 * i) * 256;
        last[i] = Component(end, 8 * i);
        delta[i] = (last[i] - Component(start, 8 * i)) * 256 / steps;
    }
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const int band = width / steps;
    for (int step = 0; step < steps; ++step) {
        int c[3];
        for (int i = 0; i < 3; ++i) {
            c[i] = value[i] >> 8;
            c[i] = delta[i] >= 0 ? std::min(c[i], last[i]) : std::max(c[i], last[i]);
            value[i] += delta[i];
        }
        HBRUSH brush = CreateSolidBrush(COLORREF(c[0] | (c[1] << 8) | (c[2] << 16)));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        const int left = r.left + step * band;
        const int right = step == steps - 1 ? r.right : left + band;
        // The null pen leaves the right and bottom edges out; one pixel more covers them.
        Rectangle(dc, left, r.top, right + 1, r.bottom + 1);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
    SelectObject(dc, oldPen);
}

RECT TkGradientCaption::CaptionRect(HWND window) {
    RECT w{};
    GetWindowRect(window, &w);
    const DWORD style = DWORD(GetWindowLongPtr(window, GWL_STYLE));
    RECT r{};
    r.left = GetSystemMetrics(SM_CXFRAME);
    r.top = GetSystemMetrics(SM_CYFRAME) - ((style & WS_THICKFRAME) ? 0 : 1);
    r.bottom = r.top + GetSystemMetrics(SM_CYSIZE);
    const int box = GetSystemMetrics(SM_CXSIZE);
    const int b = ((style & WS_MINIMIZEBOX) ? 1 : 0) + ((style & WS_MAXIMIZEBOX) ? 1 : 0);
    const int c = CanClose(window) ? 1 : 0;
    r.right = w.Width() - box - 1 + GetSystemMetrics(SM_CXBORDER) - (b + c - 1) * box - (b > 0 ? 1 : 0);
    return r;
}

BOOL TkGradientCaption::Enable(HWND window, BOOL enable, BOOL redraw) {
    if (!m_bNewShell) return FALSE;
    const BOOL old = m_bGradient;
    m_bGradient = enable;
    if (window && IsWindow(window)) {
        if (redraw) SendMessage(window, WM_NCPAINT, 1, 0);
        // The handler decides the real state itself.
        PostMessage(window, WM_NCACTIVATE, 0, 0);
    }
    return old;
}

void TkGradientCaption::SetAlignment(HWND window, int alignment, BOOL redraw) {
    m_nAlignment = alignment;
    if (redraw && window && IsWindow(window)) SendMessage(window, WM_NCPAINT, 1, 0);
}

void TkGradientCaption::Draw(HWND window, HFONT titleFont, HFONT textFont) {
    const RECT caption = CaptionRect(window);
    const int width = caption.right - caption.left;
    const int height = caption.bottom - caption.top;
    // A frame narrowed to nothing has no title bar to draw; the gradient stays on for later.
    if (width <= 0 || height <= 0) return;
    HDC windowDc = GetWindowDC(window);
    HDC dc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = dc ? CreateCompatibleBitmap(windowDc, width, height) : nullptr;
    if (!bitmap) {
        if (dc) DeleteDC(dc);
        ReleaseDC(window, windowDc);
        Enable(window, FALSE, TRUE);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT area{0, 0, width, height};
    DrawIconSquare(window, dc, area);
    if (m_bActive) {
        FillGradient(dc, RECT{area.left, area.top, area.right, area.bottom + 1}, kSteps, RGB(0, 0, 0),
                     GetSysColor(COLOR_ACTIVECAPTION));
    } else {
        FillRect(dc, &area, GetSysColorBrush(COLOR_INACTIVECAPTION));
    }
    const int length = GetWindowTextLength(window);
    std::string text(std::size_t(length) + 1, '\0');
    GetWindowText(window, text.data(), length + 1);
    text.resize(std::size_t(length));
    DrawText(dc, area, text, titleFont, textFont);
    BitBlt(windowDc, caption.left, caption.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(window, windowDc);
}

void TkGradientCaption::DrawIconSquare(HWND window, HDC dc, RECT& area) const {
    if (!(GetWindowLongPtr(window, GWL_STYLE) & WS_SYSMENU)) return;
    const int box = GetSystemMetrics(SM_CXSIZE);
    RECT square{0, 0, box, GetSystemMetrics(SM_CYSIZE)};
    HBRUSH brush = CreateSolidBrush(m_bActive ? RGB(0, 0, 0) : GetSysColor(COLOR_INACTIVECAPTION));
    FillRect(dc, &square, brush);
    DeleteObject(brush);
    square = {square.left + 2, square.top + 1, square.right, square.bottom - 1};
    // Narrow caption buttons take the small icon; the window's icons stand for its class's.
    const bool small = box <= 29;
    auto icon = reinterpret_cast<HICON>(SendMessage(window, WM_GETICON, small ? ICON_SMALL : ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(SendMessage(window, WM_GETICON, small ? ICON_BIG : ICON_SMALL, 0));
    if (icon)
        DrawIconEx(dc, square.left, square.top, icon, square.right - square.left, square.bottom - square.top,
                   0, nullptr, DI_NORMAL);
    area.left += box;
}

void TkGradientCaption::DrawText(HDC dc, const RECT& area, const std::string& text, HFONT italic,
                                 HFONT plain) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    const std::size_t dash = text.find('-');
    const std::string title = text.substr(0, dash);
    const std::string rest = dash == std::string::npos ? std::string() : text.substr(dash);
    const int titleWidth = Extent(dc, italic, title).cx;
    int x = area.left + 3;
    const bool drawRest = !rest.empty() && area.right - area.left >= titleWidth + Extent(dc, italic, "W...").cx;
    if (m_nAlignment != 0) {
        const int total = titleWidth + (drawRest ? Extent(dc, plain, rest).cx : 0);
        x = m_nAlignment == 1 ? x + (area.right - total - x) / 2 : area.right - total;
        x = std::max(x, int(area.left));
    }
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    HGDIOBJ old = SelectObject(dc, italic);
    RECT r{x, area.top, area.right, area.bottom};
    ::vq::DrawText(dc, title.c_str(), int(title.size()), &r, flags);
    r.left += titleWidth;
    if (!m_bActive) SetTextColor(dc, GetSysColor(COLOR_INACTIVECAPTIONTEXT));
    if (drawRest) {
        SelectObject(dc, plain);
        ::vq::DrawText(dc, rest.c_str(), int(rest.size()), &r, flags);
    }
    SelectObject(dc, old);
}

} // namespace vq
