#include "ChartTestSupport.h"
#include "GdiFixture.h"
#include "ChartWindowFixture.h"
#include "chart/Chart.h"
#include "chart/ChartBackground.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ImagePrintContext.h"
#include "tests/support/TestPaths.h"

#include <QImage>
#include <filesystem>
#include <fstream>

namespace vq {
namespace {

using test::ProbeComponent;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kFrameGrey = RGB(128, 128, 128);
constexpr u32 kStretch = 1u << 31;
constexpr u32 kPictureLoaded = 1u << 24;

ChartComponent* AddFilled(Chart& chart, RECT r, int fillKind, u32 first = kBlack, u32 second = kRed) {
    ChartComponent* c =
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, r, 0, 0, fillKind << 8, 0, 0);
    c->SetFillColors(first, second);
    return c;
}

class ChartFillWindowTest : public test::ChartWindowFixture {
protected:
    void SetUp() override {
        ChartWindowFixture::SetUp();
        OpenFrame({0, 0, 480, 360});
        AddFilled(chart, {0, 0, 480, 360}, 1, kWhite);
    }
};

TEST_F(ChartFillWindowTest, EveryFillKindPaintsItsArea) {
    AddFilled(chart, {10, 10, 265, 60}, 3);   // left to right over 255 pixels
    AddFilled(chart, {420, 10, 460, 265}, 2); // top to bottom over 255 pixels
    AddFilled(chart, {280, 10, 400, 60}, 1, kGrey);
    const int angles[] = {3, 45, 88, 93};
    for (int i = 0; i < 4; ++i)
        AddFilled(chart, {10 + 100 * i, 75, 100 + 100 * i, 145}, 4)->SetGradientAngle(angles[i]);
    AddFilled(chart, {10, 160, 110, 230}, 5)->SetPictureName("21609");
    AddFilled(chart, {125, 160, 225, 230}, 5)->SetPictureName("#21609");
    chart.GetComponentList().back()->GetStyle().frameWord |= kStretch;
    // A data style's colour-index fill, as a renderer draws a bar.
    auto bar = std::make_unique<ProbeComponent>();
    bar->GetStyle().frameWord = 0; // its own background would cover the whole chart
    bar->SetColourIndex(0x25);
    bar->onForeground = [](ProbeComponent& self) {
        ChartStyle data(ChartStyle::levelData);
        data.styleWord = (data.styleWord & ~0xF0u) | 0x10;
        const POINT outline[] = {{240, 160}, {340, 160}, {340, 230}, {240, 230}, {240, 160}};
        self.FillPolygon(outline, data, 0);
    };
    chart.AddComponent(std::move(bar));
    // The program's display frame: grey with the sunken three-line border.
    ChartComponent* display = AddFilled(chart, {10, 245, 400, 350}, 0, kGrey);
    display->GetStyle().frameWord = 0x105;
    Repaint();

    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(At(10 + 3 * k, 35), RGB(3 * k, 0, 0)) << "left to right, band " << k;
        EXPECT_EQ(At(440, 10 + 3 * k), RGB(3 * k, 0, 0)) << "top to bottom, band " << k;
    }
    EXPECT_EQ(At(12, 35), RGB(0, 0, 0)) << "bands are three pixels";
    EXPECT_EQ(At(340, 35), kGrey);

    auto red = [&](int x, int y) { return GetRValue(At(x, y)); };
    // 3 degrees and 93 degrees run left to right, 88 top to bottom.
    for (int cell : {0, 3}) {
        const int left = 10 + 100 * cell;
        EXPECT_EQ(At(left + 40, 80), At(left + 40, 140)) << cell;
        EXPECT_LT(red(left + 2, 110), red(left + 85, 110)) << cell;
        EXPECT_EQ(At(left + 50, 110), At(50 + 10, 110)) << cell;
    }
    EXPECT_EQ(At(215, 110), At(290, 110));
    EXPECT_LT(red(250, 78), red(250, 142));
    // 45 degrees: darkest at the top left, reddest at the bottom right.
    EXPECT_LT(red(112, 77), red(155, 110));
    EXPECT_LT(red(155, 110), red(198, 143));

    // Tiles of the 32 x 32 default picture start at 0, 32, 64, 96 across and 0, 32, 64 down; each
    // tile's left column is its grey frame.
    for (int tx : {0, 32, 64, 96})
        for (int ty : {0, 32, 64}) {
            EXPECT_EQ(At(10 + tx, 160 + ty + 5), kFrameGrey) << tx << "," << ty;
            EXPECT_EQ(At(10 + tx + 2, 160 + ty + 5), kWhite) << tx << "," << ty;
        }
    EXPECT_EQ(At(125, 195), kFrameGrey) << "stretched: one frame around the whole area";
    EXPECT_EQ(At(128, 195), kWhite);

    int magenta = 0, other = 0;
    for (int y = 162; y < 228; ++y)
        for (int x = 242; x < 338; ++x)
            (At(x, y) == kMagenta ? magenta : other)++;
    EXPECT_GT(magenta, 96 * 66 / 20) << "a cross hatch in the series colour";
    EXPECT_GT(other, 96 * 66 / 2);

