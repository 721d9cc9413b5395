#pragma once

#include "platform/gui/ControlTypes.h"

#include <cstdint>

namespace vq {

// The records, styles, messages and notification codes of list views: the window system's
// "SysListView32" and the toolkit's own owner-drawn list, which offers the same interface.

inline constexpr const char* WC_LISTVIEW = "SysListView32";

// Styles. Only the report view is built; the other view types show as a report.
inline constexpr DWORD LVS_ICON = 0x0000;
inline constexpr DWORD LVS_REPORT = 0x0001;
inline constexpr DWORD LVS_SMALLICON = 0x0002;
inline constexpr DWORD LVS_LIST = 0x0003;
inline constexpr DWORD LVS_TYPEMASK = 0x0003;
inline constexpr DWORD LVS_SINGLESEL = 0x0004;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
inline constexpr DWORD LVS_SHAREIMAGELISTS = 0x0040;
inline constexpr DWORD LVS_NOLABELWRAP = 0x0080;
inline constexpr DWORD LVS_EDITLABELS = 0x0200;
inline constexpr DWORD LVS_NOSCROLL = 0x2000;
inline constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
inline constexpr DWORD LVS_NOSORTHEADER = 0x8000;

// The toolkit list's extended styles. Bits 20-28 may come in with a window's extended style.
inline constexpr DWORD LVXS_HEADERDRAG = 0x00000010;
inline constexpr DWORD LVXS_LABELTIPS = 0x00100000;
inline constexpr DWORD LVXS_HGRIDLINES = 0x00400000;
inline constexpr DWORD LVXS_VGRIDLINES = 0x00800000;
inline constexpr DWORD LVXS_FULLROWSELECT = 0x02000000;
inline constexpr DWORD LVXS_FITLABELCOLUMN = 0x04000000;
inline constexpr DWORD LVXS_KEEPWIDTHS = 0x08000000;

// A text (LPSTR_TEXTCALLBACK, shared with tool tips) or image the owner supplies on demand.
inline const char* const LPSTR_TEXTCALLBACKA = LPSTR_TEXTCALLBACK;
inline constexpr int I_IMAGECALLBACK = -1;
inline constexpr int I_CHILDRENCALLBACK = -1;

// The parts of an LV_ITEM that count.
inline constexpr UINT LVIF_TEXT = 0x0001;
inline constexpr UINT LVIF_IMAGE = 0x0002;
inline constexpr UINT LVIF_PARAM = 0x0004;
inline constexpr UINT LVIF_STATE = 0x0008;
inline constexpr UINT LVIF_DI_SETITEM = 0x1000;

// Item states.
inline constexpr UINT LVIS_FOCUSED = 0x0001;
inline constexpr UINT LVIS_SELECTED = 0x0002;
inline constexpr UINT LVIS_CUT = 0x0004;
inline constexpr UINT LVIS_DROPHILITED = 0x0008;
inline constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
inline constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;

// One item or sub-item. Texts are copied in; reading copies into pszText, at most cchTextMax bytes
// with the terminator. The data is a full LPARAM: pointers fit.
struct LV_ITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};
using LVITEM = LV_ITEM;

// Columns. Column k shows sub-item k.
inline constexpr UINT LVCF_FMT = 0x0001;
inline constexpr UINT LVCF_WIDTH = 0x0002;
inline constexpr UINT LVCF_TEXT = 0x0004;
inline constexpr UINT LVCF_SUBITEM = 0x0008;
inline constexpr UINT LVCF_IMAGE = 0x0010;
inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;
inline constexpr int LVCFMT_JUSTIFYMASK = 0x0003;
inline constexpr int LVCFMT_BITMAP_ON_RIGHT = 0x1000;

struct LV_COLUMN {
    UINT mask = 0;
    int fmt = LVCFMT_LEFT;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = -1;
};
using LVCOLUMN = LV_COLUMN;

// LVM_SETCOLUMNWIDTH: as wide as the widest text of the column, or of the column and its heading.
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// Image lists of a list.
inline constexpr int LVSIL_NORMAL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr int LVSIL_STATE = 2;
// The toolkit list's fourth list: icons in its header buttons.
inline constexpr int LVSIL_HEADER = 3;

