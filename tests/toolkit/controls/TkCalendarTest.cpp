#include "CalendarFixture.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <string>

namespace vq {
namespace {

using test::CalendarTest;

constexpr COLORREF Black = 0x000000, Red = 0x0000FF;

TEST(TkPanelTest, InsetsFollowTheSelectedAndMarkedState) {
    struct Case {
        BOOL selected, marked;
        int frameEnd, bevelEnd, contentInset;
    };
    const Case cases[] = {
        {FALSE, FALSE, 1, 3, 3}, {FALSE, TRUE, 1, 3, 5}, {TRUE, FALSE, 1, 3, 3}, {TRUE, TRUE, 1, 3, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "selected " << c.selected << " marked " << c.marked);
        TkPanel panel;
        ASSERT_TRUE(
            panel.Create(RECT{10, 10, 39, 29}, nullptr, 0, 0, c.selected, c.marked, 0x17F, 0xC000, 2));
        EXPECT_EQ(panel.GetFrameEnd(), c.frameEnd);
        EXPECT_EQ(panel.GetBevelEnd(), c.bevelEnd);
        EXPECT_EQ(panel.GetContentInset(), c.contentInset);
        EXPECT_EQ(panel.GetContentRect(),
                  (RECT{10 + c.contentInset, 10 + c.contentInset, 39 - c.contentInset, 29 - c.contentInset}));
    }
    // Without the flags of a layer its insets stay where the previous layer ended.
    TkPanel bare;
    bare.Create(RECT{0, 0, 9, 9}, nullptr, 0, 0, TRUE, TRUE, 0x101, 0xC000, 2);
    EXPECT_EQ(bare.GetContentInset(), 0);
}

TEST(TkPanelTest, AnOtherMonthCellCannotBeMarked) {
    TkDayBox cell;
    cell.Create(RECT{0, 0, 29, 19}, nullptr, 0, 0, FALSE, FALSE, 0x17F, 0xC000, 2);
    cell.SetOtherMonth(TRUE);
    EXPECT_FALSE(cell.SetMarked(TRUE, FALSE));
    EXPECT_FALSE(cell.IsMarked());
    EXPECT_FALSE(cell.SetSelected(TRUE, FALSE));
    cell.SetOtherMonth(FALSE);
    EXPECT_TRUE(cell.SetMarked(TRUE, FALSE));
    EXPECT_TRUE(cell.IsMarked());
}

TEST(TkPanelTest, TheTitleNamesTheMonthInFullOnlyWithItsFlag) {
    SetCalendarLocale(0x0409);
    TkCalTitle full, brief;
    full.SetFlags(0x1000017F);
    brief.SetFlags(0x17F);
    full.SetDate(OleDateTime(2024, 3, 1, 12, 0, 0));
    brief.SetDate(OleDateTime(2024, 3, 1, 12, 0, 0));
    EXPECT_EQ(full.GetText(), "March 2024");
    EXPECT_EQ(brief.GetText(), "Mar 2024");

    // Names the locale cannot give leave the text as it was.
    SetCalendarLocale(0x0999);
    std::string name = "unchanged";
    EXPECT_FALSE(GetDayName(name, 1, TRUE));
    EXPECT_EQ(name, "unchanged");
    full.SetDate(OleDateTime(2025, 7, 1, 12, 0, 0));
    EXPECT_EQ(full.GetText(), "March 2024");
    SetCalendarLocale(0x0409);
}

TEST_F(CalendarTest, TheGridRunsFromTheFirstDayOfTheWeekBeforeTheFirst) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    EXPECT_EQ(calendar.GetCell(0).GetDate(), Day(2024, 2, 25));
    EXPECT_TRUE(calendar.GetCell(0).IsOtherMonth());
    EXPECT_EQ(calendar.GetCell(5).GetDate(), Day(2024, 3, 1));
    EXPECT_FALSE(calendar.GetCell(5).IsOtherMonth());
    EXPECT_EQ(calendar.GetCell(41).GetDate(), Day(2024, 4, 6));
    EXPECT_TRUE(calendar.GetCell(41).IsOtherMonth());
    EXPECT_EQ(calendar.GetTitle().GetText(), "March 2024");

