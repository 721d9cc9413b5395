#include "toolkit/controls/TkDateTimeCtrl.h"

#include "platform/gui/ControlTypes.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Locale.h"
#include "platform/gui/SystemColours.h"
#include "platform/time/Clock.h"
#include "platform/time/SystemTime.h"
#include "toolkit/controls/TkCalendarLocale.h"
#include "toolkit/controls/TkDTGadget.h"
#include "toolkit/controls/TkImages.h"
#include "toolkit/controls/TkPopupCalendar.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>
#include <array>

namespace vq {

namespace {

// The process-wide default bounds, also the span in which a value can be broken into fields.
const OleDateTime& DefaultMinimum() {
    static const OleDateTime value(100, 1, 1, 0, 0, 0);
    return value;
}

const OleDateTime& DefaultMaximum() {
    static const OleDateTime value(9999, 12, 31, 0, 0, 0);
    return value;
}

bool WithinDefaults(const OleDateTime& value) {
    return value.GetStatus() == OleDateTime::valid && DefaultMinimum() <= value && value <= DefaultMaximum();
}

// The control shows only February of year 100 to November of year 9999.
bool SettableDate(const OleDateTime& value) {
    TkDateTimeFields f;
    if (!TkDateTimeCtrl::BreakDateTime(value, f)) return false;
    return (f.year > 100 || f.month >= 2) && (f.year < 9999 || f.month <= 11);
}

OleDateTime Compose(const TkDateTimeFields& f) {
    return OleDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
}

// The fields of a value from the second up, in the order the validation levels count them.
std::array<int*, 6> Ranked(TkDateTimeFields& f) {
    return {&f.second, &f.minute, &f.hour, &f.day, &f.month, &f.year};
}

std::uint16_t ChangedFields(const TkDateTimeFields& a, const TkDateTimeFields& b) {
    std::uint16_t changed = 0;
    if (a.hour != b.hour) changed |= TkDateTimeCtrl::fieldHour;
    if (a.minute != b.minute) changed |= TkDateTimeCtrl::fieldMinute;
    if (a.second != b.second) changed |= TkDateTimeCtrl::fieldSecond;
    if (a.weekday != b.weekday) changed |= TkDateTimeCtrl::fieldWeekday;
    if (a.day != b.day) changed |= TkDateTimeCtrl::fieldDay;
    if (a.month != b.month) changed |= TkDateTimeCtrl::fieldMonth;
    if (a.year != b.year) changed |= TkDateTimeCtrl::fieldYear;
    return changed;
}

} // namespace

TkDateTimeCtrl::TkDateTimeCtrl()
    : m_value(OleDateTime::GetCurrentTime()), m_minimum(DefaultMinimum()), m_maximum(DefaultMaximum()) {}

TkDateTimeCtrl::~TkDateTimeCtrl() {
    DestroyWindow();
    m_capture = nullptr;
    m_gadgets.clear();
}

bool TkDateTimeCtrl::BreakDateTime(const OleDateTime& value, TkDateTimeFields& fields) {
    if (!WithinDefaults(value)) return false;
    SystemTime st;
    if (!value.GetAsSystemTime(st)) return false;
    fields.year = st.year;
    fields.month = st.month;
    fields.day = st.day;
    fields.hour = st.hour;
    fields.minute = st.minute;
    fields.second = st.second;
    fields.weekday = st.dayOfWeek + 1;
    fields.yearDay = value.GetDayOfYear();
    return true;
}

BOOL TkDateTimeCtrl::SetDateTime(const OleDateTime& value) {
    if (!SettableDate(value)) return FALSE;
    if (!HasWindow() || IsPending()) {
        const bool wasPending = IsPending();
        m_pending.active = FALSE;
        m_value = value;
        if (wasPending && HasWindow()) RefreshGadgets(fieldAll);
    } else {
        ApplyDateTime(value);
    }
    return TRUE;
}

BOOL TkDateTimeCtrl::SetDate(const OleDateTime& value) {
    if (!SettableDate(value)) return FALSE;
    if (IsPending()) {
        TkDateTimeFields f;
        BreakDateTime(value, f);
        SetPendingField(fieldWeekday, f.weekday);
        SetPendingField(fieldDay, f.day);
        SetPendingField(fieldMonth, f.month);
        SetPendingField(fieldYear, f.year);
        CompletePendingEntry(false);
        if (HasWindow()) RefreshGadgets(fieldAll);
        return TRUE;
    }
    OleDateTime composed;
    if (!ComposeWithCurrent(value, false, composed)) return FALSE;
    StoreOrApply(composed);
    return TRUE;
}

BOOL TkDateTimeCtrl::SetTime(const OleDateTime& value) {
    TkDateTimeFields f;
    if (!BreakDateTime(value, f)) return FALSE;
    if (IsPending()) {
        SetPendingField(fieldHour, f.hour);
        SetPendingField(fieldMinute, f.minute);
        SetPendingField(fieldSecond, f.second);
        CompletePendingEntry(false);
        if (HasWindow()) RefreshGadgets(fieldAll);
        return TRUE;
    }
    OleDateTime composed;
    if (!ComposeWithCurrent(value, true, composed)) return FALSE;
    StoreOrApply(composed);
    return TRUE;
}

bool TkDateTimeCtrl::ComposeWithCurrent(const OleDateTime& value, bool keepDate,
                                        OleDateTime& composed) const {
    TkDateTimeFields given, current;
    if (!BreakDateTime(value, given) || !BreakDateTime(m_value, current)) return false;
    TkDateTimeFields& date = keepDate ? current : given;
    TkDateTimeFields& time = keepDate ? given : current;
    composed = OleDateTime(date.year, date.month, date.day, time.hour, time.minute, time.second);
    return composed.GetStatus() == OleDateTime::valid;
}

void TkDateTimeCtrl::StoreOrApply(const OleDateTime& value) {
    if (HasWindow())
        ApplyDateTime(value);
    else
        m_value = value;
}

void TkDateTimeCtrl::ApplyDateTime(const OleDateTime& value) {
    TkDateTimeFields before, after;
    if (!BreakDateTime(value, after) || !BreakDateTime(m_value, before)) return;
    m_value = value;
    if (const std::uint16_t changed = ChangedFields(before, after)) RefreshGadgets(changed);
}

BOOL TkDateTimeCtrl::SetDateTimeRange(const OleDateTime& minimum, const OleDateTime& maximum,
                                      std::int32_t kind) {
    // A kind the control does not know would make every later value fail, so it is refused here.
    if (kind < rangeNone || kind > rangeDateTime) return FALSE;
    if (!WithinDefaults(minimum) || !WithinDefaults(maximum) || maximum < minimum) return FALSE;
    const OleDateTime oldMinimum = m_minimum, oldMaximum = m_maximum;
    const std::int32_t oldKind = m_rangeKind;
    OleDateTime newMinimum = minimum, newMaximum = maximum;
    if (kind == rangeTime || kind == rangeDate) {
        m_rangeKind = kind;
        const bool projected = Project(minimum, newMinimum) && Project(maximum, newMaximum);
        m_rangeKind = oldKind;
        if (!projected) return FALSE;
    }
    m_minimum = newMinimum;
    m_maximum = newMaximum;
    m_rangeKind = kind;
    if (IsPending()) return TRUE;

    // A FALSE leaves the previous range in force, so the stored value never sits outside it.
    OleDateTime copy = m_value;
    if (!ValidateDateTime(copy, -1)) {
        m_minimum = oldMinimum;
        m_maximum = oldMaximum;
        m_rangeKind = oldKind;
        return FALSE;
    }
    // The copy may have moved onto a bound; without a window it is stored all the same.
    StoreOrApply(copy);
    return TRUE;
}

std::int32_t TkDateTimeCtrl::GetDateTimeRange(OleDateTime& minimum, OleDateTime& maximum) const {
    minimum = m_minimum;
    maximum = m_maximum;
    return m_rangeKind;
}

bool TkDateTimeCtrl::Project(const OleDateTime& value, OleDateTime& projected) const {
    TkDateTimeFields f;
    if (!BreakDateTime(value, f)) return false;
    switch (m_rangeKind) {
    case rangeTime:
        projected = OleDateTime(1899, 12, 30, f.hour, f.minute, f.second);
        break;
    case rangeDate:
        projected = OleDateTime(f.year, f.month, f.day, 0, 0, 0);
        break;
    case rangeDateTime:
        projected = value;
        break;
    default:
        return false;
    }
    return projected.GetStatus() == OleDateTime::valid;
}

BOOL TkDateTimeCtrl::IsInRange(const OleDateTime& value) const {
    TkDateTimeFields f;
    if (!BreakDateTime(value, f)) return FALSE;
    if (m_rangeKind == rangeNone) return TRUE;
    OleDateTime projected;
    if (!Project(value, projected)) return FALSE;
    return m_minimum <= projected && projected <= m_maximum;
}

BOOL TkDateTimeCtrl::ValidateDateTime(OleDateTime& value, int level) const {
    if (!SettableDate(value)) return FALSE;
    if (m_rangeKind == rangeNone) return TRUE;
    OleDateTime projected;
    if (!Project(value, projected)) return FALSE;
    if (m_minimum <= projected && projected <= m_maximum) return TRUE;
    const OleDateTime& bound = projected < m_minimum ? m_minimum : m_maximum;
    if (level == 0) return FALSE;

    TkDateTimeFields own, limit;
    if (!BreakDateTime(value, own) || !BreakDateTime(bound, limit)) return FALSE;
    const auto ownRanked = Ranked(own);
    const auto limitRanked = Ranked(limit);
    const bool ranked = level >= 1 && level <= 5;
    if (ranked)
        for (int rank = level; rank < 6; ++rank)
            if (*ownRanked[rank] != *limitRanked[rank]) return FALSE;
    const int copied = level == -1 ? 6 : ranked ? level : 0;
    for (int rank = 0; rank < copied; ++rank)
        *ownRanked[rank] = *limitRanked[rank];
    value = Compose(own);
    return IsInRange(value);
}

BOOL TkDateTimeCtrl::OnChanging(const OleDateTime&) {
    return TRUE;
}

void TkDateTimeCtrl::OnChanged() {
    NotifyParent(notifyChanged);
}

void TkDateTimeCtrl::SetNull(char placeholder) {
    m_placeholder = placeholder;
    m_value.SetStatus(OleDateTime::null);
    m_pending = {fieldAll, PresentFields(), TRUE, 0, 0, 0, 1899, 12, 1, 1};
    if (HasWindow()) RefreshGadgets(fieldAll);
}

int TkDateTimeCtrl::GetPendingField(Field field) const {
    if (m_pending.unentered & m_pending.present & field) return -1;
    switch (field) {
    case fieldHour:
        return m_pending.hour;
    case fieldMinute:
        return m_pending.minute;
    case fieldSecond:
        return m_pending.second;
    case fieldYear:
        return m_pending.year;
    case fieldMonth:
        return m_pending.month;
    case fieldDay:
        return m_pending.day;
    case fieldWeekday:
        return m_pending.weekday;
    default:
        return -1;
    }
}

void TkDateTimeCtrl::SetPendingField(Field field, int value) {
    switch (field) {
    case fieldHour:
        m_pending.hour = value;
        break;
    case fieldMinute:
        m_pending.minute = value;
        break;
    case fieldSecond:
        m_pending.second = value;
        break;
    case fieldYear:
        m_pending.year = value;
        break;
    case fieldMonth:
        m_pending.month = value;
        break;
    case fieldDay:
        m_pending.day = value;
        break;
    case fieldWeekday:
        m_pending.weekday = value;
        break;
    default:
        return;
    }
    m_pending.unentered &= std::uint16_t(~field);
}

void TkDateTimeCtrl::CompletePendingEntry(bool byUser) {
    if (!IsPending()) return;
    if (m_pending.unentered & m_pending.present & (fieldAll & ~fieldWeekday)) return;
    const OleDateTime built(m_pending.year, m_pending.month, m_pending.day, m_pending.hour, m_pending.minute,
                            m_pending.second);
    if (built.GetStatus() != OleDateTime::valid || !IsInRange(built)) {
        m_value.SetStatus(OleDateTime::invalid);
        return;
    }
    if (byUser && !OnChanging(built)) return;
    m_value = built;
    m_pending.active = FALSE;
    if (byUser) {
        OnChanged();
        if (HasWindow()) RefreshGadgets(fieldAll);
    }
}

void TkDateTimeCtrl::SetModified(BOOL modified) {
    SetModified(modified, modified);
}

void TkDateTimeCtrl::SetModified(BOOL date, BOOL time) {
    m_modified = (m_modified & ~3u) | (date ? 1u : 0u) | (time ? 2u : 0u);
}

void TkDateTimeCtrl::GetModified(BOOL& date, BOOL& time) const {
    date = (m_modified & 1) != 0;
    time = (m_modified & 2) != 0;
}

} // namespace vq

