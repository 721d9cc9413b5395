#include "platform/gui/ImageList.h"

#include "platform/gui/SelectedBitmap.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_set>
#include <vector>

namespace vq {

struct ImageListRecord {
    int width = 0;
    int height = 0;
    bool masked = false;
    COLORREF background = CLR_NONE;
    // One colour bitmap and, with a mask, one monochrome bitmap per image.
    std::vector<HBITMAP> images;
    std::vector<HBITMAP> masks;
    // The image of each overlay 1-15, -1 for none.
    std::array<int, 15> overlays{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

namespace {

// Image lists belong to the GUI thread only.
std::unordered_set<HIMAGELIST>& Lists() {
    static std::unordered_set<HIMAGELIST> lists;
    return lists;
}

bool IsList(HIMAGELIST list) {
    return list && Lists().count(list) != 0;
}

int ImageCount(HBITMAP image, const ImageListRecord& list) {
    BITMAP info;
    if (!image || !GetObject(image, sizeof info, &info) || list.width <= 0) return 0;
    return info.bmHeight >= list.height ? info.bmWidth / list.width : 0;
}

// Copies image `k` of the source strip; the mask from the mask strip or from a colour, and the
// image's transparent pixels turned black so that drawing can OR it in.
void CopyImage(ImageListRecord& list, std::size_t slot, HBITMAP image, int k, HBITMAP mask,
               COLORREF maskColour) {
    const int x = k * list.width;
    SelectedBitmap source(image);
    SelectedBitmap target(list.images[slot]);
    BitBlt(target.Dc(), 0, 0, list.width, list.height, source.Dc(), x, 0, SRCCOPY);
    if (!list.masked) return;
    SelectedBitmap maskTarget(list.masks[slot]);
    if (mask) {
        SelectedBitmap maskSource(mask);
        BitBlt(maskTarget.Dc(), 0, 0, list.width, list.height, maskSource.Dc(), x, 0, SRCCOPY);
    } else if (maskColour != CLR_NONE) {
        // Colour to mono: 1 where the source equals its background colour.
        SetBkColor(source.Dc(), maskColour);
        BitBlt(maskTarget.Dc(), 0, 0, list.width, list.height, source.Dc(), x, 0, SRCCOPY);
    } else {
        PatBlt(maskTarget.Dc(), 0, 0, list.width, list.height, BLACKNESS);
    }
    // Mono to colour: 0 becomes the text colour, 1 the background colour.
    SetTextColor(target.Dc(), RGB(255, 255, 255));
    SetBkColor(target.Dc(), RGB(0, 0, 0));
    BitBlt(target.Dc(), 0, 0, list.width, list.height, maskTarget.Dc(), 0, 0, SRCAND);
}

void MakeSlot(ImageListRecord& list, std::size_t at) {
    list.images.insert(list.images.begin() + std::ptrdiff_t(at),
                       CreateBitmap(list.width, list.height, 1, 32, nullptr));
    if (list.masked)
        list.masks.insert(list.masks.begin() + std::ptrdiff_t(at),
                          CreateBitmap(list.width, list.height, 1, 1, nullptr));
}

void FreeSlot(ImageListRecord& list, std::size_t at) {
    DeleteObject(list.images[at]);
    list.images.erase(list.images.begin() + std::ptrdiff_t(at));
    if (list.masked) {
        DeleteObject(list.masks[at]);
        list.masks.erase(list.masks.begin() + std::ptrdiff_t(at));
    }
}

int AddFrom(HIMAGELIST list, HBITMAP image, HBITMAP mask, COLORREF maskColour) {
    if (!IsList(list)) return -1;
    const int count = ImageCount(image, *list);
    if (count == 0) return -1;
    const int first = int(list->images.size());
    for (int k = 0; k < count; ++k) {
        MakeSlot(*list, list->images.size());
        CopyImage(*list, list->images.size() - 1, image, k, mask, maskColour);
    }
    return first;
}

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB) {
    const auto mix = [&](unsigned x, unsigned y) {
        return (x * unsigned(100 - percentOfB) + y * unsigned(percentOfB)) / 100;
    };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

} // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int, int) {
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return nullptr;
    auto* list = new ImageListRecord;
    list->width = width;
    list->height = height;
    list->masked = (flags & ILC_MASK) != 0;
    Lists().insert(list);
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    if (!IsList(list)) return FALSE;
    ImageList_Remove(list, -1);
    Lists().erase(list);
    delete list;
    return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST list) {
    if (!IsList(list)) return nullptr;
    HIMAGELIST copy = ImageList_Create(list->width, list->height, list->masked ? UINT(ILC_MASK) : 0u, 0, 0);
    copy->background = list->background;
    for (std::size_t i = 0; i < list->images.size(); ++i) {
        MakeSlot(*copy, i);
        CopyImage(*copy, i, list->images[i], 0, list->masked ? list->masks[i] : nullptr, CLR_NONE);
    }
    return copy;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return IsList(list) ? int(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height) {
    if (!IsList(list) || !width || !height) return FALSE;
    *width = list->width;
    *height = list->height;
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    return AddFrom(list, image, mask, CLR_NONE);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour) {
    return AddFrom(list, image, nullptr, maskColour);
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
    if (!IsList(list) || index < 0 || std::size_t(index) >= list->images.size() ||
        ImageCount(image, *list) == 0)
        return FALSE;
    CopyImage(*list, std::size_t(index), image, 0, mask, CLR_NONE);
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
    if (!IsList(list)) return FALSE;
    if (index == -1) {
        while (!list->images.empty())
            FreeSlot(*list, list->images.size() - 1);
        return TRUE;
    }
    if (index < 0 || std::size_t(index) >= list->images.size()) return FALSE;
    FreeSlot(*list, std::size_t(index));
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour) {
    if (!IsList(list)) return CLR_NONE;
    const COLORREF old = list->background;
    list->background = colour;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
    return IsList(list) ? list->background : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height,
                      COLORREF background, COLORREF foreground, UINT style) {
    if (!IsList(list) || !dc || index < 0 || std::size_t(index) >= list->images.size()) return FALSE;
    const auto i = std::size_t(index);
    const int w = width > 0 ? std::min(width, list->width) : list->width;
    const int h = height > 0 ? std::min(height, list->height) : list->height;
    if (background == CLR_DEFAULT) background = list->background;
    if (style & ILD_TRANSPARENT) background = CLR_NONE;
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    if (style & ILD_MASK) {
        if (list->masked) {
            SelectedBitmap mask(list->masks[i]);
            BitBlt(dc, x, y, w, h, mask.Dc(), 0, 0, SRCCOPY);
        }
    } else if (!list->masked) {
        SelectedBitmap image(list->images[i]);
        BitBlt(dc, x, y, w, h, image.Dc(), 0, 0, SRCCOPY);
    } else {
        SelectedBitmap mask(list->masks[i]);
        SelectedBitmap image(list->images[i]);
        if (background != CLR_NONE) {
            HBRUSH brush = CreateSolidBrush(background);
            RECT r{x, y, x + w, y + h};
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
        BitBlt(dc, x, y, w, h, mask.Dc(), 0, 0, SRCAND);
        BitBlt(dc, x, y, w, h, image.Dc(), 0, 0, SRCPAINT);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    const int overlay = int((style & ILD_OVERLAYMASK) >> 8);
    if (overlay && !(style & ILD_MASK) && list->overlays[std::size_t(overlay - 1)] >= 0)
        ImageList_DrawEx(list, list->overlays[std::size_t(overlay - 1)], dc, x, y, width, height, background,
                         foreground, ILD_TRANSPARENT | (style & (ILD_BLEND25 | ILD_BLEND50)));
    const int blend = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
    if (blend && !(style & ILD_MASK)) {
        const COLORREF tint =
            foreground == CLR_DEFAULT || foreground == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : foreground;
        std::unique_ptr<SelectedBitmap> mask;
        if (list->masked) mask = std::make_unique<SelectedBitmap>(list->masks[i]);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                if (!mask || GetPixel(mask->Dc(), px, py) == RGB(0, 0, 0))
                    SetPixel(dc, x + px, y + py, Mix(GetPixel(dc, x + px, y + py), tint, blend));
    }
    return TRUE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay) {
    if (!IsList(list) || overlay < 1 || overlay > 15 || image < 0 || std::size_t(image) >= list->images.size())
        return FALSE;
    list->overlays[std::size_t(overlay - 1)] = image;
    return TRUE;
}

// Both images go onto a black picture and into a mask that starts all transparent, so each one's
// transparent pixels keep what lies under them.
HIMAGELIST ImageList_Merge(HIMAGELIST first, int firstImage, HIMAGELIST second, int secondImage, int dx, int dy) {
    if (!IsList(first) || !IsList(second) || firstImage < 0 || secondImage < 0 ||
        std::size_t(firstImage) >= first->images.size() || std::size_t(secondImage) >= second->images.size())
        return nullptr;
    const int left = std::min(0, dx), top = std::min(0, dy);
    const int width = std::max(first->width, dx + second->width) - left;
    const int height = std::max(first->height, dy + second->height) - top;
    HIMAGELIST merged = ImageList_Create(width, height, ILC_MASK | ILC_COLOR32, 1, 0);
    if (!merged) return nullptr;
    HBITMAP picture = CreateBitmap(width, height, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    {
        SelectedBitmap image(picture);
        SelectedBitmap holes(mask);
        PatBlt(image.Dc(), 0, 0, width, height, BLACKNESS);
        PatBlt(holes.Dc(), 0, 0, width, height, WHITENESS);
        const auto place = [&](HIMAGELIST list, int index, int x, int y) {
            ImageList_Draw(list, index, image.Dc(), x, y, ILD_TRANSPARENT);
            if (list->masked) {
                SelectedBitmap own(list->masks[std::size_t(index)]);
                BitBlt(holes.Dc(), x, y, list->width, list->height, own.Dc(), 0, 0, SRCAND);
            } else {
                PatBlt(holes.Dc(), x, y, list->width, list->height, BLACKNESS);
            }
        };
        place(first, firstImage, -left, -top);
        place(second, secondImage, dx - left, dy - top);
    }
    ImageList_Add(merged, picture, mask);
    DeleteObject(picture);
    DeleteObject(mask);
    return merged;
}

} // namespace vq
