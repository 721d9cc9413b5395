#include "DateTimeWndFixture.h"
#include "platform/classlib/DialogTemplate.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/controls/TkPopupCalendar.h"
#include "toolkit/controls/TkSysMetrics.h"

namespace vq::test {
namespace {

using C = TkDateTimeCtrl;
constexpr UINT plainBeep = 0xFFFFFFFF;
constexpr UINT changed = C::notifyChanged;

TEST_F(DateTimeWndTest, TypedDigitsFillTheFieldsAndASeparatorJumpsItsLiteral) {
    const struct {
        BOOL autoAdvance;
        DWORD exStyle;
        std::vector<UINT> codes;
    } cases[] = {
        // Without auto-advance the field's last digit reports the value a second time.
        {FALSE, 0, {changed, changed, changed, changed, C::notifyKillFocus}},
        {TRUE, 0, {changed, changed, C::notifyKillFocus}},
        {FALSE, 0x4 /* no parent notify */, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.autoAdvance);
        TkDateTimeCtrl ctrl;
        ctrl.SetFieldNavigation(c.autoAdvance);
        Open(ctrl, " HH:mm ", 0, c.exStyle);
        Type(c.autoAdvance ? "1430" : "14:30");
        SetFocus(parent.m_hWnd);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(WindowText(ctrl.m_hWnd), " 14:30 ");
        EXPECT_EQ(parent.Codes(), c.codes);
        for (const auto& note : parent.notes) {
            EXPECT_EQ(note.id, 42u);
            EXPECT_EQ(note.from, ctrl.m_hWnd);
        }
    }
}

TEST_F(DateTimeWndTest, TheParentHearsTheFocusComeAndGo) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, "HH:mm");
    SetFocus(parent.m_hWnd);
    SetFocus(ctrl.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{C::notifyKillFocus, C::notifySetFocus}));
}

TEST_F(DateTimeWndTest, KeysReachTheCurrentField) {
    const struct {
        const char* format;
        BOOL autoAdvance;
        const char* typed;
        const char* text;
        std::size_t beeps;
    } cases[] = {
        {"HH:mm", TRUE, "07", "07:05", 0},    {"HH:mm", TRUE, "007", "07:05", 0},
        {"HH:mm", FALSE, "1x", "01:05", 0}, // the letter's key commits the digit before its character
        {"MMMM", FALSE, "JJJ", "January", 0}, {"MMMM", FALSE, "Jun", "June", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        beeps.clear();
        TkDateTimeCtrl ctrl;
        ctrl.SetFieldNavigation(c.autoAdvance);
        Open(ctrl, c.format);
        Type(c.typed);
        EXPECT_EQ(WindowText(ctrl.m_hWnd), c.text);
        EXPECT_EQ(beeps, std::vector<UINT>(c.beeps, plainBeep));
    }
}

TEST_F(DateTimeWndTest, ALetterCharacterWhileTypingBeepsAndKeepsTheOldValue) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, "HH:mm");
    SendMessage(ctrl.m_hWnd, WM_CHAR, '1', 0);
    SendMessage(ctrl.m_hWnd, WM_CHAR, 'x', 0);
    EXPECT_EQ(beeps, std::vector<UINT>{plainBeep});
    EXPECT_EQ(WindowText(ctrl.m_hWnd), "09:05");
    SendMessage(ctrl.m_hWnd, WM_CHAR, '2', 0);
    SendMessage(ctrl.m_hWnd, WM_CHAR, '3', 0);
    EXPECT_EQ(WindowText(ctrl.m_hWnd), "23:05");
}

TEST_F(DateTimeWndTest, AutoAdvanceMovesToTheNextFieldAndAClickCommitsADigit) {
    TkDateTimeCtrl ctrl;
    ctrl.SetFieldNavigation(TRUE);
    Open(ctrl, "HH:mm");
    Type("07");
    EXPECT_EQ(ctrl.GetCurrentGadget()->GetId(), C::idMinute);

    Press(Qt::Key_Left);
    Type("3");
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 7); // one digit is only shown
    Click(ctrl.m_hWnd, Centre(GadgetRect(ctrl, C::idMinute)));
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 3);
    EXPECT_EQ(ctrl.GetCurrentGadget()->GetId(), C::idMinute);
}

