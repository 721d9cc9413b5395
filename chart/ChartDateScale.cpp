#include "chart/ChartDateScale.h"

#include "chart/ChartGeometry.h"
#include "platform/gui/Gdi.h"

#include <array>
#include <cmath>
#include <string>

namespace vq {
namespace {

constexpr double kSecond = 1.0 / 86400;
constexpr double kMinute = 60 * kSecond;
constexpr double kHour = 60 * kMinute;

// The whole months a long step moves by.
int MonthsOf(double step) {
    if (step < 30.5) return 1;
    if (step == 730) return 24;
    if (step == 1825) return 60;
    if (step == 3650) return 120;
    return 12;
}

// The first day of the month the given number of months away, at midnight.
double MoveMonths(double date, int months) {
    const OleDateTime at(date);
    if (at.GetStatus() != OleDateTime::valid) return months > 0 ? HUGE_VAL : -HUGE_VAL;
    int month = at.GetMonth() - 1 + months;
    int year = at.GetYear() + (month >= 0 ? month / 12 : -((11 - month) / 12));
    month = ((month % 12) + 12) % 12;
    const OleDateTime first(year, month + 1, 1, 0, 0, 0);
    if (first.GetStatus() != OleDateTime::valid) return months > 0 ? HUGE_VAL : -HUGE_VAL;
    return first.Value();
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartDateScale, ChartDecimalScale)

ChartDateScale::ChartDateScale() : ChartDecimalScale(chartDateScaleType) {
    SetStep(0.0);
    SetAvoidOverlap(1);
}

double ChartDateScale::AutomaticStep(double range, int capacity) {
    static constexpr std::array<double, 23> kSteps = {
        2 * kSecond, 5 * kSecond, 10 * kSecond, 30 * kSecond, kMinute,
        2 * kMinute, 5 * kMinute, 10 * kMinute, 30 * kMinute, kHour,
        2 * kHour,   3 * kHour,   4 * kHour,    6 * kHour,    8 * kHour,
        1,           7,           14,           30,           365,
        730,         1825,        3650};
    double raw = capacity > 0 ? range / capacity : HUGE_VAL;
    if (!(raw >= kSecond)) raw = kSecond;
    for (double step : kSteps)
        if (step >= raw) return step;
    return 3650;
}

void ChartDateScale::BuildLabels() {
    if (!IsDrawing()) return;
    const double minimum = GetMinimum(), maximum = GetMaximum();
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !std::isfinite(GetStep())) {
        RemoveAllLabels();
        RecordAnchors(0, 0);
        return;
    }
    HDC dc = GetDrawingDC();
    HGDIOBJ oldFont = SelectMeasuringFont();
    struct Restore {
        HDC dc;
        HGDIOBJ font;
        ~Restore() { SelectObject(dc, font); }
    } restore{dc, oldFont};
    const double length = AxisLength();
    if (length < 1) return;
    TEXTMETRIC metrics{};
    GetTextMetrics(dc, &metrics);
    const int capacity = TruncToInt(length) / std::max<int>(1, metrics.tmHeight);
    const double range = maximum - minimum;
    double step = GetStep();
    // A step of its own is kept unless it would put more ticks on the axis than it has pixels.
    if (step == 0 || step == 0.1 || !(step > 0) || range / step > length)
        step = AutomaticStep(range, capacity);
    m_chosenStep = step;
    m_chosenFormat = GetFormat();
    if (m_chosenFormat.empty())
        m_chosenFormat = range > 1            ? "%x"
                         : range > 1.0 / 24   ? "%H:%M:%S"
                         : range > 1.0 / 1440 ? "%M:%S"
                                              : "%S";

    const POINT start = GetAxisStart(), end = GetAxisEnd(), offset = GetLabelOffset();
    const double ux = range != 0 ? (end.x - start.x) / range : 0,
                 uy = range != 0 ? (end.y - start.y) / range : 0;
    int count = 0;
    // Ticks finer than the format (hours under a date-only format) would repeat one text; only the
    // first tick of each text is labelled, the others keep their tick with an empty label.
    std::string previous;
    auto place = [&](double v) {
        ChartLabel& label = LabelAt(count++);
        std::string text = OleDateTime(v).Format(m_chosenFormat.c_str());
        if (text == previous) {
            label.SetCurrentText({});
        } else {
            label.SetCurrentText(text);
            previous = std::move(text);
        }
        label.SetPosition(TruncToInt(start.x + (v - minimum) * ux) + offset.x,
                          TruncToInt(start.y + (v - minimum) * uy) + offset.y);
    };
    const bool up = StartsAtMinimum() != 0;
    const double far = up ? maximum : minimum;
    double v = up ? minimum : maximum;
    bool passed = false;
    place(v);
    for (;;) {
        double next = step > 29.999999 ? MoveMonths(v, up ? MonthsOf(step) : -MonthsOf(step))
                                       : (up ? v + step : v - step);
        if (next == v) break;
        if (up ? next > far : next < far) {
            if (passed) break;
            passed = true;
            next = far;
        }
        v = next;
        place(v);
    }
    TrimLabels(count);
    FinishBuild();
}

} // namespace vq
