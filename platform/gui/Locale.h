#pragma once

#include "platform/gui/Messages.h"

#include <string>
#include <string_view>

namespace vq {

using LCID = DWORD;

// The user's locale, whichever it is at the time of the call.
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

// What GetLocaleInfo can answer. Day names run from Monday (1) to Sunday (7).
enum : UINT {
    LOCALE_S1159 = 0x0028,
    LOCALE_S2359 = 0x0029,
    LOCALE_SDAYNAME1 = 0x002A,
    LOCALE_SDAYNAME7 = 0x0030,
    LOCALE_SABBREVDAYNAME1 = 0x0031,
    LOCALE_SABBREVDAYNAME7 = 0x0037,
    LOCALE_SMONTHNAME1 = 0x0038,
    LOCALE_SMONTHNAME12 = 0x0043,
    LOCALE_SABBREVMONTHNAME1 = 0x0044,
    LOCALE_SABBREVMONTHNAME12 = 0x004F,
    LOCALE_SSHORTDATE = 0x001F,
    LOCALE_SLONGDATE = 0x0020,
    LOCALE_STIMEFORMAT = 0x1003,
};

// The id of the user's locale: an id of the table when the locale is one of them, else
// LOCALE_USER_DEFAULT.
LCID GetUserDefaultLCID();

// Makes the locale of a table id the user's and tells every top-level window by WM_SETTINGCHANGE
// (lParam "intl"). FALSE, with nothing changed, for an id the table does not hold.
BOOL SetUserDefaultLCID(LCID locale);

// Copies one item of the locale, UTF-8 and NUL-terminated, into `out` and answers the characters
// written with the NUL; with size 0 only answers the size needed. 0 for an unknown locale or item,
// or a buffer too small (nothing is written then).
int GetLocaleInfo(LCID locale, UINT type, char* out, int size);

// Qt's date and time format syntax turned into the picture syntax of the date/time control.
std::string PictureFromQtFormat(std::string_view qtFormat);

} // namespace vq