    EXPECT_EQ(At(200, 300), kGrey);
    EXPECT_EQ(At(10, 300), kBlack);
    EXPECT_EQ(At(399, 300), kWhite);

    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-fills.png";
    std::filesystem::create_directories(vq::test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, path));
}

// Picture files in a folder of their own, removed afterwards.
class ChartPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("vq-chart-pictures-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Picture(const char* name, const char* format, QColor colour, int w = 40, int h = 30) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        const std::string path = (folder / name).string();
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }

    std::string Text(const char* name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Draws the chart and answers the colour in the middle of the picture's area.
    COLORREF Draw() {
        chart.DrawComponentList(canvas.Dc(), 0);
        return canvas.At(50, 40);
    }

    ChartComponent* AddPicture(const std::string& path) {
        ChartComponent* c = AddFilled(chart, {10, 10, 90, 70}, 6);
        c->GetStyle().frameWord |= kStretch;
        c->SetPictureName(path);
        return c;
    }

    std::filesystem::path folder;
    Chart chart;
    test::MemoryCanvas canvas{100, 80};
};

TEST_F(ChartPictureTest, BitmapAndJpegFilesLoadOnceUntilTheNameChanges) {
    const std::string bmp = Picture("green.bmp", "BMP", QColor(0, 200, 0));
    const std::string jpeg = Picture("blue.jpg", "JPG", QColor(0, 0, 255));
    ChartComponent* c = AddPicture(bmp);
    EXPECT_EQ(Draw(), RGB(0, 200, 0));
    EXPECT_TRUE(c->GetStyle().extraWord & kPictureLoaded);

    c->SetPictureName(jpeg);
    EXPECT_FALSE(c->GetStyle().extraWord & kPictureLoaded);
    const COLORREF blue = Draw();
    EXPECT_LE(GetRValue(blue) + GetGValue(blue), 8);
    EXPECT_GE(GetBValue(blue), 245);
    ASSERT_TRUE(c->GetStyle().extraWord & kPictureLoaded);

    // Drawn from the kept bitmap: the file is not read again.
    std::filesystem::remove(jpeg);
    EXPECT_EQ(Draw(), blue);
    c->SetPictureName(jpeg);
    EXPECT_EQ(Draw(), blue) << "the same name keeps the picture";
    c->SetPictureName((folder / "gone.jpg").string());
    Draw();
    EXPECT_EQ(canvas.At(10, 40), kFrameGrey) << "the default picture";
    EXPECT_EQ(canvas.At(30, 40), kWhite);
}

TEST_F(ChartPictureTest, UnreadablePicturesShowTheDefaultAndAreTriedAgain) {
    std::string whole;
    {
        std::ifstream in(Picture("whole.bmp", "BMP", QColor(0, 200, 0)), std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string cases[] = {Text("cut.bmp", whole.substr(0, 100)), Text("words.jpg", "not a picture\n"),
                                 (folder / "missing.bmp").string()};
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        Chart fresh;
        test::MemoryCanvas page(100, 80);
        ChartComponent* c = AddFilled(fresh, {10, 10, 90, 70}, 6);
        c->GetStyle().frameWord |= kStretch;
        c->SetPictureName(path);
        fresh.DrawComponentList(page.Dc(), 0);
        EXPECT_EQ(page.At(10, 40), kFrameGrey);
        EXPECT_FALSE(c->GetStyle().extraWord & kPictureLoaded);
        // Once the file becomes readable the next fill picks it up.
        std::filesystem::copy_file(folder / "whole.bmp", path,
                                   std::filesystem::copy_options::overwrite_existing);
        fresh.DrawComponentList(page.Dc(), 0);
        EXPECT_EQ(page.At(50, 40), RGB(0, 200, 0));
    }
}

TEST_F(ChartPictureTest, DegenerateAreasAndTilesStillEnd) {
    // A one-row gradient band and a 1 x 1 picture tiled on a 72-dpi page, where a tile is
    // 0.75 pixels wide.
    const std::string dot = Picture("dot.bmp", "BMP", QColor(0, 200, 0), 1, 1);
    ImagePrintContext page(120, 80, 72);
    ChartComponent* tiled = AddFilled(chart, {10, 10, 40, 30}, 6);
    tiled->SetPictureName(dot);
    auto band = std::make_unique<ProbeComponent>();
    band->GetStyle().frameWord = 0;
    band->onForeground = [](ProbeComponent& self) {
        ChartStyle style(ChartStyle::levelComponent);
        style.fillColour = kBlack;
        style.secondFillColour = kRed;
        self.FillArea(nullptr, style, 0, 512, {50, 40, 110, 40});
        self.FillArea(nullptr, style, 0, 768, {50, 50, 50, 70});
    };
    chart.AddComponent(std::move(band));
    chart.DrawComponentList(page.Dc(), 0);
    EXPECT_EQ(GetPixel(page.Dc(), 25, 20), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(page.Dc(), 80, 40), kBlack);
    EXPECT_EQ(GetPixel(page.Dc(), 50, 60), kBlack);
    EXPECT_EQ(GetPixel(page.Dc(), 80, 43), kWhite) << "one band of three rows";
    QImage image(120, 80, QImage::Format_RGB32);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF c = GetPixel(page.Dc(), x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    image.save(QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-fill-72dpi.png"));
}

} // namespace
} // namespace vq
