#pragma once

#include "chart/ChartDecimalScale.h"
#include "platform/time/OleDateTime.h"
#include "platform/time/OleDateTimeSpan.h"

namespace vq {

// A scale of dates and times, counted in days: the step is the first round span that keeps the
// labels apart, and months and years follow the calendar.
class ChartDateScale : public ChartDecimalScale {
    VQ_DECLARE_RUNTIME_CLASS(ChartDateScale)

public:
    ChartDateScale();

    void BuildLabels() override;

    virtual void SetMaximumDate(const OleDateTime& date) { SetMaximum(date.Value()); }
    virtual void SetMinimumDate(const OleDateTime& date) { SetMinimum(date.Value()); }
    virtual void SetStepSpan(const OleDateTimeSpan& span) { SetStep(span.GetTotalDays()); }

    // The format the last build used.
    const std::string& GetChosenFormat() const { return m_chosenFormat; }
    // The step for a range with room for the given number of labels.
    static double AutomaticStep(double range, int capacity);

private:
    std::string m_chosenFormat;
};

} // namespace vq
