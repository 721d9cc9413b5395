#include "platform/gui/Locale.h"

#include "platform/gui/NonClientMetrics.h"

#include <QLocale>
#include <array>
#include <cstring>
#include <mutex>
#include <optional>

namespace vq {

namespace {

struct LocaleName {
    LCID id;
    const char* name;
};

constexpr std::array<LocaleName, 6> knownLocales{{
    {0x0409, "en_US"},
    {0x0809, "en_GB"},
    {0x0407, "de_DE"},
    {0x040C, "fr_FR"},
    {0x0415, "pl_PL"},
    {0x0411, "ja_JP"},
}};

const char* NameOf(LCID id) {
    for (const auto& known : knownLocales)
        if (known.id == id) return known.name;
    return nullptr;
}

// The user's locale once set; until then Qt's default. Nothing of Qt is made before first use.
struct UserLocale {
    std::mutex mutex;
    std::optional<LCID> id;
};

UserLocale& User() {
    static UserLocale user;
    return user;
}

std::optional<QLocale> Resolve(LCID id) {
    if (id == LOCALE_USER_DEFAULT) {
        auto& user = User();
        std::lock_guard lock(user.mutex);
        if (!user.id) return QLocale();
        id = *user.id;
    }
    const char* name = NameOf(id);
    if (!name) return std::nullopt;
    return QLocale(QString::fromLatin1(name));
}

std::optional<QString> Item(const QLocale& locale, UINT type) {
    // Qt counts weekdays from Monday as 1, as the items do.
    if (type >= LOCALE_SDAYNAME1 && type <= LOCALE_SDAYNAME7)
        return locale.standaloneDayName(int(type - LOCALE_SDAYNAME1) + 1, QLocale::LongFormat);
    if (type >= LOCALE_SABBREVDAYNAME1 && type <= LOCALE_SABBREVDAYNAME7)
        return locale.standaloneDayName(int(type - LOCALE_SABBREVDAYNAME1) + 1, QLocale::ShortFormat);
    if (type >= LOCALE_SMONTHNAME1 && type <= LOCALE_SMONTHNAME12)
        return locale.standaloneMonthName(int(type - LOCALE_SMONTHNAME1) + 1, QLocale::LongFormat);
    if (type >= LOCALE_SABBREVMONTHNAME1 && type <= LOCALE_SABBREVMONTHNAME12)
        return locale.standaloneMonthName(int(type - LOCALE_SABBREVMONTHNAME1) + 1, QLocale::ShortFormat);
    switch (type) {
    case LOCALE_S1159:
        return locale.amText();
    case LOCALE_S2359:
        return locale.pmText();
    case LOCALE_STIMEFORMAT:
        return QString::fromStdString(
            PictureFromQtFormat(locale.timeFormat(QLocale::LongFormat).toStdString()));
    case LOCALE_SSHORTDATE:
        return QString::fromStdString(
            PictureFromQtFormat(locale.dateFormat(QLocale::ShortFormat).toStdString()));
    case LOCALE_SLONGDATE:
        return QString::fromStdString(
            PictureFromQtFormat(locale.dateFormat(QLocale::LongFormat).toStdString()));
    default:
        return std::nullopt;
    }
}

// Letters the picture syntax reads as fields; anywhere else they must be quoted.
bool IsPictureLetter(char c) {
    return std::strchr("hHmstdMyg", c) != nullptr && c != '\0';
}

// Literal text in the picture syntax: field letters and double quotes inside single quotes, a
// single quote inside double quotes.
void AppendLiteral(std::string& out, std::string_view text) {
    bool open = false;
    for (char c : text) {
        const bool quoteInSingle = IsPictureLetter(c) || c == '"';
        if (quoteInSingle != open) {
            out += '\'';
            open = quoteInSingle;
        }
        if (c == '\'')
            out += "\"'\"";
        else
            out += c;
    }
    if (open) out += '\'';
}

bool HasDesignator(std::string_view format) {
    bool quoted = false;
    for (char c : format) {
        if (c == '\'') quoted = !quoted;
        if (!quoted && (c == 'A' || c == 'a')) return true;
    }
    return false;
}

void DropTrailingBlanks(std::string& out) {
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
}

} // namespace

LCID GetUserDefaultLCID() {
    auto& user = User();
    {
        std::lock_guard lock(user.mutex);
        if (user.id) return *user.id;
    }
    const QString name = QLocale().name();
    for (const auto& known : knownLocales)
        if (name == QLatin1String(known.name)) return known.id;
    return LOCALE_USER_DEFAULT;
}

BOOL SetUserDefaultLCID(LCID locale) {
    if (!NameOf(locale)) return FALSE;
    {
        auto& user = User();
        std::lock_guard lock(user.mutex);
        user.id = locale;
    }
    static const char area[] = "intl";
    BroadcastSettingChange(0, reinterpret_cast<LPARAM>(area));
    return TRUE;
}

int GetLocaleInfo(LCID locale, UINT type, char* out, int size) {
    if (size < 0 || (size > 0 && !out)) return 0;
    const std::optional<QLocale> resolved = Resolve(locale);
    if (!resolved) return 0;
    const std::optional<QString> item = Item(*resolved, type);
    if (!item) return 0;
    const QByteArray text = item->toUtf8();
    const int needed = int(text.size()) + 1;
    if (size == 0) return needed;
    if (size < needed) return 0;
    std::memcpy(out, text.constData(), std::size_t(text.size()));
    out[text.size()] = '\0';
    return needed;
}

std::string PictureFromQtFormat(std::string_view qt) {
    const bool twelveHour = HasDesignator(qt);
    std::string out;
    std::string literal;
    auto flush = [&] {
        AppendLiteral(out, literal);
        literal.clear();
    };
    for (std::size_t i = 0; i < qt.size();) {
        const char c = qt[i];
        std::size_t run = 1;
        while (i + run < qt.size() && qt[i + run] == c)
            ++run;
        if (c == '\'') {
            // '' is a quote character; otherwise the text up to the closing quote, where '' again
            // stands for a quote.
            if (run >= 2) {
                literal.append(run / 2, '\'');
                i += run / 2 * 2;
                continue;
            }
            std::size_t j = i + 1;
            while (j < qt.size()) {
                if (qt[j] == '\'') {
                    if (j + 1 < qt.size() && qt[j + 1] == '\'') {
                        literal += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                literal += qt[j++];
            }
            i = std::min(j + 1, qt.size());
            continue;
        }
        if (c == 't' || c == 'z') {
            flush();
            DropTrailingBlanks(out);
            i += run;
            continue;
        }
        if ((c == 'A' && i + 1 < qt.size() && qt[i + 1] == 'P') ||
            (c == 'a' && i + 1 < qt.size() && qt[i + 1] == 'p')) {
            flush();
            out += "tt";
            i += 2;
            continue;
        }
        if (c == 'A' || c == 'a') {
            flush();
            out += "tt";
            i += 1;
            continue;
        }
        if (std::strchr("hHmsdMy", c)) {
            flush();
            out.append(run, c == 'h' && !twelveHour ? 'H' : c);
            i += run;
            continue;
        }
        literal += c;
        ++i;
    }
    flush();
    return out;
}

} // namespace vq
