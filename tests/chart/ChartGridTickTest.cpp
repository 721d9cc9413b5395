#include "GdiFixture.h"
#include "chart/Chart.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartTickMarks.h"
#include "platform/gui/Gdi.h"

#include <cstring>

namespace vq {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// One component drawn on its own on a white canvas inside a chart's draw pass.
template <typename Component> struct Lone {
    Lone() {
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 200, 120}, 0, 0, 0x100, 0,
                              0);
        auto owned = std::make_unique<Component>();
        c = owned.get();
        c->GetStyle().frameWord = 0;
        chart.AddComponent(std::move(owned));
    }
    void Draw() { chart.DrawComponentList(canvas.Dc(), 0); }
    Chart chart;
    Component* c = nullptr;
    test::MemoryCanvas canvas{200, 120};
};

TEST(ChartGridLines, MajorLinesThroughTheTicksAndMinorOnesHalfwayBetween) {
    const std::vector<POINT> ticks = {{50, 20}, {50, 60}, {50, 100}};
    Lone<ChartGridLines> grid;
    grid.c->SetTickPoints(&ticks);
    grid.c->SetPlotRect(10, 10, 190, 110);
    grid.c->SetMinorCount(1);
    grid.c->SetMajorColor(kRed);
    grid.c->SetMinorColor(kBlue);
    grid.Draw();
    int drawn = 0;
    for (int y = 0; y < 120; ++y)
        drawn += grid.canvas.At(100, y) != kWhite;
    EXPECT_EQ(drawn, 0) << "display kind 0 draws nothing";

    grid.c->GetStyle().styleWord = (1u << 24) | (3u << 16);
    grid.Draw();
    EXPECT_EQ(grid.c->GetStyle().styleWord >> 24, 2u) << "kind 1 takes the chart type's kind and keeps it";
    for (int y : {20, 60, 100})
        EXPECT_EQ(grid.canvas.At(100, y), kRed) << y;
    for (int y : {40, 80})
        EXPECT_EQ(grid.canvas.At(100, y), kBlue) << y;
    EXPECT_EQ(grid.canvas.At(10, 20), kRed) << "from the plot's left edge";
    EXPECT_EQ(grid.canvas.At(9, 20), kWhite);
    EXPECT_EQ(grid.canvas.At(100, 30), kWhite);
}

TEST(ChartGridLines, UserDashesRunAlongWideLines) {
    const std::vector<POINT> ticks = {{0, 50}};
    Lone<ChartGridLines> grid;
    grid.c->GetStyle().styleWord = 2u << 24;
    grid.c->SetTickPoints(&ticks);
    grid.c->SetPlotRect(10, 10, 190, 110);
    grid.c->SetMajorStyle(ChartGridLines::kUserStyle);
    grid.c->SetMajorWidth(2);
    grid.c->SetMajorColor(kRed);
    std::vector<DWORD> runs = {6, 2, 99};
    grid.c->SetMajorDashes(runs);
    grid.c->SetMajorDashCount(2);
    runs.clear();
    grid.Draw();
    std::string row;
    for (int x = 10; x < 42; ++x)
        row += grid.canvas.At(x, 50) == kRed ? '#' : '.';
    EXPECT_EQ(row, "######..######..######..######..");
    int thick = 0;
    for (int y = 45; y < 55; ++y)
        thick += grid.canvas.At(12, y) == kRed;
    EXPECT_EQ(thick, 2) << "two pixels wide";
}

TEST(ChartTickMarks, TicksTurnToTheirSideAndMinorOnesAreShorter) {
    const std::vector<POINT> axis = {{20, 50}, {120, 50}};
    for (int side : {0, 1}) {
        SCOPED_TRACE(side);
        Lone<ChartTickMarks> ticks;
        ticks.c->SetTickPoints(&axis);
        ticks.c->SetSide(side);
        ticks.c->SetMinorCount(1);
        ticks.Draw();
        const int dir = side == 0 ? 1 : -1;
        EXPECT_EQ(ticks.canvas.At(20, 50 + 4 * dir), kBlack) << "major ticks are 5 long";
        EXPECT_EQ(ticks.canvas.At(20, 50 + 5 * dir), kWhite);
        EXPECT_EQ(ticks.canvas.At(20, 50 - 2 * dir), kWhite) << "one side only";
        EXPECT_EQ(ticks.canvas.At(70, 50 + 2 * dir), kBlack) << "trunc(5 x 0.75) = 3";
        EXPECT_EQ(ticks.canvas.At(70, 50 + 3 * dir), kWhite);
    }
    ChartTickMarks ticks;
    POINT a{0, 0}, b{100, 0};
    ticks.OffsetByTickLength(a, b);
    EXPECT_EQ(a.y, 5);
    EXPECT_EQ(b.x, 100);
}

TEST(ChartGridTickArchive, SettingsReloadAndOldGridsHaveNoMinorCount) {
    ChartGridLines grid;
    grid.SetMajorStyle(2);
    grid.SetMinorWidth(3);
    grid.SetMajorColor(kRed);
    grid.SetVertical(1);
    grid.SetMinorCount(4);
    ObjectWriter out;
    out.WriteObject(&grid);
    std::vector<u8> bytes = out.Data();
    {
        ObjectReader in(bytes, Chart::ArchiveClasses());
        auto loaded = in.ReadObject<ChartGridLines>();
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(loaded->GetMinorCount(), 4);
        EXPECT_EQ(loaded->GetMajorColor(), kRed);
        EXPECT_EQ(loaded->GetVertical(), 1);
    }
    // The same grid as a version-1 archive: version 1.0 in the stored range, no minor count.
    const double two = 2.0, one = 1.0;
    u8 pattern[8];
    std::memcpy(pattern, &two, 8);
    auto at = std::search(bytes.begin(), bytes.end(), pattern, pattern + 8);
    ASSERT_NE(at, bytes.end());
    std::memcpy(&*at, &one, 8);
    bytes.resize(bytes.size() - 4);
    ObjectReader old(bytes, Chart::ArchiveClasses());
    auto loaded = old.ReadObject<ChartGridLines>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(old.AtEnd());
    EXPECT_EQ(loaded->GetMinorCount(), 0);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        ObjectReader cut(std::span<const u8>(bytes).first(length), Chart::ArchiveClasses());
        EXPECT_THROW(cut.ReadObject<ChartGridLines>(), ArchiveException);
    }

    ChartTickMarks ticks;
    ticks.SetSide(1);
    ticks.SetMinorLengthFactor(0.5);
    ticks.SetMinorCount(2);
    ObjectWriter tickOut;
    tickOut.WriteObject(&ticks);
    ObjectReader tickIn(tickOut.Data(), Chart::ArchiveClasses());
    auto reloaded = tickIn.ReadObject<ChartTickMarks>();
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(reloaded->GetSide(), 1);
    EXPECT_EQ(reloaded->GetMinorLengthFactor(), 0.5);
    EXPECT_EQ(reloaded->GetMinorCount(), 2);
}

} // namespace
} // namespace vq
