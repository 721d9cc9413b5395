#pragma once

#include "ChartTestSupport.h"
#include "ChartWindowFixture.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartFeedback.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vq::test {

// What the data step draws, in order. A marker's own polygons are the marker's and a marker a
// segment draws at its end is the segment's; neither is recorded as the step's.
class ShapeRecorder : public ChartDisplay {
public:
    struct Shape {
        char what; // b bar, s segment, l line, m marker, k simple marker, e line end,
                   // f filled polygon, o outlined polygon
        RECT box{}; // a bar's edges, the ends of a segment or line, a marker's or line end's point twice
        std::vector<POINT> points; // a polygon's corners
        int kind = 0; // placement of a segment, form of a bar, end of a line end
        int group = -1, index = -1;
        u32 markerKind = 0, fillKind = 0, fillColour = 0;
    };

    void DrawDataStep() override {
        // A chart error raised by the step passes on through here.
        Scoped scope(recording, true);
        ChartDisplay::DrawDataStep();
    }
    void DrawBar(int left, int top, int right, int bottom, int group, int index, const ChartStyle& style,
                 int barKind, ChartData* item) override {
        Shape bar = Styled('b', {left, top, right, bottom}, &style);
        bar.kind = barKind;
        bar.group = group;
        bar.index = index;
        Record(std::move(bar));
        ChartDisplay::DrawBar(left, top, right, bottom, group, index, style, barKind, item);
    }
    void DrawSegment(int x1, int y1, int x2, int y2, const ChartStyle& style, int placement,
                     ChartData* item) override {
        Shape segment = Styled('s', {x1, y1, x2, y2}, &style);
        segment.kind = placement;
        Record(std::move(segment));
        Scoped scope(within, 's');
        ChartDisplay::DrawSegment(x1, y1, x2, y2, style, placement, item);
    }
    void DrawLine(int x1, int y1, int x2, int y2, const ChartStyle* style, int colourWord, int lineKind) override {
        Record(Styled('l', {x1, y1, x2, y2}, style));
        ChartDisplay::DrawLine(x1, y1, x2, y2, style, colourWord, lineKind);
    }
    void DrawMarker(int x, int y, const ChartStyle& style, ChartData* item) override {
        if (within != 's') Record(Styled('m', {x, y, x, y}, &style));
        Scoped scope(within, 'm');
        ChartDisplay::DrawMarker(x, y, style, item);
    }
    void DrawSimpleMarker(int x, int y, const ChartStyle& style, ChartData* item) override {
        Record(Styled('k', {x, y, x, y}, &style));
        ChartDisplay::DrawSimpleMarker(x, y, style, item);
    }
    void DrawLineEnd(int x, int y, const ChartStyle& style, int end, double angle) override {
        Shape lineEnd = Styled('e', {x, y, x, y}, &style);
        lineEnd.kind = end;
        Record(std::move(lineEnd));
        ChartDisplay::DrawLineEnd(x, y, style, end, angle);
    }
    void FillPolygon(std::span<const POINT> points, const ChartStyle& style, int fillKind) override {
        Shape polygon = Styled('f', {}, &style);
        polygon.points.assign(points.begin(), points.end());
        Record(std::move(polygon));
        ChartDisplay::FillPolygon(points, style, fillKind);
    }
    void OutlinePolygon(std::span<const POINT> points, const ChartStyle& style, int outlineKind) override {
        Shape polygon = Styled('o', {}, &style);
        polygon.points.assign(points.begin(), points.end());
        Record(std::move(polygon));
        ChartDisplay::OutlinePolygon(points, style, outlineKind);
    }

    std::vector<Shape> Of(char what) const {
        std::vector<Shape> out;
        for (const Shape& s : shapes)
            if (s.what == what) out.push_back(s);
        return out;
    }
    std::vector<RECT> Boxes(char what) const {
        std::vector<RECT> out;
        for (const Shape& s : shapes)
            if (s.what == what) out.push_back(s.box);
        return out;
    }

    std::vector<Shape> shapes;

private:
    // Sets a flag for a scope and puts the old value back, also when a chart error passes.
    template <typename T>
    struct Scoped {
        Scoped(T& target, T now) : value(target), saved(target) { target = now; }
        ~Scoped() { value = saved; }
        T& value;
        T saved;
    };

