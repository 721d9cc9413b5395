#include "toolkit/frames/TkControlBar.h"

#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDockBar.h"
#include "toolkit/frames/TkDockContext.h"
#include "toolkit/frames/TkDrawing.h"

#include <algorithm>

namespace vq {

namespace {

BOOL noRedrawMoves = FALSE;

std::string LoadText(UINT id) {
    char buffer[256];
    const int length = LoadString(id, buffer, int(sizeof buffer));
    return std::string(buffer, std::size_t(std::max(length, 0)));
}

bool Inside(const RECT& r, POINT p) {
    return r.Contains(p.x, p.y);
}

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkGripperInfo, Object)

TkGripperInfo::TkGripperInfo()
    : m_strHideTip(LoadText(IDS_TK_HIDE_TIP)), m_strExpandTip(LoadText(IDS_TK_EXPAND_TIP)),
      m_strContractTip(LoadText(IDS_TK_CONTRACT_TIP)) {}

std::int32_t TkGripperInfo::GetHorzWidth() const {
    return m_nHorzOuter + m_nHorzLine1 + m_nHorzGap + m_nHorzLine2 + m_nHorzInner;
}

std::int32_t TkGripperInfo::GetVertHeight() const {
    return m_nVertOuter + m_nVertLine1 + m_nVertGap + m_nVertLine2 + m_nVertInner;
}

VQ_IMPLEMENT_DYNCREATE(TkControlBar, CControlBar)

VQ_BEGIN_MESSAGE_MAP(TkControlBar, CControlBar)
VQ_ON_MESSAGE(WM_SIZE, OnSizeMessage)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
VQ_ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroyBar)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_COMMAND(ID_BAR_ALLOWDOCKING, OnAllowDocking)
VQ_ON_COMMAND(ID_BAR_HIDE, OnHide)
VQ_ON_COMMAND(ID_BAR_FLOATINMAIN, OnFloatInMain)
VQ_END_MESSAGE_MAP()

TkControlBar::TkControlBar()
    : m_szMRUHorzDock(kDefaultSize), m_szMRUVertDock(kDefaultSize), m_szMRUFloat(kDefaultSize) {}

TkControlBar::~TkControlBar() {
    DestroyWindow();
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    // The context leaves its dock bar as it goes, and must not find itself through the bar then.
    std::unique_ptr<CDockContext> context = std::move(m_pDockContext);
    context.reset();
}

BOOL TkControlBar::GetNoRedrawMoves() {
    return noRedrawMoves;
}

void TkControlBar::SetNoRedrawMoves(BOOL noRedraw) {
    noRedrawMoves = noRedraw;
}

BOOL TkControlBar::Create(CWnd* parent, const char* title, DWORD style, DWORD exStyle, UINT id) {
    return CreateEx(nullptr, title, id, style, exStyle, RECT{}, parent);
}

BOOL TkControlBar::CreateEx(const char* className, const char* title, UINT id, DWORD style, DWORD exStyle,
                            const RECT& rect, CWnd* parent) {
    m_dwStyle = style & CBRS_ALL;
    m_dwExStyle = exStyle;
    if (!CWnd::CreateEx(0, className ? className : ControlBarClassName(), title,
                        (style & ~DWORD(CBRS_ALL)) | WS_CHILD, rect, parent, id))
        return FALSE;
    if (m_dwExStyle & CBX_SCALECHILDREN) RecordChildLayout();
    m_szMRUHorzDock = m_szMRUVertDock = m_szMRUFloat = kDefaultSize;
    EnableToolTips(TRUE);
    return TRUE;
}

void TkControlBar::EnableDocking(DWORD dockStyle) {
    m_dwDockStyle = dockStyle;
    if (!m_pDockContext) m_pDockContext = CreateDockContext();
    if (!m_hWndOwner) SetOwner(GetParent());
}

std::unique_ptr<TkDockContext> TkControlBar::CreateDockContext() {
    return std::make_unique<TkDockContext>(this);
}

TkDockContext* TkControlBar::GetTkDockContext() const {
    return dynamic_cast<TkDockContext*>(m_pDockContext.get());
}

TkDockBar* TkControlBar::GetTkDockBar() const {
    return dynamic_cast<TkDockBar*>(m_pDockBar);
}

