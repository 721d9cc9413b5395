#include "ToolBarFixture.h"
#include "platform/classlib/ToolTipCtrl.h"
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

TEST_F(ToolBarMouseTest, CommandStatesComeFromTheHandlers) {
    const UINT unhandled = 40000, kept = 40001;
    bar->InsertButton(4, unhandled, FALSE, TRUE);
    bar->InsertButton(5, kept, FALSE, TRUE);
    bar->InsertButton(6, ID_TB_LINE, FALSE, TRUE);
    // Inserted without handler, both came in disabled; the flag keeps one enabled from now on.
    bar->SetButtonStyle(5, (bar->GetButtonStyle(5) | TKBS_KEEPENABLED) & ~DWORD(TKBS_DISABLED));
    struct Case {
        int check;
        DWORD line;
    };
    for (const Case& c : {Case{1, TKBS_CHECKBOX | TKBS_CHECKED}, Case{2, TKBS_CHECKBOX | TKBS_INDETERMINATE},
                          Case{0, TKBS_CHECKBOX}}) {
        frame->lineCheck = c.check;
        bar->OnUpdateCmdUI(frame.get(), TRUE);
        EXPECT_FALSE(bar->GetButtonStyle(0) & TKBS_DISABLED);
        EXPECT_TRUE(bar->GetButtonStyle(4) & TKBS_DISABLED) << "no handler";
        EXPECT_FALSE(bar->GetButtonStyle(5) & TKBS_DISABLED) << "kept enabled";
        EXPECT_EQ(bar->GetButtonStyle(6), c.line) << c.check;
    }
}

TEST_F(ToolBarMouseTest, ButtonsAnswerToolTipHitTestsWithTheirCommands) {
    ToolHit hit;
    const RECT r = bar->GetButtonRect(1);
    EXPECT_EQ(bar->OnToolHitTest(Centre(r), &hit), std::intptr_t(ID_TB_BLUE));
    EXPECT_EQ(hit.info.hwnd, bar->m_hWnd);
    EXPECT_EQ(hit.info.uId, std::uintptr_t(ID_TB_BLUE));
    EXPECT_EQ(hit.info.rect, r);
    EXPECT_EQ(hit.info.lpszText, LPSTR_TEXTCALLBACK);
    EXPECT_EQ(bar->OnToolHitTest(Centre(bar->GetButtonRect(2)), nullptr), -1) << "separator";
    bar->SetBarStyle(bar->GetBarStyle() & ~DWORD(CBRS_TOOLTIPS));
    EXPECT_EQ(bar->OnToolHitTest(Centre(r), nullptr), -1) << "tips off";
}

// A rebar stand-in: two bands, the second holding the bar.
class BandHost : public CWnd {
public:
    REBARBANDINFO bands[2];
    int sets = 0;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        auto* band = reinterpret_cast<REBARBANDINFO*>(lParam);
        switch (message) {
        case RB_GETBANDCOUNT:
            *result = 2;
            return TRUE;
        case RB_GETBANDINFO:
            band->hwndChild = bands[wParam].hwndChild;
            band->cxMinChild = bands[wParam].cxMinChild;
            band->cyMinChild = bands[wParam].cyMinChild;
            *result = TRUE;
            return TRUE;
        case RB_SETBANDINFO:
            bands[wParam].cxMinChild = band->cxMinChild;
            bands[wParam].cyMinChild = band->cyMinChild;
            ++sets;
            *result = TRUE;
            return TRUE;
        default:
            return CWnd::OnWndMsg(message, wParam, lParam, result);
        }
    }
};

TEST_F(ToolBarMouseTest, ARowOwnerTellsItsBandItsSizeOnlyWhenItChanged) {
    BandHost host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_CHILD, RECT{0, 0, 1, 1}, frame.get(), 9));
    host.bands[0].cyMinChild = 5;
    host.bands[1].hwndChild = bar->m_hWnd;
    host.bands[1].cyMinChild = 1;
    bar->UpdateReBarBand(&host, SIZE{200, 28});
    EXPECT_EQ(host.sets, 0) << "only a row owner";
    bar->m_dwExStyle |= CBX_ROWOWNER;
    for (int i = 0; i < 2; ++i)
        bar->UpdateReBarBand(&host, SIZE{200, 28});
    EXPECT_EQ(host.sets, 1);
    EXPECT_EQ(host.bands[1].cyMinChild, 28u);
    EXPECT_EQ(host.bands[1].cxMinChild, 200u);
    EXPECT_EQ(host.bands[0].cyMinChild, 5u);
    host.DestroyWindow();
}

