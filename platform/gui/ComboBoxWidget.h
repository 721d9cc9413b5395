#pragma once

#include <QComboBox>
#include <QRect>

namespace vq {

// The Qt combo box behind a combo box window. A drop-down list draws its field itself while the
// window has the focus: filled with the highlight colour, the entry in the highlight's text colour
// and the focus mark round it, every other pixel of its edge inverted as DrawFocusRect inverts them.
class ComboBoxWidget : public QComboBox {
public:
    // Where the field lies, in the widget's coordinates.
    void SetField(const QRect& field);
    void ShowFocusMark(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect field_;
    bool focusMark_ = false;
};

} // namespace vq
