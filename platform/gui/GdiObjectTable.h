#pragma once

#include "platform/gui/GdiObject.h"

namespace vq {

// Every drawing object alive, so that a stale or foreign handle is refused rather than used.
void RegisterGdiObject(HGDIOBJ object);
bool IsGdiObject(HGDIOBJ object);
// Frees the object at once; callers check selections first.
void DestroyGdiObject(HGDIOBJ object);

HGDIOBJ GetStockObject(int which);

} // namespace vq
