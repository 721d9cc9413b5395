#include "platform/classlib/PropertySheet.h"

#include "platform/classlib/DataExchange.h"
#include "platform/gui/OffscreenHarness.h"
#include "tests/support/TestPaths.h"
#include "views.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

inline constexpr UINT WM_ENTERIDLE = 0x0121;

// What the pages and the sheet heard, in order.
std::vector<std::string> heard;

class LoggingPage : public CPropertyPage {
public:
    LoggingPage(UINT templateId, std::string pageName)
        : CPropertyPage(templateId), name(std::move(pageName)) {}
    std::string name;
    std::string text;
    bool refuseToLeave = false;
    BOOL OnInitDialog() override {
        heard.push_back(name + " init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        heard.push_back(name + " set");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        heard.push_back(name + " kill");
        return !refuseToLeave && CPropertyPage::OnKillActive();
    }
    void OnOK() override { heard.push_back(name + " ok"); }
    void OnCancel() override { heard.push_back(name + " cancel"); }
    void OnReset() override {
        heard.push_back(name + " reset");
        CPropertyPage::OnReset();
    }
    void DoDataExchange(CDataExchange* dx) override {
        if (name == "one") DDX_Text(dx, IDC_PAGE_NAME, text);
    }
};

class SpySheet : public CPropertySheet {
public:
    using CPropertySheet::CPropertySheet;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == TCN_SELCHANGING) heard.push_back("changing");
            if (header->code == TCN_SELCHANGE) heard.push_back("change");
        }
        return CPropertySheet::OnWndMsg(message, wParam, lParam, result);
    }
};

// Acts for the user each time the sheet's loop goes idle.
class Owner : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    std::vector<std::function<void(HWND)>> script;
    std::size_t step = 0;
    LRESULT OnEnterIdle(WPARAM, LPARAM dialog) {
        if (step < script.size()) script[step++](HWND(dialog));
        return 0;
    }
};
VQ_BEGIN_MESSAGE_MAP(Owner, CWnd)
VQ_ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
VQ_END_MESSAGE_MAP()

void Key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (modifiers & Qt::ControlModifier) OffscreenHarness::Key(Qt::Key_Control, modifiers, "", true);
    if (modifiers & Qt::ShiftModifier) OffscreenHarness::Key(Qt::Key_Shift, modifiers, "", true);
    OffscreenHarness::Key(qtKey, modifiers, "", true);
    OffscreenHarness::Key(qtKey, modifiers, "", false);
    if (modifiers & Qt::ShiftModifier) OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, "", false);
    if (modifiers & Qt::ControlModifier) OffscreenHarness::Key(Qt::Key_Control, Qt::NoModifier, "", false);
}

POINT TabCentre(CTabCtrl* tab, int index) {
    RECT r;
    tab->GetItemRect(index, &r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tab->m_hWnd, &p);
    return p;
}

class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        heard.clear();
        ASSERT_TRUE(
            owner.CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE, RECT{0, 0, 600, 400}, nullptr, 0));
        sheet.AddPage(&one);
        sheet.AddPage(&two);
        sheet.AddPage(&three);
    }
    std::vector<std::string> Heard() {
        std::vector<std::string> out;
        out.swap(heard);
        return out;
    }
    using Log = std::vector<std::string>;

    Owner owner;
    LoggingPage one{IDD_PAGE_ONE, "one"};
    LoggingPage two{IDD_PAGE_TWO, "two"};
    LoggingPage three{IDD_PAGE_THREE, "three"};
    SpySheet sheet{"Settings", &owner};
};

