#include "toolkit/frames/TkDockBar.h"

#include "platform/classlib/FrameWnd.h"
#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkDockContext.h"
#include "toolkit/frames/TkDrawing.h"

#include <algorithm>

namespace vq {

namespace {

constexpr std::int32_t kSplitter = 6;

TkControlBar* Tk(CControlBar* bar) {
    return dynamic_cast<TkControlBar*>(bar);
}

bool IsCustomToolBar(CControlBar* bar) {
    TkControlBar* tk = Tk(bar);
    return tk && tk->IsCustomToolBar();
}

bool HasExStyle(CControlBar* bar, DWORD bits) {
    TkControlBar* tk = Tk(bar);
    return tk && (tk->m_dwExStyle & bits);
}

// The size mode of a docked bar: a dynamic floating-style bar by its most recent width, else by
// the side it is docked on.
DWORD BarMode(CControlBar* bar) {
    if ((bar->m_dwStyle & CBRS_SIZE_DYNAMIC) && (bar->m_dwStyle & CBRS_FLOATING))
        return LM_HORZ | LM_MRUWIDTH;
    if (bar->m_dwStyle & CBRS_ORIENT_HORZ) return LM_HORZ | LM_HORZDOCK;
    return LM_VERTDOCK;
}

RECT RectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    POINT p{r.left, r.top};
    ScreenToClient(GetParent(window), &p);
    return OffsetRectBy(r, p.x - r.left, p.y - r.top);
}

} // namespace

float* ShareOf(CControlBar* bar) {
    TkControlBar* tk = Tk(bar);
    return tk ? &tk->m_fPctWidth : nullptr;
}

VQ_IMPLEMENT_RUNTIME_CLASS(TkDockBar::Splitter, Object)
VQ_IMPLEMENT_RUNTIME_CLASS(TkDockBar::ClientEdge, Object)

void TkDockBar::Splitter::Draw(HDC dc) const {
    const TkSysMetrics& m = tkSysMetrics;
    const RECT& r = m_rect;
    if (m_nOrientation == 0) {
        FillSolid(dc, r.left, r.top + 1, r.Width(), r.Height() - 3, m.m_crButtonFace);
        FillSolid(dc, r.left, r.top, r.Width(), 1, m.m_crButtonHighlight);
        FillSolid(dc, r.left, r.bottom - 2, r.Width(), 1, m.m_crButtonShadow);
        FillSolid(dc, r.left, r.bottom - 1, r.Width(), 1, m.m_crWindowFrame);
    } else {
        FillSolid(dc, r.left + 1, r.top, r.Width() - 3, r.Height(), m.m_crButtonFace);
        FillSolid(dc, r.left, r.top, 1, r.Height(), m.m_crButtonHighlight);
        FillSolid(dc, r.right - 2, r.top, 1, r.Height(), m.m_crButtonShadow);
        FillSolid(dc, r.right - 1, r.top, 1, r.Height(), m.m_crWindowFrame);
    }
}

void TkDockBar::ClientEdge::Draw(HDC dc) const {
    const TkSysMetrics& m = tkSysMetrics;
    const RECT& r = m_rect;
    if (m_nOrientation == 0) {
        FillSolid(dc, r.left, r.top, r.Width(), 1, m.m_crButtonShadow);
        FillSolid(dc, r.left, r.top + 1, r.Width(), 1, m.m_crButtonHighlight);
    } else {
        FillSolid(dc, r.left, r.top, 1, r.Height(), m.m_crButtonShadow);
        FillSolid(dc, r.left + 1, r.top, 1, r.Height(), m.m_crButtonHighlight);
    }
}

VQ_IMPLEMENT_DYNCREATE(TkDockBar, CDockBar)

