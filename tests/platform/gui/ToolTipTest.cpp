#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/StandardControls.h"
#include "tests/support/TestPaths.h"
#include "tips.h"

#include <cstring>

namespace vq::test {
namespace {

// A top-level window with two rectangle tools (1 with a stored text, 2 asking by TTN_NEEDTEXT)
// and a child window that is a tool of its own (its text a string resource). Both windows relay
// their pointer messages to the tip, as the toolkit's windows do.
class ToolTipTest : public WindowTest {
protected:
    static inline HWND tip = 0;
    static inline std::function<void(NMTTDISPINFO&)> answer;

    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
        child = Make("Spy", WS_CHILD | WS_VISIBLE, {120, 100, 180, 140}, top, 0, 7);
        tip = Make(TOOLTIPS_CLASS, WS_POPUP, {0, 0, 0, 0}, top);
        ASSERT_NE(tip, 0u);
        answer = [](NMTTDISPINFO& info) { info.lpszText = "Beta"; };
        hook = [this](HWND window, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
            if ((window == top || window == child) && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
                MSG msg{window, message, 0, lParam};
                SendMessage(tip, TTM_RELAYEVENT, 0, LPARAM(&msg));
            }
            if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TTN_NEEDTEXT)
                answer(*reinterpret_cast<NMTTDISPINFO*>(lParam));
            return false;
        };
        Add(top, 1, {10, 10, 60, 40}, "Alpha");
        Add(top, 2, {70, 10, 120, 40}, LPSTR_TEXTCALLBACK);
        TOOLINFO byWindow;
        byWindow.uFlags = TTF_IDISHWND;
        byWindow.hwnd = top;
        byWindow.uId = std::uintptr_t(child);
        byWindow.lpszText = MakeTextId(IDS_TIP_NEW);
        SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&byWindow));
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    void TearDown() override {
        hook = nullptr;
        answer = nullptr;
        tip = 0;
        WindowTest::TearDown();
    }

    static void Add(HWND window, std::uintptr_t id, RECT rect, const char* text) {
        TOOLINFO info;
        info.hwnd = window;
        info.uId = id;
        info.rect = rect;
        info.lpszText = text;
        SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&info));
    }

    void MoveTo(HWND window, POINT client) {
        ClientToScreen(window, &client);
        OffscreenHarness::MouseMove(client);
        OffscreenHarness::RunUntilIdle();
    }

    void Wait(int milliseconds) {
        clock.AdvanceMilliseconds(milliseconds);
        OffscreenHarness::RunUntilIdle();
    }

    static bool Shown() { return IsWindowVisible(tip) != FALSE; }

    static std::string ShownText() {
        char text[100] = {};
        GetWindowText(tip, text, sizeof text);
        return Shown() ? text : "";
    }

    // Brings the tip of tool 1 up, from a pointer that was on no tool.
    void ShowFirst() {
        MoveTo(top, {5, 5});
        MoveTo(top, {20, 20});
        Wait(500);
        ASSERT_EQ(ShownText(), "Alpha");
    }

    HWND top = 0;
    HWND child = 0;
};

TEST_F(ToolTipTest, ShowsOnceThePointerRestsAndPopsAfterTheAutopopDelay) {
    MoveTo(top, {20, 20});
    Wait(499);
    // Moving on within the tool starts the initial delay again.
    MoveTo(top, {25, 22});
    Wait(499);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_EQ(ShownText(), "Alpha");
    RECT r;
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.left, 25) << "at the pointer";
    EXPECT_EQ(r.top, 22 + 21) << "below the pointer's arrow";

    Wait(4999);
    EXPECT_TRUE(Shown());
    Wait(1);
    EXPECT_FALSE(Shown());
    // It stays away while the pointer stays on the tool, and comes back once it left and returned.
    MoveTo(top, {30, 30});
    Wait(1000);
    EXPECT_FALSE(Shown());
    MoveTo(top, {65, 50});
    MoveTo(top, {30, 30});
    Wait(500);
    EXPECT_EQ(ShownText(), "Alpha");
}

