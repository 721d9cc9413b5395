#pragma once

#include <cstdint>
#include <string>

namespace vq {

// What the interface table reads of the capture adapters.
class AdapterList {
public:
    virtual ~AdapterList() = default;
    virtual int GetAdapterCount() const = 0;
    virtual std::string GetServiceName(int index) const = 0;
    virtual std::string GetDescription(int index) const = 0;
    virtual std::string GetIpAddressText(int index) const = 0;
    // 6 bytes.
    virtual const uint8_t* GetCurrentAddress(int index) const = 0;
    virtual uint32_t GetMedium(int index) const = 0;
    virtual uint32_t GetMaximumTotalSize(int index) const = 0;
    virtual uint64_t GetLinkSpeed(int index) const = 0;
};

} // namespace vq
