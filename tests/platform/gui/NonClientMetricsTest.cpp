#include "platform/gui/NonClientMetrics.h"

#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"

#include <cstring>

namespace vq {
namespace {

using test::WindowTest;

class NonClientMetricsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof original, &original, 0));
    }
    void TearDown() override {
        SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof original, &original, 0);
        WindowTest::TearDown();
    }
    NONCLIENTMETRICS original;
};

TEST_F(NonClientMetricsTest, FontsReadBackAsSetAndMenusDrawWithTheMenuFont) {
    EXPECT_EQ(original.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(original.lfMenuFont.lfFaceName, "MS Sans Serif");
    LOGFONT used;
    GetObject(MenuFont(), sizeof used, &used);
    EXPECT_EQ(used.lfHeight, original.lfMenuFont.lfHeight);

    NONCLIENTMETRICS larger = original;
    larger.lfMenuFont.lfHeight = -16;
    larger.lfMessageFont.lfItalic = 1;
    ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger, 0));
    NONCLIENTMETRICS back;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof back, &back, 0));
    EXPECT_EQ(back.lfMenuFont.lfHeight, -16);
    EXPECT_EQ(back.lfMessageFont.lfItalic, 1);
    GetObject(MenuFont(), sizeof used, &used);
    EXPECT_EQ(used.lfHeight, -16);
}

// How wide a popup of one command opens, measured while its loop runs.
int PopupWidth(HWND owner, ManualMonotonicClock& clock,
               std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>& hook) {
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 1, "Capture from every adapter");
    int width = 0;
    hook = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m != WM_TIMER) return false;
        KillTimer(owner, 1);
        RECT r;
        GetWindowRect(WindowFromPoint(POINT{12, 12}), &r);
        width = r.Width();
        PostMessage(owner, WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    };
    SetTimer(owner, 1, 10, nullptr);
    clock.AdvanceMilliseconds(25);
    TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
    DestroyMenu(menu);
    hook = nullptr;
    return width;
}

TEST_F(NonClientMetricsTest, MenusMeasureTheirCommandsInTheMenuFont) {
    HWND owner = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
    OffscreenHarness::RunUntilIdle();
    const int normal = PopupWidth(owner, clock, hook);
    NONCLIENTMETRICS larger = original;
    larger.lfMenuFont.lfHeight = 2 * original.lfMenuFont.lfHeight;
    ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger, 0));
    const int wide = PopupWidth(owner, clock, hook);
    EXPECT_GT(normal, 0);
    EXPECT_GT(wide, normal + normal / 3);
}

TEST_F(NonClientMetricsTest, SendChangeTellsTopLevelWindowsOnly) {
    HWND top = Make("Spy", WS_POPUP, {0, 0, 100, 100});
    HWND child = Make("Spy", WS_CHILD, {0, 0, 10, 10}, top);
    NONCLIENTMETRICS m = original;
    ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof m, &m, 0));
    EXPECT_TRUE(MessagesOf(top, {WM_SETTINGCHANGE}).empty()) << "no change sent unless asked";
    ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof m, &m, SPIF_SENDCHANGE));
    ASSERT_EQ(MessagesOf(top, {WM_SETTINGCHANGE}).size(), 1u);
    EXPECT_EQ(seen.back().wParam, WPARAM(SPI_SETNONCLIENTMETRICS));
    EXPECT_TRUE(MessagesOf(child, {WM_SETTINGCHANGE}).empty()) << "parents pass it on";
}

TEST_F(NonClientMetricsTest, MalformedRequestsChangeNothing) {
    NONCLIENTMETRICS m = original;
    m.lfMenuFont.lfHeight = -30;
    m.cbSize = sizeof m - 4;
    EXPECT_FALSE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, &m, 0));
    m.cbSize = sizeof m;
    EXPECT_FALSE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof m + 1, &m, 0));
    EXPECT_FALSE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof m, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(0x1234, sizeof m, &m, 0));
    NONCLIENTMETRICS back;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &back, 0);
    EXPECT_EQ(back.lfMenuFont.lfHeight, original.lfMenuFont.lfHeight);
}

} // namespace
} // namespace vq
