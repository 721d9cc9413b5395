#include "platform/gui/Button.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/WindowStates.h"

#include <string>
#include <unordered_map>

namespace vq {

namespace {

struct ButtonState {
    UINT state = 0; // BST_* bits
    bool tracking = false;
    bool spaceDown = false;
};

// The state of every button window; a button lives on the GUI thread only.
std::unordered_map<HWND, ButtonState>& States() {
    return WindowStates<ButtonState>();
}

DWORD TypeOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsPush(DWORD type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

bool Inside(HWND window, LPARAM lParam) {
    RECT client;
    GetClientRect(window, &client);
    return client.Contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

void Notify(HWND window, UINT code) {
    const int id = GetDlgCtrlID(window);
    SendMessage(GetParent(window), WM_COMMAND, WPARAM(MAKELPARAM(id, int(code))), LPARAM(window));
}

void SetPushed(HWND window, ButtonState& s, bool pushed) {
    if (((s.state & BST_PUSHED) != 0) == pushed) return;
    s.state = pushed ? s.state | BST_PUSHED : s.state & ~BST_PUSHED;
    InvalidateRect(window, nullptr, FALSE);
}

// What the user's click does before the parent hears of it: auto check boxes toggle, auto radio
// buttons check themselves.
void Click(HWND window, ButtonState& s) {
    const DWORD type = TypeOf(window);
    if (type == BS_AUTOCHECKBOX) s.state ^= BST_CHECKED;
    if (type == BS_AUTORADIOBUTTON) s.state |= BST_CHECKED;
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) InvalidateRect(window, nullptr, FALSE);
    Notify(window, BN_CLICKED);
}

void SendDrawItem(HWND window, HDC dc, UINT action, const ButtonState& s) {
    DRAWITEMSTRUCT item;
    item.CtlType = ODT_BUTTON;
    item.CtlID = UINT(GetDlgCtrlID(window));
    item.itemAction = action;
    if (s.state & BST_PUSHED) item.itemState |= ODS_SELECTED;
    if (s.state & BST_FOCUS) item.itemState |= ODS_FOCUS;
    if (!IsWindowEnabled(window)) item.itemState |= ODS_DISABLED;
    item.hwndItem = window;
    item.hDC = dc;
    GetClientRect(window, &item.rcItem);
    SendMessage(GetParent(window), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

std::string TextOf(HWND window) {
    std::string text(std::size_t(GetWindowTextLength(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowText(window, text.data(), int(text.size()))));
    return text;
}

void PaintOwn(HWND window, HDC dc, const ButtonState& s) {
    RECT client;
    GetClientRect(window, &client);
    const DWORD type = TypeOf(window);
    const std::string text = TextOf(window);
    HGDIOBJ oldFont = SelectObject(dc, DrawingFont(window));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT textRect = client;
    if (IsPush(type)) {
        RECT edge = client;
        if (type == BS_DEFPUSHBUTTON) {
            FrameRect(dc, &edge, GetSysColorBrush(COLOR_WINDOWFRAME));
            edge = {edge.left + 1, edge.top + 1, edge.right - 1, edge.bottom - 1};
        }
        DrawEdge(dc, &edge, (s.state & BST_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        if (s.state & BST_PUSHED)
            textRect = {client.left + 1, client.top + 1, client.right + 1, client.bottom + 1};
        DrawText(dc, text.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (s.state & BST_FOCUS) {
            RECT focus{client.left + 4, client.top + 4, client.right - 4, client.bottom - 4};
            DrawFocusRect(dc, &focus);
        }
    } else if (type == BS_GROUPBOX) {
        RECT frame{client.left, client.top + 6, client.right, client.bottom};
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        textRect = {client.left + 8, client.top, client.right, client.top + 14};
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawText(dc, text.c_str(), -1, &textRect, DT_LEFT | DT_SINGLELINE);
    } else {
        const int box = 13;
        const int top = (client.Height() - box) / 2;
        RECT mark{client.left, top, client.left + box, top + box};
        DrawEdge(dc, &mark, EDGE_SUNKEN, BF_RECT);
        RECT inner{mark.left + 2, mark.top + 2, mark.right - 2, mark.bottom - 2};
        FillRect(dc, &inner, GetSysColorBrush((s.state & BST_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW));
        if (s.state & BST_CHECKED) {
            RECT dot{inner.left + 2, inner.top + 2, inner.right - 2, inner.bottom - 2};
            FillRect(dc, &dot, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
        textRect.left = client.left + box + 4;
        DrawText(dc, text.c_str(), -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (s.state & BST_FOCUS) {
            RECT focus = textRect;
            DrawText(dc, text.c_str(), -1, &focus, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_CALCRECT);
            focus = {focus.left - 1, textRect.top + 1, focus.right + 1, textRect.bottom - 1};
            DrawFocusRect(dc, &focus);
        }
    }
    SelectObject(dc, oldFont);
}

LRESULT DialogCode(HWND window) {
    switch (TypeOf(window)) {
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
        return DLGC_STATIC;
    default:
        return DLGC_BUTTON;
    }
}

} // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonState& s = States()[window];
    switch (message) {
    case WM_NCDESTROY:
        States().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    case WM_GETDLGCODE:
        return DialogCode(window);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (TypeOf(window) == BS_OWNERDRAW)
            SendDrawItem(window, dc, ODA_DRAWENTIRE, s);
        else
            PaintOwn(window, dc, s);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (TypeOf(window) == BS_GROUPBOX) return 0;
        SetCapture(window);
        if (GetFocus() != window) SetFocus(window);
        s.tracking = true;
        SetPushed(window, s, true);
        return 0;
    case WM_MOUSEMOVE:
        if (s.tracking && GetCapture() == window) SetPushed(window, s, Inside(window, lParam));
        return 0;
    case WM_LBUTTONUP: {
        if (!s.tracking || GetCapture() != window) return 0;
        const bool clicked = (s.state & BST_PUSHED) && Inside(window, lParam);
        s.tracking = false;
        SetPushed(window, s, false);
        ReleaseCapture();
        if (clicked) Click(window, s);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s.tracking && HWND(lParam) != window) {
            s.tracking = false;
            SetPushed(window, s, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !s.tracking) {
            s.spaceDown = true;
            SetPushed(window, s, true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && s.spaceDown) {
            s.spaceDown = false;
            SetPushed(window, s, false);
            Click(window, s);
        }
        return 0;
    case WM_SETFOCUS:
        s.state |= BST_FOCUS;
        if (TypeOf(window) == BS_OWNERDRAW) {
            HDC dc = GetDC(window);
            SendDrawItem(window, dc, ODA_FOCUS, s);
            ReleaseDC(window, dc);
        } else {
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_KILLFOCUS:
        s.state &= ~BST_FOCUS;
        if (s.spaceDown) {
            s.spaceDown = false;
            SetPushed(window, s, false);
        }
        if (TypeOf(window) == BS_OWNERDRAW) {
            // Drawers that XOR their focus rectangle only draw it with ODS_FOCUS, so the full
            // redraw that follows is what takes it away.
            HDC dc = GetDC(window);
            SendDrawItem(window, dc, ODA_FOCUS, s);
            ReleaseDC(window, dc);
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProc(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_SETFONT:
        return SetDrawnControlFont(window, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(window));
    case BM_GETSTATE:
        return LRESULT(s.state);
    case BM_SETSTATE:
        SetPushed(window, s, wParam != 0);
        return 0;
    case BM_GETCHECK:
        return LRESULT(s.state & BST_CHECKED);
    case BM_SETCHECK:
        s.state = (s.state & ~BST_CHECKED) | (wParam == BST_CHECKED ? BST_CHECKED : 0);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case BM_SETSTYLE: {
        const DWORD style = DWORD(GetWindowLongPtr(window, GWL_STYLE));
        SetWindowLongPtr(window, GWL_STYLE,
                         std::intptr_t((style & ~BS_TYPEMASK) | (DWORD(wParam) & BS_TYPEMASK)));
        if (lParam) InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case BM_CLICK:
        Click(window, s);
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
