#pragma once

#include "platform/gui/ControlTypes.h"

#include <QStyledItemDelegate>

namespace vq {

// The item data and, in a list of variable height, the height of each item, as the Qt item keeps
// them.
inline constexpr int kListItemDataRole = Qt::UserRole;
inline constexpr int kListItemHeightRole = Qt::UserRole + 1;

// Paints the items of an owner-drawn list box by asking its parent with WM_DRAWITEM, on a context
// whose logical coordinates are the list box's client coordinates, and sizes them as WM_MEASUREITEM
// answered.
class ListBoxItemPainter : public QStyledItemDelegate {
public:
    ListBoxItemPainter(HWND window, QObject* parent);
    ~ListBoxItemPainter() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    int FixedHeight() const { return fixedHeight_; }
    void SetFixedHeight(int height);
    // Asks the parent for an item's height: once for a list of fixed height (item 0), for each
    // item of one of variable height.
    int Measure(int item, LPARAM data, int height) const;
    // Tells the views that an item's size changed.
    void SizeChanged(const QModelIndex& index) { emit sizeHintChanged(index); }

private:
    HWND window_;
    int fixedHeight_ = 0;
    // One context and bitmap serve every item drawn, grown to the largest item.
    HDC dc_ = nullptr;
    mutable HBITMAP bitmap_ = nullptr;
    mutable HGDIOBJ oldBitmap_ = nullptr;
};

} // namespace vq
