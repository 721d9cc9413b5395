#include "chart/ChartTemplateScanner.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vq {
namespace {

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ' ';
}

} // namespace

void ChartTemplateScanner::SkipBlanks() {
    while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
        ++m_pos;
}

bool ChartTemplateScanner::ReadInt(int& value) {
    const std::size_t start = m_pos;
    SkipBlanks();
    std::size_t at = m_pos;
    if (at < m_text.size() && m_text[at] == '+') ++at;
    const char* first = m_text.data() + at;
    const char* last = m_text.data() + m_text.size();
    int parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end == first) {
        m_pos = start;
        return false;
    }
    value = parsed;
    m_pos = static_cast<std::size_t>(end - m_text.data());
    return true;
}

bool ChartTemplateScanner::ReadDouble(double& value) {
    const std::size_t start = m_pos;
    SkipBlanks();
    // strtod needs a terminated string; a number is short, so a bounded copy is enough.
    std::string number;
    for (std::size_t at = m_pos; at < m_text.size() && number.size() < 64; ++at) {
        const char c = m_text[at];
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' && c != 'e' &&
            c != 'E' && !std::isalpha(static_cast<unsigned char>(c)))
            break;
        number += c;
    }
    char* end = nullptr;
    const double parsed = std::strtod(number.c_str(), &end);
    if (end == number.c_str()) {
        m_pos = start;
        return false;
    }
    value = parsed;
    m_pos += static_cast<std::size_t>(end - number.c_str());
    return true;
}

bool ChartTemplateScanner::ReadFloat(double& value) {
    double wide = 0;
    if (!ReadDouble(wide)) return false;
    // Beyond the float range the value is infinite, as a single-precision read gives it.
    if (std::isfinite(wide) && std::fabs(wide) > std::numeric_limits<float>::max())
        value = std::copysign(std::numeric_limits<double>::infinity(), wide);
    else
        value = static_cast<double>(static_cast<float>(wide));
    return true;
}

bool ChartTemplateScanner::ReadQuoted(std::string& value, std::size_t maxBytes) {
    const std::size_t start = m_pos;
    SkipBlanks();
    if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
        m_pos = start;
        return false;
    }
    std::size_t end = m_pos + 1;
    while (end < m_text.size() && IsNameChar(m_text[end]))
        ++end;
    if (end == m_pos + 1) {
        m_pos = start;
        return false;
    }
    value.assign(m_text.substr(m_pos + 1, std::min(end - m_pos - 1, maxBytes)));
    m_pos = end;
    if (m_pos < m_text.size() && m_text[m_pos] == '"') ++m_pos;
    return true;
}

} // namespace vq
