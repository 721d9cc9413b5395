#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/GdiTypes.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vq {

// One point of a shape, in the shape's own floating-point units.
class ChartCoordinate {
public:
    ChartCoordinate(float x, float y) : m_x(x), m_y(y) {}
    virtual ~ChartCoordinate() = default;

    virtual void SetX(int x) { m_x = static_cast<float>(x); }
    virtual void SetX(double x) { m_x = static_cast<float>(x); }
    virtual void SetX(float x) { m_x = x; }
    virtual double GetX() const { return m_x; }
    virtual void SetY(int y) { m_y = static_cast<float>(y); }
    virtual void SetY(double y) { m_y = static_cast<float>(y); }
    virtual void SetY(float y) { m_y = y; }
    virtual double GetY() const { return m_y; }

private:
    float m_x;
    float m_y;
};

// A named polygon of floating-point coordinates, compiled to device points as they are, scaled,
// rotated and placed, or fitted into a rectangle. Larger y values end up higher when fitted.
class ChartCompiledPolygon : public Object {
public:
    // Stock shapes by number; any number beyond the table is the box.
    enum StockShape {
        stockBox,
        stockCircle,
        stockTriangle,
        stockFlash,
        stockHexagon,
        stockPentagon,
        stockDiamond
    };

    ChartCompiledPolygon() = default;
    explicit ChartCompiledPolygon(int stockShape);

    virtual void ReserveBuffer();
    virtual void SetYScale(double scale) { m_yScale = scale; }
    virtual double GetYScale() const { return m_yScale; }
    virtual void SetXScale(double scale) { m_xScale = scale; }
    virtual double GetXScale() const { return m_xScale; }
    virtual void SetRotatedFlag(int rotated) { m_rotated = rotated; }
    virtual int GetRotatedFlag() const { return m_rotated; }
    virtual void SetAngleValue(double angle) { m_angle = angle; }
    virtual double GetAngleValue() const { return m_angle; }
    // A regular outline of n corners (closed by a copy of the first); n outside 1-360 adds nothing.
    virtual void MakeRegular(int n);
    virtual void SetRotation(double degrees);
    virtual std::span<const POINT> FitToRect(const RECT& rect);
    virtual std::span<const POINT> Place(float dx, float dy);
    virtual const std::string& GetName() const { return m_name; }
    virtual void SetName(std::string_view name) { m_name = name; }
    virtual std::span<const POINT> Compile();
    virtual void AddPointInt(int x, int y) { AddPoint(static_cast<float>(x), static_cast<float>(y)); }
    virtual void AddPoint(float x, float y) { AddCoordinate(std::make_unique<ChartCoordinate>(x, y)); }
    virtual void AddCoordinate(std::unique_ptr<ChartCoordinate> coordinate);
    virtual int GetPointCount() const { return static_cast<int>(m_coordinates.size()); }

    int GetBufferCapacity() const { return static_cast<int>(m_buffer.size()); }

private:
    std::span<const POINT> Points() const { return {m_buffer.data(), m_coordinates.size()}; }

    double m_yScale = 1.0;
    double m_xScale = 1.0;
    int m_rotated = 0;
    double m_angle = 0.0;
    std::string m_name;
    std::vector<POINT> m_buffer;
    std::vector<std::unique_ptr<ChartCoordinate>> m_coordinates;
    int m_dirty = 1;
};

// A shape from its text: the point count, then x and y of each point, separated by blanks.
// Chart error 19 when the count or a point does not read.
std::unique_ptr<ChartCompiledPolygon> ParseChartShape(std::string_view text, std::string_view name);

} // namespace vq
