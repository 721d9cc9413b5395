#include "chart/ChartLogScale.h"

#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "platform/gui/Gdi.h"

#include <cmath>

namespace vq {
namespace {

constexpr int kLogRangeError = 22;

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartLogScale, ChartDecimalScale)

ChartLogScale::ChartLogScale() {
    SetAvoidOverlap(1);
}

ChartLogScale::ChartLogScale(POINT start, POINT end, double minimum, double maximum, double step,
                             std::string_view format)
    : ChartDecimalScale(start, end, minimum, maximum, step, format) {
    SetAvoidOverlap(1);
    SetStartAtMaximum();
}

void ChartLogScale::BuildLabels() {
    if (!IsDrawing()) return;
    const double minimum = GetMinimum(), maximum = GetMaximum();
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) {
        RemoveAllLabels();
        RecordAnchors(0, 0);
        return;
    }
    if (!(minimum > 0) || !(maximum > 0)) RaiseChartError(kLogRangeError);
    HDC dc = GetDrawingDC();
    HGDIOBJ oldFont = SelectMeasuringFont();
    struct Restore {
        HDC dc;
        HGDIOBJ font;
        ~Restore() { SelectObject(dc, font); }
    } restore{dc, oldFont};
    const double lmin = std::log10(minimum), lmax = std::log10(maximum);
    const double decades = lmax - lmin;
    if (AxisLength() < 1) return;
    const POINT start = GetAxisStart(), end = GetAxisEnd();
    const double ux = decades > 0 ? (end.x - start.x) / decades : 0;
    const double uy = decades > 0 ? (end.y - start.y) / decades : 0;
    const POINT offset = GetLabelOffset();
    int count = 0;
    auto place = [&](double value, const std::string& text) {
        LabelAt(count);
        SetLabelText(text, count, 1);
        const double at = std::log10(value) - lmin;
        GetLabel(count)->SetPosition(TruncToInt(start.x + at * ux) + offset.x,
                                     TruncToInt(start.y + at * uy) + offset.y);
        ++count;
    };
    auto formatted = [&](double value) {
        std::string text = FormatValue(value);
        TrimExponent(text);
        return text;
    };

    const bool all = decades <= 1.01;
    double t = std::pow(10.0, std::floor(lmin));
    if ((maximum - minimum) / t < 3) t *= 0.1;
    const bool fine = (maximum - minimum) / t < 16;
    double w = minimum;
    if (minimum / t < 7) {
        place(minimum, formatted(minimum));
        w = minimum + t;
    }
    while (maximum - t * 0.5 > w) {
        bool major = false;
        if (w / t <= 1.2) {
            w = t;
            major = true;
        } else if (w / t > 9.8) {
            major = true;
            if (!fine) {
                t *= 10;
                w = t;
            }
        }
        if (w > 0.95 && t >= 1) w = std::floor(w + 0.5);
        place(w, major || all ? formatted(w) : std::string());
        // A step too small to move the value ends the walk.
        if (!(w + t > w)) break;
        w += t;
    }
    place(maximum, formatted(maximum));
    TrimLabels(count);
    m_chosenStep = t;
    FinishBuild();
}

} // namespace vq
