#pragma once

#include <ctime>
#include <string>

namespace vq {

// strftime in the "C" locale, so dumps and logs read the same on every machine. A null or empty
// format gives an empty text.
std::string FormatTimeFields(const char* format, const std::tm& fields);

} // namespace vq
