#include "platform/gui/MessageBox.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/Palette.h"
#include "platform/gui/WindowSystem.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "tests/toolkit/controls/BmpFixtures.h"
#include "toolkit/controls/TkRasterImage.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vq {
namespace {

using test::BmpSpec;
using test::MakeBmp;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::uint32_t Rgb(QRgb pixel) {
    return std::uint32_t(qRed(pixel)) << 16 | std::uint32_t(qGreen(pixel)) << 8 | std::uint32_t(qBlue(pixel));
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

// Every pixel of a file as QImage decodes it matches the fixture's colours.
void ExpectViewerSees(const std::string& path, const BmpSpec& spec) {
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull()) << path;
    ASSERT_EQ(image.width(), spec.width);
    ASSERT_EQ(image.height(), spec.height);
    for (std::int32_t y = 0; y < spec.height; ++y)
        for (std::int32_t x = 0; x < spec.width; ++x)
            ASSERT_TRUE(Near(Rgb(image.pixel(x, y)), test::ExpectedColour(x, y, spec.depth),
                             spec.depth == 16 ? 8 : 0))
                << "at " << x << "," << y;
}

TEST(TkDib, RoundTripsEveryDepthAndWidthAsAViewerReadsThem) {
    TempDir folder;
    for (std::uint16_t depth : {1, 4, 8, 16, 24, 32}) {
        for (std::int32_t width : {1, 3, 33}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, width " << width);
            const BmpSpec spec{width, 5, depth};
            const std::string original = MakeBmp(spec);
            WriteFile(folder.File("in.bmp"), original);
            TkDib dib;
            ASSERT_TRUE(dib.LoadImage(folder.File("in.bmp")));
            EXPECT_EQ(dib.GetWidth(), width);
            EXPECT_EQ(dib.GetDepth(), depth);
            EXPECT_EQ(dib.GetBits().size(), TkRasterImage::AlignedRowSize(depth, width) * 5);
            ASSERT_TRUE(dib.SaveImage(folder.File("out.bmp")));
            const std::string saved = ReadFile(folder.File("out.bmp"));
            ASSERT_GE(saved.size(), 6u);
            EXPECT_EQ(std::uint32_t(std::uint8_t(saved[2]) | std::uint8_t(saved[3]) << 8 |
                                    std::uint8_t(saved[4]) << 16),
                      saved.size())
                << "the size field counts the bytes written";
            // The same file but the image-size field, which the writer leaves 0.
            std::string expected = original;
            expected.replace(34, 4, std::string(4, '\0'));
            EXPECT_EQ(saved, expected);
            ExpectViewerSees(folder.File("out.bmp"), spec);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(folder.File("out.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "a new picture gets a new file's permissions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2)
        << "no temporary file stays";
    EXPECT_EQ(TkRasterImage::AlignedRowSize(24, 1), 4u);
    EXPECT_EQ(TkRasterImage::AlignedRowSize(24, 3), 12u);
    EXPECT_EQ(TkRasterImage::AlignedRowSize(1, 33), 8u);
}

TEST(TkDib, LargerHeadersTopDownRowsAndLargeTablesLoadAsAViewerShowsThem) {
    TempDir folder;
    for (const BmpSpec& spec :
         {BmpSpec{7, 4, 24, 124}, BmpSpec{9, 3, 8, 40, true}, BmpSpec{5, 6, 4, 124, true}}) {
        SCOPED_TRACE(testing::Message() << spec.headerSize << (spec.topDown ? " top-down" : ""));
        WriteFile(folder.File("in.bmp"), MakeBmp(spec));
        ExpectViewerSees(folder.File("in.bmp"), spec); // the fixture itself is what a viewer shows
        TkDib dib;
        ASSERT_TRUE(dib.LoadImage(folder.File("in.bmp")));
        EXPECT_EQ(dib.GetHeader().biSize, 40u);
        EXPECT_GT(dib.GetHeader().biHeight, 0) << "kept bottom-up";
        ASSERT_TRUE(dib.SaveImage(folder.File("out.bmp")));
        ExpectViewerSees(folder.File("out.bmp"), spec);
    }

    BmpSpec many{4, 2, 8};
    many.usedColours = 300;
    many.tableEntries = 300;
    WriteFile(folder.File("many.bmp"), MakeBmp(many));
    TkDib dib;
    ASSERT_TRUE(dib.LoadImage(folder.File("many.bmp")));
    EXPECT_EQ(dib.GetColourTableSize(), 300u);
    EXPECT_EQ(dib.GetColourTable()[299].rgbRed, test::TableColour(299) >> 16);
    EXPECT_EQ(GetPaletteEntries(dib.GetPalette(), 0, 0, nullptr), 256u) << "as many as a palette can hold";
    ASSERT_TRUE(dib.SaveImage(folder.File("many-out.bmp")));
    TkDib again;
    ASSERT_TRUE(again.LoadImage(folder.File("many-out.bmp")));
    EXPECT_EQ(again.GetColourTableSize(), 300u) << "the whole table is written";

    for (const auto& [depth, entries] : {std::pair{1, 2u}, {4, 16u}, {8, 256u}}) {
        WriteFile(folder.File("p.bmp"), MakeBmp(BmpSpec{2, 2, std::uint16_t(depth)}));
        ASSERT_TRUE(dib.LoadImage(folder.File("p.bmp")));
        EXPECT_EQ(GetPaletteEntries(dib.GetPalette(), 0, 0, nullptr), entries);
    }
    WriteFile(folder.File("p.bmp"), MakeBmp(BmpSpec{2, 2, 24}));
    ASSERT_TRUE(dib.LoadImage(folder.File("p.bmp")));
    EXPECT_EQ(dib.GetPalette(), nullptr);
}

TEST(TkDib, MalformedFilesAreRefusedAndTheEarlierPictureStays) {
    TempDir folder;
    const std::string good = MakeBmp(BmpSpec{3, 2, 24});
    auto with = [&](size_t at, std::uint64_t value, int bytes, std::string bmp) {
        std::string field;
        test::Put(field, value, bytes);
        return bmp.replace(at, std::size_t(bytes), field);
    };
    BmpSpec huge{1, 1, 32};
    const std::string hugeFile = with(22, 65535, 4, with(18, 65535, 4, MakeBmp(huge)));
    BmpSpec many{2, 1, 8};
    many.usedColours = 70000;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"not BM", "XY" + good.substr(2)},
        {"offset 20", with(10, 20, 4, good)},
        {"offset past the end", with(10, good.size() + 1, 4, good)},
        {"short pixels", good.substr(0, good.size() - 1)},
        {"width 0", with(18, 0, 4, good)},
        {"65535 x 65535 x 32", hugeFile},
        {"7 bits", with(28, 7, 2, good)},
        {"RLE8", MakeBmp(BmpSpec{2, 1, 8, 40, false, 0, 0, 1})},
        {"70000 used colours", MakeBmp(many)},
        {"empty file", ""},
        {"header under 40", with(14, 12, 4, good)},
        {"two planes", with(26, 2, 2, good)},
        {"height 0", with(22, 0, 4, good)},
    };
    TkDib dib;
    WriteFile(folder.File("good.bmp"), MakeBmp(BmpSpec{4, 4, 8}));
    ASSERT_TRUE(dib.LoadImage(folder.File("good.bmp")));
    const std::vector<std::uint8_t> bits = dib.GetBits();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder.File("bad.bmp"), c.bytes);
        EXPECT_FALSE(dib.LoadImage(folder.File("bad.bmp")));
        EXPECT_EQ(dib.GetWidth(), 4);
        EXPECT_EQ(dib.GetDepth(), 8);
        EXPECT_EQ(dib.GetBits(), bits);
        EXPECT_EQ(GetPaletteEntries(dib.GetPalette(), 0, 0, nullptr), 256u);
    }
    TkDib fresh;
    EXPECT_THROW(fresh.LoadImage(folder.File("missing.bmp")), FileException) << "no file of its own yet";
    EXPECT_FALSE(dib.LoadImage(folder.File("missing.bmp"))) << "its own file reopened";
}

TEST(TkDib, RotationsAndMirrorsGiveThePictureBack) {
    TempDir folder;
    for (std::uint16_t depth : {1, 4, 24}) {
        SCOPED_TRACE(depth);
        WriteFile(folder.File("in.bmp"), MakeBmp(BmpSpec{13, 5, depth}));
        TkDib dib;
        ASSERT_TRUE(dib.LoadImage(folder.File("in.bmp")));
        const std::vector<std::uint8_t> original = dib.GetBits();
        ASSERT_TRUE(dib.Rotate90(true));
        EXPECT_EQ(dib.GetWidth(), 5);
        EXPECT_EQ(dib.GetHeight(), 13);
        EXPECT_EQ(dib.GetHeader().biWidth, 5);
        ASSERT_TRUE(dib.SaveImage(folder.File("turned.bmp")));
        QImage turned(QString::fromStdString(folder.File("turned.bmp")));
        // Clockwise: the top-left pixel of the original is now at the top right.
        EXPECT_EQ(Rgb(turned.pixel(4, 0)), test::ExpectedColour(0, 0, depth));
        EXPECT_EQ(Rgb(turned.pixel(0, 12)), test::ExpectedColour(12, 4, depth));
        ASSERT_TRUE(dib.Rotate90(false));
        EXPECT_EQ(dib.GetBits(), original);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(dib.Rotate90(true));
        EXPECT_EQ(dib.GetBits(), original);
        dib.MirrorHorizontal();
        dib.MirrorHorizontal();
        EXPECT_EQ(dib.GetBits(), original);
    }
    // A 1-bit row of 13 pixels: the three bits after them and the padding bytes stay zero.
    BmpSpec ones{13, 1, 1};
    WriteFile(folder.File("ones.bmp"), MakeBmp(ones));
    TkDib dib;
    ASSERT_TRUE(dib.LoadImage(folder.File("ones.bmp")));
    dib.GetBits()[0] = 0xFF;
    dib.GetBits()[1] = 0xF8;
    dib.MirrorHorizontal();
    EXPECT_EQ(dib.GetBits(), (std::vector<std::uint8_t>{0xFF, 0xF8, 0, 0}));
    dib.GetBits()[0] = 0x80;
    dib.GetBits()[1] = 0x00;
    dib.MirrorHorizontal();
    EXPECT_EQ(dib.GetBits(), (std::vector<std::uint8_t>{0x00, 0x08, 0, 0}));
}

// A picture of a depth no file gives, as pixels made by hand may have.
class TwoBitPicture : public TkDib {
public:
    TwoBitPicture() { Allocate(3, 3, 2, 4); }
};

class RecordingBoxes : public MessageBoxProvider {
public:
    int Show(HWND, const std::string& text, const std::string&, UINT) override {
        shown.push_back(text);
        return 1;
    }
    std::vector<std::string> shown;
};

TEST(TkDib, RotatingAnUnsupportedDepthSaysSoAndChangesNothing) {
    RecordingBoxes boxes;
    MessageBoxProvider* previous = SetMessageBoxProvider(&boxes);
    TwoBitPicture picture;
    const std::vector<std::uint8_t> bits = picture.GetBits();
    EXPECT_FALSE(picture.Rotate90(true));
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Rotate90: Error, unsupported format."});
    EXPECT_EQ(picture.GetBits(), bits);
    EXPECT_EQ(picture.GetWidth(), 3);
    SetMessageBoxProvider(previous);
}

TEST(TkDib, CropClipsTheRectangleToThePicture) {
    TempDir folder;
    WriteFile(folder.File("in.bmp"), MakeBmp(BmpSpec{10, 8, 4}));
    TkDib dib;
    ASSERT_TRUE(dib.LoadImage(folder.File("in.bmp")));
    ASSERT_TRUE(dib.Crop(6, 5, 20, 20));
    EXPECT_EQ(dib.GetWidth(), 4);
    EXPECT_EQ(dib.GetHeight(), 3);
    EXPECT_EQ(dib.GetHeader().biWidth, 4) << "header and picture agree";
    EXPECT_EQ(dib.GetHeader().biHeight, 3);
    ASSERT_TRUE(dib.SaveImage(folder.File("crop.bmp")));
    QImage crop(QString::fromStdString(folder.File("crop.bmp")));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Rgb(crop.pixel(x, y)), test::ExpectedColour(x + 6, y + 5, 4));
    EXPECT_FALSE(dib.Crop(10, 0, 5, 5));
    EXPECT_EQ(dib.GetWidth(), 4);
}

