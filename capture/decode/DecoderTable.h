#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace vq {

// Which decoder handles a protocol identifier: rows sorted by identifier, filled in one place per
// layer and searched by bisection. Identifiers without a row get the table's fallback.
template <typename Factory, size_t N> class DecoderTable {
public:
    struct Row {
        uint16_t identifier;
        Factory create;
    };

    consteval DecoderTable(const std::array<Row, N>& rows, Factory fallback)
        : rows_(rows), fallback_(fallback) {
        for (size_t i = 1; i < N; ++i) {
            if (rows_[i - 1].identifier >= rows_[i].identifier)
                throw "decoder rows must be sorted and unique";
        }
    }

    Factory Find(uint16_t identifier) const {
        auto it = std::lower_bound(rows_.begin(), rows_.end(), identifier,
                                   [](const Row& row, uint16_t id) { return row.identifier < id; });
        return it != rows_.end() && it->identifier == identifier ? it->create : fallback_;
    }

    const std::array<Row, N>& Rows() const { return rows_; }
    Factory Fallback() const { return fallback_; }

private:
    std::array<Row, N> rows_;
    Factory fallback_;
};

} // namespace vq
