#include "platform/classlib/ControlBar.h"

#include "platform/classlib/DockState.h"
#include "platform/classlib/FrameWnd.h"

#include <algorithm>

namespace vq {

namespace {

RECT ChildRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    POINT topLeft{r.left, r.top};
    ScreenToClient(GetParent(window), &topLeft);
    return OffsetRectBy(r, topLeft.x - r.left, topLeft.y - r.top);
}

CFrameWnd* FrameAbove(HWND window) {
    for (HWND w = GetParent(window); w; w = GetParent(w))
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(w))) return frame;
    return nullptr;
}

} // namespace

void RepositionWindow(SizeParentParams* layout, HWND window, const RECT& rect) {
    if (!layout->hDWP || ChildRect(window) == rect) return;
    layout->hDWP = DeferWindowPos(layout->hDWP, window, 0, rect.left, rect.top, rect.Width(), rect.Height(),
                                  SWP_NOACTIVATE | SWP_NOZORDER);
}

const char* ControlBarClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
        wc.lpszClassName = "AfxControlBar42";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "AfxControlBar42" : nullptr;
}

VQ_IMPLEMENT_RUNTIME_CLASS(CControlBar, CWnd)

VQ_BEGIN_MESSAGE_MAP(CControlBar, CWnd)
VQ_ON_MESSAGE(WM_SIZEPARENT, OnSizeParentMessage)
VQ_ON_MESSAGE(WM_PAINT, OnPaintMessage)
VQ_ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
VQ_ON_MESSAGE(WM_CREATE, OnCreateMessage)
VQ_END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    std::unique_ptr<CDockContext> context = std::move(m_pDockContext);
    context.reset();
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}

LRESULT CControlBar::OnCreateMessage(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    if (CFrameWnd* frame = FrameAbove(m_hWnd)) {
        m_pDockSite = frame;
        frame->AddControlBar(this);
    }
    return 0;
}

SIZE CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    SIZE size{stretch && horz ? 32767 : 0, stretch && !horz ? 32767 : 0};
    RECT inside{};
    CalcInsideRect(inside, horz);
    // The inside of an empty rectangle is negative by the borders, which the bar adds back.
    if (!(stretch && horz)) size.cx -= inside.Width();
    if (!(stretch && !horz)) size.cy -= inside.Height();
    return size;
}

