#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vq {
namespace {

constexpr int kNullInBand = 7;
constexpr int kBadGroupCount = 21;
constexpr u32 kPictureLoaded = 0x01000000;

void SetDataFill(ChartStyle& style, u32 kind) {
    style.styleWord = (style.styleWord & ~0xF0u) | (kind << 4);
}

// A new name must be loaded again before it is drawn.
void SetPicture(ChartStyle& style, const std::string& name) {
    if (style.pictureName != name) style.extraWord &= ~kPictureLoaded;
    style.pictureName = name;
}

} // namespace

// The fill of the upper or lower spread of a group's values, copied from the group's style into
// the drawing's own style; without a fill of its own the group takes two palette colours.
void ChartDisplay::SetUpSpread(ChartStyle& spread, const ChartStyle& groupStyle, int position, bool upper) {
    const u32 fill = (groupStyle.styleWord >> 4) & 0xF;
    if (fill == 2) {
        SetDataFill(spread, 2);
        spread.fillColour = upper ? groupStyle.fillColour : groupStyle.secondFillColour;
    } else if (fill == 6 && GetChartType() == 24) {
        SetDataFill(spread, 6);
        SetPicture(spread, upper ? groupStyle.pictureName : groupStyle.secondText);
    } else {
        SetDataFill(spread, 1);
        SetColourIndex(2 * position + (upper ? 0 : 1));
    }
}

void ChartDisplay::DrawHighLow() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    if (groups <= 0 || indexes <= 0) return;
    const RECT& p = m_plot;
    const double w = p.right - p.left;
    const double scale = (p.bottom - p.top) / GetValueSpan(), base = Base();
    auto y = [&](double v) { return TruncToInt(p.bottom - (AxisValue(v) - base) * scale + 0.5); };
    ChartStyle spread(ChartStyle::levelData);
    Chart* chart = GetChart();
    if (GetChartType() == 24) {
        // One index has no step to the next: its band stands at the left edge.
        const double step = w / (indexes < 2 ? 1 : indexes - 1);
        std::vector<POINT> upper, lower;
        upper.reserve(2 * static_cast<std::size_t>(indexes) + 1);
        lower.reserve(upper.capacity());
        for (int g = 0; g < groups; ++g) {
            ChartDataList& group = chart->GetGroup(GetFirstGroup() + g, true);
            const int visited = VisitedCount(group);
            if (visited <= 0) continue;
            upper.clear();
            for (int j = 0; j < visited; ++j) {
                ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
                if (item.IsNull()) RaiseChartError(kNullInBand);
                upper.push_back({TruncToInt(p.left + j * step), y(item.GetValue())});
            }
            lower = upper;
            // Back along the bounds from the group's last item.
            for (int j = visited - 1; j >= 0; --j) {
                const CScale bounds = group.GetDataInGroup(GetFirstIndex() + j, true).GetRange();
                const int x = TruncToInt(p.left + j * step);
                upper.push_back({x, y(bounds.GetMaximum())});
                lower.push_back({x, y(bounds.GetMinimum())});
            }
            upper.push_back(upper.front());
            lower.push_back(lower.front());
            SetUpSpread(spread, group.GetStyle(), g, true);
            FillPolygon(upper, spread, 0);
            OutlinePolygon(upper, spread, 0);
            SetUpSpread(spread, group.GetStyle(), g, false);
            FillPolygon(lower, spread, 0);
            OutlinePolygon(lower, spread, 0);
        }
        return;
    }
    HDC dc = GetDrawingDC();
    const double width = BarWidth(w / (double(groups) * indexes), GetDeviceRatioX(dc));
    const double slot = w / indexes, offset = slot * 0.5 - groups * width * 0.5;
    for (int g = 0; g < groups; ++g) {
        ChartDataList& group = chart->GetGroup(GetFirstGroup() + g, true);
        GdiHandle<PenObject> pen(CreatePen(PS_SOLID, 1, group.GetStyle().lineColour));
        ScopedSelect select(dc, pen.get());
        const int visited = VisitedCount(group);
        for (int j = 0; j < visited; ++j) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
            if (item.IsNull()) continue;
            const int value = y(item.GetValue());
            const CScale bounds = item.GetRange();
            const int high = y(bounds.GetMaximum()), low = y(bounds.GetMinimum());
            const int left = TruncToInt(j * slot + g * width + p.left + offset);
            const int right = TruncToInt(left + width);
            SetUpSpread(spread, group.GetStyle(), g, true);
            DrawBar(left, std::min(high, value), right, std::max(high, value), GetFirstGroup() + g,
                    GetFirstIndex() + j, spread, 0, nullptr);
            SetUpSpread(spread, group.GetStyle(), g, false);
            DrawBar(left, std::min(value, low), right, std::max(value, low), GetFirstGroup() + g,
                    GetFirstIndex() + j, spread, 0, nullptr);
            SetColourIndex(GetFirstGroup() + g);
            const int x = TruncToInt(left + width / 2);
            AddPoint(x, std::min(value, low), GetFirstGroup() + g, GetFirstIndex() + j);
            DrawMarker(x, std::min(value, low), spread, nullptr);
        }
    }
}

