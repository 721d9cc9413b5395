#pragma once

#include "platform/classlib/FrameWnd.h"
#include "platform/gui/MdiClient.h"

namespace vq {

class CMDIChildWnd;

// Commands of a window menu, by which the frame finds the popup that lists the open windows.
enum : UINT { ID_WINDOW_NEW = 0xE130, ID_WINDOW_ARRANGE = 0xE131, ID_WINDOW_CASCADE = 0xE132,
              ID_WINDOW_TILE_HORZ = 0xE133, ID_WINDOW_TILE_VERT = 0xE134, ID_WINDOW_SPLIT = 0xE135 };

// A frame whose documents live in child frames inside its MDI client. The active child's menu is
// the frame's menu; commands go to the active child before the frame.
class CMDIFrameWnd : public CFrameWnd {
    VQ_DECLARE_RUNTIME_CLASS(CMDIFrameWnd)
public:
    ~CMDIFrameWnd() override;

    HWND m_hWndMDIClient = 0;
    // The frame's own menu, shown while no child is active; the frame's object owns it.
    HMENU m_hMenuDefault = nullptr;

    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                   CCreateContext* context = nullptr) override;
    // The client with the window menu that lists the open windows.
    virtual BOOL CreateClient(HMENU windowMenu);
    // The popup of the menu that holds the window commands; null when none does.
    virtual HMENU GetWindowMenuPopup(HMENU menuBar);
    // The menu (`alternative`, else the default one) on the frame when no child takes it over.
    virtual void OnUpdateFrameMenu(HMENU alternative);

    CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
    void MDIActivate(CWnd* child);
    void MDINext();
    // The frame's menu and its window menu; the old frame menu.
    HMENU MDISetMenu(HMENU frameMenu, HMENU windowMenu);

    CFrameWnd* GetActiveFrame() override;
    // The title with the active child's document; the title alone without one.
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnCreateClient(CCreateContext* context) override;
};

// A document's frame inside the MDI client of the main frame.
class CMDIChildWnd : public CFrameWnd {
    VQ_DECLARE_RUNTIME_CLASS(CMDIChildWnd)
public:
    // The template's menu, shown on the frame while this child is active; not owned.
    HMENU m_hMenuShared = nullptr;

    // Made by the MDI client of `parent` (else of the application's main window).
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                   CCreateContext* context = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    CMDIFrameWnd* GetMDIFrame() const;
    void ActivateFrame(int cmdShow = -1) override;
    // The child's own caption, then its MDI frame's.
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    virtual void OnUpdateFrameMenu(BOOL activate, CWnd* activateWnd, HMENU alternative);
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Creates the window through the client, of the icon window class of `resourceId`; the
    // parent frame is `mdiFrame`.
    BOOL CreateInClient(CMDIFrameWnd* mdiFrame, UINT resourceId, DWORD style, CCreateContext* context);
    virtual void OnMDIActivate(BOOL activate, HWND activated, HWND deactivated);
};

} // namespace vq
