#include "platform/classlib/DocManager.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/RegisteredMessage.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkMDIFrameWnd.h"
#include "toolkit/frames/TkToolBarManager.h"

namespace vq {

namespace {

bool FocusIn(const CView* view) {
    const HWND focus = GetFocus();
    return view && view->m_hWnd && focus && (focus == view->m_hWnd || IsChild(view->m_hWnd, focus));
}

} // namespace

VQ_BEGIN_MESSAGE_MAP(TkMDIFrameWnd, CMDIFrameWnd)
VQ_ON_MESSAGE(WM_EXTENDBARMENU, OnExtendBarMenu)
VQ_ON_COMMAND(ID_WORKSPACE_NEW, NoWorkspaceCommand)
VQ_ON_COMMAND(ID_WORKSPACE_OPEN, NoWorkspaceCommand)
VQ_ON_COMMAND(ID_WORKSPACE_SAVE, NoWorkspaceCommand)
VQ_ON_COMMAND(ID_WORKSPACE_CLOSE, NoWorkspaceCommand)
VQ_ON_COMMAND(ID_WORKSPACE_SAVEAS, NoWorkspaceCommand)
VQ_ON_COMMAND(ID_WORKSPACE_DELETE, NoWorkspaceCommand)
VQ_ON_COMMAND_RANGE(ID_WORKSPACE_MRU_FIRST, ID_WORKSPACE_MRU_LAST, NoWorkspaceCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_NEW, OnUpdateNoWorkspaceCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_OPEN, OnUpdateNoWorkspaceCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_SAVE, OnUpdateNoWorkspaceCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_CLOSE, OnUpdateNoWorkspaceCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_SAVEAS, OnUpdateNoWorkspaceCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_DELETE, OnUpdateNoWorkspaceCommand)
VQ_END_MESSAGE_MAP()

void TkMDIFrameWnd::EnableBitmapMenus(BOOL enable, BOOL second) {
    m_bBitmapMenus = enable;
    m_bBitmapMenusSecond = second;
}

TkWorkspaceManagerPlugIn* TkMDIFrameWnd::CreateWorkspaceManager(const char* locationKey, int storageMode,
                                                                const RuntimeClass* managerClass,
                                                                BOOL recentList) {
    if (!managerClass) return nullptr;
    std::unique_ptr<Object> object = managerClass->CreateObject();
    auto* manager = dynamic_cast<TkWorkspaceManagerPlugIn*>(object.get());
    if (!manager) return nullptr;
    object.release();
    std::unique_ptr<TkWorkspaceManagerPlugIn> owned(manager);
    owned->SetLocation(locationKey, storageMode, kRegistryCurrentUser, recentList);
    if (!owned->AttachToHost(this)) return nullptr;
    m_pWorkspaceManager = std::move(owned);
    return m_pWorkspaceManager.get();
}

BOOL TkMDIFrameWnd::IsCustomizing() const {
    const auto* manager = dynamic_cast<const TkToolBarManager*>(m_pControlBarManager);
    return manager && manager->GetCustomizeMode();
}

CFrameWnd* TkMDIFrameWnd::ActiveChildFrame() const {
    if (m_pActiveFloatingChild) return m_pActiveFloatingChild;
    return MDIGetActive();
}

CFrameWnd* TkMDIFrameWnd::GetActiveFrame() {
    return m_pActiveFloatingChild ? m_pActiveFloatingChild : CMDIFrameWnd::GetActiveFrame();
}

BOOL TkMDIFrameWnd::RouteToActiveChild(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    CFrameWnd* child = ActiveChildFrame();
    if (!child) return FALSE;
    // The child routes as itself; this frame's routing takes over again after it.
    CPushRoutingFrame saved(AfxGetRoutingFrame());
    return child->OnCmdMsg(id, code, extra, info);
}

BOOL TkMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (RouteToActiveChild(id, code, extra, info)) return TRUE;
    if (m_pWorkspaceManager) {
        m_pWorkspaceManager->m_bHandled = FALSE;
        const BOOL found = m_pWorkspaceManager->OnCmdMsg(id, code, extra, info);
        // A query for a handler runs none, so nothing sets the flag: the manager's answer tells,
        // or a menu would grey the manager's commands.
        const BOOL handled = info ? found : m_pWorkspaceManager->m_bHandled;
        m_pWorkspaceManager->m_bHandled = FALSE;
        if (handled) return TRUE;
    }
    return CFrameWnd::OnCmdMsg(id, code, extra, info);
}

BOOL TkMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (m_pActiveFloatingChild && m_pActiveFloatingChild->OnCommand(wParam, lParam)) return TRUE;
    return CMDIFrameWnd::OnCommand(wParam, lParam);
}

