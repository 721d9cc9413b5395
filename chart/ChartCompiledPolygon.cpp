#include "chart/ChartCompiledPolygon.h"

#include "chart/CScale.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace vq {
namespace {

constexpr std::size_t kBufferStep = 128;

struct Point {
    float x, y;
};

constexpr Point kBox[] = {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}, {-5, -5}};
constexpr Point kTriangle[] = {{0, -50}, {25, 50}, {-25, 50}, {0, -50}};
constexpr Point kFlash[] = {{-25, -10}, {-15, -5}, {0, -10}, {15, -5},  {25, -10}, {20, -3},
                            {25, 0},    {20, 3},   {25, 10}, {15, 5},   {0, 10},   {-15, 5},
                            {-25, 10},  {-20, 3},  {-25, 0}, {-20, -3}, {-25, -10}};
constexpr Point kDiamond[] = {{0, -10}, {10, 0}, {0, 10}, {-10, 0}, {0, -10}};

std::int32_t Trunc(double value) {
    return TruncToInt(value);
}

// Where a coordinate falls along an axis of the rectangle; an axis without extent maps to its start.
std::int32_t Fit(double value, const CScale& range, std::int32_t extent) {
    const double span = range.GetSpan();
    if (span == 0) return 0;
    return Trunc((value - range.GetMinimum()) / span * extent + 0.5);
}

// Reads "%d" or "%g" as the shape format has them: blanks, then a number.
template <typename T> bool ReadNumber(std::string_view& text, T& value) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    if (begin < end && *begin == '+') ++begin;
    auto [next, error] = std::from_chars(begin, end, value);
    if (error != std::errc()) return false;
    text.remove_prefix(static_cast<std::size_t>(next - text.data()));
    return true;
}

} // namespace

ChartCompiledPolygon::ChartCompiledPolygon(int stockShape) {
    auto add = [this](std::span<const Point> points) {
        for (const Point& p : points)
            AddPoint(p.x, p.y);
    };
    switch (stockShape) {
    case stockCircle:
        MakeRegular(18);
        break;
    case stockTriangle:
        add(kTriangle);
        break;
    case stockFlash:
        add(kFlash);
        break;
    case stockHexagon:
        MakeRegular(6);
        break;
    case stockPentagon:
        MakeRegular(5);
        break;
    case stockDiamond:
        add(kDiamond);
        break;
    default:
        add(kBox);
        break;
    }
    ReserveBuffer();
    Compile();
}

void ChartCompiledPolygon::ReserveBuffer() {
    const std::size_t count = m_coordinates.size();
    if (!m_buffer.empty() && m_buffer.size() >= count) return;
    const std::size_t capacity =
        count == 0 ? kBufferStep : (count + kBufferStep - 1) / kBufferStep * kBufferStep;
    m_buffer.assign(capacity, POINT{});
}

void ChartCompiledPolygon::AddCoordinate(std::unique_ptr<ChartCoordinate> coordinate) {
    m_coordinates.push_back(std::move(coordinate));
    m_dirty = 1;
}

void ChartCompiledPolygon::MakeRegular(int n) {
    if (n < 1 || n > 360) return;
    const int step = 360 / n;
    const std::size_t first = m_coordinates.size();
    for (int a = 0; a < 360; a += step) {
        const double radians = a * kRadiansPerDegree;
        AddPoint(static_cast<float>(std::sin(radians) * 100 - 50),
                 static_cast<float>(std::cos(radians) * 100 - 50));
    }
    const ChartCoordinate& start = *m_coordinates[first];
    AddPoint(static_cast<float>(start.GetX()), static_cast<float>(start.GetY()));
}

void ChartCompiledPolygon::SetRotation(double degrees) {
    m_rotated = degrees != 0 ? 1 : 0;
    m_angle = degrees;
    m_dirty = 1;
}

std::span<const POINT> ChartCompiledPolygon::Compile() {
    if (m_dirty) {
        ReserveBuffer();
        for (std::size_t i = 0; i < m_coordinates.size(); ++i)
            m_buffer[i] = {Trunc(m_coordinates[i]->GetX() + 0.5), Trunc(m_coordinates[i]->GetY() + 0.5)};
        m_dirty = 0;
    }
    return Points();
}

std::span<const POINT> ChartCompiledPolygon::Place(float dx, float dy) {
    ReserveBuffer();
    const double t = m_angle * kRadiansPerDegree;
    const bool rotate = m_rotated && m_angle != 0;
    for (std::size_t i = 0; i < m_coordinates.size(); ++i) {
        std::int32_t y1 = Trunc(m_yScale * m_coordinates[i]->GetY() + 0.5);
        std::int32_t x1 = Trunc(m_xScale * m_coordinates[i]->GetX() + 0.5);
        if (rotate) {
            const std::int32_t x = x1, y = y1;
            x1 = Trunc(std::cos(t) * x + std::sin(t) * y);
            y1 = Trunc(std::cos(t) * y - std::sin(t) * x);
        }
        m_buffer[i] = {Trunc(dx + x1 + 0.5), Trunc(dy + y1 + 0.5)};
    }
    m_dirty = 0;
    return Points();
}

std::span<const POINT> ChartCompiledPolygon::FitToRect(const RECT& rect) {
    ReserveBuffer();
    CScale xs, ys;
    for (const auto& c : m_coordinates) {
        xs.Update(c->GetX());
        ys.Update(c->GetY());
    }
    for (std::size_t i = 0; i < m_coordinates.size(); ++i)
        m_buffer[i] = {rect.left + Fit(m_coordinates[i]->GetX(), xs, rect.right - rect.left),
                       rect.bottom - Fit(m_coordinates[i]->GetY(), ys, rect.bottom - rect.top)};
    m_dirty = 0;
    return Points();
}

std::unique_ptr<ChartCompiledPolygon> ParseChartShape(std::string_view text, std::string_view name) {
    constexpr int kShapeError = 19;
    int count = 0;
    if (!ReadNumber(text, count)) RaiseChartError(kShapeError);
    auto shape = std::make_unique<ChartCompiledPolygon>();
    for (int i = 0; i < count; ++i) {
        float x = 0, y = 0;
        if (!ReadNumber(text, x) || !ReadNumber(text, y) || !std::isfinite(x) || !std::isfinite(y))
            RaiseChartError(kShapeError);
        shape->AddPoint(x, y);
    }
    shape->SetName(name);
    return shape;
}

} // namespace vq
