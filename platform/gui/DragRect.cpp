#include "platform/gui/DragRect.h"

#include "platform/gui/Desktop.h"
#include "platform/gui/Gdi.h"

#include <algorithm>

namespace vq {

HBRUSH GetHalftoneBrush() {
    static HBRUSH brush = [] {
        std::uint16_t pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = std::uint16_t(0x5555 << (i & 1));
        HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH made = CreatePatternBrush(bitmap);
        DeleteObject(bitmap);
        return made;
    }();
    return brush;
}

namespace {

// Inverts the pixels of the frame, each once even where its sides would overlap.
void InvertFrame(HDC dc, const RECT& r, SIZE size, HBRUSH brush) {
    const std::int32_t cx = std::clamp(size.cx, 0, std::max(0, r.Width() / 2));
    const std::int32_t cy = std::clamp(size.cy, 0, std::max(0, r.Height() / 2));
    if (cx == 0 && cy == 0) return;
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, r.left, r.top, r.Width(), cy, PATINVERT);
    PatBlt(dc, r.left, r.bottom - cy, r.Width(), cy, PATINVERT);
    PatBlt(dc, r.left, r.top + cy, cx, r.Height() - 2 * cy, PATINVERT);
    PatBlt(dc, r.right - cx, r.top + cy, cx, r.Height() - 2 * cy, PATINVERT);
    SelectObject(dc, old);
}

} // namespace

void DrawDragRect(HDC dc, const RECT* rect, SIZE size, const RECT* last, SIZE lastSize, HBRUSH brush,
                  HBRUSH lastBrush) {
    if (!brush) brush = GetHalftoneBrush();
    if (!lastBrush) lastBrush = brush;
    if (last) InvertFrame(dc, *last, lastSize, lastBrush);
    if (rect) InvertFrame(dc, *rect, size, brush);
    if (dc && dc->Window() == GetDesktopWindow())
        for (const RECT* changed : {last, rect})
            if (changed) DesktopLayerChanged(*changed);
}

} // namespace vq