// LVM_GETNEXTITEM: the states looked for (any of them) and the direction; none of the states
// means the neighbour.
inline constexpr UINT LVNI_ALL = 0x0000;
inline constexpr UINT LVNI_FOCUSED = 0x0001;
inline constexpr UINT LVNI_SELECTED = 0x0002;
inline constexpr UINT LVNI_CUT = 0x0004;
inline constexpr UINT LVNI_DROPHILITED = 0x0008;
inline constexpr UINT LVNI_ABOVE = 0x0100;
inline constexpr UINT LVNI_BELOW = 0x0200;
inline constexpr UINT LVNI_TOLEFT = 0x0400;
inline constexpr UINT LVNI_TORIGHT = 0x0800;

// LVM_FINDITEM: by data, or by text: the whole text with its case, or (LVFI_PARTIAL) a prefix.
// The search starts after the item given (-1: at the first) and with LVFI_WRAP goes round.
inline constexpr UINT LVFI_PARAM = 0x0001;
inline constexpr UINT LVFI_STRING = 0x0002;
inline constexpr UINT LVFI_PARTIAL = 0x0008;
inline constexpr UINT LVFI_WRAP = 0x0020;

struct LV_FINDINFO {
    UINT flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
    POINT pt;
    UINT vkDirection = 0;
};
using LVFINDINFO = LV_FINDINFO;

// Where a point lies (LVM_HITTEST, LVM_SUBITEMHITTEST), in the list's client coordinates.
inline constexpr UINT LVHT_NOWHERE = 0x0001;
inline constexpr UINT LVHT_ONITEMICON = 0x0002;
inline constexpr UINT LVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
inline constexpr UINT LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;
inline constexpr UINT LVHT_ABOVE = 0x0008;
inline constexpr UINT LVHT_BELOW = 0x0010;
inline constexpr UINT LVHT_TORIGHT = 0x0020;
inline constexpr UINT LVHT_TOLEFT = 0x0040;
// The toolkit list's own answers.
inline constexpr UINT LVHTX_ONDIVIDER = 0x0800;
inline constexpr UINT LVHTX_ONHEADER = 0x1000;
inline constexpr UINT LVHTX_ONROW = 0x2000;
inline constexpr UINT LVHTX_LEFTOFLABEL = 0x4000;
inline constexpr UINT LVHTX_RIGHTOFLABEL = 0x8000;

struct LV_HITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};
using LVHITTESTINFO = LV_HITTESTINFO;

// LVM_GETITEMRECT: which part; the rectangle's left field carries it in.
inline constexpr int LVIR_BOUNDS = 0;
inline constexpr int LVIR_ICON = 1;
inline constexpr int LVIR_LABEL = 2;
inline constexpr int LVIR_SELECTBOUNDS = 3;

// LVM_SORTITEMS: negative, zero or positive as the first item's data goes before, with or after
// the second's.
using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sortData);

inline constexpr UINT LVM_FIRST = 0x1000;
inline constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
inline constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
inline constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
inline constexpr UINT LVM_GETITEM = LVM_FIRST + 5;
inline constexpr UINT LVM_SETITEM = LVM_FIRST + 6;
inline constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;
inline constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
inline constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
inline constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
inline constexpr UINT LVM_FINDITEM = LVM_FIRST + 13;
inline constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
inline constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
inline constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
inline constexpr UINT LVM_GETCOLUMN = LVM_FIRST + 25;
inline constexpr UINT LVM_SETCOLUMN = LVM_FIRST + 26;
inline constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;
inline constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
inline constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
inline constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
inline constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
inline constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
inline constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
inline constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
inline constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;
inline constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;
inline constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
inline constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
inline constexpr UINT LVM_SUBITEMHITTEST = LVM_FIRST + 57;

// Notifications, as WM_NOTIFY. The common ones first.
inline constexpr UINT NM_FIRST = 0;
inline constexpr UINT NM_CLICK = NM_FIRST - 2;
inline constexpr UINT NM_DBLCLK = NM_FIRST - 3;
inline constexpr UINT NM_RETURN = NM_FIRST - 4;
inline constexpr UINT NM_RCLICK = NM_FIRST - 5;
inline constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
inline constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
inline constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;

