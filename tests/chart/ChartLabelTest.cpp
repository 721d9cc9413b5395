#include "chart/ChartLabel.h"

#include "ChartTestSupport.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "chart/ChartData.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <QImage>
#include <filesystem>

namespace vq {
namespace {

using test::ProbeComponent;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void PaintWhite(HDC dc) {
    const RECT all{0, 0, 300, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

int DarkIn(HDC dc, RECT r) {
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            dark += GetRValue(GetPixel(dc, x, y)) < 100;
    return dark;
}

// A label drawn alone on a white canvas.
struct LabelCanvas {
    explicit LabelCanvas(std::function<void(ChartLabel&)> setUp) {
        auto white = std::make_unique<ProbeComponent>();
        white->GetStyle().frameWord = 0;
        white->onForeground = [](ProbeComponent& self) { PaintWhite(self.GetDrawingDC()); };
        chart.AddComponent(std::move(white));
        auto owned = std::make_unique<ChartLabel>();
        label = owned.get();
        label->GetStyle().frameWord = 0;
        chart.AddComponent(std::move(owned));
        setUp(*label);
        chart.DrawComponentList(canvas.Dc(), 0);
    }
    Chart chart;
    ChartLabel* label = nullptr;
    test::MemoryCanvas canvas{300, 200};
};

TEST(ChartLabel, AnchorCodesPutTheTextsTopLeftWhereTheTableSays) {
    // Offsets of the text's top left in halves and wholes of the extent.
    const POINT units[9] = {{0, -1},  {0, 0},   {-1, 0}, {-2, 0}, {-2, -1},
                            {-2, -2}, {-1, -2}, {0, -2}, {-1, -1}};
    for (int code = 0; code <= 8; ++code) {
        SCOPED_TRACE(code);
        POINT origin{};
        SIZE extent{};
        LabelCanvas draw([&](ChartLabel& label) {
            label.SetAnchorCode(code);
            label.SetCurrentText("Wq");
            label.SetPosition(150, 100);
            auto probe = std::make_unique<ProbeComponent>();
            probe->GetStyle().frameWord = 0;
            probe->onForeground = [&](ProbeComponent& self) {
                label.BeginDraw(self.GetDrawingDC(), 0);
                label.BuildFont();
                HGDIOBJ old = SelectObject(self.GetDrawingDC(), label.GetFont());
                GetTextExtentPoint32(self.GetDrawingDC(), "Wq", 2, &extent);
                SelectObject(self.GetDrawingDC(), old);
                origin = label.GetTextOrigin();
                label.EndDraw();
            };
            label.GetChart()->AddComponent(std::move(probe));
        });
        auto part = [](int step, int e) { return step == -2 ? -e : step == -1 ? -(e / 2) : 0; };
        EXPECT_EQ(origin.x, 150 + part(units[code].x, extent.cx));
        EXPECT_EQ(origin.y, 100 + part(units[code].y, extent.cy));
    }
}

TEST(ChartLabel, RotationTurnsTheBoxCounterClockwiseAboutTheAnchor) {
    POINT origin{};
    SIZE extent{};
    LabelCanvas draw([&](ChartLabel& label) {
        label.SetAnchorCode(ChartLabel::anchorBottomRight);
        label.SetAngle(90);
        label.SetCurrentText("Wq");
        label.SetPosition(150, 100);
        auto probe = std::make_unique<ProbeComponent>();
        probe->GetStyle().frameWord = 0;
        probe->onForeground = [&](ProbeComponent& self) {
            label.BeginDraw(self.GetDrawingDC(), 0);
            label.BuildFont();
            HGDIOBJ old = SelectObject(self.GetDrawingDC(), label.GetFont());
            GetTextExtentPoint32(self.GetDrawingDC(), "Wq", 2, &extent);
            SelectObject(self.GetDrawingDC(), old);
            origin = label.GetTextOrigin();
            label.EndDraw();
        };
        label.GetChart()->AddComponent(std::move(probe));
    });
    // The turned offsets are truncated, and the sine of 90 degrees in chart radians falls just short
    // of 1, which can cost the larger one a pixel.
    EXPECT_NEAR(origin.x, 150 - extent.cy, 1);
    EXPECT_NEAR(origin.y, 100 + extent.cx, 1);
    EXPECT_GT(origin.y, 100) << "below the anchor: the box turned counter-clockwise";
}

TEST(ChartLabel, RaisedBevelAtNoRotationIsWhiteAboveAndLeftBlackBelowAndRight) {
    LabelCanvas draw([](ChartLabel& label) {
        label.GetStyle().frameWord = 0x101;
        label.GetStyle().fillColour = RGB(0, 128, 0);
        label.SetFont(-30, 0, "Arial");
        label.SetCurrentText("MMMM");
        label.SetAnchorCode(ChartLabel::anchorCentre);
        label.SetPosition(150, 100);
    });
    const auto& box = draw.label->GetOutline();
    ASSERT_GE(box.size(), 5u);
    RECT r{box[0].x, box[0].y, box[0].x, box[0].y};
    for (const POINT& p : box) {
        r.left = std::min(r.left, p.x), r.right = std::max(r.right, p.x);
        r.top = std::min(r.top, p.y), r.bottom = std::max(r.bottom, p.y);
    }
    const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    EXPECT_EQ(draw.canvas.At(midX, r.top), kWhite);
    EXPECT_EQ(draw.canvas.At(r.left, midY), kWhite);
    EXPECT_EQ(draw.canvas.At(midX, r.bottom), kBlack);
    EXPECT_EQ(draw.canvas.At(r.right, midY), kBlack);
    EXPECT_GT(DarkIn(draw.canvas.Dc(), {r.left + 2, r.top + 2, r.right - 1, r.bottom - 1}), 20);
}

// A component that labels one item at (100, 100) each time it draws.
struct DataLabelChart {
    explicit DataLabelChart(u32 handling) {
        chart.GetStyle().labelWord = (chart.GetStyle().labelWord & ~(3u << 28)) | (handling << 28);
        item.SetValue(3.5);
        item.GetStyle().labelWord = (item.GetStyle().labelWord & ~0xF0u) | 0x20;
        auto white = std::make_unique<ProbeComponent>();
        white->GetStyle().frameWord = 0;
        white->onForeground = [this](ProbeComponent& self) {
            PaintWhite(self.GetDrawingDC());
            self.DrawDataLabel(100, 100, &item);
        };
        chart.AddComponent(std::move(white));
    }
    ChartLabel* Temporary() {
        return static_cast<ChartLabel*>(chart.FindComponentByName(Chart::kTemporaryLabelName));
    }
    Chart chart;
    ChartData item;
    test::MemoryCanvas canvas{300, 200};
};

TEST(ChartLabel, DataLabelsDrawAtOnceOrJoinTheChartForOnePass) {
    DataLabelChart now(0);
    now.chart.DrawComponentList(now.canvas.Dc(), 0);
    EXPECT_EQ(now.chart.GetComponentList().size(), 1u);
    EXPECT_GT(DarkIn(now.canvas.Dc(), {80, 80, 200, 140}), 10);

    DataLabelChart later(2);
    later.chart.DrawComponentList(later.canvas.Dc(), 0);
    ChartLabel* first = later.Temporary();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetCurrentText(), "3.500000");
    EXPECT_GT(DarkIn(later.canvas.Dc(), {80, 80, 200, 140}), 10) << "drawn in the same pass";
    later.chart.DrawComponentList(later.canvas.Dc(), 0);
    EXPECT_EQ(later.chart.GetComponentList().size(), 2u) << "last pass's label removed, this pass's added";

    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const COLORREF c = later.canvas.At(x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    std::filesystem::create_directories(vq::test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(image.save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-data-label.png")));
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(ChartLabel, ShadowsDarkenOnlyTheShiftedOutlineOutsideTheLabel) {
    LabelCanvas draw([](ChartLabel& label) {
        label.GetStyle().frameWord = 0x111;
        label.GetStyle().fillColour = RGB(255, 255, 160);
        label.SetFont(-24, 0, "Arial");
        label.SetCurrentText("Shadow");
        label.SetAnchorCode(ChartLabel::anchorCentre);
        label.SetPosition(150, 60);
        for (int i = 0; i < 3; ++i) {
            auto turned = std::make_unique<ChartLabel>();
            turned->GetStyle().frameWord = 0x115 - 3 * (i == 2);
            turned->GetStyle().fillColour = RGB(200, 230, 255);
            turned->GetStyle().labelWord |= (i == 1 ? 3u : 0u) << 16;
            turned->SetFont(-18, 0, "Arial");
            turned->SetCurrentText("Turned");
            turned->SetAngle(45.0 * (i + 1));
            turned->SetAnchorCode(ChartLabel::anchorCentre);
            turned->SetPosition(60 + 90 * i, 140);
            label.GetChart()->AddComponent(std::move(turned));
        }
    });
    const auto& box = draw.label->GetOutline();
    RECT r{box[0].x, box[0].y, box[0].x, box[0].y};
    for (const POINT& p : box) {
        r.left = std::min(r.left, p.x), r.right = std::max(r.right, p.x);
        r.top = std::min(r.top, p.y), r.bottom = std::max(r.bottom, p.y);
    }
    const int midY = (r.top + r.bottom) / 2;
    int dark = 0;
    for (int y = midY - 5; y < midY + 5; ++y)
        for (int x = r.right + 1; x <= r.right + 3; ++x)
            dark += draw.canvas.At(x, y) == kBlack;
    EXPECT_GT(dark, 0) << "the strip right of the outline is patterned dark";
    EXPECT_EQ(DarkIn(draw.canvas.Dc(), {r.right + 5, r.top, r.right + 20, r.bottom}), 0);
    EXPECT_EQ(DarkIn(draw.canvas.Dc(), {r.left, r.top - 10, r.right, r.top - 1}), 0) << "nothing above";

    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const COLORREF c = draw.canvas.At(x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    std::filesystem::create_directories(vq::test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(
        image.save(QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-labels.png")));
}

} // namespace
} // namespace vq
