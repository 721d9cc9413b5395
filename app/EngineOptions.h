#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vq {

// An alarm asked for on the command line: "packets|octets:RATE:PERIOD[:rising|falling|crossing]".
struct AlarmSpec {
    enum class Counter { Packets, Octets };
    enum class Mode { Rising, Falling, Crossing };

    Counter counter = Counter::Packets;
    double rate = 0.0; // per second
    uint32_t periodSeconds = 0;
    Mode mode = Mode::Crossing;

    // nullopt when the text does not have that form, the rate is negative or not finite, or the
    // period is not a whole number of seconds from 1 to one day.
    static std::optional<AlarmSpec> Parse(const std::string& text);
};

// The command line of the headless engine.
struct EngineOptions {
    std::string config;
    std::string history;
    std::vector<std::string> adapters;
    std::string replay;
    double pace = 0.0; // 0: as fast as possible
    std::vector<AlarmSpec> alarms;
    bool json = false;
    bool conversations = false;
    bool help = false;

    // Fills `options` or answers the one line that says what is wrong.
    static std::optional<std::string> Parse(int argc, const char* const* argv, EngineOptions& options);
    static const char* Usage();
};

} // namespace vq