inline constexpr UINT LVN_FIRST = UINT(-100);
inline constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
inline constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
inline constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
inline constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
inline constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;
inline constexpr UINT LVN_BEGINLABELEDIT = LVN_FIRST - 5;
inline constexpr UINT LVN_ENDLABELEDIT = LVN_FIRST - 6;
inline constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
inline constexpr UINT LVN_BEGINDRAG = LVN_FIRST - 9;
inline constexpr UINT LVN_BEGINRDRAG = LVN_FIRST - 11;
inline constexpr UINT LVN_GETDISPINFO = LVN_FIRST - 50;
inline constexpr UINT LVN_SETDISPINFO = LVN_FIRST - 51;
inline constexpr UINT LVN_KEYDOWN = LVN_FIRST - 55;

// LVN_ITEMCHANGED (uChanged LVIF_STATE with the old and new states) and LVN_COLUMNCLICK (iItem
// -1, iSubItem the column) and most others.
struct NM_LISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
};
using NMLISTVIEW = NM_LISTVIEW;

// NM_CLICK, NM_DBLCLK, NM_RCLICK: the row under the pointer (-1 for none), its column, the point
// and the shift and control keys (LVKF_*).
inline constexpr UINT LVKF_ALT = 0x0001;
inline constexpr UINT LVKF_CONTROL = 0x0002;
inline constexpr UINT LVKF_SHIFT = 0x0004;

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};

struct LV_DISPINFO {
    NMHDR hdr;
    LV_ITEM item;
};
using NMLVDISPINFO = LV_DISPINFO;

struct LV_KEYDOWN {
    NMHDR hdr;
    std::uint16_t wVKey = 0;
    UINT flags = 0;
};
using NMLVKEYDOWN = LV_KEYDOWN;

// Tree views: the toolkit's tree offers the platform's tree-view interface over its own list.
// An item handle is the address of the item's node; the special handles below are no address.
struct TreeItemNode;
using HTREEITEM = TreeItemNode*;

inline HTREEITEM TreeSpecialItem(std::uintptr_t value) {
    return reinterpret_cast<HTREEITEM>(value);
}
inline const HTREEITEM TVI_ROOT = TreeSpecialItem(0xFFFF0000u);
inline const HTREEITEM TVI_FIRST = TreeSpecialItem(0xFFFF0001u);
inline const HTREEITEM TVI_LAST = TreeSpecialItem(0xFFFF0002u);
inline const HTREEITEM TVI_SORT = TreeSpecialItem(0xFFFF0003u);

inline constexpr DWORD TVS_HASBUTTONS = 0x0001;
inline constexpr DWORD TVS_HASLINES = 0x0002;
inline constexpr DWORD TVS_LINESATROOT = 0x0004;
inline constexpr DWORD TVS_EDITLABELS = 0x0008;
inline constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
inline constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
inline constexpr DWORD TVS_SINGLEEXPAND = 0x0400;

inline constexpr UINT TVIF_TEXT = 0x0001;
inline constexpr UINT TVIF_IMAGE = 0x0002;
inline constexpr UINT TVIF_PARAM = 0x0004;
inline constexpr UINT TVIF_STATE = 0x0008;
inline constexpr UINT TVIF_HANDLE = 0x0010;
inline constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
inline constexpr UINT TVIF_CHILDREN = 0x0040;

inline constexpr UINT TVIS_SELECTED = 0x0002;
inline constexpr UINT TVIS_CUT = 0x0004;
inline constexpr UINT TVIS_DROPHILITED = 0x0008;
inline constexpr UINT TVIS_BOLD = 0x0010;
inline constexpr UINT TVIS_EXPANDED = 0x0020;
inline constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
inline constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;

// Expand codes; TVE_COLLAPSERESET stands alone or with TVE_COLLAPSE.
inline constexpr UINT TVE_COLLAPSE = 0x0001;
inline constexpr UINT TVE_EXPAND = 0x0002;
inline constexpr UINT TVE_TOGGLE = 0x0003;
inline constexpr UINT TVE_COLLAPSERESET = 0x8000;

