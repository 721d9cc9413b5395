#include "toolkit/frames/TkStdBtn.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/DragRect.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"
#include "platform/gui/ToolTip.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkBtnPaintContext.h"
#include "toolkit/frames/TkCustomToolBar.h"
#include "toolkit/frames/TkDrawing.h"

#include <algorithm>
#include <cctype>

namespace vq {

namespace {

// Raster operations of the overlays: the pattern where the source is black, the destination where
// it is white; the reverse; and the destination kept only where the source is black.
constexpr DWORD kPatternOnBlack = 0x00B8074A;
constexpr DWORD kPatternOnWhite = 0x00E20746;
constexpr DWORD kDestinationAndNotSource = 0x00220326;

void FillWithBrush(HDC dc, HBRUSH brush, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   HDC mask, std::int32_t mx, std::int32_t my, DWORD rop) {
    HGDIOBJ old = SelectObject(dc, brush);
    BitBlt(dc, x, y, cx, cy, mask, mx, my, rop);
    SelectObject(dc, old);
}

} // namespace

const TkBtnClass TkStdBtn::kClass{[]() -> std::unique_ptr<TkStdBtn> { return std::make_unique<TkStdBtn>(); }};
const TkBtnClass TkTBMenuBtn::kClass{
    []() -> std::unique_ptr<TkStdBtn> { return std::make_unique<TkTBMenuBtn>(); }};

std::unique_ptr<TkStdBtn> TkStdBtn::CreateButtonOfClass(const TkBtnClass& btnClass) {
    try {
        return btnClass.m_pfnCreate();
    } catch (const Exception&) {
        return nullptr;
    }
}

void TkStdBtn::AttachToBar(TkCustomToolBar* bar) {
    m_pBar = bar;
    CalcButtonSize();
}

void TkStdBtn::InitButton(TkCustomToolBar* bar, const std::uintptr_t*) {
    AttachToBar(bar);
    CalcButtonSize();
}

void TkStdBtn::CalcButtonSize() {
    if (!m_pBar) return;
    if (IsSeparator()) {
        m_cx = m_pBar->GetSeparatorWidth();
        m_cy = m_pBar->GetSeparatorHeight();
    } else {
        m_cx = m_pBar->GetButtonWidth();
        m_cy = m_pBar->GetButtonHeight();
    }
    m_pBar->m_nWidestButton = std::max(m_pBar->m_nWidestButton, m_cx);
}

void TkStdBtn::RedrawButton(BOOL erase) {
    if (!m_pBar || !m_pBar->m_hWnd) return;
    const RECT r = GetBounds();
    InvalidateRect(m_pBar->m_hWnd, &r, erase);
}

BOOL TkStdBtn::OnPress(std::int32_t, std::int32_t) {
    if (m_dwStyle & TKBS_DISABLED) return FALSE;
    if (m_dwStyle & TKBS_DROPDOWN) {
        m_dwStyle |= TKBS_PRESSED;
        RedrawButton(FALSE);
        UpdateWindow(m_pBar->m_hWnd);
        TkCustomToolBar::SetCommandInProgress(TRUE);
        SendNotify(TBN_DROPDOWN, 0, 0);
        TkCustomToolBar::SetCommandInProgress(FALSE);
        m_dwStyle &= ~DWORD(TKBS_PRESSED);
        RedrawButton(FALSE);
        m_pBar->UpdateHotButton(FALSE);
        return FALSE;
    }
    m_dwStyle |= TKBS_PRESSED;
    return TRUE;
}

void TkStdBtn::OnTrack(std::int32_t x, std::int32_t y) {
    // Both edges count as inside, as the release does.
    const bool inside = x >= m_x && x <= m_x + m_cx && y >= m_y && y <= m_y + m_cy;
    if (inside)
        m_dwStyle |= TKBS_PRESSED;
    else
        m_dwStyle &= ~DWORD(TKBS_PRESSED);
}

void TkStdBtn::CancelPress() {
    m_dwStyle &= ~DWORD(TKBS_PRESSED);
    RedrawButton(FALSE);
}

UINT TkStdBtn::OnRelease(std::int32_t x, std::int32_t y) {
    m_dwStyle &= ~DWORD(TKBS_PRESSED);
    const bool inside = x >= m_x && x <= m_x + m_cx && y >= m_y && y <= m_y + m_cy;
    if (!inside) return 0;
    if ((m_dwStyle & TKBS_DISABLED) || !(m_dwStyle & TKBS_CHECKBOX)) return m_nID;
    const UINT id = m_nID;
    TkCustomToolBar* bar = m_pBar;
    if (m_dwStyle & TKBS_CHECKED)
        bar->SetStateForCommand(id, 0, TKBS_CHECKED | TKBS_INDETERMINATE, TRUE);
    else
        bar->SetStateForCommand(id, TKBS_CHECKED, TKBS_INDETERMINATE, TRUE);
    return id;
}

UINT TkStdBtn::GetToolInfo(std::int32_t, std::int32_t, TOOLINFO* info) {
    if (info) {
        info->uFlags = 0;
        info->hwnd = m_pBar ? m_pBar->m_hWnd : 0;
        info->uId = m_nID;
        info->rect = GetBounds();
        info->lpszText = LPSTR_TEXTCALLBACK;
    }
    return m_nID;
}

void TkStdBtn::ModifyState(int type, DWORD set, DWORD clear) {
    if (type != 1) return;
    m_dwStyle = (m_dwStyle & ~clear) | set;
    RedrawButton(FALSE);
}

LRESULT TkStdBtn::SendNotify(UINT code, LPARAM param1, LPARAM param2) {
    return m_pBar ? m_pBar->SendNotify(code, this, param1, param2) : 0;
}

void TkStdBtn::PaintButton(HDC barDC, TkBtnPaintContext& context) {
    const RECT bounds = GetBounds();
    if (!RectVisible(barDC, &bounds)) return;
    if (DrawSeparator(barDC)) return;
    SelectImage(context);
    DrawButton(context);
    MakeTransparent(barDC, context);
    DrawCustomizeMark(context);
    BlitToBar(barDC, context);
}

void TkStdBtn::SelectImage(TkBtnPaintContext& context) {
    HBITMAP bitmap = nullptr;
    const std::int32_t index = m_pBar->GetImageIndex(m_nID, &bitmap);
    // A command without image keeps a plain face rather than whatever strip was selected last.
    context.m_bNoImage = bitmap == nullptr;
    if (!bitmap) return;
    m_nImage = index;
    context.SelectImageBitmap(bitmap);
}

BOOL TkStdBtn::DrawSeparator(HDC barDC) {
    if (!IsSeparator()) return FALSE;
    if (m_pBar->IsCoolLook() && !(m_dwStyle & TKBS_WRAPPED)) {
        const TkSysMetrics& m = tkSysMetrics;
        const DWORD transparent = CBX_FLATBORDERS | CBX_TRANSPARENT;
        if ((m_pBar->m_dwExStyle & transparent) != transparent)
            FillSolid(barDC, m_x, m_y, m_cx, m_cy, m.m_crButtonFace);
        const std::int32_t x = m_x + m_pBar->GetSeparatorWidth() / 2;
        FillSolid(barDC, x, m_y, 1, m_cy, m.m_crButtonShadow);
        FillSolid(barDC, x + 1, m_y, 1, m_cy, m.m_crButtonHighlight);
    }
    return TRUE;
}

void TkStdBtn::DrawButton(TkBtnPaintContext& context) {
    std::int32_t x = 0, y = 0, cx = m_cx, cy = m_cy;
    if (m_pBar->m_bCustomize) {
        DrawFace(context, TRUE, x, y, cx, cy, -1);
        return;
    }
    DrawFace(context, FALSE, x, y, cx, cy, -1);
    if (m_dwStyle & TKBS_PRESSED) return;
    if (m_dwStyle & TKBS_DISABLED)
        DrawDisabled(context, x, y, cx, cy);
    else if (m_dwStyle & TKBS_CHECKED)
        DrawChecked(context, x, y, cx, cy);
    else if (m_dwStyle & TKBS_INDETERMINATE)
        DrawIndeterminate(context, x, y, cx, cy);
}

BOOL TkStdBtn::DrawFrames(TkBtnPaintContext& context, BOOL noBorder, std::int32_t& x, std::int32_t& y,
                          std::int32_t& cx, std::int32_t& cy) {
    const TkSysMetrics& m = tkSysMetrics;
    HDC dc = context.m_hWorkDC;
    const bool cool = m_pBar->IsCoolLook();
    auto shrink = [&](std::int32_t by) { x += by, y += by, cx -= 2 * by, cy -= 2 * by; };
    FillSolid(dc, x, y, cx, cy, m.m_crButtonFace);
    if ((m_dwStyle & (TKBS_CHECKED | TKBS_PRESSED)) && !noBorder) {
        Draw3dRect(dc, RECT{x, y, x + cx, y + cy}, cool ? m.m_crButtonShadow : m.m_crWindowFrame,
                   m.m_crButtonHighlight);
        shrink(1);
        if (!cool) Draw3dRect(dc, RECT{x, y, x + cx, y + cy}, m.m_crButtonShadow, m.m_crButtonFace);
        shrink(1);
        return TRUE;
    }
    if (cool) {
        if ((m_dwStyle & TKBS_HOT) && !noBorder)
            Draw3dRect(dc, RECT{x, y, x + cx, y + cy}, m.m_crButtonHighlight, m.m_crButtonShadow);
        shrink(2);
        return FALSE;
    }
    // Classic buttons stay raised without a border too, so that they keep their look while customising.
    Draw3dRect(dc, RECT{x, y, x + cx, y + cy}, m.m_crButtonHighlight, m.m_crWindowFrame);
    shrink(1);
    Draw3dRect(dc, RECT{x, y, x + cx, y + cy}, m.m_crButtonFace, m.m_crButtonShadow);
    shrink(1);
    return FALSE;
}

void TkStdBtn::DrawFace(TkBtnPaintContext& context, BOOL noBorder, std::int32_t& x, std::int32_t& y,
                        std::int32_t& cx, std::int32_t& cy, std::int32_t imageWidth) {
    const std::int32_t imageW = imageWidth == -1 ? m_pBar->GetImageWidth() : imageWidth;
    const std::int32_t imageH = m_pBar->GetImageHeight();
    std::int32_t ix = x + (cx - imageW - 1) / 2;
    std::int32_t iy = y + (cy - imageH) / 2;
    if (DrawFrames(context, noBorder, x, y, cx, cy)) ++ix, ++iy;
    BlitImage(ix, iy, imageW, imageH, context, m_pBar->GetImageWidth() * m_nImage, 0);
}

void TkStdBtn::BlitImage(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                         TkBtnPaintContext& context, std::int32_t sx, std::int32_t sy) {
    if (context.m_bNoImage) return;
    BitBlt(context.m_hWorkDC, x, y, cx, cy, context.m_hImageDC, sx, sy, SRCCOPY);
}

void TkStdBtn::DrawDisabled(TkBtnPaintContext& context, std::int32_t x, std::int32_t y, std::int32_t cx,
                            std::int32_t cy) {
    const TkSysMetrics& m = tkSysMetrics;
    HDC dc = context.m_hWorkDC;
    context.CreateMask(x, y, cx, cy);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    FillSolid(dc, x, y, cx, cy, m.m_crButtonFace);
    // The ink embossed: highlight one pixel down and right, shadow in place.
    HBRUSH highlight = CreateSolidBrush(m.m_crButtonHighlight);
    FillWithBrush(dc, highlight, x + 1, y + 1, cx - 1, cy - 1, context.m_hMaskDC, x, y, kPatternOnBlack);
    DeleteObject(highlight);
    HBRUSH shadow = CreateSolidBrush(m.m_crButtonShadow);
    FillWithBrush(dc, shadow, x, y, cx, cy, context.m_hMaskDC, x, y, kPatternOnBlack);
    DeleteObject(shadow);
    if (m_dwStyle & TKBS_CHECKED) {
        BitBlt(context.m_hMaskDC, x + 1, y + 1, cx - 1, cy - 1, context.m_hMaskDC, x, y, SRCAND);
        FillWithBrush(dc, context.m_hDitherBrush, x, y, cx, cy, context.m_hMaskDC, 2, 2, kPatternOnWhite);
    }
}

void TkStdBtn::DrawChecked(TkBtnPaintContext& context, std::int32_t x, std::int32_t y, std::int32_t cx,
                           std::int32_t cy) {
    HDC dc = context.m_hWorkDC;
    context.CreateMask(x, y, cx, cy);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    FillWithBrush(dc, context.m_hDitherBrush, x, y, cx, cy, context.m_hMaskDC, x, y, kPatternOnWhite);
}

void TkStdBtn::DrawIndeterminate(TkBtnPaintContext& context, std::int32_t x, std::int32_t y, std::int32_t cx,
                                 std::int32_t cy) {
    HDC dc = context.m_hWorkDC;
    context.CreateMask(x, y, cx, cy);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    HBRUSH shadow = CreateSolidBrush(tkSysMetrics.m_crButtonShadow);
    FillWithBrush(dc, shadow, x, y, cx, cy, context.m_hMaskDC, x, y, kPatternOnBlack);
    DeleteObject(shadow);
    FillWithBrush(dc, context.m_hDitherBrush, x, y, cx, cy, context.m_hMaskDC, x, y, kPatternOnWhite);
}

void TkStdBtn::MakeTransparent(HDC barDC, TkBtnPaintContext& context) {
    const DWORD transparent = CBX_FLATBORDERS | CBX_TRANSPARENT;
    if ((m_pBar->m_dwExStyle & transparent) != transparent) return;
    HDC dc = context.m_hWorkDC;
    PatBlt(context.m_hMaskDC, 0, 0, m_cx, m_cy, WHITENESS);
    SetBkColor(dc, tkSysMetrics.m_crButtonFace);
    BitBlt(context.m_hMaskDC, 0, 0, m_cx, m_cy, dc, 0, 0, SRCCOPY);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    // Face pixels become the bar's own: x ^ bar, cleared where the mask is white, ^ bar again.
    BitBlt(dc, 0, 0, m_cx, m_cy, barDC, m_x, m_y, SRCINVERT);
    BitBlt(dc, 0, 0, m_cx, m_cy, context.m_hMaskDC, 0, 0, kDestinationAndNotSource);
    BitBlt(dc, 0, 0, m_cx, m_cy, barDC, m_x, m_y, SRCINVERT);
}

void TkStdBtn::DrawCustomizeMark(TkBtnPaintContext& context) {
    if (m_dwStyle & TKBS_CUSTOMSELECTED) DrawSelectionFrame(context);
}

void TkStdBtn::DrawSelectionFrame(TkBtnPaintContext& context) {
    HDC dc = context.m_hWorkDC;
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    const RECT r{0, 0, m_cx, m_cy};
    DrawDragRect(dc, &r, SIZE{3, 3}, nullptr, SIZE{0, 0});
}

void TkStdBtn::BlitToBar(HDC barDC, TkBtnPaintContext& context) {
    BitBlt(barDC, m_x, m_y, m_cx, m_cy, context.m_hWorkDC, 0, 0, SRCCOPY);
}

void TkTBMenuBtn::InitButton(TkCustomToolBar* bar, const std::uintptr_t* data) {
    if (data) {
        m_nMenuID = UINT(data[0]);
        m_nMenuIndex = std::int32_t(data[1]);
        m_strText = data[2] ? reinterpret_cast<const char*>(data[2]) : "";
        m_dwMenuBit = DWORD(data[3]);
    }
    UpdateMnemonic();
    TkStdBtn::InitButton(bar, data);
}

char TkTBMenuBtn::UpdateMnemonic() {
    m_cMnemonic = 0;
    const std::size_t amp = m_strText.find('&');
    if (amp != std::string::npos && amp + 1 < m_strText.size())
        m_cMnemonic = char(std::tolower(static_cast<unsigned char>(m_strText[amp + 1])));
    return m_cMnemonic;
}

void TkTBMenuBtn::CalcButtonSize() {
    if (!m_pBar) return;
    HDC dc = GetDC(0);
    HFONT font = m_pBar->GetMenuFont();
    if (!font) font = m_pBar->GetBarFont();
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT r{0, 0, 0, 0};
    DrawText(dc, m_strText.c_str(), int(m_strText.size()), &r, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
    if (old) SelectObject(dc, old);
    ReleaseDC(0, dc);
    m_cx = r.Width() + 10;
    m_cy = r.Height() + 6;
    m_pBar->m_nWidestButton = std::max(m_pBar->m_nWidestButton, m_cx);
}

BOOL TkTBMenuBtn::OnPress(std::int32_t, std::int32_t) {
    m_dwStyle |= TKBS_PRESSED;
    RedrawButton(FALSE);
    OpenMenu();
    return FALSE;
}

LRESULT TkTBMenuBtn::OpenMenu() {
    return m_pBar->OpenButtonMenu(this, m_nMenuID, m_nMenuIndex);
}

void TkTBMenuBtn::DrawFace(TkBtnPaintContext& context, BOOL noBorder, std::int32_t& x, std::int32_t& y,
                           std::int32_t& cx, std::int32_t& cy, std::int32_t) {
    const std::int32_t x0 = x, y0 = y;
    const std::int32_t shift = DrawFrames(context, noBorder, x, y, cx, cy) ? 1 : 0;
    HDC dc = context.m_hWorkDC;
    RECT text{x0 + 4 + shift, y0 + 3 + shift, x + cx, y + cy};
    HFONT font = m_pBar->GetMenuFont();
    if (!font) font = m_pBar->GetBarFont();
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    SetBkColor(dc, tkSysMetrics.m_crButtonFace);
    DrawText(dc, m_strText.c_str(), int(m_strText.size()), &text, DT_SINGLELINE);
    if (old) SelectObject(dc, old);
}

} // namespace vq
