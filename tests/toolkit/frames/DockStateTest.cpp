#include "DockingFixture.h"
#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"
#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDialogBar.h"
#include "toolkit/frames/TkDockState.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <cmath>
#include <map>

namespace vq::test {
namespace {

// A frame's layout as the user sees it: where every bar is, whether it shows, its share, and the
// entries of every dock bar.
struct Arrangement {
    std::vector<RECT> rects;
    std::vector<bool> visible;
    std::vector<float> shares;
    std::map<UINT, std::vector<std::uint32_t>> entries;
};

class DockStateTest : public DockingTest {
protected:
    TempDir dir;
    std::unique_ptr<CWinApp> app;
    CountingBar* bar[3] = {};

    void SetUp() override {
        SetUserRegistryFolder(dir.File("registry"));
        app = std::make_unique<CWinApp>();
        app->SetRegistryKey("Test Maker");
        DockingTest::SetUp();
        MakeBars();
    }

    void TearDown() override {
        DockingTest::TearDown();
        app.reset();
        SetUserRegistryFolder(std::nullopt);
    }

    // Two sizing bars sharing the top row 0.6 to 0.4, one in the left column: the default places.
    void MakeBars() {
        for (int i = 0; i < 3; ++i) {
            bar[i] = MakeBar(UINT(101 + i));
            // Thin enough that a drop low in the left column misses the bottom side.
            bar[i]->m_szMRUFloat = {240, 100};
            bar[i]->m_szMRUHorzDock = {300, 120};
            // One width for the left column: the drop rectangle, whose midpoint picks the row, is
            // as wide as the column it is dropped into.
            bar[i]->m_szMRUVertDock = {150, 180};
        }
        Dock(AFX_IDW_DOCKBAR_TOP)->DockControlBarAt(bar[0], 0, 0);
        Dock(AFX_IDW_DOCKBAR_TOP)->DockControlBarAt(bar[1], 1, 0);
        bar[0]->m_fPctWidth = 0.6f;
        bar[1]->m_fPctWidth = 0.4f;
        Dock(AFX_IDW_DOCKBAR_LEFT)->DockControlBarAt(bar[2], 0, 0);
        DockingTest::Layout();
        DockingTest::Layout();
    }

    // A new frame, as the program starts again: the same bars in their default places.
    void NewFrame() {
        DockingTest::TearDown();
        DockingTest::SetUp();
        MakeBars();
    }

