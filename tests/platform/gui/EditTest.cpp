#include "WindowFixture.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/StandardControls.h"

#include <QGuiApplication>
#include <QImage>
#include <QStyleHints>
#include <QWidget>

namespace vq::test {
namespace {

class EditTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
        edit = Make("Edit", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, {10, 10, 150, 30}, top, 0, 7);
        SetFocus(edit);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    std::vector<UINT> Notes() const {
        std::vector<UINT> out;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && HWND(s.lParam) == edit && LOWORD(s.wParam) == 7)
                out.push_back(HIWORD(s.wParam));
        return out;
    }

    std::string Text() const {
        char buffer[64];
        GetWindowText(edit, buffer, sizeof buffer);
        return buffer;
    }

    std::pair<std::uint32_t, std::uint32_t> Selection() const {
        std::uint32_t from = 0, to = 0;
        SendMessage(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
        return {from, to};
    }

    static void Type(int key, const char* text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(key, modifiers, QString::fromUtf8(text), true);
        OffscreenHarness::Key(key, modifiers, QString::fromUtf8(text), false);
        OffscreenHarness::RunUntilIdle();
    }

    HWND top = 0;
    HWND edit = 0;
};

TEST_F(EditTest, TypingReportsUpdateThenChangePerCharacterAndSettersReportNothing) {
    Type(Qt::Key_A, "a");
    Type(Qt::Key_B, "b");
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(Notes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(SendMessage(edit, EM_GETMODIFY, 0, 0));

    seen.clear();
    SetWindowText(edit, "a°b");
    SendMessage(edit, EM_SETSEL, 1, 3);
    SendMessage(edit, EM_LIMITTEXT, 4, 0);
    EXPECT_TRUE(Notes().empty());
    EXPECT_FALSE(SendMessage(edit, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(GetWindowTextLength(edit), 4);
    // Positions count bytes: the selection is the two bytes of "°".
    EXPECT_EQ(Selection(), (std::pair<std::uint32_t, std::uint32_t>{1, 3}));

    // Typing over the selection fits the limit; a further character does not.
    Type(Qt::Key_C, "c");
    Type(Qt::Key_D, "d");
    Type(Qt::Key_E, "e");
    EXPECT_EQ(Text(), "acdb");
    EXPECT_EQ(Notes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
}

TEST_F(EditTest, BackspaceIsACharacterAndDeleteAKey) {
    SetWindowText(edit, "abcd");
    SendMessage(edit, EM_SETSEL, 2, 2);
    Type(Qt::Key_Backspace, "\b");
    EXPECT_EQ(Text(), "acd");
    Type(Qt::Key_Delete, "");
    EXPECT_EQ(Text(), "ad");
    EXPECT_EQ(Notes(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));

    // Only the key message deletes: the character alone does nothing.
    SendMessage(edit, WM_CHAR, 0x7F, 0);
    EXPECT_EQ(Text(), "ad");
}

WNDPROC original = nullptr;
std::vector<UINT>* passed = nullptr;

LRESULT SwallowX(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && wParam == 'x') return 0;
    if (message == WM_KEYDOWN || message == WM_CHAR) passed->push_back(UINT(wParam));
    return CallWindowProc(original, window, message, wParam, lParam);
}

TEST_F(EditTest, ASubclassDecidesWhichKeysReachTheEdit) {
    std::vector<UINT> keys;
    passed = &keys;
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&SwallowX)));
    Type(Qt::Key_A, "a");
    Type(Qt::Key_X, "x");
    Type(Qt::Key_B, "b");
    EXPECT_EQ(Text(), "ab");

    OffscreenHarness::Key(Qt::Key_Shift, Qt::ShiftModifier, "", true);
    Type(Qt::Key_Left, "", Qt::ShiftModifier);
    OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, "", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Selection(), (std::pair<std::uint32_t, std::uint32_t>{1, 2}));
    EXPECT_NE(std::find(keys.begin(), keys.end(), UINT(VK_LEFT)), keys.end());
    SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(original));
}

TEST_F(EditTest, ClipboardAndReplacementEditsAreReported) {
    SetWindowText(edit, "hello");
    SendMessage(edit, EM_SETSEL, 0, 2);
    SendMessage(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(), "llo");
    SendMessage(edit, EM_SETSEL, 3, 3);
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(), "llohe");
    SendMessage(edit, EM_SETSEL, 0, -1);
    SendMessage(edit, EM_REPLACESEL, TRUE, LPARAM("new"));
    EXPECT_EQ(Text(), "new");
    SendMessage(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(), "llohe");
    SendMessage(edit, EM_SETSEL, 0, 1);
    SendMessage(edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(), "lohe");
    // Copying changes nothing.
    SendMessage(edit, WM_COPY, 0, 0);
    const std::vector<UINT> fiveEdits{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE,
                                      EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE};
    EXPECT_EQ(Notes(), fiveEdits);
}

TEST_F(EditTest, StylesFilterWhatIsTyped) {
    struct Case {
        DWORD style;
        const char* typed;
        const char* kept;
    };
    for (const Case c : {Case{ES_NUMBER, "a1", "1"}, Case{ES_UPPERCASE, "ab", "AB"},
                         Case{ES_LOWERCASE, "AB", "ab"}, Case{ES_READONLY, "ab", "z"}}) {
        SCOPED_TRACE(c.kept);
        const HWND e = Make("Edit", WS_CHILD | WS_VISIBLE | c.style, {10, 40, 150, 60}, top, 0, 8);
        SetWindowText(e, c.style == ES_READONLY ? "z" : "");
        SetFocus(e);
        for (const char* p = c.typed; *p; ++p)
            SendMessage(e, WM_CHAR, WPARAM(*p), 0);
        if (c.style == ES_READONLY) SendMessage(e, WM_CHAR, VK_BACK, 0);
        char buffer[16];
        GetWindowText(e, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.kept);
        DestroyWindow(e);
    }
}

} // namespace
} // namespace vq::test

namespace vq::test {
namespace {

// Qt's widget never has Qt's focus, yet shows its caret while the edit's window has the focus.
TEST_F(EditTest, TheCaretShowsWhileTheWindowHasTheFocus) {
    // A caret that does not blink, so the test does not depend on how long it takes.
    QStyleHints* hints = QGuiApplication::styleHints();
    const int flashTime = hints->cursorFlashTime();
    hints->setCursorFlashTime(0);
    for (const DWORD style : {DWORD(ES_AUTOHSCROLL), DWORD(ES_MULTILINE)}) {
        SCOPED_TRACE(style);
        const HWND e = Make("Edit", WS_CHILD | WS_VISIBLE | style, {10, 40, 150, 70}, top, 0, 8);
        OffscreenHarness::RunUntilIdle();
        const auto darkPixels = [&] {
            const QImage image = QtControlOf(e)->grab().toImage();
            int dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    dark += qGray(image.pixel(x, y)) < 64;
            return dark;
        };
        EXPECT_EQ(darkPixels(), 0);
        SetFocus(e);
        OffscreenHarness::RunUntilIdle();
        EXPECT_GT(darkPixels(), 0);
        SetFocus(top);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(darkPixels(), 0);
        DestroyWindow(e);
    }
    hints->setCursorFlashTime(flashTime);
}

} // namespace
} // namespace vq::test
