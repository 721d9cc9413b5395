#include "platform/gui/DialogManager.h"

#include "WindowFixture.h"
#include "platform/gui/StandardControls.h"

namespace vq::test {
namespace {

// A dialog of plain windows standing in for edits, a label, a check box, a radio group and the
// two buttons, driven through the dialog manager as a modal loop would.
class DialogManagerTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        dialog = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        const DWORD child = WS_CHILD | WS_VISIBLE;
        edit1 = Control("Spy", "", child | WS_TABSTOP | WS_GROUP, 10);
        edit2 = Control("Spy", "", child | WS_TABSTOP | WS_DISABLED, 11);
        label = Control("Static", "&Name:", child, 12);
        edit3 = Control("Spy", "", child | WS_TABSTOP, 13);
        check = Control("Button", "Check", child | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 14);
        radio1 = Control("Button", "One", child | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 15);
        radio2 = Control("Button", "Two", child | BS_AUTORADIOBUTTON, 16);
        ok = Control("Button", "OK", child | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDOK);
        cancel = Control("Button", "Cancel", child | WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
        OffscreenHarness::RunUntilIdle();
        SetFocus(edit1);
        seen.clear();
    }

    HWND Control(const char* cls, const char* text, DWORD style, int id) {
        HWND w = Make(cls, style, {10, 10 + 18 * id, 100, 26 + 18 * id}, dialog, 0, std::uintptr_t(id));
        SetWindowText(w, text);
        return w;
    }

    // Presses and releases a key and runs what it queued through the dialog manager.
    void Press(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        OffscreenHarness::Key(qtKey, modifiers, text, true);
        OffscreenHarness::Key(qtKey, modifiers, text, false);
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE))
            if (!IsDialogMessage(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
    }

    std::vector<int> Commands() const {
        std::vector<int> ids;
        for (const auto& s : seen)
            if (s.window == dialog && s.message == WM_COMMAND) ids.push_back(int(LOWORD(s.wParam)));
        return ids;
    }

    HWND dialog = 0, edit1 = 0, edit2 = 0, label = 0, edit3 = 0, check = 0, radio1 = 0, radio2 = 0, ok = 0,
         cancel = 0;
};

TEST_F(DialogManagerTest, TabVisitsEnabledTabStopsInSiblingOrderAndWraps) {
    const std::vector<HWND> forward{edit3, check, radio1, ok, cancel, edit1};
    for (HWND expected : forward) {
        Press(Qt::Key_Tab);
        EXPECT_EQ(GetFocus(), expected);
    }
    OffscreenHarness::Key(Qt::Key_Shift, Qt::ShiftModifier, "", true);
    const std::vector<HWND> backward{cancel, ok, radio1};
    for (HWND expected : backward) {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(GetFocus(), expected);
    }
    OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, "", false);
    Press(Qt::Key_Tab);
    EXPECT_EQ(GetFocus(), ok);
}

TEST_F(DialogManagerTest, ArrowsStayInTheRadioGroupAndCheckWhatTheyReach) {
    SetFocus(radio1);
    Press(Qt::Key_Down);
    EXPECT_EQ(GetFocus(), radio2);
    EXPECT_EQ(SendMessage(radio2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    Press(Qt::Key_Down);
    EXPECT_EQ(GetFocus(), radio1);
    Press(Qt::Key_Up);
    EXPECT_EQ(GetFocus(), radio2);
}

TEST_F(DialogManagerTest, MnemonicsEnterEscapeAndTheDefaultLook) {
    Press(Qt::Key_N, Qt::AltModifier, "n");
    EXPECT_EQ(GetFocus(), edit3);

    Press(Qt::Key_Return, Qt::NoModifier, "\r");
    Press(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_EQ(Commands(), (std::vector<int>{IDOK, IDCANCEL}));

    SetFocus(ok);
    Press(Qt::Key_Tab);
    EXPECT_EQ(GetFocus(), cancel);
    EXPECT_EQ(GetWindowLongPtr(cancel, GWL_STYLE) & BS_TYPEMASK, std::intptr_t(BS_DEFPUSHBUTTON));
    EXPECT_EQ(GetWindowLongPtr(ok, GWL_STYLE) & BS_TYPEMASK, std::intptr_t(BS_PUSHBUTTON));
    seen.clear();
    Press(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(Commands(), std::vector<int>{IDCANCEL});
    Press(Qt::Key_Tab);
    EXPECT_EQ(GetFocus(), edit1);
    EXPECT_EQ(GetWindowLongPtr(ok, GWL_STYLE) & BS_TYPEMASK, std::intptr_t(BS_DEFPUSHBUTTON));
}

TEST_F(DialogManagerTest, AControlThatWantsAllKeysKeepsTabEnterAndEscape) {
    hook = [&](HWND w, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (w != edit3 || m != WM_GETDLGCODE) return false;
        r = DLGC_WANTALLKEYS;
        return true;
    };
    SetFocus(edit3);
    seen.clear();
    Press(Qt::Key_Tab);
    Press(Qt::Key_Return, Qt::NoModifier, "\r");
    Press(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_EQ(GetFocus(), edit3);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(MessagesOf(edit3, {WM_KEYDOWN}), std::vector<UINT>(3, WM_KEYDOWN));
}

} // namespace
} // namespace vq::test
