#include "toolkit/frames/TkBmpMenuPlugIn.h"

#include "platform/classlib/ControlBar.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NonClientMetrics.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkBmpMgr.h"
#include "toolkit/frames/TkDrawing.h"

#include <algorithm>
#include <cctype>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkBmpMenuItemInfo, Object)
VQ_IMPLEMENT_RUNTIME_CLASS(TkBmpMenuPlugIn, TkWndPlugIn)

VQ_BEGIN_MESSAGE_MAP(TkBmpMenuPlugIn, TkWndPlugIn)
VQ_ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
VQ_ON_MESSAGE(WM_MEASUREITEM, OnMeasureItem)
VQ_ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
VQ_ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
VQ_ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
VQ_ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_END_MESSAGE_MAP()

namespace {

constexpr std::uint32_t IDB_TK_CHECKMARK = 20525;
constexpr UINT FirstSystemCommand = 0xF000;
constexpr UINT LastSystemCommand = 0xFEFF;
constexpr std::size_t MaxItemText = 256;
constexpr UINT TextFormat = DT_SINGLELINE | DT_VCENTER;
constexpr UINT AcceleratorFormat = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
constexpr std::int32_t TextInsetRight = 23;
// Raster operations against a mask (white = background): pattern where the mask is white,
// destination elsewhere; and pattern where it is black.
constexpr DWORD PatternOnWhite = 0x00E20746;
constexpr DWORD PatternOnBlack = 0x00B8074A;

char MnemonicOf(const std::string& text) {
    const std::size_t amp = text.find('&');
    if (amp == std::string::npos || amp + 1 >= text.size()) return 0;
    return char(std::tolower(static_cast<unsigned char>(text[amp + 1])));
}

// A 16 x 15 white bitmap with a black dot in rows 4 to 8, drawn once for the program: menus borrow
// it as their radio items' check mark and may outlive any plug-in.
HBITMAP RadioDot() {
    static const HBITMAP dot = [] {
        std::uint8_t bits[2 * 15];
        std::fill(std::begin(bits), std::end(bits), std::uint8_t(0xFF));
        const auto blacken = [&](int row, int first, int last) {
            for (int x = first; x <= last; ++x)
                bits[row * 2 + x / 8] &= std::uint8_t(~(0x80 >> (x % 8)));
        };
        blacken(4, 7, 8);
        for (int row = 5; row <= 7; ++row)
            blacken(row, 6, 9);
        blacken(8, 7, 8);
        const HBITMAP made = CreateBitmap(16, 15, 1, 1, bits);
        return made ? made : LoadBitmap(OBM_RADIO_DOT);
    }();
    return dot;
}

bool IsMenuItem(UINT ctlType) {
    return ctlType == ODT_MENU;
}

} // namespace

TkBmpMenuPlugIn::TkBmpMenuPlugIn(BOOL ownMarks) : m_bOwnMarks(ownMarks) {
    ReadColours();
    if (m_bOwnMarks) RadioMenuMark() = RadioDot();
    m_pBmpMgr = new TkBmpMgr;
    m_pBmpMgr->SetKeepBothBitmaps(TRUE);
}

TkBmpMenuPlugIn::~TkBmpMenuPlugIn() {
    for (auto& [menu, info] : m_menus) {
        if (!IsMenu(menu)) continue;
        const int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFO mii;
            mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA;
            if (!GetMenuItemInfo(menu, UINT(i), TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW) || IsExcluded(mii.wID))
                continue;
            const TkBmpMenuItemInfo* record = RecordOf(mii.dwItemData);
            if (!record) continue;
            std::string text = record->m_strText;
            MENUITEMINFO back;
            back.fMask = MIIM_TYPE | MIIM_DATA;
            back.fType = MFT_STRING;
            back.dwTypeData = text.data();
            SetMenuItemInfo(menu, UINT(i), TRUE, &back);
        }
    }
    m_menus.clear();
    m_pBmpMgr->ReleaseReference();
    DeleteFonts();
    if (m_hDither) DeleteObject(m_hDither);
    if (m_hCheckMark) DeleteObject(m_hCheckMark);
}

