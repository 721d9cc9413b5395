#include "platform/classlib/DialogResource.h"

#include "dialogs.h"
#include "platform/classlib/ComboBox.h"
#include "platform/classlib/DataExchange.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/MessageBox.h"
#include "platform/res/Resources.h"

#include <functional>
#include <gtest/gtest.h>

namespace vq {
namespace {

inline constexpr UINT WM_ENTERIDLE = 0x0121;

// The owner plays the user, one step each time the dialog's loop goes idle.
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

class FormDialog : public CDialog {
public:
    FormDialog(CWnd* owner) : CDialog(UINT(IDD_FORM), owner) {}
    std::string name;
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, UINT(IDC_NAME), name); }
};

class PickDialog : public CDialog {
public:
    explicit PickDialog(CWnd* owner) : CDialog(UINT(IDD_PICK), owner) {}
    CComboBox groups;
    int kind = 1;
    std::string group = "BETA";
    // What the kind list reported.
    std::vector<UINT> notes;
    BOOL OnInitDialog() override {
        for (const char* k : {"First", "Second", "Third"})
            ::vq::SendMessage(::vq::GetDlgItem(m_hWnd, IDC_KIND), CB_ADDSTRING, 0, LPARAM(k));
        groups.SubclassDlgItem(IDC_GROUP, this);
        for (const char* g : {"gamma", "alpha", "beta"})
            groups.AddString(g);
        return CDialog::OnInitDialog();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == IDC_KIND) notes.push_back(HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_CBIndex(dx, IDC_KIND, kind);
        DDX_CBStringExact(dx, IDC_GROUP, group);
        DDV_MaxChars(dx, group, 8);
    }
};

class RecordingMessageBox : public MessageBoxProvider {
public:
    std::vector<std::string> shown;
    int Show(HWND, const std::string& text, const std::string&, UINT) override {
        shown.push_back(text);
        return IDOK;
    }
};

constexpr int kF4 = VK_F1 + 3;

void Key(HWND dialog, int vk, UINT message = WM_KEYDOWN) {
    PostMessage(GetFocus() ? GetFocus() : dialog, message, WPARAM(vk), 0);
}

class DialogResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            owner.CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr, 0));
    }
    Owner owner;
};

