#include "FailingAllocations.h"

#include <cstddef>
#include <cstdlib>
#include <new>

// The replacements allocate with malloc and free with free, so they pair up; GCC cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Allocations still to pass before the one that fails; negative while disarmed. Per thread, so
// that threads a test does not drive keep allocating normally.
thread_local int64_t t_Countdown = -1;
thread_local bool t_Failed = false;

void* Allocate(std::size_t size) {
    if (t_Countdown >= 0 && t_Countdown-- == 0) {
        t_Failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}

void* operator new[](std::size_t size) {
    return Allocate(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace vq::test {

FailingAllocations::FailingAllocations(int64_t failAt) {
    t_Failed = false;
    t_Countdown = failAt;
}

FailingAllocations::~FailingAllocations() {
    t_Countdown = -1;
}

bool FailingAllocations::Failed() const {
    return t_Failed;
}

} // namespace vq::test
