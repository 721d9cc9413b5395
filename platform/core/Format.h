#pragma once

#include <cstdarg>
#include <string>

namespace vq {

// printf into a std::string of exactly the needed size; an encoding error gives an empty text.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

} // namespace vq