    Arrangement Take() const {
        Arrangement l;
        for (CountingBar* b : bar) {
            RECT r;
            GetWindowRect(b->m_hWnd, &r);
            l.rects.push_back(r);
            l.visible.push_back(IsWindowVisible(b->m_hWnd) != FALSE);
            l.shares.push_back(b->m_fPctWidth);
        }
        for (UINT id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
            l.entries[id] = Dock(id)->GetBarIds();
        return l;
    }

    static void MoveScreen(POINT p) { OffscreenHarness::MouseMove(p, Qt::LeftButton); }

    static RECT WindowRect(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    static POINT TopLeft(const RECT& r) { return {r.left, r.top}; }

    static CWnd* MiniFrameOf(const CControlBar* b) {
        if (!b->m_pDockBar || !b->m_pDockBar->m_bFloating) return nullptr;
        return dynamic_cast<TkMiniDockFrameWnd*>(b->m_pDockBar->GetParent());
    }

    // The user floats the second bar by its gripper and moves its floating frame by the caption.
    void FloatAndMoveSecond() {
        clock.AdvanceMilliseconds(1000);
        Press(bar[1]->m_hWnd, {8, 60});
        MoveScreen({420, 300});
        MoveScreen({400, 320});
        OffscreenHarness::MouseRelease({400, 320});
        OffscreenHarness::RunUntilIdle();
        CWnd* mini = MiniFrameOf(bar[1]);
        ASSERT_NE(mini, nullptr);
        const RECT r = WindowRect(mini->m_hWnd);
        const POINT caption{r.left + 30, r.top + 8};
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(caption);
        MoveScreen({caption.x + 20, caption.y + 10});
        MoveScreen({caption.x + 40, caption.y + 30});
        OffscreenHarness::MouseRelease({caption.x + 40, caption.y + 30});
        OffscreenHarness::RunUntilIdle();
    }

    // The captured, cleaned layout written to the profile, as the frame does when it closes.
    void SaveLayout(std::vector<std::vector<std::uint32_t>>* saved = nullptr) {
        TkDockState state;
        ASSERT_TRUE(state.CaptureFrame(frame.get()));
        state.CleanBarIdLists();
        ASSERT_TRUE(state.SaveStateToProfile("Layout"));
        if (saved)
            for (const auto& info : state.m_arrBarInfo)
                if (info->m_bDockBar && !info->m_bFloating) saved->push_back(info->m_arrBarID);
    }

    void LoadLayout() {
        std::vector<std::unique_ptr<CControlBar>> created;
        TkDockState state(nullptr, &created);
        ASSERT_TRUE(state.LoadStateFromProfile("Layout"));
        ASSERT_TRUE(state.ApplyToFrame(frame.get()));
        OffscreenHarness::RunUntilIdle();
        Idle();
        EXPECT_TRUE(created.empty());
    }

    // A hidden bar keeps its place but not its size: no layout sizes it until it shows again.
    static void ExpectSame(const Arrangement& a, const Arrangement& b) {
        EXPECT_EQ(a.visible, b.visible);
        for (std::size_t i = 0; i < a.rects.size(); ++i)
            if (a.visible[i]) {
                EXPECT_EQ(a.rects[i], b.rects[i]) << "bar " << i;
            }
        for (std::size_t i = 0; i < a.shares.size(); ++i)
            EXPECT_NEAR(a.shares[i], b.shares[i], 1e-6) << "bar " << i;
    }
};

// Pixels that differ between two pictures of one size (what the unused byte of each holds aside).
int DifferingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
    return differing;
}

std::vector<std::uint32_t> AsEntries(std::vector<std::uint32_t> ids) {
    if (ids.empty()) ids.push_back(0);
    return ids;
}

TEST_F(DockStateTest, TheUsersArrangementComesBackInANewFrame) {
    // Float the second bar, move it, drag it back into the left column below the third bar, and
    // hide the first with its hide button.
    FloatAndMoveSecond();
    CWnd* mini = MiniFrameOf(bar[1]);
    ASSERT_NE(mini, nullptr);
    const RECT r = WindowRect(mini->m_hWnd);
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress({r.left + 30, r.top + 8});
    MoveScreen({r.left - 100, r.top + 8});
    MoveScreen({60, 350});
    OffscreenHarness::MouseRelease({60, 350});
    OffscreenHarness::RunUntilIdle();
    Idle();
    ASSERT_EQ(bar[1]->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    // Below the third bar, in its row: one column of two.
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_LEFT)->GetBarIds(), (std::vector<std::uint32_t>{0, 103, 102, 0}));
    EXPECT_EQ(InFrame(bar[1]).left, InFrame(bar[2]).left);
    EXPECT_GT(InFrame(bar[1]).top, InFrame(bar[2]).bottom);
    Click(bar[0]->m_hWnd, Centre(bar[0]->m_rcHideBtn));
    Idle();
    ASSERT_FALSE(IsWindowVisible(bar[0]->m_hWnd));

    const Arrangement before = Take();
    const QImage shotBefore = OffscreenHarness::Composite(frame->m_hWnd);
    Save("dock-state-arranged");
    std::vector<std::vector<std::uint32_t>> saved;
    SaveLayout(&saved);

