#include "toolkit/lists/TkListBaseC.h"

#include "platform/classlib/DataExchange.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Icon.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkListResources.h"

#include <algorithm>
#include <cstring>

namespace vq {

namespace {

constexpr std::uint32_t ColumnResizeCursor = IDC_TK_COLUMN_RESIZE;
constexpr UINT StateKeptByList = LVIS_FOCUSED | LVIS_SELECTED | LVIS_DROPHILITED;
constexpr DWORD WindowBorder = 0x00800000;

// Copies at most size - 1 bytes and always terminates; the length copied.
std::int32_t CopyTerminated(char* buffer, std::int32_t size, const char* text) {
    if (!buffer || size <= 0) return 0;
    const std::size_t length = text ? std::min<std::size_t>(std::strlen(text), std::size_t(size - 1)) : 0;
    if (length) std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return std::int32_t(length);
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkListBaseC, CWnd)

TkListBaseC::TkListBaseC()
    : edit_(std::make_unique<TkListEdit>(this)), tip_(std::make_unique<TkListTip>(this)) {
    useSysColors_ = TRUE;
    LoadSysColors();
    useSysColors_ = FALSE;
}

TkListBaseC::~TkListBaseC() {
    *alive_ = false;
}

void TkListBaseC::LoadSysColors() {
    if (!useSysColors_) return;
    colors_.background = GetSysColor(COLOR_WINDOW);
    colors_.text = GetSysColor(COLOR_WINDOWTEXT);
    colors_.textBk = GetSysColor(COLOR_WINDOW);
    colors_.selText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    colors_.selBk = GetSysColor(COLOR_HIGHLIGHT);
    colors_.disabledText = GetSysColor(COLOR_GRAYTEXT);
    colors_.rowBk = GetSysColor(COLOR_WINDOW);
    colors_.focusRowBk = GetSysColor(COLOR_WINDOW);
    colors_.tipBk = GetSysColor(COLOR_INFOBK);
    colors_.tipText = GetSysColor(COLOR_INFOTEXT);
}

// ---- creation

BOOL TkListBaseC::Create(DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(exStyle, nullptr, "", style, rect, parent, id);
}

BOOL TkListBaseC::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return Create(style, 0, rect, parent, id);
}

// The list's own style bits are split off right after the hook, so they never reach the window.
BOOL TkListBaseC::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CWnd::PreCreateWindow(cs)) return FALSE;
    SplitCreateStyles(cs);
    return TRUE;
}

void TkListBaseC::SplitCreateStyles(CREATESTRUCT& cs) {
    const DWORD listStyle = cs.style & ListStyleBits;
    cs.style &= ~ListStyleBits;
    ModifyListStyle(0, listStyle, FALSE);
    const DWORD listExStyle = cs.dwExStyle & ListExStyleBits;
    cs.dwExStyle &= ~ListExStyleBits;
    ModifyListExStyle(0, listExStyle, FALSE);
}

BOOL TkListBaseC::ReplaceDlgItem(UINT id, CWnd* dialog) {
    if (!dialog) return FALSE;
    HWND child = ::vq::GetDlgItem(dialog->m_hWnd, int(id));
    if (!child) return FALSE;
    const DWORD style = DWORD(GetWindowLongPtr(child, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongPtr(child, GWL_EXSTYLE));
    RECT rect;
    ::vq::GetWindowRect(child, &rect);
    POINT topLeft{rect.left, rect.top}, bottomRight{rect.right, rect.bottom};
    ScreenToClient(dialog->m_hWnd, &topLeft);
    ScreenToClient(dialog->m_hWnd, &bottomRight);
    ::vq::DestroyWindow(child);
    return Create(style | WindowBorder, exStyle, RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y},
                  dialog, id);
}

void DDX_TkList(CDataExchange* exchange, UINT id, TkListBaseC& list) {
    if (list.m_hWnd) return;
    // Nothing the user typed is wrong here, so there is nothing to tell them.
    if (!list.ReplaceDlgItem(id, exchange->m_pDlgWnd)) throw DataExchangeFailure{};
}

LRESULT TkListBaseC::OnCreate(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default();
    (void)wParam;
    if (result == -1) return result;
    resizeCursor_ = LoadCursorResource(ColumnResizeCursor);
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    const bool report =
        (cs && (cs->style & LVS_TYPEMASK) == LVS_REPORT) || (style_ & LVS_TYPEMASK) == LVS_REPORT;
    if (!report) {
        ModifyListStyle(0, LVS_NOCOLUMNHEADER, FALSE);
        InsertColumn(0, "", LVCFMT_LEFT, 20, 0, 0, TRUE);
    }
    return result;
}

LRESULT TkListBaseC::OnDestroy(WPARAM, LPARAM) {
    StopAutoScroll();
    for (auto& owned : ownedImageLists_)
        owned.reset();
    imageLists_ = {};
    if (tip_->m_hWnd) tip_->DestroyWindow();
    DeleteAllItems();
    DeleteAllColumns();
    return Default();
}

LRESULT TkListBaseC::OnSysColorChange(WPARAM, LPARAM) {
    LoadSysColors();
    return Default();
}

// ---- colours and fonts

COLORREF TkListBaseC::GetBkColor() const {
    if (m_hWnd && !IsWindowEnabled(m_hWnd)) return GetSysColor(COLOR_MENU);
    return colors_.background;
}

