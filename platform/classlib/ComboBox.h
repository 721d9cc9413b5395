#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"

#include <string>

namespace vq {

// A combo box window object: its entries, their item data, the selection and the field.
class CComboBox : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CComboBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return int(SendMessage(CB_SETCURSEL, WPARAM(std::intptr_t(index)))); }
    int AddString(const char* text) const { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(text))); }
    int InsertString(int index, const char* text) const {
        return int(SendMessage(CB_INSERTSTRING, WPARAM(std::intptr_t(index)), LPARAM(text)));
    }
    int DeleteString(int index) const {
        return int(SendMessage(CB_DELETESTRING, WPARAM(std::intptr_t(index))));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    // CB_ERR for an index outside the list.
    std::intptr_t GetItemData(int index) const {
        return SendMessage(CB_GETITEMDATA, WPARAM(std::intptr_t(index)));
    }
    int SetItemData(int index, std::intptr_t data) const {
        return int(SendMessage(CB_SETITEMDATA, WPARAM(std::intptr_t(index)), LPARAM(data)));
    }
    void* GetItemDataPtr(int index) const;
    int SetItemDataPtr(int index, void* data) const { return SetItemData(index, std::intptr_t(data)); }
    int GetLBTextLen(int index) const {
        return int(SendMessage(CB_GETLBTEXTLEN, WPARAM(std::intptr_t(index))));
    }
    // Empty for an index outside the list.
    std::string GetLBText(int index) const;
    // Searches start after `start` and wrap; -1 searches the whole list.
    int FindString(int start, const char* text) const {
        return int(SendMessage(CB_FINDSTRING, WPARAM(std::intptr_t(start)), LPARAM(text)));
    }
    int FindStringExact(int start, const char* text) const {
        return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(std::intptr_t(start)), LPARAM(text)));
    }
    int SelectString(int start, const char* text) const {
        return int(SendMessage(CB_SELECTSTRING, WPARAM(std::intptr_t(start)), LPARAM(text)));
    }
    BOOL LimitText(int bytes) const { return BOOL(SendMessage(CB_LIMITTEXT, WPARAM(bytes))); }
    BOOL SetEditSel(int start, int end) const {
        return BOOL(SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(start, end)));
    }
    void ShowDropDown(BOOL show = TRUE) const { SendMessage(CB_SHOWDROPDOWN, WPARAM(show)); }
    BOOL GetDroppedState() const { return BOOL(SendMessage(CB_GETDROPPEDSTATE)); }
};

} // namespace vq