void TkBmpMenuPlugIn::ReadColours() {
    static constexpr int indexes[] = {COLOR_MENUTEXT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT,
                                      COLOR_MENU,     COLOR_HIGHLIGHT,     COLOR_BTNSHADOW,
                                      COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE};
    for (std::size_t i = 0; i < m_colours.size(); ++i)
        m_colours[i] = GetSysColor(indexes[i]);
}

BOOL TkBmpMenuPlugIn::LoadToolBarImages(std::uint32_t toolBar) {
    return m_pBmpMgr->AddImages(toolBar, 0, TRUE);
}

BOOL TkBmpMenuPlugIn::AddBitmapImages(std::uint32_t bitmap, const std::uint32_t* ids, std::int32_t count) {
    return m_pBmpMgr->AddImageSet(bitmap, 0, ids, count, TRUE);
}

BOOL TkBmpMenuPlugIn::AddBitmapHandleImages(HBITMAP bitmap, const std::uint32_t* ids, std::int32_t count) {
    return m_pBmpMgr->AddImageBitmaps(bitmap, nullptr, ids, count);
}

void TkBmpMenuPlugIn::SetBitmapManager(TkBmpMgr* manager) {
    if (!manager || manager == m_pBmpMgr) return;
    manager->AddReference();
    m_pBmpMgr->ReleaseReference();
    m_pBmpMgr = manager;
    m_pBmpMgr->SetKeepBothBitmaps(TRUE);
}

HFONT TkBmpMenuPlugIn::CreateMenuFont() {
    NONCLIENTMETRICS metrics;
    if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    return CreateFontIndirect(metrics.lfMenuFont);
}

HFONT TkBmpMenuPlugIn::CreateBoldMenuFont() {
    NONCLIENTMETRICS metrics;
    if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    metrics.lfMenuFont.lfWeight = 700;
    return CreateFontIndirect(metrics.lfMenuFont);
}

HFONT TkBmpMenuPlugIn::GetMenuFont() {
    if (!m_hMenuFont) m_hMenuFont = CreateMenuFont();
    return m_hMenuFont;
}

HFONT TkBmpMenuPlugIn::GetBoldMenuFont() {
    if (!m_hBoldMenuFont) m_hBoldMenuFont = CreateBoldMenuFont();
    return m_hBoldMenuFont;
}

void TkBmpMenuPlugIn::DeleteFonts() {
    if (m_hMenuFont) DeleteObject(m_hMenuFont);
    if (m_hBoldMenuFont) DeleteObject(m_hBoldMenuFont);
    m_hMenuFont = m_hBoldMenuFont = nullptr;
}

HBITMAP TkBmpMenuPlugIn::DitherBitmap() {
    if (m_hDither) return m_hDither;
    const COLORREF face = tkSysMetrics.m_crButtonFace, light = tkSysMetrics.m_crButtonHighlight;
    std::uint8_t bits[8 * 8 * 4];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const COLORREF c = (x + y) % 2 ? light : face;
            std::uint8_t* p = bits + (y * 8 + x) * 4;
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c), p[3] = 0;
        }
    m_hDither = CreateBitmap(8, 8, 1, 32, bits);
    return m_hDither;
}

HBITMAP TkBmpMenuPlugIn::CheckMarkBitmap() {
    if (!m_bOwnMarks) {
        static const HBITMAP system = LoadBitmap(OBM_CHECK);
        return system;
    }
    if (!m_hCheckMark)
        m_hCheckMark = LoadImage(nullptr, MAKEINTRESOURCE(IDB_TK_CHECKMARK), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    return m_hCheckMark;
}

const TkBmpMenuItemInfo* TkBmpMenuPlugIn::RecordOf(std::uintptr_t data) const {
    return data && m_records.count(data) ? reinterpret_cast<const TkBmpMenuItemInfo*>(data) : nullptr;
}

void TkBmpMenuPlugIn::DropRecord(TkBmpMenuInfo& info, std::size_t at) {
    m_records.erase(reinterpret_cast<std::uintptr_t>(info.m_items[at].get()));
    info.m_items.erase(info.m_items.begin() + std::ptrdiff_t(at));
}

LRESULT TkBmpMenuPlugIn::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    InitMenuPopup(reinterpret_cast<HMENU>(wParam), lParam);
    return 0;
}

