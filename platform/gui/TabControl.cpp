#include "platform/gui/TabControl.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/WindowStates.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace vq {

namespace {

// Room around a tab's text, the tabs' distance from the control's edges, how far the selected tab
// stands out of the row, and the gap between the body's edge and its display area.
constexpr std::int32_t kTextPadding = 6;
constexpr std::int32_t kRowInset = 2;
constexpr std::int32_t kSelectedGrowth = 2;
constexpr std::int32_t kBodyMargin = 4;

struct Tab {
    std::string text;
    int image = -1;
    LPARAM data = 0;
};

struct TabState {
    std::vector<Tab> tabs;
    int selected = -1;
    bool focused = false;
};

TabState* StateOf(HWND window) {
    return FindWindowState<TabState>(window);
}

bool Valid(const TabState& s, std::intptr_t index) {
    return index >= 0 && index < std::intptr_t(s.tabs.size());
}

// The tabs' places, measured in the control's font each time: a control holds a handful of tabs.
struct Layout {
    std::int32_t rowHeight = 0;
    std::vector<RECT> tabs;
};

Layout Measure(HWND window, const TabState& s) {
    Layout layout;
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, DrawingFont(window));
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    layout.rowHeight = tm.tmHeight + 6;
    std::int32_t x = kRowInset;
    const std::int32_t top = kSelectedGrowth;
    for (const Tab& tab : s.tabs) {
        SIZE size;
        GetTextExtentPoint32(dc, tab.text.c_str(), int(tab.text.size()), &size);
        const std::int32_t width = size.cx + 2 * kTextPadding;
        layout.tabs.push_back({x, top, x + width, top + layout.rowHeight});
        x += width;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return layout;
}

std::int32_t BodyTop(const Layout& layout) {
    return kSelectedGrowth + layout.rowHeight;
}

RECT SelectedRect(RECT r) {
    // It reaches over the body's two-pixel top edge, so it joins the body.
    return {r.left - kSelectedGrowth, r.top - kSelectedGrowth, r.right + kSelectedGrowth, r.bottom + 2};
}

// The tab under a point of the client area; the selected tab, standing out, is looked at first.
int TabAt(HWND window, const TabState& s, POINT p) {
    const Layout layout = Measure(window, s);
    if (Valid(s, s.selected) && SelectedRect(layout.tabs[std::size_t(s.selected)]).Contains(p.x, p.y))
        return s.selected;
    for (std::size_t i = 0; i < layout.tabs.size(); ++i)
        if (layout.tabs[i].Contains(p.x, p.y)) return int(i);
    return -1;
}

LRESULT Notify(HWND window, UINT code) {
    NMHDR header;
    header.hwndFrom = window;
    header.idFrom = std::uintptr_t(GetDlgCtrlID(window));
    header.code = code;
    return SendMessage(GetParent(window), WM_NOTIFY, WPARAM(header.idFrom),
                       reinterpret_cast<LPARAM>(&header));
}

// The user's choice of a tab: the parent may refuse it, and may destroy the control meanwhile.
void UserSelect(HWND window, int index) {
    TabState* s = StateOf(window);
    if (!s || !Valid(*s, index) || index == s->selected) return;
    if (Notify(window, TCN_SELCHANGING) != 0) return;
    if (!(s = StateOf(window)) || !Valid(*s, index)) return;
    s->selected = index;
    InvalidateRect(window, nullptr, FALSE);
    Notify(window, TCN_SELCHANGE);
}

void DrawTab(HDC dc, const Tab& tab, RECT r, bool selected, bool focused, bool enabled) {
    if (selected) r = SelectedRect(r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT text{r.left, r.top + 1, r.right, r.bottom - (selected ? 1 : 0)};
    DrawText(dc, tab.text.c_str(), int(tab.text.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (focused) {
        RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 2};
        DrawFocusRect(dc, &focus);
    }
}

void Paint(HWND window, HDC dc, const TabState& s) {
    RECT client;
    GetClientRect(window, &client);
    const Layout layout = Measure(window, s);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT body{client.left, BodyTop(layout), client.right, client.bottom};
    DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
    HGDIOBJ old = SelectObject(dc, DrawingFont(window));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    for (std::size_t i = 0; i < s.tabs.size(); ++i)
        if (int(i) != s.selected) DrawTab(dc, s.tabs[i], layout.tabs[i], false, false, enabled);
    // Drawn last, over its neighbours and the body's top edge, so it joins the body.
    if (Valid(s, s.selected))
        DrawTab(dc, s.tabs[std::size_t(s.selected)], layout.tabs[std::size_t(s.selected)], true, s.focused,
                enabled);
    SelectObject(dc, old);
}

LRESULT Insert(HWND window, TabState& s, std::intptr_t at, const TCITEM* item) {
    if (!item || at < 0) return -1;
    at = std::min(at, std::intptr_t(s.tabs.size()));
    Tab tab;
    if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
    if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
    if (item->mask & TCIF_PARAM) tab.data = item->lParam;
    s.tabs.insert(s.tabs.begin() + at, std::move(tab));
    // The first tab is the selected one; later insertions keep the same tab selected.
    if (s.selected < 0)
        s.selected = 0;
    else if (at <= s.selected)
        ++s.selected;
    InvalidateRect(window, nullptr, FALSE);
    return at;
}

LRESULT Delete(HWND window, TabState& s, std::intptr_t at) {
    if (!Valid(s, at)) return FALSE;
    s.tabs.erase(s.tabs.begin() + at);
    if (at == s.selected)
        s.selected = -1;
    else if (at < s.selected)
        --s.selected;
    InvalidateRect(window, nullptr, FALSE);
    return TRUE;
}

LRESULT GetItem(const TabState& s, std::intptr_t at, TCITEM* item) {
    if (!Valid(s, at) || !item) return FALSE;
    const Tab& tab = s.tabs[std::size_t(at)];
    if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::size_t n = std::min(tab.text.size(), std::size_t(item->cchTextMax - 1));
        std::memcpy(item->pszText, tab.text.data(), n);
        item->pszText[n] = '\0';
    }
    if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
    if (item->mask & TCIF_PARAM) item->lParam = tab.data;
    return TRUE;
}

void AdjustRect(HWND window, const TabState& s, bool larger, RECT* r) {
    const std::int32_t top = BodyTop(Measure(window, s)) + kBodyMargin;
    const int sign = larger ? -1 : 1;
    r->left += sign * kBodyMargin;
    r->top += sign * top;
    r->right -= sign * kBodyMargin;
    r->bottom -= sign * kBodyMargin;
}

void OnKey(HWND window, const TabState& s, WPARAM vk) {
    if (s.tabs.empty()) return;
    const int last = int(s.tabs.size()) - 1;
    if (vk == VK_LEFT) UserSelect(window, std::clamp(s.selected - 1, 0, last));
    if (vk == VK_RIGHT) UserSelect(window, std::clamp(s.selected + 1, 0, last));
}

} // namespace

LRESULT TabControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) WindowStates<TabState>()[window];
    TabState* s = StateOf(window);
    if (!s) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        WindowStates<TabState>().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    case TCM_GETITEMCOUNT:
        return LRESULT(s->tabs.size());
    case TCM_GETITEM:
        return GetItem(*s, std::intptr_t(wParam), reinterpret_cast<TCITEM*>(lParam));
    case TCM_INSERTITEM:
        return Insert(window, *s, std::intptr_t(wParam), reinterpret_cast<const TCITEM*>(lParam));
    case TCM_DELETEITEM:
        return Delete(window, *s, std::intptr_t(wParam));
    case TCM_GETCURSEL:
        return s->selected;
    case TCM_SETCURSEL: {
        const auto index = std::intptr_t(wParam);
        if (!Valid(*s, index)) return -1;
        const int previous = s->selected;
        s->selected = int(index);
        InvalidateRect(window, nullptr, FALSE);
        return previous;
    }
    case TCM_GETITEMRECT: {
        const auto index = std::intptr_t(wParam);
        if (!Valid(*s, index) || !lParam) return FALSE;
        *reinterpret_cast<RECT*>(lParam) = Measure(window, *s).tabs[std::size_t(index)];
        return TRUE;
    }
    case TCM_ADJUSTRECT:
        if (lParam) AdjustRect(window, *s, wParam != 0, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(window, dc, *s);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int at = TabAt(window, *s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (at < 0) return 0;
        if ((GetWindowLongPtr(window, GWL_STYLE) & TCS_FOCUSONBUTTONDOWN) && GetFocus() != window)
            SetFocus(window);
        UserSelect(window, at);
        return 0;
    }
    case WM_KEYDOWN:
        OnKey(window, *s, wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s->focused = message == WM_SETFOCUS;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETFONT:
        return SetDrawnControlFont(window, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(window));
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