namespace vq {

namespace {

// At most this many characters of a locale item are read.
constexpr int maxLocaleItem = 256;

std::string ReadLocale(UINT type) {
    char buffer[maxLocaleItem * 4 + 1];
    const int n = GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, int(sizeof buffer));
    return n > 0 ? std::string(buffer, std::size_t(n - 1)) : std::string();
}

// The first character of UTF-8 text, whole.
std::string FirstCharacter(const std::string& text) {
    if (text.empty()) return text;
    std::size_t n = 1;
    while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return text.substr(0, n);
}

// The longest run each format letter reads; longer runs start a new field.
int LongestRun(char letter) {
    switch (letter) {
    case 'h':
    case 'H':
    case 'm':
    case 's':
    case 't':
    case 'g':
        return 2;
    case 'd':
    case 'M':
    case 'y':
        return 4;
    default:
        return 0;
    }
}

struct FieldOfId {
    std::int32_t ids;
    std::uint16_t field;
};
constexpr FieldOfId fieldsOfIds[] = {
    {TkDateTimeCtrl::idHour12 | TkDateTimeCtrl::idHour24 | TkDateTimeCtrl::idAmPm, TkDateTimeCtrl::fieldHour},
    {TkDateTimeCtrl::idMinute, TkDateTimeCtrl::fieldMinute},
    {TkDateTimeCtrl::idSecond, TkDateTimeCtrl::fieldSecond},
    {TkDateTimeCtrl::idDay, TkDateTimeCtrl::fieldDay},
    {TkDateTimeCtrl::idWeekday, TkDateTimeCtrl::fieldWeekday},
    {TkDateTimeCtrl::idMonth | TkDateTimeCtrl::idMonthName, TkDateTimeCtrl::fieldMonth},
    {TkDateTimeCtrl::idYear2 | TkDateTimeCtrl::idYear4, TkDateTimeCtrl::fieldYear},
};

std::uint16_t FieldOf(std::int32_t id) {
    if (id <= 0) return 0;
    for (const auto& f : fieldsOfIds)
        if (f.ids & id) return f.field;
    return 0;
}

int UtcYear() {
    SystemTime st;
    if (!FileTimeToSystemTime(CurrentClock().FileTimeNow(), st)) return 2000;
    return st.year;
}

bool DateExists(int year, int month, int day) {
    return OleDateTime(year, month, day, 0, 0, 0).GetStatus() == OleDateTime::valid;
}

// Today by the local clock, or zeros when the clock cannot be read.
TkDateTimeFields Today() {
    TkDateTimeFields f;
    TkDateTimeCtrl::BreakDateTime(OleDateTime::GetCurrentTime(), f);
    return f;
}

// Which rule a gadget's events follow.
enum Handler {
    handlerNone,
    handlerHour,
    handlerMinute,
    handlerSecond,
    handlerAmPm,
    handlerDay,
    handlerMonth,
    handlerYear,
    handlerButton,
    handlerSpin
};

Handler HandlerOf(std::int32_t id) {
    switch (id) {
    case TkDateTimeCtrl::idHour12:
    case TkDateTimeCtrl::idHour24:
        return handlerHour;
    case TkDateTimeCtrl::idMinute:
        return handlerMinute;
    case TkDateTimeCtrl::idSecond:
        return handlerSecond;
    case TkDateTimeCtrl::idAmPm:
        return handlerAmPm;
    case TkDateTimeCtrl::idDay:
    case TkDateTimeCtrl::idWeekday:
        return handlerDay;
    case TkDateTimeCtrl::idMonth:
    case TkDateTimeCtrl::idMonthName:
        return handlerMonth;
    case TkDateTimeCtrl::idYear2:
    case TkDateTimeCtrl::idYear4:
        return handlerYear;
    case TkDateTimeCtrl::idButton:
        return handlerButton;
    case TkDateTimeCtrl::idSpin:
        return handlerSpin;
    default:
        return handlerNone;
    }
}

// The validation level of each handler for ordinary events, and for first and last.
int LevelOf(int handler, int event) {
    const bool ends = event == TkDateTimeCtrl::eventFirst || event == TkDateTimeCtrl::eventLast;
    switch (handler) {
    case handlerSecond:
        return ends ? 1 : 0;
    case handlerMinute:
        return ends ? 2 : 1;
    case handlerHour:
        return ends ? 3 : 2;
    case handlerAmPm:
        return 2;
    case handlerDay:
        return ends ? 4 : 3;
    case handlerMonth:
        return ends ? 5 : 4;
    default:
        return 5;
    }
}

int CappedStep(int event, int value) {
    if (event == TkDateTimeCtrl::eventSpinUp || event == TkDateTimeCtrl::eventSpinDown)
        return std::min(value, 2);
    return 1;
}

bool IsUp(int event) {
    return event == TkDateTimeCtrl::eventUp || event == TkDateTimeCtrl::eventSpinUp;
}

bool IsDown(int event) {
    return event == TkDateTimeCtrl::eventDown || event == TkDateTimeCtrl::eventSpinDown;
}

} // namespace

