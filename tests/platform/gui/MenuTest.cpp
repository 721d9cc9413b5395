#include "platform/gui/Menu.h"

#include "WindowFixture.h"
#include "menus.h"
#include "platform/res/Resources.h"
#include "tests/support/TestPaths.h"

#include <QImage>

namespace vq::test {
namespace {

int filtered = 0;
LRESULT CountingFilter(int code, WPARAM, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && msg->message == WM_KEYDOWN) ++filtered;
    return 0;
}

// From the resource: an item made owner-drawn, a two-item submenu, a separator, a disabled item
// and a last item.
class MenuTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        owner = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        other = Make("Spy", WS_POPUP | WS_VISIBLE, {400, 0, 500, 100});
        hook = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
            if (m == WM_MEASUREITEM) {
                auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
                mis->itemWidth = 60;
                mis->itemHeight = 22;
                r = TRUE;
                return true;
            }
            return false;
        };
        resource = LoadMenu(IDR_POPUP);
        menu = GetSubMenu(resource, 0);
        sub = GetSubMenu(menu, 1);
        ModifyMenu(menu, ID_OWNER, MF_BYCOMMAND | MF_OWNERDRAW, ID_OWNER,
                   reinterpret_cast<const char*>(std::uintptr_t(0x55)));
        OffscreenHarness::RunUntilIdle();
        seen.clear();
        filtered = 0;
    }
    void TearDown() override {
        DestroyMenu(resource);
        WindowTest::TearDown();
    }

    void Keys(std::initializer_list<int> keys) {
        for (const int key : keys)
            PostMessage(owner, WM_KEYDOWN, WPARAM(key), 0);
    }

    std::vector<UINT> Commands() {
        std::vector<UINT> ids;
        for (const auto& s : seen)
            if (s.window == owner && s.message == WM_COMMAND) ids.push_back(UINT(s.wParam));
        return ids;
    }

    HWND owner = 0, other = 0;
    HMENU resource = nullptr, menu = nullptr, sub = nullptr;
};

TEST_F(MenuTest, TheResourceGivesEveryItemWithItsFlags) {
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    const std::vector<UINT> ids{ID_OWNER, UINT(-1), 0, ID_DISABLED, ID_LAST};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(GetMenuItemID(menu, i), ids[std::size_t(i)]) << i;
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) & MF_OWNERDRAW, UINT(MF_OWNERDRAW));
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(menu, ID_DISABLED, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(menu, ID_LAST, MF_BYCOMMAND) & (MF_GRAYED | MF_END), 0u);
    EXPECT_EQ(GetMenuItemCount(sub), 2);
    EXPECT_EQ(GetMenuItemID(sub, 1), UINT(ID_BETA));
    EXPECT_EQ(LoadMenu(999), nullptr);

    // A template cut anywhere is refused without leaking what was read.
    const auto bytes = FindResource(RT_MENU, IDR_POPUP);
    for (std::size_t n = 0; n + 1 < bytes.size(); ++n)
        EXPECT_EQ(LoadMenuIndirect(bytes.first(n)), nullptr) << n;
}

TEST_F(MenuTest, InsertedItemsGoBeforeTheItemNamed) {
    // By position, a position past the end appending; by command, in whichever popup holds it.
    EXPECT_TRUE(InsertMenu(menu, 0, MF_BYPOSITION | MF_STRING, 901, "first"));
    EXPECT_TRUE(InsertMenu(menu, 99, MF_BYPOSITION | MF_STRING, 902, "last"));
    EXPECT_TRUE(InsertMenu(menu, ID_BETA, MF_BYCOMMAND | MF_STRING, 903, "before beta"));
    EXPECT_FALSE(InsertMenu(menu, 4242, MF_BYCOMMAND | MF_STRING, 904, "nowhere"));
    ASSERT_EQ(GetMenuItemCount(menu), 7);
    EXPECT_EQ(GetMenuItemID(menu, 0), 901u);
    EXPECT_EQ(GetMenuItemID(menu, 1), UINT(ID_OWNER));
    EXPECT_EQ(GetMenuItemID(menu, 6), 902u);
    ASSERT_EQ(GetMenuItemCount(sub), 3);
    EXPECT_EQ(GetMenuItemID(sub, 1), 903u);
    EXPECT_EQ(GetMenuItemID(sub, 2), UINT(ID_BETA));
}

