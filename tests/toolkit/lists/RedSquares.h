#pragma once

#include "platform/classlib/ImageList.h"
#include "platform/gui/Gdi.h"

namespace vq {

// A red 16 x 16 square in an image list of its own.
class RedSquares {
public:
    RedSquares() {
        list.Create(16, 16, ILC_COLOR32, 1, 1);
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        const RECT all{0, 0, 16, 16};
        FillRect(dc, &all, red);
        DeleteObject(red);
        SelectObject(dc, old);
        DeleteDC(dc);
        list.Add(bitmap, HBITMAP(nullptr));
        DeleteObject(bitmap);
    }
    CImageList list;
};

} // namespace vq
