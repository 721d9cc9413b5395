#include "platform/classlib/CheckListBox.h"
#include "platform/classlib/DataExchange.h"
#include "platform/classlib/Dialog.h"
#include "platform/classlib/Edit.h"
#include "platform/classlib/Static.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NonClientMetrics.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SystemColours.h"
#include "tests/support/TestPaths.h"

#include <QApplication>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

// A top-level window object that notes the WM_COMMAND codes its children send.
class Parent : public CWnd {
public:
    std::vector<UINT> codes;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        codes.push_back(HIWORD(wParam));
        return CWnd::OnCommand(wParam, lParam);
    }
    int Count(UINT code) const { return int(std::count(codes.begin(), codes.end(), code)); }
};

class CheckListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            parent.CreateEx(0, nullptr, "Checks", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 160}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, RECT{10, 10, 190, 150}, &parent, 30));
        for (const char* text : {"Standard", "Capture", "Charts"})
            list.AddString(text);
        OffscreenHarness::RunUntilIdle();
        parent.codes.clear();
    }
    void TearDown() override {
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }

    POINT ScreenPoint(int index, int x) {
        RECT r;
        list.GetItemRect(index, &r);
        POINT p{r.left + x, (r.top + r.bottom) / 2};
        ClientToScreen(list.m_hWnd, &p);
        return p;
    }

    void Click(POINT screen) {
        OffscreenHarness::MousePress(screen);
        OffscreenHarness::MouseRelease(screen);
        OffscreenHarness::RunUntilIdle();
    }

    // The middle of an item's box as the user sees it.
    COLORREF BoxMiddle(int index) {
        RECT r;
        list.GetItemRect(index, &r);
        return OffscreenHarness::Pixel(list.m_hWnd, r.left + 2 + 6, (r.top + r.bottom) / 2 + 1);
    }

    Parent parent;
    CCheckListBox list;
};

TEST_F(CheckListBoxTest, ABoxClickTogglesOnceATextClickOnlySelects) {
    EXPECT_EQ(list.GetStyle() & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS), LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
    EXPECT_GE(list.GetItemHeight(0), 15) << "room for the box";
    Click(ScreenPoint(1, 7));
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(parent.Count(CLBN_CHKCHANGE), 1);
    EXPECT_EQ(list.GetCurSel(), 1);

    parent.codes.clear();
    Click(ScreenPoint(2, 80));
    EXPECT_EQ(list.GetCheck(2), 0);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(parent.Count(CLBN_CHKCHANGE), 0);
    EXPECT_EQ(parent.Count(LBN_SELCHANGE), 1);

    // Space toggles the focused item; SetCheck tells nobody.
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", true);
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(list.GetCheck(2), 1);
    EXPECT_EQ(parent.Count(CLBN_CHKCHANGE), 1);
    parent.codes.clear();
    EXPECT_TRUE(list.SetCheck(0, 1));
    EXPECT_TRUE(parent.codes.empty());
    EXPECT_FALSE(list.SetCheck(3, 1));
    EXPECT_EQ(list.GetCheck(3), -1);
}

TEST_F(CheckListBoxTest, ChecksStayWithTheirItemsAndShowATick) {
    list.SetCheck(1, 1);
    list.InsertString(0, "First");
    EXPECT_EQ(list.GetCheck(2), 1) << "moved with its item";
    list.DeleteString(0);
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(list.GetCheck(0), 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(BoxMiddle(1), GetSysColor(COLOR_WINDOWTEXT)) << "the tick";
    EXPECT_EQ(BoxMiddle(0), GetSysColor(COLOR_WINDOW)) << "an empty box";
    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/check-list-box.png";
    std::filesystem::remove(path);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(parent.m_hWnd, path));
    list.ResetContent();
    EXPECT_EQ(list.GetCheck(0), -1);
}

// Notes the messages that reach it, as a child of a dialog.
class Listener : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> heard;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        heard.emplace_back(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A dialog that runs a script step each time its loop goes idle.
class ScriptedDialog : public CDialog {
public:
    using CDialog::CDialog;
    std::vector<std::function<void(ScriptedDialog&)>> script;
    std::function<void(ScriptedDialog&)> init;
    std::function<void(CDataExchange*)> exchange;
    std::size_t step = 0;
    BOOL OnInitDialog() override {
        if (init) init(*this);
        const BOOL result = CDialog::OnInitDialog();
        PostMessage(WM_USER + 1);
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 1 && step < script.size()) {
            script[step++](*this);
            if (m_hWnd) PostMessage(WM_USER + 1);
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void DoDataExchange(CDataExchange* dx) override {
        if (exchange) exchange(dx);
    }
};

TEST(SettingChangeTest, ALargerMenuFontReachesADialogsChild) {
    NONCLIENTMETRICS original;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof original, &original, 0));
    DialogTemplate t;
    t.caption = "Settings";
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    t.rect = {20, 20, 220, 120};
    t.items.push_back({"Button", "Child", 40, WS_VISIBLE | WS_TABSTOP, {10, 10, 90, 34}});
    ScriptedDialog dialog(t);
    Listener child;
    LOGFONT seenFont;
    dialog.script = {[&](ScriptedDialog& d) {
                         child.SubclassDlgItem(40, &d);
                         NONCLIENTMETRICS larger = original;
                         larger.lfMenuFont.lfHeight = original.lfMenuFont.lfHeight * 2;
                         SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger,
                                              SPIF_SENDCHANGE);
                         GetObject(MenuFont(), sizeof seenFont, &seenFont);
                     },
                     [](ScriptedDialog& d) { d.EndDialog(IDOK); }};
    EXPECT_EQ(dialog.DoModal(), IDOK);
    SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof original, &original, 0);
    int changes = 0;
    for (const auto& [message, wParam] : child.heard)
        changes += message == WM_SETTINGCHANGE && wParam == SPI_SETNONCLIENTMETRICS;
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seenFont.lfHeight, original.lfMenuFont.lfHeight * 2);
}

