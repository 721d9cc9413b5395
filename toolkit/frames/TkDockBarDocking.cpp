#include "platform/classlib/FrameWnd.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkDockBar.h"

#include <algorithm>
#include <cmath>

namespace vq {

namespace {

RECT WindowRectOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

RECT ScreenToClientRect(HWND window, const RECT& r) {
    POINT p{r.left, r.top};
    ScreenToClient(window, &p);
    return OffsetRectBy(r, p.x - r.left, p.y - r.top);
}

POINT MidPoint(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool IsToolBarLike(CControlBar* bar) {
    auto* tk = dynamic_cast<TkControlBar*>(bar);
    return tk && (tk->m_dwExStyle & CBX_TOOLBARLIKE);
}

bool IsRowOwner(CControlBar* bar) {
    auto* tk = dynamic_cast<TkControlBar*>(bar);
    return tk && (tk->m_dwExStyle & CBX_ROWOWNER);
}

} // namespace

void TkDockBar::StyleSteps(CControlBar* bar) {
    if (m_bFloating && (bar->m_dwDockStyle & CBRS_FLOAT_MULTI)) m_dwStyle |= CBRS_FLOAT_MULTI;
    m_dwStyle = (m_dwStyle & ~DWORD(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC)) |
                (bar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC));
    if (!(m_dwStyle & CBRS_FLOAT_MULTI)) {
        std::string title = bar->GetWindowText();
        if (title.size() > 260) title.resize(260);
        SetWindowText(title.c_str());
    }
    bar->m_dwStyle = (bar->m_dwStyle & ~DWORD(CBRS_ALIGN_ANY | CBRS_FLOATING)) |
                     (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY |
                     (m_bFloating ? DWORD(CBRS_FLOATING) : 0);
}

void TkDockBar::RemovePlaceholder(UINT id, int skipIndex) {
    for (int i = 1; i < int(m_arrBars.size()); ++i) {
        const DockEntry& e = m_arrBars[std::size_t(i)];
        if (i == skipIndex || !e.IsPlaceholder() || e.placeholder != id) continue;
        m_arrBars.erase(m_arrBars.begin() + i);
        // A row the placeholder alone held goes with it.
        if (m_arrBars[std::size_t(i - 1)].IsRowEnd() && i < int(m_arrBars.size()) &&
            m_arrBars[std::size_t(i)].IsRowEnd())
            m_arrBars.erase(m_arrBars.begin() + i);
        return;
    }
}

void TkDockBar::AttachSteps(CControlBar* bar, int index) {
    if (::vq::GetParent(bar->m_hWnd) != m_hWnd) ::vq::SetParent(bar->m_hWnd, m_hWnd);
    if (CDockBar* previous = bar->m_pDockBar) {
        if (previous == this)
            RemoveControlBar(bar, index);
        else
            previous->RemoveControlBar(bar, -1);
    }
    bar->m_pDockBar = this;
    RemovePlaceholder(bar->GetDlgCtrlID());
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout(TRUE);
}

void TkDockBar::DockControlBarEx(CControlBar* bar, const TkDockPosition& position) {
    if (!bar) return;
    StyleSteps(bar);
    const int index = InsertAtPosition(bar, position);
    AttachSteps(bar, index);
    const int now = FindBar(bar);
    if (now >= 0) NormalizeRow(RowStart(now), bar, nullptr, nullptr);
}

void TkDockBar::DockControlBarAt(CControlBar* bar, int column, int row) {
    DockControlBarEx(bar, {row, column, 0});
}

void TkDockBar::DockControlBar(CControlBar* bar, const RECT* rect) {
    if (!bar) return;
    const int index = FindBar(bar);
    if (index >= 0) {
        const RECT window = WindowRectOf(bar->m_hWnd);
        if (!rect || window == *rect) return;
        if (!IsToolBarLike(bar)) {
            const RECT client = ScreenToClientRect(m_hWnd, *rect);
            const int drop = FindDropRow(client, MidPoint(client));
            if (drop == index || drop == index + 1) return;
        }
    }
    if (CDockBar* old = bar->m_pDockBar) {
        const RECT area = ScreenToClientRect(old->m_hWnd, WindowRectOf(bar->m_hWnd));
        InvalidateRect(old->m_hWnd, &area, TRUE);
    }
    StyleSteps(bar);
    int at;
    POINT place;
    if (rect) {
        const RECT client = ScreenToClientRect(m_hWnd, *rect);
        at = InsertAtPoint(bar, client, MidPoint(client));
        place = {client.left, client.top};
    } else {
        m_arrBars.push_back({bar, 0});
        m_arrBars.push_back(DockEntry::RowEnd());
        at = int(m_arrBars.size()) - 2;
        place = {-tkSysMetrics.m_nBorderWidth, -tkSysMetrics.m_nBorderHeight};
    }
    if (::vq::GetParent(bar->m_hWnd) != m_hWnd) ::vq::SetParent(bar->m_hWnd, m_hWnd);
    // With no size the layout that follows sizes it.
    SetWindowPos(bar->m_hWnd, 0, place.x, place.y, 0, 0, SWP_NOREDRAW | SWP_NOZORDER | SWP_NOACTIVATE);
    AttachSteps(bar, at);
}

void TkDockBar::ReDockControlBar(CControlBar* bar, const RECT* rect) {
    if (!bar) return;
    if (FindBar(bar) >= 0 && (!rect || WindowRectOf(bar->m_hWnd) == *rect)) return;
    StyleSteps(bar);
    const auto id = std::uint16_t(bar->GetDlgCtrlID());
    int found = -1;
    for (int i = 1; i < int(m_arrBars.size()); ++i)
        if (m_arrBars[std::size_t(i)].IsPlaceholder() && m_arrBars[std::size_t(i)].placeholder == id) {
            m_arrBars[std::size_t(i)] = {bar, 0};
            found = i;
            break;
        }
    const BOOL wasVisible = IsWindowVisible(bar->m_hWnd);
    if (::vq::GetParent(bar->m_hWnd) != m_hWnd) ::vq::SetParent(bar->m_hWnd, m_hWnd);
    const UINT hide = wasVisible ? UINT(SWP_HIDEWINDOW) : 0u;
    if (rect) {
        const RECT client = ScreenToClientRect(m_hWnd, *rect);
        if (found < 0) InsertAtPoint(bar, client, MidPoint(client));
        SetWindowPos(bar->m_hWnd, 0, client.left, client.top, client.Width() + 1, client.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | hide);
    } else {
        if (found < 0) {
            m_arrBars.push_back({bar, 0});
            m_arrBars.push_back(DockEntry::RowEnd());
        }
        SetWindowPos(bar->m_hWnd, 0, -tkSysMetrics.m_nBorderWidth, -tkSysMetrics.m_nBorderHeight, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | hide);
    }
    if (wasVisible) bar->DelayShow(TRUE);
    if (CDockBar* previous = bar->m_pDockBar; previous && previous != this) {
        auto* tkPrevious = dynamic_cast<TkDockBar*>(previous);
        // The previous dock bar may go with its floating frame; then nothing of it is left to clean.
        if (!previous->RemoveControlBar(bar, -1) && tkPrevious) tkPrevious->RemovePlaceholder(id);
    }
    bar->m_pDockBar = this;
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout(TRUE);
    m_pLastDocked = bar;
}

BOOL TkDockBar::RemoveControlBar(CControlBar* bar, int skipIndex, int) {
    const int index = FindBar(bar, skipIndex);
    if (index < 0) return FALSE;
    if (IsBarAloneInRow(bar)) {
        const bool fromHere = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) != 0;
        for (int i = 0; i < int(m_arrBars.size()); ++i)
            if (CControlBar* b = m_arrBars[std::size_t(i)].bar;
                b && b != bar && (fromHere ? i > index : i < index))
                Queue(b);
        m_bLayoutChanged = TRUE;
    }
    const UINT id = bar->m_hWnd ? bar->GetDlgCtrlID() : 0;
    if (id != 0) {
        m_arrBars[std::size_t(index)] = DockEntry::Placeholder(std::uint16_t(id));
        const bool another = std::any_of(m_arrBars.begin(), m_arrBars.end(), [&](const DockEntry& e) {
            return &e != &m_arrBars[std::size_t(index)] &&
                   ((e.IsPlaceholder() && e.placeholder == id) ||
                    (e.bar && e.bar != bar && e.bar->m_hWnd && e.bar->GetDlgCtrlID() == id));
        });
        if (another) RemovePlaceholder(id, -1);
    } else {
        m_arrBars.erase(m_arrBars.begin() + index);
        if (m_arrBars[std::size_t(index - 1)].IsRowEnd() && index < int(m_arrBars.size()) &&
            m_arrBars[std::size_t(index)].IsRowEnd())
            m_arrBars.erase(m_arrBars.begin() + index);
    }
    std::erase(m_arrRedraw, bar);
    if (m_pLastDocked == bar) m_pLastDocked = nullptr;
    // During shutdown the frame is going too.
    if (!bar->m_pDockContext) return FALSE;
    if (!m_bFloating) {
        if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout();
        return FALSE;
    }
    CWnd* floatingFrame = GetParent();
    if (GetDockedVisibleCount() > 0) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(floatingFrame)) frame->RecalcLayout();
        return FALSE;
    }
    if (GetDockedCount() == 0) {
        // The frame takes this dock bar with it: nothing of it may be touched after.
        if (floatingFrame) floatingFrame->DestroyWindow();
        return TRUE;
    }
    if (floatingFrame) ShowWindow(floatingFrame->m_hWnd, SW_HIDE);
    return FALSE;
}

