#include "platform/gui/FontFace.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace vq {

namespace {

// The height a face gets when the caller leaves it to the layer.
constexpr int kDefaultCharHeight = 13;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

QString ToQString(std::u32string_view text) {
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

QFont MakeFont(const std::string& family, int pixelSize, const LOGFONT& lf) {
    QFont font(QString::fromStdString(family));
    font.setPixelSize(std::max(pixelSize, 1));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    font.setWeight(lf.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

} // namespace

std::u32string DecodeText(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int length = b < 0x80             ? 1
                     : (b & 0xE0) == 0xC0 ? 2
                     : (b & 0xF0) == 0xE0 ? 3
                     : (b & 0xF8) == 0xF0 ? 4
                                          : 0;
        char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        bool valid = length > 1 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            valid = (t & 0xC0) == 0x80;
            c = c << 6 | (t & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (length == 1) {
            out.push_back(c);
            ++i;
        } else if (valid && c >= kSmallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF)) {
            out.push_back(c);
            i += length;
        } else {
            out.push_back(b);
            ++i;
        }
    }
    return out;
}

struct FontFace::Impl {
    QFont font;
    QFontMetrics metrics;
    mutable std::unordered_map<char32_t, std::int32_t> advances;
    explicit Impl(const QFont& f) : font(f), metrics(f) {}
};

std::string FontFace::MappedFamily(std::string_view faceName) {
    if (EqualsIgnoringCase(faceName, "Arial")) return "Liberation Sans";
    if (EqualsIgnoringCase(faceName, "Arial Narrow")) return "Liberation Sans Narrow";
    return "DejaVu Sans";
}

FontFace::FontFace(const LOGFONT& lf) : escapement_(lf.lfEscapement % 3600) {
    const std::string family = MappedFamily({lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName)});
    int pixelSize = kDefaultCharHeight;
    if (lf.lfHeight < 0) {
        pixelSize = -lf.lfHeight;
    } else if (lf.lfHeight > 0) {
        // A positive height is the whole cell: find the character height whose cell fits it.
        const QFontMetricsF reference(MakeFont(family, 1000, lf));
        const double cellPerPixel = (reference.ascent() + reference.descent()) / 1000.0;
        pixelSize = std::max(1, int(std::lround(lf.lfHeight / cellPerPixel)));
        while (pixelSize > 1) {
            const QFontMetrics m(MakeFont(family, pixelSize, lf));
            if (m.ascent() + m.descent() <= lf.lfHeight) break;
            --pixelSize;
        }
    }
    impl_ = std::make_unique<Impl>(MakeFont(family, pixelSize, lf));
    const QFontMetrics& m = impl_->metrics;
    metrics_.ascent = m.ascent();
    metrics_.descent = m.descent();
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.internalLeading = std::max(0, metrics_.height - pixelSize);
    metrics_.externalLeading = std::max(0, m.leading());
    metrics_.averageCharWidth = std::max(1, m.averageCharWidth());
    metrics_.maxCharWidth = std::max(1, m.maxWidth());
    metrics_.weight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
}

FontFace::~FontFace() = default;

std::int32_t FontFace::Advance(char32_t c) const {
    auto [it, added] = impl_->advances.try_emplace(c, 0);
    if (added) it->second = impl_->metrics.horizontalAdvance(ToQString(std::u32string_view(&c, 1)));
    return it->second;
}

std::int32_t FontFace::TextWidth(std::u32string_view text) const {
    std::int32_t width = 0;
    for (char32_t c : text)
        width += Advance(c);
    return width;
}

const QFont& FontFace::QtFont() const {
    return impl_->font;
}

FontFace::Coverage FontFace::Render(std::u32string_view text) const {
    const std::int32_t width = TextWidth(text);
    const std::int32_t height = metrics_.height;
    QTransform rotation;
    // The escapement turns counter-clockwise; with y downwards that is a negative angle.
    rotation.rotate(-escapement_ / 10.0);
    // Glyphs may reach past their cell (italics, overhangs); leave room and crop afterwards.
    const int margin = height;
    const QRect box = rotation.mapRect(QRect(-margin, -margin, width + 2 * margin, height + 2 * margin));

    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.translate(-box.left(), -box.top());
        painter.setTransform(rotation, true);
        painter.setFont(impl_->font);
        painter.setPen(Qt::white);
        std::int32_t x = 0;
        for (char32_t c : text) {
            painter.drawText(QPoint(x, metrics_.ascent), ToQString(std::u32string_view(&c, 1)));
            x += Advance(c);
        }
    }

    Coverage coverage;
    coverage.left = box.left();
    coverage.top = box.top();
    coverage.width = box.width();
    coverage.height = box.height();
    coverage.bits.resize(std::size_t(coverage.width) * std::size_t(coverage.height));
    for (int y = 0; y < coverage.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < coverage.width; ++x)
            coverage.bits[std::size_t(y) * std::size_t(coverage.width) + x] = qRed(row[x]) >= 128;
    }
    return coverage;
}

FontObject::FontObject(const LOGFONT& lf) : GdiObject(Type::Font), logFont(lf) {}
FontObject::~FontObject() = default;

const FontFace& FontObject::Face() const {
    if (!face_) face_ = std::make_unique<FontFace>(logFont);
    return *face_;
}

const FontFace& FontObject::FaceAtHeight(std::int32_t height) const {
    if (height == logFont.lfHeight) return Face();
    auto& face = scaled_[height];
    if (!face) {
        LOGFONT scaled = logFont;
        scaled.lfHeight = height;
        face = std::make_unique<FontFace>(scaled);
    }
    return *face;
}

} // namespace vq
