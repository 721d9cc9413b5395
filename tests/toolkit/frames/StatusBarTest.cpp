#include "platform/classlib/FrameWnd.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/SystemColours.h"
#include "platform/thread/MonotonicClock.h"
#include "status.h"
#include "tests/support/TestPaths.h"
#include "toolkit/frames/TkCustomStatusBar.h"

#include <gtest/gtest.h>
#include <memory>

namespace vq::test {
namespace {

COLORREF Face() {
    return GetSysColor(COLOR_BTNFACE);
}

// A frame handing every WM_DRAWITEM of its status control back to the control's object.
class StatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        RegisterStandardControls();
        frame = std::make_unique<CFrameWnd>();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE | WS_THICKFRAME,
                                    RECT{0, 0, 640, 120}, nullptr, 0));
    }
    void TearDown() override {
        bar.reset();
        frame->DestroyWindow();
        frame.reset();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    template <typename Bar> Bar& MakeBar(const std::vector<UINT>& ids) {
        auto made = std::make_unique<Bar>();
        Bar& result = *made;
        EXPECT_TRUE(made->Create(frame.get(), WS_CHILD | WS_VISIBLE | CBRS_BOTTOM));
        bar = std::move(made);
        EXPECT_TRUE(result.SetIndicators(ids.data(), int(ids.size())));
        frame->RecalcLayout();
        OffscreenHarness::RunUntilIdle();
        return result;
    }

    COLORREF At(HWND window, std::int32_t x, std::int32_t y) {
        OffscreenHarness::RunUntilIdle();
        return OffscreenHarness::Pixel(window, x, y);
    }

    // Pixels of a colour inside a rectangle of a window.
    int Count(HWND window, const RECT& r, COLORREF colour) {
        OffscreenHarness::RunUntilIdle();
        int n = 0;
        for (std::int32_t y = r.top; y < r.bottom; ++y)
            for (std::int32_t x = r.left; x < r.right; ++x)
                n += OffscreenHarness::Pixel(window, x, y) == colour;
        return n;
    }

    RECT PaneRect(int index) {
        RECT r{};
        static_cast<TkCustomStatusBar*>(bar.get())->GetPaneRect(index, r);
        return r;
    }

    void Save(const char* name) {
        OffscreenHarness::RunUntilIdle();
        EXPECT_TRUE(
            OffscreenHarness::SaveScreenshot(frame->m_hWnd, TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }

    ManualMonotonicClock clock{1'000'000'000};
    std::unique_ptr<CFrameWnd> frame;
    std::unique_ptr<TkStatusBar> bar;
};

TEST_F(StatusTest, StatusControlDrawsItsPartsEdgesAndGrip) {
    const HWND control =
        CreateWindowEx(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE, 0, 40,
                       400, 24, frame->m_hWnd, 5, nullptr);
    ASSERT_TRUE(control);
    const int edges[] = {120, 260, -1};
    SendMessage(control, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessage(control, SB_SETTEXT, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("Ready"));
    SendMessage(control, SB_SETTEXT, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Raised"));
    SendMessage(control, SB_SETTEXT, 2 | SBT_OWNERDRAW, 77);
    EXPECT_EQ(SendMessage(control, SB_GETPARTS, 0, 0), 3);
    EXPECT_EQ(SendMessage(control, SB_GETTEXTLENGTH, 1, 0), MAKELPARAM(6, SBT_POPOUT));
    char text[16];
    EXPECT_EQ(LOWORD(SendMessage(control, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text))), 5);
    EXPECT_STREQ(text, "Ready");
    EXPECT_EQ(SendMessage(control, SB_GETTEXT, 2, 0), 77) << "an owner-drawn part answers its value";

    RECT parts[3];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(SendMessage(control, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&parts[i])));
    EXPECT_EQ(parts[0].left, 0);
    EXPECT_EQ(parts[0].right, 120);
    EXPECT_EQ(parts[1].left, 122);
    EXPECT_EQ(parts[2].top, 2);
    EXPECT_EQ(parts[2].bottom, 22);
    EXPECT_FALSE(SendMessage(control, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&parts[0])));

    // Absent, raised and sunken edges: the top-left pixel of each part.
    EXPECT_EQ(At(control, parts[0].left, parts[0].top), Face());
    EXPECT_EQ(At(control, parts[1].left, parts[1].top), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(control, parts[2].left, parts[2].top), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(control, parts[2].right - 1, parts[2].bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_GT(Count(control, parts[0], GetSysColor(COLOR_BTNTEXT)), 0) << "the text";

    RECT window;
    GetWindowRect(control, &window);
    EXPECT_EQ(SendMessage(control, WM_NCHITTEST, 0, MAKELPARAM(window.right - 3, window.bottom - 3)),
              HTBOTTOMRIGHT);
    EXPECT_NE(SendMessage(control, WM_NCHITTEST, 0, MAKELPARAM(window.left + 3, window.bottom - 3)),
              HTBOTTOMRIGHT);
    Save("status-control.png");
    DestroyWindow(control);
}

TEST_F(StatusTest, IndicatorsStretchMeasureAndFallBackToTwoBlanks) {
    TkStatusBar& status = MakeBar<TkStatusBar>({0, IDS_STATUS_NET, ID_INDICATOR_NONE});
    EXPECT_EQ(status.GetPaneStyle(0), UINT(SBPS_NOBORDERS | SBPS_STRETCH));
    EXPECT_EQ(status.GetPaneText(1), "Adapters: 3");
    EXPECT_EQ(status.GetPaneText(2), "  ");
    EXPECT_EQ(status.GetPane(1).width, status.TextExtent("Adapters: 3").cx);
    EXPECT_EQ(status.GetPane(2).width, status.TextExtent("  ").cx);
    RECT client;
    GetClientRect(status.m_hWnd, &client);
    RECT last, middle, first;
    status.GetItemRect(0, &first);
    status.GetItemRect(1, &middle);
    status.GetItemRect(2, &last);
    EXPECT_EQ(middle.Width(), status.GetPane(1).width + 6);
    EXPECT_EQ(last.Width(), status.GetPane(2).width + 6);
    EXPECT_GT(first.Width(), 150) << "pane 0 takes the free width";
    EXPECT_EQ(status.FindPaneById(IDS_STATUS_NET), 1);
    EXPECT_EQ(status.FindPaneById(999), -1);
}

TEST_F(StatusTest, TextMessagesAddressThePaneWithoutId) {
    TkStatusBar& status = MakeBar<TkStatusBar>({0, IDS_STATUS_NET});
    EXPECT_EQ(SendMessage(status.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready")), 0);
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    EXPECT_EQ(SendMessage(status.m_hWnd, WM_GETTEXTLENGTH, 0, 0), 5);
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(SendMessage(status.m_hWnd, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_STREQ(buffer, "Rea");
    EXPECT_EQ(SendMessage(status.m_hWnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);

    TkStatusBar& without = MakeBar<TkStatusBar>({IDS_STATUS_NET});
    EXPECT_EQ(SendMessage(without.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready")), -1);
}

// A frame whose command handlers disable or check the adapters pane.
class UpdatingFrame : public CFrameWnd {
public:
    BOOL enable = TRUE;
    int check = 0;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override {
        if (id == IDS_STATUS_NET && code == CN_UPDATE_COMMAND_UI && extra) {
            auto* ui = static_cast<CCmdUI*>(extra);
            ui->Enable(enable);
            ui->SetCheck(check);
            return TRUE;
        }
        return CFrameWnd::OnCmdMsg(id, code, extra, info);
    }
};

TEST_F(StatusTest, CommandUpdatesHideAndPopOutAPane) {
    frame->DestroyWindow();
    auto updating = std::make_unique<UpdatingFrame>();
    ASSERT_TRUE(
        updating->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 120}, nullptr, 0));
    UpdatingFrame* target = updating.get();
    frame = std::move(updating);
    TkStatusBar& status = MakeBar<TkStatusBar>({0, IDS_STATUS_NET});
    RECT pane;
    status.GetItemRect(1, &pane);
    const RECT inside{pane.left + 2, pane.top + 2, pane.right - 2, pane.bottom - 2};
    EXPECT_GT(Count(status.m_hWnd, inside, GetSysColor(COLOR_BTNTEXT)), 0);

    target->enable = FALSE;
    status.OnUpdateCmdUI(target, FALSE);
    EXPECT_TRUE(status.GetPaneStyle(1) & SBPS_DISABLED);
    EXPECT_EQ(Count(status.m_hWnd, inside, GetSysColor(COLOR_BTNTEXT)), 0) << "the text turned face";
    EXPECT_EQ(status.GetPaneText(1), "Adapters: 3");

    target->enable = TRUE;
    target->check = 1;
    status.OnUpdateCmdUI(target, FALSE);
    EXPECT_GT(Count(status.m_hWnd, inside, GetSysColor(COLOR_BTNTEXT)), 0);
    EXPECT_TRUE(status.GetPaneStyle(1) & SBPS_POPOUT);
    EXPECT_EQ(At(status.m_hWnd, pane.left, pane.top), GetSysColor(COLOR_BTNHIGHLIGHT)) << "popped out";
}

TEST_F(StatusTest, CustomPanesDrawColoursAlignmentAndBitmaps) {
    TkCustomStatusBar& status =
        MakeBar<TkCustomStatusBar>({0, IDS_STATUS_NET, ID_INDICATOR_CAPS, ID_INDICATOR_NONE});
    SendMessage(status.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
    TkStatusPaneInfo coloured;
    coloured.index = 1;
    coloured.width = 110;
    coloured.textColor = RGB(200, 0, 0);
    coloured.backColor = RGB(255, 255, 0);
    coloured.alignment = TA_RIGHT;
    coloured.mask = TkStatusPaneInfo::maskWidth | TkStatusPaneInfo::maskTextColor |
                    TkStatusPaneInfo::maskBackColor | TkStatusPaneInfo::maskAlignment;
    status.SetPaneInfoEx(coloured, FALSE);

    HDC screen = GetDC(0);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 12, 10);
    ReleaseDC(0, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
        const RECT all{0, 0, 12, 10};
        FillRect(dc, &all, green);
        DeleteObject(green);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    TkStatusPaneInfo picture;
    picture.index = 2;
    picture.bitmap = bitmap;
    picture.mask = TkStatusPaneInfo::maskBitmap;
    status.SetPaneInfoEx(picture, TRUE);
    EXPECT_EQ(status.GetPane(2).width, 12) << "fitted to the bitmap";

    TkStatusPaneInfo centred;
    centred.index = 3;
    centred.text = "NUM";
    centred.width = 60;
    centred.alignment = TA_CENTER;
    centred.mask = TkStatusPaneInfo::maskText | TkStatusPaneInfo::maskWidth | TkStatusPaneInfo::maskAlignment;
    status.SetPaneInfoEx(centred, FALSE);
    frame->RecalcLayout();

    const RECT colourPane = PaneRect(1);
    EXPECT_GT(Count(status.m_hWnd, colourPane, RGB(255, 255, 0)), 0) << "the background";
    const int leftHalfRed =
        Count(status.m_hWnd, {colourPane.left, colourPane.top, colourPane.left + 8, colourPane.bottom},
              RGB(200, 0, 0));
    const int rightHalfRed =
        Count(status.m_hWnd, {colourPane.right - 12, colourPane.top, colourPane.right, colourPane.bottom},
              RGB(200, 0, 0));
    EXPECT_EQ(leftHalfRed, 0);
    EXPECT_GT(rightHalfRed, 0) << "right-aligned text";

    const RECT bitmapPane = PaneRect(2);
    EXPECT_EQ(At(status.m_hWnd, bitmapPane.left + 1 + 11, bitmapPane.top + 1 + 9), RGB(0, 160, 0));
    EXPECT_NE(At(status.m_hWnd, bitmapPane.left + 1 + 5, bitmapPane.top + 1 + 11), RGB(0, 160, 0))
        << "its own size";

    const RECT centrePane = PaneRect(3);
    const std::int32_t middle = (centrePane.left + centrePane.right) / 2;
    EXPECT_GT(Count(status.m_hWnd, {middle - 6, centrePane.top, middle + 6, centrePane.bottom},
                    GetSysColor(COLOR_BTNTEXT)),
              0);
    EXPECT_EQ(Count(status.m_hWnd,
                    {centrePane.left + 1, centrePane.top + 2, centrePane.left + 10, centrePane.bottom - 2},
                    GetSysColor(COLOR_BTNTEXT)),
              0);
    Save("status-custom.png");
    status.DestroyWindow();
    DeleteObject(bitmap);
}

TEST_F(StatusTest, PaneWindowsStayInTheirPanesAndCursorsFollowPanes) {
    TkCustomStatusBar& status = MakeBar<TkCustomStatusBar>({0, IDS_STATUS_NET, ID_INDICATOR_CAPS});
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 30, 8}, &status, 9));
    status.SetPaneWindow(1, &child, 0, TkCustomStatusBar::keepHeight | TkCustomStatusBar::insetWindow);
    auto placed = [&] {
        RECT r;
        GetWindowRect(child.m_hWnd, &r);
        POINT origin{r.left, r.top};
        ScreenToClient(status.m_hWnd, &origin);
        return RECT{origin.x, origin.y, origin.x + r.Width(), origin.y + r.Height()};
    };
    RECT pane = PaneRect(1);
    EXPECT_EQ(placed(), (RECT{pane.left + 1, pane.top, pane.right - 1, pane.top + 8}));

    MoveWindow(frame->m_hWnd, 0, 0, 720, 120, TRUE);
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
    pane = PaneRect(1);
    EXPECT_EQ(placed(), (RECT{pane.left + 1, pane.top, pane.right - 1, pane.top + 8})) << "after a resize";

    HCURSOR hand = LoadCursor(IDC_HAND);
    TkStatusPaneInfo pointer;
    pointer.index = 2;
    pointer.cursor = hand;
    pointer.mask = TkStatusPaneInfo::maskCursor;
    status.SetPaneInfoEx(pointer, FALSE);
    const RECT cursorPane = PaneRect(2);
    POINT inside{cursorPane.left + 3, cursorPane.top + 3};
    ClientToScreen(status.m_hWnd, &inside);
    OffscreenHarness::MouseMove(inside);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetCursor(), hand);
    child.DestroyWindow();
}

TEST_F(StatusTest, EveryOneOfManyPanesHasARectangle) {
    std::vector<UINT> ids(33, ID_INDICATOR_NONE);
    ids[0] = 0;
    TkCustomStatusBar& status = MakeBar<TkCustomStatusBar>(ids);
    for (int i = 0; i < 33; ++i) {
        RECT r;
        SCOPED_TRACE(i);
        EXPECT_TRUE(status.GetPaneRect(i, r));
    }
    EXPECT_EQ(status.PaneFromPoint({-5, -5}), -1);
}

TEST_F(StatusTest, ProgressTakesPaneZeroAndGivesItBack) {
    TkCustomStatusBar& status = MakeBar<TkCustomStatusBar>({0, IDS_STATUS_NET});
    SendMessage(status.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
    const TkStatusPane before = status.GetPane(0);

    ASSERT_TRUE(status.ShowProgress("Loading", 0, 200, TRUE, 0x4100));
    EXPECT_EQ(status.GetPaneText(0), "Loading ");
    EXPECT_EQ(status.GetPane(0).width, status.TextExtent("Loading ").cx);
    TkProgressCtrl* progress = status.GetProgress();
    ASSERT_TRUE(progress);
    RECT placed;
    GetWindowRect(progress->m_hWnd, &placed);
    POINT origin{placed.left, placed.top};
    ScreenToClient(status.m_hWnd, &origin);
    EXPECT_EQ(origin.x, status.TextExtent("Loading ").cx + 2 * 0 + 2 * 2 + 1);
    EXPECT_TRUE(IsWindowVisible(progress->m_hWnd));
    status.SetProgressPos(50);
    RECT client;
    GetClientRect(progress->m_hWnd, &client);
    const std::int32_t quarter = client.Width() / 4;
    EXPECT_EQ(At(progress->m_hWnd, quarter - 1, 0), COLORREF(0x800000));
    EXPECT_EQ(At(progress->m_hWnd, quarter + 1, 0), COLORREF(0xFFFFFF));
    EXPECT_EQ(SendMessage(status.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Busy")), 0);
    EXPECT_EQ(status.GetPaneText(0), "Loading ") << "ignored while the progress shows";
    Save("status-progress.png");

    status.HideProgress();
    EXPECT_FALSE(status.GetProgress());
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    EXPECT_EQ(status.GetPane(0).width, before.width);
    EXPECT_EQ(status.GetPane(0).style, before.style);
}

} // namespace
} // namespace vq::test
