#pragma once

#include "platform/gui/DeviceContext.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace vq {

// What client-area contexts draw on a control that a Qt widget paints. It lies above the widget,
// so the drawing shows over the control and in its screenshots, and it keeps, per pixel, how the
// drawing changed the control's picture (the exclusive-or of before and after), shown over
// whatever the control shows at the time. So drawing reads and changes the pixels the user sees,
// and an XOR drawn twice leaves no trace, even when the control's content moved in between.
class ControlOverlay : public QWidget {
public:
    ControlOverlay(QWidget* host, QWidget* control);

    // A context on the control as it is seen; contexts open at the same time share that picture.
    HDC OpenDC(HWND window);
    bool Owns(HDC dc) const { return dc && &dc->Surface() == &surface_; }
    // After one of its contexts was released: once none is left, what they changed is kept.
    void Closed();
    // The control as the user sees it.
    QImage Seen() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QImage Picture() const;
    void Forget();

    QPointer<QWidget> control_;
    // The picture the open contexts draw on, and the control's own picture under it.
    Bitmap surface_{0, 0, false};
    QImage before_;
    QImage changes_;
    int open_ = 0;
};

} // namespace vq
