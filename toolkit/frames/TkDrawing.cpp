#include "toolkit/frames/TkDrawing.h"

#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Redraw.h"

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
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
}

void DrawCloseGlyphButton(HDC dc, const RECT& r, BOOL pushed) {
    RECT box = r;
    DrawFrameControl(dc, &box, DFC_CAPTION, DFCS_CAPTIONCLOSE | (pushed ? UINT(DFCS_PUSHED) : 0u));
}

void DrawArrowButton(HDC dc, const RECT& r, TkArrow arrow, BOOL pushed, BOOL inactive) {
    UINT kind = DFCS_SCROLLUP;
    switch (arrow) {
    case TkArrow::Left:
        kind = DFCS_SCROLLLEFT;
        break;
    case TkArrow::Right:
        kind = DFCS_SCROLLRIGHT;
        break;
    case TkArrow::Up:
        kind = DFCS_SCROLLUP;
        break;
    case TkArrow::Down:
        kind = DFCS_SCROLLDOWN;
        break;
    }
    if (inactive) kind |= DFCS_INACTIVE;
    // An inactive button does not go down.
    else if (pushed)
        kind |= DFCS_PUSHED;
    RECT box = r;
    DrawFrameControl(dc, &box, DFC_SCROLL, kind);
}

} // namespace vq
