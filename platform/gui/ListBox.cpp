#include "platform/gui/ListBox.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/ListBoxItemPainter.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/WindowStates.h"

#include <QListWidget>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace vq {

namespace {

struct ListState {
    // The item the keyboard and a shift-click start from in an extended selection.
    int anchor = 0;
    bool tracking = false;
};

std::unordered_map<HWND, ListState>& States() {
    return WindowStates<ListState>();
}

QListWidget* ListOf(HWND window) {
    return static_cast<QListWidget*>(QtControlOf(window));
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

ListBoxItemPainter* PainterOf(QListWidget& list) {
    return dynamic_cast<ListBoxItemPainter*>(list.itemDelegate());
}

// An owner-drawn box without strings keeps what it is given as the item's data.
bool KeepsStrings(HWND window) {
    return !(StyleOf(window) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) ||
           (StyleOf(window) & LBS_HASSTRINGS);
}

bool IsMulti(HWND window) {
    return (StyleOf(window) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

void Notify(HWND window, UINT code) {
    if (!(StyleOf(window) & LBS_NOTIFY)) return;
    SendMessage(GetParent(window), WM_COMMAND, WPARAM(MAKELPARAM(GetDlgCtrlID(window), int(code))),
                LPARAM(window));
}

QString TextArg(LPARAM lParam) {
    return QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : "");
}

bool Valid(QListWidget& list, std::intptr_t index) {
    return index >= 0 && index < list.count();
}

// Adding to a sorted list finds the entry's place; an insertion takes the place it is given, the
// end for -1, even in a sorted list.
LRESULT Insert(HWND window, QListWidget& list, std::intptr_t at, LPARAM text, bool sorted) {
    const bool strings = KeepsStrings(window);
    const QString entry = strings ? TextArg(text) : QString();
    // Items that are only data have no order of their own.
    if (sorted && strings) {
        at = 0;
        while (at < list.count() &&
               QString::compare(list.item(int(at))->text(), entry, Qt::CaseInsensitive) <= 0)
            ++at;
    } else if (at == -1) {
        at = list.count();
    } else if (at < 0 || at > list.count()) {
        return LB_ERR;
    }
    auto* item = new QListWidgetItem(entry);
    if (!strings) item->setData(kListItemDataRole, qlonglong(text));
    if (StyleOf(window) & LBS_OWNERDRAWVARIABLE)
        if (ListBoxItemPainter* painter = PainterOf(list))
            item->setData(kListItemHeightRole,
                          painter->Measure(int(at), strings ? 0 : text, list.fontMetrics().height()));
    list.insertItem(int(at), item);
    return at;
}

LRESULT ItemHeight(QListWidget& list, std::intptr_t index) {
    if (ListBoxItemPainter* painter = PainterOf(list)) {
        if (painter->FixedHeight() > 0) return painter->FixedHeight();
        return Valid(list, index) ? list.item(int(index))->data(kListItemHeightRole).toInt() : LB_ERR;
    }
    return list.count() ? list.sizeHintForRow(0) : list.fontMetrics().height();
}

LRESULT SetItemHeight(QListWidget& list, std::intptr_t index, LPARAM height) {
    ListBoxItemPainter* painter = PainterOf(list);
    if (!painter || height < 1 || height > 255) return LB_ERR;
    if (painter->FixedHeight() > 0) {
        painter->SetFixedHeight(int(height));
        list.doItemsLayout();
        return 0;
    }
    if (!Valid(list, index)) return LB_ERR;
    list.item(int(index))->setData(kListItemHeightRole, int(height));
    list.doItemsLayout();
    return 0;
}

// The first item at or after `start` (wrapping) whose text begins with, or equals, the text.
LRESULT Find(QListWidget& list, std::intptr_t start, LPARAM text, bool exact) {
    const QString wanted = TextArg(text);
    const int count = list.count();
    for (int k = 1; k <= count; ++k) {
        const int i = int((start + k) % count + count) % count;
        const QString t = list.item(i)->text();
        if (exact ? t.compare(wanted, Qt::CaseInsensitive) == 0 : t.startsWith(wanted, Qt::CaseInsensitive))
            return i;
    }
    return LB_ERR;
}

std::vector<bool> Selection(QListWidget& list) {
    std::vector<bool> out(std::size_t(list.count()));
    for (int i = 0; i < list.count(); ++i)
        out[std::size_t(i)] = list.item(i)->isSelected();
    return out;
}

// What the user chose: the focused item and, by style and modifiers, the selection.
void Choose(HWND window, QListWidget& list, int index, bool toggle, bool extend) {
    ListState& s = States()[window];
    const DWORD style = StyleOf(window);
    if (style & LBS_MULTIPLESEL) {
        if (toggle) list.item(index)->setSelected(!list.item(index)->isSelected());
    } else if (style & LBS_EXTENDEDSEL) {
        if (extend) {
            list.clearSelection();
            for (int i = std::min(s.anchor, index); i <= std::max(s.anchor, index); ++i)
                list.item(i)->setSelected(true);
        } else if (toggle && GetKeyState(VK_CONTROL) < 0) {
            list.item(index)->setSelected(!list.item(index)->isSelected());
            s.anchor = index;
        } else {
            list.clearSelection();
            list.item(index)->setSelected(true);
            s.anchor = index;
        }
    } else {
        list.clearSelection();
        list.item(index)->setSelected(true);
    }
    list.setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

void UserChoice(HWND window, int index, bool toggle) {
    QListWidget* list = ListOf(window);
    if (!list || !Valid(*list, index)) return;
    const auto before = Selection(*list);
    const int current = list->currentRow();
    Choose(window, *list, index, toggle, GetKeyState(VK_SHIFT) < 0);
    list->scrollToItem(list->item(index));
    if (Selection(*list) != before || (!IsMulti(window) && current != index)) Notify(window, LBN_SELCHANGE);
}

int ItemAt(QListWidget& list, LPARAM lParam) {
    const QPoint p = list.viewport()->mapFrom(&list, QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    const QModelIndex index = list.indexAt(p);
    return index.isValid() ? index.row() : -1;
}

void OnKey(HWND window, WPARAM vk) {
    QListWidget* list = ListOf(window);
    if (!list || list->count() == 0) return;
    const int current = std::max(list->currentRow(), 0);
    const int page = std::max(list->viewport()->height() / std::max(list->sizeHintForRow(0), 1), 1);
    int next = current;
    switch (vk) {
    case VK_UP:
    case VK_LEFT:
        next = current - 1;
        break;
    case VK_DOWN:
    case VK_RIGHT:
        next = current + 1;
        break;
    case VK_PRIOR:
        next = current - page;
        break;
    case VK_NEXT:
        next = current + page;
        break;
    case VK_HOME:
        next = 0;
        break;
    case VK_END:
        next = list->count() - 1;
        break;
    case VK_SPACE:
        if (StyleOf(window) & LBS_MULTIPLESEL) UserChoice(window, current, true);
        return;
    default:
        return;
    }
    next = std::clamp(next, 0, list->count() - 1);
    if (StyleOf(window) & LBS_MULTIPLESEL) {
        list->setCurrentRow(next, QItemSelectionModel::NoUpdate);
        return;
    }
    UserChoice(window, next, false);
}

LRESULT CopyText(HWND window, QListWidget& list, WPARAM index, char* out) {
    if (!Valid(list, std::intptr_t(index)) || !out) return LB_ERR;
    if (!KeepsStrings(window)) {
        const LPARAM data = LPARAM(list.item(int(index))->data(kListItemDataRole).value<qlonglong>());
        std::memcpy(out, &data, sizeof data);
        return sizeof data;
    }
    const QByteArray text = list.item(int(index))->text().toUtf8();
    std::memcpy(out, text.constData(), std::size_t(text.size()));
    out[text.size()] = '\0';
    return text.size();
}

} // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* list = new QListWidget;
        list->setFrameShape(QFrame::NoFrame);
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        States()[window];
        const DWORD style = StyleOf(window);
        list->setUniformItemSizes(!(style & LBS_OWNERDRAWVARIABLE));
        if (!AttachQtControl(window, list)) return -1;
        if (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) {
            auto* painter = new ListBoxItemPainter(window, list);
            list->setItemDelegate(painter);
            if (style & LBS_OWNERDRAWFIXED)
                painter->SetFixedHeight(painter->Measure(0, 0, list->fontMetrics().height()));
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        States().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    }
    QListWidget* list = ListOf(window);
    if (!list) return DefWindowProc(window, message, wParam, lParam);
    const auto index = std::intptr_t(wParam);
    switch (message) {
    case LB_ADDSTRING:
        return Insert(window, *list, -1, lParam, StyleOf(window) & LBS_SORT);
    case LB_INSERTSTRING:
        return Insert(window, *list, index, lParam, false);
    case LB_DELETESTRING:
        if (!Valid(*list, index)) return LB_ERR;
        delete list->takeItem(int(index));
        return list->count();
    case LB_RESETCONTENT:
        list->clear();
        return 0;
    case LB_GETCOUNT:
        return list->count();
    case LB_GETTEXT:
        return CopyText(window, *list, wParam, reinterpret_cast<char*>(lParam));
    case LB_GETTEXTLEN:
        if (!Valid(*list, index)) return LB_ERR;
        return KeepsStrings(window) ? list->item(int(index))->text().toUtf8().size()
                                    : LRESULT(sizeof(LPARAM));
    case LB_GETITEMDATA:
        return Valid(*list, index) ? list->item(int(index))->data(kListItemDataRole).value<qlonglong>()
                                   : LB_ERR;
    case LB_SETITEMDATA:
        if (!Valid(*list, index)) return LB_ERR;
        list->item(int(index))->setData(kListItemDataRole, qlonglong(lParam));
        return TRUE;
    case LB_SETCURSEL:
        if (IsMulti(window)) return LB_ERR;
        list->clearSelection();
        if (!Valid(*list, index)) return index == -1 ? 0 : LB_ERR;
        list->item(int(index))->setSelected(true);
        list->setCurrentRow(int(index), QItemSelectionModel::NoUpdate);
        list->scrollToItem(list->item(int(index)));
        return index;
    case LB_GETCURSEL:
        if (IsMulti(window)) return list->currentRow();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->isSelected()) return i;
        return LB_ERR;
    case LB_SETSEL: {
        if (!IsMulti(window)) return LB_ERR;
        const auto which = std::intptr_t(lParam);
        for (int i = 0; i < list->count(); ++i)
            if (which == -1 || which == i) list->item(i)->setSelected(wParam != 0);
        return which == -1 || Valid(*list, which) ? 0 : LB_ERR;
    }
    case LB_GETSEL:
        return Valid(*list, index) ? list->item(int(index))->isSelected() : LB_ERR;
    case LB_GETCARETINDEX:
        return list->count() ? std::max(list->currentRow(), 0) : 0;
    case LB_GETSELCOUNT:
        return IsMulti(window) ? LRESULT(list->selectedItems().size()) : LB_ERR;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return list->count() ? Find(*list, index, lParam, message == LB_FINDSTRINGEXACT) : LB_ERR;
    case LB_GETTOPINDEX: {
        const QModelIndex top = list->indexAt(QPoint(1, 1));
        return top.isValid() ? top.row() : 0;
    }
    case LB_SETTOPINDEX:
        if (!Valid(*list, index)) return LB_ERR;
        list->scrollToItem(list->item(int(index)), QAbstractItemView::PositionAtTop);
        return 0;
    case LB_GETITEMRECT: {
        if (!Valid(*list, index) || !lParam) return LB_ERR;
        const QRect r = list->visualItemRect(list->item(int(index)))
                            .translated(list->viewport()->mapTo(list, QPoint(0, 0)));
        *reinterpret_cast<RECT*>(lParam) = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return TRUE;
    }
    case LB_GETITEMHEIGHT:
        return ItemHeight(*list, index);
    case LB_SETITEMHEIGHT:
        return SetItemHeight(*list, index, lParam);
    case LB_ITEMFROMPOINT: {
        const int at = ItemAt(*list, lParam);
        // Past the last item: the nearest one, flagged outside.
        return at >= 0 ? at : MAKELPARAM(std::max(list->count() - 1, 0), 1);
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!IsWindowEnabled(window)) return 0;
        if (GetFocus() != window) SetFocus(window);
        if (!(list = ListOf(window))) return 0;
        SetCapture(window);
        States()[window].tracking = true;
        if (const int at = ItemAt(*list, lParam); at >= 0) {
            UserChoice(window, at, true);
            if (message == WM_LBUTTONDBLCLK) Notify(window, LBN_DBLCLK);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (States()[window].tracking && !IsMulti(window))
            if (const int at = ItemAt(*list, lParam); at >= 0 && at != list->currentRow())
                UserChoice(window, at, false);
        return 0;
    case WM_LBUTTONUP:
        if (States()[window].tracking) {
            States()[window].tracking = false;
            if (GetCapture() == window) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        States()[window].tracking = false;
        return 0;
    case WM_KEYDOWN:
        OnKey(window, wParam);
        return 0;
    case WM_PAINT:
        // The parent draws the items of an owner-drawn box anew whenever the box is invalidated.
        if (PainterOf(*list)) list->viewport()->update();
        return DefWindowProc(window, message, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        Notify(window, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        Notify(window, LBN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        list->setEnabled(wParam != 0);
        return 0;
    case WM_SETREDRAW:
        // Off: changes pile up unseen; on again: one repaint shows them all.
        list->setUpdatesEnabled(wParam != 0);
        if (wParam) list->viewport()->update();
        return 0;
    case WM_SETFONT:
        SetQtControlFont(window, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(window));
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
