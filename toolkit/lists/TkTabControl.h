#pragma once

#include "toolkit/lists/TkTabControlBase.h"

namespace vq {

// The flat strip: trapezoid tabs in a row below the page, overlapping by 5 pixels, with small
// arrow buttons at the left end that scroll the tabs sideways when they do not fit, and Ctrl and
// Shift clicks that select several tabs.
class TkTabControl : public TkTabControlBase {
    VQ_DECLARE_RUNTIME_CLASS(TkTabControl)
    VQ_DECLARE_MESSAGE_MAP()
public:
    enum Button : DWORD { kFirst = 0x1, kPrevious = 0x2, kNext = 0x4, kLast = 0x8 };

    TkTabControl();
    ~TkTabControl() override;

    void Initialize(DWORD style) override;
    void RecalcLayout() override;
    TkTab* InsertTab(int index, const char* label, Object* client, void* user1, void* user2) override;
    void ScrollToTab(int index) override;
    void InvalidateTab(int index) override;
    virtual void DrawTab(HDC dc, int index, HRGN shape);
    virtual BOOL SetFont(HFONT font, int which, BOOL redraw);
    HFONT GetFont(int which) const { return which >= 0 && which < 3 ? m_fonts[which] : nullptr; }

    // Where tab `index` starts, and its outline: the first tab whose outline holds a point is
    // the one hit. Null for an index that names no tab.
    std::int32_t TabLeft(int index) const;
    HRGN CreateTabShape(int index) const;
    int TabFromPoint(POINT client) const;
    // The client rectangle less the buttons at its left.
    RECT TabsArea() const;
    RECT ButtonRect(Button button) const;

    int m_nOffset = 0;
    int m_nRowHeight = 0;
    BOOL m_bMultiSelect = TRUE;
    DWORD m_buttons = 0;
    DWORD m_pressedButton = 0;
    DWORD m_disabledButtons = 0;
    int m_nButtonWidth = 0;
    int m_nButtonHeight = 0;
    COLORREF m_textColours[3] = {0, 0, 0};

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM dc, LPARAM);
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point);
    LRESULT OnLButtonDblClk(WPARAM keys, LPARAM point);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnDestroyStrip(WPARAM, LPARAM);

    void DestroyGdiObjects() override;
    void DrawButton(HDC dc, Button button) const;
    // Clamps the offset, enables and disables the buttons, and scrolls the tabs by any change.
    void UpdateScrollButtons();
    // The button under a point, 0 for none.
    DWORD ButtonAt(POINT client) const;
    void PressButton(DWORD button);
    void StepButton(DWORD button);
    // Holds the button until it is released, repeating previous and next on a timer.
    void TrackButton(DWORD button);
    void ClickTab(int index, WPARAM keys);
    std::int32_t LastTabRightUnscrolled() const;

    HFONT m_fonts[3] = {};
    HPEN m_pens[3] = {};
    HPEN m_shadowPen = nullptr;
    HBRUSH m_brushes[3] = {};
    // The offset the pixels on screen were drawn at, so a change scrolls them.
    int m_nDrawnOffset = 0;
};

} // namespace vq
