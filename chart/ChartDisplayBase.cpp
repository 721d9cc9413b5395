#include "chart/ChartDisplayBase.h"

#include "chart/Chart.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartResources.h"
#include "chart/ChartTemplateScanner.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/time/OleDateTime.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace vq {
namespace {

constexpr int kDataTemplateError = 12;
constexpr int kNotDrawingError = 18;
constexpr double kFiveSeconds = 5.787037037035e-05;

bool IsExtentTracking(int type) {
    return (type >= 19 && type <= 21) || (type >= 32 && type <= 34) || (type >= 41 && type <= 45);
}

bool IsXY(int type) {
    return type >= 32 && type <= 34;
}

bool IsValueDateKind(int kind) {
    return (kind >= 18 && kind <= 23) || kind == 25 || kind == 27;
}

// Step 2 of the linear rounding: widens by the margin, snapping an end near zero to zero.
void ApplyMargin(CScale& range, double margin) {
    if (margin == 1.0) return;
    const double lo = range.GetMinimum(), hi = range.GetMaximum();
    const double e = (margin - 1) * (hi - lo) * 0.5;
    range.Update(lo < 0 || lo > e ? lo - e : 0);
    range.Update(hi > 0 || hi < -e ? hi + e : 0);
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(ChartDisplayBase, ChartTitle)

ChartDisplayBase::ChartDisplayBase() : ChartTitle(chartDisplayType) {}

ChartDisplayBase::~ChartDisplayBase() = default;

void ChartDisplayBase::SetTypeAndKind(int chartType, int kind) {
    u32& word = GetStyle().styleWord;
    word = (word & 0xFFFFu) | ((static_cast<u32>(chartType) & 0xFF) << 16) |
           ((static_cast<u32>(kind) & 0xFF) << 24);
    m_styleDirty = 1;
}

void ChartDisplayBase::SetPlotRect(int left, int top, int right, int bottom, int pixels) {
    m_plot = {left, top, right, bottom};
    if (pixels)
        GetStyle().flagsWord |= kGivenPlot;
    else
        GetStyle().flagsWord &= ~kGivenPlot;
}

double ChartDisplayBase::UsableSpan(double span) {
    return std::isfinite(span) && span != 0 ? span : 1.0;
}

void ChartDisplayBase::RoundLinear(CScale& range, double margin) {
    double lo = range.GetMinimum(), hi = range.GetMaximum();
    if (!std::isfinite(lo) || !std::isfinite(hi)) return;
    if (hi - lo == 0) {
        // All values equal: no step size follows from a size of 0.
        if (lo == 0) {
            range.Update(1);
            return;
        }
        const double half = 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(lo))));
        range.Update(lo - half);
        range.Update(hi + half);
    }
    ApplyMargin(range, margin);
    lo = range.GetMinimum(), hi = range.GetMaximum();
    const double r = hi - lo;
    if (!std::isfinite(r) || !(r > 0)) return;
    const double tol = r * 0.001;
    double p = std::trunc(std::log10(r));
    if (p < 0) p -= 1;
    if (r / std::pow(10.0, p) <= 4.0) p -= 1;
    static constexpr std::array<double, 6> kMultipliers = {3.5, 2.5, 3.0, 2.0, 5.0, 1.0};
    double low = lo, bestLow = HUGE_VAL, high = hi, bestHigh = HUGE_VAL;
    for (double m : kMultipliers) {
        const double step = std::pow(10.0, p) * m;
        double c = std::floor(lo / step) * step;
        if (c > lo + tol) c -= step;
        if (std::isfinite(c) && lo - c <= bestLow) bestLow = lo - c, low = c;
        c = std::floor(hi / step) * step;
        if (c < hi - tol) c += step;
        if (std::isfinite(c) && c - hi <= bestHigh) bestHigh = c - hi, high = c;
    }
    range.Update(low);
    range.Update(high);
}

