#include "platform/gui/DeferWindowPos.h"

#include "platform/gui/WindowRecord.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_set>

namespace vq {

namespace {

// Batches handed out and not yet ended, so that a stale or foreign handle is refused.
struct Batches {
    std::mutex mutex;
    std::unordered_set<HDWP> live;
};

Batches& LiveBatches() {
    static Batches batches;
    return batches;
}

bool Take(HDWP batch) {
    auto& b = LiveBatches();
    std::lock_guard lock(b.mutex);
    return b.live.erase(batch) > 0;
}

bool IsLive(HDWP batch) {
    auto& b = LiveBatches();
    std::lock_guard lock(b.mutex);
    return b.live.count(batch) > 0;
}

} // namespace

HDWP BeginDeferWindowPos(int count) {
    if (count < 0) return nullptr;
    auto batch = std::make_unique<DeferredPositions>();
    batch->entries.reserve(std::size_t(std::min(count, 1024)));
    auto& b = LiveBatches();
    std::lock_guard lock(b.mutex);
    b.live.insert(batch.get());
    return batch.release();
}

HDWP DeferWindowPos(HDWP batch, HWND window, HWND insertAfter, std::int32_t x, std::int32_t y,
                    std::int32_t cx, std::int32_t cy, UINT flags) {
    if (!IsLive(batch)) return nullptr;
    if (!IsWindow(window)) {
        if (Take(batch)) delete batch;
        return nullptr;
    }
    const WINDOWPOS pos{window, insertAfter, x, y, cx, cy, flags};
    auto same = std::find_if(batch->entries.begin(), batch->entries.end(),
                             [&](const WINDOWPOS& e) { return e.hwnd == window; });
    if (same != batch->entries.end())
        *same = pos;
    else
        batch->entries.push_back(pos);
    return batch;
}

BOOL EndDeferWindowPos(HDWP batch) {
    if (!Take(batch)) return FALSE;
    const std::unique_ptr<DeferredPositions> owned(batch);
    std::vector<WINDOWPOS> moved;
    moved.reserve(owned->entries.size());
    for (WINDOWPOS pos : owned->entries)
        if (FindWindowRecord(pos.hwnd) && ApplyWindowPos(pos)) moved.push_back(pos);
    for (WINDOWPOS& pos : moved)
        if (FindWindowRecord(pos.hwnd))
            SendMessage(pos.hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    for (const WINDOWPOS& pos : moved)
        if (!(pos.flags & SWP_NOREDRAW) && FindWindowRecord(pos.hwnd)) UpdateWindow(pos.hwnd);
    return TRUE;
}

} // namespace vq
