#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

class AdapterList;
class InterfaceInfo;

// One interface per capture adapter, slot i for adapter i. Owns its interfaces.
class InterfaceTable {
public:
    InterfaceTable() = default;
    explicit InterfaceTable(const AdapterList& adapters) { Build(adapters); }
    ~InterfaceTable();
    InterfaceTable(const InterfaceTable&) = delete;
    InterfaceTable& operator=(const InterfaceTable&) = delete;

    // Appends one interface per adapter; callers empty the table first.
    void Build(const AdapterList& adapters);
    // Replaces the contents with copies sharing the other's hosts.
    void CopyFrom(const InterfaceTable& other);
    // At the slot of its number, deleting what was there; beyond the last slot it is appended.
    void SetAt(InterfaceInfo* interface);
    // Appends at the end.
    void Add(InterfaceInfo* interface);
    // The first interface with the number; a bare one appended when there is none.
    InterfaceInfo* FindOrAdd(int16_t number);
    bool Remove(InterfaceInfo* interface);
    InterfaceInfo* GetAt(int index) const { return m_Items[size_t(index)]; }
    int IndexOf(const InterfaceInfo* interface) const;
    InterfaceInfo* FindEqual(const InterfaceInfo& interface) const;
    // Same number and exactly the same name; hosts not looked at.
    InterfaceInfo* FindExact(int16_t number, const std::string& name) const;
    void Clear();
    int GetCount() const { return int(m_Items.size()); }
    bool CheckIntegrity(bool) const { return true; }
    std::string Dump() const;

private:
    std::vector<InterfaceInfo*> m_Items;
};

} // namespace vq
