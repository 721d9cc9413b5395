#include "platform/gui/ListView.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/SelectedBitmap.h"
#include "platform/gui/ToolTip.h"
#include "platform/gui/WindowStates.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace vq {

namespace {

// Where an item keeps what Qt does not: its data, its state bits other than focus and selection
// (which Qt keeps), and its image index.
constexpr int kDataRole = Qt::UserRole;
constexpr int kStateRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr UINT kQtStates = LVIS_FOCUSED | LVIS_SELECTED;

struct ListViewState {
    // Each column's format; Qt has one column even when the list has none.
    std::vector<int> formats;
    HIMAGELIST images[3] = {};
    // The small images as Qt draws them, made when the list is set or grows.
    std::vector<QIcon> icons;
    // The item a shift-click or shift-arrow extends from.
    int anchor = 0;
    // The heading the left button went down on, until it comes up.
    int pressedColumn = -1;
    // A press on one of the widget's scroll bars: the pointer goes to that bar until released.
    QPointer<QWidget> bar;
};

// The widget, with the width its column's texts need in reach.
class ListTree : public QTreeWidget {
public:
    using QTreeWidget::sizeHintForColumn;
};

ListViewState* StateOf(HWND window) {
    return FindWindowState<ListViewState>(window);
}

ListTree* TreeOf(HWND window) {
    return static_cast<ListTree*>(QtControlOf(window));
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

bool Valid(const QTreeWidget& tree, std::intptr_t index) {
    return index >= 0 && index < tree.topLevelItemCount();
}

QTreeWidgetItem* Item(const QTreeWidget& tree, std::intptr_t index) {
    return Valid(tree, index) ? tree.topLevelItem(int(index)) : nullptr;
}

// Texts from outside: a null pointer or the callback marker (which this list does not ask back
// for) is an empty text.
QString TextArg(const char* text) {
    return text && text != LPSTR_TEXTCALLBACK ? QString::fromUtf8(text) : QString();
}

int CopyOut(const QString& text, char* out, int size) {
    if (!out || size <= 0) return 0;
    const QByteArray bytes = text.toUtf8();
    const int n = std::min(int(bytes.size()), size - 1);
    std::memcpy(out, bytes.constData(), std::size_t(n));
    out[n] = '\0';
    return n;
}

Qt::Alignment AlignmentOf(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

int ColumnCount(const ListViewState& s) {
    return std::max(int(s.formats.size()), 1);
}

// An image of the list with its transparent pixels clear: drawn over black and over white, the
// pixels that differ are the background.
QIcon MakeIcon(HIMAGELIST list, int index) {
    int width = 0, height = 0;
    ImageList_GetIconSize(list, &width, &height);
    QImage out(width, height, QImage::Format_ARGB32);
    HBITMAP dark = CreateBitmap(width, height, 1, 32, nullptr);
    HBITMAP light = CreateBitmap(width, height, 1, 32, nullptr);
    {
        SelectedBitmap onDark(dark), onLight(light);
        PatBlt(onDark.Dc(), 0, 0, width, height, BLACKNESS);
        PatBlt(onLight.Dc(), 0, 0, width, height, WHITENESS);
        ImageList_Draw(list, index, onDark.Dc(), 0, 0, ILD_TRANSPARENT);
        ImageList_Draw(list, index, onLight.Dc(), 0, 0, ILD_TRANSPARENT);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = GetPixel(onDark.Dc(), x, y);
                const bool opaque = c == GetPixel(onLight.Dc(), x, y);
                out.setPixel(x, y,
                             opaque ? qRgb(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))) : 0);
            }
    }
    DeleteObject(dark);
    DeleteObject(light);
    return QIcon(QPixmap::fromImage(out));
}

QIcon IconFor(ListViewState& s, int image) {
    HIMAGELIST list = s.images[LVSIL_SMALL];
    if (!list || image < 0 || image >= ImageList_GetImageCount(list)) return {};
    if (std::size_t(image) >= s.icons.size()) {
        const std::size_t from = s.icons.size();
        s.icons.resize(std::size_t(ImageList_GetImageCount(list)));
        for (std::size_t i = from; i < s.icons.size(); ++i)
            s.icons[i] = MakeIcon(list, int(i));
    }
    return s.icons[std::size_t(image)];
}

void SetImage(ListViewState& s, QTreeWidgetItem& item, int image) {
    item.setData(0, kImageRole, image);
    item.setIcon(0, IconFor(s, image));
}