int TkDockBar::InsertAtRowColumn(CControlBar* bar, int column, int row) {
    return InsertAtPosition(bar, {row, column, 0});
}

int TkDockBar::InsertAtPosition(CControlBar* bar, const TkDockPosition& position) {
    if (!bar) return -1;
    auto insert = [&](int at) {
        at = std::clamp(at, 1, int(m_arrBars.size()));
        if (at < int(m_arrBars.size())) Queue(m_arrBars[std::size_t(at)].bar);
        m_arrBars.insert(m_arrBars.begin() + at, DockEntry{bar, 0});
        Queue(bar);
        return at;
    };
    if (m_arrBars.size() <= 1) {
        m_arrBars.push_back({bar, 0});
        m_arrBars.push_back(DockEntry::RowEnd());
        Queue(bar);
        return 1;
    }
    const bool fromEnd = (position.flags & TkDockPosition::RowFromEnd) != 0;
    if (fromEnd && position.row > 0) {
        m_arrBars.insert(m_arrBars.end(), std::size_t(position.row - 1), DockEntry::RowEnd());
        m_arrBars.push_back({bar, 0});
        m_arrBars.push_back(DockEntry::RowEnd());
        Queue(bar);
        return int(m_arrBars.size()) - 2;
    }
    if (!fromEnd && position.row < 0) {
        m_arrBars.insert(m_arrBars.begin() + 1, std::size_t(-position.row - 1), DockEntry::RowEnd());
        return insert(1);
    }
    // The rows as [start, end) ranges.
    std::vector<std::pair<int, int>> rows;
    for (int start = 1; start < int(m_arrBars.size()); start = RowEnd(start) + 1)
        rows.emplace_back(start, RowEnd(start));
    const int wanted = fromEnd ? -position.row : position.row;
    if (wanted >= int(rows.size())) {
        if (!fromEnd)
            return InsertAtPosition(bar, {wanted - int(rows.size()) + 1, 0, TkDockPosition::RowFromEnd});
        return InsertAtPosition(bar, {-1 - (wanted - int(rows.size()) + 1), 0, 0});
    }
    const auto [rs, re] = rows[std::size_t(fromEnd ? int(rows.size()) - 1 - wanted : wanted)];
    if (position.flags & TkDockPosition::NewRow) {
        m_arrBars.insert(m_arrBars.begin() + rs, DockEntry::RowEnd());
        return insert(rs);
    }
    auto visibleBar = [&](int i) {
        CControlBar* b = m_arrBars[std::size_t(i)].bar;
        return b && b->IsVisible();
    };
    if (!(position.flags & TkDockPosition::ColumnFromEnd)) {
        if (rs == re || position.column <= 0) return insert(rs);
        int i = rs, skipped = 0;
        while (i < re && skipped < position.column) {
            if (visibleBar(i)) ++skipped;
            ++i;
        }
        return insert(i);
    }
    if (position.column > 0) return insert(re);
    int skipped = 0;
    for (int i = re - 1; i >= rs; --i) {
        if (!visibleBar(i)) continue;
        if (skipped == -position.column) return insert(i);
        ++skipped;
    }
    return insert(rs);
}

