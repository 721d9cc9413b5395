#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/StandardControls.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/ShownTips.h"
#include "tips.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vq {
namespace {

// A strip of picture buttons that relays its pointer moves to a tip of its own, the way the
// toolkit's list-box editor does.
class ButtonStrip : public CWnd {
public:
    CToolTipCtrl tips;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_MOUSEMOVE) tips.RelayEvent(msg);
        return CWnd::PreTranslateMessage(msg);
    }
};

// Sheet tabs drawn in the frame's client area: the first with a title of its own, the second
// and third by command id, their texts from the string table.
class SheetFrame : public CFrameWnd {
public:
    std::intptr_t OnToolHitTest(POINT point, ToolHit* hit) const override {
        if (const std::intptr_t child = CFrameWnd::OnToolHitTest(point, hit); child != -1) return child;
        const RECT tabs[] = {{10, 10, 60, 40}, {70, 10, 120, 40}, {130, 10, 180, 40}};
        for (int i = 0; i < 3; ++i) {
            if (!tabs[i].Contains(point.x, point.y)) continue;
            hit->info.hwnd = m_hWnd;
            hit->info.rect = tabs[i];
            if (i == 0) {
                hit->info.uId = 1;
                hit->text = "A title too long for its tab";
            } else {
                hit->info.uId = i == 1 ? ID_SHOW_TABS : ID_NO_TIP;
                hit->info.lpszText = LPSTR_TEXTCALLBACK;
            }
            return std::intptr_t(hit->info.uId);
        }
        return -1;
    }
};

// A window inside the frame with tips of its own: one tool over all of it.
class Strip : public CWnd {
public:
    std::intptr_t OnToolHitTest(POINT, ToolHit* hit) const override {
        GetClientRect(m_hWnd, &hit->info.rect);
        hit->info.uId = 5;
        hit->text = "Strip";
        return 5;
    }
};

class ToolTipCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        RegisterStandardControls();
    }
    void TearDown() override {
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    // The application's loop: each window on the way up sees the message before it is handled.
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
            if (CWnd::WalkPreTranslateTree(0, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    static void MoveTo(const CWnd& window, POINT client) {
        ClientToScreen(window.m_hWnd, &client);
        OffscreenHarness::MouseMove(client);
        Pump();
    }
    void Wait(int milliseconds) {
        clock.AdvanceMilliseconds(milliseconds);
        Pump();
    }

    // The tips owned by a window that show now, with their texts.
    static std::vector<std::string> ShownTips() { return test::ShownTips(); }
    static int Tips() {
        int n = 0;
        for (HWND w = GetTopWindow(0); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassName(w, name, sizeof name);
            n += std::string(name) == TOOLTIPS_CLASS;
        }
        return n;
    }

    ManualMonotonicClock clock{1'000'000'000};
};

TEST_F(ToolTipCtrlTest, ToolsShowTheirStringsAsTheirWindowRelaysThePointer) {
    auto strip = std::make_unique<ButtonStrip>();
    ASSERT_TRUE(strip->CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 40}, nullptr, 0));
    ASSERT_TRUE(strip->tips.Create(strip.get(), TTS_ALWAYSTIP));
    const RECT newButton{0, 0, 22, 20};
    const RECT deleteButton{22, 0, 44, 20};
    strip->tips.AddTool(strip.get(), IDS_TIP_NEW, &newButton, 1);
    strip->tips.AddTool(strip.get(), IDS_TIP_DELETE, &deleteButton, 2);
    strip->tips.Activate(TRUE);
    EXPECT_EQ(strip->tips.GetToolCount(), 2);

    MoveTo(*strip, {5, 5});
    Wait(500);
    EXPECT_EQ(ShownTips(), std::vector<std::string>{"New (Insert)"});
    MoveTo(*strip, {30, 5});
    Wait(100);
    EXPECT_EQ(ShownTips(), std::vector<std::string>{"Delete (Delete)"});

    // Laid out again: the button moved, and its old place is no tool.
    strip->tips.SetToolRect(strip.get(), 2, RECT{100, 0, 122, 20});
    MoveTo(*strip, {30, 8});
    EXPECT_TRUE(ShownTips().empty());
    MoveTo(*strip, {105, 5});
    Wait(500);
    EXPECT_EQ(ShownTips(), std::vector<std::string>{"Delete (Delete)"});
    strip->tips.DelTool(strip.get(), 2);
    EXPECT_TRUE(ShownTips().empty());

    const int before = Tips();
    strip.reset();
    EXPECT_EQ(Tips(), before - 1) << "the tip goes with its object";
}

TEST_F(ToolTipCtrlTest, AWindowsTipsFollowItsHitTestAndAskTheFrameForCommandTexts) {
    SheetFrame frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr, 0));
    CWnd button;
    ASSERT_TRUE(
        button.Create("Button", "Tabs", WS_CHILD | WS_VISIBLE, RECT{10, 100, 60, 130}, &frame, ID_SHOW_TABS));
    Strip strip;
    ASSERT_TRUE(strip.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{200, 100, 280, 130}, &frame, 9));
    frame.EnableToolTips();
    strip.EnableToolTips();

    struct Step {
        const char* where;
        POINT at;
        int wait;
        std::vector<std::string> shown;
    };
    const Step steps[] = {
        {"a tab with its own text", {20, 20}, 500, {"A title too long for its tab"}},
        {"a command's tip after its line break", {80, 20}, 100, {"Tabs"}},
        {"a command string without a tip", {140, 20}, 1000, {}},
        {"a child window by its control id", {20, 110}, 500, {"Tabs"}},
        {"the child's own tips, not the frame's", {220, 110}, 500, {"Strip"}},
        {"off the child, whose tip looks after a moment", {100, 80}, 100, {}},
        {"the first tab again", {20, 20}, 500, {"A title too long for its tab"}},
        {"no tool: the frame's tip goes at once", {100, 80}, 0, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.where);
        MoveTo(frame, s.at);
        Wait(s.wait);
        EXPECT_EQ(ShownTips(), s.shown);
    }

    const int before = Tips();
    frame.DestroyWindow();
    EXPECT_EQ(Tips(), before - 2) << "the frame's and the strip's tips go with their windows";
}

} // namespace
} // namespace vq
