#pragma once

#include "toolkit/lists/Tk3DTabControl.h"
#include "toolkit/lists/TkTabWndBase.h"

namespace vq {

// Sent to a 3-D tab window before it switches tabs by Ctrl+Tab, Ctrl+Page Up or Ctrl+Page Down,
// with the key's MSG as lParam: an answer other than 0 takes the key.
inline constexpr UINT TKTAB_CTRLKEY = WM_USER + 117;

// The tab window whose raised tabs sit on any side of a bevelled page. The low word of the style
// it is created with chooses the side and look (TK3DTAB_* bits; bits 0-1 are a mode kept with
// them). With WS_TABSTOP it takes part in its dialog's Tab order: Tab goes from the strip into
// the page, through the page's controls and on to the windows after it, and the strip switches
// tabs with the arrow keys and Ctrl+Tab.
class Tk3DTabWnd : public TkTabWndBase {
    VQ_DECLARE_RUNTIME_CLASS(Tk3DTabWnd)
    VQ_DECLARE_MESSAGE_MAP()
public:
    Tk3DTabWnd();
    ~Tk3DTabWnd() override;

    BOOL Create(CWnd* parent, DWORD style, UINT id) override;
    BOOL CreateTabCtrl(DWORD style, UINT id) override;
    void GetInsideRect(RECT& rect) const override;
    void RecalcLayout() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void EnableTab(int index, BOOL enable);
    void EnableTab(CWnd* window, BOOL enable);
    BOOL IsTabEnabled(int index) const;
    BOOL IsTabEnabled(CWnd* window) const;
    // Replaces the look and side; the old flags.
    DWORD SetTabStyle(DWORD flags);
    // Makes the strip's fonts, pens and brushes afresh, as after a change of system colours.
    void RefreshTabCtrl();
    BOOL SetActiveTabFont(HFONT font, BOOL redraw = TRUE);
    BOOL SetTabFont(HFONT font, BOOL redraw = TRUE);
    HFONT GetActiveTabFont() const;
    HFONT GetTabFont() const;

    Tk3DTabControl* GetStrip() const { return static_cast<Tk3DTabControl*>(m_pTabCtrl.get()); }
    DWORD GetFlags() const { return m_dwFlags; }

    int m_nStripHeight = 30;
    int m_nStripWidth = 30;

protected:
    LRESULT OnNcCreate(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM type, LPARAM size);
    LRESULT OnEraseBkgnd(WPARAM dc, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnActivated(WPARAM index, LPARAM record);
    LRESULT OnSetFocus(WPARAM previous, LPARAM);

    Tk3DTabControl::Side Side() const;
    RECT StripRect() const;
    void DrawPageBorder(HDC dc, const RECT& inside) const;
    // Tab and Shift+Tab among the strip, the page's controls and the windows around.
    BOOL TabKey(MSG* msg, bool back);

    DWORD m_dwFlags = 0;
};

} // namespace vq
