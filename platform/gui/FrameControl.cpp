#include "platform/gui/FrameControl.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>

namespace vq {

namespace {

constexpr UINT kKindMask = 0x00FF;

RECT Inset(const RECT& r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// A flat part is framed in the shadow colour instead of carrying a 3-D edge.
RECT FlatFrame(HDC dc, const RECT& r) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    return Inset(r, 1);
}

// The face of a checked push button: every other pixel in the highlight colour.
void FillChecked(HDC dc, const RECT& r) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left + (y - r.top) % 2; x < r.right; x += 2)
            SetPixel(dc, x, y, light);
}

BOOL DrawPushButton(HDC dc, RECT* rect, UINT state) {
    const bool sunken = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
    RECT face = *rect;
    if (state & DFCS_FLAT) {
        face = FlatFrame(dc, face);
    } else {
        DrawEdge(dc, &face, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED))
        FillChecked(dc, face);
    else
        FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    if (state & DFCS_ADJUSTRECT) *rect = face;
    return TRUE;
}

// The tick: seven columns of three pixels, falling then rising.
void DrawTick(HDC dc, const RECT& inner, int colour) {
    static constexpr int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
    const int x0 = inner.left + (inner.Width() - 7) / 2;
    const int y0 = inner.top + (inner.Height() - 7) / 2;
    HBRUSH ink = GetSysColorBrush(colour);
    for (int i = 0; i < 7; ++i) {
        const RECT column{x0 + i, y0 + kTop[i], x0 + i + 1, y0 + kTop[i] + 3};
        FillRect(dc, &column, ink);
    }
}

