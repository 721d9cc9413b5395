#pragma once

#include "platform/classlib/FrameWnd.h"
#include "toolkit/lists/TkTabControlBase.h"

#include <memory>

namespace vq {

// The child id of a tab window's strip, and the first id of the views it makes itself.
inline constexpr UINT TKTAB_STRIP_ID = 59952;
inline constexpr UINT TKTAB_FIRST_VIEW_ID = 60160;

// A child window that shows one of its child windows (as a rule a view) at a time, with a strip
// of tabs, one per window, to switch between them. It makes the views from their run-time
// classes, shows and hides them, hands the focus and its frame's active view to the one shown,
// and passes activations on to its notify window. The strip's look, the layout and the keys
// belong to the concrete tab windows: the base makes no strip, so a bare base cannot be created.
// Operations naming a window no tab holds, or an index that names no tab, do nothing.
class TkTabWndBase : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkTabWndBase)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkTabWndBase();
    ~TkTabWndBase() override;

    virtual BOOL Create(CWnd* parent, DWORD style, UINT id);
    virtual BOOL CreateScrollBar(DWORD style, UINT id);
    virtual BOOL CreateTabCtrl(DWORD /*style*/, UINT /*id*/) { return FALSE; }
    virtual TkTab* InsertTab(const RuntimeClass* viewClass, int index, const char* label,
                             CCreateContext* context, UINT id);
    virtual TkTab* InsertTab(CWnd* window, int index, const char* label);
    virtual TkTab* AddTab(const RuntimeClass* viewClass, const char* label, CCreateContext* context, UINT id);
    virtual TkTab* AddTab(CWnd* window, const char* label);
    virtual void SetTabIcon(int index, const char* resource, int cx, int cy);
    virtual void SetTabIcon(int index, UINT resourceId, int cx, int cy);
    virtual void SetTabIcon(int index, HICON icon);
    virtual void SetScrollStyle(int /*index*/, DWORD /*style*/) {}
    virtual BOOL RemoveTab(int index);
    virtual BOOL RemoveTab(CWnd* window);
    virtual BOOL RenameTab(int index, const char* label);
    virtual BOOL RenameTab(CWnd* window, const char* label);
    virtual BOOL ActivateTab(int index);
    virtual BOOL ActivateTab(CWnd* window);
    virtual BOOL ActivateTab(CWnd* window, int index);
    virtual void ClearSelection();
    virtual void ScrollToTab(int index);
    virtual void ScrollToTab(CWnd* window);
    virtual void FocusActiveTab();
    virtual CWnd* SetNotifyWnd(CWnd* window);
    virtual CWnd* GetNotifyWnd() const { return m_pNotifyWnd; }
    virtual void GetInsideRect(RECT& rect) const;
    virtual void RecalcLayout() {}

    // The generic creation entry makes the tab window from the parent, style and id alone.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) override;

    int GetTabCount() const;
    BOOL IsValidIndex(int index) const;
    BOOL TabExists(CWnd* window) const;
    // The last tab holding `window`.
    BOOL FindTab(CWnd* window, int& index) const;
    BOOL GetTabInfo(int index, const char*& label, BOOL& selected, CWnd*& window, void*& extra) const;
    BOOL GetActiveTab(int& index) const;
    // Leaves `window` as it was when no tab is active.
    BOOL GetActiveWnd(CWnd*& window) const;
    CWnd* CreateView(const RuntimeClass* viewClass, CCreateContext* context, UINT id);
    TkTabControlBase* GetTabControl() const { return m_pTabCtrl.get(); }

    // The nearest tab window above `window`, not counting the window itself.
    static TkTabWndBase* FindTabWnd(CWnd* window);

protected:
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnChildActivate(WPARAM, LPARAM);
    LRESULT OnTabActivated(WPARAM index, LPARAM record);
    LRESULT OnActiveTabClicked(WPARAM, LPARAM);
    // The window of tab `index`, or null when the index names no tab.
    CWnd* TabWindow(int index) const;
    // Gives the focus to the active window.
    void FocusWindow(CWnd* window);
    // What the concrete windows do with an activation from their strip: their own id into the
    // record, the tab activated, the notification passed on.
    void ForwardActivation(WPARAM index, LPARAM record);

    std::unique_ptr<TkTabControlBase> m_pTabCtrl;
    CWnd* m_pActiveWnd = nullptr;
    CWnd* m_pCreatingWnd = nullptr;
    CWnd* m_pNotifyWnd = nullptr;
};

} // namespace vq