void TkBmpMenuPlugIn::InitMenuPopup(HMENU menu, LPARAM index) {
    if (HIWORD(std::uintptr_t(index)) || !IsMenu(menu)) return;
    auto& slot = m_menus[menu];
    if (!slot) {
        slot = std::make_unique<TkBmpMenuInfo>();
        slot->m_hMenu = menu;
    }
    TkBmpMenuInfo& info = *slot;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[MaxItemText + 1];
        MENUITEMINFO mii;
        mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        mii.dwTypeData = text;
        mii.cch = sizeof text;
        if (!GetMenuItemInfo(menu, UINT(i), TRUE, &mii)) continue;
        if (mii.fType & (MFT_BITMAP | MFT_SEPARATOR) || IsExcluded(mii.wID)) continue;
        if (mii.fType & MFT_OWNERDRAW) {
            const bool ours = std::any_of(info.m_items.begin(), info.m_items.end(),
                                          [&](const auto& r) { return r->m_nID == mii.wID; });
            if (!ours) ExcludeCommand(mii.wID);
            continue;
        }
        // A submenu keeps the window layer's drawing with its arrow.
        if (mii.hSubMenu || (mii.wID >= FirstSystemCommand && mii.wID <= LastSystemCommand)) continue;
        auto record = std::make_unique<TkBmpMenuItemInfo>();
        record->m_nID = mii.wID;
        record->m_strText = text;
        record->m_cMnemonic = MnemonicOf(record->m_strText);
        MENUITEMINFO owner;
        owner.fMask = MIIM_TYPE | MIIM_DATA;
        owner.fType = MFT_OWNERDRAW;
        owner.dwItemData = reinterpret_cast<std::uintptr_t>(record.get());
        if (!SetMenuItemInfo(menu, UINT(i), TRUE, &owner)) continue;
        m_records.insert(owner.dwItemData);
        info.m_items.push_back(std::move(record));
    }
}

LRESULT TkBmpMenuPlugIn::OnMeasureItem(WPARAM, LPARAM lParam) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!mis || !IsMenuItem(mis->CtlType) || IsExcluded(mis->itemID)) return 0;
    const TkBmpMenuItemInfo* record = RecordOf(mis->itemData);
    if (!record) return 0;
    HDC dc = ::vq::GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, GetMenuFont());
    RECT text{};
    DrawText(dc, record->m_strText.c_str(), -1, &text, TextFormat | DT_CALCRECT);
    SelectObject(dc, old);
    ::vq::ReleaseDC(m_hWnd, dc);
    const SIZE image = m_pBmpMgr->GetNormalImageSize();
    mis->itemWidth = UINT(text.right - text.left + image.cx + 30);
    mis->itemHeight = UINT(std::max({text.bottom - text.top, image.cy + 4, GetSystemMetrics(SM_CYMENU)}));
    m_bHandled = TRUE;
    SetMessageResult(TRUE);
    return TRUE;
}