TEST(TkDib, ContrastFollowsItsCurveAndLeavesTheEndsAndTheMiddle) {
    const std::uint8_t greys[] = {0, 64, 127, 128, 192, 255};
    const std::uint8_t raised[] = {0, 51, 127, 128, 205, 255};
    const std::uint8_t lowered[] = {0, 77, 127, 128, 179, 255};
    TempDir folder;
    for (const auto& [direction, expected] :
         {std::pair{std::int16_t(1), raised}, {std::int16_t(-1), lowered}}) {
        for (std::uint16_t depth : {8, 24}) {
            SCOPED_TRACE(testing::Message() << direction << " at " << depth << " bits");
            WriteFile(folder.File("in.bmp"), MakeBmp(BmpSpec{6, 1, depth}));
            TkDib dib;
            ASSERT_TRUE(dib.LoadImage(folder.File("in.bmp")));
            for (int i = 0; i < 6; ++i) {
                if (depth == 8) {
                    dib.GetColourTable()[i] = {greys[i], greys[i], greys[i], 0};
                } else {
                    std::fill_n(dib.GetBits().begin() + 3 * i, 3, greys[i]);
                }
            }
            dib.AdjustContrast(direction);
            for (int i = 0; i < 6; ++i) {
                const std::uint8_t value =
                    depth == 8 ? dib.GetColourTable()[i].rgbGreen : dib.GetBits()[3 * i + 1];
                EXPECT_EQ(value, expected[i]) << "grey " << int(greys[i]);
            }
        }
    }
}

