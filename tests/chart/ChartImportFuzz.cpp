// Imports arbitrary text into a chart and sums what it holds: every cell is a finite number, a
// date or text, and the import allocates no more items than the text has cells.
#include "chart/Chart.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vq;
    Chart chart;
    chart.ImportText(std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t items = 0;
    for (auto& group : chart.GetGroupList()) {
        items += group->GetItems().size();
        for (auto& item : group->GetItems())
            if (!std::isfinite(item->GetValue())) __builtin_trap();
    }
    if (items > size + 1 || chart.GetGroupList().size() > size + 1) __builtin_trap();
    chart.GetValueRange(false);
    return 0;
}