void ChartDisplayBase::RoundLog(CScale& range, bool decades) {
    const double lo = range.GetMinimum() > 0 ? range.GetMinimum() : 0.0001;
    double hi = range.GetMaximum();
    if (!(hi > 0) || !(hi > lo)) hi = lo * 10;
    const double a = std::log10(lo), b = std::log10(hi), d = b - a;
    if (d > 5.0) decades = true;
    auto decadeOf = [](double x) { return std::trunc(x) - (x < 0 ? 1 : 0); };
    if (decades && d <= 0.6 && decadeOf(a) == decadeOf(b)) decades = false;
    double newLow = lo, newHigh = hi;
    if (decades) {
        const double tol = d * 0.01;
        double f = std::floor(a);
        if ((f + 1) - a < tol) f += 1;
        double c = std::ceil(b);
        if ((b + 1) - c < tol) c -= 1;
        if (f == c) c = f + 1;
        newLow = std::pow(10.0, f);
        newHigh = std::pow(10.0, c);
    } else {
        const double lowUnit = std::pow(10.0, std::floor(std::log10(lo)));
        const double highUnit = std::pow(10.0, std::floor(std::log10(hi)));
        newLow = std::floor(lo / lowUnit) * lowUnit;
        newHigh = std::ceil(hi / highUnit) * highUnit;
    }
    range.Clear();
    range.Update(newLow);
    range.Update(newHigh);
}

void ChartDisplayBase::RoundDate(CScale& range, double margin) {
    if (!std::isfinite(range.GetMinimum()) || !std::isfinite(range.GetMaximum())) return;
    ApplyMargin(range, margin);
    const double r = range.GetSpan();
    if (r <= kFiveSeconds) return;
    const OleDateTime low(range.GetMinimum());
    if (low.GetStatus() != OleDateTime::valid) return;
    int hour = low.GetHour(), minute = low.GetMinute(), second = low.GetSecond();
    if (r > 0.0006944444444444) second = 0;
    if (r > 0.20833333333335) minute = 0;
    if (r > 5.0) hour = 0;
    const OleDateTime rounded(low.GetYear(), low.GetMonth(), low.GetDay(), hour, minute, second);
    if (rounded.GetStatus() == OleDateTime::valid) range.Update(rounded.Value());
}

bool ChartDisplayBase::IsValueAxisDate() const {
    return IsValueDateKind(GetDisplayKind()) ||
           (m_valueScale && m_valueScale->GetTypeCode() == chartDateScaleType);
}

bool ChartDisplayBase::IsXAxisDate() const {
    return GetDisplayKind() == 26 || (m_xScale && m_xScale->GetTypeCode() == chartDateScaleType);
}

bool ChartDisplayBase::IsValueAxisLog() const {
    return (GetStyle().flagsWord & kLogValues) != 0;
}

bool ChartDisplayBase::IsXAxisLog() const {
    return IsXY(GetChartType()) ? (GetStyle().extraWord & kLogX) != 0 : IsValueAxisLog();
}

double ChartDisplayBase::GetValueMargin() const {
    const int type = GetChartType();
    return IsValueAxisDate() || (type >= 41 && type <= 45) ? 1.0 : 1.1;
}

double ChartDisplayBase::GetXMargin() const {
    const int type = GetChartType();
    return IsXAxisDate() || (type >= 41 && type <= 45) ? 1.0 : 1.1;
}

void ChartDisplayBase::CalcRanges() {
    const u32 flags = GetStyle().flagsWord;
    const bool valueLog = IsValueAxisLog(), xLog = IsXAxisLog();
    auto spanOf = [](CScale& range, bool log) {
        return log ? std::log10(range.GetMaximum()) - std::log10(range.GetMinimum()) : range.GetSpan();
    };
    if (flags & kFixedRange) {
        if (valueLog) RoundLog(m_valueRange, false);
        m_valueSpan = spanOf(m_valueRange, valueLog);
        const bool fixedXLog = (GetStyle().extraWord & kLogX) != 0;
        if (fixedXLog) RoundLog(m_xRange, false);
        m_xSpan = spanOf(m_xRange, fixedXLog);
    } else {
        auto automatic = [&](CScale& range, bool log, bool date, double margin) {
            if (log) {
                RoundLog(range, true);
                return spanOf(range, true);
            }
            if (!(flags & kNoZero)) range.Update(0);
            if (date)
                RoundDate(range, margin);
            else
                RoundLinear(range, margin);
            return range.GetSpan();
        };
        m_valueSpan = automatic(m_valueRange, valueLog, IsValueAxisDate(), GetValueMargin());
        m_xSpan = automatic(m_xRange, xLog, IsXAxisDate(), GetXMargin());
    }
    if (IsExtentTracking(GetChartType())) {
        if (m_xExtents.IsEmpty()) m_xExtents = m_xRange, m_xExtentsFromData = 1;
        if (m_valueExtents.IsEmpty()) m_valueExtents = m_valueRange, m_valueExtentsFromData = 1;
        auto track = [&](CScale& extents, const CScale& range, bool log, bool date) {
            if (log) {
                RoundLog(extents, false);
                return spanOf(extents, true);
            }
            if (extents.GetSpan() != range.GetSpan()) {
                if (date)
                    RoundDate(extents, 1.0);
                else
                    RoundLinear(extents, 1.0);
            }
            return extents.GetSpan();
        };
        m_valueSpan = track(m_valueExtents, m_valueRange, valueLog, IsValueAxisDate());
        m_xSpan = track(m_xExtents, m_xRange, xLog, IsXAxisDate());
    } else {
        m_valueExtents.Clear();
        m_xExtents.Clear();
    }
    // The renderers divide by the spans: a fixed range of one value, or data that are not
    // finite, must not reach them as 0 or as something not finite.
    m_valueSpan = UsableSpan(m_valueSpan);
    m_xSpan = UsableSpan(m_xSpan);
}

