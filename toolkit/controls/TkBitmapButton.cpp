#include "toolkit/controls/TkBitmapButton.h"

#include "platform/gui/Gdi.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/LoadBitmapWithSysColors.h"
#include "toolkit/controls/TkResources.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkBitmapButton, TkOwnerDrawButton)

VQ_BEGIN_MESSAGE_MAP(TkBitmapButton, TkOwnerDrawButton)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnBitmapSysColorChange)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_END_MESSAGE_MAP()

TkBitmapButton::TkBitmapButton() : m_nMarginX(tkButtonColors.marginX), m_nMarginY(tkButtonColors.marginY) {}

TkBitmapButton::~TkBitmapButton() {
    if (m_hBitmap) DeleteObject(m_hBitmap);
}

bool TkBitmapButton::LoadBitmapResource(std::uint32_t bitmapId) {
    const auto bytes = FindToolkitResource(RT_BITMAP, bitmapId);
    HBITMAP loaded = nullptr;
    if (bytes.empty() || !LoadBitmapWithSysColors(loaded, bytes.data(), bytes.size())) return false;
    if (m_hBitmap) DeleteObject(m_hBitmap);
    m_hBitmap = loaded;
    return true;
}

SIZE TkBitmapButton::BitmapSize() const {
    BITMAP info;
    if (!m_hBitmap || !GetObject(m_hBitmap, sizeof info, &info)) return {};
    return {info.bmWidth, info.bmHeight};
}

HFONT TkBitmapButton::Font() const {
    if (auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))) return font;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

BOOL TkBitmapButton::AttachButton(UINT id, std::int32_t alignment, std::uint32_t bitmapId, CWnd* parent,
                                  DWORD buttonStyle) {
    if (!LoadBitmapResource(bitmapId)) return FALSE;
    m_nBitmapId = bitmapId;
    m_nAlignment = alignment;
    if (!TkOwnerDrawButton::AttachButton(id, parent, buttonStyle)) return FALSE;
    RecalcLayout();
    return TRUE;
}

BOOL TkBitmapButton::Create(const char* caption, DWORD style, std::int32_t alignment, std::uint32_t bitmapId,
                            const RECT& rect, CWnd* parent, UINT id, DWORD buttonStyle) {
    if (!LoadBitmapResource(bitmapId)) return FALSE;
    m_nBitmapId = bitmapId;
    m_nAlignment = alignment;
    if (!TkOwnerDrawButton::Create(caption, style, rect, parent, id, buttonStyle)) return FALSE;
    RecalcLayout();
    return TRUE;
}