LRESULT TkBmpMenuPlugIn::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!dis || !IsMenuItem(dis->CtlType)) return 0;
    HMENU menu = reinterpret_cast<HMENU>(std::uintptr_t(dis->hwndItem));
    if (!IsMenu(menu) || IsExcluded(dis->itemID)) return 0;
    const TkBmpMenuItemInfo* record = RecordOf(dis->itemData);
    if (!record) return 0;
    const std::size_t tab = record->m_strText.find('\t');
    const std::string label = record->m_strText.substr(0, tab);
    const std::string accelerator = tab == std::string::npos ? "" : record->m_strText.substr(tab + 1);

    HBITMAP bitmap = nullptr;
    std::int32_t index = -1;
    m_pBmpMgr->GetImage(dis->itemID, bitmap, index, TRUE);
    if (!bitmap) index = -1;
    const bool isDefault = GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) == dis->itemID;
    HDC dc = dis->hDC;
    HGDIOBJ oldFont = SelectObject(dc, isDefault ? GetBoldMenuFont() : GetMenuFont());
    // A monochrome mark takes the menu's colours.
    SetTextColor(dc, m_colours[MenuText]);
    SetBkColor(dc, m_colours[Menu]);

    RECT r = dis->rcItem;
    const SIZE image = m_pBmpMgr->GetNormalImageSize();
    if (index >= 0) {
        DrawItemImage(*dis, dc, r, bitmap, index, image.cx, image.cy);
    } else {
        MENUITEMINFO mii;
        mii.fMask = MIIM_CHECKMARKS;
        GetMenuItemInfo(menu, dis->itemID, FALSE, &mii);
        const bool checked = dis->itemState & ODS_CHECKED;
        HBITMAP mark = checked ? (mii.hbmpChecked ? mii.hbmpChecked : CheckMarkBitmap()) : mii.hbmpUnchecked;
        BITMAP size;
        if (mark && GetObject(mark, sizeof size, &size))
            DrawItemImage(*dis, dc, r, mark, 0, size.bmWidth, size.bmHeight);
        else
            DrawItemImage(*dis, dc, r, nullptr, -1, 0, 0);
    }

    const bool selected = dis->itemState & ODS_SELECTED;
    const COLORREF back = selected ? m_colours[Highlight] : m_colours[Menu];
    FillSolid(dc, r.left, r.top, 1, r.bottom - r.top, selected && index < 0 ? m_colours[Highlight] : m_colours[Menu]);
    FillSolid(dc, r.left + 1, r.top, r.right - r.left - 1, r.bottom - r.top, back);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, back);
    DrawItemText(*dis, dc, RECT{r.left + 2, r.top, r.right - TextInsetRight, r.bottom}, label, accelerator);
    SelectObject(dc, oldFont);
    // Left unhandled on purpose: the host's own handling of the message draws nothing over it.
    return TRUE;
}

void TkBmpMenuPlugIn::DrawItemText(const DRAWITEMSTRUCT& item, HDC dc, RECT text, const std::string& label,
                                   const std::string& accelerator) {
    const bool selected = item.itemState & ODS_SELECTED;
    const bool grayed = item.itemState & (ODS_GRAYED | ODS_DISABLED);
    const auto draw = [&](RECT where) {
        DrawText(dc, label.c_str(), -1, &where, TextFormat);
        if (!accelerator.empty()) DrawText(dc, accelerator.c_str(), -1, &where, AcceleratorFormat);
    };
    if (grayed && !selected) {
        SetTextColor(dc, m_colours[BtnHighlight]);
        draw(RECT{text.left + 1, text.top + 1, text.right + 1, text.bottom + 1});
        SetTextColor(dc, m_colours[GrayText]);
    } else {
        SetTextColor(dc, grayed ? m_colours[Menu] : selected ? m_colours[HighlightText] : m_colours[MenuText]);
    }
    draw(text);
}

