#pragma once

#include <ctime>
#include <string>

namespace vq {

// strftime in the "C" locale, so dumps and logs read the same on every machine. A null or empty
// format gives an empty text.
std::string FormatTimeFields(const char* format, const std::tm& fields);

// A span by the span codes: %D days, %H, %M and %S as two digits without sign, %% a percent
// sign; other codes are kept as written. A null format gives an empty text.
std::string FormatSpanFields(const char* format, long long days, int hours, int minutes, int seconds);

} // namespace vq
