#include "platform/gui/ControlOverlay.h"

#include <QEvent>
#include <QPainter>

namespace vq {

namespace {

constexpr std::uint32_t kColour = 0x00FFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;

} // namespace

ControlOverlay::ControlOverlay(QWidget* host, QWidget* control) : QWidget(host), control_(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(control->geometry());
    control->installEventFilter(this);
    hide();
}

bool ControlOverlay::eventFilter(QObject* object, QEvent* event) {
    if (object == control_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        setGeometry(control_->geometry());
        // A control of another size draws itself anew, so earlier drawing is gone.
        if (open_ == 0 && changes_.size() != control_->size()) Forget();
    }
    return false;
}

QImage ControlOverlay::Picture() const {
    QImage picture(control_->size(), QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    picture.fill(Qt::white);
    control_->render(&picture);
    return picture;
}

void ControlOverlay::Forget() {
    changes_ = QImage();
    hide();
}

HDC ControlOverlay::OpenDC(HWND window) {
    if (!control_) return nullptr;
    if (open_ == 0) {
        before_ = Picture();
        const std::int32_t width = before_.width();
        const std::int32_t height = before_.height();
        if (changes_.size() != before_.size()) {
            changes_ = QImage(before_.size(), QImage::Format_RGB32);
            changes_.fill(0);
        }
        surface_.Resize(width, height);
        for (std::int32_t y = 0; y < height; ++y) {
            const auto* under = reinterpret_cast<const std::uint32_t*>(before_.constScanLine(y));
            const auto* changed = reinterpret_cast<const std::uint32_t*>(changes_.constScanLine(y));
            std::uint32_t* row = surface_.Row(y);
            for (std::int32_t x = 0; x < width; ++x)
                row[x] = (under[x] ^ changed[x]) & kColour;
        }
    }
    ++open_;
    return new DeviceContext(DeviceContext::Kind::Window, &surface_, POINT{},
                             Region(RECT{0, 0, surface_.Width(), surface_.Height()}), window);
}

void ControlOverlay::Closed() {
    if (open_ == 0 || --open_ > 0) return;
    bool any = false;
    for (std::int32_t y = 0; y < surface_.Height(); ++y) {
        const auto* under = reinterpret_cast<const std::uint32_t*>(before_.constScanLine(y));
        auto* changed = reinterpret_cast<std::uint32_t*>(changes_.scanLine(y));
        const std::uint32_t* row = surface_.Row(y);
        for (std::int32_t x = 0; x < surface_.Width(); ++x) {
            const std::uint32_t change = (row[x] ^ under[x]) & kColour;
            changed[x] = kOpaque | change;
            any = any || change != 0;
        }
    }
    before_ = QImage();
    if (control_ && changes_.size() != control_->size()) {
        Forget();
        return;
    }
    setVisible(any);
    update();
}

QImage ControlOverlay::Seen() const {
    if (!control_) return {};
    QImage seen = Picture();
    if (changes_.size() != seen.size()) return seen;
    for (int y = 0; y < seen.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(seen.scanLine(y));
        const auto* changed = reinterpret_cast<const std::uint32_t*>(changes_.constScanLine(y));
        for (int x = 0; x < seen.width(); ++x)
            row[x] ^= changed[x] & kColour;
    }
    return seen;
}

void ControlOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(0, 0, changes_);
}

} // namespace vq
