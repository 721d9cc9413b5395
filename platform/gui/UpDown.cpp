#include "platform/gui/UpDown.h"

#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/WindowStates.h"
#include "platform/thread/QueueEntry.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace vq {

namespace {

constexpr std::uintptr_t kRepeatTimer = 1;
// How long an arrow is held before it repeats, and how often it repeats then.
constexpr UINT kFirstRepeatMilliseconds = 400;
constexpr UINT kRepeatMilliseconds = 100;

enum class Part { None, Up, Down };

struct UpDownState {
    // As made, the range runs from 100 down to 0, the window system's old default: owners set it.
    int lower = 100;
    int upper = 0;
    int position = 0;
    HWND buddy = 0;
    // While the pointer holds an arrow: which one, and whether the pointer is on it now.
    Part held = Part::None;
    bool onHeld = false;
};

// A buddy whose arrow keys step an up-down: its procedure is replaced, the old one kept.
struct BuddyLink {
    HWND upDown = 0;
    WNDPROC previous = nullptr;
};

UpDownState* StateOf(HWND window) {
    return FindWindowState<UpDownState>(window);
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

int Low(const UpDownState& s) {
    return std::min(s.lower, s.upper);
}

int High(const UpDownState& s) {
    return std::max(s.lower, s.upper);
}

void WriteBuddy(HWND window, const UpDownState& s) {
    if (s.buddy && (StyleOf(window) & UDS_SETBUDDYINT))
        SetWindowText(s.buddy, std::to_string(s.position).c_str());
}

// The buddy's number, when it has one; answers whether the text was a number inside the range.
bool ReadBuddy(HWND window, UpDownState& s) {
    if (!s.buddy || !(StyleOf(window) & UDS_SETBUDDYINT)) return true;
    std::string text(std::size_t(GetWindowTextLength(s.buddy)) + 1, '\0');
    text.resize(std::size_t(GetWindowText(s.buddy, text.data(), int(text.size()))));
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    if (first == std::string::npos) return false;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    long long value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc{} || stop != end) return false;
    s.position = int(std::clamp<long long>(value, Low(s), High(s)));
    return value >= Low(s) && value <= High(s);
}

void SetPosition(HWND window, UpDownState& s, long long position) {
    s.position = int(std::clamp<long long>(position, Low(s), High(s)));
    WriteBuddy(window, s);
}

void Scroll(HWND window, UINT code, int position) {
    SendMessage(GetParent(window), WM_VSCROLL, WPARAM(MAKELPARAM(int(code), position)), LPARAM(window));
}

// One step the user made toward the upper bound (up) or the lower one, from the buddy's number.
void Step(HWND window, bool up) {
    UpDownState* s = StateOf(window);
    if (!s) return;
    ReadBuddy(window, *s);
    const bool increasing = up == (s->upper >= s->lower);
    const long long next = std::clamp<long long>(s->position + (increasing ? 1 : -1), Low(*s), High(*s));
    if (next == s->position) return;
    SetPosition(window, *s, next);
    Scroll(window, SB_THUMBPOSITION, s->position);
}

LRESULT BuddyProc(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the buddy go unless another up-down holds it now.
void Unlink(HWND buddy, HWND upDown) {
    BuddyLink* link = FindWindowState<BuddyLink>(buddy);
    if (!link || link->upDown != upDown) return;
    // A procedure put over ours since keeps calling ours; then ours only passes messages on.
    if (GetWindowLongPtr(buddy, GWLP_WNDPROC) == reinterpret_cast<std::intptr_t>(&BuddyProc)) {
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(link->previous));
        WindowStates<BuddyLink>().erase(buddy);
    } else {
        link->upDown = 0;
    }
}

LRESULT BuddyProc(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam) {
    const BuddyLink* link = FindWindowState<BuddyLink>(buddy);
    if (!link) return DefWindowProc(buddy, message, wParam, lParam);
    const WNDPROC previous = link->previous;
    const HWND upDown = link->upDown;
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN) && upDown &&
        IsWindowEnabled(upDown)) {
        Step(upDown, wParam == VK_UP);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        WindowStates<BuddyLink>().erase(buddy);
        if (UpDownState* s = upDown ? StateOf(upDown) : nullptr; s && s->buddy == buddy) s->buddy = 0;
    }
    return CallWindowProc(previous, buddy, message, wParam, lParam);
}

HWND SetBuddy(HWND window, UpDownState& s, HWND buddy) {
    const HWND old = s.buddy;
    if (old) Unlink(old, window);
    s.buddy = IsWindow(buddy) ? buddy : 0;
    if (s.buddy && (StyleOf(window) & UDS_ARROWKEYS)) {
        // A buddy keeps one replaced procedure however often it is taken; the last up-down to
        // take it gets its keys.
        if (BuddyLink* link = FindWindowState<BuddyLink>(s.buddy)) {
            link->upDown = window;
        } else {
            const auto previous =
                SetWindowLongPtr(s.buddy, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&BuddyProc));
            WindowStates<BuddyLink>()[s.buddy] = {window, reinterpret_cast<WNDPROC>(previous)};
        }
    }
    WriteBuddy(window, s);
    return old;
}

