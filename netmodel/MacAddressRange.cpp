#include "netmodel/MacAddressRange.h"

#include <vector>

namespace vq {

MacAddressRange::MacAddressRange(const char* low, const char* high) : low_(low, false) {
    if (high != nullptr && high_.SetText(high, false)) single_ = false;
}

MacAddressRange::MacAddressRange(const char* low, const MacAddress* high) : low_(low, false) {
    if (high != nullptr && high->IsValid()) {
        high_ = *high;
        single_ = false;
    }
}

MacAddressRange::MacAddressRange(const MacAddress& low, const MacAddress* high) : low_(low) {
    if (high != nullptr && high->IsValid()) {
        high_ = *high;
        single_ = false;
    }
}

int MacAddressRange::Compare(const MacAddress& address) const {
    if (single_) return low_.Compare(address);
    if (low_.Compare(address) == -1) return -1;
    if (high_.Compare(address) == 1) return 1;
    return 0;
}

bool RangeTableContains(std::span<const MacAddressRange> table, const MacAddress& address) {
    if (table.empty()) return false;
    if (table.size() == 1) return table.front().Contains(address);
    size_t low = 0;
    size_t high = table.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const int order = table[middle].Compare(address);
        if (order == 0) return true;
        if (order == 1)
            low = middle + 1;
        else
            high = middle;
    }
    return false;
}

namespace {

std::vector<MacAddressRange> BuildTable(std::initializer_list<std::pair<const char*, const char*>> texts) {
    std::vector<MacAddressRange> table;
    table.reserve(texts.size());
    for (const auto& [low, high] : texts)
        table.emplace_back(low, high);
    return table;
}

} // namespace

std::span<const MacAddressRange> WellKnownMulticastTable() {
    static const std::vector<MacAddressRange> table = BuildTable({
        {"01:80:c2:00:00:00", nullptr},
        {"09:00:02:04:00:01", nullptr},
        {"09:00:02:04:04:02", nullptr},
        {"09:00:07:00:00:00", "09:00:07:00:00:fc"},
        {"09:00:07:ff:ff:ff", nullptr},
        {"09:00:09:00:00:01", nullptr},
        {"09:00:09:00:00:04", nullptr},
        {"09:00:1e:00:00:00", nullptr},
        {"09:00:2b:00:00:00", nullptr},
        {"09:00:2b:00:00:03", nullptr},
        {"09:00:2b:00:00:0f", nullptr},
        {"09:00:2b:01:00:01", nullptr},
        {"09:00:4e:00:00:02", nullptr},
        {"09:00:7c:02:00:05", nullptr},
        {"09:00:7c:05:00:01", nullptr},
        {"0d:1e:15:ba:dd:06", nullptr},
        {"ab:00:00:01:00:00", nullptr},
        {"ab:00:00:02:00:00", nullptr},
        {"ab:00:00:03:00:00", nullptr},
        {"ab:00:00:05:00:00", "ab:00:03:ff:ff:ff"},
        {"ab:00:03:00:00:00", nullptr},
        {"ab:00:04:00:00:00", "ab:00:04:00:ff:ff"},
        {"ab:00:04:01:00:00", "ab:00:04:01:ff:ff"},
        {"ab:00:04:04:00:00", nullptr},
        {"cf:00:00:00:00:00", nullptr},
    });
    return table;
}

std::span<const MacAddressRange> BroadcastRange() {
    static const std::vector<MacAddressRange> table = BuildTable({{"ff:ff:ff:ff:ff:ff", nullptr}});
    return table;
}

} // namespace vq
