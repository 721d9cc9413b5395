#include "chart/ChartDisplay.h"

#include "ChartTestSupport.h"
#include "ChartWindowFixture.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "platform/gui/Gdi.h"
#include "platform/time/OleDateTime.h"
#include "tests/support/TestPaths.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace vq {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

CScale Range(double low, double high) {
    CScale r;
    r.Update(low);
    r.Update(high);
    return r;
}

// The automatic linear rounding as the display applies it.
CScale Automatic(double low, double high, bool zero) {
    CScale r = Range(low, high);
    if (zero) r.Update(0);
    ChartDisplayBase::RoundLinear(r, 1.1);
    return r;
}

TEST(ChartDisplayRanges, LinearRounding) {
    struct {
        double low, high;
        bool zero;
        double min, max;
    } const cases[] = {
        {3, 97, true, 0, 105},       {0, 40, true, 0, 50},     {0, 140, true, 0, 150},
        {-7, 23, true, -9, 24.5},    {0.5, 0.5, true, 0, 0.6}, {1000, 1003, false, 999.8, 1003.2},
        {123, 456, false, 105, 475}, {0, 0, true, 0, 1},       {0, 0, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << " to " << c.high);
        const CScale r = Automatic(c.low, c.high, c.zero);
        EXPECT_NEAR(r.GetMinimum(), c.min, 1e-9);
        EXPECT_NEAR(r.GetMaximum(), c.max, 1e-9);
    }
    for (auto [low, high] : {std::pair{10.0, 50.0}, {0.0, 100.0}}) {
        CScale r = Range(low, high);
        ChartDisplayBase::RoundLinear(r, 1.0);
        EXPECT_EQ(r.GetMinimum(), low);
        EXPECT_EQ(r.GetMaximum(), high);
    }
    CScale five = Range(5, 5);
    ChartDisplayBase::RoundLinear(five, 1.0);
    EXPECT_NEAR(five.GetMinimum(), 4.5, 1e-12) << "one value is widened by half its decade";
    EXPECT_NEAR(five.GetMaximum(), 5.5, 1e-12);
    for (auto [low, high] :
         {std::pair{kNaN, 1.0}, {0.0, kInfinity}, {-kInfinity, kInfinity}, {-1e308, 1.7e308}}) {
        CScale r = Range(low, high);
        ChartDisplayBase::RoundLinear(r, 1.1);
        EXPECT_GT(ChartDisplayBase::UsableSpan(r.GetSpan()), 0) << low << " " << high;
        EXPECT_TRUE(std::isfinite(ChartDisplayBase::UsableSpan(r.GetSpan())));
    }
}

TEST(ChartDisplayRanges, LogAndDateRounding) {
    struct {
        double low, high;
        bool decades;
        double min, max;
    } const cases[] = {
        {3, 700, true, 1, 1000}, {3, 700, false, 3, 700},        {2, 3, true, 2, 3},
        {5, 5, true, 1, 100},    {0, 0.05, false, 0.0001, 0.05}, {-4, kNaN, true, 0.0001, 0.001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << " to " << c.high << (c.decades ? " by decades" : ""));
        CScale r = Range(c.low, c.high);
        if (std::isnan(c.high)) r.Set(c.low, c.high, 0);
        ChartDisplayBase::RoundLog(r, c.decades);
        EXPECT_NEAR(r.GetMinimum(), c.min, c.min * 1e-9);
        EXPECT_NEAR(r.GetMaximum(), c.max, c.max * 1e-9);
    }
    const OleDateTime start(2026, 3, 9, 10, 17, 42);
    struct {
        double length;
        OleDateTime low;
    } const dates[] = {{3.0 / 24, OleDateTime(2026, 3, 9, 10, 17, 0)},
                       {2.0, OleDateTime(2026, 3, 9, 10, 0, 0)},
                       {7.0, OleDateTime(2026, 3, 9, 0, 0, 0)},
                       {3.0 / 86400, start}};
    for (const auto& d : dates) {
        CScale r = Range(start.Value(), start.Value() + d.length);
        ChartDisplayBase::RoundDate(r, 1.0);
        EXPECT_NEAR(r.GetMinimum(), d.low.Value(), 1e-9) << d.length;
        EXPECT_NEAR(r.GetMaximum(), start.Value() + d.length, 1e-12) << "the high end is not rounded";
    }
}