    // April 2024 begins on a Monday: with Monday first its 1st needs no step back.
    calendar.SetFirstDayOfWeek(2, TRUE);
    ASSERT_TRUE(calendar.SetDate(Day(2024, 4, 20), TRUE));
    EXPECT_EQ(calendar.GetCell(0).GetDate(), Day(2024, 4, 1));
    EXPECT_FALSE(calendar.GetCell(0).IsOtherMonth());
    EXPECT_EQ(calendar.GetCell(29).GetDate(), Day(2024, 4, 30));
    EXPECT_TRUE(calendar.GetCell(30).IsOtherMonth());
}

TEST_F(CalendarTest, YearStepsKeepTheDayAndStopAtTheEndsOfTheRange) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    calendar.SetDate(Day(2024, 2, 10), FALSE);
    ASSERT_TRUE(calendar.SelectDate(Day(2024, 2, 29), TRUE));
    EXPECT_TRUE(calendar.NextYear(TRUE));
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2025, 2, 28));
    EXPECT_EQ(calendar.GetShownDate().GetYear(), 2025);
    EXPECT_TRUE(beeps.empty());

    struct Case {
        OleDateTime date;
        bool forward;
    };
    const Case ends[] = {{Day(9999, 3, 10), true}, {Day(100, 6, 10), false}};
    for (const Case& c : ends) {
        SCOPED_TRACE(c.date.GetYear());
        ASSERT_TRUE(calendar.SetDate(c.date, FALSE));
        ASSERT_TRUE(calendar.SelectDate(c.date, TRUE));
        beeps.clear();
        EXPECT_FALSE(c.forward ? calendar.NextYear(TRUE) : calendar.PrevYear(TRUE));
        EXPECT_EQ(beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
        EXPECT_EQ(calendar.GetSelectedDate(), c.date);
        EXPECT_EQ(calendar.GetShownDate(), c.date);
    }
}

TEST_F(CalendarTest, TheMonthButtonsKeepTheSelectionInItsGridCell) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    ASSERT_TRUE(calendar.SelectDate(Day(2024, 3, 15), TRUE));
    const TkDayBox* cell = calendar.GetSelectedCell();
    calendar.SendMessage(WM_COMMAND, TkCalTitle::idPrevMonth, 0);
    EXPECT_EQ(calendar.GetShownDate().GetMonth(), 2);
    EXPECT_EQ(calendar.GetSelectedCell(), cell);
    EXPECT_EQ(calendar.GetSelectedDate(), cell->GetDate());
    calendar.SendMessage(WM_COMMAND, TkCalTitle::idNextMonth, 0);
    EXPECT_EQ(calendar.GetShownDate().GetMonth(), 3);
    EXPECT_EQ(calendar.GetSelectedCell(), cell);
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 15));
}

TEST_F(CalendarTest, ANewWindowRectangleLaysThePanelsOutAgain) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    EXPECT_EQ(calendar.SetWindowRect(RECT{0, 0, 280, 200}), (RECT{0, 0, 210, 160}));
    EXPECT_EQ(*calendar.GetCalendarRect(), (RECT{0, 0, 280, 200}));
    EXPECT_EQ(calendar.GetCell(5).GetRect(), (RECT{200, 50, 239, 74}));
    EXPECT_EQ(calendar.GetTitle().GetRect(), (RECT{0, 0, 279, 34}));
    TkCalendar unopened;
    EXPECT_EQ(unopened.SetWindowRect(RECT{0, 0, 10, 10}), RECT{});
}

