#pragma once

#include "chart/ChartLabelBlock.h"

#include <string>

namespace vq {

// A label block that knows a value range and an axis line in device pixels and fills itself
// with one label per tick: it chooses the step, places each label beside its tick point, turns
// the labels to suit the axis and records the tick points for grid lines and tick marks.
class ChartDecimalScale : public ChartLabelBlock {
    VQ_DECLARE_RUNTIME_CLASS(ChartDecimalScale)

public:
    static constexpr const char* kDefaultFormat = " %g ";
    // Style flags-word bit: the labels keep the style's own rotation and the block's anchor.
    static constexpr u32 kOwnRotation = 1u << 31;

    ChartDecimalScale();
    ChartDecimalScale(POINT start, POINT end, double minimum, double maximum, double step,
                      std::string_view format);

    void BuildLabels() override;

    virtual POINT GetLabelShift() const { return {0, 0}; }
    // Every label's offset from its tick point: the margin, turned off the axis to the label side.
    virtual POINT GetLabelOffset() const;
    virtual void SetAxisStart(int x, int y) { m_start = {x, y}; }
    virtual void SetAxisEnd(int x, int y) { m_end = {x, y}; }
    virtual void SetStep(double step) { m_step = step; }
    virtual void SetMaximum(double maximum) { m_maximum = maximum; }
    virtual void SetMinimum(double minimum) { m_minimum = minimum; }
    // A format that is not one floating-point conversion is not used: the default takes its place.
    virtual void SetFormat(std::string_view format) { m_format = format; }
    virtual void SetLabelSide(int side) { m_labelSide = side; }
    virtual void SetStartAtMinimum() { m_startAtMinimum = 1; }
    virtual void SetStartAtMaximum() { m_startAtMinimum = 0; }
    virtual POINT GetAxisStart() const { return m_start; }
    virtual POINT GetAxisEnd() const { return m_end; }
    virtual double GetStep() const { return m_step; }
    virtual double GetMaximum() const { return m_maximum; }
    virtual double GetMinimum() const { return m_minimum; }
    virtual std::string GetFormat() const { return m_format; }
    virtual int GetLabelSide() const { return m_labelSide; }
    // Rotation, anchor and push direction of every label from the axis direction.
    virtual void OrientLabels();
    // 1e+005 becomes 1e5, 2.5e-010 becomes 2.5e-10.
    virtual void TrimExponent(std::string& text) const;

    int StartsAtMinimum() const { return m_startAtMinimum; }
    // The step the last build chose.
    double GetChosenStep() const { return m_chosenStep; }
    // The value formatted with the scale's format, or the default one.
    std::string FormatValue(double value) const;
    static bool IsDoubleFormat(std::string_view format);

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    explicit ChartDecimalScale(int typeCode);

    // The axis vector and its length in pixels.
    double AxisLength() const;
    // Reuses the label at the position or appends one; the label takes the text under the
    // chart's current index.
    ChartLabel& LabelAt(int position);
    // Removes the labels from the position on.
    void TrimLabels(int count);
    // Builds and selects the block font for measuring; answers the previous one.
    HGDIOBJ SelectMeasuringFont();
    // The height of the text in the selected font, at least 1.
    int TextHeight(std::string_view text) const;
    // Orients the labels and records the tick points under them.
    void FinishBuild();

    double m_chosenStep = 0;

private:
    int m_startAtMinimum = 1;
    POINT m_start{};
    POINT m_end{};
    double m_minimum = 0;
    double m_maximum = 0;
    double m_step = 0.1;
    std::string m_format;
    int m_labelSide = 0;
};

} // namespace vq
