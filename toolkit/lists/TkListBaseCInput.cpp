// Hit testing, selection by mouse and keys, type-ahead and the timers of the toolkit list.
#include "platform/gui/Beep.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Messages.h"
#include "toolkit/lists/TkListBaseC.h"

#include <QString>
#include <algorithm>
#include <cstdlib>

namespace vq {

namespace {

// The key that starts a label edit.
constexpr WPARAM KeyF2 = 0x71;
constexpr std::uintptr_t EditTimer = 1;
constexpr UINT EditDelay = 500;
constexpr std::uintptr_t AutoScrollTimer = 2;
constexpr std::uintptr_t TypeAheadTimer = 3;
constexpr UINT TypeAheadPeriod = 250;
// What the keyboard passes as hit flags when it selects.
constexpr UINT KeyHitFlags = 70;
constexpr std::int32_t DividerBand = 4;
constexpr std::int32_t DragDistance = 4;

POINT PointOf(LPARAM lParam) {
    return POINT{std::int16_t(LOWORD(std::uintptr_t(lParam))), std::int16_t(HIWORD(std::uintptr_t(lParam)))};
}

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

// ---- hit testing

std::int32_t TkListBaseC::HitTest(std::int32_t x, std::int32_t y, UINT* flagsOut, std::int32_t* columnOut) {
    UINT flags = 0;
    std::int32_t column = -1, result = -1;
    RECT client, area;
    GetWindowClientRect(&client);
    GetItemArea(&area);
    if (y < client.top)
        flags = LVHT_ABOVE;
    else if (y >= client.bottom)
        flags = LVHT_BELOW;
    else if (x < client.left)
        flags = LVHT_TOLEFT;
    else if (x >= client.right)
        flags = LVHT_TORIGHT;
    else {
        if (GetColumnCount() == 1)
            column = 0;
        else
            for (std::int32_t c = 0; c < GetColumnCount() && column < 0; ++c)
                if (GetColumnRight(c) > x) column = c;
        if (y >= area.top) {
            std::int32_t top = area.top;
            for (std::int32_t item = topIndex_; item < GetItemCount() && top < area.bottom; ++item) {
                const std::int32_t rowTop = top + GetRowSpacing();
                top += RowExtent(item);
                if (y < rowTop || y >= top) continue;
                result = item;
                flags = LVHTX_ONROW;
                if (column >= 0 && GetColumnSubItem(column) > 0) break;
                const TkListItem& record = *items_[std::size_t(item)];
                const std::int32_t left = IsReportView() ? -horzOffset_ : area.left;
                const RECT label{left + record.labelRect.left, rowTop, left + record.labelRect.right, top};
                const auto shifted = [&](const RECT& r) {
                    return RECT{left + r.left, rowTop + r.top, left + r.right, rowTop + r.bottom};
                };
                const POINT p{x, y};
                if (Contains(label, p))
                    flags |= LVHT_ONITEMLABEL;
                else if (Contains(shifted(record.iconRect), p))
                    flags |= LVHT_ONITEMICON;
                else if (Contains(shifted(record.stateIconRect), p))
                    flags |= LVHT_ONITEMSTATEICON;
                else
                    flags |= x < label.left ? LVHTX_LEFTOFLABEL : LVHTX_RIGHTOFLABEL;
                break;
            }
        } else {
            const std::int32_t count =
                HasListExStyle(LVXS_FITLABELCOLUMN) ? GetColumnCount() - 1 : GetColumnCount();
            for (std::int32_t c = 0; c < count; ++c) {
                const std::int32_t right = GetColumnRight(c);
                if (std::abs(x - right) <= DividerBand) {
                    flags = LVHTX_ONDIVIDER;
                    result = c;
                    break;
                }
                if (x >= GetColumnLeft(c) && x < right) {
                    flags = LVHTX_ONHEADER;
                    result = c;
                    break;
                }
            }
            column = result;
        }
    }
    if (!flags) flags = LVHT_NOWHERE;
    if (flagsOut) *flagsOut = flags;
    if (columnOut) *columnOut = column;
    return result;
}

BOOL TkListBaseC::ClickSelects(POINT point, std::int32_t item, UINT flags, BOOL* armDrag, BOOL* select) {
    *armDrag = FALSE;
    *select = FALSE;
    if (flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) {
        *armDrag = *select = TRUE;
    } else if ((flags & LVHTX_ONHEADER) && HasListExStyle(LVXS_HEADERDRAG) && item > 0) {
        *armDrag = TRUE;
    } else if ((flags & LVHTX_ONROW) && !(flags & LVHT_ONITEMSTATEICON)) {
        if (HasListExStyle(LVXS_FULLROWSELECT)) {
            *armDrag = *select = TRUE;
        } else if (flags & LVHTX_LEFTOFLABEL) {
            RECT icon;
            if (GetItemRect(item, &icon, LVIR_ICON) && point.x >= icon.right) *armDrag = *select = TRUE;
        }
    }
    return *select;
}

// ---- selection

BOOL TkListBaseC::SelectByClick(std::int32_t item, UINT /*hitFlags*/, UINT keys, BOOL byMouse) {
    const std::int32_t old = focus_;
    const bool shift = keys & MK_SHIFT, ctrl = keys & MK_CONTROL;
    if (!IsMultiSelect() || (!shift && !ctrl)) {
        if (item == focus_ && IsItemSelected(item)) return TRUE;
        if (IsItemSelected(item) && GetSelectedCount() > 1) return TRUE;
        if ((keys & MK_RBUTTON) && IsItemSelected(item)) {
            const std::int32_t anchor = anchor_;
            SetFocusItem(item);
            anchor_ = anchor;
            return TRUE;
        }
        selectionVeto_ = OnSelectionChanging(item, old, byMouse);
        if (selectionVeto_) return FALSE;
        tip_->Hide();
        DeselectAllExcept(item);
        SelectFocusItem(item, TRUE);
        OnSelectionChanged(item, old, byMouse);
        return TRUE;
    }
    if (selectionVeto_) return FALSE;
    if (shift) {
        if (anchor_ < 0 || item == focus_) return TRUE;
        selectionVeto_ = OnSelectionChanging(item, old, byMouse);
        if (selectionVeto_) return FALSE;
        const std::int32_t anchor = anchor_;
        DeselectAllExcept(-1);
        SelectRange(anchor, item, TRUE);
        SelectFocusItem(item, TRUE);
        anchor_ = anchor;
        InvalidateItemRange(anchor, item);
        OnSelectionChanged(item, old, byMouse);
        return TRUE;
    }
    if (!byMouse) return SetFocusItem(item);
    selectionVeto_ = OnSelectionChanging(item, old, byMouse);
    if (selectionVeto_) return FALSE;
    const bool selected = IsItemSelected(item);
    SetFocusItem(item);
    SetItemState(item, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    OnSelectionChanged(item, old, byMouse);
    return TRUE;
}

void TkListBaseC::SelectByKey(std::int32_t item, BOOL shift, BOOL ctrl) {
    if (!IsItem(item)) return;
    const UINT keys = (shift ? MK_SHIFT : 0) | (ctrl ? MK_CONTROL : 0);
    if (!SelectByClick(item, KeyHitFlags, keys, FALSE)) return;
    AfterSelect(item, FALSE);
    EnsureVisible(item);
}

// ---- mouse

void TkListBaseC::ButtonDown(LPARAM lParam, WPARAM keys) {
    if (GetFocus() != m_hWnd) SetFocus(m_hWnd);
    const POINT point = PointOf(lParam);
    UINT flags = 0;
    std::int32_t column = -1;
    const std::int32_t item = HitTest(point.x, point.y, &flags, &column);
    dragArmed_ = false;
    if (column >= 0) clickedColumn_ = column;
    // The header takes the mouse for itself, so a tip must not keep it.
    if (flags & (LVHTX_ONDIVIDER | LVHTX_ONHEADER)) tip_->Hide();
    if (flags & LVHTX_ONDIVIDER) {
        if (!(keys & MK_RBUTTON) && item < GetColumnCount() - 1) ResizeColumn(item, point);
        return;
    }
    BOOL arm = FALSE, select = FALSE;
    ClickSelects(point, item, flags, &arm, &select);
    dragArmed_ = arm;
    if ((flags & LVHTX_ONHEADER) && !(keys & MK_RBUTTON) && !HasListStyle(LVS_NOSORTHEADER)) {
        pressedColumn_ = item;
        PaintHeaderButton(item, TRUE);
        SetCapture(m_hWnd);
    }
    if (select && SelectByClick(item, flags, UINT(keys), TRUE)) AfterSelect(item, TRUE);
    downPoint_ = point;
    tip_->Refresh();
    itemDragStarted_ = false;
    columnDragStarted_ = false;
}

LRESULT TkListBaseC::OnLButtonDown(WPARAM keys, LPARAM lParam) {
    ButtonDown(lParam, keys);
    return Default();
}

LRESULT TkListBaseC::OnRButtonDown(WPARAM keys, LPARAM lParam) {
    ButtonDown(lParam, keys | MK_RBUTTON);
    return Default();
}

LRESULT TkListBaseC::OnMouseMove(WPARAM keys, LPARAM lParam) {
    if (itemDragStarted_) return Default();
    const POINT point = PointOf(lParam);
    UINT flags = 0;
    std::int32_t column = -1;
    const std::int32_t item = HitTest(point.x, point.y, &flags, &column);
    onDivider_ = flags & LVHTX_ONDIVIDER;
    if (pressedColumn_ >= 0) {
        const bool moved = std::abs(point.x - downPoint_.x) > 1 || std::abs(point.y - downPoint_.y) > 1;
        if (!columnDragStarted_ && dragArmed_ && (keys & MK_LBUTTON) && moved) StartColumnDrag(point);
        if (columnDragStarted_) {
            FollowColumnDrag(point);
            return Default();
        }
        if (!((flags & LVHTX_ONHEADER) && item == pressedColumn_)) {
            // Leaving the pressed button ends the press.
            PaintHeaderButton(pressedColumn_, FALSE);
            pressedColumn_ = -1;
            dragArmed_ = false;
            ReleaseCapture();
        }
    }
    const bool buttonDown = keys & (MK_LBUTTON | MK_RBUTTON);
    if (focus_ >= 0 && dragArmed_ && buttonDown && !(flags & (LVHTX_ONHEADER | LVHTX_ONDIVIDER)) &&
        (std::abs(point.x - downPoint_.x) >= DragDistance ||
         std::abs(point.y - downPoint_.y) >= DragDistance)) {
        itemDragStarted_ = true;
        dragArmed_ = false;
        if (keys & MK_LBUTTON)
            NotifyBeginDrag(focus_, downPoint_.x, downPoint_.y);
        else
            NotifyBeginRightDrag(focus_, downPoint_.x, downPoint_.y);
    }
    ShowTip(flags, item, column, point);
    return Default();
}

LRESULT TkListBaseC::OnLButtonUp(WPARAM keys, LPARAM lParam) {
    if (itemDragStarted_) {
        itemDragStarted_ = false;
        return Default();
    }
    if (columnDragStarted_) {
        EndColumnDrag();
        dragArmed_ = false;
        return Default();
    }
    if (pressedColumn_ >= 0) {
        const std::int32_t column = pressedColumn_;
        pressedColumn_ = -1;
        ReleaseCapture();
        PaintHeaderButton(column, FALSE);
        NotifyColumnClick(column);
    }
    const POINT point = PointOf(lParam);
    UINT flags = 0;
    const std::int32_t item = HitTest(point.x, point.y, &flags, nullptr);
    // A press on one of several selected items left them selected so they could be dragged.
    if (IsItem(item) && IsItemSelected(item) && GetSelectedCount() > 1 && !(keys & (MK_SHIFT | MK_CONTROL))) {
        DeselectAllExcept(-1);
        SelectByClick(item, flags, 0, TRUE);
    }
    // A second, slow click on the label of the selected item edits it.
    const bool fullRow = HasListExStyle(LVXS_FULLROWSELECT);
    const bool onLabel = flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL);
    if (IsItem(item) && item == editCandidate_ && (onLabel || (fullRow && (flags & LVHTX_ONROW))))
        editTimer_ = SetTimer(m_hWnd, EditTimer, EditDelay, nullptr);
    const bool editable = HasListStyle(LVS_EDITLABELS) && IsItem(item) && IsItemSelected(item);
    editCandidate_ =
        editable && ((flags & LVHT_ONITEMLABEL) || (fullRow && (flags & LVHTX_ONROW))) ? item : -1;
    dragArmed_ = false;
    const LRESULT result = Default();
    NotifyParent(NM_CLICK);
    return result;
}

LRESULT TkListBaseC::OnLButtonDblClk(WPARAM, LPARAM) {
    editCandidate_ = -1;
    CancelLabelEditTimer();
    const LRESULT result = Default();
    NotifyParent(NM_DBLCLK);
    return result;
}

LRESULT TkListBaseC::OnRButtonUp(WPARAM, LPARAM) {
    if (itemDragStarted_) {
        itemDragStarted_ = false;
        return Default();
    }
    tip_->Refresh();
    const LRESULT result = Default();
    NotifyParent(NM_RCLICK);
    return result;
}

LRESULT TkListBaseC::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (HWND(wParam) == m_hWnd && LOWORD(std::uintptr_t(lParam)) == HTCLIENT && onDivider_ && resizeCursor_) {
        SetCursor(resizeCursor_);
        return TRUE;
    }
    return Default();
}

// ---- keyboard

void TkListBaseC::NotifyKeyDown(UINT key) {
    LV_KEYDOWN record;
    record.hdr.code = LVN_KEYDOWN;
    record.wVKey = std::uint16_t(key);
    SendNotify(&record.hdr);
}

void TkListBaseC::NotifyColumnClick(std::int32_t column) {
    NM_LISTVIEW record;
    record.hdr.code = LVN_COLUMNCLICK;
    record.iItem = -1;
    record.iSubItem = column;
    SendNotify(&record.hdr);
}

LRESULT TkListBaseC::OnKeyDown(WPARAM key, LPARAM lParam) {
    NotifyKeyDown(UINT(key));
    const BOOL shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    const UINT repeat = LOWORD(std::uintptr_t(lParam)), flags = HIWORD(std::uintptr_t(lParam));
    const std::int32_t focus = focus_, subItem = GetColumnSubItem(clickedColumn_);
    CWnd* parent = GetParent();
    switch (key) {
    case VK_BACK:
        OnKeyBack(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_TAB:
        if (parent) parent->PostMessage(WM_NEXTDLGCTL, shift ? 1 : 0, 0);
        break;
    case VK_RETURN:
        OnKeyReturn(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_ESCAPE:
        if (parent) parent->PostMessage(WM_COMMAND, IDCANCEL, 0);
        break;
    case VK_SPACE:
        if (focus >= 0) SelectFocusItem(focus, !IsItemSelected(focus));
        break;
    case VK_PRIOR:
        OnKeyPageUp(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_NEXT:
        OnKeyPageDown(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_END:
        OnKeyEnd(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_HOME:
        OnKeyHome(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_LEFT:
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        OnKeyLeft(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_UP:
        OnKeyLineUp(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_RIGHT:
    case VK_ADD:
    case VK_OEM_PLUS:
        OnKeyRight(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_DOWN:
        OnKeyLineDown(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case VK_MULTIPLY:
        OnKeyMultiply(focus, subItem, shift, ctrl, repeat, flags);
        break;
    case KeyF2:
        OnKeyEditLabel(focus, subItem, shift, ctrl, repeat, flags);
        break;
    default:
        break;
    }
    return Default();
}

LRESULT TkListBaseC::OnSysKeyDown(WPARAM key, LPARAM) {
    NotifyKeyDown(UINT(key));
    return Default();
}

void TkListBaseC::OnKeyLineUp(std::int32_t focus, std::int32_t, BOOL shift, BOOL ctrl, UINT, UINT) {
    if (focus > 0) SelectByKey(focus - 1, shift, ctrl);
}

void TkListBaseC::OnKeyLineDown(std::int32_t focus, std::int32_t, BOOL shift, BOOL ctrl, UINT, UINT) {
    if (focus + 1 < GetItemCount()) SelectByKey(focus + 1, shift, ctrl);
}

void TkListBaseC::OnKeyReturn(std::int32_t, std::int32_t, BOOL, BOOL, UINT, UINT) {
    NotifyParent(NM_RETURN);
}

void TkListBaseC::OnKeyHome(std::int32_t, std::int32_t, BOOL shift, BOOL ctrl, UINT, UINT) {
    if (!GetItemCount()) return;
    if (barsShown_ & (1u << SB_VERT)) SendMessage(WM_VSCROLL, SB_TOP, LPARAM(vertBar_));
    SelectByKey(0, shift, ctrl);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void TkListBaseC::OnKeyEnd(std::int32_t, std::int32_t, BOOL shift, BOOL ctrl, UINT, UINT) {
    if (!GetItemCount()) return;
    if (barsShown_ & (1u << SB_VERT)) SendMessage(WM_VSCROLL, SB_BOTTOM, LPARAM(vertBar_));
    SelectByKey(GetItemCount() - 1, shift, ctrl);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void TkListBaseC::OnKeyPageUp(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                              UINT flags) {
    if (!(barsShown_ & (1u << SB_VERT))) return OnKeyHome(focus, subItem, shift, ctrl, repeat, flags);
    if (focus == topIndex_) SendMessage(WM_VSCROLL, SB_PAGEUP, LPARAM(vertBar_));
    SelectByKey(topIndex_, shift, ctrl);
}

void TkListBaseC::OnKeyPageDown(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                                UINT flags) {
    if (!(barsShown_ & (1u << SB_VERT))) return OnKeyEnd(focus, subItem, shift, ctrl, repeat, flags);
    if (focus == GetLastFullyVisible(TRUE)) SendMessage(WM_VSCROLL, SB_PAGEDOWN, LPARAM(vertBar_));
    SelectByKey(GetLastFullyVisible(TRUE), shift, ctrl);
}

// ---- type-ahead

LRESULT TkListBaseC::OnChar(WPARAM character, LPARAM) {
    if (character == '\r' || character == 0x1B || character == ' ' || !GetItemCount()) return Default();
    TypeAhead(char32_t(character));
    return 0;
}

// Labels are compared with the search by their start, character by character without case; after
// a miss the keys only keep the search alive until a quiet tick ends it.
void TkListBaseC::TypeAhead(char32_t character) {
    if (searchFailed_) {
        searchKeySeen_ = true;
        return;
    }
    if (!searchActive_) {
        search_.clear();
        searchActive_ = true;
        typeAheadTimer_ = SetTimer(m_hWnd, TypeAheadTimer, TypeAheadPeriod, nullptr);
    }
    AppendUtf8(search_, character);
    const std::int32_t count = GetItemCount();
    const QString wanted = QString::fromUtf8(search_.data(), qsizetype(search_.size()));
    std::int32_t start = std::max(focus_, 0);
    if (wanted.size() == 1 && focus_ >= 0) start = (focus_ + 1) % count;
    std::int32_t found = -1;
    for (std::int32_t step = 0; step < count && found < 0; ++step) {
        const std::int32_t item = (start + step) % count;
        const std::string label = GetItemText(item, 0);
        if (QString::fromUtf8(label.data(), qsizetype(label.size())).startsWith(wanted, Qt::CaseInsensitive))
            found = item;
        if (item >= GetItemCount()) break;
    }
    if (found >= 0) {
        if (SelectByClick(found, KeyHitFlags, 0, FALSE)) {
            AfterSelect(found, FALSE);
            EnsureVisible(found);
        }
        searchKeySeen_ = true;
        return;
    }
    MessageBeep(0xFFFFFFFF);
    searchKeySeen_ = true;
    searchFailed_ = true;
}

void TkListBaseC::EndTypeAhead() {
    if (typeAheadTimer_) KillTimer(m_hWnd, TypeAheadTimer);
    typeAheadTimer_ = 0;
    search_.clear();
    searchActive_ = searchKeySeen_ = searchFailed_ = false;
}

// ---- timers

void TkListBaseC::StartAutoScroll(UINT period) {
    StopAutoScroll();
    if (period && m_hWnd) autoScrollTimer_ = SetTimer(m_hWnd, AutoScrollTimer, period, nullptr);
}

void TkListBaseC::StopAutoScroll() {
    if (autoScrollTimer_ && m_hWnd) KillTimer(m_hWnd, AutoScrollTimer);
    autoScrollTimer_ = 0;
}

LRESULT TkListBaseC::OnTimer(WPARAM id, LPARAM) {
    if (id == EditTimer) {
        CancelLabelEditTimer();
        if (editCandidate_ >= 0 && editCandidate_ == focus_) EditLabel(editCandidate_, clickedColumn_);
        return 0;
    }
    if (id == TypeAheadTimer) {
        if (!searchActive_ || !searchKeySeen_)
            EndTypeAhead();
        else
            searchKeySeen_ = false;
        return 0;
    }
    if (id == AutoScrollTimer) {
        if (!itemDragStarted_ || GetItemCount() <= 2) return 0;
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(m_hWnd, &point);
        UINT flags = 0;
        const std::int32_t item = HitTest(point.x, point.y, &flags, nullptr);
        RECT area;
        GetItemArea(&area);
        const std::int32_t last = GetLastFullyVisible(TRUE);
        if (item == topIndex_ && topIndex_ > 0) {
            SetDropHighlight(-1);
            ScrollVert(-1, FALSE);
        } else if (((item >= last && item >= 0) || point.y >= area.bottom) && last < GetItemCount() - 1) {
            SetDropHighlight(-1);
            ScrollVert(1, FALSE);
        }
        return 0;
    }
    return Default();
}

} // namespace vq
