#include "platform/core/Format.h"

#include <cstdio>

namespace vq {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    return text;
}

std::string FormatV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return {};

    std::string text(static_cast<std::size_t>(length), '\0');
    // The extra byte takes the terminator; std::string guarantees it is there.
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

} // namespace vq
