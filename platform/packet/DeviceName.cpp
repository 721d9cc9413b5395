#include "platform/packet/DeviceName.h"

#include <charconv>
#include <cmath>

namespace vq {
namespace {

template <typename T> std::optional<T> ParseNumber(std::string_view text, int base = 10) {
    T value{};
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<std::pair<uint64_t, uint64_t>> ParsePair(std::string_view text) {
    auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    auto first = ParseNumber<uint64_t>(text.substr(0, colon));
    auto second = ParseNumber<uint64_t>(text.substr(colon + 1));
    if (!first || !second || *first == 0) return std::nullopt;
    return std::make_pair(*first, *second);
}

std::optional<std::array<uint8_t, 6>> ParseMac(std::string_view text) {
    std::array<uint8_t, 6> mac{};
    for (size_t i = 0; i < mac.size(); ++i) {
        if (text.size() < 2) return std::nullopt;
        auto byte = ParseNumber<uint8_t>(text.substr(0, 2), 16);
        if (!byte) return std::nullopt;
        mac[i] = *byte;
        text.remove_prefix(2);
        if (i + 1 < mac.size()) {
            if (text.empty() || (text[0] != ':' && text[0] != '-')) return std::nullopt;
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) return std::nullopt;
    return mac;
}

bool ApplyOption(std::string_view option, ReplayOptions& options) {
    if (option.empty()) return true;
    if (option == "openfail") {
        options.openFail = true;
        return true;
    }
    auto equals = option.find('=');
    if (equals == std::string_view::npos) return false;
    auto key = option.substr(0, equals);
    auto value = option.substr(equals + 1);
    if (key == "pace") {
        std::string copy(value);
        char* end = nullptr;
        double pace = std::strtod(copy.c_str(), &end);
        if (copy.empty() || *end != '\0' || !std::isfinite(pace) || pace < 0) return false;
        options.pace = pace;
    } else if (key == "mac") {
        auto mac = ParseMac(value);
        if (!mac) return false;
        options.mac = *mac;
    } else if (key == "ip") {
        auto slash = value.find('/');
        if (slash == std::string_view::npos) return false;
        auto ip = ParseIpv4(value.substr(0, slash));
        auto length = ParseNumber<int>(value.substr(slash + 1));
        if (!ip || !length || *length < 0 || *length > 32) return false;
        options.ip = *ip;
        options.prefixLength = *length;
    } else if (key == "speed") {
        auto speed = ParseNumber<uint64_t>(value);
        if (!speed) return false;
        options.speed = *speed;
    } else if (key == "gap" || key == "back") {
        auto pair = ParsePair(value);
        if (!pair) return false;
        (key == "gap" ? options.gaps : options.backs).push_back({pair->first, pair->second});
    } else if (key == "dup") {
        auto frame = ParseNumber<uint64_t>(value);
        if (!frame || *frame == 0) return false;
        options.duplicates.push_back(*frame);
    } else if (key == "status") {
        auto colon = value.find(':');
        if (colon == std::string_view::npos) return false;
        auto frame = ParseNumber<uint64_t>(value.substr(0, colon));
        auto code = ParseNumber<uint32_t>(value.substr(colon + 1), 16);
        if (!frame || *frame == 0 || !code) return false;
        options.statuses.push_back({*frame, *code});
    } else {
        return false;
    }
    return true;
}

} // namespace

std::optional<uint32_t> ParseIpv4(std::string_view text) {
    uint32_t ip = 0;
    for (int part = 0; part < 4; ++part) {
        auto dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return std::nullopt;
        auto number = ParseNumber<unsigned>(text.substr(0, dot));
        if (!number || *number > 255 || dot > 3) return std::nullopt;
        ip = ip << 8 | *number;
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return ip;
}

std::optional<DeviceName> DeviceName::Parse(std::string_view name) {
    if (!name.starts_with(kPrefix)) return std::nullopt;
    name.remove_prefix(kPrefix.size());
    DeviceName device;
    if (!name.starts_with(kReplayPrefix)) {
        if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
        device.interface_ = name;
        return device;
    }
    name.remove_prefix(kReplayPrefix.size());
    device.replay_ = true;
    auto question = name.rfind('?');
    device.path_ = name.substr(0, question);
    if (device.path_.empty()) return std::nullopt;
    if (question != std::string_view::npos) {
        auto options = name.substr(question + 1);
        while (!options.empty()) {
            auto amp = options.find('&');
            if (!ApplyOption(options.substr(0, amp), device.options_)) return std::nullopt;
            if (amp == std::string_view::npos) break;
            options.remove_prefix(amp + 1);
        }
    }
    return device;
}

} // namespace vq
