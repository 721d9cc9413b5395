#pragma once

#include "platform/gui/WindowSystem.h"

#include <cstdint>

namespace vq {

class TkCustomToolBar;

// Where the buttons of a bar are drawn: a colour work bitmap each button is composed in, its
// monochrome mask, the image strip selected for copying and the dither brush of checked faces.
// One serves every bar of a tool bar manager.
class TkBtnPaintContext {
public:
    // Throws a resource exception when a device context or the brush cannot be made.
    TkBtnPaintContext();
    ~TkBtnPaintContext();
    TkBtnPaintContext(const TkBtnPaintContext&) = delete;
    TkBtnPaintContext& operator=(const TkBtnPaintContext&) = delete;

    HDC m_hMaskDC = nullptr;
    HDC m_hImageDC = nullptr;
    HDC m_hWorkDC = nullptr;
    HBRUSH m_hDitherBrush = nullptr;
    HBITMAP m_hWorkBitmap = nullptr;
    HGDIOBJ m_hOldWork = nullptr;
    HBITMAP m_hMaskBitmap = nullptr;
    HGDIOBJ m_hOldMask = nullptr;
    HGDIOBJ m_hOldImage = nullptr;
    HBITMAP m_hSelectedImage = nullptr;
    // The button being drawn has no image in the store: its face stays plain.
    BOOL m_bNoImage = FALSE;

    // FALSE, with nothing left made, when a bitmap cannot be created.
    BOOL PrepareWorkBitmaps(HDC barDC, std::int32_t width, TkCustomToolBar* bar);
    void ReleaseWorkBitmaps();
    void SelectImageBitmap(HBITMAP bitmap);
    // White where the work bitmap shows the face or highlight colour, black on the image's ink.
    void CreateMask(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy);
    void RecreateDitherBrush();

private:
    BOOL CreateDitherBrush();
    void Release();
};

} // namespace vq
