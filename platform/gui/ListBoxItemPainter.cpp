#include "platform/gui/ListBoxItemPainter.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"

#include <QImage>
#include <QListWidget>
#include <QPainter>

namespace vq {

ListBoxItemPainter::ListBoxItemPainter(HWND window, QObject* parent)
    : QStyledItemDelegate(parent), window_(window), dc_(CreateCompatibleDC(nullptr)) {}

ListBoxItemPainter::~ListBoxItemPainter() {
    if (bitmap_) SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void ListBoxItemPainter::SetFixedHeight(int height) {
    fixedHeight_ = height;
}

int ListBoxItemPainter::Measure(int item, LPARAM data, int height) const {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = UINT(GetDlgCtrlID(window_));
    mis.itemID = UINT(item);
    RECT client;
    GetClientRect(window_, &client);
    mis.itemWidth = UINT(client.Width());
    mis.itemHeight = UINT(height);
    mis.itemData = std::uintptr_t(data);
    SendMessage(GetParent(window_), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    // Heights a list box cannot show are taken as the nearest it can.
    return std::clamp(int(mis.itemHeight), 1, 255);
}

QSize ListBoxItemPainter::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant height = index.data(kListItemHeightRole);
    return {option.rect.width(), height.isValid() ? height.toInt() : fixedHeight_};
}

void ListBoxItemPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QRect r = option.rect;
    if (r.isEmpty()) return;
    if (!bitmap_ || bitmap_->bits.Width() < r.width() || bitmap_->bits.Height() < r.height()) {
        HBITMAP grown =
            CreateBitmap(std::max(r.width(), bitmap_ ? bitmap_->bits.Width() : 0),
                         std::max(r.height(), bitmap_ ? bitmap_->bits.Height() : 0), 1, 32, nullptr);
        HGDIOBJ previous = SelectObject(dc_, grown);
        if (!bitmap_) oldBitmap_ = previous;
        DeleteObject(bitmap_);
        bitmap_ = grown;
    }
    const int saved = SaveDC(dc_);
    const RECT item{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    SetViewportOrgEx(dc_, -item.left, -item.top, nullptr);
    SelectObject(dc_, DrawingFont(window_));
    FillRect(dc_, &item, GetSysColorBrush(COLOR_WINDOW));

    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = UINT(GetDlgCtrlID(window_));
    dis.itemID = UINT(index.row());
    dis.itemAction = ODA_DRAWENTIRE;
    if (option.state & QStyle::State_Selected) dis.itemState |= ODS_SELECTED;
    if (GetFocus() == window_ && static_cast<const QListWidget*>(parent())->currentRow() == index.row())
        dis.itemState |= ODS_FOCUS;
    if (!IsWindowEnabled(window_)) dis.itemState |= ODS_DISABLED;
    dis.hwndItem = window_;
    dis.hDC = dc_;
    dis.rcItem = item;
    dis.itemData = std::uintptr_t(index.data(kListItemDataRole).value<qlonglong>());
    SendMessage(GetParent(window_), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc_, saved);

    const Bitmap& bits = bitmap_->bits;
    const QImage picture(reinterpret_cast<const uchar*>(bits.Data()), bits.Width(), bits.Height(),
                         qsizetype(bits.Width()) * 4, QImage::Format_RGB32);
    painter->drawImage(r.topLeft(), picture, QRect(0, 0, r.width(), r.height()));
}

} // namespace vq
