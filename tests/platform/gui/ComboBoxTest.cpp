#include "WindowFixture.h"
#include "platform/gui/Menu.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/WindowRecord.h"
#include "platform/gui/WindowWidget.h"
#include "tests/support/TestPaths.h"

#include <QPainter>
#include <functional>

namespace vq::test {
namespace {

class ComboBoxTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
        other = Make("Spy", WS_CHILD | WS_VISIBLE, {200, 10, 280, 60}, top, 0, 9);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    // Made 150 pixels high: the height with the list dropped.
    HWND MakeCombo(DWORD style) {
        const HWND c =
            Make("ComboBox", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, {10, 10, 160, 160}, top, 0, 5);
        for (const char* text : {"alpha", "beta", "gamma", "delta"})
            SendMessage(c, CB_ADDSTRING, 0, LPARAM(text));
        return c;
    }

    std::vector<UINT> Notes(HWND c) const {
        std::vector<UINT> out;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && HWND(s.lParam) == c && LOWORD(s.wParam) == 5)
                out.push_back(HIWORD(s.wParam));
        return out;
    }

    static std::string Text(HWND window) {
        char text[64] = {};
        GetWindowText(window, text, int(sizeof text));
        return text;
    }

    static RECT ScreenRect(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    // The dropped list: the window just below the combo box.
    static HWND ListOf(HWND c) {
        const RECT r = ScreenRect(c);
        const HWND list = WindowFromPoint(POINT{r.left + 5, r.bottom + 3});
        return list != GetParent(c) ? list : 0;
    }

    // The middle of an entry of a dropped list that shows every entry.
    static POINT EntryPoint(HWND c, int index) {
        const HWND list = ListOf(c);
        RECT client;
        GetClientRect(list, &client);
        const int row = client.Height() / int(SendMessage(c, CB_GETCOUNT, 0, 0));
        POINT p{client.Width() / 2, row * index + row / 2};
        ClientToScreen(list, &p);
        return p;
    }

    static POINT FacePoint(HWND c) {
        const RECT r = ScreenRect(c);
        return {r.right - 6, (r.top + r.bottom) / 2};
    }

    void Click(POINT p) {
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(p);
        OffscreenHarness::MouseRelease(p);
        OffscreenHarness::RunUntilIdle();
    }

    static void Press(int key, const char* text = "", Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(key, modifiers, QString::fromUtf8(text), true);
        OffscreenHarness::Key(key, modifiers, QString::fromUtf8(text), false);
        OffscreenHarness::RunUntilIdle();
    }

    static bool Dropped(HWND c) { return SendMessage(c, CB_GETDROPPEDSTATE, 0, 0) != 0; }

    HWND top = 0;
    HWND other = 0;
};

TEST_F(ComboBoxTest, EntriesDataSearchesAndSelectionByMessagesReportNothing) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    char text[16];
    EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, 1, LPARAM("b°")), 1);
    EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, 9, LPARAM("late")), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessage(c, CB_GETLBTEXTLEN, 1, 0), 3);
    EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 1, LPARAM(text)), 3);
    EXPECT_STREQ(text, "b°");
    EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 5, LPARAM(text)), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_SETITEMDATA, 2, LPARAM(0x1234'5678'9ABCLL)), TRUE);
    EXPECT_EQ(SendMessage(c, CB_GETITEMDATA, 2, 0), LRESULT(0x1234'5678'9ABCLL));
    EXPECT_EQ(SendMessage(c, CB_GETITEMDATA, 0, 0), 0);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, WPARAM(-1), LPARAM("B")), 1);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, 1, LPARAM("B")), 2);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("BETA")), 2);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("bet")), CB_ERR);

    // The selection stays on its entry while entries come and go before it.
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Text(c), "");
    EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 2, 0), 2);
    SendMessage(c, CB_INSERTSTRING, 0, LPARAM("zero"));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessage(c, CB_DELETESTRING, 0, 0), 5);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Text(c), "beta");
    SendMessage(c, CB_DELETESTRING, 2, 0);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);

    EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, WPARAM(-1), LPARAM("GA")), 2);
    EXPECT_EQ(Text(c), "gamma");
    EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, WPARAM(-1), LPARAM("zz")), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
    // A drop-down list's text is one of its entries.
    SetWindowText(c, "DELTA");
    EXPECT_EQ(Text(c), "delta");
    SetWindowText(c, "nowhere");
    EXPECT_EQ(Text(c), "delta");
    EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 9, 0), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessage(c, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(SendMessage(c, CB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Text(c), "");
    EXPECT_TRUE(Notes(c).empty());

    // Sorting places added entries without regard to case; inserted ones stay where they are put.
    const HWND sorted = MakeCombo(CBS_DROPDOWNLIST | CBS_SORT);
    SendMessage(sorted, CB_ADDSTRING, 0, LPARAM("Beta"));
    SendMessage(sorted, CB_INSERTSTRING, 0, LPARAM("zz"));
    std::vector<std::string> order;
    for (int i = 0; i < SendMessage(sorted, CB_GETCOUNT, 0, 0); ++i) {
        SendMessage(sorted, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        order.push_back(text);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"zz", "alpha", "beta", "Beta", "delta", "gamma"}));
}

