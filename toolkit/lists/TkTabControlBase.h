#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/Icon.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

// Notifications a tab strip sends its parent, all synchronously.
inline constexpr UINT TKTAB_ACTIVATED = WM_USER + 1000;
inline constexpr UINT TKTAB_DOUBLECLICKED = WM_USER + 1001;
inline constexpr UINT TKTAB_SELECTIONCLEARED = WM_USER + 1002;
inline constexpr UINT TKTAB_ACTIVECLICKED = WM_USER + 1003;

// What TKTAB_ACTIVATED carries: built on the sender's stack, valid only during the send. The
// first field is the sender's control id; a tab window puts its own there before passing it on.
struct TkTabActivation {
    std::int32_t id = 0;
    std::int32_t newIndex = -1;
    std::int32_t oldIndex = -1;
    Object* newClient = nullptr;
    Object* oldClient = nullptr;
};

// One tab of a strip: its label, its size as laid out, whether it is selected, and what it
// stands for (in a tab window, the tab's child window).
class TkTab : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkTab)
public:
    std::string m_label;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    BOOL m_selected = FALSE;
    Object* m_client = nullptr;
    void* m_user1 = nullptr;
    void* m_user2 = nullptr;
};

// The strip of tabs inside a tab window: the ordered tab records, the active tab, and the
// notifications to the parent. It draws nothing; the concrete strips lay out, paint and take
// input. Index operations given an index that names no tab do nothing and answer FALSE or null.
class TkTabControlBase : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkTabControlBase)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkTabControlBase();
    ~TkTabControlBase() override;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual void Initialize(DWORD /*style*/) {}
    virtual std::unique_ptr<TkTab> CreateNewTab();
    virtual void RecalcLayout() {}
    virtual void OnActivateTab(int /*index*/) {}
    virtual void DestroyGdiObjects() {}
    virtual TkTab* InsertTab(int index, const char* label, Object* client, void* user1, void* user2);
    virtual TkTab* AddTab(const char* label, Object* client, void* user1, void* user2);
    virtual void SetTabIcon(int /*index*/, const char* /*resource*/, int /*cx*/, int /*cy*/) {}
    virtual void SetTabIcon(int /*index*/, UINT /*resourceId*/, int /*cx*/, int /*cy*/) {}
    virtual void SetTabIcon(int /*index*/, HICON /*icon*/) {}
    virtual BOOL RemoveTab(int index);
    virtual BOOL RenameTab(int index, const char* label);
    virtual BOOL ActivateTab(int index);
    virtual void NotifyActiveTabClicked();
    virtual BOOL SelectTab(int index);
    virtual void ClearSelection();
    virtual void ScrollToTab(int /*index*/) {}
    virtual void InvalidateTab(int /*index*/) {}

    TkTab* GetTab(int index) const;
    int GetTabCount() const { return int(m_tabs.size()); }
    BOOL IsValidIndex(int index) const { return index >= 0 && index < GetTabCount(); }
    // The last tab standing for `client`.
    BOOL FindTab(const Object* client, int& index) const;
    BOOL TabExists(const Object* client) const;
    BOOL GetTabInfo(int index, const char*& label, BOOL& selected, Object*& client, void*& user1,
                    void*& user2) const;
    // Whether a tab is active; `index` gets it, or -1.
    BOOL GetActiveTab(int& index) const;

protected:
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    // The label a tab shows when asked for its information; the 3-D strip answers the full one.
    virtual const std::string& InfoLabel(const TkTab& tab) const { return tab.m_label; }
    void InvalidateFrom(int index);
    std::unique_ptr<TkTab> MakeTab(const char* label, Object* client, void* user1, void* user2);

    std::vector<std::unique_ptr<TkTab>> m_tabs;
    int m_nActiveIndex = 0;
    BOOL m_bHasActive = FALSE;
    HCURSOR m_hCursor = nullptr;
};

} // namespace vq
