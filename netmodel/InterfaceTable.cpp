#include "netmodel/InterfaceTable.h"

#include "netmodel/AdapterList.h"
#include "netmodel/HostAddress.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/MacAddress.h"
#include "platform/core/Format.h"

#include <algorithm>
#include <memory>

namespace vq {

InterfaceTable::~InterfaceTable() {
    Clear();
}

void InterfaceTable::Build(const AdapterList& adapters) {
    const size_t first = m_Items.size();
    try {
        for (int i = 0; i < adapters.GetAdapterCount(); ++i) {
            const MacAddress physical(adapters.GetCurrentAddress(i), false);
            auto made = std::make_unique<InterfaceInfo>(
                int16_t(i), adapters.GetServiceName(i), adapters.GetDescription(i), adapters.GetMedium(i),
                adapters.GetMaximumTotalSize(i), adapters.GetLinkSpeed(i), adapters.GetIpAddressText(i),
                physical.GetText(), &HostAddress::Invalid());
            m_Items.push_back(made.get());
            made.release();
        }
    } catch (...) {
        for (size_t i = first; i < m_Items.size(); ++i)
            delete m_Items[i];
        m_Items.resize(first);
        throw;
    }
}

void InterfaceTable::CopyFrom(const InterfaceTable& other) {
    Clear();
    try {
        for (const InterfaceInfo* interface : other.m_Items) {
            auto copy = std::make_unique<InterfaceInfo>(*interface, PointerAssignment);
            m_Items.push_back(copy.get());
            copy.release();
        }
    } catch (...) {
        Clear();
        throw;
    }
}

void InterfaceTable::SetAt(InterfaceInfo* interface) {
    const size_t index = uint16_t(interface->GetNumber());
    if (index >= m_Items.size()) {
        m_Items.push_back(interface);
        return;
    }
    // Storing the object already in the slot must not free it first.
    if (m_Items[index] == interface) return;
    delete m_Items[index];
    m_Items[index] = interface;
}

void InterfaceTable::Add(InterfaceInfo* interface) {
    m_Items.push_back(interface);
}

InterfaceInfo* InterfaceTable::FindOrAdd(int16_t number) {
    for (InterfaceInfo* interface : m_Items)
        if (interface->GetNumber() == number) return interface;
    auto made = std::make_unique<InterfaceInfo>(number);
    m_Items.push_back(made.get());
    return made.release();
}

bool InterfaceTable::Remove(InterfaceInfo* interface) {
    auto it = std::find(m_Items.begin(), m_Items.end(), interface);
    if (it == m_Items.end()) return false;
    m_Items.erase(it);
    delete interface;
    return true;
}

int InterfaceTable::IndexOf(const InterfaceInfo* interface) const {
    auto it = std::find(m_Items.begin(), m_Items.end(), interface);
    return it == m_Items.end() ? -1 : int(it - m_Items.begin());
}

InterfaceInfo* InterfaceTable::FindEqual(const InterfaceInfo& interface) const {
    for (InterfaceInfo* stored : m_Items)
        if (stored->IsEqual(interface)) return stored;
    return nullptr;
}

InterfaceInfo* InterfaceTable::FindExact(int16_t number, const std::string& name) const {
    for (InterfaceInfo* stored : m_Items)
        if (stored->GetNumber() == number && stored->GetName() == name) return stored;
    return nullptr;
}

void InterfaceTable::Clear() {
    for (InterfaceInfo* interface : m_Items)
        delete interface;
    m_Items.clear();
}

std::string InterfaceTable::Dump() const {
    std::string text = Format("InterfaceTable (size %d)\n\n", GetCount());
    text += "item\tifnum\tifhost\t\tifname\n";
    for (size_t i = 0; i < m_Items.size(); ++i) {
        const InterfaceInfo* interface = m_Items[i];
        if (interface == nullptr)
            text += Format("%d\t\t\tINVALID (address %p)\n", int(i), static_cast<const void*>(interface));
        else
            text += Format("%d\t%s\n", int(i), interface->GetText().c_str());
    }
    return text + "\n";
}

} // namespace vq
