#include "GdiFixture.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vq::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A header with room for a full colour table.
struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];

    Info(std::int32_t width, std::int32_t height, int bits, std::initializer_list<COLORREF> table = {}) {
        header.biWidth = width;
        header.biHeight = height;
        header.biBitCount = std::uint16_t(bits);
        header.biClrUsed = std::uint32_t(table.size());
        int i = 0;
        for (COLORREF c : table)
            colours[i++] = {std::uint8_t(GetBValue(c)), std::uint8_t(GetGValue(c)),
                            std::uint8_t(GetRValue(c)), 0};
    }
    const BITMAPINFO* Get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
    BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// Bytes at an offset of one stored row.
struct Stored {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> BytesAt(const std::uint8_t* row, const Stored& s) {
    return {row + s.offset, row + s.offset + s.bytes.size()};
}

TEST(DibSection, CallerAndDrawingShareTheBitsAtEveryDepth) {
    // 5x3 pixels: the caller stores red at (1, 0) by hand, drawing fills (3, 2) red; both are
    // checked in the stored rows, whose stride is the row's bits rounded up to whole words.
    struct Case {
        int bits;
        std::size_t stride;
        Stored written; // pixel (1, 0), as the caller stores red
        Stored drawn;   // pixel (3, 2), as red must be stored
    };
    const Case cases[] = {
        {1, 4, {0, {0x40}}, {0, {0x10}}},
        {4, 4, {0, {0x01}}, {1, {0x01}}},
        {8, 8, {1, {0x01}}, {3, {0x01}}},
        {16, 12, {2, {0x00, 0x7C}}, {6, {0x00, 0x7C}}},
        {24, 16, {3, {0, 0, 0xFF}}, {9, {0, 0, 0xFF}}},
        // The fourth byte is the owner's: it is no part of the colour, and drawing clears it.
        {32, 20, {4, {0, 0, 0xFF, 0xAB}}, {12, {0, 0, 0xFF, 0}}},
    };
    for (const Case& c : cases) {
        for (const bool bottomUp : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.bits << (bottomUp ? " bits bottom-up" : " bits top-down"));
            const Info info(5, bottomUp ? 3 : -3, c.bits, {kBlack, kRed, kGreen});
            void* bits = nullptr;
            HBITMAP section = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &bits, nullptr, 0);
            ASSERT_NE(section, nullptr);
            ASSERT_NE(bits, nullptr);
            auto* bytes = static_cast<std::uint8_t*>(bits);
            auto row = [&](int y) { return bytes + std::size_t(bottomUp ? 2 - y : y) * c.stride; };

            BITMAP bm;
            ASSERT_EQ(GetObject(section, sizeof bm, &bm), int(sizeof bm));
            EXPECT_EQ(bm.bmBits, bits);
            EXPECT_EQ(bm.bmWidthBytes, int(c.stride));
            EXPECT_EQ(bm.bmBitsPixel, c.bits);

            std::memcpy(row(0) + c.written.offset, c.written.bytes.data(), c.written.bytes.size());
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, section);
            ASSERT_NE(old, nullptr);
            EXPECT_EQ(GetPixel(dc, 1, 0), kRed);
            EXPECT_EQ(GetPixel(dc, 2, 0), kBlack);

            HBRUSH red = CreateSolidBrush(kRed);
            const RECT cell{3, 2, 4, 3};
            FillRect(dc, &cell, red);
            DeleteObject(red);
            EXPECT_EQ(BytesAt(row(2), c.drawn), c.drawn.bytes);

            // Into it from a colour bitmap, and out of it stretched.
            MemoryCanvas canvas(10, 6);
            SetPixel(canvas.Dc(), 0, 0, kGreen);
            BitBlt(dc, 4, 2, 1, 1, canvas.Dc(), 0, 0, SRCCOPY);
            EXPECT_EQ(GetPixel(dc, 4, 2), c.bits == 1 ? kBlack : kGreen) << "one bit has no green";
            StretchBlt(canvas.Dc(), 0, 0, 10, 6, dc, 0, 0, 5, 3, SRCCOPY);
            EXPECT_EQ(canvas.At(2, 0), kRed);
            EXPECT_EQ(canvas.At(3, 1), kRed);
            EXPECT_EQ(canvas.At(6, 4), kRed);
            EXPECT_EQ(canvas.At(4, 0), kBlack);