TEST_F(DateTimeWndTest, AHeldSpinRepeatsOnTheManualClock) {
    const struct {
        const char* format;
        std::int32_t field;
        int last; // the field's value after 60 repeats, from 2024 or from 5
    } cases[] = {
        // One step at the press, 20 of 1, 30 of 2, 10 of 5: 1 + 20 + 60 + 50.
        {"yyyy", C::idYear4, 2024 + 131},
        // The minute caps at 2: 1 + 20 + 40 * 2 = 101 steps from 5 wraps at 60.
        {"mm", C::idMinute, (5 + 101) % 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        TkDateTimeCtrl ctrl;
        Open(ctrl, c.format, C::styleSpin);
        const POINT up = Screen(ctrl.m_hWnd, POINT{GadgetRect(ctrl, C::idSpin).left + 8, 3});
        const int start = c.field == C::idYear4 ? 2024 : 5;
        const auto value = [&] {
            return c.field == C::idYear4 ? ctrl.GetDateTime().GetYear() : ctrl.GetDateTime().GetMinute();
        };
        OffscreenHarness::MousePress(up);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(value(), start + 1);
        Advance(499);
        EXPECT_EQ(value(), start + 1);
        Advance(1);
        EXPECT_EQ(value(), start + 2);
        for (int repeat = 2; repeat <= 60; ++repeat)
            Advance(100);
        EXPECT_EQ(value(), c.last);
        OffscreenHarness::MouseRelease(up);
        OffscreenHarness::RunUntilIdle();
        Advance(1000);
        EXPECT_EQ(value(), c.last);
    }
}

TEST_F(DateTimeWndTest, TheDropDownButtonReleasedOutsideOpensNothing) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, "dd/MM/yyyy", C::styleDropDown);
    const POINT button = Centre(GadgetRect(ctrl, C::idButton));
    OffscreenHarness::MousePress(Screen(ctrl.m_hWnd, button));
    OffscreenHarness::MouseMove(Screen(ctrl.m_hWnd, POINT{5, 5}), Qt::LeftButton);
    OffscreenHarness::MouseRelease(Screen(ctrl.m_hWnd, POINT{5, 5}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(ctrl.GetPopup(), nullptr);
    Click(ctrl.m_hWnd, button);
    EXPECT_NE(ctrl.GetPopup(), nullptr);
}

TEST_F(DateTimeWndTest, ReplaceDlgItemTakesThePlaceholdersPlace) {
    DialogTemplate t;
    t.style = WS_CHILD | WS_VISIBLE;
    t.rect = RECT{0, 0, 300, 200};
    t.items = {{"button", "A", 100, WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{5, 5, 60, 25}},
               {"static", "", 101, WS_CHILD | WS_VISIBLE, RECT{20, 40, 140, 62}},
               {"button", "B", 102, WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{5, 80, 60, 100}}};
    CWnd dialog;
    ASSERT_TRUE(dialog.CreateDlgIndirect(t, &parent));
    HWND placeholder = GetDlgItem(dialog.m_hWnd, 101);
    ASSERT_TRUE(placeholder);
    RECT expected;
    GetWindowRect(placeholder, &expected);
    SetWindowContextHelpId(placeholder, 7001);

    TkDateTimeCtrl ctrl;
    ctrl.SetFormat(std::string(" HH:mm "));
    ASSERT_TRUE(ctrl.ReplaceDlgItem(101, &dialog, WS_TABSTOP, 0, WS_EX_CLIENTEDGE));
    EXPECT_FALSE(IsWindow(placeholder));
    EXPECT_EQ(GetDlgItem(dialog.m_hWnd, 101), ctrl.m_hWnd);
    RECT r;
    GetWindowRect(ctrl.m_hWnd, &r);
    EXPECT_EQ(r, expected);
    EXPECT_EQ(GetWindowContextHelpId(ctrl.m_hWnd), 7001u);
    EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, GetDlgItem(dialog.m_hWnd, 100), FALSE), ctrl.m_hWnd);
    EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, ctrl.m_hWnd, FALSE), GetDlgItem(dialog.m_hWnd, 102));
    EXPECT_TRUE(IsWindowVisible(ctrl.m_hWnd));

    TkDateTimeCtrl missing;
    EXPECT_FALSE(missing.ReplaceDlgItem(555, &dialog, WS_TABSTOP, 0, 0));
    EXPECT_EQ(missing.m_hWnd, HWND{});
    EXPECT_FALSE(GetDlgItem(dialog.m_hWnd, 555));
    dialog.DestroyWindow();
}

