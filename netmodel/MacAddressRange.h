#pragma once

#include "netmodel/MacAddress.h"

#include <span>

namespace vq {

// A MAC address or an inclusive range of them. Made without a (valid) high end it is a single address.
class MacAddressRange {
public:
    MacAddressRange(const char* low, const char* high);
    MacAddressRange(const char* low, const MacAddress* high);
    MacAddressRange(const MacAddress& low, const MacAddress* high);
    MacAddressRange(const MacAddressRange& other) = default;
    MacAddressRange& operator=(const MacAddressRange& other) = default;

    // 1 when the whole range sorts before the address, -1 after it, 0 when it holds the address.
    int Compare(const MacAddress& address) const;
    bool Contains(const MacAddress& address) const { return Compare(address) == 0; }

    const MacAddress& GetLow() const { return low_; }
    const MacAddress& GetHigh() const { return high_; }
    bool IsSingle() const { return single_; }

private:
    MacAddress low_;
    MacAddress high_;
    bool single_ = true;
};

// Binary search over a table kept in ascending order of the low ends.
bool RangeTableContains(std::span<const MacAddressRange> table, const MacAddress& address);

// The multicast addresses of well-known protocols, ascending.
std::span<const MacAddressRange> WellKnownMulticastTable();
// The one broadcast address ff:ff:ff:ff:ff:ff.
std::span<const MacAddressRange> BroadcastRange();

} // namespace vq
