#include "netmodel/IpAddress.h"

#include "netmodel/AddressText.h"
#include "netmodel/WinSockIf.h"
#include "runtime/NotificationThreadMessage.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>

namespace vq {

using namespace address_text;

namespace {

// A name that the resolver cannot answer within this is taken as "try again".
constexpr std::chrono::seconds ForwardLookupLimit{10};

} // namespace

IpAddress::IpAddress() {
    Reset(LookupInvalid);
}

IpAddress::IpAddress(const uint8_t* bytes, bool classify) {
    SetBytes(bytes, classify);
}

IpAddress::IpAddress(const char* text, bool classify) {
    SetText(text, classify);
}

IpAddress::IpAddress(const IpAddress& other) : NameEntry(other), bytes_(other.bytes_), kind_(other.kind_) {
    if (!other.IsValid()) Reset(LookupInvalid);
}

IpAddress& IpAddress::operator=(const IpAddress& other) {
    if (this == &other) return *this;
    NameEntry::operator=(other);
    bytes_ = other.bytes_;
    kind_ = other.kind_;
    if (!other.IsValid()) Reset(LookupInvalid);
    return *this;
}

IpAddress& IpAddress::Invalid() {
    static IpAddress invalid;
    static const bool ready = invalid.MakeInvalidConstant();
    (void)ready;
    return invalid;
}

void IpAddress::Reset(int lookupState) {
    NameEntry::Reset(lookupState);
    bytes_.fill(0);
    kind_ = Unclassified;
}

std::string IpAddress::FormatText() const {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes_[0], bytes_[1], bytes_[2], bytes_[3]);
    return text;
}

uint32_t IpAddress::Value() const {
    return uint32_t{bytes_[0]} << 24 | uint32_t{bytes_[1]} << 16 | uint32_t{bytes_[2]} << 8 | bytes_[3];
}

NameKey IpAddress::KeyFromBytes(const uint8_t* bytes) {
    return {uint64_t{bytes[0]} << 24 | uint64_t{bytes[1]} << 16 | uint64_t{bytes[2]} << 8 | bytes[3], 0};
}

void IpAddress::SetBytes(const uint8_t* bytes, bool classify) {
    if (bytes == nullptr) {
        Reset(LookupInvalid);
        return;
    }
    std::memcpy(bytes_.data(), bytes, Length);
    kind_ = Unclassified;
    if (Value() == 0)
        SetLookupState(LookupInvalid);
    else if (classify)
        kind_ = ClassifyBytes(bytes_.data());
    SetCachedText(FormatText());
}

int32_t IpAddress::ClassifyBytes(const uint8_t* bytes) {
    if ((bytes[0] | bytes[1] | bytes[2] | bytes[3]) == 0) return Unclassified;
    return (bytes[0] >= 224 && bytes[0] <= 239) ? Multicast : bytes[3] == 255 ? Broadcast : Unicast;
}

void IpAddress::SetHostLong(uint32_t value, bool isNetworkOrder, bool classify) {
    if (!isNetworkOrder) value = htonl(value);
    uint8_t bytes[Length];
    std::memcpy(bytes, &value, Length);
    SetBytes(bytes, classify);
}

uint32_t IpAddress::GetHostLong(bool hostOrder) const {
    uint32_t raw;
    std::memcpy(&raw, bytes_.data(), Length);
    return hostOrder ? ntohl(raw) : raw;
}

uint32_t IpAddress::GetClassMask() const {
    if (Value() == 0) return 0;
    if (bytes_[0] < 128) return 0xFF000000;
    if (bytes_[0] < 192) return 0xFFFF0000;
    if (bytes_[0] < 224) return 0xFFFFFF00;
    return 0xFF000000;
}

int IpAddress::Compare(const IpAddress& other, bool wildcard) const {
    if (this == &other) return 0;
    const bool wild = wildcard && (IsNetworkAddress() || other.IsNetworkAddress());
    if (wild && (bytes_[0] == 0 || other.bytes_[0] == 0)) return 0;
    for (size_t i = 0; i < Length; ++i) {
        if (wild && i > 0 && (bytes_[i] == 0 || other.bytes_[i] == 0)) return 0;
        if (bytes_[i] != other.bytes_[i]) return bytes_[i] < other.bytes_[i] ? 1 : -1;
    }
    return 0;
}

namespace {

bool IsDottedText(std::string_view text) {
    for (char c : text)
        if (!IsDigit(c) && c != '.') return false;
    return true;
}

// Exactly four decimal fields of 0-255.
bool ParseDottedQuad(std::string_view text, uint8_t* bytes) {
    int field = 0;
    size_t at = 0;
    for (;;) {
        unsigned value = 0;
        size_t digits = 0;
        while (at < text.size() && IsDigit(text[at])) {
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
            if (value > 255) return false;
            ++digits;
        }
        if (digits == 0) return false;
        bytes[field++] = static_cast<uint8_t>(value);
        if (field == IpAddress::Length) return at == text.size();
        if (at >= text.size() || text[at] != '.') return false;
        ++at;
    }
}

} // namespace

bool IpAddress::SetText(const char* text, bool classify) {
    Reset(LookupNone);
    std::string_view given = text != nullptr ? std::string_view(text) : std::string_view();
    if (given.empty() || given == "localhost") given = "127.0.0.1";
    given = SkipBlanks(given);
    const std::string_view token = given.substr(
        0, static_cast<size_t>(std::find_if(given.begin(), given.end(), IsBlank) - given.begin()));
    uint8_t bytes[Length] = {};
    if (IsDottedText(token)) {
        if (!ParseDottedQuad(token, bytes)) std::memset(bytes, 0, sizeof bytes);
    } else {
        ResolveName(token, bytes);
    }
    SetBytes(bytes, classify);
    return Value() != 0;
}

bool IpAddress::SetNumericText(const char* text, bool classify) {
    Reset(LookupNone);
    uint8_t bytes[Length] = {};
    if (text == nullptr || !ParseDottedQuad(text, bytes)) return false;
    SetBytes(bytes, classify);
    return true;
}

void IpAddress::ResolveName(std::string_view name, uint8_t* bytes) {
    const std::string given(name);
    PostNotification(3, 0, "blocking call to gethostbyname()\n", "IpAddress", "Set", nullptr, nullptr, -1);
    net::HostAnswer answer = WinSockIf::Instance().LookupName(given, ForwardLookupLimit);
    if (answer.code == net::LookupOk && answer.entry.addresses.empty()) answer.code = net::LookupNoData;
    if (answer.code != net::LookupOk) {
        bool retry = false;
        CheckError(static_cast<uint32_t>(answer.code) << 16, retry);
        SetLookupState(LookupFailed);
        return;
    }
    SetNameAt(answer.entry.name.empty() ? given : answer.entry.name, 0);
    for (const auto& alias : answer.entry.aliases)
        AddAlias(alias);
    SetLookupState(LookupResolved);
    std::memcpy(bytes, answer.entry.addresses.front().data(), Length);
}

} // namespace vq
