#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The values of a scroll bar, whether a control's or a window's own, and how they move. A bar's
// positions run from its minimum to where its last whole page starts.

// The page fits the range and the position lies where a whole page still fits.
void NormaliseScrollInfo(SCROLLINFO& s);
// Takes the parts the mask names, then normalises; answers the position.
int MergeScrollInfo(SCROLLINFO& s, const SCROLLINFO& in);
// Gives the parts the caller's mask asks for.
void FillScrollInfo(SCROLLINFO* out, const SCROLLINFO& s);
// The largest position: max - page + 1, never below the minimum (a page of 0 counts as 1).
int LastScrollPosition(const SCROLLINFO& s);
// Whether there is anywhere to scroll to.
bool CanScroll(const SCROLLINFO& s);

} // namespace vq
