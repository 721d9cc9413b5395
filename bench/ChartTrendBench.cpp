// Redrawing a trend chart: ten ring-buffer series of P samples drawn off-screen at 1000 x 400 in
// the trend styles, with automatic and fixed value ranges. The time per point should not grow
// with P, and the off-screen bitmap should be made once, not per redraw.
#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartDynamicData.h"
#include "platform/gui/Gdi.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace vq {
namespace {

constexpr int kSeries = 10;
constexpr int kWidth = 1000, kHeight = 400;

struct TrendChart {
    TrendChart(int points, int type, bool fixed) {
        chart.SetBitmapSizing(1);
        chart.SetFeedbackEnabled(0);
        for (int g = 0; g < kSeries; ++g) {
            ChartDataList& group = chart.GetGroup(g, true);
            group.SetDynamic(1);
            auto buffer = std::make_unique<ChartDynamicData>();
            buffer->SetCapacity(static_cast<u32>(points));
            buffer->SetWrap(1);
            buffer->SetNull(0);
            ChartStyle& style = buffer->GetStyle();
            style.styleWord = 0x0424;
            style.lineColour = style.fillColour = ChartSeriesColour(g);
            for (int i = 0; i < points; ++i)
                buffer->SetValue(0);
            for (int i = 0; i < points; ++i)
                buffer->Shift(50 + 40 * std::sin(i * 0.05 + g), true);
            group.Append(std::move(buffer));
        }
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, kWidth, kHeight}, 0, 0, 0x100, 0,
                              0);
        auto* display = static_cast<ChartDisplay*>(chart.CreateComponent(
            chartDisplayType, ChartRect::unitPixels, {0, 0, kWidth, kHeight}, 5, 0, 0x100, 0, 0));
        display->SetFont(9, 0, "Arial");
        display->SetTypeAndKind(type, 12);
        if (fixed) {
            display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange | ChartDisplayBase::kLimitsBound;
            display->SetUpperValueLimit(kSeries * 100.0);
        }
    }
    ~TrendChart() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    DynamicChart chart;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
};

void BM_TrendRedraw(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    TrendChart trend(points, static_cast<int>(state.range(1)), state.range(2) != 0);
    trend.chart.DrawComponentList(trend.dc, 0);
    const HBITMAP first = trend.chart.GetOffscreenBitmap();
    int reallocations = 0;
    for (auto _ : state) {
        trend.chart.DrawComponentList(trend.dc, 0);
        reallocations += trend.chart.GetOffscreenBitmap() != first;
    }
    state.SetItemsProcessed(state.iterations() * kSeries * points);
    state.counters["time_per_point"] = benchmark::Counter(static_cast<double>(kSeries) * points,
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
    state.counters["bitmap_reallocations"] = reallocations;
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"points", "type", "fixed"});
    for (int type : {1, 24, 14, 3})
        for (int fixed : {0, 1})
            for (int points : {250, 500, 1000, 2000, 4000})
                b->Args({points, type, fixed});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TrendRedraw)->Apply(Sizes);

} // namespace
} // namespace vq

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
