#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/gui/WindowSystem.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vq {

// The title bar a toolkit main frame may paint itself: black fading into the active caption
// colour, the title before the first '-' in italics and the rest plain. Both main frames own one.
class TkGradientCaption {
public:
    static constexpr int kSteps = 60;

    // Fills r with steps bands from start to end (0x00BBGGRR); an empty rectangle draws nothing.
    static void FillGradient(HDC dc, const RECT& r, int steps, COLORREF start, COLORREF end);
    // The part of the caption the title bar covers, in window coordinates.
    static RECT CaptionRect(HWND window);

    // The system's caption font, in italics when asked; the caller deletes it.
    static HFONT CaptionFont(bool italic);
    // WM_NCPAINT while the title bar is on: the layer paints the frame except the title bar,
    // within the message's region when it has one. FALSE when that region misses the title bar,
    // which then needs no painting.
    static BOOL PaintFrameAround(HWND window, WPARAM region);
    // The default procedure's handling of a message, with the window's frame painting held back.
    static LRESULT DefaultWithoutFrame(HWND window, const std::function<LRESULT()>& handle);

    BOOL Enable(HWND window, BOOL enable, BOOL redraw);
    void SetAlignment(HWND window, int alignment, BOOL redraw);
    BOOL IsOn() const { return m_bGradient; }
    // Paints the title bar with the two caption fonts, which stay the caller's.
    void Draw(HWND window, HFONT titleFont, HFONT textFont);

    int m_nAlignment = 0;
    BOOL m_bActive = FALSE;
    BOOL m_bGradient = FALSE;
    BOOL m_bNewShell = TRUE;

private:
    void DrawText(HDC dc, const RECT& area, const std::string& text, HFONT italic, HFONT plain);
    void DrawIconSquare(HWND window, HDC dc, RECT& area) const;
};

} // namespace vq
