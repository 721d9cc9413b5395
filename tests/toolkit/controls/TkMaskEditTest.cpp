#include "toolkit/controls/TkMaskEdit.h"

#include "platform/gui/Beep.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/Messages.h"
#include "platform/gui/OffscreenHarness.h"

#include <QString>
#include <gtest/gtest.h>

namespace vq::test {
namespace {

constexpr const char* phone = "(###) ###-####";

// A mask edit on a top-level window, typed into through the window system's keys.
class TkMaskEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetBeepHook([this](UINT type) { beeps.push_back(type); });
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 100}, nullptr, 0));
    }
    void TearDown() override {
        edit.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetBeepHook(nullptr);
    }
    void Open(const char* mask, char32_t prompt = U'_', DWORD style = 0) {
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | style, RECT{10, 10, 250, 34}, &parent, 7));
        edit.SetPromptChar(prompt);
        edit.SetMask(mask);
        SetFocus(edit.m_hWnd);
        OffscreenHarness::RunUntilIdle();
    }
    static void Key(int key, const QString& text = QString(),
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(key, modifiers, text, true);
        OffscreenHarness::Key(key, modifiers, QString(), false);
        OffscreenHarness::RunUntilIdle();
    }
    // A key with Ctrl or Shift held, as the user presses them one after the other.
    static void Chord(int modifierKey, Qt::KeyboardModifier modifier, int key,
                      const QString& text = QString()) {
        OffscreenHarness::Key(modifierKey, modifier, QString(), true);
        OffscreenHarness::Key(key, modifier, text, true);
        OffscreenHarness::Key(key, modifier, QString(), false);
        OffscreenHarness::Key(modifierKey, Qt::NoModifier, QString(), false);
        OffscreenHarness::RunUntilIdle();
    }
    static void Type(const QString& text) {
        for (const QChar c : text) {
            const int key = c.isDigit()    ? Qt::Key_0 + c.digitValue()
                            : c.isLetter() ? Qt::Key_A
                                           : Qt::Key_unknown;
            Key(key, QString(c));
        }
    }
    std::string Shown() const { return edit.GetWindowText(); }
    // The caret in characters.
    int Caret() const {
        DWORD from = 0, to = 0;
        edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return QString::fromStdString(Shown().substr(0, from)).toUcs4().size();
    }
    std::string Data(BOOL trim = TRUE) const {
        std::string data;
        edit.GetData(data, trim);
        return data;
    }

    CWnd parent;
    TkMaskEdit edit;
    std::vector<UINT> beeps;
};

TEST_F(TkMaskEditTest, ThePhoneMaskTakesDigitsOnlyAndMovesOverLiterals) {
    Open(phone);
    EXPECT_EQ(Shown(), "(___) ___-____");
    EXPECT_EQ(Caret(), 1);
    Type("5");
    EXPECT_EQ(Shown(), "(5__) ___-____");
    EXPECT_EQ(Caret(), 2);
    EXPECT_EQ(Data(), "5");

    Type("x");
    EXPECT_EQ(beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
    EXPECT_EQ(Shown(), "(5__) ___-____");
    Type("23456");
    EXPECT_EQ(Shown(), "(523) 456-____");
    EXPECT_EQ(Caret(), 10);
}

TEST_F(TkMaskEditTest, OverwriteReplacesInsertShiftsAndAFullMaskTakesNoMore) {
    Open("##-##");
    Type("123");
    Key(Qt::Key_Home);
    Type("9");
    EXPECT_EQ(Shown(), "92-3_");
    Key(Qt::Key_Insert);
    Key(Qt::Key_Home);
    Type("8");
    EXPECT_EQ(Shown(), "89-23");
    EXPECT_EQ(Caret(), 1);
    Type("7");
    EXPECT_EQ(Shown(), "89-23");
    EXPECT_TRUE(beeps.empty());
}

TEST_F(TkMaskEditTest, BackspacePullsTheFollowingCharactersLeftAcrossLiterals) {
    Open(phone);
    Type("123456");
    ASSERT_EQ(Shown(), "(123) 456-____");
    edit.SetSel(6, 6);
    Key(Qt::Key_Backspace, "\b");
    EXPECT_EQ(Shown(), "(124) 56_-____");
    EXPECT_EQ(Caret(), 3);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Shown(), "(125) 6__-____");
    EXPECT_EQ(Caret(), 3);
}

TEST_F(TkMaskEditTest, ShiftsInAMixedMaskNeverPutACharacterWhereItsClassDoesNotFit) {
    TkMaskEdit windowless;
    windowless.SetMask("LL-##");
    windowless.SetData("ab12", 0, FALSE, TRUE);
    // Deleting a letter pulls the next letter left but not the digit behind the literal.
    windowless.DeleteRange(1, 0);
    EXPECT_EQ(windowless.GetText(), "b -12");
    windowless.SetData("ab12", 0, FALSE, TRUE);
    windowless.DeleteRange(4, 3);
    EXPECT_EQ(windowless.GetText(), "ab-2 ");
    // Inserting a letter would push a letter onto a digit: nothing moves.
    windowless.SetData("a", 0, FALSE, TRUE);
    windowless.SetData("b", 1, FALSE, TRUE);
    EXPECT_FALSE(windowless.InsertChar(0, U'c', FALSE));
    EXPECT_EQ(windowless.GetText(), "ab-  ");
    EXPECT_TRUE(windowless.InsertChar(3, U'7', FALSE));
    EXPECT_EQ(windowless.GetText(), "ab-7 ");
}

