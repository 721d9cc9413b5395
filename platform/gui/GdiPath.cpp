#include "platform/gui/GdiPath.h"

namespace vq {

void GdiPath::Begin() {
    figures_.clear();
    state_ = State::Open;
}

void GdiPath::Abort() {
    figures_.clear();
    state_ = State::None;
}

bool GdiPath::End() {
    if (state_ != State::Open) return false;
    state_ = State::Closed;
    return true;
}

void GdiPath::MoveTo(POINT device) {
    figures_.push_back({device});
}

void GdiPath::LineTo(POINT device) {
    if (figures_.empty()) figures_.push_back({device});
    figures_.back().push_back(device);
}

void GdiPath::AddFigure(std::span<const POINT> device) {
    figures_.emplace_back(device.begin(), device.end());
}

std::optional<Region> GdiPath::TakeRegion(int fillMode) {
    if (state_ != State::Closed) return std::nullopt;
    std::vector<POINT> points;
    std::vector<int> counts;
    // Every figure is closed for its area; one of fewer than three points has none.
    for (const auto& figure : figures_) {
        if (figure.size() < 3) continue;
        points.insert(points.end(), figure.begin(), figure.end());
        counts.push_back(static_cast<int>(figure.size()));
    }
    figures_.clear();
    state_ = State::None;
    if (counts.empty()) return Region();
    return Region::FromPolyPolygon(points, counts, fillMode);
}

} // namespace vq
