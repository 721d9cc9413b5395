#include "netmodel/NameEntry.h"

#include "runtime/NotificationThreadMessage.h"

#include <cstdio>
#include <cstring>

namespace vq {

NameEntry::NameEntry(const NameEntry& other) : SafeObject(other) {
    if (other.IsValid()) {
        text_ = other.text_;
        names_ = other.names_;
    }
    lookupState_ = other.lookupState_;
}

NameEntry& NameEntry::operator=(const NameEntry& other) {
    if (this == &other) return *this;
    if (other.IsValid()) {
        text_ = other.text_;
        names_ = other.names_;
    } else {
        text_.clear();
        names_.clear();
    }
    lookupState_ = other.lookupState_;
    return *this;
}

void NameEntry::Reset(int lookupState) {
    lookupState_ = lookupState;
    text_.clear();
    names_.clear();
}

bool NameEntry::MakeInvalidConstant() {
    SetObjectState(ObjectConstant);
    names_.assign(1, "unknown");
    GetText(); // formatted now, so that readers on other threads never write the cache
    return true;
}

const std::string& NameEntry::GetText() const {
    if (text_.empty()) text_ = FormatText();
    return text_;
}

std::string NameEntry::GetName(int index) const {
    if (names_.empty()) {
        if (auto builtIn = GetBuiltInName()) {
            names_.push_back(*builtIn);
            return *builtIn;
        }
    } else if (index >= 0 && static_cast<size_t>(index) < names_.size()) {
        return names_[static_cast<size_t>(index)];
    }
    return GetText();
}

std::string NameEntry::GetNameAt(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= names_.size()) return {};
    return names_[static_cast<size_t>(index)];
}

void NameEntry::SetNameAt(std::string_view name, int index) {
    if (names_.empty()) {
        names_.emplace_back(name);
    } else if (index >= 0 && static_cast<size_t>(index) < names_.size()) {
        names_[static_cast<size_t>(index)] = name;
    }
}

void NameEntry::AddAlias(std::string_view name) {
    names_.emplace_back(name);
}

std::string NameEntry::GetDisplayText(int mode) const {
    if ((mode & 3) == 3) return GetName(0) + "(" + GetText() + ")";
    return GetText();
}

LookupErrorVerdict JudgeLookupError(uint32_t replyValue) {
    const unsigned error = replyValue >> 16;
    const unsigned required = replyValue & 0xFFFF;
    char text[96];
    switch (error) {
    case 0:
        return {true, false, {}};
    case 10035:
    case 10036:
    case 10050:
    case 11002:
        return {false, true, {}};
    case 10004:
    case 11001:
    case 11003:
    case 11004:
        return {false, false, {}};
    case 10014:
        return {false, false, "WSAEFAULT: addr or buf is not in a valid part of the process address space"};
    case 10047:
        return {false, false, "WSAEAFNOSUPPORT: address family not supported"};
    case 10055:
        std::snprintf(text, sizeof text, "WSAENOBUFS: buffer space too small (%d bytes required)",
                      static_cast<int>(required));
        return {false, false, text};
    case 10093:
        return {false, false, "WSANOTINITIALISED: WSAStartup() not run or was not successful"};
    default:
        std::snprintf(text, sizeof text, "Unexpected WSAGETASYNCERROR result: %d", static_cast<int>(error));
        return {false, false, text};
    }
}

bool NameEntry::CheckError(uint32_t replyValue, bool& retry) {
    const LookupErrorVerdict verdict = JudgeLookupError(replyValue);
    if (!verdict.report.empty())
        PostNotification(7, 0, verdict.report.c_str(), "NameEntry", "CheckError", nullptr, nullptr, -1);
    retry = verdict.retry;
    return verdict.success;
}

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

bool IsValidHostName(const char* text) {
    if (text == nullptr || !IsAsciiAlnum(static_cast<unsigned char>(text[0]))) return false;
    const size_t length = std::strlen(text);
    if (length <= 15) {
        for (size_t i = 1; i < length; ++i)
            if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
        return true;
    }
    if (length > 253) return false;
    for (size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsAsciiAlnum(c) && c != '.' && c != '-' && c != '_') return false;
    }
    return true;
}

} // namespace vq
