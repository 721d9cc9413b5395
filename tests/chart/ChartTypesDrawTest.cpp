#include "chart/ChartDisplay.h"

#include "ChartWindowFixture.h"
#include "chart/Chart.h"
#include "chart/ChartDynamicData.h"
#include "chart/ChartGeometry.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiJournal.h"
#include "platform/gui/ImagePrintContext.h"
#include "tests/support/TestPaths.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace vq {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(0, 128, 128);

// Light row colours, as the conversation views give their items, so that black text stands out.
constexpr COLORREF kRowColours[] = {RGB(255, 160, 160), RGB(160, 255, 160), RGB(160, 160, 255),
                                    RGB(255, 255, 160), RGB(160, 255, 255)};

template <typename ChartType>
class TypesWindow : public test::BasicChartWindowFixture<ChartType> {
protected:
    ChartDisplay* Open(int width, int height, int type, int kind) {
        this->chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, width, height}, 0, 0,
                                    0x100, 0, 0);
        display = static_cast<ChartDisplay*>(this->chart.CreateComponent(
            chartDisplayType, ChartRect::unitPixels, {0, 0, width, height}, 0, 0, 0, 0, 0));
        display->SetFont(8, 0, "Arial");
        display->SetTypeAndKind(type, kind);
        this->OpenFrame({0, 0, width, height});
        return display;
    }
    void Save(const std::string& name) {
        std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
        ASSERT_TRUE(OffscreenHarness::SaveScreenshot(this->frame,
                                                     test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    bool AnyBlack(RECT r) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = this->At(x, y);
                if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) return true;
            }
        return false;
    }
    bool ColumnHas(int x, int top, int bottom, COLORREF colour) {
        for (int y = top; y <= bottom; ++y)
            if (this->At(x, y) == colour) return true;
        return false;
    }
    ChartDisplay* display = nullptr;
};

using SummaryAndConversationTest = TypesWindow<Chart>;

TEST_F(SummaryAndConversationTest, SummaryBarsGrowFromTheLeftEdgeOrTheZeroLine) {
    Open(300, 60, 2, 0);
    display->GetStyle().flagsWord = ChartDisplayBase::kFixedRange | ChartDisplayBase::kLimitsBound;
    display->SetLowerValueLimit(0);
    display->SetUpperValueLimit(100);
    const char* names[] = {"10 Sec", "5 Min.", "1 Hour", "8 Hour"};
    for (int i = 0; i < 4; ++i) {
        chart.SetItemValue(i, 0, 20.0 * (i + 1), false);
        chart.SetItemLabel(i, 0, names[i]);
    }
    Repaint();
    const RECT p = display->GetPlotRect();
    const int w = p.right - p.left, h = p.bottom - p.top;
    const COLORREF bar = ChartSeriesColour(0);
    auto rowY = [&](int i, int rows) { return static_cast<int>(p.bottom - (i + 0.5) * h / rows); };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        const int y = rowY(i, 4), end = p.left + static_cast<int>(0.2 * (i + 1) * w + 0.5);
        EXPECT_EQ(At(p.left + 1, y), bar) << "from the left edge";
        EXPECT_EQ(At(end - 2, y), bar);
        EXPECT_EQ(At(end + 2, y), kWhite) << "to " << 20 * (i + 1) << " percent";
    }
    EXPECT_EQ(At(p.left + w / 4, rowY(3, 4)), bar) << "index 0 lowest: the top row is the longest";
    Save("chart-types-summary.png");

    struct {
        double first, second;
        const char* png;
    } const cases[] = {{-10, 30, "chart-types-summary-zero-line.png"},
                       {-10, -30, "chart-types-summary-negative.png"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.png);
        chart.DeleteAllGroups();
        chart.SetItemValue(0, 0, c.first, false);
        chart.SetItemValue(1, 0, c.second, false);
        display->GetStyle().flagsWord = 0;
        display->SetStyleDirty(1);
        Repaint();
        const RECT q = display->GetPlotRect();
        const CScale range = display->GetValueRange();
        const int zero = c.second > 0 ? q.left + static_cast<int>(-range.GetMinimum() * (q.right - q.left) /
                                                                       display->GetValueSpan() +
                                                                   0.5)
                                      : q.right;
        auto y = [&](int i) { return static_cast<int>(q.bottom - (i + 0.5) * (q.bottom - q.top) / 2); };
        EXPECT_EQ(At(zero - 2, y(0)), bar) << "-10 ends at the zero line";
        EXPECT_EQ(At(zero + 2, y(0)), kWhite);
        if (c.second > 0) {
            EXPECT_EQ(At(zero + 2, y(1)), bar) << "30 starts there";
            EXPECT_EQ(At(zero - 2, y(1)), kWhite);
        } else {
            EXPECT_EQ(At(q.right - 2, y(1)), bar) << "all at or below 0: from the right edge";
            EXPECT_EQ(At(q.left + 2, y(1)), kWhite);
        }
        Save(c.png);
    }
}

