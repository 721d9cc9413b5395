#include "platform/sys/SystemError.h"

#include <cstring>

namespace vq {

std::string SystemErrorText(int error) {
    // glibc invents "Unknown error N" (translated in other locales) for numbers it does not know;
    // that is no text of the system's. The number has no symbolic name exactly in that case.
    if (strerrorname_np(error) == nullptr) return {};
    char buffer[256];
    // The GNU form returns either the buffer or a static text of its own.
    return strerror_r(error, buffer, sizeof buffer);
}

} // namespace vq
