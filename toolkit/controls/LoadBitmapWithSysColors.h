#pragma once

#include "platform/gui/Gdi.h"
#include "platform/gui/WindowSystem.h"

#include <cstddef>

namespace vq {

// Makes a bitmap from a bitmap resource (a packed DIB: header, colour table, rows) with its four
// grey tones — black, dark grey, light grey, white — in the current button text, shadow, face and
// highlight colours. Only bitmaps with a colour table (8 bits or fewer) are recoloured; others
// load unchanged. FALSE for a resource that is missing or too short for what its header claims.
BOOL LoadBitmapWithSysColors(HBITMAP& bitmap, const void* resource, std::size_t size);

} // namespace vq
