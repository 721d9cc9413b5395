#pragma once

#include "platform/gui/Gdi.h"
#include "platform/gui/WindowSystem.h"

#include <QCursor>
#include <cstdint>

namespace vq {

// An icon or cursor image from the program's resources: a colour bitmap and a monochrome mask.
// Where the mask is 0 the colour is drawn; where it is 1 the destination stays, inverted where
// the colour is not black. Loaded images are shared and live as long as the program, so their
// holders never destroy them.
struct IconImage {
    HBITMAP colour = nullptr;
    HBITMAP mask = nullptr;
    POINT hotSpot;
    bool isIcon = true;
};
using HICON = IconImage*;

struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr;
    HBITMAP hbmColor = nullptr;
};

enum : UINT { DI_MASK = 0x1, DI_IMAGE = 0x2, DI_NORMAL = 0x3 };

// The image of the icon resource nearest the size (0 for the system's icon size), scaled to it
// when none has it; null when there is no such resource or it is malformed.
HICON LoadIcon(std::uint32_t id, int width = 0, int height = 0);
// Resources are numbered only: "#n" names resource n, and any other name finds nothing.
HICON LoadIcon(const char* name, int width = 0, int height = 0);
// A copy of its own for the caller, who destroys it; the copy stays valid whatever happens to
// the original.
HICON CopyIcon(HICON icon);
// Loaded icons are shared: for them this only checks the handle. A copy is freed, and its handle
// is no icon any more.
BOOL DestroyIcon(HICON icon);
BOOL DrawIcon(HDC dc, std::int32_t x, std::int32_t y, HICON icon);
// At the size given (0 for the icon's own), over a filled background when a brush is given;
// `step` picks a frame of an animated cursor, of which there are none.
BOOL DrawIconEx(HDC dc, std::int32_t x, std::int32_t y, HICON icon, int width, int height, UINT step,
                HBRUSH background, UINT flags);
// Fills in the hot spot (an icon's centre) and copies of both bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);

// The cursor resource as a cursor handle, shared like icons; null when there is none.
HCURSOR LoadCursorResource(std::uint32_t id);
// The system cursor a handle shows as, made once per handle.
const QCursor& QtCursorOf(HCURSOR cursor);

} // namespace vq
