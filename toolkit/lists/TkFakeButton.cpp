#include "toolkit/lists/TkFakeButton.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"

#include <atomic>

namespace vq {

namespace {
std::atomic<HWND> activeButton{0};
}

HWND TkFakeButton::ActiveWindow() {
    return activeButton;
}

BOOL TkFakeButton::Track(CWnd* owner, const RECT& button, HBITMAP normal, HBITMAP pressed) {
    m_owner = owner;
    m_button = button;
    m_normal = normal;
    m_pressedPicture = pressed;
    m_pressed = TRUE;
    m_done = FALSE;
    m_released = FALSE;
    POINT origin{button.left, button.top};
    ClientToScreen(owner->m_hWnd, &origin);
    if (!CreateEx(0, "Static", "", WS_POPUP, RECT{origin.x, origin.y, origin.x + button.Width(), origin.y + button.Height()},
                  nullptr, 0))
        return FALSE;
    SetCapture(m_hWnd);
    activeButton = m_hWnd;
    Draw();
    // Only this window's messages: the rest of the program waits until the button comes up.
    const HWND window = m_hWnd;
    while (!m_done && IsWindow(window)) {
        MSG msg;
        const BOOL got = GetMessage(&msg, window, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(int(msg.wParam));
            break;
        }
        if (!CWnd::WalkPreTranslateTree(0, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    activeButton = 0;
    if (GetCapture() == window) ReleaseCapture();
    m_pressed = FALSE;
    Draw();
    if (IsWindow(window)) DestroyWindow();
    return m_released;
}

void TkFakeButton::Draw() {
    HBITMAP picture = m_pressed ? m_pressedPicture : m_normal;
    if (!picture || !m_owner || !m_owner->m_hWnd) return;
    BITMAP bm{};
    GetObject(picture, sizeof bm, &bm);
    // No context reaches the screen itself: the owner's window is where the user sees the button.
    HDC dc = GetDC(m_owner->m_hWnd);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(dc, m_button.left, m_button.top, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(m_owner->m_hWnd, dc);
}

LRESULT TkFakeButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        RECT client;
        GetClientRect(m_hWnd, &client);
        const BOOL over = client.Contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (over != m_pressed) {
            m_pressed = over;
            Draw();
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        RECT client;
        GetClientRect(m_hWnd, &client);
        m_released = client.Contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        m_done = TRUE;
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (HWND(lParam) != m_hWnd && !m_done) {
            m_released = FALSE;
            m_done = TRUE;
        }
        return 0;
    case WM_CANCELMODE:
        m_released = FALSE;
        m_done = TRUE;
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

} // namespace vq
