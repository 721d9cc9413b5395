#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vq {
namespace {

constexpr int kRaisedBox = 0x600;

bool RangeIsZero(const CScale& range) {
    return range.GetMinimum() == 0 && range.GetMaximum() == 0;
}

} // namespace

// Index by index, the groups' items side by side; null items are passed over, and a group that
// does not exist reads as null without being made.
void ChartDisplay::WalkSideBySide(const SideBySideVisitor& visit) {
    const int groups = GetGroupCount();
    std::vector<ChartDataList*> window(static_cast<std::size_t>(groups));
    for (int g = 0; g < groups; ++g)
        window[static_cast<std::size_t>(g)] = FindGroup(GetFirstGroup() + g);
    const ChartStyle none(ChartStyle::levelData);
    for (int i = 0; i < GetIndexCount(); ++i)
        for (int g = 0; g < groups; ++g) {
            ChartDataList* group = window[static_cast<std::size_t>(g)];
            ChartData& item = ItemOf(group, GetFirstIndex() + i);
            if (item.IsNull()) continue;
            SetColourIndex(GetFirstGroup() + g);
            visit(i, g, item, StyleOf(item, group ? group->GetStyle() : none));
        }
}

void ChartDisplay::DrawBars() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    // A window past the data: nothing to draw, and nothing to divide by.
    if (groups <= 0 || indexes <= 0) return;
    const int kind = GetDisplayKind();
    const bool raised = GetChartType() == 16 || kind == 16 || kind == 22;
    const RECT p = raised ? RaisedPlot(true) : m_plot;
    const double w = p.right - p.left, h = p.bottom - p.top;
    const double scale = w / GetValueSpan(), base = Base();
    const double m = GetValueRange().GetMinimum(), big = GetValueRange().GetMaximum();
    double zero = 0;
    if (!IsValueAxisLog()) {
        if (big * m < 0) zero = -m * scale;
        if (big <= 0) zero = w;
    }
    const double t = BarWidth(h / (double(groups) * indexes), GetDeviceRatioY(GetDrawingDC()));
    const double slot = h / indexes, offset = slot * 0.5 - groups * t * 0.5;
    WalkSideBySide([&](int i, int g, ChartData& item, const ChartStyle& style) {
        const int bottom = TruncToInt(p.bottom - i * slot - offset - g * t);
        const int top = TruncToInt(bottom - t);
        const int end = TruncToInt(p.left + (item.GetValue(IsValueAxisLog()) - base) * scale + 0.5);
        const int start = TruncToInt(p.left + zero + 0.5);
        DrawBar(start, top, end, bottom, GetFirstGroup() + g, GetFirstIndex() + i, style, raised ? kRaisedBox : 0,
                &item);
    });
}

void ChartDisplay::DrawColumns() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    if (groups <= 0 || indexes <= 0) return;
    const int kind = GetDisplayKind();
    const bool raised = GetChartType() == 15 || kind == 11 || kind == 13 || kind == 20 || kind == 21;
    const RECT p = raised ? RaisedPlot(true) : m_plot;
    const double w = p.right - p.left, h = p.bottom - p.top;
    const double scale = h / GetValueSpan(), base = Base();
    const double m = GetValueRange().GetMinimum();
    // With a positive minimum the foot lies below the plot at the value 0; the clip cuts it.
    double foot = 0;
    if (!IsValueAxisLog()) foot = GetValueRange().GetMaximum() <= 0 ? h : -m * scale;
    const double width = BarWidth(w / (double(groups) * indexes), GetDeviceRatioX(GetDrawingDC()));
    const double slot = w / indexes, offset = slot * 0.5 - groups * width * 0.5;
    WalkSideBySide([&](int i, int g, ChartData& item, const ChartStyle& style) {
        const int left = TruncToInt(g * width + i * slot + p.left + offset);
        const int right = TruncToInt(left + width);
        const int top = TruncToInt(p.bottom - scale * (item.GetValue(IsValueAxisLog()) - base) + 0.5);
        const int bottom = TruncToInt(p.bottom - foot + 0.5);
        DrawBar(left, top, right, bottom, GetFirstGroup() + g, GetFirstIndex() + i, style, raised ? kRaisedBox : 0,
                &item);
    });
}

