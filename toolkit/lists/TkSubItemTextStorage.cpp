#include "toolkit/lists/TkSubItemTextStorage.h"

#include "platform/gui/MessageBox.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vq {

BOOL TkSubItemTextStorage::SetSubItemText(HTREEITEM item, std::int32_t subItem, const char* text) {
    if (subItem < 1) return FALSE;
    try {
        // Built aside and swapped in, so running out of memory leaves the texts as they were.
        const auto found = texts_.find(item);
        std::vector<std::string> texts = found != texts_.end() ? found->second : std::vector<std::string>{};
        if (texts.size() < std::size_t(subItem)) texts.resize(std::size_t(subItem));
        texts[std::size_t(subItem - 1)] = text ? text : "";
        texts_[item].swap(texts);
        return TRUE;
    } catch (const std::bad_alloc&) {
        MessageBox(0, "There is not enough memory to keep the column texts.", "Vorquel",
                   MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
}

BOOL TkSubItemTextStorage::GetSubItemText(HTREEITEM item, std::int32_t subItem, char* buffer,
                                          std::int32_t size) const {
    if (!buffer || size <= 0) return FALSE;
    buffer[0] = '\0';
    const auto found = texts_.find(item);
    if (found == texts_.end() || subItem < 1 || std::size_t(subItem) > found->second.size()) return FALSE;
    const std::string& text = found->second[std::size_t(subItem - 1)];
    const std::size_t length = std::min(text.size(), std::size_t(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return TRUE;
}

BOOL TkSubItemTextStorage::MoveSubItemText(HTREEITEM item, std::int32_t from, std::int32_t to) {
    const auto found = texts_.find(item);
    if (found == texts_.end() || from < 1 || to < 1) return FALSE;
    std::vector<std::string>& texts = found->second;
    const std::size_t need = std::size_t(std::max(from, to));
    if (texts.size() < need) texts.resize(need);
    std::string moved = std::move(texts[std::size_t(from - 1)]);
    texts.erase(texts.begin() + (from - 1));
    texts.insert(texts.begin() + (to - 1), std::move(moved));
    return TRUE;
}

BOOL TkSubItemTextStorage::RemoveItem(HTREEITEM item) {
    return texts_.erase(item) ? TRUE : FALSE;
}

} // namespace vq
