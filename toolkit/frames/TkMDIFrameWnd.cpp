#include "toolkit/frames/TkMDIFrameWnd.h"

#include "platform/core/Exceptions.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDockState.h"
#include "toolkit/frames/TkMiniDockFrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/Redraw.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <new>

namespace vq {

namespace {

struct DockBarEntry {
    UINT id;
    DWORD style;
};
// Searched in this order: top, bottom, left, right.
constexpr DockBarEntry kDockBars[] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT},
};

// A floated bar's frame keeps its bar upright: side alignments float as top ones.
DWORD FloatingStyle(const CControlBar* bar, DWORD style) {
    if (!(bar->m_dwStyle & CBRS_SIZE_DYNAMIC)) return style;
    style |= CBRS_SIZE_DYNAMIC;
    if (style & CBRS_ORIENT_VERT) style = (style & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    return style;
}

// The floating frame the bar sits in alone, when its dock bar's alignment fits the style.
CFrameWnd* AloneInFloatingFrame(const CControlBar* bar, DWORD style) {
    const CDockBar* dockBar = bar->m_pDockBar;
    if (!bar->m_pDockSite || !dockBar || !dockBar->m_bFloating || dockBar->GetDockedCount() != 1 ||
        !(dockBar->m_dwStyle & style & CBRS_ALIGN_ANY))
        return nullptr;
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(GetParent(dockBar->m_hWnd)));
}

void Repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
}

void DockInto(CDockBar* dockBar, CControlBar* bar, const RECT* rect) {
    if (auto* tk = dynamic_cast<TkDockBar*>(dockBar))
        tk->DockControlBar(bar, rect);
    else
        dockBar->CDockBar::DockControlBar(bar, rect);
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkMDIFrameWnd, CMDIFrameWnd)

TkMDIFrameWnd::TkMDIFrameWnd() {
    m_caption.m_bNewShell = (GetVersion() & 0xFF) >= 4;
}

TkMDIFrameWnd::~TkMDIFrameWnd() {
    if (m_hMenuBarFrameMenu) DestroyMenu(m_hMenuBarFrameMenu);
    m_pFramePlugIn.reset();
    m_pWorkspaceManager.reset();
    m_listOwnedObjects.clear();
    for (auto& [id, menu] : m_mapExtraMenus)
        DestroyMenu(menu);
}

void TkMDIFrameWnd::EnableDocking(DWORD dockStyle, DWORD extraStyle) {
    if (!m_pFloatingFrameClass) m_pFloatingFrameClass = &TkMiniDockFrameWnd::Class();
    if (!m_pDockBarClass) m_pDockBarClass = &TkDockBar::Class();
    if (!m_pChildFloatClass) m_pChildFloatClass = &TkControlBarMDIChildWnd::Class();
    for (const DockBarEntry& entry : kDockBars) {
        if (!(entry.style & dockStyle & CBRS_ALIGN_ANY) || GetControlBar(entry.id)) continue;
        std::unique_ptr<CDockBar> dockBar(CreateDockBar());
        if (!dockBar ||
            !dockBar->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | entry.style | extraStyle,
                             entry.id))
            throw ResourceException();
        if (auto* tk = dynamic_cast<TkDockBar*>(dockBar.get())) tk->SetHost(this);
        // The frame's window owns its dock bars from here on; they delete themselves.
        dockBar->m_bAutoDelete = TRUE;
        dockBar.release();
    }
}

CDockBar* TkMDIFrameWnd::CreateDockBar() {
    std::unique_ptr<Object> object = m_pDockBarClass ? m_pDockBarClass->CreateObject() : nullptr;
    auto* dockBar = dynamic_cast<CDockBar*>(object.get());
    if (dockBar) object.release();
    return dockBar;
}

CDockBar* TkMDIFrameWnd::DockBarForAlignment(DWORD barStyle) const {
    for (const DockBarEntry& entry : kDockBars)
        if ((entry.style & CBRS_ALIGN_ANY) == (barStyle & CBRS_ALIGN_ANY))
            return dynamic_cast<CDockBar*>(GetControlBar(entry.id));
    return nullptr;
}

void TkMDIFrameWnd::Notify(CControlBar* bar, void (TkControlBar::*step)()) {
    if (auto* tk = dynamic_cast<TkControlBar*>(bar)) (tk->*step)();
}

void TkMDIFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, const RECT* rect) {
    DockControlBar(bar, dockBarId ? dynamic_cast<CDockBar*>(GetControlBar(dockBarId)) : nullptr, rect);
}

void TkMDIFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) {
    if (!bar) return;
    Notify(bar, &TkControlBar::PreDock);
    if (!dockBar) dockBar = DockBarForAlignment(bar->m_dwStyle);
    if (dockBar) DockInto(dockBar, bar, rect);
    Notify(bar, &TkControlBar::OnDocked);
}

void TkMDIFrameWnd::ReDockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) {
    if (!bar) return;
    Notify(bar, &TkControlBar::PreDock);
    if (!dockBar) {
        // The placeholder an earlier docking left brings the bar back to its place.
        const UINT id = bar->GetDlgCtrlID();
        for (const DockBarEntry& entry : kDockBars) {
            auto* candidate = dynamic_cast<CDockBar*>(GetControlBar(entry.id));
            if (!candidate) continue;
            const auto& bars = candidate->m_arrBars;
            const bool placed = std::any_of(bars.begin() + 1, bars.end(), [id](const DockEntry& e) {
                return e.IsPlaceholder() && e.placeholder == id;
            });
            if (placed) {
                dockBar = candidate;
                break;
            }
        }
    }
    if (!dockBar) dockBar = DockBarForAlignment(bar->m_dwStyle);
    if (auto* tk = dynamic_cast<TkDockBar*>(dockBar))
        tk->ReDockControlBar(bar, rect);
    else if (dockBar)
        dockBar->CDockBar::ReDockControlBar(bar, rect);
    Notify(bar, &TkControlBar::OnDocked);
}

void TkMDIFrameWnd::DockControlBarPlaced(CControlBar* bar, const TkDockPosition& placement, UINT dockBarId,
                                         float share, int length) {
    if (!bar) return;
    Notify(bar, &TkControlBar::PreDock);
    CDockBar* dockBar = dockBarId ? dynamic_cast<CDockBar*>(GetControlBar(dockBarId)) : nullptr;
    if (!dockBar) dockBar = DockBarForAlignment(bar->m_dwStyle);
    if (auto* tk = dynamic_cast<TkControlBar*>(bar)) tk->m_fPctWidth = share;
    const UINT id = dockBar ? dockBar->GetDlgCtrlID() : 0;
    DWORD mode = LM_COMMIT;
    if (id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_BOTTOM)
        mode |= LM_HORZ | LM_HORZDOCK | LM_LENGTHY;
    else if (id == AFX_IDW_DOCKBAR_LEFT || id == AFX_IDW_DOCKBAR_RIGHT)
        mode |= LM_VERTDOCK;
    else
        mode |= LM_HORZ | LM_MRUWIDTH | LM_LENGTHY;
    bar->CalcDynamicLayout(length, mode);
    if (auto* tk = dynamic_cast<TkDockBar*>(dockBar))
        tk->DockControlBarEx(bar, placement);
    else if (dockBar)
        dockBar->CDockBar::DockControlBar(bar, nullptr);
    Notify(bar, &TkControlBar::OnDocked);
}

void TkMDIFrameWnd::DockControlBarPlacedAt(CControlBar* bar, UINT dockBarId, int row, int column, int share,
                                           int length) {
    TkDockPosition placement;
    placement.row = row;
    placement.column = column;
    // The share comes in percent of the row.
    DockControlBarPlaced(bar, placement, dockBarId, float(share) / 100.0f, length);
}

void TkMDIFrameWnd::FloatControlBar(CControlBar* bar, std::int32_t x, std::int32_t y, DWORD style) {
    if (!bar) return;
    if (auto* frame = dynamic_cast<TkMiniDockFrameWnd*>(AloneInFloatingFrame(bar, style))) {
        frame->RecalcLayoutAt(x, y, TRUE);
        Repaint(frame->m_hWnd);
        return;
    }
    FloatControlBar(bar, POINT{x, y}, style);
}

