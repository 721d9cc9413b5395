#pragma once

#include "platform/classlib/MDIFrameWnd.h"
#include "platform/registry/Registry.h"
#include "toolkit/frames/TkChildFloatSite.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkDockBar.h"
#include "toolkit/frames/TkGradientCaption.h"
#include "toolkit/frames/TkWndPlugIn.h"

#include <map>
#include <memory>
#include <vector>

namespace vq {

class TkControlBar;
class TkControlBarManager;
class TkDockState;
class TkMDIFrameWnd;

// The frame resource of bars floated inside the main window: their frames show the main menu.
inline constexpr UINT IDR_TK_CHILDFLOAT = 20514;
// Commands of the workspace manager, handled by it when there is one.
enum : UINT {
    ID_WORKSPACE_NEW = 43007,
    ID_WORKSPACE_OPEN = 43008,
    ID_WORKSPACE_SAVE = 43009,
    ID_WORKSPACE_CLOSE = 43012,
    ID_WORKSPACE_SAVEAS = 43013,
    ID_WORKSPACE_DELETE = 43014,
    ID_WORKSPACE_MRU_FIRST = 43031,
    ID_WORKSPACE_MRU_LAST = 43039,
};
// The string of the bar menu's Float In Main Window item.
inline constexpr UINT IDS_TK_FLOATINMAIN = ID_BAR_FLOATINMAIN;
inline constexpr UINT WM_COMMANDHELP = 0x0365;
inline constexpr UINT WM_ENTERIDLE = 0x0121;

// What the frame asks of its menu bar and of the feature that drives it.
class TkMenuBarLink {
public:
    virtual ~TkMenuBarLink() = default;
    // The bar shows the menu of that id (a main frame's or a document type's).
    virtual void SelectMenu(UINT menuId) = 0;
    virtual UINT GetMenuId() const = 0;
    // The feature's switch: the bar's menu, then the frame's layout.
    virtual void SwitchMenu(UINT menuId) = 0;
    // An MDI menu bar shows the maximised child's system menu and caption buttons; TRUE when
    // something changed. Other bars answer FALSE.
    virtual BOOL UpdateCaptionButtons(BOOL force) = 0;
    virtual void SetHiddenForInPlace(BOOL hidden) = 0;
    virtual HWND GetBarWindow() const = 0;
};

// Makes the frame plug-in: the menu bar's feature when a menu bar is set, else the bitmap-menu
// plug-in when bitmap menus are on; null for none.
class TkFramePlugInFactory {
public:
    virtual ~TkFramePlugInFactory() = default;
    virtual std::unique_ptr<TkWndPlugIn> CreateFramePlugIn(TkMDIFrameWnd& frame, TkMenuBarLink* menuBar,
                                                           BOOL bitmapMenus) = 0;
};

// A workspace manager: a plug-in that learns where its workspaces are kept.
class TkWorkspaceManagerPlugIn : public TkWndPlugIn {
public:
    virtual void SetLocation(const char* locationKey, int storageMode, RegistryKey root, BOOL recentList) = 0;
};

// The help launcher: opens the application's help at a context id.
using TkHelpLauncher = void (*)(DWORD contextId);

// The toolkit's MDI main frame: the toolkit's docking with notifications around every dock and
// float, bars floated as MDI children, bar state through the toolkit's dock state, menus per
// document type on a menu bar, a floating active child, and two window plug-ins that see every
// message and command first.
class TkMDIFrameWnd : public CMDIFrameWnd, public TkDockingFrameHost {
    VQ_DECLARE_RUNTIME_CLASS(TkMDIFrameWnd)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkMDIFrameWnd();
    ~TkMDIFrameWnd() override;

    RECT m_rectLastLayout{};
    const RuntimeClass* m_pDockBarClass = nullptr;
    const RuntimeClass* m_pChildFloatClass = nullptr;
    std::int32_t m_nNextChildFloatX = 30;
    std::int32_t m_nNextChildFloatY = 30;
    CFrameWnd* m_pActiveFloatingChild = nullptr;
    TkControlBarManager* m_pControlBarManager = nullptr;
    BOOL m_bActivationGuard = FALSE;
    TkGradientCaption m_caption;
    BOOL m_bFloatInMainTransition = FALSE;
    TkMenuBarLink* m_pMenuBar = nullptr;
    std::unique_ptr<TkWndPlugIn> m_pFramePlugIn;
    BOOL m_bBitmapMenus = FALSE;
    BOOL m_bBitmapMenusSecond = FALSE;
    HMENU m_hMenuBarFrameMenu = nullptr;
    std::map<UINT, HMENU> m_mapExtraMenus;
    UINT m_nDefaultMenuId = 0;
    UINT m_nFrameResourceId = 0;
    std::vector<std::unique_ptr<CControlBar>> m_listOwnedObjects;
    std::unique_ptr<TkWorkspaceManagerPlugIn> m_pWorkspaceManager;
    // Seams filled by the program (and by tests).
    TkFramePlugInFactory* m_pPlugInFactory = nullptr;
    TkHelpLauncher m_pHelpLauncher = nullptr;

