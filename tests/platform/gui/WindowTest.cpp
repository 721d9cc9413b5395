#include "WindowFixture.h"
#include "platform/gui/Hooks.h"
#include "platform/thread/ThreadId.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

namespace vq {
namespace {

using test::WindowTest;

constexpr UINT X = WM_USER + 1;
constexpr UINT A = WM_USER + 2;
constexpr UINT B = WM_USER + 3;

TEST_F(WindowTest, PostedComeBeforePaintingAndPaintingBeforeOneTimerTick) {
    const HWND w = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
    OffscreenHarness::RunUntilIdle();
    std::vector<std::string> log;
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m == X) {
            log.push_back("X begins");
            PostMessage(h, A, 0, 0);
            SetTimer(h, 7, 10, nullptr);
            InvalidateRect(h, nullptr, TRUE);
            SendMessage(h, B, 0, 0);
            log.push_back("X ends");
        } else if (m == A) {
            log.push_back("A");
        } else if (m == B) {
            log.push_back("B");
        } else if (m == WM_PAINT) {
            log.push_back("WM_PAINT");
        } else if (m == WM_TIMER) {
            log.push_back("WM_TIMER");
        }
        return false;
    };
    SendMessage(w, X, 0, 0);
    clock.AdvanceMilliseconds(25);
    OffscreenHarness::RunUntilIdle();
    const std::vector<std::string> expected{"X begins", "B", "X ends", "A", "WM_PAINT", "WM_TIMER"};
    EXPECT_EQ(log, expected);
    KillTimer(w, 7);
}

TEST_F(WindowTest, WindowlessTimersGetFreshIdsAndTheirProcedureSeesItsOwn) {
    static std::vector<std::uintptr_t> fired;
    fired.clear();
    const TIMERPROC proc = [](HWND window, UINT message, std::uintptr_t id, DWORD) {
        EXPECT_EQ(window, HWND{});
        EXPECT_EQ(message, UINT(WM_TIMER));
        fired.push_back(id);
    };
    const std::uintptr_t first = SetTimer(0, 5, 10, proc);
    const std::uintptr_t second = SetTimer(0, 5, 10, proc);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, first) << "the id asked for is ignored";
    clock.AdvanceMilliseconds(15);
    OffscreenHarness::RunUntilIdle();
    std::sort(fired.begin(), fired.end());
    EXPECT_EQ(fired, (std::vector<std::uintptr_t>{std::min(first, second), std::max(first, second)}));

    EXPECT_TRUE(KillTimer(0, first));
    fired.clear();
    clock.AdvanceMilliseconds(15);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::uintptr_t>{second}));
    KillTimer(0, second);
}

TEST_F(WindowTest, WorkerPostWakesTheGuiThreadInQtsLoop) {
    const HWND w = Make("Spy", WS_POPUP, {0, 0, 10, 10});
    QEventLoop loop;
    hook = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m == A) loop.exit(0);
        return false;
    };
    // A guard only: the post must end the loop long before it fires.
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); });
    std::thread worker([w] { PostMessage(w, A, 0, 0); });
    EXPECT_EQ(loop.exec(), 0);
    worker.join();
}

TEST_F(WindowTest, PostToADestroyedWindowIsDropped) {
    const HWND w = Make("Spy", WS_POPUP, {0, 0, 10, 10});
    EXPECT_TRUE(PostMessage(w, A, 0, 0));
    DestroyWindow(w);
    EXPECT_FALSE(PostMessage(w, A, 0, 0));
    seen.clear();
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(seen.empty());
}

TEST_F(WindowTest, AContextHelpIdIsKeptPerWindow) {
    const HWND parent = Make("Spy", WS_POPUP, {0, 0, 50, 50});
    const HWND child = Make("Spy", WS_CHILD, {0, 0, 10, 10}, parent);
    EXPECT_EQ(GetWindowContextHelpId(child), 0u);
    EXPECT_TRUE(SetWindowContextHelpId(child, 0x20051));
    EXPECT_EQ(GetWindowContextHelpId(child), 0x20051u);
    EXPECT_EQ(GetWindowContextHelpId(parent), 0u);
    DestroyWindow(parent);
    EXPECT_FALSE(SetWindowContextHelpId(child, 7));
    EXPECT_EQ(GetWindowContextHelpId(child), 0u);
}

