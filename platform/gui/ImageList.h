#pragma once

#include "platform/gui/Gdi.h"

namespace vq {

// A row of same-sized images, each with a mask when the list has one: the toolkit's lists, trees
// and bars draw their icons from it.
struct ImageListRecord;
using HIMAGELIST = ImageListRecord*;

enum : UINT {
    ILC_COLOR = 0x0,
    ILC_MASK = 0x1,
    ILC_COLOR4 = 0x4,
    ILC_COLOR8 = 0x8,
    ILC_COLOR24 = 0x18,
    ILC_COLOR32 = 0x20
};
enum : UINT {
    ILD_NORMAL = 0x0,
    ILD_TRANSPARENT = 0x1,
    ILD_BLEND25 = 0x2,
    ILD_FOCUS = ILD_BLEND25,
    ILD_BLEND50 = 0x4,
    ILD_SELECTED = ILD_BLEND50,
    ILD_MASK = 0x10,
    // Bits 8-11: the overlay (1-15) drawn over the image, as INDEXTOOVERLAYMASK makes them.
    ILD_OVERLAYMASK = 0xF00,
};
constexpr UINT INDEXTOOVERLAYMASK(int overlay) {
    return UINT(overlay) << 8;
}
// No colour: the background shows through. The default: the list's own or the highlight colour.
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
// Adds as many images as fit side by side in the bitmap; the index of the first, -1 on failure.
// A mask's white pixels are transparent; they turn black in the stored image.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The mask comes from the pixels of the given colour.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// -1 removes them all.
BOOL ImageList_Remove(HIMAGELIST list, int index);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// The part (width, height; 0 for the whole image) with the background and the blend colour given.
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height,
                      COLORREF background, COLORREF foreground, UINT style);

// Makes image `image` of the list overlay `overlay` (1-15), drawn over others by ILD_OVERLAYMASK.
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);
// A new list of one image: the first image with the second over it at (dx, dy) from its corner,
// as large as both together; null when either image is missing.
HIMAGELIST ImageList_Merge(HIMAGELIST first, int firstImage, HIMAGELIST second, int secondImage, int dx, int dy);

// Dragging: a copy of one image follows the pointer over a window with its hot spot at the point
// given, in coordinates from the window's top-left corner (its frame, not its client area). What
// was under it comes back when it moves, hides, leaves or the drag ends. One drag at a time:
// beginning another ends the first.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int xHotSpot, int yHotSpot);
BOOL ImageList_DragEnter(HWND window, int x, int y);
BOOL ImageList_DragMove(int x, int y);
// Hides or shows the image without leaving the window.
BOOL ImageList_DragShowNolock(BOOL show);
BOOL ImageList_DragLeave(HWND window);
void ImageList_EndDrag();

} // namespace vq
