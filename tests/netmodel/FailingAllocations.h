#pragma once

#include <cstdint>

namespace vq::test {

// While one is alive, the allocation numbered `failAt` (0 = the next one) made through the global
// `operator new` on this thread throws std::bad_alloc; every other allocation succeeds. Only test
// programs that link FailingAllocations.cpp have it, since it replaces the global allocation
// functions.
class FailingAllocations {
public:
    explicit FailingAllocations(int64_t failAt);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    // Whether the allocation was reached and failed.
    bool Failed() const;
};

} // namespace vq::test
