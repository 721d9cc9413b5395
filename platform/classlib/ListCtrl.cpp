#include "platform/classlib/ListCtrl.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CListCtrl, CWnd)

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create(WC_LISTVIEW, "", style, rect, parent, id);
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) const {
    LV_COLUMN values;
    values.mask = LVCF_TEXT | LVCF_FMT | (width >= 0 ? LVCF_WIDTH : 0);
    values.pszText = const_cast<char*>(heading);
    values.fmt = format;
    values.cx = width;
    return InsertColumn(column, &values);
}

int CListCtrl::InsertItem(int index, const char* text) const {
    return InsertItem(LVIF_TEXT, index, text, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int index, const char* text, int image) const {
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, index, text, 0, 0, image, 0);
}

int CListCtrl::InsertItem(UINT mask, int index, const char* text, UINT state, UINT stateMask, int image,
                          LPARAM data) const {
    LV_ITEM item;
    item.mask = mask;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.state = state;
    item.stateMask = stateMask;
    item.iImage = image;
    item.lParam = data;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int index, int subItem, const char* text) const {
    LV_ITEM item;
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    return BOOL(SendMessage(LVM_SETITEMTEXT, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(&item)));
}

std::string CListCtrl::GetItemText(int index, int subItem) const {
    // Texts of any length: the buffer grows until the text fits with room to spare.
    std::string text(256, '\0');
    for (;;) {
        LV_ITEM item;
        item.iSubItem = subItem;
        item.pszText = text.data();
        item.cchTextMax = int(text.size());
        const auto length = std::size_t(
            SendMessage(LVM_GETITEMTEXT, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

BOOL CListCtrl::SetItemData(int index, LPARAM data) const {
    LV_ITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = data;
    return SetItem(&item);
}

LPARAM CListCtrl::GetItemData(int index) const {
    LV_ITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? item.lParam : 0;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) const {
    LV_ITEM item;
    item.state = state;
    item.stateMask = mask;
    return BOOL(SendMessage(LVM_SETITEMSTATE, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::HitTest(POINT point, UINT* flags) const {
    LV_HITTESTINFO info;
    info.pt = point;
    const int item = HitTest(&info);
    if (flags) *flags = info.flags;
    return item;
}

BOOL CListCtrl::GetItemRect(int index, RECT* rect, int part) const {
    if (!rect) return FALSE;
    rect->left = part;
    return BOOL(SendMessage(LVM_GETITEMRECT, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(rect)));
}

BOOL CListCtrl::EnsureVisible(int index, BOOL partialOk) const {
    return BOOL(SendMessage(LVM_ENSUREVISIBLE, WPARAM(std::intptr_t(index)), LPARAM(partialOk)));
}

} // namespace vq
