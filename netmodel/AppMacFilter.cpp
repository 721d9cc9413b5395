#include "netmodel/AppMacFilter.h"

#include "netmodel/MacAddress.h"
#include "runtime/HeadlessApp.h"

namespace vq {

bool AppMacFilter::PassesMacFilter(const FrameView& frame, FrameView::Side side) const {
    if (!m_App.GetMacOnlyReporting()) return true;
    FrameView::Side tested = side;
    if (m_App.GetMacOnlyReverse())
        tested = side == FrameView::Source ? FrameView::Destination : FrameView::Source;
    const MacAddress mac(frame.GetMac(tested), false);
    return m_App.HasMacFilterEntry(mac.GetText());
}

} // namespace vq