    NewFrame();
    LoadLayout();
    const Arrangement after = Take();
    ExpectSame(before, after);
    // Every dock bar holds what was saved: the first frame's entries less the placeholders the
    // cleaning took out.
    ASSERT_EQ(saved.size(), 4u);
    std::vector<std::vector<std::uint32_t>> restored;
    for (UINT id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
        restored.push_back(after.entries.at(id));
    for (std::size_t i = 0; i < saved.size(); ++i)
        EXPECT_EQ(AsEntries(saved[i]), restored[i]) << "dock bar " << i;
    const QImage shotAfter = OffscreenHarness::Composite(frame->m_hWnd);
    Save("dock-state-restored");
    EXPECT_EQ(DifferingPixels(shotBefore, shotAfter), 0);

    // The hidden bar shown again takes its place in its row.
    frame->ShowControlBar(bar[0], TRUE, FALSE);
    DockingTest::Layout();
    EXPECT_TRUE(IsWindowVisible(bar[0]->m_hWnd));
    EXPECT_EQ(bar[0]->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(InFrame(bar[0]).right, 640);
}

TEST_F(DockStateTest, AFloatingBarComesBackInItsFloatingFrame) {
    FloatAndMoveSecond();
    CWnd* mini = MiniFrameOf(bar[1]);
    ASSERT_NE(mini, nullptr);
    const RECT miniBefore = WindowRect(mini->m_hWnd);
    const RECT barBefore = WindowRect(bar[1]->m_hWnd);
    const SIZE floatSize = bar[1]->m_szMRUFloat;
    const Arrangement before = Take();
    SaveLayout();

    NewFrame();
    SetActiveWindow(frame->m_hWnd);
    LoadLayout();
    mini = MiniFrameOf(bar[1]);
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(IsWindowVisible(mini->m_hWnd));
    EXPECT_EQ(GetActiveWindow(), frame->m_hWnd);
    EXPECT_EQ(WindowRect(mini->m_hWnd), miniBefore);
    EXPECT_EQ(WindowRect(bar[1]->m_hWnd), barBefore);
    EXPECT_EQ(bar[1]->m_szMRUFloat, floatSize);
    const Arrangement after = Take();
    ExpectSame(before, after);
    ScreenComposite().copy(0, 0, 900, 700).save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-state-floating.png"));
}

TEST_F(DockStateTest, TheClassLibrarysOwnRecordsCarryTheDockBarsRowsAndVisibility) {
    // The frame's own records, without the toolkit's part: the rows of every dock bar, which bars
    // show, and a floating bar's frame.
    Dock(AFX_IDW_DOCKBAR_LEFT)->DockControlBarAt(bar[1], 1, 0);
    frame->ShowControlBar(bar[0], FALSE, FALSE);
    frame->FloatControlBar(bar[2], {300, 200}, CBRS_ALIGN_TOP);
    DockingTest::Layout();
    const RECT miniBefore = WindowRect(MiniFrameOf(bar[2])->m_hWnd);
    CDockState state;
    frame->GetDockState(state);
    ASSERT_EQ(state.m_arrBarInfo.size(), 8u);
    const Arrangement before = Take();
    EXPECT_EQ(before.entries.at(AFX_IDW_DOCKBAR_LEFT), (std::vector<std::uint32_t>{0, 0x10067, 102, 0}));

    NewFrame();
    frame->SetDockState(state);
    DockingTest::Layout();
    const Arrangement after = Take();
    EXPECT_EQ(before.entries, after.entries);
    EXPECT_EQ(before.visible, after.visible);
    EXPECT_EQ(bar[1]->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    CWnd* mini = MiniFrameOf(bar[2]);
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(IsWindowVisible(mini->m_hWnd));
    EXPECT_EQ(TopLeft(WindowRect(mini->m_hWnd)), TopLeft(miniBefore));
    for (const auto& info : state.m_arrBarInfo)
        EXPECT_EQ(info->m_pBar, nullptr);
}

} // namespace
} // namespace vq::test
