#include "platform/gui/MdiClient.h"

#include "platform/gui/Messages.h"
#include "platform/gui/SystemColours.h"
#include "platform/gui/WindowPlacement.h"
#include "platform/gui/WindowStates.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vq {

namespace {

struct MdiClientState {
    HMENU windowMenu = nullptr;
    UINT firstId = kFirstMdiChildId;
    // Creation order: the window list's order and the order WM_MDINEXT steps through.
    std::vector<HWND> children;
    HWND active = 0;
    // How many children were placed by default; the next one cascades one step further.
    int defaultPlaced = 0;
    // The menu the list was last written to, with the separator it put before the list.
    HMENU listedIn = nullptr;
};

MdiClientState* StateOf(HWND client) {
    return FindWindowState<MdiClientState>(client);
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

void SetStyle(HWND window, DWORD style) {
    SetWindowLongPtr(window, GWL_STYLE, std::intptr_t(style));
}

// The child's window rectangle in the client's coordinates.
RECT ChildRect(HWND client, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(client, &corners[0]);
    ScreenToClient(client, &corners[1]);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void Place(HWND child, const RECT& r) {
    SetWindowPos(child, 0, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

int CascadeStep() {
    return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
}

void RemoveList(MdiClientState& state) {
    HMENU menu = state.listedIn;
    state.listedIn = nullptr;
    if (!menu || !IsMenu(menu)) return;
    for (UINT i = 0; i < kMdiWindowListLength; ++i)
        DeleteMenu(menu, state.firstId + i, MF_BYCOMMAND);
    // The separator the list brought with it is the menu's last item.
    const int last = GetMenuItemCount(menu) - 1;
    if (last >= 0 && (GetMenuState(menu, UINT(last), MF_BYPOSITION) & MF_SEPARATOR))
        DeleteMenu(menu, UINT(last), MF_BYPOSITION);
}

void WriteList(HWND, MdiClientState& state) {
    RemoveList(state);
    HMENU menu = state.windowMenu;
    if (!menu || !IsMenu(menu) || state.children.empty()) return;
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    const std::size_t count = std::min<std::size_t>(state.children.size(), kMdiWindowListLength);
    for (std::size_t i = 0; i < count; ++i) {
        const HWND child = state.children[i];
        char title[256];
        GetWindowText(child, title, int(sizeof title));
        const std::string text = "&" + std::to_string(i + 1) + " " + title;
        AppendMenu(menu, MF_STRING | (child == state.active ? MF_CHECKED : MF_UNCHECKED),
                   state.firstId + UINT(i), text.c_str());
    }
    state.listedIn = menu;
}

void Restore(HWND client, HWND child) {
    const DWORD style = StyleOf(child);
    if (!(style & (WS_MAXIMIZE | WS_MINIMIZE))) return;
    const std::optional<RECT> normal = GetRestoreRect(child);
    SetStyle(child, style & ~(WS_MAXIMIZE | WS_MINIMIZE));
    SetRestoreRect(child, nullptr);
    Place(child, normal ? *normal : ChildRect(client, child));
}

void Maximize(HWND client, HWND child) {
    const DWORD style = StyleOf(child);
    if (style & WS_MAXIMIZE) return;
    if (!(style & WS_MINIMIZE)) {
        const RECT normal = ChildRect(client, child);
        SetRestoreRect(child, &normal);
    }
    SetStyle(child, (style & ~WS_MINIMIZE) | WS_MAXIMIZE);
    // The frame lies outside the client, so the child's own client area fills it.
    RECT r;
    GetClientRect(client, &r);
    AdjustWindowRectEx(&r, style, FALSE, DWORD(GetWindowLongPtr(child, GWL_EXSTYLE)));
    Place(child, r);
}

void ArrangeIcons(HWND client, const MdiClientState& state) {
    RECT area;
    GetClientRect(client, &area);
    const int width = 160;
    const int height = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    int x = 0;
    for (HWND child : state.children) {
        if (!(StyleOf(child) & WS_MINIMIZE)) continue;
        Place(child, {x, area.bottom - height, x + width, area.bottom});
        x += width;
    }
}

void Minimize(HWND client, MdiClientState& state, HWND child) {
    const DWORD style = StyleOf(child);
    if (style & WS_MINIMIZE) return;
    if (!(style & WS_MAXIMIZE)) {
        const RECT normal = ChildRect(client, child);
        SetRestoreRect(child, &normal);
    }
    SetStyle(child, (style & ~WS_MAXIMIZE) | WS_MINIMIZE);
    ArrangeIcons(client, state);
}

void Activate(HWND client, MdiClientState& state, HWND child) {
    const HWND old = state.active;
    if (child == old) {
        // A child clicked again looks active again, after a window elsewhere stood in for it.
        if (child && IsWindow(child)) SendMessage(child, WM_NCACTIVATE, TRUE, 0);
        return;
    }
    const bool passMaximized = old && child && (StyleOf(old) & WS_MAXIMIZE);
    state.active = child;
    if (old && IsWindow(old)) {
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
        SendMessage(old, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
    }
    if (passMaximized && IsWindow(old)) Restore(client, old);
    if (child && IsWindow(child)) {
        if (passMaximized) Maximize(client, child);
        SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessage(child, WM_NCACTIVATE, TRUE, 0);
        SendMessage(child, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
        // The keyboard follows the active document while the frame has it.
        HWND focus = GetFocus();
        if (!focus || focus == client || IsChild(client, focus) || focus == GetParent(client)) {
            if (!focus || !IsChild(child, focus)) SetFocus(child);
        }
    }
    WriteList(client, state);
}

// The child after (or before) `from` in creation order that is visible.
HWND NextChild(const MdiClientState& state, HWND from, bool previous) {
    const auto& list = state.children;
    if (list.empty()) return 0;
    const auto at = std::find(list.begin(), list.end(), from);
    const std::ptrdiff_t n = std::ptrdiff_t(list.size());
    std::ptrdiff_t i = at == list.end() ? 0 : at - list.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t j = ((i + (previous ? -step : step)) % n + n) % n;
        if (list[std::size_t(j)] != from && IsWindowVisible(list[std::size_t(j)])) return list[std::size_t(j)];
    }
    return 0;
}

// The child goes from the list; the next one takes over the activation and the maximised state.
void Forget(HWND client, MdiClientState& state, HWND child) {
    const auto at = std::find(state.children.begin(), state.children.end(), child);
    if (at == state.children.end()) return;
    if (state.active == child) {
        const HWND next = NextChild(state, child, false);
        if (next && (StyleOf(child) & WS_MAXIMIZE)) Maximize(client, next);
        if (next) {
            Activate(client, state, next);
        } else {
            state.active = 0;
            SendMessage(child, WM_MDIACTIVATE, WPARAM(child), 0);
        }
    }
    std::erase(state.children, child);
    WriteList(client, state);
}

HWND Create(HWND client, MdiClientState& state, const MDICREATESTRUCT* mcs) {
    if (!mcs || !mcs->szClass) return 0;
    RECT area;
    GetClientRect(client, &area);
    std::int32_t x = mcs->x, y = mcs->y, cx = mcs->cx, cy = mcs->cy;
    if (x == CW_USEDEFAULT) {
        const int step = CascadeStep() * (state.defaultPlaced++ % 8);
        x = y = step;
    }
    if (cx == CW_USEDEFAULT) {
        cx = std::max(area.Width() * 3 / 4, 100);
        cy = std::max(area.Height() * 3 / 4, 60);
    }
    const DWORD style = (mcs->style | WS_CHILD | WS_CLIPSIBLINGS) & ~(WS_VISIBLE | WS_POPUP);
    const UINT id = state.firstId + UINT(state.children.size());
    const HWND child = CreateWindowEx(WS_EX_MDICHILD, mcs->szClass, mcs->szTitle ? mcs->szTitle : "", style, x, y,
                                      cx, cy, client, id, const_cast<MDICREATESTRUCT*>(mcs));
    // The creation may have destroyed the client.
    MdiClientState* live = StateOf(client);
    if (!child || !live) return child;
    live->children.push_back(child);
    const bool maximizedActive = live->active && (StyleOf(live->active) & WS_MAXIMIZE);
    ShowWindow(child, SW_SHOWNA);
    if ((mcs->style & WS_MAXIMIZE) || maximizedActive) Maximize(client, child);
    Activate(client, *live, child);
    return child;
}

void Cascade(HWND client, const MdiClientState& state) {
    RECT area;
    GetClientRect(client, &area);
    int i = 0;
    for (HWND child : state.children) {
        if (!IsWindowVisible(child) || (StyleOf(child) & WS_MINIMIZE)) continue;
        Restore(client, child);
        const int step = CascadeStep() * i++;
        Place(child, {step, step, step + area.Width() * 3 / 4, step + area.Height() * 3 / 4});
    }
}

void Tile(HWND client, const MdiClientState& state) {
    std::vector<HWND> tiled;
    for (HWND child : state.children)
        if (IsWindowVisible(child) && !(StyleOf(child) & WS_MINIMIZE)) tiled.push_back(child);
    if (tiled.empty()) return;
    RECT area;
    GetClientRect(client, &area);
    const int columns = int(std::ceil(std::sqrt(double(tiled.size()))));
    const int rows = (int(tiled.size()) + columns - 1) / columns;
    const int w = area.Width() / columns;
    const int h = area.Height() / rows;
    for (std::size_t i = 0; i < tiled.size(); ++i) {
        Restore(client, tiled[i]);
        const int col = int(i) % columns, row = int(i) / columns;
        Place(tiled[i], {col * w, row * h, (col + 1) * w, (row + 1) * h});
    }
}

LRESULT SetMenus(HWND client, MdiClientState& state, HMENU frameMenu, HMENU windowMenu) {
    const HWND frame = GetParent(client);
    const HMENU old = frame ? GetMenu(frame) : nullptr;
    if (frameMenu && frame) {
        RemoveList(state);
        SetMenu(frame, frameMenu);
    }
    if (windowMenu) state.windowMenu = windowMenu;
    WriteList(client, state);
    return LRESULT(old);
}

LRESULT ClientProc(HWND client, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        const auto* ccs = cs ? static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams) : nullptr;
        MdiClientState state;
        if (ccs) {
            state.windowMenu = ccs->hWindowMenu;
            state.firstId = ccs->idFirstChild;
        }
        WindowStates<MdiClientState>()[client] = state;
        return 0;
    }
    if (message == WM_NCDESTROY) {
        if (MdiClientState* state = StateOf(client)) RemoveList(*state);
        WindowStates<MdiClientState>().erase(client);
        return DefWindowProc(client, message, wParam, lParam);
    }
    MdiClientState* state = StateOf(client);
    if (!state) return DefWindowProc(client, message, wParam, lParam);
    const HWND child = HWND(wParam);
    const bool known = std::find(state->children.begin(), state->children.end(), child) != state->children.end();
    switch (message) {
    case WM_MDICREATE:
        return LRESULT(Create(client, *state, reinterpret_cast<const MDICREATESTRUCT*>(lParam)));
    case WM_MDIDESTROY:
        if (known) DestroyWindow(child);
        return 0;
    case WM_MDIACTIVATE:
        if (known) Activate(client, *state, child);
        return 0;
    case WM_MDIGETACTIVE:
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = state->active && (StyleOf(state->active) & WS_MAXIMIZE);
        return LRESULT(state->active);
    case WM_MDIMAXIMIZE:
        if (known) Maximize(client, child);
        return 0;
    case WM_MDIRESTORE:
        if (known) {
            Restore(client, child);
            ArrangeIcons(client, *state);
        }
        return 0;
    case WM_MDINEXT: {
        const HWND from = known ? child : state->active;
        if (const HWND next = NextChild(*state, from, lParam != 0)) Activate(client, *state, next);
        return 0;
    }
    case WM_MDISETMENU:
        return SetMenus(client, *state, reinterpret_cast<HMENU>(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MDIREFRESHMENU:
        WriteList(client, *state);
        return LRESULT(GetParent(client) ? GetMenu(GetParent(client)) : nullptr);
    case WM_MDITILE:
        Tile(client, *state);
        return TRUE;
    case WM_MDICASCADE:
        Cascade(client, *state);
        return TRUE;
    case WM_MDIICONARRANGE:
        ArrangeIcons(client, *state);
        return 0;
    case WM_NCACTIVATE:
        // The active child's caption follows what its frame is told.
        if (state->active) SendMessage(state->active, WM_NCACTIVATE, wParam, 0);
        return TRUE;
    case WM_SIZE:
        if (state->active && (StyleOf(state->active) & WS_MAXIMIZE)) {
            SetStyle(state->active, StyleOf(state->active) & ~WS_MAXIMIZE);
            Maximize(client, state->active);
        }
        ArrangeIcons(client, *state);
        return 0;
    default:
        return DefWindowProc(client, message, wParam, lParam);
    }
}

HWND ClientOf(HWND child) {
    const HWND parent = GetParent(child);
    return parent && StateOf(parent) ? parent : 0;
}

} // namespace

const char* MdiClientClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &ClientProc;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_APPWORKSPACE + 1));
        wc.lpszClassName = "MDICLIENT";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "MDICLIENT" : nullptr;
}

LRESULT DefFrameProc(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && client && lParam == 0)
        if (MdiClientState* state = StateOf(client)) {
            const UINT id = LOWORD(wParam);
            if (id >= state->firstId && id - state->firstId < state->children.size()) {
                SendMessage(client, WM_MDIACTIVATE, WPARAM(state->children[id - state->firstId]), 0);
                return 0;
            }
        }
    return DefWindowProc(frame, message, wParam, lParam);
}

LRESULT DefMDIChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND client = ClientOf(child);
    if (!client) return DefWindowProc(child, message, wParam, lParam);
    switch (message) {
    case WM_CHILDACTIVATE:
        SendMessage(client, WM_MDIACTIVATE, WPARAM(child), 0);
        return 0;
    case WM_MOUSEACTIVATE: {
        const LRESULT answer = DefWindowProc(child, message, wParam, lParam);
        SendMessage(client, WM_MDIACTIVATE, WPARAM(child), 0);
        return answer;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
            SendMessage(client, WM_MDIMAXIMIZE, WPARAM(child), 0);
            return 0;
        case SC_RESTORE:
            SendMessage(client, WM_MDIRESTORE, WPARAM(child), 0);
            return 0;
        case SC_MINIMIZE:
            if (MdiClientState* state = StateOf(client)) Minimize(client, *state, child);
            return 0;
        case SC_NEXTWINDOW:
            SendMessage(client, WM_MDINEXT, WPARAM(child), 0);
            return 0;
        default:
            return DefWindowProc(child, message, wParam, lParam);
        }
    case WM_CLOSE:
        SendMessage(client, WM_MDIDESTROY, WPARAM(child), 0);
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProc(child, message, wParam, lParam);
        if (MdiClientState* state = StateOf(client)) WriteList(client, *state);
        return result;
    }
    case WM_DESTROY:
        if (MdiClientState* state = StateOf(client)) Forget(client, *state, child);
        return DefWindowProc(child, message, wParam, lParam);
    default:
        return DefWindowProc(child, message, wParam, lParam);
    }
}

BOOL TranslateMDISysAccel(HWND client, const MSG* msg) {
    if (!msg || !client || !StateOf(client) || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return FALSE;
    const HWND active = HWND(SendMessage(client, WM_MDIGETACTIVE, 0, 0));
    if (!active) return FALSE;
    if (msg->wParam == VK_F4) {
        SendMessage(active, WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    if (msg->wParam == VK_F6) {
        const bool previous = GetKeyState(VK_SHIFT) < 0;
        SendMessage(client, WM_MDINEXT, WPARAM(active), previous);
        return TRUE;
    }
    return FALSE;
}

BOOL IsZoomed(HWND window) {
    return IsWindow(window) && (StyleOf(window) & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
    return IsWindow(window) && (StyleOf(window) & WS_MINIMIZE) ? TRUE : FALSE;
}

} // namespace vq
