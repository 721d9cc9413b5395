#include "toolkit/lists/OffscreenDC.h"

#include "platform/core/Exceptions.h"

namespace vq {

OffscreenDC::OffscreenDC(HDC target, std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom)
    : target_(target), rect_{left, top, right, bottom} {
    if (!target) throw ResourceException("no target for the off-screen context");
    mapMode_ = GetMapMode(target);
    GetViewportOrgEx(target, &viewportOrigin_);
    GetWindowOrgEx(target, &windowOrigin_);
    GetViewportExtEx(target, &viewportExtent_);
    GetWindowExtEx(target, &windowExtent_);

    memory_ = CreateCompatibleDC(target);
    bitmap_ = memory_ ? CreateCompatibleBitmap(target, rect_.Width(), rect_.Height()) : nullptr;
    if (!memory_ || !bitmap_) {
        if (memory_) DeleteDC(memory_);
        throw ResourceException("off-screen context or bitmap not made");
    }
    previous_ = SelectObject(memory_, bitmap_);
    ApplyMapping();
}

OffscreenDC::~OffscreenDC() {
    ApplyMapping();
    BitBlt(target_, rect_.left, rect_.top, rect_.Width(), rect_.Height(), memory_, rect_.left, rect_.top,
           SRCCOPY);
    SelectObject(memory_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
}

void OffscreenDC::ApplyMapping() {
    SetMapMode(memory_, mapMode_);
    SetWindowExtEx(memory_, windowExtent_.cx, windowExtent_.cy, nullptr);
    SetViewportExtEx(memory_, viewportExtent_.cx, viewportExtent_.cy, nullptr);
    SetWindowOrgEx(memory_, windowOrigin_.x, windowOrigin_.y, nullptr);
    SetViewportOrgEx(memory_, viewportOrigin_.x, viewportOrigin_.y, nullptr);
    // Where the rectangle's corner falls on the target's device; the bitmap starts there.
    POINT corner{rect_.left, rect_.top};
    LPtoDP(memory_, &corner, 1);
    SetViewportOrgEx(memory_, viewportOrigin_.x - corner.x, viewportOrigin_.y - corner.y, nullptr);
}

} // namespace vq