TEST_F(CalendarTest, CellsDrawTheirFrameBevelAndMarkRing) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    calendar.SelectDate(Day(2024, 3, 15), TRUE);
    calendar.MarkDate(Day(2024, 3, 20), TRUE);
    OffscreenHarness::RunUntilIdle();
    const HWND w = calendar.m_hWnd;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    // 1 March, cell 5, spans (150,40)-(179,59): black frame, raised bevel.
    EXPECT_EQ(calendar.GetCell(5).GetRect(), (RECT{150, 40, 179, 59}));
    EXPECT_EQ(OffscreenHarness::Pixel(w, 160, 40), Black);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 179, 50), Black);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 160, 41), light);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 160, 42), light);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 178, 50), dark);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 177, 50), dark);
    // 25 February, cell 0, has neither.
    EXPECT_EQ(OffscreenHarness::Pixel(w, 10, 40), face);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 10, 41), face);
    // 15 March is selected: sunken.
    EXPECT_EQ(OffscreenHarness::Pixel(w, 160, 80), Black);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 160, 81), dark);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 160, 82), dark);
    EXPECT_EQ(OffscreenHarness::Pixel(w, 178, 90), light);
    // 20 March is marked: its ring at insets 3 to 5 is pure red on every side.
    for (int i = 3; i <= 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(OffscreenHarness::Pixel(w, 100, 100 + i), Red);
        EXPECT_EQ(OffscreenHarness::Pixel(w, 90 + i, 110), Red);
        EXPECT_EQ(OffscreenHarness::Pixel(w, 119 - i, 110), Red);
        EXPECT_EQ(OffscreenHarness::Pixel(w, 100, 119 - i), Red);
    }
    EXPECT_EQ(OffscreenHarness::Pixel(w, 100, 102), light);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(
        owner.m_hWnd, (vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/calendar-march-2024.png").c_str()));
}

TEST_F(CalendarTest, APlainClickOnANextMonthDayShowsThatMonthAndSelectsIt) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    // 3 April lies in cell 38: row 5 (y 140-159), column 3 (x 90-119).
    OffscreenHarness::MousePress(POINT{100, 150});
    OffscreenHarness::MouseRelease(POINT{100, 150});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetShownDate().GetMonth(), 4);
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 4, 3));
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes.back().message, UINT(TkCalendar::WM_CAL_SELECTED));
    EXPECT_EQ(owner.notes.back().wParam, WPARAM(TRUE));

    // A right click marks; a second one clears the mark.
    owner.notes.clear();
    OffscreenHarness::MousePress(POINT{100, 110}, Qt::RightButton);
    OffscreenHarness::MouseRelease(POINT{100, 110}, Qt::RightButton);
    OffscreenHarness::RunUntilIdle();
    const OleDateTime marked = calendar.GetCell(24).GetDate();
    EXPECT_TRUE(calendar.GetCell(24).IsMarked());
    EXPECT_EQ(owner.Messages(), std::vector<UINT>{TkCalendar::WM_CAL_MARKED});
    std::int32_t days[2] = {};
    EXPECT_EQ(calendar.GetMarkedDates(days, 2), 1);
    EXPECT_EQ(days[0], std::int32_t(marked.Value()));
}

class CalendarDragTest : public CalendarTest {
protected:
    // The drop-down's options: choose on release, pick other months, drag the selection.
    static constexpr DWORD dropDown = 0x39C000 | 0x100 | 0x200 | 0x1000000;
};

TEST_F(CalendarDragTest, ReleasingOverAnotherDayChoosesIt) {
    TkCalendar calendar;
    Open(calendar, dropDown);
    OffscreenHarness::MousePress(POINT{160, 90});                // 15 March
    OffscreenHarness::MouseMove(POINT{40, 110}, Qt::LeftButton); // 18 March
    OffscreenHarness::MouseRelease(POINT{40, 110});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 18));
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes.back().message, UINT(TkCalendar::WM_CAL_CHOSEN));
    EXPECT_FALSE(IsWindowVisible(calendar.m_hWnd));
}

TEST_F(CalendarDragTest, ReleasingOutsideRestoresTheEarlierSelection) {
    TkCalendar calendar;
    Open(calendar, dropDown);
    calendar.SelectDate(Day(2024, 3, 5), TRUE);
    OffscreenHarness::MousePress(POINT{160, 90});
    OffscreenHarness::MouseMove(POINT{300, 250}, Qt::LeftButton);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate().GetStatus(), OleDateTime::invalid);
    OffscreenHarness::MouseRelease(POINT{300, 250});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 5));
    EXPECT_EQ(GetCapture(), HWND(0));
    for (const auto& note : owner.notes)
        EXPECT_NE(note.message, UINT(TkCalendar::WM_CAL_CHOSEN));
}

