#include "toolkit/frames/TkDockContext.h"

#include "platform/classlib/FrameWnd.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/DragRect.h"
#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkDockBar.h"
#include "toolkit/frames/TkMiniDockFrameWnd.h"

#include <algorithm>
#include <cstdlib>

namespace vq {

namespace {

// The status line's hint while a bar is dragged.
constexpr UINT IDS_TK_DRAG_HINT = 20535;
// Drags that move no further than this (x and y distances summed) leave a floating bar floating.
constexpr std::int32_t kFloatSlack = 4;

bool IsFrameDockBarId(UINT id) {
    return id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM;
}

UINT DockBarIdOf(DWORD align) {
    if (align & CBRS_ALIGN_TOP) return AFX_IDW_DOCKBAR_TOP;
    if (align & CBRS_ALIGN_BOTTOM) return AFX_IDW_DOCKBAR_BOTTOM;
    if (align & CBRS_ALIGN_LEFT) return AFX_IDW_DOCKBAR_LEFT;
    return AFX_IDW_DOCKBAR_RIGHT;
}

RECT Offset(const RECT& r, std::int32_t dx, std::int32_t dy) {
    return OffsetRectBy(r, dx, dy);
}

RECT At(POINT p, SIZE s) {
    return {p.x, p.y, p.x + s.cx, p.y + s.cy};
}

// The mini frame's borders around a bar: its sizing frame and small caption, less the bar's own
// border.
RECT GrowToFrame(const RECT& r) {
    const std::int32_t fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const std::int32_t caption = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    const std::int32_t bx = tkSysMetrics.m_nBorderWidth, by = tkSysMetrics.m_nBorderHeight;
    return {r.left - fx + bx, r.top - fy - caption + by, r.right + fx - bx, r.bottom + fy - by};
}

bool IsLeftType(int hit) {
    return hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
}
bool IsRightType(int hit) {
    return hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
}
bool IsTopType(int hit) {
    return hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
}
bool IsBottomType(int hit) {
    return hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
}

} // namespace

TkDockContext::TkDockContext(CControlBar* bar) : CDockContext(bar) {
    m_sizeMinFloat = {GetSystemMetrics(SM_CXMENUSIZE) +
                          2 * (GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXBORDER)),
                      GetSystemMetrics(SM_CYSMCAPTION) +
                          2 * (GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYBORDER))};
    m_sizeMaxFloat = {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

TkDockContext::~TkDockContext() {
    CDockBar* dockBar = m_pBar->m_pDockBar;
    if (!dockBar) return;
    dockBar->RemoveControlBar(m_pBar, -1, 0);
    m_pBar->m_pDockBar = nullptr;
}

BOOL TkDockContext::IsSizingBar() const {
    auto* tk = dynamic_cast<TkControlBar*>(m_pBar);
    return tk && !(tk->m_dwExStyle & CBX_TOOLBARLIKE);
}

BOOL TkDockContext::IsCustomToolBar() const {
    auto* tk = dynamic_cast<TkControlBar*>(m_pBar);
    return tk && tk->IsCustomToolBar();
}

void TkDockContext::InitLoop() {
    m_rectLast = {};
    m_sizeLast = {};
    m_bDitherLast = FALSE;
    m_bFlip = GetKeyState(VK_SHIFT) < 0;
    m_bForceFrame = GetKeyState(VK_CONTROL) < 0;
    m_bDrawn = FALSE;
    LockWindowUpdate(GetDesktopWindow());
    m_pDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
}

void TkDockContext::CancelLoop() {
    DrawFocusRect(TRUE);
    if (GetCapture() == m_pBar->m_hWnd) ReleaseCapture();
    LockWindowUpdate(0);
    if (m_pDC) ReleaseDC(GetDesktopWindow(), m_pDC);
    m_pDC = nullptr;
    if (m_pDockSite) m_pDockSite->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}

void TkDockContext::StartDrag(POINT pos) {
    // Someone else's loop holds the pointer: nothing starts, nothing is drawn.
    if (GetCapture()) return;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle;
    m_nLastDropRow = -1;
    m_ptDragStart = pos;
    m_bDragging = TRUE;
    if (m_pDockSite) m_pDockSite->SendMessage(WM_SETMESSAGESTRING, IDS_TK_DRAG_HINT, 0);
    InitLoop();
    RECT R;
    GetWindowRect(m_pBar->m_hWnd, &R);
    const POINT corner{R.left, R.top};
    const DWORD style = m_pBar->m_dwStyle;
    if (style & CBRS_SIZE_DYNAMIC) {
        m_rectDragHorz = At(corner, m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK));
        m_rectDragVert = At(corner, m_pBar->CalcDynamicLayout(0, LM_VERTDOCK));
        m_rectFrameDragHorz = m_rectFrameDragVert =
            At(corner, m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH));
    } else if (style & CBRS_SIZE_FIXED) {
        m_rectDragHorz = m_rectFrameDragHorz =
            At(corner, m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK));
        m_rectDragVert = m_rectFrameDragVert = At(corner, m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK));
    } else {
        if (style & CBRS_ORIENT_HORZ) {
            m_rectDragHorz = R;
            const SIZE v = m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);
            m_rectDragVert = At({pos.x - R.Height() / 2, R.top}, v);
        } else {
            m_rectDragVert = R;
            const SIZE h = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
            m_rectDragHorz = At({R.left, pos.y - R.Width() / 2}, h);
        }
        m_rectFrameDragHorz = m_rectDragHorz;
        m_rectFrameDragVert = m_rectDragVert;
    }
    m_rectFrameDragHorz = GrowToFrame(m_rectFrameDragHorz);
    m_rectFrameDragVert = GrowToFrame(m_rectFrameDragVert);
    const std::int32_t bx = tkSysMetrics.m_nBorderWidth;
    // Each rectangle moves so that the pointer lies inside it.
    for (RECT* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert}) {
        std::int32_t dx = 0, dy = 0;
        if (pos.x < r->left) dx = pos.x - r->left;
        if (pos.x > r->right) dx = pos.x - r->right + bx;
        if (pos.y < r->top) dy = pos.y - r->top;
        if (pos.y > r->bottom) dy = pos.y - r->bottom + bx;
        *r = Offset(*r, dx, dy);
    }
    m_ptLast = pos;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    Move(pos);
    Track();
}

