#pragma once

#include "platform/gui/Bitmap.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/Region.h"
#include "platform/gui/WindowScrollBar.h"
#include "platform/gui/WindowSystem.h"
#include "platform/thread/ThreadId.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq {

class ControlOverlay;
class WindowWidget;

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windowExtra = 0;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
};

// Everything the window system keeps about one window. Only the owning thread touches it.
struct WindowRecord {
    HWND handle = 0;
    const WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = 0;
    std::uintptr_t id = 0;
    std::intptr_t userData = 0;
    DWORD contextHelpId = 0;
    std::string text;
    ThreadId thread = 0;
    // The window rectangle: in the parent's client coordinates for a child, in screen coordinates
    // for a top-level window.
    RECT rect;
    // The client area within the window rectangle (window coordinates).
    RECT client;
    // Top first; the first child is the top of the sibling order and first in tab order.
    std::vector<HWND> children;
    // The retained image of the whole window, non-client area included.
    Bitmap image{0, 0, false};
    // Where a minimised or maximised window goes back to (as `rect`); placements report it.
    std::optional<RECT> restoreRect;
    // The icons WM_SETICON gave the window (small, big); the window does not own them.
    LPARAM icons[2] = {0, 0};
    // Client coordinates.
    Region update;
    bool erasePending = false;
    bool frameDirty = false;
    // The caption is drawn active: what the last WM_NCACTIVATE said, which a frame may keep on
    // while a window that floats over it is the active one.
    bool captionActive = false;
    // WS_VISIBLE taken off through SetWindowLongPtr: the window stays on screen, but the default
    // procedure paints none of its frame until the bit comes back.
    bool visibilityHeld = false;
    // A paint was asked for whatever the update region holds.
    bool internalPaint = false;
    // Window and paint contexts handed out and not yet released.
    int openContexts = 0;
    bool destroying = false;
    // The window whose destruction takes this one down with it.
    HWND destroyRoot = 0;
    bool destroyed = false;
    int dispatchDepth = 0;
    QPointer<WindowWidget> widget;
    // The Qt widget of a Qt-backed control, a child of `widget`, and above it what client-area
    // contexts draw on the control.
    QPointer<QWidget> qtControl;
    QPointer<ControlOverlay> overlay;
    // The font a control was given with WM_SETFONT, as it came.
    HFONT font = nullptr;
    std::vector<std::uintptr_t> timers;
    // The window's own horizontal and vertical bars (SB_HORZ, SB_VERT).
    WindowScrollBar scrollBars[2];

    bool IsChild() const { return IsChildStyle(style); }
    bool NeedsPaint() const { return !update.IsEmpty() || frameDirty || internalPaint; }
};

// The window layer's table, for the layer's own parts (widgets, harness).
WindowRecord* FindWindowRecord(HWND window);
// Where the window's top-left corner is on the screen.
POINT WindowScreenOrigin(const WindowRecord& record);
// Queues input for the window under the point, the capture or the focus window, decided when it
// is taken from the queue.
void PostInput(UINT message, WPARAM wParam, LPARAM lParam, POINT screen);
// Where the pointer was last seen, in screen coordinates.
void SetCursorPosition(POINT screen);
// Lets Qt deliver what it has queued (input, repaints, deferred deletions) without dispatching
// the thread's own queue from its notifier.
void ProcessQtEvents();
// Repaints the widgets of windows whose retained image changed.
void ShowRetainedImage(WindowRecord& record);
// The calling thread's top-level windows, top first.
std::vector<HWND> TopLevelWindows();
// Asks the GUI thread to look for windows that need painting.
void SchedulePaint();
// Moves, sizes and restacks the window as WM_WINDOWPOSCHANGING leaves `pos`, which then holds what
// WM_WINDOWPOSCHANGED reports; the caller sends that. False when the window is gone.
bool ApplyWindowPos(WINDOWPOS& pos);

} // namespace vq