void SetText(const ListViewState& s, QTreeWidgetItem& item, int column, const QString& text) {
    item.setText(column, text);
    if (std::size_t(column) < s.formats.size())
        item.setTextAlignment(column, AlignmentOf(s.formats[std::size_t(column)]));
}

UINT StateOfItem(const QTreeWidget& tree, const QTreeWidgetItem& item, UINT mask) {
    UINT state = item.data(0, kStateRole).toUInt() & ~kQtStates;
    if (item.isSelected()) state |= LVIS_SELECTED;
    if (tree.currentItem() == &item) state |= LVIS_FOCUSED;
    return state & mask;
}

void SetFocusItem(QTreeWidget& tree, QTreeWidgetItem* item) {
    if (item)
        tree.setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    else
        tree.selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void ApplyState(HWND window, QTreeWidget& tree, QTreeWidgetItem& item, UINT state, UINT mask) {
    if (mask & LVIS_SELECTED) {
        const bool select = (state & LVIS_SELECTED) != 0;
        if (select && (StyleOf(window) & LVS_SINGLESEL))
            for (QTreeWidgetItem* other : tree.selectedItems())
                if (other != &item) other->setSelected(false);
        item.setSelected(select);
    }
    if (mask & LVIS_FOCUSED) {
        if (state & LVIS_FOCUSED)
            SetFocusItem(tree, &item);
        else if (tree.currentItem() == &item)
            SetFocusItem(tree, nullptr);
    }
    const UINT own = mask & ~kQtStates;
    if (own) {
        const UINT old = item.data(0, kStateRole).toUInt();
        item.setData(0, kStateRole, (old & ~own) | (state & own));
    }
}

LRESULT Notify(HWND window, NMHDR& header, UINT code) {
    header.hwndFrom = window;
    header.idFrom = std::uintptr_t(GetDlgCtrlID(window));
    header.code = code;
    return SendMessage(GetParent(window), WM_NOTIFY, WPARAM(header.idFrom),
                       reinterpret_cast<LPARAM>(&header));
}

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

QPoint InViewport(const QTreeWidget& tree, POINT p) {
    return tree.viewport()->mapFrom(&tree, QPoint(p.x, p.y));
}

bool OnViewport(const QTreeWidget& tree, POINT p) {
    return tree.viewport()->rect().contains(InViewport(tree, p));
}

// The heading under a point of the client area, -1 off the header.
int HeadingAt(const QTreeWidget& tree, POINT p) {
    const QHeaderView* header = tree.header();
    if (header->isHidden() || !header->geometry().contains(p.x, p.y)) return -1;
    return header->logicalIndexAt(p.x - header->geometry().left());
}

QRect CellRect(const QTreeWidget& tree, int row, int column) {
    const QRect r = tree.visualRect(tree.model()->index(row, column));
    return r.translated(tree.viewport()->mapTo(&tree, QPoint(0, 0)));
}

// The small image's place in the label cell, as the fixed style lays out a cell's decoration.
QRect IconRect(const QTreeWidget& tree, int row) {
    const QRect cell = CellRect(tree, row, 0);
    const int margin = tree.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &tree) + 1;
    const QSize size = tree.iconSize();
    return {cell.left() + margin, cell.top() + (cell.height() - size.height()) / 2, size.width(),
            size.height()};
}

RECT ToRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

LRESULT HitTest(HWND window, const QTreeWidget& tree, LV_HITTESTINFO* info) {
    if (!info) return -1;
    info->flags = 0;
    info->iItem = -1;
    info->iSubItem = 0;
    RECT client;
    GetClientRect(window, &client);
    const POINT p = info->pt;
    if (!client.Contains(p.x, p.y)) {
        if (p.y < client.top) info->flags |= LVHT_ABOVE;
        if (p.y >= client.bottom) info->flags |= LVHT_BELOW;
        if (p.x < client.left) info->flags |= LVHT_TOLEFT;
        if (p.x >= client.right) info->flags |= LVHT_TORIGHT;
        return -1;
    }
    const QModelIndex index = OnViewport(tree, p) ? tree.indexAt(InViewport(tree, p)) : QModelIndex();
    if (!index.isValid()) {
        info->flags = LVHT_NOWHERE;
        return -1;
    }
    info->iItem = index.row();
    info->iSubItem = index.column();
    const bool onIcon = index.column() == 0 && !tree.topLevelItem(index.row())->icon(0).isNull() &&
                        IconRect(tree, index.row()).contains(p.x, p.y);
    info->flags = onIcon ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
    return info->iItem;
}