void TkDockContext::StartResize(int hitTest, POINT pos) {
    if (GetCapture()) return;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_bDragging = FALSE;
    InitLoop();
    m_ptLast = pos;
    m_nHitTest = hitTest;
    RECT R;
    GetWindowRect(m_pBar->m_hWnd, &R);
    const SIZE S = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    m_rectRequestedSize = m_rectActualSize = At({R.left, R.top}, S);
    m_rectActualFrameSize = GrowToFrame(m_rectActualSize);
    m_rectFrameBorders = {m_rectActualSize.left - m_rectActualFrameSize.left,
                          m_rectActualSize.top - m_rectActualFrameSize.top,
                          m_rectActualFrameSize.right - m_rectActualSize.right,
                          m_rectActualFrameSize.bottom - m_rectActualSize.bottom};
    m_dwOverDockStyle = 0;
    Stretch(pos);
    Track();
}

BOOL TkDockContext::Track() {
    if (GetCapture()) {
        CancelLoop();
        m_bDragging = FALSE;
        return FALSE;
    }
    SetCapture(m_pBar->m_hWnd);
    while (GetCapture() == m_pBar->m_hWnd) {
        MSG msg;
        if (!GetMessage(&msg, 0, 0, 0)) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        switch (msg.message) {
        case WM_LBUTTONUP:
            if (m_bDragging)
                EndDrag();
            else
                EndResize();
            return TRUE;
        case WM_MOUSEMOVE:
            ClientToScreen(msg.hwnd, &p);
            if (m_bDragging)
                Move(p);
            else
                Stretch(p);
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                CancelLoop();
                m_bDragging = FALSE;
                return FALSE;
            }
            if (m_bDragging && msg.wParam == VK_CONTROL)
                UpdateState(&m_bForceFrame, msg.message == WM_KEYDOWN);
            if (m_bDragging && msg.wParam == VK_SHIFT) UpdateState(&m_bFlip, msg.message == WM_KEYDOWN);
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            m_bDragging = FALSE;
            return FALSE;
        default:
            DispatchMessage(&msg);
            break;
        }
    }
    CancelLoop();
    m_bDragging = FALSE;
    return FALSE;
}