TEST_F(TkMaskEditTest, ALiteralOnlyMaskTakesNothingAndHomeGoesToTheStart) {
    Open("--:--");
    Key(Qt::Key_End);
    Key(Qt::Key_Home);
    EXPECT_EQ(Caret(), 0);
    Type("1");
    EXPECT_EQ(Shown(), "--:--");
    EXPECT_EQ(beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
}

TEST_F(TkMaskEditTest, CaseStylesAndConversions) {
    const struct {
        const char* mask;
        DWORD style;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"LLL", 0, "aBc", "abc"}, {"LLL", ES_UPPERCASE, "aBc", "ABC"}, {"UUU", ES_LOWERCASE, "aBc", "abc"},
        {"A?&", 0, "7b!", "7b!"}, {"\\#\\\\#", 0, "5", "#\\5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        edit.DestroyWindow();
        Open(c.mask, U'_', c.style);
        Type(c.typed);
        EXPECT_EQ(Shown(), c.shown);
    }
}

TEST_F(TkMaskEditTest, APromptChangeKeepsTheEnteredCharacters) {
    Open(phone);
    Type("12");
    edit.SetPromptChar(U'*');
    EXPECT_EQ(Shown(), "(12*) ***-****");
    edit.SetPromptChar(0);
    EXPECT_EQ(edit.GetPromptChar(), U'*');
    EXPECT_EQ(Data(FALSE), "12        ");
    // Undoing after a prompt change brings back the entries, with the new prompt.
    EXPECT_TRUE(edit.Undo());
    EXPECT_EQ(Shown(), "(1**) ***-****");
    EXPECT_EQ(Data(FALSE), "1         ");
}

TEST_F(TkMaskEditTest, UndoGoesBackAndASecondUndoComesForward) {
    Open(phone);
    Type("5");
    Chord(Qt::Key_Control, Qt::ControlModifier, Qt::Key_Z, QString(QChar(0x1A)));
    EXPECT_EQ(Shown(), "(___) ___-____");
    Chord(Qt::Key_Control, Qt::ControlModifier, Qt::Key_Z, QString(QChar(0x1A)));
    EXPECT_EQ(Shown(), "(5__) ___-____");
}

TEST_F(TkMaskEditTest, PasteTakesOnlyWhatFitsAndCopyGivesItBack) {
    Open(phone);
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, "12a-34x");
    CloseClipboard();
    Chord(Qt::Key_Control, Qt::ControlModifier, Qt::Key_V, QString(QChar(0x16)));
    EXPECT_EQ(Shown(), "(123) 4__-____");
    EXPECT_EQ(Caret(), 1);

    // A paste at the start keeps what follows.
    Chord(Qt::Key_Control, Qt::ControlModifier, Qt::Key_V, QString(QChar(0x16)));
    EXPECT_EQ(Shown(), "(123) 412-34__");

    Key(Qt::Key_Home);
    Chord(Qt::Key_Shift, Qt::ShiftModifier, Qt::Key_End);
    Chord(Qt::Key_Control, Qt::ControlModifier, Qt::Key_C, QString(QChar(0x03)));
    EXPECT_EQ(GetClipboardData(CF_TEXT).value_or(""), "12341234  ");
    Key(Qt::Key_Delete);
    EXPECT_EQ(Shown(), "(___) ___-____");
    Chord(Qt::Key_Control, Qt::ControlModifier, Qt::Key_V, QString(QChar(0x16)));
    EXPECT_EQ(Shown(), "(123) 412-34__");
    EXPECT_EQ(Data(), "12341234");
}

TEST_F(TkMaskEditTest, APrintableCharacterWithCtrlHeldIsStillChecked) {
    Open(phone);
    PostMessage(edit.m_hWnd, WM_KEYDOWN, VK_CONTROL, 0);
    OffscreenHarness::RunUntilIdle();
    edit.SendMessage(WM_CHAR, U'\u20AC');
    edit.SendMessage(WM_CHAR, '7');
    PostMessage(edit.m_hWnd, WM_KEYUP, VK_CONTROL, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Shown(), "(7__) ___-____");
    EXPECT_EQ(beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
}

TEST_F(TkMaskEditTest, LiteralsPromptsAndEntriesBeyondAsciiAreWholeCharacters) {
    Open("##°C &€", U'·');
    EXPECT_EQ(Shown(), "··°C ·€");
    Type("21");
    EXPECT_EQ(Caret(), 5);
    Key(Qt::Key_Eacute, QString(QChar(0xE9)));
    EXPECT_EQ(Shown(), "21°C é€");
    EXPECT_EQ(Caret(), 6);
    EXPECT_EQ(Data(), "21é");
    Key(Qt::Key_Backspace, "\b");
    EXPECT_EQ(Shown(), "21°C ·€");
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 1);
    Key(Qt::Key_Backspace, "\b");
    EXPECT_EQ(Shown(), "1·°C ·€");
}

TEST_F(TkMaskEditTest, PositionsOutsideTheMaskChangeNothing) {
    TkMaskEdit windowless;
    EXPECT_TRUE(windowless.SetMask(phone));
    windowless.DeleteRange(3, -5);
    windowless.DeleteRange(99, 1);
    EXPECT_EQ(windowless.GetInputEnd(1000), 1);
    EXPECT_EQ(windowless.GetInputEnd(-3), 1);
    EXPECT_FALSE(windowless.InsertChar(-1, U'1', FALSE));
    EXPECT_FALSE(windowless.SetData("1", 40, FALSE, TRUE));
    EXPECT_TRUE(windowless.SetData("5551234567", 0, FALSE, TRUE));
    EXPECT_EQ(windowless.GetText(), "(555) 123-4567");
    EXPECT_EQ(windowless.GetInputEnd(1000), 14);
    EXPECT_FALSE(windowless.InsertChar(1, U'9', FALSE)); // full
    windowless.DeleteRange(14, 12);
    EXPECT_EQ(windowless.GetText(), "(555) 123-45  ");
}

} // namespace
} // namespace vq::test
