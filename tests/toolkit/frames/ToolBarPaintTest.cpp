#include "ToolBarFixture.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/controls/TkSysMetrics.h"

namespace vq::test {
namespace {

// One bar per look, a button in every state: normal, pressed, checked, disabled, disabled and
// checked, indeterminate, a separator, a command without image, hot, customise-selected, pressed
// and disabled.
enum : int {
    kNormal,
    kPressed,
    kChecked,
    kDisabled,
    kDisabledChecked,
    kIndeterminate,
    kSeparator,
    kNoImage,
    kHot,
    kSelected,
    kPressedDisabled
};

class ToolBarPaintTest : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        std::vector<UINT> ids(11, ID_TB_BLACK);
        ids[kSeparator] = 0;
        ids[kNoImage] = ID_TB_NOIMAGE;
        AddBar(100, ids);
        AddBar(101, ids);
        ASSERT_TRUE(manager->CreateDefaultBars());
        TkCustomToolBar* cool = Bar(101);
        cool->SetExBarStyle(cool->m_dwExStyle | kCoolLookBits, FALSE);
        cool->m_bDirtyHorz = TRUE;
        for (TkCustomToolBar* bar : {Bar(100), Bar(101)}) {
            const std::pair<int, DWORD> states[] = {{kPressed, TKBS_PRESSED},
                                                    {kChecked, TKBS_CHECKED},
                                                    {kDisabled, TKBS_DISABLED},
                                                    {kDisabledChecked, TKBS_DISABLED | TKBS_CHECKED},
                                                    {kIndeterminate, TKBS_INDETERMINATE},
                                                    {kHot, TKBS_HOT},
                                                    {kSelected, TKBS_CUSTOMSELECTED},
                                                    {kPressedDisabled, TKBS_PRESSED | TKBS_DISABLED}};
            for (auto [index, bits] : states)
                bar->SetButtonStyle(index, bar->GetButtonStyle(index) | bits);
        }
        Layout();
    }

    static COLORREF At(TkCustomToolBar* bar, int index, std::int32_t x, std::int32_t y) {
        const RECT r = bar->GetButtonRect(index);
        return OffscreenHarness::Pixel(bar->m_hWnd, r.left + x, r.top + y);
    }
};

TEST_F(ToolBarPaintTest, EveryStateInBothLooks) {
    const TkSysMetrics& m = tkSysMetrics;
    const COLORREF black = RGB(0, 0, 0);
    Save(frame->m_hWnd, "toolbar-button-states");
    for (TkCustomToolBar* bar : {Bar(100), Bar(101)}) {
        const bool cool = bar->IsCoolLook();
        SCOPED_TRACE(cool ? "cool look" : "classic look");
        ASSERT_EQ(bar->GetButtonRect(kNormal).Width(), 23);
        ASSERT_EQ(bar->GetButtonRect(kNormal).Height(), 22);
        ASSERT_EQ(bar->GetButtonRect(kSeparator).Width(), 8);

        // The image's corner: (3, 3), and (4, 4) when pressed or checked. Its ink starts at (5, 4).
        EXPECT_EQ(At(bar, kNormal, 8, 7), black);
        EXPECT_EQ(At(bar, kNormal, 7, 7), m.m_crButtonFace);
        EXPECT_EQ(At(bar, kNormal, 8, 6), m.m_crButtonFace);
        for (int index : {kPressed, kChecked}) {
            EXPECT_EQ(At(bar, index, 9, 8), black) << index;
            EXPECT_NE(At(bar, index, 8, 7), black) << index;
        }
        // Pressed draws no overlay, disabled or not.
        EXPECT_EQ(At(bar, kPressedDisabled, 9, 8), black);
        // Disabled: the ink in shadow, and in highlight one pixel down and right of it.
        EXPECT_EQ(At(bar, kDisabled, 8, 7), m.m_crButtonShadow);
        EXPECT_EQ(At(bar, kDisabled, 14, 13), m.m_crButtonHighlight);
        EXPECT_EQ(At(bar, kDisabled, 15, 14), m.m_crButtonFace);
        // Checked and indeterminate faces show the checkerboard of face and highlight.
        for (int index : {kChecked, kIndeterminate, kDisabledChecked}) {
            const COLORREF a = At(bar, index, 2, 2), b = At(bar, index, 3, 2), c = At(bar, index, 2, 3);
            EXPECT_NE(a, b) << index;
            EXPECT_EQ(b, c) << index;
            for (COLORREF p : {a, b})
                EXPECT_TRUE(p == m.m_crButtonFace || p == m.m_crButtonHighlight) << index;
        }
        EXPECT_EQ(At(bar, kIndeterminate, 8, 7), m.m_crButtonShadow);
        // A command without image keeps a plain face.
        for (std::int32_t y = 3; y < 18; ++y)
            for (std::int32_t x = 3; x < 19; ++x)
                ASSERT_EQ(At(bar, kNoImage, x, y), m.m_crButtonFace) << x << "," << y;
        // The customise selection: a 3-pixel halftone frame, nothing inside it.
        int inverted = 0;
        for (std::int32_t x = 0; x < 3; ++x)
            inverted += At(bar, kSelected, x, 10) == (~At(bar, kNormal, x, 10) & 0xFFFFFF) ? 1 : 0;
        EXPECT_GE(inverted, 1);
        EXPECT_EQ(At(bar, kSelected, 3, 10), At(bar, kNormal, 3, 10));
        if (cool) {
            // Flat: only the hot button has a frame; the separator is an etched line.
            EXPECT_EQ(At(bar, kNormal, 0, 0), m.m_crButtonFace);
            EXPECT_EQ(At(bar, kHot, 0, 0), m.m_crButtonHighlight);
            EXPECT_EQ(At(bar, kHot, 22, 21), m.m_crButtonShadow);
            EXPECT_EQ(At(bar, kSeparator, 3, 5), m.m_crButtonFace);
            EXPECT_EQ(At(bar, kSeparator, 4, 5), m.m_crButtonShadow);
            EXPECT_EQ(At(bar, kSeparator, 5, 5), m.m_crButtonHighlight);
        } else {
            EXPECT_EQ(At(bar, kNormal, 0, 0), m.m_crButtonHighlight);
            EXPECT_EQ(At(bar, kNormal, 22, 21), m.m_crWindowFrame);
            EXPECT_EQ(At(bar, kHot, 0, 0), m.m_crButtonHighlight) << "no hot frame in the classic look";
            EXPECT_EQ(At(bar, kPressed, 0, 0), m.m_crWindowFrame);
            EXPECT_EQ(At(bar, kSeparator, 4, 5), m.m_crButtonFace);
        }
    }
}

