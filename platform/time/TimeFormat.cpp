#include "platform/time/TimeFormat.h"

#include <clocale>
#include <cstring>
#include <locale.h>
#include <vector>

namespace vq {

namespace {

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return locale;
}

} // namespace

std::string FormatTimeFields(const char* format, const std::tm& fields) {
    if (format == nullptr || *format == '\0') return {};
    // strftime answers 0 both for a full buffer and for an empty result: a leading marker keeps
    // the result non-empty, so 0 always means "grow".
    const std::string marked = std::string(" ") + format;
    std::vector<char> buffer(std::strlen(format) * 4 + 64);
    for (;;) {
        const size_t length = strftime_l(buffer.data(), buffer.size(), marked.c_str(), &fields, CLocale());
        if (length != 0) return std::string(buffer.data() + 1, length - 1);
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace vq
