#include "platform/gui/ComboBox.h"

#include "platform/gui/ComboBoxWidget.h"
#include "platform/gui/ControlFont.h"
#include "platform/gui/Edit.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/WindowStates.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace vq {

namespace {

constexpr int kFieldId = 1001;
constexpr WPARAM kF4 = VK_F1 + 3;
constexpr DWORD kKindMask = 0x3;
// The sunken frame round the field, and the room above and below its text.
constexpr int kFrame = 3;
constexpr int kTextRoom = 1;
constexpr int kRowsPerWheelNotch = 3;

struct ComboState {
    // The field of a combo box the user types into.
    HWND field = 0;
    // The list while it is dropped.
    HWND list = 0;
    int selected = -1;
    // The entry the dropped list highlights, where the pointer or the keys are.
    int hot = -1;
    bool dropped = false;
    // The press that dropped the list, or one on it, is still held.
    bool pressed = false;
    // A press on the list's scroll bar is held; the bar follows the pointer until its release.
    bool scrolling = false;
    bool focused = false;
    // The window's height with the list dropped, as it was made or last sized.
    std::int32_t droppedHeight = 0;
};

std::unordered_map<HWND, ComboState>& States() {
    return WindowStates<ComboState>();
}

ComboState* StateOf(HWND window) {
    return FindWindowState<ComboState>(window);
}

ComboBoxWidget* ComboOf(HWND window) {
    return static_cast<ComboBoxWidget*>(QtControlOf(window));
}

QListView* ViewOf(HWND list) {
    return list ? static_cast<QListView*>(QtControlOf(list)) : nullptr;
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

void Notify(HWND window, UINT code) {
    SendMessage(GetParent(window), WM_COMMAND, WPARAM(MAKELPARAM(GetDlgCtrlID(window), int(code))),
                LPARAM(window));
}

QString TextArg(LPARAM lParam) {
    return QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : "");
}

bool Valid(const QComboBox& combo, std::intptr_t index) {
    return index >= 0 && index < combo.count();
}

LRESULT CopyOut(const QByteArray& text, std::size_t size, char* out) {
    if (!out || size == 0) return 0;
    const std::size_t n = std::min(std::size_t(text.size()), size - 1);
    std::memcpy(out, text.constData(), n);
    out[n] = '\0';
    return LRESULT(n);
}

// The height of the closed control: its field in the control's font.
std::int32_t FieldHeight(HWND window) {
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, DrawingFont(window));
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(0, dc);
    return tm.tmHeight + 2 * (kFrame + kTextRoom);
}

