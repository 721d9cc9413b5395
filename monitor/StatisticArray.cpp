#include "monitor/StatisticArray.h"

#include "netmodel/SafeObject.h"

#include <memory>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(StatisticArray, MonitorActionArray)

StatisticArray::StatisticArray(const MonitorActionArray& elements, int copyMode) {
    for (std::size_t i = 0; i < elements.GetSize(); ++i)
        AddCopy(ElementAt(elements, i), copyMode);
}

void StatisticArray::AddCopy(const StatisticElement& element, int copyMode) {
    // The copy borrows the selector only until Add gives it its own by the copy mode.
    Add(std::make_unique<StatisticElement>(element, PointerAssignment), element.GetSelector(), copyMode);
}

} // namespace vq
