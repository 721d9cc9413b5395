#include "ChartTestSupport.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiJournal.h"
#include "tests/support/TestPaths.h"

#include <QImage>
#include <filesystem>

namespace vq {
namespace {

using test::ProbeComponent;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A data style: line kind, fill kind 2 (solid) unless given, marker kind.
ChartStyle DataStyle(u32 lineKind, u32 markerKind, u32 fillKind = 2) {
    ChartStyle style(ChartStyle::levelData);
    style.styleWord = lineKind | (fillKind << 4) | (markerKind << 8);
    style.fillColour = kBlue;
    return style;
}

// Draws one action as the content of an unfilled component, recording the calls.
struct DataCanvas {
    explicit DataCanvas(std::function<void(ProbeComponent&)> action) {
        auto probe = std::make_unique<ProbeComponent>();
        probe->GetStyle().frameWord = 0;
        probe->onForeground = std::move(action);
        chart.AddComponent(std::move(probe));
        chart.DrawComponentList(canvas.Dc(), 0);
    }
    std::vector<RECT> Boxes(const char* call) const {
        std::vector<RECT> boxes;
        for (const auto& entry : journal.Calls(call))
            boxes.push_back(entry.device);
        return boxes;
    }

    Chart chart;
    test::MemoryCanvas canvas{200, 150};
    GdiJournal journal;
};

TEST(ChartDataDrawing, RaisedBarFacesInOrderWhicheverWayTheCornersCome) {
    const ChartStyle style = DataStyle(2, 0);
    const std::vector<RECT> faces = {{10, 40, 40, 50}, {30, 40, 40, 100}, {10, 50, 30, 100}};
    for (bool swapped : {false, true}) {
        SCOPED_TRACE(swapped);
        DataCanvas draw([&](ProbeComponent& self) {
            if (swapped)
                self.DrawBar(30, 100, 10, 50, 1, 2, style, 0x600, nullptr);
            else
                self.DrawBar(10, 50, 30, 100, 1, 2, style, 0x600, nullptr);
        });
        EXPECT_EQ(draw.Boxes("Polyline"), faces) << "each face outlined in black, top, side, front";
        ASSERT_EQ(draw.chart.GetFeedbackList().size(), 3u);
        EXPECT_TRUE(draw.chart.HitTestFeedback(35, 60));
        EXPECT_EQ(draw.chart.HitTestFeedback(35, 60)->GetGroup(), 1);
        EXPECT_EQ(draw.canvas.At(20, 75), kBlue);
        EXPECT_EQ(draw.canvas.At(35, 60), kBlue);
    }
}

TEST(ChartDataDrawing, ShapeBarsAreFittedToTheirRectangles) {
    ChartStyle polygon = DataStyle(2, 10);
    polygon.name = "SLAB";
    DataCanvas slab([&](ProbeComponent& self) { self.DrawBar(20, 30, 80, 60, 0, 0, polygon, 0, nullptr); });
    EXPECT_EQ(slab.Boxes("Polyline"), (std::vector<RECT>{{20, 30, 80, 60}}));

    DataCanvas circle(
        [&](ProbeComponent& self) { self.DrawBar(20, 30, 80, 60, 0, 0, DataStyle(2, 17), 0, nullptr); });
    const auto boxes = circle.Boxes("Polyline");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GE(boxes[0].left, 19);
    EXPECT_LE(boxes[0].right, 81);
    EXPECT_EQ(circle.canvas.At(50, 45), kBlue);
    EXPECT_NE(circle.canvas.At(21, 31), kBlue) << "the corner lies outside the circle";
}

TEST(ChartDataDrawing, SegmentsDrawLinesMarkersAndLineEndsByMarkerKind) {
    struct Case {
        u32 marker;
        const char* name;
        std::size_t lines, polygons;
    };
    // Polygons: the stock marker at the end point, then each line end.
    const Case cases[] = {
        {0, "ARROW|ARROW", 0, 0}, {2, "", 0, 1},      {1, "ARROW|ARROW", 1, 3},
        {1, "ARROW|", 1, 2},      {1, "ARROW", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string(" kind ") + std::to_string(c.marker));
        ChartStyle style = DataStyle(2, c.marker, 1);
        style.name = c.name;
        DataCanvas draw([&](ProbeComponent& self) { self.DrawSegment(20, 70, 180, 70, style, 1, nullptr); });
        EXPECT_EQ(draw.journal.Calls("LineTo").size(), c.lines);
        EXPECT_EQ(draw.journal.Calls("PolyPolygon").size(), c.polygons);
    }
}

TEST(ChartDataDrawing, SimpleMarkerHalfSizesTruncateAndSmallOnesGrowToTwo) {
    for (double third : {1.5, 0.0}) {
        ChartStyle style = DataStyle(0, 13);
        style.fillColour = kRed;
        style.flagsWord |= ChartStyle::kExplicitSizes;
        style.thirdSize = third;
        DataCanvas draw([&](ProbeComponent& self) { self.DrawSimpleMarker(50, 50, style, nullptr); });
        EXPECT_EQ(draw.canvas.At(48, 48), kRed) << third;
        EXPECT_EQ(draw.canvas.At(51, 51), kRed) << third;
        EXPECT_NE(draw.canvas.At(53, 50), kRed) << third;
        EXPECT_NE(draw.canvas.At(47, 50), kRed) << third;
    }
    ChartStyle defaults = DataStyle(0, 13);
    defaults.fillColour = kRed;
    DataCanvas five([&](ProbeComponent& self) { self.DrawSimpleMarker(50, 50, defaults, nullptr); });
    EXPECT_EQ(five.canvas.At(45, 45), kRed);
    EXPECT_NE(five.canvas.At(44, 50), kRed);
}

TEST(ChartDataDrawing, BarsMarkersAndLinesTogether) {
    DataCanvas draw([](ProbeComponent& self) {
        ChartStyle bar = DataStyle(2, 6);
        bar.fillColour = RGB(0, 160, 0);
        self.GetStyle().flagsWord |= 1u << 28;
        for (int i = 0; i < 4; ++i)
            self.DrawBar(20 + 40 * i, 140, 45 + 40 * i, 120 - 20 * i, 0, i, bar, 0, nullptr);
        self.SetColourIndex(2);
        ChartStyle line = DataStyle(2, 12);
        line.fillColour = kRed;
        for (int i = 0; i < 3; ++i)
            self.DrawSegment(32 + 40 * i, 100 - 20 * i, 72 + 40 * i, 80 - 20 * i, line, 1, nullptr);
    });
    EXPECT_EQ(draw.canvas.At(112, 63), kRed);
    QImage image(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = draw.canvas.At(x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    std::filesystem::create_directories(vq::test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(image.save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-bars-markers.png")));
}

} // namespace
} // namespace vq

namespace vq {
namespace {

void PaintWhite(ProbeComponent& self) {
    const RECT all{0, 0, 200, 150};
    FillRect(self.GetDrawingDC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

TEST(ChartDataDrawing, OutlinesByKindAndRegionFrames) {
    struct Case {
        int kind;
        COLORREF edge;
        int width;
    };
    // Kind 1 the colour word's pen (series colour 2 is blue), 2 black, 4 the line colour at the pen
    // width, anything else a one-pixel black frame inside the polygon.
    const Case cases[] = {{1, kBlue, 1}, {2, RGB(0, 0, 0), 1}, {4, kRed, 3}, {7, RGB(0, 0, 0), 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ChartStyle style = DataStyle(0, 0, 0);
        style.lineColour = kRed;
        style.penWidth = c.width;
        DataCanvas draw([&](ProbeComponent& self) {
            PaintWhite(self);
            self.SetColourIndex(2);
            const POINT box[] = {{20, 20}, {80, 20}, {80, 60}, {20, 60}, {20, 20}};
            self.OutlinePolygon(box, style, c.kind);
        });
        EXPECT_EQ(draw.canvas.At(50, 20), c.edge);
        EXPECT_EQ(draw.canvas.At(20, 40), c.edge);
        EXPECT_NE(draw.canvas.At(50, 40), c.edge);
        if (c.width == 3) {
            EXPECT_EQ(draw.canvas.At(50, 21), c.edge);
        }
    }

    ChartStyle framed = DataStyle(4, 0, 0);
    framed.lineColour = kRed;
    framed.penWidth = 3;
    DataCanvas region([&](ProbeComponent& self) {
        PaintWhite(self);
        GdiHandle<RegionObject> rgn(CreateRectRgn(30, 30, 90, 70));
        self.FrameRegion(rgn.get(), framed, 0, 0);
        self.FillRegion(rgn.get(), DataStyle(0, 0, 2), 0, 0);
    });
    EXPECT_EQ(region.canvas.At(30, 50), kBlue) << "filled over the frame, inside the region";
    EXPECT_EQ(region.canvas.At(29, 50), RGB(255, 255, 255)) << "nothing outside the region";
    EXPECT_EQ(region.canvas.At(60, 50), kBlue);
}

} // namespace
} // namespace vq
