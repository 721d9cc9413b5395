#pragma once

#include <cstdint>
#include <vector>

namespace vq {

class TAO;
class Tuple;

// TAOs filed together in an index; not owned.
class TAOList {
public:
    // Appends unless a TAO whose tuple fully matches the newcomer's is there; true when appended.
    bool FindOrAdd(TAO* tao);
    void Append(TAO* tao) { m_Items.push_back(tao); }
    bool Remove(const TAO* tao);
    // The first TAO whose tuple matches with the mask.
    TAO* FindMatch(const Tuple& tuple, int32_t mask) const;

    bool IsEmpty() const { return m_Items.empty(); }
    int GetCount() const { return int(m_Items.size()); }
    const std::vector<TAO*>& Items() const { return m_Items; }
    // Test hook for the integrity check.
    std::vector<TAO*>& MutableItems() { return m_Items; }

private:
    std::vector<TAO*> m_Items;
};

} // namespace vq
