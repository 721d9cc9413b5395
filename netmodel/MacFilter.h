#pragma once

#include "netmodel/FrameView.h"

namespace vq {

// The filter that decides, while MAC-only reporting is on, whether a side of a frame is learned
// fully or only looked up.
class MacFilter {
public:
    virtual ~MacFilter() = default;
    virtual bool PassesMacFilter(const FrameView& frame, FrameView::Side side) const = 0;
};

} // namespace vq
