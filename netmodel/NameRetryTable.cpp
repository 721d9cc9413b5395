#include "netmodel/NameRetryTable.h"

namespace vq {

void NameRetryTable::Add(std::unique_ptr<NameRequest> request, const Timestamp& now,
                         int64_t delayMilliseconds) {
    Timestamp due = now;
    due.AddTicks(static_cast<uint64_t>(delayMilliseconds) * 10'000);
    request->SetRetryTime(due);
    waiting_.emplace(due.GetTicks(), std::move(request));
}

std::vector<std::unique_ptr<NameRequest>> NameRetryTable::TakeDue(const Timestamp& now) {
    std::vector<std::unique_ptr<NameRequest>> due;
    auto end = waiting_.begin();
    while (end != waiting_.end() && end->second->GetRetryTime().Compare(now) != -1) {
        due.push_back(std::move(end->second));
        ++end;
    }
    waiting_.erase(waiting_.begin(), end);
    return due;
}

} // namespace vq
