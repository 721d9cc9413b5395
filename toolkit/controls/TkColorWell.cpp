#include "toolkit/controls/TkColorWell.h"

#include "platform/classlib/ColorDialog.h"
#include "platform/classlib/DataExchange.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Palette.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/controls/TkImages.h"
#include "toolkit/controls/TkPopupColorWell.h"
#include "toolkit/controls/TkResources.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace vq {

TkWellColors tkWellColors;

void TkWellColors::Update() {
    background = GetSysColor(COLOR_BTNFACE);
    frame = GetSysColor(COLOR_WINDOWFRAME);
    light = GetSysColor(COLOR_3DLIGHT);
    darkShadow = GetSysColor(COLOR_3DDKSHADOW);
    face = GetSysColor(COLOR_BTNFACE);
    shadow = GetSysColor(COLOR_BTNSHADOW);
    highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
}

namespace {

constexpr COLORREF black = 0x000000;
constexpr COLORREF white = 0xFFFFFF;
constexpr DWORD raisedBorder = 0x1;

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    const COLORREF old = SetBkColor(dc, colour);
    ExtTextOut(dc, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    SetBkColor(dc, old);
}

// A one-pixel ring: the first colour along the top and left, the second along the bottom and right.
void Ring(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

RECT Grown(const RECT& r, std::int32_t by) {
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool IsDialog(const CWnd* window) {
    if (!window || !window->m_hWnd || !CWnd::DialogClassName()) return false;
    char name[64] = {};
    GetClassName(window->m_hWnd, name, int(sizeof name));
    return std::strcmp(name, CWnd::DialogClassName()) == 0;
}

} // namespace

VQ_BEGIN_MESSAGE_MAP(TkWellOtherButton, CButton)
VQ_ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
VQ_ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
VQ_ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
VQ_END_MESSAGE_MAP()

bool TkWellOtherButton::InPopup() const {
    return dynamic_cast<TkPopupColorWell*>(m_well) != nullptr;
}

LRESULT TkWellOtherButton::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_BUTTON | DLGC_WANTTAB;
}

LRESULT TkWellOtherButton::OnKeyDown(WPARAM key, LPARAM) {
    if (InPopup()) {
        if (key == VK_TAB || (key >= VK_LEFT && key <= VK_DOWN)) SetFocus(m_well->m_hWnd);
        return Default();
    }
    if (key == VK_TAB) {
        if (KeyDown(VK_SHIFT)) {
            SetFocus(m_well->m_hWnd);
        } else if (const HWND parent = ::vq::GetParent(m_well->m_hWnd)) {
            if (const HWND next = GetNextDlgTabItem(parent, m_well->m_hWnd, FALSE)) SetFocus(next);
        }
        return 0;
    }
    return Default();
}

LRESULT TkWellOtherButton::OnKillFocus(WPARAM next, LPARAM) {
    const LRESULT result = Default();
    // The popup may be going already; destroying a dying window again does nothing.
    if (InPopup() && HWND(next) != m_well->m_hWnd) m_well->DestroyWindow();
    return result;
}

VQ_IMPLEMENT_RUNTIME_CLASS(TkColorWell, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkColorWell, CWnd)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
VQ_ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
VQ_ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
VQ_ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_ON_MESSAGE(WM_CTLCOLORBTN, OnCtlColorButton)
VQ_END_MESSAGE_MAP()

TkColorWell::TkColorWell() {
    tkWellColors.Update();
    m_background = CreateSolidBrush(tkWellColors.background);
    Reset();
}

TkColorWell::~TkColorWell() {
    DestroyWindow();
    m_button.reset();
    DeletePalette();
    if (m_background) DeleteObject(m_background);
}

void TkColorWell::DeletePalette() {
    if (m_palette) DeleteObject(m_palette);
    m_palette = nullptr;
}

void TkColorWell::Reset() {
    m_selectedColumn = m_selectedRow = 0;
    m_marginX = m_marginY = 2;
    m_hotTracking = m_hasFocus = m_customPresent = m_otherButton = m_usePalette = FALSE;
    m_button.reset();
    DeletePalette();
}

void TkColorWell::SetDefaultGrid() {
    m_columns = 4;
    m_rows = 5;
}

RECT TkColorWell::CalcWellRect(CWnd* parent, std::int32_t x, std::int32_t y, BOOL dialogUnits) {
    if (IsDialog(parent)) {
        RECT cell{0, 0, 10, 10};
        parent->MapDialogRect(&cell);
        m_cellWidth = cell.Width();
        m_cellHeight = cell.Height();
        if (dialogUnits) {
            RECT origin{x, y, x, y};
            parent->MapDialogRect(&origin);
            x = origin.left;
            y = origin.top;
        }
    } else {
        const DWORD units = GetDialogBaseUnits();
        const std::int32_t across = std::int32_t(LOWORD(units)), down = std::int32_t(HIWORD(units));
        m_cellWidth = across * 10 / 4;
        m_cellHeight = down * 10 / 8;
        if (dialogUnits) {
            x = x * across / 4;
            y = y * down / 8;
        }
    }
    RECT r{x, y, x + 2 * m_marginX + m_columns * (m_cellWidth + 2) - 2,
           y + 2 * m_marginY + m_rows * (m_cellHeight + 2) - 2};
    m_buttonRowHeight = m_cellHeight + 2;
    if (m_otherButton) r.bottom += m_buttonRowHeight + 6;
    return r;
}

BOOL TkColorWell::Create(DWORD style, std::int32_t x, std::int32_t y, CWnd* parent, UINT id, BOOL dialogUnits,
                         BOOL otherButton, void*) {
    SetDefaultGrid();
    m_customColumn = m_columns - 1;
    m_customRow = m_rows;
    m_customIndex = m_rows * m_columns;
    m_otherButton = otherButton;
    if (style & raisedBorder) m_marginX = m_marginY = 4;
    if (HasFocusFrame()) {
        ++m_marginX;
        ++m_marginY;
    }
    const RECT rect = CalcWellRect(parent, x, y, dialogUnits);
    CreateWellPalette();

    const UINT classStyle = GetWellClassStyle();
    const std::string className = "TkColorWell" + std::to_string(classStyle);
    WNDCLASS wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::WindowProcedure;
    wc.lpszClassName = className.c_str();
    RegisterClass(wc); // fails harmlessly once the class exists
    if (!CWnd::CreateEx(0, className.c_str(), "", style | WS_CHILD | WS_CLIPSIBLINGS, rect, parent, id)) {
        DeletePalette();
        return FALSE;
    }
    if (m_otherButton) {
        RECT client;
        GetClientRect(m_hWnd, &client);
        const RECT place{m_marginX, client.bottom - m_marginY - m_buttonRowHeight, client.right - m_marginX,
                         client.bottom - m_marginY};
        m_button = std::make_unique<TkWellOtherButton>(this);
        const std::string caption = LoadToolkitText(IDS_TK_OTHER_COLOUR);
        if (!m_button->Create(caption.c_str(), WS_CHILD | WS_VISIBLE, place, this, otherButtonId)) {
            m_button.reset();
            DeletePalette();
            DestroyWindow();
            return FALSE;
        }
        if (parent && parent->m_hWnd)
            m_button->SendMessage(WM_SETFONT, WPARAM(parent->SendMessage(WM_GETFONT)), TRUE);
    }
    return TRUE;
}

void TkColorWell::CreateWellPalette() {
    DeletePalette();
    const int count = m_rows * m_columns;
    // Cells that neither the default palette nor the table fill stay black for the hook to set.
    std::vector<PALETTEENTRY> entries(std::size_t(count + 1));
    const auto stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    int filled = int(GetPaletteEntries(stock, 0, UINT(count), entries.data()));
    if (filled == 0) {
        const std::vector<PALETTEENTRY> table = DefaultPaletteEntries();
        filled = std::min(count, int(table.size()));
        std::copy_n(table.begin(), filled, entries.begin());
    }
    FillPaletteEntries(entries.data(), count, filled);
    entries[std::size_t(count)] = PALETTEENTRY{0, 0, 0, 0};
    m_customPresent = FALSE;
    std::vector<std::uint32_t> storage(1 + entries.size());
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = std::uint16_t(entries.size());
    std::memcpy(logical->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    m_palette = CreatePalette(logical);
}

int TkColorWell::PaletteIndex(int column, int row) const {
    return IsCustomCell(column, row) ? m_customIndex : column + row * m_columns;
}

COLORREF TkColorWell::GetColor() const {
    PALETTEENTRY entry;
    if (!m_palette ||
        GetPaletteEntries(m_palette, UINT(PaletteIndex(m_selectedColumn, m_selectedRow)), 1, &entry) != 1)
        return black;
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

void TkColorWell::SetColor(COLORREF colour) {
    if (!m_palette) return;
    const int count = m_rows * m_columns;
    const auto cells = std::size_t(count);
    std::vector<PALETTEENTRY> entries(cells);
    GetPaletteEntries(m_palette, 0, UINT(count), entries.data());
    const auto select = [&](int column, int row) {
        InvalidateCell(m_selectedColumn, m_selectedRow);
        m_selectedColumn = column;
        m_selectedRow = row;
        InvalidateCell(column, row);
    };
    for (int column = 0; column < m_columns; ++column)
        for (int row = 0; row < m_rows; ++row) {
            const PALETTEENTRY& e = entries[std::size_t(column + row * m_columns)];
            if (RGB(e.peRed, e.peGreen, e.peBlue) == (colour & 0xFFFFFF)) {
                select(column, row);
                return;
            }
        }
    if (!m_otherButton) return;
    const PALETTEENTRY custom{std::uint8_t(GetRValue(colour)), std::uint8_t(GetGValue(colour)),
                              std::uint8_t(GetBValue(colour)), 0};
    SetPaletteEntries(m_palette, UINT(m_customIndex), 1, &custom);
    if (!m_customPresent) {
        m_customPresent = TRUE;
        if (m_button && m_button->m_hWnd) {
            RECT r;
            GetWindowRect(m_button->m_hWnd, &r);
            SetWindowPos(m_button->m_hWnd, 0, 0, 0, r.Width() - (m_cellWidth + 2), r.Height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    select(m_customColumn, m_customRow);
}

CButton* TkColorWell::GetOtherButton() const {
    return m_button.get();
}

RECT TkColorWell::GridOrigin() const {
    RECT client{};
    if (m_hWnd) GetClientRect(m_hWnd, &client);
    return RECT{client.left + m_marginX, client.top + m_marginY, client.right - m_marginX,
                client.bottom - m_marginY};
}

RECT TkColorWell::GetCellRect(int column, int row) const {
    const RECT origin = GridOrigin();
    const std::int32_t left = origin.left + column * (m_cellWidth + 2);
    std::int32_t top = origin.top + row * (m_cellHeight + 2);
    if (IsCustomCell(column, row)) top += 5;
    return RECT{left, top, left + m_cellWidth, top + m_cellHeight};
}

void TkColorWell::InvalidateCell(int column, int row) const {
    if (!m_hWnd) return;
    const RECT r = Grown(GetCellRect(column, row), 1);
    InvalidateRect(m_hWnd, &r, FALSE);
}

bool TkColorWell::HitTest(POINT point, int& column, int& row) const {
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < m_rows; ++r)
            if (Grown(GetCellRect(c, r), 1).Contains(point.x, point.y)) {
                column = c;
                row = r;
                return true;
            }
    if (CustomAvailable() && Grown(GetCellRect(m_customColumn, m_customRow), 1).Contains(point.x, point.y)) {
        column = m_customColumn;
        row = m_customRow;
        return true;
    }
    return false;
}

void TkColorWell::NotifyParent() {
    const HWND parent = m_hWnd ? ::vq::GetParent(m_hWnd) : 0;
    if (parent)
        ::vq::SendMessage(parent, WM_TK_COLORSELECTED, WPARAM(::vq::GetDlgCtrlID(m_hWnd)),
                          LPARAM(GetColor()));
}

void TkColorWell::SelectCell(int column, int row, int) {
    InvalidateCell(m_selectedColumn, m_selectedRow);
    m_selectedColumn = column;
    m_selectedRow = row;
    InvalidateCell(column, row);
    NotifyParent();
}

void TkColorWell::DrawFocusFrame(bool focused) const {
    HDC dc = GetDC(m_hWnd);
    if (!dc) return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    HBRUSH brush = CreateSolidBrush(focused ? tkWellColors.frame : tkWellColors.face);
    FrameRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(m_hWnd, dc);
}

void TkColorWell::DrawCell(HDC dc, HDC paintDc, const RECT&, int column, int row) {
    const RECT r = GetCellRect(column, row);
    if (!RectVisible(paintDc, &r)) return;
    Ring(dc, r, tkWellColors.shadow, tkWellColors.highlight);
    const RECT inner = Grown(r, -1);
    Ring(dc, inner, tkWellColors.darkShadow, tkWellColors.light);
    const int index = PaletteIndex(column, row);
    PALETTEENTRY e{};
    GetPaletteEntries(m_palette, UINT(index), 1, &e);
    Fill(dc, Grown(inner, -1),
         m_usePalette ? PALETTEINDEX(std::uint16_t(index)) : RGB(e.peRed, e.peGreen, e.peBlue));
}

void TkColorWell::DrawSelectedCell(HDC dc, HDC paintDc, const RECT&, int column, int row) {
    const RECT r = Grown(GetCellRect(column, row), 1);
    if (!RectVisible(paintDc, &r)) return;
    Ring(dc, r, black, black);
    Ring(dc, Grown(r, -1), white, white);
    Ring(dc, Grown(r, -2), black, black);
    const int index = PaletteIndex(column, row);
    PALETTEENTRY e{};
    GetPaletteEntries(m_palette, UINT(index), 1, &e);
    Fill(dc, Grown(r, -3),
         m_usePalette ? PALETTEINDEX(std::uint16_t(index)) : RGB(e.peRed, e.peGreen, e.peBlue));
}

LRESULT TkColorWell::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC paint = BeginPaint(m_hWnd, &ps);
    if (!paint) return 0;
    HPALETTE oldPaintPalette = nullptr;
    if (m_usePalette && m_palette) {
        oldPaintPalette = SelectPalette(paint, m_palette, TRUE);
        RealizePalette(paint);
    }
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT clip;
    GetClipBox(paint, &clip);
    HDC memory = CreateCompatibleDC(paint);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(paint, client.Width(), client.Height()) : nullptr;
    HDC dc = memory && bitmap ? memory : paint;
    HGDIOBJ oldBitmap = dc == memory ? SelectObject(memory, bitmap) : nullptr;
    HPALETTE oldMemoryPalette =
        dc == memory && m_usePalette && m_palette ? SelectPalette(memory, m_palette, TRUE) : nullptr;

    Fill(dc, client, tkWellColors.face);
    RECT frame = client;
    if (HasFocusFrame()) {
        if (m_hasFocus) {
            HBRUSH brush = CreateSolidBrush(tkWellColors.frame);
            FrameRect(dc, &frame, brush);
            DeleteObject(brush);
        }
        frame = Grown(frame, -1);
    }
    if (GetStyle() & raisedBorder) {
        Ring(dc, frame, tkWellColors.light, tkWellColors.darkShadow);
        Ring(dc, Grown(frame, -1), tkWellColors.highlight, tkWellColors.shadow);
    }
    const RECT origin = GridOrigin();
    for (int column = 0; column < m_columns; ++column)
        for (int row = 0; row < m_rows; ++row)
            if (column != m_selectedColumn || row != m_selectedRow) DrawCell(dc, paint, origin, column, row);
    if (m_otherButton) {
        const std::int32_t y = origin.top + m_rows * (m_cellHeight + 2);
        Ring(dc, RECT{origin.left, y, origin.left + m_columns * (m_cellWidth + 2) - 2, y + 2},
             tkWellColors.shadow, white);
        if (m_customPresent && !IsCustomCell(m_selectedColumn, m_selectedRow))
            DrawCell(dc, paint, origin, m_customColumn, m_customRow);
    }
    if (!IsCustomCell(m_selectedColumn, m_selectedRow) || CustomAvailable())
        DrawSelectedCell(dc, paint, origin, m_selectedColumn, m_selectedRow);

    if (dc == memory) {
        BitBlt(paint, clip.left, clip.top, clip.Width(), clip.Height(), memory, clip.left, clip.top, SRCCOPY);
        if (oldMemoryPalette) SelectPalette(memory, oldMemoryPalette, TRUE);
        SelectObject(memory, oldBitmap);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    if (oldPaintPalette) SelectPalette(paint, oldPaintPalette, TRUE);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT TkColorWell::OnSetFocus(WPARAM previous, LPARAM) {
    const HWND from = HWND(previous);
    if (m_button && m_button->m_hWnd && KeyDown(VK_SHIFT) && from != m_button->m_hWnd) {
        // Shift+Tab from beyond the well lands on its last stop, the button.
        SetFocus(m_button->m_hWnd);
        return 0;
    }
    const LRESULT result = Default();
    if (HasFocusFrame()) {
        m_hasFocus = TRUE;
        DrawFocusFrame(true);
    }
    return result;
}

LRESULT TkColorWell::OnKillFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (HasFocusFrame()) {
        m_hasFocus = FALSE;
        DrawFocusFrame(false);
    }
    return result;
}

LRESULT TkColorWell::OnGetDlgCode(WPARAM, LPARAM) {
    return m_otherButton ? DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS : DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT TkColorWell::OnKeyDown(WPARAM key, LPARAM) {
    const int K = m_columns, L = m_rows;
    const int c = m_selectedColumn, r = m_selectedRow;
    const bool onCustom = IsCustomCell(c, r);
    int column = c, row = r;
    switch (UINT(key)) {
    case VK_LEFT:
        if (onCustom) {
            column = K - 1;
            row = L - 1;
        } else if (c > 0) {
            column = c - 1;
        } else if (r > 0) {
            column = K - 1;
            row = r - 1;
        } else if (CustomAvailable()) {
            column = m_customColumn;
            row = m_customRow;
        } else {
            column = K - 1;
            row = L - 1;
        }
        break;
    case VK_RIGHT:
        if (onCustom) {
            column = 0;
            row = 0;
        } else if (c < K - 1) {
            column = c + 1;
        } else if (r < L - 1) {
            column = 0;
            row = r + 1;
        } else if (CustomAvailable()) {
            column = m_customColumn;
            row = m_customRow;
        } else {
            column = 0;
            row = 0;
        }
        break;
    case VK_UP:
        if (r > 0) {
            row = r - 1;
        } else if (CustomAvailable() && c == m_customColumn) {
            row = m_customRow;
        } else {
            row = L - 1;
        }
        break;
    case VK_DOWN:
        if (r < L - 1) {
            row = r + 1;
        } else if (CustomAvailable() && c == m_customColumn && !onCustom) {
            row = m_customRow;
        } else {
            row = 0;
        }
        break;
    case VK_TAB:
        if (KeyDown(VK_SHIFT)) {
            if (const HWND parent = ::vq::GetParent(m_hWnd))
                if (const HWND previous = GetNextDlgTabItem(parent, m_hWnd, TRUE)) SetFocus(previous);
        } else if (m_button && m_button->m_hWnd) {
            SetFocus(m_button->m_hWnd);
        }
        return 0;
    default:
        return Default();
    }
    SelectCell(column, row, byKeyboard);
    return 0;
}

LRESULT TkColorWell::ClickCell(LPARAM point) {
    SetFocus(m_hWnd);
    int column = 0, row = 0;
    if (!HitTest(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}, column, row)) return Default();
    SelectCell(column, row, byCommit);
    return 0;
}

LRESULT TkColorWell::OnLButtonDown(WPARAM, LPARAM point) {
    return ClickCell(point);
}

LRESULT TkColorWell::OnMouseMove(WPARAM, LPARAM point) {
    int column = 0, row = 0;
    if (m_hotTracking && HitTest(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}, column, row) &&
        (column != m_selectedColumn || row != m_selectedRow)) {
        SelectCell(column, row, byMouseMove);
        return 0;
    }
    return Default();
}

BOOL TkColorWell::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == otherButtonId && HIWORD(wParam) == BN_CLICKED) {
        OnOther();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void TkColorWell::OnOther() {
    CColorDialog dialog;
    dialog.m_cc.rgbResult = GetColor();
    dialog.m_cc.Flags |= m_dialogFlags;
    if (m_customColours) dialog.m_cc.lpCustColors = m_customColours;
    if (dialog.DoModal() != IDOK) return;
    SetColor(dialog.GetColor());
    NotifyParent();
}

LRESULT TkColorWell::OnSysColorChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    tkWellColors.Update();
    if (m_background) DeleteObject(m_background);
    m_background = CreateSolidBrush(tkWellColors.background);
    Invalidate();
    return result;
}

LRESULT TkColorWell::OnCtlColorButton(WPARAM dc, LPARAM) {
    SetBkColor(reinterpret_cast<HDC>(dc), tkWellColors.background);
    return reinterpret_cast<LRESULT>(m_background);
}

void DDX_ColorWell(CDataExchange* exchange, TkColorWell& well, COLORREF& colour) {
    if (!exchange) return;
    if (exchange->m_bSaveAndValidate)
        colour = well.GetColor();
    else
        well.SetColor(colour);
}

} // namespace vq
