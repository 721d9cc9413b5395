#pragma once

#include "GdiFixture.h"
#include "ChartWindowFixture.h"
#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartFeedback.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq::test {

// What the data step fills, outlines and marks, with the feedback each shape registered.
class ShapeRecorder : public ChartDisplay {
public:
    struct Shape {
        char what; // f filled polygon, o outlined polygon, m marker, l line
        std::vector<POINT> points;
        u32 fillColour = 0;
    };

    void DrawDataStep() override {
        // A chart error raised by the step passes on through here.
        struct Recording {
            bool& on;
            explicit Recording(bool& flag) : on(flag) { on = true; }
            ~Recording() { on = false; }
        } scope(recording);
        ChartDisplay::DrawDataStep();
    }
    void FillPolygon(std::span<const POINT> points, const ChartStyle& style, int fillKind) override {
        if (recording) shapes.push_back({'f', {points.begin(), points.end()}, style.fillColour});
        ChartDisplay::FillPolygon(points, style, fillKind);
    }
    void OutlinePolygon(std::span<const POINT> points, const ChartStyle& style, int outlineKind) override {
        if (recording) shapes.push_back({'o', {points.begin(), points.end()}, style.fillColour});
        ChartDisplay::OutlinePolygon(points, style, outlineKind);
    }
    void DrawMarker(int x, int y, const ChartStyle& style, ChartData* item) override {
        // A marker's own polygons are not the renderer's.
        const bool was = recording;
        if (was) shapes.push_back({'m', {{x, y}}, style.fillColour});
        recording = false;
        ChartDisplay::DrawMarker(x, y, style, item);
        recording = was;
    }
    void DrawLine(int x1, int y1, int x2, int y2, const ChartStyle* style, int colourWord, int lineKind) override {
        if (recording) shapes.push_back({'l', {{x1, y1}, {x2, y2}}, 0});
        ChartDisplay::DrawLine(x1, y1, x2, y2, style, colourWord, lineKind);
    }
    std::vector<Shape> Of(char what) const {
        std::vector<Shape> out;
        for (const Shape& s : shapes)
            if (s.what == what) out.push_back(s);
        return out;
    }

    std::vector<Shape> shapes;
    bool recording = false;
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
        chart.SetFeedbackEnabled(1);
        display->SetTypeAndKind(type, kind);
        display->SetPlotRect(10, 10, 410, 310, 1);
    }
    void Fixed(double lower, double upper) {
        display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange;
        display->SetLowerValueLimit(lower);
        display->SetUpperValueLimit(upper);
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
        chart.GetFeedbackList().clear();
        chart.DrawComponentList(dc ? dc : canvas.Dc(), 0);
    }
    std::vector<ShapeRecorder::Shape> Filled() const { return display->Of('f'); }

    Chart chart;
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
