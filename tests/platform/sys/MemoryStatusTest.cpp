#include "platform/sys/MemoryStatus.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(MemoryStatus, ParsesAvailableMemoryPlusFreeSwapInBytes) {
    struct Case {
        const char* text;
        bool ok;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {"MemTotal:  100 kB\nMemAvailable:    600 kB\nSwapTotal: 9 kB\nSwapFree:  2 kB\n", true, 602 * 1024},
        {"SwapFree: 0 kB\nMemAvailable: 0 kB", true, 0},
        {"MemAvailable: 8589934592 kB\nSwapFree: 8589934592 kB\n", true, 2 * 8589934592ULL * 1024},
        {"MemAvailable: 18014398509481984 kB\nSwapFree: 1 kB\n", false, 0},
        {"MemAvailable: 600 kB\n", false, 0},
        {"MemAvailableX: 600 kB\nSwapFree: 1 kB\n", false, 0},
        {"MemAvailable: lots kB\nSwapFree: 1 kB\n", false, 0},
        {"MemAvailable: 600 MB\nSwapFree: 1 kB\n", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto status = ParseMemInfo(c.text);
        ASSERT_EQ(status.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(status->availablePageFile, c.bytes);
        }
    }
}

TEST(MemoryStatus, InstalledProbeReplacesTheSystemAndCanBeRemoved) {
    SetMemoryProbe([] { return MemoryStatus{524'288}; });
    EXPECT_EQ(QueryMemoryStatus().availablePageFile, 524'288u);
    SetMemoryProbe({});
    EXPECT_GT(QueryMemoryStatus().availablePageFile, 0u);
}

} // namespace
} // namespace vq