TEST_F(ComboBoxTest, TheHeightItIsGivenIsTheHeightWithTheListDropped) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    const int field = ScreenRect(c).Height();
    EXPECT_GT(field, 15);
    EXPECT_LT(field, 40);

    EXPECT_EQ(SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_TRUE(Dropped(c));
    ASSERT_TRUE(ListOf(c));
    const RECT all = ScreenRect(ListOf(c));
    EXPECT_EQ(all.top, ScreenRect(c).bottom);
    EXPECT_EQ(all.Width(), ScreenRect(c).Width());
    EXPECT_LE(all.Height(), 150 - field);
    SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(Dropped(c));
    EXPECT_FALSE(ListOf(c));
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));

    // Moving it to another height changes the dropped height only; the list shows fewer rows.
    MoveWindow(c, 10, 10, 150, field + 30, TRUE);
    EXPECT_EQ(ScreenRect(c).Height(), field);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(ListOf(c));
    EXPECT_LT(ScreenRect(ListOf(c)).Height(), all.Height());
    EXPECT_LE(ScreenRect(ListOf(c)).Height(), 30);

    // Frame and scroll bar styles are the list's: the field and its button fill the window.
    const HWND framed = Make("ComboBox", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST,
                             {10, 200, 160, 300}, top, 0, 6);
    RECT client;
    GetClientRect(framed, &client);
    EXPECT_EQ(client.Width(), ScreenRect(framed).Width());
    EXPECT_EQ(client.Height(), field);
}

TEST_F(ComboBoxTest, TheMouseChoosesAnEntryAndOnlyAChangeIsReported) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    Click(FacePoint(c));
    EXPECT_TRUE(Dropped(c));
    EXPECT_EQ(GetFocus(), c);
    EXPECT_EQ(GetCapture(), c);
    Click(EntryPoint(c, 2));
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notes(c),
              (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

    // The entry already chosen changes nothing.
    seen.clear();
    Click(FacePoint(c));
    Click(EntryPoint(c, 2));
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}));

    // Press on the face, drag to an entry, release there.
    seen.clear();
    OffscreenHarness::MousePress(FacePoint(c));
    OffscreenHarness::RunUntilIdle();
    OffscreenHarness::MouseMove(EntryPoint(c, 1), Qt::LeftButton);
    OffscreenHarness::MouseRelease(EntryPoint(c, 1));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

    // A press outside the open list only closes it: the window under it never hears of the press.
    seen.clear();
    Click(FacePoint(c));
    OffscreenHarness::MouseMove(EntryPoint(c, 3));
    Click(POINT{240, 30});
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_TRUE(MessagesOf(other, {WM_LBUTTONDOWN}).empty());
}

