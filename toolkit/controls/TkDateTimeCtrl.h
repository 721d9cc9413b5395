#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/GdiTypes.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class TkDTGadget;
class TkPopupCalendar;

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

// A single-line child window that shows and edits one date-and-time value as a row of drawn
// fields and literals, with optional spin buttons and a drop-down calendar at its right edge. The
// value, its optional range with the check every user edit passes, and the null entry work without
// a window too; then the setters only store.
class TkDateTimeCtrl : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkDateTimeCtrl)
    VQ_DECLARE_MESSAGE_MAP()
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

    // Gadget ids: one per kind of field, then the two fixed gadgets; literals have -1.
    enum GadgetId : std::int32_t {
        idHour12 = 1,
        idHour24 = 2,
        idMinute = 4,
        idSecond = 8,
        idAmPm = 16,
        idDay = 32,
        idWeekday = 64,
        idMonth = 128,
        idMonthName = 256,
        idYear2 = 512,
        idYear4 = 1024,
        idButton = 0x4000,
        idSpin = 0x8000,
    };
    // What gadgets report to the control.
    enum GadgetEvent : int {
        eventUp = 1,
        eventDown = 2,
        eventSpinUp = 3,
        eventSpinDown = 4,
        eventClicked = 5,
        eventMaySet = 6,
        eventSet = 7,
        eventFirst = 8,
        eventLast = 9,
        eventTyping = 10,
        eventFieldFull = 11,
    };
    // Bits of the read-only mask.
    enum ReadOnly : std::uint32_t {
        readOnlyYear = 1,
        readOnlyMonth = 2,
        readOnlyDay = 4,
        readOnlyHour = 8,
        readOnlyMinute = 0x10,
        readOnlySecond = 0x20,
    };
    // Bits of the control's style word that the field rules read.
    enum Style : std::uint32_t {
        styleDropDown = 0x01,
        styleSpin = 0x02,
        styleKeepCentury = 0x10,
        styleOwnYearWindow = 0x20,
    };
    // Notification codes in the high word of WM_COMMAND to the parent.
    enum Notification : UINT { notifySetFocus = 0x100, notifyKillFocus = 0x200, notifyChanged = 0x300 };
    enum FormatKind : std::int32_t {
        formatTime = 0,
        formatShortDate = 1,
        formatLongDate = 2,
        formatCustom = 3
    };
    // The kinds of gadget a control creates; a derived control may create its own for each.
    enum class GadgetClass { list, numeric, literal, button, spin };

    TkDateTimeCtrl();
    ~TkDateTimeCtrl() override;
    TkDateTimeCtrl(const TkDateTimeCtrl&) = delete;
    TkDateTimeCtrl& operator=(const TkDateTimeCtrl&) = delete;

    using CWnd::CreateEx;
    // FALSE when the window cannot be created.
    virtual BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                          void* creationData = nullptr);
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, void* creationData = nullptr);
    // Takes the place, tab position and help id of the parent's child with that id, which goes.
    // FALSE, and no control, when there is no such child.
    BOOL ReplaceDlgItem(UINT id, CWnd* parent, DWORD style, DWORD moreStyle, DWORD exStyle);
    // Resizes the window to its gadgets without moving it.
    void SizeToContent();

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

    void SetFormat(std::int32_t kind);
    void SetFormat(std::string format);
    std::int32_t GetFormatKind() const { return m_formatKind; }
    // The custom picture, or the locale's picture of the format kind.
    std::string GetFormat() const;
    void SetReadOnlyFields(std::uint32_t mask);
    std::uint32_t GetReadOnlyFields() const { return m_readOnly; }
    void SetFieldNavigation(BOOL autoAdvance);
    void SetFieldNavigation(BOOL autoAdvance, BOOL tabThroughFields);
    BOOL GetAutoAdvance() const { return m_autoAdvance; }

    // Turns the format picture into the format gadgets, after the fixed ones.
    virtual void ParseDateTimeFormat();
    // The century added to a typed two-digit year.
    virtual int GetCentury(int year, int twoDigitYear) const;
    // Decides on what a gadget reports; FALSE refuses it.
    virtual BOOL OnGadgetEvent(int event, std::int32_t gadgetId, std::int32_t value);
    // Opens the drop-down calendar on the value; the arguments are a gadget event's and unused.
    virtual BOOL ShowCalendar(int event, std::int32_t gadgetId, std::int32_t value);
    virtual void CreatePopupCalendar();
    virtual void LayoutGadgets();
    virtual void Draw(HDC dc);
    // Releases a capture, closes the calendar and puts the current gadget and the scroll at 0.
    virtual void ResetState();
    virtual void OnMonthName(std::string& /*name*/) {}
    virtual void OnDayName(std::string& /*name*/) {}

    // Services the gadgets call on their owner.
    virtual void InvalidateGadget(const TkDTGadget& gadget, bool updateNow);
    virtual void CaptureGadget(TkDTGadget* gadget);
    // The colours of the current paint.
    COLORREF GetTextColour() const { return m_textColour; }
    COLORREF GetBackColour() const { return m_backColour; }
    std::int32_t GetScrollOffset() const { return m_scroll; }
    std::int32_t GetFixedWidth() const { return m_fixedWidth; }
    TkPopupCalendar* GetPopup() const { return m_popup.get(); }

    std::size_t GetGadgetCount() const { return m_gadgets.size(); }
    TkDTGadget* GetGadget(std::size_t index) const;
    std::size_t GetFixedCount() const { return m_fixedCount; }
    // The index of the gadget that has the focus mark; may designate no gadget.
    std::size_t GetCurrentIndex() const { return m_current; }
    TkDTGadget* GetCurrentGadget() const { return GetGadget(m_current); }
    // Moves the focus mark to the next or previous field that can take it; false when there is none.
    bool MoveToField(bool forward);
    BOOL IsPM() const { return m_pm; }

    void SetModified(BOOL modified);
    void SetModified(BOOL date, BOOL time);
    BOOL IsModified() const { return (m_modified & 3) != 0; }
    void GetModified(BOOL& date, BOOL& time) const;
    BOOL IsEditing() const { return (m_modified & 4) != 0; }