// One field edit in progress: the fields read (-1 where the pending entry lacks one) and the event.
struct TkDateTimeCtrl::Edit {
    int event;
    std::int32_t id;
    std::int32_t value;
    bool pending;
    TkDateTimeFields f;
    std::uint16_t stored; // the pending-entry fields the edit writes
};

TkDTGadget* TkDateTimeCtrl::GetGadget(std::size_t index) const {
    return index < m_gadgets.size() ? m_gadgets[index].get() : nullptr;
}

std::unique_ptr<TkDTGadget> TkDateTimeCtrl::CreateGadget(GadgetClass kind) {
    switch (kind) {
    case GadgetClass::list:
        return std::make_unique<TkDTListGadget>();
    case GadgetClass::numeric:
        return std::make_unique<TkDTNumericGadget>();
    case GadgetClass::literal:
        return std::make_unique<TkDTStaticGadget>();
    case GadgetClass::button:
        return std::make_unique<TkDTButtonGadget>();
    case GadgetClass::spin:
        return std::make_unique<TkDTSpinGadget>();
    }
    return nullptr;
}

void TkDateTimeCtrl::CreateFixedGadgets() {
    m_gadgets.clear();
    m_capture = nullptr;
    const std::uint32_t style = GetControlStyle();
    if (style & styleDropDown) {
        auto button = CreateGadget(GadgetClass::button);
        if (auto* b = dynamic_cast<TkDTButtonGadget*>(button.get());
            b && b->Initialize(this, 23000, idButton)) {
            b->SetFlags(b->GetFlags() | TkDTGadget::fixed);
            m_gadgets.push_back(std::move(button));
        }
    }
    if (style & styleSpin) {
        auto spin = CreateGadget(GadgetClass::spin);
        if (auto* sp = dynamic_cast<TkDTSpinGadget*>(spin.get()); sp && sp->Initialize(this, idSpin)) {
            sp->SetFlags(sp->GetFlags() | TkDTGadget::fixed);
            m_gadgets.push_back(std::move(spin));
        }
    }
    m_fixedCount = m_gadgets.size();
    m_current = m_fixedCount;
}

void TkDateTimeCtrl::DeleteFormatGadgets() {
    if (m_capture && !(m_capture->GetFlags() & TkDTGadget::fixed)) m_capture = nullptr;
    m_gadgets.resize(std::min(m_gadgets.size(), m_fixedCount));
}

void TkDateTimeCtrl::SetFormat(std::int32_t kind) {
    m_format.clear();
    m_formatKind = kind;
    RebuildGadgets();
}

void TkDateTimeCtrl::SetFormat(std::string format) {
    m_format = std::move(format);
    m_formatKind = formatCustom;
    RebuildGadgets();
}

void TkDateTimeCtrl::RebuildGadgets() {
    if (!HasWindow()) return;
    const std::size_t remembered = m_current;
    if (TkDTGadget* current = GetCurrentGadget()) current->EndEditing();
    ResetState();
    DeleteFormatGadgets();
    ParseDateTimeFormat();
    LayoutGadgets();
    const auto settles = [](const TkDTGadget& g) {
        const std::uint32_t flags = g.GetFlags();
        return (flags & (TkDTGadget::takesFocus | TkDTGadget::takesClicks)) && !(flags & TkDTGadget::fixed);
    };
    m_current = 0;
    if (remembered < m_gadgets.size() && settles(*m_gadgets[remembered])) {
        m_current = remembered;
    } else {
        for (std::size_t i = 0; i < m_gadgets.size(); ++i)
            if (settles(*m_gadgets[i])) {
                m_current = i;
                break;
            }
    }
    // The new gadgets start without the focus mark, which the current one keeps while focused.
    if (m_hWnd && GetFocus() == m_hWnd)
        if (TkDTGadget* current = GetCurrentGadget()) current->SetFocus(TRUE);
    if (m_hWnd) Invalidate();
}

std::string TkDateTimeCtrl::GetFormat() const {
    switch (m_formatKind) {
    case formatCustom:
        return m_format;
    case formatTime:
        return ReadLocale(LOCALE_STIMEFORMAT);
    case formatLongDate:
        return ReadLocale(LOCALE_SLONGDATE);
    default:
        return ReadLocale(LOCALE_SSHORTDATE);
    }
}

void TkDateTimeCtrl::SetReadOnlyFields(std::uint32_t mask) {
    m_readOnly = mask;
    RebuildGadgets();
}

void TkDateTimeCtrl::SetFieldNavigation(BOOL autoAdvance) {
    m_autoAdvance = autoAdvance;
}

void TkDateTimeCtrl::SetFieldNavigation(BOOL autoAdvance, BOOL tabThroughFields) {
    m_autoAdvance = autoAdvance;
    m_tabThroughFields = tabThroughFields;
}

void TkDateTimeCtrl::ParseDateTimeFormat() {
    const std::string format = GetFormat();
    std::size_t literalStart = 0;
    const auto flushLiteral = [&](std::size_t end) {
        if (end <= literalStart) return;
        auto gadget = CreateGadget(GadgetClass::literal);
        if (auto* g = dynamic_cast<TkDTStaticGadget*>(gadget.get()))
            if (g->Initialize(this, format.substr(literalStart, end - literalStart), -1))
                m_gadgets.push_back(std::move(gadget));
    };
    // Format letters are ASCII and UTF-8 continuation bytes never are, so a byte walk keeps every
    // other character whole inside the literal runs.
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '\'' || c == '"') {
            flushLiteral(i);
            const std::size_t close = format.find(c, i + 1);
            literalStart = i + 1;
            if (close == std::string::npos) {
                flushLiteral(format.size());
                literalStart = format.size();
                break;
            }
            flushLiteral(close);
            i = literalStart = close + 1;
            continue;
        }
        const int longest = LongestRun(c);
        if (longest == 0) {
            ++i;
            continue;
        }
        flushLiteral(i);
        int run = 1;
        while (run < longest && i + std::size_t(run) < format.size() && format[i + std::size_t(run)] == c)
            ++run;
        AppendFieldGadget(c, run);
        i += std::size_t(run);
        literalStart = i;
    }
    flushLiteral(format.size());

    if (IsPending()) m_pending.present = PresentFields();
    RefreshGadgets(fieldAll);
}