void TkDockContext::UpdateState(BOOL* flag, BOOL value) {
    if (*flag == value) return;
    *flag = value;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void TkDockContext::Move(POINT pos) {
    const std::int32_t dx = pos.x - m_ptLast.x, dy = pos.y - m_ptLast.y;
    for (RECT* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert})
        *r = Offset(*r, dx, dy);
    m_ptLast = pos;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

CDockBar* TkDockContext::GetDockBar(DWORD overStyle) const {
    if (!overStyle || !m_pDockSite) return nullptr;
    if (m_pOverDockBar) return m_pOverDockBar;
    return dynamic_cast<CDockBar*>(m_pDockSite->GetControlBar(DockBarIdOf(overStyle)));
}

DWORD TkDockContext::CanDock() {
    if (!m_pDockSite) return 0;
    bool horz = (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    if (m_bFlip) horz = !horz;
    DWORD style = 0;
    CDockBar* found = nullptr;
    auto tryVert = [&] {
        DWORD s = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~DWORD(CBRS_ORIENT_HORZ), &found);
        if (s && found) {
            RECT r;
            GetWindowRect(found->m_hWnd, &r);
            // A column takes the bar only with the pointer over it.
            if (!r.Contains(m_ptLast.x, m_ptLast.y)) s = 0;
        }
        return s;
    };
    auto tryHorz = [&] {
        return m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~DWORD(CBRS_ORIENT_VERT), &found);
    };
    if (horz && (m_dwDockStyle & CBRS_ORIENT_HORZ))
        style = tryHorz();
    else if (m_dwDockStyle & CBRS_ORIENT_VERT)
        style = tryVert();
    if (!m_bFlip && style == 0)
        style = horz ? ((m_dwDockStyle & CBRS_ORIENT_VERT) ? tryVert() : 0)
                     : ((m_dwDockStyle & CBRS_ORIENT_HORZ) ? tryHorz() : 0);
    // The floating dock bar the bar already sits in is no place to drop it.
    if (style && found && found == m_pBar->m_pDockBar && found->m_bFloating) style = 0;
    m_pOverDockBar = style ? found : nullptr;
    return style;
}

BOOL TkDockContext::MovedBeyondSlack() const {
    return std::abs(m_ptLast.x - m_ptDragStart.x) + std::abs(m_ptLast.y - m_ptDragStart.y) > kFloatSlack;
}

