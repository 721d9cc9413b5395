// Feeds arbitrary text to one address text setter (VQ_FUZZ_PARSER 1-5: MAC, IP, IPX, NetBIOS, port) and
// checks that whatever it accepts prints in a form that parses back to the same address.

#include "netmodel/IpAddress.h"
#include "netmodel/IpPort.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/NbAddress.h"
#include "platform/net/FakeResolver.h"

#include <cstdlib>
#include <string>

namespace {

// Names resolve from a fixed table, never over the network.
const bool resolverReady = [] {
    auto resolver = std::make_shared<vq::net::FakeResolver>();
    resolver->AddHost("gateway", {{10, 0, 0, 1}}, {"gw"});
    resolver->AddService("domain", "udp", 53);
    vq::net::Resolver::SetCurrent(resolver);
    return true;
}();

void Check(bool condition) {
    if (!condition) std::abort();
}

template <typename Address> void RoundTrip(const std::string& text) {
    Address address;
    if (!address.SetText(text.c_str(), true)) return;
    Address back;
    Check(back.SetText(address.GetText().c_str(), true));
    Check(back == address);
    Check(back.GetKind() == address.GetKind());
}

void FuzzIp(const std::string& text) {
    vq::IpAddress address;
    const bool ok = address.SetText(text.c_str(), true);
    Check(ok == address.IsValid());
    if (!ok) return;
    vq::IpAddress back(address.GetText().c_str(), true);
    Check(back.IsEqual(address));
}

void FuzzNetBios(const std::string& text) {
    vq::NbAddress address;
    if (!address.SetText(text.c_str(), false)) return;
    Check(address.GetText().size() <= 16);
}

void FuzzPort(const std::string& text) {
    vq::IpPort port;
    port.SetText(text.c_str());
    Check(!port.GetServiceName().empty());
    Check(!port.GetPortText().empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)resolverReady;
    // The setters take zero-terminated texts: a zero byte ends the input.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string given = text.substr(0, text.find('\0'));
    using Fuzzer = void (*)(const std::string&);
    static constexpr Fuzzer fuzzers[] = {RoundTrip<vq::MacAddress>, FuzzIp, RoundTrip<vq::IpxAddress>,
                                         FuzzNetBios, FuzzPort};
    fuzzers[VQ_FUZZ_PARSER - 1](given);
    return 0;
}
