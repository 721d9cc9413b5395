#include "chart/ChartRect.h"

#include "chart/Chart.h"
#include "chart/ChartGeometry.h"
#include "platform/gui/Gdi.h"

namespace vq {
namespace {

// One coordinate in pixels: dpi serves lengths, the drawing area's extent percentages.
std::int32_t ToPixels(double value, int unit, int dpi, int extent) {
    switch (unit) {
    case ChartRect::unitMillimetres:
        return TruncToInt(value * dpi * kInchesPerMillimetre);
    case ChartRect::unitInches:
        return TruncToInt(value * dpi);
    case ChartRect::unitPercent:
        return TruncToInt(value * 0.01 * extent);
    default:
        return TruncToInt(value);
    }
}

double FromPixels(std::int32_t value, int unit, int dpi, int extent) {
    switch (unit) {
    case ChartRect::unitMillimetres:
        return value / (dpi * kInchesPerMillimetreBack);
    case ChartRect::unitInches:
        return static_cast<double>(value) / dpi;
    case ChartRect::unitPercent:
        return extent != 0 ? value * 100.0 / extent : 0;
    default:
        return value;
    }
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartRect, Serializable)

void ChartRect::SetValues(double left, double top, double right, double bottom) {
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
}

void ChartRect::SetFromRECT(const RECT& r) {
    SetValues(r.left, r.top, r.right, r.bottom);
}

void ChartRect::Inflate(double dx, double dy) {
    m_left -= dx / 2;
    m_right += dx / 2;
    m_top -= dy / 2;
    m_bottom += dy / 2;
}

RECT ChartRect::GetDeviceRect(HDC dc, HWND) const {
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const RECT area = m_chart ? m_chart->GetDrawingArea() : RECT{};
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    RECT r{ToPixels(m_left, m_unit, dpiX, width), ToPixels(m_top, m_unit, dpiY, height),
           ToPixels(m_right, m_unit, dpiX, width), ToPixels(m_bottom, m_unit, dpiY, height)};
    if (m_left == kEdge) r.left = 0;
    if (m_top == kEdge) r.top = 0;
    if (m_right == kEdge) r.right = width;
    if (m_bottom == kEdge) r.bottom = height;
    if (m_chart && m_chart->HasExplicitPosition()) {
        r.left += area.left;
        r.right += area.left;
        r.top += area.top;
        r.bottom += area.top;
    }
    return r;
}

void ChartRect::SetFromDeviceRect(const RECT& r, HDC dc, HWND window) {
    RECT reference{};
    if (window) {
        GetClientRect(window, &reference);
    } else if (m_chart && m_chart->HasExplicitPosition()) {
        reference = m_chart->GetExplicitPosition();
    } else if (m_chart) {
        const SIZE size = m_chart->GetDrawingSize();
        reference = {0, 0, size.cx, size.cy};
    }
    const int width = reference.right - reference.left;
    const int height = reference.bottom - reference.top;
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    SetValues(FromPixels(r.left, m_unit, dpiX, width), FromPixels(r.top, m_unit, dpiY, height),
              FromPixels(r.right, m_unit, dpiX, width), FromPixels(r.bottom, m_unit, dpiY, height));
}

void ChartRect::Store(ObjectWriter& archive) const {
    archive.WriteDouble(m_left);
    archive.WriteDouble(m_top);
    archive.WriteDouble(m_right);
    archive.WriteDouble(m_bottom);
    archive.WriteInt32(m_unit);
}

void ChartRect::Load(ObjectReader& archive, u32) {
    m_left = archive.ReadDouble();
    m_top = archive.ReadDouble();
    m_right = archive.ReadDouble();
    m_bottom = archive.ReadDouble();
    m_unit = archive.ReadInt32();
}

} // namespace vq
