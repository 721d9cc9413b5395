#pragma once

#include "chart/CScale.h"
#include "chart/ChartAnnotation.h"
#include "chart/ChartStyle.h"

#include <string>
#include <string_view>

namespace vq {

// One data item: a value with its null flag, the range of the values set so far, its texts and
// its style.
class ChartData : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(ChartData)

public:
    ChartData();
    // The value is not added to the range; the item is not null.
    ChartData(double value, u32 styleWord, std::string_view label);

    virtual ChartStyle& GetStyle() { return m_style; }
    virtual void SetNull(int isNull) { m_null = isNull; }
    virtual int IsNull() const { return m_null; }
    // log10 of the value when above 0, else -99.
    virtual double GetLogValue() const;
    // The null flag is kept.
    virtual void Clear();
    virtual CScale GetRange() { return m_range; }
    virtual int IsDynamic() const { return 0; }
    virtual std::string GetAnnotationText(int index) const { return m_annotations.GetText(index); }
    virtual double GetValue(bool log = false);
    virtual void SetValue(double value);
    virtual void SetAnnotationText(std::string_view text, bool clear, int index);
    virtual void SetAnnotation(int index, std::string_view text);

    ChartAnnotationList& GetAnnotationList() { return m_annotations; }
    const ChartAnnotationList& GetAnnotationList() const { return m_annotations; }
    CScale& GetRangeRecord() { return m_range; }
    const ChartStyle& GetStyle() const { return m_style; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    CScale m_range;
    double m_value = 0;
    ChartAnnotationList m_annotations;
    ChartStyle m_style{ChartStyle::levelData};
    int m_null = 1;
};

// A read-only placeholder for an item that does not exist: it always reads as a null 0 and
// archives as a plain item.
class ChartDummyData : public ChartData {
public:
    // A fresh default style each time, so a caller that styles the placeholder styles nothing
    // that later readers see.
    ChartStyle& GetStyle() override {
        m_scratchStyle = ChartStyle(ChartStyle::levelData);
        return m_scratchStyle;
    }
    void SetNull(int) override {}
    void SetValue(double) override {}
    void SetAnnotationText(std::string_view, bool, int) override {}
    void SetAnnotation(int, std::string_view) override {}

    // The one process-wide item for reads beyond a dynamic group's buffer.
    static ChartDummyData& Shared();

private:
    ChartStyle m_scratchStyle;
};

// The value's common logarithm as the charts show it: -99 for values at or below 0.
double ChartLogValue(double value);

} // namespace vq