int TkDockBar::InsertAtPoint(CControlBar* bar, const RECT& rect, POINT mid) {
    Queue(bar);
    const bool horz = IsHorz();
    for (int i = 1; i < int(m_arrBars.size()); ++i) {
        CControlBar* b = m_arrBars[std::size_t(i)].bar;
        if (!b || b == bar || !b->IsVisible()) continue;
        const RECT r = ScreenToClientRect(m_hWnd, WindowRectOf(b->m_hWnd));
        if ((horz ? r.bottom : r.right) < (horz ? mid.y : mid.x)) continue;
        if ((horz ? mid.y : mid.x) < (horz ? r.top : r.left)) return InsertAsFirstRow(bar);
        int at = -1;
        if ((horz ? rect.left : rect.top) < (horz ? r.left : r.top))
            at = i;
        else if (i + 1 < int(m_arrBars.size()) && !m_arrBars[std::size_t(i + 1)].bar)
            at = i + 1;
        if (at < 0) continue;
        const int index = InsertAtIndex(at, bar);
        for (int k = index; k < int(m_arrBars.size()); ++k)
            Queue(m_arrBars[std::size_t(k)].bar);
        return index;
    }
    int lastBar = 0;
    for (int i = 0; i < int(m_arrBars.size()); ++i)
        if (m_arrBars[std::size_t(i)].bar) lastBar = i;
    m_arrBars.resize(std::size_t(lastBar) + 1);
    m_arrBars.push_back(DockEntry::RowEnd());
    m_arrBars.push_back({bar, 0});
    m_arrBars.push_back(DockEntry::RowEnd());
    m_arrBars.push_back(DockEntry::RowEnd());
    m_bLayoutChanged = TRUE;
    return int(m_arrBars.size()) - 3;
}

