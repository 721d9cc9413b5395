#include "app/EngineOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace vq {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

std::optional<double> ParseDouble(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseUnsigned(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::optional<AlarmSpec> AlarmSpec::Parse(const std::string& text) {
    constexpr uint32_t kOneDay = 86'400;
    const std::vector<std::string_view> parts = Split(text, ':');
    if (parts.size() < 3 || parts.size() > 4) return std::nullopt;
    AlarmSpec spec;
    if (parts[0] == "packets")
        spec.counter = Counter::Packets;
    else if (parts[0] == "octets")
        spec.counter = Counter::Octets;
    else
        return std::nullopt;
    const std::optional<double> rate = ParseDouble(parts[1]);
    const std::optional<uint32_t> period = ParseUnsigned(parts[2]);
    if (!rate || *rate < 0.0 || !period || *period == 0 || *period > kOneDay) return std::nullopt;
    spec.rate = *rate;
    spec.periodSeconds = *period;
    if (parts.size() == 4) {
        if (parts[3] == "rising")
            spec.mode = Mode::Rising;
        else if (parts[3] == "falling")
            spec.mode = Mode::Falling;
        else if (parts[3] == "crossing")
            spec.mode = Mode::Crossing;
        else
            return std::nullopt;
    }
    return spec;
}

const char* EngineOptions::Usage() {
    return "usage: vorquel-engine [--config FILE] [--history FILE] [--adapter NAME]...\n"
           "                      [--replay FILE [--pace FACTOR]] [--alarm SPEC]... [--json] "
           "[--conversations]\n"
           "\n"
           "Runs the monitor engine without a window and prints the replies of its actions.\n"
           "\n"
           "  --config FILE     configuration database; created from the template when missing\n"
           "                    (default: a new one in a temporary folder)\n"
           "  --history FILE    history database; created when missing (default: beside the configuration)\n"
           "  --adapter NAME    capture on this interface (as `ip link` names it) or full device name;\n"
           "                    repeatable (default: every Ethernet interface)\n"
           "  --replay FILE     replay a pcap, pcapng or snoop file instead of capturing\n"
           "  --pace FACTOR     replay at FACTOR times the file's own pace (default: as fast as possible)\n"
           "  --alarm SPEC      packets|octets:RATE:PERIOD[:rising|falling|crossing], RATE per second,\n"
           "                    PERIOD in whole seconds; repeatable\n"
           "  --json            one JSON object per output line\n"
           "  --conversations   before the final table, one line per IP conversation\n"
           "  --help            this text\n";
}

std::optional<std::string> EngineOptions::Parse(int argc, const char* const* argv, EngineOptions& options) {
    bool paceGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        const auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (name == "--help") {
            options.help = true;
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--conversations") {
            options.conversations = true;
        } else if (name == "--config" || name == "--history" || name == "--replay" || name == "--adapter" ||
                   name == "--pace" || name == "--alarm") {
            const char* text = value();
            if (text == nullptr || *text == '\0') return std::string(name) + " needs a value";
            if (name == "--config") {
                options.config = text;
            } else if (name == "--history") {
                options.history = text;
            } else if (name == "--replay") {
                options.replay = text;
            } else if (name == "--adapter") {
                options.adapters.emplace_back(text);
            } else if (name == "--pace") {
                const std::optional<double> pace = ParseDouble(text);
                if (!pace || *pace <= 0.0) return std::string("--pace needs a factor above 0: ") + text;
                options.pace = *pace;
                paceGiven = true;
            } else {
                std::optional<AlarmSpec> alarm = AlarmSpec::Parse(text);
                if (!alarm)
                    return std::string(
                               "--alarm needs packets|octets:RATE:PERIOD[:rising|falling|crossing]: ") +
                           text;
                options.alarms.push_back(*alarm);
            }
        } else {
            return "unknown option: " + std::string(name);
        }
    }
    if (paceGiven && options.replay.empty()) return std::string("--pace needs --replay");
    if (!options.replay.empty() && !options.adapters.empty())
        return std::string("--replay and --adapter exclude each other");
    return std::nullopt;
}

} // namespace vq
