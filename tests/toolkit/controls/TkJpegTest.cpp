#include "toolkit/controls/TkJpeg.h"

#include "platform/gui/Palette.h"
#include "tests/support/TempDir.h"
#include "tests/toolkit/controls/BmpFixtures.h"
#include "tests/toolkit/controls/JpegFixtures.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vq {
namespace {

using test::MakeJpeg;
using test::TempDir;
using test::WriteFile;

class TkJpegTest : public ::testing::Test {
protected:
    void TearDown() override { SetPaletteScreen(false); }

    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFile(m_Folder.File(name), bytes);
        return m_Folder.File(name);
    }

    TempDir m_Folder;
};

void Grey(int x, int y, JSAMPLE* out) {
    out[0] = JSAMPLE((x * 8 + y * 3) % 256);
}

void Colourful(int x, int y, JSAMPLE* out) {
    out[0] = JSAMPLE(x * 255 / 63);
    out[1] = JSAMPLE(y * 255 / 47);
    out[2] = JSAMPLE((x + y) % 256);
}

bool Near(int a, int b, int tolerance = 8) {
    return std::abs(a - b) <= tolerance;
}

TEST_F(TkJpegTest, AnEmptyFileFailsAndACutOneLoads) {
    const std::string good = MakeJpeg(64, 48, JCS_RGB, Colourful);
    TkJpeg jpeg;
    ASSERT_TRUE(jpeg.LoadImage(Write("good.jpg", good)));
    EXPECT_EQ(jpeg.GetWidth(), 64);
    EXPECT_EQ(jpeg.GetDepth(), 24);
    const std::vector<std::uint8_t> bits = jpeg.GetBits();
    const std::size_t top = std::size_t(47) * TkRasterImage::AlignedRowSize(24, 64);
    EXPECT_TRUE(Near(bits[top + 3 * 63 + 2], 255)) << int(bits[top + 3 * 63 + 2]);

    EXPECT_FALSE(jpeg.LoadImage(Write("empty.jpg", "")));
    EXPECT_EQ(jpeg.GetLastMessageCode(), JERR_INPUT_EMPTY);
    EXPECT_EQ(jpeg.GetBits(), bits) << "the earlier picture stays";

    TkJpeg cut;
    ASSERT_TRUE(cut.LoadImage(Write("cut.jpg", good.substr(0, good.size() * 6 / 10))));
    EXPECT_EQ(cut.GetWidth(), 64);
    EXPECT_EQ(cut.GetHeight(), 48);
    // The top rows came from the file; the library completes the rest.
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_TRUE(Near(cut.GetBits()[top + std::size_t(channel)], 0, 24)) << "the black top left pixel";
    const std::size_t bottom = 3 * 63 + 2;
    EXPECT_FALSE(Near(cut.GetBits()[bottom], 255, 24)) << "the red bottom right pixel was lost";
}

TEST_F(TkJpegTest, GreyBecomesEqualBytesOrAGreyTable) {
    const std::string path = Write("grey.jpg", MakeJpeg(40, 30, JCS_GRAYSCALE, Grey));
    TkJpeg trueColour;
    ASSERT_TRUE(trueColour.LoadImage(path));
    EXPECT_EQ(trueColour.GetDepth(), 24);
    const auto& bits = trueColour.GetBits();
    for (std::size_t i = 0; i + 2 < 3 * 40; i += 3)
        ASSERT_TRUE(bits[i] == bits[i + 1] && bits[i + 1] == bits[i + 2]) << i;

    SetPaletteScreen(true);
    TkJpeg palette;
    EXPECT_TRUE(palette.m_bQuantise);
    ASSERT_TRUE(palette.LoadImage(path));
    EXPECT_EQ(palette.GetDepth(), 8);
    const RGBQUAD* table = palette.GetColourTable();
    ASSERT_GT(palette.GetHeader().biClrUsed, 1u);
    for (std::uint32_t i = 0; i < palette.GetHeader().biClrUsed; ++i)
        ASSERT_TRUE(table[i].rgbRed == table[i].rgbGreen && table[i].rgbGreen == table[i].rgbBlue) << i;
}

TEST_F(TkJpegTest, ColourOnAPaletteScreenHasAtMost256Entries) {
    SetPaletteScreen(true);
    TkJpeg jpeg;
    ASSERT_TRUE(jpeg.LoadImage(Write("colour.jpg", MakeJpeg(64, 48, JCS_RGB, Colourful))));
    EXPECT_EQ(jpeg.GetDepth(), 8);
    EXPECT_LE(jpeg.GetHeader().biClrUsed, 256u);
    EXPECT_GT(jpeg.GetHeader().biClrUsed, 16u);
    EXPECT_EQ(jpeg.GetColourTableSize(), 256u);
    // The top-left pixel is nearly black, the top-right nearly red: the table keeps the channels.
    const std::uint8_t* top = jpeg.GetBits().data() + 47 * TkRasterImage::AlignedRowSize(8, 64);
    const RGBQUAD right = jpeg.GetColourTable()[top[63]];
    EXPECT_GT(right.rgbRed, 200);
    EXPECT_LT(right.rgbBlue, 100);
}