TEST_F(ComboBoxTest, KeysChooseEntriesAndTheOpenListKeepsEnterAndEscape) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    SetFocus(c);
    seen.clear();
    Press(Qt::Key_Down);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
    Press(Qt::Key_D, "d");
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
    Press(Qt::Key_D, "d");
    Press(Qt::Key_Up);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
    Press(Qt::Key_Home);
    Press(Qt::Key_Home);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
    // Each change once; a key that changes nothing reports nothing.
    EXPECT_EQ(Notes(c), (std::vector<UINT>(4, CBN_SELCHANGE)));

    MSG enter{c, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(SendMessage(c, WM_GETDLGCODE, VK_RETURN, LPARAM(&enter)) & DLGC_WANTALLKEYS);
    seen.clear();
    Press(Qt::Key_F4);
    EXPECT_TRUE(Dropped(c));
    EXPECT_TRUE(SendMessage(c, WM_GETDLGCODE, VK_RETURN, LPARAM(&enter)) & DLGC_WANTALLKEYS);
    Press(Qt::Key_End);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
    Press(Qt::Key_Down, "", Qt::AltModifier);
    EXPECT_TRUE(Dropped(c));
    Press(Qt::Key_Return, "\r");
    EXPECT_FALSE(Dropped(c));
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP,
                                           CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(ComboBoxTest, TheFieldReportsTypingAndPassesTheListKeysOn) {
    const HWND c = MakeCombo(CBS_DROPDOWN | CBS_AUTOHSCROLL);
    const HWND field = GetDlgItem(c, 1001);
    ASSERT_TRUE(field);
    SetFocus(c);
    EXPECT_EQ(GetFocus(), field);
    Press(Qt::Key_A, "a");
    Press(Qt::Key_B, "b");
    EXPECT_EQ(Text(c), "ab");
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SETFOCUS, CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE,
                                           CBN_EDITCHANGE}));

    // Setting the text or the selection reports nothing; the chosen entry's text is selected.
    seen.clear();
    SetWindowText(c, "typed");
    EXPECT_EQ(Text(c), "typed");
    SendMessage(c, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Text(c), "beta");
    std::uint32_t from = 9, to = 9;
    SendMessage(c, CB_GETEDITSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 4u);
    SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(1, -1));
    SendMessage(c, CB_GETEDITSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 4u);
    EXPECT_TRUE(Notes(c).empty());

    SendMessage(c, CB_LIMITTEXT, 3, 0);
    SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    for (const char* ch : {"x", "y", "z", "w"})
        Press(Qt::Key_X, ch);
    EXPECT_EQ(Text(c), "xyz");

    // Up and Down in the field choose entries; typing while the list is open highlights the
    // entry it begins, which Enter then takes.
    seen.clear();
    Press(Qt::Key_Down);
    EXPECT_EQ(Text(c), "gamma");
    Press(Qt::Key_F4);
    SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    Press(Qt::Key_A, "a");
    Press(Qt::Key_Return, "\r");
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(c), "alpha");
    EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SELCHANGE, CBN_DROPDOWN, CBN_EDITUPDATE, CBN_EDITCHANGE,
                                           CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

    // The focus moving between the combo box and its field stays inside; leaving is reported once.
    seen.clear();
    SetFocus(c);
    SetFocus(other);
    EXPECT_EQ(Notes(c), std::vector<UINT>{CBN_KILLFOCUS});
}

TEST_F(ComboBoxTest, TheOpenListClosesWhenCaptureFocusOrTheModeGoes) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    SetFocus(c);
    const std::pair<const char*, std::function<void()>> closers[] = {
        {"capture taken", [&] { SetCapture(other); }},
        {"application left", [] { DeactivateApplication(); }},
        {"cancel mode", [&] { SendMessage(c, WM_CANCELMODE, 0, 0); }},
        {"disabled", [&] { EnableWindow(c, FALSE); }},
        {"focus gone", [&] { SetFocus(other); }},
    };
    for (const auto& [name, close] : closers) {
        SCOPED_TRACE(name);
        EnableWindow(c, TRUE);
        SetFocus(c);
        SendMessage(c, CB_SETCURSEL, 0, 0);
        SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
        ASSERT_TRUE(Dropped(c));
        Press(Qt::Key_Down);
        seen.clear();
        close();
        OffscreenHarness::RunUntilIdle();
        EXPECT_FALSE(Dropped(c));
        EXPECT_FALSE(ListOf(c));
        const std::vector<UINT> notes = Notes(c);
        ASSERT_GE(notes.size(), 2u);
        EXPECT_EQ(notes[0], CBN_SELENDCANCEL);
        EXPECT_EQ(notes[1], CBN_CLOSEUP);
        EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
        ReleaseCapture();
    }
}

TEST_F(ComboBoxTest, ALongListScrollsByWheelAndByItsScrollBar) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    for (int i = 0; i < 20; ++i)
        SendMessage(c, CB_ADDSTRING, 0, LPARAM(("more " + std::to_string(i)).c_str()));
    MoveWindow(c, 10, 10, 150, 100, TRUE);
    SetFocus(c);
    // The entry in the list's first row, chosen with a click there.
    const auto topEntry = [&] {
        SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
        POINT p{20, 4};
        ClientToScreen(ListOf(c), &p);
        Click(p);
        return SendMessage(c, CB_GETCURSEL, 0, 0);
    };
    EXPECT_EQ(topEntry(), 0);

    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    const RECT list = ScreenRect(ListOf(c));
    OffscreenHarness::Wheel(POINT{list.left + 20, list.top + 10}, -120);
    OffscreenHarness::RunUntilIdle();
    POINT first{20, 4};
    ClientToScreen(ListOf(c), &first);
    Click(first);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);

    // A click on the bar's lower end steps it down by an entry and keeps the list open.
    SendMessage(c, CB_SETCURSEL, 0, 0);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    const RECT again = ScreenRect(ListOf(c));
    Click(POINT{again.right - 5, again.bottom - 5});
    EXPECT_TRUE(Dropped(c));
    POINT row{20, 4};
    ClientToScreen(ListOf(c), &row);
    Click(row);
    EXPECT_GT(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
}

