#include "toolkit/controls/TkColorWell.h"

#include "platform/classlib/DialogTemplate.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/Palette.h"
#include "platform/gui/SystemColours.h"
#include "tests/support/TestPaths.h"
#include "toolkit/controls/TkPopupColorWell.h"
#include "toolkit/controls/TkWellButton.h"

#include <QApplication>
#include <QColorDialog>
#include <QString>
#include <QTimer>
#include <gtest/gtest.h>

namespace vq::test {
namespace {

constexpr UINT wellId = 300;
constexpr UINT buttonId = 400;

// Keeps every pick a well or a button reports, and every click it receives.
class PickSpy : public CWnd {
public:
    struct Pick {
        WPARAM id;
        COLORREF colour;
    };
    std::vector<Pick> picks;
    int clicks = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TK_COLORSELECTED) picks.push_back({wParam, COLORREF(lParam)});
        if (message == WM_LBUTTONDOWN) ++clicks;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Answers the colour dialog from the test and keeps what it was asked.
class ScriptedColours : public CommonDialogProvider {
public:
    std::optional<COLORREF> answer;
    std::optional<COLORREF> customAnswer;
    std::vector<ColourRequest> requests;

    std::optional<std::string> PickFile(HWND, const FileRequest&) override { return std::nullopt; }
    std::optional<COLORREF> PickColour(HWND, ColourRequest& request) override {
        requests.push_back(request);
        if (customAnswer) request.custom[0] = *customAnswer;
        return answer;
    }
    std::optional<std::string> PickFolder(HWND, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

// A grid whose second cell repeats the fifth's colour.
class TwinWell : public TkColorWell {
public:
    void FillPaletteEntries(PALETTEENTRY* entries, int, int) override { entries[1] = entries[4]; }
};

class TkColorWellTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = SetCommonDialogProvider(&colours);
        DialogTemplate t;
        t.style = WS_POPUP | WS_VISIBLE;
        t.rect = RECT{0, 0, 300, 260};
        t.items = {{"button", "Before", 100, WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{200, 10, 280, 34}},
                   {"button", "After", 101, WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{200, 50, 280, 74}}};
        ASSERT_TRUE(dialog.CreateDlgIndirect(t, nullptr));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        ReleaseCapture();
        dialog.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetCommonDialogProvider(previous);
    }
    void Open(TkColorWell& well, BOOL other = TRUE) {
        ASSERT_TRUE(well.Create(WS_VISIBLE | WS_TABSTOP, 10, 10, &dialog, wellId, FALSE, other));
        SetWindowPos(well.m_hWnd, GetDlgItem(dialog.m_hWnd, 100), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        OffscreenHarness::RunUntilIdle();
    }
    static COLORREF Entry(int column, int row) {
        const PALETTEENTRY e = DefaultPaletteEntries()[std::size_t(column + row * 4)];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(key, modifiers, QString(), true);
        OffscreenHarness::Key(key, modifiers, QString(), false);
        OffscreenHarness::RunUntilIdle();
    }
    static POINT Screen(HWND window, POINT p) {
        ClientToScreen(window, &p);
        return p;
    }
    static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static void Click(POINT screen) {
        OffscreenHarness::MousePress(screen);
        OffscreenHarness::MouseRelease(screen);
        OffscreenHarness::RunUntilIdle();
    }
    static std::int32_t Width(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r.Width();
    }

    ScriptedColours colours;
    CommonDialogProvider* previous = nullptr;
    PickSpy dialog;
};

TEST_F(TkColorWellTest, TheSelectedCellIsFramedAndACustomColourGetsItsOwnCell) {
    TkColorWell well;
    Open(well);
    well.SetColor(Entry(1, 0));
    OffscreenHarness::RunUntilIdle();
    const RECT selected = well.GetCellRect(1, 0);
    const std::int32_t y = (selected.top + selected.bottom) / 2;
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, selected.left - 1, y), RGB(0, 0, 0));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, selected.left, y), RGB(255, 255, 255));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, selected.left + 1, y), RGB(0, 0, 0));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, selected.left + 2, y), Entry(1, 0));
    const RECT plain = well.GetCellRect(0, 1);
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, plain.left, plain.top + 3), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, plain.right - 1, plain.top + 3),
              GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, plain.left + 1, plain.top + 3),
              GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, plain.left + 2, plain.top + 3), Entry(0, 1));

    const HWND other = well.GetOtherButton()->m_hWnd;
    const std::int32_t wide = Width(other);
    well.SetColor(RGB(1, 2, 3));
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(well.HasCustomColor());
    EXPECT_EQ(Width(other), wide - (well.GetCellWidth() + 2));
    const RECT custom = well.GetCellRect(3, 5);
    const RECT last = well.GetCellRect(3, 4);
    EXPECT_EQ(custom.left, last.left);
    EXPECT_EQ(custom.top, last.top + last.Height() + 2 + 5); // one row down, 5 pixels lower
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, custom.left + 3, custom.top + 3), RGB(1, 2, 3));
    EXPECT_EQ(OffscreenHarness::Pixel(well.m_hWnd, custom.left - 1, custom.top + 3), RGB(0, 0, 0));
    EXPECT_TRUE(
        OffscreenHarness::SaveScreenshot(dialog.m_hWnd, TestPath("VQ_TEST_OUTPUT_DIR") + "/colour-well.png"));

    well.SetColor(RGB(4, 5, 6));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Width(other), wide - (well.GetCellWidth() + 2));
    EXPECT_EQ(well.GetColor(), RGB(4, 5, 6));
    EXPECT_TRUE(dialog.picks.empty()); // setting is no pick
}