TEST(ChartDisplayRanges, TickSteps) {
    struct {
        double span, step;
    } const cases[] = {{5, 0.1}, {1, 0.01}, {0.5, 0.001}, {100.5, 10},
                       {0, 0},   {-3, 0},   {kNaN, 0},    {kInfinity, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(ChartDisplayBase::TickStepFor(c.span), c.step, c.step * 1e-9) << c.span;
}

// A chart of two groups of five values up to 140 and one display over it.
struct DisplayChart {
    DisplayChart() {
        const double values[2][5] = {{20, 75, 140, 60, 95}, {35, 10, 120, 80, 50}};
        for (int g = 0; g < 2; ++g)
            for (int i = 0; i < 5; ++i) {
                chart.SetItemValue(i, g, values[g][i], false);
                chart.SetItemLabel(i, g, "Q" + std::to_string(i + 1));
            }
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 400, 300}, 0, 0, 0x100, 0,
                              0);
        display = static_cast<ChartDisplay*>(
            chart.CreateComponent(chartDisplayType, ChartRect::unitPixels, {0, 0, 400, 300}, 0, 0, 0, 0, 0));
        display->SetFont(-12, 0, "Arial");
    }
    Chart chart;
    ChartDisplay* display = nullptr;
};

TEST(ChartDisplayRanges, LimitsOfTheStandardRange) {
    struct {
        u32 flags;
        double lower, upper;
        double min, max;
    } const cases[] = {
        {0x04000000, 0, 100, 0, 100},  {0x04000004, -5, 100, -5, 140}, {0x4, 5, 1000, 10, 140},
        {0x04000004, 50, 50, 10, 140}, {0x04000000, 0, 0, 10, 140},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << c.flags << std::dec << " " << c.lower << "-" << c.upper);
        DisplayChart d;
        d.display->SetTypeAndKind(3, 2);
        d.display->GetStyle().flagsWord = c.flags;
        d.display->SetLowerValueLimit(c.lower);
        d.display->SetUpperValueLimit(c.upper);
        d.chart.GetData(1, 1).SetValue(10);
        d.display->Prepare();
        d.display->CalcStandardRange();
        EXPECT_EQ(d.display->GetValueRange().GetMinimum(), c.min);
        EXPECT_EQ(d.display->GetValueRange().GetMaximum(), c.max);
        EXPECT_GT(d.display->GetValueSpan(), 0);
    }
    DisplayChart fixedZero;
    fixedZero.display->SetTypeAndKind(3, 2);
    fixedZero.display->GetStyle().flagsWord = 0x04000000;
    fixedZero.display->SetUpperValueLimit(1);
    for (int g = 0; g < 2; ++g)
        for (int i = 0; i < 5; ++i)
            fixedZero.chart.GetData(i, g).SetValue(0);
    fixedZero.display->SetUpperValueLimit(0);
    fixedZero.display->Prepare();
    EXPECT_EQ(fixedZero.display->GetValueRange().GetSpan(), 0) << "a fixed range is not rounded";
    EXPECT_EQ(fixedZero.display->GetValueSpan(), 1.0) << "but no span of 0 reaches a renderer";
}

TEST(ChartDisplayRanges, DataTemplateBlock) {
    ChartDisplay display;
    display.ReadTemplate(" 0 0 0 \"Arial\" 9 0 2 12 3 3 1");
    EXPECT_EQ(display.GetDisplayKind(), 12);
    EXPECT_EQ(display.GetChartType(), 3);
    EXPECT_EQ(display.GetStyle().flagsWord & 0x30u, 0x30u);
    EXPECT_NE(display.GetStyle().extraWord & ChartDisplayBase::kNotOption4, 0u) << "option bit 4 clear";
    EXPECT_NE(display.GetStyle().flagsWord & ChartDisplayBase::kLogValues, 0u);
    ChartDisplay shortBlock;
    EXPECT_EQ(test::ChartErrorOf([&] { shortBlock.ReadTemplate(" 0 0 0 \"Arial\" 9 0 2 12 3 3"); }), 12);
    EXPECT_EQ(shortBlock.GetDisplayKind(), 12) << "what was read stays set";

    DisplayChart d;
    d.display->SetLowerValueLimit(-2);
    d.display->SetUpperValueLimit(200);
    d.display->SetPlotRect(40, 20, 380, 260, 1);
    ObjectWriter out;
    out.WriteObject(d.display);
    ObjectReader in(out.Data(), Chart::ArchiveClasses());
    auto loaded = in.ReadObject<ChartDisplay>();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetUpperValueLimit(), 200);
    EXPECT_EQ(loaded->GetLowerValueLimit(), -2);
    EXPECT_EQ(loaded->GetPlotRect().right, 380);
    EXPECT_NE(loaded->GetStyle().flagsWord & ChartDisplayBase::kGivenPlot, 0u);
    for (std::size_t length = 0; length < out.Data().size(); ++length) {
        ObjectReader cut(std::span<const u8>(out.Data()).first(length), Chart::ArchiveClasses());
        EXPECT_THROW(cut.ReadObject<ChartDisplay>(), ArchiveException);
    }
}

