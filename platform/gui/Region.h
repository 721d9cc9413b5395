#pragma once

#include "platform/gui/GdiTypes.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vq {

// A set of pixels kept as horizontal bands, each with its sorted, disjoint spans [x0, x1). Bands
// are sorted, disjoint and never empty, and two touching bands never hold the same spans, so equal
// regions have equal representations.
class Region {
public:
    struct Span {
        std::int32_t x0;
        std::int32_t x1;
        friend bool operator==(const Span&, const Span&) = default;
    };
    struct Band {
        std::int32_t top;
        std::int32_t bottom;
        std::vector<Span> spans;
    };

    Region() = default;
    explicit Region(const RECT& rect);
    // Pixels whose centres lie inside the polygon under the fill mode (ALTERNATE or WINDING).
    static Region FromPolygon(std::span<const POINT> points, int fillMode);
    static Region FromPolyPolygon(std::span<const POINT> points, std::span<const int> counts, int fillMode);
    // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY (a).
    static Region Combine(const Region& a, const Region& b, int mode);

    bool IsEmpty() const { return bands_.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    RECT Bounds() const;
    bool Contains(std::int32_t x, std::int32_t y) const;
    bool Intersects(const RECT& rect) const;
    void Offset(std::int32_t dx, std::int32_t dy);
    std::vector<RECT> Rects() const;
    const std::vector<Band>& Bands() const { return bands_; }
    // The spans of row y, or null when the row is empty.
    const std::vector<Span>* RowSpans(std::int32_t y) const;

    friend bool operator==(const Region& a, const Region& b);

private:
    void AppendBand(std::int32_t top, std::int32_t bottom, std::vector<Span> spans);

    std::vector<Band> bands_;
};

} // namespace vq
