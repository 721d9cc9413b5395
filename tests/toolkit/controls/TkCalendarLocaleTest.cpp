#include "CalendarFixture.h"
#include "platform/classlib/Dialog.h"

namespace vq {
namespace {

using test::CalendarTest;

// A child that counts the setting changes its dialog passes on.
class SettingListener : public CWnd {
public:
    int changes = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTINGCHANGE) ++changes;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Changes the user's locale while it runs, then ends.
class LocaleDialog : public CDialog {
public:
    explicit LocaleDialog(CWnd* owner) : CDialog(Template(), owner) {}
    SettingListener listener;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        listener.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 20}, this, 100);
        SetUserDefaultLCID(0x0407);
        EndDialog(IDOK);
        return TRUE;
    }

private:
    static DialogTemplate Template() {
        DialogTemplate t;
        t.rect = RECT{0, 0, 100, 80};
        return t;
    }
};

TEST_F(CalendarTest, AUserLocaleChangeReachesAChildOfADialogAndTheNamesFollowIt) {
    LocaleDialog dialog(&owner);
    dialog.DoModal();
    EXPECT_EQ(dialog.listener.changes, 1);
    SetCalendarLocale(GetUserDefaultLCID());
    std::string sunday;
    ASSERT_TRUE(GetDayName(sunday, 1, TRUE));
    EXPECT_EQ(sunday, "Sonntag");
    SetUserDefaultLCID(0x0409);

    SetCalendarLocale(0x0409);
    TkCalendar calendar;
    Open(calendar, 0x39C000);
    calendar.SetFirstDayOfWeek(2, TRUE);
    const char* const expected[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (int column = 1; column <= 7; ++column)
        EXPECT_EQ(calendar.GetHeader().GetColumnName(column), expected[column - 1]);
    calendar.GetHeader().SetFlags(calendar.GetHeader().GetFlags() | TkPanel::fullDayNames);
    EXPECT_EQ(calendar.GetHeader().GetColumnName(7), "Sunday");
}

TEST_F(CalendarTest, NamesComeFromTheCalendarLocaleAsStandAloneForms) {
    struct Case {
        LCID locale;
        int month;
        const char* name;
    };
    const Case cases[] = {
        {0x0415, 1, "styczeń"}, {0x0407, 3, "März"}, {0x0411, 12, "12月"}, {0x0809, 9, "September"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        SetCalendarLocale(c.locale);
        std::string name;
        ASSERT_TRUE(GetMonthName(name, c.month, TRUE));
        EXPECT_EQ(name, c.name);
    }
    std::string name = "kept";
    EXPECT_FALSE(GetMonthName(name, 13, TRUE));
    EXPECT_FALSE(GetDayName(name, 0, TRUE));
    EXPECT_EQ(name, "kept");
}

} // namespace
} // namespace vq
