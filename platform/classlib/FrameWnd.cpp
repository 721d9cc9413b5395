#include "platform/classlib/FrameWnd.h"

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/DockState.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/Accelerators.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <memory>
#include <utility>

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
    // Bars that outlive the frame's object, or go with its window after it, find no frame.
    for (CControlBar* bar : m_listControlBars)
        bar->m_pDockSite = nullptr;
}

std::string CFrameWnd::ResourceTitle(UINT resourceId) {
    const std::string_view text = ResourceText(resourceId);
    return std::string(text.substr(0, text.find('\n')));
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    if (m_hWnd) return FALSE;
    m_nIDResource = resourceId;
    m_strTitle = ResourceTitle(resourceId);
    if (!m_hAccelTable) m_hAccelTable = LoadAccelerators(resourceId);
    m_pCreatingContext = context;
    const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    const BOOL created = CreateEx(0, IconWindowClassName(resourceId), m_strTitle.c_str(), style, rect, parent, 0);
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
    if (!IsChildStyle(GetStyle())) SetActiveWindow(m_hWnd);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    if (!addToTitle || !(GetStyle() & FWS_ADDTOTITLE)) return;
    if (const CDocument* document = GetActiveDocument())
        UpdateFrameTitleForDocument(document->GetTitle().c_str());
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* documentName) {
    const std::string name = documentName ? documentName : "";
    std::string caption;
    if (name.empty())
        caption = m_strTitle;
    else if (m_strTitle.empty())
        caption = name;
    else if (GetStyle() & FWS_PREFIXTITLE)
        caption = name + " - " + m_strTitle;
    else
        caption = m_strTitle + " - " + name;
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

namespace {
thread_local CFrameWnd* routingFrame = nullptr;
} // namespace

CFrameWnd* AfxGetRoutingFrame() {
    return routingFrame;
}

CPushRoutingFrame::CPushRoutingFrame(CFrameWnd* frame) : m_pOld(std::exchange(routingFrame, frame)) {}

CPushRoutingFrame::~CPushRoutingFrame() {
    routingFrame = m_pOld;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    CPushRoutingFrame push(this);
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
    CCmdUI ui;
    ui.m_pMenu = menu;
    ui.m_nIndexMax = UINT(std::max(GetMenuItemCount(menu), 0));
    for (ui.m_nIndex = 0; ui.m_nIndex < ui.m_nIndexMax; ++ui.m_nIndex) {
        const UINT id = GetMenuItemID(menu, int(ui.m_nIndex));
        // From 0xF000 up the ids are the default procedure's (system commands, the window list),
        // which no handler enables: updating them would grey them out.
        if (id == 0 || id == UINT(-1) || id >= 0xF000) continue;
        ui.m_nID = id;
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

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout) return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL notify) {
    m_nIdleFlags |= idleLayout | (notify ? UINT(idleNotify) : 0u);
}

void CFrameWnd::AddControlBar(CControlBar* bar) {
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) == m_listControlBars.end())
        m_listControlBars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
    std::erase(m_listControlBars, bar);
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
    for (CControlBar* bar : m_listControlBars)
        if (bar->m_hWnd && bar->GetDlgCtrlID() == id) return bar;
    return nullptr;
}

