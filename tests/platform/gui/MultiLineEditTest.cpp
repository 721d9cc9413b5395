#include "WindowFixture.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/StandardControls.h"
#include "tests/support/TestPaths.h"

#include <QPlainTextEdit>
#include <cstring>

namespace vq::test {
namespace {

class MultiLineEditTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        edit = MakeEdit(ES_MULTILINE | ES_AUTOVSCROLL, 7);
        SetFocus(edit);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    HWND MakeEdit(DWORD style, int id) {
        return Make("Edit", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, {10, 10, 160, 90}, top, 0,
                    std::uintptr_t(id));
    }

    std::vector<UINT> Notes(HWND e) const {
        std::vector<UINT> out;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && HWND(s.lParam) == e)
                out.push_back(HIWORD(s.wParam));
        return out;
    }

    static std::string Text(HWND e) {
        std::string text(std::size_t(GetWindowTextLength(e)) + 1, '\0');
        text.resize(std::size_t(GetWindowText(e, text.data(), int(text.size()))));
        return text;
    }

    static std::pair<std::uint32_t, std::uint32_t> Selection(HWND e) {
        std::uint32_t from = 0, to = 0;
        SendMessage(e, EM_GETSEL, WPARAM(&from), LPARAM(&to));
        return {from, to};
    }

    static void Type(int key, const char* text) {
        OffscreenHarness::Key(key, Qt::NoModifier, QString::fromUtf8(text), true);
        OffscreenHarness::Key(key, Qt::NoModifier, QString::fromUtf8(text), false);
        OffscreenHarness::RunUntilIdle();
    }

    // A point in the edit's client area, in screen coordinates.
    POINT At(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(edit, &p);
        return p;
    }

    HWND top = 0;
    HWND edit = 0;
};

using Sel = std::pair<std::uint32_t, std::uint32_t>;

TEST_F(MultiLineEditTest, TextReadsBackAsSetAndALineEndIsTwoBytesButOneStep) {
    // Lone line feeds and carriage returns are characters of their own, not line ends.
    const std::string text = "ab\r\ncd\ne\rf\xC2\xB0";
    SetWindowText(edit, text.c_str());
    EXPECT_EQ(Text(edit), text);
    EXPECT_EQ(GetWindowTextLength(edit), 12);
    EXPECT_EQ(Selection(edit), Sel(0, 0));

    // Between the two bytes of a line end is before it.
    SendMessage(edit, EM_SETSEL, 3, 3);
    EXPECT_EQ(Selection(edit), Sel(2, 2));
    SendMessage(edit, EM_SETSEL, 4, 4);
    Type(Qt::Key_X, "x");
    EXPECT_EQ(Text(edit), "ab\r\nxcd\ne\rf\xC2\xB0");
    EXPECT_EQ(Selection(edit), Sel(5, 5));

    // Backspace at the start of a line and Delete at the end of one take the whole line end.
    SendMessage(edit, EM_SETSEL, 4, 4);
    Type(Qt::Key_Backspace, "\b");
    EXPECT_EQ(Text(edit), "abxcd\ne\rf\xC2\xB0");
    SetWindowText(edit, "ab\r\ncd");
    SendMessage(edit, EM_SETSEL, 2, 2);
    Type(Qt::Key_Delete, "");
    EXPECT_EQ(Text(edit), "abcd");
    EXPECT_EQ(Notes(edit),
              (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));

    // Selecting across lines and replacing counts bytes throughout.
    SetWindowText(edit, "one\r\ntwo\r\nthree");
    SendMessage(edit, EM_SETSEL, 5, -1);
    EXPECT_EQ(Selection(edit), Sel(5, 15));
    SendMessage(edit, EM_REPLACESEL, TRUE, LPARAM("2\r\n3"));
    EXPECT_EQ(Text(edit), "one\r\n2\r\n3");
    SendMessage(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "one\r\ntwo\r\nthree");
}

TEST_F(MultiLineEditTest, EnterAndTabEditOnlyWhereThereAreLines) {
    const HWND single = MakeEdit(ES_AUTOHSCROLL, 8);
    struct Case {
        HWND window;
        WPARAM character;
        const char* kept;
    };
    for (const Case c : {Case{edit, '\r', "a\r\nb"}, Case{edit, '\n', "a\r\nb"}, Case{edit, '\t', "a\tb"},
                         Case{single, '\r', "ab"}, Case{single, '\t', "ab"}}) {
        SCOPED_TRACE(c.kept);
        SetWindowText(c.window, "ab");
        SendMessage(c.window, EM_SETSEL, 1, 1);
        SendMessage(c.window, WM_CHAR, c.character, 0);
        EXPECT_EQ(Text(c.window), c.kept);
    }

    // From the keyboard, Enter is one key and one character, and reported once.
    SetWindowText(edit, "ab");
    SendMessage(edit, EM_SETSEL, 2, 2);
    seen.clear();
    Type(Qt::Key_Return, "\r");
    Type(Qt::Key_C, "c");
    EXPECT_EQ(Text(edit), "ab\r\nc");
    EXPECT_EQ(Notes(edit), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));

    // A read-only edit takes neither.
    SendMessage(edit, EM_SETREADONLY, TRUE, 0);
    SendMessage(edit, WM_CHAR, '\r', 0);
    SendMessage(edit, WM_CHAR, '\t', 0);
    EXPECT_EQ(Text(edit), "ab\r\nc");
}