protected:
    // Stores the value and refreshes the gadgets of the fields that changed.
    void ApplyDateTime(const OleDateTime& value);

    // Hooks of the windowed control; without a window there is nothing to refresh.
    virtual bool HasWindow() const { return m_hWnd != 0; }
    // Refreshes the gadgets that show the given fields from the value or the pending entry.
    virtual void RefreshGadgets(std::uint16_t fields);
    // The fields the format shows; none without gadgets.
    virtual std::uint16_t PresentFields() const;
    // The low word of the window style.
    virtual std::uint32_t GetControlStyle() const;
    virtual void UpdateNow();
    // Scrolls the format gadgets so that this one shows.
    virtual void BringIntoView(const TkDTGadget& gadget);
    virtual std::unique_ptr<TkDTGadget> CreateGadget(GadgetClass kind);
    void DeleteFormatGadgets();
    // Builds the format gadgets anew while the window exists, keeping the current field where it
    // can still be current, else on the first that can.
    void RebuildGadgets();
    // Puts the fixed gadgets the style asks for first in the array.
    void CreateFixedGadgets();

    std::uint32_t m_modified = 0;
    OleDateTime m_value;
    OleDateTime m_minimum;
    OleDateTime m_maximum;
    std::int32_t m_rangeKind = rangeNone;
    char m_placeholder = '_';
    TkDTPendingEntry m_pending;
    std::uint32_t m_readOnly = 0;
    BOOL m_autoAdvance = FALSE;
    BOOL m_tabThroughFields = FALSE;
    std::int32_t m_formatKind = formatShortDate;
    std::string m_format;
    std::vector<std::unique_ptr<TkDTGadget>> m_gadgets;
    std::size_t m_fixedCount = 0;
    std::size_t m_current = 0;
    TkDTGadget* m_capture = nullptr;
    BOOL m_pm = FALSE;
    BOOL m_parentColours = TRUE;
    HFONT m_font = nullptr;
    std::int32_t m_scroll = 0;
    std::int32_t m_fixedWidth = 0;
    std::unique_ptr<TkPopupCalendar> m_popup;
    COLORREF m_backColour = 0xFFFFFF;
    COLORREF m_textColour = 0;
    int m_disabledBack = 15;
    int m_disabledText = 17;
    UINT m_bitmapId = 23000;

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnCancelMode(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnSysKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnGetText(WPARAM, LPARAM);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnEnable(WPARAM, LPARAM);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    LRESULT OnSettingChange(WPARAM, LPARAM);
    LRESULT OnSetFont(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnNcCalcSize(WPARAM, LPARAM);
    LRESULT OnNcPaint(WPARAM, LPARAM);
    LRESULT OnCalendarChosen(WPARAM, LPARAM);
    LRESULT OnCalendarCancelled(WPARAM, LPARAM);

private:
    struct Edit;
    enum class Outcome { refused, done, proceed };
    BOOL EditField(int handler, int event, std::int32_t gadgetId, std::int32_t value);
    Outcome EditHour(Edit& edit) const;
    Outcome EditAmPm(Edit& edit) const;
    Outcome EditDay(Edit& edit) const;
    Outcome EditMonth(Edit& edit) const;
    Outcome EditYear(Edit& edit) const;
    void AppendFieldGadget(char letter, int repeats);
    void NotifyParent(UINT code) const;
    void TakeColours(HDC dc);
    TkDTGadget* GadgetAt(POINT point) const;
    std::string Text() const;
    bool OldBorder() const;
    void TakeChosenDate(const OleDateTime& chosen);

    bool Project(const OleDateTime& value, OleDateTime& projected) const;
    bool ComposeWithCurrent(const OleDateTime& value, bool keepDate, OleDateTime& composed) const;
    void StoreOrApply(const OleDateTime& value);
};

} // namespace vq
