#include "platform/gui/Static.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"

#include <string>

namespace vq {

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (GetWindowLongPtr(window, GWL_STYLE) & SS_SUNKEN) {
            SetWindowLongPtr(window, GWL_EXSTYLE, GetWindowLongPtr(window, GWL_EXSTYLE) | WS_EX_STATICEDGE);
            SetWindowPos(window, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        std::string text(std::size_t(GetWindowTextLength(window)) + 1, '\0');
        text.resize(std::size_t(GetWindowText(window, text.data(), int(text.size()))));
        const DWORD style = DWORD(GetWindowLongPtr(window, GWL_STYLE));
        UINT format = DT_WORDBREAK | (style & SS_NOPREFIX ? UINT(DT_NOPREFIX) : 0u);
        if ((style & 0x3) == SS_CENTER) format |= DT_CENTER;
        if ((style & 0x3) == SS_RIGHT) format |= DT_RIGHT;
        HGDIOBJ old = SelectObject(dc, DrawingFont(window));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        DrawText(dc, text.c_str(), -1, &client, format);
        SelectObject(dc, old);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_SETFONT:
        return SetDrawnControlFont(window, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(window));
    case WM_ENABLE:
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProc(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