    static Shape Styled(char what, RECT box, const ChartStyle* style) {
        Shape shape{what, box};
        if (style) {
            shape.markerKind = (style->styleWord >> 8) & 0xFF;
            shape.fillKind = (style->styleWord >> 4) & 0xF;
            shape.fillColour = style->fillColour;
        }
        return shape;
    }
    void Record(Shape shape) {
        if (recording && within != 'm') shapes.push_back(std::move(shape));
    }

    bool recording = false;
    char within = 0; // m while a marker draws, s while a segment does
};

// A point of feedback as the chart received it.
struct Spot {
    int x, y, group, index;
    bool operator==(const Spot&) const = default;
};

class SpottingChart : public Chart {
public:
    void AddPointFeedback(int x, int y, int group, int index) override {
        spots.push_back({x, y, group, index});
        Chart::AddPointFeedback(x, y, group, index);
    }
    std::vector<Spot> spots;
};

// A display with a given plot of 400 x 300 at (10, 10) and no frame, drawn into a memory
// canvas; the cases set its values, limits and flags.
struct ShapeScene {
    explicit ShapeScene(int type, int kind = 0) {
        auto made = std::make_unique<ShapeRecorder>();
        display = made.get();
        display->SetUnit(ChartRect::unitPixels);
        display->SetRectFromRECT({0, 0, 420, 320});
        display->GetStyle().frameWord &= ~0xFFFu;
        display->SetFont(8, 0, "Arial");
        chart.AddComponent(std::move(made));
        display->SetTypeAndKind(type, kind);
        display->SetPlotRect(10, 10, 410, 310, 1);
    }
    void Fixed(double lower, double upper) {
        display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange;
        display->SetLowerValueLimit(lower);
        display->SetUpperValueLimit(upper);
    }
    // Both axes fixed, by default to 0 to 10: 40 pixels per unit across, 30 up.
    void FixedXY(double lower = 0, double upper = 10, double lowerX = 0, double upperX = 10) {
        Fixed(lower, upper);
        display->SetLowerXLimit(lowerX);
        display->SetUpperXLimit(upperX);
    }
    void Set(int group, std::initializer_list<std::optional<double>> values) {
        int i = 0;
        for (const auto& v : values) {
            ChartData& item = chart.GetData(i++, group);
            if (v) item.SetValue(*v);
        }
    }
    void Draw(HDC dc = nullptr) {
        display->shapes.clear();
        chart.spots.clear();
        chart.GetFeedbackList().clear();
        chart.DrawComponentList(dc ? dc : canvas.Dc(), 0);
    }
    std::vector<ShapeRecorder::Shape> Filled() const { return display->Of('f'); }
    int GroupAt(int x, int y) {
        ChartFeedback* hit = chart.HitTestFeedback(x, y);
        return hit ? hit->GetGroup() : -1;
    }
    // The code of the chart error the action raises, -1 for none; by default the display's preparation.
    int Error(const std::function<void()>& action = {}) {
        return ChartErrorOf(action ? action : [this] { display->Prepare(); });
    }
    CScale XRange() { return display->GetXRange(); }
    CScale ValueRange() { return display->GetValueRange(); }

    SpottingChart chart;
    ShapeRecorder* display = nullptr;
    MemoryCanvas canvas{420, 320};
};

// A pop-up window that paints a chart of one display on a white background, for pixel checks
// and screenshots.
class ChartPictureTest : public BasicChartWindowFixture<Chart> {
protected:
    ChartDisplay* Open(int width, int height, int type, int kind) {
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, width, height}, 0, 0, 0x100, 0, 0);
        display = static_cast<ChartDisplay*>(
            chart.CreateComponent(chartDisplayType, ChartRect::unitPixels, {0, 0, width, height}, 0, 0, 0, 0, 0));
        display->SetFont(8, 0, "Arial");
        display->SetTypeAndKind(type, kind);
        OpenFrame({0, 0, width, height});
        return display;
    }
    void Save(const std::string& name) {
        const std::string folder = TestPath("VQ_TEST_OUTPUT_DIR");
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, folder + "/" + name));
    }
    ChartDisplay* display = nullptr;
};

} // namespace vq::test