TEST_F(CalendarDragTest, OutAndBackOverTheTitleChoosesWithoutADate) {
    TkCalendar calendar;
    Open(calendar, dropDown);
    OffscreenHarness::MousePress(POINT{160, 90});
    OffscreenHarness::MouseMove(POINT{300, 250}, Qt::LeftButton);
    OffscreenHarness::MouseMove(POINT{100, 10}, Qt::LeftButton);
    OffscreenHarness::MouseRelease(POINT{100, 10});
    OffscreenHarness::RunUntilIdle();
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes.back().message, UINT(TkCalendar::WM_CAL_CHOSEN));
    EXPECT_EQ(calendar.GetSelectedDate().GetStatus(), OleDateTime::invalid);
}

TEST_F(CalendarDragTest, ACaptureTakenByAnotherWindowEndsTheDrag) {
    TkCalendar calendar;
    Open(calendar, dropDown);
    calendar.SelectDate(Day(2024, 3, 5), TRUE);
    OffscreenHarness::MousePress(POINT{160, 90});
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(GetCapture(), calendar.m_hWnd);
    SetCapture(owner.m_hWnd);
    ReleaseCapture();
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 5));
    // Later moves without the button pick nothing.
    OffscreenHarness::MouseMove(POINT{40, 110});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 5));
}

TEST_F(CalendarTest, ADoubleClickChoosesWhenPickingChooses) {
    TkCalendar calendar;
    Open(calendar, 0x39C100);
    for (int click = 0; click < 2; ++click) {
        OffscreenHarness::MousePress(POINT{160, 90});
        OffscreenHarness::MouseRelease(POINT{160, 90});
    }
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 15));
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes.back().message, UINT(TkCalendar::WM_CAL_CHOSEN));
}

TEST_F(CalendarTest, KeysMoveTheSelectionChooseAndCancel) {
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        OleDateTime selected; // from 15 March 2024
        UINT message;         // 0: neither chosen nor cancelled
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier, pad = Qt::KeypadModifier;
    const Case cases[] = {
        {"left", Qt::Key_Left, none, Day(2024, 3, 14), 0},
        {"right", Qt::Key_Right, none, Day(2024, 3, 16), 0},
        {"up", Qt::Key_Up, none, Day(2024, 3, 8), 0},
        {"down", Qt::Key_Down, none, Day(2024, 3, 22), 0},
        {"pad 4", Qt::Key_4, pad, Day(2024, 3, 14), 0},
        {"pad 6", Qt::Key_6, pad, Day(2024, 3, 16), 0},
        {"pad 8", Qt::Key_8, pad, Day(2024, 3, 8), 0},
        {"pad 2", Qt::Key_2, pad, Day(2024, 3, 22), 0},
        {"page up", Qt::Key_PageUp, none, Day(2024, 2, 1), 0},
        {"page down", Qt::Key_PageDown, none, Day(2024, 4, 1), 0},
        {"ctrl left", Qt::Key_Left, ctrl, Day(2024, 2, 1), 0},
        {"ctrl right", Qt::Key_Right, ctrl, Day(2024, 4, 1), 0},
        {"ctrl up", Qt::Key_Up, ctrl, Day(2023, 3, 15), 0},
        {"ctrl down", Qt::Key_Down, ctrl, Day(2025, 3, 15), 0},
        {"ctrl page up", Qt::Key_PageUp, ctrl, Day(2023, 3, 15), 0},
        {"ctrl page down", Qt::Key_PageDown, ctrl, Day(2025, 3, 15), 0},
        {"home", Qt::Key_Home, none, Day(2024, 3, 1), 0},
        {"end", Qt::Key_End, none, Day(2024, 3, 31), 0},
        {"enter", Qt::Key_Return, none, Day(2024, 3, 15), TkCalendar::WM_CAL_CHOSEN},
        {"escape", Qt::Key_Escape, none, Day(2024, 3, 15), TkCalendar::WM_CAL_CANCELLED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkCalendar calendar;
        Open(calendar, 0x39C000);
        ASSERT_TRUE(calendar.SelectDate(Day(2024, 3, 15), TRUE));
        OffscreenHarness::RunUntilIdle();
        owner.notes.clear();
        ASSERT_EQ(GetFocus(), calendar.m_hWnd);
        if (c.modifiers & Qt::ControlModifier) OffscreenHarness::Key(Qt::Key_Control, ctrl, "", true);
        OffscreenHarness::Key(c.key, c.modifiers, "", true);
        OffscreenHarness::Key(c.key, c.modifiers, "", false);
        if (c.modifiers & Qt::ControlModifier) OffscreenHarness::Key(Qt::Key_Control, none, "", false);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(calendar.GetSelectedDate(), c.selected);
        bool sawMessage = false, sawOther = false;
        for (const auto& note : owner.notes) {
            sawMessage |= note.message == c.message;
            sawOther |= note.message >= TkCalendar::WM_CAL_CHOSEN && note.message != c.message;
        }
        EXPECT_EQ(sawMessage, c.message != 0);
        EXPECT_FALSE(sawOther);
    }
}

TEST_F(CalendarTest, EnterWithoutASelectionCancelsAndSpaceToggles) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    OffscreenHarness::Key(Qt::Key_Return, Qt::NoModifier, "\r", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(owner.Messages(), std::vector<UINT>{TkCalendar::WM_CAL_CANCELLED});

    // Space toggles the keyboard date, the shown date while nothing is selected.
    owner.notes.clear();
    ShowWindow(calendar.m_hWnd, SW_SHOW);
    SetFocus(calendar.m_hWnd);
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate(), Day(2024, 3, 15));
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(calendar.GetSelectedDate().GetStatus(), OleDateTime::invalid);
}

