#pragma once

#include "netmodel/IpAddress.h"
#include "netmodel/NameTable.h"

namespace vq {

// The IP addresses of a model. With look-ups on, every address filed with a request gets its host
// names by a background reverse look-up on the given service.
class IpAddressTable : public AddressTable<IpAddress> {
public:
    explicit IpAddressTable(bool lookup, WinSockIf& service = WinSockIf::Instance());

    // With `recreate` and look-ups on, a fresh request table takes the place of the abandoned one.
    void Clear(bool recreate) override;
    // 0.0.0.0 is the invalid address: it is never filed and never looked up.
    IpAddress* FindOrAdd(const uint8_t* bytes, bool request);

private:
    WinSockIf& service_;
};

} // namespace vq
