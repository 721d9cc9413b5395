#pragma once

#include "platform/gui/ControlTypes.h"
#include "platform/gui/Menu.h"
#include "toolkit/frames/TkWndPlugIn.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vq {

class TkBmpMgr;

// What the plug-in keeps of one converted menu item: the item's text as it was, "&" marks and a
// tab before the accelerator included, and the lower-case character after the first "&".
class TkBmpMenuItemInfo : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkBmpMenuItemInfo)
public:
    UINT m_nID = 0;
    std::string m_strText;
    char m_cMnemonic = 0;
};

// Makes a host frame's popup menus show the tool bar image of each command: every plain text item
// of a popup about to open becomes an owner-drawn item carrying a TkBmpMenuItemInfo, which the
// plug-in measures and draws (image or check mark, text, right-aligned accelerator) in the menu
// font and colours, and whose mnemonics it answers, since owner-drawn items lose the system's.
// Items another component made owner-drawn are never touched. GUI thread only.
class TkBmpMenuPlugIn : public TkWndPlugIn {
    VQ_DECLARE_RUNTIME_CLASS(TkBmpMenuPlugIn)
    VQ_DECLARE_MESSAGE_MAP()
public:
    struct TkBmpMenuInfo {
        HMENU m_hMenu = nullptr;
        std::vector<std::unique_ptr<TkBmpMenuItemInfo>> m_items;
    };

    // With own marks, radio items get the toolkit's dot and checked items its check mark.
    explicit TkBmpMenuPlugIn(BOOL ownMarks = TRUE);
    ~TkBmpMenuPlugIn() override;
    TkBmpMenuPlugIn(const TkBmpMenuPlugIn&) = delete;
    TkBmpMenuPlugIn& operator=(const TkBmpMenuPlugIn&) = delete;

    virtual void PurgeMenuInfo();
    virtual HFONT CreateMenuFont();
    virtual HFONT CreateBoldMenuFont();
    // A mask of the image, white where it shows button face or button highlight, black elsewhere,
    // selected into `maskDC`; the caller puts `oldBitmap` back and deletes both.
    virtual BOOL CreateImageMask(HDC imageDC, HDC& maskDC, HBITMAP& mask, HGDIOBJ& oldBitmap, std::int32_t cx,
                                 std::int32_t cy, std::int32_t xOffset);
    // The dither in place of the image's face-coloured background.
    virtual void DrawCheckedImageBackground(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                                            std::int32_t cy, HDC imageDC, std::int32_t xOffset);
    // The image embossed: highlight one pixel down and right, shadow in place.
    virtual void DrawDisabledImage(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                                   HDC imageDC, std::int32_t xOffset);
    // The image column; moves the item's left edge past it. Index -1 only fills the column.
    virtual void DrawItemImage(const DRAWITEMSTRUCT& item, HDC dc, RECT& itemRect, HBITMAP bitmap, int index,
                               std::int32_t cx, std::int32_t cy);

    BOOL LoadToolBarImages(std::uint32_t toolBar);
    BOOL AddBitmapImages(std::uint32_t bitmap, const std::uint32_t* ids, std::int32_t count);
    // The bitmap stays the caller's.
    BOOL AddBitmapHandleImages(HBITMAP bitmap, const std::uint32_t* ids, std::int32_t count);
    // Shares the frame's store (the tool bars' images) instead of the plug-in's own.
    void SetBitmapManager(TkBmpMgr* manager);
    TkBmpMgr* GetBitmapManager() const { return m_pBmpMgr; }
    void ExcludeCommand(UINT id) { m_excluded.insert(id); }
    BOOL IsExcluded(UINT id) const { return m_excluded.count(id) != 0; }
    HFONT GetMenuFont();
    HFONT GetBoldMenuFont();
    // The popup handler with the message's parameters: the menu and (position, system-menu flag).
    void InitMenuPopup(HMENU menu, LPARAM index);

    const std::unordered_map<HMENU, std::unique_ptr<TkBmpMenuInfo>>& GetMenus() const { return m_menus; }

protected:
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);

private:
    enum Colour { MenuText, HighlightText, GrayText, Menu, Highlight, BtnShadow, BtnHighlight, BtnHighlight2, BtnFace };

    std::unordered_map<HMENU, std::unique_ptr<TkBmpMenuInfo>> m_menus;
    // Item data is trusted only when it is one of these: every other value came from someone else.
    std::unordered_set<std::uintptr_t> m_records;
    std::unordered_set<UINT> m_excluded;
    BOOL m_bOwnMarks = TRUE;
    TkBmpMgr* m_pBmpMgr = nullptr;
    HFONT m_hMenuFont = nullptr;
    HFONT m_hBoldMenuFont = nullptr;
    HBITMAP m_hDither = nullptr;
    HBITMAP m_hCheckMark = nullptr;
    std::array<COLORREF, 9> m_colours{};

    void ReadColours();
    HBITMAP DitherBitmap();
    HBITMAP CheckMarkBitmap();
    const TkBmpMenuItemInfo* RecordOf(std::uintptr_t data) const;
    void DropRecord(TkBmpMenuInfo& info, std::size_t at);
    void DeleteFonts();
    void DrawItemText(const DRAWITEMSTRUCT& item, HDC dc, RECT text, const std::string& label,
                      const std::string& accelerator);
};

} // namespace vq
