#include "netmodel/TAO.h"

#include "netmodel/Tuple.h"

namespace vq {

bool TAO::IsEqual(const TAO& other) const {
    const Tuple* mine = GetTuple();
    const Tuple* theirs = other.GetTuple();
    return mine != nullptr && theirs != nullptr && mine->Compare(*theirs) == 0;
}

bool TAO::IsSimilar(const TAO& other, bool session) const {
    const Tuple* mine = GetTuple();
    return mine != nullptr && mine->IsSimilar(other, session);
}

} // namespace vq