void TkDateTimeCtrl::AppendFieldGadget(char letter, int repeats) {
    struct Numeric {
        int smallest, largest;
        std::int32_t id;
        std::uint32_t readOnly;
    };
    std::unique_ptr<TkDTGadget> gadget;
    std::uint32_t readOnly = 0;
    const auto numeric = [&](Numeric n, bool zeros) {
        gadget = CreateGadget(GadgetClass::numeric);
        readOnly = n.readOnly;
        auto* g = dynamic_cast<TkDTNumericGadget*>(gadget.get());
        if (!g || !g->Initialize(this, n.smallest, n.largest, n.smallest, zeros ? TRUE : FALSE, n.id))
            gadget.reset();
    };
    const auto list = [&](std::vector<std::string> names, std::int32_t id, std::uint32_t bit) {
        gadget = CreateGadget(GadgetClass::list);
        readOnly = bit;
        auto* g = dynamic_cast<TkDTListGadget*>(gadget.get());
        if (!g || !g->Initialize(this, std::move(names), 0, id)) gadget.reset();
    };
    switch (letter) {
    case 'h':
        numeric({1, 12, idHour12, readOnlyHour}, repeats == 2);
        break;
    case 'H':
        numeric({0, 23, idHour24, readOnlyHour}, repeats == 2);
        break;
    case 'm':
        numeric({0, 59, idMinute, readOnlyMinute}, repeats == 2);
        break;
    case 's':
        numeric({0, 59, idSecond, readOnlySecond}, repeats == 2);
        break;
    case 't': {
        std::string am = ReadLocale(LOCALE_S1159), pm = ReadLocale(LOCALE_S2359);
        if (repeats == 1) {
            am = FirstCharacter(am);
            pm = FirstCharacter(pm);
        }
        list({am, pm}, idAmPm, readOnlyHour);
        break;
    }
    case 'd':
        if (repeats <= 2) {
            numeric({1, 31, idDay, readOnlyDay}, repeats == 2);
        } else {
            std::vector<std::string> names(7);
            for (int day = 1; day <= 7; ++day) {
                GetDayName(names[std::size_t(day - 1)], day, repeats == 4 ? TRUE : FALSE);
                OnDayName(names[std::size_t(day - 1)]);
            }
            list(std::move(names), idWeekday, readOnlyDay);
        }
        break;
    case 'M':
        if (repeats <= 2) {
            numeric({1, 12, idMonth, readOnlyMonth}, repeats == 2);
        } else {
            std::vector<std::string> names(12);
            for (int month = 1; month <= 12; ++month) {
                GetMonthName(names[std::size_t(month - 1)], month, repeats == 4 ? TRUE : FALSE);
                OnMonthName(names[std::size_t(month - 1)]);
            }
            list(std::move(names), idMonthName, readOnlyMonth);
        }
        break;
    case 'y':
        if (repeats <= 2)
            numeric({0, 99, idYear2, readOnlyYear}, repeats == 2);
        else
            numeric({0, 9999, idYear4, readOnlyYear}, false);
        break;
    default: // the era is read and shown nowhere
        return;
    }
    if (!gadget) return;
    if (m_readOnly & readOnly) gadget->SetFlags(gadget->GetFlags() & ~std::uint32_t(TkDTGadget::takesFocus));
    m_gadgets.push_back(std::move(gadget));
}

std::uint16_t TkDateTimeCtrl::PresentFields() const {
    std::uint16_t present = 0;
    for (const auto& g : m_gadgets)
        present |= FieldOf(g->GetId());
    return present;
}

void TkDateTimeCtrl::RefreshGadgets(std::uint16_t fields) {
    TkDateTimeFields f;
    if (IsPending()) {
        f.hour = GetPendingField(fieldHour);
        f.minute = GetPendingField(fieldMinute);
        f.second = GetPendingField(fieldSecond);
        f.day = GetPendingField(fieldDay);
        f.weekday = GetPendingField(fieldWeekday);
        f.month = GetPendingField(fieldMonth);
        f.year = GetPendingField(fieldYear);
    } else if (!BreakDateTime(m_value, f)) {
        return;
    }
    for (const auto& g : m_gadgets) {
        const std::int32_t id = g->GetId();
        if (!(FieldOf(id) & fields)) continue;
        int shown = -1;
        switch (id) {
        case idHour12:
            if (f.hour >= 0) {
                m_pm = f.hour > 11;
                shown = f.hour == 0 ? 12 : f.hour > 12 ? f.hour - 12 : f.hour;
            }
            break;
        case idHour24:
            shown = f.hour;
            if (f.hour >= 0) m_pm = f.hour > 11;
            break;
        case idMinute:
            shown = f.minute;
            break;
        case idSecond:
            shown = f.second;
            break;
        case idAmPm:
            if (f.hour >= 0) shown = f.hour > 11 ? 1 : 0;
            break;
        case idDay:
            shown = f.day;
            break;
        case idWeekday:
            if (f.weekday >= 1) shown = f.weekday - 1;
            break;
        case idMonth:
            shown = f.month;
            break;
        case idMonthName:
            if (f.month >= 1) shown = f.month - 1;
            break;
        case idYear2:
            if (f.year >= 0) shown = f.year % 100;
            break;
        case idYear4:
            shown = f.year;
            break;
        default:
            continue;
        }
        if (shown < 0) {
            g->SetFlags(g->GetFlags() | TkDTGadget::unset);
        } else {
            g->SetFlags(g->GetFlags() & ~std::uint32_t(TkDTGadget::unset));
            g->SetValue(shown);
        }
        InvalidateGadget(*g, false);
    }
}

bool TkDateTimeCtrl::MoveToField(bool forward) {
    const std::size_t count = m_gadgets.size();
    std::size_t index = m_current;
    while (forward ? index + 1 < count : index > 0 && index <= count) {
        index = forward ? index + 1 : index - 1;
        TkDTGadget* candidate = m_gadgets[index].get();
        if (!(candidate->GetFlags() & TkDTGadget::takesFocus)) continue;
        if (TkDTGadget* old = GetCurrentGadget()) old->SetFocus(FALSE);
        candidate->SetFocus(TRUE);
        m_current = index;
        BringIntoView(*candidate);
        return true;
    }
    return false;
}

int TkDateTimeCtrl::GetCentury(int year, int twoDigitYear) const {
    const int reference = year != -1 && (GetControlStyle() & styleOwnYearWindow) ? year : UtcYear();
    return (reference - twoDigitYear + 50) / 100 * 100;
}

BOOL TkDateTimeCtrl::OnGadgetEvent(int event, std::int32_t gadgetId, std::int32_t value) {
    if (event == eventTyping) {
        if (value)
            m_modified |= 4;
        else
            m_modified &= ~4u;
        return TRUE;
    }
    if (event == eventFieldFull && m_autoAdvance) {
        MoveToField(true);
        return TRUE;
    }
    const Handler handler = HandlerOf(gadgetId);
    switch (handler) {
    case handlerNone:
        return FALSE;
    case handlerButton:
        return ShowCalendar(event, gadgetId, value);
    case handlerSpin: {
        TkDTGadget* current = GetCurrentGadget();
        if (!current) return FALSE;
        current->EndEditing();
        const std::int32_t id = current->GetId();
        if (id == idButton || id == idSpin) return FALSE;
        const Handler target = HandlerOf(id);
        if (target == handlerNone || target == handlerButton || target == handlerSpin) return FALSE;
        return EditField(target, event, id, value);
    }
    default:
        return EditField(handler, event, gadgetId, value);
    }
}

BOOL TkDateTimeCtrl::EditField(int handler, int event, std::int32_t gadgetId, std::int32_t value) {
    Edit edit{event, gadgetId, value, IsPending(), {}, 0};
    if (edit.pending) {
        edit.f.hour = GetPendingField(fieldHour);
        edit.f.minute = GetPendingField(fieldMinute);
        edit.f.second = GetPendingField(fieldSecond);
        edit.f.day = GetPendingField(fieldDay);
        edit.f.weekday = GetPendingField(fieldWeekday);
        edit.f.month = GetPendingField(fieldMonth);
        edit.f.year = GetPendingField(fieldYear);
    } else if (!BreakDateTime(m_value, edit.f)) {
        return FALSE;
    }

    Outcome outcome = Outcome::refused;
    std::uint32_t modifiedBit = 2;
    switch (handler) {
    case handlerHour:
    case handlerMinute:
    case handlerSecond:
        outcome = EditHour(edit);
        break;
    case handlerAmPm:
        outcome = EditAmPm(edit);
        break;
    case handlerDay:
        outcome = EditDay(edit);
        modifiedBit = 1;
        break;
    case handlerMonth:
        outcome = EditMonth(edit);
        modifiedBit = 1;
        break;
    case handlerYear:
        outcome = EditYear(edit);
        modifiedBit = 1;
        break;
    default:
        break;
    }
    if (outcome == Outcome::refused) return FALSE;
    if (outcome == Outcome::done) return TRUE;

    if (edit.pending) {
        // Asking is not setting: the entry stays as it is until the value is set.
        if (event == eventMaySet) return TRUE;
        const std::pair<Field, int> stores[] = {
            {fieldHour, edit.f.hour}, {fieldMinute, edit.f.minute},   {fieldSecond, edit.f.second},
            {fieldDay, edit.f.day},   {fieldWeekday, edit.f.weekday}, {fieldMonth, edit.f.month},
            {fieldYear, edit.f.year},
        };
        for (const auto& [field, fieldValue] : stores)
            if (edit.stored & field) SetPendingField(field, fieldValue);
        RefreshGadgets(edit.stored);
        m_modified |= modifiedBit;
        CompletePendingEntry(true);
        const bool dateEdit = handler == handlerDay || handler == handlerMonth || handler == handlerYear;
        if (dateEdit && !IsPending()) {
            // The completed value takes the same edit once more, now under the value's own rules.
            Edit again{event, gadgetId, value, false, {}, 0};
            if (BreakDateTime(m_value, again.f)) {
                const Outcome second = handler == handlerDay     ? EditDay(again)
                                       : handler == handlerMonth ? EditMonth(again)
                                                                 : EditYear(again);
                if (second == Outcome::proceed) {
                    OleDateTime built(again.f.year, again.f.month, again.f.day, again.f.hour, again.f.minute,
                                      again.f.second);
                    if (built.GetStatus() == OleDateTime::valid &&
                        ValidateDateTime(built, LevelOf(handler, event)) && OnChanging(built)) {
                        ApplyDateTime(built);
                        OnChanged();
                    }
                }
            }
        }
        UpdateNow();
        return TRUE;
    }

    OleDateTime built(edit.f.year, edit.f.month, edit.f.day, edit.f.hour, edit.f.minute, edit.f.second);
    if (built.GetStatus() != OleDateTime::valid) return FALSE;
    if (!ValidateDateTime(built, LevelOf(handler, event))) return FALSE;
    if (event == eventMaySet) return TRUE;
    if (!OnChanging(built)) return FALSE;
    ApplyDateTime(built);
    m_modified |= modifiedBit;
    OnChanged();
    UpdateNow();
    return TRUE;
}