// The first entry after `start` (wrapping) whose text begins with, or equals, the text.
int Find(const QComboBox& combo, std::intptr_t start, const QString& wanted, bool exact) {
    const int count = combo.count();
    if (start < 0 || start >= count) start = -1;
    for (int k = 1; k <= count; ++k) {
        const int i = int((start + k) % count);
        const QString text = combo.itemText(i);
        if (exact ? text.compare(wanted, Qt::CaseInsensitive) == 0
                  : text.startsWith(wanted, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

// ---- The dropped list ----

LRESULT ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        auto* view = new QListView;
        view->setFrameShape(QFrame::NoFrame);
        view->setUniformItemSizes(true);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return AttachQtControl(window, view) ? 0 : -1;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

const char* ListClass() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = ListProc;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.lpszClassName = "VqComboList";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqComboList" : nullptr;
}

// The list shows the combo box's own entries, so it never needs filling. It is made for each drop
// and goes when the list closes, so a new one is always above every other window.
HWND MakeList(HWND window, QComboBox& combo) {
    const HWND list = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, ListClass(), "", WS_POPUP | WS_BORDER,
                                     0, 0, 0, 0, window, 0, nullptr);
    QListView* view = ViewOf(list);
    if (!view) {
        if (list) DestroyWindow(list);
        return 0;
    }
    view->setModel(combo.model());
    return list;
}

int RowHeight(const QListView& view, const QComboBox& combo) {
    return std::max(combo.count() ? view.sizeHintForRow(0) : view.fontMetrics().height(), 1);
}

// Whole rows below the field, as many as the dropped height leaves room for and no more than
// there are entries, at least one.
void PlaceList(HWND window, const ComboState& s, const QComboBox& combo) {
    RECT r;
    GetWindowRect(window, &r);
    const int row = RowHeight(*ViewOf(s.list), combo);
    const int rows = std::clamp((s.droppedHeight - r.Height() - 2) / row, 1, std::max(combo.count(), 1));
    SetWindowPos(s.list, 0, r.left, r.bottom, r.Width(), rows * row + 2, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The entries a page key moves by: one fewer than the dropped list shows.
int PageOf(HWND window, const ComboState& s, const QComboBox& combo) {
    const QListView* view = ViewOf(s.list);
    const int row = view ? RowHeight(*view, combo) : std::max(combo.fontMetrics().height(), 1);
    return std::max((s.droppedHeight - FieldHeight(window) - 2) / row - 1, 1);
}

void Highlight(ComboState& s, int index) {
    s.hot = index;
    QListView* view = ViewOf(s.list);
    if (!view) return;
    if (index < 0) {
        view->clearSelection();
        return;
    }
    const QModelIndex at = view->model()->index(index, 0);
    view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(at);
}

// Where a point of the combo box's client area falls on the dropped list.
struct ListHit {
    // In the list's client coordinates.
    QPoint local;
    bool onList = false;
    bool onBar = false;
    // The entry under the point, -1 for none.
    int item = -1;
};

ListHit HitList(HWND window, const ComboState& s, LPARAM lParam) {
    ListHit hit;
    QListView* view = ViewOf(s.list);
    if (!view) return hit;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &p);
    ScreenToClient(s.list, &p);
    hit.local = QPoint(p.x, p.y);
    RECT client;
    GetClientRect(s.list, &client);
    if (!client.Contains(p.x, p.y)) return hit;
    hit.onList = true;
    const QScrollBar* bar = view->verticalScrollBar();
    if (bar->isVisible() && bar->rect().contains(bar->mapFrom(view, hit.local))) {
        hit.onBar = true;
        return hit;
    }
    const QModelIndex index = view->indexAt(view->viewport()->mapFrom(view, hit.local));
    hit.item = index.isValid() ? index.row() : -1;
    return hit;
}

// The list's scroll bar is Qt's own: it gets the pointer as the combo box, holding the capture,
// takes it.
void ForwardToBar(const ComboState& s, QPoint local, UINT message) {
    QListView* view = ViewOf(s.list);
    if (!view) return;
    QScrollBar* bar = view->verticalScrollBar();
    const QPointF at = bar->mapFrom(view, local);
    const QEvent::Type type = message == WM_MOUSEMOVE   ? QEvent::MouseMove
                              : message == WM_LBUTTONUP ? QEvent::MouseButtonRelease
                                                        : QEvent::MouseButtonPress;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, bar->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &event);
}

// ---- Selection ----

// Makes the entry the selection (none for an index outside the list) and shows it in the field.
void Select(ComboState& s, QComboBox& combo, std::intptr_t index) {
    s.selected = Valid(combo, index) ? int(index) : -1;
    combo.setCurrentIndex(s.selected);
    if (!s.field) return;
    const QByteArray text = s.selected >= 0 ? combo.itemText(s.selected).toUtf8() : QByteArray();
    SetWindowText(s.field, text.constData());
    SendMessage(s.field, EM_SETSEL, 0, -1);
}

// The user's choice: shown in the field whatever was typed there, reported when it changed.
void Choose(HWND window, int index) {
    ComboState* s = StateOf(window);
    QComboBox* combo = ComboOf(window);
    if (!s || !combo || !Valid(*combo, index)) return;
    const bool changed = index != s->selected;
    Select(*s, *combo, index);
    if (changed) Notify(window, CBN_SELCHANGE);
}

void Drop(HWND window) {
    ComboState* s = StateOf(window);
    if (!s || s->dropped || !IsWindowEnabled(window)) return;
    // The owner may fill the list now, before it is measured.
    Notify(window, CBN_DROPDOWN);
    s = StateOf(window);
    QComboBox* combo = ComboOf(window);
    if (!s || !combo || s->dropped) return;
    if (!(s->list = MakeList(window, *combo))) return;
    PlaceList(window, *s, *combo);
    s->dropped = true;
    Highlight(*s, s->selected);
    ShowWindow(s->list, SW_SHOWNA);
    SetCapture(window);
}

// Closing with `accept` takes the highlighted entry, as a click on it or Enter does.
void CloseUp(HWND window, bool accept) {
    ComboState* s = StateOf(window);
    if (!s || !s->dropped) return;
    s->dropped = false;
    s->pressed = false;
    s->scrolling = false;
    const int chosen = s->hot;
    DestroyWindow(std::exchange(s->list, HWND(0)));
    if (GetCapture() == window) ReleaseCapture();
    Notify(window, accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (!StateOf(window)) return;
    Notify(window, CBN_CLOSEUP);
    if (accept) Choose(window, chosen);
}

// ---- Focus ----

// A drop-down list has no caret to show where the focus is; its field shows it instead.
void ShowFocusMark(HWND window, bool shown) {
    if (ComboBoxWidget* combo = ComboOf(window)) combo->ShowFocusMark(shown);
}

void FocusArrived(HWND window) {
    ComboState* s = StateOf(window);
    if (!s || s->focused) return;
    s->focused = true;
    ShowFocusMark(window, true);
    Notify(window, CBN_SETFOCUS);
}

// The focus moving between the combo box and its field stays within it.
void FocusLeft(HWND window, HWND to) {
    ComboState* s = StateOf(window);
    if (!s || !s->focused || to == window || IsChild(window, to)) return;
    s->focused = false;
    ShowFocusMark(window, false);
    CloseUp(window, false);
    if (StateOf(window)) Notify(window, CBN_KILLFOCUS);
}

// ---- Input ----

void OnKey(HWND window, WPARAM vk) {
    ComboState* s = StateOf(window);
    QComboBox* combo = ComboOf(window);
    if (!s || !combo) return;
    switch (vk) {
    case kF4:
        s->dropped ? CloseUp(window, true) : Drop(window);
        return;
    case VK_RETURN:
        CloseUp(window, true);
        return;
    case VK_ESCAPE:
        CloseUp(window, false);
        return;
    default:
        break;
    }
    const int count = combo->count();
    if (count == 0) return;
    const int from = s->dropped ? s->hot : s->selected;
    int next = from;
    switch (vk) {
    case VK_UP:
        next = from - 1;
        break;
    case VK_DOWN:
        next = from + 1;
        break;
    case VK_PRIOR:
        next = from - PageOf(window, *s, *combo);
        break;
    case VK_NEXT:
        next = from + PageOf(window, *s, *combo);
        break;
    case VK_HOME:
        next = 0;
        break;
    case VK_END:
        next = count - 1;
        break;
    default:
        return;
    }
    next = std::clamp(next, 0, count - 1);
    if (s->dropped) Highlight(*s, next);
    Choose(window, next);
}

// A character in a drop-down list chooses the next entry that begins with it.
void OnChar(HWND window, WPARAM code) {
    ComboState* s = StateOf(window);
    QComboBox* combo = ComboOf(window);
    if (!s || !combo || code < 0x20 || code == 0x7F) return;
    const char32_t c = char32_t(code);
    const int at = Find(*combo, s->dropped ? s->hot : s->selected, QString::fromUcs4(&c, 1), false);
    if (at < 0) return;
    if (s->dropped) Highlight(*s, at);
    Choose(window, at);
}

void OnPress(HWND window, LPARAM lParam) {
    ComboState* s = StateOf(window);
    if (!s) return;
    if (!s->dropped) {
        const HWND focus = GetFocus();
        if (focus != window && !IsChild(window, focus)) SetFocus(window);
        Drop(window);
        if ((s = StateOf(window)) && s->dropped) s->pressed = true;
        return;
    }
    const ListHit hit = HitList(window, *s, lParam);
    if (hit.onBar) {
        s->scrolling = true;
        ForwardToBar(*s, hit.local, WM_LBUTTONDOWN);
        return;
    }
    if (hit.onList) {
        s->pressed = true;
        if (hit.item >= 0) Highlight(*s, hit.item);
        return;
    }
    // A press anywhere else, the combo box's own face too, only closes the list.
    CloseUp(window, false);
}

void OnMove(HWND window, LPARAM lParam) {
    ComboState* s = StateOf(window);
    if (!s || !s->dropped) return;
    const ListHit hit = HitList(window, *s, lParam);
    if (s->scrolling)
        ForwardToBar(*s, hit.local, WM_MOUSEMOVE);
    else if (hit.item >= 0)
        Highlight(*s, hit.item);
}

// The release of the press that dropped the list leaves it open unless it ends on an entry.
void OnRelease(HWND window, LPARAM lParam) {
    ComboState* s = StateOf(window);
    if (!s || !s->dropped) return;
    const ListHit hit = HitList(window, *s, lParam);
    if (std::exchange(s->scrolling, false)) {
        ForwardToBar(*s, hit.local, WM_LBUTTONUP);
        return;
    }
    if (!std::exchange(s->pressed, false) || hit.item < 0) return;
    Highlight(*s, hit.item);
    CloseUp(window, true);
}

void OnWheel(HWND window, WPARAM wParam) {
    ComboState* s = StateOf(window);
    if (!s || !s->dropped) return;
    QScrollBar* bar = ViewOf(s->list)->verticalScrollBar();
    const int notches = std::int16_t(HIWORD(wParam)) / 120;
    bar->setValue(bar->value() - notches * kRowsPerWheelNotch * bar->singleStep());
}

bool WantsDialogKeys(HWND window, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    const ComboState* s = StateOf(window);
    return s && s->dropped && msg && msg->message == WM_KEYDOWN &&
           (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
}

// ---- The field ----

// The field keeps the keys of an edit; those that work the list go to the combo box.
LRESULT FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND combo = GetParent(field);
    const ComboState* s = StateOf(combo);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT ||
            wParam == kF4 || (s && s->dropped && (wParam == VK_RETURN || wParam == VK_ESCAPE)))
            return SendMessage(combo, message, wParam, lParam);
        break;
    case WM_SYSKEYDOWN:
    case WM_MOUSEWHEEL:
        return SendMessage(combo, message, wParam, lParam);
    case WM_GETDLGCODE:
        return EditProc(field, message, wParam, lParam) |
               (WantsDialogKeys(combo, lParam) ? DLGC_WANTALLKEYS : 0);
    default:
        break;
    }
    return EditProc(field, message, wParam, lParam);
}

// The field lies inside the sunken frame, left of the button: the edit of a combo box the user
// types into, or what a drop-down list draws its entry in.
void PlaceField(const ComboState& s, ComboBoxWidget& combo, int width, int height) {
    const int right = std::max(width - GetSystemMetrics(SM_CXVSCROLL) - kFrame - 1, kFrame);
    const int bottom = std::max(height - kFrame, kFrame);
    combo.SetField(QRect(kFrame, kFrame, right - kFrame, bottom - kFrame));
    if (s.field) MoveWindow(s.field, kFrame, kFrame, right - kFrame, bottom - kFrame, TRUE);
}

// While the list is dropped it highlights the first entry that begins with what was typed.
void FollowTyping(HWND window) {
    ComboState* s = StateOf(window);
    QComboBox* combo = ComboOf(window);
    if (!s || !combo || !s->dropped) return;
    char text[256] = {};
    GetWindowText(s->field, text, int(sizeof text));
    const int at = text[0] ? Find(*combo, -1, QString::fromUtf8(text), false) : -1;
    if (at >= 0) Highlight(*s, at);
}

void OnFieldNote(HWND window, UINT code) {
    switch (code) {
    case EN_UPDATE:
        Notify(window, CBN_EDITUPDATE);
        break;
    case EN_CHANGE:
        FollowTyping(window);
        if (StateOf(window)) Notify(window, CBN_EDITCHANGE);
        break;
    case EN_SETFOCUS:
        FocusArrived(window);
        break;
    case EN_KILLFOCUS:
        // The focus has already moved on.
        FocusLeft(window, GetFocus());
        break;
    default:
        break;
    }
}

// ---- Creation and text ----

int Create(HWND window, const CREATESTRUCT* cs) {
    const DWORD style = cs ? cs->style : StyleOf(window);
    // A simple combo box, whose list never drops, is made as a drop-down one: nothing uses it.
    const bool field = (style & kKindMask) != CBS_DROPDOWNLIST;
    auto* combo = new ComboBoxWidget;
    combo->setEditable(field);
    // The field child covers Qt's own line edit, which never shows.
    if (field) combo->lineEdit()->hide();
    combo->setEnabled(!(style & WS_DISABLED));
    ComboState& s = States()[window];
    s.droppedHeight = cs ? cs->cy : 0;
    if (!AttachQtControl(window, combo)) return -1;
    if (field) {
        const DWORD fieldStyle =
            WS_CHILD | WS_VISIBLE | (style & WS_DISABLED) | ((style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0);
        s.field = CreateWindowEx(0, "Edit", cs && cs->lpszName ? cs->lpszName : "", fieldStyle, 0, 0, 0, 0,
                                 window, kFieldId, nullptr);
        if (!s.field) return -1;
        SetWindowLongPtr(s.field, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&FieldProc));
    }
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, 0, 0, 0, r.Width(), FieldHeight(window), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT GetText(const ComboState& s, const QComboBox& combo, WPARAM size, char* out) {
    if (s.field) return SendMessage(s.field, WM_GETTEXT, size, LPARAM(out));
    return CopyOut(s.selected >= 0 ? combo.itemText(s.selected).toUtf8() : QByteArray(), std::size_t(size),
                   out);
}

// A drop-down list shows only its entries: setting its text selects the entry of that text.
LRESULT SetText(ComboState& s, QComboBox& combo, LPARAM text) {
    if (s.field) return SendMessage(s.field, WM_SETTEXT, 0, text);
    const int at = Find(combo, -1, TextArg(text), true);
    if (at < 0) return CB_ERR;
    Select(s, combo, at);
    return TRUE;
}

LRESULT Insert(ComboState& s, QComboBox& combo, std::intptr_t at, LPARAM text, bool sorted) {
    const QString item = TextArg(text);
    if (sorted) {
        at = 0;
        while (at < combo.count() &&
               QString::compare(combo.itemText(int(at)), item, Qt::CaseInsensitive) <= 0)
            ++at;
    } else if (at == -1) {
        at = combo.count();
    } else if (at < 0 || at > combo.count()) {
        return CB_ERR;
    }
    combo.insertItem(int(at), item);
    if (s.selected >= at) ++s.selected;
    // Qt makes the first entry of an empty list current by itself.
    combo.setCurrentIndex(s.selected);
    return at;
}

LRESULT Delete(ComboState& s, QComboBox& combo, std::intptr_t index) {
    if (!Valid(combo, index)) return CB_ERR;
    combo.removeItem(int(index));
    if (s.selected == index)
        s.selected = -1;
    else if (s.selected > index)
        --s.selected;
    combo.setCurrentIndex(s.selected);
    if (s.hot >= combo.count()) s.hot = -1;
    return combo.count();
}

LRESULT OnMessage(HWND window, ComboState& s, ComboBoxWidget& combo, UINT message, WPARAM wParam,
                  LPARAM lParam) {
    const auto index = std::intptr_t(wParam);
    switch (message) {
    case CB_ADDSTRING:
        return Insert(s, combo, -1, lParam, StyleOf(window) & CBS_SORT);
    case CB_INSERTSTRING:
        return Insert(s, combo, index, lParam, false);
    case CB_DELETESTRING:
        return Delete(s, combo, index);
    case CB_RESETCONTENT:
        combo.clear();
        s.selected = s.hot = -1;
        if (s.field) SetWindowText(s.field, "");
        return 0;
    case CB_GETCOUNT:
        return combo.count();
    case CB_GETCURSEL:
        return s.selected;
    case CB_SETCURSEL:
        Select(s, combo, index);
        return s.selected >= 0 ? s.selected : CB_ERR;
    case CB_GETLBTEXT:
        if (!Valid(combo, index) || !lParam) return CB_ERR;
        return CopyOut(combo.itemText(int(index)).toUtf8(), std::size_t(-1), reinterpret_cast<char*>(lParam));
    case CB_GETLBTEXTLEN:
        return Valid(combo, index) ? LRESULT(combo.itemText(int(index)).toUtf8().size()) : CB_ERR;
    case CB_GETITEMDATA:
        return Valid(combo, index) ? LRESULT(combo.itemData(int(index)).value<qlonglong>()) : CB_ERR;
    case CB_SETITEMDATA:
        if (!Valid(combo, index)) return CB_ERR;
        combo.setItemData(int(index), qlonglong(lParam));
        return TRUE;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
        const int at = Find(combo, index, TextArg(lParam), message == CB_FINDSTRINGEXACT);
        return at >= 0 ? at : CB_ERR;
    }
    case CB_SELECTSTRING: {
        const int at = Find(combo, index, TextArg(lParam), false);
        if (at < 0) return CB_ERR;
        Select(s, combo, at);
        return at;
    }
    case CB_LIMITTEXT:
        if (s.field) SendMessage(s.field, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        return s.field ? SendMessage(s.field, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!s.field) return CB_ERR;
        // -1 as the start removes the selection, as the end selects to the end of the text.
        SendMessage(s.field, EM_SETSEL, WPARAM(std::intptr_t(std::int16_t(LOWORD(std::uintptr_t(lParam))))),
                    LPARAM(std::int16_t(HIWORD(std::uintptr_t(lParam)))));
        return TRUE;
    case CB_SHOWDROPDOWN:
        wParam ? Drop(window) : CloseUp(window, false);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s.dropped;
    case WM_GETTEXT:
        return GetText(s, combo, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        if (s.field) return SendMessage(s.field, WM_GETTEXTLENGTH, 0, 0);
        return s.selected >= 0 ? LRESULT(combo.itemText(s.selected).toUtf8().size()) : 0;
    case WM_SETTEXT:
        return SetText(s, combo, lParam);
    case WM_COMMAND:
        if (s.field && HWND(lParam) == s.field) OnFieldNote(window, HIWORD(std::uintptr_t(wParam)));
        return 0;
    case WM_KEYDOWN:
        OnKey(window, wParam);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam != VK_UP && wParam != VK_DOWN) return DefWindowProc(window, message, wParam, lParam);
        s.dropped ? CloseUp(window, true) : Drop(window);
        return 0;
    case WM_CHAR:
        if (!s.field) OnChar(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsWindowEnabled(window)) OnPress(window, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMove(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnRelease(window, lParam);
        return 0;
    case WM_MOUSEWHEEL:
        if (!s.dropped) return DefWindowProc(window, message, wParam, lParam);
        OnWheel(window, wParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (HWND(lParam) != window) CloseUp(window, false);
        return 0;
    case WM_CANCELMODE:
        CloseUp(window, false);
        return 0;
    case WM_SETFOCUS:
        FocusArrived(window);
        if (ComboState* now = StateOf(window); now && now->field) {
            SetFocus(now->field);
            SendMessage(now->field, EM_SETSEL, 0, -1);
        }
        return 0;
    case WM_KILLFOCUS:
        FocusLeft(window, HWND(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (WantsDialogKeys(window, lParam) ? DLGC_WANTALLKEYS : 0);
    case WM_ENABLE:
        combo.setEnabled(wParam != 0);
        if (s.field) EnableWindow(s.field, BOOL(wParam));
        if (!wParam) CloseUp(window, false);
        return 0;
    case WM_SETFONT: {
        SetQtControlFont(window, reinterpret_cast<HFONT>(wParam), lParam != 0);
        if (s.field) SendMessage(s.field, WM_SETFONT, WPARAM(ControlFont(window)), lParam);
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, 0, 0, 0, r.Width(), FieldHeight(window),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(window));
    case WM_WINDOWPOSCHANGING: {
        // Any other height is the height with the list dropped; the window keeps its field's.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos && !(pos->flags & SWP_NOSIZE))
            if (const std::int32_t height = FieldHeight(window); pos->cy != height) {
                s.droppedHeight = pos->cy;
                pos->cy = height;
            }
        return 0;
    }
    case WM_SIZE:
        PlaceField(s, combo, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_DESTROY:
        if (s.list) DestroyWindow(std::exchange(s.list, HWND(0)));
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The whole window is the field and its button; a scroll bar style is the dropped list's.
    if (message == WM_NCCALCSIZE) return 0;
    if (message == WM_CREATE) return Create(window, reinterpret_cast<const CREATESTRUCT*>(lParam));
    if (message == WM_NCDESTROY) {
        States().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    }
    ComboState* s = StateOf(window);
    ComboBoxWidget* combo = ComboOf(window);
    if (!s || !combo) return DefWindowProc(window, message, wParam, lParam);
    return OnMessage(window, *s, *combo, message, wParam, lParam);
}

} // namespace vq