int RowAt(HWND window, const QTreeWidget& tree, POINT p) {
    LV_HITTESTINFO info;
    info.pt = p;
    return int(HitTest(window, tree, &info));
}

// Focus and selection of every item, to tell afterwards which of them the user changed.
std::vector<UINT> Snapshot(const QTreeWidget& tree) {
    std::vector<UINT> out(std::size_t(tree.topLevelItemCount()));
    const QTreeWidgetItem* current = tree.currentItem();
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree.topLevelItem(i);
        out[std::size_t(i)] = (item->isSelected() ? LVIS_SELECTED : 0) | (item == current ? LVIS_FOCUSED : 0);
    }
    return out;
}

// One LVN_ITEMCHANGED per item whose focus or selection differs. The parent may change the list
// or destroy it meanwhile, so each item is looked at again before it is reported.
void ReportChanges(HWND window, const std::vector<UINT>& before) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        QTreeWidget* tree = StateOf(window) ? TreeOf(window) : nullptr;
        if (!tree || !Valid(*tree, std::intptr_t(i))) return;
        const QTreeWidgetItem* item = tree->topLevelItem(int(i));
        const UINT now = StateOfItem(*tree, *item, kQtStates);
        if (now == before[i]) continue;
        NM_LISTVIEW note;
        note.iItem = int(i);
        note.uNewState = now;
        note.uOldState = before[i];
        note.uChanged = LVIF_STATE;
        note.lParam = LPARAM(item->data(0, kDataRole).toLongLong());
        Notify(window, note.hdr, LVN_ITEMCHANGED);
    }
}

// What a click (or key) on an item, or on no item (-1), does to the selection.
void Choose(HWND window, ListViewState& s, QTreeWidget& tree, int index, bool toggle, bool extend) {
    const bool single = StyleOf(window) & LVS_SINGLESEL;
    if (index < 0) {
        if (!toggle || single) tree.clearSelection();
        return;
    }
    QTreeWidgetItem* item = tree.topLevelItem(index);
    if (!single && extend) {
        if (!toggle) tree.clearSelection();
        const int anchor = std::clamp(s.anchor, 0, tree.topLevelItemCount() - 1);
        for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i)
            tree.topLevelItem(i)->setSelected(true);
    } else if (!single && toggle) {
        item->setSelected(!item->isSelected());
        s.anchor = index;
    } else {
        tree.clearSelection();
        item->setSelected(true);
        s.anchor = index;
    }
    SetFocusItem(tree, item);
    tree.scrollToItem(item);
}

