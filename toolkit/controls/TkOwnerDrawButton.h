#pragma once

#include "platform/classlib/Button.h"

namespace vq {

// The colours every owner-drawn button paints with, re-read from the system when a button is
// made and when any button hears of a colour change.
struct TkButtonColors {
    COLORREF frame = 0;
    COLORREF shadow = 0;
    COLORREF highlight = 0;
    COLORREF face = 0;
    COLORREF separatorShadow = 0;
    std::int32_t marginX = 5;
    std::int32_t marginY = 5;

    void Update();
};

extern TkButtonColors tkButtonColors;

// A push button that draws itself: the face and three-dimensional frame in the new or the old
// look, an embossed image when disabled, the focus rectangle, and one click operation for the
// mouse and the space bar. Subclasses draw the content and the focus rectangle.
class TkOwnerDrawButton : public CButton {
    VQ_DECLARE_RUNTIME_CLASS(TkOwnerDrawButton)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkOwnerDrawButton();

    virtual BOOL AttachButton(UINT id, CWnd* parent, DWORD buttonStyle);
    virtual BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                        DWORD buttonStyle);
    virtual void OnClicked() {}
    virtual UINT SetButtonStyle(UINT style, BOOL redraw);
    virtual void PreDraw(HDC /*screen*/, HDC /*memory*/) {}
    virtual RECT DrawFrame(HDC dc, const DRAWITEMSTRUCT* item);
    virtual void PostDraw(HDC /*screen*/, HDC /*memory*/) {}
    virtual void DrawDisabled(HDC dc, std::int32_t width, std::int32_t height);
    virtual void DrawFocusRect(HDC dc, const RECT& rect) = 0;
    virtual void DrawFocus(HDC dc, const DRAWITEMSTRUCT* item);
    virtual void DrawContent(HDC dc, const DRAWITEMSTRUCT* item, const RECT& content) = 0;

    void DrawItem(DRAWITEMSTRUCT* item) override;

    BOOL m_bNewLook = TRUE;
    DWORD m_nButtonStyle = 0;

protected:
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    LRESULT OnKeyUp(WPARAM key, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM point);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);

    // Whether a release at the point completes a click: inside, pushed and holding the capture.
    bool IsClickRelease(LPARAM point) const;

private:
    void DrawSequence(HDC screen, HDC target, const DRAWITEMSTRUCT* item, bool emboss);
};

} // namespace vq