inline constexpr UINT TVGN_ROOT = 0x0000;
inline constexpr UINT TVGN_NEXT = 0x0001;
inline constexpr UINT TVGN_PREVIOUS = 0x0002;
inline constexpr UINT TVGN_PARENT = 0x0003;
inline constexpr UINT TVGN_CHILD = 0x0004;
inline constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
inline constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
inline constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
inline constexpr UINT TVGN_DROPHILITE = 0x0008;
inline constexpr UINT TVGN_CARET = 0x0009;

inline constexpr UINT TVHT_NOWHERE = 0x0001;
inline constexpr UINT TVHT_ONITEMICON = 0x0002;
inline constexpr UINT TVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT TVHT_ONITEMINDENT = 0x0008;
inline constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
inline constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
inline constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
inline constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
inline constexpr UINT TVHT_ABOVE = 0x0100;
inline constexpr UINT TVHT_BELOW = 0x0200;
inline constexpr UINT TVHT_TORIGHT = 0x0400;
inline constexpr UINT TVHT_TOLEFT = 0x0800;

inline constexpr int TVSIL_NORMAL = 0;
inline constexpr int TVSIL_STATE = 2;

// What caused a selection change (NMTREEVIEW's action).
inline constexpr UINT TVC_UNKNOWN = 0x0000;
inline constexpr UINT TVC_BYMOUSE = 0x0001;
inline constexpr UINT TVC_BYKEYBOARD = 0x0002;

inline constexpr UINT TVN_FIRST = UINT(-400);
inline constexpr UINT TVN_SELCHANGINGA = TVN_FIRST - 1;
inline constexpr UINT TVN_SELCHANGEDA = TVN_FIRST - 2;
inline constexpr UINT TVN_GETDISPINFOA = TVN_FIRST - 3;
inline constexpr UINT TVN_SETDISPINFOA = TVN_FIRST - 4;
inline constexpr UINT TVN_ITEMEXPANDINGA = TVN_FIRST - 5;
inline constexpr UINT TVN_ITEMEXPANDEDA = TVN_FIRST - 6;
inline constexpr UINT TVN_BEGINDRAGA = TVN_FIRST - 7;
inline constexpr UINT TVN_BEGINRDRAGA = TVN_FIRST - 8;
inline constexpr UINT TVN_DELETEITEMA = TVN_FIRST - 9;
inline constexpr UINT TVN_BEGINLABELEDITA = TVN_FIRST - 10;
inline constexpr UINT TVN_ENDLABELEDITA = TVN_FIRST - 11;
inline constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;
inline constexpr UINT TVN_SELCHANGING = TVN_SELCHANGINGA;
inline constexpr UINT TVN_SELCHANGED = TVN_SELCHANGEDA;
inline constexpr UINT TVN_GETDISPINFO = TVN_GETDISPINFOA;
inline constexpr UINT TVN_SETDISPINFO = TVN_SETDISPINFOA;
inline constexpr UINT TVN_ITEMEXPANDING = TVN_ITEMEXPANDINGA;
inline constexpr UINT TVN_ITEMEXPANDED = TVN_ITEMEXPANDEDA;

// One tree item. An image of -12 means none; a children count of I_CHILDRENCALLBACK is asked.
struct TVITEM {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};
using TV_ITEM = TVITEM;

struct TVINSERTSTRUCT {
    HTREEITEM hParent = nullptr;
    HTREEITEM hInsertAfter = nullptr;
    TVITEM item;
};
using TV_INSERTSTRUCT = TVINSERTSTRUCT;

struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    TVITEM itemOld;
    TVITEM itemNew;
    POINT ptDrag;
};
using NM_TREEVIEW = NMTREEVIEW;

struct TV_DISPINFO {
    NMHDR hdr;
    TVITEM item;
};
using NMTVDISPINFO = TV_DISPINFO;

struct TV_KEYDOWN {
    NMHDR hdr;
    std::uint16_t wVKey = 0;
    UINT flags = 0;
};
using NMTVKEYDOWN = TV_KEYDOWN;

} // namespace vq
