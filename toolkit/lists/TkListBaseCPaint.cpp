// Measuring and painting of the toolkit list: header, rows and cells.
#include "platform/core/Exceptions.h"
#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/OffscreenDC.h"
#include "toolkit/lists/TkListBaseC.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace vq {

namespace {

constexpr UINT CellTextFormat = DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER;
constexpr UINT HeaderTextFormat = DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
constexpr UINT MeasureTextFormat = DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;

// Column formats and text formats give left, right and centre different numbers.
UINT AlignmentOf(std::int32_t format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return DT_RIGHT;
    case LVCFMT_CENTER:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Drawing objects every list shares for the life of the program.
struct SharedObjects {
    HBRUSH headerFace = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HPEN gridPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN columnPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
};

SharedObjects& Shared() {
    static SharedObjects objects;
    return objects;
}

void Line(HDC dc, HPEN pen, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
}

} // namespace

HPEN TkListBaseC::GetGridPen() {
    return Shared().gridPen;
}

HPEN TkListBaseC::GetColumnLinePen() {
    return Shared().columnPen;
}

// ---- the paint context

std::unique_ptr<TkListPaintContext> TkListBaseC::NewPaintContext(HDC dc) {
    auto context = std::make_unique<TkListPaintContext>();
    context->dc = dc;
    context->view = std::int32_t(style_ & LVS_TYPEMASK);
    return context;
}

BOOL TkListBaseC::PrepareCell(TkListPaintContext* context) {
    LV_ITEM& item = context->item;
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.state = 0;
    item.pszText = textBuffer_.data();
    item.cchTextMax = TextBufferSize;
    textBuffer_[0] = '\0';
    context->view = std::int32_t(style_ & LVS_TYPEMASK);
    if (!GetItem(&item, TRUE, TRUE)) return FALSE;
    // The owner's handler may have deleted the item.
    if (!IsItem(item.iItem)) return FALSE;
    if (item.mask & LVIF_DI_SETITEM) SetItem(&item, FALSE);
    PrepareBkColor(context);
    PrepareRowBkColor(context);
    PrepareTextColors(context);
    PrepareFont(context);
    return TRUE;
}

void TkListBaseC::PrepareBkColor(TkListPaintContext* context) {
    context->bkColor = GetBkColor();
}

void TkListBaseC::PrepareRowBkColor(TkListPaintContext* context) {
    if (!IsEnabled())
        context->rowBkColor = GetBkColor();
    else if ((context->item.state & LVIS_SELECTED) && HasFocus())
        context->rowBkColor = GetFocusRowBkColor();
    else
        context->rowBkColor = GetRowBkColor();
}

void TkListBaseC::PrepareTextColors(TkListPaintContext* context) {
    const bool labelOrFullRow = context->item.iSubItem == 0 || HasListExStyle(LVXS_FULLROWSELECT);
    const bool greyed = context->treeFlags & 0x100;
    if (!IsEnabled()) {
        context->textColor = GetDisabledTextColor();
        context->textBkColor = GetSysColor(COLOR_MENU);
    } else if ((HasListStyle(LVS_SHOWSELALWAYS) || HasFocus()) && (context->item.state & LVIS_SELECTED) &&
               labelOrFullRow) {
        if (!HasFocus()) {
            context->textColor = GetSysColor(COLOR_MENUTEXT);
            context->textBkColor = GetSysColor(COLOR_MENU);
        } else {
            context->textColor = greyed ? GetDisabledTextColor() : colors_.selText;
            context->textBkColor = colors_.selBk;
        }
    } else {
        context->textColor = greyed ? GetDisabledTextColor() : GetTextColor();
        context->textBkColor = GetTextBkColor();
    }
    if (context->item.iItem == dropHighlight_ && labelOrFullRow) {
        context->textColor = colors_.selText;
        context->textBkColor = colors_.selBk;
    }
}

void TkListBaseC::PrepareFont(TkListPaintContext* context) {
    context->font = GetItemFont();
}

// ---- measuring

void TkListBaseC::MeasureItem(std::int32_t item, TkListPaintContext* context) {
    if (!IsItem(item)) return;
    if (context) {
        context->item.iItem = item;
        context->record = items_[std::size_t(item)].get();
        MeasureRow(context);
        return;
    }
    HDC dc = GetDC(m_hWnd);
    auto own = NewPaintContext(dc);
    own->item.iItem = item;
    own->record = items_[std::size_t(item)].get();
    MeasureRow(own.get());
    ReleaseDC(m_hWnd, dc);
}

void TkListBaseC::MeasureRow(TkListPaintContext* context) {
    TkListItem* record = context->record;
    if (!record->measureNeeded) return;
    record->rowHeight = std::max(record->rowHeight, 0);
    // Cleared first so that the row walks the measuring may start do not come back here.
    record->measureNeeded = false;
    const std::int32_t item = context->item.iItem;
    for (std::int32_t c = 0; c < GetColumnCount(); ++c) {
        context->item.iItem = item;
        context->column = c;
        context->columnRecord = columns_[std::size_t(c)].get();
        context->item.iSubItem = context->columnRecord->subItem;
        context->subItem =
            context->item.iSubItem > 0 && std::size_t(context->item.iSubItem) <= record->subItems.size()
                ? record->subItems[std::size_t(context->item.iSubItem - 1)].get()
                : nullptr;
        if (!PrepareCell(context)) return;
        record->rowHeight = std::max(record->rowHeight, MeasureCell(context));
    }
}

std::int32_t TkListBaseC::MeasureCell(TkListPaintContext* context) {
    if (!context->item.pszText) return 0;
    RECT icon{};
    if (context->item.iSubItem == 0) {
        MeasureIcon(context, &icon);
        context->record->iconRect = icon;
    }
    RECT text{};
    MeasureText(context, &text);
    if (context->subItem)
        context->subItem->labelRect = text;
    else
        context->record->labelRect = text;
    switch (context->view) {
    case LVS_ICON:
        return text.Height() + icon.Height() + 5;
    case LVS_REPORT:
        return std::max(icon.Height(), text.Height());
    default:
        return 0;
    }
}

void TkListBaseC::MeasureIcon(TkListPaintContext* context, RECT* rect) {
    *rect = RECT{};
    const CImageList* list = GetImageList(context->view == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL);
    int width = 0, height = 0;
    if (list && ImageList_GetIconSize(list->GetSafeHandle(), &width, &height))
        *rect = RECT{2, 2, 2 + width, 2 + height};
}

void TkListBaseC::MeasureText(TkListPaintContext* context, RECT* rect) {
    const char* text = context->item.pszText == LPSTR_TEXTCALLBACK ? "" : context->item.pszText;
    std::int32_t length = std::int32_t(std::strlen(text));
    UINT format = MeasureTextFormat | AlignmentOf(context->columnRecord ? context->columnRecord->format : 0);
    if (HasListStyle(LVS_NOLABELWRAP)) {
        if (const char* feed = std::strchr(text, '\n')) length = std::int32_t(feed - text) + 1;
        format |= DT_SINGLELINE;
    }
    RECT calc{0, 0, context->columnRecord ? context->columnRecord->width : 0, 0};
    HGDIOBJ old = SelectObject(context->dc, context->font);
    DrawText(context->dc, text, length, &calc, format);
    SelectObject(context->dc, old);
    std::int32_t left = 6, top = 2;
    const RECT& icon = context->record->iconRect;
    if (context->item.iSubItem == 0 && !icon.IsEmpty()) {
        if (context->view == LVS_ICON) {
            left = 8;
            top = icon.bottom + 2;
        } else {
            left = icon.right + 5;
            top = (icon.Height() - calc.Height()) / 2;
        }
    }
    *rect = RECT{left, top, left + calc.Width(), top + calc.Height()};
}

// ---- painting

LRESULT TkListBaseC::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    Paint(dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

void TkListBaseC::Paint(HDC dc) {
    RECT area, client;
    GetItemArea(&area);
    GetWindowClientRect(&client);
    printing_ = IsPrinting(dc);
    if (printing_) {
        auto context = NewPaintContext(dc);
        if (IsHeaderShown()) PaintHeader(context.get());
        PaintItems(context.get());
        printing_ = false;
        return;
    }
    RECT target{area.left, client.top, area.right, area.bottom};
    if (!(barsShown_ & (1u << SB_HORZ))) target.bottom = client.bottom;
    if (!(barsShown_ & (1u << SB_VERT))) target.right = client.right;
    std::optional<OffscreenDC> offscreen;
    // A drag draws its image into the window itself; a bitmap copied over it would wipe it out.
    if (!target.IsEmpty() && !itemDragStarted_ && !columnDragStarted_) {
        try {
            offscreen.emplace(dc, target.left, target.top, target.right, target.bottom);
        } catch (const Exception&) {
            // Without the bitmap the list paints straight to the window.
        }
    }
    HDC paintDc = offscreen ? offscreen->GetSafeHdc() : dc;
    FillSolid(paintDc, target, GetBkColor());
    auto context = NewPaintContext(paintDc);
    if (IsHeaderShown()) PaintHeader(context.get());
    // A header painted while a column is dragged keeps the mark of where it would go.
    if (columnDragStarted_) DrawColumnDropMark(paintDc, dropPosition_);
    const int saved = SaveDC(paintDc);
    IntersectClipRect(paintDc, area.left, area.top, area.right, area.bottom);
    PaintItems(context.get());
    RestoreDC(paintDc, saved);
    offscreen.reset();
    if ((barsShown_ & (1u << SB_HORZ)) && (barsShown_ & (1u << SB_VERT))) {
        const RECT corner{area.right + 1, area.bottom + 1, client.right, client.bottom};
        FillRect(dc, &corner, Shared().headerFace);
    }
}

void TkListBaseC::PaintItems(TkListPaintContext* context) {
    RECT area;
    GetItemArea(&area);
    std::int32_t last = GetItemCount();
    if (printing_) last = std::min(GetLastFullyVisible(TRUE) + 1, last);
    const std::int32_t view = std::int32_t(style_ & LVS_TYPEMASK);
    if (view != LVS_REPORT && view != LVS_ICON) return;
    // Icon cells take a line each, as wide as the item area.
    const std::int32_t right = view == LVS_REPORT ? GetContentWidth(FALSE) - horzOffset_ : area.right;
    std::int32_t bottom = area.top;
    for (std::int32_t item = topIndex_; item < last && item < GetItemCount(); ++item) {
        TkListItem* record = items_[std::size_t(item)].get();
        context->item.iItem = item;
        context->record = record;
        if (record->measureNeeded) MeasureRow(context);
        if (!IsItem(item)) break;
        RECT row{view == LVS_REPORT ? -horzOffset_ : area.left, bottom + GetRowSpacing(), right, 0};
        row.bottom = row.top + std::max(record->rowHeight, 0);
        context->cell = row;
        if (printing_ || RectVisible(context->dc, &row)) PaintRow(context);
        bottom = row.bottom;
        if (bottom > area.bottom) break;
    }
    if (!printing_ && vertBar_ && (barsShown_ & (1u << SB_VERT))) {
        SCROLLINFO info;
        info.fMask = SIF_PAGE | SIF_POS;
        info.nPage = UINT(std::max(GetCountPerPage(), 1));
        info.nPos = topIndex_;
        SetScrollInfo(vertBar_, SB_CTL, &info, TRUE);
    }
}

void TkListBaseC::PaintRow(TkListPaintContext* context) {
    const std::int32_t item = context->item.iItem;
    TkListItem* record = context->record;
    if (IsCallbackItem(item)) {
        record->measureNeeded = true;
        MeasureRow(context);
        if (!IsItem(item)) return;
    }
    const RECT row = context->cell;
    std::int32_t left = row.left;
    for (std::int32_t c = 0; c < GetColumnCount(); ++c) {
        TkListColumn* column = columns_[std::size_t(c)].get();
        std::int32_t width = column->width;
        if (GetColumnCount() == 1) width = std::max(width, record->labelRect.right);
        if (context->view == LVS_ICON) width = row.Width();
        const RECT cell{left, row.top, left + width, row.bottom};
        left = cell.right;
        if (!printing_ && !RectVisible(context->dc, &cell)) continue;
        context->cell = cell;
        context->column = c;
        context->columnRecord = column;
        context->item.iItem = item;
        context->item.iSubItem = column->subItem;
        context->subItem = column->subItem > 0 && std::size_t(column->subItem) <= record->subItems.size()
                               ? record->subItems[std::size_t(column->subItem - 1)].get()
                               : nullptr;
        if (!PrepareCell(context)) return;
        PaintCell(context);
    }
    context->cell = row;
    if (context->view != LVS_REPORT) return;
    if (HasListExStyle(LVXS_FULLROWSELECT) && item == focus_ && HasFocus() && GetColumnCount() > 1) {
        const RECT focusRect{record->labelRect.left - 3 - horzOffset_, row.top, row.right, row.bottom};
        DrawFocusRect(context->dc, &focusRect);
    }
    if (HasListExStyle(LVXS_VGRIDLINES)) PaintColumnLines(context->dc, item, row);
    if (HasListExStyle(LVXS_HGRIDLINES)) PaintRowLine(context->dc, item, row);
}

void TkListBaseC::PaintCell(TkListPaintContext* context) {
    FillSolid(context->dc, context->cell, context->bkColor);
    if (!context->item.pszText) return;
    if (context->item.iSubItem == 0) PaintCellIcon(context);
    PaintCellText(context);
}

void TkListBaseC::PaintCellIcon(TkListPaintContext* context) {
    const CImageList* list = GetImageList(context->view == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL);
    if (!list) return;
    const TkListItem& record = *context->record;
    const RECT& cell = context->cell;
    const POINT at =
        context->view == LVS_ICON
            ? POINT{cell.left + (record.labelRect.Width() - 16) / 2, cell.top + record.iconRect.top}
            : POINT{cell.left + record.iconRect.left, cell.top + record.iconRect.top};
    list->Draw(context->dc, record.image, at, ILD_NORMAL);
}

void TkListBaseC::PaintCellText(TkListPaintContext* context) {
    const RECT& cell = context->cell;
    const TkListItem& record = *context->record;
    const RECT& label = context->subItem ? context->subItem->labelRect : record.labelRect;
    RECT background{cell.left, cell.top, cell.left + label.Width(), cell.bottom};
    RECT text{cell.left + 6, cell.top, cell.right - 5, cell.bottom};
    const bool labelColumn = context->item.iSubItem == 0;
    if (labelColumn && !record.iconRect.IsEmpty()) {
        if (context->view == LVS_REPORT) {
            text.top += 3;
            text.left = cell.left + record.iconRect.right + 4;
            text.right = text.left + label.Width();
            background = RECT{text.left - 2, cell.top + record.iconRect.top, text.right + 2,
                              cell.top + record.iconRect.bottom};
        } else {
            text = RECT{cell.left + label.left, cell.top + label.top, cell.left + label.right,
                        cell.top + label.bottom};
            background = RECT{text.left - 2, text.top, text.right + 2, text.bottom};
        }
    } else if (labelColumn) {
        background.right = cell.left + label.right + 5;
    }
    const bool selected = context->item.state & LVIS_SELECTED;
    if (HasListExStyle(LVXS_FULLROWSELECT) && selected)
        FillSolid(context->dc, cell, context->textBkColor);
    else if (labelColumn)
        FillSolid(context->dc, background, context->textBkColor);
    // The edit lies over the cell it edits.
    if (context->item.iItem == editItem_ && context->item.iSubItem == editSubItem_ && edit_->m_hWnd) return;
    const char* string = context->item.pszText == LPSTR_TEXTCALLBACK ? "" : context->item.pszText;
    UINT format = CellTextFormat | AlignmentOf(context->columnRecord->format);
    if (HasListStyle(LVS_NOLABELWRAP)) format |= DT_SINGLELINE | DT_END_ELLIPSIS;
    SetBkMode(context->dc, TRANSPARENT);
    ::vq::SetTextColor(context->dc, context->textColor);
    HGDIOBJ old = SelectObject(context->dc, context->font);
    DrawText(context->dc, string, -1, &text, format);
    SelectObject(context->dc, old);
}

void TkListBaseC::PaintRowLine(HDC dc, std::int32_t /*item*/, const RECT& row) {
    Line(dc, GetGridPen(), row.left, row.bottom - 1, row.right, row.bottom - 1);
}

void TkListBaseC::PaintColumnLines(HDC dc, std::int32_t item, const RECT& row) {
    const std::int32_t count = GetColumnCount();
    const std::int32_t lines = HasListExStyle(LVXS_FITLABELCOLUMN) ? count - 1 : count;
    for (std::int32_t c = 0; c < lines; ++c) {
        const std::int32_t x = GetColumnRight(c);
        Line(dc, GetColumnLinePen(), x, row.top, x, row.bottom);
    }
    if (item == GetItemCount() - 1)
        Line(dc, GetGridPen(), row.left, row.bottom - 1, row.right, row.bottom - 1);
    for (std::int32_t c = 0; c < count; ++c) {
        if (columns_[std::size_t(c)]->subItem != 0 && c != count - 1) continue;
        const std::int32_t x = GetColumnRight(c);
        Line(dc, GetColumnLinePen(), x, row.top, x, row.bottom);
    }
}

// ---- header

void TkListBaseC::DrawHeaderButton(HDC dc, std::int32_t column, const RECT& button, BOOL pressed) {
    RECT frame = button;
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));
    if (!IsColumn(column)) return;
    const TkListColumn& c = *columns_[std::size_t(column)];
    RECT text{button.left + 6, button.top, button.left + c.width - 6, button.bottom};
    if (pressed) {
        text.left += 1;
        text.right += 1;
        text.top += 1;
        text.bottom += 1;
    }
    UINT format = HeaderTextFormat | AlignmentOf(c.format);
    if (GetImageList(LVSIL_HEADER) && c.image >= 0 && c.width >= 24) PaintHeaderIcon(dc, c, &text, &format);
    SIZE extent{};
    GetTextExtentPoint32(dc, c.heading.c_str(), int(c.heading.size()), &extent);
    if (extent.cx > text.Width()) format |= DT_END_ELLIPSIS;
    DrawText(dc, c.heading.c_str(), int(c.heading.size()), &text, format);
}

