#include "platform/classlib/OleDragDrop.h"
#include "platform/core/Guid.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Messages.h"
#include "platform/gui/OffscreenHarness.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

// Starts a move drag of one format from its mouse-move handler while the left button is down.
class Source : public CWnd {
public:
    UINT format = 0;
    DWORD result = 0xFFFF;
    bool dragged = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON) && !dragged) {
            dragged = true;
            COleDataSource data;
            data.CacheGlobalData(format, "payload");
            result = data.DoDragDrop(DROPEFFECT_MOVE);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct Event {
    std::string what;
    HWND window;
    POINT point;
    DWORD keys;
    bool operator==(const Event& o) const {
        return what == o.what && window == o.window && point == o.point && keys == o.keys;
    }
};

// Records what a drag does over its window and answers with `effect`.
class SpyTarget : public COleDropTarget {
public:
    SpyTarget(std::vector<Event>& events, DWORD effect) : events_(events), effect_(effect) {}
    UINT format = 0;
    DWORD OnDragEnter(CWnd* window, COleDataObject* data, DWORD keys, POINT point) override {
        events_.push_back({"enter", window->m_hWnd, point, keys});
        return data->IsDataAvailable(format) ? effect_ : DROPEFFECT_NONE;
    }
    DWORD OnDragOver(CWnd* window, COleDataObject*, DWORD keys, POINT point) override {
        events_.push_back({"over", window->m_hWnd, point, keys});
        cursors.push_back(GetCursor());
        return effect_;
    }
    void OnDragLeave(CWnd* window) override { events_.push_back({"leave", window->m_hWnd, POINT{}, 0}); }
    BOOL OnDrop(CWnd* window, COleDataObject* data, DWORD effect, POINT point) override {
        events_.push_back({"drop", window->m_hWnd, point, effect});
        dropped = data->GetData(format).value_or("");
        return TRUE;
    }
    std::vector<HCURSOR> cursors;
    std::string dropped;

private:
    std::vector<Event>& events_;
    DWORD effect_;
};

// A source, a refusing target A, an accepting target B and an unregistered window side by side.
class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        format = RegisterClipboardFormat("VQ_TEST_DRAG");
        source.format = refusing.format = accepting.format = format;
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 100}, nullptr, 0));
        ASSERT_TRUE(source.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 100}, &parent, 1));
        ASSERT_TRUE(a.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{100, 0, 200, 100}, &parent, 2));
        ASSERT_TRUE(b.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{200, 0, 300, 100}, &parent, 3));
        ASSERT_TRUE(
            plain.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{300, 0, 400, 100}, &parent, 4));
        ASSERT_TRUE(refusing.Register(&a));
        ASSERT_TRUE(accepting.Register(&b));
        EXPECT_FALSE(accepting.Register(&b));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        refusing.Revoke();
        accepting.Revoke();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    // Presses in the source and moves a little, which starts the drag; the rest is queued first.
    void Start() {
        OffscreenHarness::MousePress(POINT{50, 50});
        OffscreenHarness::MouseMove(POINT{55, 50}, Qt::LeftButton);
    }

    UINT format = 0;
    CWnd parent, a, b, plain;
    Source source;
    std::vector<Event> events;
    SpyTarget refusing{events, DROPEFFECT_NONE};
    SpyTarget accepting{events, DROPEFFECT_MOVE};
};

TEST_F(DragDropTest, TheTargetsHearTheDragInTurnAndTheDropIsAMove) {
    Start();
    OffscreenHarness::MouseMove(POINT{120, 30}, Qt::LeftButton);
    OffscreenHarness::MouseMove(POINT{130, 30}, Qt::LeftButton);
    OffscreenHarness::MouseMove(POINT{310, 40}, Qt::LeftButton);
    OffscreenHarness::MouseMove(POINT{220, 40}, Qt::LeftButton);
    OffscreenHarness::MouseMove(POINT{225, 45}, Qt::LeftButton);
    OffscreenHarness::MouseRelease(POINT{225, 45});
    OffscreenHarness::RunUntilIdle();
    ASSERT_TRUE(source.dragged);
    const DWORD left = DWORD(MK_LBUTTON);
    const std::vector<Event> expected = {
        {"enter", a.m_hWnd, POINT{20, 30}, left}, {"over", a.m_hWnd, POINT{30, 30}, left},
        {"leave", a.m_hWnd, POINT{}, 0},          {"enter", b.m_hWnd, POINT{20, 40}, left},
        {"over", b.m_hWnd, POINT{25, 45}, left},  {"drop", b.m_hWnd, POINT{25, 45}, DROPEFFECT_MOVE},
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(accepting.dropped, "payload");
    EXPECT_EQ(source.result, DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(GetCapture(), 0u);
    // Over A, which refused, the pointer said so.
    ASSERT_FALSE(refusing.cursors.empty());
    EXPECT_EQ(refusing.cursors.back(), LoadCursor(IDC_NO));
}

TEST_F(DragDropTest, EscapeLeavesAndDropsNothing) {
    Start();
    OffscreenHarness::MouseMove(POINT{220, 40}, Qt::LeftButton);
    OffscreenHarness::Key(Qt::Key_Escape, Qt::NoModifier, QString(), true);
    OffscreenHarness::MouseRelease(POINT{220, 40});
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].what, "enter");
    EXPECT_EQ(events[1].what, "leave");
    EXPECT_EQ(source.result, DWORD(DROPEFFECT_NONE));
    EXPECT_TRUE(accepting.dropped.empty());
}

// Takes the mouse when it gets WM_USER, as a window popping up would.
class Thief : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER) SetCapture(m_hWnd);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(DragDropTest, AnotherWindowTakingTheMouseCancels) {
    Thief thief;
    ASSERT_TRUE(thief.CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 200, 10, 210}, nullptr, 0));
    Start();
    OffscreenHarness::MouseMove(POINT{220, 40}, Qt::LeftButton);
    thief.PostMessage(WM_USER);
    OffscreenHarness::MouseRelease(POINT{220, 40});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(source.result, DWORD(DROPEFFECT_NONE));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().what, "leave");
    EXPECT_EQ(GetCapture(), thief.m_hWnd);
    ReleaseCapture();
    thief.DestroyWindow();
}

TEST_F(DragDropTest, ReleasingWhereNothingAcceptsDropsNothing) {
    Start();
    OffscreenHarness::MouseMove(POINT{350, 40}, Qt::LeftButton);
    OffscreenHarness::MouseRelease(POINT{350, 40});
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(source.result, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(GetCursor(), LoadCursor(IDC_NO));
}

TEST(GuidTest, IdentitiesDiffer) {
    EXPECT_NE(NewGuid(), NewGuid());
    EXPECT_NE(NewGuid(), Guid{});
}

} // namespace
} // namespace vq