VQ_BEGIN_MESSAGE_MAP(TkDockBar, CDockBar)
VQ_ON_MESSAGE(WM_CREATE, OnCreateDockBar)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroyDockBar)
VQ_ON_MESSAGE(WM_SETCURSOR, OnSetCursorMessage)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMoveMessage)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDownMessage)
VQ_ON_MESSAGE(WM_SIZEPARENT, OnSizeParentDockBar)
VQ_END_MESSAGE_MAP()

TkDockBar::TkDockBar() : TkDockBar(FALSE, FALSE) {}

TkDockBar::TkDockBar(BOOL floating, BOOL inMDIChild) : CDockBar(floating), m_bInMDIChild(inMDIChild) {
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

TkDockBar::~TkDockBar() {
    DestroyWindow();
}

LRESULT TkDockBar::OnCreateDockBar(WPARAM wParam, LPARAM lParam) {
    if (OnCreateMessage(wParam, lParam) == -1) return -1;
    if (!tkSysMetrics.m_hResizeCursor1) {
        tkSysMetrics.m_hResizeCursor1 = LoadCursor(AFX_IDC_HSPLITBAR);
        tkSysMetrics.m_hResizeCursor2 = LoadCursor(AFX_IDC_VSPLITBAR);
    }
    return 0;
}

LRESULT TkDockBar::OnDestroyDockBar(WPARAM, LPARAM) {
    m_arrSplitters.clear();
    m_arrClientEdges.clear();
    return Default();
}

BOOL TkDockBar::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_SYSCHAR)
        if (CFrameWnd* frame = GetDockingFrame()) frame->PostMessage(WM_SYSCOMMAND, SC_KEYMENU, msg->wParam);
    return CWnd::PreTranslateMessage(msg);
}

int TkDockBar::GetDockedVisibleCount() const {
    int count = 0;
    for (const DockEntry& e : m_arrBars)
        if (e.bar && e.bar->m_hWnd && e.bar->IsVisible()) ++count;
    return count;
}

CControlBar* TkDockBar::GetFirstDockedBar() const {
    return m_arrBars.size() < 2 ? nullptr : m_arrBars[1].bar;
}

int TkDockBar::RowStart(int index) const {
    while (index > 1 && !m_arrBars[std::size_t(index - 1)].IsRowEnd())
        --index;
    return std::max(index, 1);
}

int TkDockBar::RowEnd(int index) const {
    const int size = int(m_arrBars.size());
    while (index < size && !m_arrBars[std::size_t(index)].IsRowEnd())
        ++index;
    return index;
}

std::int32_t TkDockBar::ClientLength() const {
    RECT client;
    GetClientRect(m_hWnd, &client);
    return IsHorz() ? client.Width() : client.Height();
}

void TkDockBar::Queue(CControlBar* bar) {
    if (bar) m_arrRedraw.push_back(bar);
}

BOOL TkDockBar::IsBarExpanded(CControlBar* bar) {
    const int index = FindBar(bar);
    if (index < 0) return FALSE;
    int above = 0;
    bool barAbove = false;
    for (int i = RowStart(index), end = RowEnd(index); i < end; ++i) {
        CControlBar* b = m_arrBars[std::size_t(i)].bar;
        const float* share = b && b->IsVisible() ? ShareOf(b) : nullptr;
        if (share && *share > m_fMinShare) {
            ++above;
            barAbove = barAbove || b == bar;
        }
    }
    return above <= 1 && barAbove;
}

BOOL TkDockBar::IsBarAloneInRow(CControlBar* bar) {
    const int index = FindBar(bar);
    if (index < 0) return FALSE;
    for (int i = RowStart(index), end = RowEnd(index); i < end; ++i) {
        CControlBar* b = m_arrBars[std::size_t(i)].bar;
        if (b && b != bar && b->IsVisible()) return FALSE;
    }
    return TRUE;
}

