#include "toolkit/controls/TkMenuButton.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

constexpr COLORREF Face = 0xC0C0C0;

// Opens its menu on the first click only, so a fault that reopens it fails instead of waiting
// for input that never comes.
class CountingMenuButton : public TkMenuButton {
public:
    int clicks = 0;
    void OnClicked() override {
        if (++clicks == 1) TkMenuButton::OnClicked();
    }
};

class TkMenuButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 150}, nullptr, 0));
        menu = CreatePopupMenu();
        AppendMenu(menu, MF_STRING, 7, "&Seven");
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        ReleaseCapture();
        button.DestroyWindow();
        parent.DestroyWindow();
        DestroyMenu(menu);
        OffscreenHarness::RunUntilIdle();
    }

    // The arrow's black pixels in the button's image.
    int ArrowPixels() const {
        int n = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 60; ++x)
                n += OffscreenHarness::Pixel(button.m_hWnd, x, y) == 0 && x > 3 && y > 3 && x < 55 && y < 19;
        return n;
    }

    CWnd parent;
    CountingMenuButton button;
    HMENU menu = nullptr;
};

TEST_F(TkMenuButtonTest, WithoutCaptionTheArrowStandsAloneInTheMiddle) {
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE, RECT{10, 10, 70, 34}, &parent, 5, menu, 0, 0));
    EXPECT_EQ(button.m_nAlignment, TkBitmapButton::BitmapOnly);
    OffscreenHarness::RunUntilIdle();
    // The 7x4 downward arrow: 7 + 5 + 3 + 1 pixels, centred in the 57x21 layout area.
    EXPECT_EQ(ArrowPixels(), 16);
    EXPECT_EQ(button.m_rcBitmap, (RECT{25, 8, 32, 12}));
    EXPECT_EQ(button.m_rcText, (RECT{}));
    button.SetDirection(1);
    EXPECT_EQ(button.m_rcBitmap.Width(), 4);
    EXPECT_EQ(button.m_rcBitmap.Height(), 7);

    // Alone, the window fits the bitmap, the 5 added for the caption, margins and 3.
    button.SizeToContent();
    RECT r;
    GetClientRect(button.m_hWnd, &r);
    EXPECT_EQ(r.Width(), 4 + 10 + 3);
    EXPECT_EQ(r.Height(), 7 + 5 + 10 + 3);
}

TEST_F(TkMenuButtonTest, ACaptionPutsTheArrowOnItsRight) {
    ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, RECT{10, 10, 70, 34}, &parent, 5, menu, 0, 0));
    EXPECT_EQ(button.m_nAlignment, TkBitmapButton::BitmapRight);
    EXPECT_EQ(button.m_rcBitmap, (RECT{57 - 7 - 5, 8, 57 - 5, 12}));
    EXPECT_EQ(button.m_rcText, (RECT{0, 0, 57 - 7 - 5 - 1, 21}));
}

TEST_F(TkMenuButtonTest, AColourChangeReloadsTheBitmapInTheNewFace) {
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE, RECT{10, 10, 70, 34}, &parent, 5, menu, 0, 0));
    OffscreenHarness::RunUntilIdle();
    const POINT besideArrow{button.m_rcBitmap.left + 2 + 0, button.m_rcBitmap.top + 2 + 3};
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, besideArrow.x, besideArrow.y), Face);
    const int index = COLOR_BTNFACE;
    const COLORREF newFace = 0x3060A0;
    SetSysColors(1, &index, &newFace);
    ::vq::SendMessage(parent.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    ::vq::SendMessage(button.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    OffscreenHarness::RunUntilIdle();
    // The bitmap's own light grey pixel, inside the arrow's box, now shows the new face.
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, besideArrow.x, besideArrow.y), newFace);
    EXPECT_EQ(ArrowPixels(), 16);
    SetSysColors(1, &index, &Face);
}

TEST_F(TkMenuButtonTest, ClosingTheMenuByClickingTheButtonDoesNotReopenIt) {
    ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, RECT{10, 10, 70, 34}, &parent, 5, menu, 0, 0));
    OffscreenHarness::RunUntilIdle();
    // The click opens the menu; while its loop runs, a second click on the button closes it.
    OffscreenHarness::MousePress({30, 20});
    OffscreenHarness::MouseRelease({30, 20});
    OffscreenHarness::MousePress({30, 20});
    OffscreenHarness::MouseRelease({30, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(button.GetState() & BST_PUSHED, 0u);
    EXPECT_EQ(GetCapture(), HWND(0));
}

} // namespace
} // namespace vq