TkDateTimeCtrl::Outcome TkDateTimeCtrl::EditHour(Edit& edit) const {
    const std::int32_t id = edit.id;
    const int maximum = id == idMinute || id == idSecond ? 59 : 23;
    int& field = id == idMinute ? edit.f.minute : id == idSecond ? edit.f.second : edit.f.hour;
    edit.stored = id == idMinute ? fieldMinute : id == idSecond ? fieldSecond : fieldHour;
    const auto now = [&] {
        const TkDateTimeFields t = Today();
        return id == idMinute ? t.minute : id == idSecond ? t.second : t.hour;
    };
    const int event = edit.event;
    if (IsUp(event) || IsDown(event)) {
        if (field < 0) {
            field = now();
        } else {
            const int step = CappedStep(event, edit.value);
            field += IsUp(event) ? step : -step;
            if (field > maximum) field = 0;
            if (field < 0) field = maximum;
        }
    } else if (event == eventMaySet || event == eventSet) {
        const int v = edit.value;
        if (id == idHour12) {
            if (v < 1 || v > 12) return Outcome::refused;
            field = m_pm ? (v == 12 ? 12 : v + 12) : (v == 12 ? 0 : v);
        } else {
            if (v < 0 || v > maximum) return Outcome::refused;
            field = v;
        }
    } else if (event == eventFirst) {
        field = 0;
    } else if (event == eventLast) {
        field = maximum;
    }
    return Outcome::proceed;
}

TkDateTimeCtrl::Outcome TkDateTimeCtrl::EditAmPm(Edit& edit) const {
    int& hour = edit.f.hour;
    edit.stored = fieldHour;
    const int event = edit.event;
    if (IsUp(event) || IsDown(event)) {
        hour = hour < 0 ? 0 : hour < 12 ? hour + 12 : hour - 12;
    } else if (event == eventFirst) {
        if (hour >= 0 && hour < 12) return Outcome::done;
        hour = hour < 0 ? 0 : hour - 12;
    } else if (event == eventLast) {
        if (hour > 11) return Outcome::done;
        hour = hour < 0 ? 23 : hour + 12;
    } else if (event == eventMaySet || event == eventSet) {
        if (edit.value == 1)
            hour = hour < 0 ? 12 : hour < 12 ? hour + 12 : hour;
        else if (edit.value == 0)
            hour = hour < 0 ? 0 : hour > 11 ? hour - 12 : hour;
    }
    return Outcome::proceed;
}

TkDateTimeCtrl::Outcome TkDateTimeCtrl::EditDay(Edit& edit) const {
    const int event = edit.event;
    const bool weekday = edit.id == idWeekday;
    TkDateTimeFields& f = edit.f;
    if (edit.pending) {
        int& field = weekday ? f.weekday : f.day;
        const int top = weekday ? 7 : 31;
        edit.stored = weekday ? fieldWeekday : fieldDay;
        if (IsUp(event) || IsDown(event)) {
            if (field < 0) {
                const TkDateTimeFields t = Today();
                field = weekday ? t.weekday : t.day;
            } else {
                const int step = CappedStep(event, edit.value);
                field += IsUp(event) ? step : -step;
                if (field > top) field -= top;
                if (field < 1) field += top;
            }
        } else if (event == eventMaySet || event == eventSet) {
            if (weekday) {
                if (edit.value < 0 || edit.value > 6) return Outcome::refused;
                field = edit.value + 1;
            } else {
                if (edit.value < 1 || edit.value > 31) return Outcome::refused;
                field = edit.value;
            }
        } else if (event == eventFirst) {
            field = 1;
        } else if (event == eventLast) {
            field = top;
        }
        return Outcome::proceed;
    }

    int moveDays = 0;
    if (IsUp(event)) {
        f.day += CappedStep(event, edit.value);
        if (!DateExists(f.year, f.month, f.day)) f.day = 1;
    } else if (IsDown(event)) {
        f.day -= CappedStep(event, edit.value);
        if (f.day <= 0) f.day = 31;
    } else if (event == eventMaySet || event == eventSet) {
        if (weekday) {
            if (edit.value < 0 || edit.value > 6) return Outcome::refused;
            moveDays = edit.value + 1 - f.weekday;
        } else {
            if (!DateExists(f.year, f.month, edit.value)) return Outcome::refused;
            f.day = edit.value;
        }
    } else if (event == eventFirst) {
        if (weekday)
            moveDays = 1 - f.weekday;
        else
            f.day = 1;
    } else if (event == eventLast) {
        if (weekday)
            moveDays = 7 - f.weekday;
        else
            f.day = 31;
    }
    if (moveDays != 0) {
        const OleDateTime date(f.year, f.month, f.day, 0, 0, 0);
        TkDateTimeFields moved;
        if (!BreakDateTime(OleDateTime(date.Value() + moveDays), moved)) return Outcome::refused;
        f.year = moved.year;
        f.month = moved.month;
        f.day = moved.day;
    }
    while (f.day > 28 && !DateExists(f.year, f.month, f.day))
        --f.day;
    return DateExists(f.year, f.month, f.day) ? Outcome::proceed : Outcome::refused;
}

TkDateTimeCtrl::Outcome TkDateTimeCtrl::EditMonth(Edit& edit) const {
    const int event = edit.event;
    int& month = edit.f.month;
    edit.stored = fieldMonth;
    if (IsUp(event) || IsDown(event)) {
        if (month < 0) {
            month = Today().month;
        } else {
            month += IsUp(event) ? 1 : -1;
            if (month > 12) month = 1;
            if (month < 1) month = 12;
        }
    } else if (event == eventMaySet || event == eventSet) {
        const int chosen = edit.id == idMonthName ? edit.value + 1 : edit.value;
        if (chosen < 1 || chosen > 12) return Outcome::refused;
        month = chosen;
    } else if (event == eventFirst) {
        month = 1;
    } else if (event == eventLast) {
        month = 12;
    }
    if (edit.pending) return Outcome::proceed;
    TkDateTimeFields& f = edit.f;
    while (f.day > 28 && !DateExists(f.year, f.month, f.day))
        --f.day;
    return DateExists(f.year, f.month, f.day) ? Outcome::proceed : Outcome::refused;
}

