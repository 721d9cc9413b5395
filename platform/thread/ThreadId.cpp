#include "platform/thread/ThreadId.h"

#include <unistd.h>

namespace vq {

ThreadId CurrentThreadId() {
    thread_local const ThreadId id = static_cast<ThreadId>(gettid());
    return id;
}

} // namespace vq