namespace {

// One bound of an overlapped column: a group's value, or the zero line.
struct Level {
    double value;
    int group;
    bool zero;
};

} // namespace

void ChartDisplay::DrawOverlapColumns() {
    if (RangeIsZero(GetValueRange())) return DrawEmptyPicture();
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups <= 0 || indexes <= 0) return;
    const int kind = GetDisplayKind();
    const bool raised = kind == 11 || kind == 13 || kind == 20 || kind == 21;
    DrawOverlapped(raised ? RaisedPlot(true) : m_plot, true, raised);
}

void ChartDisplay::DrawOverlapBars() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    if (groups <= 0 || indexes <= 0) return;
    const int kind = GetDisplayKind();
    const bool raised = kind == 16 || kind == 22;
    DrawOverlapped(raised ? RaisedPlot(true) : m_plot, false, raised);
}

void ChartDisplay::DrawOverlapped(const RECT& p, bool upright, bool raised) {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    const double w = p.right - p.left, h = p.bottom - p.top;
    const double length = upright ? h : w, across = upright ? w : h;
    const double scale = length / GetValueSpan(), base = Base();
    const double m = GetValueRange().GetMinimum(), big = GetValueRange().GetMaximum();
    double zero = 0;
    if (!IsValueAxisLog()) {
        if (big * m < 0) zero = -m;
        if (big <= 0) zero = GetValueSpan();
    }
    const double ratio = upright ? GetDeviceRatioX(GetDrawingDC()) : GetDeviceRatioY(GetDrawingDC());
    const double width = BarWidth(across / indexes, ratio), slot = across / indexes;
    std::vector<ChartDataList*> window(static_cast<std::size_t>(groups));
    for (int g = 0; g < groups; ++g)
        window[static_cast<std::size_t>(g)] = FindGroup(GetFirstGroup() + g);
    std::vector<Level> levels;
    levels.reserve(static_cast<std::size_t>(groups) + 1);
    const ChartStyle none(ChartStyle::levelData);
    for (int i = 0; i < indexes; ++i) {
        const int index = GetFirstIndex() + i;
        levels.clear();
        for (int g = 0; g < groups; ++g) {
            ChartData& item = ItemOf(window[static_cast<std::size_t>(g)], index);
            levels.push_back({item.IsNull() ? 0 : item.GetValue(IsValueAxisLog()) - base, g, false});
        }
        levels.push_back({zero, groups, true});
        std::stable_sort(levels.begin(), levels.end(),
                         [](const Level& a, const Level& b) { return a.value < b.value; });
        int low, high;
        if (upright) {
            low = TruncToInt(i * slot + slot * 0.5 + p.left - width * 0.5);
            high = TruncToInt(low + width);
        } else {
            low = TruncToInt(p.bottom - (i * slot + slot * 0.5 - width * 0.5));
            high = TruncToInt(low - width);
        }
        // Below the zero line a part runs from its value up to the next; above it, from the
        // next lower value up to its own.
        bool passed = false;
        for (int j = 0; j < groups; ++j) {
            const Level& from = levels[static_cast<std::size_t>(j)];
            const Level& to = levels[static_cast<std::size_t>(j) + 1];
            passed = passed || from.zero;
            const Level& owner = passed ? to : from;
            ChartDataList* group = window[static_cast<std::size_t>(owner.group)];
            ChartData& item = ItemOf(group, index);
            const ChartStyle& style = StyleOf(item, group ? group->GetStyle() : none);
            SetColourIndex(GetFirstGroup() + owner.group);
            const int form = raised ? kRaisedBox : 0;
            if (upright)
                DrawBar(low, TruncToInt(p.bottom - scale * from.value + 0.5), high,
                        TruncToInt(p.bottom - scale * to.value + 0.5), GetFirstGroup() + owner.group, index,
                        style, form, &item);
            else
                DrawBar(TruncToInt(p.left + scale * from.value + 0.5), high,
                        TruncToInt(p.left + scale * to.value + 0.5), low, GetFirstGroup() + owner.group, index,
                        style, form, &item);
        }
    }
}

void ChartDisplay::DrawStackedColumns() {
    StackedColumns(false);
}

void ChartDisplay::DrawGroupStackedColumns() {
    StackedColumns(true);
}