TEST_F(TkColorWellTest, ArrowKeysWalkTheGridThroughTheCustomCellAndReportEachStep) {
    struct Case {
        int column, row;
        int key;
        int toColumn, toRow;
    };
    const Case plain[] = {
        {0, 0, Qt::Key_Left, 3, 4}, {3, 4, Qt::Key_Right, 0, 0}, {2, 0, Qt::Key_Up, 2, 4},
        {2, 4, Qt::Key_Down, 2, 0}, {3, 1, Qt::Key_Right, 0, 2}, {0, 2, Qt::Key_Left, 3, 1},
    };
    const Case custom[] = {
        {0, 0, Qt::Key_Left, 3, 5}, {3, 4, Qt::Key_Right, 3, 5}, {3, 5, Qt::Key_Right, 0, 0},
        {3, 5, Qt::Key_Left, 3, 4}, {3, 0, Qt::Key_Up, 3, 5},    {3, 4, Qt::Key_Down, 3, 5},
        {3, 5, Qt::Key_Down, 3, 0}, {3, 5, Qt::Key_Up, 3, 4},    {2, 4, Qt::Key_Down, 2, 0},
    };
    for (const bool withCustom : {false, true}) {
        TkColorWell well;
        Open(well);
        if (withCustom) well.SetColor(RGB(1, 2, 3));
        SetFocus(well.m_hWnd);
        for (const Case& c : withCustom ? std::vector<Case>(std::begin(custom), std::end(custom))
                                        : std::vector<Case>(std::begin(plain), std::end(plain))) {
            SCOPED_TRACE(testing::Message()
                         << withCustom << " " << c.column << "," << c.row << " key " << c.key);
            well.SetColor(c.row == 5 ? RGB(1, 2, 3) : Entry(c.column, c.row));
            dialog.picks.clear();
            Press(c.key);
            EXPECT_EQ(well.GetSelectedColumn(), c.toColumn);
            EXPECT_EQ(well.GetSelectedRow(), c.toRow);
            ASSERT_EQ(dialog.picks.size(), 1u);
            EXPECT_EQ(dialog.picks[0].id, wellId);
            EXPECT_EQ(dialog.picks[0].colour, well.GetColor());
        }
        well.DestroyWindow();
    }
}

TEST_F(TkColorWellTest, TabReachesTheOtherButtonAndShiftTabFromOutsideLandsThere) {
    TkColorWell well;
    Open(well);
    SetFocus(well.m_hWnd);
    Press(Qt::Key_Tab);
    EXPECT_EQ(GetFocus(), well.GetOtherButton()->m_hWnd);
    Press(Qt::Key_Tab);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.m_hWnd, 101));
    // Shift held while the focus comes from outside: the focus passes on to the last stop.
    PostMessage(dialog.m_hWnd, WM_KEYDOWN, VK_SHIFT, 0);
    OffscreenHarness::RunUntilIdle();
    SetFocus(well.m_hWnd);
    EXPECT_EQ(GetFocus(), well.GetOtherButton()->m_hWnd);
    PostMessage(dialog.m_hWnd, WM_KEYUP, VK_SHIFT, 0);
    OffscreenHarness::RunUntilIdle();
    SetFocus(GetDlgItem(dialog.m_hWnd, 101));
    SetFocus(well.m_hWnd);
    EXPECT_EQ(GetFocus(), well.m_hWnd);
}

