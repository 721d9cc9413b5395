#include "platform/classlib/Dialog.h"

#include "platform/classlib/DataExchange.h"
#include "platform/gui/MessageBox.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

inline constexpr UINT WM_ENTERIDLE = 0x0121;

// An edit stand-in: typed characters append to its text; it remembers the last selection asked.
std::vector<std::pair<HWND, LPARAM>> selections;
LRESULT TestEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && wParam >= ' ') {
        char text[64] = {};
        GetWindowText(window, text, int(sizeof text) - 1);
        std::string s = text;
        s += char(wParam);
        SetWindowText(window, s.c_str());
        return 0;
    }
    if (message == EM_SETSEL) selections.emplace_back(window, lParam);
    return DefWindowProc(window, message, wParam, lParam);
}

class ScriptedMessageBox : public MessageBoxProvider {
public:
    struct Shown {
        std::string text;
        UINT type;
    };
    std::vector<Shown> shown;
    int answer = IDNO;
    int Show(HWND, const std::string& text, const std::string&, UINT type) override {
        shown.push_back({text, type});
        return answer;
    }
};

// The owner answers for the user each time the dialog's loop goes idle.
class Owner : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    std::vector<std::function<void(HWND)>> script;
    int idles = 0;
    bool enabledWhileIdle = true;
    LRESULT OnEnterIdle(WPARAM, LPARAM dialog) {
        enabledWhileIdle = enabledWhileIdle && IsWindowEnabled(m_hWnd);
        if (std::size_t(idles) < script.size()) script[std::size_t(idles)](HWND(dialog));
        ++idles;
        return 0;
    }
};
VQ_BEGIN_MESSAGE_MAP(Owner, CWnd)
VQ_ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
VQ_END_MESSAGE_MAP()

DialogTemplate Fields(int count) {
    DialogTemplate t;
    t.caption = "Fields";
    t.rect = {20, 20, 220, 160};
    for (int i = 0; i < count; ++i)
        t.items.push_back(
            {"TestEdit", "", UINT(10 + i), WS_VISIBLE | WS_TABSTOP, {10, 10 + 25 * i, 110, 30 + 25 * i}});
    t.items.push_back(
        {"Button", "OK", UINT(IDOK), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {120, 10, 190, 34}});
    t.items.push_back({"Button", "Cancel", UINT(IDCANCEL), WS_VISIBLE | WS_TABSTOP, {120, 40, 190, 64}});
    return t;
}

class NameDialog : public CDialog {
public:
    using CDialog::CDialog;
    std::string name;
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 10, name); }
};

class NumbersDialog : public CDialog {
public:
    using CDialog::CDialog;
    int values[3] = {3, 3, 3};
    void DoDataExchange(CDataExchange* dx) override {
        for (int i = 0; i < 3; ++i) {
            DDX_Text(dx, UINT(10 + i), values[i]);
            DDV_MinMaxInt(dx, values[i], 1, 10);
        }
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASS wc;
        wc.lpfnWndProc = TestEditProc;
        wc.lpszClassName = "TestEdit";
        RegisterClass(wc);
        selections.clear();
        previous = SetMessageBoxProvider(&boxes);
        ASSERT_TRUE(
            owner.CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr, 0));
    }
    void TearDown() override { SetMessageBoxProvider(previous); }

    static void Type(HWND control, const std::string& text) {
        for (const char c : text)
            PostMessage(control, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
    }
    static void Key(HWND control, int key) { PostMessage(control, WM_KEYDOWN, WPARAM(key), 0); }

    ScriptedMessageBox boxes;
    MessageBoxProvider* previous = nullptr;
    Owner owner;
};