TEST_F(MultiLineEditTest, ALineEndThatDoesNotFitTheLimitIsLeftOutWhole) {
    SetWindowText(edit, "ab");
    SendMessage(edit, EM_LIMITTEXT, 3, 0);
    SendMessage(edit, EM_SETSEL, 2, 2);
    SendMessage(edit, WM_CHAR, '\r', 0);
    EXPECT_EQ(Text(edit), "ab");
    EXPECT_EQ(Notes(edit), std::vector<UINT>{EN_MAXTEXT});

    // A pasted text is cut after the last line end that fits.
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, "x\r\ny");
    CloseClipboard();
    SendMessage(edit, EM_LIMITTEXT, 5, 0);
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "abx\r\n");
}

TEST_F(MultiLineEditTest, TheClipboardCarriesLinesEndedTheEditsWay) {
    // Lines from elsewhere may end in a line feed or a carriage return alone.
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, "1\n2\r3\r\n4");
    CloseClipboard();
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "1\r\n2\r\n3\r\n4");

    SendMessage(edit, EM_SETSEL, 3, 9);
    SendMessage(edit, WM_CUT, 0, 0);
    EXPECT_EQ(GetClipboardData(CF_TEXT), "2\r\n3\r\n");
    EXPECT_EQ(Text(edit), "1\r\n4");
    EXPECT_EQ(Notes(edit), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
}

// A dialog's Enter belongs to the edit only with ES_WANTRETURN; Tab and Escape stay the dialog's.
TEST_F(MultiLineEditTest, InADialogEnterIsALineBreakOnlyWhenTheStyleWantsIt) {
    const HWND wants = MakeEdit(ES_MULTILINE | ES_WANTRETURN, 8);
    const HWND ok = Make("Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {10, 100, 80, 120},
                         top, 0, IDOK);
    const auto press = [&](int key, const char* text) {
        OffscreenHarness::Key(key, Qt::NoModifier, QString::fromUtf8(text), true);
        OffscreenHarness::Key(key, Qt::NoModifier, QString::fromUtf8(text), false);
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE))
            if (!IsDialogMessage(top, &msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
    };
    const auto commands = [&] {
        std::vector<int> ids;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && HWND(s.lParam) == ok)
                ids.push_back(int(LOWORD(s.wParam)));
        return ids;
    };

    SetFocus(wants);
    press(Qt::Key_Return, "\r");
    EXPECT_EQ(Text(wants), "\r\n");
    EXPECT_TRUE(commands().empty());

    SetFocus(edit);
    press(Qt::Key_Return, "\r");
    EXPECT_EQ(Text(edit), "");
    EXPECT_EQ(commands(), std::vector<int>{IDOK});

    press(Qt::Key_Tab, "\t");
    EXPECT_EQ(Text(edit), "");
    EXPECT_EQ(GetFocus(), wants);
}

// A list's label edit resizes itself to the text in EN_UPDATE and may end in any notification.
TEST_F(MultiLineEditTest, TheParentMayResizeOrDestroyTheEditWhileItReports) {
    hook = [&](HWND w, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (w == top && message == WM_COMMAND && HIWORD(wParam) == EN_UPDATE)
            MoveWindow(edit, 10, 10, 160, 40 + GetWindowTextLength(edit), TRUE);
        return false;
    };
    SetWindowText(edit, "ab");
    SendMessage(edit, EM_SETSEL, 2, 2);
    Type(Qt::Key_Return, "\r");
    Type(Qt::Key_C, "c");
    EXPECT_EQ(Text(edit), "ab\r\nc");
    RECT r;
    GetWindowRect(edit, &r);
    EXPECT_EQ(r.Height(), 45);
    EXPECT_EQ(QtControlOf(edit)->height(), 45);
    EXPECT_EQ(Notes(edit), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));

    hook = [&](HWND w, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (w == top && message == WM_COMMAND && HIWORD(wParam) == EN_UPDATE) DestroyWindow(edit);
        return false;
    };
    seen.clear();
    Type(Qt::Key_D, "d");
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(Notes(edit), std::vector<UINT>{EN_UPDATE});
}

