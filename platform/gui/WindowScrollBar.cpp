#include "platform/gui/WindowScrollBar.h"

#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ScrollArithmetic.h"
#include "platform/gui/WindowRecord.h"

#include <algorithm>
#include <cstdint>

namespace vq {

namespace {

// A thumb never shrinks below this, so it stays something to take hold of on long ranges.
constexpr int kMinThumbLength = 8;
// A held arrow or page area repeats as the scroll-bar control's does.
constexpr UINT kFirstRepeatMilliseconds = 500;
constexpr UINT kRepeatMilliseconds = 50;

// Where the parts of a bar lie, measured along it from its start.
struct BarLayout {
    bool vertical = false;
    RECT rect;
    int length = 0;
    int arrow = 0;
    // No thumb while its length is 0.
    int thumbStart = 0;
    int thumbLength = 0;
};

bool Shows(const WindowRecord& r, int bar) {
    // A Qt-backed control's widget shows scroll bars of its own.
    return !r.qtControl && (r.style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL));
}

bool ArrowEnabled(const WindowRecord& r, int bar, ScrollBarPart part) {
    if (r.style & WS_DISABLED) return false;
    const UINT off = r.scrollBars[bar].disabledArrows;
    switch (part) {
    case ScrollBarPart::LineUp:
        return !(off & ESB_DISABLE_LTUP);
    case ScrollBarPart::LineDown:
        return !(off & ESB_DISABLE_RTDN);
    case ScrollBarPart::None:
        return false;
    default:
        return off != ESB_DISABLE_BOTH;
    }
}

BarLayout LayoutOf(const WindowRecord& r, int bar) {
    BarLayout l;
    l.vertical = bar == SB_VERT;
    l.rect = ScrollBarRect(r, bar);
    l.length = l.vertical ? l.rect.Height() : l.rect.Width();
    const int thickness = l.vertical ? l.rect.Width() : l.rect.Height();
    // Arrows share a bar too short for two whole ones.
    l.arrow = std::min(thickness, l.length / 2);
    const int track = l.length - 2 * l.arrow;
    const WindowScrollBar& b = r.scrollBars[bar];
    if (track <= 0 || !ArrowEnabled(r, bar, ScrollBarPart::Thumb) || !CanScroll(b.info)) return l;
    const std::int64_t span = std::int64_t(b.info.nMax) - b.info.nMin + 1;
    const int thumb = b.info.nPage == 0
                          ? GetSystemMetrics(l.vertical ? SM_CYVTHUMB : SM_CXHTHUMB)
                          : std::max(kMinThumbLength, int(track * std::int64_t(b.info.nPage) / span));
    if (thumb > track) return l;
    const int last = LastScrollPosition(b.info);
    const int position = std::clamp(b.thumbTracking ? b.info.nTrackPos : b.info.nPos, b.info.nMin, last);
    l.thumbLength = thumb;
    l.thumbStart = l.arrow + int(std::int64_t(track - thumb) * (std::int64_t(position) - b.info.nMin) /
                                 (std::int64_t(last) - b.info.nMin));
    return l;
}

int Along(const BarLayout& l, POINT window) {
    return l.vertical ? window.y - l.rect.top : window.x - l.rect.left;
}

RECT Segment(const BarLayout& l, int from, int to) {
    if (l.vertical) return {l.rect.left, l.rect.top + from, l.rect.right, l.rect.top + to};
    return {l.rect.left + from, l.rect.top, l.rect.left + to, l.rect.bottom};
}

ScrollBarPart PartAt(const BarLayout& l, int along) {
    if (along < 0 || along >= l.length) return ScrollBarPart::None;
    if (along < l.arrow) return ScrollBarPart::LineUp;
    if (along >= l.length - l.arrow) return ScrollBarPart::LineDown;
    if (l.thumbLength == 0) return ScrollBarPart::None;
    if (along < l.thumbStart) return ScrollBarPart::PageUp;
    if (along < l.thumbStart + l.thumbLength) return ScrollBarPart::Thumb;
    return ScrollBarPart::PageDown;
}

POINT ToWindow(const WindowRecord& r, POINT screen) {
    const POINT origin = WindowScreenOrigin(r);
    return {screen.x - origin.x, screen.y - origin.y};
}

ScrollBarPart PartUnder(const WindowRecord& r, int bar, POINT screen) {
    const BarLayout l = LayoutOf(r, bar);
    const POINT w = ToWindow(r, screen);
    return l.rect.Contains(w.x, w.y) ? PartAt(l, Along(l, w)) : ScrollBarPart::None;
}

// The position whose thumb starts at the offset into the track, rounded to the nearest.
int PositionAt(const WindowRecord& r, int bar, const BarLayout& l, int thumbStart) {
    const SCROLLINFO& s = r.scrollBars[bar].info;
    const int room = l.length - 2 * l.arrow - l.thumbLength;
    if (room <= 0) return s.nMin;
    const std::int64_t offset = std::clamp(thumbStart - l.arrow, 0, room);
    const std::int64_t range = std::int64_t(LastScrollPosition(s)) - s.nMin;
    return int(s.nMin + (offset * range + room / 2) / room);
}

// One of the bar's arrow buttons, as scroll-bar controls draw theirs.
void DrawArrowButton(HDC dc, RECT box, UINT kind, bool pushed, bool enabled) {
    DrawFrameControl(dc, &box, DFC_SCROLL,
                     kind | (pushed ? DFCS_PUSHED : 0u) | (enabled ? 0u : DFCS_INACTIVE));
}

void DrawBar(HDC dc, const WindowRecord& r, int bar) {
    const BarLayout l = LayoutOf(r, bar);
    if (l.rect.IsEmpty()) return;
    const WindowScrollBar& b = r.scrollBars[bar];
    auto held = [&](ScrollBarPart part) { return b.pressed == part && b.pressedInside; };

    DrawArrowButton(dc, Segment(l, 0, l.arrow), l.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT,
                    held(ScrollBarPart::LineUp), ArrowEnabled(r, bar, ScrollBarPart::LineUp));
    DrawArrowButton(dc, Segment(l, l.length - l.arrow, l.length),
                    l.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, held(ScrollBarPart::LineDown),
                    ArrowEnabled(r, bar, ScrollBarPart::LineDown));

    const RECT track = Segment(l, l.arrow, l.length - l.arrow);
    if (track.IsEmpty()) return;
    FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
    if (l.thumbLength == 0) return;
    const int thumbEnd = l.thumbStart + l.thumbLength;
    RECT page{};
    if (held(ScrollBarPart::PageUp)) page = Segment(l, l.arrow, l.thumbStart);
    if (held(ScrollBarPart::PageDown)) page = Segment(l, thumbEnd, l.length - l.arrow);
    if (!page.IsEmpty()) FillRect(dc, &page, GetSysColorBrush(COLOR_3DDKSHADOW));
    RECT thumb = Segment(l, l.thumbStart, thumbEnd);
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void Redraw(HWND window) {
    const WindowRecord* r = FindWindowRecord(window);
    if (!r || !IsWindowVisible(window)) return;
    HDC dc = GetWindowDC(window);
    DrawScrollBars(*r, dc);
    ReleaseDC(window, dc);
}

UINT CodeOf(ScrollBarPart part) {
    switch (part) {
    case ScrollBarPart::LineUp:
        return SB_LINEUP;
    case ScrollBarPart::PageUp:
        return SB_PAGEUP;
    case ScrollBarPart::PageDown:
        return SB_PAGEDOWN;
    default:
        return SB_LINEDOWN;
    }
}

void Report(HWND window, int bar, UINT code, int position) {
    SendMessage(window, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, WPARAM(MAKELPARAM(int(code), position)), 0);
}

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

// What a press on a bar holds while the bar tracks it.
class BarTracker {
public:
    BarTracker(HWND window, int bar) : window_(window), bar_(bar) {}

    // False when nothing under the point takes a press.
    bool Press(POINT screen) {
        WindowScrollBar* b = Bar();
        if (!b || b->pressed != ScrollBarPart::None) return false;
        const WindowRecord& r = *FindWindowRecord(window_);
        part_ = PartUnder(r, bar_, screen);
        if (!ArrowEnabled(r, bar_, part_)) return false;
        point_ = screen;
        b->pressed = part_;
        b->pressedInside = true;
        if (part_ == ScrollBarPart::Thumb) {
            const BarLayout l = LayoutOf(r, bar_);
            grab_ = Along(l, ToWindow(r, screen)) - l.thumbStart;
            b->info.nTrackPos = b->info.nPos;
            b->thumbTracking = true;
        }
        return true;
    }

    void Run() {
        SetCapture(window_);
        Redraw(window_);
        if (part_ != ScrollBarPart::Thumb) {
            // The repeat delay runs from the press, however long the owner takes over the first step.
            timer_ = SetTimer(0, 0, kFirstRepeatMilliseconds, nullptr);
            Step();
        }
        bool released = false;
        MSG msg;
        while (!released && GetCapture() == window_ && Bar()) {
            if (!GetMessage(&msg, 0, 0, 0)) {
                // The quit message stays for the loop outside.
                PostQuitMessage(int(msg.wParam));
                break;
            }
            if (msg.message == WM_TIMER && msg.hwnd == 0 && msg.wParam == timer_) {
                KillTimer(0, timer_);
                timer_ = SetTimer(0, 0, kRepeatMilliseconds, nullptr);
                if (Bar() && Bar()->pressedInside) Step();
            } else if (msg.message == WM_MOUSEMOVE) {
                point_ = msg.pt;
                Follow();
            } else if (msg.message == WM_LBUTTONUP) {
                released = true;
            } else if (!IsInput(msg.message)) {
                DispatchMessage(&msg);
            }
        }
        Finish(released);
    }

private:
    WindowScrollBar* Bar() const {
        WindowRecord* r = FindWindowRecord(window_);
        return r ? &r->scrollBars[bar_] : nullptr;
    }

    // Whether the pointer is over the pressed part, as the owner has moved the thumb meanwhile.
    void UpdateInside() {
        WindowScrollBar* b = Bar();
        if (!b) return;
        const bool inside = PartUnder(*FindWindowRecord(window_), bar_, point_) == part_;
        if (inside == b->pressedInside) return;
        b->pressedInside = inside;
        Redraw(window_);
    }

    void Step() {
        Report(window_, bar_, CodeOf(part_), 0);
        UpdateInside();
    }

    void Follow() {
        if (part_ != ScrollBarPart::Thumb) {
            UpdateInside();
            return;
        }
        // Taking the message may have run messages other threads sent, which can end the window.
        WindowRecord* r = FindWindowRecord(window_);
        if (!r) return;
        const BarLayout l = LayoutOf(*r, bar_);
        const int position = PositionAt(*r, bar_, l, Along(l, ToWindow(*r, point_)) - grab_);
        WindowScrollBar* b = &r->scrollBars[bar_];
        if (position == b->info.nTrackPos) return;
        b->info.nTrackPos = position;
        Redraw(window_);
        Report(window_, bar_, SB_THUMBTRACK, position);
    }

    void Finish(bool released) {
        if (timer_) KillTimer(0, timer_);
        WindowScrollBar* b = Bar();
        const int tracked = b ? b->info.nTrackPos : 0;
        if (b) {
            b->pressed = ScrollBarPart::None;
            b->pressedInside = false;
            b->thumbTracking = false;
        }
        if (GetCapture() == window_) ReleaseCapture();
        if (released && Bar()) {
            if (part_ == ScrollBarPart::Thumb) Report(window_, bar_, SB_THUMBPOSITION, tracked);
            Report(window_, bar_, SB_ENDSCROLL, 0);
        }
        Redraw(window_);
    }

    HWND window_;
    int bar_;
    ScrollBarPart part_ = ScrollBarPart::None;
    POINT point_;
    int grab_ = 0;
    std::uintptr_t timer_ = 0;
};

bool IsWindowBar(int bar) {
    return bar == SB_HORZ || bar == SB_VERT;
}

} // namespace

RECT ReserveScrollBars(const WindowRecord& r, RECT client) {
    if (Shows(r, SB_VERT))
        client.right = std::max(client.left, client.right - GetSystemMetrics(SM_CXVSCROLL));
    if (Shows(r, SB_HORZ))
        client.bottom = std::max(client.top, client.bottom - GetSystemMetrics(SM_CYHSCROLL));
    return client;
}

RECT ScrollBarRect(const WindowRecord& r, int bar) {
    if (!IsWindowBar(bar) || !Shows(r, bar)) return {};
    const RECT& c = r.client;
    if (bar == SB_VERT) return {c.right, c.top, c.right + GetSystemMetrics(SM_CXVSCROLL), c.bottom};
    return {c.left, c.bottom, c.right, c.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

int HitTestScrollBars(const WindowRecord& r, POINT w) {
    const RECT vertical = ScrollBarRect(r, SB_VERT);
    const RECT horizontal = ScrollBarRect(r, SB_HORZ);
    if (vertical.Contains(w.x, w.y)) return HTVSCROLL;
    if (horizontal.Contains(w.x, w.y)) return HTHSCROLL;
    const RECT corner{vertical.left, horizontal.top, vertical.right, horizontal.bottom};
    if (!vertical.IsEmpty() && !horizontal.IsEmpty() && corner.Contains(w.x, w.y)) return HTGROWBOX;
    return HTNOWHERE;
}

void DrawScrollBars(const WindowRecord& r, HDC dc) {
    DrawBar(dc, r, SB_HORZ);
    DrawBar(dc, r, SB_VERT);
    const RECT vertical = ScrollBarRect(r, SB_VERT);
    const RECT horizontal = ScrollBarRect(r, SB_HORZ);
    if (vertical.IsEmpty() || horizontal.IsEmpty()) return;
    const RECT corner{vertical.left, horizontal.top, vertical.right, horizontal.bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
}

void TrackScrollBar(HWND window, int bar, POINT screen) {
    if (!IsWindowBar(bar)) return;
    BarTracker tracker(window, bar);
    if (tracker.Press(screen)) tracker.Run();
}

int SetWindowScrollInfo(HWND window, int bar, const SCROLLINFO& in, BOOL redraw) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r || !IsWindowBar(bar)) return 0;
    WindowScrollBar& b = r->scrollBars[bar];
    const int position = MergeScrollInfo(b.info, in);
    if (in.fMask & (SIF_RANGE | SIF_PAGE)) {
        // A bar shows while there is somewhere to scroll to; without, it goes, or stays shown
        // but disabled when the caller asks.
        bool show = true;
        if (CanScroll(b.info))
            b.disabledArrows = ESB_ENABLE_BOTH;
        else if (in.fMask & SIF_DISABLENOSCROLL)
            b.disabledArrows = ESB_DISABLE_BOTH;
        else
            show = false;
        const DWORD style = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
        if (!r->qtControl && show != bool(r->style & style)) {
            ShowWindowScrollBar(window, bar, show);
            return position;
        }
    }
    if (redraw) Redraw(window);
    return position;
}

BOOL GetWindowScrollInfo(HWND window, int bar, SCROLLINFO* info) {
    const WindowRecord* r = FindWindowRecord(window);
    if (!r || !IsWindowBar(bar)) return FALSE;
    FillScrollInfo(info, r->scrollBars[bar].info);
    return TRUE;
}

BOOL ShowWindowScrollBar(HWND window, int bar, BOOL show) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r) return FALSE;
    if (bar == SB_CTL) {
        ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
        return TRUE;
    }
    DWORD styles = 0;
    if (bar == SB_HORZ || bar == SB_BOTH) styles |= WS_HSCROLL;
    if (bar == SB_VERT || bar == SB_BOTH) styles |= WS_VSCROLL;
    if (!styles) return FALSE;
    const DWORD style = show ? (r->style | styles) : (r->style & ~styles);
    if (style == r->style) return TRUE;
    r->style = style;
    // The bars take their room from the client area, which the window hears of as a new size.
    SetWindowPos(window, 0, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL EnableWindowScrollBar(HWND window, int bar, UINT arrows) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r || arrows > ESB_DISABLE_BOTH) return FALSE;
    if (bar == SB_CTL) {
        // The Qt bar knows no arrows of its own to switch off: only the whole bar goes.
        if (arrows != ESB_ENABLE_BOTH && arrows != ESB_DISABLE_BOTH) return FALSE;
        const bool enable = arrows == ESB_ENABLE_BOTH;
        if (bool(IsWindowEnabled(window)) == enable) return FALSE;
        EnableWindow(window, enable);
        return TRUE;
    }
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT})
        if ((bar == b || bar == SB_BOTH) && r->scrollBars[b].disabledArrows != arrows) {
            r->scrollBars[b].disabledArrows = arrows;
            changed = true;
        }
    if (changed) Redraw(window);
    return changed;
}

} // namespace vq