int TkDockBar::InsertAsFirstRow(CControlBar* bar) {
    if (!bar) return -1;
    int i = 1;
    while (i < int(m_arrBars.size()) && m_arrBars[std::size_t(i)].IsRowEnd())
        ++i;
    if (i == int(m_arrBars.size())) {
        m_arrBars.push_back({bar, 0});
        m_arrBars.push_back(DockEntry::RowEnd());
        return int(m_arrBars.size()) - 2;
    }
    m_arrBars.insert(m_arrBars.begin() + i, {DockEntry{bar, 0}, DockEntry::RowEnd()});
    return i;
}

int TkDockBar::InsertAtIndex(int index, CControlBar* bar) {
    index = std::clamp(index, 1, int(m_arrBars.size()));
    m_arrBars.insert(m_arrBars.begin() + index, DockEntry{bar, 0});
    auto at = [&](int i) -> CControlBar* {
        return i >= 0 && i < int(m_arrBars.size()) ? m_arrBars[std::size_t(i)].bar : nullptr;
    };
    const bool owner = IsRowOwner(bar);
    CControlBar* next = at(index + 1);
    CControlBar* previous = at(index - 1);
    if (next && (owner || IsRowOwner(next)))
        m_arrBars.insert(m_arrBars.begin() + index + 1, DockEntry::RowEnd());
    if (previous && (owner || IsRowOwner(previous))) {
        m_arrBars.insert(m_arrBars.begin() + index, DockEntry::RowEnd());
        ++index;
    }
    return index;
}