TEST_F(WindowTest, DestroyOrderAndASecondDestroyOfADyingWindow) {
    const HWND parent = Make("Spy", WS_POPUP, {0, 0, 50, 50});
    const HWND child = Make("Spy", WS_CHILD, {0, 0, 10, 10}, parent);
    BOOL second = TRUE;
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (h == child && m == WM_DESTROY) second = DestroyWindow(parent);
        return false;
    };
    seen.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(second);
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& s : seen)
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY) order.emplace_back(s.window, s.message);
    const std::vector<std::pair<HWND, UINT>> expected{
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(WindowTest, OwnedWindowsGoBeforeTheirOwnerAndWithTheWindowTheyWereGivenAsOwner) {
    const HWND owner = Make("Spy", WS_POPUP, {0, 0, 50, 50});
    const HWND child = Make("Spy", WS_CHILD, {0, 0, 10, 10}, owner);
    const HWND tip = Make("Spy", WS_POPUP, {60, 0, 70, 10}, owner);
    const HWND tipOfTip = Make("Spy", WS_POPUP, {80, 0, 90, 10}, tip);
    const HWND childsTip = Make("Spy", WS_POPUP, {100, 0, 110, 10}, child);
    const HWND unowned = Make("Spy", WS_POPUP, {120, 0, 130, 10});
    EXPECT_EQ(GetWindow(tip, GW_OWNER), owner);

    // A window owned by a child goes with that child and leaves the rest.
    DestroyWindow(child);
    EXPECT_FALSE(IsWindow(childsTip));
    EXPECT_TRUE(IsWindow(owner));
    EXPECT_TRUE(IsWindow(tip));

    BOOL ownerAgain = TRUE;
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (h == tipOfTip && m == WM_DESTROY) ownerAgain = DestroyWindow(owner);
        return false;
    };
    seen.clear();
    EXPECT_TRUE(DestroyWindow(owner));
    EXPECT_FALSE(ownerAgain);
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& s : seen)
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY) order.emplace_back(s.window, s.message);
    const std::vector<std::pair<HWND, UINT>> expected{{tipOfTip, WM_DESTROY}, {tipOfTip, WM_NCDESTROY},
                                                      {tip, WM_DESTROY},      {tip, WM_NCDESTROY},
                                                      {owner, WM_DESTROY},    {owner, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_FALSE(IsWindow(tipOfTip));
    EXPECT_TRUE(IsWindow(unowned));
}

TEST_F(WindowTest, WindowDestroyedInItsOwnHandlerLivesUntilTheHandlerReturns) {
    const HWND w = Make("Spy", WS_POPUP, {0, 0, 10, 10});
    bool ranOn = false;
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m == X) {
            DestroyWindow(h);
            ranOn = !IsWindow(h) && GetWindowLongPtr(h, GWLP_USERDATA) == 0;
        }
        return false;
    };
    SendMessage(w, X, 0, 0);
    EXPECT_TRUE(ranOn);
    EXPECT_EQ(SendMessage(w, X, 0, 0), 0);
}

// A window owned by a worker thread; its handler answers Y with 7 and notes where it ran.
struct WorkerWindow {
    static inline std::atomic<ThreadId> ranOn{0};
    static inline std::atomic<int> calls{0};

    static LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m != WM_USER + 9) return DefWindowProc(w, m, wp, lp);
        ranOn = CurrentThreadId();
        ++calls;
        return 7;
    }
    static HWND Create() {
        WNDCLASS wc;
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "Worker";
        RegisterClass(wc);
        return CreateWindowEx(0, "Worker", "", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr);
    }
};
constexpr UINT Y = WM_USER + 9;