            // Inverting twice gives back every stored byte; whole rows leave the padding alone.
            const std::vector<std::uint8_t> before(bytes, bytes + 3 * c.stride);
            const RECT lower{0, 1, 5, 3};
            DrawFocusRect(dc, &lower);
            EXPECT_NE(std::vector<std::uint8_t>(bytes, bytes + 3 * c.stride), before);
            DrawFocusRect(dc, &lower);
            EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 3 * c.stride), before);
            const RECT all{0, 0, 5, 3};
            InvertRect(dc, &all);
            const std::size_t used = (5 * std::size_t(c.bits) + 7) / 8;
            for (int y = 0; y < 3; ++y)
                for (std::size_t i = used; i < c.stride; ++i)
                    EXPECT_EQ(row(y)[i], 0) << "padding byte " << i << " of row " << y;

            SelectObject(dc, old);
            DeleteDC(dc);
            DeleteObject(section);
        }
    }
}

TEST(DibSection, DibBitsGoInAndComeOutConsistently) {
    // Red appears twice in the table: an index set through the section's own layout stays that index.
    const Info eight(4, 1, 8, {kBlack, kRed, kGreen, kRed, kWhite});
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, eight.Get(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    auto* stored = static_cast<std::uint8_t*>(bits);

    const Info rgb(4, 1, 24);
    const std::uint8_t colours[12] = {0, 0, 255, 0, 255, 0, 255, 255, 255, 255, 0, 0}; // red green white blue
    EXPECT_EQ(SetDIBits(nullptr, section, 0, 1, colours, rgb.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(stored, stored + 4), (std::vector<std::uint8_t>{1, 2, 4, 0}))
        << "colours go to their nearest entry";
    const std::uint8_t indices[4] = {3, 3, 2, 1};
    EXPECT_EQ(SetDIBits(nullptr, section, 0, 1, indices, eight.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(stored, stored + 4), (std::vector<std::uint8_t>{3, 3, 2, 1}));

    Info out(0, 0, 8);
    std::uint8_t back[4] = {};
    EXPECT_EQ(GetDIBits(nullptr, section, 0, 1, back, out.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(back, back + 4), (std::vector<std::uint8_t>{3, 3, 2, 1}));
    EXPECT_EQ(out.header.biWidth, 4);
    EXPECT_EQ(out.header.biClrUsed, 5u);
    EXPECT_EQ(std::memcmp(out.colours, eight.colours, 5 * sizeof(RGBQUAD)), 0);

    Info asRgb(0, 0, 24);
    std::uint8_t rgbBack[12] = {};
    EXPECT_EQ(GetDIBits(nullptr, section, 0, 1, rgbBack, asRgb.Get(), DIB_RGB_COLORS), 1);
    const std::uint8_t expected[12] = {0, 0, 255, 0, 0, 255, 0, 255, 0, 0, 0, 255};
    EXPECT_EQ(std::memcmp(rgbBack, expected, 12), 0);

    // Four bits have no table that says what these pixels are.
    Info four(0, 0, 4);
    EXPECT_EQ(GetDIBits(nullptr, section, 0, 1, back, four.Get(), DIB_RGB_COLORS), 0);
    DeleteObject(section);

    // A monochrome bitmap reads and writes as one bit, black and white.
    HBITMAP mono = CreateBitmap(3, 2, 1, 1, nullptr);
    Info one(3, 2, 1, {kBlack, kWhite});
    const std::uint8_t rows[8] = {0xA0, 0, 0, 0, 0x40, 0, 0, 0};
    EXPECT_EQ(SetDIBits(nullptr, mono, 0, 2, rows, one.Get(), DIB_RGB_COLORS), 2);
    Info oneBack(0, 0, 1);
    std::uint8_t monoBack[8] = {};
    EXPECT_EQ(GetDIBits(nullptr, mono, 0, 2, monoBack, oneBack.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(std::memcmp(monoBack, rows, 8), 0);
    EXPECT_EQ(oneBack.colours[1].rgbRed, 255);
    DeleteObject(mono);
}

TEST(DibSection, MalformedRequestsAreRefused) {
    struct Case {
        const char* what;
        void (*spoil)(Info&);
        UINT usage = DIB_RGB_COLORS;
        bool mapped = false;
    };
    const Case cases[] = {
        {"short header", [](Info& i) { i.header.biSize = 12; }},
        {"no width", [](Info& i) { i.header.biWidth = 0; }},
        {"negative width", [](Info& i) { i.header.biWidth = -4; }},
        {"no height", [](Info& i) { i.header.biHeight = 0; }},
        {"too wide", [](Info& i) { i.header.biWidth = 1 << 20; }},
        {"odd depth", [](Info& i) { i.header.biBitCount = 7; }},
        {"two planes", [](Info& i) { i.header.biPlanes = 2; }},
        {"bit fields", [](Info& i) { i.header.biCompression = 3; }},
        {"palette indices", [](Info&) {}, 1},
        {"file mapping", [](Info&) {}, DIB_RGB_COLORS, true},
    };
    int mapping = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Info info(4, 4, 8, {kBlack, kWhite});
        c.spoil(info);
        void* bits = &mapping;
        EXPECT_EQ(CreateDIBSection(nullptr, info.Get(), c.usage, &bits, c.mapped ? &mapping : nullptr, 0),
                  nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

// A 2x2 bitmap file of 8 bits with a two-colour table: top row red, white; bottom row white, red.
std::vector<std::uint8_t> BitmapFile() {
    std::vector<std::uint8_t> file = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0};
    Info info(2, 2, 8, {kWhite, kRed});
    const auto* header = reinterpret_cast<const std::uint8_t*>(&info);
    file.insert(file.end(), header, header + 40 + 8);
    const std::uint8_t rows[8] = {0, 1, 0, 0, 1, 0, 0, 0};
    file.insert(file.end(), rows, rows + 8);
    return file;
}

std::string WriteFile(const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

TEST(DibSection, BitmapFilesLoadAsSectionsOrColourBitmaps) {
    const std::string path = WriteFile("vq-dib-good.bmp", BitmapFile());
    HBITMAP section =
        LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(section, nullptr);
    BITMAP bm;
    GetObject(section, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 8);
    ASSERT_NE(bm.bmBits, nullptr);
    EXPECT_EQ(static_cast<std::uint8_t*>(bm.bmBits)[4], 1) << "the file's rows, bottom row first";
    EXPECT_EQ(section->bits.ColourTable(), (std::vector<COLORREF>{kWhite, kRed}));

    HBITMAP plain = LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->bits.IsDib());
    for (HBITMAP b : {section, plain}) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, b);
        EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
        EXPECT_EQ(GetPixel(dc, 1, 0), kWhite);
        EXPECT_EQ(GetPixel(dc, 1, 1), kRed);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(b);
    }

    struct Bad {
        const char* what;
        std::size_t at;
        std::uint8_t value;
        std::size_t size;
    };
    const Bad bad[] = {
        {"not a bitmap file", 1, 'X', 70},
        {"pixels cut short", 0, 'B', 69},
        {"pixels before the header's end", 10, 40, 70},
        {"colour table past the pixels", 46, 200, 70},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        auto bytes = BitmapFile();
        bytes[b.at] = b.value;
        bytes.resize(b.size);
        const std::string badPath = WriteFile("vq-dib-bad.bmp", bytes);
        EXPECT_EQ(
            LoadImage(nullptr, badPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION),
            nullptr);
    }
    EXPECT_EQ(LoadImage(nullptr, (testing::TempDir() + "vq-no-such.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                        LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 4, 4, LR_LOADFROMFILE), nullptr) << "no scaling";
    std::filesystem::remove(path);
}

} // namespace
} // namespace vq::test
