#include "chart/ChartDecimalScale.h"

#include "chart/Chart.h"
#include "chart/ChartGeometry.h"
#include "platform/gui/Gdi.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace vq {
namespace {

constexpr double kQuarterTurn = 1.5707963;
constexpr double kHalfTurn = 3.1415926;
constexpr double kFullTurn = 6.2831852;
constexpr double kDegreesPerRadian = 57.295780490442965;

int RoundHalfUp(double value) {
    return TruncToInt(std::floor(value + 0.5));
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartDecimalScale, ChartLabelBlock)

ChartDecimalScale::ChartDecimalScale() : ChartDecimalScale(chartDecimalScaleType) {}

ChartDecimalScale::ChartDecimalScale(int typeCode) : ChartLabelBlock(typeCode) {
    SetAvoidOverlap(0);
    GetStyle().spare2 = -500.0;
}

ChartDecimalScale::ChartDecimalScale(POINT start, POINT end, double minimum, double maximum, double step,
                                     std::string_view format)
    : ChartDecimalScale() {
    m_start = start;
    m_end = end;
    m_minimum = minimum;
    m_maximum = maximum;
    m_step = step;
    m_format = format;
}

bool ChartDecimalScale::IsDoubleFormat(std::string_view format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos)
            ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
            ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
                ++i;
        }
        if (i >= format.size() || std::string_view("eEfFgGaA").find(format[i]) == std::string_view::npos)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

std::string ChartDecimalScale::FormatValue(double value) const {
    // The format comes from archives and callers: only one that prints one double is used.
    const std::string& format = IsDoubleFormat(m_format) ? m_format : std::string(kDefaultFormat);
    char text[512];
    std::snprintf(text, sizeof text, format.c_str(), value);
    return text;
}

void ChartDecimalScale::TrimExponent(std::string& text) const {
    std::size_t at = std::string::npos;
    for (const char* mark : {"e+0", "E+0", "e-0", "E-0"}) {
        const std::size_t found = text.find(mark);
        if (found < at) at = found;
    }
    if (at == std::string::npos) return;
    const bool negative = text[at + 1] == '-';
    std::string rest = text.substr(at + 3);
    if (!rest.empty() && rest[0] == '0') rest.erase(0, 1);
    text = text.substr(0, at + 1) + (negative ? "-" : "") + rest;
}

POINT ChartDecimalScale::GetLabelOffset() const {
    const double dx = m_end.x - m_start.x, dy = m_end.y - m_start.y;
    const double phi = dx == 0 && dy == 0 ? 0 : std::atan2(dy, dx);
    const double m = GetHorizontalMarginPixels();
    const double theta = m_labelSide ? phi + kQuarterTurn : phi - kQuarterTurn;
    return {RoundHalfUp(m * std::cos(theta)), RoundHalfUp(-m * std::sin(theta))};
}

void ChartDecimalScale::OrientLabels() {
    const double dx = m_end.x - m_start.x, dy = m_end.y - m_start.y;
    const double phi = dx == 0 && dy == 0 ? 0 : std::atan2(dy, dx);
    double a = phi - kQuarterTurn;
    if (m_startAtMinimum) {
        a -= kHalfTurn;
        if (a < 0) a += kFullTurn;
    }
    if (GetStyle().flagsWord & kOwnRotation) {
        SetRotationAll(GetAngle());
        SetAnchorAll(GetAnchorCode());
    } else {
        // Members draw in the block's font, so the block turns with them.
        SetRotationAll(a * kDegreesPerRadian);
        GetStyle().spare2 = a * kDegreesPerRadian;
        SetFontDirty(1);
        SetAnchorAll(m_labelSide ? anchorLeftMiddle : anchorRightMiddle);
    }
    SetDirectionAll(m_labelSide ? std::cos(a) : -std::cos(a), std::sin(a));
}

double ChartDecimalScale::AxisLength() const {
    const double dx = m_end.x - m_start.x, dy = m_end.y - m_start.y;
    return std::sqrt(dx * dx + dy * dy);
}

ChartLabel& ChartDecimalScale::LabelAt(int position) {
    if (ChartLabel* label = GetLabel(position)) return *label;
    return AddLabel("");
}

void ChartDecimalScale::TrimLabels(int count) {
    while (GetLabelCount() > count)
        RemoveLastLabel();
}

HGDIOBJ ChartDecimalScale::SelectMeasuringFont() {
    BuildFont();
    return SelectObject(GetDrawingDC(), GetFont());
}

