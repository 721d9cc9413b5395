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

namespace vq::test {
namespace {

// A top-level window with File (New, Open), Edit (Cut, Paste) and Help (About) on its bar, and a
// child holding the focus, as a document's view would.
class MenuBarKeyboardTest : public WindowTest {
protected:
    enum : UINT { kNew = 11, kOpen = 12, kCut = 21, kPaste = 22, kAbout = 31 };

    void SetUp() override {
        WindowTest::SetUp();
        top = Make("Spy", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE, {50, 50, 450, 350});
        child = Make("Spy", WS_CHILD | WS_VISIBLE, {0, 0, 100, 100}, top);
        bar = CreatePopupMenu();
        AddPopup("&File", {{kNew, "&New"}, {kOpen, "&Open"}});
        AddPopup("&Edit", {{kCut, "&Cut"}, {kPaste, "&Paste"}});
        AddPopup("&Help", {{kAbout, "&About"}});
        SetMenu(top, bar);
        SetForegroundWindow(child);
        SetFocus(child);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }
    void TearDown() override {
        WindowTest::TearDown();
        DestroyMenu(bar);
    }

    void AddPopup(const char* text, std::initializer_list<std::pair<UINT, const char*>> items) {
        HMENU popup = CreatePopupMenu();
        for (const auto& [id, name] : items)
            AppendMenu(popup, MF_STRING, id, name);
        AppendMenu(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(popup), text);
    }

    std::vector<UINT> Commands() const {
        std::vector<UINT> ids;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND) ids.push_back(UINT(s.wParam));
        return ids;
    }
    std::vector<LPARAM> KeyMenus() const {
        std::vector<LPARAM> chars;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_SYSCOMMAND && (s.wParam & 0xFFF0) == SC_KEYMENU)
                chars.push_back(s.lParam);
        return chars;
    }

    HWND top = 0, child = 0;
    HMENU bar = nullptr;
};

// One key as the keyboard gives it: Alt itself, a letter with Alt held, or a plain key.
struct Stroke {
    int key;
    const char* text;
    bool alt;
};

void Type(const std::vector<Stroke>& strokes) {
    for (const Stroke& s : strokes) {
        const Qt::KeyboardModifiers held = s.alt ? Qt::AltModifier : Qt::NoModifier;
        if (s.key == Qt::Key_Alt) {
            OffscreenHarness::Key(Qt::Key_Alt, Qt::AltModifier, "", true);
            OffscreenHarness::Key(Qt::Key_Alt, Qt::NoModifier, "", false);
            continue;
        }
        if (s.alt) OffscreenHarness::Key(Qt::Key_Alt, Qt::AltModifier, "", true);
        OffscreenHarness::Key(s.key, held, s.text, true);
        OffscreenHarness::Key(s.key, held, "", false);
        if (s.alt) OffscreenHarness::Key(Qt::Key_Alt, Qt::NoModifier, "", false);
    }
}

TEST_F(MenuBarKeyboardTest, AltAndMnemonicsWorkTheBarFromTheFocusedChild) {
    EXPECT_EQ(GetForegroundWindow(), top);
    constexpr Stroke alt{Qt::Key_Alt, "", false}, right{Qt::Key_Right, "", false}, left{Qt::Key_Left, "", false},
        down{Qt::Key_Down, "", false}, enter{Qt::Key_Return, "\r", false}, escape{Qt::Key_Escape, "", false},
        altE{Qt::Key_E, "e", true};
    struct Case {
        const char* name;
        std::vector<Stroke> strokes;
        std::vector<LPARAM> keyMenus;
        std::vector<UINT> commands;
    };
    const Case cases[] = {
        {"alt alone walks the bar, down opens", {alt, right, down, down, enter}, {0}, {kPaste}},
        {"alt and a letter drop that popup", {altE, enter}, {'e'}, {kCut}},
        {"left past the popup moves along the bar", {altE, left, enter}, {'e'}, {kNew}},
        {"right on a plain item moves along the bar", {altE, right, enter}, {'e'}, {kAbout}},
        {"a mnemonic on the highlighted bar", {alt, {Qt::Key_H, "h", false}, enter}, {0}, {kAbout}},
        {"escape leaves the bar", {alt, escape}, {0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        Type(c.strokes);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(KeyMenus(), c.keyMenus);
        EXPECT_EQ(Commands(), c.commands);
    }
    // Once the bar is left, typing reaches the focused child again.
    seen.clear();
    Type({{Qt::Key_X, "x", false}});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(child, {WM_CHAR}), std::vector<UINT>{WM_CHAR});
    EXPECT_TRUE(KeyMenus().empty());
}

TEST_F(MenuBarKeyboardTest, AltWithAnotherKeyBetweenItsPressAndReleaseOpensNothing) {
    OffscreenHarness::Key(Qt::Key_Alt, Qt::AltModifier, "", true);
    OffscreenHarness::Key(Qt::Key_F5, Qt::AltModifier, "", true);
    OffscreenHarness::Key(Qt::Key_F5, Qt::AltModifier, "", false);
    OffscreenHarness::Key(Qt::Key_Alt, Qt::NoModifier, "", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(KeyMenus().empty());
}

} // namespace
} // namespace vq::test
