#include "WindowFixture.h"
#include "platform/gui/StandardControls.h"
#include "tests/support/TestPaths.h"

#include <string>

namespace vq::test {
namespace {

class UpDownTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
        edit = Make("Edit", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, {10, 10, 70, 34}, top, 0, 1);
        spin = Make(UPDOWN_CLASS, WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS,
                    {70, 10, 88, 34}, top, 0, 2);
        SendMessage(spin, UDM_SETRANGE, 0, MAKELPARAM(50, 10));
        SendMessage(spin, UDM_SETPOS32, 0, 30);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    std::string Text() const {
        char buffer[32];
        GetWindowText(edit, buffer, sizeof buffer);
        return buffer;
    }

    // The codes of the WM_VSCROLL the spin sent its parent.
    std::vector<unsigned> Scrolls() const {
        std::vector<unsigned> out;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_VSCROLL && HWND(s.lParam) == spin)
                out.push_back(LOWORD(s.wParam));
        return out;
    }

    // Screen points on the up and down arrows.
    static POINT Up() { return {79, 15}; }
    static POINT Down() { return {79, 29}; }

    void Press(POINT p) {
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(p);
        OffscreenHarness::RunUntilIdle();
    }
    void Release(POINT p) {
        OffscreenHarness::MouseRelease(p);
        OffscreenHarness::RunUntilIdle();
    }

    static void Type(int key, const char* text) {
        OffscreenHarness::Key(key, Qt::NoModifier, QString::fromUtf8(text), true);
        OffscreenHarness::Key(key, Qt::NoModifier, QString::fromUtf8(text), false);
        OffscreenHarness::RunUntilIdle();
    }

    HWND top = 0;
    HWND edit = 0;
    HWND spin = 0;
};

TEST_F(UpDownTest, AClickStepsOnceAndHoldingRepeatsUpToTheBound) {
    EXPECT_EQ(HWND(SendMessage(spin, UDM_GETBUDDY, 0, 0)), edit);
    EXPECT_EQ(Text(), "30");
    EXPECT_TRUE(Scrolls().empty());

    Press(Up());
    EXPECT_EQ(Text(), "31");
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Scrolls(), std::vector<unsigned>{SB_THUMBPOSITION});
    Release(Up());
    EXPECT_EQ(Scrolls(), (std::vector<unsigned>{SB_THUMBPOSITION, SB_ENDSCROLL}));

    // Held: a pause, then a step per repeat until the upper bound, where the steps stop.
    seen.clear();
    Press(Up());
    EXPECT_EQ(Text(), "32");
    clock.AdvanceMilliseconds(399);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Text(), "32");
    for (int i = 0; i < 40; ++i) {
        clock.AdvanceMilliseconds(100);
        OffscreenHarness::RunUntilIdle();
    }
    EXPECT_EQ(Text(), "50");
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 50);
    EXPECT_EQ(Scrolls().size(), 19u);

    // Off the arrow nothing repeats; the release ends the scroll.
    Press(Down());
    OffscreenHarness::MouseMove({150, 80}, Qt::LeftButton);
    for (int i = 0; i < 10; ++i) {
        clock.AdvanceMilliseconds(100);
        OffscreenHarness::RunUntilIdle();
    }
    Release({150, 80});
    EXPECT_EQ(Text(), "49");
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_EQ(Scrolls().back(), SB_ENDSCROLL);
}

TEST_F(UpDownTest, TheBuddysArrowKeysStepAndItsTextIsReadBack) {
    SetFocus(edit);
    Type(Qt::Key_Down, "");
    EXPECT_EQ(Text(), "29");
    EXPECT_EQ(Scrolls(), std::vector<unsigned>{SB_THUMBPOSITION});

    // Typed numbers: inside the range taken, outside clamped, no number keeps the position; the
    // last two flag the error.
    const struct {
        const char* typed;
        int position;
        BOOL error;
    } cases[] = {{"12", 12, FALSE}, {"70", 50, TRUE}, {"-3", 10, TRUE}, {"4x", 10, TRUE}, {"", 10, TRUE}};
    for (const auto& c : cases) {
        SendMessage(edit, EM_SETSEL, 0, -1);
        Type(Qt::Key_Delete, "");
        for (const char* p = c.typed; *p; ++p)
            Type(Qt::Key_0 + (*p - '0'), std::string(1, *p).c_str());
        EXPECT_EQ(Text(), c.typed);
        BOOL error = 2;
        EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, LPARAM(&error)), c.position) << c.typed;
        EXPECT_EQ(error, c.error) << c.typed;
        EXPECT_EQ(HIWORD(std::uintptr_t(SendMessage(spin, UDM_GETPOS, 0, 0))) != 0, c.error != FALSE)
            << c.typed;
    }
    // The text stays as typed; a step starts from what was read.
    EXPECT_EQ(Text(), "");
    Type(Qt::Key_Up, "");
    EXPECT_EQ(Text(), "11");
}

