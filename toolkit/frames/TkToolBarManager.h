#pragma once

#include "toolkit/frames/TkBtnPaintContext.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkStdBtn.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class CControlBar;
class CWnd;
class TkBmpMgr;
class TkCustomToolBar;

// Bar types the dock state records for the manager's bars.
enum : UINT { kCustomToolBarType = 14946, kMenuBarType = 14947 };
// Strings of the bars the manager names.
enum : UINT { IDS_TK_MENUBAR = 20619, IDS_TK_TOOLBAR_TITLE = 20674 };
// The cool look the program uses: flat borders and a gripper.
inline constexpr DWORD kCoolLookBits = 0x0300;

// What the customisable tool bars of a frame share: the default bar definitions, the image store,
// the paint context, the switches tool tips, fly-by, cool look and large buttons, the button maps,
// and the bookkeeping of customisation. GUI thread only.
class TkToolBarManager : public TkControlBarManager {
    VQ_DECLARE_RUNTIME_CLASS(TkToolBarManager)
public:
    struct DefaultBarInfo {
        UINT m_nBarID = 0;
        std::string m_strTitle;
        std::int32_t m_nCount = 0;
        const UINT* m_pIDs = nullptr;
        DWORD m_dwAlignment = 0;
        UINT m_nDockBarID = 0;
        UINT m_nDockAfterID = 0;
        BOOL m_bDocked = TRUE;
        BOOL m_bVisible = TRUE;
    };

    TkToolBarManager(CFrameWnd* frame, CWnd* owner);
    ~TkToolBarManager() override;
    TkToolBarManager(const TkToolBarManager&) = delete;
    TkToolBarManager& operator=(const TkToolBarManager&) = delete;

    BOOL LoadStateFromTree(TkPersistentTreeNode* node) override;
    void LoadStateFromProfile(const char* section) override;
    BOOL SaveStateToTree(TkPersistentTreeNodeFactory* factory, TkPersistentTreeNode* parent) override;
    void SaveStateToProfile(const char* section) override;
    UINT GetBarTypeId(CControlBar* bar) override;
    std::unique_ptr<Object> CreateBarInfoEx(TkControlBarInfo* info) override;
    CControlBar* CreateBarFromInfo(TkControlBarInfo* info) override;
    virtual TkCustomToolBar* BarFromScreenRect(const RECT& screen);
    virtual TkCustomToolBar* BarFromId(UINT id);
    virtual BOOL CreateDefaultBars();
    virtual BOOL ApplyLargeButtons();
    virtual void RefreshBars();

    void AddDefaultBar(UINT id, const char* title, std::int32_t count, const UINT* ids, DWORD alignment,
                       UINT dockBarId, UINT dockAfterId, BOOL docked, BOOL visible);
    // FALSE when the tool bar resource is missing or malformed.
    BOOL AddDefaultBarFromResource(UINT id, const char* title, UINT toolBar, DWORD alignment, UINT dockBarId,
                                   UINT dockAfterId, BOOL docked, BOOL visible);
    const DefaultBarInfo* FindDefaultBar(UINT id) const;
    BOOL LoadButtonImages(UINT normalToolBar, UINT largeToolBar);
    BOOL AddButtonImages(UINT normalToolBar, UINT largeToolBar);
    BOOL AddButtonImagesWithIds(UINT normalBitmap, UINT largeBitmap, const std::uint32_t* ids,
                                std::int32_t count);
    BOOL AddButtonBitmaps(HBITMAP normal, HBITMAP large, const std::uint32_t* ids, std::int32_t count);

    void SetToolTips(BOOL on);
    void SetFlyBy(BOOL on);
    void SetCoolLook(BOOL on, DWORD bits);
    void SetLargeButtons(BOOL on);
    BOOL GetToolTips() const { return m_bToolTips; }
    BOOL GetFlyBy() const { return m_bFlyBy; }
    BOOL GetCoolLook() const { return m_bCoolLook; }
    BOOL GetLargeButtons() const { return m_bLargeButtons; }

