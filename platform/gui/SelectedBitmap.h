#pragma once

#include "platform/gui/Gdi.h"

namespace vq {

// A memory context with a bitmap selected, undone when it goes.
class SelectedBitmap {
public:
    explicit SelectedBitmap(HBITMAP bitmap)
        : dc_(CreateCompatibleDC(nullptr)), old_(SelectObject(dc_, bitmap)) {}
    ~SelectedBitmap() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace vq
