#pragma once

#include "platform/gui/GdiObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QFont;

namespace vq {

// Text as the layer handles it: UTF-8 where it is valid, any other byte taken as the Latin-1
// character of the same value, so no input is refused or lost.
std::u32string DecodeText(std::string_view text);

// One logical font made concrete: the face the layer maps its name to, its cell metrics at 96 DPI
// and the coverage of its glyphs, always without antialiasing. Advances are whole pixels and text
// is placed glyph by glyph at their sums, so what is measured is exactly what is drawn.
class FontFace {
public:
    struct Metrics {
        std::int32_t height = 0;
        std::int32_t ascent = 0;
        std::int32_t descent = 0;
        std::int32_t internalLeading = 0;
        std::int32_t externalLeading = 0;
        std::int32_t averageCharWidth = 0;
        std::int32_t maxCharWidth = 0;
        std::int32_t weight = 0;
    };

    // Set pixels of rendered text, relative to the cell's top-left corner (before rotation).
    struct Coverage {
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::vector<std::uint8_t> bits;
        bool At(std::int32_t x, std::int32_t y) const {
            return bits[std::size_t(y) * std::size_t(width) + x] != 0;
        }
    };

    explicit FontFace(const LOGFONT& lf);
    ~FontFace();

    // The family the face name maps to.
    static std::string MappedFamily(std::string_view faceName);

    const Metrics& GetMetrics() const { return metrics_; }
    std::int32_t Advance(char32_t c) const;
    std::int32_t TextWidth(std::u32string_view text) const;
    // Counter-clockwise, in tenths of a degree.
    std::int32_t Escapement() const { return escapement_; }
    Coverage Render(std::u32string_view text) const;
    // The same face for a Qt widget to draw with, so a control's text measures as the layer's does.
    const QFont& QtFont() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    Metrics metrics_;
    std::int32_t escapement_;
};

} // namespace vq
