#pragma once

#include "platform/gui/Gdi.h"

namespace vq {

// A memory context that takes the drawing meant for a rectangle of a target context and copies
// it there in one piece when it goes, so a paint shows at once without flicker. It draws in the
// target's logical coordinates; the rectangle's top-left corner is the bitmap's first pixel.
class OffscreenDC {
public:
    // Throws ResourceException when the target is null or the context or bitmap cannot be made.
    OffscreenDC(HDC target, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    ~OffscreenDC();
    OffscreenDC(const OffscreenDC&) = delete;
    OffscreenDC& operator=(const OffscreenDC&) = delete;

    HDC GetSafeHdc() const { return memory_; }
    operator HDC() const { return memory_; }

private:
    // Gives the memory context the target's mapping, moved so the rectangle starts at pixel 0, 0.
    void ApplyMapping();

    HDC target_;
    RECT rect_;
    int mapMode_ = MM_TEXT;
    POINT viewportOrigin_;
    POINT windowOrigin_;
    SIZE viewportExtent_;
    SIZE windowExtent_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

} // namespace vq