TEST_F(ToolTipTest, TheNextToolTakesTheReshowDelayAndItsTextComesFromTheAnswer) {
    struct Case {
        const char* name;
        std::function<void(NMTTDISPINFO&)> answer;
        const char* shown;
    };
    const Case cases[] = {
        {"pointer to a text", [](NMTTDISPINFO& i) { i.lpszText = "Beta"; }, "Beta"},
        {"copy into the record", [](NMTTDISPINFO& i) { std::strcpy(i.szText, "Beta copied"); },
         "Beta copied"},
        {"string id", [](NMTTDISPINFO& i) { i.lpszText = MakeTextId(IDS_TIP_DELETE); }, "Delete (Delete)"},
        {"no answer", [](NMTTDISPINFO&) {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answer = c.answer;
        ShowFirst();
        seen.clear();
        MoveTo(top, {80, 20});
        EXPECT_FALSE(Shown()) << "the first tip goes at once";
        Wait(99);
        EXPECT_FALSE(Shown());
        Wait(1);
        EXPECT_EQ(ShownText(), c.shown);
        EXPECT_EQ(MessagesOf(top, {WM_NOTIFY}).size(), 1u) << "asked when about to show";
        Wait(5000);
    }
}

TEST_F(ToolTipTest, TheNotificationNamesTheTipAndTheTool) {
    NMHDR got;
    UINT flags = 99;
    answer = [&](NMTTDISPINFO& info) {
        got = info.hdr;
        flags = info.uFlags;
        info.lpszText = "Beta";
    };
    MoveTo(top, {80, 20});
    Wait(500);
    EXPECT_EQ(got.hwndFrom, tip);
    EXPECT_EQ(got.idFrom, 2u);
    EXPECT_EQ(got.code, TTN_NEEDTEXT);
    EXPECT_EQ(flags, 0u);
}

TEST_F(ToolTipTest, AClickPutsTheTipAwayUntilThePointerLeavesTheTool) {
    ShowFirst();
    POINT p{20, 20};
    ClientToScreen(top, &p);
    OffscreenHarness::MousePress(p);
    OffscreenHarness::MouseRelease(p);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(Shown());
    MoveTo(top, {22, 22});
    Wait(1000);
    EXPECT_FALSE(Shown());

    // A tool that is a window of its own, with its text from the string table.
    MoveTo(child, {10, 10});
    Wait(500);
    EXPECT_EQ(ShownText(), "New (Insert)");
}

TEST_F(ToolTipTest, LeavingForAWindowThatRelaysNothingHidesTheTip) {
    const HWND other = Make("Spy", WS_POPUP, {300, 0, 400, 100});
    ShowWindow(other, SW_SHOWNA);
    ShowFirst();
    MoveTo(other, {10, 10});
    EXPECT_TRUE(Shown());
    Wait(100);
    EXPECT_FALSE(Shown());

    // Without TTS_ALWAYSTIP a tool shows no tip while its window is not the active one.
    SetActiveWindow(other);
    MoveTo(top, {5, 5});
    MoveTo(top, {20, 20});
    Wait(500);
    EXPECT_FALSE(Shown());
    SetWindowLongPtr(tip, GWL_STYLE, GetWindowLongPtr(tip, GWL_STYLE) | TTS_ALWAYSTIP);
    MoveTo(top, {5, 5});
    MoveTo(top, {20, 20});
    Wait(500);
    EXPECT_EQ(ShownText(), "Alpha");
}

TEST_F(ToolTipTest, ToolsAreReplacedMovedAndDeletedAndTheTipCanBeSwitchedOff) {
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
    Add(top, 1, {10, 10, 60, 40}, "Alpha again");
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 3) << "same window and id";
    MoveTo(top, {20, 20});
    Wait(500);
    EXPECT_EQ(ShownText(), "Alpha again");

    TOOLINFO moved;
    moved.hwnd = top;
    moved.uId = 1;
    moved.rect = {10, 150, 60, 190};
    SendMessage(tip, TTM_NEWTOOLRECT, 0, LPARAM(&moved));
    MoveTo(top, {20, 25});
    Wait(1000);
    EXPECT_FALSE(Shown()) << "the old place is no tool now";
    MoveTo(top, {20, 160});
    Wait(500);
    EXPECT_TRUE(Shown());
    SendMessage(tip, TTM_DELTOOL, 0, LPARAM(&moved));
    EXPECT_FALSE(Shown());
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

    SendMessage(tip, TTM_ACTIVATE, FALSE, 0);
    MoveTo(top, {80, 20});
    Wait(1000);
    EXPECT_FALSE(Shown());
    SendMessage(tip, TTM_ACTIVATE, TRUE, 0);
    MoveTo(top, {85, 20});
    Wait(500);
    EXPECT_EQ(ShownText(), "Beta");
}

TEST_F(ToolTipTest, DelaysFollowTheAutomaticValueUnlessSetOneByOne) {
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(1000, 0));
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(300, 0));
    MoveTo(top, {20, 20});
    Wait(999);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_TRUE(Shown());
    MoveTo(top, {80, 20});
    Wait(199);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_TRUE(Shown()) << "reshow is a fifth of the automatic delay";
    Wait(300);
    EXPECT_FALSE(Shown()) << "autopop as set";

    SendMessage(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(-1, 0));
    MoveTo(top, {5, 5});
    MoveTo(top, {20, 20});
    Wait(500);
    EXPECT_TRUE(Shown()) << "back to the double-click time";
}

TEST_F(ToolTipTest, TheTipIsDrawnInTheInfoColoursAroundItsText) {
    ShowFirst();
    RECT r;
    GetWindowRect(tip, &r);
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT text{};
    DrawText(dc, "Alpha", -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(0, dc);
    EXPECT_EQ(r.Width(), text.Width() + 8);
    EXPECT_EQ(r.Height(), text.Height() + 6);

    EXPECT_EQ(OffscreenHarness::Pixel(tip, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(OffscreenHarness::Pixel(tip, r.Width() - 1, r.Height() - 1), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(OffscreenHarness::Pixel(tip, 1, 1), GetSysColor(COLOR_INFOBK));
    int ink = 0;
    for (int y = 1; y < r.Height() - 1; ++y)
        for (int x = 1; x < r.Width() - 1; ++x)
            ink += OffscreenHarness::Pixel(tip, x, y) == GetSysColor(COLOR_INFOTEXT);
    EXPECT_GT(ink, 20);
    EXPECT_TRUE(
        OffscreenHarness::SaveScreenshot(tip, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/tool-tip.png"));
}

} // namespace
} // namespace vq::test