    void SetButtonMap(const TkBtnMapEntry* map) { m_pButtonMap = map; }
    const TkBtnMapEntry* GetButtonMap() const { return m_pButtonMap; }
    const TkBtnMapEntry* GetMenuButtonMap() const {
        return m_menuButtonMap.empty() ? nullptr : m_menuButtonMap.data();
    }
    void SetMenuButtonMap(std::vector<TkBtnMapEntry> map) { m_menuButtonMap = std::move(map); }
    void SetMenuBarButtons(int count, const UINT* ids) { m_menuBarIds.assign(ids, ids + count); }
    const std::vector<UINT>& GetMenuBarButtons() const { return m_menuBarIds; }

    void ApplyImageSize(TkCustomToolBar* bar);
    // Null when every user id is taken or the bar cannot be made.
    TkCustomToolBar* CreateUserBar(const char* title);
    void SetCustomizeMode(BOOL on);
    BOOL GetCustomizeMode() const { return m_bCustomizeMode; }
    void LockFrameForCustomize();
    void UnlockFrameAfterCustomize();
    BOOL IsFrameLocked() const { return m_bFrameLocked; }
    void RegisterDialog(CWnd* dialog);
    void UnregisterDialog(CWnd* dialog);
    void NotifyDialogs(UINT barId, int code);
    void SetCustomizeWindow(CWnd* window) { m_pCustomizeWnd = window; }
    RECT GetCustomizeWindowRect() const;
    void ApplyBarStyle(BOOL on, DWORD bits);
    void ApplyExtendedStyle(BOOL on, DWORD bits);
    void BroadcastButtonState(UINT id, DWORD set, DWORD clear);

    TkBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    TkBtnPaintContext& GetPaintContext() { return *m_pPaintContext; }
    TkCustomToolBar* GetSelectedBar() const { return m_pSelectedBar; }
    void SetSelectedBar(TkCustomToolBar* bar) { m_pSelectedBar = bar; }
    const std::vector<std::unique_ptr<DefaultBarInfo>>& GetDefaultBars() const { return m_defaultBars; }
    // The custom bars of the frame, the menu bar included, in the frame's control-bar order.
    std::vector<TkCustomToolBar*> GetCustomBars() const;

private:
    std::vector<HWND> m_disabledWindows;
    std::vector<std::unique_ptr<DefaultBarInfo>> m_defaultBars;
    // Id arrays read from tool bar resources, which the definitions refer to.
    std::vector<std::unique_ptr<UINT[]>> m_resourceIds;
    std::vector<CWnd*> m_dialogs;
    CWnd* m_pCustomizeWnd = nullptr;
    BOOL m_bFrameLocked = FALSE;
    BOOL m_bCustomizeMode = FALSE;
    BOOL m_bToolTips = TRUE;
    BOOL m_bFlyBy = TRUE;
    BOOL m_bCoolLook = FALSE;
    BOOL m_bLargeButtons = FALSE;
    const TkBtnMapEntry* m_pButtonMap = nullptr;
    std::vector<TkBtnMapEntry> m_menuButtonMap;
    TkCustomToolBar* m_pSelectedBar = nullptr;
    std::vector<UINT> m_menuBarIds;
    TkBmpMgr* m_pBmpMgr = nullptr;
    std::unique_ptr<TkBtnPaintContext> m_pPaintContext;
    CWnd* m_pOwnerWnd = nullptr;
    const RuntimeClass* m_pBarClass = nullptr;
    DWORD m_dwCoolBits = kCoolLookBits;

    DWORD BarStyle() const;
    // A new bar of the bar class, given the owner, the manager and the image store; null on failure.
    TkCustomToolBar* MakeBar();
    void DelayedFrameLayout();
};

} // namespace vq