TEST_F(ToolBarPaintTest, CustomiseModeDrawsBareFaces) {
    manager->SetCustomizeMode(TRUE);
    OffscreenHarness::RunUntilIdle();
    Save(frame->m_hWnd, "toolbar-customise-mode");
    const TkSysMetrics& m = tkSysMetrics;
    for (TkCustomToolBar* bar : {Bar(100), Bar(101)}) {
        const bool cool = bar->IsCoolLook();
        SCOPED_TRACE(cool ? "cool look" : "classic look");
        for (int index : {kNormal, kPressed, kChecked, kDisabled, kHot}) {
            // Neither frame nor overlay: the image at (3, 3) in black, cool faces flat, classic raised.
            EXPECT_EQ(At(bar, index, 8, 7), RGB(0, 0, 0)) << index;
            EXPECT_EQ(At(bar, index, 0, 0), cool ? m.m_crButtonFace : m.m_crButtonHighlight) << index;
            EXPECT_EQ(At(bar, index, 2, 2), m.m_crButtonFace) << index;
        }
    }
}

TEST_F(ToolBarPaintTest, ANewFaceColourReachesImagesAndCheckerboards) {
    const COLORREF before = GetSysColor(COLOR_BTNFACE);
    const COLORREF face = RGB(200, 220, 240);
    const int index = COLOR_BTNFACE;
    SetSysColors(1, &index, &face);
    OffscreenHarness::RunUntilIdle();
    Save(frame->m_hWnd, "toolbar-new-face-colour");
    for (TkCustomToolBar* bar : {Bar(100), Bar(101)}) {
        // The image's light grey is reloaded as the new face; the checkerboard is made of it too.
        EXPECT_EQ(At(bar, kNormal, 3, 3), face);
        EXPECT_EQ(At(bar, kNormal, 8, 7), RGB(0, 0, 0));
        const COLORREF a = At(bar, kChecked, 2, 2), b = At(bar, kChecked, 3, 2);
        EXPECT_TRUE((a == face && b == tkSysMetrics.m_crButtonHighlight) ||
                    (b == face && a == tkSysMetrics.m_crButtonHighlight));
    }
    SetSysColors(1, &index, &before);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(tkSysMetrics.m_crButtonFace, before);
}

} // namespace
} // namespace vq::test
