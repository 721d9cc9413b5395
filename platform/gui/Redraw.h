#pragma once

#include "platform/gui/WindowSystem.h"

namespace vq {

enum : UINT {
    RDW_INVALIDATE = 0x0001,
    RDW_INTERNALPAINT = 0x0002,
    RDW_ERASE = 0x0004,
    RDW_VALIDATE = 0x0008,
    RDW_NOINTERNALPAINT = 0x0010,
    RDW_NOERASE = 0x0020,
    RDW_NOCHILDREN = 0x0040,
    RDW_ALLCHILDREN = 0x0080,
    RDW_UPDATENOW = 0x0100,
    RDW_ERASENOW = 0x0200,
    RDW_FRAME = 0x0400,
    RDW_NOFRAME = 0x0800,
};

// Invalidates or validates part of the client area (the region, else the rectangle, else all of
// it, in client coordinates) and, with RDW_ALLCHILDREN or for a window that does not clip its
// children, of the children under it. RDW_INTERNALPAINT asks for WM_PAINT even with nothing
// invalid. RDW_UPDATENOW paints those windows before returning; RDW_ERASENOW only draws their
// frames and erases their backgrounds.
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);

} // namespace vq
