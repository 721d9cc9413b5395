#include "toolkit/controls/TkWellButton.h"

#include "platform/classlib/ColorDialog.h"
#include "platform/classlib/DataExchange.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Palette.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkWellButton, TkOwnerDrawButton)

VQ_BEGIN_MESSAGE_MAP(TkWellButton, TkOwnerDrawButton)
VQ_ON_MESSAGE(WM_TK_COLORSELECTED, OnColorSelected)
VQ_ON_MESSAGE(WM_TK_COLOROTHER, OnColorOther)
VQ_END_MESSAGE_MAP()

namespace {

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    const COLORREF old = SetBkColor(dc, colour);
    ExtTextOut(dc, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    SetBkColor(dc, old);
}

} // namespace

TkWellButton::TkWellButton() : m_popup(std::make_unique<TkPopupColorWell>()) {
    CreateButtonPalette();
}

TkWellButton::~TkWellButton() {
    DestroyWindow();
    m_popup.reset();
    if (m_palette) DeleteObject(m_palette);
}

void TkWellButton::CreateButtonPalette() {
    if (m_palette) DeleteObject(m_palette);
    LOGPALETTE logical;
    logical.palVersion = 0x300;
    logical.palNumEntries = 1;
    logical.palPalEntry[0] = PALETTEENTRY{0, 0, 0, 0};
    m_palette = CreatePalette(&logical);
}

COLORREF TkWellButton::GetColor() const {
    PALETTEENTRY e{};
    if (!m_palette || GetPaletteEntries(m_palette, 0, 1, &e) != 1) return 0;
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

void TkWellButton::SetColor(COLORREF colour) {
    const PALETTEENTRY e{std::uint8_t(GetRValue(colour)), std::uint8_t(GetGValue(colour)),
                         std::uint8_t(GetBValue(colour)), 0};
    if (m_palette) SetPaletteEntries(m_palette, 0, 1, &e);
    if (m_hWnd) Invalidate();
}

void TkWellButton::SetPopup(std::unique_ptr<TkPopupColorWell> popup) {
    m_popup = std::move(popup);
}

void TkWellButton::OnClicked() {
    if (m_popup && m_popup->IsShown()) return;
    DropDown();
}

void TkWellButton::DropDown() {
    if (!m_popup) return;
    RECT r;
    GetWindowRect(m_hWnd, &r);
    m_popup->Reset();
    if (!m_popup->Create(WS_VISIBLE, r, GetParent(), m_otherButton)) return;
    m_popup->SetColor(GetColor());
    m_popup->SetUsePalette(m_usePalette);
    m_popup->SetOwnerButton(this);
}

void TkWellButton::PreDraw(HDC screen, HDC memory) {
    if (!m_usePalette || !m_palette) return;
    m_oldScreenPalette = SelectPalette(screen, m_palette, TRUE);
    RealizePalette(screen);
    m_oldMemoryPalette = memory ? SelectPalette(memory, m_palette, TRUE) : nullptr;
}

void TkWellButton::PostDraw(HDC screen, HDC memory) {
    if (m_oldScreenPalette) SelectPalette(screen, m_oldScreenPalette, TRUE);
    if (m_oldMemoryPalette && memory) SelectPalette(memory, m_oldMemoryPalette, TRUE);
    m_oldScreenPalette = m_oldMemoryPalette = nullptr;
}

void TkWellButton::DrawFocusRect(HDC dc, const RECT& rect) {
    const RECT inside{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    ::vq::DrawFocusRect(dc, &inside);
}

void TkWellButton::DrawContent(HDC dc, const DRAWITEMSTRUCT* item, const RECT& r) {
    const std::int32_t x = r.right - 7, y = r.top + (r.Height() - 3) / 2;
    const POINT arrow[] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
    const int oldMode = SetPolyFillMode(dc, WINDING);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Polygon(dc, arrow, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SetPolyFillMode(dc, oldMode);

    Fill(dc, RECT{r.right - 10, r.top + 2, r.right - 9, r.bottom - 2}, tkButtonColors.separatorShadow);
    Fill(dc, RECT{r.right - 9, r.top + 2, r.right - 8, r.bottom - 2}, tkButtonColors.highlight);

    if (item && (item->itemState & ODS_DISABLED)) return;
    const RECT swatch{r.left + 3, r.top + 2, r.right - 13, r.bottom - 2};
    FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT inside{swatch.left + 1, swatch.top + 1, swatch.right - 1, swatch.bottom - 1};
    Fill(dc, inside, m_usePalette ? PALETTEINDEX(0) : GetColor());
}

LRESULT TkWellButton::OnColorSelected(WPARAM, LPARAM colour) {
    SetColor(COLORREF(colour));
    Invalidate();
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_TK_COLORSELECTED, WPARAM(GetDlgCtrlID()), LPARAM(GetColor()));
    return 0;
}

LRESULT TkWellButton::OnColorOther(WPARAM, LPARAM) {
    CColorDialog dialog(GetColor(), 0, this);
    dialog.m_cc.rgbResult = GetColor();
    dialog.m_cc.Flags |= m_dialogFlags;
    if (dialog.DoModal() == IDOK) OnColorSelected(0, LPARAM(dialog.GetColor()));
    return 0;
}

void DDX_WellButton(CDataExchange* exchange, TkWellButton& button, COLORREF& colour) {
    if (!exchange) return;
    if (exchange->m_bSaveAndValidate)
        colour = button.GetColor();
    else
        button.SetColor(colour);
}

} // namespace vq
