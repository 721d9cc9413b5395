#include "platform/net/SystemResolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <vector>

namespace vq::net {

namespace {

constexpr size_t FirstBuffer = 1024;

HostEntry CopyHostEntry(const hostent& host) {
    HostEntry entry;
    if (host.h_name != nullptr) entry.name = host.h_name;
    for (char** alias = host.h_aliases; alias != nullptr && *alias != nullptr; ++alias)
        entry.aliases.emplace_back(*alias);
    if (host.h_addrtype == AF_INET && host.h_length == 4) {
        for (char** address = host.h_addr_list; address != nullptr && *address != nullptr; ++address) {
            Ipv4Bytes bytes;
            std::memcpy(bytes.data(), *address, bytes.size());
            entry.addresses.push_back(bytes);
        }
    }
    return entry;
}

// Runs one reentrant host call, growing its buffer while the answer does not fit.
template <typename Call> HostAnswer RunHostCall(Call call) {
    std::vector<char> buffer(FirstBuffer);
    for (;;) {
        hostent host{};
        hostent* result = nullptr;
        int hostError = 0;
        const int status = call(&host, buffer.data(), buffer.size(), &result, &hostError);
        if (status == ERANGE) {
            if (buffer.size() >= SystemResolver::MaxBuffer) return {LookupNoBuffers, {}};
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (result == nullptr)
            return {LookupCodeFromHostError(hostError == 0 ? HOST_NOT_FOUND : hostError), {}};
        return {LookupOk, CopyHostEntry(*result)};
    }
}

template <typename Call> std::optional<ServiceEntry> RunServiceCall(Call call) {
    std::vector<char> buffer(FirstBuffer);
    for (;;) {
        servent service{};
        servent* result = nullptr;
        const int status = call(&service, buffer.data(), buffer.size(), &result);
        if (status == ERANGE) {
            if (buffer.size() >= SystemResolver::MaxBuffer) return std::nullopt;
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (result == nullptr) return std::nullopt;
        ServiceEntry entry;
        if (result->s_name != nullptr) entry.name = result->s_name;
        if (result->s_proto != nullptr) entry.protocol = result->s_proto;
        entry.port = static_cast<uint16_t>(result->s_port);
        return entry;
    }
}

const char* ProtocolOrAny(const std::string& protocol) {
    return protocol.empty() ? nullptr : protocol.c_str();
}

} // namespace

HostAnswer SystemResolver::HostByName(const std::string& name) {
    return RunHostCall([&](hostent* host, char* buffer, size_t size, hostent** result, int* hostError) {
        return gethostbyname_r(name.c_str(), host, buffer, size, result, hostError);
    });
}

HostAnswer SystemResolver::HostByAddress(const Ipv4Bytes& address) {
    return RunHostCall([&](hostent* host, char* buffer, size_t size, hostent** result, int* hostError) {
        return gethostbyaddr_r(address.data(), address.size(), AF_INET, host, buffer, size, result,
                               hostError);
    });
}

std::optional<ServiceEntry> SystemResolver::ServiceByName(const std::string& name,
                                                          const std::string& protocol) {
    return RunServiceCall([&](servent* service, char* buffer, size_t size, servent** result) {
        return getservbyname_r(name.c_str(), ProtocolOrAny(protocol), service, buffer, size, result);
    });
}

std::optional<ServiceEntry> SystemResolver::ServiceByPort(uint16_t networkPort, const std::string& protocol) {
    return RunServiceCall([&](servent* service, char* buffer, size_t size, servent** result) {
        return getservbyport_r(networkPort, ProtocolOrAny(protocol), service, buffer, size, result);
    });
}

} // namespace vq::net