// What the user sees of a window and its Qt controls, with the open list drawn over it.
QImage Screenshot(HWND window, HWND list) {
    QImage out = FindWindowRecord(window)->widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QPainter painter(&out);
    RECT at;
    GetWindowRect(list, &at);
    painter.drawPixmap(at.left, at.top, FindWindowRecord(list)->widget->grab());
    return out;
}

TEST_F(ComboBoxTest, TheOpenListHighlightsInTheColourTablesHighlight) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    const HWND field = Make("ComboBox", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, {10, 120, 160, 220}, top, 0, 6);
    SetWindowText(field, "typed text");
    SendMessage(c, CB_SETCURSEL, 1, 0);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    OffscreenHarness::RunUntilIdle();
    const QImage shot = Screenshot(top, ListOf(c));
    ASSERT_TRUE(
        shot.save(QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR")) + "/combo-box.png"));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const POINT row = EntryPoint(c, 1);
    const RECT list = ScreenRect(ListOf(c));
    EXPECT_EQ(shot.pixel(list.right - 6, row.y),
              qRgb(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)));
    EXPECT_NE(shot.pixel(list.right - 6, EntryPoint(c, 2).y), shot.pixel(list.right - 6, row.y));

    // A change of the table reaches Qt's controls too.
    const int index = COLOR_HIGHLIGHT;
    const COLORREF red = RGB(255, 0, 0);
    SetSysColors(1, &index, &red);
    OffscreenHarness::RunUntilIdle();
    const QRgb after = Screenshot(top, ListOf(c)).pixel(list.right - 6, row.y);
    SetSysColors(1, &index, &highlight);
    EXPECT_EQ(after, qRgb(255, 0, 0));
}

TEST_F(ComboBoxTest, AFocusedDropDownListShowsTheFocusMarkInItsHighlightedField) {
    const HWND c = MakeCombo(CBS_DROPDOWNLIST);
    SendMessage(c, CB_SETCURSEL, 1, 0);
    OffscreenHarness::RunUntilIdle();
    // The field: inside the three-pixel frame, left of the button and the line beside it.
    RECT client;
    GetClientRect(c, &client);
    const RECT field{3, 3, client.right - GetSystemMetrics(SM_CXVSCROLL) - 4, client.bottom - 3};
    const QImage before = OffscreenHarness::Composite(c);

    SetFocus(c);
    OffscreenHarness::RunUntilIdle();
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(top, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                          "/combo-box-focused.png"));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF mark = highlight ^ 0xFFFFFF;
    // Every other pixel of the field's edge is the highlight inverted, as DrawFocusRect leaves it.
    struct Case {
        std::int32_t x, y;
        COLORREF colour;
    };
    const Case cases[] = {
        {field.left, field.top, mark},
        {field.left + 1, field.top, highlight},
        {field.right - 1, field.bottom - 1, (field.right + field.bottom) % 2 ? highlight : mark},
        {field.right - 2, field.bottom - 1, (field.right + field.bottom) % 2 ? mark : highlight},
        {field.left, field.top + 2, mark},
        {field.left + 1, field.top + 1, highlight},
        {field.right - 3, field.top + 2, highlight}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.x << "," << k.y);
        EXPECT_EQ(OffscreenHarness::Pixel(c, k.x, k.y), k.colour);
    }
    // The entry is written in the highlight's text colour.
    int written = 0;
    for (std::int32_t x = field.left + 1; x < field.right - 1; ++x)
        for (std::int32_t y = field.top + 1; y < field.bottom - 1; ++y)
            written += OffscreenHarness::Pixel(c, x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT);
    EXPECT_GT(written, 10);

    SetFocus(other);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(OffscreenHarness::Composite(c), before);
}

} // namespace
} // namespace vq::test