TEST_F(SummaryAndConversationTest, ConversationPieSlicesSidesAndLabels) {
    Open(400, 300, 13, 9);
    // Sweeps of 200, 60, 50, 30 and 20 degrees: middles at 100, 230, 285, 325 and 350.
    const double values[] = {200, 60, 50, 30, 20};
    for (int g = 0; g < 5; ++g) {
        chart.SetItemValue(0, g, values[g], false);
        ChartStyle& style = chart.GetData(0, g).GetStyle();
        style.styleWord = (style.styleWord & ~0xF0u) | 0x20;
        style.fillColour = kRowColours[g];
    }
    Repaint();
    const RECT p = display->GetPlotRect();
    const int w = p.right - p.left, h = p.bottom - p.top;
    const double r = 0.3 * std::min(w, h), v = std::sin(30 * kRadiansPerDegree) * r;
    const double depth = std::cos(30 * kRadiansPerDegree) * v * 0.5;
    const int cx = p.left + w / 2, cy = static_cast<int>(p.top + h / 2 - depth * 0.5);
    double start = 0;
    for (int g = 0; g < 5; ++g) {
        const double sweep = values[g] / 360 * 2 * M_PI, mid = start + sweep / 2;
        start += sweep;
        EXPECT_EQ(At(cx + static_cast<int>(std::cos(mid) * r * 0.6), cy + static_cast<int>(std::sin(mid) * v * 0.6)),
                  kRowColours[g])
            << "the top of slice " << g;
    }
    EXPECT_EQ(At(cx + 5, cy + static_cast<int>(v + depth / 2)), kRowColours[0]) << "the side below the centre";
    // Labels extend away from the pie: at 100 degrees from their top middle, at 350 degrees from
    // their bottom left.
    const double f = 1.1 * r + 3, fv = 1.1 * v + 3;
    const int x100 = cx + static_cast<int>(std::cos(100 * kRadiansPerDegree) * f);
    const int y100 = cy + static_cast<int>(std::sin(100 * kRadiansPerDegree) * fv) + static_cast<int>(depth);
    EXPECT_TRUE(AnyBlack({x100 - 14, y100 + 1, x100 - 2, y100 + 16})) << "centred below the anchor";
    EXPECT_TRUE(AnyBlack({x100 + 2, y100 + 1, x100 + 14, y100 + 16}));
    const int x350 = cx + static_cast<int>(std::cos(350 * kRadiansPerDegree) * f);
    const int y350 = cy + static_cast<int>(std::sin(350 * kRadiansPerDegree) * fv);
    EXPECT_TRUE(AnyBlack({x350 + 1, y350 - 14, x350 + 40, y350})) << "right of and above the anchor";
    EXPECT_FALSE(AnyBlack({x350 + 1, y350 + 2, x350 + 40, y350 + 14}));
    Save("chart-types-conversation-pie.png");

    chart.DeleteAllGroups();
    chart.SetItemValue(0, 0, 5, false);
    Repaint();
    const RECT q = display->GetPlotRect();
    const int qcx = q.left + (q.right - q.left) / 2;
    const int qcy = static_cast<int>(q.top + (q.bottom - q.top) / 2 - depth * 0.5);
    EXPECT_EQ(At(qcx + static_cast<int>(r / 2), qcy), ChartSeriesColour(0)) << "no line to the centre";
    Save("chart-types-pie-single.png");

    chart.SetItemValue(0, 0, 0, false);
    display->GetStyle().flagsWord |= ChartDisplayBase::kEmptyPicture;
    Repaint();
    EXPECT_EQ(At(qcx, (q.top + q.bottom) / 2), RGB(192, 192, 192)) << "the empty-chart picture";

    chart.SetItemValue(0, 0, -5, false);
    chart.SetItemValue(0, 1, 8, false);
    Repaint();
    EXPECT_EQ(display->GetChartType(), 3);
    EXPECT_EQ(display->GetDisplayKind(), 2);
    EXPECT_EQ(display->GetStyle().extraWord & 0xFFu, 1u);
    Repaint();
    EXPECT_TRUE(ColumnHas(display->GetPlotRect().left + (display->GetPlotRect().right - display->GetPlotRect().left) * 3 / 4,
                          display->GetPlotRect().top, display->GetPlotRect().bottom, ChartSeriesColour(1)))
        << "drawn as columns from the next draw on";
    Save("chart-types-pie-turned-columns.png");
}

