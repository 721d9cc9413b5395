#pragma once

#include <cstdint>

// Resource numbers the chart library loads; the texts and images are in Chart.rc, which every
// program using the library compiles in.
namespace vq {

inline constexpr const char* kChartMessageCaption = "Vorquel";

enum : std::uint32_t {
    IDS_CHART_TEMPLATE_ERROR = 21601,
    IDS_CHART_TEMPLATE_UNREADABLE = 21602,
    IDS_CHART_RANGES_FAILED = 21604,
    IDS_CHART_BUFFER_FAILED = 21605,
    IDS_CHART_BUFFER_GROW_FAILED = 21606,
    IDB_CHART_SHADOW = 21561,
    IDB_CHART_SHADE_LIGHT = 21557,
    IDB_CHART_SHADE_LIGHTER = 21558,
    IDB_CHART_SHADE_DARK = 21559,
    IDB_CHART_DEFAULT_PICTURE = 21609,
    IDB_CHART_EMPTY = 21560,
    IDS_CHART_GRID_ENTRY = 21608,
    IDS_CHART_STOCK_MARKER_FIRST = 53546,
};

} // namespace vq
