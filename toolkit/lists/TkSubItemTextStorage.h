#pragma once

#include "platform/gui/ListViewTypes.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {

// The texts of a tree's sub-item columns, kept by item so that collapsed and hidden items, which
// have no list row, keep theirs. Sub-item k (k >= 1) is entry k - 1 of the item's array.
class TkSubItemTextStorage {
public:
    TkSubItemTextStorage() = default;
    virtual ~TkSubItemTextStorage() = default;
    TkSubItemTextStorage(const TkSubItemTextStorage&) = delete;
    TkSubItemTextStorage& operator=(const TkSubItemTextStorage&) = delete;

    // 0 when memory ran out; the item's texts are then as they were.
    BOOL SetSubItemText(HTREEITEM item, std::int32_t subItem, const char* text);
    // Copies at most size - 1 bytes and terminates; 0 and an empty string when there is no text.
    BOOL GetSubItemText(HTREEITEM item, std::int32_t subItem, char* buffer, std::int32_t size) const;
    // Takes the text at `from` out and puts it back at `to`; positions past the end count as
    // empty texts. 0 when the item has no texts.
    BOOL MoveSubItemText(HTREEITEM item, std::int32_t from, std::int32_t to);
    // 1 when the item had texts.
    BOOL RemoveItem(HTREEITEM item);

    // Visits every item that has texts; the visitor must not change the storage.
    template <typename Visit> void ForEachItem(Visit visit) const {
        for (const auto& [item, texts] : texts_)
            visit(item);
    }

private:
    std::unordered_map<HTREEITEM, std::vector<std::string>> texts_;
};

} // namespace vq