void TkListBaseC::SetBkColor(COLORREF colour) {
    colors_.background = colour;
    colors_.textBk = colour;
}

HFONT TkListBaseC::GetHeaderFont() const {
    return headerFont_ ? headerFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT TkListBaseC::GetItemFont() const {
    return itemFont_ ? itemFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// ---- layout

void TkListBaseC::RemeasureAll() {
    const bool wrap = IsWrapLabels();
    for (auto& item : items_) {
        item->measureNeeded = true;
        if (wrap) item->rowHeight = -1;
    }
    UpdateLayout();
}

void TkListBaseC::RemeasureItem(std::int32_t item) {
    if (!IsItem(item)) return;
    items_[std::size_t(item)]->measureNeeded = true;
    InvalidateItem(item, TRUE, TRUE, FALSE, FALSE);
}

// ---- columns

std::int32_t TkListBaseC::AddColumn(const LV_COLUMN& column) {
    return InsertColumn(GetColumnCount(), column, TRUE);
}

std::int32_t TkListBaseC::AddColumn(const char* heading, std::int32_t format, std::int32_t width,
                                    std::int32_t subItem, std::int32_t image) {
    return InsertColumn(GetColumnCount(), heading, format, width, subItem, image, TRUE);
}

std::int32_t TkListBaseC::AddColumn(std::unique_ptr<TkListColumn> column) {
    return InsertColumn(GetColumnCount(), std::move(column), TRUE);
}

std::int32_t TkListBaseC::InsertColumn(std::int32_t index, const LV_COLUMN& column, BOOL redraw) {
    auto record = std::make_unique<TkListColumn>();
    if ((column.mask & LVCF_TEXT) && column.pszText) record->heading = column.pszText;
    if (column.mask & LVCF_FMT) record->format = column.fmt;
    if (column.mask & LVCF_WIDTH) record->width = column.cx;
    if (column.mask & LVCF_SUBITEM) record->subItem = column.iSubItem;
    if (column.mask & LVCF_IMAGE) record->image = column.iImage;
    return InsertColumn(index, std::move(record), redraw);
}

std::int32_t TkListBaseC::InsertColumn(std::int32_t index, const char* heading, std::int32_t format,
                                       std::int32_t width, std::int32_t subItem, std::int32_t image,
                                       BOOL redraw) {
    auto record = std::make_unique<TkListColumn>();
    record->heading = heading ? heading : "";
    record->format = format;
    record->width = width;
    record->subItem = subItem;
    record->image = image;
    return InsertColumn(index, std::move(record), redraw);
}

// Column 0 is the label column and never moves, so a column goes in at the end or between
// others; a new column always gets a slot of its own so no existing column changes its texts.
std::int32_t TkListBaseC::InsertColumn(std::int32_t index, std::unique_ptr<TkListColumn> column,
                                       BOOL redraw) {
    EndLabelEdit(TRUE);
    tip_->Hide();
    if (!column || index < 0 || index > GetColumnCount()) return 0;
    if (index == 0 && GetColumnCount() > 0) return 0;
    if (index == 0) {
        column->format = LVCFMT_LEFT;
        column->subItem = 0;
    } else if (column->subItem <= 0 || column->subItem > subItemCount_ || index < GetColumnCount()) {
        column->subItem = subItemCount_ + 1;
        for (auto& item : items_)
            AddSubItems(item.get(), 1);
        if (column->width == -1) column->width = 10;
        ++subItemCount_;
    }
    columns_.insert(columns_.begin() + index, std::move(column));
    if (redraw && autoUpdate_) {
        if (HasListExStyle(LVXS_FITLABELCOLUMN)) FitLabelColumn();
        RemeasureAll();
        if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return 1;
}

BOOL TkListBaseC::DeleteColumnByHeading(const char* heading) {
    std::int32_t column = -1, subItem = -1;
    return FindColumn(heading, &column, &subItem) ? DeleteColumn(column) : FALSE;
}

BOOL TkListBaseC::DeleteColumn(std::int32_t column) {
    EndLabelEdit(TRUE);
    tip_->Hide();
    if (!IsColumn(column)) return FALSE;
    const std::int32_t subItem = columns_[std::size_t(column)]->subItem;
    // The label column holds the items' own texts; they cannot go.
    if (subItem <= 0) return FALSE;
    for (auto& item : items_) {
        if (std::size_t(subItem) <= item->subItems.size())
            item->subItems.erase(item->subItems.begin() + (subItem - 1));
    }
    if (!HasListExStyle(LVXS_KEEPWIDTHS)) {
        for (auto& other : columns_) {
            if (other->subItem == 0) {
                other->width += columns_[std::size_t(column)]->width;
                break;
            }
        }
    }
    --subItemCount_;
    columns_.erase(columns_.begin() + column);
    for (auto& other : columns_)
        if (other->subItem > subItem) --other->subItem;
    return TRUE;
}

void TkListBaseC::DeleteAllColumns() {
    while (!columns_.empty())
        columns_.pop_back();
    UpdateLayout();
}

// The texts follow their column: each item's slot of the moved column moves with it, so every
// heading keeps showing its own data once the columns are numbered by position again.
BOOL TkListBaseC::MoveColumn(std::int32_t from, std::int32_t to, BOOL redraw) {
    const std::int32_t count = GetColumnCount();
    if (from <= 0 || to <= 0 || from >= count) return FALSE;
    bool toEnd = false;
    if (to >= count) {
        to = count - 1;
        toEnd = true;
    }
    const std::int32_t position = (to > from && !toEnd) ? to - 1 : to;
    auto record = std::move(columns_[std::size_t(from)]);
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + position, std::move(record));
    // Sub-item slots in the order their columns now show them.
    std::vector<std::int32_t> order;
    for (std::int32_t c = 1; c < count; ++c)
        order.push_back(columns_[std::size_t(c)]->subItem);
    for (auto& item : items_) {
        std::vector<std::unique_ptr<TkListSubItem>> moved;
        for (std::int32_t subItem : order)
            if (subItem >= 1 && std::size_t(subItem) <= item->subItems.size())
                moved.push_back(std::move(item->subItems[std::size_t(subItem - 1)]));
        for (auto& rest : item->subItems)
            if (rest) moved.push_back(std::move(rest));
        item->subItems = std::move(moved);
    }
    for (std::int32_t c = 1; c < count; ++c)
        columns_[std::size_t(c)]->subItem = c;
    OnColumnMoved(from, position);
    if (redraw) {
        RemeasureAll();
        if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return TRUE;
}

BOOL TkListBaseC::GetColumn(std::int32_t column, LV_COLUMN* record) const {
    if (!record || !IsColumn(column)) return FALSE;
    const TkListColumn& c = *columns_[std::size_t(column)];
    if (record->mask & LVCF_TEXT) CopyTerminated(record->pszText, record->cchTextMax, c.heading.c_str());
    if (record->mask & LVCF_FMT) record->fmt = c.format;
    if (record->mask & LVCF_SUBITEM) record->iSubItem = c.subItem;
    if (record->mask & LVCF_WIDTH) record->cx = c.width;
    if (record->mask & LVCF_IMAGE) record->iImage = c.image;
    return TRUE;
}

BOOL TkListBaseC::SetColumn(std::int32_t column, const LV_COLUMN& record, BOOL redraw) {
    if (!IsColumn(column)) return FALSE;
    TkListColumn& c = *columns_[std::size_t(column)];
    if (record.mask & LVCF_TEXT) c.heading = record.pszText ? record.pszText : "";
    if (record.mask & LVCF_FMT) c.format = record.fmt;
    if (record.mask & LVCF_SUBITEM) c.subItem = record.iSubItem;
    if (record.mask & LVCF_WIDTH) c.width = record.cx;
    if (redraw && m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

std::int32_t TkListBaseC::GetColumnLeft(std::int32_t column) const {
    std::int32_t left = -horzOffset_;
    for (std::int32_t c = 0; c < column && c < GetColumnCount(); ++c)
        left += columns_[std::size_t(c)]->width;
    return left;
}

std::int32_t TkListBaseC::GetColumnRight(std::int32_t column) const {
    return GetColumnLeft(column) + GetColumnWidth(column);
}

BOOL TkListBaseC::SetColumnWidth(std::int32_t column, std::int32_t width) {
    if (!IsColumn(column)) return FALSE;
    columns_[std::size_t(column)]->width = width;
    if (IsWrapLabels()) {
        for (auto& item : items_) {
            item->rowHeight = -1;
            item->measureNeeded = true;
        }
    }
    return TRUE;
}

std::int32_t TkListBaseC::GetColumnWidth(std::int32_t column) const {
    if (columns_.empty()) {
        RECT area;
        GetItemArea(&area);
        return area.Width();
    }
    return IsColumn(column) ? columns_[std::size_t(column)]->width : 0;
}

BOOL TkListBaseC::SetColumnFormat(std::int32_t column, std::int32_t format) {
    if (!IsColumn(column)) return FALSE;
    columns_[std::size_t(column)]->format = format;
    return TRUE;
}

std::int32_t TkListBaseC::GetColumnFormat(std::int32_t column) const {
    return IsColumn(column) ? columns_[std::size_t(column)]->format : 0;
}

BOOL TkListBaseC::SetColumnHeading(std::int32_t column, const char* heading) {
    if (!IsColumn(column)) return FALSE;
    columns_[std::size_t(column)]->heading = heading ? heading : "";
    return TRUE;
}

std::string TkListBaseC::GetColumnHeading(std::int32_t column) const {
    return IsColumn(column) ? columns_[std::size_t(column)]->heading : std::string();
}

BOOL TkListBaseC::HasColumn(const char* heading) const {
    std::int32_t column = -1, subItem = -1;
    return FindColumn(heading, &column, &subItem);
}

BOOL TkListBaseC::FindColumn(const char* heading, std::int32_t* column, std::int32_t* subItem) const {
    if (!heading) return FALSE;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c]->heading == heading) {
            if (column) *column = std::int32_t(c);
            if (subItem) *subItem = columns_[c]->subItem;
            return TRUE;
        }
    }
    return FALSE;
}

TkListColumn* TkListBaseC::GetColumnRecord(std::int32_t column) const {
    return IsColumn(column) ? columns_[std::size_t(column)].get() : nullptr;
}

std::int32_t TkListBaseC::GetColumnSubItem(std::int32_t column) const {
    return IsColumn(column) ? columns_[std::size_t(column)]->subItem : -1;
}

void TkListBaseC::FitLabelColumnIfNeeded() {
    if (GetColumnCount() == 1 || HasListExStyle(LVXS_FITLABELCOLUMN)) FitLabelColumn();
}

std::int32_t TkListBaseC::FitLabelColumn() {
    if (columns_.empty()) return 0;
    RECT area;
    GetItemArea(&area);
    std::int32_t others = 0;
    TkListColumn* label = nullptr;
    for (auto& column : columns_) {
        if (column->subItem == 0)
            label = column.get();
        else
            others += column->width;
    }
    if (!label) return 0;
    label->width = area.Width() - others;
    return label->width;
}

// ---- items

TkListText* TkListBaseC::AddressedText(TkListItem& item, std::int32_t subItem) const {
    if (subItem == 0) return &item.text;
    if (subItem < 0 || std::size_t(subItem) > item.subItems.size()) return nullptr;
    return &item.subItems[std::size_t(subItem - 1)]->text;
}

BOOL TkListBaseC::SetItem(LV_ITEM* record, BOOL redraw) {
    if (!record || !IsItem(record->iItem)) return FALSE;
    const std::int32_t index = record->iItem;
    TkListItem& item = *items_[std::size_t(index)];
    TkListText* text = (record->mask & LVIF_TEXT) ? AddressedText(item, record->iSubItem) : nullptr;
    if ((record->mask & LVIF_TEXT) && !text) return FALSE;
    const bool storeCallbacks = record->mask & LVIF_DI_SETITEM;
    UINT notStored = 0;
    bool changed = false, textChanged = false, dropChanged = false;
    if (text) {
        if (record->pszText == LPSTR_TEXTCALLBACK) {
            text->Set(LPSTR_TEXTCALLBACK);
            notStored |= LVIF_TEXT;
        } else if (text->IsChosenCallback() && !storeCallbacks) {
            notStored |= LVIF_TEXT;
        } else {
            text->Set(record->pszText);
        }
        textChanged = true;
    }
    if (record->mask & LVIF_IMAGE) {
        if (item.image == I_IMAGECALLBACK && !storeCallbacks)
            notStored |= LVIF_IMAGE;
        else
            item.image = record->iImage;
        changed = true;
    }
    if (record->mask & LVIF_STATE) {
        const UINT mask = record->stateMask;
        if (mask & LVIS_SELECTED) {
            const bool now = (record->state & LVIS_SELECTED) ? AddSelected(index) : RemoveSelected(index);
            changed = changed || now;
        }
        if (mask & LVIS_FOCUSED) {
            if (record->state & LVIS_FOCUSED) {
                changed = changed || focus_ != index;
                focus_ = index;
            } else if (focus_ == index) {
                focus_ = -1;
                changed = true;
            }
        }
        if (mask & LVIS_DROPHILITED) {
            if (record->state & LVIS_DROPHILITED) {
                dropChanged = dropHighlight_ != index;
                dropHighlight_ = index;
            } else if (dropHighlight_ == index) {
                dropHighlight_ = -1;
                dropChanged = true;
            }
            changed = changed || dropChanged;
        }
        const UINT kept = mask & ~StateKeptByList;
        const UINT state = (item.state & ~kept) | (record->state & kept);
        changed = changed || state != item.state;
        item.state = state;
    }
    if (record->mask & LVIF_PARAM) item.data = record->lParam;
    if (notStored) {
        LV_ITEM parts = *record;
        parts.mask = notStored;
        NotifySetDispInfo(parts);
    }
    if (textChanged) item.measureNeeded = true;
    if ((record->mask & (LVIF_TEXT | LVIF_STATE)) && redraw && (changed || textChanged) && index != editItem_)
        InvalidateItem(index, TRUE, FALSE, FALSE, dropChanged);
    return TRUE;
}

BOOL TkListBaseC::SetItem(std::int32_t item, std::int32_t subItem, UINT mask, const char* text,
                          std::int32_t image, UINT state, UINT stateMask, LPARAM data) {
    LV_ITEM record;
    record.mask = mask;
    record.iItem = item;
    record.iSubItem = subItem;
    record.pszText = const_cast<char*>(text);
    record.iImage = image;
    record.state = state;
    record.stateMask = stateMask;
    record.lParam = data;
    return SetItem(&record, TRUE);
}

BOOL TkListBaseC::GetItem(LV_ITEM* record, BOOL copyText, BOOL notify) {
    if (!record || !IsItem(record->iItem)) return FALSE;
    const std::int32_t index = record->iItem;
    TkListItem& item = *items_[std::size_t(index)];
    TkListText* text = AddressedText(item, record->iSubItem);
    if (!text) return FALSE;
    UINT callbacks = 0;
    if (record->mask & LVIF_TEXT) {
        if (text->IsCallback()) {
            callbacks |= LVIF_TEXT;
            if (!notify) record->pszText = const_cast<char*>(LPSTR_TEXTCALLBACK);
        } else if (copyText) {
            CopyTerminated(record->pszText, record->cchTextMax, text->Get());
        } else {
            record->pszText = const_cast<char*>(text->Get());
        }
    }
    if (record->mask & LVIF_IMAGE) {
        record->iImage = item.image;
        if (item.image == I_IMAGECALLBACK) callbacks |= LVIF_IMAGE;
    }
    if (record->mask & LVIF_STATE) {
        if (callbackMask_) {
            callbacks |= LVIF_STATE;
        } else {
            const UINT mask = record->stateMask;
            UINT state = item.state & mask;
            if ((mask & LVIS_SELECTED) && FindSelected(index).second) state |= LVIS_SELECTED;
            if ((mask & LVIS_FOCUSED) && focus_ == index) state |= LVIS_FOCUSED;
            if ((mask & LVIS_DROPHILITED) && dropHighlight_ == index) state |= LVIS_DROPHILITED;
            record->state = state;
        }
    }
    if ((record->mask & LVIF_PARAM) || callbacks) record->lParam = GetRecordData(&item);
    if (notify && callbacks) {
        record->mask = callbacks;
        NotifyGetDispInfo(record);
    }
    return TRUE;
}

BOOL TkListBaseC::SetItemExtraState(const LV_ITEM& item, const TkListExtraState& extra) {
    if (!IsItem(item.iItem)) return FALSE;
    TkListItem& record = *items_[std::size_t(item.iItem)];
    if (!(extra.mask & TkListExtraStateValid)) return TRUE;
    const DWORD state = (record.extraState & ~extra.stateMask) | (extra.state & extra.stateMask);
    if (state != record.extraState) {
        record.extraState = state;
        InvalidateItem(item.iItem, HasListExStyle(LVXS_FULLROWSELECT), FALSE, FALSE, FALSE);
    }
    record.measureNeeded = true;
    InvalidateItem(item.iItem, FALSE, FALSE, FALSE, FALSE);
    return TRUE;
}

BOOL TkListBaseC::GetItemExtraState(const LV_ITEM& item, TkListExtraState* extra, BOOL notify) {
    if (!extra || !IsItem(item.iItem)) return FALSE;
    if (extraCallbackMask_) {
        if (notify) {
            extra->mask = 1;
            NotifyGetExtraState(extra);
        }
    } else if (extra->mask & TkListExtraStateValid) {
        extra->state = items_[std::size_t(item.iItem)]->extraState & extra->stateMask;
    }
    return TRUE;
}

BOOL TkListBaseC::SetItemText(std::int32_t item, std::int32_t subItem, const char* text) {
    return SetItem(item, subItem, LVIF_TEXT, text, 0, 0, 0, 0);
}

std::int32_t TkListBaseC::GetItemText(std::int32_t item, std::int32_t subItem, char* buffer,
                                      std::int32_t size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    LV_ITEM record;
    record.mask = LVIF_TEXT;
    record.iItem = item;
    record.iSubItem = subItem;
    record.pszText = buffer;
    record.cchTextMax = size;
    if (!GetItem(&record, TRUE, TRUE)) return 0;
    // The owner may have answered with a text of its own instead of filling the buffer.
    if (record.pszText != buffer) {
        if (record.pszText == LPSTR_TEXTCALLBACK) return 0;
        return CopyTerminated(buffer, size, record.pszText);
    }
    buffer[size - 1] = '\0';
    return std::int32_t(std::strlen(buffer));
}

std::string TkListBaseC::GetItemText(std::int32_t item, std::int32_t subItem) {
    const std::int32_t length = GetItemText(item, subItem, textBuffer_.data(), TextBufferSize);
    return std::string(textBuffer_.data(), std::size_t(length));
}

BOOL TkListBaseC::SetItemState(std::int32_t item, UINT state, UINT mask) {
    return SetItem(item, 0, LVIF_STATE, nullptr, 0, state, mask, 0);
}

UINT TkListBaseC::GetItemState(std::int32_t item, UINT mask) {
    LV_ITEM record;
    record.mask = LVIF_STATE;
    record.iItem = item;
    record.stateMask = mask;
    return GetItem(&record, FALSE, TRUE) ? record.state & mask : 0;
}

BOOL TkListBaseC::SetItemData(std::int32_t item, LPARAM data) {
    return SetItem(item, 0, LVIF_PARAM, nullptr, 0, 0, 0, data);
}

LPARAM TkListBaseC::GetItemData(std::int32_t item) const {
    return IsItem(item) ? GetRecordData(items_[std::size_t(item)].get()) : 0;
}

BOOL TkListBaseC::IsCallbackItem(std::int32_t item) const {
    if (callbackMask_) return TRUE;
    if (!IsItem(item)) return FALSE;
    const TkListItem& record = *items_[std::size_t(item)];
    if (record.text.IsCallback() || record.image == I_IMAGECALLBACK) return TRUE;
    return std::any_of(record.subItems.begin(), record.subItems.end(),
                       [](const auto& subItem) { return subItem->text.IsCallback(); });
}

// ---- insertion and deletion

BOOL TkListBaseC::AddSubItems(TkListItem* record, std::int32_t count) {
    if (!record) return FALSE;
    for (std::int32_t k = 0; k < count; ++k)
        record->subItems.push_back(std::make_unique<TkListSubItem>());
    return TRUE;
}

void TkListBaseC::RemoveSubItems(TkListItem* record) {
    if (record) record->subItems.clear();
}

void TkListBaseC::PrepareItemRecord(TkListItem* record) {
    AddSubItems(record, subItemCount_);
}

std::unique_ptr<TkListItem> TkListBaseC::NewItemRecord() {
    auto record = std::make_unique<TkListItem>();
    PrepareItemRecord(record.get());
    return record;
}

// Indexes past the end append and negative ones prepend: the array never has holes.
std::int32_t TkListBaseC::InsertItemRecord(std::int32_t index, std::unique_ptr<TkListItem> record) {
    index = std::clamp(index, 0, GetItemCount());
    items_.insert(items_.begin() + index, std::move(record));
    // Everything that names an item by index keeps naming the same item.
    for (std::int32_t* follower : {&focus_, &dropHighlight_, &anchor_, &editItem_, &editCandidate_})
        if (*follower >= index) ++*follower;
    for (auto& selected : selection_)
        if (selected >= index) ++selected;
    if (focus_ < 0) SelectFocusItem(0, TRUE);
    TkListItem& added = *items_[std::size_t(index)];
    const std::int32_t wanted = GetColumnCount() - 1;
    if (std::int32_t(added.subItems.size()) < wanted) AddSubItems(&added, wanted);
    return index;
}

std::int32_t TkListBaseC::InsertItemRecords(std::int32_t index, std::vector<std::unique_ptr<TkListItem>> records) {
    index = std::clamp(index, 0, GetItemCount());
    const auto count = std::int32_t(records.size());
    if (!count) return index;
    items_.insert(items_.begin() + index, std::make_move_iterator(records.begin()),
                  std::make_move_iterator(records.end()));
    for (std::int32_t* follower : {&focus_, &dropHighlight_, &anchor_, &editItem_, &editCandidate_})
        if (*follower >= index) *follower += count;
    for (auto& selected : selection_)
        if (selected >= index) selected += count;
    if (focus_ < 0) SelectFocusItem(0, TRUE);
    const std::int32_t wanted = GetColumnCount() - 1;
    for (std::int32_t k = index; k < index + count; ++k) {
        TkListItem& added = *items_[std::size_t(k)];
        if (std::int32_t(added.subItems.size()) < wanted) AddSubItems(&added, wanted);
    }
    return index;
}

std::int32_t TkListBaseC::InsertPrepared(std::int32_t index, LV_ITEM* record) {
    index = InsertItemRecord(index, NewItemRecord());
    record->iItem = index;
    SetItem(record, autoUpdate_);
    if (autoUpdate_) UpdateLayout();
    return index;
}

std::int32_t TkListBaseC::InsertItem(LV_ITEM* record) {
    if (!record) return -1;
    return InsertPrepared(record->iItem, record);
}

std::int32_t TkListBaseC::InsertItem(UINT mask, std::int32_t item, const char* text, UINT state,
                                     UINT stateMask, std::int32_t image, LPARAM data) {
    LV_ITEM record;
    record.mask = mask;
    record.iItem = item;
    record.pszText = const_cast<char*>(text);
    record.state = state;
    record.stateMask = stateMask;
    record.iImage = image;
    record.lParam = data;
    return InsertItem(&record);
}

std::int32_t TkListBaseC::InsertItem(std::int32_t item, const char* text, std::int32_t image) {
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, item, text, 0, 0, image, 0);
}

std::int32_t TkListBaseC::InsertItem(std::int32_t item, const char* text) {
    return InsertItem(LVIF_TEXT, item, text, 0, 0, 0, 0);
}

std::int32_t TkListBaseC::InsertItemAfter(const TkListItem* anchor, LV_ITEM* record) {
    if (!record) return -1;
    if (!anchor)
        record->iItem = 0;
    else
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == anchor) record->iItem = std::int32_t(i) + 1;
    return InsertItem(record);
}

