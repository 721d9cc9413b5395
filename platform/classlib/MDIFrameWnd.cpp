#include "platform/classlib/MDIFrameWnd.h"

#include "platform/classlib/DocTemplate.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/res/Resources.h"

namespace vq {

namespace {

bool IsWindowCommand(UINT id) {
    return id >= ID_WINDOW_NEW && id <= ID_WINDOW_SPLIT;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
VQ_IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

CMDIFrameWnd::~CMDIFrameWnd() {
    if (m_hMenuDefault) DestroyMenu(m_hMenuDefault);
}

BOOL CMDIFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    if (m_hWnd) return FALSE;
    // The client needs the window menu while the frame is being created.
    if (!m_hMenuDefault) m_hMenuDefault = LoadMenu(resourceId);
    if (!CFrameWnd::LoadFrame(resourceId, style, parent, context)) return FALSE;
    if (m_hMenuDefault) SetMenu(m_hWnd, m_hMenuDefault);
    return TRUE;
}

BOOL CMDIFrameWnd::OnCreateClient(CCreateContext*) {
    return CreateClient(GetWindowMenuPopup(m_hMenuDefault));
}

BOOL CMDIFrameWnd::CreateClient(HMENU windowMenu) {
    CLIENTCREATESTRUCT ccs;
    ccs.hWindowMenu = windowMenu;
    RECT client;
    GetClientRect(m_hWnd, &client);
    m_hWndMDIClient = CreateWindowEx(WS_EX_CLIENTEDGE, MdiClientClassName(), "",
                                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                     client.Width(), client.Height(), m_hWnd, AFX_IDW_PANE_FIRST, &ccs);
    return m_hWndMDIClient != 0;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU menuBar) {
    if (!menuBar) return nullptr;
    for (int i = GetMenuItemCount(menuBar) - 1; i >= 0; --i) {
        HMENU popup = GetSubMenu(menuBar, i);
        if (!popup) continue;
        for (int j = 0; j < GetMenuItemCount(popup); ++j)
            if (IsWindowCommand(GetMenuItemID(popup, j))) return popup;
    }
    return nullptr;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU alternative) {
    if (CMDIChildWnd* child = MDIGetActive()) {
        child->OnUpdateFrameMenu(TRUE, child, alternative);
        return;
    }
    HMENU menu = alternative ? alternative : m_hMenuDefault;
    MDISetMenu(menu, GetWindowMenuPopup(menu));
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
    if (!m_hWndMDIClient) return nullptr;
    const HWND active = HWND(::vq::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
    return dynamic_cast<CMDIChildWnd*>(FromHandlePermanent(active));
}

void CMDIFrameWnd::MDIActivate(CWnd* child) {
    if (child) ::vq::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, WPARAM(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext() {
    ::vq::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

HMENU CMDIFrameWnd::MDISetMenu(HMENU frameMenu, HMENU windowMenu) {
    const LRESULT old = ::vq::SendMessage(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(frameMenu),
                                          reinterpret_cast<LPARAM>(windowMenu));
    DrawMenuBar(m_hWnd);
    return reinterpret_cast<HMENU>(old);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    CMDIChildWnd* child = MDIGetActive();
    return child ? static_cast<CFrameWnd*>(child) : this;
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    const CMDIChildWnd* child = addToTitle ? MDIGetActive() : nullptr;
    const CDocument* document = child ? child->GetActiveDocument() : nullptr;
    UpdateFrameTitleForDocument(document ? document->GetTitle().c_str() : nullptr);
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCmdMsg(id, code, extra, info)) return TRUE;
    return CFrameWnd::OnCmdMsg(id, code, extra, info);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCommand(wParam, lParam)) return TRUE;
    if (CFrameWnd::OnCommand(wParam, lParam)) return TRUE;
    // Window-list entries and system commands from a menu belong to the default procedure.
    const UINT id = LOWORD(wParam);
    if (lParam == 0 && (id & 0xF000) == 0xF000) {
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
    if (CMDIChildWnd* child = MDIGetActive(); child && child->m_hWnd != msg->hwnd) {
        if (child->GetAccelerators() && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
            TranslateAccelerator(m_hWnd, child->GetAccelerators(), msg))
            return TRUE;
    }
    if (TranslateMDISysAccel(m_hWndMDIClient, msg)) return TRUE;
    return CFrameWnd::PreTranslateMessage(msg);
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProc(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    auto* mdiFrame = dynamic_cast<CMDIFrameWnd*>(parent);
    if (!mdiFrame)
        if (CWinApp* app = AfxGetApp()) mdiFrame = dynamic_cast<CMDIFrameWnd*>(app->m_pMainWnd);
    if (!mdiFrame || !mdiFrame->m_hWndMDIClient || m_hWnd) return FALSE;
    if (auto* tmpl = context ? dynamic_cast<CMultiDocTemplate*>(context->m_pNewDocTemplate) : nullptr)
        m_hMenuShared = tmpl->m_hMenuShared;
    m_nIDResource = resourceId;
    m_strTitle = ResourceTitle(resourceId);
    if (!m_hAccelTable) m_hAccelTable = LoadAccelerators(resourceId);
    return CreateInClient(mdiFrame, resourceId, style, context);
}

BOOL CMDIChildWnd::CreateInClient(CMDIFrameWnd* mdiFrame, UINT resourceId, DWORD style, CCreateContext* context) {
    CREATESTRUCT cs;
    cs.lpszClass = IconWindowClassName(resourceId);
    cs.lpszName = m_strTitle.c_str();
    cs.style = style | WS_CHILD;
    cs.hwndParent = mdiFrame->m_hWndMDIClient;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    if (!PreCreateWindow(cs) || !cs.lpszClass) return FALSE;
    MDICREATESTRUCT mcs;
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = cs.style;
    m_pCreatingContext = context;
    const HWND client = mdiFrame->m_hWndMDIClient;
    const BOOL created = CreateThrough([&] {
        return HWND(::vq::SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    });
    m_pCreatingContext = nullptr;
    return created;
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
    const HWND client = ::vq::GetParent(m_hWnd);
    return client ? dynamic_cast<CMDIFrameWnd*>(FromHandlePermanent(::vq::GetParent(client))) : nullptr;
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
    ShowWindow(m_hWnd, cmdShow == -1 ? SW_SHOW : cmdShow);
    MDIActivate();
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL activate, CWnd* activateWnd, HMENU alternative) {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame) return;
    if (!activate && activateWnd) return;
    HMENU menu = activate ? (alternative ? alternative : m_hMenuShared) : frame->m_hMenuDefault;
    if (!menu) menu = frame->m_hMenuDefault;
    frame->MDISetMenu(menu, frame->GetWindowMenuPopup(menu));
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    CFrameWnd::OnUpdateFrameTitle(addToTitle);
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(addToTitle);
}

void CMDIChildWnd::MDIDestroy() {
    if (CMDIFrameWnd* frame = GetMDIFrame()) ::vq::SendMessage(frame->m_hWndMDIClient, WM_MDIDESTROY, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::MDIActivate() {
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize() {
    if (CMDIFrameWnd* frame = GetMDIFrame())
        ::vq::SendMessage(frame->m_hWndMDIClient, WM_MDIMAXIMIZE, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore() {
    if (CMDIFrameWnd* frame = GetMDIFrame()) ::vq::SendMessage(frame->m_hWndMDIClient, WM_MDIRESTORE, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::OnMDIActivate(BOOL activate, HWND activated, HWND) {
    if (activate) {
        OnUpdateFrameMenu(TRUE, this, nullptr);
        OnUpdateFrameTitle(TRUE);
        if (CView* view = GetActiveView()) view->OnActivateView(TRUE, view, view);
    } else {
        if (CView* view = GetActiveView()) view->OnActivateView(FALSE, view, view);
        OnUpdateFrameMenu(FALSE, FromHandlePermanent(activated), nullptr);
        // The last child went: the frame's caption loses its document.
        if (!activated)
            if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(TRUE);
    }
}

BOOL CMDIChildWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_MDIACTIVATE) {
        OnMDIActivate(HWND(lParam) == m_hWnd, HWND(lParam), HWND(wParam));
        *result = 0;
        return TRUE;
    }
    return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CWnd::DefWindowProc(message, wParam, lParam);
    return DefMDIChildProc(m_hWnd, message, wParam, lParam);
}

} // namespace vq