TEST_F(SummaryAndConversationTest, ConversationColumnsAndTheStripChart) {
    const double values[] = {40, 25, 15, 12, 8};
    auto fill = [&](int rows, bool byGroup) {
        for (int k = 0; k < rows; ++k) {
            const int g = byGroup ? k : 0, i = byGroup ? 0 : k;
            chart.SetItemValue(i, g, values[k], false);
            ChartStyle& style = chart.GetData(i, g).GetStyle();
            style.styleWord = (style.styleWord & ~0xF0u) | 0x20;
            style.fillColour = kRowColours[k];
        }
    };
    Open(400, 300, 3, 2);
    display->GetStyle().flagsWord |= ChartDisplay::kNoSecondTicks | ChartDisplay::kNoGroupAxis;
    fill(5, true);
    Repaint();
    RECT p = display->GetPlotRect();
    const double slot = (p.right - p.left) / 5.0 * 10 / 11;
    const double offset = (p.right - p.left) * 0.5 - 5 * slot * 0.5;
    for (int g = 0; g < 5; ++g)
        EXPECT_EQ(At(static_cast<int>(p.left + offset + (g + 0.5) * slot), p.bottom - 3), kRowColours[g]) << g;
    Save("chart-types-conversation-columns.png");

    chart.DeleteAllGroups();
    display->SetTypeAndKind(40, 10);
    fill(5, false);
    Repaint();
    p = display->GetPlotRect();
    const CScale range = display->GetValueRange();
    const double scale = (p.right - p.left) / display->GetValueSpan();
    double sum = 0;
    int previous = p.left;
    for (int k = 0; k < 5; ++k) {
        sum += values[k];
        const int end = static_cast<int>(p.left + (sum - range.GetMinimum()) * scale + 0.5);
        EXPECT_EQ(At((previous + end) / 2, (p.top + p.bottom) / 2), kRowColours[k]) << "level " << k;
        previous = end;
    }
    Save("chart-types-conversation-strip.png");
}

// Three series of 60 samples in ring buffers filled by shifting, as the trend views keep them.
class TrendTest : public TypesWindow<DynamicChart> {
protected:
    void Fill(double (*value)(int series, int sample)) {
        for (int g = 0; g < 3; ++g) {
            ChartDataList& group = chart.GetGroup(g, true);
            group.SetDynamic(1);
            auto buffer = std::make_unique<ChartDynamicData>();
            buffer->SetCapacity(60);
            buffer->SetWrap(1);
            buffer->SetNull(0);
            // As the trend views style their series: a plain line in the series colour.
            ChartStyle& style = buffer->GetStyle();
            style.styleWord = 0x0424;
            style.lineColour = style.fillColour = ChartSeriesColour(g);
            for (int i = 0; i < 60; ++i)
                buffer->SetValue(0);
            for (int i = 0; i < 60; ++i)
                buffer->Shift(value(g, i), true);
            group.GetItems().clear();
            group.Append(std::move(buffer));
        }
    }
};