TEST_F(ToolBarMouseTest, MenuButtonsMeasureTheirTextAndOpenTheirMenus) {
    static const char* const texts[] = {"&File", "Edit&", "&View"};
    std::vector<TkBtnMapEntry> map;
    for (int i = 0; i < 3; ++i)
        map.push_back({&TkTBMenuBtn::kClass,
                       UINT(500 + i),
                       0x30000000,
                       {700, std::uintptr_t(i), reinterpret_cast<std::uintptr_t>(texts[i]), 1u << i}});
    map.push_back({});
    manager->SetButtonMap(map.data());
    const UINT ids[] = {500, 501, ID_TB_BLACK, 502};
    bar->SetButtons(ids, 4);
    Layout();
    auto* file = dynamic_cast<TkTBMenuBtn*>(bar->GetButtonAt(0));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->m_cMnemonic, 'f');
    EXPECT_EQ(dynamic_cast<TkTBMenuBtn*>(bar->GetButtonAt(1))->m_cMnemonic, 0);
    EXPECT_GT(file->m_cx, 10);
    EXPECT_EQ(bar->GetFirstMenuButton(), 0);
    EXPECT_EQ(bar->GetLastMenuButton(), 3);

    frame->seen.clear();
    bar->BeginMenuMode(0);
    EXPECT_TRUE(bar->IsMenuMode());
    EXPECT_EQ(bar->GetNextMenuButton(TRUE), 1);
    EXPECT_EQ(bar->GetNextMenuButton(FALSE), -1) << "no wrap";
    bar->EndMenuMode();
    Click(bar, 3);
    std::vector<UINT> codes;
    for (const auto& s : frame->Of(WM_NOTIFY))
        codes.push_back(s.code);
    EXPECT_EQ(codes, (std::vector<UINT>{TKN_MENUMODEBEGIN, TKN_MENUMODEEND, TKN_DROPMENU}));
    EXPECT_TRUE(frame->Of(WM_COMMAND).empty()) << "a menu button posts no command";
    EXPECT_EQ(bar->m_nMenuSel, 3);

    // While a menu is open the tracking loop hands the bar its mouse messages.
    auto filter = [&](UINT message, int index) {
        const POINT p = ButtonCentre(bar, index);
        MSG msg;
        msg.message = message;
        msg.lParam = MAKELPARAM(p.x, p.y);
        frame->seen.clear();
        const BOOL consumed = bar->FilterMenuModeMessage(msg);
        std::vector<std::pair<UINT, std::int32_t>> out;
        for (const auto& s : frame->Of(WM_NOTIFY))
            out.emplace_back(s.code, s.item);
        return std::pair{consumed, out};
    };
    using Notices = std::vector<std::pair<UINT, std::int32_t>>;
    EXPECT_EQ(filter(WM_MOUSEMOVE, 3), std::pair(TRUE, Notices{}));
    EXPECT_EQ(filter(WM_MOUSEMOVE, 2), std::pair(TRUE, Notices{{TKN_DROPNOMENU, 502}}));
    EXPECT_EQ(filter(WM_MOUSEMOVE, 0), std::pair(TRUE, Notices{{TKN_DROPMENU, 500}}));
    EXPECT_EQ(bar->m_nMenuSel, 0);
    EXPECT_EQ(filter(WM_LBUTTONDOWN, 0), std::pair(TRUE, Notices{{TKN_DROPNOMENU, 500}}));
    EXPECT_EQ(filter(WM_LBUTTONDOWN, 1), std::pair(FALSE, Notices{}));
    bar->CancelMenuButton();
    EXPECT_EQ(bar->m_nMenuSel, -1);
    manager->SetButtonMap(nullptr);
}

} // namespace
} // namespace vq::test
