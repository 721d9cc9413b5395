#pragma once

#include <string>
#include <string_view>

namespace vq {

// Reads the blank-separated fields of one template line from the front, the way the template's
// formats describe them; each read skips leading white space and leaves the cursor where a
// failed read began.
class ChartTemplateScanner {
public:
    explicit ChartTemplateScanner(std::string_view text) : m_text(text) {}

    // A decimal integer in the int range.
    bool ReadInt(int& value);
    // A number read in single precision, as the template's numbers are.
    bool ReadFloat(double& value);
    // A number in double precision.
    bool ReadDouble(double& value);
    // A double-quoted run of letters, digits, '-', '_', '.' and blanks, of which at most
    // maxBytes are kept; an empty run does not match.
    bool ReadQuoted(std::string& value, std::size_t maxBytes);
    // Characters consumed so far.
    std::size_t Used() const { return m_pos; }

private:
    void SkipBlanks();

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace vq
