#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"

#include <string>

namespace vq {

// A list box window object. An owner-drawn one draws and sizes its items in DrawItem and
// MeasureItem, which the parent's WM_DRAWITEM and WM_MEASUREITEM reach through reflection.
class CListBox : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CListBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCount() const { return int(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return int(SendMessage(LB_SETCURSEL, WPARAM(std::intptr_t(index)))); }
    int GetCaretIndex() const { return int(SendMessage(LB_GETCARETINDEX)); }
    int GetSel(int index) const { return int(SendMessage(LB_GETSEL, WPARAM(std::intptr_t(index)))); }
    int SetSel(int index, BOOL select = TRUE) const {
        return int(SendMessage(LB_SETSEL, WPARAM(select), LPARAM(index)));
    }
    int GetSelCount() const { return int(SendMessage(LB_GETSELCOUNT)); }
    int AddString(const char* text) const { return int(SendMessage(LB_ADDSTRING, 0, LPARAM(text))); }
    int InsertString(int index, const char* text) const {
        return int(SendMessage(LB_INSERTSTRING, WPARAM(std::intptr_t(index)), LPARAM(text)));
    }
    int DeleteString(int index) const {
        return int(SendMessage(LB_DELETESTRING, WPARAM(std::intptr_t(index))));
    }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int GetTextLen(int index) const { return int(SendMessage(LB_GETTEXTLEN, WPARAM(std::intptr_t(index)))); }
    // Empty for an index outside the list.
    std::string GetText(int index) const;
    // LB_ERR for an index outside the list.
    std::intptr_t GetItemData(int index) const {
        return SendMessage(LB_GETITEMDATA, WPARAM(std::intptr_t(index)));
    }
    int SetItemData(int index, std::intptr_t data) const {
        return int(SendMessage(LB_SETITEMDATA, WPARAM(std::intptr_t(index)), LPARAM(data)));
    }
    // Searches start after `start` and wrap; -1 searches the whole list.
    int FindString(int start, const char* text) const {
        return int(SendMessage(LB_FINDSTRING, WPARAM(std::intptr_t(start)), LPARAM(text)));
    }
    int FindStringExact(int start, const char* text) const {
        return int(SendMessage(LB_FINDSTRINGEXACT, WPARAM(std::intptr_t(start)), LPARAM(text)));
    }
    // Chooses the first entry after `start` that begins with the text; LB_ERR, choosing nothing,
    // when none does.
    int SelectString(int start, const char* text) const;
    int GetTopIndex() const { return int(SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) const {
        return int(SendMessage(LB_SETTOPINDEX, WPARAM(std::intptr_t(index))));
    }
    int GetItemRect(int index, RECT* rect) const {
        return int(SendMessage(LB_GETITEMRECT, WPARAM(std::intptr_t(index)), LPARAM(rect)));
    }
    int GetItemHeight(int index) const {
        return int(SendMessage(LB_GETITEMHEIGHT, WPARAM(std::intptr_t(index))));
    }
    int SetItemHeight(int index, UINT height) const {
        return int(SendMessage(LB_SETITEMHEIGHT, WPARAM(std::intptr_t(index)), LPARAM(height)));
    }
    // The item nearest the client point; `outside` tells whether the point is past the last one.
    UINT ItemFromPoint(POINT point, BOOL& outside) const;

    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void MeasureItem(MEASUREITEMSTRUCT* item);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

} // namespace vq
