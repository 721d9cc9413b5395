#pragma once

#include "platform/gui/DeviceContext.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SystemColours.h"

#include <cstdint>
#include <string>

namespace vq {

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, std::uintptr_t, DWORD);

struct IconImage;

// A cursor: one of the shapes the window system knows, or an image from the resources. Handles
// are constant records, usable before the GUI application exists; the system cursor is made from
// them when first shown.
struct CursorShape {
    int shape;
    const IconImage* image = nullptr;
};
using HCURSOR = const CursorShape*;

inline constexpr std::uintptr_t IDC_ARROW = 32512;
inline constexpr std::uintptr_t IDC_IBEAM = 32513;
inline constexpr std::uintptr_t IDC_WAIT = 32514;
inline constexpr std::uintptr_t IDC_CROSS = 32515;
inline constexpr std::uintptr_t IDC_SIZENWSE = 32642;
inline constexpr std::uintptr_t IDC_SIZENESW = 32643;
inline constexpr std::uintptr_t IDC_SIZEWE = 32644;
inline constexpr std::uintptr_t IDC_SIZENS = 32645;
inline constexpr std::uintptr_t IDC_SIZEALL = 32646;
inline constexpr std::uintptr_t IDC_NO = 32648;
inline constexpr std::uintptr_t IDC_HAND = 32649;

// A system cursor by id, else the cursor resource of that id; null for neither.
HCURSOR LoadCursor(std::uintptr_t id);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

struct IconImage;
using HICON = IconImage*;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HCURSOR hCursor = nullptr;
    // A brush, or a system colour index plus one given as a brush.
    HBRUSH hbrBackground = nullptr;
    const char* lpszClassName = nullptr;
    // The class's icons: the small one shows in the caption of its windows (the large one,
    // scaled, when there is no small one); the class does not own them.
    HICON hIcon = nullptr;
    HICON hIconSm = nullptr;
};

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    std::uintptr_t hMenu = 0;
    HWND hwndParent = 0;
    std::int32_t cy = 0;
    std::int32_t cx = 0;
    std::int32_t y = 0;
    std::int32_t x = 0;
    DWORD style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
};

inline constexpr std::int32_t CW_USEDEFAULT = std::int32_t(0x80000000);

// Special places in the sibling order.
inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_BOTTOM = 1;

enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOREDRAW = 0x0008,
    SWP_NOACTIVATE = 0x0010,
    SWP_FRAMECHANGED = 0x0020,
    SWP_SHOWWINDOW = 0x0040,
    SWP_HIDEWINDOW = 0x0080,
    SWP_NOCOPYBITS = 0x0100,
};

// The position a window is about to take (WM_WINDOWPOSCHANGING, which may change it) or took
// (WM_WINDOWPOSCHANGED, whose default handling sends WM_MOVE and WM_SIZE). Unchanged parts carry
// SWP_NOMOVE and SWP_NOSIZE.
struct WINDOWPOS {
    HWND hwnd = 0;
    HWND hwndInsertAfter = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    UINT flags = 0;
};

// The sizes and places a window may take, asked of it (WM_GETMINMAXINFO) before the user moves or
// sizes it by its frame; the tracking sizes bound every size the frame gives it meanwhile.
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5, SW_SHOWNA = 8, SW_SHOWNOACTIVATE = 4 };
enum : UINT {
    GW_HWNDFIRST = 0,
    GW_HWNDLAST = 1,
    GW_HWNDNEXT = 2,
    GW_HWNDPREV = 3,
    GW_OWNER = 4,
    GW_CHILD = 5
};
enum : int { GWLP_WNDPROC = -4, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20, GWLP_USERDATA = -21 };
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };

// Classes and windows.
BOOL RegisterClass(const WNDCLASS& wc);
BOOL UnregisterClass(const char* name);
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, std::int32_t x,
                    std::int32_t y, std::int32_t width, std::int32_t height, HWND parent,
                    std::uintptr_t menuOrId, void* param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsChild(HWND parent, HWND window);
