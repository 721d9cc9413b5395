// Loads a chart from arbitrary bytes and reads its values back: a hostile stream must end in
// ArchiveException, never in a crash or a huge allocation, and must leave the chart as it was.
#include "chart/Chart.h"
#include "chart/ChartDynamicData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vq;
    Chart chart;
    try {
        ObjectReader in(std::span<const u8>(data, size), Chart::ArchiveClasses());
        chart.Load(in, 1);
    } catch (const ArchiveException&) {
        if (chart.GetGroupCount() != 0 || !chart.GetComponentList().empty()) __builtin_trap();
        return 0;
    }
    chart.TotalSum();
    chart.GetValueRange(true);
    for (auto& group : chart.GetGroupList())
        for (auto& item : group->GetItems()) {
            const int reads = item->IsDynamic() ? static_cast<ChartDynamicData&>(*item).GetCapacity() + 1 : 1;
            for (int i = 0; i < reads; ++i)
                item->GetValue(true);
        }
    return 0;
}
