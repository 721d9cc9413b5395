#include "toolkit/controls/TkOwnerDrawButton.h"

#include "platform/gui/Gdi.h"

namespace vq {

namespace {

// Paints the brush where the mask is black and keeps the destination where it is white.
constexpr DWORD MaskedPaint = 0xB8074A;

void FillSolid(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT r{x, y, x + cx, y + cy};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A one-pixel three-dimensional rectangle: top and left edges in one colour, right and bottom
// (with both far corners) in the other.
void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    const std::int32_t cx = r.Width(), cy = r.Height();
    FillSolid(dc, r.left, r.top, cx - 1, 1, topLeft);
    FillSolid(dc, r.left, r.top, 1, cy - 1, topLeft);
    FillSolid(dc, r.right - 1, r.top, 1, cy, bottomRight);
    FillSolid(dc, r.left, r.bottom - 1, cx, 1, bottomRight);
}

// The frame colour around the rectangle, its four corner pixels left out.
void DrawOutline(HDC dc, const RECT& r, COLORREF colour) {
    FillSolid(dc, r.left + 1, r.top, r.Width() - 2, 1, colour);
    FillSolid(dc, r.left + 1, r.bottom - 1, r.Width() - 2, 1, colour);
    FillSolid(dc, r.left, r.top + 1, 1, r.Height() - 2, colour);
    FillSolid(dc, r.right - 1, r.top + 1, 1, r.Height() - 2, colour);
}

void Shrink(RECT& r) {
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

} // namespace

TkButtonColors tkButtonColors;

void TkButtonColors::Update() {
    frame = GetSysColor(COLOR_WINDOWFRAME);
    shadow = GetSysColor(COLOR_BTNSHADOW);
    highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    face = GetSysColor(COLOR_BTNFACE);
    separatorShadow = GetSysColor(COLOR_BTNSHADOW);
}

VQ_IMPLEMENT_RUNTIME_CLASS(TkOwnerDrawButton, CButton)

VQ_BEGIN_MESSAGE_MAP(TkOwnerDrawButton, CButton)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_ON_MESSAGE(WM_KEYUP, OnKeyUp)
VQ_ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
VQ_END_MESSAGE_MAP()

TkOwnerDrawButton::TkOwnerDrawButton() : m_bNewLook((GetVersion() & 0xFF) >= 4) {
    tkButtonColors.Update();
}

BOOL TkOwnerDrawButton::AttachButton(UINT id, CWnd* parent, DWORD buttonStyle) {
    m_nButtonStyle = buttonStyle;
    if (!SubclassDlgItem(id, parent)) return FALSE;
    // The dialog's button becomes owner-drawn, or nothing of this class would ever paint it.
    SetButtonStyle(GetButtonStyle(), FALSE);
    return TRUE;
}

BOOL TkOwnerDrawButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                               DWORD buttonStyle) {
    m_nButtonStyle = buttonStyle;
    return CButton::Create(caption, style | BS_OWNERDRAW, rect, parent, id);
}

UINT TkOwnerDrawButton::SetButtonStyle(UINT style, BOOL redraw) {
    const DWORD before = GetStyle();
    CWnd::DefWindowProc(BM_SETSTYLE, WPARAM(style | BS_OWNERDRAW), FALSE);
    if (GetStyle() != before && redraw) Invalidate(TRUE);
    return 0;
}

LRESULT TkOwnerDrawButton::OnSysColorChange(WPARAM, LPARAM) {
    Default();
    tkButtonColors.Update();
    Invalidate(TRUE);
    return 0;
}

LRESULT TkOwnerDrawButton::OnKeyUp(WPARAM key, LPARAM) {
    const LRESULT result = Default();
    if (key == VK_SPACE) OnClicked();
    return result;
}

LRESULT TkOwnerDrawButton::OnGetDlgCode(WPARAM, LPARAM) {
    const bool defaultLook = GetFocus() == m_hWnd && (m_nButtonStyle & BS_DEFPUSHBUTTON);
    return defaultLook ? DLGC_BUTTON | DLGC_DEFPUSHBUTTON : DLGC_BUTTON;
}

bool TkOwnerDrawButton::IsClickRelease(LPARAM point) const {
    RECT client;
    GetClientRect(m_hWnd, &client);
    return client.Contains(GET_X_LPARAM(point), GET_Y_LPARAM(point)) && (GetState() & BST_PUSHED) &&
           GetCapture() == m_hWnd;
}

LRESULT TkOwnerDrawButton::OnLButtonUp(WPARAM, LPARAM point) {
    // State and capture are read before the default handling releases both.
    if (IsClickRelease(point)) OnClicked();
    return Default();
}

LRESULT TkOwnerDrawButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    return SetButtonStyle(UINT(style), BOOL(redraw));
}

