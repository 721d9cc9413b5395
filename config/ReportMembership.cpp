#include "config/ReportMembership.h"

#include <optional>

namespace vq {

namespace {

struct BitPlace {
    int word;
    uint32_t mask;
};

std::optional<BitPlace> PlaceOf(int report) {
    if (report < 1 || report > ReportMembership::kMaxReport) return std::nullopt;
    const int k = report - 1;
    return BitPlace{(k + k / 32) % ReportMembership::kWords, uint32_t{1} << (k % 32)};
}

} // namespace

bool ReportMembership::IsMember(int report) const {
    const auto place = PlaceOf(report);
    return place && (m_Words[place->word] & place->mask) != 0;
}

bool ReportMembership::SetMember(int report, bool member) {
    const auto place = PlaceOf(report);
    if (!place) return false;
    if (member)
        m_Words[place->word] |= place->mask;
    else
        m_Words[place->word] &= ~place->mask;
    return true;
}

} // namespace vq
