#include "platform/gui/WindowPlacement.h"

#include "platform/gui/WindowRecord.h"

namespace vq {

namespace {

bool WellFormed(const WINDOWPLACEMENT* placement) {
    return placement && placement->length == sizeof(WINDOWPLACEMENT);
}

// Windows are only ever shown normally or hidden here, so a minimising or maximising command
// restores.
int ShowingCommand(UINT showCmd) {
    switch (showCmd) {
    case SW_HIDE:
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        return int(showCmd);
    default:
        return SW_SHOWNORMAL;
    }
}

} // namespace

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    const WindowRecord* r = FindWindowRecord(window);
    if (!r || !WellFormed(placement)) return FALSE;
    placement->flags = 0;
    placement->showCmd = !(r->style & WS_VISIBLE)   ? UINT(SW_HIDE)
                         : (r->style & WS_MAXIMIZE) ? UINT(SW_SHOWMAXIMIZED)
                         : (r->style & WS_MINIMIZE) ? UINT(SW_SHOWMINIMIZED)
                                                    : UINT(SW_SHOWNORMAL);
    placement->ptMinPosition = {-1, -1};
    placement->ptMaxPosition = {-1, -1};
    const bool away = (r->style & (WS_MAXIMIZE | WS_MINIMIZE)) && r->restoreRect;
    placement->rcNormalPosition = away ? *r->restoreRect : r->rect;
    return TRUE;
}

void SetRestoreRect(HWND window, const RECT* rect) {
    if (WindowRecord* r = FindWindowRecord(window)) r->restoreRect = rect ? std::optional<RECT>(*rect) : std::nullopt;
}

std::optional<RECT> GetRestoreRect(HWND window) {
    const WindowRecord* r = FindWindowRecord(window);
    return r ? r->restoreRect : std::nullopt;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    if (!FindWindowRecord(window) || !WellFormed(placement)) return FALSE;
    const RECT& to = placement->rcNormalPosition;
    if (to.right < to.left || to.bottom < to.top) return FALSE;
    SetWindowPos(window, HWND_TOP, to.left, to.top, to.Width(), to.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindow(window)) ShowWindow(window, ShowingCommand(placement->showCmd));
    return TRUE;
}

} // namespace vq
