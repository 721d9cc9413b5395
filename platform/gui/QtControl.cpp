#include "platform/gui/QtControl.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/ControlOverlay.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/FontFace.h"
#include "platform/gui/WindowRecord.h"
#include "platform/gui/WindowWidget.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QWheelEvent>

namespace vq {

namespace {

QColor ColourOf(int index) {
    const COLORREF c = GetSysColor(index);
    return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)));
}

QPalette ControlPalette() {
    QPalette p;
    p.setColor(QPalette::Window, ColourOf(COLOR_BTNFACE));
    p.setColor(QPalette::WindowText, ColourOf(COLOR_WINDOWTEXT));
    p.setColor(QPalette::Base, ColourOf(COLOR_WINDOW));
    p.setColor(QPalette::AlternateBase, ColourOf(COLOR_WINDOW));
    p.setColor(QPalette::Text, ColourOf(COLOR_WINDOWTEXT));
    p.setColor(QPalette::Button, ColourOf(COLOR_BTNFACE));
    p.setColor(QPalette::ButtonText, ColourOf(COLOR_BTNTEXT));
    p.setColor(QPalette::Light, ColourOf(COLOR_BTNHIGHLIGHT));
    p.setColor(QPalette::Midlight, ColourOf(COLOR_3DLIGHT));
    p.setColor(QPalette::Mid, ColourOf(COLOR_BTNSHADOW));
    p.setColor(QPalette::Dark, ColourOf(COLOR_BTNSHADOW));
    p.setColor(QPalette::Shadow, ColourOf(COLOR_3DDKSHADOW));
    p.setColor(QPalette::Highlight, ColourOf(COLOR_HIGHLIGHT));
    p.setColor(QPalette::HighlightedText, ColourOf(COLOR_HIGHLIGHTTEXT));
    p.setColor(QPalette::Disabled, QPalette::Text, ColourOf(COLOR_GRAYTEXT));
    p.setColor(QPalette::Disabled, QPalette::WindowText, ColourOf(COLOR_GRAYTEXT));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, ColourOf(COLOR_GRAYTEXT));
    return p;
}

// Every control draws with the same style, whatever the desktop's; the application owns it.
QStyle* FixedStyle() {
    static QStyle* style = [] {
        QStyle* s = QStyleFactory::create("Fusion");
        s->setParent(QCoreApplication::instance());
        return s;
    }();
    return style;
}

// Input the user gives the widget or any part of it goes to the control's window, so it is queued
// and addressed like all input; what the control passes on arrives as posted (not spontaneous)
// events. Qt's own context menu never opens: the right button reaches the window as messages.
class InputRedirect : public QObject {
public:
    InputRedirect(QWidget* host, QObject* parent) : QObject(parent), host_(host) {}

    // Covers the widget and its parts, and parts made later once they are complete; separate
    // windows (popups) are not part of the control's area.
    void Cover(QWidget* widget) {
        if (widget->isWindow()) return;
        widget->installEventFilter(this);
        widget->setFocusPolicy(Qt::NoFocus);
        widget->setAcceptDrops(false);
        for (QWidget* part : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            Cover(part);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType()) Cover(static_cast<QWidget*>(child));
            return false;
        }
        if (!event->spontaneous() || !host_) return false;
        auto* widget = static_cast<QWidget*>(object);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            QMouseEvent copy(mouse->type(), widget->mapTo(host_, mouse->position()), mouse->scenePosition(),
                             mouse->globalPosition(), mouse->button(), mouse->buttons(), mouse->modifiers());
            QCoreApplication::sendEvent(host_, &copy);
            return true;
        }
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            QWheelEvent copy(widget->mapTo(host_, wheel->position()), wheel->globalPosition(),
                             wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(),
                             wheel->phase(), wheel->inverted());
            QCoreApplication::sendEvent(host_, &copy);
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            QCoreApplication::sendEvent(host_, event);
            return true;
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> host_;
};

Qt::MouseButton ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return Qt::LeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return Qt::RightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return Qt::MiddleButton;
    default:
        return Qt::NoButton;
    }
}

Qt::MouseButtons ButtonsOf(WPARAM flags) {
    Qt::MouseButtons held;
    if (flags & MK_LBUTTON) held |= Qt::LeftButton;
    if (flags & MK_RBUTTON) held |= Qt::RightButton;
    if (flags & MK_MBUTTON) held |= Qt::MiddleButton;
    return held;
}

} // namespace

QWidget* AttachQtControl(HWND window, QWidget* widget) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r || !r->widget) {
        delete widget;
        return nullptr;
    }
    widget->setParent(r->widget);
    widget->setStyle(FixedStyle());
    widget->setPalette(ControlPalette());
    widget->setFont(DrawingFont(window)->Face().QtFont());
    widget->setGeometry(r->client.left, r->client.top, r->client.Width(), r->client.Height());
    (new InputRedirect(r->widget, widget))->Cover(widget);
    widget->show();
    r->qtControl = widget;
    r->overlay = new ControlOverlay(r->widget, widget);
    // The widget shows its own scroll bars, so the layer's give their room back.
    if (r->style & (WS_HSCROLL | WS_VSCROLL))
        SetWindowPos(window, 0, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return widget;
}

void SetQtControlFont(HWND window, HFONT font, bool redraw) {
    QWidget* widget = QtControlOf(window);
    if (!widget || !SetControlFont(window, font)) return;
    // The widget takes a copy of the face, so the caller may delete the font while it is set.
    widget->setFont(DrawingFont(window)->Face().QtFont());
    // Qt repaints a widget whose font changed at its next update in any case; the flag decides
    // whether the new face shows before the message returns.
    if (redraw) widget->repaint();
}

void SetQtControlColours(QWidget* widget) {
    widget->setPalette(ControlPalette());
}

QWidget* QtControlOf(HWND window) {
    WindowRecord* r = FindWindowRecord(window);
    return r ? r->qtControl.data() : nullptr;
}

void ForwardMouseToQtControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = QtControlOf(window);
    if (!widget) return;
    QEvent::Type type = QEvent::MouseMove;
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN)
        type = QEvent::MouseButtonPress;
    else if (message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP)
        type = QEvent::MouseButtonRelease;
    else if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK)
        type = QEvent::MouseButtonDblClick;
    const QPointF local(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &screen);
    Qt::MouseButtons held = ButtonsOf(wParam);
    // A release leaves its button out of the buttons held; a press holds it.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) held |= ButtonOf(message);
    Qt::KeyboardModifiers modifiers;
    if (wParam & MK_SHIFT) modifiers |= Qt::ShiftModifier;
    if (wParam & MK_CONTROL) modifiers |= Qt::ControlModifier;
    QMouseEvent event(type, local, local, QPointF(screen.x, screen.y), ButtonOf(message), held, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

void ForwardKeyToQtControl(HWND window, int qtKey, Qt::KeyboardModifiers modifiers, const char* text) {
    QWidget* widget = QtControlOf(window);
    if (!widget) return;
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, QString::fromUtf8(text ? text : ""));
    QCoreApplication::sendEvent(widget, &event);
}

Qt::KeyboardModifiers CurrentModifiers() {
    Qt::KeyboardModifiers modifiers;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= Qt::ShiftModifier;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= Qt::ControlModifier;
    if (GetKeyState(VK_MENU) < 0) modifiers |= Qt::AltModifier;
    return modifiers;
}

} // namespace vq