std::int32_t TkListBaseC::InsertItemBefore(const TkListItem* anchor, LV_ITEM* record) {
    if (!record) return -1;
    if (!anchor)
        record->iItem = 0;
    else
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == anchor) record->iItem = std::int32_t(i);
    return InsertItem(record);
}

BOOL TkListBaseC::DeleteItem(const TkListItem* record) {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == record) return DeleteItems(std::int32_t(i), 1);
    return FALSE;
}

// An index inside the deleted range moves to the item before it, one after the range down by the
// count; `first` itself stays unless it is now past the end.
static std::int32_t FollowDeletion(std::int32_t index, std::int32_t first, std::int32_t count,
                                   std::int32_t total) {
    if (index < first) return index;
    if (index >= first + count) return index - count;
    if (index > first) return first - 1;
    return index >= total ? first - 1 : index;
}

BOOL TkListBaseC::DeleteItems(std::int32_t first, std::int32_t count) {
    if (!IsItem(first)) return FALSE;
    count = std::min(count, GetItemCount() - first);
    if (count <= 0) return FALSE;
    InvalidateItem(std::max(first - 1, 0), TRUE, TRUE, TRUE, FALSE);
    NotifyDeleteItem(first);
    // The owner's handler may have changed the list; only what is still there goes.
    if (!IsItem(first)) return FALSE;
    count = std::min(count, GetItemCount() - first);
    if (editItem_ >= first && editItem_ < first + count) DropLabelEdit();
    if (editCandidate_ >= first && editCandidate_ < first + count) editCandidate_ = -1;
    if (editItem_ >= first + count) editItem_ -= count;
    if (editCandidate_ >= first + count) editCandidate_ -= count;
    items_.erase(items_.begin() + first, items_.begin() + first + count);
    const std::int32_t total = GetItemCount();
    topIndex_ = std::min(topIndex_, total);
    focus_ = FollowDeletion(focus_, first, count, total);
    dropHighlight_ = FollowDeletion(dropHighlight_, first, count, total);
    anchor_ = FollowDeletion(anchor_, first, count, total);
    std::vector<std::int32_t> kept;
    for (std::int32_t selected : selection_) {
        if (selected < first)
            kept.push_back(selected);
        else if (selected >= first + count)
            kept.push_back(selected - count);
    }
    selection_ = std::move(kept);
    if (selection_.empty()) SelectFocusItem(focus_, TRUE);
    UpdateLayout();
    return TRUE;
}