TEST_F(DateTimeWndTest, SizeToContentFitsTheFrameTheFieldsAndTheButtons) {
    const struct {
        DWORD style;
        std::int32_t extra;
    } cases[] = {{0, 0}, {C::styleDropDown | C::styleSpin, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        TkDateTimeCtrl ctrl;
        Open(ctrl, " HH:mm ", c.style, WS_EX_CLIENTEDGE, RECT{10, 10, 300, 60});
        ctrl.SizeToContent();
        HDC dc = GetDC(ctrl.m_hWnd);
        HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
        SIZE space, colon, zeros;
        GetTextExtentPoint32(dc, " ", 1, &space);
        GetTextExtentPoint32(dc, ":", 1, &colon);
        GetTextExtentPoint32(dc, "00", 2, &zeros);
        SelectObject(dc, old);
        ReleaseDC(ctrl.m_hWnd, dc);
        RECT frame{};
        AdjustWindowRectEx(&frame, ctrl.GetStyle(), FALSE, WS_EX_CLIENTEDGE);
        RECT r;
        GetWindowRect(ctrl.m_hWnd, &r);
        EXPECT_EQ(r.Width(), frame.Width() + 2 * space.cx + colon.cx + 2 * zeros.cx + 3 + c.extra);
        EXPECT_EQ(r.Height(), frame.Height() + space.cy + 2);
        EXPECT_EQ(r.left, 10);
    }
}

class CalendarDropTest : public DateTimeWndTest {
protected:
    // The popup's cell showing that day, in screen coordinates.
    static POINT DayOnScreen(TkPopupCalendar& popup, int day) {
        for (int i = 0; i < TkCalendar::cellCount; ++i) {
            TkDayBox& cell = popup.GetCell(i);
            if (cell.GetDate().GetMonth() == 3 && cell.GetDate().GetDay() == day)
                return Screen(popup.m_hWnd, Centre(cell.GetRect()));
        }
        ADD_FAILURE() << "no cell for " << day;
        return POINT{};
    }
};

TEST_F(CalendarDropTest, F4AndAltDownOpenTheCalendarBelowTheControl) {
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::AltModifier)}) {
        TkDateTimeCtrl ctrl;
        Open(ctrl, "dd/MM/yyyy HH:mm", C::styleDropDown);
        Press(modifiers == Qt::NoModifier ? Qt::Key_F4 : Qt::Key_Down, modifiers);
        TkPopupCalendar* popup = ctrl.GetPopup();
        ASSERT_NE(popup, nullptr);
        RECT control, drop;
        GetWindowRect(ctrl.m_hWnd, &control);
        GetWindowRect(popup->m_hWnd, &drop);
        EXPECT_EQ(drop.top, control.bottom);
        EXPECT_EQ(drop.left, control.left);
        EXPECT_TRUE(IsWindowVisible(popup->m_hWnd));
    }
}

TEST_F(CalendarDropTest, AChosenDayKeepsTheTimeAndEscapeKeepsTheValue) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, "dd/MM/yyyy HH:mm", C::styleDropDown);
    Press(Qt::Key_F4);
    ASSERT_NE(ctrl.GetPopup(), nullptr);
    Press(Qt::Key_Escape);
    EXPECT_EQ(ctrl.GetPopup(), nullptr);
    EXPECT_EQ(ctrl.GetDateTime(), OleDateTime(2024, 3, 10, 9, 5, 0));
    // The focus went to the calendar and came back; nothing changed.
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{C::notifyKillFocus, C::notifySetFocus}));
    EXPECT_EQ(GetFocus(), ctrl.m_hWnd);
    parent.notes.clear();

    Press(Qt::Key_F4);
    ASSERT_NE(ctrl.GetPopup(), nullptr);
    const POINT day = DayOnScreen(*ctrl.GetPopup(), 20);
    OffscreenHarness::MousePress(day);
    OffscreenHarness::MouseRelease(day);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(ctrl.GetPopup(), nullptr);
    EXPECT_EQ(ctrl.GetDateTime(), OleDateTime(2024, 3, 20, 9, 5, 0));
    EXPECT_EQ(parent.Codes(), (std::vector<UINT>{C::notifyKillFocus, C::notifySetFocus, changed}));
    EXPECT_TRUE(ctrl.IsModified());
}

