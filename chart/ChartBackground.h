#pragma once

#include "chart/ChartComponent.h"

namespace vq {

// A component that shows only the base's fill, shadow and border: the chart's background when it
// stands first in the list.
class ChartBackground : public ChartComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartBackground)

public:
    ChartBackground() : ChartComponent(chartBackgroundType) {}

    std::string WriteTemplateKeyword() const override { return "background "; }
};

} // namespace vq