TEST_F(WindowTest, ASendAcrossThreadsRunsOnTheOwnerWhileTheSenderHandlesWhatIsSentBack) {
    const HWND g = Make("Spy", WS_POPUP, {0, 0, 10, 10});
    WorkerWindow::ranOn = 0;
    ThreadId gRanOn = 0;
    // The GUI window's handler sends to the worker's window while the worker waits for it.
    hook = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& result) {
        if (m != X) return false;
        gRanOn = CurrentThreadId();
        result = SendMessage(HWND(lp), Y, 0, 0) + 1;
        return true;
    };
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); });
    std::atomic<LRESULT> answer{0};
    ThreadId workerId = 0;
    std::thread worker([&] {
        workerId = CurrentThreadId();
        const HWND k = WorkerWindow::Create();
        answer = SendMessage(g, X, 0, LPARAM(k));
        DestroyWindow(k);
        QMetaObject::invokeMethod(
            &loop, [&] { loop.exit(0); }, Qt::QueuedConnection);
    });
    EXPECT_EQ(loop.exec(), 0);
    worker.join();
    EXPECT_EQ(answer, 8);
    EXPECT_EQ(gRanOn, CurrentThreadId());
    EXPECT_EQ(WorkerWindow::ranOn, workerId);
}

TEST_F(WindowTest, ASendToAThreadThatEndsWithoutTakingItAnswers0) {
    std::atomic<HWND> k{0};
    std::atomic<bool> release{false};
    WorkerWindow::calls = 0;
    std::thread worker([&] {
        k = WorkerWindow::Create();
        // Never looks at its messages, then ends with its window.
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!k)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        release = true;
    });
    EXPECT_EQ(SendMessage(k, Y, 0, 0), 0);
    worker.join();
    releaser.join();
    EXPECT_EQ(WorkerWindow::calls, 0);
    EXPECT_FALSE(IsWindow(k));
    EXPECT_EQ(SendMessage(k, Y, 0, 0), 0);
}

class InputTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
        a = Make("Spy", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, top, 0, 1);
        b = Make("Spy", WS_CHILD | WS_VISIBLE, {100, 10, 150, 60}, top, 0, 2);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    std::vector<UINT> Buttons(HWND w) {
        return MessagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE});
    }

    HWND top = 0;
    HWND a = 0;
    HWND b = 0;
};

