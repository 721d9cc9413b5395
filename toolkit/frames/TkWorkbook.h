#pragma once

#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/Icon.h"
#include "toolkit/frames/TkMDIFrameWnd.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class TkWorksheet;

// The workbook refreshes the tabs of the old and the new active sheet.
inline constexpr UINT WM_TK_REFRESHTABS = WM_USER + 1101;
// A sheet's menu changed; the MDI client passes nothing on for -1 and has the tabs refreshed.
inline constexpr UINT WM_TK_SHEETMENU = WM_USER + 1102;

// The MDI client of a workbook: keeps margins around itself for the tab row.
class TkWorkbookClient : public CWnd {
public:
    std::int32_t m_nLeftMargin = 0;
    std::int32_t m_nTopMargin = 0;
    std::int32_t m_nRightMargin = 0;
    std::int32_t m_nBottomMargin = 0;

    void SetMargins(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    void CalcWindowRect(RECT* rect) const override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// The seven corners of a tab, the last one closing it on the first.
using TkTabPolygon = std::array<POINT, 7>;

// An MDI main frame that shows its children as a row of tabs under the MDI client, like the sheets
// of a workbook: each tab with the child's small icon and its title, a click activating the child.
class TkWorkbook : public TkMDIFrameWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkWorkbook)
public:
    TkWorkbook();
    ~TkWorkbook() override;

    std::vector<TkWorksheet*> m_arrSheets;
    BOOL m_bShowTabs = FALSE;
    BOOL m_bShowTabIcons = TRUE;
    // The stock GUI font: shared, never deleted.
    HFONT m_hTabFont = nullptr;
    std::unique_ptr<TkWorkbookClient> m_pClient;
    // Made with the client from the colours of that moment.
    HPEN m_hPenHighlight = nullptr;
    HPEN m_hPenBlack = nullptr;
    HPEN m_hPenShadow = nullptr;
    HPEN m_hPenFace = nullptr;
    std::int32_t m_nTabWidth = 100;
    std::int32_t m_nTabHeight = 23;
    std::int32_t m_nBevel = 2;
    std::int32_t m_nActiveExtraWidth = 4;
    std::int32_t m_nActiveExtraHeight = 2;
    std::int32_t m_nMaxTabWidth = 90;
    RECT m_rectLastTabLayout{};
    // Erasing fills the whole tab area, and a client that changed size repaints the whole frame.
    BOOL m_bFullRepaint = FALSE;
    std::int32_t m_nLastActive = 0;
    std::unique_ptr<CToolTipCtrl> m_pToolTip;

    void ShowTabs(BOOL on);
    void ShowTabIcons(BOOL on);
    // The command handlers of the two switches, for a frame's message map.
    void OnToggleTabs() { ShowTabs(!m_bShowTabs); }
    void OnUpdateToggleTabs(CCmdUI* ui) { ui->SetCheck(m_bShowTabs ? 1 : 0); }
    void OnToggleTabIcons() { ShowTabIcons(!m_bShowTabIcons); }
    void OnUpdateToggleTabIcons(CCmdUI* ui) { ui->SetCheck(m_bShowTabIcons ? 1 : 0); }

    TkWorksheet* GetSheet(int index) const;
    int GetSheetCount() const { return int(m_arrSheets.size()); }
    BOOL FindSheet(const TkWorksheet* sheet, int* index) const;

    // The MDI client's window rectangle in frame client coordinates, grown by its margins.
    virtual void GetTabAreaRect(RECT* rect) const;
    // A click on a tab activates its sheet only when this agrees.
    virtual BOOL CanActivateSheet(TkWorksheet* sheet);
    virtual void AddSheet(TkWorksheet* sheet);
    virtual void RemoveSheet(TkWorksheet* sheet);
    // The whole title fits the tab's text rectangle as it is with an icon, whether icons show.
    virtual BOOL TabTextFits(const TkWorksheet* sheet) const;
    virtual TkTabPolygon GetTabPolygon(const TkWorksheet* sheet) const;
    // The title of the sheet's active document, else the sheet's window text.
    virtual std::string GetSheetTitle(const TkWorksheet* sheet) const;
    virtual RECT GetTabTextRect(const TkTabPolygon& points, int iconWidth) const;
    virtual void DrawTabShape(HDC dc, const TkWorksheet* sheet);
    virtual void DrawClientBorder(HDC dc);
    virtual void DrawTabContent(HDC dc, const TkWorksheet* sheet);
    virtual HICON GetSheetIcon(const TkWorksheet* sheet) const;
    // The icon is the sheet's from now on; the one it replaces stays with the caller.
    virtual BOOL SetSheetIcon(TkWorksheet* sheet, HICON icon, BOOL redraw);

    // The title shortened until it fits the width: while too wide and at least four characters
    // long, one character goes and the last three become "...". Characters are whole UTF-8
    // sequences.
    static std::string FitTabTitle(HDC dc, std::string title, int width);

    std::intptr_t OnToolHitTest(POINT point, ToolHit* hit) const override;
    void RecalcLayout(BOOL notify = TRUE) override;
    BOOL CreateClient(HMENU windowMenu) override;
    CFrameWnd* CreateChildFloatingFrame(DWORD style, CControlBar* bar) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The sheet's tab (from its left edge to the frame's right one when asked) is drawn anew.
    void InvalidateTab(const TkWorksheet* sheet, BOOL toRightEdge);
    void InvalidateTabRow();

private:
    // The MDI client's window rectangle in frame client coordinates.
    RECT ClientRectInFrame() const;
    // The room the bars leave for the client.
    RECT AreaLeftByBars();
    int TabPosition(const TkWorksheet* sheet) const;
    int ComputeTabWidth() const;
    TkWorksheet* ActiveSheet() const;
    void TabBand(int position, BOOL toRightEdge, RECT* band) const;
    void OnPaint();
    void OnEraseBackground(HDC dc);
    void OnLeftButtonDown(POINT point);
    LRESULT OnRefreshTabs();
    void PaintTabs(HDC dc);
    SIZE m_sizeLastClient{};
};

// An MDI child that registers with its workbook and shows as one of its tabs.
class TkWorksheet : public TkMDIChildWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkWorksheet)
public:
    ~TkWorksheet() override;

    HICON m_hTabIcon = nullptr;
    std::int32_t m_nTabIndex = 0;
    // Set from the press on its tab until the button is released.
    BOOL m_bPressed = FALSE;

    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, CCreateContext* context = nullptr) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    void OnUpdateFrameMenu(BOOL activate, CWnd* activateWnd, HMENU alternative) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    TkWorkbook* Workbook() const;
};

// The worksheet that hosts one bar floated inside the workbook, with the bar's icon on its tab.
class TkControlBarWorksheet : public TkChildFloatFrame<TkWorksheet> {
    VQ_DECLARE_RUNTIME_CLASS(TkControlBarWorksheet)

protected:
    BOOL OnCreateClient(CCreateContext* context) override;
};

} // namespace vq
