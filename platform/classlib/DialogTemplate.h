#pragma once

#include "platform/gui/WindowSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vq {

// A dialog's layout in memory: the window and its controls in tab order.
struct DialogItemTemplate {
    std::string className;
    std::string text;
    UINT id = 0;
    DWORD style = 0;
    RECT rect;
    DWORD exStyle = 0;
};

// The font a template names for its dialog, in points at the screen's resolution.
struct DialogFontTemplate {
    int points = 0;
    int weight = 0;
    bool italic = false;
    std::uint8_t charSet = 0;
    std::string face;

    // A new font of the description, which the caller deletes.
    HFONT Create() const;
};

struct DialogTemplate {
    std::string caption;
    DWORD style = WS_POPUP | WS_CAPTION;
    RECT rect;
    std::vector<DialogItemTemplate> items;
    DWORD exStyle = 0;
    // The rectangle is the client area, placed in the owner's client area, rather than the
    // window's rectangle on the screen.
    bool rectIsClient = false;
    // The font of the dialog and every control it makes; without one they have the system's.
    std::optional<DialogFontTemplate> font;
    // The character size the rectangles were converted from dialog units with; zero for a
    // template laid out in pixels.
    SIZE baseUnits;
};

// Dialog units to pixels by a character size: a quarter of its width, an eighth of its height.
RECT DialogUnitsToPixels(SIZE baseUnits, const RECT& units);

} // namespace vq