TEST_F(TkColorWellTest, AColourHeldTwiceSelectsTheFirstColumnByColumnAndHotTrackingWaitsToBeAsked) {
    TwinWell twin;
    Open(twin, FALSE);
    twin.SetColor(Entry(0, 1));
    EXPECT_EQ(twin.GetSelectedColumn(), 0);
    EXPECT_EQ(twin.GetSelectedRow(), 1);
    twin.SetColor(RGB(1, 2, 3)); // no "&Other...": ignored
    EXPECT_EQ(twin.GetSelectedRow(), 1);
    EXPECT_FALSE(twin.HasCustomColor());

    const POINT over = Screen(twin.m_hWnd, Centre(twin.GetCellRect(2, 3)));
    OffscreenHarness::MouseMove(over);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(twin.GetSelectedColumn(), 0);
    EXPECT_TRUE(dialog.picks.empty());
    twin.SetHotTracking(TRUE);
    OffscreenHarness::MouseMove(Screen(twin.m_hWnd, Centre(twin.GetCellRect(2, 2))));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(twin.GetSelectedColumn(), 2);
    EXPECT_EQ(twin.GetSelectedRow(), 2);
    EXPECT_EQ(dialog.picks.size(), 1u);
}

TEST_F(TkColorWellTest, OtherAsksTheColourDialogWithTheWellsColours) {
    TkColorWell well;
    Open(well);
    std::array<COLORREF, 16> customs{};
    customs[5] = RGB(9, 9, 9);
    well.SetCustomColors(customs.data());
    well.SetColor(Entry(2, 2));
    const HWND other = well.GetOtherButton()->m_hWnd;
    const std::int32_t wide = Width(other);

    colours.answer.reset();
    Click(Screen(other, POINT{5, 5}));
    ASSERT_EQ(colours.requests.size(), 1u);
    EXPECT_EQ(colours.requests[0].initial, Entry(2, 2));
    EXPECT_TRUE(colours.requests[0].fullOpen);
    EXPECT_EQ(colours.requests[0].custom[5], RGB(9, 9, 9));
    EXPECT_EQ(well.GetColor(), Entry(2, 2));
    EXPECT_FALSE(well.HasCustomColor());
    EXPECT_TRUE(dialog.picks.empty());

    colours.answer = RGB(10, 20, 30);
    colours.customAnswer = RGB(7, 7, 7);
    Click(Screen(other, POINT{5, 5}));
    EXPECT_EQ(well.GetColor(), RGB(10, 20, 30));
    EXPECT_TRUE(well.HasCustomColor());
    EXPECT_EQ(Width(other), wide - (well.GetCellWidth() + 2));
    EXPECT_EQ(customs[0], RGB(7, 7, 7));
    ASSERT_EQ(dialog.picks.size(), 1u);
    EXPECT_EQ(dialog.picks[0].colour, RGB(10, 20, 30));
}

class TkWellButtonTest : public TkColorWellTest {
protected:
    void OpenButton(RECT place = RECT{20, 150, 100, 174}) {
        ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place, &dialog, buttonId, 0));
        OffscreenHarness::RunUntilIdle();
    }
    void Drop() {
        RECT r;
        GetWindowRect(button.m_hWnd, &r);
        Click(Centre(r));
    }
    bool Open() const { return button.GetPopup()->IsShown() && IsWindow(button.GetPopup()->m_hWnd); }

    TkWellButton button;
};

TEST_F(TkWellButtonTest, TheButtonDrawsItsArrowSeparatorAndSwatch) {
    button.SetColor(RGB(0, 128, 128));
    OpenButton();
    // The content is the button less its frame: 1 pixel on the left and top, 2 on the right and bottom.
    const RECT r{1, 1, 80 - 2, 24 - 2};
    const std::int32_t x = r.right - 7, y = r.top + (r.Height() - 3) / 2;
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, x, y), RGB(0, 0, 0));
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, x + 2, y + 2), RGB(0, 0, 0));
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, r.right - 10, r.top + 5),
              tkButtonColors.separatorShadow);
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, r.right - 9, r.top + 5), tkButtonColors.highlight);
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, r.left + 3, r.top + 5), RGB(0, 0, 0));
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, r.left + 6, r.top + 5), RGB(0, 128, 128));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(button.m_hWnd,
                                                 TestPath("VQ_TEST_OUTPUT_DIR") + "/colour-well-button.png"));

    button.SetUsePalette(TRUE);
    button.Invalidate();
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(OffscreenHarness::Pixel(button.m_hWnd, r.left + 6, r.top + 5), RGB(0, 128, 128));

    EnableWindow(button.m_hWnd, FALSE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_NE(OffscreenHarness::Pixel(button.m_hWnd, r.left + 6, r.top + 5), RGB(0, 128, 128));
}

