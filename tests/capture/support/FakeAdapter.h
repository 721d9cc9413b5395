#pragma once

#include "capture/PacketAdapter.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace vq::test {

// An adapter with a chosen medium, hardware address and IPv4 address; other adapters of the set
// are given as further addresses. It records what it learns.
class FakeAdapter : public PacketAdapter {
public:
    explicit FakeAdapter(int32_t medium = 0) : medium_(medium) {}

    int32_t GetMedium() const override { return medium_; }
    bool IsOwnAddress(std::span<const uint8_t, 6> mac, bool anyAdapter) const override {
        auto same = [&](const std::array<uint8_t, 6>& own) {
            return std::equal(own.begin(), own.end(), mac.begin());
        };
        if (same(mac_)) return true;
        return anyAdapter && std::any_of(otherMacs.begin(), otherMacs.end(), same);
    }
    bool IsOwnIpAddress(uint32_t address, bool anyAdapter) const override {
        if (ip_ != 0 && address == ip_) return true;
        return anyAdapter && std::find(otherIps.begin(), otherIps.end(), address) != otherIps.end();
    }
    bool HasIpAddress() const override { return ip_ != 0; }
    void LearnIpAddress(const std::string& text) override { learned.push_back(text); }

    void SetMac(std::array<uint8_t, 6> mac) { mac_ = mac; }
    void SetIp(uint32_t ip) { ip_ = ip; }

    std::vector<std::array<uint8_t, 6>> otherMacs;
    std::vector<uint32_t> otherIps;
    std::vector<std::string> learned;

private:
    int32_t medium_;
    std::array<uint8_t, 6> mac_{};
    uint32_t ip_ = 0;
};

} // namespace vq::test