int TkDockBar::FindDropRow(const RECT& rect, POINT mid) const {
    const bool horz = IsHorz();
    int candidate = 0;
    std::int32_t thickness = 0, total = 0;
    for (int i = 0; i < int(m_arrBars.size()); ++i) {
        CControlBar* b = m_arrBars[std::size_t(i)].bar;
        if (b && b->IsVisible()) {
            const RECT r = ScreenToClientRect(m_hWnd, WindowRectOf(b->m_hWnd));
            thickness = std::max(thickness, horz ? r.Height() : r.Width() - 1);
            if ((horz ? r.left : r.top) < (horz ? rect.left : rect.top)) candidate = i;
            continue;
        }
        total += thickness - tkSysMetrics.m_nBorderHeight;
        thickness = 0;
        if ((horz ? mid.y : mid.x) < total) {
            if (i == 0) return 0;
            break;
        }
        candidate = i;
    }
    return candidate + 1;
}

RECT TkDockBar::CalcDropRect(CControlBar* bar, const RECT& drag, POINT mouse, int& lastRow, RECT& lastRect,
                             POINT& lastPoint) {
    const bool horz = IsHorz();
    const RECT client = ScreenToClientRect(m_hWnd, drag);
    int row = FindDropRow(client, MidPoint(client));
    row = RowStart(std::min(row, int(m_arrBars.size()) - 1));
    const int end = RowEnd(row);
    int others = 0;
    for (int i = row; i < end; ++i)
        if (CControlBar* b = m_arrBars[std::size_t(i)].bar; b && b != bar) ++others;
    RECT result = drag;
    if (others > 0 && row == lastRow) {
        result = OffsetRectBy(lastRect, mouse.x - lastPoint.x, mouse.y - lastPoint.y);
    } else if (!IsToolBarLike(bar)) {
        const RECT window = WindowRectOf(m_hWnd);
        if (others == 0) {
            if (horz)
                result.left = window.left, result.right = window.right;
            else
                result.top = window.top, result.bottom = window.bottom;
        } else {
            float sum = 0;
            std::int32_t thickness = 0;
            bool draggedHere = false;
            for (int i = row; i < end; ++i) {
                auto* tk = dynamic_cast<TkControlBar*>(m_arrBars[std::size_t(i)].bar);
                if (!tk || !tk->IsVisible()) continue;
                if (tk == bar) draggedHere = true;
                sum += tk->m_fPctWidth;
                thickness = std::max(thickness, horz ? tk->m_szMRUHorzDock.cy : tk->m_szMRUVertDock.cx);
            }
            auto* own = dynamic_cast<TkControlBar*>(bar);
            if (!draggedHere && sum > 0 && own) {
                sum += own->m_fPctWidth;
                thickness = std::max(thickness, horz ? own->m_szMRUHorzDock.cy : own->m_szMRUVertDock.cx);
                const std::int32_t windowLength = horz ? window.Width() : window.Height();
                const auto length = std::int32_t(own->m_fPctWidth / sum * float(windowLength));
                // Each side gives up its part, so that the pointer keeps its place in the rectangle.
                auto fit = [](std::int32_t& nearSide, std::int32_t& farSide, std::int32_t pointer,
                              std::int32_t size) {
                    const std::int32_t old = farSide - nearSide;
                    const double r = old == 0 ? 0.0 : double(pointer - nearSide) / double(old);
                    const std::int32_t excess = old - size;
                    nearSide += std::int32_t(std::trunc(r * excess));
                    farSide -= std::int32_t(std::trunc(excess * (1 - r)));
                };
                if (horz) {
                    fit(result.left, result.right, mouse.x, length);
                    fit(result.top, result.bottom, mouse.y, thickness);
                } else {
                    fit(result.top, result.bottom, mouse.y, length);
                    fit(result.left, result.right, mouse.x, thickness);
                }
            }
        }
    }
    lastRow = row;
    lastRect = result;
    lastPoint = mouse;
    return result;
}

} // namespace vq
