#include "platform/net/FakeResolver.h"

#include <arpa/inet.h>
#include <cstdio>

namespace vq::net {

void FakeResolver::AddHost(const std::string& name, std::vector<Ipv4Bytes> addresses,
                           std::vector<std::string> aliases) {
    std::lock_guard lock(mutex_);
    byName_[name] = {LookupOk, {name, std::move(aliases), std::move(addresses)}};
}

void FakeResolver::AddReverse(const Ipv4Bytes& address, HostEntry entry) {
    std::lock_guard lock(mutex_);
    byAddress_[address] = {LookupOk, std::move(entry)};
}

void FakeResolver::SetNameCode(const std::string& name, int code) {
    std::lock_guard lock(mutex_);
    byName_[name] = {code, {}};
}

void FakeResolver::SetReverseCode(const Ipv4Bytes& address, int code) {
    std::lock_guard lock(mutex_);
    byAddress_[address] = {code, {}};
}

void FakeResolver::AddService(const std::string& name, const std::string& protocol, uint16_t port) {
    std::lock_guard lock(mutex_);
    services_.push_back({name, protocol, htons(port)});
}

void FakeResolver::Hold() {
    std::lock_guard lock(mutex_);
    holding_ = true;
}

void FakeResolver::Release() {
    {
        std::lock_guard lock(mutex_);
        holding_ = false;
    }
    changed_.notify_all();
}

bool FakeResolver::WaitUntilHeld(int count, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return held_ >= count; });
}

int FakeResolver::HostCalls() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(calls_.size());
}

std::vector<std::string> FakeResolver::CallLog() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeResolver::WaitWhileHeld(std::unique_lock<std::mutex>& lock, std::string call) {
    calls_.push_back(std::move(call));
    ++held_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !holding_; });
    --held_;
}

HostAnswer FakeResolver::HostByName(const std::string& name) {
    std::unique_lock lock(mutex_);
    WaitWhileHeld(lock, name);
    auto found = byName_.find(name);
    return found != byName_.end() ? found->second : HostAnswer{LookupHostNotFound, {}};
}

HostAnswer FakeResolver::HostByAddress(const Ipv4Bytes& address) {
    std::unique_lock lock(mutex_);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
    WaitWhileHeld(lock, text);
    auto found = byAddress_.find(address);
    return found != byAddress_.end() ? found->second : HostAnswer{LookupHostNotFound, {}};
}

std::optional<ServiceEntry> FakeResolver::ServiceByName(const std::string& name,
                                                        const std::string& protocol) {
    std::lock_guard lock(mutex_);
    for (const auto& service : services_)
        if (service.name == name && (protocol.empty() || service.protocol == protocol)) return service;
    return std::nullopt;
}

std::optional<ServiceEntry> FakeResolver::ServiceByPort(uint16_t networkPort, const std::string& protocol) {
    std::lock_guard lock(mutex_);
    for (const auto& service : services_)
        if (service.port == networkPort && (protocol.empty() || service.protocol == protocol)) return service;
    return std::nullopt;
}

} // namespace vq::net
