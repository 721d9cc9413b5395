#include "app/EngineOptions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

std::optional<std::string> ParseLine(std::vector<const char*> arguments, EngineOptions& options) {
    arguments.insert(arguments.begin(), "vorquel-engine");
    return EngineOptions::Parse(static_cast<int>(arguments.size()), arguments.data(), options);
}

TEST(EngineOptionsTest, TakesEveryOptionOfTheFixedCommandLine) {
    EngineOptions options;
    ASSERT_EQ(ParseLine({"--config", "c.vqd", "--history", "h.vqh", "--replay", "f.pcap", "--pace", "2.5",
                         "--alarm", "octets:1000:60:rising", "--alarm", "packets:5.5:1", "--json",
                         "--conversations"},
                        options),
              std::nullopt);
    EXPECT_EQ(options.config, "c.vqd");
    EXPECT_EQ(options.history, "h.vqh");
    EXPECT_EQ(options.replay, "f.pcap");
    EXPECT_EQ(options.pace, 2.5);
    ASSERT_EQ(options.alarms.size(), 2u);
    EXPECT_EQ(options.alarms[0].counter, AlarmSpec::Counter::Octets);
    EXPECT_EQ(options.alarms[0].mode, AlarmSpec::Mode::Rising);
    EXPECT_EQ(options.alarms[0].periodSeconds, 60u);
    EXPECT_EQ(options.alarms[1].rate, 5.5);
    EXPECT_EQ(options.alarms[1].mode, AlarmSpec::Mode::Crossing);
    EXPECT_TRUE(options.json);
    EXPECT_TRUE(options.conversations);
}

TEST(EngineOptionsTest, RefusesWhatIsMalformedWithOneLine) {
    const std::vector<std::vector<const char*>> lines{
        {"--bogus"},
        {"--config"},
        {"--config", ""},
        {"--pace", "2"},
        {"--replay", "f.pcap", "--pace", "0"},
        {"--replay", "f.pcap", "--pace", "nan"},
        {"--replay", "f.pcap", "--adapter", "eth0"},
        {"--alarm", "frames:10:5"},
        {"--alarm", "packets:-1:5"},
        {"--alarm", "packets:10:0"},
        {"--alarm", "packets:10:1.5"},
        {"--alarm", "packets:10:86401"},
        {"--alarm", "packets:10:5:sideways"},
        {"--alarm", "packets:10:5:rising:extra"},
        {"--alarm", "packets:inf:5"},
    };
    for (const auto& line : lines) {
        EngineOptions options;
        const std::optional<std::string> error = ParseLine(line, options);
        ASSERT_TRUE(error.has_value()) << line[0] << " " << (line.size() > 1 ? line[1] : "");
        EXPECT_EQ(error->find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace vq
