#include "netmodel/NbAddress.h"

#include <algorithm>
#include <cstring>

namespace vq {

NbAddress::NbAddress() {
    Reset(LookupInvalid);
}

NbAddress::NbAddress(const uint8_t* bytes, bool classify) {
    SetBytes(bytes, classify);
}

NbAddress::NbAddress(const char* text, bool classify) {
    SetText(text, classify);
}

NbAddress::NbAddress(const NbAddress& other) : NameEntry(other), bytes_(other.bytes_) {
    if (!other.IsValid()) Reset(LookupInvalid);
}

NbAddress& NbAddress::operator=(const NbAddress& other) {
    if (this == &other) return *this;
    NameEntry::operator=(other);
    bytes_ = other.bytes_;
    if (!other.IsValid()) Reset(LookupInvalid);
    return *this;
}

NbAddress& NbAddress::Invalid() {
    static NbAddress invalid;
    static const bool ready = [] {
        invalid.SetCachedText(std::string(NameLength, '0'));
        return invalid.MakeInvalidConstant();
    }();
    (void)ready;
    return invalid;
}

void NbAddress::Reset(int lookupState) {
    NameEntry::Reset(lookupState);
    bytes_.fill(0);
}

NameKey NbAddress::KeyFromBytes(const uint8_t* bytes) {
    uint64_t head = 0;
    uint64_t tail = 0;
    for (int i = 0; i < 8; ++i)
        head = head << 8 | bytes[i];
    for (int i = 8; i < Length; ++i)
        tail = tail << 8 | bytes[i];
    return {head, tail};
}

void NbAddress::SetBytes(const uint8_t* bytes, bool) {
    if (bytes == nullptr) {
        Reset(LookupInvalid);
        return;
    }
    std::memcpy(bytes_.data(), bytes, Length);
    // The name runs to the first zero byte, or over all 16 bytes when there is none.
    const auto* chars = reinterpret_cast<const char*>(bytes_.data());
    std::string name(chars, static_cast<size_t>(std::find(chars, chars + Length, '\0') - chars));
    SetNameAt(name, 0);
    SetCachedText(std::move(name));
}

bool NbAddress::SetText(const char* text, bool classify) {
    std::string_view name = text != nullptr ? std::string_view(text) : std::string_view();
    if (name.empty()) name = "?";
    if (name.size() > static_cast<size_t>(NameLength)) return false;
    std::array<uint8_t, Length> bytes = bytes_;
    std::fill(bytes.begin(), bytes.begin() + NameLength, static_cast<uint8_t>(' '));
    std::memcpy(bytes.data(), name.data(), name.size());
    SetBytes(bytes.data(), classify);
    return true;
}

int NbAddress::Compare(const NbAddress& other) const {
    const int order = std::memcmp(bytes_.data(), other.bytes_.data(), Length);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

} // namespace vq
