#include "monitor/TupleSet.h"

#include "netmodel/SafeObject.h"

namespace vq {

TupleSet::~TupleSet() = default;

bool TupleSet::Add(std::unique_ptr<Tuple> tuple) {
    tuple->SetOwner(this);
    m_Tuples.push_back(std::move(tuple));
    return true;
}

bool TupleSet::Contains(const Tuple& tuple) const {
    for (const auto& element : m_Tuples)
        if (element->Matches(tuple, element->GetValidKeys())) return true;
    return false;
}

void TupleSet::CopyFrom(const TupleSet& other) {
    RemoveAll();
    try {
        for (const auto& element : other.m_Tuples)
            Add(std::make_unique<Tuple>(*element, DeepCopy, element->GetLive()));
    } catch (...) {
        RemoveAll();
        throw;
    }
}

std::string TupleSet::Describe(uint32_t flags, int depth) const {
    std::string text = DescribeCount(m_Tuples.size());
    if (m_Tuples.empty()) return text;
    text += "\n";
    for (const auto& tuple : m_Tuples)
        text += tuple->DescribeObject(flags, depth + 1);
    return text;
}

} // namespace vq