BOOL TkDockBar::GetRowBars(std::vector<CControlBar*>& list, CControlBar* bar) {
    list.clear();
    if (!bar) return FALSE;
    const int index = FindBar(bar);
    if (index < 0) return TRUE;
    for (int i = RowStart(index), end = RowEnd(index); i < end; ++i)
        if (CControlBar* b = m_arrBars[std::size_t(i)].bar;
            b && std::find(list.begin(), list.end(), b) == list.end())
            list.push_back(b);
    return TRUE;
}

void TkDockBar::UpdateMinShare() {
    const std::int32_t length = ClientLength();
    m_fMinShare = length > 0 ? std::clamp(18.0f / float(length), 0.0f, 1.0f) : 0.05f;
}

void TkDockBar::NormalizeRow(int first, CControlBar* keep, int* sizing, int* toolBarLike) {
    const std::int32_t length = ClientLength();
    const float m = length > 0 ? std::min(18.0f / float(length), 1.0f) : 0.05f;
    m_fMinShare = m;
    if (keep && keep->IsVisible() && Tk(keep) && Tk(keep)->m_fPctWidth > 0.95f) keep = nullptr;
    float K = 0, S = 0;
    float* kept = nullptr;
    int nSizing = 0, nTool = 0;
    const int end = RowEnd(first);
    for (int i = first; i < end; ++i) {
        CControlBar* bar = m_arrBars[std::size_t(i)].bar;
        if (!bar || !bar->IsVisible()) continue;
        if (HasExStyle(bar, CBX_TOOLBARLIKE) || !Tk(bar))
            ++nTool;
        else
            ++nSizing;
        float* share = ShareOf(bar);
        if (!share) continue;
        if (bar == keep) {
            *share = std::clamp(*share, m, 0.95f);
            K += *share;
            kept = share;
        } else {
            S += *share;
        }
    }
    if (K > 0 && kept) {
        float factor;
        if (S > 0) {
            K = std::min(K, 0.95f);
            // Others summing to less than the kept share would give a negative factor.
            factor = S > K ? S / (S - K) : 1.0f;
        } else {
            factor = 1.0f / K;
        }
        *kept = std::max(*kept * factor, m);
        S += *kept;
    }
    if (S > 0)
        for (int i = first; i < end; ++i)
            if (CControlBar* bar = m_arrBars[std::size_t(i)].bar; bar && bar->IsVisible())
                if (float* share = ShareOf(bar)) *share = std::max(*share / S, m);
    if (sizing) *sizing = nSizing;
    if (toolBarLike) *toolBarLike = nTool;
}

float TkDockBar::AddShare(float delta, CControlBar* bar) {
    float* share = ShareOf(bar);
    if (!share) return 0;
    *share += delta;
    if (*share < m_fMinShare) {
        const float shortfall = *share - m_fMinShare;
        *share = m_fMinShare;
        return shortfall;
    }
    return 0;
}

void TkDockBar::AddSplitter(int kind, int orientation, const RECT& rect, int index) {
    for (auto& s : m_arrSplitters)
        if (!s->m_bUsed && s->m_rect == rect) {
            s->m_nKind = kind;
            s->m_nOrientation = orientation;
            s->m_nIndex = index;
            s->m_bUsed = TRUE;
            return;
        }
    auto s = std::make_unique<Splitter>();
    s->m_nKind = kind;
    s->m_nOrientation = orientation;
    s->m_rect = rect;
    s->m_nIndex = index;
    s->m_bUsed = TRUE;
    m_arrSplitters.push_back(std::move(s));
}

void TkDockBar::AddClientEdge(int orientation, const RECT& rect) {
    for (auto& e : m_arrClientEdges)
        if (!e->m_bUsed && e->m_rect == rect) {
            e->m_nOrientation = orientation;
            e->m_bUsed = TRUE;
            return;
        }
    auto e = std::make_unique<ClientEdge>();
    e->m_nOrientation = orientation;
    e->m_rect = rect;
    e->m_bUsed = TRUE;
    m_arrClientEdges.push_back(std::move(e));
}

