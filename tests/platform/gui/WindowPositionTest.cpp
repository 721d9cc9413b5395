#include "WindowFixture.h"
#include "platform/gui/DeferWindowPos.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/WindowPlacement.h"

#include <map>

namespace vq {
namespace {

using test::WindowTest;

class WindowPositionTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        for (int i = 0; i < 3; ++i)
            kids[i] = Make("Spy", WS_CHILD | WS_VISIBLE, {10 + 60 * i, 10, 60 + 60 * i, 40}, parent);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    RECT RectOf(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return r;
    }

    HWND parent = 0;
    HWND kids[3] = {};
};

TEST_F(WindowPositionTest, BatchMovesAllThenNotifiesInOrderThenPaintsEachOnce) {
    const RECT target[3] = {{200, 100, 260, 150}, {10, 100, 70, 150}, {100, 100, 160, 150}};
    std::map<HWND, std::vector<RECT>> atFirstChange;
    std::vector<HWND> changed;
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m == WM_WINDOWPOSCHANGED && changed.empty())
            for (HWND k : kids)
                atFirstChange[h].push_back(RectOf(k));
        if (m == WM_WINDOWPOSCHANGED) changed.push_back(h);
        return false;
    };
    // Added in the order 2, 0, 1: notifications follow the batch, not the sibling order.
    HDWP batch = BeginDeferWindowPos(3);
    for (int i : {2, 0, 1})
        batch = DeferWindowPos(batch, kids[i], 0, target[i].left, target[i].top, target[i].Width(),
                               target[i].Height(), SWP_NOZORDER);
    ASSERT_NE(batch, nullptr);
    ASSERT_TRUE(EndDeferWindowPos(batch));

    EXPECT_EQ(changed, (std::vector<HWND>{kids[2], kids[0], kids[1]}));
    ASSERT_EQ(atFirstChange[kids[2]].size(), 3u);
    for (int i = 0; i < 3; ++i) {
        RECT screen = target[i];
        EXPECT_EQ(atFirstChange[kids[2]][i], screen) << "child " << i << " in place before any hears";
    }
    // Each child, resized, painted once after every notification and before the call returned.
    for (HWND k : kids) {
        const auto order = MessagesOf(k, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_PAINT});
        EXPECT_EQ(order, (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_PAINT}));
    }
    std::size_t lastChanged = 0, firstPaint = seen.size();
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].message == WM_WINDOWPOSCHANGED) lastChanged = i;
        if (seen[i].message == WM_PAINT) firstPaint = std::min(firstPaint, i);
    }
    EXPECT_LT(lastChanged, firstPaint);
    OffscreenHarness::RunUntilIdle();
    for (HWND k : kids)
        EXPECT_EQ(MessagesOf(k, {WM_PAINT}).size(), 1u);
}

TEST_F(WindowPositionTest, BatchSkipsAWindowDestroyedMeanwhileAndRefusesBadHandles) {
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (h == kids[0] && m == WM_WINDOWPOSCHANGING) DestroyWindow(kids[1]);
        return false;
    };
    HDWP batch = BeginDeferWindowPos(2);
    batch = DeferWindowPos(batch, kids[0], 0, 0, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    batch = DeferWindowPos(batch, kids[1], 0, 0, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(EndDeferWindowPos(batch));
    EXPECT_FALSE(IsWindow(kids[1]));
    EXPECT_EQ(MessagesOf(kids[0], {WM_WINDOWPOSCHANGED}).size(), 1u);
    EXPECT_FALSE(EndDeferWindowPos(batch)) << "a batch ends once";

    // A window that is no window ends the batch there.
    HDWP other = BeginDeferWindowPos(1);
    EXPECT_EQ(DeferWindowPos(other, kids[1], 0, 0, 0, 0, 0, SWP_NOZORDER), nullptr);
    EXPECT_FALSE(EndDeferWindowPos(other));
    EXPECT_EQ(BeginDeferWindowPos(-1), nullptr);
}

TEST_F(WindowPositionTest, NoCopyBitsRepaintsAWindowThatOnlyMoved) {
    SetWindowPos(kids[0], 0, 10, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(MessagesOf(kids[0], {WM_PAINT}).empty()) << "a plain move keeps the picture";
    SetWindowPos(kids[0], 0, 10, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOCOPYBITS);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(kids[0], {WM_PAINT}).size(), 1u);
}

TEST_F(WindowPositionTest, RedrawWindowPaintsBeforeReturningWithUpdateNow) {
    int paintsSeenInside = -1;
    RECT painted{-1, -1, -1, -1};
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m != WM_PAINT || h != kids[0]) return false;
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        painted = ps.rcPaint;
        EndPaint(h, &ps);
        return true;
    };
    const RECT part{5, 5, 20, 15};
    RedrawWindow(kids[0], &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    paintsSeenInside = int(MessagesOf(kids[0], {WM_PAINT}).size());
    EXPECT_EQ(paintsSeenInside, 1);
    EXPECT_EQ(painted, part);
    EXPECT_EQ(MessagesOf(kids[0], {WM_ERASEBKGND}).size(), 1u);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(kids[0], {WM_PAINT}).size(), 1u) << "nothing left to paint";

    // Nothing invalid, yet a paint is due; validating the whole window does not cancel it.
    seen.clear();
    RedrawWindow(kids[0], nullptr, nullptr, RDW_INTERNALPAINT);
    RedrawWindow(kids[0], nullptr, nullptr, RDW_VALIDATE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(kids[0], {WM_PAINT}).size(), 1u);
    EXPECT_TRUE(painted.IsEmpty());

    // Invalidated then validated: no paint at all.
    seen.clear();
    RedrawWindow(kids[0], nullptr, nullptr, RDW_INVALIDATE);
    RedrawWindow(kids[0], nullptr, nullptr, RDW_VALIDATE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(MessagesOf(kids[0], {WM_PAINT}).empty());
}

