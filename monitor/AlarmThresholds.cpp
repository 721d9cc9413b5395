#include "monitor/AlarmThresholds.h"

#include "monitor/StatisticArray.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(AlarmThresholds, DescribableCollection)

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

MemberTable AlarmThresholds::Members() {
    return {Class(), {}};
}

} // namespace vq