LRESULT TkDockBar::OnSizeParentDockBar(WPARAM wParam, LPARAM lParam) {
    SizeParentParams* const saved = m_pSizeParent;
    m_pSizeParent = reinterpret_cast<SizeParentParams*>(lParam);
    const BOOL noRedraw = TkControlBar::GetNoRedrawMoves();
    if (noRedraw) TkControlBar::SetNoRedrawMoves(m_bLayoutChanged);
    const LRESULT result = OnSizeParentMessage(wParam, lParam);
    TkControlBar::SetNoRedrawMoves(noRedraw);
    m_pSizeParent = saved;
    return result;
}

SIZE TkDockBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    SIZE result = CControlBar::CalcFixedLayout(stretch, horz);
    std::int32_t W, H;
    if (m_pSizeParent) {
        W = m_pSizeParent->rect.Width();
        H = m_pSizeParent->rect.Height();
    } else {
        RECT client;
        GetClientRect(::vq::GetParent(m_hWnd), &client);
        W = client.Width();
        H = client.Height();
    }
    const BOOL query = m_pSizeParent && !m_pSizeParent->hDWP;
    LayoutRows(result, query, W, H);
    m_pLastDocked = nullptr;
    return result;
}

// One pass over the rows: every visible bar gets its place, the splitters and edges theirs.
void TkDockBar::LayoutRows(SIZE& result, BOOL query, std::int32_t W, std::int32_t H) {
    const bool horzBar = IsHorz();
    const bool floating = m_bFloating != FALSE;
    const DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
    const std::int32_t g = tkSysMetrics.m_bNewShell ? 2 : 1;
    HDWP batch = query ? nullptr : BeginDeferWindowPos(int(m_arrBars.size()));
    auto defer = [&batch](HWND window, const RECT& r, UINT flags) {
        if (batch) batch = DeferWindowPos(batch, window, 0, r.left, r.top, r.Width(), r.Height(), flags);
    };
    if (!query) {
        for (auto& s : m_arrSplitters)
            s->m_bUsed = FALSE;
        for (auto& e : m_arrClientEdges)
            e->m_bUsed = FALSE;
        // A bar waiting to be hidden takes no room below, so its hiding happens here.
        for (const DockEntry& e : m_arrBars)
            if (e.bar && e.bar->m_hWnd && !e.bar->IsVisible()) {
                SizeParentParams hide;
                hide.hDWP = batch;
                e.bar->RecalcDelayShow(&hide);
            }
    }
    const UINT noRedraw = TkControlBar::GetNoRedrawMoves() ? UINT(SWP_NOREDRAW) : 0u;
    int lastBar = -1;
    for (int i = 0; i < int(m_arrBars.size()); ++i)
        if (m_arrBars[std::size_t(i)].bar) lastBar = i;

    std::int32_t x = 0, y = 0;
    std::int32_t resultLength = horzBar ? result.cx : result.cy;
    std::int32_t firstRowOffset = 0;
    std::int32_t maxGap = 0;
    bool firstRow = true;
    bool anyVisible = false;
    bool previousSizing = false;
    int thicknessChanged = -1;

    for (int start = 1; start < int(m_arrBars.size()); start = RowEnd(start) + 1) {
        const int end = RowEnd(start);
        std::vector<int> visible;
        for (int i = start; i < end; ++i)
            if (CControlBar* b = m_arrBars[std::size_t(i)].bar; b && b->m_hWnd && b->IsVisible())
                visible.push_back(i);
        if (visible.empty()) continue;
        int nSizing = 0, nTool = 0;
        NormalizeRow(start, m_pLastDocked, &nSizing, &nTool);
        const int n = nSizing + nTool;
        const bool sizingRow = nSizing > 0;
        anyVisible = true;

        // The row's origin offsets, by the kind of its first bar.
        CControlBar* lead = m_arrBars[std::size_t(visible.front())].bar;
        std::int32_t gap, alongOffset, acrossOffset;
        if (IsCustomToolBar(lead)) {
            const bool flat = HasExStyle(lead, CBX_FLATBORDERS);
            gap = flat ? 0 : g;
            alongOffset = flat ? -1 : -2;
            acrossOffset = sizingRow ? -3 : alongOffset;
        } else {
            gap = floating ? 0 : g;
            alongOffset = acrossOffset = floating ? 0 : -2;
        }
        std::int32_t& along = horzBar ? x : y;
        std::int32_t& across = horzBar ? y : x;
        along = alongOffset;
        if (firstRow) {
            across = acrossOffset;
            firstRowOffset = acrossOffset;
        } else if (IsCustomToolBar(lead) && previousSizing) {
            across += 2;
        }
        maxGap = std::max(maxGap, gap);
        const std::int32_t available = horzBar ? W : H;

        // Each bar's length along the row; sizing bars take their shares of the room.
        std::int32_t rowLength = 0, thickness = 0;
        for (int i : visible) {
            CControlBar* bar = m_arrBars[std::size_t(i)].bar;
            DWORD mode = BarMode(bar) | (horzBar ? 0 : DWORD(LM_LENGTHY));
            SIZE size;
            if (floating) {
                // A bar just floated has no size yet: it keeps the size it has for floating.
                size = bar->CalcDynamicLayout(-1, mode);
            } else {
                size = bar->CalcDynamicLayout(available - kSplitter * n + kSplitter,
                                              mode | LM_COMMIT | (sizingRow ? DWORD(LM_STRETCH) : 0));
            }
            rowLength += horzBar ? size.cx : size.cy;
            thickness = std::max(thickness, horzBar ? size.cy : size.cx);
        }
        rowLength += kSplitter * n - kSplitter - gap;
        resultLength = std::max(resultLength, rowLength + alongOffset);

        if (!sizingRow) {
            for (int i : visible) {
                CControlBar* bar = m_arrBars[std::size_t(i)].bar;
                if (TkControlBar* tk = Tk(bar)) tk->m_dwExStyle |= CBX_DARKLINES;
                const SIZE size =
                    bar->CalcDynamicLayout(-1, BarMode(bar) | (horzBar ? 0 : DWORD(LM_LENGTHY)));
                RECT r{x, y, x + size.cx, y + size.cy};
                if (!horzBar && HasExStyle(bar, CBX_ROWOWNER)) {
                    r.bottom = H - r.top;
                } else {
                    const RECT current = RectInParent(bar->m_hWnd);
                    std::int32_t shift = 0;
                    if (!floating) shift = std::max(0, horzBar ? current.left - r.left : current.top - r.top);
                    const std::int32_t limit = horzBar ? W : H;
                    const std::int32_t far = (horzBar ? r.right : r.bottom) + shift;
                    if (far > limit) shift -= far - limit;
                    shift = std::max(shift, 0);
                    r = horzBar ? OffsetRectBy(r, shift, 0) : OffsetRectBy(r, 0, shift);
                }
                const RECT current = RectInParent(bar->m_hWnd);
                if (r != current) {
                    if (!query && bar->m_pDockContext && !(bar->m_dwStyle & CBRS_FLOATING))
                        bar->m_pDockContext->m_rectMRUDockPos = r;
                    defer(bar->m_hWnd, r, SWP_NOZORDER | SWP_NOACTIVATE | noRedraw);
                }
                along = (horzBar ? r.right : r.bottom) - gap;
                SizeParentParams show;
                show.hDWP = batch;
                bar->RecalcDelayShow(&show);
            }
        } else {
            if (!floating) {
                if (horzBar) x += gap + 1;
                if (firstRow && align == CBRS_ALIGN_BOTTOM) y += 1;
                if (firstRow && align == CBRS_ALIGN_RIGHT) x += 1;
                switch (align) {
                case CBRS_ALIGN_TOP:
                    AddClientEdge(0, {0, y, W, y + 2});
                    y += 2;
                    break;
                case CBRS_ALIGN_BOTTOM:
                    AddSplitter(Splitter::Row, 0, {0, y, W, y + kSplitter}, start);
                    y += kSplitter;
                    break;
                case CBRS_ALIGN_LEFT:
                    AddClientEdge(1, {x, 0, x + 2, H + y});
                    x += 2;
                    break;
                default:
                    AddSplitter(Splitter::Row, 1, {x, 0, x + kSplitter, H - gap}, start);
                    x += kSplitter;
                    break;
                }
            }
            for (std::size_t k = 0; k < visible.size(); ++k) {
                const int i = visible[k];
                CControlBar* bar = m_arrBars[std::size_t(i)].bar;
                if (TkControlBar* tk = Tk(bar)) tk->m_dwExStyle &= ~DWORD(CBX_DARKLINES);
                const DWORD mode = BarMode(bar) | (horzBar ? 0 : DWORD(LM_LENGTHY));
                if (!query && !(!horzBar && floating))
                    bar->CalcDynamicLayout(
                        thickness, (horzBar ? mode | LM_LENGTHY : mode & ~DWORD(LM_LENGTHY)) | LM_COMMIT);
                SIZE size = bar->CalcDynamicLayout(-1, mode);
                std::int32_t length = horzBar ? size.cx : size.cy;
                const bool last = k + 1 == visible.size();
                const bool floatingStyle = (bar->m_dwStyle & CBRS_FLOATING) != 0;
                if (last && !HasExStyle(bar, CBX_TOOLBARLIKE) && (!horzBar || !floatingStyle)) {
                    const std::int32_t remaining = horzBar ? W - x : H - y;
                    if (remaining != length) {
                        bar->CalcDynamicLayout(remaining, mode | LM_COMMIT);
                        length = remaining;
                    }
                }
                const RECT r =
                    horzBar ? RECT{x, y, x + length, y + thickness} : RECT{x, y, x + thickness, y + length};
                along += length;
                if (!last) {
                    const RECT s = horzBar ? RECT{r.right, r.top, r.right + kSplitter, r.top + thickness}
                                           : RECT{r.left, r.bottom, r.left + thickness, r.bottom + kSplitter};
                    AddSplitter(Splitter::Bar, horzBar ? 1 : 0, s, i);
                    along += kSplitter;
                }
                const RECT current = RectInParent(bar->m_hWnd);
                if (r != current) {
                    if (bar->m_pDockContext && !floatingStyle) bar->m_pDockContext->m_rectMRUDockPos = r;
                    const bool sameSize = r.Width() == current.Width() && r.Height() == current.Height();
                    defer(bar->m_hWnd, r,
                          SWP_NOZORDER | SWP_NOACTIVATE | noRedraw | (sameSize ? UINT(SWP_NOSIZE) : 0u));
                    if (!sameSize) Queue(bar);
                    if ((horzBar ? r.Height() : r.Width()) != (horzBar ? current.Height() : current.Width()))
                        thicknessChanged = i;
                }
                SizeParentParams show;
                show.hDWP = batch;
                bar->RecalcDelayShow(&show);
            }
            if (!floating) {
                switch (align) {
                case CBRS_ALIGN_TOP:
                    AddSplitter(Splitter::Row, 0, {0, y + thickness, W, y + thickness + kSplitter}, start);
                    y += kSplitter;
                    break;
                case CBRS_ALIGN_BOTTOM:
                    AddClientEdge(0, {0, y + thickness, W, y + thickness + 2});
                    y += 2;
                    break;
                case CBRS_ALIGN_LEFT: {
                    const bool lastRow = lastBar >= start && lastBar < end;
                    const bool tabs = m_pHost && m_pHost->AreWorkbookTabsShown();
                    const std::int32_t extra = lastRow && !tabs ? 2 : 0;
                    AddSplitter(Splitter::Row, 1,
                                {x + extra + thickness, 0, x + extra + thickness + kSplitter, H - 2 * gap},
                                start);
                    // The dock bar widens with the splitter, which would otherwise lose its
                    // shadow and frame columns past its edge.
                    x += kSplitter + extra;
                    break;
                }
                default:
                    AddClientEdge(1, {x + thickness, 0, x + thickness + 2, H + y});
                    x += 2;
                    break;
                }
            }
        }
        across += thickness - gap;
        firstRow = false;
        previousSizing = sizingRow;
    }

    if (!query) {
        if (batch) EndDeferWindowPos(batch);
        std::erase_if(m_arrSplitters, [](const auto& s) { return !s->m_bUsed; });
        std::erase_if(m_arrClientEdges, [](const auto& e) { return !e->m_bUsed; });
        if (thicknessChanged >= 0) {
            // The rows beyond a row that grew or shrank move, and are redrawn.
            const bool fromEnd = align == CBRS_ALIGN_TOP || align == CBRS_ALIGN_LEFT;
            for (int i = 0; i < int(m_arrBars.size()); ++i)
                if (CControlBar* b = m_arrBars[std::size_t(i)].bar;
                    b && (fromEnd ? i >= thicknessChanged : i < thicknessChanged))
                    Queue(b);
        }
    }

    std::int32_t acrossTotal = 0;
    if (anyVisible) acrossTotal = (horzBar ? y : x) + firstRowOffset + maxGap + (floating ? 0 : 2);
    if (horzBar) {
        result.cx = std::max(result.cx, resultLength);
        result.cy = acrossTotal;
    } else {
        result.cy = std::max(result.cy, resultLength);
        result.cx = acrossTotal;
    }
}

