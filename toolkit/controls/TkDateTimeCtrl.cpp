#include "toolkit/controls/TkDateTimeCtrl.h"

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

void TkDateTimeCtrl::OnChanged() {}

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