TEST_F(DialogResourceTest, TheTemplateGivesEveryControlInPixels) {
    const auto t = LoadDialogTemplate(IDD_FORM);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->caption, "Form");
    ASSERT_EQ(t->items.size(), 9u);
    const std::vector<std::string> classes{"Edit",   "Edit",   "Static", "Edit",  "Button",
                                           "Button", "Button", "Button", "Button"};
    for (std::size_t i = 0; i < classes.size(); ++i)
        EXPECT_EQ(t->items[i].className, classes[i]);
    EXPECT_EQ(t->items[2].text, "&Name:");
    EXPECT_EQ(t->items[1].style & WS_DISABLED, WS_DISABLED);
    // Dialog units scale with the font: wider than they are high, in proportion.
    const RECT& first = t->items[0].rect;
    EXPECT_GT(first.Width(), 80);
    EXPECT_GT(first.Height(), 14);
    EXPECT_NEAR(double(t->rect.Width()) / first.Width(), 180.0 / 80, 0.05);
    EXPECT_FALSE(LoadDialogTemplate(999));

    // A template cut anywhere is refused.
    const auto bytes = FindResource(RT_DIALOG, IDD_FORM);
    for (std::size_t n = 0; n + 1 < bytes.size(); n += 7)
        EXPECT_FALSE(ReadDialogTemplate(bytes.first(n))) << n;

    CDialog missing(UINT(999), &owner);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogResourceTest, TheTemplatesFontIsTheDialogsAndEveryControlsUntilTheDialogGoes) {
    const auto t = LoadDialogTemplate(IDD_FONTED);
    ASSERT_TRUE(t && t->font);
    EXPECT_EQ(t->font->points, 10);
    EXPECT_EQ(t->font->weight, FW_BOLD);
    EXPECT_TRUE(t->font->italic);
    EXPECT_EQ(t->font->face, "Arial");

    // The dialog's font and its controls', as the dialog shows.
    struct Fonts {
        HFONT dialog = nullptr;
        LOGFONT described;
        std::vector<HFONT> controls;
    };
    auto run = [&](CDialog& dialog) {
        Fonts fonts;
        owner.step = 0;
        owner.script = {[&](HWND d) {
            fonts.dialog = reinterpret_cast<HFONT>(SendMessage(d, WM_GETFONT, 0, 0));
            GetObject(fonts.dialog, sizeof fonts.described, &fonts.described);
            for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                fonts.controls.push_back(reinterpret_cast<HFONT>(SendMessage(c, WM_GETFONT, 0, 0)));
            dialog.EndDialog(IDOK);
        }};
        EXPECT_EQ(dialog.DoModal(), IDOK);
        return fonts;
    };

    CDialog fonted(UINT(IDD_FONTED), &owner);
    const Fonts made = run(fonted);
    ASSERT_NE(made.dialog, nullptr);
    // Ten points at 96 pixels to the inch.
    EXPECT_EQ(made.described.lfHeight, -13);
    EXPECT_EQ(made.described.lfWeight, FW_BOLD);
    EXPECT_EQ(made.described.lfItalic, 1);
    EXPECT_STREQ(made.described.lfFaceName, "Arial");
    EXPECT_EQ(made.controls, std::vector<HFONT>(3, made.dialog));
    // Gone with the dialog.
    EXPECT_EQ(GetObject(made.dialog, 0, nullptr), 0);

    DialogTemplate plainTemplate = *t;
    plainTemplate.font.reset();
    CDialog plain(plainTemplate, &owner);
    const Fonts system = run(plain);
    EXPECT_EQ(system.dialog, nullptr);
    EXPECT_EQ(system.controls, std::vector<HFONT>(3, nullptr));
}

TEST_F(DialogResourceTest, KeysWalkTheTabStopsGroupsAndMnemonicsOfTheTemplate) {
    FormDialog dialog(&owner);
    auto item = [](HWND d, int id) { return GetDlgItem(d, id); };
    std::vector<int> visited;
    auto tab = [&](bool back) {
        return [&, back](HWND d) {
            visited.push_back(GetDlgCtrlID(GetFocus()));
            if (back) Key(d, VK_SHIFT);
            Key(d, VK_TAB);
            if (back) Key(d, VK_SHIFT, WM_KEYUP);
        };
    };
    owner.script = {tab(false),
                    tab(false),
                    tab(false),
                    tab(false),
                    tab(false),
                    [&](HWND d) {
                        // A focused push button takes the default look.
                        EXPECT_EQ(GetWindowLongPtr(item(d, IDCANCEL), GWL_STYLE) & BS_TYPEMASK,
                                  std::intptr_t(BS_DEFPUSHBUTTON));
                        EXPECT_EQ(GetWindowLongPtr(item(d, IDOK), GWL_STYLE) & BS_TYPEMASK,
                                  std::intptr_t(BS_PUSHBUTTON));
                        tab(false)(d);
                    },
                    tab(true),
                    [&](HWND d) {
                        visited.push_back(GetDlgCtrlID(GetFocus()));
                        SetFocus(item(d, IDC_ONE));
                        Key(d, VK_RIGHT);
                    },
                    [&](HWND d) {
                        EXPECT_EQ(GetFocus(), item(d, IDC_TWO));
                        EXPECT_EQ(SendMessage(item(d, IDC_TWO), BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
                        Key(d, VK_RIGHT);
                    },
                    [&](HWND d) {
                        EXPECT_EQ(GetFocus(), item(d, IDC_ONE));
                        Key(d, 'n', WM_SYSCHAR);
                    },
                    [&](HWND d) {
                        EXPECT_EQ(GetFocus(), item(d, IDC_NAME));
                        for (const char c : std::string("ok"))
                            Key(d, c, WM_CHAR);
                        Key(d, VK_RETURN);
                    }};
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.name, "ok");
    const std::vector<int> expected{IDC_FIRST, IDC_NAME, IDC_CHECK, IDC_ONE,
                                    IDOK,      IDCANCEL, IDC_FIRST, IDCANCEL};
    EXPECT_EQ(visited, expected);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));

    FormDialog escaped(&owner);
    owner.step = 0;
    owner.script = {[](HWND d) { Key(d, VK_ESCAPE); }};
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
}