class ChartDisplayWindowTest : public test::ChartWindowFixture {
protected:
    void SetUp() override {
        ChartWindowFixture::SetUp();
        const double values[2][5] = {{20, 75, 140, 60, 95}, {35, 10, 120, 80, 50}};
        for (int g = 0; g < 2; ++g)
            for (int i = 0; i < 5; ++i) {
                chart.SetItemValue(i, g, values[g][i], false);
                chart.SetItemLabel(i, g, "Q" + std::to_string(i + 1));
            }
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 400, 300}, 0, 0, 0x100, 0,
                              0);
        display = static_cast<ChartDisplay*>(
            chart.CreateComponent(chartDisplayType, ChartRect::unitPixels, {0, 0, 400, 300}, 0, 0, 0, 0, 0));
        display->SetFont(-12, 0, "Arial");
        OpenFrame({0, 0, 400, 300});
    }
    void Save(const std::string& name) {
        std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
        ASSERT_TRUE(
            OffscreenHarness::SaveScreenshot(frame, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    std::vector<std::string> Texts(ChartDecimalScale* scale) {
        std::vector<std::string> texts;
        if (scale)
            for (auto& label : scale->GetLabels())
                texts.push_back(label->GetAnnotationText(1));
        return texts;
    }
    bool AnyDark(RECT r) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (GetRValue(At(x, y)) < 100 && GetBValue(At(x, y)) < 100) return true;
        return false;
    }
    ChartDisplay* display = nullptr;
    static constexpr COLORREF kBlack = RGB(0, 0, 0);
    static constexpr COLORREF kGrid = RGB(0, 128, 128);
    static constexpr COLORREF kWhite = RGB(255, 255, 255);
};

TEST_F(ChartDisplayWindowTest, Kind2FramesTheDataWithValueAndCategoryAxes) {
    display->SetTypeAndKind(5, 2);
    Repaint();
    const RECT p = display->GetPlotRect();
    ASSERT_GT(p.right - p.left, 200);
    EXPECT_EQ(display->GetValueRange().GetMinimum(), 0);
    EXPECT_EQ(display->GetValueRange().GetMaximum(), 150);
    const int midX = (p.left + p.right) / 2 + 3, midY = (p.top + p.bottom) / 2 + 3;
    EXPECT_EQ(At(p.left, midY), kBlack);
    EXPECT_EQ(At(p.right, midY), kBlack);
    EXPECT_EQ(At(midX, p.top), kBlack);
    EXPECT_EQ(At(midX, p.bottom), kBlack);

    ChartDecimalScale* values = display->GetValueAxisScale();
    ASSERT_NE(values, nullptr);
    const double s = values->GetChosenStep();
    const auto texts = Texts(values);
    ASSERT_GE(texts.size(), 3u);
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_NEAR(std::atof(texts[i].c_str()), i * s, 1e-9) << texts[i];
    EXPECT_LT(values->GetBounds().right, p.left) << "value labels left of the plot";
    for (const POINT& tick : display->GetFirstPositionList()) {
        if (tick.y == p.top || tick.y == p.bottom) continue;
        EXPECT_EQ(At(p.left + 40, tick.y), kGrid) << "grid line at value tick " << tick.y;
    }
    const auto categories = Texts(display->GetXAxisScale());
    EXPECT_EQ(categories, (std::vector<std::string>{"Q1", "Q2", "Q3", "Q4", "Q5"}));
    const auto& cells = display->GetSecondPositionList();
    ASSERT_EQ(cells.size(), 5u);
    const double cellWidth = (p.right - p.left) / 5.0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_NEAR(cells[i].x, p.left + (i + 0.5) * cellWidth, 1.0) << "centred under its cellWidth";
        EXPECT_EQ(At(cells[i].x, p.bottom + 3), kBlack) << "category tick below the frame";
    }
    EXPECT_TRUE(AnyDark({p.left, p.bottom + 6, p.right, 300})) << "category labels";
    Save("chart-display-kind2.png");
}