TEST_F(InputTest, PrePostedGestureFollowsTheCaptureItsPressSet) {
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (h == a && m == WM_LBUTTONDOWN) SetCapture(a);
        if (h == a && m == WM_LBUTTONUP) ReleaseCapture();
        return false;
    };
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseMove({180, 90}, Qt::LeftButton);
    OffscreenHarness::MouseRelease({120, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Buttons(a), (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
    EXPECT_TRUE(Buttons(b).empty());
    // Captured input outside the window still comes in client coordinates.
    for (const auto& s : seen) {
        if (s.window == a && s.message == WM_MOUSEMOVE) {
            EXPECT_EQ(GET_X_LPARAM(s.lParam), 170);
            EXPECT_EQ(GET_Y_LPARAM(s.lParam), 80);
        }
    }
}

TEST_F(InputTest, WithoutCaptureTheReleaseGoesToTheWindowUnderThePoint) {
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseRelease({120, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Buttons(a), (std::vector<UINT>{WM_LBUTTONDOWN}));
    EXPECT_EQ(Buttons(b), (std::vector<UINT>{WM_LBUTTONUP}));
}

TEST_F(InputTest, CaptureChangesAreAnnounced) {
    SetCapture(a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(GetCapture(), b);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), HWND(0));
    std::vector<std::pair<HWND, LPARAM>> changes;
    for (const auto& s : seen)
        if (s.message == WM_CAPTURECHANGED) changes.emplace_back(s.window, s.lParam);
    EXPECT_EQ(changes, (std::vector<std::pair<HWND, LPARAM>>{{a, LPARAM(b)}, {b, 0}}));

    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(InputTest, ShiftAGivesKeysThenCharacterWithShiftDown) {
    SetFocus(a);
    std::int16_t shiftInChar = 0;
    hook = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (m == WM_CHAR) shiftInChar = GetKeyState(VK_SHIFT);
        return false;
    };
    seen.clear();
    OffscreenHarness::Key(Qt::Key_Shift, Qt::ShiftModifier, "", true);
    OffscreenHarness::Key(Qt::Key_A, Qt::ShiftModifier, "A", true);
    OffscreenHarness::Key(Qt::Key_A, Qt::ShiftModifier, "A", false);
    OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, "", false);
    OffscreenHarness::RunUntilIdle();
    std::vector<std::pair<UINT, WPARAM>> keys;
    for (const auto& s : seen)
        if (s.window == a && s.message >= WM_KEYDOWN && s.message <= WM_CHAR)
            keys.emplace_back(s.message, s.wParam);
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'A'}, {WM_CHAR, 'A'}, {WM_KEYUP, 'A'}, {WM_KEYUP, VK_SHIFT}};
    EXPECT_EQ(keys, expected);
    EXPECT_LT(shiftInChar, 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(InputTest, KeypadKeysHaveTheirOwnCodes) {
    SetFocus(a);
    seen.clear();
    OffscreenHarness::Key(Qt::Key_Plus, Qt::KeypadModifier, "+", true);
    OffscreenHarness::Key(Qt::Key_Plus, Qt::NoModifier, "+", true);
    OffscreenHarness::RunUntilIdle();
    std::vector<WPARAM> codes;
    for (const auto& s : seen)
        if (s.message == WM_KEYDOWN) codes.push_back(s.wParam);
    EXPECT_EQ(codes, (std::vector<WPARAM>{VK_ADD, VK_OEM_PLUS}));
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAskForThem) {
    for (const auto& [cls, second] :
         {std::pair{"Spy", WM_LBUTTONDOWN}, std::pair{"SpyDbl", WM_LBUTTONDBLCLK}}) {
        SCOPED_TRACE(cls);
        const HWND w = Make(cls, WS_CHILD | WS_VISIBLE, {10, 70, 40, 95}, top);
        seen.clear();
        OffscreenHarness::MousePress({20, 80});
        OffscreenHarness::MouseRelease({20, 80});
        clock.AdvanceMilliseconds(100);
        OffscreenHarness::MousePress({20, 80});
        OffscreenHarness::MouseRelease({20, 80});
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(MessagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
                  (std::vector<UINT>{WM_LBUTTONDOWN, second}));
        DestroyWindow(w);
        clock.AdvanceMilliseconds(1000);
    }
}

TEST_F(InputTest, FocusMovesWithKillBeforeSet) {
    SetFocus(a);
    seen.clear();
    EXPECT_EQ(SetFocus(b), a);
    std::vector<std::tuple<HWND, UINT, WPARAM>> focus;
    for (const auto& s : seen)
        if (s.message == WM_KILLFOCUS || s.message == WM_SETFOCUS)
            focus.emplace_back(s.window, s.message, s.wParam);
    const std::vector<std::tuple<HWND, UINT, WPARAM>> expected{{a, WM_KILLFOCUS, b}, {b, WM_SETFOCUS, a}};
    EXPECT_EQ(focus, expected);
}

TEST_F(InputTest, SiblingOrderIsCreationOrderAndRestacks) {
    const HWND c = Make("Spy", WS_CHILD, {0, 0, 5, 5}, top);
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), HWND(0));
    // Directly after a window means next in tab order.
    SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
}

TEST_F(InputTest, WheelGoesToTheFocusWindowInUnitsOf120) {
    SetFocus(b);
    seen.clear();
    OffscreenHarness::Wheel({20, 20}, -120);
    OffscreenHarness::RunUntilIdle();
    const auto wheel = MessagesOf(b, {WM_MOUSEWHEEL});
    ASSERT_EQ(wheel.size(), 1u);
    for (const auto& s : seen) {
        if (s.message == WM_MOUSEWHEEL) {
            EXPECT_EQ(std::int16_t(HIWORD(s.wParam)), -120);
        }
    }
}

