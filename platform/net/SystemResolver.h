#pragma once

#include "platform/net/Resolver.h"

namespace vq::net {

// The C library's reentrant resolver calls (hosts file, DNS, services file as the system configures).
class SystemResolver : public Resolver {
public:
    HostAnswer HostByName(const std::string& name) override;
    HostAnswer HostByAddress(const Ipv4Bytes& address) override;
    std::optional<ServiceEntry> ServiceByName(const std::string& name, const std::string& protocol) override;
    std::optional<ServiceEntry> ServiceByPort(uint16_t networkPort, const std::string& protocol) override;

    // Answers that need more room than this are refused (LookupNoBuffers for hosts).
    static constexpr size_t MaxBuffer = 64 * 1024;
};

} // namespace vq::net
