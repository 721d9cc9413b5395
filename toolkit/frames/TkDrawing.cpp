#include "toolkit/frames/TkDrawing.h"

#include "platform/gui/Gdi.h"

namespace vq {

void FillSolid(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, COLORREF colour) {
    // Negative extents run from the point backwards, as the class library's lines do.
    RECT r{x, y, x + cx, y + cy};
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    const std::int32_t cx = r.Width(), cy = r.Height();
    FillSolid(dc, r.left, r.top, cx - 1, 1, topLeft);
    FillSolid(dc, r.left, r.top, 1, cy - 1, topLeft);
    FillSolid(dc, r.left + cx, r.top, -1, cy, bottomRight);
    FillSolid(dc, r.left, r.top + cy, cx, -1, bottomRight);
}

void RedrawWindowFrame(HWND window) {
    SetWindowPos(window, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(window, nullptr, TRUE);
}

void DrawCloseGlyphButton(HDC, const RECT&, BOOL) {}

void DrawArrowButton(HDC, const RECT&, TkArrow, BOOL, BOOL) {}

} // namespace vq
