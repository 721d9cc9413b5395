#pragma once

#include "history/TableSupportADO.h"
#include "netmodel/Environment.h"

#include <cstdint>
#include <string>

// Small helpers of the history entry's reading and writing; not for use elsewhere.
namespace vq::history {

inline int64_t IntAt(const TableSupportADO& table, int column) {
    return table.m_Fields[size_t(column)]->GetVariant().Integer();
}
inline double RealAt(const TableSupportADO& table, int column) {
    return table.m_Fields[size_t(column)]->GetVariant().Real();
}
inline std::string TextAt(const TableSupportADO& table, int column) {
    return table.m_Fields[size_t(column)]->GetVariant().Text();
}

// The model's operations by address family, so one template serves the three.
inline void AddToModel(Environment& model, MacAddress* address) {
    model.AddMacAddress(address);
}
inline void AddToModel(Environment& model, IpAddress* address) {
    model.AddIpAddress(address);
}
inline void AddToModel(Environment& model, IpxAddress* address) {
    model.AddIpxAddress(address);
}

inline MacAddress* ImportInto(Environment& model, const MacAddress& address, bool* created) {
    return model.ImportMacAddress(address, created);
}
inline IpAddress* ImportInto(Environment& model, const IpAddress& address, bool* created) {
    return model.ImportIpAddress(address, created);
}
inline IpxAddress* ImportInto(Environment& model, const IpxAddress& address, bool* created) {
    return model.ImportIpxAddress(address, created);
}

inline AddressTable<MacAddress>& TableOf(Environment& model, const MacAddress*) {
    return model.GetMacTable();
}
inline AddressTable<IpAddress>& TableOf(Environment& model, const IpAddress*) {
    return model.GetIpTable();
}
inline AddressTable<IpxAddress>& TableOf(Environment& model, const IpxAddress*) {
    return model.GetIpxTable();
}

} // namespace vq::history
