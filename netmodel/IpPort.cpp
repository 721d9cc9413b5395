#include "netmodel/IpPort.h"

#include "platform/net/Resolver.h"

#include <arpa/inet.h>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace vq {

void IpPort::Set(uint16_t port, const char* protocol, bool isNetworkOrder) {
    port_ = isNetworkOrder ? port : htons(port);
    protocol_ = protocol != nullptr ? protocol : "";
    service_.clear();
    portText_.clear();
}

namespace {

bool ParsePortNumber(std::string_view text, uint16_t& port) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFF) return false;
    if (value == 0 && text != "0") return false;
    port = static_cast<uint16_t>(value);
    return true;
}

} // namespace

bool IpPort::SetByName(const char* name, const char* protocol) {
    const std::string given = name != nullptr ? name : "";
    const std::string wanted = protocol != nullptr ? protocol : "";
    portText_.clear();
    auto resolver = net::Resolver::Current();
    auto service = resolver->ServiceByName(given, wanted);
    if (!service) {
        uint16_t number = 0;
        if (given.empty() || given.front() == '+' || !ParsePortNumber(given, number)) {
            service_.clear();
            protocol_ = wanted;
            return false;
        }
        port_ = htons(number);
        portText_ = given;
        service = resolver->ServiceByPort(port_, wanted);
        if (!service) {
            service_.clear();
            protocol_ = wanted;
            return false;
        }
    }
    port_ = service->port;
    service_ = service->name;
    protocol_ = service->protocol;
    return true;
}

bool IpPort::SetText(const char* text) {
    const std::string_view given = text != nullptr ? std::string_view(text) : std::string_view();
    const size_t slash = given.find('/');
    const std::string name(given.substr(0, slash));
    const std::string protocol =
        slash == std::string_view::npos ? "udp" : std::string(given.substr(slash + 1));
    return SetByName(name.c_str(), protocol.c_str());
}

const std::string& IpPort::GetServiceName() {
    if (service_.empty()) {
        if (auto service = net::Resolver::Current()->ServiceByPort(port_, protocol_)) {
            service_ = service->name;
            protocol_ = service->protocol;
        } else {
            service_ = GetPortText();
        }
    }
    return service_;
}

const std::string& IpPort::GetPortText() {
    if (portText_.empty()) {
        char text[8];
        std::snprintf(text, sizeof text, "%hu", GetPort(true));
        portText_ = text;
    }
    return portText_;
}

uint16_t IpPort::GetPort(bool hostOrder) const {
    return hostOrder ? ntohs(port_) : port_;
}

void IpPort::Clear() {
    port_ = 0xFFFF;
    protocol_.clear();
    service_.clear();
    portText_.clear();
}

} // namespace vq