BOOL TkListBaseC::DeleteAllItems() {
    CancelLabelEditTimer();
    DropLabelEdit();
    editCandidate_ = -1;
    items_.clear();
    selection_.clear();
    topIndex_ = 0;
    focus_ = -1;
    dropHighlight_ = -1;
    anchor_ = -1;
    UpdateLayout();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

std::int32_t TkListBaseC::GetNextItem(std::int32_t start, UINT flags) {
    const UINT states = flags & 0xF;
    const UINT direction = flags & ~0xFu;
    bool backwards;
    if (direction == LVNI_ABOVE || direction == LVNI_TOLEFT)
        backwards = true;
    else if (direction == 0 || direction == LVNI_BELOW || direction == LVNI_TORIGHT)
        backwards = false;
    else
        return -1;
    const std::int32_t count = GetItemCount();
    if (!states) {
        if (backwards) return start > 0 ? start - 1 : -1;
        return start < count - 1 ? start + 1 : -1;
    }
    if (backwards) {
        for (std::int32_t i = std::min(start, count) - 1; i >= 0; --i)
            if (GetItemState(i, states)) return i;
    } else {
        for (std::int32_t i = std::max(start + 1, 0); i < count; ++i)
            if (GetItemState(i, states)) return i;
    }
    return -1;
}

// ---- selection and focus

std::pair<std::size_t, bool> TkListBaseC::FindSelected(std::int32_t item) const {
    const auto at = std::lower_bound(selection_.begin(), selection_.end(), item);
    return {std::size_t(at - selection_.begin()), at != selection_.end() && *at == item};
}

bool TkListBaseC::AddSelected(std::int32_t item) {
    const auto [at, present] = FindSelected(item);
    if (present) return false;
    selection_.insert(selection_.begin() + std::ptrdiff_t(at), item);
    return true;
}

bool TkListBaseC::RemoveSelected(std::int32_t item) {
    const auto [at, present] = FindSelected(item);
    if (!present) return false;
    selection_.erase(selection_.begin() + std::ptrdiff_t(at));
    return true;
}

BOOL TkListBaseC::IsItemSelected(std::int32_t item) const {
    return item >= 0 && FindSelected(item).second;
}

BOOL TkListBaseC::SelectFocusItem(std::int32_t item, BOOL select) {
    if (HasListStyle(LVS_SINGLESEL)) DeselectAllExcept(item);
    if (focus_ >= 0 && focus_ != item) SetItemState(focus_, 0, LVIS_FOCUSED);
    BOOL result = TRUE;
    if (item >= 0)
        result =
            SetItemState(item, LVIS_FOCUSED | (select ? LVIS_SELECTED : 0), LVIS_FOCUSED | LVIS_SELECTED);
    anchor_ = focus_;
    return result;
}

BOOL TkListBaseC::SetFocusItem(std::int32_t item) {
    if (focus_ >= 0 && focus_ != item) SetItemState(focus_, 0, LVIS_FOCUSED);
    BOOL result = TRUE;
    if (item >= 0) result = SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
    anchor_ = focus_;
    return result;
}

BOOL TkListBaseC::SelectItem(std::int32_t item, BOOL select) {
    if (HasListStyle(LVS_SINGLESEL)) DeselectAllExcept(item);
    return SetItemState(item, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void TkListBaseC::DeselectAllExcept(std::int32_t item) {
    for (std::size_t k = selection_.size(); k-- > 0;) {
        if (k >= selection_.size()) continue;
        const std::int32_t selected = selection_[k];
        if (selected != item) SetItemState(selected, 0, LVIS_SELECTED);
    }
}

void TkListBaseC::SelectRange(std::int32_t first, std::int32_t last, BOOL select) {
    for (std::int32_t i = std::min(first, last); i <= std::max(first, last); ++i)
        SelectItem(i, select);
}

void TkListBaseC::SetDropHighlight(std::int32_t item) {
    if (item == dropHighlight_) return;
    if (dropHighlight_ >= 0) SetItemState(dropHighlight_, 0, LVIS_DROPHILITED);
    if (item != -1) SetItemState(item, LVIS_DROPHILITED, LVIS_DROPHILITED);
}

void TkListBaseC::SetMultiSelect(BOOL on) {
    if (on) {
        ModifyListStyle(LVS_SINGLESEL, 0, FALSE);
        return;
    }
    if (GetSelectedCount() > 1) DeselectAllExcept(-1);
    ModifyListStyle(0, LVS_SINGLESEL, FALSE);
}

// ---- image lists

CImageList* TkListBaseC::GetImageList(std::int32_t type) const {
    return type >= 0 && type < 4 ? imageLists_[std::size_t(type)] : nullptr;
}

CImageList* TkListBaseC::SetImageList(CImageList* list, std::int32_t type) {
    if (type < 0 || type >= 4) return nullptr;
    const std::size_t at = std::size_t(type);
    CImageList* previous = ownedImageLists_[at] ? nullptr : imageLists_[at];
    if (HasListStyle(LVS_SHAREIMAGELISTS) || !list) {
        ownedImageLists_[at].reset();
        imageLists_[at] = list;
    } else {
        ownedImageLists_[at] = CopyImageList(list);
        imageLists_[at] = ownedImageLists_[at].get();
    }
    return previous;
}

std::unique_ptr<CImageList> TkListBaseC::CopyImageList(const CImageList* list) {
    auto copy = std::make_unique<CImageList>();
    if (!list || !copy->Attach(ImageList_Duplicate(list->GetSafeHandle()))) return nullptr;
    return copy;
}

// ---- styles

void TkListBaseC::GetListStyles(DWORD* style, DWORD* exStyle) const {
    if (style) *style = style_;
    if (exStyle) *exStyle = exStyle_;
}

void TkListBaseC::SetListStyle(DWORD style, BOOL redraw) {
    const DWORD old = style_;
    style_ = style;
    EndLabelEdit(TRUE);
    CancelLabelEditTimer();
    tip_->Hide();
    if ((old ^ style) & LVS_NOLABELWRAP) {
        for (auto& item : items_) {
            item->rowHeight = -1;
            item->measureNeeded = true;
        }
    }
    if (redraw) {
        RemeasureAll();
        if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

void TkListBaseC::SetListExStyle(DWORD exStyle, BOOL redraw) {
    EndLabelEdit(TRUE);
    tip_->Hide();
    if ((exStyle & LVXS_FITLABELCOLUMN) && !(exStyle_ & LVXS_FITLABELCOLUMN)) FitLabelColumn();
    exStyle_ = exStyle;
    if (redraw) {
        RemeasureAll();
        if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

void TkListBaseC::ModifyListStyle(DWORD remove, DWORD add, BOOL redraw) {
    SetListStyle((style_ & ~remove) | add, redraw);
}

void TkListBaseC::ModifyListExStyle(DWORD remove, DWORD add, BOOL redraw) {
    SetListExStyle((exStyle_ & ~remove) | add, redraw);
}

void TkListBaseC::ModifyListStyles(DWORD remove, DWORD add, DWORD exRemove, DWORD exAdd, BOOL redraw) {
    ModifyListStyle(remove, add, FALSE);
    ModifyListExStyle(exRemove, exAdd, redraw);
}

void TkListBaseC::SetListStyles(DWORD style, DWORD exStyle, BOOL redraw) {
    SetListStyle(style, FALSE);
    SetListExStyle(exStyle, redraw);
}

void TkListBaseC::SetWrapLabels(BOOL wrap) {
    ModifyListStyle(wrap ? LVS_NOLABELWRAP : 0, wrap ? 0 : LVS_NOLABELWRAP, TRUE);
}

void TkListBaseC::SetLabelTips(BOOL on) {
    ModifyListExStyle(on ? 0 : LVXS_LABELTIPS, on ? LVXS_LABELTIPS : 0, FALSE);
}

// ---- notifications and the client interface

CWnd* TkListBaseC::GetNotifyTarget() const {
    return notifyWnd_ ? notifyWnd_ : GetParent();
}

LRESULT TkListBaseC::SendNotify(NMHDR* header) {
    header->hwndFrom = m_hWnd;
    header->idFrom = m_hWnd ? GetDlgCtrlID() : 0;
    CWnd* target = GetNotifyTarget();
    if (!target || !target->m_hWnd) return 0;
    return target->SendMessage(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

LRESULT TkListBaseC::NotifyParent(UINT code) {
    NMHDR header;
    header.code = code;
    lastNotifyResult_ = SendNotify(&header);
    return lastNotifyResult_;
}

void TkListBaseC::NotifyDeleteItem(std::int32_t item) {
    NM_LISTVIEW record;
    record.hdr.code = LVN_DELETEITEM;
    record.iItem = item;
    SendNotify(&record.hdr);
}

void TkListBaseC::NotifyInsertItem(std::int32_t item) {
    NM_LISTVIEW record;
    record.hdr.code = LVN_INSERTITEM;
    record.iItem = item;
    SendNotify(&record.hdr);
}

void TkListBaseC::NotifyGetDispInfo(LV_ITEM* record) {
    LV_DISPINFO info;
    info.hdr.code = LVN_GETDISPINFO;
    info.item = *record;
    SendNotify(&info.hdr);
    *record = info.item;
}

void TkListBaseC::ClientToScreenRect(RECT* rect) const {
    if (!rect || !m_hWnd) return;
    POINT topLeft{rect->left, rect->top}, bottomRight{rect->right, rect->bottom};
    ClientToScreen(m_hWnd, &topLeft);
    ClientToScreen(m_hWnd, &bottomRight);
    *rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

HWND TkListBaseC::CaptureMouse(BOOL capture) {
    return capture ? SetCapture(m_hWnd) : 0;
}

} // namespace vq