TEST_F(ChartDisplayWindowTest, OtherKindsAndTypes) {
    struct {
        int type, kind;
        u32 flags;
        const char* png;
    } const cases[] = {
        {5, 12, 0, "chart-display-kind12.png"},
        {1, 12, 0, "chart-display-lines-kind12.png"},
        {22, 10, 0, "chart-display-kind10.png"},
        {5, 11, 0, "chart-display-kind11.png"},
        {5, 18, ChartDisplayBase::kNoZero, "chart-display-kind18.png"},
        {0, 2, 0x2000000, "chart-display-empty.png"},
        {5, 28, 0, "chart-display-kind28.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.png);
        display->SetTypeAndKind(c.type, c.kind);
        display->GetStyle().flagsWord = c.flags;
        if (c.type == 1) {
            // Plain lines: markers would hide the frame this case looks at.
            for (int g = 0; g < 2; ++g)
                for (int i = 0; i < 5; ++i)
                    chart.GetData(i, g).GetStyle().styleWord = 0x0424;
        }
        if (c.kind == 18) {
            for (int g = 0; g < 2; ++g)
                for (int i = 0; i < 5; ++i)
                    chart.GetData(i, g).SetValue(46000 + i * 0.5 + g * 0.25);
        }
        Repaint();
        const RECT p = display->GetPlotRect();
        ChartDecimalScale* values = display->GetValueAxisScale();
        switch (c.kind) {
        case 12:
            ASSERT_NE(values, nullptr);
            EXPECT_GT(values->GetBounds().left, p.right) << "value labels right of the plot";
            EXPECT_EQ(At(p.right, (p.top + p.bottom) / 2 + 3), kBlack);
            if (c.type == 1) {
                const auto& cells = display->GetSecondPositionList();
                ASSERT_FALSE(cells.empty());
                EXPECT_EQ(cells.front().x, p.left) << "first category at the plot's edge";
                EXPECT_EQ(cells.back().x, p.right);
            }
            break;
        case 10:
            ASSERT_NE(values, nullptr);
            EXPECT_EQ(values->GetAxisStart().y, values->GetAxisEnd().y) << "value axis along the bottom";
            EXPECT_GT(values->GetBounds().top, p.bottom);
            break;
        case 11: {
            const int d = 10;
            EXPECT_EQ(At(p.right, p.top + 20), kBlack) << "back wall";
            EXPECT_EQ(At(p.left + d / 2, p.top + d / 2 + 30), kWhite) << "inside the left wall";
            EXPECT_EQ(At(p.left + d, p.bottom - d - 1), kBlack) << "back wall's corner over the floor";
            break;
        }
        case 18:
            ASSERT_NE(values, nullptr);
            EXPECT_EQ(values->GetTypeCode(), chartDateScaleType);
            break;
        case 2:
            EXPECT_EQ(At((p.left + p.right) / 2, (p.top + p.bottom) / 2), RGB(192, 192, 192))
                << "the empty-chart picture at the centre";
            EXPECT_EQ(At((p.left + p.right) / 2 - 24, (p.top + p.bottom) / 2), RGB(128, 128, 128))
                << "its frame, 48 pixels wide";
            break;
        case 28:
            EXPECT_FALSE(AnyDark({0, 0, 400, 300})) << "nothing";
            break;
        }
        Save(c.png);
    }
}

TEST_F(ChartDisplayWindowTest, GanttAxesLabelPairsOfGroupsAndPutTheValuesAlongTheBottom) {
    // Floating bars: groups 0 and 1 hold the starts and ends of one row, 2 and 3 of the next.
    for (int g = 2; g < 4; ++g)
        for (int i = 0; i < 5; ++i)
            chart.SetItemValue(i, g, 46000 + i + g * 0.5, false);
    for (int i = 0; i < 5; ++i) {
        chart.GetData(i, 0).SetValue(46000 + i);
        chart.GetData(i, 1).SetValue(46000.5 + i);
    }
    chart.SetGroupLabel(0, "Build", true);
    chart.SetGroupLabel(2, "Ship", true);
    for (const int kind : {24, 25}) {
        SCOPED_TRACE(kind);
        display->SetTypeAndKind(30, kind);
        display->GetStyle().flagsWord = ChartDisplayBase::kNoZero;
        display->SetXAxisScale(nullptr);
        display->SetValueAxisScale(nullptr);
        display->SetStyleDirty(1);
        Repaint();
        const RECT p = display->GetPlotRect();
        ChartDecimalScale* rows = display->GetXAxisScale();
        ChartDecimalScale* values = display->GetValueAxisScale();
        ASSERT_NE(rows, nullptr);
        ASSERT_NE(values, nullptr);
        EXPECT_EQ(rows->GetTypeCode(), chartGroupScaleType);
        EXPECT_EQ(Texts(rows), (std::vector<std::string>{"Build", "Ship"})) << "one label per pair";
        EXPECT_LT(rows->GetBounds().right, p.left) << "row labels left of the plot";
        const int h = (p.bottom - p.top) / 2;
        EXPECT_EQ(rows->GetAxisStart(), (POINT{p.left, p.bottom - h / 2}));
        EXPECT_EQ(rows->GetAxisEnd(), (POINT{p.left, p.top + h / 2}));
        const auto& rowTicks = display->GetFirstPositionList();
        ASSERT_EQ(rowTicks.size(), 2u);
        EXPECT_GT(rowTicks[0].y, rowTicks[1].y) << "the first pair lowest";
        EXPECT_EQ(values->GetAxisStart().y, p.bottom) << "values along the bottom";
        EXPECT_EQ(values->GetAxisEnd().y, p.bottom);
        EXPECT_EQ(values->GetTypeCode(), kind == 25 ? chartDateScaleType : chartDecimalScaleType);
        EXPECT_GT(values->GetBounds().top, p.bottom);
        ASSERT_FALSE(display->GetSecondPositionList().empty());
        EXPECT_EQ(At(display->GetSecondPositionList()[0].x, p.bottom + 3), kBlack) << "value tick";
        EXPECT_EQ(At(p.left, (p.top + p.bottom) / 2 + 3), kBlack) << "frame";
        EXPECT_TRUE(AnyDark({0, p.top, p.left - 2, p.bottom})) << "row labels";
        Save(kind == 24 ? "chart-display-gantt.png" : "chart-display-gantt-dates.png");
    }
}

TEST_F(ChartDisplayWindowTest, FlagsHideGridAxesAndKeepTheGivenPlot) {
    display->SetTypeAndKind(5, 2);
    display->GetStyle().flagsWord = ChartDisplay::kNoHorizontalGrid | ChartDisplay::kNoVerticalGrid;
    Repaint();
    RECT p = display->GetPlotRect();
    bool grid = false;
    for (int y = p.top + 1; y < p.bottom; ++y)
        grid |= At((p.left + p.right) / 2 + 7, y) == kGrid;
    EXPECT_FALSE(grid);
    EXPECT_EQ(At(display->GetSecondPositionList()[0].x, p.bottom + 3), kBlack) << "ticks remain";

    display->GetStyle().flagsWord = ChartDisplay::kNoIndexAxis | ChartDisplay::kNoValueAxis;
    display->SetStyleDirty(1);
    Repaint();
    p = display->GetPlotRect();
    EXPECT_EQ(p.left, 10) << "no axes: the plot keeps the interior";
    EXPECT_EQ(p.bottom, 290);

    display->SetPlotRect(50, 40, 350, 250, 1);
    display->SetStyleDirty(1);
    Repaint();
    EXPECT_EQ(display->GetPlotRect().left, 50) << "a given plot is kept";
    EXPECT_EQ(At(50, 100), kBlack);

    display->GetStyle().flagsWord &= ~ChartDisplay::kGivenPlot;
    display->GetStyle().labelWord &= ~0xF0u;
    display->SetStyleDirty(1);
    Repaint();
    EXPECT_EQ(display->GetValueAxisScale(), nullptr) << "label bits 0 hide both axes";
}

} // namespace
} // namespace vq

