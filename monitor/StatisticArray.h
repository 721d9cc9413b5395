#pragma once

#include "monitor/MonitorActionArray.h"
#include "monitor/StatisticElement.h"

#include <cstddef>

namespace vq {

// The elements of a statistic action, each a StatisticElement.
class StatisticArray : public MonitorActionArray {
    VQ_DECLARE_RUNTIME_CLASS(StatisticArray)

public:
    StatisticArray() = default;
    // Every element copied in order, its selector by copy mode: copy mode 2 leaves nothing that
    // points into the model the elements were counted in.
    StatisticArray(const MonitorActionArray& elements, int copyMode);

    // Appends a copy of a statistic element with its selector by copy mode.
    void AddCopy(const StatisticElement& element, int copyMode);
    StatisticElement& GetAt(std::size_t index) const { return ElementAt(*this, index); }

    // The elements of a statistic action are all statistic elements.
    static StatisticElement& ElementAt(const MonitorActionArray& elements, std::size_t index) {
        return static_cast<StatisticElement&>(elements.Get(index));
    }
};

} // namespace vq