LRESULT TkMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The plug-in may be gone already (OnClose deletes it) while the window's last messages come.
    if (TkWndPlugIn* plugIn = m_pFramePlugIn.get()) {
        LRESULT result = 0;
        plugIn->OnWndMsg(message, wParam, lParam, &result);
        const BOOL handled = plugIn->m_bHandled;
        plugIn->m_bHandled = FALSE;
        if (handled) return result;
    }
    if (m_caption.IsOn() && (message == WM_NCACTIVATE || message == WM_NCPAINT || message == WM_SETTEXT))
        return OnGradientMessage(message, wParam, lParam);
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

LRESULT TkMDIFrameWnd::OnGradientMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCACTIVATE:
        return OnGradientNcActivate(BOOL(wParam));
    case WM_NCPAINT:
        if (TkGradientCaption::PaintFrameAround(m_hWnd, wParam)) DrawGradientCaption();
        return 0;
    default:
        // The layer must not paint its own caption over the title bar as the text changes.
        TkGradientCaption::DefaultWithoutFrame(
            m_hWnd, [&] { return CMDIFrameWnd::WindowProc(message, wParam, lParam); });
        DrawGradientCaption();
        return TRUE;
    }
}

LRESULT TkMDIFrameWnd::OnGradientNcActivate(BOOL active) {
    // While the tool bar manager customises, a floating window keeps no caption active.
    BOOL state = active;
    if (!IsWindowEnabled(m_hWnd)) state = FALSE;
    else if (IsStayActive() && !IsCustomizing()) state = TRUE;
    m_caption.m_bActive = state;
    if (CFrameWnd* child = GetActiveFrame(); child && child != this) {
        child->SendMessage(WM_NCACTIVATE, state);
        child->SendMessage(WM_NCPAINT, 1);
    }
    const LRESULT result = TkGradientCaption::DefaultWithoutFrame(
        m_hWnd, [&] { return ::vq::DefWindowProc(m_hWnd, WM_NCACTIVATE, WPARAM(state), 0); });
    ::vq::SendMessage(m_hWnd, WM_NCPAINT, 1, 0);
    return result;
}

BOOL TkMDIFrameWnd::EnableGradientCaption(BOOL enable, BOOL redraw) {
    return m_caption.Enable(m_hWnd, enable, redraw);
}

void TkMDIFrameWnd::SetCaptionAlignment(int alignment, BOOL redraw) {
    m_caption.SetAlignment(m_hWnd, alignment, redraw);
}

HFONT TkMDIFrameWnd::CreateCaptionTitleFont() {
    return TkGradientCaption::CaptionFont(true);
}

HFONT TkMDIFrameWnd::CreateCaptionTextFont() {
    return TkGradientCaption::CaptionFont(false);
}

void TkMDIFrameWnd::DrawGradientCaption() {
    HFONT title = CreateCaptionTitleFont();
    HFONT text = CreateCaptionTextFont();
    m_caption.Draw(m_hWnd, title, text);
    DeleteObject(title);
    DeleteObject(text);
}

void TkMDIFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CFrameWnd* active = GetActiveFrame();
    const bool child = active && active != this;
    if (addToTitle && child && !IsZoomed(active->m_hWnd)) {
        CDocument* document = GetActiveDocument();
        if (!document) document = active->GetActiveDocument();
        if (document) {
            UpdateFrameTitleForDocument(document->GetTitle().c_str());
            return;
        }
    }
    const std::string own = child ? active->GetWindowText() : std::string();
    UpdateFrameTitleForDocument(own.empty() ? nullptr : own.c_str());
}

BOOL TkMDIFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_pFramePlugIn && m_pFramePlugIn->PreTranslateMessage(msg)) return TRUE;
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE && IsCustomizing()) return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(msg);
}

void TkMDIFrameWnd::ActivateFloatingChild(CFrameWnd* frame) {
    if (frame == m_pActiveFloatingChild) return;
    DeactivateFloatingChild(frame == nullptr);
    if (CView* old = GetActiveFrame()->GetActiveView(); old && FocusIn(old)) old->OnActivateView(FALSE, old, old);
    if (frame) frame->SendMessage(WM_NCACTIVATE, TRUE);
    m_pActiveFloatingChild = frame;
    if (frame) {
        // No MDI child is shown active while a frame outside the client stands in for it.
        ::vq::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, 0, 0);
        ::vq::SendMessage(m_hWndMDIClient, WM_NCACTIVATE, FALSE, 0);
    }
    if (CView* view = GetActiveFrame()->GetActiveView(); view && !FocusIn(view)) {
        SetFocus(view->m_hWnd);
        view->OnActivateView(TRUE, view, view);
    }
    OnUpdateFrameTitle(TRUE);
    OnUpdateFrameMenu(nullptr);
}