#include "platform/gui/GdiJournal.h"
#include "platform/gui/ImagePrintContext.h"

namespace vq {
namespace {

TEST(ChartDisplayPrint, APrintedChartUsesPrinterFontsAndTheScreenGetsItsOwnBack) {
    DisplayChart d;
    d.display->SetTypeAndKind(5, 2);
    d.display->SetFont(10, 0, "Arial");
    test::MemoryCanvas screen(400, 300);
    d.chart.DrawComponentList(screen.Dc(), 0);
    const std::vector<std::uint32_t> first = screen.Pixels();

    ImagePrintContext page(400 * 300 / 96, 300 * 300 / 96, 300);
    {
        GdiJournal journal;
        d.chart.DrawComponentList(page.Dc(), 0);
        int texts = 0;
        const RECT p = d.display->GetPlotRect();
        for (const auto& call : journal.Calls("ExtTextOut")) {
            if (call.dc != page.Dc()) continue;
            LOGFONT lf{};
            GetObject(call.font, sizeof lf, &lf);
            EXPECT_EQ(lf.lfHeight, -41) << "10 points at 300 dots per inch";
            EXPECT_GE(call.device.left, 0);
            EXPECT_LE(call.device.right, 1250);
            EXPECT_LE(call.device.bottom, 937);
            ++texts;
        }
        EXPECT_GT(texts, 5) << "value and category labels";
        int lines = 0;
        for (const auto& call : journal.Entries()) {
            if (call.call != "LineTo" && call.call != "Rectangle" && call.call != "Polyline") continue;
            EXPECT_GE(call.device.left, 0) << call.call;
            EXPECT_GE(call.device.top, 0) << call.call;
            EXPECT_LE(call.device.right, 1250) << call.call;
            EXPECT_LE(call.device.bottom, 937) << call.call;
            ++lines;
        }
        EXPECT_GT(lines, 10) << "ticks, grid lines and the frame";
        const auto frames = journal.Calls("Rectangle");
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames.back().device.left, p.left) << "the frame on the printed plot";
        EXPECT_EQ(frames.back().device.bottom, p.bottom + 1);
        EXPECT_GT(p.right - p.left, 100);
        EXPECT_GE(p.left, 0);
        EXPECT_LE(p.right, 1250);
        EXPECT_LE(p.bottom, 937);
    }
    d.chart.DrawComponentList(screen.Dc(), 0);
    EXPECT_EQ(screen.Pixels(), first) << "the next screen draw is the first one again";
}

TEST(ChartDisplayPrint, ScalesReloadFromArchives) {
    ChartDecimalScale scale({10, 200}, {10, 20}, -5, 95, 2.5, "%.1f");
    scale.SetLabelSide(1);
    scale.SetStartAtMaximum();
    ObjectWriter out;
    out.WriteObject(&scale);
    ObjectReader in(out.Data(), Chart::ArchiveClasses());
    auto loaded = in.ReadObject<ChartDecimalScale>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded->GetAxisStart().y, 200);
    EXPECT_EQ(loaded->GetMinimum(), -5);
    EXPECT_EQ(loaded->GetStep(), 2.5);
    EXPECT_EQ(loaded->GetFormat(), "%.1f");
    EXPECT_EQ(loaded->GetLabelSide(), 1);
    EXPECT_EQ(loaded->StartsAtMinimum(), 0);
    for (std::size_t length = 0; length < out.Data().size(); ++length) {
        ObjectReader cut(std::span<const u8>(out.Data()).first(length), Chart::ArchiveClasses());
        EXPECT_THROW(cut.ReadObject<ChartDecimalScale>(), ArchiveException);
    }
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(ChartDisplayTemplate, TheDataBlockRoundTrips) {
    ChartDisplay display;
    display.SetTypeAndKind(37, 12);
    display.GetStyle().flagsWord |= ChartDisplayBase::kValueLabelStyle | ChartDisplayBase::kLogValues;
    display.GetStyle().extraWord |= ChartDisplayBase::kNotOption4;
    const std::string own = display.WriteTemplateOwn();
    EXPECT_EQ(display.WriteTemplateKeyword(), "data ");
    EXPECT_EQ(own.substr(own.size() - 9), "12 37 2 1");
    ChartDisplay read;
    read.ReadTemplate(own);
    EXPECT_EQ(read.WriteTemplateOwn(), own);
    EXPECT_EQ(read.GetChartType(), 37);
    EXPECT_TRUE(read.IsStyleDirty());
}

} // namespace
} // namespace vq