TEST_F(TrendTest, EveryTrendStyleDrawsItsSeries) {
    Open(400, 300, 1, 12);
    Fill([](int g, int i) { return 10.0 + 25 * g + (i % 10); });
    struct {
        int type;
        COLORREF colours[3];
        const char* png;
    } const cases[] = {
        {1, {ChartSeriesColour(0), ChartSeriesColour(1), ChartSeriesColour(2)}, "chart-types-trend-lines.png"},
        {3, {ChartSeriesColour(0), ChartSeriesColour(1), ChartSeriesColour(2)}, "chart-types-trend-columns.png"},
        // Without element ranges both spreads reach down to 0: the last series' lower spread
        // covers the others.
        {24, {ChartSeriesColour(5), ChartSeriesColour(5), ChartSeriesColour(5)}, "chart-types-trend-area.png"},
        {14, {ChartSeriesColour(0), ChartSeriesColour(1), ChartSeriesColour(2)}, "chart-types-trend-stacked-areas.png"},
        {15, {ChartSeriesColour(0), ChartSeriesColour(1), ChartSeriesColour(2)}, "chart-types-trend-raised-columns.png"},
        {37, {ChartSeriesColour(0), ChartSeriesColour(1), ChartSeriesColour(2)}, "chart-types-trend-stacked-columns.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.png);
        display->SetTypeAndKind(c.type, 12);
        Repaint();
        const RECT p = display->GetPlotRect();
        ASSERT_NE(display->GetValueAxisScale(), nullptr);
        EXPECT_GT(display->GetValueAxisScale()->GetBounds().left, p.right - 1) << "value axis at the right";
        const auto& cells = display->GetSecondPositionList();
        ASSERT_GE(cells.size(), 2u) << "category ticks";
        EXPECT_EQ(At(cells[1].x, p.bottom + 3), kBlack) << "a category tick";
        EXPECT_TRUE(ColumnHas(cells[1].x, p.top + 1, p.top + 10, kGrid)) << "a vertical grid line";
        const int x = p.left + (p.right - p.left) * 25 / 59;
        for (int g = 0; g < 3; ++g) {
            bool found = false;
            for (int dx = -3; dx <= 3 && !found; ++dx)
                found = ColumnHas(x + dx, p.top, p.bottom, c.colours[g]);
            EXPECT_TRUE(found) << "series " << g << " near sample 25";
        }
        Save(c.png);
    }
}

TEST_F(TrendTest, AnIdleDeviceDrawsAFlatLineAtTheBottomOfAZeroToOneAxis) {
    Open(400, 300, 1, 12);
    Fill([](int, int) { return 0.0; });
    Repaint();
    const RECT p = display->GetPlotRect();
    EXPECT_EQ(display->GetValueRange().GetMinimum(), 0);
    EXPECT_EQ(display->GetValueRange().GetMaximum(), 1);
    EXPECT_EQ(At((p.left + p.right) / 2 + 1, p.bottom), ChartSeriesColour(2)) << "the last series on top";
    EXPECT_NE(At((p.left + p.right) / 2 + 1, p.bottom - 3), ChartSeriesColour(2));
    Save("chart-types-trend-idle.png");
}

std::vector<std::uint32_t> PagePixels(const ImagePrintContext& page) {
    const Bitmap& b = page.Page()->bits;
    return {b.Data(), b.Data() + std::size_t(b.Width()) * b.Height()};
}

TEST(ChartTypesPrint, BandedAndUnbandedPagesAgree) {
    for (auto [type, kind] : {std::pair{3, 2}, {13, 9}}) {
        SCOPED_TRACE(type);
        Chart chart;
        for (int g = 0; g < 5; ++g)
            chart.SetItemValue(0, g, 10.0 + 7 * g, false);
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 400, 300}, 0, 0, 0x100, 0, 0);
        auto* display = static_cast<ChartDisplay*>(
            chart.CreateComponent(chartDisplayType, ChartRect::unitPixels, {0, 0, 400, 300}, 0, 0, 0, 0, 0));
        display->SetFont(8, 0, "Arial");
        display->SetTypeAndKind(type, kind);
        std::vector<std::uint32_t> pages[2];
        for (int banded = 0; banded < 2; ++banded) {
            ImagePrintContext page(1250, 937, 300);
            chart.SetBandedPrinting(banded);
            GdiJournal journal;
            chart.DrawComponentList(page.Dc(), 0);
            int texts = 0;
            // The pie's labels live only while they draw, so their fonts are judged by the
            // height of the text they put on the page.
            for (const auto& call : journal.Calls("ExtTextOut")) {
                if (call.dc != page.Dc()) continue;
                EXPECT_GE(call.device.bottom - call.device.top, 30) << "8 points at 300 dots per inch";
                EXPECT_LE(call.device.bottom - call.device.top, 45);
                ++texts;
            }
            if (!banded) {
                EXPECT_GT(texts, 3);
            }
            pages[banded] = PagePixels(page);
        }
        ASSERT_EQ(pages[0].size(), pages[1].size());
        std::size_t differing = 0, inked = 0;
        for (std::size_t k = 0; k < pages[0].size(); ++k) {
            differing += pages[0][k] != pages[1][k];
            inked += (pages[0][k] & 0xFFFFFF) != 0xFFFFFF;
        }
        EXPECT_EQ(differing, 0u);
        EXPECT_GT(inked, 10000u) << "the data were drawn";
    }
}

} // namespace
} // namespace vq
