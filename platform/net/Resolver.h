#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq::net {

// Result codes of host look-ups, in the socket layer's numbering that the network model keeps.
enum LookupCode : int {
    LookupOk = 0,
    LookupWouldBlock = 10035, // the service takes no more look-ups now
    LookupNoBuffers = 10055,  // the answer does not fit the largest buffer
    LookupHostNotFound = 11001,
    LookupTryAgain = 11002, // also: no answer in time
    LookupNoRecovery = 11003,
    LookupNoData = 11004,
};

// The code for a resolver's h_errno value (HOST_NOT_FOUND, TRY_AGAIN, NO_RECOVERY, NO_DATA).
int LookupCodeFromHostError(int hostError);

using Ipv4Bytes = std::array<uint8_t, 4>; // network order

struct HostEntry {
    std::string name; // the official name, may be empty
    std::vector<std::string> aliases;
    std::vector<Ipv4Bytes> addresses;
};

struct HostAnswer {
    int code = LookupOk; // a LookupCode
    HostEntry entry;     // meaningful when code is LookupOk
};

struct ServiceEntry {
    std::string name;
    std::string protocol;
    uint16_t port = 0; // network order
};

// Host and service look-ups. Implementations are called from the look-up worker and from the
// caller's thread at once, so they must be safe to use concurrently.
class Resolver {
public:
    virtual ~Resolver() = default;

    virtual HostAnswer HostByName(const std::string& name) = 0;
    virtual HostAnswer HostByAddress(const Ipv4Bytes& address) = 0;
    // An empty protocol matches any.
    virtual std::optional<ServiceEntry> ServiceByName(const std::string& name,
                                                      const std::string& protocol) = 0;
    virtual std::optional<ServiceEntry> ServiceByPort(uint16_t networkPort, const std::string& protocol) = 0;

    // The resolver the program uses; the system's unless a test put another in place.
    static std::shared_ptr<Resolver> Current();
    // Puts a resolver in place and returns the one it replaces.
    static std::shared_ptr<Resolver> SetCurrent(std::shared_ptr<Resolver> resolver);
};

// Puts a resolver in place for one scope (a test) and restores the previous one after it.
class ScopedResolver {
public:
    explicit ScopedResolver(std::shared_ptr<Resolver> resolver)
        : previous_(Resolver::SetCurrent(std::move(resolver))) {}
    ~ScopedResolver() { Resolver::SetCurrent(std::move(previous_)); }
    ScopedResolver(const ScopedResolver&) = delete;
    ScopedResolver& operator=(const ScopedResolver&) = delete;

private:
    std::shared_ptr<Resolver> previous_;
};

} // namespace vq::net
