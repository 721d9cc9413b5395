#include "runtime/StringArray.h"

namespace vq {

StringArray& StringArray::operator=(const StringArray& other) {
    if (this == &other) return *this;
    RemoveAll();
    try {
        m_Strings = other.m_Strings;
    } catch (...) {
        RemoveAll();
        throw;
    }
    return *this;
}

size_t StringArray::Add(std::string_view text) {
    m_Strings.emplace_back(text);
    return m_Strings.size() - 1;
}

} // namespace vq
