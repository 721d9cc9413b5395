#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/ListViewTypes.h"

#include <string>

namespace vq {

// A list view window object: columns, items with their texts, images, data and states, and the
// searches, hit tests and sorting of the control.
class CListCtrl : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CListCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Columns. -1 for the width: the control's standard width.
    int InsertColumn(int column, const LV_COLUMN* values) const {
        return int(
            SendMessage(LVM_INSERTCOLUMN, WPARAM(std::intptr_t(column)), reinterpret_cast<LPARAM>(values)));
    }
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1) const;
    BOOL DeleteColumn(int column) const {
        return BOOL(SendMessage(LVM_DELETECOLUMN, WPARAM(std::intptr_t(column))));
    }
    BOOL GetColumn(int column, LV_COLUMN* values) const {
        return BOOL(
            SendMessage(LVM_GETCOLUMN, WPARAM(std::intptr_t(column)), reinterpret_cast<LPARAM>(values)));
    }
    BOOL SetColumn(int column, const LV_COLUMN* values) const {
        return BOOL(
            SendMessage(LVM_SETCOLUMN, WPARAM(std::intptr_t(column)), reinterpret_cast<LPARAM>(values)));
    }
    int GetColumnWidth(int column) const {
        return int(SendMessage(LVM_GETCOLUMNWIDTH, WPARAM(std::intptr_t(column))));
    }
    BOOL SetColumnWidth(int column, int width) const {
        return BOOL(SendMessage(LVM_SETCOLUMNWIDTH, WPARAM(std::intptr_t(column)), MAKELPARAM(width, 0)));
    }

    // Items. Each insertion answers the index the item went in at, -1 when it could not.
    int InsertItem(const LV_ITEM* item) const {
        return int(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(item)));
    }
    int InsertItem(int index, const char* text) const;
    int InsertItem(int index, const char* text, int image) const;
    int InsertItem(UINT mask, int index, const char* text, UINT state, UINT stateMask, int image,
                   LPARAM data) const;
    BOOL DeleteItem(int index) const {
        return BOOL(SendMessage(LVM_DELETEITEM, WPARAM(std::intptr_t(index))));
    }
    BOOL DeleteAllItems() const { return BOOL(SendMessage(LVM_DELETEALLITEMS)); }
    int GetItemCount() const { return int(SendMessage(LVM_GETITEMCOUNT)); }
    BOOL GetItem(LV_ITEM* item) const {
        return BOOL(SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(const LV_ITEM* item) const {
        return BOOL(SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItemText(int index, int subItem, const char* text) const;
    // Empty for an item or sub-item that does not exist.
    std::string GetItemText(int index, int subItem) const;
    BOOL SetItemData(int index, LPARAM data) const;
    LPARAM GetItemData(int index) const;
    BOOL SetItemState(int index, UINT state, UINT mask) const;
    UINT GetItemState(int index, UINT mask) const {
        return UINT(SendMessage(LVM_GETITEMSTATE, WPARAM(std::intptr_t(index)), LPARAM(mask)));
    }
    int GetNextItem(int index, UINT flags) const {
        return int(SendMessage(LVM_GETNEXTITEM, WPARAM(std::intptr_t(index)), LPARAM(flags)));
    }
    UINT GetSelectedCount() const { return UINT(SendMessage(LVM_GETSELECTEDCOUNT)); }
    int FindItem(const LV_FINDINFO* find, int start = -1) const {
        return int(SendMessage(LVM_FINDITEM, WPARAM(std::intptr_t(start)), reinterpret_cast<LPARAM>(find)));
    }
    int HitTest(LV_HITTESTINFO* info) const {
        return int(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    int HitTest(POINT point, UINT* flags = nullptr) const;
    int SubItemHitTest(LV_HITTESTINFO* info) const {
        return int(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    // Orders the items by their data; each keeps its texts.
    BOOL SortItems(PFNLVCOMPARE compare, LPARAM sortData) const {
        return BOOL(SendMessage(LVM_SORTITEMS, WPARAM(sortData), reinterpret_cast<LPARAM>(compare)));
    }
    BOOL GetItemRect(int index, RECT* rect, int part) const;
    BOOL EnsureVisible(int index, BOOL partialOk) const;
    int GetTopIndex() const { return int(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return int(SendMessage(LVM_GETCOUNTPERPAGE)); }
    // The old list. The control never destroys its image lists.
    HIMAGELIST SetImageList(HIMAGELIST list, int which) const {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, WPARAM(which), reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST GetImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, WPARAM(which)));
    }
};

} // namespace vq