void ChartDisplayBase::Prepare() {
    if (m_prepared) return;
    Chart* chart = GetChart();
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    m_firstGroup = lowGroup == -1 ? 0 : lowGroup;
    m_lastGroup = highGroup == -1 ? (chart ? chart->GetGroupCount() - 1 : -1) : highGroup;
    m_firstIndex = lowIndex == -1 ? 0 : lowIndex;
    m_lastIndex = highIndex == -1 ? (chart ? chart->GetMaxIndexCount() - 1 : -1) : highIndex;
    m_groupCount = m_lastGroup - m_firstGroup + 1;
    m_indexCount = m_lastIndex - m_firstIndex + 1;
    m_valueRange.Clear();
    m_xRange.Clear();
    CalcRange();
    CalcRanges();
    m_prepared = 1;
}

void ChartDisplayBase::Rebuild() {
    m_xScale.reset();
    m_valueScale.reset();
    m_labelBlock.reset();
    FreePositionList(m_first);
    FreePositionList(m_second);
    FreePositionList(m_third);
    SetInvalid(1);
}

void ChartDisplayBase::Route(int kind, bool axes) {
    const int type = GetChartType();
    if (kind == 1) {
        switch (type) {
        case 4:
        case 13:
            return axes ? DrawPieLabels() : void();
        case 39:
            return axes ? DrawGroupValueAxes() : DrawRectPlotArea();
        case 2:
        case 12:
        case 22:
        case 38:
            return axes ? DrawValueIndexAxes() : DrawHorizontalPlotArea();
        case 40:
            return axes ? DrawValueGroupAxes() : DrawHorizontalPlotArea();
        case 30:
            return axes ? DrawGanttAxes() : DrawHorizontalPlotArea();
        case 15:
            return axes ? DrawIndexValueAxes() : DrawBoxPlotArea();
        case 16:
            return axes ? DrawValueIndexAxes() : DrawBoxPlotArea();
        case 9:
        case 10:
        case 17:
            return axes ? DrawPerspectiveAxes() : DrawPerspectivePlotArea();
        case 18:
        case 23:
            return axes ? DrawRadarAxes() : DrawRadarPlotArea();
        case 26:
        case 27:
            return axes ? DrawPolarAxes() : DrawPolarPlotArea();
        case 19:
        case 20:
        case 21:
        case 32:
        case 33:
        case 34:
        case 41:
        case 42:
        case 43:
        case 44:
        case 45:
            return axes ? DrawXYAxes() : DrawXYPlotArea();
        case 1:
        case 3:
        case 5:
        case 6:
        case 7:
        case 8:
        case 11:
        case 14:
        case 24:
        case 25:
        case 28:
        case 29:
        case 31:
        case 35:
        case 36:
        case 37:
            return axes ? DrawIndexValueAxes() : DrawRectPlotArea();
        default:
            // Chart type 0 and the codes above the known ones: axes only.
            return axes ? DrawIndexValueAxes() : void();
        }
    }
    auto indexValue = [&] { type == 39 ? DrawGroupValueAxes() : DrawIndexValueAxes(); };
    auto valueIndex = [&] { type == 40 ? DrawValueGroupAxes() : DrawValueIndexAxes(); };
    switch (kind) {
    case 0:
    case 3:
    case 8:
        return;
    case 2:
    case 12:
    case 18:
    case 19:
        return axes ? indexValue() : DrawRectPlotArea();
    case 11:
    case 13:
    case 20:
    case 21:
        return axes ? indexValue() : DrawBoxPlotArea();
    case 10:
    case 23:
        return axes ? valueIndex() : DrawHorizontalPlotArea();
    case 16:
    case 22:
        return axes ? valueIndex() : DrawBoxPlotArea();
    case 4:
    case 5:
    case 6:
    case 7:
        return axes ? DrawPerspectiveAxes() : DrawPerspectivePlotArea();
    case 9:
        return axes ? DrawPieLabels() : void();
    case 14:
        return axes ? DrawRadarAxes() : DrawRadarPlotArea();
    case 15:
    case 26:
    case 27:
        return axes ? DrawXYAxes() : DrawXYPlotArea();
    case 17:
        return axes ? DrawPolarAxes() : DrawPolarPlotArea();
    case 24:
    case 25:
        return axes ? DrawGanttAxes() : DrawRectPlotArea();
    default:
        return axes ? DefaultAxes() : DefaultPlotArea();
    }
}

