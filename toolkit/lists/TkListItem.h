#pragma once

#include "platform/gui/ListViewTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

// A text a list keeps: a string of its own, none, or the marker that the owner supplies it on
// demand (LPSTR_TEXTCALLBACK).
class TkListText {
public:
    // Null, a copy of the string, or the marker when given the marker.
    void Set(const char* text);
    // Null, the marker, or the stored string.
    const char* Get() const;
    // Read as the marker until a text is set; setting one is never refused as over a callback.
    void SetUnset() {
        kind_ = Kind::Unset;
        value_.clear();
    }
    bool IsCallback() const { return kind_ == Kind::Callback || kind_ == Kind::Unset; }
    // The owner asked for the marker itself.
    bool IsChosenCallback() const { return kind_ == Kind::Callback; }

private:
    enum class Kind { Null, Unset, Callback, Value };
    Kind kind_ = Kind::Null;
    std::string value_;
};

// One sub-item of an item; a new one is asked of the owner until it is set.
struct TkListSubItem {
    TkListSubItem() { text.SetUnset(); }

    TkListText text;
    std::int32_t reserved = 0;
    RECT labelRect;
};

// One item: its label, sub-items, image, data and the state bits other than focus, selection and
// drop highlight, which the list keeps by index. Geometry is relative to the row's origin.
struct TkListItem {
    // sub-item k lives at k - 1
    std::vector<std::unique_ptr<TkListSubItem>> subItems;
    TkListText text;
    UINT state = 0;
    std::int32_t image = 0;
    LPARAM data = 0;
    // 0 at first; -1 asks the next measurement to compute it afresh
    std::int32_t rowHeight = 0;
    DWORD extraState = 0;
    bool measureNeeded = true;
    RECT labelRect;
    RECT iconRect;
    RECT stateIconRect;
};

// The extra state word of an item, read and written under a mask (bit 1 of `mask`: state valid).
struct TkListExtraState {
    DWORD mask = 0;
    DWORD state = 0;
    DWORD stateMask = 0;
};
inline constexpr DWORD TkListExtraStateValid = 0x2;

// A column: its heading and look, and which text of the items it shows (0 the label, k sub-item k).
struct TkListColumn {
    UINT mask = 0;
    std::int32_t format = LVCFMT_LEFT;
    std::int32_t width = -1;
    std::string heading;
    std::int32_t textMax = 0;
    std::int32_t subItem = -1;
    std::int32_t image = -1;
};

} // namespace vq
