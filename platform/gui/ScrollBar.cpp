#include "platform/gui/ScrollBar.h"

#include "platform/gui/QtControl.h"
#include "platform/gui/ScrollArithmetic.h"
#include "platform/gui/WindowScrollBar.h"
#include "platform/gui/WindowStates.h"

#include <QScrollBar>
#include <algorithm>
#include <unordered_map>

namespace vq {

namespace {

struct BarState {
    SCROLLINFO info;
    // Set while the bar brings Qt's position back to the owner's, which is no user action.
    bool syncing = false;
    bool pressed = false;
    bool endSent = false;
};

std::unordered_map<HWND, BarState>& States() {
    return WindowStates<BarState>();
}

BarState* StateOf(HWND window) {
    return FindWindowState<BarState>(window);
}

QScrollBar* BarOf(HWND window) {
    return static_cast<QScrollBar*>(QtControlOf(window));
}

// Qt's range ends where the last whole page starts.
void ShowOnQt(HWND window, BarState& s) {
    QScrollBar* bar = BarOf(window);
    if (!bar) return;
    s.syncing = true;
    const int page = std::max(int(s.info.nPage), 1);
    bar->setRange(s.info.nMin, LastScrollPosition(s.info));
    bar->setPageStep(page);
    bar->setValue(s.info.nPos);
    s.syncing = false;
}

void Report(HWND window, UINT code, int position) {
    const DWORD style = DWORD(GetWindowLongPtr(window, GWL_STYLE));
    const UINT message = (style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessage(GetParent(window), message, WPARAM(MAKELPARAM(int(code), position)), LPARAM(window));
}

UINT CodeOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub:
        return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd:
        return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub:
        return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum:
        return SB_TOP;
    case QAbstractSlider::SliderToMaximum:
        return SB_BOTTOM;
    default:
        return SB_ENDSCROLL;
    }
}

void Create(HWND window) {
    const DWORD style = DWORD(GetWindowLongPtr(window, GWL_STYLE));
    auto* bar = new QScrollBar((style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal);
    // Without tracking a drag moves only Qt's slider position; the value stays the owner's.
    bar->setTracking(false);
    BarState& state = States()[window];
    state.info.nMax = 100;
    if (!AttachQtControl(window, bar)) return;
    ShowOnQt(window, state);
    QObject::connect(bar, &QAbstractSlider::actionTriggered, [window](int action) {
        BarState* s = StateOf(window);
        if (!s || s->syncing || action == QAbstractSlider::SliderMove ||
            action == QAbstractSlider::SliderNoAction)
            return;
        Report(window, CodeOf(action), 0);
        if ((s = StateOf(window))) BarOf(window)->setSliderPosition(s->info.nPos);
    });
    QObject::connect(bar, &QAbstractSlider::sliderMoved, [window](int position) {
        BarState* s = StateOf(window);
        if (!s || s->syncing) return;
        s->info.nTrackPos = position;
        Report(window, SB_THUMBTRACK, position);
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, [window] {
        BarState* s = StateOf(window);
        if (!s || s->syncing) return;
        s->endSent = true;
        Report(window, SB_THUMBPOSITION, s->info.nTrackPos);
        Report(window, SB_ENDSCROLL, 0);
        if ((s = StateOf(window))) ShowOnQt(window, *s);
    });
}

} // namespace

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BarState* s = StateOf(window);
    switch (message) {
    case WM_CREATE:
        Create(window);
        return 0;
    case WM_NCDESTROY:
        States().erase(window);
        break;
    case SBM_SETSCROLLINFO:
        if (!s || !lParam) return 0;
        MergeScrollInfo(s->info, *reinterpret_cast<const SCROLLINFO*>(lParam));
        ShowOnQt(window, *s);
        return s->info.nPos;
    case SBM_GETSCROLLINFO:
        if (!s || !lParam) return FALSE;
        FillScrollInfo(reinterpret_cast<SCROLLINFO*>(lParam), s->info);
        return TRUE;
    case SBM_SETPOS: {
        if (!s) return 0;
        const int old = s->info.nPos;
        SCROLLINFO in;
        in.fMask = SIF_POS;
        in.nPos = int(wParam);
        MergeScrollInfo(s->info, in);
        ShowOnQt(window, *s);
        return old;
    }
    case SBM_GETPOS:
        return s ? s->info.nPos : 0;
    case SBM_SETRANGE: {
        if (!s) return 0;
        const int old = s->info.nPos;
        SCROLLINFO in;
        in.fMask = SIF_RANGE;
        in.nMin = int(wParam);
        in.nMax = int(lParam);
        MergeScrollInfo(s->info, in);
        ShowOnQt(window, *s);
        return old;
    }
    case SBM_GETRANGE:
        if (!s) return FALSE;
        if (wParam) *reinterpret_cast<int*>(wParam) = s->info.nMin;
        if (lParam) *reinterpret_cast<int*>(lParam) = s->info.nMax;
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!s || !IsWindowEnabled(window)) return 0;
        s->pressed = true;
        s->endSent = false;
        SetCapture(window);
        ForwardMouseToQtControl(window, message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (s && s->pressed) ForwardMouseToQtControl(window, message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (!s || !s->pressed) return 0;
        s->pressed = false;
        ForwardMouseToQtControl(window, message, wParam, lParam);
        if ((s = StateOf(window)) && !s->endSent) Report(window, SB_ENDSCROLL, 0);
        if (GetCapture() == window) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        if (s && s->pressed && HWND(lParam) != window) {
            // Losing the capture ends the gesture where it is.
            s->pressed = false;
            QScrollBar* bar = BarOf(window);
            if (bar && bar->isSliderDown()) bar->setSliderDown(false);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (!info) return 0;
    if (bar == SB_CTL) return int(SendMessage(window, SBM_SETSCROLLINFO, WPARAM(redraw), LPARAM(info)));
    return SetWindowScrollInfo(window, bar, *info, redraw);
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
    if (!info) return FALSE;
    if (bar == SB_CTL) return BOOL(SendMessage(window, SBM_GETSCROLLINFO, 0, LPARAM(info)));
    return GetWindowScrollInfo(window, bar, info);
}

int SetScrollPos(HWND window, int bar, int position, BOOL redraw) {
    SCROLLINFO in;
    in.fMask = SIF_POS;
    if (!GetScrollInfo(window, bar, &in)) return 0;
    const int old = in.nPos;
    in.nPos = position;
    SetScrollInfo(window, bar, &in, redraw);
    return old;
}

int GetScrollPos(HWND window, int bar) {
    SCROLLINFO in;
    in.fMask = SIF_POS;
    return GetScrollInfo(window, bar, &in) ? in.nPos : 0;
}

BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw) {
    SCROLLINFO in;
    in.fMask = SIF_RANGE;
    in.nMin = minimum;
    in.nMax = maximum;
    if (!IsWindow(window)) return FALSE;
    SetScrollInfo(window, bar, &in, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND window, int bar, int* minimum, int* maximum) {
    SCROLLINFO in;
    in.fMask = SIF_RANGE;
    if (!GetScrollInfo(window, bar, &in)) return FALSE;
    if (minimum) *minimum = in.nMin;
    if (maximum) *maximum = in.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
    return ShowWindowScrollBar(window, bar, show);
}

BOOL EnableScrollBar(HWND window, int bar, UINT arrows) {
    return EnableWindowScrollBar(window, bar, arrows);
}

} // namespace vq