// Gives a pointer message to the scroll bar under it (or held), which the widget keeps as a part.
void ToScrollBar(const ListViewState& s, const QTreeWidget& tree, UINT message, LPARAM lParam) {
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButtons held = Qt::LeftButton;
    Qt::MouseButton button = Qt::NoButton;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        type = QEvent::MouseButtonPress;
        button = Qt::LeftButton;
    } else if (message == WM_LBUTTONUP) {
        type = QEvent::MouseButtonRelease;
        button = Qt::LeftButton;
        held = Qt::NoButton;
    }
    const QPointF local = s.bar->mapFrom(&tree, QPointF(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    QMouseEvent event(type, local, local, local, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(s.bar, &event);
}

bool ControlHeld(WPARAM keys) {
    return (keys & MK_CONTROL) || GetKeyState(VK_CONTROL) < 0;
}

bool ShiftHeld(WPARAM keys) {
    return (keys & MK_SHIFT) || GetKeyState(VK_SHIFT) < 0;
}

void NotifyActivate(HWND window, UINT code, POINT p, WPARAM keys) {
    QTreeWidget* tree = TreeOf(window);
    if (!tree) return;
    NMITEMACTIVATE note;
    LV_HITTESTINFO hit;
    hit.pt = p;
    note.iItem = int(HitTest(window, *tree, &hit));
    note.iSubItem = hit.iSubItem;
    note.ptAction = p;
    if (const QTreeWidgetItem* item = Item(*tree, note.iItem))
        note.lParam = LPARAM(item->data(0, kDataRole).toLongLong());
    if (ControlHeld(keys)) note.uKeyFlags |= LVKF_CONTROL;
    if (ShiftHeld(keys)) note.uKeyFlags |= LVKF_SHIFT;
    Notify(window, note.hdr, code);
}

void OnButtonDown(HWND window, ListViewState& s, QTreeWidget& tree, UINT message, WPARAM keys,
                  LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (GetFocus() != window) SetFocus(window);
    if (!StateOf(window)) return;
    if (message != WM_RBUTTONDOWN && HeadingAt(tree, p) >= 0) {
        s.pressedColumn = HeadingAt(tree, p);
        SetCapture(window);
        return;
    }
    if (!OnViewport(tree, p)) {
        QWidget* part = tree.childAt(p.x, p.y);
        while (part && !qobject_cast<QScrollBar*>(part))
            part = part->parentWidget();
        if (message != WM_RBUTTONDOWN && part) {
            s.bar = part;
            SetCapture(window);
            ToScrollBar(s, tree, message, lParam);
        }
        return;
    }
    const int row = RowAt(window, tree, p);
    const auto before = Snapshot(tree);
    if (message == WM_RBUTTONDOWN) {
        // A right click keeps a selection it falls in, so a menu can act on all of it.
        if (row < 0 || !tree.topLevelItem(row)->isSelected()) Choose(window, s, tree, row, false, false);
        if (row >= 0) SetFocusItem(tree, tree.topLevelItem(row));
    } else {
        Choose(window, s, tree, row, ControlHeld(keys), ShiftHeld(keys));
    }
    ReportChanges(window, before);
    if (!IsWindow(window)) return;
    const UINT code = message == WM_RBUTTONDOWN     ? NM_RCLICK
                      : message == WM_LBUTTONDBLCLK ? NM_DBLCLK
                                                    : NM_CLICK;
    NotifyActivate(window, code, p, keys);
}

void OnButtonUp(HWND window, ListViewState& s, QTreeWidget& tree, UINT message, LPARAM lParam) {
    if (s.bar) {
        ToScrollBar(s, tree, message, lParam);
        s.bar = nullptr;
        if (GetCapture() == window) ReleaseCapture();
        return;
    }
    const int pressed = s.pressedColumn;
    if (pressed < 0) return;
    s.pressedColumn = -1;
    if (GetCapture() == window) ReleaseCapture();
    if (HeadingAt(tree, PointOf(lParam)) != pressed) return;
    NM_LISTVIEW note;
    note.iItem = -1;
    note.iSubItem = pressed;
    note.ptAction = PointOf(lParam);
    Notify(window, note.hdr, LVN_COLUMNCLICK);
}

void OnKey(HWND window, ListViewState& s, QTreeWidget& tree, WPARAM vk) {
    const int count = tree.topLevelItemCount();
    if (count == 0) return;
    const int current = std::max(tree.indexOfTopLevelItem(tree.currentItem()), 0);
    const int rowHeight = std::max(tree.sizeHintForRow(0), 1);
    const int page = std::max(tree.viewport()->height() / rowHeight - 1, 1);
    int next = current;
    switch (vk) {
    case VK_UP:
        next = current - 1;
        break;
    case VK_DOWN:
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
        next = count - 1;
        break;
    default:
        return;
    }
    const auto before = Snapshot(tree);
    Choose(window, s, tree, std::clamp(next, 0, count - 1), false, GetKeyState(VK_SHIFT) < 0);
    ReportChanges(window, before);
}

LRESULT InsertItem(HWND window, ListViewState& s, QTreeWidget& tree, const LV_ITEM* in) {
    if (!in || in->iSubItem != 0 || in->iItem < 0) return -1;
    const int at = std::min(in->iItem, tree.topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setData(0, kDataRole, qlonglong((in->mask & LVIF_PARAM) ? in->lParam : 0));
    item->setData(0, kImageRole, -1);
    tree.insertTopLevelItem(at, item);
    if (in->mask & LVIF_TEXT) SetText(s, *item, 0, TextArg(in->pszText));
    if (in->mask & LVIF_IMAGE) SetImage(s, *item, in->iImage);
    if (in->mask & LVIF_STATE) ApplyState(window, tree, *item, in->state, in->stateMask);
    if (at <= s.anchor && tree.topLevelItemCount() > 1) ++s.anchor;
    return at;
}

LRESULT SetItem(HWND window, ListViewState& s, QTreeWidget& tree, const LV_ITEM* in) {
    QTreeWidgetItem* item = in ? Item(tree, in->iItem) : nullptr;
    if (!item || in->iSubItem < 0 || in->iSubItem >= ColumnCount(s)) return FALSE;
    if (in->mask & LVIF_TEXT) SetText(s, *item, in->iSubItem, TextArg(in->pszText));
    if (in->iSubItem != 0) return TRUE;
    if (in->mask & LVIF_IMAGE) SetImage(s, *item, in->iImage);
    if (in->mask & LVIF_PARAM) item->setData(0, kDataRole, qlonglong(in->lParam));
    if (in->mask & LVIF_STATE) ApplyState(window, tree, *item, in->state, in->stateMask);
    return TRUE;
}

LRESULT GetItem(const ListViewState& s, const QTreeWidget& tree, LV_ITEM* out) {
    const QTreeWidgetItem* item = out ? Item(tree, out->iItem) : nullptr;
    if (!item || out->iSubItem < 0 || out->iSubItem >= ColumnCount(s)) return FALSE;
    if (out->mask & LVIF_TEXT) CopyOut(item->text(out->iSubItem), out->pszText, out->cchTextMax);
    if (out->mask & LVIF_IMAGE) out->iImage = item->data(0, kImageRole).toInt();
    if (out->mask & LVIF_PARAM) out->lParam = LPARAM(item->data(0, kDataRole).toLongLong());
    if (out->mask & LVIF_STATE) out->state = StateOfItem(tree, *item, out->stateMask);
    return TRUE;
}

LRESULT DeleteItem(ListViewState& s, QTreeWidget& tree, std::intptr_t index) {
    if (!Valid(tree, index)) return FALSE;
    // Qt would hand the focus to a neighbour; the list has no focused item after its focus goes.
    const bool focused = tree.currentItem() == tree.topLevelItem(int(index));
    delete tree.takeTopLevelItem(int(index));
    if (focused) SetFocusItem(tree, nullptr);
    if (index < s.anchor) --s.anchor;
    return TRUE;
}

// The next item from `start` in the direction asked with any of the states asked, or without
// states the neighbour.
LRESULT NextItem(const QTreeWidget& tree, std::intptr_t start, UINT flags) {
    const UINT states = flags & 0xF;
    const UINT direction = flags & ~0xFu;
    int step = 1;
    if (direction == LVNI_ABOVE || direction == LVNI_TOLEFT)
        step = -1;
    else if (direction != 0 && direction != LVNI_BELOW && direction != LVNI_TORIGHT)
        return -1;
    const int count = tree.topLevelItemCount();
    for (std::intptr_t i = start + step; i >= 0 && i < count; i += step) {
        if (!states) return i;
        const QTreeWidgetItem* item = tree.topLevelItem(int(i));
        if (StateOfItem(tree, *item, states)) return i;
    }
    return -1;
}

bool Matches(const QTreeWidgetItem& item, const LV_FINDINFO& find) {
    if (find.flags & LVFI_PARAM) return LPARAM(item.data(0, kDataRole).toLongLong()) == find.lParam;
    const QString wanted = TextArg(find.psz);
    if (find.flags & LVFI_PARTIAL) return item.text(0).startsWith(wanted, Qt::CaseSensitive);
    return item.text(0).compare(wanted, Qt::CaseSensitive) == 0;
}

LRESULT FindItem(const QTreeWidget& tree, std::intptr_t start, const LV_FINDINFO* find) {
    if (!find || !(find->flags & (LVFI_PARAM | LVFI_STRING | LVFI_PARTIAL))) return -1;
    if (!(find->flags & LVFI_PARAM) && !find->psz) return -1;
    const int count = tree.topLevelItemCount();
    const int first = int(std::clamp<std::intptr_t>(start + 1, 0, count));
    const int steps = (find->flags & LVFI_WRAP) ? count : count - first;
    for (int k = 0; k < steps; ++k) {
        const int i = (first + k) % count;
        if (Matches(*tree.topLevelItem(i), *find)) return i;
    }
    return -1;
}

// Orders the rows by the caller's comparison of their data, the list untouched until the order is
// known; each row keeps its texts, image, state, selection and focus.
LRESULT SortItems(ListViewState& s, QTreeWidget& tree, LPARAM sortData, PFNLVCOMPARE compare) {
    if (!compare) return FALSE;
    const int count = tree.topLevelItemCount();
    std::vector<LPARAM> data(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        data[std::size_t(i)] = LPARAM(tree.topLevelItem(i)->data(0, kDataRole).toLongLong());
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(data[std::size_t(a)], data[std::size_t(b)], sortData) < 0;
    });
    QTreeWidgetItem* const current = tree.currentItem();
    QTreeWidgetItem* const anchor = Item(tree, s.anchor);
    std::vector<QTreeWidgetItem*> items(static_cast<std::size_t>(count));
    std::vector<bool> selected(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        items[std::size_t(i)] = tree.topLevelItem(i);
        selected[std::size_t(i)] = items[std::size_t(i)]->isSelected();
    }
    while (tree.topLevelItemCount())
        tree.takeTopLevelItem(tree.topLevelItemCount() - 1);
    for (int i : order)
        tree.addTopLevelItem(items[std::size_t(i)]);
    for (int i : order)
        if (selected[std::size_t(i)]) items[std::size_t(i)]->setSelected(true);
    SetFocusItem(tree, current);
    if (anchor) s.anchor = tree.indexOfTopLevelItem(anchor);
    return TRUE;
}

// Moves the texts of every row (and the heading) one column right from `at`, or left onto it.
void ShiftColumns(QTreeWidget& tree, int at, bool right) {
    const int last = tree.columnCount() - 1;
    const auto shift = [&](QTreeWidgetItem& item) {
        if (right) {
            for (int c = last; c > at; --c) {
                item.setText(c, item.text(c - 1));
                item.setData(c, Qt::TextAlignmentRole, item.data(c - 1, Qt::TextAlignmentRole));
            }
            item.setText(at, QString());
        } else {
            for (int c = at; c < last; ++c) {
                item.setText(c, item.text(c + 1));
                item.setData(c, Qt::TextAlignmentRole, item.data(c + 1, Qt::TextAlignmentRole));
            }
            item.setText(last, QString());
        }
    };
    shift(*tree.headerItem());
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        shift(*tree.topLevelItem(i));
}

void SetColumnWidth(ListTree& tree, int column, int width) {
    if (width == LVSCW_AUTOSIZE)
        width = tree.sizeHintForColumn(column);
    else if (width == LVSCW_AUTOSIZE_USEHEADER)
        width = std::max(tree.sizeHintForColumn(column), tree.header()->sectionSizeHint(column));
    tree.setColumnWidth(column, std::max(width, 0));
}

void SetColumn(ListViewState& s, ListTree& tree, int column, const LV_COLUMN& in) {
    if (in.mask & LVCF_FMT) {
        s.formats[std::size_t(column)] = in.fmt;
        tree.headerItem()->setTextAlignment(column, AlignmentOf(in.fmt));
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            tree.topLevelItem(i)->setTextAlignment(column, AlignmentOf(in.fmt));
    }
    if (in.mask & LVCF_TEXT) tree.headerItem()->setText(column, TextArg(in.pszText));
    if (in.mask & LVCF_WIDTH) SetColumnWidth(tree, column, in.cx);
}

LRESULT InsertColumn(ListViewState& s, ListTree& tree, std::intptr_t at, const LV_COLUMN* in) {
    if (!in || at < 0) return -1;
    const int column = int(std::min<std::intptr_t>(at, std::intptr_t(s.formats.size())));
    const bool first = s.formats.empty();
    s.formats.insert(s.formats.begin() + column, LVCFMT_LEFT);
    if (!first) {
        tree.setColumnCount(int(s.formats.size()));
        ShiftColumns(tree, column, true);
    }
    tree.headerItem()->setTextAlignment(column, AlignmentOf(LVCFMT_LEFT));
    LV_COLUMN values = *in;
    if (!(values.mask & LVCF_WIDTH)) {
        values.mask |= LVCF_WIDTH;
        values.cx = tree.header()->defaultSectionSize();
    }
    SetColumn(s, tree, column, values);
    tree.header()->setVisible(true);
    return column;
}

LRESULT DeleteColumn(ListViewState& s, QTreeWidget& tree, std::intptr_t at) {
    if (at < 0 || at >= std::intptr_t(s.formats.size())) return FALSE;
    s.formats.erase(s.formats.begin() + at);
    if (s.formats.empty()) {
        tree.headerItem()->setText(0, QString());
        tree.header()->setVisible(false);
        return TRUE;
    }
    ShiftColumns(tree, int(at), false);
    tree.setColumnCount(int(s.formats.size()));
    return TRUE;
}

LRESULT GetColumn(const ListViewState& s, const QTreeWidget& tree, std::intptr_t at, LV_COLUMN* out) {
    if (!out || at < 0 || at >= std::intptr_t(s.formats.size())) return FALSE;
    const int column = int(at);
    if (out->mask & LVCF_FMT) out->fmt = s.formats[std::size_t(column)];
    if (out->mask & LVCF_WIDTH) out->cx = tree.columnWidth(column);
    if (out->mask & LVCF_TEXT) CopyOut(tree.headerItem()->text(column), out->pszText, out->cchTextMax);
    if (out->mask & LVCF_SUBITEM) out->iSubItem = column;
    return TRUE;
}

HIMAGELIST SetImageList(ListViewState& s, QTreeWidget& tree, WPARAM which, HIMAGELIST list) {
    if (which > WPARAM(LVSIL_STATE)) return nullptr;
    const HIMAGELIST old = s.images[which];
    s.images[which] = list;
    if (which != WPARAM(LVSIL_SMALL)) return old;
    s.icons.clear();
    int width = 16, height = 16;
    if (list) ImageList_GetIconSize(list, &width, &height);
    tree.setIconSize(QSize(width, height));
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree.topLevelItem(i);
        SetImage(s, *item, item->data(0, kImageRole).toInt());
    }
    return old;
}

LRESULT ItemRect(const QTreeWidget& tree, std::intptr_t index, RECT* r) {
    if (!Valid(tree, index) || !r) return FALSE;
    const int row = int(index);
    const QRect label = CellRect(tree, row, 0);
    const QRect bounds = label.united(CellRect(tree, row, tree.columnCount() - 1));
    switch (r->left) {
    case LVIR_ICON:
        *r = ToRect(IconRect(tree, row));
        break;
    case LVIR_LABEL:
        *r = ToRect(label.adjusted(
            tree.topLevelItem(row)->icon(0).isNull() ? 0 : IconRect(tree, row).right() + 1 - label.left(), 0,
            0, 0));
        break;
    default:
        *r = ToRect(bounds);
        break;
    }
    return TRUE;
}

ListTree* MakeTree(HWND window) {
    auto* tree = new ListTree;
    tree->setFrameShape(QFrame::NoFrame);
    tree->setRootIsDecorated(false);
    tree->setIndentation(0);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setSortingEnabled(false);
    tree->setSelectionMode(QAbstractItemView::MultiSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setIconSize(QSize(16, 16));
    tree->header()->setSectionsMovable(false);
    tree->header()->setStretchLastSection(false);
    tree->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tree->header()->setVisible(false);
    if (StyleOf(window) & LVS_NOCOLUMNHEADER) tree->setHeaderHidden(true);
    return tree;
}

} // namespace

LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        WindowStates<ListViewState>()[window];
        return AttachQtControl(window, MakeTree(window)) ? 0 : -1;
    }
    if (message == WM_NCDESTROY) {
        WindowStates<ListViewState>().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    }
    ListViewState* s = StateOf(window);
    ListTree* tree = s ? TreeOf(window) : nullptr;
    if (!tree) return DefWindowProc(window, message, wParam, lParam);
    const auto index = std::intptr_t(wParam);
    switch (message) {
    case LVM_GETITEMCOUNT:
        return tree->topLevelItemCount();
    case LVM_INSERTITEM:
        return InsertItem(window, *s, *tree, reinterpret_cast<const LV_ITEM*>(lParam));
    case LVM_SETITEM:
        return SetItem(window, *s, *tree, reinterpret_cast<const LV_ITEM*>(lParam));
    case LVM_GETITEM:
        return GetItem(*s, *tree, reinterpret_cast<LV_ITEM*>(lParam));
    case LVM_SETITEMTEXT: {
        auto* in = reinterpret_cast<LV_ITEM*>(lParam);
        QTreeWidgetItem* item = Item(*tree, index);
        if (!in || !item || in->iSubItem < 0 || in->iSubItem >= ColumnCount(*s)) return FALSE;
        SetText(*s, *item, in->iSubItem, TextArg(in->pszText));
        return TRUE;
    }
    case LVM_GETITEMTEXT: {
        auto* out = reinterpret_cast<LV_ITEM*>(lParam);
        const QTreeWidgetItem* item = Item(*tree, index);
        if (!out || !item || out->iSubItem < 0 || out->iSubItem >= ColumnCount(*s)) return 0;
        return CopyOut(item->text(out->iSubItem), out->pszText, out->cchTextMax);
    }
    case LVM_SETITEMSTATE: {
        const auto* in = reinterpret_cast<const LV_ITEM*>(lParam);
        if (!in || index < -1 || index >= tree->topLevelItemCount()) return FALSE;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            if (index == -1 || index == i)
                ApplyState(window, *tree, *tree->topLevelItem(i), in->state, in->stateMask);
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        return Valid(*tree, index) ? LRESULT(StateOfItem(*tree, *Item(*tree, index), UINT(lParam))) : 0;
    case LVM_DELETEITEM:
        return DeleteItem(*s, *tree, index);
    case LVM_DELETEALLITEMS:
        tree->clear();
        s->anchor = 0;
        return TRUE;
    case LVM_GETNEXTITEM:
        return NextItem(*tree, index, UINT(lParam));
    case LVM_FINDITEM:
        return FindItem(*tree, index, reinterpret_cast<const LV_FINDINFO*>(lParam));
    case LVM_GETSELECTEDCOUNT:
        return LRESULT(tree->selectedItems().size());
    case LVM_SORTITEMS:
        return SortItems(*s, *tree, LPARAM(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST:
        return HitTest(window, *tree, reinterpret_cast<LV_HITTESTINFO*>(lParam));
    case LVM_GETITEMRECT:
        return ItemRect(*tree, index, reinterpret_cast<RECT*>(lParam));
    case LVM_ENSUREVISIBLE:
        if (!Valid(*tree, index)) return FALSE;
        tree->scrollToItem(Item(*tree, index));
        return TRUE;
    case LVM_GETTOPINDEX: {
        const QModelIndex top = tree->indexAt(QPoint(1, 1));
        return top.isValid() ? top.row() : 0;
    }
    case LVM_GETCOUNTPERPAGE:
        return tree->viewport()->height() / std::max(tree->sizeHintForRow(0), 1);
    case LVM_INSERTCOLUMN:
        return InsertColumn(*s, *tree, index, reinterpret_cast<const LV_COLUMN*>(lParam));
    case LVM_DELETECOLUMN:
        return DeleteColumn(*s, *tree, index);
    case LVM_GETCOLUMN:
        return GetColumn(*s, *tree, index, reinterpret_cast<LV_COLUMN*>(lParam));
    case LVM_SETCOLUMN: {
        const auto* in = reinterpret_cast<const LV_COLUMN*>(lParam);
        if (!in || index < 0 || index >= std::intptr_t(s->formats.size())) return FALSE;
        SetColumn(*s, *tree, int(index), *in);
        return TRUE;
    }
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < std::intptr_t(s->formats.size()) ? tree->columnWidth(int(index)) : 0;
    case LVM_SETCOLUMNWIDTH:
        if (index < 0 || index >= std::intptr_t(s->formats.size())) return FALSE;
        SetColumnWidth(*tree, int(index), GET_X_LPARAM(lParam));
        return TRUE;
    case LVM_SETIMAGELIST:
        return reinterpret_cast<LRESULT>(
            SetImageList(*s, *tree, wParam, reinterpret_cast<HIMAGELIST>(lParam)));
    case LVM_GETIMAGELIST:
        return wParam <= WPARAM(LVSIL_STATE) ? reinterpret_cast<LRESULT>(s->images[wParam]) : 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        if (IsWindowEnabled(window)) OnButtonDown(window, *s, *tree, message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (s->bar) ToScrollBar(*s, *tree, message, lParam);
        return 0;
    case WM_MOUSEWHEEL: {
        // Three rows a notch, as the widget scrolls by rows.
        const int notches = std::int16_t(HIWORD(wParam)) / WHEEL_DELTA;
        QScrollBar* bar = tree->verticalScrollBar();
        bar->setValue(bar->value() - notches * 3);
        return 0;
    }
    case WM_LBUTTONUP:
        OnButtonUp(window, *s, *tree, message, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        s->pressedColumn = -1;
        s->bar = nullptr;
        return 0;
    case WM_KEYDOWN:
        OnKey(window, *s, *tree, wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ENABLE:
        tree->setEnabled(wParam != 0);
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