TEST_F(CalendarDropTest, UnderANullValueTheChosenDayFillsTheEntrysDate) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, "dd/MM/yyyy HH:mm", C::styleDropDown);
    ctrl.SetNull();
    Press(Qt::Key_F4);
    ASSERT_NE(ctrl.GetPopup(), nullptr);
    const POINT day = DayOnScreen(*ctrl.GetPopup(), 20);
    OffscreenHarness::MousePress(day);
    OffscreenHarness::MouseRelease(day);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(ctrl.GetPopup(), nullptr);
    EXPECT_TRUE(ctrl.IsPending()); // the time is still to be typed
    EXPECT_EQ(ctrl.GetPendingField(C::fieldYear), 2024);
    EXPECT_EQ(ctrl.GetPendingField(C::fieldMonth), 3);
    EXPECT_EQ(ctrl.GetPendingField(C::fieldDay), 20);
    EXPECT_EQ(ctrl.GetPendingField(C::fieldHour), -1);
}

TEST_F(DateTimeWndTest, ANullValueIsTypedInFieldByField) {
    TkDateTimeCtrl ctrl;
    ctrl.SetFieldNavigation(TRUE);
    Open(ctrl, "HH:mm");
    ctrl.SetNull();
    EXPECT_EQ(WindowText(ctrl.m_hWnd), "");
    Type("14");
    EXPECT_EQ(WindowText(ctrl.m_hWnd), "");
    Type("30");
    EXPECT_EQ(WindowText(ctrl.m_hWnd), "14:30");
    EXPECT_EQ(ctrl.GetDateTime(), OleDateTime(1899, 12, 1, 14, 30, 0));
    // A short buffer takes what fits with its terminator.
    char small[3] = "xx";
    EXPECT_EQ(SendMessage(ctrl.m_hWnd, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_STREQ(small, "14");
    EXPECT_EQ(SendMessage(ctrl.m_hWnd, WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(DateTimeWndTest, UnsetWeekdayPlaceholdersStayInsideTheirField) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, " ddd HH:mm", 0, 0, RECT{10, 10, 200, 32});
    ctrl.SetNull();
    SetFocus(parent.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    const RECT weekday = GadgetRect(ctrl, C::idWeekday);
    const RECT hour = GadgetRect(ctrl, C::idHour24);
    // The hour's placeholders are drawn from its own rectangle; between the weekday and the hour
    // only the literal's background shows.
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (std::int32_t x = weekday.right + 1; x < hour.left; ++x)
        for (std::int32_t y = weekday.top; y < weekday.bottom; ++y)
            ASSERT_EQ(OffscreenHarness::Pixel(ctrl.m_hWnd, x, y), window) << x << "," << y;
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(ctrl.m_hWnd, OutputPath("datetime-null-weekday.png")));
}

class DateTimePixelTest : public DateTimeWndTest {
protected:
    void TearDown() override {
        tkSysMetrics.m_bNewShell = TRUE;
        SetReportedVersion(0);
        DateTimeWndTest::TearDown();
    }
    static std::int32_t ClientOffset(HWND window) {
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        RECT r;
        GetWindowRect(window, &r);
        return origin.x - r.left;
    }
    // A window pixel at a point of the client area.
    static COLORREF At(HWND window, POINT client) {
        const std::int32_t offset = ClientOffset(window);
        return OffscreenHarness::Pixel(window, client.x + offset, client.y + offset);
    }
};

TEST_F(DateTimePixelTest, TheFocusedFieldIsHighlightedAndTheButtonsAreDrawn) {
    TkDateTimeCtrl ctrl;
    Open(ctrl, " HH:mm ", C::styleDropDown | C::styleSpin, WS_EX_CLIENTEDGE, RECT{10, 10, 130, 32});
    const RECT hour = GadgetRect(ctrl, C::idHour24);
    const RECT minute = GadgetRect(ctrl, C::idMinute);
    const RECT spin = GadgetRect(ctrl, C::idSpin);
    const RECT button = GadgetRect(ctrl, C::idButton);
    EXPECT_EQ(button.right, 120 - 4); // client width of 120 less the edges
    EXPECT_EQ(spin.right, button.left);
    // Just inside the fields' bottom edge lies below the glyphs.
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{hour.left + 1, hour.bottom - 1}), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{minute.left + 1, minute.bottom - 1}), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{button.left + 3, button.top + 3}), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(ctrl.m_hWnd, OutputPath("datetime-control.png")));

    // The up half pressed: its outer ring turns to the shadow.
    const POINT up = Screen(ctrl.m_hWnd, POINT{spin.left + 8, spin.top + 3});
    OffscreenHarness::MousePress(up);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{spin.left + 5, spin.top}), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(ctrl.m_hWnd, OutputPath("datetime-spin-pressed.png")));
    OffscreenHarness::MouseRelease(up);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{spin.left + 5, spin.top}), GetSysColor(COLOR_BTNFACE));

    SetFocus(parent.m_hWnd);
    EnableWindow(ctrl.m_hWnd, FALSE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{minute.left + 1, minute.bottom - 1}), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(ctrl.m_hWnd, POINT{hour.left + 1, hour.bottom - 1}), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(ctrl.m_hWnd, OutputPath("datetime-disabled.png")));
}

