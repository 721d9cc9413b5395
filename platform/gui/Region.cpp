#include "platform/gui/Region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vq {

namespace {

bool Keep(int mode, bool inA, bool inB) {
    switch (mode) {
    case RGN_AND:
        return inA && inB;
    case RGN_OR:
        return inA || inB;
    case RGN_XOR:
        return inA != inB;
    case RGN_DIFF:
        return inA && !inB;
    default:
        return inA;
    }
}

// Combines two sorted span lists by sweeping their edges.
std::vector<Region::Span> CombineSpans(const std::vector<Region::Span>& a, const std::vector<Region::Span>& b,
                                       int mode) {
    std::vector<std::int32_t> edges;
    edges.reserve(2 * (a.size() + b.size()));
    for (const auto& s : a) {
        edges.push_back(s.x0);
        edges.push_back(s.x1);
    }
    for (const auto& s : b) {
        edges.push_back(s.x0);
        edges.push_back(s.x1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Region::Span> out;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        const std::int32_t x0 = edges[i];
        const std::int32_t x1 = edges[i + 1];
        while (ia < a.size() && a[ia].x1 <= x0)
            ++ia;
        while (ib < b.size() && b[ib].x1 <= x0)
            ++ib;
        const bool inA = ia < a.size() && a[ia].x0 <= x0;
        const bool inB = ib < b.size() && b[ib].x0 <= x0;
        if (!Keep(mode, inA, inB)) continue;
        if (!out.empty() && out.back().x1 == x0)
            out.back().x1 = x1;
        else
            out.push_back({x0, x1});
    }
    return out;
}

struct Edge {
    double x0, y0, x1, y1;
    int direction;
};

} // namespace

Region::Region(const RECT& rect) {
    if (!rect.IsEmpty()) bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
}

Region Region::FromPolygon(std::span<const POINT> points, int fillMode) {
    const int count = int(points.size());
    return FromPolyPolygon(points, std::span<const int>(&count, 1), fillMode);
}

Region Region::FromPolyPolygon(std::span<const POINT> points, std::span<const int> counts, int fillMode) {
    std::vector<Edge> edges;
    std::int32_t top = std::numeric_limits<std::int32_t>::max();
    std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
    std::size_t start = 0;
    for (int count : counts) {
        if (count < 0 || start + std::size_t(count) > points.size()) break;
        for (int i = 0; i < count; ++i) {
            const POINT& p = points[start + i];
            const POINT& q = points[start + (i + 1) % count];
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
            if (p.y == q.y) continue;
            if (p.y < q.y)
                edges.push_back({double(p.x), double(p.y), double(q.x), double(q.y), 1});
            else
                edges.push_back({double(q.x), double(q.y), double(p.x), double(p.y), -1});
        }
        start += std::size_t(count);
    }
    Region region;
    if (edges.empty()) return region;

    struct Crossing {
        double x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (std::int32_t y = top, next = top; y < bottom; y = next) {
        const double cy = y + 0.5;
        crossings.clear();
        // While only vertical edges cross the scan lines, every line up to the next vertex has the
        // same spans: one band covers them, so a tall rectangle costs its vertices, not its height.
        bool slanted = false;
        next = bottom;
        for (const Edge& e : edges) {
            if (e.y0 > y) next = std::min(next, std::int32_t(e.y0));
            if (cy < e.y0 || cy >= e.y1) continue;
            next = std::min(next, std::int32_t(e.y1));
            slanted = slanted || e.x0 != e.x1;
            crossings.push_back({e.x0 + (cy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.direction});
        }
        if (slanted) next = y + 1;
        std::sort(crossings.begin(), crossings.end(), [](auto& l, auto& r) { return l.x < r.x; });
        std::vector<Span> spans;
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += fillMode == WINDING ? crossings[i].direction : 1;
            const bool inside = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
            if (!inside) continue;
            // A pixel belongs to the polygon when its centre does.
            const auto x0 = std::int32_t(std::ceil(crossings[i].x - 0.5));
            const auto x1 = std::int32_t(std::ceil(crossings[i + 1].x - 0.5));
            if (x1 <= x0) continue;
            if (!spans.empty() && spans.back().x1 >= x0)
                spans.back().x1 = std::max(spans.back().x1, x1);
            else
                spans.push_back({x0, x1});
        }
        region.AppendBand(y, next, std::move(spans));
    }
    return region;
}

Region Region::Combine(const Region& a, const Region& b, int mode) {
    if (mode == RGN_COPY) return a;
    std::vector<std::int32_t> ys;
    for (const auto& band : a.bands_) {
        ys.push_back(band.top);
        ys.push_back(band.bottom);
    }
    for (const auto& band : b.bands_) {
        ys.push_back(band.top);
        ys.push_back(band.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    static const std::vector<Span> none;
    Region out;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        const std::int32_t y0 = ys[i];
        while (ia < a.bands_.size() && a.bands_[ia].bottom <= y0)
            ++ia;
        while (ib < b.bands_.size() && b.bands_[ib].bottom <= y0)
            ++ib;
        const auto& sa = ia < a.bands_.size() && a.bands_[ia].top <= y0 ? a.bands_[ia].spans : none;
        const auto& sb = ib < b.bands_.size() && b.bands_[ib].top <= y0 ? b.bands_[ib].spans : none;
        out.AppendBand(y0, ys[i + 1], CombineSpans(sa, sb, mode));
    }
    return out;
}

void Region::AppendBand(std::int32_t top, std::int32_t bottom, std::vector<Span> spans) {
    if (spans.empty() || top >= bottom) return;
    if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
        bands_.back().bottom = bottom;
        return;
    }
    bands_.push_back({top, bottom, std::move(spans)});
}

int Region::Kind() const {
    if (bands_.empty()) return NULLREGION;
    return bands_.size() == 1 && bands_[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::Bounds() const {
    if (bands_.empty()) return {};
    RECT r{std::numeric_limits<std::int32_t>::max(), bands_.front().top,
           std::numeric_limits<std::int32_t>::min(), bands_.back().bottom};
    for (const auto& band : bands_) {
        r.left = std::min(r.left, band.spans.front().x0);
        r.right = std::max(r.right, band.spans.back().x1);
    }
    return r;
}

const std::vector<Region::Span>* Region::RowSpans(std::int32_t y) const {
    auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                               [](std::int32_t value, const Band& band) { return value < band.bottom; });
    if (it == bands_.end() || it->top > y) return nullptr;
    return &it->spans;
}

bool Region::Contains(std::int32_t x, std::int32_t y) const {
    const auto* spans = RowSpans(y);
    if (!spans) return false;
    for (const auto& s : *spans)
        if (x >= s.x0 && x < s.x1) return true;
    return false;
}

bool Region::Intersects(const RECT& rect) const {
    return !Combine(*this, Region(rect), RGN_AND).IsEmpty();
}

void Region::Offset(std::int32_t dx, std::int32_t dy) {
    for (auto& band : bands_) {
        band.top += dy;
        band.bottom += dy;
        for (auto& s : band.spans) {
            s.x0 += dx;
            s.x1 += dx;
        }
    }
}

std::vector<RECT> Region::Rects() const {
    std::vector<RECT> rects;
    for (const auto& band : bands_)
        for (const auto& s : band.spans)
            rects.push_back({s.x0, band.top, s.x1, band.bottom});
    return rects;
}

bool operator==(const Region& a, const Region& b) {
    if (a.bands_.size() != b.bands_.size()) return false;
    for (std::size_t i = 0; i < a.bands_.size(); ++i) {
        const auto& x = a.bands_[i];
        const auto& y = b.bands_[i];
        if (x.top != y.top || x.bottom != y.bottom || x.spans != y.spans) return false;
    }
    return true;
}

RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? RECT{} : r;
}

RECT UnionRects(const RECT& a, const RECT& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

RECT OffsetRectBy(const RECT& r, std::int32_t dx, std::int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace vq
