#pragma once

#include "platform/gui/WindowSystem.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq {

class TkBtnPaintContext;
class TkCustomToolBar;
class TkStdBtn;
struct TOOLINFO;

// The style word of a button: the tool bar button style in the low byte, the state in bits 16 to
// 23, the toolkit's own flags above.
enum : DWORD {
    TKBS_SEPARATOR = 0x01,
    TKBS_CHECKBOX = 0x02,
    TKBS_DROPDOWN = 0x08,
    TKBS_CHECKED = 0x10000,
    TKBS_PRESSED = 0x20000,
    TKBS_DISABLED = 0x40000,
    TKBS_HIDDEN = 0x80000,
    TKBS_INDETERMINATE = 0x100000,
    TKBS_WRAPPED = 0x200000,
    TKBS_CUSTOMSELECTED = 0x1000000,
    TKBS_HOT = 0x2000000,
    TKBS_KEEPENABLED = 0x10000000,
    TKBS_CENTREVERT = 0x20000000,
};

// Button kinds: the image button, the menu bar's text button, its system-menu and caption buttons.
enum : std::int32_t { TKBK_STANDARD = 0, TKBK_MENU = 3, TKBK_SYSMENU = 4, TKBK_CAPTION = 5 };

// Creates a button of one class.
struct TkBtnClass {
    std::unique_ptr<TkStdBtn> (*m_pfnCreate)();
};

// One entry of a button map, which gives certain commands a button class of their own; a map
// ends with an entry whose class is null.
struct TkBtnMapEntry {
    const TkBtnClass* m_pClass = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    std::uintptr_t m_data[4] = {0, 0, 0, 0};
};

// A button of a custom tool bar: not a window, but a command, an image, a style word, a place and
// a size; it draws itself off-screen and is copied to the bar.
class TkStdBtn {
public:
    TkStdBtn() = default;
    TkStdBtn(const TkStdBtn&) = delete;
    TkStdBtn& operator=(const TkStdBtn&) = delete;

    UINT m_nID = 0;
    std::int32_t m_nImage = 0;
    DWORD m_dwStyle = 0;
    std::int32_t m_x = -1;
    std::int32_t m_y = -1;
    std::int32_t m_cx = 23;
    std::int32_t m_cy = 22;
    std::int32_t m_nKind = TKBK_STANDARD;
    TkCustomToolBar* m_pBar = nullptr;

    static const TkBtnClass kClass;

    virtual void SetBarMode(DWORD) {}
    virtual void SetStyleWord(DWORD style) { m_dwStyle = style; }
    virtual DWORD GetStyleWord() const { return m_dwStyle; }
    virtual BOOL HasStyleBits(DWORD bits) const { return (m_dwStyle & bits) == bits; }
    virtual void SetButtonPos(std::int32_t x, std::int32_t y) { m_x = x, m_y = y; }
    virtual void RedrawButton(BOOL erase);
    virtual void InitButton(TkCustomToolBar* bar, const std::uintptr_t* data);
    virtual BOOL CanDrag() { return TRUE; }
    virtual void PaintButton(HDC barDC, TkBtnPaintContext& context);
    virtual BOOL OnPress(std::int32_t x, std::int32_t y);
    virtual void OnTrack(std::int32_t x, std::int32_t y);
    virtual void CancelPress();
    virtual UINT OnRelease(std::int32_t x, std::int32_t y);
    virtual void OnHiddenChanged() {}
    virtual void OnBarStyleChanged(DWORD) {}
    virtual UINT GetToolInfo(std::int32_t x, std::int32_t y, TOOLINFO* info);
    virtual void ModifyState(int type, DWORD set, DWORD clear);
    virtual void CalcButtonSize();
    virtual void GetSaveData(std::int32_t& length, const std::uint8_t*&) { length = 0; }
    virtual void SetSaveData(std::int32_t, const std::uint8_t*) {}
    virtual LRESULT SendNotify(UINT code, LPARAM param1, LPARAM param2);
    virtual void DrawFace(TkBtnPaintContext& context, BOOL noBorder, std::int32_t& x, std::int32_t& y,
                          std::int32_t& cx, std::int32_t& cy, std::int32_t imageWidth);
    virtual void DrawDisabled(TkBtnPaintContext& context, std::int32_t x, std::int32_t y, std::int32_t cx,
                              std::int32_t cy);
    virtual void DrawChecked(TkBtnPaintContext& context, std::int32_t x, std::int32_t y, std::int32_t cx,
                             std::int32_t cy);
    virtual void DrawIndeterminate(TkBtnPaintContext& context, std::int32_t x, std::int32_t y,
                                   std::int32_t cx, std::int32_t cy);
    virtual void DrawSelectionFrame(TkBtnPaintContext& context);
    virtual void SelectImage(TkBtnPaintContext& context);
    virtual BOOL DrawSeparator(HDC barDC);
    virtual void DrawButton(TkBtnPaintContext& context);
    virtual void BlitImage(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                           TkBtnPaintContext& context, std::int32_t sx, std::int32_t sy);
    virtual void MakeTransparent(HDC barDC, TkBtnPaintContext& context);
    virtual void DrawCustomizeMark(TkBtnPaintContext& context);
    virtual void BlitToBar(HDC barDC, TkBtnPaintContext& context);
    virtual ~TkStdBtn() = default;
    virtual const TkBtnClass& GetBtnClass() const { return kClass; }

    void AttachToBar(TkCustomToolBar* bar);
    RECT GetBounds() const { return RECT{m_x, m_y, m_x + m_cx, m_y + m_cy}; }
    BOOL IsSeparator() const { return (m_dwStyle & TKBS_SEPARATOR) != 0; }
    // Null when the class's creation failed.
    static std::unique_ptr<TkStdBtn> CreateButtonOfClass(const TkBtnClass& btnClass);

protected:
    // Whether the frame of a pressed or checked button was drawn, for the face's contents.
    BOOL DrawFrames(TkBtnPaintContext& context, BOOL noBorder, std::int32_t& x, std::int32_t& y,
                    std::int32_t& cx, std::int32_t& cy);
};

// The text button of the menu bar that opens a popup menu.
class TkTBMenuBtn : public TkStdBtn {
public:
    TkTBMenuBtn() { m_nKind = TKBK_MENU; }

    std::string m_strText;
    UINT m_nMenuID = 0;
    std::int32_t m_nMenuIndex = 0;
    char m_cMnemonic = 0;
    DWORD m_dwMenuBit = 0;

    static const TkBtnClass kClass;

    void InitButton(TkCustomToolBar* bar, const std::uintptr_t* data) override;
    BOOL OnPress(std::int32_t x, std::int32_t y) override;
    void CalcButtonSize() override;
    void DrawFace(TkBtnPaintContext& context, BOOL noBorder, std::int32_t& x, std::int32_t& y,
                  std::int32_t& cx, std::int32_t& cy, std::int32_t imageWidth) override;
    void SelectImage(TkBtnPaintContext&) override {}
    const TkBtnClass& GetBtnClass() const override { return kClass; }

    virtual LRESULT OpenMenu();
    virtual char UpdateMnemonic();
};

} // namespace vq