TkDateTimeCtrl::Outcome TkDateTimeCtrl::EditYear(Edit& edit) const {
    const int event = edit.event;
    int& year = edit.f.year;
    edit.stored = fieldYear;
    if (IsUp(event) || IsDown(event)) {
        if (year < 0) {
            year = Today().year;
        } else {
            const int step = event == eventSpinUp || event == eventSpinDown ? edit.value : 1;
            year = IsUp(event) ? std::min(year + step, 9999) : std::max(year - step, 100);
        }
    } else if (event == eventMaySet || event == eventSet) {
        if (edit.id == idYear4) {
            year = edit.value;
        } else if (GetControlStyle() & styleKeepCentury) {
            const int reference = year < 0 ? UtcYear() : year;
            year = reference / 100 * 100 + edit.value;
        } else {
            year = GetCentury(year, edit.value) + edit.value;
        }
    } else if (event == eventFirst) {
        TkDateTimeFields low;
        if (!BreakDateTime(m_minimum, low)) return Outcome::refused;
        year = low.year;
    } else if (event == eventLast) {
        year = Today().year;
    }
    if (edit.pending) {
        TkDateTimeFields low, high;
        if (!BreakDateTime(m_minimum, low) || !BreakDateTime(m_maximum, high)) return Outcome::refused;
        return year > high.year || year < low.year ? Outcome::refused : Outcome::proceed;
    }
    TkDateTimeFields& f = edit.f;
    if (f.month == 2 && f.day == 29 && !DateExists(year, 2, 29)) f.day = 28;
    return DateExists(f.year, f.month, f.day) ? Outcome::proceed : Outcome::refused;
}

} // namespace vq

namespace vq {

namespace {

constexpr DWORD noParentNotify = 0x00000004; // WS_EX_NOPARENTNOTIFY
constexpr UINT keyF4 = VK_F1 + 3;
// The calendar drops below the control, left-aligned, and cancels whenever it loses the activation.
constexpr DWORD popupStyle = WS_POPUP | WS_VISIBLE | WS_THICKFRAME | TkPopupCalendar::belowOwner;
constexpr DWORD popupOptions = TkCalendar::optPickOtherMonth | TkCalendar::optDragSelect;
constexpr DWORD popupOtherMonthStyle = 0x102;
constexpr int closeOnDeactivation = 2;
// WM_GETTEXTLENGTH measures the text as a 1024-character buffer would take it.
constexpr std::size_t textLengthBuffer = 1024;
constexpr std::int32_t oldBorder = 2;

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::size_t CutLength(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text.size();
    std::size_t n = bytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

std::string Utf8Of(UINT c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool TakesFocusOrClicks(const TkDTGadget& g) {
    return (g.GetFlags() & (TkDTGadget::takesFocus | TkDTGadget::takesClicks)) != 0;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkDateTimeCtrl, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkDateTimeCtrl, CWnd)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
// The class asks for double clicks; the second press of one must still step or open like the first.
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
VQ_ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
VQ_ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
VQ_ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
VQ_ON_MESSAGE(WM_SYSKEYDOWN, OnSysKeyDown)
VQ_ON_MESSAGE(WM_CHAR, OnChar)
VQ_ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
VQ_ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
VQ_ON_MESSAGE(WM_GETTEXT, OnGetText)
VQ_ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_ENABLE, OnEnable)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
VQ_ON_MESSAGE(WM_SETFONT, OnSetFont)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
VQ_ON_MESSAGE(WM_NCPAINT, OnNcPaint)
VQ_ON_MESSAGE(TkCalendar::WM_CAL_CHOSEN, OnCalendarChosen)
VQ_ON_MESSAGE(TkCalendar::WM_CAL_CANCELLED, OnCalendarCancelled)
VQ_END_MESSAGE_MAP()

BOOL TkDateTimeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, void* creationData) {
    return CreateEx(0, style, rect, parent, id, creationData);
}

BOOL TkDateTimeCtrl::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id, void*) {
    ResetState();
    m_gadgets.clear();
    m_fixedCount = 0;
    tkSysMetrics.UpdateSysColors();

    static constexpr const char* className = "TkDateTimeCtrl";
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::WindowProcedure;
    wc.hCursor = tkSysMetrics.m_hArrowCursor;
    wc.lpszClassName = className;
    RegisterClass(wc); // fails harmlessly once the class exists
    if (!CWnd::CreateEx(exStyle, className, "", style | WS_CHILD, rect, parent, id)) return FALSE;

    m_font = parent && parent->m_hWnd ? reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)) : nullptr;
    if (!m_font) m_font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    CreateFixedGadgets();
    // A format that starts with a literal must still leave keys and digits a field to go to.
    RebuildGadgets();
    return TRUE;
}

