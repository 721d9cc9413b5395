#pragma once

#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq::test {

// Field values as texts, so tables of different field types read as one list of rows.
inline std::string Text(bool value) {
    return value ? "true" : "false";
}
inline std::string Text(int64_t value) {
    return std::to_string(value);
}
inline std::string Text(int32_t value) {
    return std::to_string(value);
}
inline std::string Text(uint32_t value) {
    return std::to_string(value);
}
inline std::string Text(const std::string& value) {
    return '"' + value + '"';
}
inline std::string Text(const char* value) {
    return Text(std::string(value));
}
inline std::string Text(const OleDateTime& value) {
    switch (value.GetStatus()) {
    case OleDateTime::valid:
        return value.Format("%Y-%m-%d %H:%M:%S");
    case OleDateTime::invalid:
        return "invalid";
    default:
        return "null";
    }
}

struct FieldRow {
    const char* field;
    std::string actual;
    std::string expected;
};

} // namespace vq::test
