#include "netmodel/IpAddressTable.h"

#include "netmodel/NameRequestTable.h"

#include <new>

namespace vq {

IpAddressTable::IpAddressTable(bool lookup, WinSockIf& service)
    : AddressTable(lookup, lookup ? std::make_unique<IpNameRequestTable>(service) : nullptr),
      service_(service) {}

void IpAddressTable::Clear(bool recreate) {
    NameTable::Clear(recreate);
    if (!recreate || !GetLookup()) return;
    try {
        SetRequestTable(std::make_unique<IpNameRequestTable>(service_));
        Attach(GetReplyTarget());
    } catch (const std::bad_alloc&) {
        // The table runs without look-ups until the next recreate.
    }
}

IpAddress* IpAddressTable::FindOrAdd(const uint8_t* bytes, bool request) {
    if (bytes == nullptr || (bytes[0] | bytes[1] | bytes[2] | bytes[3]) == 0) return nullptr;
    return AddressTable::FindOrAdd(bytes, request);
}

} // namespace vq