namespace {

struct DockSide {
    DWORD align;
    UINT id;
};
constexpr DockSide kDockSides[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                                   {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                                   {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                                   {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};

} // namespace

void CFrameWnd::EnableDocking(DWORD dockStyle, const RuntimeClass* dockBarClass) {
    for (const DockSide& side : kDockSides) {
        if (!(dockStyle & side.align) || GetControlBar(side.id)) continue;
        std::unique_ptr<Object> object = dockBarClass->CreateObject();
        auto* dockBar = dynamic_cast<CDockBar*>(object.get());
        if (!dockBar || !dockBar->Create(this, WS_CHILD | WS_VISIBLE | side.align, side.id)) continue;
        // The frame's window owns its dock bars from here on; they delete themselves.
        dockBar->m_bAutoDelete = TRUE;
        object.release();
    }
}

DWORD CFrameWnd::CanDock(RECT rect, DWORD style, CDockBar** dockBar) const {
    auto takes = [&rect](const CDockBar* bar, DWORD align) {
        if (!bar || !IsWindowVisible(bar->m_hWnd)) return false;
        RECT window;
        GetWindowRect(bar->m_hWnd, &window);
        // An empty dock bar still takes bars along its edge.
        if (align & CBRS_ORIENT_HORZ) {
            if (window.Height() == 0) window.top -= 1, window.bottom += 1;
        } else if (window.Width() == 0) {
            window.left -= 1, window.right += 1;
        }
        return !IntersectRects(window, rect).IsEmpty();
    };
    for (const DockSide& side : kDockSides) {
        if (!(style & side.align)) continue;
        auto* bar = dynamic_cast<CDockBar*>(GetControlBar(side.id));
        if (!takes(bar, side.align)) continue;
        if (dockBar) *dockBar = bar;
        return side.align;
    }
    // Floating dock bars that several bars share take bars that may share one too.
    if (!(style & CBRS_FLOAT_MULTI)) return 0;
    for (CControlBar* each : m_listControlBars) {
        auto* bar = dynamic_cast<CDockBar*>(each);
        if (!bar || !bar->m_bFloating || !bar->m_hWnd || !(bar->m_dwStyle & CBRS_FLOAT_MULTI)) continue;
        const DWORD align = bar->m_dwStyle & style & CBRS_ALIGN_ANY;
        if (!align || !takes(bar, align)) continue;
        if (dockBar) *dockBar = bar;
        return bar->m_dwStyle & CBRS_ALIGN_ANY;
    }
    return 0;
}

void CFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) {
    if (!bar) return;
    if (!dockBar) {
        for (const DockSide& side : kDockSides)
            if ((bar->m_dwDockStyle & side.align) &&
                (dockBar = dynamic_cast<CDockBar*>(GetControlBar(side.id))))
                break;
        if (!dockBar) return;
    }
    dockBar->DockControlBar(bar, rect);
}

void CFrameWnd::ReDockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) {
    if (!bar) return;
    if (!dockBar)
        for (const DockSide& side : kDockSides)
            if ((bar->m_dwDockStyle & side.align) &&
                (dockBar = dynamic_cast<CDockBar*>(GetControlBar(side.id))))
                break;
    if (dockBar) dockBar->ReDockControlBar(bar, rect);
}

CFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD style) {
    if (!m_pFloatingFrameClass) return nullptr;
    std::unique_ptr<Object> object = m_pFloatingFrameClass->CreateObject();
    auto* frame = dynamic_cast<CFrameWnd*>(object.get());
    if (!frame || !frame->CreateFloating(this, style)) return nullptr;
    object.release();
    return frame;
}

void CFrameWnd::FloatControlBar(CControlBar* bar, POINT screen, DWORD style) {
    if (!bar) return;
    CFrameWnd* floating = nullptr;
    // A bar alone in its floating frame moves with the frame.
    if (bar->m_pDockBar && bar->m_pDockBar->m_bFloating && bar->m_pDockBar->GetDockedCount() == 1)
        floating = dynamic_cast<CFrameWnd*>(bar->m_pDockBar->GetParent());
    if (!floating) {
        floating = CreateFloatingFrame(style);
        if (!floating) return;
        auto* dockBar = dynamic_cast<CDockBar*>(floating->GetDlgItem(AFX_IDW_DOCKBAR_FLOAT));
        if (!dockBar) return;
        dockBar->DockControlBar(bar, nullptr);
    }
    floating->PlaceFloating(screen);
    ShowWindow(floating->m_hWnd, SW_SHOWNA);
    UpdateWindow(floating->m_hWnd);
    DelayRecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
    if (!bar) return;
    if (delay) {
        bar->DelayShow(show);
        DelayRecalcLayout();
    } else {
        ShowWindow(bar->m_hWnd, show ? SW_SHOWNA : SW_HIDE);
        bar->DelayShow(show);
        if (bar->IsFloating()) {
            // A floating frame is shown while it shows a bar.
            if (CDockBar* dockBar = bar->m_pDockBar) {
                if (CWnd* frame = dockBar->GetParent()) {
                    ShowWindow(frame->m_hWnd, dockBar->GetDockedVisibleCount() ? SW_SHOWNA : SW_HIDE);
                    if (auto* f = dynamic_cast<CFrameWnd*>(frame)) f->RecalcLayout();
                }
            }
        } else {
            RecalcLayout();
        }
    }
}

BOOL CFrameWnd::CreateFloating(CFrameWnd*, DWORD) {
    return FALSE;
}