TEST_F(UpDownTest, RangesTheirBoundsAndOrder) {
    // The 16-bit message takes the upper bound in the low word, so 60000 does not fit there.
    int lower = 0, upper = 0;
    SendMessage(spin, UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
    EXPECT_EQ(std::pair(lower, upper), std::pair(10, 50));
    EXPECT_EQ(SendMessage(spin, UDM_GETRANGE, 0, 0), MAKELPARAM(50, 10));
    SendMessage(spin, UDM_SETRANGE, 0, MAKELPARAM(60000, 100));
    SendMessage(spin, UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
    EXPECT_EQ(upper, 60000 - 65536);

    SendMessage(spin, UDM_SETRANGE32, 100, 60000);
    EXPECT_EQ(SendMessage(spin, UDM_SETPOS32, 0, 59999), 30);
    EXPECT_EQ(Text(), "59999");
    Press(Up());
    Release(Up());
    Press(Up());
    Release(Up());
    EXPECT_EQ(Text(), "60000");
    EXPECT_EQ(SendMessage(spin, UDM_SETPOS32, 0, 99), 60000);
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 100);
    SetWindowText(edit, "60001");
    BOOL error = FALSE;
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, LPARAM(&error)), 60000);
    EXPECT_TRUE(error);

    // Upper below lower: the up arrow moves toward the upper bound, down.
    SendMessage(spin, UDM_SETRANGE32, 10, 0);
    SendMessage(spin, UDM_SETPOS32, 0, 5);
    Press(Up());
    Release(Up());
    EXPECT_EQ(Text(), "4");
}

TEST_F(UpDownTest, EitherWindowMayGoFirst) {
    // The buddy's own procedure comes back when the spin lets it go.
    const auto editProc = reinterpret_cast<std::intptr_t>(&EditProc);
    const HWND other = Make("Edit", WS_CHILD | WS_VISIBLE, {100, 10, 150, 30}, top, 0, 3);
    EXPECT_EQ(HWND(SendMessage(spin, UDM_SETBUDDY, WPARAM(other), 0)), edit);
    EXPECT_EQ(GetWindowLongPtr(edit, GWLP_WNDPROC), editProc);
    EXPECT_EQ(Text(), "30");
    DestroyWindow(other);
    EXPECT_EQ(SendMessage(spin, UDM_GETBUDDY, 0, 0), 0);
    Press(Up());
    Release(Up());
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 31);

    SendMessage(spin, UDM_SETBUDDY, WPARAM(edit), 0);
    DestroyWindow(spin);
    EXPECT_EQ(GetWindowLongPtr(edit, GWLP_WNDPROC), editProc);
    SetFocus(edit);
    Type(Qt::Key_Up, "");
    EXPECT_EQ(Text(), "31");
}

// A parent may close the spin from its first step; nothing repeats and the buddy is let go.
TEST_F(UpDownTest, AParentMayDestroyTheSpinWhileTold) {
    hook = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (h != top || m != WM_VSCROLL) return false;
        DestroyWindow(spin);
        r = 0;
        return true;
    };
    Press(Up());
    EXPECT_FALSE(IsWindow(spin));
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::RunUntilIdle();
    Release(Up());
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_EQ(GetWindowLongPtr(edit, GWLP_WNDPROC), reinterpret_cast<std::intptr_t>(&EditProc));
    EXPECT_EQ(Text(), "31");
}

// The last spin to take a buddy gets its keys; the first one going leaves them with it.
TEST_F(UpDownTest, TwoSpinsOneBuddy) {
    const HWND second = Make(UPDOWN_CLASS, WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS,
                             {100, 10, 118, 34}, top, 0, 4);
    SendMessage(second, UDM_SETRANGE32, 0, 100);
    SendMessage(second, UDM_SETPOS32, 0, 70);
    SendMessage(second, UDM_SETBUDDY, WPARAM(edit), 0);
    EXPECT_EQ(Text(), "70");
    DestroyWindow(spin);
    SetFocus(edit);
    Type(Qt::Key_Up, "");
    EXPECT_EQ(Text(), "71");
    DestroyWindow(second);
    EXPECT_EQ(GetWindowLongPtr(edit, GWLP_WNDPROC), reinterpret_cast<std::intptr_t>(&EditProc));
}

TEST_F(UpDownTest, ArrowsAreDrawnAndTheHeldOnePushed) {
    // Window coordinates: the up arrow's half is 12 pixels high, the down arrow's below it.
    // Ink inside the edges: a triangle pointing up has more of it in its lower half.
    const auto inkIn = [&](int x0, int x1, int y0, int y1, COLORREF colour = GetSysColor(COLOR_BTNTEXT)) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y)
                n += OffscreenHarness::Pixel(spin, x, y) == colour;
        return n;
    };
    const int upTop = inkIn(2, 16, 2, 6), upBottom = inkIn(2, 16, 6, 10);
    const int downTop = inkIn(2, 16, 14, 18), downBottom = inkIn(2, 16, 18, 22);
    EXPECT_GT(upTop + upBottom, 0);
    EXPECT_GT(upBottom, upTop);
    EXPECT_GT(downTop, downBottom);
    // Raised: light above and left, dark below and right.
    EXPECT_EQ(OffscreenHarness::Pixel(spin, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(OffscreenHarness::Pixel(spin, 16, 10), GetSysColor(COLOR_BTNSHADOW));

    // Held: the up arrow lies flat in a shadow frame, its glyph shifted; the down arrow stays raised.
    Press(Up());
    EXPECT_EQ(OffscreenHarness::Pixel(spin, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(OffscreenHarness::Pixel(spin, 1, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(OffscreenHarness::Pixel(spin, 1, 13), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(inkIn(2, 16, 2, 6) + inkIn(2, 16, 6, 10), upTop + upBottom);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(top, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                          "/up-down-pressed.png"));
    Release(Up());
    EXPECT_EQ(OffscreenHarness::Pixel(spin, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));

    EnableWindow(spin, FALSE);
    OffscreenHarness::RunUntilIdle();
    // Disabled: grey arrows.
    EXPECT_EQ(inkIn(2, 16, 2, 10) + inkIn(2, 16, 14, 22), 0);
    EXPECT_EQ(inkIn(2, 16, 2, 10, GetSysColor(COLOR_GRAYTEXT)), upTop + upBottom);
    EXPECT_TRUE(
        OffscreenHarness::SaveScreenshot(top, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/up-down.png"));
}

} // namespace
} // namespace vq::test
