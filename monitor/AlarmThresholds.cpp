#include "monitor/AlarmThresholds.h"

#include "monitor/StatisticArray.h"
#include "platform/core/Format.h"

namespace vq {

bool AlarmThresholds::Add(std::unique_ptr<AlarmThreshold> threshold) {
    threshold->SetIndex(int32_t(m_Thresholds.size()));
    m_Thresholds.push_back(std::move(threshold));
    return true;
}

bool AlarmThresholds::Update(double value) {
    bool fired = false;
    for (const auto& threshold : m_Thresholds)
        fired = threshold->Update(value) || fired;
    return fired;
}

bool AlarmThresholds::Evaluate(const MonitorActionArray& statistics) {
    double sum = 0.0;
    for (std::size_t i = 0; i < statistics.GetSize(); ++i)
        sum += StatisticArray::ElementAt(statistics, i)
                   .GetStatistic()
                   .GetValue(MODE_DEFAULT, EVALUATE_DEFAULT, 0.0);
    return Update(sum);
}

void AlarmThresholds::CopyFired(const AlarmThresholds& thresholds) {
    try {
        for (const auto& threshold : thresholds.m_Thresholds)
            if (threshold->Fired()) Add(std::make_unique<AlarmThreshold>(*threshold));
    } catch (...) {
        RemoveAll();
        throw;
    }
}

std::string AlarmThresholds::Describe(uint32_t flags, int depth) const {
    if (m_Thresholds.empty()) return " (empty)";
    std::string text = Format(" (%d elements)\n", int(m_Thresholds.size()));
    for (const auto& threshold : m_Thresholds)
        text += threshold->DescribeObject(flags, depth + 1);
    return text;
}

} // namespace vq