void TkMDIFrameWnd::DeactivateFloatingChild(BOOL tellClient) {
    if (CFrameWnd* frame = m_pActiveFloatingChild) {
        if (CView* view = frame->GetActiveView()) view->OnActivateView(FALSE, view, view);
        frame->SendMessage(WM_NCACTIVATE, FALSE);
        m_pActiveFloatingChild = nullptr;
        SetFocus(0);
    }
    if (tellClient) {
        ::vq::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, 0, 0);
        ::vq::SendMessage(m_hWndMDIClient, WM_NCACTIVATE, TRUE, 0);
    }
}

void TkMDIFrameWnd::OnFrameActivate(UINT state, CWnd*, BOOL) {
    if (m_bActivationGuard) return;
    const HWND front = GetForegroundWindow();
    CView* view = GetActiveView();
    if (!view) view = GetActiveFrame()->GetActiveView();
    if (!view) return;
    if (GetForegroundWindow() != front) {
        // Finding the view brought another window forward: the one that was in front stays there.
        const HWND keep = front ? front : (IsWindow(m_hWnd) ? m_hWnd : 0);
        m_bActivationGuard = TRUE;
        SetActiveWindow(keep);
        if (keep) SetForegroundWindow(keep);
        m_bActivationGuard = FALSE;
    }
    view->OnActivateFrame(state, this);
}

BOOL TkMDIFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == GetMenuMessage()) {
        HMENU menu = GetMenuById(UINT(wParam));
        *result = LRESULT(menu ? GetSubMenu(menu, int(lParam)) : nullptr);
        return TRUE;
    }
    switch (message) {
    case WM_CREATE: {
        if (CMDIFrameWnd::OnWndMsg(message, wParam, lParam, result) && *result == -1) return TRUE;
        if (m_pPlugInFactory) m_pFramePlugIn = m_pPlugInFactory->CreateFramePlugIn(*this, m_pMenuBar, m_bBitmapMenus);
        if (m_pFramePlugIn) m_pFramePlugIn->AttachToHost(this);
        *result = 0;
        return TRUE;
    }
    case WM_SYSCOLORCHANGE: {
        tkSysMetrics.UpdateSysColors();
        // Passed on to every window inside, the custom tool bars among them, which rebuild their
        // images from the new colours.
        CMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
        *result = 0;
        return TRUE;
    }
    case WM_ENTERIDLE:
        if (wParam == 0 && IsCustomizing() && IsLayoutPending()) {
            RecalcLayout((m_nIdleFlags & idleNotify) != 0);
            UpdateWindow(m_hWnd);
        }
        break;
    case WM_ACTIVATEAPP:
        if (m_pActiveFloatingChild) {
            PostMessage(WM_MDIACTIVATE, 0, 0);
            PostMessage(WM_NCACTIVATE, 0, 0);
        }
        break;
    case WM_ACTIVATE:
        CMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
        OnFrameActivate(LOWORD(wParam), FromHandlePermanent(HWND(lParam)), HIWORD(wParam));
        return TRUE;
    case WM_COMMANDHELP: {
        DWORD helpId = DWORD(lParam);
        if (CFrameWnd* child = ActiveChildFrame(); child && child->SendMessage(WM_COMMANDHELP, wParam, lParam)) {
            *result = TRUE;
            return TRUE;
        }
        if (helpId && m_pHelpLauncher) m_pHelpLauncher(helpId);
        *result = TRUE;
        return TRUE;
    }
    case WM_NCHITTEST:
        if (IsCustomizing()) {
            *result = HTERROR;
            return TRUE;
        }
        break;
    case WM_ENABLE:
    case WM_NCACTIVATE:
        if (IsCustomizing()) m_bStayActive = FALSE;
        break;
    default:
        break;
    }
    return CMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
}

void TkMDIFrameWnd::OnClose() {
    CWinApp* app = AfxGetApp();
    const bool mainWindow = app && app->m_pMainWnd == this;
    if (mainWindow && app->m_pDocManager) {
        if (!app->m_pDocManager->SaveAllModified()) return;
    } else if (CDocument* document = GetActiveFrame()->GetActiveDocument();
               document && !document->CanCloseFrame(GetActiveFrame())) {
        return;
    }
    if (mainWindow && app->m_pDocManager) app->m_pDocManager->CloseAllDocuments(FALSE);
    // The plug-in goes before the window; the messages of the window's end find none.
    m_pFramePlugIn.reset();
    DestroyWindow();
}

} // namespace vq
