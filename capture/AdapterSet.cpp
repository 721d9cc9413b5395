#include "capture/AdapterSet.h"

#include "capture/CaptureReports.h"
#include "capture/RecvChannel.h"
#include "capture/RegistryNdis.h"
#include "platform/core/Format.h"
#include "platform/sys/SystemVersion.h"
#include "runtime/GlobalState.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace vq {
namespace {

std::unique_ptr<RegistryNdis> CreateReader(AdapterSet* set, CaptureReports& reports) {
    // Only the network-cards readers can find adapters here; every later system reads as class 5.
    if (SystemVersionClass() == 4) return std::make_unique<RegistryNdisNT>(set, reports);
    return std::make_unique<RegistryNdis2000>(set, reports);
}

} // namespace

AdapterSet::AdapterSet(uint32_t slotCount, CaptureReports& reports, PacketSink* sink)
    : slotCount_(slotCount), reports_(reports), sink_(sink), events_(slotCount, nullptr),
      channels_(slotCount, nullptr) {
    {
        auto reader = CreateReader(this, reports_);
        Open(*reader);
    }
    Announce();
}

AdapterSet::~AdapterSet() {
    for (auto& adapter : adapters_) {
        if (receiving_) adapter->Stop();
        if (opened_) adapter->Close();
    }
    adapters_.clear();
}

void AdapterSet::Announce() {
    try {
        reports_.Announce(std::make_unique<AdapterInfoSet>(*this), 1);
    } catch (const std::bad_alloc&) {
    }
}

Adapter* AdapterSet::GetAdapter(int index) const {
    if (index < 0 || index >= GetSize()) return nullptr;
    return adapters_[static_cast<size_t>(index)].get();
}

bool AdapterSet::Open(RegistryNdis& reader) {
    opened_ = false;
    totalLinkSpeed_ = 0;
    if (!reader.Open()) {
        reports_.Report(7, "could not open registry", "AdapterSet", "Open");
        return false;
    }
    int found = reader.GetFound();
    if (found == 0) {
        reports_.Report(3, "no adapters discovered", "AdapterSet", "Open");
        return false;
    }
    int tried = found;
    if (found > kMaxAdapters) {
        reports_.Report(4, Format("Too many adapters (%d); using only the first %d", found, kMaxAdapters),
                        "AdapterSet", "Open");
        tried = kMaxAdapters;
    }
    // Every receiving adapter needs two event slots at least: open no more than can receive.
    const int receivable = static_cast<int>(slotCount_ / 2);
    for (int i = 0; i < tried; ++i) {
        AdapterInfo* info = reader.NextDevice();
        if (!info) break;
        if (GetSize() == receivable) {
            reports_.Report(4, Format("Too many adapters (%d); using only the first %d", found, receivable),
                            "AdapterSet", "Open");
            break;
        }
        try {
            auto adapter = CreateAdapter(GetSize(), *info);
            if (adapter->Open()) {
                totalLinkSpeed_ += adapter->GetInfo().linkSpeed;
                adapters_.push_back(std::move(adapter));
            }
        } catch (const std::bad_alloc&) {
        }
    }
    opened_ = true;
    if (!adapters_.empty()) {
        AllocateSlots();
        for (size_t i = 0; i < adapters_.size(); ++i) {
            try {
                adapters_[i]->Prepare();
            } catch (...) {
                adapters_.erase(adapters_.begin() + static_cast<std::ptrdiff_t>(i), adapters_.end());
                throw;
            }
        }
    }
    return opened_;
}

std::unique_ptr<Adapter> AdapterSet::CreateAdapter(int index, const AdapterInfo& info) {
    AdapterInfo indexed = info;
    indexed.index = index;
    return std::make_unique<WD_Adapter>(this, indexed);
}

bool AdapterSet::AllocateSlots() {
    const size_t count = adapters_.size();
    const int64_t slots = slotCount_;
    if (count == 0 || 2 * static_cast<int64_t>(count) > slots) return false;
    std::vector<int64_t> shares(count);
    for (size_t i = 0; i < count; ++i) {
        int64_t share = 0;
        if (totalLinkSpeed_ > 0)
            share = static_cast<int64_t>(double(adapters_[i]->GetInfo().linkSpeed) / double(totalLinkSpeed_) *
                                         double(slots));
        shares[i] = std::max<int64_t>(share, 2);
    }
    for (int64_t sum = 0; (sum = std::accumulate(shares.begin(), shares.end(), int64_t(0))) != slots;) {
        if (sum > slots) {
            auto largest = std::max_element(shares.begin(), shares.end());
            if (*largest - 1 < 2) return false;
            --*largest;
        } else {
            ++*std::min_element(shares.begin(), shares.end());
        }
    }
    int32_t first = 0;
    for (size_t i = 0; i < count; ++i) {
        adapters_[i]->AssignSlots(first, static_cast<int32_t>(shares[i]));
        first += static_cast<int32_t>(shares[i]);
    }
    return true;
}

void AdapterSet::RegisterSlot(RecvChannel* channel, Event* event, int32_t, int32_t slot) {
    if (slot < 0 || static_cast<uint32_t>(slot) >= slotCount_) return;
    events_[static_cast<size_t>(slot)] = event;
    channels_[static_cast<size_t>(slot)] = event ? channel : nullptr;
}