BOOL TkControlBar::IsFloatingInMainWindow() const {
    if (const auto* self = dynamic_cast<const TkDockBar*>(this)) return self->m_bInMDIChild;
    const TkDockBar* dockBar = GetTkDockBar();
    return dockBar ? dockBar->m_bInMDIChild : FALSE;
}

SIZE TkControlBar::CalcFixedLayout(BOOL, BOOL horz) {
    return horz ? m_szMRUHorzDock : m_szMRUVertDock;
}

SIZE TkControlBar::CalcDynamicLayout(int length, DWORD mode) {
    if (mode & LM_COMMIT) {
        const int value = (mode & LM_STRETCH) ? int(float(length) * m_fPctWidth) : length;
        SIZE* size = (mode & LM_HORZDOCK)   ? &m_szMRUHorzDock
                     : (mode & LM_VERTDOCK) ? &m_szMRUVertDock
                                            : &m_szMRUFloat;
        if (mode & LM_LENGTHY) {
            size->cy = value;
        } else {
            size->cx = value;
            if (size == &m_szMRUFloat) m_nMRUWidth = value;
        }
    }
    if (mode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
    return m_szMRUFloat;
}

void TkControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void TkControlBar::GetInsideRect(RECT& rect) const {
    GetClientRect(m_hWnd, &rect);
    const std::int32_t side = m_gripper.m_nSideMargin;
    if ((m_dwExStyle & CBX_GRIPPER) && !IsFloating()) {
        if (IsHorzDocked()) {
            rect.left += m_gripper.GetHorzWidth();
            rect.top += side;
        } else {
            rect.top += m_gripper.GetVertHeight();
            rect.left += side;
        }
        rect.right -= side;
        rect.bottom -= side;
    } else if (m_dwExStyle & CBX_INSETS) {
        rect.left += m_rcInsets.left;
        rect.top += m_rcInsets.top;
        rect.right -= m_rcInsets.right;
        rect.bottom -= m_rcInsets.bottom;
    }
}

void TkControlBar::CalcInsideRect(RECT& rect, BOOL horz, BOOL gripperOnTop) {
    if (!(m_dwExStyle & CBX_FLATBORDERS)) {
        CControlBar::CalcInsideRect(rect, horz);
        return;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += 1;
    if (m_dwStyle & CBRS_BORDER_TOP) rect.top += 1;
    if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= 1;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= 1;
    const bool gripper = (m_dwExStyle & CBX_GRIPPER) && !IsFloating();
    if (horz) {
        if (gripper)
            AdjustForGripper(rect, TRUE);
        else
            rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        if (gripperOnTop && gripper)
            AdjustForGripper(rect, FALSE);
        else
            rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

void TkControlBar::AdjustForGripper(RECT& rect, BOOL horz) {
    if (horz)
        rect.left += m_gripper.GetHorzWidth();
    else
        rect.top += m_gripper.GetVertHeight();
}

void TkControlBar::SetExBarStyle(DWORD exStyle, BOOL relayout) {
    if (IsFloating() && m_pDockBar) {
        // Tool-bar-like bars size their floating frame on all four sides, the others by a
        // sizing frame; either way the frame keeps its place and size.
        if (CWnd* frame = m_pDockBar->GetParent()) {
            SetWindowLongPtr(frame->m_hWnd, GWL_STYLE, std::intptr_t(frame->GetStyle() | WS_THICKFRAME));
            SetWindowPos(frame->m_hWnd, 0, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    }
    if ((exStyle & CBX_SCALECHILDREN) && !(m_dwExStyle & CBX_SCALECHILDREN)) RecordChildLayout();
    if (!(exStyle & CBX_SCALECHILDREN) && !(m_dwExStyle & CBX_SCALECHILDREN)) DiscardChildLayout();
    if (exStyle != m_dwExStyle && relayout) {
        RECT r;
        GetWindowRect(m_hWnd, &r);
        POINT p{r.left, r.top};
        ScreenToClient(::vq::GetParent(m_hWnd), &p);
        // With no size the next layout sizes the bar again.
        SetWindowPos(m_hWnd, HWND_TOP, p.x, p.y, 0, 0, SWP_NOACTIVATE);
    }
    m_dwExStyle = exStyle;
}

void TkControlBar::ModifyBarStyleEx(DWORD remove, DWORD add, BOOL relayout) {
    SetExBarStyle((m_dwExStyle & ~remove) | add, relayout);
}

void TkControlBar::RecordChildLayout() {
    DiscardChildLayout();
    RECT client;
    GetClientRect(m_hWnd, &client);
    m_childLayout.push_back({0, client});
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        POINT topLeft{r.left, r.top};
        ScreenToClient(m_hWnd, &topLeft);
        m_childLayout.push_back({child, OffsetRectBy(r, topLeft.x - r.left, topLeft.y - r.top)});
    }
}

void TkControlBar::DiscardChildLayout() {
    m_childLayout.clear();
}

LRESULT TkControlBar::OnSizeMessage(WPARAM wParam, LPARAM lParam) {
    const std::int32_t cx = std::int32_t(LOWORD(std::uintptr_t(lParam)));
    const std::int32_t cy = std::int32_t(HIWORD(std::uintptr_t(lParam)));
    if (wParam != SIZE_MINIMIZED && cx > 0 && cy > 0) LayoutChildren(cx, cy);
    return Default();
}

void TkControlBar::LayoutChildren(std::int32_t cx, std::int32_t cy) {
    const std::int32_t side = m_gripper.m_nSideMargin;
    const std::int32_t gripW = m_gripper.GetHorzWidth();
    const std::int32_t gripH = m_gripper.GetVertHeight();
    const bool gripper = (m_dwExStyle & CBX_GRIPPER) != 0;
    const bool horz = IsHorzDocked();
    std::int32_t x0 = 0, y0 = 0;
    if (gripper) {
        if (horz) {
            x0 = gripW, y0 = side;
            cx = std::max(0, cx - (side + gripW));
            cy = std::max(0, cy - 2 * side);
        } else {
            x0 = side, y0 = gripH;
            cx = std::max(0, cx - 2 * side);
            cy = std::max(0, cy - (side + gripH));
        }
    } else if (m_dwExStyle & CBX_INSETS) {
        x0 = m_rcInsets.left, y0 = m_rcInsets.top;
        cx = std::max(0, cx - (m_rcInsets.left + m_rcInsets.right));
        cy = std::max(0, cy - (m_rcInsets.top + m_rcInsets.bottom));
    }
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (noRedrawMoves ? UINT(SWP_NOREDRAW) : 0u);
    if ((m_dwExStyle & CBX_SCALECHILDREN) && m_childLayout.size() > 1) {
        const std::int32_t W = m_childLayout.front().rect.Width();
        const std::int32_t H = m_childLayout.front().rect.Height();
        // A layout recorded before the bar had a size has nothing to scale from.
        if (W <= 0 || H <= 0) return;
        const std::int32_t dx = (m_dwExStyle & CBX_INSETS) ? m_rcInsets.left : 0;
        const std::int32_t dy = (m_dwExStyle & CBX_INSETS) ? m_rcInsets.top : 0;
        HDWP batch = BeginDeferWindowPos(int(m_childLayout.size()) - 1);
        for (std::size_t i = 1; i < m_childLayout.size() && batch; ++i) {
            const RECT& r = m_childLayout[i].rect;
            const RECT to{cx * r.left / W + x0 + dx, cy * r.top / H + y0 + dy, cx * r.right / W + x0 + dx,
                          cy * r.bottom / H + y0 + dy};
            batch = DeferWindowPos(batch, m_childLayout[i].window, 0, to.left, to.top, to.Width(),
                                   to.Height(), flags);
        }
        if (batch) EndDeferWindowPos(batch);
        if (IsFloating()) Invalidate(TRUE);
        return;
    }
    if (m_dwExStyle & CBX_FILLCHILD) {
        if (gripper && IsFloating()) {
            // A floating bar shows no gripper; the child takes its room.
            if (horz) {
                x0 = 0, y0 = 0;
                cx += side + gripW;
                cy += 2 * side;
            } else {
                x0 = 0, y0 = 0;
                cx += 2 * side;
                cy += gripH + side;
            }
        }
        if (HWND child = GetWindow(m_hWnd, GW_CHILD)) SetWindowPos(child, 0, x0, y0, cx, cy, flags);
    }
}

void TkControlBar::DoPaint(HDC dc) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    DrawBorders(dc, client);
}

void TkControlBar::DrawBorders(HDC dc, RECT& rect) {
    if (!(m_dwStyle & CBRS_BORDER_ANY)) return;
    if (m_dwExStyle & CBX_FLATBORDERS) {
        if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += 1;
        if (m_dwStyle & CBRS_BORDER_TOP) rect.top += 1;
        if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= 1;
        if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= 1;
        if (m_dwExStyle & CBX_GRIPPER) DrawGripper(dc, rect);
        return;
    }
    const TkSysMetrics& m = tkSysMetrics;
    const bool dark = (m_dwExStyle & CBX_DARKLINES) != 0;
    const COLORREF darkColour =
        dark ? (m.m_bNewShell ? m.m_crButtonShadow : m.m_crWindowFrame) : m.m_crButtonFace;
    const COLORREF lightColour = dark ? m.m_crButtonHighlight : m.m_crButtonFace;
    const std::int32_t W = rect.right, H = rect.bottom;
    RECT r1 = rect;
    if (m_dwStyle & CBRS_BORDER_3D) r1.right -= 1, r1.bottom -= 1;
    std::int32_t top = rect.top, height = rect.Height();
    if (m_dwStyle & CBRS_BORDER_TOP) top += m.m_nBorderHeight, height -= m.m_nBorderHeight;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) height -= m.m_nBorderHeight;
    const bool b3d = (m_dwStyle & CBRS_BORDER_3D) != 0;
    auto line = [&](DWORD side, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                    COLORREF c) {
        if (m_dwStyle & side) FillSolid(dc, x, y, cx, cy, c);
    };
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        line(CBRS_BORDER_LEFT, 0, top, 1, height, darkColour);
        line(CBRS_BORDER_TOP, 0, 0, W, 1, darkColour);
        line(CBRS_BORDER_RIGHT, r1.right, top, -1, height, darkColour);
        line(CBRS_BORDER_BOTTOM, 0, r1.bottom, W, -1, darkColour);
        if (b3d) {
            line(CBRS_BORDER_LEFT, 1, top, 1, height, lightColour);
            line(CBRS_BORDER_TOP, 0, 1, W, 1, lightColour);
            line(CBRS_BORDER_RIGHT, W, top, -1, height, lightColour);
            line(CBRS_BORDER_BOTTOM, 0, H, W, -1, lightColour);
        }
    } else {
        line(CBRS_BORDER_LEFT, 0, top - 2, 1, height + 6, darkColour);
        line(CBRS_BORDER_TOP, 2, 0, W - 3, 1, darkColour);
        line(CBRS_BORDER_RIGHT, r1.right, top, -1, height, darkColour);
        line(CBRS_BORDER_BOTTOM, 2, r1.bottom, W - 3, -1, darkColour);
        if (b3d) {
            line(CBRS_BORDER_LEFT, 1, top - 2, 1, height + 3, lightColour);
            line(CBRS_BORDER_TOP, 1, 1, W, 1, lightColour);
            line(CBRS_BORDER_RIGHT, W, top, -1, height + 1, lightColour);
            line(CBRS_BORDER_BOTTOM, 1, H, W, -1, lightColour);
        }
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += m.m_nBorderWidth;
    if (m_dwStyle & CBRS_BORDER_TOP) rect.top += m.m_nBorderHeight;
    if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= m.m_nBorderWidth;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= m.m_nBorderHeight;
}

void TkControlBar::DrawGripper(HDC dc, const RECT& rect) {
    if (IsFloating() || !(m_dwStyle & CBRS_ALIGN_ANY)) return;
    const TkSysMetrics& m = tkSysMetrics;
    RECT band{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    const std::int32_t side = m_gripper.m_nSideMargin;
    if (IsHorzDocked()) {
        band.right = band.left + m_gripper.GetHorzWidth();
        band.top += side;
        band.bottom -= side;
        if (m_dwExStyle & CBX_HIDEBUTTON) LayoutHideButton(dc, band, TRUE);
        if (m_dwExStyle & CBX_EXPANDBUTTON) LayoutExpandButton(dc, band, TRUE);
        const std::int32_t first = band.left + m_gripper.m_nHorzOuter;
        const std::int32_t second = first + m_gripper.m_nHorzLine1 + m_gripper.m_nHorzGap;
        Draw3dRect(dc, RECT{first, band.top, first + m_gripper.m_nHorzLine1, band.bottom},
                   m.m_crButtonHighlight, m.m_crButtonShadow);
        Draw3dRect(dc, RECT{second, band.top, second + m_gripper.m_nHorzLine2, band.bottom},
                   m.m_crButtonHighlight, m.m_crButtonShadow);
    } else {
        band.bottom = band.top + m_gripper.GetVertHeight();
        band.left += side;
        band.right -= side;
        if (m_dwExStyle & CBX_HIDEBUTTON) LayoutHideButton(dc, band, FALSE);
        if (m_dwExStyle & CBX_EXPANDBUTTON) LayoutExpandButton(dc, band, FALSE);
        const std::int32_t first = band.top + m_gripper.m_nVertOuter;
        const std::int32_t second = first + m_gripper.m_nVertLine1 + m_gripper.m_nVertGap;
        Draw3dRect(dc, RECT{band.left, first, band.right, first + m_gripper.m_nVertLine1},
                   m.m_crButtonHighlight, m.m_crButtonShadow);
        Draw3dRect(dc, RECT{band.left, second, band.right, second + m_gripper.m_nVertLine2},
                   m.m_crButtonHighlight, m.m_crButtonShadow);
    }
}

namespace {

// Takes a square button off the band's start (horizontal docking: its top; vertical: its right).
RECT PlaceButton(RECT& band, BOOL horz) {
    RECT r;
    if (horz) {
        r.left = std::max(0, band.left + 4 - 2);
        r.right = std::min(band.right - 6 + 2, band.right);
        r.top = band.top;
        r.bottom = r.top + r.Width();
        band.top = r.bottom + 2;
    } else {
        r.top = std::max(0, band.top + 4 - 2);
        r.bottom = band.bottom - 6 + 2;
        r.right = band.right;
        r.left = r.right - r.Height();
        band.right = r.left - 2;
    }
    return r;
}

} // namespace

void TkControlBar::LayoutHideButton(HDC dc, RECT& band, BOOL horz) {
    m_rcHideBtn = PlaceButton(band, horz);
    if (m_bHidePressed)
        DrawHideButtonPressed(dc);
    else
        DrawHideButton(dc);
}

void TkControlBar::LayoutExpandButton(HDC dc, RECT& band, BOOL horz) {
    m_rcExpandBtn = PlaceButton(band, horz);
    UpdateExpandState(horz);
    if (m_bExpandPressed && m_bExpandEnabled)
        DrawExpandButtonPressed(dc);
    else
        DrawExpandButton(dc);
}

void TkControlBar::DrawHideButton(HDC dc) {
    DrawCloseGlyphButton(dc, m_rcHideBtn, FALSE);
}

void TkControlBar::DrawHideButtonPressed(HDC dc) {
    DrawCloseGlyphButton(dc, m_rcHideBtn, TRUE);
}

namespace {

TkArrow ExpandArrow(BOOL horz, BOOL canExpand) {
    if (horz) return canExpand ? TkArrow::Left : TkArrow::Right;
    return canExpand ? TkArrow::Up : TkArrow::Down;
}

} // namespace

void TkControlBar::DrawExpandButton(HDC dc) {
    const RECT r{m_rcExpandBtn.left - 1, m_rcExpandBtn.top - 1, m_rcExpandBtn.right, m_rcExpandBtn.bottom};
    DrawArrowButton(dc, r, ExpandArrow(m_bGripperHorz, m_bCanExpand), FALSE, !m_bExpandEnabled);
}

void TkControlBar::DrawExpandButtonPressed(HDC dc) {
    const RECT r{m_rcExpandBtn.left - 1, m_rcExpandBtn.top - 1, m_rcExpandBtn.right, m_rcExpandBtn.bottom};
    DrawArrowButton(dc, r, ExpandArrow(m_bGripperHorz, m_bCanExpand), TRUE, !m_bExpandEnabled);
}

void TkControlBar::UpdateExpandState(BOOL horz) {
    m_bGripperHorz = horz;
    TkDockBar* dockBar = GetTkDockBar();
    m_bCanExpand = dockBar ? !dockBar->IsBarExpanded(this) : TRUE;
    m_bExpandEnabled = dockBar ? !dockBar->IsBarAloneInRow(this) : FALSE;
}

LRESULT TkControlBar::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    if (m_dwExStyle & CBX_INSETS) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT clip;
        GetClipBox(dc, &clip);
        RECT inside;
        GetInsideRect(inside);
        const COLORREF face = tkSysMetrics.m_crButtonFace;
        FillSolid(dc, clip.left, clip.top, clip.Width(), inside.top - clip.top, face);
        FillSolid(dc, clip.left, inside.bottom, clip.Width(), clip.bottom - inside.bottom, face);
        FillSolid(dc, clip.left, inside.top, inside.left - clip.left, inside.Height(), face);
        FillSolid(dc, inside.right, inside.top, clip.right - inside.right, inside.Height(), face);
    }
    return Default();
}

void TkControlBar::ReleasePressedButtons(HDC dc) {
    if (m_bHidePressed) {
        m_bHidePressed = FALSE;
        DrawHideButton(dc);
    }
    if (m_bExpandPressed) {
        m_bExpandPressed = FALSE;
        DrawExpandButton(dc);
    }
}

void TkControlBar::StartDragFrom(POINT client, BOOL doubleClick) {
    // A bar floating in the main window is moved by its own frame.
    if (!m_pDockContext || IsFloatingInMainWindow()) {
        Default();
        return;
    }
    if (doubleClick) {
        m_pDockContext->ToggleDocking();
        return;
    }
    ClientToScreen(m_hWnd, &client);
    m_pDockContext->StartDrag(client);
}

LRESULT TkControlBar::OnLButtonDown(WPARAM, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    HDC dc = GetDC(m_hWnd);
    if ((m_dwExStyle & CBX_HIDEBUTTON) && Inside(m_rcHideBtn, p)) {
        if (IsFloating()) {
            m_bHidePressed = FALSE;
        } else if (!m_bHidePressed && QueryHide()) {
            DrawHideButtonPressed(dc);
            m_bHidePressed = TRUE;
            SetCapture(m_hWnd);
        }
        ReleaseDC(m_hWnd, dc);
        return 0;
    }
    if ((m_dwExStyle & CBX_EXPANDBUTTON) && m_bExpandEnabled && Inside(m_rcExpandBtn, p)) {
        if (IsFloating()) {
            m_bExpandPressed = FALSE;
        } else if (!m_bExpandPressed && QueryExpand()) {
            DrawExpandButtonPressed(dc);
            m_bExpandPressed = TRUE;
            SetCapture(m_hWnd);
        }
        ReleaseDC(m_hWnd, dc);
        return 0;
    }
    ReleasePressedButtons(dc);
    ReleaseDC(m_hWnd, dc);
    StartDragFrom(p, FALSE);
    return 0;
}

LRESULT TkControlBar::OnLButtonUp(WPARAM, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (GetCapture() == m_hWnd) ReleaseCapture();
    HDC dc = GetDC(m_hWnd);
    if (m_bHidePressed && Inside(m_rcHideBtn, p)) {
        m_bHidePressed = FALSE;
        DrawHideButton(dc);
        ReleaseDC(m_hWnd, dc);
        SendMessage(WM_COMMAND, ID_BAR_HIDE, 0);
        return 0;
    }
    if (m_bExpandPressed && m_bExpandEnabled && Inside(m_rcExpandBtn, p)) {
        m_bExpandPressed = FALSE;
        DrawExpandButton(dc);
        ReleaseDC(m_hWnd, dc);
        if (TkDockBar* dockBar = GetTkDockBar()) dockBar->ExpandBar(this, m_bCanExpand ? 1 : 2);
        return 0;
    }
    ReleasePressedButtons(dc);
    ReleaseDC(m_hWnd, dc);
    return Default();
}

LRESULT TkControlBar::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if ((m_dwExStyle & CBX_HIDEBUTTON) && Inside(m_rcHideBtn, p)) return 0;
    if ((m_dwExStyle & CBX_EXPANDBUTTON) && Inside(m_rcExpandBtn, p)) return 0;
    StartDragFrom(p, TRUE);
    return 0;
}

std::intptr_t TkControlBar::OnToolHitTest(POINT point, ToolHit* hit) const {
    if (!(m_dwStyle & CBRS_TOOLTIPS)) return -1;
    if (const std::intptr_t own = CControlBar::OnToolHitTest(point, hit); own != -1) return own;
    if (IsFloating()) return -1;
    auto tool = [&](std::intptr_t code, const RECT& r, const std::string& text) {
        if (hit) {
            hit->info.hwnd = m_hWnd;
            hit->info.uId = std::uintptr_t(code);
            hit->info.rect = r;
            hit->text = text;
        }
        return code;
    };
    if ((m_dwExStyle & CBX_HIDEBUTTON) && Inside(m_rcHideBtn, point))
        return tool(kHideButtonHit, m_rcHideBtn, m_gripper.m_strHideTip);
    if ((m_dwExStyle & CBX_EXPANDBUTTON) && Inside(m_rcExpandBtn, point))
        return tool(kExpandButtonHit, m_rcExpandBtn,
                    m_bCanExpand ? m_gripper.m_strExpandTip : m_gripper.m_strContractTip);
    return -1;
}

LRESULT TkControlBar::OnContextMenu(WPARAM, LPARAM lParam) {
    if (!(m_dwExStyle & CBX_CONTEXTMENU)) return Default();
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING | ((m_dwDockStyle & CBRS_ALIGN_ANY) ? UINT(MF_CHECKED) : 0u),
               ID_BAR_ALLOWDOCKING, "Allow Docking");
    AppendMenu(menu, MF_STRING, ID_BAR_HIDE, "Hide");
    OnExtendContextMenu(menu);
    if (m_pDockContext && m_pDockContext->m_pDockSite)
        m_pDockContext->m_pDockSite->SendMessage(WM_EXTENDBARMENU, reinterpret_cast<WPARAM>(this),
                                                 reinterpret_cast<LPARAM>(menu));
    POINT p = PointOf(lParam);
    if (p.x == -1 && p.y == -1) {
        RECT client;
        GetClientRect(m_hWnd, &client);
        p = {client.Width() / 4, 10};
        ClientToScreen(m_hWnd, &p);
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, p.x, p.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    return 0;
}

void TkControlBar::OnAllowDocking() {
    if (m_dwDockStyle & CBRS_ALIGN_ANY) {
        m_dwMRUDockingState = m_dwDockStyle & CBRS_ALIGN_ANY;
        if (!IsFloating() && m_pDockContext) m_pDockContext->ToggleDocking();
        EnableDocking(0);
    } else {
        EnableDocking(m_dwMRUDockingState);
    }
}

void TkControlBar::OnHide() {
    if (CFrameWnd* frame = GetDockingFrame()) frame->ShowControlBar(this, FALSE, FALSE);
}

void TkControlBar::OnFloatInMain() {
    if (TkDockContext* context = GetTkDockContext()) context->ToggleFloatInMainWindow();
}

LRESULT TkControlBar::OnDestroyBar(WPARAM, LPARAM) {
    if (TkDockBar* dockBar = GetTkDockBar()) std::erase(dockBar->m_arrRedraw, this);
    DiscardChildLayout();
    const LRESULT result = Default();
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout(TRUE);
    return result;
}

void TkControlBar::EraseNonClient() {
    HDC dc = GetWindowDC(m_hWnd);
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT window;
    GetWindowRect(m_hWnd, &window);
    POINT origin{0, 0};
    ClientToScreen(m_hWnd, &origin);
    client = OffsetRectBy(client, origin.x - window.left, origin.y - window.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    RECT whole{0, 0, window.Width(), window.Height()};
    DrawBorders(dc, whole);
    SelectClipRgn(dc, nullptr);
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(m_hWnd, dc);
}

void TkControlBar::PreDock() {
    OnPreDock();
}

void TkControlBar::PreFloat() {
    OnPreFloat();
}

void TkControlBar::PreFloatAsMDIChild() {
    OnPreFloatAsMDIChild();
}

void TkControlBar::GetBarInfoEx(TkControlBarInfo* info) {
    GetBarInfo(info);
    info->m_szFloat = m_szMRUFloat;
    info->m_szHorz = m_szMRUHorzDock;
    info->m_szVert = m_szMRUVertDock;
    info->m_dwMRUDockingState = m_dwMRUDockingState;
    info->m_dwDockStyle = m_dwDockStyle;
    info->m_fPctWidth = m_fPctWidth;
    info->m_dwStyle = m_dwStyle;
    info->m_dwExStyle = m_dwExStyle;
    if (m_pManager) info->m_nTypeID = m_pManager->GetBarTypeId(this);
    if (TkDockContext* context = GetTkDockContext()) info->m_bPrevFloating = context->m_bPrevFloating;
    info->m_strClassName = GetRuntimeClass().name;
    info->m_strTitle = GetWindowText();
    OnGetBarInfoEx(info);
}

void TkControlBar::SetBarInfoEx(TkControlBarInfo* info, CFrameWnd* frame) {
    m_szMRUFloat = info->m_szFloat;
    m_szMRUHorzDock = info->m_szHorz;
    m_szMRUVertDock = info->m_szVert;
    m_dwMRUDockingState = info->m_dwMRUDockingState;
    m_dwDockStyle = info->m_dwDockStyle;
    m_fPctWidth = info->m_fPctWidth;
    m_dwStyle = info->m_dwStyle;
    if (info->m_bDocking)
        if (TkDockContext* context = GetTkDockContext()) context->m_bPrevFloating = info->m_bPrevFloating;
    if (info->m_nTypeID) OnSetBarInfoEx(info, frame);
    SetBarInfo(info, frame);
}

BOOL TkControlBar::GetDockPosition(int& row, int& column, UINT& dockBarId, float& share,
                                   int& thickness) const {
    const TkDockBar* dockBar = GetTkDockBar();
    if (!dockBar || !IsWindowVisible(m_hWnd)) return FALSE;
    const int index = dockBar->FindBar(this);
    if (index < 0) return FALSE;
    row = 0;
    int rowStart = 1;
    for (int i = 1; i < index; ++i)
        if (dockBar->m_arrBars[std::size_t(i)].IsRowEnd()) ++row, rowStart = i + 1;
    column = 0;
    for (int i = rowStart; i < index; ++i)
        if (dockBar->m_arrBars[std::size_t(i)].bar) ++column;
    dockBarId = dockBar->GetDlgCtrlID() & 0xFFFF;
    share = m_fPctWidth;
    thickness = 0;
    const bool horz = dockBar->IsHorz();
    for (int i = rowStart;
         i < int(dockBar->m_arrBars.size()) && !dockBar->m_arrBars[std::size_t(i)].IsRowEnd(); ++i)
        if (auto* bar = dynamic_cast<TkControlBar*>(dockBar->m_arrBars[std::size_t(i)].bar))
            thickness = std::max(thickness, horz ? bar->m_szMRUHorzDock.cy : bar->m_szMRUVertDock.cx);
    return TRUE;
}

namespace {

template <typename Test> BOOL AnyBar(CFrameWnd* frame, Test test) {
    for (CControlBar* bar : frame->m_listControlBars)
        if (!bar->IsDockBar() && bar->m_hWnd && test(bar->GetDlgCtrlID())) return TRUE;
    return FALSE;
}

} // namespace

BOOL IsBarIdFree(CFrameWnd* frame, UINT id) {
    if (!frame || id == 0) return FALSE;
    return !AnyBar(frame, [id](UINT barId) { return barId == id; });
}

UINT FindFreeBarId(CFrameWnd* frame, UINT startId) {
    for (UINT id = startId; id < startId + 1000; ++id)
        if (IsBarIdFree(frame, id)) return id;
    return 0;
}

BOOL AreBarIdsUnique(CFrameWnd* frame) {
    if (!frame) return TRUE;
    std::vector<UINT> ids;
    for (CControlBar* bar : frame->m_listControlBars)
        if (!bar->IsDockBar() && bar->m_hWnd) ids.push_back(bar->GetDlgCtrlID());
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) == ids.end();
}

} // namespace vq