TEST_F(DialogResourceTest, ComboBoxesFromTheTemplateTakeTheirKeysAndExchangeTheirFields) {
    PickDialog dialog(&owner);
    HWND kinds = 0, field = 0;
    owner.script = {[&](HWND d) {
                        kinds = GetDlgItem(d, IDC_KIND);
                        field = GetDlgItem(GetDlgItem(d, IDC_GROUP), 1001);
                        char name[16] = {};
                        GetClassName(kinds, name, int(sizeof name));
                        EXPECT_STREQ(name, "ComboBox");
                        EXPECT_FALSE(GetDlgItem(kinds, 1001));
                        EXPECT_TRUE(field);
                        // The template's height is the one with the list dropped.
                        RECT r;
                        GetWindowRect(kinds, &r);
                        EXPECT_LT(r.Height(), 30);
                        // Shown: the index, and the entry equal to the text whatever its case.
                        EXPECT_EQ(SendMessage(kinds, CB_GETCURSEL, 0, 0), 1);
                        EXPECT_EQ(dialog.groups.GetLBText(dialog.groups.GetCurSel()), "beta");
                        EXPECT_EQ(GetFocus(), kinds);
                        Key(d, VK_DOWN);
                        Key(d, kF4);
                    },
                    [&](HWND d) {
                        // Enter closes the open list and leaves the dialog open.
                        EXPECT_TRUE(SendMessage(kinds, CB_GETDROPPEDSTATE, 0, 0));
                        Key(d, VK_RETURN);
                    },
                    [&](HWND d) {
                        EXPECT_FALSE(SendMessage(kinds, CB_GETDROPPEDSTATE, 0, 0));
                        Key(d, VK_TAB);
                    },
                    [&](HWND d) {
                        // Typing replaces the field's text, up to the exchange's limit.
                        EXPECT_EQ(GetFocus(), field);
                        for (const char c : std::string("delta-long"))
                            Key(d, c, WM_CHAR);
                        Key(d, VK_RETURN);
                    }};
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.kind, 2);
    EXPECT_EQ(dialog.group, "delta-lo");
    EXPECT_EQ(dialog.notes, (std::vector<UINT>{CBN_SETFOCUS, CBN_SELCHANGE, CBN_DROPDOWN, CBN_SELENDOK,
                                               CBN_CLOSEUP, CBN_KILLFOCUS}));

    // A text too long fails its field: told once, the field focused with its text selected, the
    // member before it saved and the failed one as it was.
    RecordingMessageBox boxes;
    MessageBoxProvider* previous = SetMessageBoxProvider(&boxes);
    PickDialog failing(&owner);
    owner.step = 0;
    owner.script = {[&](HWND d) {
                        Key(d, VK_DOWN);
                        SetWindowText(GetDlgItem(d, IDC_GROUP), "far too long");
                        PostMessage(d, WM_COMMAND, IDOK, 0);
                    },
                    [&](HWND d) {
                        const HWND groups = GetDlgItem(d, IDC_GROUP);
                        EXPECT_EQ(GetFocus(), GetDlgItem(groups, 1001));
                        std::uint32_t from = 9, to = 9;
                        SendMessage(groups, CB_GETEDITSEL, WPARAM(&from), LPARAM(&to));
                        EXPECT_EQ(from, 0u);
                        EXPECT_EQ(to, 12u);
                        Key(d, VK_ESCAPE);
                    }};
    EXPECT_EQ(failing.DoModal(), IDCANCEL);
    SetMessageBoxProvider(previous);
    EXPECT_EQ(failing.kind, 2);
    EXPECT_EQ(failing.group, "BETA");
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Please enter no more than 8 characters."});
}

} // namespace
} // namespace vq
