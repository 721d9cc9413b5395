// Loads a group of chart data from arbitrary bytes and reads every value back: a hostile stream
// must end in ArchiveException, never in a crash or a huge allocation.
#include "chart/ChartDataList.h"
#include "chart/ChartDynamicData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vq;
    static const RuntimeClass* const known[] = {&ChartAnnotation::Class(), &ChartData::Class(),
                                                &ChartDynamicData::Class(), &ChartDataList::Class()};
    try {
        ObjectReader in(std::span<const u8>(data, size), known);
        auto group = in.ReadObject<ChartDataList>();
        if (!group) return 0;
        for (auto& item : group->GetItems()) {
            const int reads = item->IsDynamic() ? static_cast<ChartDynamicData&>(*item).GetCapacity() + 1 : 1;
            for (int i = 0; i < reads; ++i)
                item->GetValue(true);
        }
    } catch (const ArchiveException&) {
        // The refusal is the answer a hostile stream must get.
    }
    return 0;
}
