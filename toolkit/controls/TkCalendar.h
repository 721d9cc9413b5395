#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/GdiObject.h"
#include "platform/time/OleDateTime.h"
#include "toolkit/controls/TkCalTitle.h"
#include "toolkit/controls/TkDayBar.h"
#include "toolkit/controls/TkDayBox.h"

#include <array>
#include <vector>

namespace vq {

// A month calendar: a title with the month and buttons to step months and years, a header with
// the weekday names and 42 day cells around the shown month, all drawn as panels. One date can be
// selected and any number marked; the owner hears of selections, marks, the final choice and a
// cancel by posted messages.
class TkCalendar : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkCalendar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Posted to the notify window.
    enum : UINT {
        WM_CAL_SELECTED = WM_USER + 512,
        WM_CAL_MARKED = WM_USER + 513,
        WM_CAL_CHOSEN = WM_USER + 514,
        WM_CAL_CANCELLED = WM_USER + 515,
    };
    // Bits of the options word.
    enum : DWORD {
        optChooseOnPick = 0x100,
        optPickOtherMonth = 0x200,
        optCanSelect = 0x4000,
        optCanMark = 0x8000,
        optFitFonts = 0x10000,
        optSizeToContent = 0x20000,
        optChooseEverySelection = 0x40000,
        optMonthButtons = 0x80000,
        optYearButtons = 0x100000,
        optKeyboard = 0x200000,
        optFixedDate = 0x400000,
        optSizingFrame = 0x800000,
        optDragSelect = 0x1000000,
    };
    static constexpr int cellCount = 42;

    TkCalendar();
    ~TkCalendar() override;

    virtual BOOL Create(DWORD style, RECT& rect, CWnd* parent, UINT id, void* creationData = nullptr);
    virtual BOOL MoveNextDay(BOOL fromSelection);
    virtual BOOL MovePrevDay(BOOL fromSelection);
    virtual BOOL MoveNextWeek(BOOL fromSelection);
    virtual BOOL MovePrevWeek(BOOL fromSelection);
    virtual BOOL NextMonth(BOOL fromSelection);
    virtual BOOL PrevMonth(BOOL fromSelection);
    virtual BOOL NextYear(BOOL fromSelection);
    virtual BOOL PrevYear(BOOL fromSelection);
    virtual BOOL OffsetSelection(long seconds);
    virtual BOOL OffsetSelection(const OleDateTimeSpan& span);
    virtual BOOL OffsetDisplay(long seconds);
    virtual BOOL OffsetDisplay(const OleDateTimeSpan& span);
    virtual BOOL MarkDate(double date, BOOL mark);
    virtual BOOL MarkDate(const OleDateTime& date, BOOL mark);
    virtual BOOL SelectDate(double date, BOOL select);
    virtual BOOL SelectDate(const OleDateTime& date, BOOL select);
    virtual BOOL ToggleSelection(double date);
    virtual BOOL ToggleSelection(const OleDateTime& date);
    virtual BOOL ToggleMark(double date);
    virtual BOOL ToggleMark(const OleDateTime& date);
    virtual COLORREF SetDayMarkColor(double date, COLORREF colour);
    virtual COLORREF SetDayMarkColor(const OleDateTime& date, COLORREF colour);
    // February of year 100 to November of year 9999; the day is not looked at.
    virtual BOOL IsValidDate(int year, int month, int day) const;
    virtual void LoadColors();
    virtual void NormalizeDate(OleDateTime& date) const;
    virtual void OnInvalidDate();
    virtual UINT GetClassStyle() const;
    virtual void CreateFonts();
    virtual void FillDays();

    BOOL SetDate(const OleDateTime& date, BOOL redraw);
    BOOL SetDate(double date, BOOL redraw);
    const OleDateTime& GetShownDate() const { return m_shownDate; }
    int GetFirstDayOfWeek() const { return m_header.GetFirstDayOfWeek(); }
    void SetFirstDayOfWeek(int day, BOOL redraw);
    TkDayBox* GetSelectedCell() const { return m_selectedCell; }
    // The date of the selected cell; invalid while no cell shows the selection.
    OleDateTime GetSelectedDate() const;
    int GetMarkedCount() const { return int(m_markedDates.size()); }
    int GetMarkedDates(OleDateTime* dates, int capacity) const;
    // Each marked date's day number (days since 30 December 1899), ascending.
    int GetMarkedDates(std::int32_t* days, int capacity) const;

