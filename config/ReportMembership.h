#pragma once

#include <array>
#include <cstdint>

namespace vq {

// The report-membership bits of a device or network interface: one bit per report number 1-128.
// Numbers 1-32 keep the bits that stored databases already hold (word (n - 1) mod 4, bit n - 1);
// 33-128 take the 96 bits those leave free, so no two report numbers ever share a bit. Report
// numbers are row IDs that only grow; numbers outside 1-128 have no bit.
class ReportMembership {
public:
    static constexpr int kWords = 4;
    static constexpr int kMaxReport = 128;

    uint32_t GetWord(int index) const { return IsWordIndex(index) ? m_Words[index] : 0; }
    void SetWord(int index, uint32_t value) {
        if (IsWordIndex(index)) m_Words[index] = value;
    }

    bool IsMember(int report) const;
    // Answers false, changing nothing, for a report number that has no bit.
    bool SetMember(int report, bool member);

private:
    static bool IsWordIndex(int index) { return index >= 0 && index < kWords; }

    std::array<uint32_t, kWords> m_Words{};
};

} // namespace vq
