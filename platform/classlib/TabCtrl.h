#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/TabControl.h"

namespace vq {

// A tab control window object: its tabs, the selected one and the rectangles the owner lays its
// pages out by.
class CTabCtrl : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CTabCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int GetItemCount() const { return int(SendMessage(TCM_GETITEMCOUNT)); }
    // The index the tab went in at (the end for an index past it), -1 when it could not.
    int InsertItem(int index, const char* text) const;
    int InsertItem(int index, const char* text, LPARAM data) const;
    BOOL GetItem(int index, TCITEM* item) const {
        return BOOL(SendMessage(TCM_GETITEM, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(item)));
    }
    BOOL DeleteItem(int index) const {
        return BOOL(SendMessage(TCM_DELETEITEM, WPARAM(std::intptr_t(index))));
    }
    int GetCurSel() const { return int(SendMessage(TCM_GETCURSEL)); }
    // The previously selected tab, -1 for an index outside; the parent hears nothing.
    int SetCurSel(int index) const { return int(SendMessage(TCM_SETCURSEL, WPARAM(std::intptr_t(index)))); }
    BOOL GetItemRect(int index, RECT* rect) const {
        return BOOL(
            SendMessage(TCM_GETITEMRECT, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(rect)));
    }
    void AdjustRect(BOOL larger, RECT* rect) const {
        SendMessage(TCM_ADJUSTRECT, WPARAM(larger), reinterpret_cast<LPARAM>(rect));
    }
};

} // namespace vq
