#include "platform/gui/Progress.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"
#include "platform/gui/WindowStates.h"

#include <algorithm>
#include <cstdint>

namespace vq {

namespace {

struct ProgressState {
    int lower = 0;
    int upper = 100;
    int position = 0;
    int step = 10;
};

ProgressState* StateOf(HWND window) {
    return FindWindowState<ProgressState>(window);
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

int Clamp(const ProgressState& s, std::int64_t position) {
    return int(std::clamp<std::int64_t>(position, std::min(s.lower, s.upper), std::max(s.lower, s.upper)));
}

// Sets a position and repaints when it moved; answers the old one.
int Move(HWND window, ProgressState& s, std::int64_t position) {
    const int old = s.position;
    s.position = Clamp(s, position);
    if (s.position != old) InvalidateRect(window, nullptr, FALSE);
    return old;
}

void SetRange(HWND window, ProgressState& s, int lower, int upper) {
    s.lower = lower;
    s.upper = upper;
    s.position = Clamp(s, s.position);
    InvalidateRect(window, nullptr, FALSE);
}

// The length of the bar's filled part along `span` pixels.
std::int32_t FilledLength(const ProgressState& s, std::int32_t span) {
    const std::int64_t range = std::int64_t(s.upper) - s.lower;
    if (range <= 0 || span <= 0) return 0;
    return std::int32_t((std::int64_t(s.position) - s.lower) * span / range);
}

void Paint(HWND window, HDC dc, const ProgressState& s) {
    RECT r;
    GetClientRect(window, &r);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool vertical = (StyleOf(window) & PBS_VERTICAL) != 0;
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    const std::int32_t span = vertical ? r.Height() : r.Width();
    const std::int32_t filled = FilledLength(s, span);
    HBRUSH bar = GetSysColorBrush(COLOR_HIGHLIGHT);
    if (StyleOf(window) & PBS_SMOOTH) {
        RECT part = vertical ? RECT{r.left, r.bottom - filled, r.right, r.bottom}
                             : RECT{r.left, r.top, r.left + filled, r.bottom};
        FillRect(dc, &part, bar);
        return;
    }
    // Blocks two-thirds as long as the bar is thick, one pixel apart; the last one may be cut.
    const std::int32_t thickness = vertical ? r.Width() : r.Height();
    const std::int32_t block = std::max(2, thickness * 2 / 3);
    for (std::int32_t at = 0; at < filled; at += block + 1) {
        const std::int32_t end = std::min(at + block, filled);
        RECT part = vertical ? RECT{r.left, r.bottom - end, r.right, r.bottom - at}
                             : RECT{r.left + at, r.top, r.left + end, r.bottom};
        FillRect(dc, &part, bar);
    }
}

} // namespace

LRESULT ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) WindowStates<ProgressState>()[window];
    ProgressState* s = StateOf(window);
    if (!s) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        WindowStates<ProgressState>().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    case PBM_SETRANGE: {
        const LRESULT old = MAKELPARAM(s->lower, s->upper);
        SetRange(window, *s, LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
        return old;
    }
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELPARAM(s->lower, s->upper);
        SetRange(window, *s, int(std::intptr_t(wParam)), int(lParam));
        return old;
    }
    case PBM_GETRANGE:
        if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = {s->lower, s->upper};
        return wParam ? s->lower : s->upper;
    case PBM_SETPOS:
        return Move(window, *s, int(std::intptr_t(wParam)));
    case PBM_DELTAPOS:
        return Move(window, *s, std::int64_t(s->position) + int(std::intptr_t(wParam)));
    case PBM_GETPOS:
        return s->position;
    case PBM_SETSTEP: {
        const int old = s->step;
        s->step = int(std::intptr_t(wParam));
        return old;
    }
    case PBM_STEPIT: {
        std::int64_t next = std::int64_t(s->position) + s->step;
        if (next > std::max(s->lower, s->upper)) next = std::min(s->lower, s->upper);
        return Move(window, *s, next);
    }
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
