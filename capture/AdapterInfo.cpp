#include "capture/AdapterInfo.h"

#include "capture/Adapter.h"
#include "capture/AdapterSet.h"
#include "platform/core/Format.h"

namespace vq {

std::string AdapterInfo::FormatCurrentAddress() const {
    const auto& a = currentAddress;
    return Format("%02x:%02x:%02x:%02x:%02x:%02x", a[0], a[1], a[2], a[3], a[4], a[5]);
}

AdapterInfoSet::AdapterInfoSet(const AdapterSet& adapters) {
    for (int i = 0; i < adapters.GetSize(); ++i)
        infos_.push_back(std::make_unique<AdapterInfo>(adapters.GetAdapter(i)->GetInfo()));
}

AdapterInfoSet::AdapterInfoSet(const AdapterInfo& info) {
    infos_.push_back(std::make_unique<AdapterInfo>(info));
}

const AdapterInfo* AdapterInfoSet::GetAt(int index) const {
    if (index < 0 || index >= GetSize()) return nullptr;
    return infos_[static_cast<size_t>(index)].get();
}

} // namespace vq
