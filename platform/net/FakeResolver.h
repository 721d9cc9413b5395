#pragma once

#include "platform/net/Resolver.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace vq::net {

// A resolver for tests: answers from tables filled by the test, never from the network. Names and
// addresses it does not know are "host not found". While held, every host look-up waits until the
// test releases it, so a test can see what happens while look-ups hang.
class FakeResolver : public Resolver {
public:
    void AddHost(const std::string& name, std::vector<Ipv4Bytes> addresses,
                 std::vector<std::string> aliases = {});
    void AddReverse(const Ipv4Bytes& address, HostEntry entry);
    void SetNameCode(const std::string& name, int code);
    void SetReverseCode(const Ipv4Bytes& address, int code);
    // Port in host order.
    void AddService(const std::string& name, const std::string& protocol, uint16_t port);

    void Hold();
    void Release();
    // Waits (real time, bounded) until at least `count` look-ups are held; true when they are.
    bool WaitUntilHeld(int count, std::chrono::milliseconds limit = std::chrono::seconds(10));
    int HostCalls() const;
    // The host look-ups asked so far, in order: the name, or the address as a dotted quad.
    std::vector<std::string> CallLog() const;

    HostAnswer HostByName(const std::string& name) override;
    HostAnswer HostByAddress(const Ipv4Bytes& address) override;
    std::optional<ServiceEntry> ServiceByName(const std::string& name, const std::string& protocol) override;
    std::optional<ServiceEntry> ServiceByPort(uint16_t networkPort, const std::string& protocol) override;

private:
    void WaitWhileHeld(std::unique_lock<std::mutex>& lock, std::string call);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, HostAnswer> byName_;
    std::map<Ipv4Bytes, HostAnswer> byAddress_;
    std::vector<ServiceEntry> services_;
    bool holding_ = false;
    int held_ = 0;
    std::vector<std::string> calls_;
};

} // namespace vq::net
