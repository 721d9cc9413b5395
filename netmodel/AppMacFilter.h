#pragma once

#include "netmodel/MacFilter.h"

namespace vq {

class HeadlessApp;

// The application's MAC filter: while MAC-only reporting is on, a side of a frame is learned fully
// only when its MAC address (the other side's with the reverse option) is one of the configured
// devices' addresses. The application keeps the set under its own lock, so the main thread may
// change it while the monitor thread asks.
class AppMacFilter : public MacFilter {
public:
    explicit AppMacFilter(const HeadlessApp& app) : m_App(app) {}
    bool PassesMacFilter(const FrameView& frame, FrameView::Side side) const override;

private:
    const HeadlessApp& m_App;
};

} // namespace vq
