#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/core/RuntimeClass.h"
#include "platform/gui/GdiObject.h"

#include <cstdint>
#include <string>

namespace vq {

// A rectangle of a calendar window that draws itself, not a window: a frame line, a raised or
// sunken bevel, a background with a text, and a mark ring, each layer present by its flags and
// state. The rectangle is inclusive: right and bottom belong to the panel.
class TkPanel : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkPanel)
public:
    // Display flags.
    enum : DWORD {
        bevelSelected = 0x2,
        bevelUnselected = 0x4,
        frameSelected = 0x8,
        frameUnselected = 0x10,
        markSelected = 0x20,
        markUnselected = 0x40,
        textCentred = 0x80,
        dimOtherMonth = 0x100,
        fullMonthNames = 0x10000000,
        fullDayNames = 0x20000000,
    };
    // Bits of the calendar's options word that panels read as their style.
    enum : DWORD {
        styleChooseOnPick = 0x100,
        stylePickOtherMonth = 0x200,
        styleCanSelect = 0x4000,
        styleCanMark = 0x8000,
        styleDragSelect = 0x1000000,
    };

    TkPanel();

    BOOL Create(const RECT& rect, CWnd* owner, DWORD windowStyle, UINT id, BOOL selected, BOOL marked,
                DWORD flags, DWORD style, std::int32_t bevelWidth);

    virtual BOOL DrawMarkRing(HDC dc);
    virtual BOOL Draw(HDC dc);
    virtual BOOL DrawBevel(HDC dc);
    virtual BOOL DrawFrame(HDC dc);
    virtual BOOL DrawBackground(HDC dc);
    virtual BOOL DrawText(HDC dc);

    RECT SetRect(const RECT& rect);
    RECT GetRect() const { return m_rect; }
    // The rectangle inside the layers, as the drawing calls take it (right and bottom excluded):
    // with the background one pixel wider it covers the bevel's innermost ring. Empty when the
    // layers leave no room.
    RECT GetContentRect() const;
    std::string SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }
    DWORD SetFlags(DWORD flags);
    DWORD GetFlags() const { return m_flags; }
    DWORD SetStyle(DWORD style);
    DWORD GetStyle() const { return m_style; }
    std::int32_t SetBevelWidth(std::int32_t width);
    std::int32_t GetBevelWidth() const { return m_bevelWidth; }
    BOOL SetSelected(BOOL selected, BOOL redraw);
    BOOL SetMarked(BOOL marked, BOOL redraw);
    BOOL IsSelected() const { return m_selected; }
    BOOL IsMarked() const { return m_marked; }
    // Selected and allowed to show it: a cell that may not be selected keeps its state unseen.
    BOOL ShowsSelected() const { return m_selected && (m_style & styleCanSelect); }
    COLORREF SetTextColor(COLORREF colour);
    void SetDimmedColor(COLORREF colour) { m_dimmedColor = colour; }
    COLORREF SetMarkColor(COLORREF colour);
    COLORREF GetMarkColor() const { return m_markColor; }
    BOOL PtInPanel(POINT point) const;
    CWnd* GetOwner() const { return m_owner; }

    // The insets of the layers from the rectangle's edge, computed again when the layout changed.
    std::int32_t GetFrameEnd() const;
    std::int32_t GetBevelEnd() const;
    std::int32_t GetContentInset() const;

protected:
    void ComputeInsets() const;
    // The extent of the text in a font made from the description.
    static SIZE TextExtent(HDC dc, const LOGFONT& font, const std::string& text);
    // Fitting starts from a height and width of at least 1, or doubling could never grow them.
    static void StartFitting(LOGFONT& font);
    // Doubling stops after this many rounds whatever the measure says.
    static constexpr int maxDoublings = 16;
    // Concentric one-pixel rectangles at insets `from` to `to`, both included.
    void DrawLayer(HDC dc, std::int32_t from, std::int32_t to, COLORREF topLeft, COLORREF bottomRight) const;
    void Redraw() const;

    COLORREF m_dimmedColor;
    CWnd* m_owner = nullptr;
    DWORD m_style = 0xC000;
    DWORD m_flags = 0x17F;
    std::string m_text;
    RECT m_rect;
    std::int32_t m_bevelWidth = 3;
    BOOL m_selected = FALSE;
    BOOL m_marked = FALSE;
    COLORREF m_frameColor = 0;
    COLORREF m_markColor = 255;
    COLORREF m_textColor;
    // The insets follow the state; they are worked out again when first read after a change.
    mutable BOOL m_layoutDirty = TRUE;
    BOOL m_created = FALSE;
    mutable std::int32_t m_frameEnd = 0;
    mutable std::int32_t m_bevelEnd = 0;
    mutable std::int32_t m_contentInset = 0;
};

} // namespace vq