TEST_F(CalendarTest, ThePopupOpensBesideItsOwnerInsideTheWorkArea) {
    struct Case {
        const char* name;
        RECT ownerRect;
        bool below, rightAligned;
    };
    const Case cases[] = {
        {"room below", RECT{100, 100, 220, 122}, true, false},
        {"at the bottom", RECT{100, 1000, 220, 1022}, false, false},
        {"at the right", RECT{1200, 100, 1280, 122}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkPopupCalendar popup;
        ASSERT_TRUE(popup.CreatePopup(0x90040001, c.ownerRect, &owner));
        RECT r;
        GetWindowRect(popup.m_hWnd, &r);
        EXPECT_EQ(c.rightAligned ? r.right : r.left, c.rightAligned ? c.ownerRect.right : c.ownerRect.left);
        EXPECT_EQ(c.below ? r.top : r.bottom, c.below ? c.ownerRect.bottom : c.ownerRect.top);
        EXPECT_EQ(GetParent(popup.m_hWnd), owner.m_hWnd);
        const auto tops = TopLevelWindows();
        EXPECT_NE(std::find(tops.begin(), tops.end(), popup.m_hWnd), tops.end());
        if (c.below && !c.rightAligned) {
            OffscreenHarness::RunUntilIdle();
            EXPECT_TRUE(OffscreenHarness::SaveScreenshot(
                popup.m_hWnd, (vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/calendar-popup.png").c_str()));
        }
        // A hit on the sizing frame is the client's unless the frame may resize.
        EXPECT_EQ(popup.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, r.top + 40)), LRESULT(HTCLIENT));
        popup.SetOptions(popup.GetOptions() | TkCalendar::optSizingFrame);
        EXPECT_EQ(popup.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, r.top + 40)), LRESULT(HTRIGHT));
        OffscreenHarness::RunUntilIdle();
    }
}

TEST_F(CalendarTest, ThePopupChoosesOrCancelsWhenItLosesTheActivation) {
    struct Case {
        int mode;
        UINT first;
    };
    for (const Case& c : {Case{1, TkCalendar::WM_CAL_CHOSEN}, Case{2, TkCalendar::WM_CAL_CANCELLED}}) {
        SCOPED_TRACE(c.mode);
        TkPopupCalendar popup;
        popup.SetPopupMode(c.mode);
        popup.SetDate(Day(2024, 3, 15), FALSE);
        ASSERT_TRUE(popup.CreatePopup(0x90040001, RECT{100, 100, 220, 122}, &owner));
        popup.SelectDate(Day(2024, 3, 15), TRUE);
        OffscreenHarness::RunUntilIdle();
        owner.notes.clear();
        ASSERT_EQ(GetActiveWindow(), popup.m_hWnd);
        SetActiveWindow(owner.m_hWnd);
        OffscreenHarness::RunUntilIdle();
        EXPECT_FALSE(IsWindowVisible(popup.m_hWnd));
        ASSERT_FALSE(owner.notes.empty());
        EXPECT_EQ(owner.notes.front().message, c.first);
    }
}

