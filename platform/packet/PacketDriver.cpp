#include "platform/packet/PacketDriver.h"

#include "platform/packet/AdapterHandle.h"
#include "platform/packet/DeviceName.h"
#include "platform/packet/LiveSource.h"
#include "platform/packet/ReplaySource.h"

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>
#include <new>
#include <system_error>

namespace vq {
namespace {

thread_local int lastError = 0;

// Handles are never reused, so a stale one finds nothing rather than another adapter.
class HandleTable {
public:
    PacketHandle Add(std::unique_ptr<AdapterHandle> adapter) {
        std::lock_guard lock(mutex_);
        PacketHandle handle = next_++;
        adapters_.emplace(handle, std::move(adapter));
        return handle;
    }
    std::unique_ptr<AdapterHandle> Remove(PacketHandle handle) {
        std::lock_guard lock(mutex_);
        auto found = adapters_.find(handle);
        if (found == adapters_.end()) return nullptr;
        auto adapter = std::move(found->second);
        adapters_.erase(found);
        removals_.fetch_add(1);
        return adapter;
    }
    // Only the thread that owns a handle uses or closes it, so the pointer outlives the call. The
    // owner asks once per read and completion: each thread keeps its last answer, good until any
    // handle is closed, so the look-up costs no lock per frame.
    AdapterHandle* Find(PacketHandle handle) {
        thread_local struct {
            PacketHandle handle = kInvalidPacketHandle;
            uint64_t removals = 0;
            AdapterHandle* adapter = nullptr;
        } last;
        const uint64_t removals = removals_.load();
        if (handle == last.handle && removals == last.removals) return last.adapter;
        std::lock_guard lock(mutex_);
        auto found = adapters_.find(handle);
        AdapterHandle* adapter = found == adapters_.end() ? nullptr : found->second.get();
        if (adapter) last = {handle, removals, adapter};
        return adapter;
    }

private:
    std::atomic<uint64_t> removals_{0};
    std::mutex mutex_;
    std::map<PacketHandle, std::unique_ptr<AdapterHandle>> adapters_;
    PacketHandle next_ = 1;
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

AdapterHandle* FindOrFail(PacketHandle handle) {
    AdapterHandle* adapter = Handles().Find(handle);
    if (!adapter) lastError = kErrorInvalidHandle;
    return adapter;
}

std::unique_ptr<FrameSource> OpenSource(const DeviceName& device) {
    if (device.IsReplay()) return std::make_unique<ReplaySource>(device.Path(), device.Options());
    return std::make_unique<LiveSource>(device.InterfaceName());
}

} // namespace

PacketHandle W32N_OpenAdapter(const char* deviceName) {
    auto device = deviceName ? DeviceName::Parse(deviceName) : std::nullopt;
    if (!device) {
        lastError = ENODEV;
        return kInvalidPacketHandle;
    }
    try {
        return Handles().Add(std::make_unique<AdapterHandle>(OpenSource(*device)));
    } catch (const std::system_error& error) {
        lastError = error.code().value();
    } catch (const std::bad_alloc&) {
        lastError = ENOMEM;
    }
    return kInvalidPacketHandle;
}

int W32N_CloseAdapter(PacketHandle handle) {
    if (!Handles().Remove(handle)) {
        lastError = kErrorInvalidHandle;
        return -1;
    }
    return 0;
}

uint32_t W32N_MakeNdisRequest(PacketHandle handle, NdisRequest& request, Overlapped*, int) {
    AdapterHandle* adapter = Handles().Find(handle);
    if (!adapter) return ndis::kStatusAdapterNotOpen;
    return adapter->MakeRequest(request);
}

int W32N_PacketRead(PacketHandle handle, DriverRecord* record, uint32_t* bytesReturned,
                    Overlapped* overlapped, int) {
    AdapterHandle* adapter = FindOrFail(handle);
    if (!adapter) return -1;
    if (!record || !bytesReturned || !overlapped) {
        lastError = EINVAL;
        return -1;
    }
    if (!adapter->Post(record, bytesReturned, overlapped)) {
        lastError = ENOBUFS;
        return -1;
    }
    return 0;
}

int W32N_GetLastError() {
    return lastError;
}

bool GetOverlappedResult(PacketHandle handle, const Overlapped& overlapped, uint32_t* bytesReturned) {
    if (!FindOrFail(handle)) return false;
    if (!overlapped.completed.load(std::memory_order_acquire)) {
        lastError = kErrorIoIncomplete;
        return false;
    }
    if (bytesReturned) *bytesReturned = overlapped.bytes;
    return true;
}

bool IsReplayFinished(PacketHandle handle) {
    AdapterHandle* adapter = Handles().Find(handle);
    return adapter && adapter->IsFinished();
}

} // namespace vq
