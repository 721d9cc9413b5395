#include "runtime/CBandwidth.h"

#include "platform/core/Format.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <limits>

namespace vq {
namespace {

constexpr std::array<std::int64_t, CBandwidth::kEntryCount> kSpeeds = {
    0,          9'600,      14'400,      28'800,      33'000,        56'000,        128'000,
    256'000,    384'000,    512'000,     768'000,     1'000'000,     1'500'000,     1'544'000,
    3'000'000,  4'500'000,  6'000'000,   10'000'000,  12'000'000,    20'000'000,    37'000'000,
    45'000'000, 50'000'000, 100'000'000, 148'000'000, 1'000'000'000, 2'500'000'000,
};

struct Unit {
    const char* name;
    int decimals; // the unit is 10 to this power
};

constexpr Unit kUnits[] = {{"GB", 9}, {"MB", 6}, {"KB", 3}};

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a signed decimal number at the start of the text (after white space) scaled by 10^decimals,
// keeping that many fraction digits exactly and truncating the rest. Nothing readable or a value
// beyond 64 bits gives 0.
std::int64_t ReadScaled(std::string_view text, int decimals, bool fraction) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

    constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::uint64_t value = 0;
    bool digits = false;
    const auto push = [&value](char digit) {
        if (value > (kMax - (digit - '0')) / 10) return false;
        value = value * 10 + static_cast<std::uint64_t>(digit - '0');
        return true;
    };
    for (; at < text.size() && IsDigit(text[at]); ++at, digits = true) {
        if (!push(text[at])) return 0;
    }
    int kept = 0;
    if (fraction && at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && IsDigit(text[at]); ++at, digits = true) {
            if (kept == decimals) continue;
            if (!push(text[at])) return 0;
            ++kept;
        }
    }
    if (!digits) return 0;
    for (; kept < decimals; ++kept) {
        if (!push('0')) return 0;
    }
    const auto signedValue = static_cast<std::int64_t>(value);
    return negative ? -signedValue : signedValue;
}

} // namespace

int CBandwidth::IndexOf(std::int64_t speed) {
    const auto found = std::find(kSpeeds.begin(), kSpeeds.end(), speed);
    return found != kSpeeds.end() ? static_cast<int>(found - kSpeeds.begin()) : -1;
}

std::int64_t CBandwidth::GetAt(int index) {
    return index >= 0 && index < kEntryCount ? kSpeeds[static_cast<std::size_t>(index)] : -1;
}

std::string CBandwidth::Format(std::int64_t speed) {
    if (speed <= 0) return {};
    for (const Unit& unit : kUnits) {
        std::int64_t scale = 1;
        for (int i = 0; i < unit.decimals; ++i)
            scale *= 10;
        if (speed >= scale) {
            return vq::Format("%" PRId64 ".%" PRId64 " %s", speed / scale, speed % scale / (scale / 10),
                              unit.name);
        }
    }
    return vq::Format("%" PRId64 " ", speed);
}

std::int64_t CBandwidth::Parse(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    for (const Unit& unit : kUnits) {
        if (upper.find(unit.name) != std::string::npos) return ReadScaled(upper, unit.decimals, true);
    }
    return ReadScaled(upper, 0, false);
}

} // namespace vq
