#pragma once

#include "toolkit/lists/TkTabControlBase.h"

namespace vq {

// Placement bits of a 3-D tab window and its strip, with the bits that change their look.
inline constexpr DWORD TK3DTAB_BOTTOM = 0x0010;
inline constexpr DWORD TK3DTAB_TOP = 0x0020;
inline constexpr DWORD TK3DTAB_LEFT = 0x0040;
inline constexpr DWORD TK3DTAB_RIGHT = 0x0080;
inline constexpr DWORD TK3DTAB_POSITIONS = 0x00F0;
inline constexpr DWORD TK3DTAB_FLATACTIVE = 0x0100;
inline constexpr DWORD TK3DTAB_INNEREDGE = 0x0200;
inline constexpr DWORD TK3DTAB_THINBORDER = 0x0400;
inline constexpr DWORD TK3DTAB_DRAGTABS = 0x0800;

// A raised tab: where the layout put it, its icon, whether it takes clicks, and the label the
// caller gave beside the one shown, which the layout may have shortened.
class Tk3DTab : public TkTab {
    VQ_DECLARE_RUNTIME_CLASS(Tk3DTab)
public:
    Tk3DTab() { m_width = 90; }

    RECT m_rect{};
    HICON m_hIcon = nullptr;
    BOOL m_bEnabled = TRUE;
    std::string m_fullLabel;
    BOOL m_bShortened = FALSE;
};

// The strip of raised tabs on one side of a page. Labels that do not fit are shortened and end
// in "...", the whole label then showing in a tool tip; tabs can be disabled, chosen with the
// arrow keys and, with TK3DTAB_DRAGTABS, dragged to another place.
class Tk3DTabControl : public TkTabControlBase {
    VQ_DECLARE_RUNTIME_CLASS(Tk3DTabControl)
    VQ_DECLARE_MESSAGE_MAP()
public:
    enum class Side { Bottom, Top, Left, Right, None };

    Tk3DTabControl();
    ~Tk3DTabControl() override;

    void Initialize(DWORD style) override;
    std::unique_ptr<TkTab> CreateNewTab() override;
    void RecalcLayout() override;
    void OnActivateTab(int index) override;
    void DestroyGdiObjects() override;
    TkTab* InsertTab(int index, const char* label, Object* client, void* user1, void* user2) override;
    TkTab* AddTab(const char* label, Object* client, void* user1, void* user2) override;
    BOOL RenameTab(int index, const char* label) override;
    void SetTabIcon(int index, const char* resource, int cx, int cy) override;
    void SetTabIcon(int index, UINT resourceId, int cx, int cy) override;
    void SetTabIcon(int index, HICON icon) override;
    void InvalidateTab(int index) override;

    virtual void CreateFonts(DWORD style);
    virtual BOOL EnableTab(int index, BOOL enable);
    virtual BOOL IsTabEnabled(int index) const;
    // Changes the window style; a new position turns the labels with it.
    virtual void SetTabStyle(DWORD remove, DWORD add, UINT flags);
    virtual void AutoFitLabels(int total, int minimum, int available);
    // Font 0 draws the other tabs, font 1 the active one; FALSE when the font cannot be made.
    virtual BOOL SetFont(HFONT font, int which, BOOL redraw);
    virtual BOOL GetTabRect(int index, RECT* rect) const;
    virtual void ComputeTabRect(int index, int x, int y, DWORD style);
    virtual void DrawTab(HDC dc, int index);
    virtual void FillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour);
    virtual void DrawBottomTab(HDC dc, Tk3DTab* tab, DWORD style);
    virtual void DrawTopTab(HDC dc, Tk3DTab* tab, DWORD style);
    virtual void DrawLeftTab(HDC dc, Tk3DTab* tab, DWORD style);
    virtual void DrawRightTab(HDC dc, Tk3DTab* tab, DWORD style);
    virtual void DrawTabContents(HDC dc, Tk3DTab* tab, DWORD style);
    virtual void DrawDisabled(HDC dc, int cx, int cy);

    // Shows every full label again; without auto-fit, labels are never shortened.
    void SetAutoFit(BOOL on);
    HFONT GetFont(int which) const { return which == 0 || which == 1 ? m_fonts[which] : nullptr; }
    Tk3DTab* Get3DTab(int index) const { return static_cast<Tk3DTab*>(GetTab(index)); }
    Side GetSide() const;
    // The first enabled tab holding the point, the active one first since it lies on top; -1.
    int TabFromPoint(POINT client) const;

    std::intptr_t OnToolHitTest(POINT point, ToolHit* hit) const override;

    BOOL m_bAutoFit = TRUE;
    int m_nTabHeight = 22;
    int m_nTabWidth = 22;
    int m_nLeftMargin = 7;
    int m_nTopMargin = 7;
    HFONT m_fonts[2] = {};
    HPEN m_pens[2] = {};
    HPEN m_shadowPen = nullptr;
    HPEN m_highlightPen = nullptr;
    HBRUSH m_brushes[2] = {};
    COLORREF m_inactiveTextColour = 0;
    COLORREF m_activeTextColour = 0;
    BOOL m_bShowLabels = TRUE;

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
    LRESULT OnLButtonDown(WPARAM, LPARAM point);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM point);
    LRESULT OnMouseMove(WPARAM, LPARAM point);
    LRESULT OnKeyDown(WPARAM key, LPARAM);
    LRESULT OnFocusChange(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnDestroyStrip(WPARAM, LPARAM);

    const std::string& InfoLabel(const TkTab& tab) const override;
    // Along the strip: the icon, and the label while labels show.
    int TabLength(HDC dc, const Tk3DTab& tab, const std::string& label) const;
    int TotalLength(bool fullLabels) const;
    void DrawPageEdge(HDC dc, const RECT& client) const;
    // Activates the nearest enabled tab before (step -1) or after (step 1) the active one.
    void StepTab(int step);
    void DragActiveTab(POINT point);
    // Whether the tab window holding the strip takes part in the Tab order.
    bool TabStops() const;
};

} // namespace vq