void TkOwnerDrawButton::DrawItem(DRAWITEMSTRUCT* item) {
    HDC screen = item->hDC;
    const std::int32_t width = item->rcItem.Width(), height = item->rcItem.Height();
    if (item->itemAction == ODA_FOCUS) {
        DrawFocus(screen, item);
        return;
    }
    if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT) return;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (!memory || !bitmap) {
        if (memory) DeleteDC(memory);
        DrawSequence(screen, screen, item, false);
        DrawFocus(screen, item);
        return;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    PreDraw(screen, memory);
    DrawSequence(screen, memory, item, true);
    BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    PostDraw(screen, memory);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DrawFocus(screen, item);
}

void TkOwnerDrawButton::DrawSequence(HDC screen, HDC target, const DRAWITEMSTRUCT* item, bool emboss) {
    if (target == screen) PreDraw(screen, screen);
    const RECT content = DrawFrame(target, item);
    DrawContent(target, item, content);
    if (emboss && (item->itemState & ODS_DISABLED))
        DrawDisabled(target, item->rcItem.Width(), item->rcItem.Height());
    if (target == screen) PostDraw(screen, screen);
}

RECT TkOwnerDrawButton::DrawFrame(HDC dc, const DRAWITEMSTRUCT* item) {
    const TkButtonColors& c = tkButtonColors;
    RECT r = item->rcItem;
    FillSolid(dc, r.left, r.top, r.Width(), r.Height(), c.face);
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    if (m_bNewLook) {
        Draw3dRect(dc, r, pressed ? c.frame : c.highlight, pressed ? c.highlight : c.frame);
        Shrink(r);
        Draw3dRect(dc, r, pressed ? c.shadow : c.face, pressed ? c.face : c.shadow);
    } else {
        DrawOutline(dc, r, c.frame);
        for (int ring = 0; ring < 2; ++ring) {
            Shrink(r);
            Draw3dRect(dc, r, pressed ? c.shadow : c.highlight, pressed ? c.highlight : c.shadow);
        }
    }
    if (pressed) {
        ++r.left;
        ++r.top;
    } else {
        --r.right;
        --r.bottom;
    }
    return r;
}

void TkOwnerDrawButton::DrawFocus(HDC dc, const DRAWITEMSTRUCT* item) {
    if (!(item->itemState & ODS_FOCUS)) return;
    const std::int32_t inset = m_bNewLook ? 1 : 2;
    RECT r = item->rcItem;
    r = {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    if (item->itemState & ODS_SELECTED) {
        ++r.left;
        ++r.top;
    } else {
        --r.right;
        --r.bottom;
    }
    SetBkColor(dc, tkButtonColors.face);
    DrawFocusRect(dc, r);
}

void TkOwnerDrawButton::DrawDisabled(HDC dc, std::int32_t width, std::int32_t height) {
    const TkButtonColors& c = tkButtonColors;
    HDC maskDC = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!maskDC || !mask) {
        if (mask) DeleteObject(mask);
        if (maskDC) DeleteDC(maskDC);
        return;
    }
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    PatBlt(maskDC, 0, 0, width, height, WHITENESS);
    SetBkColor(dc, c.face);
    BitBlt(maskDC, 0, 0, width - 3, height - 3, dc, 1, 1, SRCCOPY);
    SetBkColor(dc, c.highlight);
    BitBlt(maskDC, 0, 0, width - 3, height - 3, dc, 1, 1, SRCPAINT);
    SetBkColor(dc, 0xFFFFFF);
    SetTextColor(dc, 0x000000);
    HBRUSH highlight = CreateSolidBrush(c.highlight);
    HBRUSH shadow = CreateSolidBrush(c.shadow);
    HGDIOBJ oldBrush = SelectObject(dc, highlight);
    BitBlt(dc, 2, 2, width - 4, height - 4, maskDC, 0, 0, MaskedPaint);
    SelectObject(dc, shadow);
    BitBlt(dc, 1, 1, width - 3, height - 3, maskDC, 0, 0, MaskedPaint);
    SelectObject(dc, oldBrush);
    DeleteObject(highlight);
    DeleteObject(shadow);
    SelectObject(maskDC, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDC);
}

} // namespace vq