void ChartDisplay::DrawStock() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups < 4 || groups % 4 != 0) RaiseChartError(kBadGroupCount);
    if (indexes <= 0) return;
    const int sets = groups / 4;
    const RECT& p = m_plot;
    const double w = p.right - p.left;
    const double scale = (p.bottom - p.top) / GetValueSpan(), base = Base();
    auto y = [&](ChartData& item) {
        return TruncToInt(p.bottom - (item.GetValue(IsValueAxisLog()) - base) * scale + 0.5);
    };
    const double width = BarWidth(w / (double(sets) * indexes), GetDeviceRatioX(GetDrawingDC()));
    const double slot = w / indexes, offset = slot * 0.5 - sets * width * 0.5;
    std::vector<ChartDataList*> window(static_cast<std::size_t>(groups));
    for (int g = 0; g < groups; ++g)
        window[static_cast<std::size_t>(g)] = FindGroup(GetFirstGroup() + g);
    Chart* chart = GetChart();
    const ChartStyle none(ChartStyle::levelData);
    const bool candle = GetChartType() == 28;
    for (int i = 0; i < indexes; ++i) {
        const int index = GetFirstIndex() + i;
        for (int k = 0; k < sets; ++k) {
            ChartDataList* const* set = &window[4 * static_cast<std::size_t>(k)];
            ChartData& first = ItemOf(set[0], index);
            if (first.IsNull()) continue;
            const int y1 = y(first), y2 = y(ItemOf(set[1], index));
            const int open = y(ItemOf(set[2], index)), close = y(ItemOf(set[3], index));
            const ChartStyle& style = StyleOf(first, set[0] ? set[0]->GetStyle() : none);
            const int group = GetFirstGroup() + 4 * k;
            SetColourIndex(GetFirstGroup() + k);
            const int left = TruncToInt(k * width + i * slot + p.left + offset);
            const int centre = TruncToInt(left + width * 0.5), right = TruncToInt(left + width);
            AddPoint(centre, y1, group, index);
            AddPoint(centre, open, group + 2, index);
            AddPoint(centre, y2, group + 1, index);
            AddPoint(centre, close, group + 3, index);
            const int feedback = chart->GetFeedbackEnabled();
            chart->SetFeedbackEnabled(0);
            DrawLine(centre, y1, centre, y2, &style, GetFirstGroup() + k, 0);
            if (candle) {
                DrawBar(left, open, right, close, group, index, style, 0, nullptr);
            } else {
                DrawLine(left, open, centre, open, &style, GetFirstGroup() + k, 0);
                DrawLine(centre, close, right, close, &style, GetFirstGroup() + k, 0);
            }
            chart->SetFeedbackEnabled(feedback);
        }
    }
}

} // namespace vq