void ChartDisplayBase::DrawPlotAreaStep() {
    Route(GetDisplayKind(), false);
}

void ChartDisplayBase::DrawAxesStep() {
    Route(GetDisplayKind(), true);
}

void ChartDisplayBase::DrawDataStep() {
    const int type = GetChartType();
    if (type == 0)
        DrawEmptyPicture();
    else if (type > 45)
        DefaultData();
}

void ChartDisplayBase::DrawEmptyPicture() {
    if (!(GetStyle().flagsWord & kEmptyPicture)) return;
    GdiHandle<BitmapObject> picture(LoadBitmap(IDB_CHART_EMPTY));
    if (!picture) return;
    HDC dc = GetDrawingDC();
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture.get());
    const int w = picture->bits.Width(), h = picture->bits.Height();
    const int cx = (m_plot.left + m_plot.right) / 2, cy = (m_plot.top + m_plot.bottom) / 2;
    BitBlt(dc, cx - w / 2, cy - h / 2, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

int ChartDisplayBase::GetAutoFontSize() {
    return -((m_plot.bottom - m_plot.top) / 25);
}

double ChartDisplayBase::TickStepFor(double span) {
    double r = span;
    if (!std::isfinite(r) || !(r > 0)) return 0;
    double d = 1;
    if (r > 1) {
        while (r >= 10)
            r *= 0.1, d *= 10;
    } else {
        d = 0.1;
        while (r < 1)
            r *= 10, d *= 0.1;
    }
    return d * 0.1;
}

void ChartDisplayBase::BuildValueLabels(double step, std::vector<std::string>& labels) const {
    if (!IsDrawing()) RaiseChartError(kNotDrawingError);
    if (!(step > 0) || !std::isfinite(step)) return;
    char text[64];
    for (double v = 0; v <= m_valueSpan; v += step) {
        std::snprintf(text, sizeof text, "%g", v);
        labels.emplace_back(text);
        if (!(v + step > v)) break;
    }
}

void ChartDisplayBase::RecordExtents() {
    m_lastValueExtents = m_valueExtents;
    m_lastXExtents = m_xExtents;
    if (m_valueExtentsFromData) m_valueExtents.Clear();
    if (m_xExtentsFromData) m_xExtents.Clear();
}

void ChartDisplayBase::DrawForeground() {
    if (!GetDrawFlag()) return;
    if (m_styleDirty) {
        Rebuild();
        m_styleDirty = 0;
    }
    const u32 flags = GetStyle().flagsWord;
    if (!(flags & kGivenPlot)) m_plot = GetDeviceRect();
    HDC dc = GetDrawingDC();
    const bool printing = IsPrinting(dc) != 0;
    if (printing || IsInvalid() || (GetFontFlags() & fontAutoSize)) {
        SetFontDirty(1);
        BuildFont();
        if (!printing) SetFontDirty(0);
    }
    if (!m_prepared) {
        m_valueExtentsFromData = m_xExtentsFromData = 0;
        Prepare();
    }
    m_prepared = 0;
    if (!(flags & kGivenPlot)) m_plot = GetInteriorRect(m_plot);
    struct Record {
        ChartDisplayBase& display;
        ~Record() { display.RecordExtents(); }
    } record{*this};
    auto big = [this] { return m_plot.right - m_plot.left >= 2 && m_plot.bottom - m_plot.top >= 2; };
    if (!big()) return;
    Chart* chart = GetChart();
    const int partial = chart->IsPartialRedraw();
    const int mode = chart->GetInvalidationMode() & 0xF000;
    if (!partial || mode == 0x5000) DrawAxesStep();
    if (!big()) return;
    const SavedClip savedClip(*chart);
    chart->ClipToRect(m_plot.left, m_plot.top, m_plot.right + 1, m_plot.bottom + 1, RGN_COPY);
    const bool plotArea = !partial || mode == 0x4000, data = !partial || mode == 0x6000;
    if (flags & kDataFirst) {
        if (data) DrawDataStep();
        if (plotArea) DrawPlotAreaStep();
    } else {
        if (plotArea) DrawPlotAreaStep();
        if (data) DrawDataStep();
    }
}

int ChartDisplayBase::ReadTemplate(std::string_view text) {
    const int used = ChartTitle::ReadTemplate(text);
    ChartTemplateScanner scan(text.substr(static_cast<std::size_t>(used)));
    int kind = 0, type = 0, options = 0, log = 0;
    const bool kindRead = scan.ReadInt(kind);
    const bool typeRead = kindRead && scan.ReadInt(type);
    const bool optionsRead = typeRead && scan.ReadInt(options);
    const bool logRead = optionsRead && scan.ReadInt(log);
    // What was read before a missing number stays set.
    ChartStyle& style = GetStyle();
    if (kindRead) style.styleWord = (style.styleWord & 0x00FFFFFFu) | ((static_cast<u32>(kind) & 0xFF) << 24);
    if (typeRead) style.styleWord = (style.styleWord & 0xFF00FFFFu) | ((static_cast<u32>(type) & 0xFF) << 16);
    if (kindRead) m_styleDirty = 1;
    if (optionsRead) {
        style.flagsWord = (style.flagsWord & ~(kIndexLabelStyle | kValueLabelStyle)) |
                          ((options & 1) ? kIndexLabelStyle : 0) | ((options & 2) ? kValueLabelStyle : 0);
        style.extraWord = (options & 4) ? style.extraWord & ~kNotOption4 : style.extraWord | kNotOption4;
    }
    if (!logRead) RaiseChartError(kDataTemplateError);
    const u32 before = style.flagsWord;
    style.flagsWord = log ? before | kLogValues : before & ~kLogValues;
    if (style.flagsWord != before) m_styleDirty = 1;
    return used + static_cast<int>(scan.Used());
}

std::string ChartDisplayBase::WriteTemplateOwn() const {
    const ChartStyle& style = GetStyle();
    const int options = ((style.flagsWord & kIndexLabelStyle) ? 1 : 0) |
                        ((style.flagsWord & kValueLabelStyle) ? 2 : 0) |
                        ((style.extraWord & kNotOption4) ? 0 : 4);
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d %d", GetDisplayKind(), GetChartType(), options,
                  (style.flagsWord & kLogValues) ? 1 : 0);
    return ChartTitle::WriteTemplateOwn() + text;
}

void ChartDisplayBase::Store(ObjectWriter& archive) const {
    ChartTitle::Store(archive);
    archive.WriteDouble(m_upperValue);
    archive.WriteDouble(m_lowerValue);
    archive.WriteDouble(m_upperX);
    archive.WriteDouble(m_lowerX);
    archive.WriteInt32(m_plot.left);
    archive.WriteInt32(m_plot.top);
    archive.WriteInt32(m_plot.right);
    archive.WriteInt32(m_plot.bottom);
}

void ChartDisplayBase::Load(ObjectReader& archive, u32 schema) {
    ChartTitle::Load(archive, schema);
    m_upperValue = archive.ReadDouble();
    m_lowerValue = archive.ReadDouble();
    m_upperX = archive.ReadDouble();
    m_lowerX = archive.ReadDouble();
    m_plot.left = archive.ReadInt32();
    m_plot.top = archive.ReadInt32();
    m_plot.right = archive.ReadInt32();
    m_plot.bottom = archive.ReadInt32();
    m_styleDirty = 1;
}

} // namespace vq