RECT PartRect(HWND window, Part part) {
    RECT client;
    GetClientRect(window, &client);
    const std::int32_t middle = client.Height() / 2;
    return part == Part::Up ? RECT{0, 0, client.right, middle} : RECT{0, middle, client.right, client.bottom};
}

Part PartAt(HWND window, LPARAM lParam) {
    const std::int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    for (Part part : {Part::Up, Part::Down})
        if (PartRect(window, part).Contains(x, y)) return part;
    return Part::None;
}

void Paint(HWND window, HDC dc, const UpDownState& s) {
    const UINT inactive = IsWindowEnabled(window) ? 0u : UINT(DFCS_INACTIVE);
    for (Part part : {Part::Up, Part::Down}) {
        RECT r = PartRect(window, part);
        const UINT pushed = s.held == part && s.onHeld ? UINT(DFCS_PUSHED) : 0u;
        DrawFrameControl(dc, &r, DFC_SCROLL,
                         (part == Part::Up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | pushed | inactive);
    }
}

void EndHold(HWND window, UpDownState& s) {
    s.held = Part::None;
    s.onHeld = false;
    KillTimer(window, kRepeatTimer);
    InvalidateRect(window, nullptr, FALSE);
}

void OnPress(HWND window, UpDownState& s, LPARAM lParam) {
    const Part part = PartAt(window, lParam);
    if (part == Part::None || !IsWindowEnabled(window)) return;
    if (s.buddy && GetFocus() != s.buddy) SetFocus(s.buddy);
    SetCapture(window);
    s.held = part;
    s.onHeld = true;
    InvalidateRect(window, nullptr, FALSE);
    SetTimer(window, kRepeatTimer, kFirstRepeatMilliseconds, nullptr);
    Step(window, part == Part::Up);
}

void OnRepeat(HWND window, UpDownState& s) {
    if (s.held == Part::None) {
        KillTimer(window, kRepeatTimer);
        return;
    }
    SetTimer(window, kRepeatTimer, kRepeatMilliseconds, nullptr);
    if (s.onHeld) Step(window, s.held == Part::Up);
}

} // namespace

LRESULT UpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) WindowStates<UpDownState>()[window];
    UpDownState* s = StateOf(window);
    if (!s) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        if (StyleOf(window) & UDS_AUTOBUDDY) SetBuddy(window, *s, GetWindow(window, GW_HWNDPREV));
        return 0;
    case WM_NCDESTROY:
        if (s->buddy) Unlink(s->buddy, window);
        WindowStates<UpDownState>().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    case UDM_SETRANGE:
        s->upper = std::int16_t(LOWORD(std::uintptr_t(lParam)));
        s->lower = std::int16_t(HIWORD(std::uintptr_t(lParam)));
        return 0;
    case UDM_GETRANGE:
        return MAKELPARAM(s->upper, s->lower);
    case UDM_SETRANGE32:
        s->lower = int(std::intptr_t(wParam));
        s->upper = int(lParam);
        return 0;
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = s->lower;
        if (lParam) *reinterpret_cast<int*>(lParam) = s->upper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        const int old = s->position;
        SetPosition(window, *s,
                    message == UDM_SETPOS ? std::int16_t(LOWORD(std::uintptr_t(lParam))) : int(lParam));
        return old;
    }
    case UDM_GETPOS: {
        const bool valid = ReadBuddy(window, *s);
        return MAKELPARAM(s->position, valid ? 0 : 1);
    }
    case UDM_GETPOS32: {
        const bool valid = ReadBuddy(window, *s);
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = valid ? FALSE : TRUE;
        return s->position;
    }
    case UDM_SETBUDDY:
        return LRESULT(SetBuddy(window, *s, HWND(wParam)));
    case UDM_GETBUDDY:
        return LRESULT(s->buddy);
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
    case WM_LBUTTONDBLCLK:
        OnPress(window, *s, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (s->held != Part::None) {
            const bool on = PartAt(window, lParam) == s->held;
            if (on != s->onHeld) InvalidateRect(window, nullptr, FALSE);
            s->onHeld = on;
        }
        return 0;
    case WM_LBUTTONUP:
        if (s->held == Part::None) return 0;
        EndHold(window, *s);
        if (GetCapture() == window) ReleaseCapture();
        if ((s = StateOf(window))) Scroll(window, SB_ENDSCROLL, s->position);
        return 0;
    case WM_CAPTURECHANGED:
        if (s->held != Part::None && HWND(lParam) != window) EndHold(window, *s);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) OnRepeat(window, *s);
        return 0;
    case WM_ENABLE:
        if (!wParam && s->held != Part::None) {
            EndHold(window, *s);
            if (GetCapture() == window) ReleaseCapture();
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