TEST_F(InputTest, AWheelAChildLeavesToDefaultHandlingGoesUpToItsParent) {
    const HWND inner = Make("Spy", WS_CHILD | WS_VISIBLE, {5, 5, 20, 20}, a);
    OffscreenHarness::RunUntilIdle();
    for (const bool innerTakesIt : {false, true}) {
        SCOPED_TRACE(innerTakesIt);
        hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
            return h == inner && m == WM_MOUSEWHEEL && innerTakesIt;
        };
        SetFocus(inner);
        seen.clear();
        OffscreenHarness::Wheel({20, 20}, 240);
        OffscreenHarness::RunUntilIdle();
        std::vector<HWND> reached;
        for (const auto& s : seen)
            if (s.message == WM_MOUSEWHEEL) {
                reached.push_back(s.window);
                EXPECT_EQ(std::int16_t(HIWORD(s.wParam)), 240);
                EXPECT_EQ(s.lParam, MAKELPARAM(20, 20));
            }
        const std::vector<HWND> expected =
            innerTakesIt ? std::vector<HWND>{inner} : std::vector<HWND>{inner, a, top};
        EXPECT_EQ(reached, expected);
    }
}

TEST_F(InputTest, APressInAnInactiveWindowAsksTheParentFirstThenChoosesTheCursor) {
    const HWND other = Make("Spy", WS_POPUP | WS_VISIBLE, {300, 0, 340, 40});
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(GetActiveWindow(), other);
    struct Case {
        LRESULT parentAnswer;
        bool activates;
        bool pressArrives;
    };
    for (const Case c : {Case{0, true, true}, Case{MA_NOACTIVATE, false, true},
                         Case{MA_ACTIVATEANDEAT, true, false}, Case{MA_NOACTIVATEANDEAT, false, false}}) {
        SCOPED_TRACE(c.parentAnswer);
        SetActiveWindow(other);
        hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
            if (h != top || m != WM_MOUSEACTIVATE || !c.parentAnswer) return false;
            result = c.parentAnswer;
            return true;
        };
        seen.clear();
        OffscreenHarness::MousePress({20, 20});
        OffscreenHarness::MouseRelease({20, 20});
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(GetActiveWindow(), c.activates ? top : other);
        std::vector<UINT> expected{WM_MOUSEACTIVATE};
        if (c.pressArrives) expected.insert(expected.end(), {WM_SETCURSOR, WM_LBUTTONDOWN});
        expected.insert(expected.end(), {WM_SETCURSOR, WM_LBUTTONUP});
        EXPECT_EQ(MessagesOf(a, {WM_MOUSEACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP}), expected);
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_MOUSEACTIVATE) {
                EXPECT_EQ(HWND(s.wParam), top);
                EXPECT_EQ(s.lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
            }
    }
    // The active window itself is not asked; a child of it is, since a child is never the active
    // window (a view takes its frame's activation that way).
    hook = nullptr;
    SetActiveWindow(top);
    seen.clear();
    OffscreenHarness::MousePress({80, 80});
    OffscreenHarness::MouseRelease({80, 80});
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(MessagesOf(top, {WM_MOUSEACTIVATE}).empty());
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseRelease({20, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(a, {WM_MOUSEACTIVATE}).size(), 1u);
    EXPECT_EQ(GetActiveWindow(), top);
}

TEST_F(InputTest, TheCursorIsChosenByTheParentOrTheClassAndNotUnderCapture) {
    WNDCLASS wc;
    wc.lpfnWndProc = SpyProc;
    wc.hCursor = LoadCursor(IDC_IBEAM);
    wc.lpszClassName = "SpyBeam";
    RegisterClass(wc);
    const HWND beam = Make("SpyBeam", WS_CHILD | WS_VISIBLE, {10, 70, 40, 95}, top);
    SetCursor(nullptr);
    OffscreenHarness::MouseMove({20, 80});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetCursor(), LoadCursor(IDC_IBEAM));

    bool parentDecides = true;
    hook = [&](HWND h, UINT m, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (h != top || m != WM_SETCURSOR || !parentDecides) return false;
        EXPECT_EQ(HWND(wParam), beam);
        EXPECT_EQ(lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        SetCursor(LoadCursor(IDC_CROSS));
        result = TRUE;
        return true;
    };
    OffscreenHarness::MouseMove({21, 80});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetCursor(), LoadCursor(IDC_CROSS));

    parentDecides = false;
    SetCapture(a);
    seen.clear();
    OffscreenHarness::MouseMove({22, 80});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(a, {WM_SETCURSOR, WM_MOUSEMOVE}), std::vector<UINT>{WM_MOUSEMOVE});
    EXPECT_TRUE(MessagesOf(beam, {WM_SETCURSOR}).empty());
    ReleaseCapture();
}