TEST_F(TkWellButtonTest, APopupOpensBelowTracksWithoutTellingAndCommitsAClick) {
    button.SetColor(Entry(0, 0));
    OpenButton();
    Drop();
    ASSERT_TRUE(Open());
    TkPopupColorWell& popup = *button.GetPopup();
    RECT below, place;
    GetWindowRect(popup.m_hWnd, &below);
    GetWindowRect(button.m_hWnd, &place);
    EXPECT_EQ(below.top, place.bottom);
    EXPECT_EQ(below.left, place.left);

    OffscreenHarness::MouseMove(Screen(popup.m_hWnd, Centre(popup.GetCellRect(1, 1))));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(popup.GetSelectedColumn(), 1);
    EXPECT_EQ(popup.GetSelectedRow(), 1);
    EXPECT_TRUE(dialog.picks.empty());

    // A click on the owning button leaves the popup open.
    Click(Centre(place));
    EXPECT_TRUE(Open());

    Click(Screen(popup.m_hWnd, Centre(popup.GetCellRect(2, 3))));
    EXPECT_FALSE(Open());
    EXPECT_EQ(button.GetColor(), Entry(2, 3));
    ASSERT_EQ(dialog.picks.size(), 1u);
    EXPECT_EQ(dialog.picks[0].id, buttonId);
    EXPECT_EQ(dialog.picks[0].colour, Entry(2, 3));
}

TEST_F(TkWellButtonTest, AClickElsewhereClosesThePopupAndStillReachesItsWindow) {
    OpenButton();
    Drop();
    ASSERT_TRUE(Open());
    dialog.clicks = 0;
    Click(Screen(dialog.m_hWnd, POINT{250, 240}));
    EXPECT_FALSE(Open());
    EXPECT_EQ(dialog.clicks, 1);

    Drop();
    ASSERT_TRUE(Open());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(Open());
    EXPECT_TRUE(dialog.picks.empty());
}

TEST_F(TkWellButtonTest, TabReachesOtherWithoutClosingAndMovingOnClosesOnce) {
    OpenButton();
    Drop();
    ASSERT_TRUE(Open());
    Press(Qt::Key_Tab);
    EXPECT_TRUE(Open());
    EXPECT_EQ(GetFocus(), button.GetPopup()->GetOtherButton()->m_hWnd);
    SetFocus(GetDlgItem(dialog.m_hWnd, 101));
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(Open());
    // The same popup opens again.
    Drop();
    EXPECT_TRUE(Open());
}

TEST_F(TkWellButtonTest, APopupNearTheScreensEdgeOpensAboveAndRightAligned) {
    const std::int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(dialog.m_hWnd, 0, width - 60, height - 60, 60, 60, SWP_NOZORDER);
    OpenButton(RECT{10, 10, 50, 34});
    Drop();
    ASSERT_TRUE(Open());
    RECT popup, place;
    GetWindowRect(button.GetPopup()->m_hWnd, &popup);
    GetWindowRect(button.m_hWnd, &place);
    EXPECT_EQ(popup.bottom, place.top);
    EXPECT_EQ(popup.right, place.right);
}

TEST_F(TkWellButtonTest, OtherInAPopupAsksTheDialogThroughTheButton) {
    button.SetColor(Entry(3, 3));
    OpenButton();
    Drop();
    ASSERT_TRUE(Open());
    colours.answer = RGB(50, 60, 70);
    const HWND other = button.GetPopup()->GetOtherButton()->m_hWnd;
    Click(Screen(other, POINT{5, 5}));
    EXPECT_FALSE(Open());
    ASSERT_EQ(colours.requests.size(), 1u);
    EXPECT_EQ(colours.requests[0].initial, Entry(3, 3));
    EXPECT_TRUE(colours.requests[0].fullOpen);
    EXPECT_EQ(button.GetColor(), RGB(50, 60, 70));
    ASSERT_EQ(dialog.picks.size(), 1u);
    EXPECT_EQ(dialog.picks[0].id, buttonId);

    Drop();
    colours.answer.reset();
    Click(Screen(button.GetPopup()->GetOtherButton()->m_hWnd, POINT{5, 5}));
    EXPECT_EQ(button.GetColor(), RGB(50, 60, 70));
    EXPECT_EQ(dialog.picks.size(), 1u);
}

TEST_F(TkColorWellTest, TheDefaultColourDialogOpensAndItsAnswerComesBack) {
    SetCommonDialogProvider(nullptr);
    TkColorWell well;
    Open(well);
    bool shown = false;
    // The dialog runs its own loop; once it is up, the user picks a colour and presses OK.
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!picker) return;
        shown = true;
        picker->setCurrentColor(QColor(12, 34, 56));
        picker->accept();
    });
    well.GetOtherButton()->SendMessage(BM_CLICK);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(shown);
    EXPECT_EQ(well.GetColor(), RGB(12, 34, 56));
    EXPECT_TRUE(well.HasCustomColor());
}

} // namespace
} // namespace vq::test
