#pragma once

#include "platform/core/ObjectArchive.h"
#include "platform/gui/GdiTypes.h"
#include "platform/gui/WindowSystem.h"

namespace vq {

class Chart;
class DeviceContext;
using HDC = DeviceContext*;

// A component's position in one of four units. A value of exactly -1 stands for the edge of the
// chart's drawing area (left and top 0, right its width, bottom its height).
class ChartRect : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(ChartRect)

public:
    enum Unit : int { unitPixels = 0, unitMillimetres = 1, unitInches = 2, unitPercent = 3 };
    static constexpr double kEdge = -1;

    ChartRect() = default;
    explicit ChartRect(const RECT& r) { SetFromRECT(r); }

    virtual void SetChart(Chart* chart) { m_chart = chart; }
    virtual int GetUnit() const { return m_unit; }
    virtual void SetUnit(int unit) { m_unit = unit; }
    virtual void SetValues(double left, double top, double right, double bottom);
    virtual void SetFromRECT(const RECT& r);
    // In device pixels of the context, moved by the drawing area's corner when the chart draws
    // at an explicit position.
    virtual RECT GetDeviceRect(HDC dc, HWND window) const;
    virtual void SetFromDeviceRect(const RECT& r, HDC dc, HWND window);
    // Left and right move out by dx/2 each, top and bottom by dy/2.
    void Inflate(double dx, double dy);

    double Left() const { return m_left; }
    double Top() const { return m_top; }
    double Right() const { return m_right; }
    double Bottom() const { return m_bottom; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;
    bool operator==(const ChartRect& other) const {
        return m_left == other.m_left && m_top == other.m_top && m_right == other.m_right &&
               m_bottom == other.m_bottom && m_unit == other.m_unit;
    }

private:
    double m_left = -1;
    double m_top = -1;
    double m_right = -1;
    double m_bottom = -1;
    Chart* m_chart = nullptr;
    int m_unit = unitPixels;
};

// Inches per millimetre as device rectangles and margins take it, and as the way back takes it.
inline constexpr double kInchesPerMillimetre = 0.03937007933143675;
inline constexpr double kInchesPerMillimetreBack = 0.03937007874015748;

} // namespace vq
