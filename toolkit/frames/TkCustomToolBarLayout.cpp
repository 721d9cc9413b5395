#include "toolkit/frames/TkCustomToolBar.h"

#include <algorithm>

namespace vq {

namespace {

constexpr int kNoLength = 0x7FFF;

} // namespace

SIZE TkCustomToolBar::CalcFixedLayout(BOOL, BOOL horz) {
    return CalcLayout(-1, horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
}

SIZE TkCustomToolBar::CalcDynamicLayout(int length, DWORD mode) {
    if (!(mode & LM_COMMIT)) {
        const bool dirty = ((mode & LM_HORZDOCK) && m_bDirtyHorz) || ((mode & LM_VERTDOCK) && m_bDirtyVert) ||
                           ((mode & LM_MRUWIDTH) && m_bDirtyFloat);
        if (dirty) return CalcLayout((mode & LM_VERTDOCK) ? 0 : kNoLength, mode | LM_COMMIT);
    } else {
        const bool horzLengthY = (mode & LM_HORZDOCK) && (mode & LM_LENGTHY);
        const bool vertWidth = (mode & LM_VERTDOCK) && !(mode & LM_LENGTHY);
        if (!horzLengthY && !vertWidth) return CalcLayout(length, mode);
    }
    return TkControlBar::CalcDynamicLayout(length, mode);
}

SIZE TkCustomToolBar::CalcLayout(int length, DWORD mode) {
    // Hidden buttons take no room: they leave the array for the call and return to their places.
    std::vector<std::pair<std::size_t, std::unique_ptr<TkStdBtn>>> hidden;
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->GetStyleWord() & TKBS_HIDDEN) hidden.emplace_back(i, std::move(m_buttons[i]));
    std::erase(m_buttons, nullptr);

    RECT inside{0, 0, 0, 0};
    TkControlBar::CalcInsideRect(inside, (mode & LM_HORZ) != 0,
                                 ((m_dwStyle & CBRS_ORIENT_VERT) | (mode & LM_VERTDOCK)) != 0);
    const SIZE insets{inside.left - inside.right, inside.top - inside.bottom};
    const bool rowOwner = (m_dwExStyle & CBX_ROWOWNER) != 0;
    if (rowOwner) {
        if (mode & LM_HORZDOCK) {
            RECT client{};
            GetClientRect(::vq::GetParent(m_hWnd), &client);
            length = client.Width();
        } else if ((mode & LM_VERTDOCK) && length == 0) {
            if (CFrameWnd* frame = GetDockingFrame())
                for (CControlBar* bar : frame->m_listControlBars) {
                    const UINT id = bar->GetDlgCtrlID();
                    if (id == AFX_IDW_DOCKBAR_LEFT || id == AFX_IDW_DOCKBAR_RIGHT) {
                        RECT r;
                        GetWindowRect(bar->m_hWnd, &r);
                        length = r.Height();
                        break;
                    }
                }
        }
    }

    SIZE result;
    if (m_buttons.empty()) {
        result = {GetButtonWidth() + insets.cx, GetButtonHeight() + insets.cy};
        if (rowOwner && (mode & LM_HORZDOCK)) result.cx = length;
        if (rowOwner && (mode & LM_VERTDOCK)) result.cy = length;
    } else {
        int effective = (mode & LM_STRETCH) ? int(float(length) * m_fPctWidth) : length;
        if (mode & LM_COMMIT) {
            const BOOL vertical = !(mode & LM_HORZ);
            if (m_dwStyle & CBRS_SIZE_FIXED) length = effective = kNoLength;
            SetOrientation(m_dwStyle & CBRS_ORIENT_VERT);
            SIZE wrapped;
            const bool dynamic = (m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
            if (dynamic && (mode & LM_MRUWIDTH)) {
                wrapped = CalcWrappedSize(m_nMRUWidth, vertical);
            } else if (dynamic && effective != -1) {
                const BOOL byHeight = (mode & LM_LENGTHY) != 0;
                wrapped = CalcWrappedSize(effective - (byHeight ? insets.cy : insets.cx), byHeight);
            } else if (dynamic && (m_dwStyle & CBRS_FLOATING)) {
                wrapped = CalcWrappedSize(m_nMRUWidth, vertical);
            } else {
                wrapped = vertical ? CalcWrappedSize(0, TRUE) : CalcWrappedSize(kNoLength, FALSE);
            }

            std::int32_t x = inside.left, y = inside.top, rowHeight = 0;
            int rowStart = 0;
            const int count = GetButtonCount();
            for (int i = 0; i < count; ++i) {
                TkStdBtn& button = *m_buttons[std::size_t(i)];
                button.SetButtonPos(x, y);
                rowHeight = std::max(rowHeight, button.m_cy);
                if (button.GetStyleWord() & TKBS_WRAPPED) {
                    CentreRow(rowStart, i, rowHeight);
                    y += rowHeight;
                    x = inside.left;
                    rowHeight = 0;
                    rowStart = i + 1;
                    if (button.IsSeparator()) y += m_nSeparatorWidth * 2 / 3;
                } else {
                    x += button.m_cx;
                }
            }
            CentreRow(rowStart, count - 1, rowHeight);
            SIZE total{wrapped.cx + insets.cx, wrapped.cy + insets.cy};

            TkStdBtn& last = *m_buttons.back();
            if (mode & LM_HORZDOCK) {
                if (rowOwner) {
                    total.cx = length;
                    if (last.m_nKind == TKBK_CAPTION) last.SetButtonPos(length - last.m_cx - 2, last.m_y);
                }
                m_bDirtyHorz = FALSE;
                m_szHorz = m_szMRUHorzDock = total;
            } else if (mode & LM_VERTDOCK) {
                if (rowOwner) {
                    if (!(mode & LM_LENGTHY) && (m_dwExStyle & CBX_TOOLBARLIKE)) total.cx = 2 * total.cy;
                    total.cy = length;
                    if (last.m_nKind == TKBK_CAPTION) last.SetButtonPos(last.m_x, length - last.m_cy - 2);
                }
                m_bDirtyVert = FALSE;
                m_szVert = m_szMRUVertDock = total;
            } else {
                m_szMRUFloat = total;
                if (!(mode & LM_LENGTHY)) m_nMRUWidth = total.cx;
                m_bDirtyFloat = FALSE;
                m_szFloat = total;
            }
        }
        result = (mode & LM_HORZDOCK) ? m_szHorz : (mode & LM_VERTDOCK) ? m_szVert : m_szFloat;
    }
    if (IsFloating()) result.cx -= 2, result.cy -= 2;
    for (auto& [index, button] : hidden)
        m_buttons.insert(m_buttons.begin() + std::ptrdiff_t(index), std::move(button));
    UpdateReBarBand(nullptr, result);
    return result;
}

SIZE TkCustomToolBar::CalcWrappedSize(std::int32_t length, BOOL lengthIsHeight) {
    const int count = GetButtonCount();
    std::int32_t minWidth = GetButtonWidth(), maxWidth = GetButtonWidth();
    if (count > 0) {
        minWidth = maxWidth = m_buttons.front()->m_cx;
        for (const auto& button : m_buttons) {
            minWidth = std::min(minWidth, button->m_cx);
            maxWidth = std::max(maxWidth, button->m_cx);
        }
    }
    std::vector<RowInfo> rows(std::size_t(std::max(count, 1)));
    int rowCount = 0;
    if (!lengthIsHeight) {
        rowCount = WrapButtons(std::max(length, maxWidth), rows);
    } else {
        const std::int32_t step = GetButtonWidth();
        const std::int32_t wanted = length / GetButtonHeight();
        std::int32_t width = minWidth;
        if (wanted != 0 && count * step / wanted > minWidth) width = count * step / wanted;
        rowCount = WrapButtons(width, rows);
        std::int32_t height = CalcRowsSize(rowCount, rows).cy;
        if (height < length) {
            while (width > minWidth) {
                const std::int32_t narrower = std::max(width - step, minWidth);
                rowCount = WrapButtons(narrower, rows);
                height = CalcRowsSize(rowCount, rows).cy;
                if (height > length) {
                    rowCount = WrapButtons(width, rows);
                    break;
                }
                width = narrower;
                if (height == length) break;
            }
        } else if (length > 0) {
            // No height asked (0) keeps the narrowest width: one column.
            while (height > length && rowCount > 1) {
                width += step;
                rowCount = WrapButtons(width, rows);
                height = CalcRowsSize(rowCount, rows).cy;
            }
        }
    }
    BalanceRows(rowCount, rows);
    for (auto& button : m_buttons)
        button->SetStyleWord(button->GetStyleWord() & ~DWORD(TKBS_WRAPPED));
    for (int r = 0; r + 1 < rowCount; ++r) {
        TkStdBtn& last = *m_buttons[std::size_t(rows[std::size_t(r)].last)];
        last.SetStyleWord(last.GetStyleWord() | TKBS_WRAPPED);
    }
    return CalcRowsSize(rowCount, rows);
}

int TkCustomToolBar::WrapButtons(std::int32_t length, std::vector<RowInfo>& rows) {
    const int count = GetButtonCount();
    rows.assign(std::size_t(std::max(count, 1)), RowInfo{});
    if (count == 0) return 0;
    const std::int32_t limit = length + 2;
    auto width = [this](int i) { return m_buttons[std::size_t(i)]->m_cx; };
    auto isSeparator = [this](int i) { return m_buttons[std::size_t(i)]->IsSeparator(); };
    int rowCount = 0, start = 0, i = 0;
    std::int32_t running = 0;
    while (i < count) {
        if (running + width(i) <= limit) {
            running += width(i);
            ++i;
            continue;
        }
        int separator = -1;
        for (int j = i; j >= start && separator < 0; --j)
            if (isSeparator(j)) separator = j;
        if (separator >= 0) {
            rows[std::size_t(rowCount++)] = {separator, TRUE, 0, 0};
            start = i = separator + 1;
            running = 0;
        } else if (i > start) {
            rows[std::size_t(rowCount++)] = {i - 1, FALSE, 0, 0};
            start = i;
            running = 0;
        } else {
            // Too wide on its own: it keeps the row, and takes no room from the buttons after it.
            ++i;
        }
    }
    if (start < count) rows[std::size_t(rowCount++)] = {count - 1, FALSE, 0, 0};
    int first = 0;
    for (int r = 0; r < rowCount; ++r) {
        RowInfo& row = rows[std::size_t(r)];
        for (int j = first; j <= row.last; ++j) {
            if (!(row.endsAtSeparator && j == row.last)) row.width += width(j);
            row.height = std::max(row.height, m_buttons[std::size_t(j)]->m_cy);
        }
        first = row.last + 1;
    }
    return rowCount;
}

SIZE TkCustomToolBar::CalcRowsSize(int rowCount, const std::vector<RowInfo>& rows) const {
    SIZE size{0, 0};
    for (int r = 0; r < rowCount; ++r) {
        const RowInfo& row = rows[std::size_t(r)];
        size.cx = std::max(size.cx, row.width);
        size.cy += row.height + (row.endsAtSeparator ? m_nSeparatorWidth * 2 / 3 : 0);
    }
    return size;
}

BOOL TkCustomToolBar::CascadeAllows(int row, int rowCount, std::vector<RowInfo>& rows) {
    // Row `row` has just been given a trailing group of the row above it; it may keep it when it can
    // pass its own trailing group on under the same rule.
    if (row + 1 >= rowCount || !rows[std::size_t(row)].endsAtSeparator) return FALSE;
    RowInfo& here = rows[std::size_t(row)];
    const int start = rows[std::size_t(row - 1)].last + 1;
    std::int32_t sum = 0;
    int found = -1;
    for (int j = here.last - 1; j >= start && found < 0; --j) {
        sum += m_buttons[std::size_t(j)]->m_cx;
        if (m_buttons[std::size_t(j)]->IsSeparator()) found = j;
    }
    if (found < 0) return FALSE;
    RowInfo& next = rows[std::size_t(row + 1)];
    if (next.width + sum < here.width) return TRUE;
    const RowInfo savedHere = here, savedNext = next;
    here.last = found;
    here.width -= sum;
    next.width += sum;
    const BOOL allowed = CascadeAllows(row + 1, rowCount, rows);
    here = savedHere;
    next = savedNext;
    return allowed;
}

void TkCustomToolBar::BalanceRows(int rowCount, std::vector<RowInfo>& rows) {
    if (rowCount <= 1) return;
    // Each move narrows the widest row; the cap only guards against a cycle of equal widths.
    for (int guard = 0; guard < GetButtonCount() * rowCount + 8; ++guard) {
        int widest = 0;
        for (int r = 1; r < rowCount; ++r)
            if (rows[std::size_t(r)].width >= rows[std::size_t(widest)].width) widest = r;
        if (widest == rowCount - 1) return;
        RowInfo& row = rows[std::size_t(widest)];
        RowInfo& next = rows[std::size_t(widest + 1)];
        const int start = widest == 0 ? 0 : rows[std::size_t(widest - 1)].last + 1;
        if (row.endsAtSeparator) {
            std::int32_t sum = 0;
            int found = -1;
            for (int j = row.last - 1; j >= start && found < 0; --j) {
                sum += m_buttons[std::size_t(j)]->m_cx;
                if (m_buttons[std::size_t(j)]->IsSeparator()) found = j;
            }
            if (found < 0) return;
            if (next.width + sum >= row.width) {
                // Moving it is still right when the next row can pass its own group on.
                const RowInfo savedRow = row, savedNext = next;
                row.last = found;
                row.width -= sum;
                next.width += sum;
                const BOOL allowed = CascadeAllows(widest + 1, rowCount, rows);
                row = savedRow;
                next = savedNext;
                if (!allowed) return;
            }
            row.last = found;
            row.width -= sum;
            next.width += sum;
            continue;
        }
        if (row.last == start) return;
        const std::int32_t lastWidth = m_buttons[std::size_t(row.last)]->m_cx;
        if (row.width <= next.width + lastWidth) {
            int target = widest + 1;
            while (target < rowCount - 1 && !rows[std::size_t(target)].endsAtSeparator)
                ++target;
            if (target == widest + 1) return;
            if (row.width < rows[std::size_t(target)].width + lastWidth) return;
        }
        --row.last;
        row.width -= lastWidth;
        next.width += lastWidth;
    }
}

void TkCustomToolBar::CentreRow(int first, int last, std::int32_t rowHeight) {
    for (int i = first; i <= last; ++i) {
        TkStdBtn& button = *m_buttons[std::size_t(i)];
        if ((button.GetStyleWord() & TKBS_CENTREVERT) && button.m_cy < rowHeight)
            button.SetButtonPos(button.m_x, button.m_y + (rowHeight - button.m_cy) / 2);
    }
}

int TkCustomToolBar::ButtonFromPoint(std::int32_t x, std::int32_t y, RECT* rect) const {
    const int count = GetButtonCount();
    auto visible = [this](int i) { return !(m_buttons[std::size_t(i)]->GetStyleWord() & TKBS_HIDDEN); };
    int i = 0;
    while (i < count) {
        int end = i;
        while (end < count - 1 && !(m_buttons[std::size_t(end)]->GetStyleWord() & TKBS_WRAPPED))
            ++end;
        int firstVisible = i;
        while (firstVisible <= end && !visible(firstVisible))
            ++firstVisible;
        if (firstVisible <= end) {
            // Every row counts one standard button high, whatever its buttons' heights.
            const std::int32_t top = m_buttons[std::size_t(firstVisible)]->m_y;
            if (top > y) return -1;
            if (top + GetButtonHeight() < y) {
                i = end + 1;
                continue;
            }
            for (int j = i; j <= end; ++j) {
                if (!visible(j)) continue;
                const TkStdBtn& button = *m_buttons[std::size_t(j)];
                if (x < button.m_x || x > button.m_x + button.m_cx) continue;
                if (button.IsSeparator()) return -1;
                if (rect) *rect = button.GetBounds();
                return j;
            }
            return -1;
        }
        i = end + 1;
    }
    return -1;
}

void TkCustomToolBar::UpdateReBarBand(CWnd* rebar, SIZE size) {
    if (!rebar || !rebar->m_hWnd || !(m_dwExStyle & CBX_ROWOWNER)) return;
    const int count = int(rebar->SendMessage(RB_GETBANDCOUNT));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFO band;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE;
        if (!rebar->SendMessage(RB_GETBANDINFO, WPARAM(i), reinterpret_cast<LPARAM>(&band))) continue;
        // A band without minimum height is one the rebar sizes by itself.
        if (band.hwndChild != m_hWnd || band.cyMinChild == 0) continue;
        bool changed = false;
        if (band.cyMinChild != UINT(size.cy)) band.cyMinChild = UINT(size.cy), changed = true;
        if (size.cx > 0 && band.cxMinChild != UINT(size.cx)) band.cxMinChild = UINT(size.cx), changed = true;
        if (!changed) return;
        band.fMask = RBBIM_CHILDSIZE;
        rebar->SendMessage(RB_SETBANDINFO, WPARAM(i), reinterpret_cast<LPARAM>(&band));
        return;
    }
}

} // namespace vq