TEST_F(CalendarTest, TheTitleButtonsStepTheMonthAndKeepThePopupActive) {
    TkPopupCalendar popup;
    popup.SetDate(Day(2024, 3, 15), FALSE);
    ASSERT_TRUE(popup.CreatePopup(0x90040001, RECT{100, 100, 220, 122}, &owner));
    OffscreenHarness::RunUntilIdle();
    owner.notes.clear();
    RECT next;
    ASSERT_TRUE(GetWindowRect(popup.GetTitle().GetButton(2)->m_hWnd, &next));
    const POINT middle{(next.left + next.right) / 2, (next.top + next.bottom) / 2};
    OffscreenHarness::MousePress(middle);
    OffscreenHarness::MouseRelease(middle);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(popup.GetShownDate(), Day(2024, 4, 1));
    EXPECT_EQ(popup.GetTitle().GetText(), "Apr 2024");
    EXPECT_EQ(GetActiveWindow(), popup.m_hWnd);
    EXPECT_TRUE(owner.notes.empty());
}

TEST_F(CalendarTest, ChoosingInAPopupThatCancelsOnDeactivationPostsBoth) {
    TkPopupCalendar popup;
    popup.SetPopupMode(2);
    EXPECT_EQ(popup.SetPopupMode(7), 2);
    EXPECT_EQ(popup.SetPopupMode(2), 2);
    popup.SetDate(Day(2024, 3, 15), FALSE);
    ASSERT_TRUE(popup.CreatePopup(0x90040001, RECT{100, 100, 220, 122}, &owner));
    popup.SelectDate(Day(2024, 3, 15), TRUE);
    OffscreenHarness::RunUntilIdle();
    owner.notes.clear();
    OffscreenHarness::Key(Qt::Key_Return, Qt::NoModifier, "\r", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(owner.Messages(), (std::vector<UINT>{TkCalendar::WM_CAL_CHOSEN, TkCalendar::WM_CAL_CANCELLED}));
}

TEST_F(CalendarTest, FittedFontsEndAndTheirTextLiesInsideThePanel) {
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    HDC dc = GetDC(calendar.m_hWnd);
    LOGFONT stock;
    GetObject(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    for (const int side : {1, 20, 2000}) {
        for (const int start : {0, 16}) {
            SCOPED_TRACE(testing::Message() << side << " pixels from " << start);
            const RECT r{0, 0, side - 1, side - 1};
            TkCalTitle& title = calendar.GetTitle();
            TkDayBar& header = calendar.GetHeader();
            TkDayBox& cell = calendar.GetCell(10);
            title.SetRect(r);
            header.SetRect(r);
            cell.SetRect(r);
            LOGFONT fonts[3] = {stock, stock, stock};
            for (LOGFONT& f : fonts)
                f.lfHeight = f.lfWidth = start;
            title.FitFont(dc, fonts[0]);
            header.FitFont(dc, fonts[1]);
            cell.FitFont(dc, fonts[2]);
            const RECT titleContent = title.GetContentRect(), headerContent = header.GetContentRect();
            if (!titleContent.IsEmpty()) {
                const SIZE s = title.Measure(dc, fonts[0]);
                EXPECT_LE(s.cy, titleContent.Height());
                if (side > 20) {
                    EXPECT_LE(s.cx, titleContent.Width());
                }
            } else {
                EXPECT_EQ(fonts[0].lfHeight, 0);
            }
            if (!headerContent.IsEmpty() && side > 20) {
                const SIZE s = header.Measure(dc, fonts[1]);
                EXPECT_LE(s.cx, headerContent.Width());
                EXPECT_LE(s.cy, headerContent.Height());
            }
            if (side > 20) {
                const SIZE s = cell.Measure(dc, fonts[2]);
                EXPECT_LE(s.cx, side);
                EXPECT_LE(s.cy, side);
                EXPECT_GT(fonts[2].lfHeight, 100);
            }
        }
    }
    ReleaseDC(calendar.m_hWnd, dc);
}

} // namespace
} // namespace vq
