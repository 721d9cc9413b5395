#include "platform/gui/Hooks.h"

#include <algorithm>
#include <vector>

namespace vq {

struct HookRecord {
    int kind;
    HOOKPROC proc;
};

namespace {

// Hooks belong to the GUI thread only; newest first.
std::vector<HHOOK>& Hooks() {
    static std::vector<HHOOK> hooks;
    return hooks;
}

HHOOK FirstOf(int kind, std::vector<HHOOK>::iterator from) {
    auto& hooks = Hooks();
    const auto it = std::find_if(from, hooks.end(), [kind](HHOOK h) { return h->kind == kind; });
    return it == hooks.end() ? nullptr : *it;
}

LRESULT CallChain(int kind, int code, WPARAM wParam, LPARAM lParam) {
    HHOOK first = FirstOf(kind, Hooks().begin());
    return first ? first->proc(code, wParam, lParam) : 0;
}

} // namespace

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, void*, DWORD) {
    if ((kind != WH_MSGFILTER && kind != WH_KEYBOARD && kind != WH_MOUSE) || !proc) return nullptr;
    Hooks().insert(Hooks().begin(), new HookRecord{kind, proc});
    return Hooks().front();
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& hooks = Hooks();
    const auto it = std::find(hooks.begin(), hooks.end(), hook);
    if (it == hooks.end()) return FALSE;
    hooks.erase(it);
    delete hook;
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    auto& hooks = Hooks();
    auto it = std::find(hooks.begin(), hooks.end(), hook);
    if (it == hooks.end()) return 0;
    HHOOK next = FirstOf(hook->kind, it + 1);
    return next ? next->proc(code, wParam, lParam) : 0;
}

BOOL CallMsgFilter(MSG* msg, int code) {
    return msg && CallChain(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

BOOL CallInputHooks(const MSG& msg, int hitTest, bool removed) {
    const int code = removed ? HC_ACTION : HC_NOREMOVE;
    const UINT m = msg.message;
    if (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP)
        return CallChain(WH_KEYBOARD, code, msg.wParam, msg.lParam) != 0;
    const bool nonClient = msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMOUSEMOVE + 9;
    if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) || nonClient) {
        MOUSEHOOKSTRUCT info{msg.pt, msg.hwnd, UINT(hitTest), 0};
        return CallChain(WH_MOUSE, code, msg.message, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    return FALSE;
}

} // namespace vq
