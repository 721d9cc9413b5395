#include "ToolBarFixture.h"
#include "toolkit/controls/TkSysMetrics.h"

namespace vq::test {
namespace {

class ToolBarMouseTest : public ToolBarTest {
protected:
    TkCustomToolBar* bar = nullptr;

    void SetUp() override {
        ToolBarTest::SetUp();
        AddBar(100, {ID_TB_BLACK, ID_TB_BLUE, 0, ID_TB_GREY});
        AddBar(101, {ID_TB_GREY, ID_TB_LINE});
        ASSERT_TRUE(manager->CreateDefaultBars());
        Layout();
        bar = Bar(100);
        frame->seen.clear();
    }

    POINT ButtonCentre(TkCustomToolBar* which, int index) const {
        return Screen(which->m_hWnd, Centre(which->GetButtonRect(index)));
    }
    void Click(TkCustomToolBar* which, int index) {
        clock.AdvanceMilliseconds(1000);
        const POINT p = ButtonCentre(which, index);
        OffscreenHarness::MousePress(p);
        OffscreenHarness::MouseRelease(p);
        OffscreenHarness::RunUntilIdle();
    }
    std::vector<WPARAM> Prompts() const {
        std::vector<WPARAM> out;
        for (const auto& s : frame->Of(WM_SETMESSAGESTRING))
            out.push_back(s.wParam);
        return out;
    }
};

TEST_F(ToolBarMouseTest, AReleaseOnTheButtonPostsItsCommandOnce) {
    const POINT on = ButtonCentre(bar, 0);
    const POINT off{on.x, on.y + 200};
    struct Case {
        const char* name;
        std::vector<POINT> path;
        bool posts;
    };
    for (const Case& c : {Case{"out and back", {off, on}, true}, Case{"released outside", {off}, false}}) {
        SCOPED_TRACE(c.name);
        frame->seen.clear();
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(on);
        for (POINT p : c.path)
            OffscreenHarness::MouseMove(p, Qt::LeftButton);
        OffscreenHarness::MouseRelease(c.path.back());
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(Prompts(), (std::vector<WPARAM>{ID_TB_BLACK, AFX_IDS_IDLEMESSAGE}));
        const auto commands = frame->Of(WM_COMMAND);
        ASSERT_EQ(commands.size(), c.posts ? 1u : 0u);
        if (c.posts) {
            EXPECT_EQ(commands[0].wParam, WPARAM(ID_TB_BLACK));
            EXPECT_FALSE(commands[0].duringCommand) << "posted, so it arrives after the bar is done";
        }
        EXPECT_FALSE(bar->GetButtonStyle(0) & TKBS_PRESSED);
        EXPECT_EQ(bar->m_nCurrent, -1);
    }
}

TEST_F(ToolBarMouseTest, ACheckBoxTogglesOnEveryBarAndClearsIndeterminate) {
    TkCustomToolBar* other = Bar(101);
    const int here = bar->IndexOfCommand(ID_TB_GREY), there = other->IndexOfCommand(ID_TB_GREY);
    bar->SetButtonStyle(here, TKBS_CHECKBOX | TKBS_INDETERMINATE);
    other->SetButtonStyle(there, TKBS_CHECKBOX);
    for (bool checked : {true, false, true}) {
        Click(bar, here);
        for (const auto& [b, i] : {std::pair{bar, here}, std::pair{other, there}}) {
            EXPECT_EQ((b->GetButtonStyle(i) & TKBS_CHECKED) != 0, checked) << b->GetDlgCtrlID();
            EXPECT_FALSE(b->GetButtonStyle(i) & TKBS_INDETERMINATE);
        }
    }
    EXPECT_EQ(frame->Of(WM_COMMAND).size(), 3u);
}

TEST_F(ToolBarMouseTest, ADropDownButtonNotifiesAndPostsNothing) {
    bar->SetButtonStyle(1, TKBS_DROPDOWN);
    Click(bar, 1);
    std::vector<ToolBarFrame::Seen> drops;
    for (const auto& s : frame->Of(WM_NOTIFY))
        if (s.code == TBN_DROPDOWN) drops.push_back(s);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].item, std::int32_t(ID_TB_BLUE));
    EXPECT_EQ(drops[0].index, 1);
    EXPECT_TRUE(drops[0].duringCommand);
    EXPECT_TRUE(frame->Of(WM_COMMAND).empty());
    EXPECT_FALSE(bar->GetButtonStyle(1) & TKBS_PRESSED);
}

TEST_F(ToolBarMouseTest, PressingADisabledButtonDragsTheBar) {
    bar->SetButtonStyle(0, TKBS_DISABLED);
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(ButtonCentre(bar, 0));
    OffscreenHarness::MouseMove({420, 300}, Qt::LeftButton);
    OffscreenHarness::MouseMove({400, 320}, Qt::LeftButton);
    OffscreenHarness::MouseRelease({400, 320});
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(bar->IsFloating());
    EXPECT_TRUE(frame->Of(WM_COMMAND).empty());
    // The drag shows its own hint, never the button's prompt.
    for (WPARAM prompt : Prompts())
        EXPECT_NE(prompt, WPARAM(ID_TB_BLACK));
}

TEST_F(ToolBarMouseTest, TheHotFrameLeavesWithThePointerWithinOneTick) {
    manager->SetCoolLook(TRUE, kCoolLookBits);
    Layout();
    const TkSysMetrics& m = tkSysMetrics;
    auto corner = [&] {
        const RECT r = bar->GetButtonRect(0);
        return OffscreenHarness::Pixel(bar->m_hWnd, r.left, r.top);
    };
    EXPECT_EQ(corner(), m.m_crButtonFace);
    OffscreenHarness::MouseMove(ButtonCentre(bar, 0));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(corner(), m.m_crButtonHighlight);
    EXPECT_EQ(bar->m_nHot, 0);
    // Disabled buttons and separators never become hot.
    bar->SetButtonStyle(1, TKBS_DISABLED);
    for (int index : {1, 2}) {
        OffscreenHarness::MouseMove(ButtonCentre(bar, index));
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(bar->m_nHot, -1) << index;
    }
    OffscreenHarness::MouseMove(ButtonCentre(bar, 0));
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(bar->m_nHot, 0);

    // Onto another window: the bar hears nothing until its timer looks.
    POINT pane{320, 300};
    ClientToScreen(frame->m_hWnd, &pane);
    OffscreenHarness::MouseMove(pane);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar->m_nHot, 0);
    clock.AdvanceMilliseconds(100);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar->m_nHot, -1);
    EXPECT_EQ(corner(), m.m_crButtonFace);
    EXPECT_FALSE(KillTimer(bar->m_hWnd, kHotTimerId)) << "the timer is gone with the hot button";
}

} // namespace
} // namespace vq::test