bool AdapterSet::ServiceSlot(int32_t slot) {
    if (slot < 0 || static_cast<uint32_t>(slot) >= slotCount_) return false;
    RecvChannel* channel = channels_[static_cast<size_t>(slot)];
    if (!channel || channel->GetKind() != Channel::kReceive) return false;
    return channel->Service();
}

int AdapterSet::ForEach(bool (AdapterSet::*operation)(int), const List& list) {
    int succeeded = 0;
    if (list.empty()) {
        for (int i = 0; i < GetSize(); ++i)
            succeeded += (this->*operation)(i) ? 1 : 0;
    } else {
        for (uint16_t i : list)
            succeeded += (this->*operation)(i) ? 1 : 0;
    }
    return succeeded;
}

bool AdapterSet::StartOne(int index) {
    Adapter* adapter = GetAdapter(index);
    if (!adapter) return false;
    return adapter->GetInfo().state == AdapterInfo::kCapturing || adapter->Start();
}

bool AdapterSet::StopOne(int index) {
    Adapter* adapter = GetAdapter(index);
    if (!adapter) return false;
    return adapter->GetInfo().state != AdapterInfo::kCapturing || adapter->Stop();
}

bool AdapterSet::PauseOne(int index) {
    Adapter* adapter = GetAdapter(index);
    if (!adapter) return false;
    return adapter->GetInfo().state != AdapterInfo::kCapturing || adapter->Pause();
}

bool AdapterSet::ResumeOne(int index) {
    Adapter* adapter = GetAdapter(index);
    if (!adapter) return false;
    return adapter->GetInfo().state != AdapterInfo::kPaused || adapter->Resume();
}

bool AdapterSet::AfterStopOne(int index) {
    Adapter* adapter = GetAdapter(index);
    return adapter && adapter->AfterStop();
}

bool AdapterSet::Start(const List& list) {
    if (ForEach(&AdapterSet::StartOne, list) > 0) receiving_ = true;
    return receiving_;
}

void AdapterSet::Stop(const List& list) {
    ForEach(&AdapterSet::StopOne, list);
    // Stopping some adapters leaves the set receiving on the others.
    receiving_ = std::any_of(adapters_.begin(), adapters_.end(), [](auto& a) { return a->IsReceiving(); });
}

void AdapterSet::Pause(const List& list) {
    if (ForEach(&AdapterSet::PauseOne, list) > 0 && (list.empty() || list.size() == adapters_.size()))
        TheGlobalState().m_CaptureActive = false;
}

void AdapterSet::Resume(const List& list) {
    if (ForEach(&AdapterSet::ResumeOne, list) > 0 && (list.empty() || list.size() == adapters_.size()))
        TheGlobalState().m_CaptureActive = true;
}

void AdapterSet::AfterStop(const List& list) {
    ForEach(&AdapterSet::AfterStopOne, list);
}

bool AdapterSet::StartCaptureOne(int index) {
    Adapter* adapter = GetAdapter(index);
    return adapter && adapter->GetInfo().state == AdapterInfo::kCapturing && adapter->OpenCaptureFile();
}

void AdapterSet::StartCapture(const List& list) {
    ForEach(&AdapterSet::StartCaptureOne, list);
}

bool AdapterSet::StopCaptureOne(int index) {
    Adapter* adapter = GetAdapter(index);
    return adapter && adapter->CloseCaptureFile();
}

void AdapterSet::StopCapture(const List& list) {
    ForEach(&AdapterSet::StopCaptureOne, list);
}

void AdapterSet::CloseAll() {
    for (auto& adapter : adapters_)
        adapter->Close();
    opened_ = false;
}

std::string AdapterSet::GetServiceName(int index) const {
    return GetAdapter(index)->GetInfo().serviceName;
}

std::string AdapterSet::GetDescription(int index) const {
    return GetAdapter(index)->GetInfo().productName;
}

std::string AdapterSet::GetIpAddressText(int index) const {
    return GetAdapter(index)->GetInfo().ipAddressText;
}

const uint8_t* AdapterSet::GetCurrentAddress(int index) const {
    return GetAdapter(index)->GetInfo().currentAddress.data();
}

uint32_t AdapterSet::GetMedium(int index) const {
    return static_cast<uint32_t>(GetAdapter(index)->GetInfo().medium);
}

uint32_t AdapterSet::GetMaximumTotalSize(int index) const {
    return GetAdapter(index)->GetInfo().maxTotalSize;
}

uint64_t AdapterSet::GetLinkSpeed(int index) const {
    return GetAdapter(index)->GetInfo().linkSpeed;
}

bool AdapterSet::IsReplayFinished() const {
    return !adapters_.empty() && std::all_of(adapters_.begin(), adapters_.end(), [](auto& adapter) {
        return vq::IsReplayFinished(adapter->GetHandle());
    });
}

bool AdapterSet::IsOwnAddress(std::span<const uint8_t, 6> mac, const Adapter* except) const {
    return std::any_of(adapters_.begin(), adapters_.end(), [&](auto& adapter) {
        return adapter.get() != except && adapter->IsOwnAddress(mac, false);
    });
}

bool AdapterSet::IsOwnIpAddress(uint32_t address, const Adapter* except) const {
    return std::any_of(adapters_.begin(), adapters_.end(), [&](auto& adapter) {
        return adapter.get() != except && adapter->IsOwnIpAddress(address, false);
    });
}

} // namespace vq
