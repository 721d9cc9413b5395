#pragma once

#include "chart/ChartComponent.h"

#include <vector>

namespace vq {

// A short stroke across the axis at every tick point, with shorter minor strokes between them.
class ChartTickMarks : public ChartComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartTickMarks)

public:
    ChartTickMarks();

    void Draw(HDC dc, HWND window) override;
    void DrawBackground() override {}
    void DrawBorder() override {}
    void DrawShadow() override {}
    void DrawForeground() override;

    // Moves both points off the axis by the longer tick length.
    virtual void OffsetByTickLength(POINT& first, POINT& second) const;
    virtual POINT OffsetPoint(POINT point, int length, double angle) const;
    virtual void DrawTick(int x, int y, int length, double angle, int width, COLORREF colour);
    virtual void SetMinorCount(int count) { m_minorCount = count; }
    virtual int GetMinorCount() const { return m_minorCount; }
    virtual void SetMinorColor(COLORREF colour) { m_minorColour = colour; }
    virtual COLORREF GetMinorColor() const { return m_minorColour; }
    virtual void SetMajorColor(COLORREF colour) { m_majorColour = colour; }
    virtual COLORREF GetMajorColor() const { return m_majorColour; }
    virtual void SetMajorWidth(int width) { m_majorWidth = width; }
    virtual void SetMinorWidth(int width) { m_minorWidth = width; }
    virtual int GetMinorWidth() const { return m_minorWidth; }
    virtual int GetMajorWidth() const { return m_majorWidth; }
    // The points stay the caller's.
    virtual void SetTickPoints(const std::vector<POINT>* points) { m_points = points; }
    virtual const std::vector<POINT>* GetTickPoints() const { return m_points; }
    virtual void SetSide(int side) { m_side = side; }
    virtual int GetSide() const { return m_side; }
    virtual void SetMajorLength(int length) { m_majorLength = length; }
    virtual int GetMajorLength() const { return m_majorLength; }
    virtual void SetMinorLengthFactor(double factor) { m_minorFactor = factor; }
    virtual double GetMinorLengthFactor() const { return m_minorFactor; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    int m_minorWidth = 1;
    int m_majorWidth = 1;
    COLORREF m_minorColour = 0;
    COLORREF m_majorColour = 0;
    int m_side = 0;
    int m_majorLength = 5;
    double m_minorFactor = 0.75;
    const std::vector<POINT>* m_points = nullptr;
    int m_minorCount = 0;
};

} // namespace vq
