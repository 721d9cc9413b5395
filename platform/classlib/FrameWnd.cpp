#include "platform/classlib/FrameWnd.h"

#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/Accelerators.h"
#include "platform/res/Resources.h"

#include <memory>

namespace vq {

namespace {

std::string_view ResourceText(std::uint32_t id) {
    const auto bytes = FindResource(RT_STRING, id);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Only windows with objects take part: a form's plain controls have nothing to initialise.
void SendToObjectsBelow(HWND window, UINT message) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (CWnd::FromHandlePermanent(child)) ::vq::SendMessage(child, message, 0, 0);
        SendToObjectsBelow(child, message);
    }
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

CFrameWnd::~CFrameWnd() {
    if (m_hAccelTable) DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    if (m_hWnd) return FALSE;
    const std::string_view text = ResourceText(resourceId);
    m_strTitle = text.substr(0, text.find('\n'));
    if (!m_hAccelTable) m_hAccelTable = LoadAccelerators(resourceId);
    m_pCreatingContext = context;
    const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    const BOOL created = CreateEx(0, nullptr, m_strTitle.c_str(), style, rect, parent, 0);
    m_pCreatingContext = nullptr;
    return created;
}

BOOL CFrameWnd::OnCreateClient(CCreateContext* context) {
    if (!context || !context->m_pNewViewClass) return TRUE;
    return CreateView(*context, AFX_IDW_PANE_FIRST) != nullptr;
}

CView* CFrameWnd::CreateView(const CCreateContext& context, UINT id) {
    if (!context.m_pNewViewClass) return nullptr;
    std::unique_ptr<Object> object = context.m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object.get());
    if (!view) return nullptr;
    RECT client;
    GetClientRect(m_hWnd, &client);
    view->m_bCreatingInFrame = true;
    const BOOL created = view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, id);
    view->m_bCreatingInFrame = false;
    if (!created) return nullptr;
    // From here on the window owns its view.
    object.release();
    if (context.m_pCurrentDoc) context.m_pCurrentDoc->AddView(view);
    return view;
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
    CView* const old = m_pViewActive;
    if (view == old) return;
    m_pViewActive = nullptr;
    if (notify && old) old->OnActivateView(FALSE, view, old);
    m_pViewActive = view;
    if (notify && view) view->OnActivateView(TRUE, view, old);
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
    if (!m_pViewActive)
        if (auto* first = dynamic_cast<CView*>(GetDlgItem(AFX_IDW_PANE_FIRST))) SetActiveView(first, FALSE);
    SendToObjectsBelow(m_hWnd, WM_INITIALUPDATE);
    if (makeVisible) {
        ActivateFrame();
        if (CView* view = m_pViewActive) view->OnActivateView(TRUE, view, view);
    }
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int cmdShow) {
    ShowWindow(m_hWnd, cmdShow == -1 ? SW_SHOW : cmdShow);
    if (!(GetStyle() & WS_CHILD)) SetActiveWindow(m_hWnd);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    if (!addToTitle || !(GetStyle() & FWS_ADDTOTITLE)) return;
    const CDocument* document = GetActiveDocument();
    if (!document) return;
    std::string caption;
    if (m_strTitle.empty())
        caption = document->GetTitle();
    else if (GetStyle() & FWS_PREFIXTITLE)
        caption = document->GetTitle() + " - " + m_strTitle;
    else
        caption = m_strTitle + " - " + document->GetTitle();
    if (caption != GetWindowText()) SetWindowText(caption.c_str());
}

void CFrameWnd::OnClose() {
    CDocument* document = GetActiveDocument();
    if (document && !document->CanCloseFrame(this)) return;
    if (document && document->m_bAutoDelete && !document->IsShownByOtherFrame(this)) {
        // Closing the document takes this frame and the document's other windows with it.
        document->OnCloseDocument();
        return;
    }
    DestroyWindow();
}

void CFrameWnd::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, info)) return TRUE;
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(id, code, extra, info) : FALSE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateMessage(msg)) return TRUE;
    return msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable &&
           TranslateAccelerator(m_hWnd, m_hAccelTable, msg);
}

void CFrameWnd::OnInitMenuPopup(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == UINT(-1)) continue;
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_pMenu = menu;
        ui.m_nIndex = UINT(i);
        ui.DoUpdate(this, TRUE);
    }
}

void CFrameWnd::OnToolTipText(NMTTDISPINFO* info) {
    const std::uintptr_t id = (info->uFlags & TTF_IDISHWND)
                                  ? std::uintptr_t(::vq::GetDlgCtrlID(HWND(info->hdr.idFrom)))
                                  : info->hdr.idFrom;
    const std::string_view full = id <= 0xFFFFFFFF ? ResourceText(std::uint32_t(id)) : std::string_view{};
    const std::size_t lineBreak = full.find('\n');
    m_toolTipText = lineBreak == std::string_view::npos ? "" : full.substr(lineBreak + 1);
    info->lpszText = m_toolTipText.c_str();
}

BOOL CFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_CREATE:
        if (CWnd::OnWndMsg(message, wParam, lParam, result) && *result == -1) return TRUE;
        *result = OnCreateClient(m_pCreatingContext) ? 0 : -1;
        return TRUE;
    case WM_CLOSE:
        if (CWnd::OnWndMsg(message, wParam, lParam, result)) return TRUE;
        OnClose();
        *result = 0;
        return TRUE;
    case WM_SETFOCUS:
        // The frame passes the focus on to the view it shows.
        if (m_pViewActive && m_pViewActive->m_hWnd) {
            SetFocus(m_pViewActive->m_hWnd);
            *result = 0;
            return TRUE;
        }
        break;
    case WM_DESTROY:
        m_pViewActive = nullptr;
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        break;
    default:
        break;
    }
    if (CWnd::OnWndMsg(message, wParam, lParam, result)) return TRUE;
    if (message == WM_NOTIFY && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == TTN_NEEDTEXT) {
        OnToolTipText(reinterpret_cast<NMTTDISPINFO*>(lParam));
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

} // namespace vq