TEST_F(PropertySheetTest, PagesChangeByMouseAndKeysAndOkAppliesEveryPageMade) {
    CTabCtrl* tab = sheet.GetTabControl();
    owner.script = {
        [&](HWND) {
            EXPECT_EQ(Heard(), (Log{"one init", "one set"}));
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            EXPECT_EQ(GetFocus(), tab->m_hWnd);
            EXPECT_EQ(two.m_hWnd, HWND(0));
            EXPECT_EQ(three.m_hWnd, HWND(0));
            SetWindowText(GetDlgItem(one.m_hWnd, IDC_PAGE_NAME), "typed");
            OffscreenHarness::MousePress(TabCentre(tab, 2));
            OffscreenHarness::MouseRelease(TabCentre(tab, 2));
        },
        [&](HWND) {
            // The third page is made when it is first shown.
            EXPECT_EQ(Heard(), (Log{"changing", "one kill", "change", "three init", "three set"}));
            EXPECT_EQ(sheet.GetActiveIndex(), 2);
            EXPECT_EQ(one.text, "typed");
            EXPECT_FALSE(IsWindowVisible(one.m_hWnd));
            Key(Qt::Key_Tab, Qt::ControlModifier);
        },
        [&](HWND) {
            EXPECT_EQ(Heard(), (Log{"changing", "three kill", "change", "one set"}));
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            Key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        },
        [&](HWND) {
            EXPECT_EQ(Heard(), (Log{"changing", "one kill", "change", "three set"}));
            // The program's choice of page tells the tabs' listeners nothing.
            EXPECT_TRUE(sheet.SetActivePage(1));
            EXPECT_EQ(Heard(), (Log{"three kill", "two init", "two set"}));
            EXPECT_EQ(tab->GetCurSel(), 1);
            // A page that refuses to be left stays.
            two.refuseToLeave = true;
            Key(Qt::Key_PageDown, Qt::ControlModifier);
        },
        [&](HWND) {
            EXPECT_EQ(Heard(), (Log{"changing", "two kill"}));
            EXPECT_EQ(sheet.GetActiveIndex(), 1);
            EXPECT_EQ(tab->GetCurSel(), 1);
            two.refuseToLeave = false;
            Key(Qt::Key_PageUp, Qt::ControlModifier);
        },
        [&](HWND) {
            EXPECT_EQ(Heard(), (Log{"changing", "two kill", "change", "one set"}));
            // Tab runs from the tabs through the page to the buttons; Apply is off until a change.
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet.m_hWnd, int(ID_APPLY_NOW))));
            SetFocus(tab->m_hWnd);
            Key(Qt::Key_Tab);
        },
        [&](HWND) {
            EXPECT_EQ(GetFocus(), GetDlgItem(one.m_hWnd, IDC_PAGE_NAME));
            Key(Qt::Key_Tab);
        },
        [&](HWND) {
            EXPECT_EQ(GetFocus(), GetDlgItem(sheet.m_hWnd, IDOK));
            Key(Qt::Key_Tab);
        },
        [&](HWND) {
            // A push button with the focus shows as the default one.
            EXPECT_EQ(GetFocus(), GetDlgItem(sheet.m_hWnd, IDCANCEL));
            EXPECT_EQ(GetWindowLongPtr(GetDlgItem(sheet.m_hWnd, IDCANCEL), GWL_STYLE) & BS_DEFPUSHBUTTON,
                      std::intptr_t(BS_DEFPUSHBUTTON));
            EXPECT_EQ(GetWindowLongPtr(GetDlgItem(sheet.m_hWnd, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
            Key(Qt::Key_Tab);
        },
        [&](HWND) {
            EXPECT_EQ(GetFocus(), tab->m_hWnd);
            EXPECT_EQ(GetWindowLongPtr(GetDlgItem(sheet.m_hWnd, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON,
                      std::intptr_t(BS_DEFPUSHBUTTON));
            two.SetModified();
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet.m_hWnd, int(ID_APPLY_NOW))));
            OffscreenHarness::RunUntilIdle();
            EXPECT_TRUE(OffscreenHarness::SaveScreenshot(
                sheet.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/property-sheet.png"));
            // The selected tab stands out: it rises above the row of tabs and opens into the body,
            // whose light top edge runs under the others.
            RECT selected, other;
            tab->GetItemRect(0, &selected);
            tab->GetItemRect(1, &other);
            const int selectedX = (selected.left + selected.right) / 2;
            const int otherX = (other.left + other.right) / 2;
            const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
            const COLORREF face = GetSysColor(COLOR_BTNFACE);
            EXPECT_EQ(OffscreenHarness::Pixel(tab->m_hWnd, selectedX, selected.top - 1), light);
            EXPECT_EQ(OffscreenHarness::Pixel(tab->m_hWnd, otherX, other.top - 1), face);
            EXPECT_EQ(OffscreenHarness::Pixel(tab->m_hWnd, selectedX, other.bottom + 1), face);
            EXPECT_EQ(OffscreenHarness::Pixel(tab->m_hWnd, otherX, other.bottom + 1), light);
            SetFocus(GetDlgItem(one.m_hWnd, IDC_PAGE_NAME));
            Key(Qt::Key_Return);
        },
    };
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(owner.step, owner.script.size());
    EXPECT_EQ(Heard(), (Log{"one kill", "one ok", "two ok", "three ok"}));
    EXPECT_FALSE(two.IsModified());
}

TEST_F(PropertySheetTest, EscapeResetsEveryPageMadeThenCancels) {
    owner.script = {
        [&](HWND) {
            EXPECT_TRUE(sheet.SetActivePage(2));
            Heard();
            Key(Qt::Key_Escape);
        },
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(Heard(), (Log{"one reset", "one cancel", "three reset", "three cancel"}));
    EXPECT_EQ(one.m_hWnd, HWND(0));
}

TEST_F(PropertySheetTest, ApplyAppliesWithoutClosingAndGoesOffAgain) {
    owner.script = {
        [&](HWND) {
            one.SetModified();
            Heard();
            PostMessage(sheet.m_hWnd, WM_COMMAND, WPARAM(ID_APPLY_NOW), 0);
        },
        [&](HWND) {
            EXPECT_EQ(Heard(), (Log{"one kill", "one ok"}));
            EXPECT_TRUE(IsWindowVisible(sheet.m_hWnd));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet.m_hWnd, int(ID_APPLY_NOW))));
            sheet.EndDialog(IDCANCEL);
        },
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

} // namespace
} // namespace vq
