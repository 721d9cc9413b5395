#pragma once

#include "netmodel/NameTable.h"
#include "netmodel/NbAddress.h"

namespace vq {

// NetBIOS names never look names up: the flag is taken and ignored.
class NbAddressTable : public AddressTable<NbAddress> {
public:
    explicit NbAddressTable(bool lookup = false) : AddressTable(false, nullptr) { (void)lookup; }
};

} // namespace vq
