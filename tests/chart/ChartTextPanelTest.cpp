#include "chart/ChartTextPanel.h"

#include "ChartWindowFixture.h"
#include "chart/Chart.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <filesystem>

namespace vq {
namespace {

constexpr COLORREF kPaper = RGB(255, 255, 224);
constexpr COLORREF kHeadingBox = RGB(200, 220, 255);

ChartTextPanel& AddPanel(Chart& chart, RECT r, int position, int fit, std::string_view body) {
    auto* panel = static_cast<ChartTextPanel*>(
        chart.CreateComponent(chartTextPanelType, ChartRect::unitPixels, r, 3, 0, 0x100, 0, 0));
    panel->GetStyle().fillColour = kPaper;
    panel->GetTitleStyle().fillColour = kHeadingBox;
    panel->SetTitlePosition(position);
    panel->SetFitToText(fit);
    panel->SetTitleText("Mi...", 1);
    panel->SetTitleFontSize(-16);
    panel->SetBodyText(body, 1);
    panel->SetBodyFontSize(-13);
    return *panel;
}

class ChartTextPanelTest : public test::ChartWindowFixture {
protected:
    // Where the dark pixels of the box lie along its height, from -1 (all at the top of the text)
    // to 1 (all at its bottom); the outer pixels, where a border may run, are left out.
    double Lean(RECT r) {
        double sum = 0;
        int count = 0, top = r.bottom, bottom = r.top;
        for (int y = r.top + 3; y < r.bottom - 3; ++y)
            for (int x = r.left + 3; x < r.right - 3; ++x)
                if (GetRValue(At(x, y)) < 100)
                    sum += y, ++count, top = std::min(top, y), bottom = std::max(bottom, y);
        if (count == 0 || bottom == top) return 0;
        const double centre = (top + bottom) / 2.0;
        return (sum / count - centre) / ((bottom - top) / 2.0);
    }
};

TEST_F(ChartTextPanelTest, HeadingsTurnAlongTheirSideAndPanelsFitTheirText) {
    OpenFrame({0, 0, 400, 300});
    ChartTextPanel& left = AddPanel(chart, {10, 10, 190, 140}, ChartTextPanel::titleLeft, 0,
                                    "The heading reads upward along the left edge.");
    ChartTextPanel& right = AddPanel(chart, {210, 10, 390, 140}, ChartTextPanel::titleRight, 0,
                                     "The heading reads downward along the right edge.");
    ChartTextPanel& grown = AddPanel(chart, {10, 160, 190, 200}, ChartTextPanel::titleTop, 1,
                                     "This body needs more lines than the panel has room for, so the panel "
                                     "grows downward to hold it all.");
    ChartTextPanel& automatic = AddPanel(chart, {210, 160, 390, 290}, ChartTextPanel::titleBottom, 0, "Big");
    automatic.SetBodyFontFlags(ChartTitle::fontAutoSize);
    Repaint();

    // At 96 dots per inch both ways the box is exactly as wide as the text is high.
    SIZE extent{};
    {
        HDC dc = GetDC(frame);
        LOGFONT lf{};
        lf.lfHeight = -16;
        std::memcpy(lf.lfFaceName, "Arial", 5);
        HFONT font = CreateFontIndirect(lf);
        HGDIOBJ old = SelectObject(dc, font);
        GetTextExtentPoint32(dc, "Mi...", 5, &extent);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(frame, dc);
    }
    const RECT l = left.GetTitleRect();
    EXPECT_EQ(l.right - l.left, extent.cy);
    EXPECT_EQ(left.GetPanelRect().left, l.right) << "the body starts right of the heading";
    EXPECT_GT(Lean(l), 0.2) << "reads upward: the heavy first letter is at the bottom";
    const RECT r = right.GetTitleRect();
    EXPECT_EQ(r.right - r.left, extent.cy);
    EXPECT_EQ(r.right, 390);
    EXPECT_LT(Lean(r), -0.2) << "turned 270 degrees: the first letter is at the top";
    EXPECT_EQ(At(l.left + 3, l.top + 5), kHeadingBox);

    EXPECT_GT(grown.GetPanelRect().bottom, 200) << "grew downward";
    EXPECT_EQ(grown.GetPanelRect().bottom, grown.GetTextRect().bottom + grown.GetVerticalMargin());
    EXPECT_EQ(grown.GetTitleRect().right, grown.GetPanelRect().right) << "a top heading spans the panel";
    EXPECT_EQ(grown.GetTitleRect().left, 10);

    LOGFONT lf{};
    GetObject(automatic.GetFont(), sizeof lf, &lf);
    const RECT body = automatic.GetPanelRect();
    EXPECT_EQ(lf.lfHeight, (body.bottom - body.top) / -5) << "a fifth of the panel's height";

    const std::string path = test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-text-panels.png";
    std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, path));
}

} // namespace
} // namespace vq
