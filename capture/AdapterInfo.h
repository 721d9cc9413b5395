#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class AdapterSet;

// The description of one adapter: what the registry says of it, what the driver answers, and where
// it stands.
class AdapterInfo {
public:
    static constexpr size_t kAddressSize = 32;

    // Adapter states.
    static constexpr int32_t kCreated = 0;
    static constexpr int32_t kOpen = 1;
    static constexpr int32_t kCapturing = 2;
    static constexpr int32_t kPaused = 3;
    static constexpr int32_t kStopped = 4;
    static constexpr int32_t kClosed = 5;

    std::string GetIpAddress() const { return ipAddressText; }
    std::string GetIpMask() const { return ipMaskText; }
    // The first six bytes of the current address as "%02x:%02x:%02x:%02x:%02x:%02x".
    std::string FormatCurrentAddress() const;

    bool hidden = false;
    std::string productName;
    std::string title;
    std::string manufacturer;
    std::string serviceName;
    std::string ipAddressText;
    std::string ipMaskText;
    std::string deviceName;
    std::string networkText;
    std::string broadcastText;
    int32_t medium = -1;
    uint32_t maxTotalSize = 0;
    uint64_t linkSpeed = 0; // bits per second
    std::array<uint8_t, kAddressSize> currentAddress{};
    std::string vendorDescription = "Unknown";
    int32_t state = kCreated;
    int32_t index = -1;
};

// Owned copies of adapter descriptions, as the main thread receives them.
class AdapterInfoSet {
public:
    AdapterInfoSet() = default;
    // One copy per adapter of the set, in index order.
    explicit AdapterInfoSet(const AdapterSet& adapters);
    explicit AdapterInfoSet(const AdapterInfo& info);

    int GetSize() const { return static_cast<int>(infos_.size()); }
    const AdapterInfo* GetAt(int index) const;

private:
    std::vector<std::unique_ptr<AdapterInfo>> infos_;
};

} // namespace vq
