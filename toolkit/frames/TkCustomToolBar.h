#pragma once

#include "platform/gui/ToolBarTypes.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkStdBtn.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

class TkBmpMgr;
class TkBtnPaintContext;
class TkToolBarManager;

// The toolkit's messages and extended style of tool bars: change notices to the customisation
// dialogs, a style change announced to the frame, a hide that must not wait for the next layout.
// Ids clear of dialog, property sheet, control and thread messages.
inline constexpr UINT WM_BARNOTIFY = WM_USER + 0x3A0;
inline constexpr UINT WM_TOOLBARSTYLECHANGING = WM_USER + 0x3A1;
inline constexpr UINT WM_NODELAYHIDE = WM_USER + 0x3A2;
inline constexpr DWORD CBX_TRANSPARENT = 0x1000;

// Notification codes of the bars beside TBN_DROPDOWN.
inline constexpr UINT TKN_DROPMENU = UINT(-2120);
inline constexpr UINT TKN_DROPNOMENU = UINT(-2121);
inline constexpr UINT TKN_MENUMODEBEGIN = UINT(-2122);
inline constexpr UINT TKN_MENUMODEEND = UINT(-2123);

// What a bar tells its owner with WM_NOTIFY. The fields are those of the 60-byte record of 32-bit
// builds; receivers read them by name.
struct TkToolBarNotify {
    NMHDR hdr;
    std::int32_t iItem = 0;
    TBBUTTON tbButton;
    std::int32_t cchText = 0;
    std::uint32_t pszText = 0;
    std::int32_t nIndex = -1;
    LPARAM lParam1 = 0;
    LPARAM lParam2 = 0;
    std::uint32_t dwReserved = 0;
};

// The hot-tracking timer of cool-look bars.
inline constexpr std::uintptr_t kHotTimerId = 57346;

