#pragma once

#include "chart/ChartDecimalScale.h"

namespace vq {

// A scale of decades, each with nine subdivisions: texts at the powers of ten, and at every tick
// when the range spans at most about one decade.
class ChartLogScale : public ChartDecimalScale {
    VQ_DECLARE_RUNTIME_CLASS(ChartLogScale)

public:
    ChartLogScale();
    ChartLogScale(POINT start, POINT end, double minimum, double maximum, double step,
                  std::string_view format);

    // Chart error 22 unless both ends are above 0.
    void BuildLabels() override;
};

} // namespace vq