void TkDockBar::DoPaint(HDC dc) {
    for (const auto& e : m_arrClientEdges)
        e->Draw(dc);
    for (const auto& s : m_arrSplitters)
        s->Draw(dc);
    if (m_bInRepaint) {
        for (CControlBar* bar : m_arrRedraw)
            if (bar->m_hWnd) RedrawWindowFrame(bar->m_hWnd);
        m_arrRedraw.clear();
        m_bLayoutChanged = FALSE;
    }
}

void TkDockBar::QueueRowRedraw(CControlBar* bar) {
    const int index = FindBar(bar);
    if (index >= 0 && IsBarAloneInRow(bar)) {
        const bool fromHere = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) != 0;
        for (int i = 0; i < int(m_arrBars.size()); ++i)
            if (CControlBar* b = m_arrBars[std::size_t(i)].bar; b && (fromHere ? i > index : i < index))
                Queue(b);
    }
    Queue(bar);
    m_pLastDocked = bar;
}

void TkDockBar::RedrawNow() {
    if (m_arrRedraw.empty()) return;
    m_bInRepaint = TRUE;
    RedrawWindowFrame(m_hWnd);
    UpdateWindow(m_hWnd);
    m_bInRepaint = FALSE;
}

void TkDockBar::QueueRowToolBars(CControlBar* bar) {
    const int index = FindBar(bar);
    if (index < 0) return;
    for (int i = RowStart(index), end = RowEnd(index); i < end; ++i)
        if (CControlBar* b = m_arrBars[std::size_t(i)].bar; b && IsCustomToolBar(b)) Queue(b);
}

void TkDockBar::ExpandBar(CControlBar* bar, int mode) {
    if (!bar) return;
    std::vector<CControlBar*> row;
    GetRowBars(row, bar);
    if (row.empty()) return;
    for (CControlBar* b : row)
        if (float* share = ShareOf(b)) *share = mode == 1 ? (b == bar ? 1.0f : 0.0f) : 0.1f;
    const int first = FindBar(row.front());
    NormalizeRow(first, bar, nullptr, nullptr);
    for (int i = first; i < int(m_arrBars.size()); ++i)
        if (CControlBar* b = m_arrBars[std::size_t(i)].bar) Queue(b);
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout(TRUE);
}

} // namespace vq
