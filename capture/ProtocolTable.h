#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace vq {

// One protocol the displays know by name: its layer (6 data link down to 1 application, that is
// 8 minus the layer kind), its identifier in that layer, its place in the protocol tree and the
// row into which its traffic is also gathered.
struct ProtocolRow {
    int32_t layer;
    int32_t number;
    const char* name;
    int32_t group;
    int32_t item;
    int32_t parent;
    int32_t flags;
    int32_t defaultRow;
};

// Rows from 200 on are auxiliary rows, made at run time for identifiers the table lacks.
constexpr int32_t kFirstAuxiliaryRow = 200;
// The parent of the tree's root rows.
constexpr int32_t kProtocolTreeRoot = 200;

// The constant rows, in row order.
std::span<const ProtocolRow> ProtocolRows();

// The row of an identifier of a layer, appending an auxiliary row when the table lacks it;
// defaultRow receives the row's default row (0 for none, -1 when the layer has no row to
// gather unknown identifiers). Safe to call from several threads.
int32_t LookupProtocol(int32_t number, int32_t layer, int32_t& defaultRow);
// The display name of a row; an empty text for a row that does not exist.
std::string GetProtocolName(int32_t row);

// Map 1: (parent << 16) + number to row; map 2: ProtocolTreeKey(group, item) to row. A later row
// with the same key replaces an earlier one. Returns the number of constant rows.
int32_t BuildProtocolIndexMaps(std::map<int32_t, int32_t>& byParentAndNumber,
                               std::map<int32_t, int32_t>& byTreePosition);
// The one key of a tree position (group 0-7, item 0-31) that map 2 and its readers share.
constexpr int32_t ProtocolTreeKey(int32_t group, int32_t item) {
    return group * 32 + item;
}

// Forgets every auxiliary row (tests).
void ResetAuxiliaryProtocols();

} // namespace vq
