#pragma once

#include "netmodel/IpxAddress.h"
#include "netmodel/NameTable.h"

namespace vq {

// IPX addresses never look names up: the flag is taken and ignored.
class IpxAddressTable : public AddressTable<IpxAddress> {
public:
    explicit IpxAddressTable(bool lookup = false) : AddressTable(false, nullptr) { (void)lookup; }
};

} // namespace vq
