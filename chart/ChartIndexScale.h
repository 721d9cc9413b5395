#pragma once

#include "chart/ChartDecimalScale.h"

namespace vq {

// A scale of categories: one label per shown category, in the middle of its cell or, with labels
// on edges, the first and last at the axis ends; the texts are the items' annotations.
class ChartIndexScale : public ChartDecimalScale {
    VQ_DECLARE_RUNTIME_CLASS(ChartIndexScale)

public:
    ChartIndexScale();

    void BuildLabels() override;

    virtual int GetLabelsOnEdges() const { return m_labelsOnEdges; }
    virtual void SetLabelsOnEdges(int on) { m_labelsOnEdges = on; }

    // The categories shown, from the data window.
    virtual int GetFirst() const;
    virtual int GetLast() const;
    // The text of the entry at the position from the first.
    virtual std::string TextAt(int position);
    // The scale's step in entries for n entries and room for the capacity.
    static int ChooseStep(int entries, int capacity, double step);

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    explicit ChartIndexScale(int typeCode);
    // The group scale measures its capacity on the whole axis, the index scale on the shortened one.
    virtual bool MeasuresWholeAxis() const { return false; }

private:
    int m_labelsOnEdges = 0;
};

// The same for series: the texts are the series names.
class ChartGroupScale : public ChartIndexScale {
    VQ_DECLARE_RUNTIME_CLASS(ChartGroupScale)

public:
    ChartGroupScale();

    int GetFirst() const override;
    int GetLast() const override;
    std::string TextAt(int position) override;

protected:
    bool MeasuresWholeAxis() const override { return true; }
};

} // namespace vq
