#include "platform/gui/ScrollArithmetic.h"

#include <algorithm>
#include <cstdint>

namespace vq {

int LastScrollPosition(const SCROLLINFO& s) {
    const std::int64_t page = std::max<std::int64_t>(s.nPage, 1);
    return int(std::max<std::int64_t>(s.nMin, std::int64_t(s.nMax) - page + 1));
}

bool CanScroll(const SCROLLINFO& s) {
    return LastScrollPosition(s) > s.nMin;
}

void NormaliseScrollInfo(SCROLLINFO& s) {
    s.nMax = std::max(s.nMax, s.nMin);
    const std::int64_t span = std::int64_t(s.nMax) - s.nMin + 1;
    if (std::int64_t(s.nPage) > span) s.nPage = UINT(span);
    s.nPos = std::clamp(s.nPos, s.nMin, LastScrollPosition(s));
}

int MergeScrollInfo(SCROLLINFO& s, const SCROLLINFO& in) {
    if (in.fMask & SIF_RANGE) s.nMin = in.nMin, s.nMax = in.nMax;
    if (in.fMask & SIF_PAGE) s.nPage = in.nPage;
    if (in.fMask & SIF_POS) s.nPos = in.nPos;
    NormaliseScrollInfo(s);
    return s.nPos;
}

void FillScrollInfo(SCROLLINFO* out, const SCROLLINFO& s) {
    const UINT mask = out->fMask;
    if (mask & SIF_RANGE) out->nMin = s.nMin, out->nMax = s.nMax;
    if (mask & SIF_PAGE) out->nPage = s.nPage;
    if (mask & SIF_POS) out->nPos = s.nPos;
    if (mask & SIF_TRACKPOS) out->nTrackPos = s.nTrackPos;
}

} // namespace vq
