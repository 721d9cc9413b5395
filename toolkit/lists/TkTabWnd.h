#pragma once

#include "platform/gui/ControlTypes.h"
#include "toolkit/lists/TkTabControl.h"
#include "toolkit/lists/TkTabWndBase.h"

#include <vector>

namespace vq {

// Child ids of the shared scroll bars.
inline constexpr UINT TKTAB_HSCROLL_ID = 60416;
inline constexpr UINT TKTAB_VSCROLL_ID = 60671;
// The application's cursor for the sizer between the strip and the horizontal bar.
inline constexpr UINT TKTAB_SIZER_CURSOR = 30980;

// The tab window with flat tabs in a row below the page. The row holds the strip, a sizer the
// user drags to share the row, and a horizontal scroll bar; a vertical bar sits right of the
// page. Both bars are shared by the tabs' windows: each tab declares which it uses, keeps its
// positions while hidden, and gets the bars' messages while shown. Style bit 0x2 gives the strip
// all four scroll buttons, else 0x1 gives previous and next.
class TkTabWnd : public TkTabWndBase {
    VQ_DECLARE_RUNTIME_CLASS(TkTabWnd)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkTabWnd();
    ~TkTabWnd() override;

    BOOL Create(CWnd* parent, DWORD style, UINT id) override;
    BOOL CreateTabCtrl(DWORD style, UINT id) override;
    TkTab* InsertTab(CWnd* window, int index, const char* label) override;
    using TkTabWndBase::ActivateTab;
    using TkTabWndBase::InsertTab;
    using TkTabWndBase::RemoveTab;
    void SetScrollStyle(int index, DWORD style) override;
    BOOL RemoveTab(int index) override;
    BOOL ActivateTab(CWnd* window, int index) override;
    void GetInsideRect(RECT& rect) const override;
    void RecalcLayout() override;
    // The shared bar (0 horizontal, 1 vertical) the tab of `window` (the active window when
    // null) uses, or null.
    virtual HWND GetScrollBarCtrl(int bar, CWnd* window) const;

    BOOL SetTabFont(HFONT font, BOOL redraw = TRUE);
    BOOL SetSelectedTabFont(HFONT font, BOOL redraw = TRUE);
    BOOL SetActiveTabFont(HFONT font, BOOL redraw = TRUE);
    HFONT GetTabFont() const;
    HFONT GetSelectedTabFont() const;
    HFONT GetActiveTabFont() const;

    TkTabControl* GetStrip() const { return static_cast<TkTabControl*>(m_pTabCtrl.get()); }
    RECT SizerRect() const;
    int StripWidth() const { return m_nStripWidth; }

protected:
    LRESULT OnNcCreate(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM type, LPARAM size);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM dc, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM point);
    LRESULT OnMouseMove(WPARAM, LPARAM point);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM window, LPARAM hit);
    LRESULT OnScroll(WPARAM, LPARAM);
    LRESULT OnHScroll(WPARAM code, LPARAM bar);
    LRESULT OnVScroll(WPARAM code, LPARAM bar);
    LRESULT OnActivated(WPARAM index, LPARAM record);

    // The scroll style of the tab of `window`, 0 for none.
    DWORD ScrollStyleOf(CWnd* window) const;
    HWND Bar(int bar) const;
    void SaveBars(CWnd* window);
    void RestoreBars(CWnd* window);

    int m_nStripWidth = 0;
    int m_nRowHeight = 0;
    int m_nVBarWidth = 0;
    int m_nHBarHeight = 0;
    int m_nSizerWidth = 5;
    int m_nGrabOffset = 0;
    BOOL m_bTracking = FALSE;
    BOOL m_bOverSizer = FALSE;
    BOOL m_bFirstSize = TRUE;
    HCURSOR m_hSizerCursor = nullptr;
    HCURSOR m_hArrowCursor = nullptr;
    int m_nScrollMode = 0;
    std::vector<SCROLLINFO> m_hStates;
    std::vector<SCROLLINFO> m_vStates;
    std::vector<DWORD> m_scrollStyles;
};

// The same window under a run-time class of its own.
class Tk2DTabWnd : public TkTabWnd {
    VQ_DECLARE_RUNTIME_CLASS(Tk2DTabWnd)
};

} // namespace vq
