#pragma once

#include "chart/Chart.h"
#include "chart/ChartException.h"

#include <functional>

namespace vq::test {

// A component of any type code that counts its draws and runs a test's action as its content.
class ProbeComponent : public ChartComponent {
public:
    explicit ProbeComponent(int typeCode = chartComponentType) : ChartComponent(typeCode) {}

    void DrawForeground() override {
        ++draws;
        if (onForeground) onForeground(*this);
    }

    int draws = 0;
    std::function<void(ProbeComponent&)> onForeground;
};

inline int ChartErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ChartException& error) {
        return error.GetCode();
    }
    return -1;
}

} // namespace vq::test
