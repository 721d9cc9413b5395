#pragma once

#include "platform/gui/WindowSystem.h"

#include <QWidget>

namespace vq {

// Shows one window's retained image and turns the user's input on it into queued messages. It
// draws nothing of its own and leaves addressing to the window system, which decides when it
// takes the input from the queue.
class WindowWidget : public QWidget {
public:
    WindowWidget(HWND window, QWidget* parent);

    HWND Window() const { return window_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab reaches the window as a key: the dialog manager moves the focus, never Qt's chain.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void PostMouse(QMouseEvent* event, UINT message);
    POINT ScreenPoint(QPointF local) const;

    HWND window_;
};

// The virtual key of a key the user pressed, 0 when it has none.
int VirtualKeyOf(int qtKey, bool keypad);

} // namespace vq