void TkDockContext::DrawFocusRect(BOOL removeRect) {
    if (!m_pDC) return;
    static HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    RECT rect{};
    SIZE size{0, 0};
    BOOL dither = FALSE;
    if (!removeRect) {
        const bool overDock = m_dwOverDockStyle != 0 && (!m_pBar->IsFloating() || MovedBeyondSlack());
        if (m_bDragging && overDock) {
            rect = (m_dwOverDockStyle & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
            if (auto* dockBar = dynamic_cast<TkDockBar*>(GetDockBar(m_dwOverDockStyle)))
                rect = dockBar->CalcDropRect(m_pBar, rect, m_ptLast, m_nLastDropRow, m_rectLastDrop,
                                             m_ptLastDrop);
            size = {1, 1};
            if (tkSysMetrics.m_bNewShell)
                rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        } else {
            const bool horz = (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
            const bool horzFrame = (horz && !m_bFlip) || (!horz && m_bFlip);
            rect =
                m_bDragging ? (horzFrame ? m_rectFrameDragHorz : m_rectFrameDragVert) : m_rectActualFrameSize;
            size = {GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1};
            dither = TRUE;
            m_nLastDropRow = -1;
        }
    }
    HBRUSH brush = dither ? GetHalftoneBrush() : white;
    HBRUSH lastBrush = m_bDitherLast ? GetHalftoneBrush() : white;
    DrawDragRect(m_pDC, removeRect ? nullptr : &rect, size, m_bDrawn ? &m_rectLast : nullptr, m_sizeLast,
                 brush, lastBrush);
    m_bDrawn = !removeRect;
    m_rectLast = rect;
    m_sizeLast = size;
    m_bDitherLast = dither;
}

void TkDockContext::EndDrag() {
    CancelLoop();
    if (m_dwOverDockStyle != 0 && (!m_pBar->IsFloating() || MovedBeyondSlack())) {
        CDockBar* dockBar = GetDockBar(m_dwOverDockStyle);
        RECT rect = (m_dwOverDockStyle & CBRS_ORIENT_VERT) ? m_rectDragVert : m_rectDragHorz;
        if (dockBar) {
            const UINT id = dockBar->GetDlgCtrlID();
            if (IsFrameDockBarId(id)) {
                m_uMRUDockID = id;
                m_rectMRUDockPos = rect;
                MapWindowPoints(0, dockBar->m_hWnd, reinterpret_cast<POINT*>(&m_rectMRUDockPos), 2);
            }
            if (m_pBar->IsFloating())
                if (auto* tk = dynamic_cast<TkDockBar*>(dockBar)) tk->m_pLastDocked = m_pBar;
            m_pDockSite->DockControlBar(m_pBar, dockBar, &rect);
            m_pDockSite->RecalcLayout();
            // A floating frame that took the bar grows round it where it stands.
            if (dockBar->m_bFloating)
                if (auto* mini = dynamic_cast<TkMiniDockFrameWnd*>(dockBar->GetParent())) {
                    RECT r;
                    GetWindowRect(mini->m_hWnd, &r);
                    mini->RecalcLayoutAt(r.left, r.top, TRUE);
                }
        }
    } else {
        const bool horz = (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        if ((m_dwStyle & CBRS_SIZE_DYNAMIC) || (horz && !m_bFlip) || (!horz && m_bFlip)) {
            m_dwMRUFloatStyle = CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI);
            m_ptMRUFloatPos = {m_rectFrameDragHorz.left, m_rectFrameDragHorz.top};
        } else {
            m_dwMRUFloatStyle = CBRS_ALIGN_LEFT | (m_dwDockStyle & CBRS_FLOAT_MULTI);
            m_ptMRUFloatPos = {m_rectFrameDragVert.left, m_rectFrameDragVert.top};
        }
        if (!IsCustomToolBar()) {
            m_ptMRUFloatPos.x -= tkSysMetrics.m_nBorderWidth;
            m_ptMRUFloatPos.y -= tkSysMetrics.m_nBorderHeight;
        }
        m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
    }
    m_bDragging = FALSE;
}

void TkDockContext::Stretch(POINT pos) {
    const std::int32_t dx = pos.x - m_ptLast.x, dy = pos.y - m_ptLast.y;
    const int hit = m_nHitTest;
    if (!IsSizingBar()) {
        if (hit == HTLEFT || hit == HTRIGHT) {
            if (hit == HTLEFT)
                m_rectRequestedSize.left += dx;
            else
                m_rectRequestedSize.right += dx;
            const SIZE size =
                m_pBar->CalcDynamicLayout(std::max(0, m_rectRequestedSize.Width()), LM_HORZ | LM_COMMIT);
            m_rectActualSize = hit == HTLEFT ? RECT{m_rectActualSize.right - size.cx, m_rectActualSize.top,
                                                    m_rectActualSize.right, m_rectActualSize.top + size.cy}
                                             : At({m_rectActualSize.left, m_rectActualSize.top}, size);
        } else {
            if (hit == HTTOP)
                m_rectRequestedSize.top += dy;
            else
                m_rectRequestedSize.bottom += dy;
            const SIZE size = m_pBar->CalcDynamicLayout(std::max(0, m_rectRequestedSize.Height()),
                                                        LM_HORZ | LM_LENGTHY | LM_COMMIT);
            m_rectActualSize = hit == HTTOP ? RECT{m_rectActualSize.left, m_rectActualSize.bottom - size.cy,
                                                   m_rectActualSize.left + size.cx, m_rectActualSize.bottom}
                                            : At({m_rectActualSize.left, m_rectActualSize.top}, size);
        }
        m_ptLast = pos;
    } else {
        // An edge moves as far as the size limits let it, however far the pointer jumped, and
        // the pointer's offset from it holds from there on.
        auto limited = [](std::int32_t size, std::int32_t delta, std::int32_t low, std::int32_t high) {
            return std::clamp(size + delta, std::min(low, size), std::max(high, size)) - size;
        };
        POINT last = m_ptLast;
        if (IsLeftType(hit) || IsRightType(hit)) {
            const std::int32_t width = m_rectRequestedSize.Width();
            const std::int32_t grow =
                limited(width, IsLeftType(hit) ? -dx : dx, m_sizeMinFloat.cx, m_sizeMaxFloat.cx);
            if (IsLeftType(hit)) {
                m_rectRequestedSize.left -= grow;
                last.x -= grow;
            } else {
                m_rectRequestedSize.right += grow;
                last.x += grow;
            }
            m_pBar->CalcDynamicLayout(m_rectRequestedSize.Width(), LM_HORZ | LM_COMMIT);
        }
        if (IsTopType(hit) || IsBottomType(hit)) {
            const std::int32_t height = m_rectRequestedSize.Height();
            const std::int32_t grow =
                limited(height, IsTopType(hit) ? -dy : dy, m_sizeMinFloat.cy, m_sizeMaxFloat.cy);
            if (IsTopType(hit)) {
                m_rectRequestedSize.top -= grow;
                last.y -= grow;
            } else {
                m_rectRequestedSize.bottom += grow;
                last.y += grow;
            }
            m_pBar->CalcDynamicLayout(m_rectRequestedSize.Height(), LM_HORZ | LM_LENGTHY | LM_COMMIT);
        }
        const SIZE size = m_pBar->CalcDynamicLayout(0, LM_HORZ);
        RECT& a = m_rectActualSize;
        if (IsLeftType(hit))
            a.left = a.right - size.cx;
        else
            a.right = a.left + size.cx;
        if (IsTopType(hit))
            a.top = a.bottom - size.cy;
        else
            a.bottom = a.top + size.cy;
        m_ptLast = last;
    }
    m_rectActualFrameSize = {m_rectActualSize.left - m_rectFrameBorders.left,
                             m_rectActualSize.top - m_rectFrameBorders.top,
                             m_rectActualSize.right + m_rectFrameBorders.right,
                             m_rectActualSize.bottom + m_rectFrameBorders.bottom};
    DrawFocusRect();
}

void TkDockContext::EndResize() {
    CancelLoop();
    m_pBar->CalcDynamicLayout(m_rectActualSize.Width(), LM_HORZ | LM_COMMIT);
    if (IsSizingBar()) m_pBar->CalcDynamicLayout(m_rectActualSize.Height(), LM_HORZ | LM_LENGTHY | LM_COMMIT);
    POINT at{m_rectActualFrameSize.left, m_rectActualFrameSize.top};
    if (!IsCustomToolBar()) {
        at.x -= tkSysMetrics.m_nBorderWidth;
        at.y -= tkSysMetrics.m_nBorderHeight;
    }
    m_pDockSite->FloatControlBar(m_pBar, at,
                                 CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC | (m_dwDockStyle & CBRS_FLOAT_MULTI));
}

void TkDockContext::ToggleDocking() {
    auto* tk = dynamic_cast<TkControlBar*>(m_pBar);
    if (m_pBar->IsFloating()) {
        if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) return;
        if (tk) tk->m_fPctWidth = tk->m_fPrevPctWidth;
        RECT rect = m_rectMRUDockPos;
        CDockBar* dockBar = nullptr;
        if (m_uMRUDockID) {
            dockBar = dynamic_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID));
            if (dockBar) MapWindowPoints(dockBar->m_hWnd, 0, reinterpret_cast<POINT*>(&rect), 2);
        }
        if (m_pBar->m_dwStyle & CBRS_BORDER_TOP) rect.right += 1;
        m_pDockSite->ReDockControlBar(m_pBar, dockBar, &rect);
        m_pDockSite->RecalcLayout();
        return;
    }
    if (tk) tk->m_fPrevPctWidth = tk->m_fPctWidth;
    POINT pt = m_ptMRUFloatPos;
    if (pt.x < 0 || pt.y < 0) {
        pt = {m_rectMRUDockPos.left, m_rectMRUDockPos.top};
        ClientToScreen(GetParent(m_pBar->m_hWnd), &pt);
    }
    m_pDockSite->FloatControlBar(m_pBar, pt, m_dwMRUFloatStyle);
}

void TkDockContext::ToggleFloatInMainWindow() {
    auto* host = dynamic_cast<TkDockingFrameHost*>(m_pDockSite);
    auto* tk = dynamic_cast<TkControlBar*>(m_pBar);
    if (!host || !tk) return;
    if (!tk->IsFloatingInMainWindow()) {
        tk->m_fPrevPctWidth = tk->m_fPctWidth;
        m_bPrevFloating = m_pBar->IsFloating();
        host->FloatControlBarAsMDIChild(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
        return;
    }
    tk->m_fPctWidth = tk->m_fPrevPctWidth;
    if (m_bPrevFloating) {
        host->FloatControlBarBack(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
        return;
    }
    if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) return;
    RECT rect = m_rectMRUDockPos;
    CDockBar* dockBar = nullptr;
    if (m_uMRUDockID) {
        dockBar = dynamic_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID));
        if (dockBar) MapWindowPoints(dockBar->m_hWnd, 0, reinterpret_cast<POINT*>(&rect), 2);
    }
    m_pDockSite->ReDockControlBar(m_pBar, dockBar, &rect);
    m_pDockSite->RecalcLayout();
}

} // namespace vq
