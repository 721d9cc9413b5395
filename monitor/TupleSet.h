#pragma once

#include "netmodel/Tuple.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

// An ordered set of tuples that it owns.
class TupleSet {
public:
    TupleSet() = default;
    ~TupleSet();
    TupleSet(const TupleSet&) = delete;
    TupleSet& operator=(const TupleSet&) = delete;

    bool Add(std::unique_ptr<Tuple> tuple);
    // Whether some element agrees with the tuple on every field the element gives.
    bool Contains(const Tuple& tuple) const;
    // Deep copies of the other's tuples; on failure the set is left empty and the failure passed on.
    void CopyFrom(const TupleSet& other);
    void RemoveAll() { m_Tuples.clear(); }

    std::size_t GetSize() const { return m_Tuples.size(); }
    bool IsEmpty() const { return m_Tuples.empty(); }
    Tuple& Get(std::size_t index) const { return *m_Tuples[index]; }

    // The size, then each tuple's own description one level deeper.
    std::string Describe(uint32_t flags, int depth) const;

private:
    std::vector<std::unique_ptr<Tuple>> m_Tuples;
};

} // namespace vq
