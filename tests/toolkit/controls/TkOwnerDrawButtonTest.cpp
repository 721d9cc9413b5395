#include "toolkit/controls/TkOwnerDrawButton.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

constexpr COLORREF Face = 0xC0C0C0, Shadow = 0x808080, Highlight = 0xFFFFFF, Frame = 0x000000;

// Draws an 8×8 face-coloured picture with a black vertical line at its fourth column, and the
// system's dotted focus rectangle.
class PictureButton : public TkOwnerDrawButton {
public:
    int clicks = 0;
    void OnClicked() override { ++clicks; }
    void DrawFocusRect(HDC dc, const RECT& rect) override { ::vq::DrawFocusRect(dc, &rect); }
    void DrawContent(HDC dc, const DRAWITEMSTRUCT*, const RECT& content) override {
        const RECT picture{content.left + 25, content.top + 7, content.left + 33, content.top + 15};
        HBRUSH face = CreateSolidBrush(Face);
        FillRect(dc, &picture, face);
        DeleteObject(face);
        const RECT line{picture.left + 3, picture.top, picture.left + 4, picture.bottom};
        FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
};

class TkOwnerDrawButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100}, nullptr, 0));
        ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, RECT{10, 10, 70, 34}, &parent, 5,
                                  BS_DEFPUSHBUTTON));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        ReleaseCapture();
        button.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }

    COLORREF Pixel(int x, int y) const { return OffscreenHarness::Pixel(button.m_hWnd, x, y); }
    std::vector<COLORREF> Image() const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 60; ++x)
                pixels.push_back(Pixel(x, y));
        return pixels;
    }

    CWnd parent;
    PictureButton button;
};

TEST_F(TkOwnerDrawButtonTest, FramesOfTheReleasedPressedAndDisabledLooks) {
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    const struct {
        int x, y;
        COLORREF colour;
    } released[] = {{30, 0, Highlight}, {30, 23, Frame}, {30, 22, Shadow}, {30, 1, Face}, {0, 12, Highlight}},
      pressed[] = {{30, 0, Frame}, {30, 1, Shadow}, {30, 23, Highlight}, {30, 22, Face}};
    for (const auto& p : released)
        EXPECT_EQ(Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
    button.SetState(TRUE);
    OffscreenHarness::RunUntilIdle();
    for (const auto& p : pressed)
        EXPECT_EQ(Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;

    button.SetState(FALSE);
    OffscreenHarness::RunUntilIdle();
    // The picture's line is at x 29, rows 8 to 15, in the released look.
    EXPECT_EQ(Pixel(29, 10), Frame);
    EnableWindow(button.m_hWnd, FALSE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Pixel(29, 10), Shadow);
    EXPECT_EQ(Pixel(30, 10), Highlight);
    EXPECT_EQ(Pixel(31, 10), Face);
}

TEST_F(TkOwnerDrawButtonTest, FocusDrawsTheDottedRectangleAndItsLossRestoresEveryPixel) {
    const std::vector<COLORREF> before = Image();
    SetFocus(button.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    EXPECT_NE(Image(), before);
    SetFocus(parent.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Image(), before);
}

TEST_F(TkOwnerDrawButtonTest, OnlyAReleaseInsideWithTheCaptureHeldClicks) {
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseMove({120, 20}, Qt::LeftButton);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Pixel(30, 0), Highlight);
    OffscreenHarness::MouseMove({30, 20}, Qt::LeftButton);
    OffscreenHarness::MouseRelease({30, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(button.clicks, 1);

    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseRelease({120, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(button.clicks, 1);

    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::RunUntilIdle();
    SetCapture(parent.m_hWnd);
    OffscreenHarness::MouseRelease({20, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(button.clicks, 1);
    ReleaseCapture();

    SetFocus(button.m_hWnd);
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(button.clicks, 1);
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(button.clicks, 2);
}

TEST_F(TkOwnerDrawButtonTest, StylesStayOwnerDrawnAndOnlyTheFocusedDefaultButtonClaimsEnter) {
    for (const DWORD style : {BS_PUSHBUTTON, BS_DEFPUSHBUTTON}) {
        button.SendMessage(BM_SETSTYLE, style, TRUE);
        EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    }
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE), DLGC_BUTTON);
    SetFocus(button.m_hWnd);
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    button.m_nButtonStyle = BS_PUSHBUTTON;
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE), DLGC_BUTTON);
}

TEST_F(TkOwnerDrawButtonTest, TheOldLookHasTwoRingsInsideACornerlessOutline) {
    button.m_bNewLook = FALSE;
    button.Invalidate();
    OffscreenHarness::RunUntilIdle();
    const struct {
        int x, y;
        COLORREF colour;
    } pixels[] = {{0, 0, Face},       {30, 0, Frame},   {30, 1, Highlight},
                  {30, 2, Highlight}, {30, 22, Shadow}, {30, 21, Shadow}};
    for (const auto& p : pixels)
        EXPECT_EQ(Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

} // namespace
} // namespace vq