void TkBmpMenuPlugIn::DrawItemImage(const DRAWITEMSTRUCT& item, HDC dc, RECT& itemRect, HBITMAP bitmap, int index,
                                    std::int32_t cx, std::int32_t cy) {
    const SIZE image = m_pBmpMgr->GetNormalImageSize();
    const RECT column{itemRect.left, itemRect.top, itemRect.left + image.cx + 4, itemRect.bottom};
    itemRect.left = column.right;
    const bool selected = item.itemState & ODS_SELECTED;
    const bool grayed = item.itemState & (ODS_GRAYED | ODS_DISABLED);
    const bool checked = item.itemState & ODS_CHECKED;
    const std::int32_t columnHeight = column.bottom - column.top;
    if (index < 0 || !bitmap) {
        FillSolid(dc, column.left, column.top, column.right - column.left, columnHeight,
                  m_colours[selected ? Highlight : Menu]);
        return;
    }
    FillSolid(dc, column.left, column.top, column.right - column.left, columnHeight, m_colours[Menu]);
    const std::int32_t boxTop = column.top + (columnHeight - (image.cy + 4)) / 2;
    const RECT box{column.left, boxTop, column.right, boxTop + image.cy + 4};
    RECT edge = box;
    if (checked) DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    edge = box;
    if (selected && !grayed) DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    // Inside the one-pixel edge, and one further in.
    const std::int32_t x = box.left + 2, y = box.top + 2;

    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const std::int32_t xOffset = index * cx;
    if (grayed) {
        DrawDisabledImage(dc, x, y, cx, cy, memory, xOffset);
    } else {
        BitBlt(dc, x, y, cx, cy, memory, xOffset, 0, SRCCOPY);
        if (checked && !selected) DrawCheckedImageBackground(dc, x, y, cx, cy, memory, xOffset);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

BOOL TkBmpMenuPlugIn::CreateImageMask(HDC imageDC, HDC& maskDC, HBITMAP& mask, HGDIOBJ& oldBitmap, std::int32_t cx,
                                      std::int32_t cy, std::int32_t xOffset) {
    maskDC = CreateCompatibleDC(imageDC);
    mask = CreateBitmap(cx, cy, 1, 1, nullptr);
    if (!maskDC || !mask) {
        if (maskDC) DeleteDC(maskDC);
        if (mask) DeleteObject(mask);
        return FALSE;
    }
    oldBitmap = SelectObject(maskDC, mask);
    PatBlt(maskDC, 0, 0, cx, cy, WHITENESS);
    const COLORREF before = SetBkColor(imageDC, m_colours[BtnFace]);
    BitBlt(maskDC, 0, 0, cx, cy, imageDC, xOffset, 0, SRCCOPY);
    SetBkColor(imageDC, m_colours[BtnHighlight]);
    BitBlt(maskDC, 0, 0, cx, cy, imageDC, xOffset, 0, SRCPAINT);
    SetBkColor(imageDC, before);
    return TRUE;
}

void TkBmpMenuPlugIn::DrawCheckedImageBackground(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                                                 std::int32_t cy, HDC imageDC, std::int32_t xOffset) {
    HDC maskDC = nullptr;
    HBITMAP mask = nullptr;
    HGDIOBJ oldMask = nullptr;
    if (!CreateImageMask(imageDC, maskDC, mask, oldMask, cx, cy, xOffset)) return;
    HBRUSH dither = CreatePatternBrush(DitherBitmap());
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, dither);
    BitBlt(dc, x, y, cx, cy, maskDC, 0, 0, PatternOnWhite);
    SelectObject(dc, oldBrush);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    DeleteObject(dither);
    SelectObject(maskDC, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDC);
}

void TkBmpMenuPlugIn::DrawDisabledImage(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                                        HDC imageDC, std::int32_t xOffset) {
    HDC maskDC = nullptr;
    HBITMAP mask = nullptr;
    HGDIOBJ oldMask = nullptr;
    if (!CreateImageMask(imageDC, maskDC, mask, oldMask, cx, cy, xOffset)) return;
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    HBRUSH light = CreateSolidBrush(m_colours[BtnHighlight]);
    HBRUSH shadow = CreateSolidBrush(m_colours[BtnShadow]);
    HGDIOBJ oldBrush = SelectObject(dc, light);
    BitBlt(dc, x + 1, y + 1, cx, cy, maskDC, 0, 0, PatternOnBlack);
    SelectObject(dc, shadow);
    BitBlt(dc, x, y, cx, cy, maskDC, 0, 0, PatternOnBlack);
    SelectObject(dc, oldBrush);
    DeleteObject(light);
    DeleteObject(shadow);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    SelectObject(maskDC, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDC);
}

LRESULT TkBmpMenuPlugIn::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (!IsMenu(menu)) return 0;
    const char wanted = char(std::tolower(static_cast<unsigned char>(LOWORD(std::uintptr_t(wParam)))));
    std::vector<int> matches;
    int highlighted = -1;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFO mii;
        mii.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        if (!GetMenuItemInfo(menu, UINT(i), TRUE, &mii)) continue;
        if (mii.fState & MFS_HILITE) highlighted = i;
        if (!(mii.fType & MFT_OWNERDRAW) || IsExcluded(mii.wID)) continue;
        const TkBmpMenuItemInfo* record = RecordOf(mii.dwItemData);
        if (record && record->m_cMnemonic && record->m_cMnemonic == wanted) matches.push_back(i);
    }
    if (matches.empty()) return 0;
    m_bHandled = TRUE;
    if (matches.size() == 1) {
        SetMessageResult(MAKELPARAM(matches.front(), MNC_EXECUTE));
    } else {
        const auto next = std::find_if(matches.begin(), matches.end(), [&](int i) { return i > highlighted; });
        SetMessageResult(MAKELPARAM(next == matches.end() ? matches.front() : *next, MNC_SELECT));
    }
    return m_lResult;
}