TEST_F(DateTimePixelTest, BeforeTheNewShellTheControlDrawsItsOwnSunkenBorder) {
    SetReportedVersion(3);
    tkSysMetrics.m_bNewShell = FALSE;
    TkDateTimeCtrl ctrl;
    Open(ctrl, " HH:mm ", 0, WS_EX_CLIENTEDGE, RECT{10, 10, 130, 32});
    RECT client;
    GetClientRect(ctrl.m_hWnd, &client);
    EXPECT_EQ(client.Width(), 116);
    EXPECT_EQ(OffscreenHarness::Pixel(ctrl.m_hWnd, 50, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(OffscreenHarness::Pixel(ctrl.m_hWnd, 50, 21), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(OffscreenHarness::Pixel(ctrl.m_hWnd, 50, 1), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(ctrl.m_hWnd, OutputPath("datetime-old-border.png")));
}

TEST_F(DateTimeWndTest, TheParentsColoursArePaintedWith) {
    class TintingParent : public SpyParent {
    public:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_CTLCOLOREDIT) {
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 200));
                return 0;
            }
            return SpyParent::WindowProc(message, wParam, lParam);
        }
    } tinting;
    ASSERT_TRUE(tinting.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100}, nullptr, 0));
    TkDateTimeCtrl ctrl;
    ctrl.SetFormat(std::string(" HH:mm "));
    ASSERT_TRUE(ctrl.Create(WS_VISIBLE, RECT{0, 0, 120, 22}, &tinting, 5));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(OffscreenHarness::Pixel(ctrl.m_hWnd, 118, 20), RGB(255, 255, 200));
    ctrl.DestroyWindow();
    tinting.DestroyWindow();
}

TEST_F(DateTimeWndTest, ALocaleChangeRebuildsTheFormatAndKeepsTheCurrentField) {
    TkDateTimeCtrl ctrl;
    ctrl.SetFormat(C::formatTime);
    Open(ctrl, "");
    ctrl.SetFormat(C::formatTime);
    bool amPm = false;
    for (std::size_t i = 0; i < ctrl.GetGadgetCount(); ++i)
        amPm = amPm || ctrl.GetGadget(i)->GetId() == C::idAmPm;
    EXPECT_TRUE(amPm);
    Press(Qt::Key_Right); // to the minute
    const std::size_t minute = ctrl.GetCurrentIndex();
    ASSERT_EQ(ctrl.GetCurrentGadget()->GetId(), C::idMinute);

    SetUserDefaultLCID(0x0407);
    OffscreenHarness::RunUntilIdle();
    for (std::size_t i = 0; i < ctrl.GetGadgetCount(); ++i)
        EXPECT_NE(ctrl.GetGadget(i)->GetId(), C::idAmPm);
    EXPECT_EQ(ctrl.GetCurrentIndex(), minute);
    EXPECT_EQ(ctrl.GetCurrentGadget()->GetId(), C::idMinute);
    EXPECT_TRUE(ctrl.GetCurrentGadget()->HasFocusMark());

    // Rebuilt onto a format where that index is a literal, the first field becomes current.
    ctrl.SetFormat(std::string("HH:mm"));
    Press(Qt::Key_Right);
    ASSERT_EQ(ctrl.GetCurrentIndex(), 2u);
    ctrl.SetFormat(std::string("' 'HH' 'mm"));
    EXPECT_EQ(ctrl.GetCurrentIndex(), 1u);
    EXPECT_EQ(ctrl.GetCurrentGadget()->GetId(), C::idHour24);
}

} // namespace
} // namespace vq::test