BOOL TkDateTimeCtrl::ReplaceDlgItem(UINT id, CWnd* parent, DWORD style, DWORD moreStyle, DWORD exStyle) {
    if (!parent || !parent->m_hWnd) return FALSE;
    if (!CreateEx(exStyle, style | moreStyle, RECT{}, parent, id)) return FALSE;
    // The new control has the same id, so the placeholder is the first child that is not it.
    HWND placeholder = 0;
    for (HWND child = GetWindow(parent->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (child != m_hWnd && ::vq::GetDlgCtrlID(child) == int(id)) {
            placeholder = child;
            break;
        }
    if (!placeholder) {
        DestroyWindow();
        return FALSE;
    }
    const DWORD helpId = GetWindowContextHelpId(placeholder);
    RECT r;
    GetWindowRect(placeholder, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    MapWindowPoints(0, parent->m_hWnd, corners, 2);
    SetWindowPos(m_hWnd, placeholder, corners[0].x, corners[0].y, corners[1].x - corners[0].x,
                 corners[1].y - corners[0].y, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW);
    SetWindowContextHelpId(m_hWnd, helpId);
    ::vq::DestroyWindow(placeholder);
    return TRUE;
}

std::uint32_t TkDateTimeCtrl::GetControlStyle() const {
    return m_hWnd ? GetStyle() & 0xFFFF : 0;
}

void TkDateTimeCtrl::UpdateNow() {
    if (m_hWnd) UpdateWindow(m_hWnd);
}

void TkDateTimeCtrl::NotifyParent(UINT code) const {
    if (!m_hWnd || (GetWindowLongPtr(m_hWnd, GWL_EXSTYLE) & noParentNotify)) return;
    const HWND parent = ::vq::GetParent(m_hWnd);
    if (!parent) return;
    const UINT id = UINT(::vq::GetDlgCtrlID(m_hWnd)) & 0xFFFF;
    ::vq::SendMessage(parent, WM_COMMAND, WPARAM(id | code << 16), LPARAM(m_hWnd));
}

void TkDateTimeCtrl::ResetState() {
    if (m_capture) {
        TkDTGadget* holder = m_capture;
        m_capture = nullptr;
        holder->EndEditing();
        if (m_hWnd && GetCapture() == m_hWnd) ReleaseCapture();
    }
    m_popup.reset();
    m_current = 0;
    m_scroll = 0;
}

void TkDateTimeCtrl::InvalidateGadget(const TkDTGadget& gadget, bool updateNow) {
    if (!m_hWnd) return;
    RECT r = gadget.GetRect();
    if (!(gadget.GetFlags() & TkDTGadget::fixed)) {
        r.left -= m_scroll;
        r.right -= m_scroll;
    }
    InvalidateRect(m_hWnd, &r, TRUE);
    if (updateNow) UpdateWindow(m_hWnd);
}

void TkDateTimeCtrl::CaptureGadget(TkDTGadget* gadget) {
    m_capture = gadget;
    if (!m_hWnd) return;
    if (gadget)
        SetCapture(m_hWnd);
    else if (GetCapture() == m_hWnd)
        ReleaseCapture();
}

void TkDateTimeCtrl::LayoutGadgets() {
    m_fixedWidth = 0;
    if (!m_hWnd) return;
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    RECT client;
    GetClientRect(m_hWnd, &client);
    std::int32_t x = 1;
    std::int32_t right = client.right;
    for (const auto& g : m_gadgets) {
        g->CalcSize(dc);
        RECT r = g->GetRect();
        const std::int32_t width = r.Width();
        const bool fullHeight = r.bottom == -1;
        r = fullHeight ? RECT{x, client.top, x + width, client.bottom}
                       : RECT{x, r.top + 1, x + width, r.bottom + 1};
        if (g->GetFlags() & TkDTGadget::fixed) {
            r.left = right - width;
            r.right = right;
            right -= width;
            m_fixedWidth += width;
        } else {
            x += width;
        }
        g->SetRect(r);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(m_hWnd, dc);
}

void TkDateTimeCtrl::SizeToContent() {
    if (!m_hWnd || m_gadgets.empty()) return;
    const DWORD style = GetStyle();
    const DWORD exStyle = DWORD(GetWindowLongPtr(m_hWnd, GWL_EXSTYLE));
    RECT frame{};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    std::int32_t frameWidth = frame.Width(), frameHeight = frame.Height();
    // Before the new shell the control draws its own 2-pixel border.
    if ((GetVersion() & 0xFF) < 4 && frameWidth == 0 && frameHeight == 0) frameWidth = frameHeight = 4;
    std::int32_t width = frameWidth + m_fixedWidth + 3;
    for (std::size_t i = m_fixedCount; i < m_gadgets.size(); ++i)
        width += m_gadgets[i]->GetRect().Width();
    std::int32_t height = frameHeight;
    if (m_gadgets.size() > m_fixedCount)
        height += m_gadgets[m_fixedCount]->GetRect().Height() + 2;
    else
        height += m_gadgets[0]->GetRect().Height();
    SetWindowPos(m_hWnd, 0, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TkDateTimeCtrl::BringIntoView(const TkDTGadget& gadget) {
    if (!m_hWnd || (gadget.GetFlags() & TkDTGadget::fixed)) return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    const RECT& r = gadget.GetRect();
    const std::int32_t left = client.left + 1 + m_scroll;
    const std::int32_t right = client.right - 1 - m_fixedWidth + m_scroll;
    if (r.left >= left && r.right <= right) return;
    if (r.left < left) {
        m_scroll = r.left;
    } else {
        m_scroll += r.right - right;
        if (r.left < client.left + 1 + m_scroll) m_scroll = r.left;
    }
    Invalidate();
}

void TkDateTimeCtrl::TakeColours(HDC dc) {
    if (IsWindowEnabled(m_hWnd)) {
        m_backColour = tkSysMetrics.m_crWindow;
        m_textColour = tkSysMetrics.m_crWindowText;
    } else {
        m_backColour = GetSysColor(m_disabledBack);
        m_textColour = GetSysColor(m_disabledText);
    }
    if (!m_parentColours) return;
    const HWND parent = ::vq::GetParent(m_hWnd);
    if (!parent) return;
    SetTextColor(dc, m_textColour);
    SetBkColor(dc, m_backColour);
    const UINT message = IsWindowEnabled(m_hWnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    ::vq::SendMessage(parent, message, reinterpret_cast<WPARAM>(dc), LPARAM(m_hWnd));
    m_textColour = GetTextColor(dc);
    m_backColour = GetBkColor(dc);
}

LRESULT TkDateTimeCtrl::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (!dc) return 0;
    TakeColours(dc);
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT clip;
    GetClipBox(dc, &clip);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, client.Width(), client.Height()) : nullptr;
    if (memory && bitmap) {
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        IntersectClipRect(memory, clip.left, clip.top, clip.right, clip.bottom);
        Draw(memory);
        BitBlt(dc, clip.left, clip.top, clip.Width(), clip.Height(), memory, clip.left, clip.top, SRCCOPY);
        SelectObject(memory, oldBitmap);
    } else {
        Draw(dc);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    EndPaint(m_hWnd, &ps);
    return 0;
}

void TkDateTimeCtrl::Draw(HDC dc) {
    RECT clip;
    GetClipBox(dc, &clip);
    const COLORREF oldBack = SetBkColor(dc, m_backColour);
    ExtTextOut(dc, 0, 0, ETO_OPAQUE, &clip, "", 0, nullptr);
    SetBkColor(dc, oldBack);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    for (std::size_t i = 0; i < m_fixedCount && i < m_gadgets.size(); ++i) {
        TkDTGadget& g = *m_gadgets[i];
        if (!RectVisible(dc, &g.GetRect())) continue;
        g.Draw(dc);
        HRGN drawn = CreateRectRgnIndirect(g.GetRect());
        ExtSelectClipRgn(dc, drawn, RGN_XOR);
        DeleteObject(drawn);
    }
    SetViewportOrgEx(dc, -m_scroll, 0, nullptr);
    for (std::size_t i = m_fixedCount; i < m_gadgets.size(); ++i) {
        TkDTGadget& g = *m_gadgets[i];
        if (RectVisible(dc, &g.GetRect())) g.Draw(dc);
    }
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SelectObject(dc, oldFont);
}

TkDTGadget* TkDateTimeCtrl::GadgetAt(POINT point) const {
    for (std::size_t i = 0; i < m_fixedCount && i < m_gadgets.size(); ++i) {
        TkDTGadget& g = *m_gadgets[i];
        if (g.GetRect().Contains(point.x, point.y) && TakesFocusOrClicks(g)) return &g;
    }
    TkDTGadget* last = nullptr;
    for (std::size_t i = m_fixedCount; i < m_gadgets.size(); ++i) {
        TkDTGadget& g = *m_gadgets[i];
        if (!TakesFocusOrClicks(g)) continue;
        if (g.GetRect().right >= point.x + m_scroll) return &g;
        last = &g;
    }
    return last;
}

LRESULT TkDateTimeCtrl::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    if (m_gadgets.empty()) return Default();
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TkDTGadget* gadget = GadgetAt(point);
    // Without any format field that takes input the click gets the window's own handling.
    if (!gadget) return Default();
    const bool takesFocus = (gadget->GetFlags() & TkDTGadget::takesFocus) != 0;
    const std::size_t index = std::size_t(
        std::find_if(m_gadgets.begin(), m_gadgets.end(), [&](const auto& g) { return g.get() == gadget; }) -
        m_gadgets.begin());
    if (GetFocus() != m_hWnd) {
        if (takesFocus) {
            m_current = index;
            BringIntoView(*gadget);
        }
        ::vq::SetFocus(m_hWnd);
    } else if (takesFocus && index != m_current) {
        if (TkDTGadget* old = GetCurrentGadget()) old->SetFocus(FALSE);
        gadget->SetFocus(TRUE);
        m_current = index;
        BringIntoView(*gadget);
    }
    if (gadget->GetFlags() & TkDTGadget::takesClicks) {
        if (!(gadget->GetFlags() & TkDTGadget::fixed)) point.x += m_scroll;
        gadget->OnLButtonDown(UINT(wParam), point);
    }
    return 0;
}

LRESULT TkDateTimeCtrl::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    if (!m_capture) return Default();
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!(m_capture->GetFlags() & TkDTGadget::fixed)) point.x += m_scroll;
    m_capture->OnLButtonUp(UINT(wParam), point);
    return 0;
}

LRESULT TkDateTimeCtrl::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_capture) return Default();
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!(m_capture->GetFlags() & TkDTGadget::fixed)) point.x += m_scroll;
    m_capture->OnMouseMove(UINT(wParam), point);
    return 0;
}

LRESULT TkDateTimeCtrl::OnCancelMode(WPARAM, LPARAM) {
    if (!m_capture) return Default();
    m_capture->EndEditing();
    return 0;
}

LRESULT TkDateTimeCtrl::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_tabThroughFields ? DLGC_WANTTAB : 0);
}

LRESULT TkDateTimeCtrl::OnKeyDown(WPARAM wParam, LPARAM) {
    if (m_gadgets.empty()) return Default();
    const UINT key = UINT(wParam);
    if (key == VK_LEFT) {
        MoveToField(false);
    } else if (key == VK_RIGHT) {
        MoveToField(true);
    } else if (key == keyF4) {
        if (GetControlStyle() & styleDropDown) ShowCalendar(0, 0, 0);
    } else if (key == VK_TAB && m_tabThroughFields) {
        const bool back = KeyDown(VK_SHIFT);
        if (!MoveToField(!back)) {
            const HWND parent = ::vq::GetParent(m_hWnd);
            if (HWND next = parent ? GetNextDlgTabItem(parent, m_hWnd, back ? TRUE : FALSE) : 0)
                ::vq::SetFocus(next);
        }
    } else if (TkDTGadget* current = GetCurrentGadget()) {
        current->OnKeyDown(key);
    }
    return 0;
}

LRESULT TkDateTimeCtrl::OnSysKeyDown(WPARAM wParam, LPARAM) {
    if (UINT(wParam) == VK_DOWN && !m_gadgets.empty() && (GetControlStyle() & styleDropDown)) {
        ShowCalendar(0, 0, 0);
        return 0;
    }
    return Default();
}

LRESULT TkDateTimeCtrl::OnChar(WPARAM wParam, LPARAM) {
    if (m_gadgets.empty()) return Default();
    const UINT character = UINT(wParam);
    if (character == '\t' && m_tabThroughFields) return 0;
    if (const TkDTGadget* next = GetGadget(m_current + 1); next && next->GetId() == -1) {
        const std::string literal = Trimmed(next->GetText());
        if ((literal.empty() && character == ' ') || (!literal.empty() && literal == Utf8Of(character))) {
            MoveToField(true);
            return 0;
        }
    }
    if (TkDTGadget* current = GetCurrentGadget()) current->OnChar(character);
    return 0;
}

