#include "netmodel/IpxAddress.h"

#include "netmodel/AddressText.h"

#include <algorithm>
#include <cstring>

namespace vq {

using namespace address_text;

IpxAddress::IpxAddress() {
    Reset(LookupInvalid);
}

IpxAddress::IpxAddress(const uint8_t* bytes, bool classify) {
    SetBytes(bytes, classify);
}

IpxAddress::IpxAddress(const char* text, bool classify) {
    SetText(text, classify);
}

IpxAddress::IpxAddress(const IpxAddress& other) : NameEntry(other), bytes_(other.bytes_), kind_(other.kind_) {
    if (!other.IsValid()) Reset(LookupInvalid);
}

IpxAddress& IpxAddress::operator=(const IpxAddress& other) {
    if (this == &other) return *this;
    NameEntry::operator=(other);
    bytes_ = other.bytes_;
    kind_ = other.kind_;
    if (!other.IsValid()) Reset(LookupInvalid);
    return *this;
}

IpxAddress& IpxAddress::Invalid() {
    static IpxAddress invalid;
    static const bool ready = invalid.MakeInvalidConstant();
    (void)ready;
    return invalid;
}

void IpxAddress::Reset(int lookupState) {
    NameEntry::Reset(lookupState);
    bytes_.fill(0);
    kind_ = Unclassified;
}

std::string IpxAddress::FormatText() const {
    std::string text;
    text.reserve(2 * Length + 1);
    AppendHexBytes(text, GetNetwork(), NetworkLength);
    text += ',';
    AppendHexBytes(text, GetNode(), NodeLength);
    return text;
}

NameKey IpxAddress::KeyFromBytes(const uint8_t* bytes) {
    uint64_t value = 0;
    for (int i = 2; i < Length; ++i)
        value = value << 8 | bytes[i];
    return {value, uint64_t{bytes[0]} << 8 | bytes[1]};
}

void IpxAddress::SetBytes(const uint8_t* bytes, bool classify) {
    if (bytes == nullptr) {
        Reset(LookupInvalid);
        return;
    }
    std::memcpy(bytes_.data(), bytes, Length);
    kind_ = Unclassified;
    if (classify)
        kind_ = std::all_of(GetNode(), GetNode() + NodeLength, [](uint8_t b) { return b == 0xFF; })
                    ? BroadcastNode
                    : Ordinary;
    SetCachedText(FormatText());
}

namespace {

bool AllHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsHex);
}

bool ParseIpx(std::string_view text, uint8_t* bytes) {
    constexpr size_t networkDigits = 2 * IpxAddress::NetworkLength;
    constexpr size_t nodeDigits = 2 * IpxAddress::NodeLength;
    const size_t first = static_cast<size_t>(std::find_if(text.begin(), text.end(), IsHex) - text.begin());
    const size_t last = static_cast<size_t>(std::find_if(text.rbegin(), text.rend(), IsHex) - text.rbegin());
    if (first == text.size()) return false;
    text = text.substr(first, text.size() - first - last);
    if (text.size() < nodeDigits) return false;
    if (text.size() == nodeDigits) {
        if (!AllHex(text)) return false;
        ReadHexBytes(text, bytes + IpxAddress::NetworkLength, IpxAddress::NodeLength);
        return true;
    }
    const std::string_view network = text.substr(0, networkDigits);
    if (!AllHex(network)) return false;
    std::string_view node = text.substr(networkDigits);
    node.remove_prefix(static_cast<size_t>(std::find_if(node.begin(), node.end(), IsHex) - node.begin()));
    if (node.size() != nodeDigits || !AllHex(node)) return false;
    ReadHexBytes(network, bytes, IpxAddress::NetworkLength);
    ReadHexBytes(node, bytes + IpxAddress::NetworkLength, IpxAddress::NodeLength);
    return true;
}

} // namespace

bool IpxAddress::SetText(const char* text, bool classify) {
    bytes_.fill(0);
    kind_ = Unclassified;
    SetCachedText({});
    const std::string_view given = text != nullptr ? std::string_view(text) : std::string_view();
    uint8_t bytes[Length] = {};
    if (!given.empty() && given != "?" && !ParseIpx(given, bytes)) return false;
    SetBytes(bytes, classify);
    return true;
}

namespace {

uint32_t LittleEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

int Order(uint32_t a, uint32_t b) {
    return a < b ? 1 : a > b ? -1 : 0;
}

bool IsZero(const uint8_t* bytes, int count) {
    return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0; });
}

} // namespace

int IpxAddress::Compare(const IpxAddress& other, bool wildcard) const {
    if (int order = Order(LittleEndian(GetNetwork(), 4), LittleEndian(other.GetNetwork(), 4))) return order;
    if (wildcard && (IsZero(GetNode(), NodeLength) || IsZero(other.GetNode(), NodeLength))) return 0;
    if (int order = Order(LittleEndian(GetNode(), 2), LittleEndian(other.GetNode(), 2))) return order;
    return Order(LittleEndian(GetNode() + 2, 4), LittleEndian(other.GetNode() + 2, 4));
}

} // namespace vq
