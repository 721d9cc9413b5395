#include "platform/gui/FrameControl.h"

#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <filesystem>

namespace vq {
namespace {

using test::WindowTest;

// Each part drawn into a 20 x 20 cell of one window: a row of push buttons, a row of check boxes
// and one row of arrows per state.
struct Cell {
    UINT controlClass;
    UINT state;
};

constexpr int kCell = 20;
constexpr int kGap = 4;

const std::vector<std::vector<Cell>> kRows = {
    {{DFC_BUTTON, DFCS_BUTTONPUSH},
     {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
     {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT},
     {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED}},
    {{DFC_BUTTON, DFCS_BUTTONCHECK},
     {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
     {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE},
     {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT}},
    {{DFC_SCROLL, DFCS_SCROLLUP},
     {DFC_SCROLL, DFCS_SCROLLDOWN},
     {DFC_SCROLL, DFCS_SCROLLLEFT},
     {DFC_SCROLL, DFCS_SCROLLRIGHT}},
    {{DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED},
     {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED},
     {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_PUSHED},
     {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_PUSHED}},
    {{DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE},
     {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE},
     {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE},
     {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE}},
};

RECT CellRect(std::size_t row, std::size_t column) {
    const int x = kGap + int(column) * (kCell + kGap);
    const int y = kGap + int(row) * (kCell + kGap);
    return {x, y, x + kCell, y + kCell};
}

class FrameControlTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
            if (m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            for (std::size_t row = 0; row < kRows.size(); ++row)
                for (std::size_t col = 0; col < kRows[row].size(); ++col) {
                    RECT r = CellRect(row, col);
                    DrawFrameControl(dc, &r, kRows[row][col].controlClass, kRows[row][col].state);
                }
            EndPaint(h, &ps);
            return true;
        };
        window =
            Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 4 * (kCell + kGap) + kGap, 5 * (kCell + kGap) + kGap});
        OffscreenHarness::RunUntilIdle();
    }

    // A pixel at an offset into a cell.
    COLORREF At(std::size_t row, std::size_t column, int dx, int dy) {
        const RECT r = CellRect(row, column);
        return OffscreenHarness::Pixel(window, r.left + dx, r.top + dy);
    }

    // How many pixels of the cell have the colour.
    int Count(std::size_t row, std::size_t column, COLORREF colour) {
        int n = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                n += At(row, column, x, y) == colour;
        return n;
    }

    HWND window = 0;
};

const COLORREF kFace = RGB(192, 192, 192);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kShadow = RGB(128, 128, 128);
const COLORREF kBlack = RGB(0, 0, 0);

TEST_F(FrameControlTest, PushButtonsAreRaisedSunkenFlatOrChecked) {
    // Raised: light outer top-left, dark shadow outer bottom-right, face inside.
    EXPECT_EQ(At(0, 0, 0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(At(0, 0, 1, 1), kWhite);
    EXPECT_EQ(At(0, 0, 19, 19), kBlack);
    EXPECT_EQ(At(0, 0, 10, 10), kFace);
    // Pushed: sunken, shadow at the top-left.
    EXPECT_EQ(At(0, 1, 0, 0), kShadow);
    EXPECT_EQ(At(0, 1, 1, 1), kBlack);
    EXPECT_EQ(At(0, 1, 19, 19), kWhite);
    // Flat: one shadow line all round.
    EXPECT_EQ(At(0, 2, 0, 0), kShadow);
    EXPECT_EQ(At(0, 2, 19, 19), kShadow);
    EXPECT_EQ(At(0, 2, 1, 1), kFace);
    // Checked: sunken with a face of alternating highlight.
    EXPECT_EQ(At(0, 3, 0, 0), kShadow);
    EXPECT_NE(At(0, 3, 10, 10), At(0, 3, 11, 10));
    EXPECT_EQ(At(0, 3, 10, 10), At(0, 3, 11, 11));

    HDC dc = GetDC(window);
    RECT inner{0, 0, 20, 20};
    DrawFrameControl(dc, &inner, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(inner, (RECT{2, 2, 18, 18}));
    RECT any{0, 0, 20, 20};
    EXPECT_FALSE(DrawFrameControl(dc, &any, 99, 0)) << "unknown class";
    EXPECT_FALSE(DrawFrameControl(dc, &any, DFC_SCROLL, 7)) << "unknown kind";
    ReleaseDC(window, dc);
}

TEST_F(FrameControlTest, CheckBoxesShowTheTickOnlyWhenChecked) {
    EXPECT_EQ(At(1, 0, 0, 0), kShadow) << "sunken box";
    EXPECT_EQ(At(1, 0, 10, 10), kWhite);
    EXPECT_EQ(Count(1, 0, kBlack), 18 + 18 - 3) << "only the inner dark edge, less its corners";
    // The tick: seven columns of three pixels in the window text colour.
    EXPECT_EQ(Count(1, 1, kBlack) - Count(1, 0, kBlack), 21);
    EXPECT_EQ(At(1, 1, 6, 8), kBlack) << "tick's left arm";
    EXPECT_EQ(At(1, 1, 8, 10), kBlack) << "tick's bottom";
    // Inactive: the face behind a grey tick.
    EXPECT_EQ(At(1, 2, 4, 4), kFace);
    EXPECT_EQ(At(1, 2, 8, 10), kShadow);
    // Flat: a single shadow frame round white.
    EXPECT_EQ(At(1, 3, 0, 0), kShadow);
    EXPECT_EQ(At(1, 3, 1, 1), kWhite);
}

TEST_F(FrameControlTest, ArrowsPointTheirWayAndShowPushedAndInactive) {
    // Normal up arrow: a black triangle with its tip above its base, in a raised button.
    EXPECT_EQ(At(2, 0, 0, 0), GetSysColor(COLOR_3DLIGHT));
    const int ink = Count(2, 0, kBlack) - Count(0, 0, kBlack);
    EXPECT_EQ(ink, 1 + 3 + 5 + 7 + 9 + 11);
    EXPECT_EQ(At(2, 0, 10, 8), kBlack) << "tip";
    EXPECT_EQ(At(2, 0, 7, 11), kBlack) << "base";
    EXPECT_NE(At(2, 0, 7, 8), kBlack);
    EXPECT_EQ(At(2, 1, 10, 11), kBlack) << "down: tip below";
    EXPECT_NE(At(2, 1, 7, 11), kBlack);
    EXPECT_EQ(At(2, 2, 8, 10), kBlack) << "left: tip at the left";
    EXPECT_EQ(At(2, 3, 11, 10), kBlack) << "right: tip at the right";
    // Pushed: flat shadow frame, the glyph one pixel down and right.
    EXPECT_EQ(At(3, 0, 0, 0), kShadow);
    EXPECT_EQ(At(3, 0, 19, 19), kShadow);
    EXPECT_EQ(At(3, 0, 11, 9), kBlack);
    EXPECT_NE(At(3, 0, 10, 8), kBlack);
    // Inactive: embossed in shadow over highlight, no black.
    EXPECT_EQ(At(4, 0, 10, 8), kShadow);
    EXPECT_EQ(At(4, 0, 11, 9), kShadow);
    EXPECT_EQ(At(4, 0, 16, 13), kWhite) << "highlight below the base's right end";
    EXPECT_EQ(Count(4, 0, kBlack), Count(0, 0, kBlack));

    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/frame-controls.png";
    std::filesystem::remove(path);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(window, path));
}

} // namespace
} // namespace vq
