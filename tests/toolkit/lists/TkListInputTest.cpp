#include "ListSpy.h"
#include "platform/gui/Beep.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Icon.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/thread/MonotonicClock.h"
#include "toolkit/lists/TkListCtrl.h"
#include "toolkit/lists/TkListResources.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

// Records drags and may veto selection changes.
class InputList : public TkListCtrl {
public:
    int vetoes = 0;
    std::vector<int> dragged;
    BOOL OnSelectionChanging(std::int32_t, std::int32_t, BOOL) override {
        return vetoes > 0 ? (--vetoes, TRUE) : FALSE;
    }
    void NotifyBeginDrag(std::int32_t item, std::int32_t, std::int32_t) override { dragged.push_back(item); }
};

// Keeps the messages posted to it besides the notifications.
class PostSpy : public ListSpy {
public:
    std::vector<std::pair<UINT, WPARAM>> posted;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NEXTDLGCTL || message == WM_COMMAND) posted.emplace_back(message, wParam);
        return ListSpy::WindowProc(message, wParam, lParam);
    }
};

class TkListInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 320}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 300}, &parent, 7));
        list.AddColumn("Name", LVCFMT_LEFT, 150, -1, -1);
        list.AddColumn("Kind", LVCFMT_LEFT, 100, -1, -1);
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        SetBeepHook(nullptr);
        list.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }
    void Fill(std::initializer_list<const char*> labels) {
        int i = 0;
        for (const char* label : labels)
            list.InsertItem(i++, label);
        list.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    void FillNumbered(int count) {
        for (int i = 0; i < count; ++i)
            list.InsertItem(i, ("item " + std::to_string(i)).c_str());
        list.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    POINT LabelPoint(int item) {
        RECT label{};
        EXPECT_TRUE(list.GetItemRect(item, &label, LVIR_LABEL));
        return POINT{label.left + 2, (label.top + label.bottom) / 2};
    }
    static LPARAM At(POINT p) { return LPARAM(MAKELPARAM(p.x, p.y)); }
    void Click(int item, WPARAM keys = 0) {
        const POINT p = LabelPoint(item);
        list.SendMessage(WM_LBUTTONDOWN, keys | MK_LBUTTON, At(p));
        list.SendMessage(WM_LBUTTONUP, keys, At(p));
    }
    void Char(char32_t c) {
        list.SendMessage(WM_CHAR, WPARAM(c), 0);
        OffscreenHarness::RunUntilIdle();
    }
    // In small steps, so every tick of a timer comes as its own message.
    void Wait(int milliseconds) {
        for (int passed = 0; passed < milliseconds; passed += 50) {
            clock.AdvanceMilliseconds(50);
            OffscreenHarness::RunUntilIdle();
        }
    }
    std::vector<int> Selected() {
        std::vector<int> out;
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
            out.push_back(i);
        return out;
    }

    ManualMonotonicClock clock{1'000'000'000};
    PostSpy parent;
    InputList list;
};

TEST_F(TkListInputTest, HitTestNamesTheRowLabelHeaderAndDivider) {
    FillNumbered(5);
    UINT flags = 0;
    std::int32_t column = -1;
    const POINT label = LabelPoint(3);
    EXPECT_EQ(list.HitTest(label.x, label.y, &flags, &column), 3);
    EXPECT_EQ(flags, LVHTX_ONROW | LVHT_ONITEMLABEL);
    EXPECT_EQ(list.HitTest(200, label.y, &flags, &column), 3);
    EXPECT_EQ(flags, UINT(LVHTX_ONROW));
    EXPECT_EQ(column, 1);
    EXPECT_EQ(list.HitTest(152, 5, &flags, &column), 0);
    EXPECT_EQ(flags, LVHTX_ONDIVIDER);
    EXPECT_EQ(list.HitTest(60, 5, &flags, &column), 0);
    EXPECT_EQ(flags, LVHTX_ONHEADER);
    EXPECT_EQ(list.HitTest(60, 280, &flags, &column), -1);
    EXPECT_EQ(flags, LVHT_NOWHERE);
    EXPECT_EQ(list.HitTest(60, -3, &flags, &column), -1);
    EXPECT_EQ(flags, LVHT_ABOVE);
}

TEST_F(TkListInputTest, ADividerShowsTheColumnResizeCursor) {
    const HCURSOR resize = LoadCursorResource(IDC_TK_COLUMN_RESIZE);
    ASSERT_NE(resize, nullptr);
    list.SendMessage(WM_MOUSEMOVE, 0, At(POINT{152, 8}));
    list.SendMessage(WM_SETCURSOR, WPARAM(list.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), resize);
    list.SendMessage(WM_MOUSEMOVE, 0, At(POINT{60, 8}));
    list.SendMessage(WM_SETCURSOR, WPARAM(list.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), resize);
}

TEST_F(TkListInputTest, ShiftAndControlClicksExtendAndToggle) {
    FillNumbered(8);
    Click(2);
    Click(5, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
    Click(0, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list.GetFocusItem(), 0);
    Click(6, MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 6}));
    Click(1, MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2, 6}));
    // A plain click on one of several selected items collapses them at the button-up.
    Click(2);
    EXPECT_EQ(Selected(), std::vector<int>{2});
}