TEST_F(MultiLineEditTest, ThePointerPlacesTheCaretAndDragsASelectionWithoutEditing) {
    SetWindowText(edit, "ab\r\ncd ef");
    const int line = QtControlOf(edit)->fontMetrics().height();
    // The second line, left of its first character.
    OffscreenHarness::MousePress(At(1, line + line / 2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Selection(edit), Sel(4, 4));
    EXPECT_EQ(GetCapture(), edit);
    OffscreenHarness::MouseMove(At(150, line + line / 2), Qt::LeftButton);
    OffscreenHarness::MouseRelease(At(150, line + line / 2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Selection(edit), Sel(4, 9));
    EXPECT_EQ(GetCapture(), HWND(0));

    // A pointer move without the button down selects nothing.
    OffscreenHarness::MouseMove(At(1, line / 2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Selection(edit), Sel(4, 9));
    EXPECT_EQ(Text(edit), "ab\r\ncd ef");
    EXPECT_TRUE(Notes(edit).empty());
}

// Tabs step 8 average character widths by default, as drawn text has them; dialog units are
// quarters of that width.
TEST_F(MultiLineEditTest, TabStopsFollowTheFontAndOnlyLinesHaveThem) {
    const auto tabWidth = [&] {
        SetWindowText(edit, "\tx");
        auto* widget = qobject_cast<QPlainTextEdit*>(QtControlOf(edit));
        const int start = widget->cursorRect().left();
        SendMessage(edit, EM_SETSEL, 1, 1);
        return widget->cursorRect().left() - start;
    };
    const auto averageWidth = [](HGDIOBJ font) {
        HDC dc = GetDC(0);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRIC tm;
        GetTextMetrics(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(0, dc);
        return tm.tmAveCharWidth;
    };
    const int small = averageWidth(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(tabWidth(), 8 * small);

    LOGFONT lf;
    lf.lfHeight = -24;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT large = CreateFontIndirect(lf);
    SendMessage(edit, WM_SETFONT, WPARAM(large), TRUE);
    ASSERT_NE(averageWidth(large), small);
    EXPECT_EQ(tabWidth(), 8 * averageWidth(large));

    const int stops[] = {16};
    EXPECT_TRUE(SendMessage(edit, EM_SETTABSTOPS, 1, LPARAM(stops)));
    EXPECT_EQ(tabWidth(), 4 * averageWidth(large));
    EXPECT_TRUE(SendMessage(edit, EM_SETTABSTOPS, 0, 0));
    EXPECT_EQ(tabWidth(), 8 * averageWidth(large));

    const int negative[] = {-4};
    EXPECT_FALSE(SendMessage(edit, EM_SETTABSTOPS, 1, 0));
    EXPECT_FALSE(SendMessage(edit, EM_SETTABSTOPS, 1, LPARAM(negative)));
    EXPECT_FALSE(SendMessage(MakeEdit(ES_AUTOHSCROLL, 8), EM_SETTABSTOPS, 0, 0));
    DestroyWindow(edit);
    DeleteObject(large);
}

// A long line wraps at the edge, breaking a word longer than a line, unless the edit scrolls
// sideways; the two are saved side by side for people to look at.
TEST_F(MultiLineEditTest, LongLinesWrapUnlessTheEditScrollsSideways) {
    const HWND scrolls = Make("Edit", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL,
                              {175, 10, 295, 90}, top, 0, 8);
    SetWindowLongPtr(edit, GWL_STYLE, GetWindowLongPtr(edit, GWL_STYLE) | WS_BORDER);
    SetWindowPos(edit, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    LOGFONT lf;
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirect(lf);
    const char* text = "Interface eth0 saw 1,234 frames\r\nLongWordWithoutAnyBreakInIt end";
    for (HWND e : {edit, scrolls}) {
        SendMessage(e, WM_SETFONT, WPARAM(font), TRUE);
        SetWindowText(e, text);
    }
    const auto lastLineTop = [](HWND e) {
        SendMessage(e, EM_SETSEL, 0, -1);
        SendMessage(e, EM_SETSEL, -1, 0);
        return qobject_cast<QPlainTextEdit*>(QtControlOf(e))->cursorRect().top();
    };
    const int line = QtControlOf(edit)->fontMetrics().height();
    // Two lines of text: more than two lines when wrapped, exactly two when not.
    EXPECT_GE(lastLineTop(edit), 2 * line);
    EXPECT_LT(lastLineTop(scrolls), 2 * line);
    EXPECT_EQ(Text(edit), text);

    SendMessage(scrolls, EM_SETSEL, 0, 0);
    SendMessage(scrolls, EM_SCROLLCARET, 0, 0);
    OffscreenHarness::RunUntilIdle();
    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/multi-line-edits.png";
    EXPECT_TRUE(QtControlOf(edit)->window()->grab().save(QString::fromStdString(path), "PNG"));
    DestroyWindow(scrolls);
    DeleteObject(font);
}

} // namespace
} // namespace vq::test