void TkMDIFrameWnd::FloatControlBar(CControlBar* bar, POINT screen, DWORD style) {
    if (!bar) return;
    Notify(bar, &TkControlBar::PreFloat);
    style = FloatingStyle(bar, style);
    CFrameWnd* frame = CreateFloatingFrame(style);
    if (!frame) return;
    if (!GetWindow(frame->m_hWnd, GW_OWNER)) frame->SetOwner(bar);
    auto* floatBar = dynamic_cast<CDockBar*>(frame->GetDlgItem(AFX_IDW_DOCKBAR_FLOAT));
    if (!floatBar) return;
    if (auto* tk = dynamic_cast<TkDockBar*>(floatBar))
        tk->ReDockControlBar(bar, nullptr);
    else
        floatBar->CDockBar::DockControlBar(bar, nullptr);
    auto* tkBar = dynamic_cast<TkControlBar*>(bar);
    if (tkBar && !(tkBar->m_dwExStyle & CBX_TOOLBARLIKE)) {
        const DWORD frameStyle = DWORD(GetWindowLongPtr(frame->m_hWnd, GWL_STYLE));
        SetWindowLongPtr(frame->m_hWnd, GWL_STYLE, std::intptr_t(frameStyle | WS_THICKFRAME));
        SetWindowPos(frame->m_hWnd, 0, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    frame->PlaceFloating(screen);
    ShowWindow(frame->m_hWnd, SW_SHOWNA);
    Repaint(frame->m_hWnd);
    Notify(bar, &TkControlBar::OnFloated);
}

void TkMDIFrameWnd::FloatControlBarAsChild(CControlBar* bar, std::int32_t x, std::int32_t y, DWORD style) {
    if (!bar || !m_hWndMDIClient) return;
    Notify(bar, &TkControlBar::PreFloatAsMDIChild);
    RECT client;
    GetClientRect(m_hWndMDIClient, &client);
    POINT at{x, y};
    if (x < 0 || y < 0) {
        at = {m_nNextChildFloatX, m_nNextChildFloatY};
        m_nNextChildFloatX += 20;
        m_nNextChildFloatY += 23;
        if (m_nNextChildFloatX > client.Width() - 30) m_nNextChildFloatX = 30;
        if (m_nNextChildFloatY > client.Height() - 30) m_nNextChildFloatY = 30;
    } else {
        ScreenToClient(m_hWndMDIClient, &at);
    }
    // A frame may sit at the right edge; the window menu's cascade brings it back.
    at.x = std::min(at.x, client.Width());
    if (at.x < 1) at.x = 0;
    at.y = std::min(at.y, client.Height() - 30);
    if (at.y < 1) at.y = 0;
    CFrameWnd* existing = AloneInFloatingFrame(bar, style);
    if (existing && (existing->GetStyle() & WS_CHILD)) {
        SetWindowPos(existing->m_hWnd, 0, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        existing->RecalcLayout(TRUE);
        Repaint(existing->m_hWnd);
    } else if (CFrameWnd* frame = CreateChildFloatingFrame(FloatingStyle(bar, style), bar)) {
        auto* child = dynamic_cast<TkChildFloatSite*>(frame);
        if (child) child->m_wndDockBar.DockControlBar(bar, nullptr);
        // The frame starts at the size the bar floats with.
        const SIZE size = bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
        RECT outer{0, 0, size.cx, size.cy};
        AdjustWindowRectEx(&outer, frame->GetStyle(), FALSE, DWORD(GetWindowLongPtr(frame->m_hWnd, GWL_EXSTYLE)));
        SetWindowPos(frame->m_hWnd, 0, at.x, at.y, outer.Width(), outer.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        frame->RecalcLayout(TRUE);
        ShowWindow(frame->m_hWnd, SW_SHOWNA);
        Repaint(frame->m_hWnd);
        if (const LRESULT icon = bar->SendMessage(WM_GETICON, ICON_SMALL, 0))
            frame->SendMessage(WM_SETICON, ICON_SMALL, icon);
    }
    Notify(bar, &TkControlBar::OnFloatedAsMDIChild);
}

CFrameWnd* TkMDIFrameWnd::CreateChildFloatingFrame(DWORD, CControlBar*) {
    std::unique_ptr<Object> object = m_pChildFloatClass ? m_pChildFloatClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<TkMDIChildWnd*>(object.get());
    if (!frame) throw std::bad_alloc();
    const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE | FWS_SNAPTOBARS;
    if (!frame->LoadFrame(IDR_TK_CHILDFLOAT, style, this, nullptr)) return nullptr;
    // The window owns its frame from here on.
    frame->m_bAutoDelete = TRUE;
    object.release();
    return frame;
}

CFrameWnd* TkMDIFrameWnd::CreateFloatingFrameAsMDIChild(DWORD style) {
    return CreateChildFloatingFrame(style, nullptr);
}

void TkMDIFrameWnd::FloatControlBarAsMDIChild(CControlBar* bar, POINT point, DWORD style) {
    m_bFloatInMainTransition = TRUE;
    FloatControlBarAsChild(bar, point.x, point.y, style);
    m_bFloatInMainTransition = FALSE;
}

void TkMDIFrameWnd::FloatControlBarBack(CControlBar* bar, POINT point, DWORD style) {
    m_bFloatInMainTransition = TRUE;
    FloatControlBar(bar, point, style);
    m_bFloatInMainTransition = FALSE;
}

void TkMDIFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
    if (!bar) return;
    CFrameWnd* site = bar->GetDockingFrame();
    if (!site) site = this;
    if (delay) {
        bar->DelayShow(show);
        site->DelayRecalcLayout(TRUE);
    } else {
        SetWindowPos(bar->m_hWnd, 0, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        bar->DelayShow(show);
        if (show || !bar->IsFloating()) site->RecalcLayout(FALSE);
    }
    if (bar->IsFloating()) {
        CDockBar* dockBar = bar->m_pDockBar;
        auto* frame = dockBar ? dynamic_cast<CFrameWnd*>(dockBar->GetParent()) : nullptr;
        const int visible = dockBar ? dockBar->GetDockedVisibleCount() : (show ? 1 : 0);
        if (frame) {
            if (visible == 1 && show) {
                if (delay) {
                    frame->DelayShowFrame(SW_SHOWNOACTIVATE);
                    frame->RecalcLayout();
                } else {
                    ShowWindow(frame->m_hWnd, SW_SHOWNOACTIVATE);
                }
            } else if (visible == 0) {
                if (delay)
                    frame->DelayShowFrame(SW_HIDE);
                else
                    ShowWindow(frame->m_hWnd, SW_HIDE);
            } else if (!delay) {
                frame->RecalcLayout();
            }
        }
    }
    if (auto* tk = dynamic_cast<TkDockBar*>(bar->m_pDockBar)) tk->QueueRowRedraw(bar);
}

TkControlBar* TkMDIFrameWnd::FindControlBar(UINT controlId) const {
    for (CControlBar* bar : m_listControlBars)
        if (auto* tk = dynamic_cast<TkControlBar*>(bar); tk && tk->m_hWnd && tk->GetDlgCtrlID() == controlId)
            return tk;
    return nullptr;
}

void TkMDIFrameWnd::SetBarsHideInPlace() {
    for (CControlBar* bar : m_listControlBars)
        bar->m_dwStyle |= CBRS_HIDE_INPLACE;
}

void TkMDIFrameWnd::LoadBarState(const char* profile) {
    TkDockState state(m_pControlBarManager, &m_listOwnedObjects);
    if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd) app->m_pMainWnd = this;
    if (state.LoadStateFromProfile(profile)) state.ApplyToFrame(this);
}

void TkMDIFrameWnd::SaveBarState(const char* profile) {
    TkDockState state(m_pControlBarManager, &m_listOwnedObjects);
    if (!state.CaptureFrame(this)) return;
    state.CleanBarIdLists();
    state.SaveStateToProfile(profile);
}

void TkMDIFrameWnd::RecalcLayout(BOOL notify) {
    if (m_bInRecalcLayout) return;
    CMDIFrameWnd::RecalcLayout(notify);
    RECT rest{};
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rest);
    if (m_rectLastLayout.IsEmpty() || rest.IsEmpty()) {
        Repaint(m_hWnd);
    } else {
        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (auto* dockBar = dynamic_cast<TkDockBar*>(FromHandlePermanent(child))) dockBar->RedrawNow();
    }
    m_rectLastLayout = rest;
}

LRESULT TkMDIFrameWnd::OnExtendBarMenu(WPARAM wParam, LPARAM lParam) {
    auto* bar = reinterpret_cast<TkControlBar*>(wParam);
    auto* menu = reinterpret_cast<HMENU>(lParam);
    if (!bar || !menu) return 0;
    const BOOL inChild = bar->IsFloatingInMainWindow();
    if (inChild) EnableMenuItem(menu, ID_BAR_ALLOWDOCKING, MF_BYCOMMAND | MF_GRAYED);
    if (bar->m_dwExStyle & CBX_MDIFLOAT) {
        char text[128] = "Float In Main Window";
        LoadString(IDS_TK_FLOATINMAIN, text, int(sizeof text));
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu, MF_STRING | (inChild ? UINT(MF_CHECKED) : 0u), ID_BAR_FLOATINMAIN, text);
    }
    return 0;
}

} // namespace vq