TEST_F(DialogTest, MessageBoxesGoThroughTheInstalledProvider) {
    EXPECT_EQ(MessageBox(owner.m_hWnd, "Delete it?", "Vorquel", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Delete it?");
    EXPECT_EQ(boxes.shown[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
}

TEST_F(DialogTest, AModalDialogRunsItsOwnLoopWithTheOwnerDisabled) {
    NameDialog dialog(Fields(1), &owner);
    owner.script = {[](HWND d) {
        HWND edit = GetDlgItem(d, 10);
        EXPECT_EQ(GetFocus(), edit);
        Type(edit, "hi");
        Key(edit, VK_RETURN);
    }};
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.name, "hi");
    EXPECT_GE(owner.idles, 1);
    EXPECT_FALSE(owner.enabledWhileIdle);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(dialog.m_hWnd, HWND(0));

    // Any code given to EndDialog comes back from DoModal.
    NameDialog ended(Fields(1), &owner);
    owner.idles = 0;
    owner.script = {[&](HWND) { ended.EndDialog(42); }};
    EXPECT_EQ(ended.DoModal(), 42);
}

TEST_F(DialogTest, AModalDialogGoesWithItsOwnerAndItsLoopEnds) {
    NameDialog dialog(Fields(1), &owner);
    HWND window = 0;
    owner.script = {[&](HWND d) {
                        window = d;
                        DestroyWindow(owner.m_hWnd);
                    },
                    [&](HWND) { dialog.EndDialog(IDOK); }};
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(owner.idles, 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.m_hWnd, HWND(0));
}

// A control that notes what passes its PreTranslateMessage.
class Watcher : public CWnd {
public:
    std::vector<UINT> pretranslated;
    BOOL PreTranslateMessage(MSG* msg) override {
        pretranslated.push_back(msg->message);
        return CWnd::PreTranslateMessage(msg);
    }
};

TEST_F(DialogTest, TheDialogsWindowsPretranslateTheirMessagesUnderItsLoop) {
    NameDialog dialog(Fields(1), &owner);
    Watcher field;
    owner.script = {[&](HWND d) {
                        field.SubclassWindow(GetDlgItem(d, 10));
                        PostMessage(field.m_hWnd, WM_USER + 5, 0, 0);
                        Key(field.m_hWnd, VK_RETURN);
                    },
                    [&](HWND) { dialog.EndDialog(IDCANCEL); }};
    // The dialog's own keyboard handling still comes after the field's.
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(field.pretranslated, (std::vector<UINT>{WM_USER + 5, WM_KEYDOWN}));
}

TEST_F(DialogTest, TheFirstFieldThatFailsStopsTheExchangeAndKeepsTheDialogOpen) {
    NumbersDialog dialog(Fields(3), &owner);
    HWND failed = 0;
    owner.script = {[](HWND d) {
                        for (UINT id = 10; id <= 12; ++id)
                            SetWindowText(GetDlgItem(d, int(id)), "");
                        Type(GetDlgItem(d, 10), "5");
                        Type(GetDlgItem(d, 11), "x");
                        Type(GetDlgItem(d, 12), "7");
                        Key(GetDlgItem(d, 12), VK_RETURN);
                    },
                    [&](HWND d) {
                        failed = GetFocus();
                        EXPECT_EQ(failed, GetDlgItem(d, 11));
                        Key(failed, VK_ESCAPE);
                    }};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.values[0], 5);
    EXPECT_EQ(dialog.values[1], 3);
    EXPECT_EQ(dialog.values[2], 3);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Please enter an integer.");
    EXPECT_EQ(selections, (std::vector<std::pair<HWND, LPARAM>>{{failed, -1}}));
}

TEST_F(DialogTest, AValueOutOfRangeKeepsTheMembersEarlierValue) {
    NumbersDialog dialog(Fields(3), &owner);
    owner.script = {[&](HWND d) {
        SetWindowText(GetDlgItem(d, 10), "11");
        EXPECT_FALSE(dialog.UpdateData(TRUE));
        SetWindowText(GetDlgItem(d, 10), "4");
        EXPECT_TRUE(dialog.UpdateData(TRUE));
        dialog.EndDialog(IDOK);
    }};
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.values[0], 4);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Please enter an integer between 1 and 10.");
}

} // namespace
} // namespace vq
