#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vq {

// The faults and identity a replay adapter is told to show, from the options of its device name.
struct ReplayOptions {
    struct Gap {
        uint64_t frame; // 1-based frame number
        uint64_t count; // sequence numbers skipped before it
    };
    struct Status {
        uint64_t frame;
        uint32_t code;
    };

    double pace = 0; // 0: as fast as reads are posted; F: the file's gaps divided by F
    std::array<uint8_t, 6> mac{};
    std::optional<uint32_t> ip; // host order
    int prefixLength = 0;
    uint64_t speed = 0; // bits per second
    std::vector<Gap> gaps;
    std::vector<uint64_t> duplicates; // frames repeating the previous sequence number
    std::vector<Gap> backs;           // frames whose sequence number falls count below the expected one
    std::vector<Status> statuses;
    bool openFail = false;
};

// A parsed adapter device name: "\Device\<ifname>" or "\Device\replay:<path>?<options>", the last
// '?' starting the options, which are separated by '&'.
class DeviceName {
public:
    static constexpr std::string_view kPrefix = "\\Device\\";
    static constexpr std::string_view kReplayPrefix = "replay:";

    // nullopt when the name has neither form or an option is malformed.
    static std::optional<DeviceName> Parse(std::string_view name);

    bool IsReplay() const { return replay_; }
    const std::string& InterfaceName() const { return interface_; }
    const std::string& Path() const { return path_; }
    const ReplayOptions& Options() const { return options_; }

private:
    bool replay_ = false;
    std::string interface_;
    std::string path_;
    ReplayOptions options_;
};

// Dotted IPv4 text into host order; nullopt unless exactly four numbers 0-255.
std::optional<uint32_t> ParseIpv4(std::string_view text);

} // namespace vq