TEST(TkDib, ArchivesHoldThePictureInBmpLayout) {
    TempDir folder;
    WriteFile(folder.File("in.bmp"), MakeBmp(BmpSpec{3, 2, 4}));
    TkDib dib;
    ASSERT_TRUE(dib.LoadImage(folder.File("in.bmp")));
    ArchiveWriter writer;
    dib.Serialize(writer);
    const std::string expected = ReadFile(folder.File("in.bmp"));
    EXPECT_EQ(writer.Data().size(), expected.size());
    TkDib copy;
    ArchiveReader reader(writer.Data());
    ASSERT_TRUE(copy.Serialize(reader));
    EXPECT_EQ(copy.GetBits(), dib.GetBits());
    std::vector<std::uint8_t> cut(writer.Data().begin(), writer.Data().end() - 1);
    ArchiveReader shortReader(cut);
    EXPECT_FALSE(copy.Serialize(shortReader));
    EXPECT_EQ(copy.GetBits(), dib.GetBits()) << "kept";
}

// A window whose paint draws two pictures: one by Draw, one made into a bitmap by MakeBitmap.
class TkDibWindow : public ::testing::Test {
protected:
    static inline TkDib* drawn = nullptr;
    static inline HBITMAP made = nullptr;

    static LRESULT Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_PAINT) return DefWindowProc(window, message, wParam, lParam);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT all{0, 0, 200, 100};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (drawn) drawn->Draw(dc, 10, 10, 60, 40);
        if (made) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, made);
            BitBlt(dc, 100, 10, 13, 5, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EndPaint(window, &ps);
        return 0;
    }

    void SetUp() override {
        WNDCLASS wc;
        wc.lpfnWndProc = Paint;
        wc.lpszClassName = "TkDibView";
        RegisterClass(wc);
    }
    void TearDown() override {
        SetPaletteScreen(false);
        drawn = nullptr;
        if (made) DeleteObject(made);
        made = nullptr;
    }
};