BOOL DrawCheckBox(HDC dc, const RECT& rect, UINT state) {
    const int side = std::min(rect.Width(), rect.Height());
    const int left = rect.left + (rect.Width() - side) / 2;
    const int top = rect.top + (rect.Height() - side) / 2;
    RECT inner{left, top, left + side, top + side};
    if (state & DFCS_FLAT)
        inner = FlatFrame(dc, inner);
    else
        DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT);
    const bool dim = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
    FillRect(dc, &inner, GetSysColorBrush(dim ? COLOR_BTNFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED)
        DrawTick(dc, inner, (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    return TRUE;
}

enum class Direction { Up, Down, Left, Right };

// A solid triangle pointing its way, centred in the box: rows of 1, 3, 5, ... pixels.
void DrawGlyph(HDC dc, const RECT& box, Direction d, int colour, int shift) {
    const int size = std::max(1, (std::min(box.Width(), box.Height()) - 8) / 2);
    const int cx = (box.left + box.right) / 2 + shift;
    const int cy = (box.top + box.bottom) / 2 + shift;
    HBRUSH brush = GetSysColorBrush(colour);
    for (int i = 0; i < size; ++i) {
        const int fromTip = (d == Direction::Up || d == Direction::Left) ? i : size - 1 - i;
        RECT line;
        if (d == Direction::Up || d == Direction::Down) {
            const int y = cy - size / 2 + fromTip;
            line = {cx - i, y, cx + i + 1, y + 1};
        } else {
            const int x = cx - size / 2 + fromTip;
            line = {x, cy - i, x + 1, cy + i + 1};
        }
        FillRect(dc, &line, brush);
    }
}

BOOL DrawScrollArrow(HDC dc, const RECT& box, UINT state) {
    Direction d;
    switch (state & kKindMask) {
    case DFCS_SCROLLUP:
        d = Direction::Up;
        break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX:
        d = Direction::Down;
        break;
    case DFCS_SCROLLLEFT:
        d = Direction::Left;
        break;
    case DFCS_SCROLLRIGHT:
        d = Direction::Right;
        break;
    default:
        return FALSE;
    }
    if (box.IsEmpty()) return TRUE;
    const bool pushed = (state & DFCS_PUSHED) != 0;
    if (pushed || (state & DFCS_FLAT)) {
        FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        RECT edge = box;
        DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (!(state & DFCS_INACTIVE)) {
        DrawGlyph(dc, box, d, COLOR_BTNTEXT, pushed ? 1 : 0);
    } else {
        // Embossed: a highlight below and right of the shadow.
        DrawGlyph(dc, box, d, COLOR_BTNHIGHLIGHT, 1);
        DrawGlyph(dc, box, d, COLOR_BTNSHADOW, 0);
    }
    return TRUE;
}

// The close cross: two diagonals two pixels thick, in a square inside the button's edge.
void DrawCross(HDC dc, const RECT& box, int colour, int shift) {
    const int side = std::max(2, std::min(box.Width(), box.Height()) - 6);
    const int x0 = box.left + (box.Width() - side) / 2 + shift;
    const int y0 = box.top + (box.Height() - side) / 2 + shift;
    HBRUSH ink = GetSysColorBrush(colour);
    for (int i = 0; i < side; ++i) {
        const RECT down{x0 + i, y0 + i, x0 + i + 2, y0 + i + 1};
        const RECT up{x0 + side - 2 - i, y0 + i, x0 + side - i, y0 + i + 1};
        FillRect(dc, &down, ink);
        FillRect(dc, &up, ink);
    }
}

// The glyph of a minimise, maximise or restore box: a bar at the bottom, one window, or two.
void DrawWindowGlyph(HDC dc, const RECT& box, UINT kind, int colour, int shift) {
    const int side = std::max(4, std::min(box.Width(), box.Height()) - 6);
    const int x0 = box.left + (box.Width() - side) / 2 + shift;
    const int y0 = box.top + (box.Height() - side) / 2 + shift;
    HBRUSH ink = GetSysColorBrush(colour);
    auto window = [&](int x, int y, int w, int h) {
        const RECT top{x, y, x + w, y + 2};
        const RECT r{x, y, x + w, y + h};
        FillRect(dc, &top, ink);
        FrameRect(dc, &r, ink);
    };
    if (kind == DFCS_CAPTIONMIN) {
        const RECT bar{x0 + 1, y0 + side - 2, x0 + side * 2 / 3, y0 + side};
        FillRect(dc, &bar, ink);
    } else if (kind == DFCS_CAPTIONMAX) {
        window(x0, y0, side, side);
    } else {
        const int small = side * 2 / 3 + 1;
        window(x0 + side - small, y0, small, small);
        window(x0, y0 + side - small, small, small);
    }
}

BOOL DrawCaptionButton(HDC dc, const RECT& box, UINT state) {
    const UINT kind = state & kKindMask;
    if (kind > DFCS_CAPTIONRESTORE) return FALSE;
    if (box.IsEmpty()) return TRUE;
    const bool pushed = (state & DFCS_PUSHED) != 0;
    RECT edge = box;
    if (state & DFCS_FLAT) {
        FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        DrawEdge(dc, &edge, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    const auto glyph = [&](int colour, int shift) {
        if (kind == DFCS_CAPTIONCLOSE)
            DrawCross(dc, box, colour, shift);
        else
            DrawWindowGlyph(dc, box, kind, colour, shift);
    };
    if (!(state & DFCS_INACTIVE)) {
        glyph(COLOR_BTNTEXT, pushed ? 1 : 0);
    } else {
        glyph(COLOR_BTNHIGHLIGHT, 1);
        glyph(COLOR_BTNSHADOW, 0);
    }
    return TRUE;
}

} // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT controlClass, UINT state) {
    if (!dc || !rect) return FALSE;
    switch (controlClass) {
    case DFC_BUTTON:
        switch (state & kKindMask) {
        case DFCS_BUTTONPUSH:
            return DrawPushButton(dc, rect, state);
        case DFCS_BUTTONCHECK:
            return DrawCheckBox(dc, *rect, state);
        default:
            return FALSE;
        }
    case DFC_CAPTION:
        return DrawCaptionButton(dc, *rect, state);
    case DFC_SCROLL:
        return DrawScrollArrow(dc, *rect, state);
    default:
        return FALSE;
    }
}

} // namespace vq