void TkListBaseC::PaintHeader(TkListPaintContext* context) {
    RECT client;
    GetWindowClientRect(&client);
    const std::int32_t contentWidth = GetContentWidth(FALSE);
    const RECT header{-horzOffset_, client.top, std::max(contentWidth, client.Width() + 1),
                      client.top + headerHeight_};
    HDC dc = context->dc;
    if (!printing_ && !RectVisible(dc, &header)) return;
    FillRect(dc, &header, Shared().headerFace);
    HGDIOBJ old = SelectObject(dc, GetHeaderFont());
    SetBkMode(dc, TRANSPARENT);
    ::vq::SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (std::int32_t c = 0; c < GetColumnCount(); ++c) {
        const RECT button{GetColumnLeft(c), header.top, GetColumnRight(c), header.bottom};
        DrawHeaderButton(dc, c, button, FALSE);
    }
    DrawHeaderButton(dc, -1, HeaderFillerRect(), FALSE);
    SelectObject(dc, old);
}

void TkListBaseC::PaintHeaderButton(std::int32_t column, BOOL pressed) {
    if (!m_hWnd || !IsColumn(column) || !IsHeaderShown()) return;
    HDC dc = GetDC(m_hWnd);
    RECT area;
    GetItemArea(&area);
    IntersectClipRect(dc, 0, 0, area.right, headerHeight_);
    const RECT button{GetColumnLeft(column), 0, GetColumnRight(column), headerHeight_};
    FillRect(dc, &button, Shared().headerFace);
    HGDIOBJ old = SelectObject(dc, GetHeaderFont());
    SetBkMode(dc, TRANSPARENT);
    DrawHeaderButton(dc, column, button, pressed);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
}

// ---- focus and enabling change the colours

LRESULT TkListBaseC::OnSetFocus(WPARAM, LPARAM) {
    Default();
    NotifyParent(NM_SETFOCUS);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT TkListBaseC::OnKillFocus(WPARAM next, LPARAM) {
    Default();
    if (edit_->m_hWnd && HWND(next) == edit_->m_hWnd) return 0;
    EndLabelEdit(TRUE);
    NotifyParent(NM_KILLFOCUS);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT TkListBaseC::OnEnable(WPARAM enabled, LPARAM) {
    if (!enabled) tip_->Hide();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return Default();
}

} // namespace vq
