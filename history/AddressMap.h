#pragma once

#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace vq::history {

// The addresses of one family that a history database holds: from row index to address and back.
// The map owns no address; the model that the rows are loaded into does.
template <typename Address> class AddressMap {
public:
    // Rebuilds the address of a stored row: classified by its own value when `type` is 0, else
    // given that kind; `name` (none when null) becomes its first name. Returns the new address for
    // the caller to hand to its owner. An IP text is read only as a dotted quad, never looked up:
    // one that does not parse maps the row to the family's invalid address, logs a line and
    // returns nothing. A second Add under an index replaces the forward entry; the reverse map
    // keeps both addresses.
    std::unique_ptr<Address> Add(int64_t index, const char* text, const char* name, uint8_t type);

    // Enters an address that already exists (the placeholder, or one the writer just imported).
    void Insert(int64_t index, Address* address) {
        m_Reverse.insert_or_assign(address, index);
        try {
            m_Forward.insert_or_assign(index, address);
        } catch (...) {
            m_Reverse.erase(address);
            throw;
        }
    }
    void Clear() {
        m_Forward.clear();
        m_Reverse.clear();
    }

    Address* Find(int64_t index) const {
        auto found = m_Forward.find(index);
        return found == m_Forward.end() ? nullptr : found->second;
    }
    std::optional<int64_t> FindIndex(const Address* address) const {
        auto found = m_Reverse.find(address);
        return found == m_Reverse.end() ? std::nullopt : std::optional<int64_t>(found->second);
    }
    size_t GetReverseCount() const { return m_Reverse.size(); }

private:
    std::unordered_map<int64_t, Address*> m_Forward;
    std::unordered_map<const Address*, int64_t> m_Reverse;
};

using MacAddressMap = AddressMap<MacAddress>;
using IpAddressMap = AddressMap<IpAddress>;
using IpxAddressMap = AddressMap<IpxAddress>;

extern template class AddressMap<MacAddress>;
extern template class AddressMap<IpAddress>;
extern template class AddressMap<IpxAddress>;

} // namespace vq::history
