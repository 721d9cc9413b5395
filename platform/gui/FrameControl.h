#pragma once

#include "platform/gui/DeviceContext.h"

namespace vq {

// The parts of standard controls, drawn in the colour table's classic look so that windows that
// draw their own controls match the layer's.
enum : UINT {
    DFC_CAPTION = 1,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,
};

enum : UINT {
    // DFC_BUTTON kinds.
    DFCS_BUTTONCHECK = 0x0000,
    DFCS_BUTTONPUSH = 0x0010,
    // DFC_CAPTION kinds.
    DFCS_CAPTIONCLOSE = 0x0000,
    DFCS_CAPTIONMIN = 0x0001,
    DFCS_CAPTIONMAX = 0x0002,
    DFCS_CAPTIONRESTORE = 0x0003,
    // DFC_SCROLL kinds.
    DFCS_SCROLLUP = 0x0000,
    DFCS_SCROLLDOWN = 0x0001,
    DFCS_SCROLLLEFT = 0x0002,
    DFCS_SCROLLRIGHT = 0x0003,
    DFCS_SCROLLCOMBOBOX = 0x0005,
    // States.
    DFCS_INACTIVE = 0x0100,
    DFCS_PUSHED = 0x0200,
    DFCS_CHECKED = 0x0400,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
};

// Draws the part of that class and kind (the low byte of `state`) in its states over the
// rectangle; with DFCS_ADJUSTRECT a push button leaves the rectangle inside its edge. FALSE for a
// class or kind it does not know.
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT controlClass, UINT state);

} // namespace vq