void TkBitmapButton::RecalcLayout() {
    RECT client{};
    if (m_hWnd) GetClientRect(m_hWnd, &client);
    const std::int32_t w = client.Width() - 3, h = client.Height() - 3;
    const SIZE b = BitmapSize();
    RECT bitmap{0, 0, b.cx, b.cy};
    RECT text{0, 0, w, h};
    const std::int32_t cx = (w - b.cx) / 2, cy = (h - b.cy) / 2;
    switch (m_nAlignment) {
    case BitmapLeft:
        bitmap = OffsetRectBy(bitmap, m_nMarginX, cy);
        text.left = bitmap.right + 1;
        break;
    case BitmapRight:
        bitmap = OffsetRectBy(bitmap, w - b.cx - m_nMarginX, cy);
        text.right = bitmap.left - 1;
        break;
    case BitmapAbove:
        bitmap = OffsetRectBy(bitmap, cx, m_nMarginY);
        text.top = bitmap.bottom + 1;
        break;
    case BitmapBelow:
        bitmap = OffsetRectBy(bitmap, cx, h - b.cy - m_nMarginY);
        text.bottom = bitmap.top - 1;
        break;
    case BitmapOnly:
        bitmap = OffsetRectBy(bitmap, cx, cy);
        text = {};
        break;
    default:
        m_rcBitmap = bitmap;
        m_rcText = text;
        return;
    }
    const auto clamp = [&](RECT r) {
        return RECT{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
    };
    m_rcBitmap = clamp(bitmap);
    m_rcText = clamp(text);
}

void TkBitmapButton::SizeToContent() {
    if (!m_hWnd) return;
    SIZE textSize{};
    if (m_nAlignment != BitmapOnly) {
        HDC dc = GetWindowDC(m_hWnd);
        HGDIOBJ old = SelectObject(dc, Font());
        const std::string caption = GetWindowText();
        RECT r{};
        DrawText(dc, caption.c_str(), int(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(m_hWnd, dc);
        textSize = {r.Width(), r.Height()};
    }
    const SIZE b = BitmapSize();
    const bool beside = m_nAlignment == BitmapLeft || m_nAlignment == BitmapRight;
    const std::int32_t width = beside ? b.cx + textSize.cx + 5 : std::max(b.cx, textSize.cx);
    const std::int32_t height = beside ? std::max(b.cy, textSize.cy) : b.cy + textSize.cy + 5;
    ::vq::SetWindowPos(m_hWnd, 0, 0, 0, width + 2 * m_nMarginX + 3, height + 2 * m_nMarginY + 3,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL TkBitmapButton::SetBitmap(std::uint32_t bitmapId) {
    if (!LoadBitmapResource(bitmapId)) {
        LoadBitmapResource(m_nBitmapId);
        return FALSE;
    }
    m_nBitmapId = bitmapId;
    if (m_hWnd) Invalidate(TRUE);
    return TRUE;
}

void TkBitmapButton::SetMargins(std::int32_t x, std::int32_t y) {
    m_nMarginX = x;
    m_nMarginY = y;
    RecalcLayout();
    if (m_hWnd) Invalidate(TRUE);
}

void TkBitmapButton::DrawContent(HDC dc, const DRAWITEMSTRUCT* item, const RECT& content) {
    m_ptContent = {content.left, content.top};
    if (!m_hBitmap) return;
    const RECT bitmap = OffsetRectBy(m_rcBitmap, content.left, content.top);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, m_hBitmap);
    BitBlt(dc, bitmap.left, bitmap.top, bitmap.Width(), bitmap.Height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    if (m_nAlignment == BitmapOnly) return;
    RECT text = OffsetRectBy(m_rcText, content.left, content.top);
    const std::string caption = GetWindowText();
    HGDIOBJ oldFont = SelectObject(dc, Font());
    SetBkColor(dc, tkButtonColors.face);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawText(dc, caption.c_str(), int(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    (void)item;
}

void TkBitmapButton::DrawFocusRect(HDC dc, const RECT&) {
    // Around what the content drew, at the place it drew it.
    RECT focus;
    if (m_nAlignment == BitmapOnly) {
        const RECT b = OffsetRectBy(m_rcBitmap, m_ptContent.x, m_ptContent.y);
        focus = {b.left - 3, b.top - 3, b.right + 3, b.bottom + 3};
    } else {
        const RECT text = OffsetRectBy(m_rcText, m_ptContent.x, m_ptContent.y);
        RECT measured = text;
        const std::string caption = GetWindowText();
        HGDIOBJ oldFont = SelectObject(dc, Font());
        DrawText(dc, caption.c_str(), int(caption.size()), &measured,
                 DT_CALCRECT | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        SelectObject(dc, oldFont);
        const std::int32_t left = text.left + (text.Width() - measured.Width()) / 2;
        const std::int32_t top = text.top + (text.Height() - measured.Height()) / 2;
        focus = {left - 1, top, left + measured.Width() + 1, top + measured.Height()};
    }
    ::vq::DrawFocusRect(dc, &focus);
}

LRESULT TkBitmapButton::OnBitmapSysColorChange(WPARAM wParam, LPARAM lParam) {
    // The bitmap is loaded again so that its grey tones take the new colours.
    if (m_hBitmap) LoadBitmapResource(m_nBitmapId);
    return OnSysColorChange(wParam, lParam);
}

LRESULT TkBitmapButton::OnSize(WPARAM, LPARAM) {
    const LRESULT result = Default();
    RecalcLayout();
    return result;
}

} // namespace vq