void CFrameWnd::PlaceFloating(POINT screen) {
    SetWindowPos(m_hWnd, 0, screen.x, screen.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    if (m_nShowDelay != -1) {
        const int show = m_nShowDelay;
        m_nShowDelay = -1;
        ShowWindow(m_hWnd, show);
    }
    if (m_nIdleFlags & idleLayout) RecalcLayout((m_nIdleFlags & idleNotify) != 0);
}

void CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    HWND statusBar = ::vq::GetDlgItem(m_hWnd, int(AFX_IDW_STATUS_BAR));
    if (!statusBar) return;
    std::string text;
    if (lParam) {
        text = reinterpret_cast<const char*>(lParam);
    } else if (wParam) {
        char buffer[256];
        const int length = LoadString(std::uint32_t(wParam), buffer, int(sizeof buffer));
        text.assign(buffer, std::size_t(std::max(length, 0)));
    }
    ::vq::SetWindowText(statusBar, text.c_str());
}

namespace {

HWND TopLevelOf(HWND window) {
    while (window && (GetWindowLongPtr(window, GWL_STYLE) & WS_CHILD))
        window = GetParent(window);
    return window;
}

} // namespace

void CFrameWnd::NotifyFloatingWindows(DWORD flags) {
    std::vector<HWND> floating;
    for (HWND w = GetTopWindow(0); w; w = GetWindow(w, GW_HWNDNEXT))
        if (GetWindow(w, GW_OWNER) == m_hWnd) floating.push_back(w);
    // A window may go while it hears the news; the rest still hear it.
    for (HWND w : floating)
        if (IsWindow(w)) ::vq::SendMessage(w, WM_FLOATSTATUS, flags, 0);
}

void CFrameWnd::UpdateStayActive(BOOL active, HWND other) {
    const HWND keep = (GetStyle() & WS_CHILD) ? m_hWnd : TopLevelOf(m_hWnd);
    if (!active && other && IsWindow(other))
        active = other == keep || (TopLevelOf(::vq::GetParent(other)) == keep &&
                                   ::vq::SendMessage(other, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0);
    if (active == m_bStayActive) return;
    m_bStayActive = active;
    ::vq::SendMessage(m_hWnd, WM_NCACTIVATE, active, 0);
    NotifyFloatingWindows(active ? FS_ACTIVATE : FS_DEACTIVATE);
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
    case WM_IDLEUPDATECMDUI:
        OnIdleUpdateCmdUI();
        break;
    case WM_SETMESSAGESTRING:
        OnSetMessageString(wParam, lParam);
        *result = 0;
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) RecalcLayout();
        break;
    case WM_ACTIVATE:
        *result = Default();
        UpdateStayActive(LOWORD(wParam) != WA_INACTIVE, HWND(lParam));
        return TRUE;
    case WM_NCACTIVATE:
        // A disabled frame never looks active; one whose floating window is active still does.
        *result = DefWindowProc(WM_NCACTIVATE,
                                IsWindowEnabled(m_hWnd) && (m_bStayActive || wParam != 0) ? TRUE : FALSE,
                                lParam);
        return TRUE;
    case WM_ENABLE:
        NotifyFloatingWindows(wParam ? FS_ENABLE : FS_DISABLE);
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

void CFrameWnd::GetDockState(CDockState& state) {
    state.m_arrBarInfo.clear();
    for (CControlBar* bar : m_listControlBars) {
        if (!bar->m_hWnd || (!bar->IsDockBar() && !bar->m_pDockContext)) continue;
        auto info = std::make_unique<CControlBarInfo>();
        bar->GetBarInfo(info.get());
        state.m_arrBarInfo.push_back(std::move(info));
    }
}

void CFrameWnd::SetDockState(const CDockState& state) {
    std::vector<CControlBarInfo*> records;
    for (const auto& info : state.m_arrBarInfo) {
        info->m_pBar = info->m_bFloating
                           ? EmptyFloatingDockBar(CreateFloatingFrame(info->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT))
                           : GetControlBar(info->m_nBarID);
        if (info->m_pBar) records.push_back(info.get());
    }
    KeepFirstListOfEachBar(records);
    for (CControlBarInfo* info : records)
        info->m_pBar->SetBarInfo(info, this);
    for (CControlBarInfo* info : records)
        if (info->m_bFloating) PlaceFloatingFrameAt(dynamic_cast<CFrameWnd*>(info->m_pBar->GetParent()), info->m_pointPos);
    RecalcLayout();
    for (CControlBarInfo* info : records)
        info->m_pBar = nullptr;
}

} // namespace vq
