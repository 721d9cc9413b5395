#include "platform/core/Guid.h"

#include "platform/core/Exceptions.h"

#include <cerrno>
#include <sys/random.h>

namespace vq {

Guid NewGuid() {
    Guid guid;
    std::size_t filled = 0;
    while (filled < guid.bytes.size()) {
        const ssize_t got = getrandom(guid.bytes.data() + filled, guid.bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Exception("no random bytes for a new identity");
        }
        filled += std::size_t(got);
    }
    return guid;
}

} // namespace vq
