#pragma once

#include "netmodel/MacAddress.h"
#include "netmodel/NameTable.h"

namespace vq {

// MAC addresses never look names up: the flag is taken and ignored.
class MacAddressTable : public AddressTable<MacAddress> {
public:
    explicit MacAddressTable(bool lookup = false) : AddressTable(false, nullptr) { (void)lookup; }
};

} // namespace vq
