#include "platform/gui/Locale.h"

#include "WindowFixture.h"
#include "platform/gui/NonClientMetrics.h"
#include "platform/gui/WindowRecord.h"

#include <algorithm>
#include <string>

namespace vq {
namespace {

std::string Info(LCID locale, UINT type) {
    char buffer[512];
    return GetLocaleInfo(locale, type, buffer, int(sizeof buffer)) > 0 ? std::string(buffer)
                                                                       : std::string("<none>");
}

TEST(LocaleTest, NamesDesignatorsAndFormatsOfTheKnownLocales) {
    struct Case {
        LCID locale;
        const char *monday, *sundayShort, *january, *marchShort, *am, *pm, *time, *shortDate, *longDate;
    };
    const Case cases[] = {
        {0x0409, "Monday", "Sun", "January", "Mar", "AM", "PM", "h:mm:ss tt", "M/d/yy", "dddd, MMMM d, yyyy"},
        {0x0407, "Montag", "So", "Januar", "Mär", "AM", "PM", "HH:mm:ss", "dd.MM.yy", "dddd, d. MMMM yyyy"},
        {0x0415, "poniedziałek", "niedz.", "styczeń", "mar", "AM", "PM", "HH:mm:ss", "d.MM.yyyy",
         "dddd, d MMMM yyyy"},
        {0x0411, "月曜日", "日", "1月", "3月", "午前", "午後", "H時mm分ss秒", "yyyy/MM/dd",
         "yyyy年M月d日dddd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(Info(c.locale, LOCALE_SDAYNAME1), c.monday);
        EXPECT_EQ(Info(c.locale, LOCALE_SABBREVDAYNAME7), c.sundayShort);
        EXPECT_EQ(Info(c.locale, LOCALE_SMONTHNAME1), c.january);
        EXPECT_EQ(Info(c.locale, LOCALE_SABBREVMONTHNAME1 + 2), c.marchShort);
        EXPECT_EQ(Info(c.locale, LOCALE_S1159), c.am);
        EXPECT_EQ(Info(c.locale, LOCALE_S2359), c.pm);
        EXPECT_EQ(Info(c.locale, LOCALE_STIMEFORMAT), c.time);
        EXPECT_EQ(Info(c.locale, LOCALE_SSHORTDATE), c.shortDate);
        EXPECT_EQ(Info(c.locale, LOCALE_SLONGDATE), c.longDate);
    }
}

TEST(LocaleTest, UnknownLocalesItemsAndShortBuffersAnswerZero) {
    char buffer[8] = "keep";
    EXPECT_EQ(GetLocaleInfo(0x0999, LOCALE_SDAYNAME1, buffer, int(sizeof buffer)), 0);
    EXPECT_EQ(GetLocaleInfo(0x0409, 0x7777, buffer, int(sizeof buffer)), 0);
    EXPECT_STREQ(buffer, "keep");
    // "Wednesday" and its NUL need 10.
    EXPECT_EQ(GetLocaleInfo(0x0409, LOCALE_SDAYNAME1 + 2, nullptr, 0), 10);
    EXPECT_EQ(GetLocaleInfo(0x0409, LOCALE_SDAYNAME1 + 2, buffer, int(sizeof buffer)), 0);
    EXPECT_STREQ(buffer, "keep");
}

TEST(LocaleTest, QtFormatsBecomePictures) {
    struct Case {
        const char *qt, *picture;
    };
    const Case cases[] = {
        {"h:mm:ss AP t", "h:mm:ss tt"},
        {"h:mm ap", "h:mm tt"},
        {"h:mm:ss", "H:mm:ss"},
        {"HH:mm:ss zzz", "HH:mm:ss"},
        {"hh 'o''clock' A", "hh o\"'\"clock tt"},
        {"d 'de' MMMM", "d 'd'e MMMM"},
        {"'Week' g d", "Week 'g' d"},
        {"dd''MM", "dd\"'\"MM"},
        {"yyyy'\"'", "yyyy'\"'"},
        {"'unterminated", "un't'er'm'ina't'e'd'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.qt);
        EXPECT_EQ(PictureFromQtFormat(c.qt), c.picture);
    }
}

using test::WindowTest;

TEST_F(WindowTest, ChangingTheUserLocaleTellsEveryTopLevelWindow) {
    const HWND top = Make("Spy", WS_POPUP, RECT{0, 0, 50, 50});
    EXPECT_FALSE(SetUserDefaultLCID(0x0999));
    EXPECT_TRUE(MessagesOf(top, {WM_SETTINGCHANGE}).empty());
    ASSERT_TRUE(SetUserDefaultLCID(0x0407));
    EXPECT_EQ(GetUserDefaultLCID(), LCID(0x0407));
    EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1), "Montag");
    EXPECT_EQ(MessagesOf(top, {WM_SETTINGCHANGE}).size(), 1u);
    ASSERT_TRUE(SetUserDefaultLCID(0x0409));
}

TEST_F(WindowTest, APopupWithTheChildStyleIsAnOwnedTopLevelWindow) {
    const HWND owner = Make("Spy", WS_POPUP | WS_VISIBLE, RECT{10, 10, 110, 110});
    const HWND popup = Make("Spy", WS_POPUP | WS_CHILD | WS_VISIBLE, RECT{200, 200, 260, 240}, owner);
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_FALSE(IsChild(owner, popup));
    const auto tops = TopLevelWindows();
    EXPECT_NE(std::find(tops.begin(), tops.end(), popup), tops.end());
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r, (RECT{200, 200, 260, 240}));
    // Hidden while active, it hands the activation back to its owner.
    ASSERT_EQ(GetActiveWindow(), popup);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST(WindowGeometryTest, WorkAreaAndFrameSizes) {
    RECT work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, (RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));

    struct Case {
        DWORD style, exStyle;
        BOOL menu;
        RECT grown;
    };
    const int frame = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYCAPTION) - 1;
    const Case cases[] = {
        {WS_POPUP, 0, FALSE, RECT{10, 10, 110, 60}},
        {WS_POPUP | WS_THICKFRAME, 0, FALSE, RECT{10 - frame, 10 - frame, 110 + frame, 60 + frame}},
        {WS_POPUP | WS_BORDER, 0, FALSE, RECT{9, 9, 111, 61}},
        {WS_CAPTION | WS_THICKFRAME, 0, TRUE,
         RECT{10 - frame, 10 - frame - caption - GetSystemMetrics(SM_CYMENU), 110 + frame, 60 + frame}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        RECT r{10, 10, 110, 60};
        ASSERT_TRUE(AdjustWindowRectEx(&r, c.style, c.menu, c.exStyle));
        EXPECT_EQ(r, c.grown);
    }
}

} // namespace
} // namespace vq
