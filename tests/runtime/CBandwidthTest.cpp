#include "runtime/CBandwidth.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(CBandwidth, FormatsOneTruncatedDecimal) {
    const struct {
        std::int64_t speed;
        const char* text;
    } cases[] = {
        {1'544'000, "1.5 MB"},
        {9'600, "9.6 KB"},
        {56'000, "56.0 KB"},
        {1'000'000'000, "1.0 GB"},
        {2'500'000'000, "2.5 GB"},
        {1'999, "1.9 KB"},
        {999, "999 "},
        {1, "1 "},
        {0, ""},
        {-1, ""},
        {static_cast<std::int32_t>(2'500'000'000u), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CBandwidth::Format(c.speed), c.text) << c.speed;
}

TEST(CBandwidth, TableLookupsBothWays) {
    EXPECT_EQ(CBandwidth::IndexOf(1'544'000), 13);
    EXPECT_EQ(CBandwidth::IndexOf(0), 0);
    EXPECT_EQ(CBandwidth::IndexOf(2'500'000'000), 26);
    EXPECT_EQ(CBandwidth::IndexOf(1'544'001), -1);
    EXPECT_EQ(CBandwidth::GetAt(26), 2'500'000'000);
    EXPECT_EQ(CBandwidth::GetAt(27), -1);
    EXPECT_EQ(CBandwidth::GetAt(-1), -1);
}

TEST(CBandwidth, ParsesUnitsAndExactFractions) {
    const struct {
        const char* text;
        std::int64_t speed;
    } cases[] = {
        {"10 mb", 10'000'000},
        {"64KB", 64'000},
        {"", 0},
        {"1.5 MB", 1'500'000},
        {"4.35 KB", 4'350},
        {"2.5 GB", 2'500'000'000},
        {"0.1 gb", 100'000'000},
        {"1.23456789 KB", 1'234},
        {".5 KB", 500},
        {"  7 kb", 7'000},
        {"1544000", 1'544'000},
        {"12.9", 12},
        {"MB", 0},
        {"fast", 0},
        {"-2 KB", -2'000},
        {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", 0},
        {"9223372036854775807 KB", 0},
        {"9223372036.854775807 GB", INT64_MAX},
        {"9223372036.854775808 GB", 0},
        {"99999999999999999999999 GB", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CBandwidth::Parse(c.text), c.speed) << '"' << c.text << '"';
}

TEST(CBandwidth, ParseReadsBackEveryFormattedEntryToItsShownDigit) {
    for (int i = 0; i < CBandwidth::kEntryCount; ++i) {
        const std::int64_t speed = CBandwidth::GetAt(i);
        std::int64_t shown = speed;
        for (std::int64_t unit : {1'000'000'000LL, 1'000'000LL, 1'000LL}) {
            if (speed >= unit) {
                shown = speed / (unit / 10) * (unit / 10);
                break;
            }
        }
        EXPECT_EQ(CBandwidth::Parse(CBandwidth::Format(speed)), shown) << speed;
    }
}

} // namespace
} // namespace vq
