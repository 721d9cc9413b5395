#pragma once

#include "platform/classlib/Dialog.h"
#include "platform/classlib/TabCtrl.h"

#include <string>
#include <vector>

namespace vq {

class CPropertySheet;

// The sheet's Apply button.
inline constexpr UINT ID_APPLY_NOW = 0x3021;
// The sheet's tab control.
inline constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;

// One page of a property sheet: a child dialog made from its template the first time the sheet
// shows it, whose fields are exchanged when it is shown again and when it is left.
class CPropertyPage : public CDialog {
    VQ_DECLARE_RUNTIME_CLASS(CPropertyPage)
public:
    // The tab shows the string of `captionId`, or without one the template's caption.
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    // The page is about to show: its fields go to its controls, except at the first showing,
    // which its WM_INITDIALOG did. FALSE keeps it from being shown.
    virtual BOOL OnSetActive();
    // The page is about to be left, or the sheet to close with OK or Apply: its fields are saved;
    // FALSE (a field failed) keeps the page.
    virtual BOOL OnKillActive();
    // The sheet closes with OK: nothing by default. Reached through OnApply.
    void OnOK() override;
    // The sheet closes with Cancel: nothing by default. Reached through OnReset.
    void OnCancel() override;
    // The changes are dropped: by default OnCancel.
    virtual void OnReset();
    // The changes are to take effect (OK or Apply): by default OnOK; FALSE keeps the sheet open.
    virtual BOOL OnApply();
    // Marks the page changed, which enables the sheet's Apply button, or unchanged.
    void SetModified(BOOL changed = TRUE);
    BOOL IsModified() const { return m_bChanged; }
    const std::string& GetCaption() const { return m_strCaption; }

    // The sheet handles the dialog keys of its pages.
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    friend class CPropertySheet;
    // Makes the page's window in the sheet at the rectangle, hidden.
    BOOL CreatePage(CPropertySheet* sheet, const RECT& rect);

    std::string m_strCaption;
    CPropertySheet* m_pSheet = nullptr;
    BOOL m_bFirstSetActive = TRUE;
    BOOL m_bChanged = FALSE;
};

// A modal dialog of pages under one row of tabs, with OK, Cancel and Apply. Pages are made when
// first shown. The user changes pages by the tabs and by Ctrl+Tab or Ctrl+PageDown (forward),
// Ctrl+Shift+Tab or Ctrl+PageUp (back); the page being left may refuse. OK and Apply apply every
// page made so far; Cancel resets them.
class CPropertySheet : public CDialog {
    VQ_DECLARE_RUNTIME_CLASS(CPropertySheet)
public:
    explicit CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);

    // The page stays the caller's; it must outlive the sheet's window.
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return int(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetActiveIndex() const { return m_active; }
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }
    // Shows the page as the program's choice: the tabs report nothing; FALSE when the page being
    // left refuses or the index is outside.
    BOOL SetActivePage(int index);
    CTabCtrl* GetTabControl() { return &m_tab; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    friend class CPropertyPage;
    void OnPageModified();
    // The page that is left agrees to go.
    BOOL LeaveActivePage();
    // Shows the page at the index (made when first shown) in place of the active one.
    BOOL ShowPage(int index);
    // A change of page as if the user had chosen the tab: the tabs report it to the sheet.
    void UserSelect(int index);
    BOOL ApplyAll();
    // Tab and Shift+Tab run from the tabs through the page to the buttons.
    HWND NextTabStop(HWND from, bool previous) const;
    void OnOKButton();
    void OnCancelButton();
    void OnApplyButton();

    std::vector<CPropertyPage*> m_pages;
    CTabCtrl m_tab;
    RECT m_pageRect;
    int m_active = -1;
    UINT m_startPage = 0;
};

} // namespace vq
