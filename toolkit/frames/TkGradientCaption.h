#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/gui/WindowSystem.h"

#include <cstdint>
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

    BOOL Enable(HWND window, BOOL enable, BOOL redraw);
    void SetAlignment(HWND window, int alignment, BOOL redraw);
    BOOL IsOn() const { return m_bGradient; }
    void Draw(HWND window);

    int m_nAlignment = 0;
    BOOL m_bActive = FALSE;
    BOOL m_bGradient = FALSE;
    BOOL m_bNewShell = TRUE;

private:
    void DrawText(HDC dc, const RECT& area, const std::string& text);
};

} // namespace vq
