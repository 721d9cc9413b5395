#include "toolkit/frames/TkPTNStrategyProfile.h"

#include "platform/registry/PrivateProfile.h"

#include <cstring>
#include <utility>

namespace vq {

namespace {

constexpr uint32_t kFirstKeyListSize = 512;
constexpr uint32_t kFirstValueSize = 256;

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos || text.find('\0') != std::string::npos;
}

bool IsBlank(char letter) {
    return letter == ' ' || letter == '\t';
}

bool ReadsBackAsName(const std::string& name, const char* forbidden) {
    return !name.empty() && !HasLineBreak(name) && name.find_first_of(forbidden) == std::string::npos &&
           !IsBlank(name.front()) && !IsBlank(name.back()) && name.front() != ';' && name.front() != '#' &&
           name.front() != '[';
}

// The file's reader drops blanks around a value and one pair of quotes; a value that would lose
// either is written inside quotes, which the reader then takes off again.
std::string StoredValue(const std::string& value) {
    const bool quoted =
        value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || quoted))
        return '"' + value + '"';
    return value;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkPTNStrategyProfile, TkPTNStrategy)

TkPTNStrategyProfile::TkPTNStrategyProfile(std::string file) : m_File(std::move(file)) {}

std::string TkPTNStrategyProfile::BuildSectionName(const Names& path) {
    std::string section;
    for (auto name = path.rbegin(); name != path.rend(); ++name) {
        if (!section.empty()) section += kSectionSeparator;
        section += *name;
    }
    return section;
}

WriteBatch TkPTNStrategyProfile::BeginBatch() {
    return WriteBatch::Profile(m_File);
}

bool TkPTNStrategyProfile::ClearNode(const Names& path) {
    const std::string section = BuildSectionName(path);
    if (section.empty()) return false;
    return WritePrivateProfileString(section.c_str(), nullptr, nullptr, m_File);
}

bool TkPTNStrategyProfile::WriteValue(const Names& path, const std::string& key, const std::string& value) {
    const std::string section = BuildSectionName(path);
    if (!ReadsBackAsName(section, "]") || !ReadsBackAsName(key, "=") || HasLineBreak(value)) return false;
    return WritePrivateProfileString(section.c_str(), key.c_str(), StoredValue(value).c_str(), m_File);
}

bool TkPTNStrategyProfile::WriteChildList(const Names& path, const Names& childNames) {
    bool written = true;
    for (size_t i = 0; i < childNames.size(); ++i)
        written = WriteValue(path, kChildKeyPrefix + std::to_string(i + 1), childNames[i]) && written;
    return written;
}

bool TkPTNStrategyProfile::ReadSectionKeys(const std::string& section, Names& keys) {
    keys.clear();
    if (section.empty()) return false;
    std::vector<char> buffer(kFirstKeyListSize);
    uint32_t length = 0;
    while (true) {
        length = GetPrivateProfileString(section.c_str(), nullptr, "", buffer.data(), uint32_t(buffer.size()),
                                         m_File);
        if (length == 0) return false;
        if (length != buffer.size() - 2) break;
        buffer.resize(buffer.size() * 2);
    }
    for (size_t at = 0; at < length && buffer[at];) {
        keys.emplace_back(buffer.data() + at);
        at += keys.back().size() + 1;
    }
    return !keys.empty();
}

std::string TkPTNStrategyProfile::ReadWholeValue(const std::string& section, const std::string& key) const {
    std::vector<char> buffer(kFirstValueSize);
    while (true) {
        const uint32_t length = GetPrivateProfileString(section.c_str(), key.c_str(), "", buffer.data(),
                                                        uint32_t(buffer.size()), m_File);
        if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool TkPTNStrategyProfile::ReadNode(const Names& path, Names& childNames, Names& keys, Names& values) {
    childNames.clear();
    keys.clear();
    values.clear();
    const std::string section = BuildSectionName(path);
    Names sectionKeys;
    if (!ReadSectionKeys(section, sectionKeys)) return false;
    const size_t prefixLength = std::strlen(kChildKeyPrefix);
    for (const auto& key : sectionKeys) {
        std::string value = ReadWholeValue(section, key);
        if (key.compare(0, prefixLength, kChildKeyPrefix) == 0) {
            childNames.push_back(std::move(value));
        } else {
            keys.push_back(key);
            values.push_back(std::move(value));
        }
    }
    return true;
}

} // namespace vq