HWND GetParent(HWND window);
// Moves a child window under another parent, at the top of its new siblings, keeping its
// position in client coordinates (now the new parent's); answers the old parent. A window cannot
// go under itself or one of its own children.
HWND SetParent(HWND window, HWND newParent);
HWND GetWindow(HWND window, UINT relation);
HWND GetTopWindow(HWND parent);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND window);
// The number that names a window's help topic; 0 until set and for a window that does not exist.
BOOL SetWindowContextHelpId(HWND window, DWORD helpId);
DWORD GetWindowContextHelpId(HWND window);
std::intptr_t GetWindowLongPtr(HWND window, int index);
std::intptr_t SetWindowLongPtr(HWND window, int index, std::intptr_t value);
int GetClassName(HWND window, char* out, int size);
enum : int { GCLP_HICON = -14, GCLP_HICONSM = -34 };
// The class's icons (GCLP_HICON, GCLP_HICONSM); 0 for any other index.
std::uintptr_t GetClassLongPtr(HWND window, int index);
BOOL SetWindowText(HWND window, const char* text);
int GetWindowText(HWND window, char* out, int size);
int GetWindowTextLength(HWND window);

// Geometry: window rectangles in screen coordinates, positions of children in their parent's
// client coordinates.
BOOL SetWindowPos(HWND window, HWND insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx,
                  std::int32_t cy, UINT flags);
BOOL MoveWindow(HWND window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                BOOL repaint);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL GetWindowRect(HWND window, RECT* r);
BOOL GetClientRect(HWND window, RECT* r);
BOOL ClientToScreen(HWND window, POINT* p);
// Grows a client rectangle to the window rectangle that the styles give it, by the frame sizes
// the layer draws.
BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle);
BOOL ScreenToClient(HWND window, POINT* p);
// Points from one window's client coordinates to another's (0 for the screen); answers the
// shift, x in the low word and y in the high word.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);

// Messages.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessage(MSG* msg, HWND window, UINT first, UINT last);
BOOL PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
// Character messages are queued with their key by the input layer, so there is nothing to add.
BOOL TranslateMessage(const MSG* msg);
// A message posted to the thread rather than to a window goes to the thread's handler, whichever
// loop takes it (the application's, a modal dialog's, a menu's, Qt's own under a message box).
LRESULT DispatchMessage(const MSG* msg);
using ThreadMessageHandler = void (*)(const MSG& msg);
// The calling thread's handler of window-less messages; null drops them. Answers the previous one.
ThreadMessageHandler SetThreadMessageHandler(ThreadMessageHandler handler);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD GetMessageTime();
// The screen point of the pointer for the message last taken from the queue: a pointer message's
// own, for any other where the pointer was when it was taken; x in the low word, y in the high.
DWORD GetMessagePos();
DWORD GetTickCount();

// Painting.
BOOL InvalidateRect(HWND window, const RECT* r, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* r);
BOOL GetUpdateRect(HWND window, RECT* r, BOOL erase);
BOOL UpdateWindow(HWND window);
HDC BeginPaint(HWND window, PAINTSTRUCT* ps);
BOOL EndPaint(HWND window, const PAINTSTRUCT* ps);
// A client-area context that draws into the window's retained image at once.
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Scrolls the client area's pixels (of the scroll rectangle, or all of it) by dx, dy, changing
// only pixels inside the clip rectangle (or the client area). What is uncovered is given back as a
// region and rectangle and, with SW_INVALIDATE, added to the update region (erased with SW_ERASE);
// the part of the update region that moved moves with it. With SW_SCROLLCHILDREN the children over
// the scroll rectangle (or all of them) move too. Answers the kind of the uncovered region.
enum : UINT { SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4 };
int ScrollWindowEx(HWND window, std::int32_t dx, std::int32_t dy, const RECT* scroll, const RECT* clip,
                   HRGN update, RECT* updateRect, UINT flags);
// Scrolls, invalidating and erasing what is uncovered; children move when the whole area scrolls.
BOOL ScrollWindow(HWND window, std::int32_t dx, std::int32_t dy, const RECT* scroll, const RECT* clip);

// Capture, focus, activation, input state.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
// One program on one desktop: the window in front is the active top-level window. Setting it
// activates the top-level window that holds `window`.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
// What happens when the application loses the user's attention: capture ends, the active window
// is told.
void DeactivateApplication();
// Negative while the key is down; bit 0 toggles with every press.
std::int16_t GetKeyState(int key);
std::int16_t GetAsyncKeyState(int key);
BOOL GetCursorPos(POINT* p);

// Timers: a window's timer keeps its id; a windowless one gets a fresh id whatever was asked.
std::uintptr_t SetTimer(HWND window, std::uintptr_t id, UINT milliseconds, TIMERPROC proc);
BOOL KillTimer(HWND window, std::uintptr_t id);

} // namespace vq
