#pragma once

#include "platform/gui/DeviceContext.h"
#include "platform/gui/FontFace.h"

#include <string_view>

namespace vq {

const FontFace& SelectedFace(HDC dc);

// Draws one run with its cell's top-left corner at a logical point: the cell background when the
// mode is opaque, then the glyphs in the text colour, clipped to an optional logical rectangle.
void PaintTextRun(HDC dc, POINT topLeft, std::u32string_view text, const RECT* clip);

} // namespace vq
