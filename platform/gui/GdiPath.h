#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/gui/Region.h"

#include <optional>
#include <span>
#include <vector>

namespace vq {

// The figures a context records between BeginPath and EndPath instead of drawing them, in device
// coordinates. A closed path becomes a region when it is selected as the clip.
class GdiPath {
public:
    void Begin();
    void Abort();
    // False when no path was open.
    bool End();
    bool IsOpen() const { return state_ == State::Open; }

    void MoveTo(POINT device);
    void LineTo(POINT device);
    void AddFigure(std::span<const POINT> device);

    // The area of a closed path under the fill mode; it is used up. None without a closed path.
    std::optional<Region> TakeRegion(int fillMode);

private:
    enum class State { None, Open, Closed };

    State state_ = State::None;
    std::vector<std::vector<POINT>> figures_;
};

} // namespace vq
