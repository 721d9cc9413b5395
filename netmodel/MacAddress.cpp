#include "netmodel/MacAddress.h"

#include "netmodel/AddressText.h"
#include "netmodel/MacAddressRange.h"

#include <algorithm>
#include <cstring>

namespace vq {

using namespace address_text;

MacAddress::MacAddress() {
    Reset(LookupInvalid);
}

MacAddress::MacAddress(const uint8_t* bytes, bool classify) {
    SetBytes(bytes, classify);
}

MacAddress::MacAddress(const char* text, bool classify) {
    SetText(text, classify);
}

MacAddress::MacAddress(const MacAddress& other) : NameEntry(other), bytes_(other.bytes_), kind_(other.kind_) {
    if (!other.IsValid()) Reset(LookupInvalid);
}

MacAddress& MacAddress::operator=(const MacAddress& other) {
    if (this == &other) return *this;
    NameEntry::operator=(other);
    bytes_ = other.bytes_;
    kind_ = other.kind_;
    if (!other.IsValid()) Reset(LookupInvalid);
    return *this;
}

MacAddress& MacAddress::Invalid() {
    static MacAddress invalid;
    static const bool ready = invalid.MakeInvalidConstant();
    (void)ready;
    return invalid;
}

void MacAddress::Reset(int lookupState) {
    NameEntry::Reset(lookupState);
    bytes_.fill(0);
    kind_ = Unclassified;
}

std::string MacAddress::FormatText() const {
    std::string text;
    text.reserve(17);
    AppendHexBytes(text, bytes_.data(), bytes_.size(), ':');
    return text;
}

NameKey MacAddress::KeyFromBytes(const uint8_t* bytes) {
    uint64_t key = 0;
    for (int i = 0; i < Length; ++i)
        key = key << 8 | bytes[i];
    return {key, 0};
}

void MacAddress::SetBytes(const uint8_t* bytes, bool classify) {
    if (bytes == nullptr) {
        Reset(LookupInvalid);
        return;
    }
    std::memcpy(bytes_.data(), bytes, Length);
    kind_ = Unclassified;
    if (classify) Classify();
    SetCachedText(FormatText());
}

int32_t MacAddress::ClassifyBytes(const uint8_t* bytes) {
    // Broadcast and every well-known multicast address are group addresses: an individual
    // address (group bit clear) needs no search.
    if ((bytes[0] & 1) == 0) return Ordinary;
    MacAddress address;
    std::memcpy(address.bytes_.data(), bytes, Length);
    address.Classify();
    return address.kind_;
}

void MacAddress::Classify() {
    if (RangeTableContains(BroadcastRange(), *this))
        kind_ = Broadcast;
    else if (RangeTableContains(WellKnownMulticastTable(), *this))
        kind_ = WellKnownMulticast;
    else
        kind_ = Ordinary;
}

namespace {

// Six groups of one or two hex digits, anything that is not a hex digit between them.
bool ReadGroups(std::string_view text, uint8_t* bytes) {
    size_t at = 0;
    for (int group = 0; group < MacAddress::Length; ++group) {
        if (at >= text.size() || !IsHex(text[at])) return false;
        int value = HexValue(text[at++]);
        if (at < text.size() && IsHex(text[at])) value = value << 4 | HexValue(text[at++]);
        bytes[group] = static_cast<uint8_t>(value);
        while (group + 1 < MacAddress::Length && at < text.size() && !IsHex(text[at]))
            ++at;
    }
    return true;
}

} // namespace

bool MacAddress::SetText(const char* text, bool classify) {
    bytes_.fill(0);
    kind_ = Unclassified;
    SetCachedText({});
    std::string_view rest = SkipBlanks(text != nullptr ? std::string_view(text) : std::string_view());
    if (rest.empty()) return false;

    uint8_t bytes[Length];
    constexpr size_t digits = 2 * Length;
    const bool longRun = rest.size() > digits && std::all_of(rest.begin(), rest.begin() + digits + 1, IsHex);
    if (longRun)
        ReadHexBytes(rest, bytes, Length);
    else if (!ReadGroups(rest, bytes))
        return false;
    SetBytes(bytes, classify);
    return true;
}

int MacAddress::Compare(const MacAddress& other) const {
    const int order = std::memcmp(bytes_.data(), other.bytes_.data(), Length);
    return order < 0 ? 1 : order > 0 ? -1 : 0;
}

} // namespace vq
