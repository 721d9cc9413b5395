#include "platform/gui/DialogManager.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace vq {

namespace {

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> out;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        out.push_back(child);
    return out;
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

bool IsControlParent(HWND window) {
    return (DWORD(GetWindowLongPtr(window, GWL_EXSTYLE)) & WS_EX_CONTROLPARENT) != 0;
}

bool Usable(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window);
}

// The dialog's controls in Tab order: a usable child dialog is replaced by its own controls.
void AppendControls(HWND parent, std::vector<HWND>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsControlParent(child) && Usable(child))
            AppendControls(child, out);
        else
            out.push_back(child);
    }
}

std::vector<HWND> Controls(HWND dialog) {
    std::vector<HWND> out;
    AppendControls(dialog, out);
    return out;
}

// The window that holds the control's group: the dialog, or the child dialog nearest the control.
HWND Container(HWND dialog, HWND window) {
    for (HWND parent = GetParent(window); parent; parent = GetParent(parent))
        if (parent == dialog || IsControlParent(parent)) return parent;
    return dialog;
}

// The control of the order that holds the window (the window itself, or one of its ancestors).
HWND ControlOf(const std::vector<HWND>& order, HWND window) {
    for (; window; window = GetParent(window))
        if (std::find(order.begin(), order.end(), window) != order.end()) return window;
    return 0;
}

// The direct child of the container that holds the window.
HWND DialogChild(HWND container, HWND window) {
    while (window && GetParent(window) != container)
        window = GetParent(window);
    return window;
}

// The next window after `from` (in the direction) that qualifies, wrapping round once.
template <typename Pred> HWND Step(const std::vector<HWND>& order, HWND from, BOOL previous, Pred qualifies) {
    const int n = int(order.size());
    if (n == 0) return 0;
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (order[std::size_t(i)] == from) at = i;
    for (int k = 1; k <= n; ++k) {
        const int base = at < 0 ? (previous ? n : -1) : at;
        const int i = ((base + (previous ? -k : k)) % n + n) % n;
        if (qualifies(order[std::size_t(i)])) return order[std::size_t(i)];
    }
    return 0;
}

LRESULT DialogCode(HWND control, MSG* msg) {
    return control ? SendMessage(control, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
}

void Command(HWND dialog, int id, HWND control) {
    SendMessage(dialog, WM_COMMAND, WPARAM(MAKELPARAM(id, BN_CLICKED)), LPARAM(control));
}

int DefaultId(HWND dialog) {
    const LRESULT result = SendMessage(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(std::uintptr_t(result)) == DC_HASDEFID ? int(LOWORD(std::uintptr_t(result))) : IDOK;
}

// The character after a single "&" in the text, lower-cased; 0 when there is none.
char Mnemonic(HWND window) {
    char text[256] = {};
    GetWindowText(window, text, int(sizeof text));
    for (const char* p = text; *p; ++p)
        if (*p == '&') {
            if (p[1] == '&') {
                ++p;
                continue;
            }
            return char(std::tolower(static_cast<unsigned char>(p[1])));
        }
    return 0;
}

// Moves the focus; a push button that takes it takes the default look, which goes back to the
// dialog's default button when the focus moves to anything else.
void FocusControl(HWND dialog, HWND control) {
    SetFocus(control);
    const bool push =
        (SendMessage(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    const HWND chosen = push ? control : GetDlgItem(dialog, DefaultId(dialog));
    for (HWND child : Children(dialog)) {
        const LRESULT code = SendMessage(child, WM_GETDLGCODE, 0, 0);
        if (child == chosen && (code & DLGC_UNDEFPUSHBUTTON))
            SendMessage(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        if (child != chosen && (code & DLGC_DEFPUSHBUTTON))
            SendMessage(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

bool HandleMnemonic(HWND dialog, HWND focus, char key) {
    const std::vector<HWND> order = Controls(dialog);
    const char wanted = char(std::tolower(static_cast<unsigned char>(key)));
    const HWND hit = Step(order, ControlOf(order, focus), FALSE,
                          [&](HWND w) { return IsWindowVisible(w) && Mnemonic(w) == wanted; });
    if (!hit) return false;
    if (SendMessage(hit, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) {
        // A label gives the focus to the control that follows it.
        const HWND next =
            Step(order, hit, FALSE, [](HWND w) { return Usable(w) && (StyleOf(w) & WS_TABSTOP); });
        if (next) FocusControl(dialog, next);
        return true;
    }
    if (!IsWindowEnabled(hit)) return true;
    FocusControl(dialog, hit);
    if (SendMessage(hit, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) SendMessage(hit, BM_CLICK, 0, 0);
    return true;
}

} // namespace

void FocusDlgControl(HWND dialog, HWND control) {
    if (control && (control == dialog || IsChild(dialog, control))) FocusControl(dialog, control);
}

DWORD GetDialogBaseUnits() {
    return DWORD(MAKELPARAM(8, 16));
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    const std::vector<HWND> order = Controls(dialog);
    return Step(order, ControlOf(order, control), previous,
                [](HWND w) { return Usable(w) && (StyleOf(w) & WS_TABSTOP); });
}

void NextDlgCtl(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND target = 0;
    if (LOWORD(std::uintptr_t(lParam)))
        target = HWND(wParam);
    else
        target = GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
    if (target && (target == dialog || IsChild(dialog, target))) FocusControl(dialog, target);
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    const HWND container = Container(dialog, control);
    const std::vector<HWND> all = Children(container);
    const HWND from = DialogChild(container, control);
    std::size_t at = 0;
    while (at < all.size() && all[at] != from)
        ++at;
    if (at == all.size()) return 0;
    std::size_t first = at;
    while (first > 0 && !(StyleOf(all[first]) & WS_GROUP))
        --first;
    std::size_t last = at + 1;
    while (last < all.size() && !(StyleOf(all[last]) & WS_GROUP))
        ++last;
    const std::vector<HWND> group(all.begin() + std::ptrdiff_t(first), all.begin() + std::ptrdiff_t(last));
    return Step(group, from, previous, Usable);
}

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
    if (!msg || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
    const HWND focus = msg->hwnd;
    if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
        const LRESULT code = DialogCode(focus, msg);
        const bool all = (code & DLGC_WANTALLKEYS) != 0;
        const auto key = int(msg->wParam);
        const bool down = msg->message == WM_KEYDOWN;
        if (key == VK_TAB && !all && !(code & DLGC_WANTTAB)) {
            if (down)
                if (HWND next = GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0))
                    FocusControl(dialog, next);
            return TRUE;
        }
        if (down && (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && !all &&
            !(code & DLGC_WANTARROWS)) {
            if (HWND next = GetNextDlgGroupItem(dialog, focus, key == VK_LEFT || key == VK_UP)) {
                FocusControl(dialog, next);
                const DWORD type = StyleOf(next) & BS_TYPEMASK;
                if ((SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) && type == BS_AUTORADIOBUTTON)
                    SendMessage(next, BM_CLICK, 0, 0);
            }
            return TRUE;
        }
        if (key == VK_RETURN && !all) {
            if (down) {
                const bool pushButton = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
                const int id = pushButton ? GetDlgCtrlID(focus) : DefaultId(dialog);
                Command(dialog, id, GetDlgItem(dialog, id));
            }
            return TRUE;
        }
        if (key == VK_ESCAPE && !all) {
            if (down) Command(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
            return TRUE;
        }
    }
    if (msg->message == WM_SYSCHAR && HandleMnemonic(dialog, focus, char(msg->wParam))) return TRUE;
    TranslateMessage(msg);
    DispatchMessage(msg);
    return TRUE;
}

} // namespace vq
