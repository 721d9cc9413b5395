#include "platform/gui/StatusBar.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"
#include "platform/gui/WindowStates.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vq {

namespace {

constexpr int kHorizontalBorder = 0;
constexpr int kVerticalBorder = 2;
constexpr int kSpacing = 2;
// Text starts this far inside its part's edge.
constexpr int kTextInset = 3;

struct Part {
    int right = -1;
    std::string text;
    UINT type = 0;
    std::uintptr_t data = 0;
};

struct StatusState {
    std::vector<Part> parts{Part{}};
    int minHeight = 0;
};

StatusState* StateOf(HWND window) {
    return FindWindowState<StatusState>(window);
}

bool HasGrip(HWND window) {
    return (GetWindowLongPtr(window, GWL_STYLE) & SBARS_SIZEGRIP) != 0;
}

RECT GripRect(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const std::int32_t size = std::min<std::int32_t>(GetSystemMetrics(SM_CXVSCROLL), client.Height());
    return {client.right - size, client.bottom - size, client.right, client.bottom};
}

RECT PartRect(HWND window, const StatusState& s, size_t index) {
    RECT client;
    GetClientRect(window, &client);
    RECT r;
    r.left = index == 0 ? kHorizontalBorder : s.parts[index - 1].right + kSpacing;
    r.right = s.parts[index].right;
    if (r.right < 0)
        r.right = client.right - kHorizontalBorder - (HasGrip(window) ? GripRect(window).Width() : 0);
    r.top = kVerticalBorder;
    r.bottom = std::max<std::int32_t>(r.top, client.bottom - kVerticalBorder);
    return r;
}

void SetParts(HWND window, StatusState& s, int count, const int* edges) {
    if (count <= 0 || count > kMaxStatusParts || !edges) return;
    s.parts.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        s.parts[size_t(i)].right = edges[i];
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT SetText(HWND window, StatusState& s, WPARAM wParam, LPARAM lParam) {
    const size_t index = wParam & 0xFF;
    if (index >= s.parts.size()) return FALSE;
    Part& part = s.parts[index];
    part.type = UINT(wParam) & 0xFF00;
    if (part.type & SBT_OWNERDRAW) {
        part.data = std::uintptr_t(lParam);
        part.text.clear();
    } else {
        part.data = 0;
        part.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    }
    RECT r = PartRect(window, s, index);
    InvalidateRect(window, &r, TRUE);
    return TRUE;
}

LRESULT TextInfo(const Part& part) {
    return MAKELPARAM(int(part.text.size()), int(part.type));
}

void DrawGrip(HWND window, HDC dc) {
    const RECT grip = GripRect(window);
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = SelectObject(dc, dark);
    // Three ridges, each a shadow pair under a highlight line, from the corner outwards.
    for (std::int32_t offset = 3; offset < grip.Width(); offset += 4) {
        SelectObject(dc, dark);
        for (std::int32_t d = 0; d < 2; ++d) {
            MoveToEx(dc, grip.right - offset + d, grip.bottom - 1, nullptr);
            LineTo(dc, grip.right, grip.bottom - offset - 1 + d);
        }
        SelectObject(dc, light);
        MoveToEx(dc, grip.right - offset - 1, grip.bottom - 1, nullptr);
        LineTo(dc, grip.right, grip.bottom - offset - 2);
    }
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

void DrawPart(HWND window, HDC dc, const StatusState& s, size_t index) {
    const Part& part = s.parts[index];
    RECT r = PartRect(window, s, index);
    if (r.IsEmpty()) return;
    if (!(part.type & SBT_NOBORDERS)) {
        RECT edge = r;
        DrawEdge(dc, &edge, (part.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    RECT inside{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (part.type & SBT_OWNERDRAW) {
        DRAWITEMSTRUCT item;
        item.CtlID = UINT(GetWindowLongPtr(window, GWLP_ID));
        item.itemID = UINT(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = window;
        item.hDC = dc;
        item.rcItem = inside;
        item.itemData = part.data;
        const int saved = SaveDC(dc);
        SendMessage(GetParent(window), WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
        RestoreDC(dc, saved);
        return;
    }
    if (part.text.empty()) return;
    RECT text{inside.left + kTextInset - 1, inside.top, inside.right, inside.bottom};
    DrawText(dc, part.text.c_str(), int(part.text.size()), &text,
             DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void Paint(HWND window, HDC dc, const StatusState& s) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, DrawingFont(window));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (size_t i = 0; i < s.parts.size(); ++i)
        DrawPart(window, dc, s, i);
    SelectObject(dc, oldFont);
    if (HasGrip(window)) DrawGrip(window, dc);
}

} // namespace

LRESULT StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) WindowStates<StatusState>()[window];
    StatusState* s = StateOf(window);
    if (!s) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        WindowStates<StatusState>().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    case SB_SETPARTS:
        SetParts(window, *s, int(wParam), reinterpret_cast<const int*>(lParam));
        return TRUE;
    case SB_GETPARTS: {
        auto* edges = reinterpret_cast<int*>(lParam);
        for (size_t i = 0; edges && i < std::min(size_t(wParam), s->parts.size()); ++i)
            edges[i] = s->parts[i].right;
        return LRESULT(s->parts.size());
    }
    case SB_SETTEXT:
        return SetText(window, *s, wParam, lParam);
    case SB_GETTEXT: {
        const size_t index = wParam & 0xFF;
        if (index >= s->parts.size()) return 0;
        const Part& part = s->parts[index];
        if (part.type & SBT_OWNERDRAW) return LRESULT(part.data);
        if (lParam) std::memcpy(reinterpret_cast<char*>(lParam), part.text.c_str(), part.text.size() + 1);
        return TextInfo(part);
    }
    case SB_GETTEXTLENGTH: {
        const size_t index = wParam & 0xFF;
        return index < s->parts.size() ? TextInfo(s->parts[index]) : 0;
    }
    case SB_GETBORDERS: {
        if (!lParam) return FALSE;
        auto* borders = reinterpret_cast<int*>(lParam);
        borders[0] = kHorizontalBorder;
        borders[1] = kVerticalBorder;
        borders[2] = kSpacing;
        return TRUE;
    }
    case SB_SETMINHEIGHT:
        s->minHeight = int(wParam);
        return 0;
    case SB_GETRECT: {
        const size_t index = size_t(wParam);
        if (index >= s->parts.size() || !lParam) return FALSE;
        *reinterpret_cast<RECT*>(lParam) = PartRect(window, *s, index);
        return TRUE;
    }
    case WM_NCHITTEST: {
        const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        POINT client = screen;
        ScreenToClient(window, &client);
        if (HasGrip(window) && GripRect(window).Contains(client.x, client.y)) return HTBOTTOMRIGHT;
        return DefWindowProc(window, message, wParam, lParam);
    }
    case WM_SETFONT:
        return SetDrawnControlFont(window, HFONT(wParam), lParam != 0);
    case WM_GETFONT:
        return LRESULT(ControlFont(window));
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
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
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
