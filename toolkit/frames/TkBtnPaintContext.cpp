#include "toolkit/frames/TkBtnPaintContext.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkCustomToolBar.h"

namespace vq {

TkBtnPaintContext::TkBtnPaintContext() {
    m_hMaskDC = CreateCompatibleDC(nullptr);
    m_hImageDC = CreateCompatibleDC(nullptr);
    m_hWorkDC = CreateCompatibleDC(nullptr);
    if (!m_hMaskDC || !m_hImageDC || !m_hWorkDC || !CreateDitherBrush()) {
        Release();
        throw ResourceException("no device context for painting tool bar buttons");
    }
}

TkBtnPaintContext::~TkBtnPaintContext() {
    Release();
}

void TkBtnPaintContext::Release() {
    ReleaseWorkBitmaps();
    if (m_hDitherBrush) DeleteObject(m_hDitherBrush);
    for (HDC* dc : {&m_hMaskDC, &m_hImageDC, &m_hWorkDC})
        if (*dc) DeleteDC(*dc), *dc = nullptr;
    m_hDitherBrush = nullptr;
}

BOOL TkBtnPaintContext::CreateDitherBrush() {
    // A checkerboard of face and highlight: what a checked button's background shows.
    HDC dc = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(0);
    HBITMAP pattern = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(0, screen);
    if (!dc || !pattern) {
        if (dc) DeleteDC(dc);
        if (pattern) DeleteObject(pattern);
        return FALSE;
    }
    HGDIOBJ old = SelectObject(dc, pattern);
    for (std::int32_t y = 0; y < 8; ++y) {
        const std::uint8_t row = (y % 2 == 0) ? 0xAA : 0x55;
        for (std::int32_t x = 0; x < 8; ++x)
            SetPixel(dc, x, y,
                     (row >> (7 - x) & 1) ? tkSysMetrics.m_crButtonHighlight : tkSysMetrics.m_crButtonFace);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    m_hDitherBrush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    return m_hDitherBrush != nullptr;
}

void TkBtnPaintContext::RecreateDitherBrush() {
    if (!m_hDitherBrush) return;
    DeleteObject(m_hDitherBrush);
    m_hDitherBrush = nullptr;
    CreateDitherBrush();
}

BOOL TkBtnPaintContext::PrepareWorkBitmaps(HDC barDC, std::int32_t width, TkCustomToolBar* bar) {
    const std::int32_t height = bar->GetButtonHeight();
    m_hWorkBitmap = CreateCompatibleBitmap(barDC, width, height);
    m_hMaskBitmap = CreateBitmap(width, height, 1, 1, nullptr);
    if (!m_hWorkBitmap || !m_hMaskBitmap) {
        if (m_hWorkBitmap) DeleteObject(m_hWorkBitmap);
        if (m_hMaskBitmap) DeleteObject(m_hMaskBitmap);
        m_hWorkBitmap = m_hMaskBitmap = nullptr;
        return FALSE;
    }
    m_hOldWork = SelectObject(m_hWorkDC, m_hWorkBitmap);
    m_hOldMask = SelectObject(m_hMaskDC, m_hMaskBitmap);
    return TRUE;
}

void TkBtnPaintContext::ReleaseWorkBitmaps() {
    if (m_hSelectedImage) SelectObject(m_hImageDC, m_hOldImage);
    m_hSelectedImage = nullptr;
    m_hOldImage = nullptr;
    if (m_hWorkBitmap) {
        SelectObject(m_hWorkDC, m_hOldWork);
        DeleteObject(m_hWorkBitmap);
    }
    if (m_hMaskBitmap) {
        SelectObject(m_hMaskDC, m_hOldMask);
        DeleteObject(m_hMaskBitmap);
    }
    m_hWorkBitmap = m_hMaskBitmap = nullptr;
    m_hOldWork = m_hOldMask = nullptr;
}

void TkBtnPaintContext::SelectImageBitmap(HBITMAP bitmap) {
    if (bitmap == m_hSelectedImage) return;
    HGDIOBJ previous = SelectObject(m_hImageDC, bitmap);
    if (!m_hSelectedImage) m_hOldImage = previous;
    m_hSelectedImage = bitmap;
}

void TkBtnPaintContext::CreateMask(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy) {
    PatBlt(m_hMaskDC, x, y, cx, cy, WHITENESS);
    SetBkColor(m_hWorkDC, tkSysMetrics.m_crButtonFace);
    BitBlt(m_hMaskDC, x, y, cx, cy, m_hWorkDC, x, y, SRCCOPY);
    SetBkColor(m_hWorkDC, tkSysMetrics.m_crButtonHighlight);
    BitBlt(m_hMaskDC, x, y, cx, cy, m_hWorkDC, x, y, SRCPAINT);
}

} // namespace vq