    DWORD GetOptions() const { return m_options; }
    void SetOptions(DWORD options) { m_options = options; }
    BOOL GetChooseOnPick() const { return (m_options & optChooseOnPick) != 0; }
    BOOL SetChooseOnPick(BOOL on) { return SetOption(optChooseOnPick, on); }
    // The getters of fitting and sizing answer TRUE when the option is off, as their callers read
    // them.
    BOOL GetFitFonts() const { return (m_options & optFitFonts) == 0; }
    void SetFitFonts(BOOL on) { SetOption(optFitFonts, on); }
    BOOL GetSizeToContent() const { return (m_options & optSizeToContent) == 0; }
    void SetSizeToContent(BOOL on) { SetOption(optSizeToContent, on); }
    BOOL GetChooseEverySelection() const { return (m_options & optChooseEverySelection) != 0; }
    BOOL SetChooseEverySelection(BOOL on) { return SetOption(optChooseEverySelection, on); }
    BOOL GetMonthButtons() const { return (m_options & optMonthButtons) != 0; }
    BOOL SetMonthButtons(BOOL on) { return SetOption(optMonthButtons, on); }
    BOOL GetYearButtons() const { return (m_options & optYearButtons) != 0; }
    BOOL SetYearButtons(BOOL on) { return SetOption(optYearButtons, on); }
    BOOL GetKeyboard() const { return (m_options & optKeyboard) != 0; }
    // Answers the previous state inverted, as its callers expect.
    BOOL SetKeyboard(BOOL on) { return !SetOption(optKeyboard, on); }
    BOOL GetFixedDate() const { return (m_options & optFixedDate) != 0; }
    BOOL SetFixedDate(BOOL on) { return SetOption(optFixedDate, on); }

    // The window rectangle on the screen, in one buffer shared by every calendar.
    const RECT* GetCalendarRect() const;
    DWORD GetShownMonthStyle() const { return m_shownMonthStyle; }
    void SetShownMonthStyle(DWORD style) { m_shownMonthStyle = style; }
    DWORD GetOtherMonthStyle() const { return m_otherMonthStyle; }
    void SetOtherMonthStyle(DWORD style) { m_otherMonthStyle = style; }
    COLORREF GetDayTextColor() const { return m_dayTextColor; }
    COLORREF SetDayTextColor(COLORREF colour);
    CWnd* GetNotifyWindow() const { return m_notifyWindow; }
    void SetNotifyWindow(CWnd* window) { m_notifyWindow = window; }
    RECT SetWindowRect(const RECT& rect);

    HFONT GetTitleFont() const { return m_fonts[titleFont]; }
    HFONT GetHeaderFont() const { return m_fonts[headerFont]; }
    HFONT GetCellFont() const { return m_fonts[cellFont]; }
    TkCalTitle& GetTitle() { return m_title; }
    TkDayBar& GetHeader() { return m_header; }
    TkDayBox& GetCell(int i) { return m_cells[std::size_t(i)]; }
    // The client size that shows every panel at its measured size.
    SIZE GetContentSize(HDC dc);

    // The mouse handling of the cells.
    void PickCell(TkDayBox& cell);
    void RightClickCell(TkDayBox& cell);

protected:
    enum { titleFont, headerFont, cellFont };

    BOOL SetOption(DWORD option, BOOL on);
    // Posts the choice to the notify window and hides.
    void Choose();
    void Cancel();
    void PostNotify(UINT message, WPARAM wParam, LPARAM lParam) const;
    void Layout();
    void FitFonts();
    void ApplyPanelColors();
    TkDayBox* CellAt(POINT client);
    bool InClient(POINT client) const;
    void EndTracking(bool restore);
    BOOL StepMonth(BOOL fromSelection, bool forward);
    BOOL StepYear(BOOL fromSelection, bool forward);
    BOOL RoughCheck(const OleDateTime& from, const OleDateTimeSpan& span);
    void DeleteFonts();

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM key, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM point);
    LRESULT OnMouseMove(WPARAM, LPARAM point);
    LRESULT OnLButtonUp(WPARAM, LPARAM point);
    LRESULT OnCancelMode(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM newCapture);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM point);
    LRESULT OnRButtonDown(WPARAM, LPARAM point);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    LRESULT OnChosen(WPARAM, LPARAM);
    LRESULT OnCancelled(WPARAM, LPARAM);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    TkDayBar m_header;
    TkCalTitle m_title;
    std::int32_t m_bevelWidth = 2;
    CWnd* m_notifyWindow = nullptr;
    CWnd* m_parentWindow = nullptr;
    BOOL m_created = FALSE;
    OleDateTime m_shownDate;
    bool m_shownDateSet = false;
    OleDateTime m_selectedDate;
    bool m_hasSelectedDate = false;
    OleDateTime m_keyboardDate;
    std::array<TkDayBox, cellCount> m_cells;
    TkDayBox* m_selectedCell = nullptr;
    BOOL m_tracking = FALSE;
    BOOL m_restoreSelection = FALSE;
    OleDateTime m_restoreDate;
    std::vector<OleDateTime> m_markedDates;
    LOGFONT m_fontDescriptions[3];
    HFONT m_fonts[3] = {};
    COLORREF m_dayTextColor = 0;
    COLORREF m_headerTextColor = 0;
    COLORREF m_titleTextColor = 0;
    COLORREF m_dimmedTextColor = 0;
    DWORD m_otherMonthStyle = 0x101;
    DWORD m_shownMonthStyle = 0x1000017F;
    DWORD m_options = 0x39C000;
};

} // namespace vq