TEST_F(TkJpegTest, SavedPatchesKeepTheirChannelsAndThePictureStaysUnchanged) {
    // Red, green and blue patches of 16 x 16 in a 24-bit picture.
    std::string bmp = test::MakeBmp(test::BmpSpec{48, 16, 24});
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x) {
            const int patch = x / 16;
            const std::size_t at = 54 + std::size_t(y) * 144 + std::size_t(x) * 3;
            bmp[at] = char(patch == 2 ? 255 : 0);
            bmp[at + 1] = char(patch == 1 ? 255 : 0);
            bmp[at + 2] = char(patch == 0 ? 255 : 0);
        }
    TkDib dib;
    ASSERT_TRUE(dib.LoadImage(Write("patches.bmp", bmp)));
    TkJpeg jpeg;
    ASSERT_TRUE(jpeg.Copy(dib));
    const std::vector<std::uint8_t> bits = jpeg.GetBits();
    const BITMAPINFOHEADER header = jpeg.GetHeader();
    ASSERT_TRUE(jpeg.SaveImage(m_Folder.File("patches.jpg")));
    EXPECT_EQ(jpeg.GetBits(), bits);
    EXPECT_EQ(std::memcmp(&jpeg.GetHeader(), &header, sizeof header), 0);

    QImage viewer(QString::fromStdString(m_Folder.File("patches.jpg")));
    TkJpeg reloaded;
    ASSERT_TRUE(reloaded.LoadImage(m_Folder.File("patches.jpg")));
    for (int patch = 0; patch < 3; ++patch) {
        SCOPED_TRACE(patch);
        const int x = patch * 16 + 8, y = 8;
        const QRgb seen = viewer.pixel(x, y);
        const int expected[3] = {patch == 0 ? 255 : 0, patch == 1 ? 255 : 0, patch == 2 ? 255 : 0};
        EXPECT_TRUE(Near(qRed(seen), expected[0]) && Near(qGreen(seen), expected[1]) &&
                    Near(qBlue(seen), expected[2]))
            << std::hex << seen;
        const std::uint8_t* pixel =
            reloaded.GetBits().data() + std::size_t(15 - y) * 144 + std::size_t(x) * 3;
        EXPECT_TRUE(Near(pixel[2], expected[0]) && Near(pixel[1], expected[1]) &&
                    Near(pixel[0], expected[2]));
    }

    // A save that fails on a full device leaves the picture as it was too.
    EXPECT_THROW(jpeg.SaveImage("/dev/full"), FileException);
    EXPECT_EQ(jpeg.GetBits(), bits);
    EXPECT_EQ(std::memcmp(&jpeg.GetHeader(), &header, sizeof header), 0);
}

TEST_F(TkJpegTest, AOneBitPictureSavesAsItsTwoColours) {
    TkDib dib;
    ASSERT_TRUE(dib.LoadImage(Write("mono.bmp", test::MakeBmp(test::BmpSpec{32, 16, 1}))));
    for (int y = 0; y < 16; ++y) {
        std::uint8_t* row = dib.GetBits().data() + 4 * y;
        row[0] = row[1] = 0x00; // the left half takes entry 0
        row[2] = row[3] = 0xFF; // the right half entry 1
    }
    dib.GetColourTable()[0] = {0, 0, 200, 0}; // red
    dib.GetColourTable()[1] = {200, 0, 0, 0}; // blue
    TkJpeg jpeg;
    ASSERT_TRUE(jpeg.Copy(dib));
    ASSERT_TRUE(jpeg.SaveImage(m_Folder.File("mono.jpg")));
    QImage viewer(QString::fromStdString(m_Folder.File("mono.jpg")));
    EXPECT_TRUE(Near(qRed(viewer.pixel(4, 8)), 200) && Near(qBlue(viewer.pixel(4, 8)), 0));
    EXPECT_TRUE(Near(qRed(viewer.pixel(28, 8)), 0) && Near(qBlue(viewer.pixel(28, 8)), 200));
}

TEST_F(TkJpegTest, UnconvertibleAndLargeFilesAndFolders) {
    TkJpeg jpeg;
    ASSERT_TRUE(jpeg.LoadImage(Write("good.jpg", MakeJpeg(8, 8, JCS_GRAYSCALE, Grey))));
    const std::string cmyk = MakeJpeg(16, 16, JCS_CMYK, [](int x, int, JSAMPLE* out) {
        out[0] = JSAMPLE(x * 16), out[1] = 0, out[2] = 0, out[3] = 0;
    });
    EXPECT_FALSE(jpeg.LoadImage(Write("cmyk.jpg", cmyk)));
    EXPECT_NE(jpeg.GetLastMessageCode(), 0);
    EXPECT_EQ(jpeg.GetWidth(), 8);

    const std::string large = MakeJpeg(
        3000, 3000, JCS_RGB,
        [](int x, int y, JSAMPLE* out) { out[0] = JSAMPLE(x), out[1] = JSAMPLE(y), out[2] = 0; }, true, 75);
    ASSERT_TRUE(jpeg.LoadImage(Write("large.jpg", large)));
    EXPECT_EQ(jpeg.GetWidth(), 3000);
    EXPECT_EQ(jpeg.GetHeight(), 3000);

    TkJpeg fresh;
    EXPECT_THROW(fresh.LoadImage(m_Folder.Path().string()), FileException);
}

} // namespace
} // namespace vq
