#pragma once

#include "netmodel/SafeObject.h"
#include "runtime/Timestamp.h"

#include <cstdint>

namespace vq {

class Tuple;

// A traffic accounting object: what pools and their indexes hold. A tuple answers itself, a
// conversation its tuple.
class TAO : public SafeObject {
public:
    ~TAO() override = default;

    // The tuples compare equal.
    virtual bool IsEqual(const TAO& other) const;
    virtual bool IsSimilar(const TAO& other, bool session) const;
    virtual Tuple* GetTuple() const = 0;

    Timestamp m_FirstTime;
    Timestamp m_LastTime;

private:
    friend class TAOPool;
    friend class SimilarTupleFinder;
    // Rank in the pool's list: list order without a position to keep up to date.
    uint64_t m_PoolOrder = 0;
};

} // namespace vq