SIZE CControlBar::CalcDynamicLayout(int, DWORD mode) {
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void CControlBar::DoPaint(HDC) {}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void CControlBar::SetBarStyle(DWORD style) {
    const DWORD old = m_dwStyle;
    m_dwStyle = style;
    if (old != style) OnBarStyleChange(old, style);
}

BOOL CControlBar::IsFloating() const {
    return (m_dwStyle & CBRS_FLOATING) != 0 || (m_pDockBar && m_pDockBar->m_bFloating);
}

BOOL CControlBar::IsDockBar() const {
    return dynamic_cast<const CDockBar*>(this) != nullptr;
}

BOOL CControlBar::IsVisible() const {
    if (m_nStateFlags & delayHide) return FALSE;
    // The bar's own style decides: a bar in a frame not yet shown is still a visible bar.
    return (m_nStateFlags & delayShow) || (m_hWnd && (GetStyle() & WS_VISIBLE));
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    return m_pDockSite ? m_pDockSite : FrameAbove(m_hWnd);
}

void CControlBar::DelayShow(BOOL show) {
    const BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    m_nStateFlags &= ~(delayHide | delayShow);
    if (show && !visible) m_nStateFlags |= delayShow;
    if (!show && visible) m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(SizeParentParams* layout) {
    DWORD style = GetStyle();
    if (m_nStateFlags & delayShow) style |= WS_VISIBLE;
    if (m_nStateFlags & delayHide) style &= ~WS_VISIBLE;
    if (layout->hDWP && (m_nStateFlags & (delayShow | delayHide))) {
        const UINT flags = (m_nStateFlags & delayShow) ? UINT(SWP_SHOWWINDOW) : UINT(SWP_HIDEWINDOW);
        SetWindowPos(m_hWnd, 0, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_nStateFlags &= ~(delayHide | delayShow);
    }
    return style;
}

void CControlBar::CalcInsideRect(RECT& rect, BOOL horz) const {
    if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += 2;
    if (m_dwStyle & CBRS_BORDER_TOP) rect.top += 2;
    if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= 2;
    if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= 2;
    if (horz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

LRESULT CControlBar::OnSizeParentMessage(WPARAM, LPARAM lParam) {
    auto* layout = reinterpret_cast<SizeParentParams*>(lParam);
    const DWORD style = RecalcDelayShow(layout);
    if (!(style & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY)) return 0;
    RECT rect = layout->rect;
    DWORD mode = layout->bStretch ? DWORD(LM_STRETCH) : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        mode |= LM_HORZ | LM_MRUWIDTH;
    else if (m_dwStyle & CBRS_ORIENT_HORZ)
        mode |= LM_HORZ | LM_HORZDOCK;
    else
        mode |= LM_VERTDOCK;
    SIZE size = CalcDynamicLayout(-1, mode);
    size.cx = std::min(size.cx, rect.Width());
    size.cy = std::min(size.cy, rect.Height());
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        layout->sizeTotal.cy += size.cy;
        layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            layout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            layout->rect.bottom -= size.cy;
        }
    } else {
        layout->sizeTotal.cx += size.cx;
        layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            layout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            layout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    RepositionWindow(layout, m_hWnd, rect);
    return 0;
}

LRESULT CControlBar::OnPaintMessage(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    DoPaint(dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!IsWindowVisible(m_hWnd)) return 0;
    CWnd* owner = GetOwner();
    CFrameWnd* target = dynamic_cast<CFrameWnd*>(owner);
    if (!target) target = GetDockingFrame();
    if (target) OnUpdateCmdUI(target, BOOL(wParam));
    return 0;
}

VQ_IMPLEMENT_RUNTIME_CLASS(CDockBar, CControlBar)

CDockBar::CDockBar(BOOL floating) : m_bFloating(floating) {
    m_arrBars.push_back(DockEntry::RowEnd());
}

CDockBar::~CDockBar() {
    // Bars still docked here outlive it without a dock bar.
    for (const DockEntry& e : m_arrBars)
        if (e.bar && e.bar->m_pDockBar == this) e.bar->m_pDockBar = nullptr;
}

BOOL CDockBar::Create(CFrameWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    // Top-level frames own the windows they float in; a dock bar is always one of their children.
    return CWnd::CreateEx(0, ControlBarClassName(), "", (style & ~DWORD(CBRS_ALL)) | WS_CHILD, RECT{}, parent,
                          id);
}

int CDockBar::GetDockedVisibleCount() const {
    int count = 0;
    for (const DockEntry& e : m_arrBars)
        if (e.bar && e.bar->m_hWnd && e.bar->IsVisible()) ++count;
    return count;
}

int CDockBar::GetDockedCount() const {
    return int(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](const DockEntry& e) { return e.bar; }));
}

int CDockBar::FindBar(const CControlBar* bar, int skipIndex) const {
    for (int i = 0; i < int(m_arrBars.size()); ++i)
        if (i != skipIndex && m_arrBars[std::size_t(i)].bar == bar) return i;
    return -1;
}

void CDockBar::DockControlBar(CControlBar* bar, const RECT*) {
    if (!bar || FindBar(bar) >= 0) return;
    m_arrBars.push_back({bar, 0});
    m_arrBars.push_back(DockEntry::RowEnd());
    if (::vq::GetParent(bar->m_hWnd) != m_hWnd) ::vq::SetParent(bar->m_hWnd, m_hWnd);
    if (bar->m_pDockBar && bar->m_pDockBar != this) bar->m_pDockBar->RemoveControlBar(bar);
    bar->m_pDockBar = this;
}

void CDockBar::ReDockControlBar(CControlBar* bar, const RECT* rect) {
    DockControlBar(bar, rect);
}

BOOL CDockBar::RemoveControlBar(CControlBar* bar, int skipIndex, int) {
    const int index = FindBar(bar, skipIndex);
    if (index < 0) return FALSE;
    m_arrBars.erase(m_arrBars.begin() + index);
    // A row left empty goes with its end.
    if (m_arrBars[std::size_t(index - 1)].IsRowEnd() && std::size_t(index) < m_arrBars.size() &&
        m_arrBars[std::size_t(index)].IsRowEnd())
        m_arrBars.erase(m_arrBars.begin() + index);
    return FALSE;
}

std::vector<std::uint32_t> CDockBar::GetBarIds() const {
    std::vector<std::uint32_t> ids;
    ids.reserve(m_arrBars.size());
    for (const DockEntry& e : m_arrBars) {
        if (e.bar)
            ids.push_back(e.bar->GetDlgCtrlID());
        else if (e.IsPlaceholder())
            ids.push_back(std::uint32_t(e.placeholder) + 0x10000);
        else
            ids.push_back(0);
    }
    return ids;
}

void CDockBar::SetBarIds(const std::vector<std::uint32_t>& ids, CFrameWnd* frame) {
    m_arrBars.clear();
    m_arrBars.push_back(DockEntry::RowEnd());
    for (std::size_t i = ids.empty() ? 0 : (ids.front() == 0 ? 1 : 0); i < ids.size(); ++i) {
        const std::uint32_t id = ids[i];
        if (id == 0) {
            m_arrBars.push_back(DockEntry::RowEnd());
            continue;
        }
        const auto barId = std::uint16_t(id & 0xFFFF);
        CControlBar* bar = (id & 0x10000) || !frame ? nullptr : frame->GetControlBar(barId);
        m_arrBars.push_back(bar ? DockEntry{bar, 0} : DockEntry::Placeholder(barId));
    }
    if (!m_arrBars.back().IsRowEnd()) m_arrBars.push_back(DockEntry::RowEnd());
}

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar), m_pDockSite(bar->m_pDockSite) {
    m_dwDockStyle = bar->m_dwDockStyle;
}

void CControlBar::GetBarInfo(CControlBarInfo* info) {
    info->m_nBarID = GetDlgCtrlID();
    info->m_bVisible = IsVisible();
    info->m_nMRUWidth = m_nMRUWidth;
    info->m_bFloating = IsFloating();
    info->m_bDocking = m_pDockContext != nullptr;
    if (m_pDockBar) {
        RECT r;
        GetWindowRect(m_hWnd, &r);
        POINT p{r.left, r.top};
        ScreenToClient(m_pDockBar->m_hWnd, &p);
        info->m_pointPos = p;
    }
    if (m_pDockContext) {
        info->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
        info->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
        info->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
        info->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
    }
}

void CControlBar::SetBarInfo(CControlBarInfo* info, CFrameWnd*) {
    m_nMRUWidth = info->m_nMRUWidth;
    if (info->m_bDocking && m_pDockContext) {
        m_pDockContext->m_uMRUDockID = info->m_uMRUDockID;
        m_pDockContext->m_rectMRUDockPos = info->m_rectMRUDockPos;
        m_pDockContext->m_dwMRUFloatStyle = info->m_dwMRUFloatStyle;
        m_pDockContext->m_ptMRUFloatPos = info->m_ptMRUFloatPos;
    }
    ShowWindow(m_hWnd, info->m_bVisible ? SW_SHOWNA : SW_HIDE);
    if (m_pDockBar)
        SetWindowPos(m_hWnd, 0, info->m_pointPos.x, info->m_pointPos.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// Takes a bar out of the entries of the dock bar it sits in, leaving nothing in its place.
void DetachFromDockBar(CControlBar* bar) {
    CDockBar* old = bar->m_pDockBar;
    if (!old) return;
    const int index = old->FindBar(bar);
    if (index > 0) {
        auto& entries = old->m_arrBars;
        entries.erase(entries.begin() + index);
        // A row the bar alone held goes with it.
        if (entries[std::size_t(index - 1)].IsRowEnd() && std::size_t(index) < entries.size() &&
            entries[std::size_t(index)].IsRowEnd() && index > 1)
            entries.erase(entries.begin() + index);
    }
    bar->m_pDockBar = nullptr;
}

} // namespace

void CDockBar::GetBarInfo(CControlBarInfo* info) {
    info->m_nBarID = GetDlgCtrlID();
    info->m_bVisible = IsVisible();
    info->m_bFloating = m_bFloating;
    info->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    info->m_bDockBar = TRUE;
    info->m_nMRUWidth = m_nMRUWidth;
    info->m_arrBarID = GetBarIds();
    if (m_bFloating) {
        RECT r;
        GetWindowRect(m_hWnd, &r);
        info->m_pointPos = {r.left, r.top};
    }
}

void CDockBar::SetBarInfo(CControlBarInfo* info, CFrameWnd* frame) {
    // Another dock bar is no entry of this one.
    std::vector<std::uint32_t> ids = info->m_arrBarID;
    for (std::uint32_t& id : ids)
        if (id != 0 && !(id & 0x10000) && frame)
            if (CControlBar* bar = frame->GetControlBar(id & 0xFFFF); bar && bar->IsDockBar())
                id = (id & 0xFFFF) | 0x10000;
    for (const DockEntry& e : m_arrBars)
        if (e.bar && e.bar->m_pDockBar == this) e.bar->m_pDockBar = nullptr;
    SetBarIds(ids, frame);
    for (const DockEntry& e : m_arrBars) {
        if (!e.bar) continue;
        if (e.bar->m_pDockBar && e.bar->m_pDockBar != this) DetachFromDockBar(e.bar);
        if (vq::GetParent(e.bar->m_hWnd) != m_hWnd) vq::SetParent(e.bar->m_hWnd, m_hWnd);
        e.bar->m_pDockBar = this;
        AdoptBarStyle(e.bar);
    }
    if (!m_bFloating) ShowWindow(m_hWnd, info->m_bVisible ? SW_SHOWNA : SW_HIDE);
}

void CDockBar::AdoptBarStyle(CControlBar* bar) {
    bar->m_dwStyle = (bar->m_dwStyle & ~DWORD(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY) |
                     (m_bFloating ? DWORD(CBRS_FLOATING) : 0);
}

} // namespace vq
