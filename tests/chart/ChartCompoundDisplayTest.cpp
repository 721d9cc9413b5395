#include "chart/ChartCompoundDisplay.h"

#include "ChartWindowFixture.h"
#include "GdiFixture.h"
#include "chart/ChartAxisManager.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartIndexScale.h"
#include "chart/ChartLabel.h"
#include "chart/ChartTickMarks.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace vq {
namespace {

constexpr COLORREF kGrid = RGB(0, 128, 128);
constexpr int kColumnType = 3 << 16;
constexpr int kRectKind = 2 << 24;

// Three groups of six values up to 140, the items labelled M1 to M6.
void FillData(Chart& chart) {
    const double values[3][6] = {
        {20, 75, 140, 60, 95, 40}, {35, 10, 120, 80, 50, 65}, {55, 30, 90, 100, 25, 70}};
    for (int g = 0; g < 3; ++g)
        for (int i = 0; i < 6; ++i) {
            chart.SetItemValue(i, g, values[g][i], false);
            chart.SetItemLabel(i, g, "M" + std::to_string(i + 1));
        }
}

class ChartCompoundWindowTest : public test::ChartWindowFixture {
protected:
    void SetUp() override {
        ChartWindowFixture::SetUp();
        FillData(chart);
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 420, 300}, 0, 0, 0x100, 0,
                              0);
        compound = static_cast<ChartCompoundDisplay*>(
            chart.CreateComponent(chartCompoundDisplayType, ChartRect::unitPixels, {0, 0, 420, 300}, 0, 0, 0,
                                  kColumnType, kRectKind));
        OpenFrame({0, 0, 420, 300});
    }
    void Save(const std::string& name) {
        std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
        ASSERT_TRUE(
            OffscreenHarness::SaveScreenshot(frame, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    ChartCompoundDisplay* compound = nullptr;
};

TEST_F(ChartCompoundWindowTest, ReadyMadeColumnLayoutDrawsItsAxesAroundThePlot) {
    ASSERT_TRUE(compound);
    ChartAxisManager* left = compound->GetLeftAxis();
    ChartAxisManager* bottom = compound->GetBottomAxis();
    ASSERT_TRUE(left && bottom);
    auto* display = static_cast<ChartDisplay*>(left->GetDisplay());
    ASSERT_TRUE(display);
    EXPECT_EQ(display->GetChartType(), 3);
    EXPECT_EQ(display->GetDisplayKind(), 2);
    ASSERT_TRUE(left->GetScale() && left->GetTickMarks() && left->GetGridLines());
    ASSERT_TRUE(bottom->GetScale() && bottom->GetTickMarks() && bottom->GetGridLines());
    EXPECT_EQ(bottom->GetScale()->GetTypeCode(), chartIndexScaleType);
    EXPECT_FALSE(compound->GetTopAxis()->GetScale());
    EXPECT_FALSE(compound->GetRightAxis()->GetScale());
    Repaint();
    Save("chart-compound-columns.png");

    EXPECT_EQ(left->GetScale()->GetMinimum(), display->GetValueRange().GetMinimum());
    EXPECT_EQ(left->GetScale()->GetMaximum(), display->GetValueRange().GetMaximum());
    EXPECT_EQ(display->GetValueRange().GetMaximum(), 150);
    std::vector<std::string> texts;
    for (auto& label : bottom->GetScale()->GetLabels())
        texts.push_back(label->GetAnnotationText(1));
    EXPECT_EQ(texts, (std::vector<std::string>{"M1", "M2", "M3", "M4", "M5", "M6"}));

    // The compound's rectangle is the window less the margins of 10.
    const RECT plot = display->GetPlotRect();
    EXPECT_EQ(plot.left, 10 + left->GetThicknessX());
    EXPECT_EQ(plot.bottom, 290 - bottom->GetThicknessY());
    EXPECT_EQ(plot.top, 10);
    EXPECT_EQ(plot.right, 410);
    EXPECT_EQ(left->GetStartPoint().x, plot.left);
    EXPECT_EQ(left->GetStartPoint().y, plot.bottom);
    EXPECT_EQ(left->GetEndPoint().y, plot.top);
    EXPECT_EQ(bottom->GetEndPoint().x, plot.right);

    // The plot's frame on the axis lines; ticks outside it and grid lines across it at the anchors.
    EXPECT_EQ(At(plot.left, (plot.top + plot.bottom) / 2), test::kBlack);
    EXPECT_EQ(At((plot.left + plot.right) / 2, plot.bottom), test::kBlack);
    const std::vector<POINT>& rows = left->GetScale()->GetAnchorList();
    ASSERT_EQ(rows.size(), 16u) << "0 to 150 by 10";
    for (const POINT& a : rows) {
        SCOPED_TRACE(a.y);
        EXPECT_EQ(a.x, plot.left);
        EXPECT_EQ(At(a.x - 3, a.y), test::kBlack);
        if (a.y != plot.top && a.y != plot.bottom) {
            EXPECT_EQ(At(plot.right - 3, a.y), kGrid);
        }
    }
    EXPECT_EQ(rows.front().y, plot.bottom);
    EXPECT_EQ(rows.back().y, plot.top);
    const std::vector<POINT>& columns = bottom->GetScale()->GetAnchorList();
    ASSERT_EQ(columns.size(), 6u);
    const int cell = (plot.right - plot.left) / 6;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const POINT a = columns[i];
        SCOPED_TRACE(a.x);
        EXPECT_EQ(a.y, plot.bottom);
        EXPECT_NEAR(a.x, plot.left + cell / 2 + int(i) * cell, 1) << "in the middle of its cell";
        EXPECT_EQ(At(a.x, plot.bottom + 3), test::kBlack);
        EXPECT_EQ(At(a.x, plot.top + 3), kGrid);
    }
}

using Side = ChartCompoundDisplay::Side;
constexpr Side kSides[] = {ChartCompoundDisplay::sideBottom, ChartCompoundDisplay::sideTop,
                           ChartCompoundDisplay::sideLeft, ChartCompoundDisplay::sideRight};
constexpr double kUntouched = -7;

// A compound display over a 400 x 300 canvas (its rectangle 5 to 395 by 5 to 295) with a column
// display in the left manager and a decimal scale in every manager, each scale's range set to
// -7 to -7 so that a range the layout never handed over shows.
struct Compound {
    Compound() {
        FillData(chart);
        auto owned = std::make_unique<ChartCompoundDisplay>();
        c = owned.get();
        chart.AddComponent(std::move(owned));
        auto columns = std::make_unique<ChartDisplay>();
        columns->SetTypeAndKind(3, 2);
        display = columns.get();
        c->SetLeftDisplay(std::move(columns));
        for (Side side : kSides) {
            auto scale = std::make_unique<ChartDecimalScale>();
            scale->SetMinimum(kUntouched);
            scale->SetMaximum(kUntouched);
            c->GetAxis(side)->SetScale(std::move(scale));
        }
    }
    void Draw() { chart.DrawComponentList(canvas.Dc(), 0); }
    std::pair<double, double> RangeOf(Side side) const {
        const ChartDecimalScale* scale = c->GetAxis(side)->GetScale();
        return {scale->GetMinimum(), scale->GetMaximum()};
    }
    Chart chart;
    ChartCompoundDisplay* c = nullptr;
    ChartDisplay* display = nullptr;
    test::MemoryCanvas canvas{400, 300};
};

TEST(ChartCompoundLayout, DisplayRangesReachTheAxesTheSidesAndFactorsSelect) {
    // What each scale (bottom, top, left, right) shows: the display's value or X range times a
    // factor, or nothing handed over (factor 0).
    enum Range { none, value, x };
    struct Axis {
        Range range;
        double factor;
    };
    struct Case {
        const char* name;
        std::function<void(Compound&)> setUp;
        Axis bottom, top, left, right;
    };
    auto moveDisplay = [](Compound& d, Side to) {
        auto shown = d.c->GetLeftAxis()->DetachDisplay(0);
        d.c->GetAxis(to)->SetDisplay(
            std::unique_ptr<ChartDisplayBase>(static_cast<ChartDisplayBase*>(shown.release())));
    };
    const Case cases[] = {
        {"left display, corner 1", [](Compound&) {}, {x, 1}, {none, 0}, {value, 1}, {none, 0}},
        {"swap flag",
         [](Compound& d) { d.c->GetStyle().extraWord |= ChartCompoundDisplay::kSwapAxes; },
         {value, 1},
         {none, 0},
         {x, 1},
         {none, 0}},
        {"secondary value axis, factor 0 repeats",
         [](Compound& d) { d.c->ShowSecondaryValue(1); },
         {x, 1},
         {none, 0},
         {value, 1},
         {value, 1}},
        {"secondary value axis, factor 2 doubles",
         [](Compound& d) {
             d.c->ShowSecondaryValue(1);
             d.c->SetSecondaryValueFactor(2.0);
         },
         {x, 1},
         {none, 0},
         {value, 1},
         {value, 2}},
        {"secondary value axis on the disallowed side",
         [](Compound& d) {
             d.c->ShowSecondaryValue(1);
             d.c->SetSecondaryValueOnRight(0);
         },
         {x, 1},
         {none, 0},
         {value, 1},
         {none, 0}},
        {"secondary X axis of the companion",
         [](Compound& d) {
             d.c->ShowSecondaryX(1);
             d.c->SetSecondaryXFactor(0.5);
         },
         {x, 1},
         {x, 0.5},
         {value, 1},
         {none, 0}},
        {"corner 0", [](Compound& d) { d.c->SetCornerFlag(0); }, {none, 0}, {x, 1}, {value, 1}, {none, 0}},
        {"right display, corner 1",
         [&](Compound& d) { moveDisplay(d, ChartCompoundDisplay::sideRight); },
         {none, 0},
         {x, 1},
         {none, 0},
         {value, 1}},
        {"bottom display, corner 1",
         [&](Compound& d) { moveDisplay(d, ChartCompoundDisplay::sideBottom); },
         {x, 1},
         {none, 0},
         {value, 1},
         {none, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Compound d;
        c.setUp(d);
        d.Draw();
        ChartDisplayBase* display = d.display;
        const std::pair<double, double> ranges[] = {
            {kUntouched, kUntouched},
            {display->GetValueRange().GetMinimum(), display->GetValueRange().GetMaximum()},
            {display->GetXRange().GetMinimum(), display->GetXRange().GetMaximum()}};
        ASSERT_NE(ranges[value], ranges[x]);
        const Axis expected[] = {c.bottom, c.top, c.left, c.right};
        for (Side side : kSides) {
            SCOPED_TRACE(side);
            const Axis& e = expected[side];
            std::pair<double, double> want = ranges[e.range];
            if (e.range != none) want = {want.first * e.factor, want.second * e.factor};
            EXPECT_EQ(d.RangeOf(side), want);
        }
    }
}

TEST(ChartCompoundLayout, AGivenRectangleIsKeptAndTheTitlesGoBeyondTheScales) {
    auto titled = [](Compound& d) {
        for (Side side : {ChartCompoundDisplay::sideLeft, ChartCompoundDisplay::sideBottom}) {
            auto title = std::make_unique<ChartLabel>();
            title->SetCurrentText("Volume");
            title->GetStyle().frameWord = 0x1;
            d.c->GetAxis(side)->SetTitle(std::move(title));
            EXPECT_EQ(d.c->GetAxis(side)->GetTitle()->GetStyle().frameWord & 0xFFF, 0u)
                << "no frame of its own";
        }
    };
    Compound given;
    titled(given);
    given.c->SetLayoutRect(80, 30, 360, 240, 1);
    given.Draw();
    const RECT plot = given.display->GetPlotRect();
    EXPECT_EQ(plot.left, 80);
    EXPECT_EQ(plot.top, 30);
    EXPECT_EQ(plot.right, 360);
    EXPECT_EQ(plot.bottom, 240);
    ChartLabel* left = given.c->GetLeftAxis()->GetTitle();
    ChartLabel* bottom = given.c->GetBottomAxis()->GetTitle();
    const RECT leftLabels = given.c->GetLeftAxis()->GetScale()->GetBounds();
    const RECT bottomLabels = given.c->GetBottomAxis()->GetScale()->GetBounds();
    EXPECT_GT(leftLabels.right - leftLabels.left, 0);
    EXPECT_EQ(left->GetX(), 80 - (leftLabels.right - leftLabels.left));
    EXPECT_EQ(left->GetY(), 135);
    EXPECT_EQ(left->GetAngle(), 90);
    EXPECT_EQ(left->GetAnchorCode(), ChartLabel::anchorBottomMiddle);
    EXPECT_EQ(bottom->GetX(), 220);
    EXPECT_EQ(bottom->GetY(), 240 + (bottomLabels.bottom - bottomLabels.top));
    EXPECT_EQ(bottom->GetAnchorCode(), ChartLabel::anchorTopMiddle);
    EXPECT_LE(left->GetOutline()[0].x, leftLabels.left) << "the title ends where the labels begin";

    // Measured: the titles sit on the rectangle's edges, inside it, and the plot gives way to them.
    Compound fitted;
    titled(fitted);
    fitted.Draw();
    ChartLabel* inner = fitted.c->GetLeftAxis()->GetTitle();
    const RECT fittedPlot = fitted.display->GetPlotRect();
    EXPECT_EQ(inner->GetX(), 5);
    EXPECT_EQ(inner->GetAnchorCode(), ChartLabel::anchorTopMiddle);
    EXPECT_EQ(inner->GetY(), fittedPlot.top + (fittedPlot.bottom - fittedPlot.top) / 2)
        << "centred on the plot";
    EXPECT_EQ(fittedPlot.left, 5 + fitted.c->GetLeftAxis()->GetThicknessX());
    EXPECT_GT(fitted.c->GetLeftAxis()->GetThicknessX(),
              inner->GetOutlineSize().cx + fitted.c->GetLeftAxis()->GetScale()->GetBounds().right -
                  fitted.c->GetLeftAxis()->GetScale()->GetBounds().left - 1);
    EXPECT_EQ(fitted.c->GetBottomAxis()->GetTitle()->GetY(), 295);
}

TEST(ChartCompoundLayout, AxesThickerThanTheRectangleLeaveALineInItsMiddle) {
    Compound d;
    for (Side side : kSides) {
        ChartAxisManager* axis = d.c->GetAxis(side);
        axis->DetachScale(1);
        auto ticks = std::make_unique<ChartTickMarks>();
        ticks->SetMajorLength(
            side == ChartCompoundDisplay::sideLeft || side == ChartCompoundDisplay::sideRight ? 300 : 200);
        axis->SetTickMarks(std::move(ticks));
    }
    d.Draw();
    const RECT plot = d.display->GetPlotRect();
    // 5 + 300 and 395 - 300 meet at 200; 5 + 200 and 295 - 200 at 150.
    EXPECT_EQ(plot.left, 200);
    EXPECT_EQ(plot.right, 200);
    EXPECT_EQ(plot.top, 150);
    EXPECT_EQ(plot.bottom, 150);
    EXPECT_EQ(d.c->GetLeftAxis()->GetStartPoint().x, 200);
}

// A chart of the ready-made column layout with a title, a secondary value axis and changed settings.
struct ArchivedChart {
    ArchivedChart() {
        FillData(chart);
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 420, 300}, 0, 0, 0x100, 0,
                              0);
        c = static_cast<ChartCompoundDisplay*>(chart.CreateComponent(chartCompoundDisplayType,
                                                                     ChartRect::unitPixels, {0, 0, 420, 300},
                                                                     0, 0, 0, kColumnType, kRectKind));
        auto title = std::make_unique<ChartLabel>();
        title->SetCurrentText("Frames");
        c->GetLeftAxis()->SetTitle(std::move(title));
        c->SetRightScale(std::make_unique<ChartDecimalScale>());
        c->SetRightTickMarks(std::make_unique<ChartTickMarks>());
        c->GetRightAxis()->SetScaleSide(1);
        c->ShowSecondaryValue(1);
        c->SetSecondaryValueFactor(2.5);
        c->SetSecondaryXFactor(-1);
        c->SetSecondaryXOnTop(0);
        c->SetCornerFlag(1);
    }
    Chart chart;
    ChartCompoundDisplay* c = nullptr;
};

std::vector<u32> Drawn(Chart& chart) {
    test::MemoryCanvas canvas(420, 300);
    chart.DrawComponentList(canvas.Dc(), 0);
    return canvas.Pixels();
}

TEST(ChartCompoundArchive, TheCompoundWithItsManagersAndChildrenReloadsAndDrawsTheSame) {
    ArchivedChart stored;
    ObjectWriter out;
    stored.chart.Store(out);
    Chart loaded;
    ObjectReader in(out.Data(), Chart::ArchiveClasses());
    loaded.Load(in, 1);
    EXPECT_TRUE(in.AtEnd());
    auto* c = static_cast<ChartCompoundDisplay*>(loaded.FindComponent(0, chartCompoundDisplayType));
    ASSERT_TRUE(c);
    ASSERT_TRUE(c->IsKindOf(ChartCompoundDisplay::Class()));
    EXPECT_EQ(c->GetSecondaryValueFactor(), 2.5);
    EXPECT_EQ(c->GetSecondaryXFactor(), -1);
    EXPECT_EQ(c->GetShowSecondaryValue(), 1);
    EXPECT_EQ(c->GetSecondaryXOnTop(), 0);
    EXPECT_EQ(c->GetTwoPass(), 1);
    for (Side side : kSides) {
        SCOPED_TRACE(side);
        ChartAxisManager* axis = c->GetAxis(side);
        ASSERT_TRUE(axis);
        for (int role = 0; role < ChartAxisManager::roleCount; ++role) {
            const auto r = static_cast<ChartAxisManager::Role>(role);
            EXPECT_EQ(axis->HasRole(r), stored.c->GetAxis(side)->HasRole(r)) << role;
        }
    }
    EXPECT_EQ(c->GetLeftAxis()->GetTitle()->GetCurrentText(), "Frames");
    EXPECT_EQ(c->GetLeftAxis()->GetDisplay()->GetChart(), &loaded) << "children attached to the chart";
    const std::vector<u32> before = Drawn(stored.chart);
    EXPECT_EQ(Drawn(loaded), before);
    EXPECT_EQ(Drawn(stored.chart), before) << "a second draw lays out the same";
}

std::size_t Find(const std::vector<u8>& bytes, std::string_view text) {
    auto found = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    EXPECT_NE(found, bytes.end());
    return std::size_t(found - bytes.begin());
}

TEST(ChartCompoundArchive, ABrokenStreamLeavesTheCompoundWithItsOwnManagers) {
    ArchivedChart d;
    ObjectWriter out;
    d.c->Store(out);
    const std::vector<u8> good = out.Data();
    ChartAxisManager* const managers[] = {d.c->GetBottomAxis(), d.c->GetTopAxis(), d.c->GetLeftAxis(),
                                          d.c->GetRightAxis()};
    auto expectKept = [&] {
        for (Side side : kSides)
            EXPECT_EQ(d.c->GetAxis(side), managers[side]);
        EXPECT_TRUE(d.c->GetLeftAxis()->GetDisplay());
        EXPECT_EQ(d.c->GetSecondaryValueFactor(), 2.5);
    };
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        ObjectReader cut(std::span<const u8>(good).first(length), Chart::ArchiveClasses());
        EXPECT_THROW(d.c->Load(cut, 1), ArchiveException);
        expectKept();
    }
    for (const char* name : {"ChartAxisManager", "ChartDisplay", "ChartIndexScale", "ChartLabel"}) {
        SCOPED_TRACE(name);
        std::vector<u8> bytes = good;
        bytes[Find(bytes, name)] = 'X';
        ObjectReader in(bytes, Chart::ArchiveClasses());
        EXPECT_THROW(d.c->Load(in, 1), ArchiveException);
        expectKept();
    }
    ObjectReader whole(good, Chart::ArchiveClasses());
    d.c->Load(whole, 1);
    EXPECT_NE(d.c->GetLeftAxis(), managers[ChartCompoundDisplay::sideLeft]) << "a whole stream replaces them";
    EXPECT_EQ(d.c->GetLeftAxis()->GetDisplay()->GetChart(), &d.chart);
    EXPECT_FALSE(Drawn(d.chart).empty());
}

TEST(ChartCompoundArchive, FewerManagersThanSidesSkipWhatIsMissing) {
    // The child list of a stored compound of one manager: the others answer none.
    ChartCompoundComponent base;
    auto lone = std::make_unique<ChartAxisManager>();
    auto scale = std::make_unique<ChartDecimalScale>();
    lone->SetScale(std::move(scale));
    base.AddComponent(std::move(lone));
    ObjectWriter out;
    base.Store(out);
    for (int value : {1, 1, 1, 0, 0})
        out.WriteInt32(value);
    out.WriteDouble(0);
    out.WriteDouble(0);
    ArchivedChart d;
    ObjectReader in(out.Data(), Chart::ArchiveClasses());
    d.c->Load(in, 1);
    EXPECT_TRUE(d.c->GetBottomAxis());
    EXPECT_FALSE(d.c->GetTopAxis());
    EXPECT_FALSE(d.c->GetLeftAxis());
    d.c->SetLeftDisplay(std::make_unique<ChartDisplay>());
    std::vector<POINT> anchors;
    d.c->AssignRightPositionList(anchors);
    EXPECT_FALSE(Drawn(d.chart).empty());
}

} // namespace
} // namespace vq