TEST_F(TkListInputTest, AVetoBlocksLaterShiftAndControlClicks) {
    FillNumbered(8);
    Click(2);
    list.vetoes = 1;
    Click(4);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    Click(5, MK_SHIFT);
    Click(6, MK_CONTROL);
    EXPECT_EQ(Selected(), std::vector<int>{2});
}

TEST_F(TkListInputTest, DraggingASelectedItemKeepsTheSelectionAndDragsTheFocus) {
    FillNumbered(8);
    Click(1);
    Click(3, MK_SHIFT);
    const POINT p = LabelPoint(2);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(p));
    list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(POINT{p.x + 3, p.y}));
    EXPECT_TRUE(list.dragged.empty());
    list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(POINT{p.x + 4, p.y}));
    EXPECT_EQ(list.dragged, std::vector<int>{3});
    list.SendMessage(WM_LBUTTONUP, 0, At(POINT{p.x + 4, p.y}));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
}

TEST_F(TkListInputTest, KeysMoveTheSelectionAndTheDialogKeysGoToTheParent) {
    FillNumbered(30);
    SetFocus(list.m_hWnd);
    Click(0);
    const auto key = [&](WPARAM vk) {
        list.SendMessage(WM_KEYDOWN, vk, 1);
        OffscreenHarness::RunUntilIdle();
    };
    key(VK_DOWN);
    EXPECT_EQ(Selected(), std::vector<int>{1});
    key(VK_END);
    EXPECT_EQ(Selected(), std::vector<int>{29});
    EXPECT_EQ(list.GetLastFullyVisible(TRUE), 29);
    key(VK_HOME);
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(list.GetTopIndex(), 0);
    key(VK_SPACE);
    EXPECT_TRUE(Selected().empty());

    parent.posted.clear();
    key(VK_TAB);
    key(VK_ESCAPE);
    ASSERT_EQ(parent.posted.size(), 2u);
    EXPECT_EQ(parent.posted[0], std::make_pair(WM_NEXTDLGCTL, WPARAM(0)));
    EXPECT_EQ(parent.posted[1], std::make_pair(WM_COMMAND, WPARAM(IDCANCEL)));
}

TEST_F(TkListInputTest, ControlDownMovesOnlyTheFocus) {
    FillNumbered(5);
    SetFocus(list.m_hWnd);
    Click(1);
    list.OnKeyLineDown(list.GetFocusItem(), 0, FALSE, TRUE, 1, 0);
    EXPECT_EQ(list.GetFocusItem(), 2);
    EXPECT_EQ(Selected(), std::vector<int>{1});
}

TEST_F(TkListInputTest, HeaderClicksAreReportedUnlessSortingIsOff) {
    FillNumbered(3);
    const auto press = [&](int x) {
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(POINT{x, 8}));
        list.SendMessage(WM_LBUTTONUP, 0, At(POINT{x, 8}));
    };
    parent.notes.clear();
    press(200);
    const auto click = std::find_if(parent.notes.begin(), parent.notes.end(),
                                    [](const auto& note) { return note.code == LVN_COLUMNCLICK; });
    ASSERT_NE(click, parent.notes.end());
    EXPECT_EQ(click->item, -1);
    EXPECT_EQ(click->subItem, 1);
    list.ModifyListStyle(0, LVS_NOSORTHEADER, FALSE);
    parent.notes.clear();
    press(200);
    for (const auto& note : parent.notes)
        EXPECT_NE(note.code, LVN_COLUMNCLICK);
}

TEST_F(TkListInputTest, TypingFindsLabelsByTheirStart) {
    Fill({"zero", "apple", "banana", "abacus", "avocado", "Éva"});
    list.SelectFocusItem(1, TRUE);
    Char('a');
    EXPECT_EQ(list.GetFocusItem(), 3);
    Wait(100);
    Char('v');
    EXPECT_EQ(list.GetFocusItem(), 4);
    // 200 ms after the last key the search goes on.
    Wait(200);
    Char('o');
    EXPECT_EQ(list.GetFocusItem(), 4);
    EXPECT_EQ(Selected(), std::vector<int>{4});
    // 600 ms later it starts again.
    Wait(600);
    Char(U'é');
    EXPECT_EQ(list.GetFocusItem(), 5);
}

TEST_F(TkListInputTest, AMissBeepsOnceAndIgnoresKeysUntilAQuietTick) {
    Fill({"alpha", "beta", "gamma"});
    int beeps = 0;
    SetBeepHook([&](UINT) { ++beeps; });
    Char('x');
    EXPECT_EQ(beeps, 1);
    Wait(200);
    Char('b');
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(list.GetFocusItem(), 0);
    Wait(200);
    Char('g');
    EXPECT_EQ(list.GetFocusItem(), 0);
    Wait(600);
    Char('g');
    EXPECT_EQ(list.GetFocusItem(), 2);
    EXPECT_EQ(beeps, 1);
}

} // namespace
} // namespace vq
