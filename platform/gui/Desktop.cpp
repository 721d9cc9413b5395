#include "platform/gui/Desktop.h"

#include "platform/gui/OffscreenHarness.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace vq {

namespace {

// No window gets this handle: theirs are multiples of four.
constexpr HWND kDesktop = 0x6;

class DesktopOverlay;

struct DesktopState {
    Bitmap layer{0, 0, false};
    HWND locked = 0;
    // Contexts of the desktop handed out and not yet released.
    int openContexts = 0;
    QPointer<DesktopOverlay> overlay;
};

DesktopState& State() {
    thread_local DesktopState state;
    return state;
}

Bitmap& Layer() {
    Bitmap& layer = State().layer;
    const std::int32_t cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    if (layer.Width() != cx || layer.Height() != cy) {
        layer = Bitmap(cx, cy, false);
        // Nothing drawn: every pixel leaves the screen under it as it is.
        std::fill(layer.Data(), layer.Data() + std::size_t(cx) * std::size_t(cy), 0u);
    }
    return layer;
}

// The visible top-level windows, bottom first, on the desktop's background colour.
QImage WindowsComposite(std::int32_t cx, std::int32_t cy) {
    QImage screen(cx, cy, QImage::Format_RGB32);
    const COLORREF background = GetSysColor(COLOR_BACKGROUND);
    screen.fill(QColor(int(GetRValue(background)), int(GetGValue(background)), int(GetBValue(background))));
    std::vector<HWND> tops;
    for (HWND w = GetTopWindow(0); w; w = GetWindow(w, GW_HWNDNEXT))
        tops.push_back(w);
    QPainter painter(&screen);
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!IsWindowVisible(*it)) continue;
        RECT r;
        GetWindowRect(*it, &r);
        painter.drawImage(QPoint(r.left, r.top), OffscreenHarness::Composite(*it));
    }
    return screen;
}

// Shows the layer over the real screen. Windows do not repaint while something is drawn on the
// layer (drags lock them), so the picture of the windows under it is taken once when drawing
// starts and combined with the layer's pixels as they change.
class DesktopOverlay : public QWidget {
public:
    DesktopOverlay()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                               Qt::X11BypassWindowManagerHint) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
    }

    void Changed(const RECT& area) {
        if (!isVisible()) {
            const Bitmap& layer = Layer();
            under_ = WindowsComposite(layer.Width(), layer.Height());
            setGeometry(0, 0, layer.Width(), layer.Height());
            show();
        }
        update(QRect(area.left, area.top, area.Width(), area.Height()));
    }

    void Released() {
        if (!isVisible() || !IsDesktopLayerClear()) return;
        hide();
        under_ = QImage();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const Bitmap& layer = Layer();
        const QRect bounds = event->rect() & QRect(0, 0, layer.Width(), layer.Height()) & under_.rect();
        if (bounds.isEmpty()) return;
        QImage piece(bounds.size(), QImage::Format_ARGB32);
        for (int y = 0; y < bounds.height(); ++y) {
            const std::uint32_t* over = layer.Row(bounds.top() + y) + bounds.left();
            const auto* below = reinterpret_cast<const std::uint32_t*>(under_.constScanLine(bounds.top() + y)) +
                                bounds.left();
            auto* out = reinterpret_cast<std::uint32_t*>(piece.scanLine(y));
            for (int x = 0; x < bounds.width(); ++x) {
                const std::uint32_t bits = over[x] & 0xFFFFFF;
                out[x] = bits ? 0xFF000000u | ((below[x] ^ bits) & 0xFFFFFF) : 0u;
            }
        }
        painter.drawImage(bounds.topLeft(), piece);
    }

private:
    QImage under_;
};

bool OnWindowsThread() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

DesktopOverlay* Overlay() {
    DesktopState& s = State();
    if (!s.overlay && OnWindowsThread()) {
        s.overlay = new DesktopOverlay;
        // Gone with the application, before the windows' machinery it draws with.
        qAddPostRoutine([] { delete State().overlay.data(); });
    }
    return s.overlay.data();
}

} // namespace

void DesktopLayerChanged(const RECT& area) {
    if (DesktopOverlay* overlay = Overlay()) overlay->Changed(area);
}

QWidget* GetDesktopOverlay() {
    return State().overlay.data();
}

QImage RenderDesktopOverlay() {
    QWidget* overlay = GetDesktopOverlay();
    if (!overlay) return {};
    QImage image(overlay->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    overlay->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

void ReleaseDesktopContext() {
    DesktopState& s = State();
    if (s.openContexts > 0) --s.openContexts;
    if (s.openContexts == 0 && s.overlay) s.overlay->Released();
}

HWND GetDesktopWindow() {
    return kDesktop;
}

HDC GetDCEx(HWND window, HRGN, DWORD flags) {
    if (window == kDesktop || window == 0) {
        Bitmap& layer = Layer();
        ++State().openContexts;
        return new DeviceContext(DeviceContext::Kind::Window, &layer, POINT{},
                                 Region(RECT{0, 0, layer.Width(), layer.Height()}), kDesktop);
    }
    return (flags & DCX_WINDOW) ? GetWindowDC(window) : GetDC(window);
}

BOOL LockWindowUpdate(HWND window) {
    DesktopState& s = State();
    if (window && s.locked && s.locked != window) return FALSE;
    s.locked = window;
    return TRUE;
}

HWND GetLockedWindow() {
    return State().locked;
}

bool IsDesktopLayerClear() {
    const Bitmap& layer = Layer();
    const std::uint32_t* data = layer.Data();
    return std::all_of(data, data + std::size_t(layer.Width()) * std::size_t(layer.Height()),
                       [](std::uint32_t v) { return (v & 0xFFFFFF) == 0; });
}

QImage ScreenComposite() {
    Bitmap& layer = Layer();
    QImage screen = WindowsComposite(layer.Width(), layer.Height());
    for (std::int32_t y = 0; y < layer.Height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(screen.scanLine(y));
        const std::uint32_t* over = layer.Row(y);
        for (std::int32_t x = 0; x < layer.Width(); ++x)
            row[x] = 0xFF000000u | ((row[x] ^ over[x]) & 0xFFFFFF);
    }
    return screen;
}

} // namespace vq
