#pragma once

#include "platform/gui/WindowSystem.h"

namespace vq {

// Hooks of the GUI thread, newest first in each kind's chain. Message filters see every message a
// modal loop (a menu's) takes before the loop acts on it; keyboard and mouse hooks see key and
// pointer input as it is taken from the queue, and a nonzero answer throws the input away.
inline constexpr int WH_MSGFILTER = -1;
inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_MOUSE = 7;
inline constexpr int MSGF_MENU = 2;
inline constexpr int HC_ACTION = 0;
// Input looked at but left in the queue.
inline constexpr int HC_NOREMOVE = 3;

struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd = 0;
    UINT wHitTestCode = 0;
    std::uintptr_t dwExtraInfo = 0;
};

using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);
struct HookRecord;
using HHOOK = HookRecord*;
HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, void* module, DWORD thread);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// TRUE when a hook swallowed the message.
BOOL CallMsgFilter(MSG* msg, int code);
// The keyboard or mouse hooks for input taken (or only looked at) from the queue; TRUE when one
// swallowed it. The window layer calls this.
BOOL CallInputHooks(const MSG& msg, int hitTest, bool removed);

} // namespace vq
