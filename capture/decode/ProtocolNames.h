#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vq {

// One row of a layer family's name table: identifiers low to high (both included) and their
// long and short names. The first matching row wins, so an exception goes before its range.
struct ProtocolNameRow {
    uint32_t low;
    uint32_t high;
    const char* verbose;
    const char* brief;
};

// The name of an identifier, or the family's pattern ("NETWORK(2048)" verbose, "2048" short)
// when the table does not know it.
std::string LookupProtocolName(std::span<const ProtocolNameRow> table, uint32_t identifier, bool verbose,
                               const char* family);

} // namespace vq
