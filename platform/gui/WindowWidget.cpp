#include "platform/gui/WindowWidget.h"

#include "platform/gui/WindowRecord.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace vq {

namespace {

WPARAM MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

UINT ButtonMessage(Qt::MouseButton button, bool down) {
    switch (button) {
    case Qt::RightButton:
        return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case Qt::MiddleButton:
        return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
        return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    }
}

LPARAM KeyData(int scanCode, bool up, bool repeat) {
    std::uint32_t data = 1 | std::uint32_t(scanCode & 0xFF) << 16;
    if (repeat || up) data |= 1u << 30;
    if (up) data |= 1u << 31;
    return LPARAM(std::int32_t(data));
}

} // namespace

int VirtualKeyOf(int key, bool keypad) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (!keypad && key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return VK_DECIMAL;
        default:
            break;
        }
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return VK_OEM_PLUS;
    case Qt::Key_Comma:
        return VK_OEM_COMMA;
    case Qt::Key_Minus:
        return VK_OEM_MINUS;
    case Qt::Key_Period:
        return VK_OEM_PERIOD;
    case Qt::Key_Slash:
        return VK_OEM_2;
    case Qt::Key_Semicolon:
        return VK_OEM_1;
    default:
        return 0;
    }
}

WindowWidget::WindowWidget(HWND window, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint), window_(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void WindowWidget::paintEvent(QPaintEvent*) {
    WindowRecord* r = FindWindowRecord(window_);
    if (!r || r->image.Width() == 0 || r->image.Height() == 0) return;
    const QImage image(reinterpret_cast<const uchar*>(r->image.Data()), r->image.Width(), r->image.Height(),
                       r->image.Width() * 4, QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

POINT WindowWidget::ScreenPoint(QPointF local) const {
    WindowRecord* r = FindWindowRecord(window_);
    const POINT origin = r ? WindowScreenOrigin(*r) : POINT{};
    return {origin.x + int(local.x()), origin.y + int(local.y())};
}

void WindowWidget::PostMouse(QMouseEvent* event, UINT message) {
    const POINT p = ScreenPoint(event->position());
    SetCursorPosition(p);
    PostInput(message, MouseFlags(event->buttons(), event->modifiers()), 0, p);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    PostMouse(event, ButtonMessage(event->button(), true));
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    PostMouse(event, ButtonMessage(event->button(), false));
}

// Double clicks are the window system's to recognise, for classes that ask for them.
void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
    PostMouse(event, WM_MOUSEMOVE);
}

void WindowWidget::wheelEvent(QWheelEvent* event) {
    const POINT p = ScreenPoint(event->position());
    const int delta = event->angleDelta().y();
    const WPARAM flags = MouseFlags(event->buttons(), event->modifiers()) | WPARAM(std::uint16_t(delta))
                                                                                << 16;
    PostInput(WM_MOUSEWHEEL, flags, MAKELPARAM(p.x, p.y), p);
}

void WindowWidget::keyPressEvent(QKeyEvent* event) {
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const int vk = VirtualKeyOf(event->key(), keypad);
    // Alt itself is a system key whether or not the event counts it among the held modifiers.
    const bool alt = (event->modifiers() & Qt::AltModifier) || vk == VK_MENU;
    POINT cursor;
    GetCursorPos(&cursor);
    if (vk)
        PostInput(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, WPARAM(vk),
                  KeyData(int(event->nativeScanCode()), false, event->isAutoRepeat()), cursor);
    // The character follows its key at once, so nothing can come between them.
    const QString text = event->text();
    if (!text.isEmpty()) {
        const char32_t c = text.toUcs4().value(0);
        PostInput(alt ? WM_SYSCHAR : WM_CHAR, WPARAM(c), KeyData(int(event->nativeScanCode()), false, false),
                  cursor);
    }
}

void WindowWidget::keyReleaseEvent(QKeyEvent* event) {
    const int vk = VirtualKeyOf(event->key(), event->modifiers() & Qt::KeypadModifier);
    if (!vk) return;
    POINT cursor;
    GetCursorPos(&cursor);
    const bool alt = (event->modifiers() & Qt::AltModifier) || vk == VK_MENU;
    PostInput(alt ? WM_SYSKEYUP : WM_KEYUP, WPARAM(vk), KeyData(int(event->nativeScanCode()), true, false),
              cursor);
}

} // namespace vq