void TkBmpMenuPlugIn::PurgeMenuInfo() {
    for (auto it = m_menus.begin(); it != m_menus.end();) {
        TkBmpMenuInfo& info = *it->second;
        if (!IsMenu(info.m_hMenu)) {
            while (!info.m_items.empty())
                DropRecord(info, info.m_items.size() - 1);
            it = m_menus.erase(it);
            continue;
        }
        std::unordered_set<std::uintptr_t> carried;
        const int count = GetMenuItemCount(info.m_hMenu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFO mii;
            mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA;
            if (GetMenuItemInfo(info.m_hMenu, UINT(i), TRUE, &mii) && (mii.fType & MFT_OWNERDRAW) &&
                !IsExcluded(mii.wID))
                carried.insert(mii.dwItemData);
        }
        for (std::size_t k = info.m_items.size(); k-- > 0;)
            if (!carried.count(reinterpret_cast<std::uintptr_t>(info.m_items[k].get()))) DropRecord(info, k);
        ++it;
    }
}

LRESULT TkBmpMenuPlugIn::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    PurgeMenuInfo();
    return 0;
}

LRESULT TkBmpMenuPlugIn::OnSettingChange(WPARAM, LPARAM) {
    DeleteFonts();
    m_pBmpMgr->RefreshAll(TRUE);
    PurgeMenuInfo();
    // Setting each item to text and back makes the system measure it again.
    for (auto& [menu, info] : m_menus) {
        const int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFO mii;
            mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA;
            if (!GetMenuItemInfo(menu, UINT(i), TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW) || !RecordOf(mii.dwItemData))
                continue;
            MENUITEMINFO text;
            text.fMask = MIIM_TYPE;
            text.fType = MFT_STRING;
            SetMenuItemInfo(menu, UINT(i), TRUE, &text);
            MENUITEMINFO owner;
            owner.fMask = MIIM_TYPE | MIIM_DATA;
            owner.fType = MFT_OWNERDRAW;
            owner.dwItemData = mii.dwItemData;
            SetMenuItemInfo(menu, UINT(i), TRUE, &owner);
        }
    }
    return 0;
}

LRESULT TkBmpMenuPlugIn::OnSysColorChange(WPARAM, LPARAM) {
    ReadColours();
    tkSysMetrics.UpdateSysColors();
    if (m_hDither) DeleteObject(m_hDither);
    m_hDither = nullptr;
    if (m_hCheckMark) DeleteObject(m_hCheckMark);
    m_hCheckMark = nullptr;
    m_pBmpMgr->RefreshAll(TRUE);
    return 0;
}

} // namespace vq