int ChartDecimalScale::TextHeight(std::string_view text) const {
    SIZE extent{};
    GetTextExtentPoint32(GetDrawingDC(), text.data(), static_cast<int>(text.size()), &extent);
    return std::max<int>(1, extent.cy);
}

void ChartDecimalScale::FinishBuild() {
    OrientLabels();
    const POINT offset = GetLabelOffset();
    RecordAnchors(-offset.x, -offset.y);
}

void ChartDecimalScale::BuildLabels() {
    if (!IsDrawing()) return;
    if (!std::isfinite(m_minimum) || !std::isfinite(m_maximum) || !std::isfinite(m_step)) {
        RemoveAllLabels();
        RecordAnchors(0, 0);
        return;
    }
    // A negative step counts by its size; 0 counts by ones.
    double r = m_step == 0 ? 1 : std::fabs(m_step);
    if (m_format.empty()) m_format = kDefaultFormat;
    HDC dc = GetDrawingDC();
    HGDIOBJ oldFont = SelectMeasuringFont();
    struct Restore {
        HDC dc;
        HGDIOBJ font;
        ~Restore() { SelectObject(dc, font); }
    } restore{dc, oldFont};
    const std::string low = FormatValue(m_minimum), high = FormatValue(m_maximum);
    const double h = TextHeight(high.size() > low.size() ? high : low);
    const double length = AxisLength();
    if (TruncToInt(length) < 1) return;

    const double d = m_maximum - m_minimum;
    const double largest = std::max(std::fabs(m_minimum), std::fabs(m_maximum));
    while (d > largest * 6.661338147750939e-16) {
        if (d / r >= 3.0 || r <= largest * 2.220446049250313e-15) break;
        r *= 0.1;
    }
    double c = r;
    for (int multiple = 0;; multiple = (multiple + 1) % 4) {
        static constexpr double kMultiples[] = {1, 2, 5, 10};
        c = r * kMultiples[multiple];
        if (!(d / c > length / h) || !std::isfinite(c)) break;
        if (multiple == 3) r *= 10;
    }
    if (!(m_minimum + c > m_minimum)) c *= 10;
    m_chosenStep = c;

    const POINT offset = GetLabelOffset();
    const double ux = d > 0 ? (m_end.x - m_start.x) / d : 0, uy = d > 0 ? (m_end.y - m_start.y) / d : 0;
    int count = 0;
    auto place = [&](double v) {
        ChartLabel& label = LabelAt(count++);
        std::string text = "0 ";
        if (!(std::fabs(v) < c * 0.0001)) {
            text = FormatValue(v);
            TrimExponent(text);
        }
        label.SetCurrentText(text);
        label.SetPosition(TruncToInt(m_start.x + (v - m_minimum) * ux) + offset.x,
                          TruncToInt(m_start.y + (v - m_minimum) * uy) + offset.y);
    };
    // Each walk stops also when the step no longer moves the value.
    if (m_startAtMinimum) {
        for (double v = m_minimum; v <= m_maximum; v += c) {
            place(v);
            if (!(v + c > v)) break;
        }
    } else {
        for (double v = m_maximum; v >= m_minimum; v -= c) {
            place(v);
            if (!(v - c < v)) break;
        }
    }
    TrimLabels(count);
    FinishBuild();
}

void ChartDecimalScale::Store(ObjectWriter& archive) const {
    ChartLabelBlock::Store(archive);
    archive.WriteInt32(m_startAtMinimum);
    archive.WriteInt32(m_start.x);
    archive.WriteInt32(m_start.y);
    archive.WriteInt32(m_end.x);
    archive.WriteInt32(m_end.y);
    archive.WriteDouble(m_minimum);
    archive.WriteDouble(m_maximum);
    archive.WriteDouble(m_step);
    archive.WriteInt32(m_labelSide);
    archive.WriteText(m_format);
}

void ChartDecimalScale::Load(ObjectReader& archive, u32 schema) {
    ChartLabelBlock::Load(archive, schema);
    m_startAtMinimum = archive.ReadInt32();
    m_start.x = archive.ReadInt32();
    m_start.y = archive.ReadInt32();
    m_end.x = archive.ReadInt32();
    m_end.y = archive.ReadInt32();
    m_minimum = archive.ReadDouble();
    m_maximum = archive.ReadDouble();
    m_step = archive.ReadDouble();
    m_labelSide = archive.ReadInt32();
    m_format = archive.ReadText();
}

} // namespace vq
