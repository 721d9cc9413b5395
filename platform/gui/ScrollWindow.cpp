#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/WindowRecord.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vq {

namespace {

// Any offset beyond this moves everything out of a client area (at most 2^14 pixels a side).
constexpr std::int32_t kLargestShift = 1 << 15;

// Copies the pixels that land in `to` from where they were before the shift, overlapping or not.
void ShiftPixels(Bitmap& image, POINT clientOrigin, const RECT& to, std::int32_t dx, std::int32_t dy) {
    if (to.IsEmpty()) return;
    const std::size_t bytes = std::size_t(to.Width()) * sizeof(std::uint32_t);
    auto copyRow = [&](std::int32_t y) {
        std::uint32_t* target = image.Row(clientOrigin.y + y) + clientOrigin.x + to.left;
        const std::uint32_t* source = image.Row(clientOrigin.y + y - dy) + clientOrigin.x + to.left - dx;
        std::memmove(target, source, bytes);
    };
    // Rows moving down are copied from the bottom up, so none is overwritten before it is read.
    if (dy > 0)
        for (std::int32_t y = to.bottom - 1; y >= to.top; --y)
            copyRow(y);
    else
        for (std::int32_t y = to.top; y < to.bottom; ++y)
            copyRow(y);
}

std::int32_t Shifted(std::int32_t at, std::int32_t by) {
    return std::int32_t(std::clamp<std::int64_t>(std::int64_t(at) + by,
                                                 std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

void ShiftChildren(HWND window, const RECT* scroll, const RECT& from, std::int32_t dx, std::int32_t dy) {
    const WindowRecord* r = FindWindowRecord(window);
    if (!r) return;
    const std::vector<HWND> children = r->children;
    for (HWND child : children) {
        const WindowRecord* c = FindWindowRecord(child);
        if (!c || (scroll && IntersectRects(c->rect, from).IsEmpty())) continue;
        SetWindowPos(child, 0, Shifted(c->rect.left, dx), Shifted(c->rect.top, dy), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

} // namespace

int ScrollWindowEx(HWND window, std::int32_t dx, std::int32_t dy, const RECT* scroll, const RECT* clip,
                   HRGN update, RECT* updateRect, UINT flags) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r) return RGN_ERROR;
    if (update && (!IsGdiObject(update) || update->ObjectType() != GdiObject::Type::Region)) return RGN_ERROR;
    const std::int32_t px = std::clamp(dx, -kLargestShift, kLargestShift);
    const std::int32_t py = std::clamp(dy, -kLargestShift, kLargestShift);
    // The client area as far as the image holds it, in client coordinates.
    const RECT client = IntersectRects(
        RECT{0, 0, r->client.Width(), r->client.Height()},
        OffsetRectBy(RECT{0, 0, r->image.Width(), r->image.Height()}, -r->client.left, -r->client.top));
    const RECT from = scroll ? IntersectRects(*scroll, client) : client;
    const RECT within = clip ? IntersectRects(*clip, client) : client;
    const RECT to = IntersectRects(OffsetRectBy(from, px, py), within);
    ShiftPixels(r->image, POINT{r->client.left, r->client.top}, to, px, py);

    // Pixels that arrived keep the state they had: valid where they came from valid ones.
    Region moved = r->update;
    moved.Offset(px, py);
    r->update = Region::Combine(Region::Combine(r->update, Region(to), RGN_DIFF),
                                Region::Combine(moved, Region(to), RGN_AND), RGN_OR);
    const Region uncovered = Region::Combine(Region(IntersectRects(from, within)), Region(to), RGN_DIFF);
    if (update) update->region = uncovered;
    if (updateRect) *updateRect = uncovered.Bounds();

    if (flags & SW_SCROLLCHILDREN) ShiftChildren(window, scroll, from, dx, dy);
    if (flags & SW_INVALIDATE)
        for (const RECT& part : uncovered.Rects())
            InvalidateRect(window, &part, (flags & SW_ERASE) ? TRUE : FALSE);
    if ((r = FindWindowRecord(window))) ShowRetainedImage(*r);
    return uncovered.Kind();
}

BOOL ScrollWindow(HWND window, std::int32_t dx, std::int32_t dy, const RECT* scroll, const RECT* clip) {
    const UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0u : UINT(SW_SCROLLCHILDREN));
    return ScrollWindowEx(window, dx, dy, scroll, clip, nullptr, nullptr, flags) != RGN_ERROR;
}

} // namespace vq
