#include "platform/time/TimeFormat.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
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

std::string FormatSpanFields(const char* format, long long days, int hours, int minutes, int seconds) {
    std::string text;
    if (format == nullptr) return text;
    char number[32];
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            text += *p;
            continue;
        }
        // "#" drops the leading zero of a two-digit field, as the spans of the member dumps ask.
        const bool noPadding = p[1] == '#' && p[2] != '\0';
        if (noPadding) ++p;
        switch (*++p) {
        case 'D':
            std::snprintf(number, sizeof number, "%lld", days);
            break;
        case 'H':
            std::snprintf(number, sizeof number, noPadding ? "%d" : "%02d", std::abs(hours));
            break;
        case 'M':
            std::snprintf(number, sizeof number, noPadding ? "%d" : "%02d", std::abs(minutes));
            break;
        case 'S':
            std::snprintf(number, sizeof number, noPadding ? "%d" : "%02d", std::abs(seconds));
            break;
        case '%':
            std::snprintf(number, sizeof number, "%%");
            break;
        default:
            std::snprintf(number, sizeof number, noPadding ? "%%#%c" : "%%%c", *p);
            break;
        }
        text += number;
    }
    return text;
}

} // namespace vq
