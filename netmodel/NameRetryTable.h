#pragma once

#include "netmodel/NameRequest.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace vq {

// The requests waiting for their retry, owned, ordered by retry time (equal times in the order
// they were added), so a tick looks only at those that are due.
class NameRetryTable {
public:
    // Due `delayMilliseconds` after now.
    void Add(std::unique_ptr<NameRequest> request, const Timestamp& now, int64_t delayMilliseconds);
    // Takes out every request due at `now`, in order.
    std::vector<std::unique_ptr<NameRequest>> TakeDue(const Timestamp& now);
    size_t GetCount() const { return waiting_.size(); }
    void Clear() { waiting_.clear(); }

private:
    std::multimap<uint64_t, std::unique_ptr<NameRequest>> waiting_;
};

} // namespace vq
