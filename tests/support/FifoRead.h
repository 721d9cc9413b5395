#pragma once

#include <chrono>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace vq::test {

// What a program writes into the FIFO at `path` until it closes its end; nullopt when no writer has
// come and gone within `limit`. Opening for reading without waiting for a writer keeps a program
// that never starts from hanging the test.
inline std::optional<std::string> ReadFifo(const std::string& path, std::chrono::seconds limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string text;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{fd, POLLIN, 0};
        // Before the first writer a FIFO reports no hang-up, so this waits for one.
        if (left.count() <= 0 || ::poll(&wait, 1, int(left.count())) <= 0) break;
        char buffer[4096];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, std::size_t(count));
        } else if (count == 0 && (wait.revents & POLLHUP)) {
            ::close(fd);
            return text;
        }
    }
    ::close(fd);
    return std::nullopt;
}

} // namespace vq::test