TEST(DataExchangeControlsTest, CheckRadioAndListStringsRoundTrip) {
    DialogTemplate t;
    t.caption = "Exchange";
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    t.rect = {20, 20, 260, 200};
    t.items = {
        {"Button", "Check", 50, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, {10, 10, 100, 26}},
        {"Button", "One", 51, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, {10, 30, 100, 46}},
        {"Button", "Two", 52, WS_VISIBLE | BS_AUTORADIOBUTTON, {10, 50, 100, 66}},
        {"Button", "Three", 53, WS_VISIBLE | BS_AUTORADIOBUTTON, {10, 70, 100, 86}},
        {"ListBox", "", 54, WS_VISIBLE | WS_TABSTOP | WS_GROUP, {110, 10, 220, 120}},
        {"Button", "OK", UINT(IDOK), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {10, 130, 80, 154}}};
    int check = 1, radio = 2;
    std::string chosen = "Cap";
    int shownCheck = -1, shownRadio = -2;
    std::string shownList;
    ScriptedDialog dialog(t);
    dialog.init = [](ScriptedDialog& d) {
        for (const char* text : {"Standard", "Capture", "Charts"})
            ::vq::SendMessage(::vq::GetDlgItem(d.m_hWnd, 54), LB_ADDSTRING, 0, LPARAM(text));
    };
    dialog.exchange = [&](CDataExchange* dx) {
        DDX_Check(dx, 50, check);
        DDX_Radio(dx, 51, radio);
        DDX_LBString(dx, 54, chosen);
    };
    dialog.script = {[&](ScriptedDialog& d) {
        HWND w = d.m_hWnd;
        shownCheck = int(::vq::SendMessage(::vq::GetDlgItem(w, 50), BM_GETCHECK, 0, 0));
        for (int i = 0; i < 3; ++i)
            if (::vq::SendMessage(::vq::GetDlgItem(w, 51 + i), BM_GETCHECK, 0, 0)) shownRadio = i;
        char text[32] = {};
        ::vq::SendMessage(::vq::GetDlgItem(w, 54), LB_GETTEXT,
                          WPARAM(::vq::SendMessage(::vq::GetDlgItem(w, 54), LB_GETCURSEL, 0, 0)),
                          LPARAM(text));
        shownList = text;
        // The user changes all three, then confirms.
        ::vq::SendMessage(::vq::GetDlgItem(w, 50), BM_SETCHECK, BST_UNCHECKED, 0);
        ::vq::SendMessage(::vq::GetDlgItem(w, 53), BM_SETCHECK, BST_UNCHECKED, 0);
        ::vq::SendMessage(::vq::GetDlgItem(w, 51), BM_SETCHECK, BST_CHECKED, 0);
        ::vq::SendMessage(::vq::GetDlgItem(w, 54), LB_SETCURSEL, 2, 0);
        d.OnOK();
    }};
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shownCheck, 1);
    EXPECT_EQ(shownRadio, 2);
    EXPECT_EQ(shownList, "Capture");
    EXPECT_EQ(check, 0);
    EXPECT_EQ(radio, 0);
    EXPECT_EQ(chosen, "Charts");

    // Nothing chosen saves as empty and shows as nothing chosen.
    radio = -1;
    chosen.clear();
    dialog.script = {[&](ScriptedDialog& d) {
        shownRadio = -2;
        for (int i = 0; i < 3; ++i)
            if (::vq::SendMessage(::vq::GetDlgItem(d.m_hWnd, 51 + i), BM_GETCHECK, 0, 0)) shownRadio = i;
        shownCheck = int(::vq::SendMessage(::vq::GetDlgItem(d.m_hWnd, 54), LB_GETCURSEL, 0, 0));
        d.OnOK();
    }};
    dialog.step = 0;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shownRadio, -2);
    EXPECT_EQ(shownCheck, int(LB_ERR));
    EXPECT_EQ(radio, -1);
    EXPECT_EQ(chosen, "");
}

TEST(SimpleControlsTest, EditAndStaticWrapTheirWindows) {
    Parent parent;
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "Edits", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100}, nullptr, 0));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 190, 30}, &parent, 60));
    edit.SetWindowText("network");
    edit.SetSel(2, 5);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 5);
    edit.ReplaceSel("XY");
    EXPECT_EQ(edit.GetWindowText(), "neXYrk");
    EXPECT_EQ(parent.Count(EN_CHANGE), 1);
    edit.LimitText(4);
    EXPECT_EQ(edit.GetLimitText(), 4u);
    CStatic label;
    ASSERT_TRUE(label.Create("Name:", WS_CHILD | WS_VISIBLE, RECT{10, 40, 100, 56}, &parent));
    EXPECT_EQ(label.GetWindowText(), "Name:");
    parent.DestroyWindow();
}

} // namespace
} // namespace vq
