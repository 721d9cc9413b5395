#pragma once

#include "mdi.h"
#include "platform/classlib/DocManager.h"
#include "platform/classlib/DocTemplate.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/WindowPlacement.h"
#include "tests/support/TestPaths.h"
#include "toolkit/frames/TkMDIFrameWnd.h"
#include "toolkit/frames/TkMiniDockFrameWnd.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vq::test {

// Who took which command or message, in order.
std::vector<std::string>& Log();

class MdiDoc : public CDocument {
    VQ_DECLARE_RUNTIME_CLASS(MdiDoc)
    VQ_DECLARE_MESSAGE_MAP()
public:
    static inline bool refuseClose = false;
    BOOL SaveModified() override { return refuseClose ? FALSE : TRUE; }
    BOOL CanCloseFrame(CFrameWnd*) override { return refuseClose ? FALSE : TRUE; }
    void OnDocCommand() { Log().push_back("doc " + GetTitle()); }
};

class MdiView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(MdiView)
    VQ_DECLARE_MESSAGE_MAP()
public:
    void OnDraw(HDC) override {}
    // The frame the last view command was routed through.
    static inline CFrameWnd* routedThrough = nullptr;
    void OnViewCommand() {
        routedThrough = AfxGetRoutingFrame();
        Log().push_back("view " + GetDocument()->GetTitle());
    }
};

class MdiChild : public TkMDIChildWnd {
    VQ_DECLARE_RUNTIME_CLASS(MdiChild)
};

class MdiApp : public CWinApp {
    VQ_DECLARE_MESSAGE_MAP()
public:
    void OnAppCommand() { Log().push_back("app"); }
};

class MdiWorkspace : public TkWorkspaceManagerPlugIn {
    VQ_DECLARE_RUNTIME_CLASS(MdiWorkspace)
    VQ_DECLARE_MESSAGE_MAP()
public:
    std::string location;
    void SetLocation(const char* key, int, RegistryKey, BOOL) override { location = key ? key : ""; }
    void OnWorkspaceCommand() {
        Log().push_back("workspace");
        m_bHandled = TRUE;
    }
};

// The frame plug-in: logs every message it sees, takes WM_USER + 7 fully.
class SpyFramePlugIn : public TkWndPlugIn {
public:
    static inline bool alive = false;
    static inline std::vector<UINT> seen;
    SpyFramePlugIn() { alive = true; }
    ~SpyFramePlugIn() override {
        alive = false;
        Log().push_back("plug-in deleted");
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        seen.push_back(message);
        const BOOL handled = TkWndPlugIn::OnWndMsg(message, wParam, lParam, result);
        if (message == WM_USER + 7) {
            m_bHandled = TRUE;
            *result = 77;
        }
        return handled;
    }
};

// A menu bar on the seam: remembers the id it shows and whether caption buttons show.
class FakeMenuBar : public TkMenuBarLink {
public:
    UINT id = 0;
    bool buttons = false;
    bool hiddenInPlace = false;
    CMDIFrameWnd* frame = nullptr;
    std::vector<UINT> switches;
    void SelectMenu(UINT menuId) override { id = menuId; }
    UINT GetMenuId() const override { return id; }
    void SwitchMenu(UINT menuId) override {
        switches.push_back(menuId);
        id = menuId;
    }
    BOOL UpdateCaptionButtons(BOOL) override {
        CMDIChildWnd* active = frame ? frame->MDIGetActive() : nullptr;
        const bool wanted = active && IsZoomed(active->m_hWnd);
        const bool changed = wanted != buttons;
        buttons = wanted;
        return changed;
    }
    void SetHiddenForInPlace(BOOL hidden) override { hiddenInPlace = hidden; }
    HWND GetBarWindow() const override { return 0; }
};

class SpyFactory : public TkFramePlugInFactory {
public:
    std::unique_ptr<TkWndPlugIn> CreateFramePlugIn(TkMDIFrameWnd&, TkMenuBarLink*, BOOL) override {
        return std::make_unique<SpyFramePlugIn>();
    }
};

class MdiTestFrame : public TkMDIFrameWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    int userMessages = 0;
    // The context menu a bar built last, as the bar hands it over to be extended.
    static inline HMENU lastBarMenu = nullptr;
    LRESULT OnUser7(WPARAM, LPARAM) { return ++userMessages; }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_EXTENDBARMENU) lastBarMenu = reinterpret_cast<HMENU>(lParam);
        return TkMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
    }
    void OnFrameCommand() { Log().push_back("frame"); }
};

// A sizing bar that logs its notifications.
class SpyBar : public TkControlBar {
public:
    void OnPreDock() override { Log().push_back(Name() + " pre-dock"); }
    void OnDocked() override { Log().push_back(Name() + " docked"); }
    void OnPreFloat() override { Log().push_back(Name() + " pre-float"); }
    void OnFloated() override { Log().push_back(Name() + " floated"); }
    void OnPreFloatAsMDIChild() override { Log().push_back(Name() + " pre-child"); }
    void OnFloatedAsMDIChild() override { Log().push_back(Name() + " child"); }
    std::string Name() const { return "bar " + std::to_string(GetDlgCtrlID()); }
};

class MdiFrameTest : public ::testing::Test {
protected:
    MdiApp app;
    FakeMenuBar menuBar;
    SpyFactory factory;
    MdiTestFrame* frame = nullptr;
    CMultiDocTemplate* docTemplate = nullptr;
    std::vector<std::unique_ptr<SpyBar>> bars;

    void SetUp() override;
    void TearDown() override;
    // The frame, with the menu bar on the seam when asked.
    void MakeFrame(bool withMenuBar);
    CDocument* NewDocument();
    MdiChild* ChildOf(CDocument* document) const;
    SpyBar* MakeBar(UINT id, DWORD exStyle = 0x0F50 | CBX_CONTEXTMENU | CBX_MDIFLOAT);
    TkDockBar* Dock(UINT id) const { return dynamic_cast<TkDockBar*>(frame->GetControlBar(id)); }
    RECT InClient(HWND window) const;
    void Idle();
    void SaveShot(HWND window, const char* name);
};

} // namespace vq::test