TEST_F(WindowPositionTest, RedrawWindowReachesChildrenUnlessTheParentClipsThem) {
    struct Case {
        DWORD parentStyle;
        UINT flags;
        bool childPainted;
    };
    const Case cases[] = {
        {0, RDW_INVALIDATE | RDW_UPDATENOW, true},
        {WS_CLIPCHILDREN, RDW_INVALIDATE | RDW_UPDATENOW, false},
        {WS_CLIPCHILDREN, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW, true},
        {0, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW, false},
    };
    for (const Case& c : cases) {
        SetWindowLongPtr(parent, GWL_STYLE, WS_POPUP | WS_VISIBLE | c.parentStyle);
        seen.clear();
        // Only the part of the parent that the first child covers.
        const RECT over{20, 20, 30, 30};
        RedrawWindow(parent, &over, nullptr, c.flags);
        EXPECT_EQ(MessagesOf(parent, {WM_PAINT}).size(), 1u);
        EXPECT_EQ(MessagesOf(kids[0], {WM_PAINT}).size(), c.childPainted ? 1u : 0u) << c.flags;
        EXPECT_TRUE(MessagesOf(kids[1], {WM_PAINT}).empty()) << "not under the area";
    }
}

TEST_F(WindowPositionTest, PlacementRoundTripsAndOnlyTheKnownLengthIsTaken) {
    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    ASSERT_TRUE(GetWindowPlacement(kids[1], &wp));
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWNORMAL));
    EXPECT_EQ(wp.rcNormalPosition, (RECT{70, 10, 120, 40}));

    wp.rcNormalPosition = {30, 50, 130, 90};
    ASSERT_TRUE(SetWindowPlacement(kids[1], &wp));
    WINDOWPLACEMENT back;
    back.length = sizeof back;
    ASSERT_TRUE(GetWindowPlacement(kids[1], &back));
    EXPECT_EQ(back.rcNormalPosition, wp.rcNormalPosition);
    EXPECT_EQ(back.showCmd, wp.showCmd);

    WINDOWPLACEMENT shortRecord = wp;
    shortRecord.length = 40;
    shortRecord.rcNormalPosition = {0, 0, 10, 10};
    EXPECT_FALSE(SetWindowPlacement(kids[1], &shortRecord));
    EXPECT_FALSE(GetWindowPlacement(kids[1], &shortRecord));
    EXPECT_EQ(shortRecord.rcNormalPosition, (RECT{0, 0, 10, 10})) << "nothing written";
    GetWindowPlacement(kids[1], &back);
    EXPECT_EQ(back.rcNormalPosition, wp.rcNormalPosition) << "nothing changed";

    wp.showCmd = SW_HIDE;
    ASSERT_TRUE(SetWindowPlacement(kids[1], &wp));
    EXPECT_FALSE(IsWindowVisible(kids[1]));
    GetWindowPlacement(kids[1], &back);
    EXPECT_EQ(back.showCmd, UINT(SW_HIDE));
}

} // namespace
} // namespace vq