void ChartDisplay::DrawStackedBars() {
    StackedBars(false);
}

void ChartDisplay::DrawGroupStackedBars() {
    StackedBars(true);
}

// Piles of one column or bar each: the indices' piles of the groups, or with byGroup the groups'
// piles of the indices. The pile's parts are the items of the other window in order.
void ChartDisplay::WalkPiles(bool byGroup, const PileVisitor& visit) {
    const int piles = byGroup ? GetGroupCount() : GetIndexCount();
    const int parts = byGroup ? GetIndexCount() : GetGroupCount();
    Chart* chart = GetChart();
    std::vector<ChartDataList*> window(static_cast<std::size_t>(std::max(GetGroupCount(), 0)));
    for (int g = 0; g < GetGroupCount(); ++g)
        window[static_cast<std::size_t>(g)] = &chart->GetGroup(GetFirstGroup() + g, true);
    for (int pile = 0; pile < piles; ++pile)
        for (int part = 0; part < parts; ++part) {
            const int g = byGroup ? pile : part, i = byGroup ? part : pile;
            ChartDataList& group = *window[static_cast<std::size_t>(g)];
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + i, true);
            const ChartStyle& style = StyleOf(item, byGroup ? GetStyle() : group.GetStyle());
            // Group-stacked levels take their palette colours by index.
            SetColourIndex(byGroup ? GetFirstIndex() + i : GetFirstGroup() + g);
            visit(pile, part, GetFirstGroup() + g, GetFirstIndex() + i, item, style);
        }
}

void ChartDisplay::StackedColumns(bool byGroup) {
    if (RangeIsZero(GetValueRange())) return DrawEmptyPicture();
    const int piles = byGroup ? GetGroupCount() : GetIndexCount();
    if (piles <= 0) return;
    const int kind = GetDisplayKind();
    const bool raised = kind == 11 || kind == 13;
    const RECT p = raised ? RaisedPlot(false) : m_plot;
    const double w = p.right - p.left, h = p.bottom - p.top;
    const double scale = h / GetValueSpan(), base = Base();
    const double width = BarWidth(w / piles, GetDeviceRatioX(GetDrawingDC())), slot = w / piles;
    const bool log = IsValueAxisLog();
    int left = 0, right = 0, previous = 0;
    double sum = 0;
    WalkPiles(byGroup, [&](int pile, int part, int group, int index, ChartData& item, const ChartStyle& style) {
        if (part == 0) {
            left = TruncToInt(pile * slot + slot * 0.5 + p.left - width * 0.5);
            right = TruncToInt(left + width);
            // The first part starts at the plot's bottom edge, not at the zero line.
            previous = p.bottom;
            sum = 0;
        }
        sum += item.IsNull() ? 0 : item.GetValue();
        const double level = log ? std::log10(sum) : sum;
        const int top = TruncToInt(p.bottom - (level - base) * scale + 0.5);
        DrawBar(left, top, right, previous, group, index, style, raised ? kRaisedBox : 0, &item);
        previous = top;
    });
}

void ChartDisplay::StackedBars(bool byGroup) {
    if (RangeIsZero(GetValueRange())) return DrawEmptyPicture();
    const int piles = byGroup ? GetGroupCount() : GetIndexCount();
    if (piles <= 0) return;
    const bool raised = GetDisplayKind() == 16;
    const RECT p = raised ? RaisedPlot(false) : m_plot;
    const double w = p.right - p.left, h = p.bottom - p.top;
    const double scale = w / GetValueSpan(), base = Base();
    const double band = h / piles;
    const double t = (GetStyle().flagsWord & kExplicitSizes) ? std::min(GetStyle().firstSize, band)
                                                             : band * 0.9090909090909091;
    const bool log = IsValueAxisLog();
    int bottom = 0, top = 0, previous = 0;
    double sum = 0;
    WalkPiles(byGroup, [&](int pile, int part, int group, int index, ChartData& item, const ChartStyle& style) {
        if (part == 0) {
            bottom = TruncToInt(p.bottom - pile * band - band * 0.5 + t * 0.5);
            top = TruncToInt(bottom - t);
            previous = p.left;
            sum = 0;
        }
        sum += item.IsNull() ? 0 : item.GetValue();
        const double level = log ? std::log10(sum) : sum;
        const int end = TruncToInt(p.left + (level - base) * scale + 0.5);
        DrawBar(previous, top, end, bottom, group, index, style, raised ? kRaisedBox : 0, &item);
        previous = end;
    });
}

