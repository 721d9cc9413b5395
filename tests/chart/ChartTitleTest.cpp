#include "chart/ChartTitle.h"

#include "GdiFixture.h"
#include "chart/Chart.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ImagePrintContext.h"

namespace vq {
namespace {

int HeightOf(HFONT font) {
    LOGFONT lf{};
    GetObject(font, sizeof lf, &lf);
    return lf.lfHeight;
}

int DarkPixels(HDC dc, RECT r) {
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            dark += GetRValue(GetPixel(dc, x, y)) < 128;
    return dark;
}

TEST(ChartTitle, PointSizesFollowTheContextAndAPrintedPageLeavesTheFontDirty) {
    Chart chart;
    auto* title = static_cast<ChartTitle*>(
        chart.CreateComponent(chartTitleType, ChartRect::unitPixels, RECT{0, 0, 200, 40}, 0, 0, 0x100, 0, 0));
    ASSERT_NE(title, nullptr);
    const ChartComponent* label = chart.CreateComponent(chartLabelType, 0, RECT{}, 0, 0, 0, 0, 0);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetTypeCode(), chartLabelType);
    chart.GetComponentList().pop_back();
    title->SetFont(10, 0, "Arial");
    test::MemoryCanvas screen(200, 40);
    chart.DrawComponentList(screen.Dc(), 0);
    EXPECT_EQ(HeightOf(title->GetFont()), -13);
    EXPECT_FALSE(title->IsFontDirty());
    EXPECT_EQ(title->GetText(), " ") << "an empty title is one blank";
    EXPECT_EQ(DarkPixels(screen.Dc(), {0, 0, 200, 40}), 0);

    ImagePrintContext page(200, 40, 300);
    chart.DrawComponentList(page.Dc(), 0);
    EXPECT_EQ(HeightOf(title->GetFont()), -41);
    EXPECT_TRUE(title->IsFontDirty());

    chart.SetAnnotation("Traffic", 1);
    chart.DrawComponentList(screen.Dc(), 0);
    EXPECT_EQ(HeightOf(title->GetFont()), -13);
    EXPECT_GT(DarkPixels(screen.Dc(), {60, 5, 140, 35}), 20) << "centred text";
    EXPECT_EQ(DarkPixels(screen.Dc(), {0, 0, 40, 40}), 0);
}

TEST(ChartTitle, FacesKeepThirtyBytesAndTextsMeasureLineByLine) {
    ChartTitle title;
    title.SetFont(-20, ChartTitle::fontBold, std::string(200, 'F'));
    EXPECT_EQ(title.GetFaceName(), std::string(30, 'F'));
    EXPECT_EQ(title.GetFontSize(), -20);
    Chart chart;
    title.SetParent(&chart);
    test::MemoryCanvas canvas(10, 10);
    title.BeginDraw(canvas.Dc(), 0);
    EXPECT_EQ(title.MeasureText("").cx, 0);
    SIZE one{}, wide{};
    GetTextExtentPoint32(canvas.Dc(), "abc", 3, &one);
    GetTextExtentPoint32(canvas.Dc(), "abcdef", 6, &wide);
    const SIZE both = title.MeasureText("abc\n   abcdef");
    EXPECT_EQ(both.cx, wide.cx);
    EXPECT_EQ(both.cy, one.cy + wide.cy);
    title.EndDraw();
}

} // namespace
} // namespace vq
