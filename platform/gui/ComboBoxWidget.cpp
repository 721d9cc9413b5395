#include "platform/gui/ComboBoxWidget.h"

#include "platform/gui/SystemColours.h"

#include <QPainter>

namespace vq {

namespace {

// Room between the field's edge and its text.
constexpr int kTextIndent = 2;

QColor ColourOf(COLORREF c) {
    return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)));
}

} // namespace

void ComboBoxWidget::SetField(const QRect& field) {
    if (field == field_) return;
    field_ = field;
    update();
}

void ComboBoxWidget::ShowFocusMark(bool shown) {
    if (shown == focusMark_) return;
    focusMark_ = shown;
    update();
}

void ComboBoxWidget::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    if (!focusMark_ || isEditable() || field_.isEmpty()) return;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    QPainter painter(this);
    painter.fillRect(field_, ColourOf(highlight));
    painter.setPen(ColourOf(GetSysColor(COLOR_HIGHLIGHTTEXT)));
    painter.setFont(font());
    painter.drawText(field_.adjusted(kTextIndent, 0, -kTextIndent, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, currentText());
    // The dots lie on the highlight just filled, so inverting them gives its opposite colour.
    painter.setPen(ColourOf(highlight ^ 0xFFFFFF));
    const int left = field_.left(), top = field_.top(), right = field_.right(), bottom = field_.bottom();
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0) painter.drawPoint(x, y);
    };
    for (int x = left; x <= right; ++x) {
        dot(x, top);
        if (bottom > top) dot(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        dot(left, y);
        if (right > left) dot(right, y);
    }
}

} // namespace vq
