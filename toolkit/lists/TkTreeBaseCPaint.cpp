// The tree's first column: measuring, painting with lines and buttons, and hit testing.
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkTreeBaseC.h"

#include <algorithm>
#include <cstring>

namespace vq {

namespace {

constexpr const char* HighlightMarker = "\\{HI}";
constexpr std::size_t HighlightMarkerLength = 5;
constexpr std::int32_t LabelGap = 6;
constexpr std::int32_t NoLimit = 10000;
constexpr DWORD BlendSelectedIcons = 0x10000000;

// The sign and box pens serve every tree for the life of the program; they are made with the
// colours of the first button drawn.
struct ButtonPens {
    HPEN sign = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HPEN box = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
};

ButtonPens& Pens() {
    static ButtonPens pens;
    return pens;
}

// Rebuilt from the list's font for every bold row.
HFONT& BoldFont() {
    static HFONT font = 0;
    return font;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    if (rect.IsEmpty()) return;
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

RECT Offset(const RECT& r, std::int32_t dx, std::int32_t dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool HasImage(const CImageList* list, int index) {
    return list && index >= 0 && index < ImageList_GetImageCount(list->GetSafeHandle());
}

SIZE IconSize(const CImageList* list) {
    int width = 0, height = 0;
    if (list) ImageList_GetIconSize(list->GetSafeHandle(), &width, &height);
    return SIZE{width, height};
}

const char* TextOf(const TVITEM& item) {
    return item.pszText && item.pszText != LPSTR_TEXTCALLBACKA ? item.pszText : "";
}

} // namespace

BOOL TkTreeBaseC::HasRootLines() const {
    return (treeStyle_ & TVS_LINESATROOT) && (treeStyle_ & (TVS_HASBUTTONS | TVS_HASLINES));
}

// Dots fall on the pixels whose content coordinates add up to an even number; rows are an even
// number of pixels high, so the pattern runs on unbroken from row to row.
bool TkTreeBaseC::DotAt(std::int32_t x, std::int32_t y) const {
    return ((x + horzOffset_ + y) & 1) == 0;
}

// ---- the paint context

std::unique_ptr<TkListPaintContext> TkTreeBaseC::NewPaintContext(HDC dc) {
    auto context = std::make_unique<TkTreePaintContext>();
    context->dc = dc;
    context->view = LVS_REPORT;
    return context;
}

BOOL TkTreeBaseC::PrepareCell(TkListPaintContext* context) {
    if (context->item.iSubItem != 0) return TkListCtrl::PrepareCell(context);
    auto* tree = static_cast<TkTreePaintContext*>(context);
    const std::int32_t row = context->item.iItem;
    TreeItemNode* node = NodeOfRow(row);
    tree->node = node;
    if (!node) return FALSE;
    TVITEM& item = tree->treeItem;
    item = TVITEM{};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_STATE | TVIF_HANDLE | TVIF_SELECTEDIMAGE;
    item.stateMask = 0xFFFF;
    item.hItem = node;
    textBuffer_[0] = '\0';
    item.pszText = textBuffer_.data();
    item.cchTextMax = TextBufferSize;
    if (GetItem(&item, FALSE, TRUE) != TRUE) return FALSE;
    // The owner's answer may have changed the tree.
    if (NodeOfRow(row) != node) return FALSE;
    LV_ITEM& cell = context->item;
    cell.state = item.state & (LVIS_CUT | LVIS_DROPHILITED);
    if (IsItemSelected(row)) cell.state |= LVIS_SELECTED;
    if (GetFocusItem() == row) cell.state |= LVIS_FOCUSED;
    if (item.state & TVIS_OVERLAYMASK) cell.state |= LVIS_OVERLAYMASK;
    if (item.state & TVIS_STATEIMAGEMASK) cell.state |= LVIS_STATEIMAGEMASK;
    cell.pszText = const_cast<char*>(TextOf(item));
    cell.iImage = item.iImage;
    tree->exState = TkTreeExState{1, 0, TreeItemNode::Marked | TreeItemNode::Hidden};
    GetItemExState(node, &tree->exState, FALSE);
    PrepareBkColor(context);
    PrepareRowBkColor(context);
    PrepareTextColors(context);
    PrepareFont(context);
    return TRUE;
}

void TkTreeBaseC::PrepareFont(TkListPaintContext* context) {
    TkListCtrl::PrepareFont(context);
    const auto* tree = static_cast<TkTreePaintContext*>(context);
    if (context->item.iSubItem != 0 || !tree->node || !(tree->treeItem.state & TVIS_BOLD)) return;
    LOGFONT face;
    if (!GetObject(context->font, sizeof face, &face)) return;
    face.lfWeight = 700;
    HFONT bold = CreateFontIndirect(face);
    if (!bold) return;
    // The previous copy is never selected into a context here: drawing selects fonts back at once.
    HFONT previous = BoldFont();
    BoldFont() = bold;
    if (previous) DeleteObject(previous);
    context->font = bold;
}

// ---- measuring

std::int32_t TkTreeBaseC::MeasureCell(TkListPaintContext* context) {
    if (context->item.iSubItem != 0) return TkListCtrl::MeasureCell(context);
    auto* tree = static_cast<TkTreePaintContext*>(context);
    TreeItemNode* node = tree->node;
    TkListItem* record = context->record;
    if (!node || !record) return 0;
    const TVITEM& item = tree->treeItem;
    const std::int32_t x0 = (node->GetDepth() - 1) * indent_ + (HasRootLines() ? indent_ : 0);
    const CImageList* states = GetImageList(TVSIL_STATE);
    const CImageList* images = GetImageList(TVSIL_NORMAL);
    const int stateIndex = int((item.state & TVIS_STATEIMAGEMASK) >> 12);
    const bool stateImage = stateIndex != 0 && HasImage(states, stateIndex);
    RECT stateIcon{x0, 0, x0, 0}, icon{x0, 0, x0, 0};
    std::int32_t labelLeft = x0 + LabelGap;
    if (stateImage) {
        const SIZE size = IconSize(states);
        stateIcon = RECT{x0, 0, x0 + size.cx, size.cy};
        if (!images) icon = RECT{x0, 0, x0, size.cy};
        labelLeft = stateIcon.right + LabelGap;
    }
    if (HasImage(images, item.iImage)) {
        const SIZE size = IconSize(images);
        if (!stateImage) stateIcon = RECT{x0, 0, x0, size.cy};
        icon = RECT{stateIcon.right, 0, stateIcon.right + size.cx, size.cy};
        labelLeft = icon.right + LabelGap;
    }
    RECT client;
    GetWindowClientRect(&client);
    std::int32_t right = NoLimit;
    if (GetColumnCount() >= 2)
        right = GetColumnWidth(0) - 5;
    else if (IsWrapLabels())
        right = client.Width() - 5;
    RECT label{labelLeft, 0, std::max(right, labelLeft), 0};
    MeasureLabel(tree, node, TextOf(item), &label);
    std::int32_t height = std::max({stateIcon.Height(), icon.Height(), label.Height()});
    height += height & 1;
    const std::int32_t drop = (height - label.Height()) / 2;
    label.top += drop;
    label.bottom += drop;
    if (record->labelRect.right > label.right) widestStale_ = true;
    record->stateIconRect = stateIcon;
    record->iconRect = icon;
    record->labelRect = label;
    widestLabel_ = std::max(widestLabel_, label.right + 5);
    return height + node->rowValue;
}

std::int32_t TkTreeBaseC::GetContentWidth(BOOL measure) {
    if (GetColumnCount() != 1 || IsWrapLabels()) return TkListCtrl::GetContentWidth(measure);
    if (widestStale_ || GetItemCount() == 0) {
        widestLabel_ = 0;
        for (std::int32_t row = 0; row < GetItemCount(); ++row)
            widestLabel_ = std::max(widestLabel_, GetItemRecord(row)->labelRect.right + 5);
        widestStale_ = false;
    }
    RECT area;
    GetItemArea(&area);
    return std::max(widestLabel_, area.Width());
}

void TkTreeBaseC::MeasureLabel(TkTreePaintContext* context, TreeItemNode* node, const char* text,
                               RECT* rect) {
    HDC dc = context->dc;
    HGDIOBJ old = SelectObject(dc, context->font);
    const std::int32_t left = rect->left, limit = rect->right;
    if (!IsWrapLabels()) {
        const char* feed = std::strchr(text, '\n');
        const int length = feed ? int(feed - text) : -1;
        RECT calc{left, 0, limit, 0};
        DrawText(dc, text, length, &calc,
                 DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
        const std::int32_t tabbed = LOWORD(std::uint32_t(GetTabbedTextExtent(dc, text, -1, 0, nullptr)));
        *rect = RECT{left, 0, left + std::max(calc.Width(), tabbed), calc.Height() + 2};
        SelectObject(dc, old);
        return;
    }
    constexpr UINT Wrapped = DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;
    const char* marker = std::strstr(text, HighlightMarker);
    if (!marker) {
        node->split = FALSE;
        RECT calc{left, 0, limit, 0};
        DrawText(dc, text, -1, &calc, Wrapped);
        *rect = RECT{left, 0, left + calc.Width(), calc.Height() + 2};
        SelectObject(dc, old);
        return;
    }
    node->split = TRUE;
    node->firstPart.assign(text, std::size_t(marker - text));
    node->secondPart.assign(marker + HighlightMarkerLength);
    SIZE first{};
    GetTextExtentPoint32(dc, node->firstPart.c_str(), int(node->firstPart.size()), &first);
    node->firstPartWidth = first.cx;
    RECT calc{left + first.cx, 0, std::max(limit, left + first.cx), 0};
    DrawText(dc, node->secondPart.c_str(), -1, &calc, Wrapped);
    // The label runs from its start to the end of the second part, so hits and the highlight
    // cover both parts.
    *rect =
        RECT{left, 0, left + first.cx + calc.Width(), std::max<std::int32_t>(calc.Height(), first.cy) + 2};
    SelectObject(dc, old);
}

// ---- painting

void TkTreeBaseC::PaintCell(TkListPaintContext* context) {
    if (context->item.iSubItem != 0) return TkListCtrl::PaintCell(context);
    auto* tree = static_cast<TkTreePaintContext*>(context);
    const TreeItemNode* node = tree->node;
    if (!node || !context->record) return;
    const TkListItem& record = *context->record;
    const TVITEM& item = tree->treeItem;
    HDC dc = context->dc;
    const RECT& cell = context->cell;
    const std::int32_t row = context->item.iItem;
    const bool editing = row == editItem_ && editSubItem_ == 0 && edit_->m_hWnd;
    const bool selected = context->item.state & LVIS_SELECTED;
    const bool fullRow = HasListExStyle(LVXS_FULLROWSELECT);
    FillSolid(dc, cell, context->rowBkColor);

    if (const CImageList* states = GetImageList(TVSIL_STATE)) {
        int index = int((item.state & TVIS_STATEIMAGEMASK) >> 12);
        if (!HasImage(states, index)) index = 0;
        if (index)
            states->Draw(dc, index, POINT{cell.left + record.stateIconRect.left, cell.top}, ILD_TRANSPARENT);
    }
    const CImageList* images = GetImageList(TVSIL_NORMAL);
    int image = selected ? item.iSelectedImage : item.iImage;
    if (images && image != TreeItemNode::NoImage && !record.iconRect.IsEmpty()) {
        if (!HasImage(images, image)) image = 0;
        const bool blend =
            HasListExStyle(BlendSelectedIcons) && ((selected && HasFocus()) || row == GetDropHighlight());
        images->Draw(dc, image, POINT{cell.left + record.iconRect.left, cell.top + record.iconRect.top},
                     ILD_TRANSPARENT | (blend ? UINT(ILD_SELECTED) : 0u) | (item.state & TVIS_OVERLAYMASK));
    }
    if (printing_ || RectVisible(dc, &cell)) {
        if (treeStyle_ & TVS_HASLINES) DrawHierarchyLines(tree);
        if (treeStyle_ & TVS_HASBUTTONS) DrawButton(tree);
    }

    const RECT label = Offset(record.labelRect, cell.left, cell.top);
    RECT highlight{label.left - 3, label.top, label.right + 3, label.bottom};
    if (fullRow && GetColumnCount() >= 1) {
        RECT area;
        GetItemArea(&area);
        highlight.right = std::max(cell.right, area.right);
    }
    if (GetColumnCount() >= 2) highlight.right = std::min(highlight.right, cell.left + GetColumnWidth(0) - 2);
    if (editing && !fullRow) return;
    FillSolid(dc, highlight, context->textBkColor);
    if (!editing) {
        HGDIOBJ oldFont = SelectObject(dc, context->font);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColour = ::vq::SetTextColor(dc, context->textColor);
        const char* text = TextOf(item);
        RECT at = Offset(label, 0, 1);
        if (IsWrapLabels() && node->split) {
            RECT first{at.left, at.top, at.left + node->firstPartWidth, at.bottom};
            DrawText(dc, node->firstPart.c_str(), int(node->firstPart.size()), &first,
                     DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE);
            RECT second{at.left + node->firstPartWidth, at.top,
                        std::max(at.right, at.left + node->firstPartWidth), at.bottom};
            DrawText(dc, node->secondPart.c_str(), int(node->secondPart.size()), &second,
                     DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
        } else if (IsWrapLabels()) {
            DrawText(dc, text, -1, &at, DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER);
        } else {
            const char* feed = std::strchr(text, '\n');
            DrawText(dc, text, feed ? int(feed - text) : -1, &at,
                     DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER);
        }
        ::vq::SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
    }
    if (row == GetFocusItem() && HasFocus() && !editing && (!fullRow || GetColumnCount() == 1))
        DrawFocusRect(dc, &highlight);
}

std::int32_t TkTreeBaseC::LineColumnAt(const TkListItem& record, const TreeItemNode* node,
                                       std::int32_t left) const {
    const std::int32_t depth = node->GetDepth();
    const bool icon = record.iconRect.Width() > 0;
    std::int32_t x = left + (depth - 2) * indent_ + (icon ? record.iconRect.Width() / 2 : 8);
    if (HasRootLines()) x += indent_;
    if ((x + horzOffset_) & 1) ++x;
    return x;
}

void TkTreeBaseC::DrawHierarchyLines(TkTreePaintContext* context) {
    const TreeItemNode* node = context->node;
    const TkListItem& record = *context->record;
    const RECT& cell = context->cell;
    const bool icon = record.iconRect.Width() > 0;
    const bool stateIcon = record.stateIconRect.Width() > 0;
    const RECT& centre = icon ? record.iconRect : record.labelRect;
    std::int32_t y = cell.top + (centre.top + centre.bottom) / 2;
    if (y & 1) ++y;
    std::int32_t x = LineColumnAt(record, node, cell.left);
    const std::int32_t depth = node->GetDepth();
    const RECT& first = stateIcon ? record.stateIconRect : icon ? record.iconRect : record.labelRect;
    const std::int32_t firstLeft = cell.left + first.left;
    if (HasRootLines() || depth > 1) DrawHorzLine(context->dc, x, firstLeft - 1, y);
    if (context->item.iItem != 0) DrawVertLine(context->dc, x, cell.top, y);
    const bool children = node->FirstChild() || ReportsChildren(const_cast<TreeItemNode*>(node));
    if (children && node->IsExpanded()) {
        const RECT& below = icon ? record.iconRect : stateIcon ? record.stateIconRect : record.labelRect;
        DrawVertLine(context->dc, x + indent_, y + below.Height() / 2, cell.bottom);
    }
    const std::int32_t levels = HasRootLines() ? depth : depth - 1;
    const TreeItemNode* n = node;
    for (std::int32_t level = 0; level < levels && n && n != root_.get(); ++level, n = n->Parent()) {
        const TreeItemNode* next = n->NextSibling();
        while (next && (next->exState & TreeItemNode::Hidden))
            next = next->NextSibling();
        if (next) DrawVertLine(context->dc, x, level == 0 ? y : cell.top, cell.bottom);
        x -= indent_;
    }
}

void TkTreeBaseC::DrawHorzLine(HDC dc, std::int32_t x0, std::int32_t x1, std::int32_t y) {
    const std::int32_t from = std::min(x0, x1), to = std::max(x0, x1);
    if (printing_) {
        MoveToEx(dc, from, y, nullptr);
        LineTo(dc, to, y);
        return;
    }
    const COLORREF dot = GetSysColor(COLOR_BTNSHADOW), gap = GetBkColor();
    for (std::int32_t x = from; x < to; ++x)
        SetPixel(dc, x, y, DotAt(x, y) ? dot : gap);
}

void TkTreeBaseC::DrawVertLine(HDC dc, std::int32_t x, std::int32_t y0, std::int32_t y1) {
    const std::int32_t from = std::min(y0, y1), to = std::max(y0, y1);
    if (printing_) {
        MoveToEx(dc, x, from, nullptr);
        LineTo(dc, x, to);
        return;
    }
    const COLORREF dot = GetSysColor(COLOR_BTNSHADOW), gap = GetBkColor();
    for (std::int32_t y = from; y < to; ++y)
        SetPixel(dc, x, y, DotAt(x, y) ? dot : gap);
}

RECT TkTreeBaseC::ButtonBox(const TkListItem& record, const TreeItemNode* node, std::int32_t left,
                            std::int32_t top) const {
    std::int32_t side = 8;
    const RECT* centre = &record.labelRect;
    if (record.iconRect.Width() > 0) {
        side = std::min(20 * record.iconRect.Height() / 33, 15);
        centre = &record.iconRect;
    } else if (record.stateIconRect.Width() > 0 && GetImageList(TVSIL_STATE)) {
        side = std::min(20 * record.stateIconRect.Height() / 33, 15);
        centre = &record.stateIconRect;
    }
    const std::int32_t cx = LineColumnAt(record, node, left);
    const std::int32_t cy = top + (centre->top + centre->bottom) / 2;
    RECT box{cx - side / 2, cy - side / 2, cx - side / 2 + side, cy - side / 2 + side};
    if (side % 2 == 0) {
        ++box.right;
        ++box.bottom;
    }
    return box;
}

BOOL TkTreeBaseC::GetButtonRect(std::int32_t row, RECT* rect) {
    const TreeItemNode* node = NodeOfRow(row);
    RECT cell;
    if (!node || !rect || !TkListBaseC::GetItemRect(row, &cell, LVIR_BOUNDS)) return FALSE;
    *rect = ButtonBox(*GetItemRecord(row), node, cell.left, cell.top);
    return TRUE;
}

void TkTreeBaseC::DrawButton(TkTreePaintContext* context) {
    TreeItemNode* node = context->node;
    if (!node->FirstChild() && !ReportsChildren(node)) return;
    HDC dc = context->dc;
    const RECT box = ButtonBox(*context->record, node, context->cell.left, context->cell.top);
    ButtonPens& pens = Pens();
    HBRUSH fill = CreateSolidBrush(IsEnabled() ? RGB(255, 255, 255) : GetBkColor());
    HGDIOBJ oldPen = SelectObject(dc, pens.box);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    const std::int32_t s = box.Width() / 3;
    const std::int32_t cx = box.left + box.Width() / 2, cy = box.top + box.Height() / 2;
    SelectObject(dc, pens.sign);
    MoveToEx(dc, cx - s + 1, cy, nullptr);
    LineTo(dc, cx + s, cy);
    if (!node->IsExpanded()) {
        MoveToEx(dc, cx, cy - s + 1, nullptr);
        LineTo(dc, cx, cy + s);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(fill);
}

void TkTreeBaseC::RedrawItem(HTREEITEM item, BOOL labelOnly, BOOL erase, BOOL toBottom, BOOL updateNow) {
    const std::int32_t row = RowOfNode(Resolve(item));
    if (row >= 0) InvalidateItem(row, labelOnly, erase, toBottom, updateNow);
}

// ---- hit testing

HTREEITEM TkTreeBaseC::HitTest(POINT point, UINT* flagsOut) {
    UINT list = 0;
    std::int32_t column = -1;
    const std::int32_t row = TkListBaseC::HitTest(point.x, point.y, &list, &column);
    UINT flags = TVHT_NOWHERE;
    HTREEITEM item = nullptr;
    if (list & LVHTX_ONROW) {
        item = NodeOfRow(row);
        if (list & LVHT_ONITEMLABEL) {
            flags = TreeHitOnRow | TVHT_ONITEMLABEL;
        } else if (list & LVHT_ONITEMICON) {
            flags = TreeHitOnRow | TVHT_ONITEMICON;
        } else if (list & LVHTX_RIGHTOFLABEL) {
            flags = TreeHitOnRow | TVHT_ONITEMRIGHT;
        } else if (list & LVHT_ONITEMSTATEICON) {
            flags = TreeHitOnRow | TVHT_ONITEMSTATEICON;
        } else if (list & LVHTX_LEFTOFLABEL) {
            RECT box;
            const bool button =
                (treeStyle_ & TVS_HASBUTTONS) && GetButtonRect(row, &box) && Contains(box, point);
            flags = TreeHitOnRow | (button ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT);
        } else {
            flags = TreeHitOnRow;
            if (!HasListExStyle(LVXS_FULLROWSELECT)) item = nullptr;
        }
    } else if (list & LVHT_ABOVE) {
        flags = TVHT_ABOVE;
    } else if (list & LVHT_BELOW) {
        flags = TVHT_BELOW;
    } else if (list & LVHT_TOLEFT) {
        flags = TVHT_TOLEFT;
    } else if (list & LVHT_TORIGHT) {
        flags = TVHT_TORIGHT;
    } else if (list & LVHTX_ONDIVIDER) {
        flags = 0x1000;
    } else if (list & LVHTX_ONHEADER) {
        flags = 0x2000;
    }
    if (flagsOut) *flagsOut = flags;
    return item;
}

HTREEITEM TkTreeBaseC::HitTest(TVHITTESTINFO* info) {
    if (!info) return nullptr;
    info->hItem = HitTest(info->pt, &info->flags);
    return info->hItem;
}

} // namespace vq