TEST_F(WindowTest, PositionChangesCanBeAdjustedAndTheirDefaultHandlingMovesAndSizes) {
    const HWND w = Make("Spy", WS_POPUP, {0, 0, 50, 50});
    bool swallowChanged = false;
    std::vector<UINT> changedFlags;
    hook = [&](HWND, UINT m, WPARAM, LPARAM lParam, LRESULT&) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (m == WM_WINDOWPOSCHANGING) pos->cx = std::max(pos->cx, 30);
        if (m == WM_WINDOWPOSCHANGED) changedFlags.push_back(pos->flags & (SWP_NOMOVE | SWP_NOSIZE));
        return m == WM_WINDOWPOSCHANGED && swallowChanged;
    };
    seen.clear();
    SetWindowPos(w, 0, 0, 0, 10, 20, SWP_NOMOVE | SWP_NOZORDER);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{0, 0, 30, 20}));
    EXPECT_EQ(MessagesOf(w, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}));

    seen.clear();
    MoveWindow(w, 5, 5, 30, 20, TRUE);
    EXPECT_EQ(MessagesOf(w, {WM_SIZE, WM_MOVE}), std::vector<UINT>{WM_MOVE});

    swallowChanged = true;
    seen.clear();
    MoveWindow(w, 6, 6, 40, 40, TRUE);
    EXPECT_TRUE(MessagesOf(w, {WM_SIZE, WM_MOVE}).empty());
    EXPECT_EQ(changedFlags, (std::vector<UINT>{SWP_NOMOVE, SWP_NOSIZE, 0}));
}

std::vector<std::pair<int, WPARAM>> hooked;
HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;
LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    hooked.emplace_back(code, wParam);
    if (code == HC_ACTION && wParam == 'X') return 1;
    return CallNextHookEx(keyboardHook, code, wParam, lParam);
}
LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    hooked.emplace_back(code, wParam);
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN) {
        EXPECT_EQ(info->pt, (POINT{20, 20}));
        EXPECT_EQ(info->wHitTestCode, UINT(HTCLIENT));
        return 1;
    }
    return CallNextHookEx(mouseHook, code, wParam, lParam);
}

TEST_F(InputTest, KeyboardAndMouseHooksSeeInputAsItIsTakenAndCanThrowItAway) {
    SetFocus(a);
    hooked.clear();
    keyboardHook = SetWindowsHookEx(WH_KEYBOARD, KeyboardHook, nullptr, 0);
    mouseHook = SetWindowsHookEx(WH_MOUSE, MouseHook, nullptr, 0);
    seen.clear();
    OffscreenHarness::Key(Qt::Key_X, Qt::NoModifier, "x", true);
    OffscreenHarness::Key(Qt::Key_Y, Qt::NoModifier, "y", true);
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseRelease({20, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(a, {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_LBUTTONUP}));
    EXPECT_GE(GetKeyState('X'), 0);
    EXPECT_LT(GetKeyState('Y'), 0);
    const std::vector<std::pair<int, WPARAM>> taken{
        {HC_ACTION, 'X'}, {HC_ACTION, 'Y'}, {HC_ACTION, WM_LBUTTONDOWN}, {HC_ACTION, WM_LBUTTONUP}};
    std::vector<std::pair<int, WPARAM>> actions;
    for (const auto& h : hooked)
        if (h.first == HC_ACTION) actions.push_back(h);
    EXPECT_EQ(actions, taken);

    EXPECT_TRUE(UnhookWindowsHookEx(keyboardHook));
    EXPECT_TRUE(UnhookWindowsHookEx(mouseHook));
    EXPECT_FALSE(UnhookWindowsHookEx(mouseHook));
    hooked.clear();
    OffscreenHarness::Key(Qt::Key_X, Qt::NoModifier, "x", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(hooked.empty());
}

} // namespace
} // namespace vq
