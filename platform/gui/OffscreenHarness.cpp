#include "platform/gui/OffscreenHarness.h"

#include "platform/gui/ControlOverlay.h"
#include "platform/gui/WindowRecord.h"
#include "platform/gui/WindowWidget.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace vq {

namespace {

QImage ImageOf(const WindowRecord& r) {
    return QImage(reinterpret_cast<const uchar*>(r.image.Data()), r.image.Width(), r.image.Height(),
                  r.image.Width() * 4, QImage::Format_RGB32);
}

// A control that Qt paints shows the Qt widget's picture in its client area, with what was drawn
// on it over that.
void DrawWindow(QPainter& painter, const WindowRecord& r, QPoint at) {
    painter.drawImage(at, ImageOf(r));
    if (r.overlay) painter.drawImage(at + QPoint(r.client.left, r.client.top), r.overlay->Seen());
}

void DrawChildren(QPainter& painter, const WindowRecord& r, QPoint origin) {
    for (auto it = r.children.rbegin(); it != r.children.rend(); ++it) {
        const WindowRecord* c = FindWindowRecord(*it);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        const QPoint at = origin + QPoint(r.client.left + c->rect.left, r.client.top + c->rect.top);
        painter.save();
        painter.setClipRect(
            QRect(origin + QPoint(r.client.left, r.client.top), QSize(r.client.Width(), r.client.Height())),
            Qt::IntersectClip);
        DrawWindow(painter, *c, at);
        DrawChildren(painter, *c, at);
        painter.restore();
    }
}

// The widget of the window under the point, or of the active window when there is none.
WindowWidget* WidgetAt(POINT screen) {
    HWND window = WindowFromPoint(screen);
    if (!window) window = GetActiveWindow();
    WindowRecord* r = FindWindowRecord(window);
    return r ? r->widget.data() : nullptr;
}

void SendMouse(QEvent::Type type, POINT screen, Qt::MouseButton button, Qt::MouseButtons buttons) {
    WindowWidget* widget = WidgetAt(screen);
    if (!widget) return;
    const POINT origin = WindowScreenOrigin(*FindWindowRecord(widget->Window()));
    const QPointF local(screen.x - origin.x, screen.y - origin.y);
    QMouseEvent event(type, local, local, QPointF(screen.x, screen.y), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

int OffscreenHarness::RunUntilIdle(int limit) {
    int count = 0;
    ProcessQtEvents();
    MSG msg;
    while (count < limit && PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        ++count;
    }
    ProcessQtEvents();
    return count;
}

void OffscreenHarness::MousePress(POINT screen, Qt::MouseButton button) {
    SendMouse(QEvent::MouseButtonPress, screen, button, button);
}

void OffscreenHarness::MouseRelease(POINT screen, Qt::MouseButton button) {
    SendMouse(QEvent::MouseButtonRelease, screen, button, Qt::NoButton);
}

void OffscreenHarness::MouseMove(POINT screen, Qt::MouseButtons held) {
    SendMouse(QEvent::MouseMove, screen, Qt::NoButton, held);
}

void OffscreenHarness::Wheel(POINT screen, int delta) {
    WindowWidget* widget = WidgetAt(screen);
    if (!widget) return;
    const POINT origin = WindowScreenOrigin(*FindWindowRecord(widget->Window()));
    const QPointF local(screen.x - origin.x, screen.y - origin.y);
    QWheelEvent event(local, QPointF(screen.x, screen.y), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

void OffscreenHarness::Key(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text, bool press) {
    HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
    WindowRecord* r = FindWindowRecord(target);
    if (!r || !r->widget) return;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, modifiers, text);
    QCoreApplication::sendEvent(r->widget.data(), &event);
}

COLORREF OffscreenHarness::Pixel(HWND window, std::int32_t x, std::int32_t y) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r || !r->image.Contains(x, y)) return CLR_INVALID;
    if (r->overlay && r->client.Contains(x, y))
        return PixelToColour(r->overlay->Seen().pixel(x - r->client.left, y - r->client.top) & 0xFFFFFF);
    return r->image.ColourOf(r->image.Pixel(x, y));
}

QImage OffscreenHarness::Composite(HWND window) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r) return {};
    QImage out = ImageOf(*r).copy();
    QPainter painter(&out);
    DrawWindow(painter, *r, QPoint(0, 0));
    DrawChildren(painter, *r, QPoint(0, 0));
    return out;
}

bool OffscreenHarness::SaveScreenshot(HWND window, const std::string& path) {
    const QImage image = Composite(window);
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

} // namespace vq