    // Docking.
    void EnableDocking(DWORD dockStyle, DWORD extraStyle = 0);
    virtual CDockBar* CreateDockBar();
    virtual void DockControlBarPlaced(CControlBar* bar, const TkDockPosition& placement, UINT dockBarId,
                                      float share, int length);
    virtual void DockControlBarPlacedAt(CControlBar* bar, UINT dockBarId, int row, int column, int share,
                                        int length);
    void DockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) override;
    void DockControlBar(CControlBar* bar, UINT dockBarId, const RECT* rect = nullptr);
    void ReDockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) override;
    // With a bar alone in a floating frame of a fitting style, only that frame moves.
    virtual void FloatControlBar(CControlBar* bar, std::int32_t x, std::int32_t y, DWORD style);
    // The dock context's float: always a fresh placement, always shown.
    void FloatControlBar(CControlBar* bar, POINT screen, DWORD style) override;
    virtual void FloatControlBarAsChild(CControlBar* bar, std::int32_t x, std::int32_t y, DWORD style);
    virtual CFrameWnd* CreateChildFloatingFrame(DWORD style, CControlBar* bar);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
    TkControlBar* FindControlBar(UINT controlId) const;
    void SetBarsHideInPlace();

    // Bar state.
    virtual void LoadBarState(const char* profile);
    virtual void SaveBarState(const char* profile);
    virtual TkControlBarManager* GetControlBarManager() const override { return m_pControlBarManager; }
    virtual void SetControlBarManager(TkControlBarManager* manager) { m_pControlBarManager = manager; }

    // The host interface of the docking parts.
    void FloatControlBarAsMDIChild(CControlBar* bar, POINT point, DWORD style) override;
    void FloatControlBarBack(CControlBar* bar, POINT point, DWORD style) override;
    CFrameWnd* CreateFloatingFrameAsMDIChild(DWORD style) override;
    BOOL IsToolkitMDIFrame() const override { return TRUE; }

    // Plug-ins, activation and routing.
    void EnableBitmapMenus(BOOL enable, BOOL second = FALSE);
    TkWorkspaceManagerPlugIn* CreateWorkspaceManager(const char* locationKey, int storageMode,
                                                     const RuntimeClass* managerClass, BOOL recentList);
    virtual void ActivateFloatingChild(CFrameWnd* frame);
    virtual void DeactivateFloatingChild(BOOL tellClient);
    virtual void OnFrameActivate(UINT state, CWnd* other, BOOL minimized);
    CFrameWnd* GetActiveFrame() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void RecalcLayout(BOOL notify = TRUE) override;

    // The painted title bar.
    BOOL EnableGradientCaption(BOOL enable, BOOL redraw = TRUE);
    void SetCaptionAlignment(int alignment, BOOL redraw = TRUE);
    // The fonts of the title part and of the rest; the caller deletes them.
    virtual HFONT CreateCaptionTitleFont();
    virtual HFONT CreateCaptionTextFont();
    virtual void DrawGradientCaption();
    // The frame's title with the active child's document, else with the active child's own title.
    void OnUpdateFrameTitle(BOOL addToTitle) override;

    // Menus per document type.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                   CCreateContext* context = nullptr) override;
    TkMenuBarLink* GetMenuBar() const { return m_pMenuBar; }
    virtual HMENU GetFrameMenu() const;
    HMENU GetCurrentMenu() const;
    virtual HMENU GetMenuById(UINT menuId) const;
    BOOL RegisterMenus(std::initializer_list<UINT> menuIds);
    void SetDefaultMenu(UINT menuId);
    virtual void SwitchMenu(UINT menuId);
    virtual void RefreshWindowMenu();
    virtual BOOL UpdateMenuBarButtons();
    void OnUpdateFrameMenu(HMENU alternative) override;
    // The registered message that asks for a popup of a menu by id (wParam) and index (lParam).
    static UINT GetMenuMessage();

protected:
    BOOL OnCreateClient(CCreateContext* context) override;
    void OnClose() override;
    BOOL IsCustomizing() const;
    LRESULT OnGradientNcActivate(BOOL active);
    LRESULT OnGradientMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The dock bar of the table entry whose alignment equals the bar's.
    CDockBar* DockBarForAlignment(DWORD barStyle) const;
    void Notify(CControlBar* bar, void (TkControlBar::*step)());
    LRESULT OnExtendBarMenu(WPARAM wParam, LPARAM lParam);
    void NoWorkspaceCommand() {}
    void OnUpdateNoWorkspaceCommand(CCmdUI*) {}
    BOOL RouteToActiveChild(UINT id, int code, void* extra, CmdHandlerInfo* info);
    CFrameWnd* ActiveChildFrame() const;
};

// An MDI child of a toolkit MDI frame: activation switches the menu bar to its menu id.
class TkMDIChildWnd : public CMDIChildWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkMDIChildWnd)
public:
    UINT m_nMenuId = 0;
    BOOL m_bMenuBarMode = FALSE;
    HMENU m_hLastAlternative = nullptr;

    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                   CCreateContext* context = nullptr) override;
    void OnUpdateFrameMenu(BOOL activate, CWnd* activateWnd, HMENU alternative) override;
    virtual void ApplyFrameMenu(CWnd* window) { OnUpdateFrameMenu(TRUE, window, m_hLastAlternative); }
    void SetMenuId(UINT menuId);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    // The main window when it is a toolkit MDI frame with a menu bar.
    TkMDIFrameWnd* MenuBarFrame() const;
    TkMDIFrameWnd* ToolkitFrame() const;
};

// The MDI child that hosts one bar floated inside the main window.
class TkControlBarMDIChildWnd : public TkChildFloatFrame<TkMDIChildWnd> {
    VQ_DECLARE_RUNTIME_CLASS(TkControlBarMDIChildWnd)
};

} // namespace vq
