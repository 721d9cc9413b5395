#include "platform/gui/ToolTip.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/WindowRecord.h"
#include "platform/gui/WindowStates.h"
#include "platform/gui/WindowWidget.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {

namespace {

constexpr std::uintptr_t kShowTimer = 1;
constexpr std::uintptr_t kPopTimer = 2;
constexpr std::uintptr_t kLeaveTimer = 3;
// A tool's window relays only what reaches it, so while a tip shows it looks this often whether
// the pointer is still on the tool.
constexpr UINT kLeaveCheckMilliseconds = 100;
// Room between the frame and the text.
constexpr std::int32_t kPaddingX = 3;
constexpr std::int32_t kPaddingY = 2;

enum class TextKind { Stored, Resource, Callback };

struct Tool {
    UINT flags = 0;
    // The window whose client area holds the rectangle and which answers TTN_NEEDTEXT.
    HWND window = 0;
    std::uintptr_t id = 0;
    RECT rect;
    TextKind kind = TextKind::Stored;
    std::string text;
    UINT textId = 0;
    LPARAM lParam = 0;
};

// Idle: no tool under the pointer. Waiting: the pointer rests on a tool. Shown: its tip shows.
// Quiet: the tip popped, was clicked away or had no text; no tip until the pointer leaves.
enum class Phase { Idle, Waiting, Shown, Quiet };

struct TipState {
    std::vector<Tool> tools;
    bool active = true;
    // The base of the automatic delays, and the delays set one by one (-1: automatic).
    int automatic = -1;
    int set[4] = {-1, -1, -1, -1};
    Phase phase = Phase::Idle;
    // The tool under the pointer, by window and id.
    bool onTool = false;
    HWND toolWindow = 0;
    std::uintptr_t toolId = 0;
    UINT waitDelay = 0;
    POINT restingAt;
    // When a shown tip last went because the pointer left its tool or the tool went.
    bool tipLeft = false;
    DWORD tipLeftAt = 0;
};

// The state of every tool tip; tool tips live on the GUI thread only.
std::unordered_map<HWND, TipState>& States() {
    return WindowStates<TipState>();
}

TipState* StateOf(HWND window) {
    return FindWindowState<TipState>(window);
}

UINT Delay(const TipState& s, WPARAM which) {
    if (s.set[which] >= 0) return UINT(s.set[which]);
    const UINT base = s.automatic >= 0 ? UINT(s.automatic) : GetDoubleClickTime();
    switch (which) {
    case TTDT_RESHOW:
        return base / 5;
    case TTDT_AUTOPOP:
        return base * 10;
    default:
        return base;
    }
}

void SetDelay(TipState& s, WPARAM which, LPARAM lParam) {
    // A negative time puts the delay back to its automatic value.
    const int value = std::max(int(std::int16_t(LOWORD(std::uintptr_t(lParam)))), -1);
    if (which == TTDT_AUTOMATIC) {
        s.automatic = value;
        std::fill(std::begin(s.set), std::end(s.set), -1);
    } else if (which <= TTDT_INITIAL) {
        s.set[which] = value;
    }
}

Tool* FindTool(TipState& s, HWND window, std::uintptr_t id) {
    for (Tool& t : s.tools)
        if (t.window == window && t.id == id) return &t;
    return nullptr;
}

Tool* CurrentTool(TipState& s) {
    return s.onTool ? FindTool(s, s.toolWindow, s.toolId) : nullptr;
}

bool Covers(const Tool& t, HWND window, POINT client) {
    if (t.flags & TTF_IDISHWND) return HWND(t.id) == window;
    return t.window == window && t.rect.Contains(client.x, client.y);
}

const Tool* ToolAt(const TipState& s, HWND window, POINT client) {
    for (const Tool& t : s.tools)
        if (Covers(t, window, client)) return &t;
    return nullptr;
}

// Whether the pointer, wherever it went since the last relayed message, is still on the tool.
bool PointerOn(const Tool& t) {
    POINT screen;
    GetCursorPos(&screen);
    const HWND under = WindowFromPoint(screen);
    if (t.flags & TTF_IDISHWND) return under == HWND(t.id) || IsChild(HWND(t.id), under);
    POINT client = screen;
    ScreenToClient(t.window, &client);
    return under == t.window && t.rect.Contains(client.x, client.y);
}

HWND TopLevelOf(HWND window) {
    while (window && IsChildStyle(DWORD(GetWindowLongPtr(window, GWL_STYLE))))
        window = GetParent(window);
    return window;
}

void Hide(HWND tip, TipState& s) {
    KillTimer(tip, kShowTimer);
    KillTimer(tip, kPopTimer);
    KillTimer(tip, kLeaveTimer);
    if (IsWindowVisible(tip)) ShowWindow(tip, SW_HIDE);
    if (s.phase == Phase::Shown || s.phase == Phase::Waiting) s.phase = Phase::Quiet;
}

void Forget(HWND tip, TipState& s) {
    if (s.phase == Phase::Shown) {
        s.tipLeft = true;
        s.tipLeftAt = GetTickCount();
    }
    Hide(tip, s);
    s.phase = Phase::Idle;
    s.onTool = false;
}

std::string StringResource(UINT id) {
    const auto bytes = FindResource(RT_STRING, id);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string AskForText(HWND tip, const Tool& t) {
    NMTTDISPINFO info;
    info.hdr = {tip, t.id, TTN_NEEDTEXT};
    info.uFlags = t.flags;
    info.lParam = t.lParam;
    SendMessage(t.window, WM_NOTIFY, WPARAM(t.id), reinterpret_cast<LPARAM>(&info));
    if (!info.lpszText || info.lpszText == LPSTR_TEXTCALLBACK)
        return std::string(info.szText, strnlen(info.szText, sizeof info.szText));
    if (IsTextId(info.lpszText)) return StringResource(UINT(reinterpret_cast<std::uintptr_t>(info.lpszText)));
    return info.lpszText;
}

std::string TextOf(HWND tip, const Tool& t) {
    switch (t.kind) {
    case TextKind::Resource:
        return StringResource(t.textId);
    case TextKind::Callback:
        return AskForText(tip, t);
    default:
        return t.text;
    }
}

UINT TextFormat(HWND tip) {
    const bool noPrefix = GetWindowLongPtr(tip, GWL_STYLE) & TTS_NOPREFIX;
    return DT_SINGLELINE | DT_LEFT | DT_VCENTER | (noPrefix ? UINT(DT_NOPREFIX) : 0u);
}

// Sized to its text, just below the pointer's arrow, and kept on the screen.
void ShowText(HWND tip, const std::string& text) {
    SetWindowText(tip, text.c_str());
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT extent{};
    DrawText(dc, text.c_str(), -1, &extent, TextFormat(tip) | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(0, dc);
    const std::int32_t width = extent.Width() + 2 * (1 + kPaddingX);
    const std::int32_t height = extent.Height() + 2 * (1 + kPaddingY);
    POINT pointer;
    GetCursorPos(&pointer);
    const std::int32_t below = pointer.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
    const std::int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const std::int32_t x = std::max(std::min(pointer.x, screenWidth - width), 0);
    const std::int32_t y = below + height <= GetSystemMetrics(SM_CYSCREEN) ? below : pointer.y - height;
    SetWindowPos(tip, HWND_TOP, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tip, nullptr, TRUE);
}

void OnShowTimer(HWND tip, TipState& s) {
    KillTimer(tip, kShowTimer);
    Tool* tool = CurrentTool(s);
    if (s.phase != Phase::Waiting || !tool) return;
    if (!PointerOn(*tool)) {
        Forget(tip, s);
        return;
    }
    const bool mayShow =
        (GetWindowLongPtr(tip, GWL_STYLE) & TTS_ALWAYSTIP) || TopLevelOf(tool->window) == GetActiveWindow();
    if (!mayShow) {
        s.phase = Phase::Quiet;
        return;
    }
    const std::string text = TextOf(tip, *tool);
    // The answer to TTN_NEEDTEXT may have changed or destroyed the tip.
    TipState* now = StateOf(tip);
    if (!now || now->phase != Phase::Waiting || !CurrentTool(*now)) return;
    if (text.empty()) {
        now->phase = Phase::Quiet;
        return;
    }
    ShowText(tip, text);
    now->phase = Phase::Shown;
    SetTimer(tip, kPopTimer, Delay(*now, TTDT_AUTOPOP), nullptr);
    SetTimer(tip, kLeaveTimer, kLeaveCheckMilliseconds, nullptr);
}

void OnTimer(HWND tip, TipState& s, std::uintptr_t id) {
    switch (id) {
    case kShowTimer:
        OnShowTimer(tip, s);
        break;
    case kPopTimer:
        Hide(tip, s);
        break;
    case kLeaveTimer:
        if (Tool* tool = CurrentTool(s); !tool || !PointerOn(*tool)) Forget(tip, s);
        break;
    default:
        break;
    }
}

bool IsRelayed(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

void Relay(HWND tip, TipState& s, const MSG& msg) {
    if (!s.active || !IsRelayed(msg.message)) return;
    const POINT client{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    POINT screen = client;
    ClientToScreen(msg.hwnd, &screen);
    const Tool* hit = ToolAt(s, msg.hwnd, client);
    const bool same = hit && s.onTool && hit->window == s.toolWindow && hit->id == s.toolId;
    if (msg.message != WM_MOUSEMOVE) {
        // A click puts the tip away for as long as the pointer stays on the tool.
        Hide(tip, s);
        s.phase = hit ? Phase::Quiet : Phase::Idle;
        s.onTool = hit != nullptr;
        if (hit) {
            s.toolWindow = hit->window;
            s.toolId = hit->id;
        }
        return;
    }
    if (same) {
        // The initial delay counts from when the pointer came to rest.
        if (s.phase == Phase::Waiting && (screen.x != s.restingAt.x || screen.y != s.restingAt.y)) {
            s.restingAt = screen;
            SetTimer(tip, kShowTimer, s.waitDelay, nullptr);
        }
        return;
    }
    Forget(tip, s);
    if (!hit) return;
    // Moving on from a tip that went a moment ago brings the next one sooner.
    const bool reshow = s.tipLeft && GetTickCount() - s.tipLeftAt <= Delay(s, TTDT_RESHOW);
    s.onTool = true;
    s.toolWindow = hit->window;
    s.toolId = hit->id;
    s.phase = Phase::Waiting;
    s.restingAt = screen;
    s.waitDelay = Delay(s, reshow ? TTDT_RESHOW : TTDT_INITIAL);
    SetTimer(tip, kShowTimer, s.waitDelay, nullptr);
}

BOOL AddTool(TipState& s, const TOOLINFO* info) {
    if (!info) return FALSE;
    Tool t;
    t.flags = info->uFlags;
    t.window = info->hwnd;
    t.id = info->uId;
    t.rect = info->rect;
    t.lParam = info->lParam;
    if (info->lpszText == LPSTR_TEXTCALLBACK) {
        t.kind = TextKind::Callback;
    } else if (IsTextId(info->lpszText)) {
        t.kind = TextKind::Resource;
        t.textId = UINT(reinterpret_cast<std::uintptr_t>(info->lpszText));
    } else {
        t.text = info->lpszText;
    }
    // A tool added again under its window and id replaces the first.
    if (Tool* old = FindTool(s, t.window, t.id))
        *old = std::move(t);
    else
        s.tools.push_back(std::move(t));
    return TRUE;
}

void DeleteTool(HWND tip, TipState& s, const TOOLINFO* info) {
    if (!info) return;
    if (s.onTool && s.toolWindow == info->hwnd && s.toolId == info->uId) Forget(tip, s);
    std::erase_if(s.tools, [&](const Tool& t) { return t.window == info->hwnd && t.id == info->uId; });
}

void Paint(HWND tip) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(tip, &ps);
    RECT client;
    GetClientRect(tip, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    std::string text(std::size_t(GetWindowTextLength(tip)) + 1, '\0');
    text.resize(std::size_t(GetWindowText(tip, text.data(), int(text.size()))));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT inside{client.left + 1 + kPaddingX, client.top + 1, client.right - 1 - kPaddingX, client.bottom - 1};
    DrawText(dc, text.c_str(), -1, &inside, TextFormat(tip));
    SelectObject(dc, old);
    EndPaint(tip, &ps);
}

// A tip never takes the activation or the focus, whatever Qt's window manager would do.
void MakeWidgetATip(HWND tip) {
    WindowRecord* r = FindWindowRecord(tip);
    if (!r || !r->widget || r->widget->parentWidget()) return;
    r->widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    r->widget->setAttribute(Qt::WA_ShowWithoutActivating);
}

} // namespace

LRESULT ToolTipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        States()[window];
        MakeWidgetATip(window);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        States().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    }
    TipState* s = StateOf(window);
    if (!s) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case TTM_ACTIVATE:
        s->active = wParam != 0;
        if (!s->active) Forget(window, *s);
        return 0;
    case TTM_SETDELAYTIME:
        SetDelay(*s, wParam, lParam);
        return 0;
    case TTM_ADDTOOL:
        return AddTool(*s, reinterpret_cast<const TOOLINFO*>(lParam));
    case TTM_DELTOOL:
        DeleteTool(window, *s, reinterpret_cast<const TOOLINFO*>(lParam));
        return 0;
    case TTM_NEWTOOLRECT:
        if (const auto* info = reinterpret_cast<const TOOLINFO*>(lParam))
            if (Tool* t = FindTool(*s, info->hwnd, info->uId)) t->rect = info->rect;
        return 0;
    case TTM_RELAYEVENT:
        if (const auto* msg = reinterpret_cast<const MSG*>(lParam)) Relay(window, *s, *msg);
        return 0;
    case TTM_GETTOOLCOUNT:
        return LRESULT(s->tools.size());
    case WM_TIMER:
        OnTimer(window, *s, std::uintptr_t(wParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The pointer came onto the tip itself: it makes way.
        Hide(window, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
