#include "toolkit/lists/TkTabWnd.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/DeferWindowPos.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ScrollBar.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkTabWnd, TkTabWndBase)
VQ_IMPLEMENT_DYNCREATE(Tk2DTabWnd, TkTabWnd)

VQ_BEGIN_MESSAGE_MAP(TkTabWnd, TkTabWndBase)
VQ_ON_MESSAGE(WM_NCCREATE, OnNcCreate)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
VQ_ON_MESSAGE(WM_HSCROLL, OnHScroll)
VQ_ON_MESSAGE(WM_VSCROLL, OnVScroll)
VQ_ON_MESSAGE(TKTAB_ACTIVATED, OnActivated)
VQ_END_MESSAGE_MAP()

namespace {

// What a tab that was never left shows: an empty range at position 0.
SCROLLINFO EmptyState() {
    SCROLLINFO state;
    state.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    return state;
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    POINT tl{r.left, r.top}, br{r.right, r.bottom};
    ScreenToClient(GetParent(child), &tl);
    ScreenToClient(GetParent(child), &br);
    return RECT{tl.x, tl.y, br.x, br.y};
}

// Adds a move to the batch unless the window already has the rectangle.
HDWP Place(HDWP batch, HWND window, const RECT& to, UINT flags) {
    if (!window || !batch || ChildRect(window) == to) return batch;
    return DeferWindowPos(batch, window, 0, to.left, to.top, to.Width(), to.Height(),
                          flags | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

// A bar too small to show itself gets a border so it is still seen.
void BorderTinyBar(HWND bar, const RECT& to) {
    if (!bar) return;
    const auto style = DWORD(GetWindowLongPtr(bar, GWL_STYLE));
    const bool tiny = to.Width() <= 1 || to.Height() <= 1;
    const DWORD wanted = tiny ? (style | WS_BORDER) : (style & ~WS_BORDER);
    if (wanted != style) SetWindowLongPtr(bar, GWL_STYLE, std::intptr_t(wanted));
}

void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

TkTabWnd::TkTabWnd() = default;
TkTabWnd::~TkTabWnd() = default;

BOOL TkTabWnd::Create(CWnd* parent, DWORD style, UINT id) {
    m_nScrollMode = (style & 0x2) ? 2 : (style & 0x1) ? 1 : 0;
    style &= ~DWORD(0x3);
    if (!TkTabWndBase::Create(parent, style, id)) return FALSE;
    m_hSizerCursor = LoadCursor(TKTAB_SIZER_CURSOR);
    if (!m_hSizerCursor) m_hSizerCursor = LoadCursor(IDC_SIZEWE);
    m_hArrowCursor = LoadCursor(IDC_ARROW);
    if (!CreateScrollBar(SBS_HORZ, TKTAB_HSCROLL_ID) || !CreateScrollBar(SBS_VERT, TKTAB_VSCROLL_ID))
        throw ResourceException("the tab window's scroll bars cannot be made");
    m_nRowHeight = GetSystemMetrics(SM_CYHSCROLL);
    m_nVBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    m_nHBarHeight = GetSystemMetrics(SM_CYHSCROLL);
    return TRUE;
}

BOOL TkTabWnd::CreateTabCtrl(DWORD, UINT id) {
    auto strip = std::make_unique<TkTabControl>();
    if (!strip->Create(DWORD(m_nScrollMode) | WS_VISIBLE, RECT{0, 0, 0, 0}, this, id)) return FALSE;
    m_pTabCtrl = std::move(strip);
    return TRUE;
}

HWND TkTabWnd::Bar(int bar) const {
    return ::vq::GetDlgItem(m_hWnd, int(bar == 0 ? TKTAB_HSCROLL_ID : TKTAB_VSCROLL_ID));
}

LRESULT TkTabWnd::OnNcCreate(WPARAM, LPARAM) {
    const LRESULT result = Default();
    const HWND parent = ::vq::GetParent(m_hWnd);
    if (parent) {
        const auto ex = DWORD(GetWindowLongPtr(parent, GWL_EXSTYLE));
        if (ex & WS_EX_CLIENTEDGE) {
            SetWindowLongPtr(parent, GWL_EXSTYLE, std::intptr_t(ex & ~WS_EX_CLIENTEDGE));
            SetWindowPos(parent, 0, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, GetWindowLongPtr(m_hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(m_hWnd, 0, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return result;
}

DWORD TkTabWnd::ScrollStyleOf(CWnd* window) const {
    int index = -1;
    if (!window || !FindTab(window, index) || index >= int(m_scrollStyles.size())) return 0;
    return m_scrollStyles[index];
}

HWND TkTabWnd::GetScrollBarCtrl(int bar, CWnd* window) const {
    if (!window) window = m_pActiveWnd;
    const DWORD style = ScrollStyleOf(window);
    if (bar == 0 && (style & WS_HSCROLL)) return Bar(0);
    if (bar == 1 && (style & WS_VSCROLL)) return Bar(1);
    return 0;
}

void TkTabWnd::SetScrollStyle(int index, DWORD style) {
    if (index >= 0 && index < int(m_scrollStyles.size())) {
        m_scrollStyles[index] = style;
    } else if (index == int(m_scrollStyles.size())) {
        m_scrollStyles.push_back(style);
        m_hStates.push_back(EmptyState());
        m_vStates.push_back(EmptyState());
    }
}

TkTab* TkTabWnd::InsertTab(CWnd* window, int index, const char* label) {
    if (index < 0 || index > GetTabCount() || index > int(m_scrollStyles.size())) return nullptr;
    m_scrollStyles.insert(m_scrollStyles.begin() + index, 0);
    m_hStates.insert(m_hStates.begin() + index, EmptyState());
    m_vStates.insert(m_vStates.begin() + index, EmptyState());
    return TkTabWndBase::InsertTab(window, index, label);
}

BOOL TkTabWnd::RemoveTab(int index) {
    if (!IsValidIndex(index)) return FALSE;
    if (index < int(m_scrollStyles.size())) {
        m_scrollStyles.erase(m_scrollStyles.begin() + index);
        m_hStates.erase(m_hStates.begin() + index);
        m_vStates.erase(m_vStates.begin() + index);
    }
    return TkTabWndBase::RemoveTab(index);
}

void TkTabWnd::SaveBars(CWnd* window) {
    int index = -1;
    if (!window || !FindTab(window, index) || index >= int(m_scrollStyles.size())) return;
    const DWORD style = m_scrollStyles[index];
    if (style & WS_HSCROLL) {
        m_hStates[index].fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        GetScrollInfo(Bar(0), SB_CTL, &m_hStates[index]);
    }
    if (style & WS_VSCROLL) {
        m_vStates[index].fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        GetScrollInfo(Bar(1), SB_CTL, &m_vStates[index]);
    }
}

void TkTabWnd::RestoreBars(CWnd* window) {
    int index = -1;
    const bool known = window && FindTab(window, index) && index < int(m_scrollStyles.size());
    const DWORD style = known ? m_scrollStyles[index] : 0;
    for (int bar = 0; bar < 2; ++bar) {
        const HWND h = Bar(bar);
        if (!h) continue;
        const DWORD flag = bar == 0 ? WS_HSCROLL : WS_VSCROLL;
        if (style & flag) {
            SCROLLINFO state = bar == 0 ? m_hStates[index] : m_vStates[index];
            state.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            SetScrollInfo(h, SB_CTL, &state, TRUE);
            ShowWindow(h, SW_SHOWNA);
        } else {
            ShowWindow(h, SW_HIDE);
        }
    }
}

BOOL TkTabWnd::ActivateTab(CWnd* window, int index) {
    if (!IsValidIndex(index)) return FALSE;
    if (window != m_pActiveWnd) {
        SaveBars(m_pActiveWnd);
        RestoreBars(window);
    }
    return TkTabWndBase::ActivateTab(window, index);
}

void TkTabWnd::GetInsideRect(RECT& rect) const {
    GetClientRect(m_hWnd, &rect);
    rect.bottom -= m_nRowHeight;
    if (ScrollStyleOf(m_pActiveWnd) & WS_VSCROLL) rect.right -= m_nVBarWidth;
}

RECT TkTabWnd::SizerRect() const {
    RECT inside;
    GetInsideRect(inside);
    const int left = inside.left + m_nStripWidth;
    return RECT{left, inside.bottom, left + m_nSizerWidth, inside.bottom + m_nRowHeight};
}

void TkTabWnd::RecalcLayout() {
    if (!m_hWnd || !m_pTabCtrl) return;
    RECT inside;
    GetInsideRect(inside);
    const DWORD style = ScrollStyleOf(m_pActiveWnd);
    HDWP batch = BeginDeferWindowPos(m_bTracking ? 2 : 4);
    int stripWidth = inside.Width();
    if (style & WS_HSCROLL) {
        m_nStripWidth = std::clamp(m_nStripWidth, 0, std::max(0, inside.right - 60));
        const RECT sizer = SizerRect();
        const RECT bar{sizer.right, inside.bottom, inside.right + 1, inside.bottom + m_nHBarHeight};
        BorderTinyBar(Bar(0), bar);
        batch = Place(batch, Bar(0), bar, 0);
        stripWidth = m_nStripWidth;
    }
    batch = Place(batch, m_pTabCtrl->m_hWnd,
                  RECT{inside.left, inside.bottom, inside.left + stripWidth, inside.bottom + m_nRowHeight},
                  SWP_NOREDRAW);
    if (!m_bTracking) {
        if (style & WS_VSCROLL) {
            const RECT bar{inside.right, inside.top, inside.right + m_nVBarWidth, inside.bottom};
            BorderTinyBar(Bar(1), bar);
            batch = Place(batch, Bar(1), bar, 0);
        }
        if (m_pActiveWnd && m_pActiveWnd->m_hWnd) batch = Place(batch, m_pActiveWnd->m_hWnd, inside, 0);
    }
    if (batch) EndDeferWindowPos(batch);
}

LRESULT TkTabWnd::OnSize(WPARAM type, LPARAM size) {
    const int width = int(size & 0xFFFF), height = int((size >> 16) & 0xFFFF);
    if (type != 1 /* minimized */ && width > 0 && height > 0) {
        const bool horizontal = (ScrollStyleOf(m_pActiveWnd) & WS_HSCROLL) != 0;
        if (horizontal) {
            if (m_bFirstSize)
                m_nStripWidth = std::max(0, width - 60);
            else if (m_nStripWidth > width - 60)
                m_nStripWidth = std::max(0, width - 60);
            m_bFirstSize = FALSE;
        } else if (m_bFirstSize) {
            RECT inside;
            GetInsideRect(inside);
            m_nStripWidth = inside.Width();
            m_bFirstSize = FALSE;
        }
        RecalcLayout();
        if (m_pTabCtrl) m_pTabCtrl->Invalidate(TRUE);
        if (horizontal) {
            const RECT sizer = SizerRect();
            InvalidateRect(m_hWnd, &sizer, TRUE);
        }
    }
    return Default();
}

LRESULT TkTabWnd::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (ScrollStyleOf(m_pActiveWnd) & WS_HSCROLL) {
        const RECT sizer = SizerRect();
        const COLORREF colours[] = {RGB(0, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE),
                                    GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0)};
        for (int i = 0; i < 5; ++i)
            VerticalLine(dc, sizer.left + i, sizer.top, sizer.bottom, colours[i]);
    }
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT TkTabWnd::OnEraseBkgnd(WPARAM dc, LPARAM) {
    int active = -1;
    if (!GetActiveTab(active)) return TRUE;
    if (ScrollStyleOf(m_pActiveWnd) & (WS_HSCROLL | WS_VSCROLL)) {
        RECT client;
        GetClientRect(m_hWnd, &client);
        client.left = client.right - m_nVBarWidth;
        HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        FillRect(reinterpret_cast<HDC>(dc), &client, face);
        DeleteObject(face);
    }
    return TRUE;
}

LRESULT TkTabWnd::OnLButtonDown(WPARAM, LPARAM point) {
    const int x = GET_X_LPARAM(point), y = GET_Y_LPARAM(point);
    if ((ScrollStyleOf(m_pActiveWnd) & WS_HSCROLL) && SizerRect().Contains(x, y)) {
        SetCapture(m_hWnd);
        m_bTracking = TRUE;
        // Measured so that a drag that has not moved keeps the width.
        m_nGrabOffset = x - SizerRect().left - 1;
        return 0;
    }
    return Default();
}

LRESULT TkTabWnd::OnMouseMove(WPARAM, LPARAM point) {
    const int x = GET_X_LPARAM(point), y = GET_Y_LPARAM(point);
    if (!m_bTracking) {
        m_bOverSizer = (ScrollStyleOf(m_pActiveWnd) & WS_HSCROLL) && SizerRect().Contains(x, y);
        return Default();
    }
    RECT inside;
    GetInsideRect(inside);
    const int wanted = x - m_nGrabOffset - 1 - inside.left;
    if (wanted == m_nStripWidth) return 0;
    const int oldWidth = m_nStripWidth;
    m_nStripWidth = wanted;
    RecalcLayout();
    const RECT sizer = SizerRect();
    RECT changed{inside.left + std::min(oldWidth, m_nStripWidth), sizer.top,
                 std::max(inside.left + oldWidth + m_nSizerWidth, sizer.right), sizer.bottom};
    if (m_pTabCtrl) {
        RECT inStrip{std::min(oldWidth, m_nStripWidth), 0, std::max(oldWidth, m_nStripWidth) + m_nSizerWidth,
                     m_nRowHeight + 1};
        InvalidateRect(m_pTabCtrl->m_hWnd, &inStrip, TRUE);
    }
    InvalidateRect(m_hWnd, &changed, TRUE);
    UpdateWindow(m_hWnd);
    if (m_pTabCtrl) UpdateWindow(m_pTabCtrl->m_hWnd);
    return 0;
}

LRESULT TkTabWnd::OnLButtonUp(WPARAM, LPARAM) {
    if (m_bTracking) {
        m_bTracking = FALSE;
        ReleaseCapture();
        RecalcLayout();
        return 0;
    }
    return Default();
}

LRESULT TkTabWnd::OnSetCursor(WPARAM window, LPARAM hit) {
    if (HWND(window) == m_hWnd && LOWORD(hit) == HTCLIENT && m_bOverSizer) {
        SetCursor(m_hSizerCursor);
        return TRUE;
    }
    return Default();
}

LRESULT TkTabWnd::OnHScroll(WPARAM code, LPARAM bar) {
    if (HWND(bar) == Bar(0) && m_pActiveWnd && m_pActiveWnd->m_hWnd)
        return ::vq::SendMessage(m_pActiveWnd->m_hWnd, WM_HSCROLL, code, bar);
    return Default();
}

LRESULT TkTabWnd::OnVScroll(WPARAM code, LPARAM bar) {
    if (HWND(bar) == Bar(1) && m_pActiveWnd && m_pActiveWnd->m_hWnd)
        return ::vq::SendMessage(m_pActiveWnd->m_hWnd, WM_VSCROLL, code, bar);
    return Default();
}

LRESULT TkTabWnd::OnActivated(WPARAM index, LPARAM record) {
    ForwardActivation(index, record);
    return 0;
}

BOOL TkTabWnd::SetTabFont(HFONT font, BOOL redraw) {
    return GetStrip() && GetStrip()->SetFont(font, 0, redraw);
}
BOOL TkTabWnd::SetSelectedTabFont(HFONT font, BOOL redraw) {
    return GetStrip() && GetStrip()->SetFont(font, 1, redraw);
}
BOOL TkTabWnd::SetActiveTabFont(HFONT font, BOOL redraw) {
    return GetStrip() && GetStrip()->SetFont(font, 2, redraw);
}
HFONT TkTabWnd::GetTabFont() const {
    return GetStrip() ? GetStrip()->GetFont(0) : nullptr;
}
HFONT TkTabWnd::GetSelectedTabFont() const {
    return GetStrip() ? GetStrip()->GetFont(1) : nullptr;
}
HFONT TkTabWnd::GetActiveTabFont() const {
    return GetStrip() ? GetStrip()->GetFont(2) : nullptr;
}

} // namespace vq
