#pragma once

#include <cstdint>
#include <string>

namespace vq {

// A TCP or UDP port with the service name and text it is known by, looked up on demand.
class IpPort {
public:
    IpPort() { Clear(); }

    // Stores the port (in network order) and protocol; forgets the service name and port text.
    void Set(uint16_t port, const char* protocol, bool isNetworkOrder);
    // A service name, or a decimal port number of at most 65535 that must be the whole text. True when
    // the service database knows the service.
    bool SetByName(const char* name, const char* protocol);
    // "service[/protocol]", the protocol "udp" when none is given.
    bool SetText(const char* text);

    const std::string& GetServiceName();
    const std::string& GetPortText();
    uint16_t GetPort(bool hostOrder) const;
    const std::string& GetProtocolName() const { return protocol_; }
    // Port 0xFFFF and no texts.
    void Clear();

    friend bool operator==(const IpPort& a, const IpPort& b) { return a.port_ == b.port_; }

private:
    uint16_t port_ = 0xFFFF; // network order
    std::string protocol_;
    std::string service_;
    std::string portText_;
};

} // namespace vq