TEST_F(TkDibWindow, DrawnAndMadePicturesShowTheirPixels) {
    TempDir folder;
    WriteFile(folder.File("a.bmp"), MakeBmp(BmpSpec{6, 4, 8}));
    WriteFile(folder.File("b.bmp"), MakeBmp(BmpSpec{13, 5, 24}));
    TkDib first, second;
    ASSERT_TRUE(first.LoadImage(folder.File("a.bmp")));
    ASSERT_TRUE(second.LoadImage(folder.File("b.bmp")));
    HWND window = CreateWindowEx(0, "TkDibView", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, 0, 0, nullptr);
    HDC screen = GetDC(window);
    made = second.MakeBitmap(screen);
    ReleaseDC(window, screen);
    drawn = &first;
    InvalidateRect(window, nullptr, TRUE);
    OffscreenHarness::RunUntilIdle();
    auto colour = [](std::uint32_t rgb) { return RGB(rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF); };
    // Each source pixel of the 6 x 4 picture covers 10 x 10 window pixels.
    for (const auto& [x, y] : {std::pair{0, 0}, {5, 0}, {2, 3}, {5, 3}})
        EXPECT_EQ(OffscreenHarness::Pixel(window, 15 + 10 * x, 15 + 10 * y),
                  colour(test::ExpectedColour(x, y, 8)));
    for (const auto& [x, y] : {std::pair{0, 0}, {12, 0}, {7, 4}})
        EXPECT_EQ(OffscreenHarness::Pixel(window, 100 + x, 10 + y), colour(test::ExpectedColour(x, y, 24)));
    EXPECT_EQ(OffscreenHarness::Pixel(window, 150, 80), RGB(255, 255, 255));
    OffscreenHarness::SaveScreenshot(window, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/tkdib-draw.png");
    DestroyWindow(window);
}

TEST_F(TkDibWindow, OnAnEightBitScreenAShrunkPictureIsHalftoned) {
    TempDir folder;
    std::string twoPixels = MakeBmp(BmpSpec{2, 1, 24});
    // Black then white.
    twoPixels.replace(54, 6, std::string("\0\0\0\xff\xff\xff", 6));
    WriteFile(folder.File("bw.bmp"), twoPixels);
    for (bool palette : {false, true}) {
        SCOPED_TRACE(palette ? "8-bit screen" : "true colour");
        SetPaletteScreen(palette);
        TkDib dib;
        ASSERT_TRUE(dib.LoadImage(folder.File("bw.bmp")));
        EXPECT_EQ(dib.NeedsHalftone(), palette);
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP target = CreateBitmap(1, 1, 1, 32, nullptr);
        HGDIOBJ old = SelectObject(dc, target);
        dib.Draw(dc, 0, 0, 1, 1);
        const COLORREF pixel = GetPixel(dc, 0, 0);
        if (palette)
            EXPECT_EQ(pixel, RGB(128, 128, 128));
        else
            EXPECT_TRUE(pixel == RGB(0, 0, 0) || pixel == RGB(255, 255, 255)) << std::hex << pixel;
        EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE) << "the mode is put back";
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
    }
}

} // namespace
} // namespace vq
