#include "chart/ChartIndexScale.h"

#include "chart/Chart.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "platform/gui/Gdi.h"

#include <cmath>
#include <cstdlib>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(ChartIndexScale, ChartDecimalScale)
VQ_IMPLEMENT_DYNCREATE(ChartGroupScale, ChartIndexScale)

ChartIndexScale::ChartIndexScale() : ChartIndexScale(chartIndexScaleType) {}

ChartIndexScale::ChartIndexScale(int typeCode) : ChartDecimalScale(typeCode) {
    SetStep(1.0);
}

ChartGroupScale::ChartGroupScale() : ChartIndexScale(chartGroupScaleType) {}

int ChartIndexScale::GetFirst() const {
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    return lowIndex == -1 ? 0 : lowIndex;
}

int ChartIndexScale::GetLast() const {
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    return highIndex != -1 ? highIndex : GetChart() ? GetChart()->GetMaxIndexCount() - 1 : -1;
}

int ChartGroupScale::GetFirst() const {
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    return lowGroup == -1 ? 0 : lowGroup;
}

int ChartGroupScale::GetLast() const {
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    return highGroup != -1 ? highGroup : GetChart() ? GetChart()->GetGroupCount() - 1 : -1;
}

std::string ChartIndexScale::TextAt(int position) {
    Chart* chart = GetChart();
    const int category = std::min(GetFirst() + position, GetLast());
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    // Fetching the item first moves a buffer's read position to the category, which its
    // annotation may depend on.
    ChartData& item = chart->GetDataOrDummy(category, lowGroup == -1 ? 0 : lowGroup);
    return item.GetAnnotationText(chart->GetAnnotationIndex());
}

std::string ChartGroupScale::TextAt(int position) {
    Chart* chart = GetChart();
    try {
        return chart->GetGroupAnnotation(std::min(GetFirst() + position, GetLast()),
                                         chart->GetAnnotationIndex());
    } catch (const ChartException&) {
        return {};
    }
}

int ChartIndexScale::ChooseStep(int entries, int capacity, double step) {
    const long long set = std::isfinite(step) ? static_cast<long long>(TruncToInt(step)) : 0;
    if (set > 0) return static_cast<int>(set);
    static constexpr int kMultiples[] = {1, 2, 5, 10};
    for (long long power = 1;; power *= 10)
        for (int m : kMultiples) {
            const long long k = power * m;
            if (capacity > 0 ? entries / k <= capacity : k > entries)
                return static_cast<int>(std::min<long long>(k, entries));
        }
}

void ChartIndexScale::BuildLabels() {
    if (!IsDrawing() || !GetChart()) return;
    const int first = GetFirst(), last = GetLast();
    const long long entries = static_cast<long long>(last) - first + 1;
    if (entries < 1) return;
    const int n = static_cast<int>(std::min<long long>(entries, 1 << 30));
    POINT start = GetAxisStart(), end = GetAxisEnd();
    const double dx = end.x - start.x, dy = end.y - start.y;
    if (!m_labelsOnEdges) {
        const int inX = TruncToInt(dx / n * 0.5 + 0.5), inY = TruncToInt(dy / n * 0.5 + 0.5);
        start.x += inX, start.y += inY, end.x -= inX, end.y -= inY;
    }
    BuildFont();
    LOGFONT lf{};
    GetObject(GetFont(), sizeof lf, &lf);
    const int h = std::max(1, std::abs(lf.lfHeight));
    const double sx = end.x - start.x, sy = end.y - start.y;
    const double length = MeasuresWholeAxis() ? std::sqrt(dx * dx + dy * dy) : std::sqrt(sx * sx + sy * sy);
    int k = ChooseStep(n, TruncToInt(length / h), GetStep());
    int count = (n - 1) / k + 1;
    if (count > n) k = 1, count = n;
    if (count < 2) k = n - 1, count = 2;
    const POINT offset = GetLabelOffset();
    const double ux = n > 1 ? sx / (n - 1) : 0, uy = n > 1 ? sy / (n - 1) : 0;
    for (int i = 0; i < count; ++i) {
        ChartLabel& label = LabelAt(i);
        label.SetCurrentText(TextAt(i * k));
        label.SetPosition(TruncToInt(start.x + double(i) * k * ux) + offset.x,
                          TruncToInt(start.y + double(i) * k * uy) + offset.y);
    }
    TrimLabels(count);
    m_chosenStep = k;
    FinishBuild();
}

void ChartIndexScale::Store(ObjectWriter& archive) const {
    ChartDecimalScale::Store(archive);
    archive.WriteInt32(m_labelsOnEdges);
}

void ChartIndexScale::Load(ObjectReader& archive, u32 schema) {
    ChartDecimalScale::Load(archive, schema);
    m_labelsOnEdges = archive.ReadInt32();
}

} // namespace vq
