#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vq {

// An array that owns copies of the texts put into it.
class StringArray {
public:
    StringArray() = default;
    StringArray(const StringArray& other) : m_Strings(other.m_Strings) {}
    // Drops the current texts first: when copying runs out of memory part-way the array is left
    // empty and the exception passed on.
    StringArray& operator=(const StringArray& other);
    StringArray(StringArray&&) noexcept = default;
    StringArray& operator=(StringArray&&) noexcept = default;

    // Appends a copy and answers its index.
    size_t Add(std::string_view text);
    void RemoveAll() {
        m_Strings.clear();
        m_Strings.shrink_to_fit();
    }

    size_t GetSize() const { return m_Strings.size(); }
    bool IsEmpty() const { return m_Strings.empty(); }
    const std::string& GetAt(size_t index) const { return m_Strings.at(index); }
    const std::string& operator[](size_t index) const { return m_Strings.at(index); }
    auto begin() const { return m_Strings.begin(); }
    auto end() const { return m_Strings.end(); }

private:
    std::vector<std::string> m_Strings;
};

} // namespace vq
