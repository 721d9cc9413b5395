#include "history/AddressMap.h"

#include <iostream>
#include <type_traits>

namespace vq::history {
namespace {

template <typename Address> std::unique_ptr<Address> Build(const char* text, bool classify) {
    if constexpr (std::is_same_v<Address, IpAddress>) {
        // A stored IP text that is not a dotted quad would otherwise be resolved as a host name,
        // blocking the history thread on the network.
        auto address = std::make_unique<IpAddress>();
        if (!address->SetNumericText(text, classify)) return nullptr;
        return address;
    } else {
        return std::make_unique<Address>(text, classify);
    }
}

} // namespace

template <typename Address>
std::unique_ptr<Address> AddressMap<Address>::Add(int64_t index, const char* text, const char* name,
                                                  uint8_t type) {
    std::unique_ptr<Address> address = Build<Address>(text != nullptr ? text : "", type == 0);
    if (!address) {
        std::clog << "history: row " << index << " holds \"" << (text != nullptr ? text : "")
                  << "\", which is no IP address; the row stands for the invalid address\n";
        m_Forward.insert_or_assign(index, &Address::Invalid());
        return nullptr;
    }
    if (type != 0) address->SetKind(type);
    if (name != nullptr) address->SetNameAt(name, 0);
    // Each map replaces what it held under the key. The reverse entry goes in first, so a failing
    // forward insert has only that one to take back.
    m_Reverse.insert_or_assign(address.get(), index);
    try {
        m_Forward.insert_or_assign(index, address.get());
    } catch (...) {
        m_Reverse.erase(address.get());
        throw;
    }
    return address;
}

template class AddressMap<MacAddress>;
template class AddressMap<IpAddress>;
template class AddressMap<IpxAddress>;

} // namespace vq::history