// The toolkit's tool bar: a docking control bar holding an ordered array of button objects that it
// draws itself from the shared image store and wraps into rows.
class TkCustomToolBar : public TkControlBar {
    VQ_DECLARE_RUNTIME_CLASS(TkCustomToolBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    using TkBtnArray = std::vector<std::unique_ptr<TkStdBtn>>;

    TkCustomToolBar();
    ~TkCustomToolBar() override;

    TkBmpMgr* m_pBmpMgr = nullptr;
    std::int32_t m_nSeparatorWidth = 8;
    std::int32_t m_nCurrent = -1;
    std::int32_t m_nHot = -1;
    std::int32_t m_nMenuSel = -1;
    BOOL m_bCustomize = FALSE;
    std::unique_ptr<TkBtnPaintContext> m_pOwnPaint;
    DWORD m_dwOrientation = 0;
    BOOL m_bDirtyFloat = TRUE;
    BOOL m_bDirtyHorz = TRUE;
    BOOL m_bDirtyVert = TRUE;
    SIZE m_szHorz{0, 0};
    SIZE m_szVert{0, 0};
    SIZE m_szFloat{0, 0};
    HFONT m_hFont = nullptr;
    const TkBtnMapEntry* m_pPrimaryMap = nullptr;
    std::vector<TkBtnMapEntry> m_secondaryMap;
    BOOL m_bMenuMode = FALSE;
    std::int32_t m_nWidestButton = 0;
    TkBtnArray m_buttons;

    // Set while a bar posts a button's command or a drop-down button notifies: clicks then go to
    // the bar itself and hot tracking waits.
    static BOOL IsCommandInProgress();
    static void SetCommandInProgress(BOOL on);

    std::intptr_t OnToolHitTest(POINT point, ToolHit* hit) const override;
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    void DoPaint(HDC dc) override;
    void DelayShow(BOOL show) override;
    void OnBarStyleChange(DWORD oldStyle, DWORD newStyle) override;
    BOOL CreateEx(const char* className, const char* title, UINT id, DWORD style, DWORD exStyle,
                  const RECT& rect, CWnd* parent) override;
    void DrawBorders(HDC dc, RECT& rect) override;
    void AdjustForGripper(RECT& rect, BOOL horz) override;
    void OnGetBarInfoEx(TkControlBarInfo* info) override;
    void OnSetBarInfoEx(TkControlBarInfo* info, CFrameWnd* frame) override;
    BOOL IsCustomToolBar() const override { return TRUE; }

    virtual BOOL CreateToolBar(CWnd* parent, DWORD style, UINT id, const char* title);
    virtual BOOL CreateToolBarEx(DWORD exStyle, CWnd* parent, DWORD style, UINT id, const char* title);
    // FALSE when the index is outside the array, or when an emptied user bar destroyed itself: the
    // bar is deleted then, and the caller must not touch it again.
    virtual BOOL RemoveButton(int index, BOOL noUpdate);
    virtual void InsertButton(int index, UINT id, BOOL separator, BOOL noUpdate);
    virtual std::int32_t GetImageIndex(UINT id, HBITMAP* bitmap);
    virtual void OnImageSizeChanged(std::int32_t width, std::int32_t height);
    virtual BOOL SetButtons(const UINT* ids, int count);
    virtual void FitToParent(SizeParentParams* layout);
    virtual LRESULT OpenButtonMenu(TkStdBtn* button, UINT menuId, std::int32_t itemIndex);
    virtual void PressMenuButton(int index);
    virtual void BeginMenuMode(int index);
    virtual int BeginMenuModeAtPoint(POINT client);
    virtual LRESULT EndMenuMode();
    virtual BOOL IsMenuMode() const { return m_bMenuMode; }
    virtual int GetFirstMenuButton() const;
    virtual int GetLastMenuButton() const;
    virtual int GetFirstPopupButton() const;
    virtual int GetNextMenuButton(BOOL forward) const;
    virtual HFONT GetBarFont() const { return m_hFont; }
    virtual HFONT GetMenuFont() const { return m_hFont; }
    struct RowInfo {
        int last = 0;
        BOOL endsAtSeparator = FALSE;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };
    virtual void BalanceRows(int rowCount, std::vector<RowInfo>& rows);
    virtual BOOL IsCopyDrag() const;
    virtual BOOL AcceptsDrops() const { return TRUE; }
    virtual void RemoveAllButtons();
    virtual BOOL IsCoolLook() const { return (m_dwExStyle & CBX_FLATBORDERS) != 0; }
    virtual std::int32_t GetImageWidth() const;
    virtual std::int32_t GetImageHeight() const;
    virtual std::int32_t GetButtonWidth() const { return GetImageWidth() + 7; }
    virtual std::int32_t GetButtonHeight() const { return GetImageHeight() + 7; }
    virtual std::int32_t GetSeparatorWidth() const { return (GetImageWidth() + 8) / 3; }
    virtual std::int32_t GetSeparatorHeight() const { return GetImageHeight() + 7; }
    virtual BOOL FilterMenuModeMessage(const MSG& msg);
    virtual void CancelMenuButton();
    virtual void UpdateReBarBand(CWnd* rebar, SIZE size);
    virtual int WrapButtons(std::int32_t length, std::vector<RowInfo>& rows);
    virtual SIZE CalcWrappedSize(std::int32_t length, BOOL lengthIsHeight);
    virtual SIZE CalcLayout(int length, DWORD mode);
    virtual void InvalidateButton(int index);
    virtual int ButtonFromPoint(std::int32_t x, std::int32_t y, RECT* rect) const;
    virtual void UpdateButton(int index);
    virtual std::unique_ptr<TkStdBtn> CreateButton(UINT id, TkCustomToolBar* owner);
    virtual std::unique_ptr<TkStdBtn> CreateSeparator(TkCustomToolBar* owner);

    int GetButtonCount() const { return int(m_buttons.size()); }
    int IndexOfCommand(UINT id) const;
    int IndexOfButton(const TkStdBtn* button) const;
    UINT GetButtonCommand(int index) const;
    TkStdBtn* GetButtonAt(int index) const;
    RECT GetButtonRect(int index) const;
    DWORD GetButtonStyle(int index) const;
    void SetButtonStyle(int index, DWORD style);
    void SetButtonHidden(int index, BOOL hidden);
    // A state change is the bits to set and the bits to clear; with `allBars` every bar of the
    // manager that shows the command takes it.
    void SetStateForCommand(UINT id, DWORD set, DWORD clear, BOOL allBars);
    void EnableCustomize(BOOL on);
    void NotifyManager(int code);
    void SetOrientation(DWORD orientation);
    void SetBarButtonMap(const TkBtnMapEntry* map) { m_pPrimaryMap = map; }
    const TkBtnMapEntry* GetBarButtonMap() const { return m_pPrimaryMap; }
    void ClearSelection(BOOL redraw);
    void UpdateHotButton(BOOL updateNow);
    TkBtnPaintContext* GetPaintContext();
    BOOL LoadButtonsFromResource(UINT toolBar);
    BOOL LoadButtonsWithImages(UINT bitmap, const UINT* ids, int count);
    // Takes the manager's image store and paint context instead of the bar's own.
    void AttachManager(TkToolBarManager* manager, TkBmpMgr* store);
    TkToolBarManager* GetToolBarManager() const;
    // The window that gets the bar's commands and notifications: the owner, else the parent.
    HWND GetNotifyWindow() const;
    LRESULT SendNotify(UINT code, const TkStdBtn* button, LPARAM param1, LPARAM param2);

protected:
    LRESULT OnLButtonDownMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClkMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMoveMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUpMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelModeMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseActivateMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimerMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindowMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChangingMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChangedMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroyMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnNoDelayHide(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddButtons(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteButton(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeParentMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChangeMsg(WPARAM wParam, LPARAM lParam);

private:
    // The pointer went down on a button: press it, or hand the click to the bar.
    void PressAt(POINT p);
    void RedrawButtonNow(int index);
    void StopHotTimer();
    // A row of the layout: the buttons from `first` to `last`, one row high, centred.
    void CentreRow(int first, int last, std::int32_t rowHeight);
    SIZE CalcRowsSize(int rowCount, const std::vector<RowInfo>& rows) const;
    BOOL CascadeAllows(int row, int rowCount, std::vector<RowInfo>& rows);
    BOOL IsUserBar() const;

    BOOL m_bHotTimer = FALSE;
};

// The group bar of the Commands page of the customisation sheet: always customising, never
// balanced, copying what is dragged from it and taking no drops.
class TkCustomizeToolBar : public TkCustomToolBar {
    VQ_DECLARE_RUNTIME_CLASS(TkCustomizeToolBar)
public:
    TkCustomizeToolBar() { m_bCustomize = TRUE; }

    void BalanceRows(int, std::vector<RowInfo>&) override {}
    BOOL IsCopyDrag() const override { return TRUE; }
    BOOL AcceptsDrops() const override { return FALSE; }
    virtual void SetGroupWidth(const RECT& rect);
};

// User bars the manager makes take ids from this range; the menu bar has the last one.
inline constexpr UINT kFirstUserBarId = 59424;
inline constexpr UINT kMenuBarId = 59647;

} // namespace vq
