#include "toolkit/controls/LoadBitmapWithSysColors.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

// A packed DIB one row high: header (of `headerSize` bytes), colour table, then the row.
std::vector<std::uint8_t> Dib(int width, std::uint16_t bits, std::uint32_t clrUsed, std::uint32_t headerSize,
                              const std::vector<std::uint32_t>& table, const std::vector<std::uint8_t>& row) {
    BITMAPINFOHEADER h;
    h.biSize = headerSize;
    h.biWidth = width;
    h.biHeight = 1;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biClrUsed = clrUsed;
    std::vector<std::uint8_t> out(headerSize, 0);
    std::memcpy(out.data(), &h, sizeof h);
    for (const std::uint32_t rgb : table)
        for (const std::uint8_t b :
             {std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16), std::uint8_t(0)})
            out.push_back(b);
    out.insert(out.end(), row.begin(), row.end());
    return out;
}

std::vector<COLORREF> Row(HBITMAP bitmap, int width) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> pixels;
    for (int x = 0; x < width; ++x)
        pixels.push_back(GetPixel(dc, x, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

class LoadBitmapWithSysColorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int index = COLOR_BTNFACE;
        oldFace = GetSysColor(index);
        const COLORREF face = 0x3060A0;
        SetSysColors(1, &index, &face);
    }
    void TearDown() override {
        const int index = COLOR_BTNFACE;
        SetSysColors(1, &index, &oldFace);
    }
    COLORREF oldFace = 0;
};

TEST_F(LoadBitmapWithSysColorsTest, GreysOfAColourTableTakeTheButtonColours) {
    // Table in 0x00RRGGBB: the four greys and a red; pixels 0..4. COLORREFs read back as 0x00BBGGRR.
    const std::vector<std::uint32_t> table{0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0xFF0000};
    const std::vector<COLORREF> expected{GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNSHADOW), 0x3060A0,
                                         GetSysColor(COLOR_BTNHIGHLIGHT), 0x0000FF};
    const struct {
        const char* name;
        std::uint32_t clrUsed;
        std::uint32_t headerSize;
        int padEntries;
    } cases[] = {{"biClrUsed entries", 5, 40, 0}, {"full table", 0, 40, 11}, {"longer header", 5, 52, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint32_t> full = table;
        full.resize(table.size() + std::size_t(c.padEntries), 0x123456);
        const auto dib = Dib(5, 4, c.clrUsed, c.headerSize, full, {0x01, 0x23, 0x40, 0x00});
        HBITMAP bitmap = nullptr;
        ASSERT_TRUE(LoadBitmapWithSysColors(bitmap, dib.data(), dib.size()));
        EXPECT_EQ(Row(bitmap, 5), expected);
        DeleteObject(bitmap);
    }
}

TEST_F(LoadBitmapWithSysColorsTest, DeeperBitmapsLoadUnchanged) {
    // 24 bits: blue-green-red bytes of light grey and red, row padded to 8 bytes.
    const auto dib = Dib(2, 24, 0, 40, {}, {0xC0, 0xC0, 0xC0, 0x00, 0x00, 0xFF, 0, 0});
    HBITMAP bitmap = nullptr;
    ASSERT_TRUE(LoadBitmapWithSysColors(bitmap, dib.data(), dib.size()));
    EXPECT_EQ(Row(bitmap, 2), (std::vector<COLORREF>{0xC0C0C0, 0x0000FF}));
    DeleteObject(bitmap);
}

TEST_F(LoadBitmapWithSysColorsTest, ResourcesTooShortForWhatTheyClaimFail) {
    const std::vector<std::uint32_t> table(16, 0xC0C0C0);
    const struct {
        const char* name;
        std::vector<std::uint8_t> dib;
    } cases[] = {
        {"no table", Dib(5, 4, 0, 40, {}, {})},
        {"short table", Dib(5, 4, 0, 40, {0, 0, 0}, {0x01, 0x23, 0x40, 0x00})},
        {"short row", Dib(5, 4, 0, 40, table, {0x01, 0x23})},
        {"header only", std::vector<std::uint8_t>(20, 0)},
        {"odd depth", Dib(5, 3, 0, 40, table, {0, 0, 0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP bitmap = nullptr;
        EXPECT_FALSE(LoadBitmapWithSysColors(bitmap, c.dib.data(), c.dib.size()));
        EXPECT_EQ(bitmap, nullptr);
    }
    HBITMAP bitmap = nullptr;
    EXPECT_FALSE(LoadBitmapWithSysColors(bitmap, nullptr, 0));
}

} // namespace
} // namespace vq