TEST_F(MenuTest, KeysWalkIntoTheSubmenuAndPostTheChosenCommand) {
    HHOOK filter = SetWindowsHookEx(WH_MSGFILTER, CountingFilter, nullptr, 0);
    Keys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN, 10, 10, 0, owner, nullptr));
    UnhookWindowsHookEx(filter);
    EXPECT_EQ(filtered, 5);

    std::vector<std::pair<UINT, WPARAM>> events;
    for (const auto& s : seen)
        if (s.window == owner &&
            (s.message == WM_INITMENUPOPUP || s.message == WM_MENUSELECT || s.message == WM_MEASUREITEM))
            events.emplace_back(s.message, s.message == WM_INITMENUPOPUP ? WPARAM(0) : s.wParam);
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_INITMENUPOPUP, 0},
        {WM_MEASUREITEM, 0},
        {WM_MENUSELECT, WPARAM(MAKELPARAM(100, int(MF_HILITE | MF_OWNERDRAW)))},
        {WM_MENUSELECT, WPARAM(MAKELPARAM(1, int(MF_HILITE | MF_POPUP)))},
        {WM_INITMENUPOPUP, 0},
        {WM_MENUSELECT, WPARAM(MAKELPARAM(201, int(MF_HILITE)))},
        {WM_MENUSELECT, WPARAM(MAKELPARAM(202, int(MF_HILITE)))},
        {WM_MENUSELECT, WPARAM(MAKELPARAM(0, 0xFFFF))},
    };
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(Commands().empty());
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Commands(), std::vector<UINT>{202});

    seen.clear();
    Keys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 202);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(Commands().empty());
}

TEST_F(MenuTest, OwnerDrawnItemsAreDrawnByTheOwnerWhilePainting) {
    int drawn = 0;
    hook = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
        if (m == WM_MEASUREITEM) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 22;
            r = TRUE;
            return true;
        }
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        if (m == WM_DRAWITEM && dis->CtlType == ODT_MENU && dis->itemData == 0x55) ++drawn;
        // A due timer comes after the popups painted; Escape then ends the loop.
        if (m == WM_TIMER) {
            KillTimer(owner, 1);
            PostMessage(owner, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return false;
    };
    SetTimer(owner, 1, 10, nullptr);
    clock.AdvanceMilliseconds(25);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    EXPECT_GE(drawn, 1);
}

TEST_F(MenuTest, EscapeLettersAndPressesOutsideEndTrackingWithoutACommand) {
    Keys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_ESCAPE});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);

    // A letter no item has goes to the owner; a known one chooses its item.
    seen.clear();
    PostMessage(owner, WM_CHAR, 'z', 0);
    PostMessage(owner, WM_CHAR, 'L', 0);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 400);
    EXPECT_EQ(MessagesOf(owner, {WM_MENUCHAR}), std::vector<UINT>{WM_MENUCHAR});

    // A press outside ends tracking and stays queued for the window under it.
    seen.clear();
    OffscreenHarness::MousePress({450, 50});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    EXPECT_TRUE(MessagesOf(other, {WM_LBUTTONDOWN}).empty());
    OffscreenHarness::MouseRelease({450, 50});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(other, {WM_LBUTTONDOWN}), std::vector<UINT>{WM_LBUTTONDOWN});
}

TEST_F(MenuTest, CancelModeSentToAWindowEndsTrackingAndTheCaptureItHolds) {
    const auto measure = hook;
    hook = [measure](HWND w, UINT m, WPARAM wParam, LPARAM lParam, LRESULT& r) {
        if (m == WM_USER) SendMessage(w, WM_CANCELMODE, 0, 0);
        return measure(w, m, wParam, lParam, r);
    };
    // Without the cancel, Enter would choose the first item.
    Keys({VK_DOWN});
    PostMessage(owner, WM_USER, 0, 0);
    Keys({VK_RETURN});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
    OffscreenHarness::RunUntilIdle();

    SetCapture(owner);
    SendMessage(owner, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(MenuTest, TheDefaultItemIsDrawnInBold) {
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 1, "Open the monitor window");
    AppendMenu(popup, MF_STRING, 2, "Open the monitor window");
    SetMenuDefaultItem(popup, 1, FALSE);
    QImage shot;
    hook = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m == WM_TIMER) {
            KillTimer(owner, 1);
            shot = OffscreenHarness::Composite(WindowFromPoint({15, 15}));
            PostMessage(owner, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return false;
    };
    SetTimer(owner, 1, 10, nullptr);
    clock.AdvanceMilliseconds(25);
    TrackPopupMenu(popup, TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
    DestroyMenu(popup);
    ASSERT_FALSE(shot.isNull());
    shot.save(QString::fromStdString(TestPath("VQ_TEST_OUTPUT_DIR") + "/menu-default-item.png"));

    // Ink of each item's text: the rows are the same text, so only the weight tells them apart.
    const QRgb face = shot.pixel(shot.width() - 3, shot.height() - 3);
    const auto ink = [&](int top) {
        int count = 0;
        for (int y = top; y < top + 19 && y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                count += shot.pixel(x, y) != face;
        return count;
    };
    const int bold = ink(1), plain = ink(20);
    EXPECT_GT(plain, 0);
    EXPECT_GT(bold, plain + plain / 5);
}

} // namespace
} // namespace vq::test