void ChartDisplay::DrawFloatingBars() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    const int rows = groups / 2;
    // One group alone makes no pair: no row to divide the plot by.
    if (rows <= 0 || indexes <= 0) return;
    const bool raised = GetDisplayKind() == 16;
    const RECT p = raised ? RaisedPlot(false) : m_plot;
    const double w = p.right - p.left, h = p.bottom - p.top;
    const double scale = w / GetValueSpan(), base = Base();
    const double row = h / rows;
    const double t = (GetStyle().flagsWord & kExplicitSizes)
                         ? std::min(GetStyle().thirdSize * GetDeviceRatioY(GetDrawingDC()), row * 0.9090909090909091)
                         : row * 0.9090909090909091;
    const bool log = IsValueAxisLog();
    Chart* chart = GetChart();
    const ChartStyle none(ChartStyle::levelData);
    for (int k = 0; k < rows; ++k) {
        ChartDataList* starts = FindGroup(GetFirstGroup() + 2 * k);
        ChartDataList* ends = FindGroup(GetFirstGroup() + 2 * k + 1);
        for (int j = 0; j < indexes; ++j) {
            const int index = GetFirstIndex() + j;
            ChartData& first = ItemOf(starts, index);
            ChartData& last = ItemOf(ends, index);
            if (first.IsNull()) continue;
            const ChartStyle& style = StyleOf(first, starts ? starts->GetStyle() : none);
            SetColourIndex(GetFirstGroup() + k);
            const double from = first.GetValue(log) - base, to = last.GetValue(log) - base;
            int left = TruncToInt(p.left + from * scale + 0.5), right = TruncToInt(p.left + to * scale + 0.5);
            const bool reversed = left > right;
            if (reversed) std::swap(left, right);
            left = std::clamp(left, int(p.left), int(p.right));
            right = std::clamp(right, int(p.left), int(p.right));
            const int top = TruncToInt(p.bottom - (k * row + row * 0.5) - t * 0.5);
            const int bottom = TruncToInt(top + t);
            const int middle = (left + right) / 2;
            const int leftGroup = GetFirstGroup() + 2 * k + (from > to ? 1 : 0);
            const int rightGroup = GetFirstGroup() + 2 * k + (from > to ? 0 : 1);
            if (chart->IsFeedbackOn()) {
                chart->AddRectFeedback({left, top, middle, bottom}, leftGroup, index);
                chart->AddRectFeedback({middle, top, right, bottom}, rightGroup, index);
            }
            const int feedback = chart->GetFeedbackEnabled();
            chart->SetFeedbackEnabled(0);
            DrawBar(left, top, right, bottom, GetFirstGroup() + 2 * k, index, style, raised ? kRaisedBox : 0,
                    nullptr);
            chart->SetFeedbackEnabled(feedback);
        }
    }
}

void ChartDisplay::CalcStackedRange() {
    StackedRange(false);
}

void ChartDisplay::CalcGroupStackedRange() {
    StackedRange(true);
}

void ChartDisplay::StackedRange(bool byGroup) {
    CScale& range = GetValueRange();
    range.Clear();
    Chart* chart = GetChart();
    const int piles = byGroup ? GetGroupCount() : GetIndexCount();
    const int parts = byGroup ? GetIndexCount() : GetGroupCount();
    for (int pile = 0; pile < piles; ++pile) {
        double sum = 0;
        for (int part = 0; part < parts; ++part) {
            const int g = byGroup ? pile : part, i = byGroup ? part : pile;
            const double value = chart->GetDataOrDummy(GetFirstIndex() + i, GetFirstGroup() + g).GetValue();
            if (value < 0) {
                // A pile cannot show a negative part: from now on the display is a column chart.
                ToColumnChart();
                return CalcStandardRange();
            }
            sum += value;
            range.Update(sum);
        }
    }
    ApplyBoundingLimits();
    ApplyFixedLimits();
}

} // namespace vq