LRESULT TkDateTimeCtrl::OnSetFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    NotifyParent(notifySetFocus);
    if (m_gadgets.empty()) return result;
    if (m_tabThroughFields && KeyDown(VK_TAB)) {
        const bool back = KeyDown(VK_SHIFT);
        std::size_t found = m_gadgets.size();
        for (std::size_t i = m_fixedCount; i < m_gadgets.size(); ++i) {
            if (!(m_gadgets[i]->GetFlags() & TkDTGadget::takesFocus)) continue;
            found = i;
            if (!back) break;
        }
        if (found < m_gadgets.size()) {
            if (TkDTGadget* old = GetCurrentGadget(); old && old != m_gadgets[found].get())
                old->SetFocus(FALSE);
            m_current = found;
            m_gadgets[found]->SetFocus(TRUE);
            BringIntoView(*m_gadgets[found]);
        }
    } else if (TkDTGadget* current = GetCurrentGadget()) {
        current->SetFocus(TRUE);
    }
    return result;
}

LRESULT TkDateTimeCtrl::OnKillFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (TkDTGadget* current = GetCurrentGadget()) current->SetFocus(FALSE);
    NotifyParent(notifyKillFocus);
    return result;
}

std::string TkDateTimeCtrl::Text() const {
    std::string text;
    for (const auto& g : m_gadgets)
        text += g->GetText();
    return text;
}

LRESULT TkDateTimeCtrl::OnGetText(WPARAM wParam, LPARAM lParam) {
    auto* buffer = reinterpret_cast<char*>(lParam);
    const std::size_t size = std::size_t(wParam);
    if (size == 0 || !buffer || IsPending() || m_value.GetStatus() != OleDateTime::valid) return 0;
    const std::string text = Text();
    const std::size_t n = CutLength(text, size - 1);
    text.copy(buffer, n);
    buffer[n] = '\0';
    return LRESULT(n);
}

LRESULT TkDateTimeCtrl::OnGetTextLength(WPARAM, LPARAM) {
    if (IsPending() || m_value.GetStatus() != OleDateTime::valid) return 0;
    return LRESULT(CutLength(Text(), textLengthBuffer - 1));
}

LRESULT TkDateTimeCtrl::OnSize(WPARAM, LPARAM) {
    const LRESULT result = Default();
    LayoutGadgets();
    Invalidate();
    return result;
}

LRESULT TkDateTimeCtrl::OnEnable(WPARAM, LPARAM) {
    Invalidate();
    return 0;
}

LRESULT TkDateTimeCtrl::OnSysColorChange(WPARAM, LPARAM) {
    tkSysMetrics.UpdateSysColors();
    for (const auto& g : m_gadgets)
        g->OnSysColorChange();
    return Default();
}

LRESULT TkDateTimeCtrl::OnSettingChange(WPARAM, LPARAM) {
    RebuildGadgets();
    return 0;
}

LRESULT TkDateTimeCtrl::OnSetFont(WPARAM wParam, LPARAM) {
    m_font = reinterpret_cast<HFONT>(wParam);
    if (!m_font) m_font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LayoutGadgets();
    Invalidate();
    return 0;
}

LRESULT TkDateTimeCtrl::OnDestroy(WPARAM, LPARAM) {
    ResetState();
    return Default();
}

bool TkDateTimeCtrl::OldBorder() const {
    return !tkSysMetrics.m_bNewShell && (GetWindowLongPtr(m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

LRESULT TkDateTimeCtrl::OnNcCalcSize(WPARAM, LPARAM lParam) {
    if (!OldBorder()) return Default();
    // This window system asks with a plain rectangle only, never for valid areas.
    if (auto* r = reinterpret_cast<RECT*>(lParam)) {
        r->left += oldBorder;
        r->top += oldBorder;
        r->right -= oldBorder;
        r->bottom -= oldBorder;
    }
    return 0;
}

LRESULT TkDateTimeCtrl::OnNcPaint(WPARAM, LPARAM) {
    if (!OldBorder()) return Default();
    HDC dc = GetWindowDC(m_hWnd);
    if (!dc) return 0;
    RECT window;
    GetWindowRect(m_hWnd, &window);
    const RECT outer{0, 0, window.Width(), window.Height()};
    const RECT inner{1, 1, outer.right - 1, outer.bottom - 1};
    const auto ring = [dc](const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
        const auto fill = [dc](RECT part, COLORREF colour) {
            const COLORREF old = SetBkColor(dc, colour);
            ExtTextOut(dc, 0, 0, ETO_OPAQUE, &part, "", 0, nullptr);
            SetBkColor(dc, old);
        };
        fill(RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
        fill(RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
        fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        fill(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    };
    ring(outer, tkSysMetrics.m_crButtonShadow, tkSysMetrics.m_crButtonHighlight);
    ring(inner, tkSysMetrics.m_crWindowFrame, tkSysMetrics.m_crButtonFace);
    ReleaseDC(m_hWnd, dc);
    return 0;
}

void TkDateTimeCtrl::CreatePopupCalendar() {
    m_popup = std::make_unique<TkPopupCalendar>();
}

BOOL TkDateTimeCtrl::ShowCalendar(int, std::int32_t, std::int32_t) {
    if (!m_hWnd) return FALSE;
    if (TkDTGadget* current = GetCurrentGadget()) current->EndEditing();
    OleDateTime shown = m_value;
    if (IsPending()) {
        const TkDateTimeFields today = Today();
        const int year = GetPendingField(fieldYear), month = GetPendingField(fieldMonth),
                  day = GetPendingField(fieldDay);
        shown = OleDateTime(year < 0 ? today.year : year, month < 0 ? today.month : month,
                            day < 0 ? today.day : day, 0, 0, 0);
        if (shown.GetStatus() != OleDateTime::valid)
            shown = OleDateTime(today.year, today.month, today.day, 0, 0, 0);
    }
    m_popup.reset();
    CreatePopupCalendar();
    if (!m_popup) return FALSE;
    m_popup->SetPopupMode(closeOnDeactivation);
    m_popup->SetOptions(m_popup->GetOptions() | popupOptions);
    m_popup->SetOtherMonthStyle(m_popup->GetOtherMonthStyle() | popupOtherMonthStyle);
    m_popup->SetDate(shown, FALSE);
    m_popup->SelectDate(shown, TRUE);
    RECT r;
    GetWindowRect(m_hWnd, &r);
    if (!m_popup->CreatePopup(popupStyle, r, this)) {
        m_popup.reset();
        return FALSE;
    }
    return TRUE;
}

void TkDateTimeCtrl::TakeChosenDate(const OleDateTime& chosen) {
    TkDateTimeFields day;
    if (!BreakDateTime(chosen, day)) return;
    if (IsPending()) {
        if (!IsInRange(chosen) || !OnChanging(chosen)) return;
        SetPendingField(fieldYear, day.year);
        SetPendingField(fieldMonth, day.month);
        SetPendingField(fieldDay, day.day);
        SetPendingField(fieldWeekday, day.weekday);
        RefreshGadgets(fieldYear | fieldMonth | fieldDay | fieldWeekday);
        m_modified |= 1;
        CompletePendingEntry(true);
        OnChanged();
        return;
    }
    TkDateTimeFields current;
    if (!BreakDateTime(m_value, current)) return;
    const int year = (m_readOnly & readOnlyYear) ? current.year : day.year;
    const int month = (m_readOnly & readOnlyMonth) ? current.month : day.month;
    const int dayOfMonth = (m_readOnly & readOnlyDay) ? current.day : day.day;
    const OleDateTime value(year, month, dayOfMonth, current.hour, current.minute, current.second);
    if (value.GetStatus() != OleDateTime::valid || value == m_value || !IsInRange(value) ||
        !OnChanging(value))
        return;
    m_modified |= 1;
    ApplyDateTime(value);
    OnChanged();
}

LRESULT TkDateTimeCtrl::OnCalendarChosen(WPARAM, LPARAM) {
    if (!m_popup) return 0;
    const OleDateTime chosen = m_popup->GetSelectedDate();
    const std::uint32_t dateFields = readOnlyYear | readOnlyMonth | readOnlyDay;
    if (chosen.GetStatus() == OleDateTime::valid && (m_readOnly & dateFields) != dateFields)
        TakeChosenDate(chosen);
    m_popup.reset();
    return 0;
}

LRESULT TkDateTimeCtrl::OnCalendarCancelled(WPARAM, LPARAM) {
    m_popup.reset();
    return 0;
}

} // namespace vq
