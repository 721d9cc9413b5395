#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>

namespace vq {

// A date-time value broken into calendar fields, taken to the nearest second.
struct TkDateTimeFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int weekday = 0; // 1 = Sunday
    int yearDay = 0;
};

// The fields typed in one by one while the value is null.
struct TkDTPendingEntry {
    std::uint16_t unentered = 0;
    std::uint16_t present = 0;
    std::int32_t active = 0;
    std::int32_t hour = 0, minute = 0, second = 0, year = 0, month = 0, day = 0, weekday = 0;
};

// The value side of the date/time control: the value, its optional range with the check every
// user edit passes, and the null entry. It works without a window; the windowed control refreshes
// its gadgets and notifies its parent through the overridable hooks.
class TkDateTimeCtrl {
public:
    // Field bits of the pending entry, also naming the gadgets to refresh.
    enum Field : std::uint16_t {
        fieldHour = 0x01,
        fieldMinute = 0x02,
        fieldSecond = 0x04,
        fieldYear = 0x08,
        fieldMonth = 0x10,
        fieldDay = 0x20,
        fieldWeekday = 0x40,
        fieldAll = 0x7F,
    };
    enum RangeKind : std::int32_t { rangeNone = 0, rangeTime = 1, rangeDate = 2, rangeDateTime = 3 };

    TkDateTimeCtrl();
    virtual ~TkDateTimeCtrl() = default;
    TkDateTimeCtrl(const TkDateTimeCtrl&) = delete;
    TkDateTimeCtrl& operator=(const TkDateTimeCtrl&) = delete;

    // Fails for a value outside 1 January 100 to 31 December 9999 00:00, or one not valid.
    static bool BreakDateTime(const OleDateTime& value, TkDateTimeFields& fields);

    BOOL SetDateTime(const OleDateTime& value);
    BOOL SetDate(const OleDateTime& value);
    BOOL SetTime(const OleDateTime& value);
    OleDateTime GetDateTime() const { return m_value; }

    BOOL SetDateTimeRange(const OleDateTime& minimum, const OleDateTime& maximum, std::int32_t kind);
    std::int32_t GetDateTimeRange(OleDateTime& minimum, OleDateTime& maximum) const;
    BOOL IsInRange(const OleDateTime& value) const;
    // Level names the field being edited (1 second … 5 year, 0 refuse any overshoot, -1 move
    // the whole value); an edit just beyond a bound whose higher fields equal the bound's moves
    // onto the bound.
    virtual BOOL ValidateDateTime(OleDateTime& value, int level) const;
    virtual BOOL OnChanging(const OleDateTime& value);
    virtual void OnChanged();

    void SetNull(char placeholder = '_');
    char GetPlaceholder() const { return m_placeholder; }
    bool IsPending() const { return m_pending.active != 0; }
    // A field of the pending entry; -1 while it is shown and not yet entered.
    int GetPendingField(Field field) const;
    // Stores a typed field into the pending entry.
    void SetPendingField(Field field, int value);
    // Builds the value once every shown field but the weekday is entered; a user's completion
    // asks OnChanging first and reports OnChanged after.
    void CompletePendingEntry(bool byUser);

    void SetModified(BOOL modified);
    void SetModified(BOOL date, BOOL time);
    BOOL IsModified() const { return (m_modified & 3) != 0; }
    void GetModified(BOOL& date, BOOL& time) const;
    BOOL IsEditing() const { return (m_modified & 4) != 0; }

protected:
    // Stores the value and refreshes the gadgets of the fields that changed.
    void ApplyDateTime(const OleDateTime& value);

    // Hooks of the windowed control; without a window there is nothing to refresh.
    virtual bool HasWindow() const { return false; }
    virtual void RefreshGadgets(std::uint16_t /*fields*/) {}
    // The fields the format shows; none without gadgets.
    virtual std::uint16_t PresentFields() const { return 0; }

    std::uint32_t m_modified = 0;
    OleDateTime m_value;
    OleDateTime m_minimum;
    OleDateTime m_maximum;
    std::int32_t m_rangeKind = rangeNone;
    char m_placeholder = '_';
    TkDTPendingEntry m_pending;

private:
    bool Project(const OleDateTime& value, OleDateTime& projected) const;
    bool ComposeWithCurrent(const OleDateTime& value, bool keepDate, OleDateTime& composed) const;
    void StoreOrApply(const OleDateTime& value);
};

} // namespace vq
