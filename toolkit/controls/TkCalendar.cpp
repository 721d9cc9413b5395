#include "toolkit/controls/TkCalendar.h"

#include "platform/gui/Beep.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/WindowPlacement.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vq {

namespace {

constexpr double cellRows[] = {0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1.0};
constexpr double cellColumns[] = {0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0};
constexpr double titleBottom = 0.175;
constexpr double headerBottom = 0.25;

const OleDateTimeSpan oneDay(1.0);

bool SameMonth(const OleDateTime& a, const OleDateTime& b) {
    return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth();
}

OleDateTimeSpan SpanOfSeconds(long seconds) {
    return OleDateTimeSpan(seconds / 86'400, int(seconds % 86'400 / 3'600), int(seconds % 3'600 / 60),
                           int(seconds % 60));
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkCalendar, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkCalendar, CWnd)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
VQ_ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
VQ_ON_MESSAGE(WM_RBUTTONDOWN, OnRButtonDown)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_ON_MESSAGE(WM_CAL_CHOSEN, OnChosen)
VQ_ON_MESSAGE(WM_CAL_CANCELLED, OnCancelled)
VQ_END_MESSAGE_MAP()

TkCalendar::TkCalendar() : m_shownDate(1970, 1, 1, 12, 0, 0) {
    m_selectedDate.SetStatus(OleDateTime::invalid);
}

TkCalendar::~TkCalendar() {
    DestroyWindow();
    DeleteFonts();
}

void TkCalendar::DeleteFonts() {
    for (HFONT& font : m_fonts) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
}

UINT TkCalendar::GetClassStyle() const {
    return CS_DBLCLKS;
}

BOOL TkCalendar::Create(DWORD style, RECT& rect, CWnd* parent, UINT id, void*) {
    tkSysMetrics.UpdateSysColors();
    LoadColors();
    CreateFonts();
    m_notifyWindow = m_parentWindow = parent;

    const UINT classStyle = GetClassStyle();
    const std::string className = "TkCalendar" + std::to_string(classStyle);
    WNDCLASS wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::WindowProcedure;
    wc.hCursor = tkSysMetrics.m_hArrowCursor;
    wc.lpszClassName = className.c_str();
    RegisterClass(wc); // fails harmlessly once the class exists
    const DWORD windowStyle = style | WS_CHILD | WS_CLIPCHILDREN;
    if (!CreateEx(0, className.c_str(), "TkCalendar", windowStyle, rect, parent, id)) return FALSE;

    if (m_options & optSizeToContent) {
        HDC dc = GetDC(m_hWnd);
        const SIZE content = GetContentSize(dc);
        ReleaseDC(m_hWnd, dc);
        RECT window{0, 0, content.cx, content.cy};
        AdjustWindowRectEx(&window, windowStyle, FALSE, 0);
        rect.right = rect.left + window.Width();
        rect.bottom = rect.top + window.Height();
        MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
    }

    BOOL panels = TRUE;
    for (TkDayBox& cell : m_cells)
        panels = cell.Create(RECT{}, this, 0, 0, TRUE, FALSE, m_otherMonthStyle, m_options, m_bevelWidth) &&
                 panels;
    const DWORD panelStyle = m_options & ~DWORD(optCanSelect | optCanMark);
    panels = m_header.Create(RECT{}, this, 0, 0, FALSE, FALSE, m_shownMonthStyle, panelStyle, m_bevelWidth) &&
             panels;
    panels = m_title.Create(RECT{}, this, 0, 0, FALSE, FALSE, m_shownMonthStyle | TkPanel::textCentred,
                            panelStyle, m_bevelWidth) &&
             panels;

    if (m_shownDate.GetStatus() != OleDateTime::valid || !m_shownDateSet) {
        m_shownDate = OleDateTime::GetCurrentTime();
        NormalizeDate(m_shownDate);
    }
    SetDate(m_shownDate, FALSE);

    if (panels) {
        Layout();
        FitFonts();
        ApplyPanelColors();
    }
    m_created = TRUE;
    UpdateWindow(m_hWnd);
    SetFocus(m_hWnd);
    return panels;
}

void TkCalendar::ApplyPanelColors() {
    m_title.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    m_header.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    m_title.SetDimmedColor(GetSysColor(COLOR_GRAYTEXT));
    m_header.SetDimmedColor(GetSysColor(COLOR_GRAYTEXT));
    for (TkDayBox& cell : m_cells) {
        cell.SetTextColor(m_dayTextColor);
        cell.SetDimmedColor(GetSysColor(COLOR_GRAYTEXT));
    }
}

void TkCalendar::Layout() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const std::int32_t w = client.Width(), h = client.Height();
    const std::int32_t titleEnd = std::int32_t(titleBottom * (h - 1));
    const std::int32_t headerEnd = std::int32_t(headerBottom * (h - 1));
    m_title.SetRect(RECT{0, 0, w - 1, titleEnd});
    m_header.SetRect(RECT{0, titleEnd, w - 1, headerEnd});
    for (int i = 0; i < cellCount; ++i) {
        const int row = i / 7, column = i % 7;
        m_cells[std::size_t(i)].SetRect(
            RECT{std::int32_t(cellColumns[column] * w), std::int32_t(cellRows[row] * h),
                 std::int32_t(cellColumns[column + 1] * w) - 1, std::int32_t(cellRows[row + 1] * h) - 1});
    }
}

void TkCalendar::CreateFonts() {
    LOGFONT stock;
    GetObject(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    DeleteFonts();
    for (int i = 0; i < 3; ++i) {
        m_fontDescriptions[i] = stock;
        m_fonts[i] = CreateFontIndirect(stock);
    }
    LOGFONT& title = m_fontDescriptions[titleFont];
    std::strcpy(title.lfFaceName, "Arial");
    title.lfHeight *= 2;
    title.lfWidth *= 2;
    title.lfQuality = DRAFT_QUALITY;
    title.lfOutPrecision = OUT_CHARACTER_PRECIS;
    title.lfPitchAndFamily = VARIABLE_PITCH;
    for (int i : {headerFont, cellFont}) {
        std::strcpy(m_fontDescriptions[i].lfFaceName, "Arial");
        m_fontDescriptions[i].lfQuality = DRAFT_QUALITY;
        m_fontDescriptions[i].lfOutPrecision = OUT_TT_ONLY_PRECIS;
    }
}

void TkCalendar::FitFonts() {
    if (!(m_options & optFitFonts) || !m_hWnd) return;
    HDC dc = GetDC(m_hWnd);
    LOGFONT stock;
    GetObject(GetStockObject(SYSTEM_FONT), sizeof stock, &stock);
    // The stock description leaves its width to the face; fitting starts from the width it shows.
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    for (LOGFONT& description : m_fontDescriptions) {
        description.lfHeight = stock.lfHeight;
        description.lfWidth = tm.tmAveCharWidth;
    }
    m_title.FitFont(dc, m_fontDescriptions[titleFont]);
    m_header.FitFont(dc, m_fontDescriptions[headerFont]);
    m_cells[0].FitFont(dc, m_fontDescriptions[cellFont]);
    ReleaseDC(m_hWnd, dc);
    DeleteFonts();
    for (int i = 0; i < 3; ++i)
        m_fonts[i] = CreateFontIndirect(m_fontDescriptions[i]);
}

SIZE TkCalendar::GetContentSize(HDC dc) {
    if (!m_fonts[titleFont]) CreateFonts();
    LOGFONT fonts[3];
    for (int i = 0; i < 3; ++i)
        GetObject(m_fonts[i], sizeof fonts[i], &fonts[i]);
    TkDayBox probe;
    probe.Create(RECT{}, this, 0, 0, TRUE, FALSE, m_otherMonthStyle, m_options, m_bevelWidth);
    m_title.SetFlags(m_shownMonthStyle | TkPanel::textCentred);
    m_header.SetFlags(m_shownMonthStyle);
    const SIZE title = m_title.Measure(dc, fonts[titleFont]);
    const SIZE header = m_header.Measure(dc, fonts[headerFont]);
    const SIZE cell = probe.Measure(dc, fonts[cellFont]);
    return {std::max({title.cx, header.cx, 7 * cell.cx}), header.cy + title.cy + 6 * cell.cy};
}

void TkCalendar::LoadColors() {
    m_dayTextColor = GetSysColor(COLOR_WINDOWTEXT);
    m_headerTextColor = GetSysColor(COLOR_BTNTEXT);
    m_titleTextColor = GetSysColor(COLOR_CAPTIONTEXT);
    m_dimmedTextColor = GetSysColor(COLOR_GRAYTEXT);
}

void TkCalendar::NormalizeDate(OleDateTime& date) const {
    if (date.GetStatus() != OleDateTime::valid) return;
    date = OleDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), 12, 0, 0);
}

BOOL TkCalendar::IsValidDate(int year, int month, int) const {
    // Months counted on from year 0, so a month past 12 (a rough sum) lands in the next year.
    const long long months = (long long)year * 12 + (month - 1);
    return months >= 100LL * 12 + 1 && months <= 9999LL * 12 + 10;
}

void TkCalendar::OnInvalidDate() {
    MessageBeep(MB_ICONEXCLAMATION);
}

BOOL TkCalendar::SetDate(double date, BOOL redraw) {
    return SetDate(OleDateTime(date), redraw);
}

BOOL TkCalendar::SetDate(const OleDateTime& date, BOOL redraw) {
    if ((m_created && (m_options & optFixedDate)) || date.GetStatus() != OleDateTime::valid ||
        !IsValidDate(date.GetYear(), date.GetMonth(), date.GetDay())) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_shownDate = date;
    m_shownDateSet = true;
    NormalizeDate(m_shownDate);
    m_title.SetDate(m_shownDate);
    FillDays();
    if (redraw && m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow(m_hWnd);
    }
    return TRUE;
}

void TkCalendar::SetFirstDayOfWeek(int day, BOOL redraw) {
    if (day < 1 || day > 7) return;
    m_header.SetFirstDayOfWeek(day);
    if (!m_hWnd) return;
    FillDays();
    if (redraw) {
        Invalidate(FALSE);
        UpdateWindow(m_hWnd);
    }
}

void TkCalendar::FillDays() {
    m_keyboardDate = m_shownDate;
    OleDateTime day(m_shownDate.GetYear(), m_shownDate.GetMonth(), 1, 12, 0, 0);
    while (day.GetDayOfWeek() != m_header.GetFirstDayOfWeek())
        day -= oneDay;
    bool inShownMonth = false;
    for (TkDayBox& cell : m_cells) {
        if (day.GetDay() == 1) inShownMonth = !inShownMonth;
        cell.SetDate(day);
        cell.SetFlags(inShownMonth ? m_shownMonthStyle : m_otherMonthStyle);
        cell.SetOtherMonth(!inShownMonth);
        cell.SetMarked(std::binary_search(m_markedDates.begin(), m_markedDates.end(), day), FALSE);
        const bool selected = m_hasSelectedDate && m_selectedDate == day;
        cell.SetSelected(selected, FALSE);
        if (selected) m_keyboardDate = day;
        day += oneDay;
    }
}

void TkCalendar::PostNotify(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_notifyWindow && m_notifyWindow->m_hWnd) m_notifyWindow->PostMessage(message, wParam, lParam);
}

BOOL TkCalendar::SelectDate(double date, BOOL select) {
    return SelectDate(OleDateTime(date), select);
}

BOOL TkCalendar::SelectDate(const OleDateTime& value, BOOL select) {
    if (value.GetStatus() != OleDateTime::valid ||
        !IsValidDate(value.GetYear(), value.GetMonth(), value.GetDay()))
        return FALSE;
    OleDateTime date = value;
    NormalizeDate(date);
    if (select) {
        m_selectedDate = m_keyboardDate = date;
        m_hasSelectedDate = true;
    } else {
        m_hasSelectedDate = false;
    }
    for (TkDayBox& cell : m_cells) {
        if (cell.GetDate() == date) {
            cell.SetSelected(select, TRUE);
            m_selectedCell = &cell;
            if (m_created) {
                PostNotify(WM_CAL_SELECTED, WPARAM(select), reinterpret_cast<LPARAM>(&cell));
                if (m_options & optChooseEverySelection)
                    PostNotify(WM_CAL_CHOSEN, WPARAM(select), reinterpret_cast<LPARAM>(&cell));
            }
        } else if (cell.ShowsSelected()) {
            cell.SetSelected(FALSE, TRUE);
        }
    }
    if (m_created) SetFocus(m_hWnd);
    return TRUE;
}

OleDateTime TkCalendar::GetSelectedDate() const {
    if (m_selectedCell && m_selectedCell->ShowsSelected()) return m_selectedCell->GetDate();
    OleDateTime none;
    none.SetStatus(OleDateTime::invalid);
    return none;
}

BOOL TkCalendar::MarkDate(double date, BOOL mark) {
    return MarkDate(OleDateTime(date), mark);
}

BOOL TkCalendar::MarkDate(const OleDateTime& value, BOOL mark) {
    if (value.GetStatus() != OleDateTime::valid) return FALSE;
    OleDateTime date = value;
    NormalizeDate(date);
    for (TkDayBox& cell : m_cells)
        if (cell.GetDate() == date) {
            cell.SetMarked(mark, TRUE);
            PostNotify(WM_CAL_MARKED, WPARAM(mark), reinterpret_cast<LPARAM>(&cell));
        }
    const auto at = std::lower_bound(m_markedDates.begin(), m_markedDates.end(), date);
    const bool present = at != m_markedDates.end() && *at == date;
    if (mark && !present) m_markedDates.insert(at, date);
    if (!mark && present) m_markedDates.erase(at);
    return TRUE;
}

BOOL TkCalendar::ToggleSelection(double date) {
    return ToggleSelection(OleDateTime(date));
}

BOOL TkCalendar::ToggleSelection(const OleDateTime& value) {
    OleDateTime date = value;
    NormalizeDate(date);
    for (TkDayBox& cell : m_cells)
        if (cell.GetDate() == date) {
            SelectDate(date, !cell.IsSelected());
            if (m_options & optChooseEverySelection) Choose();
            return TRUE;
        }
    return FALSE;
}

BOOL TkCalendar::ToggleMark(double date) {
    return ToggleMark(OleDateTime(date));
}

BOOL TkCalendar::ToggleMark(const OleDateTime& value) {
    OleDateTime date = value;
    NormalizeDate(date);
    for (TkDayBox& cell : m_cells)
        if (cell.GetDate() == date) {
            MarkDate(date, !cell.IsMarked());
            break;
        }
    return TRUE;
}

COLORREF TkCalendar::SetDayMarkColor(double date, COLORREF colour) {
    return SetDayMarkColor(OleDateTime(date), colour);
}

COLORREF TkCalendar::SetDayMarkColor(const OleDateTime& value, COLORREF colour) {
    OleDateTime date = value;
    NormalizeDate(date);
    for (TkDayBox& cell : m_cells)
        if (cell.GetDate() == date) return cell.SetMarkColor(colour);
    return 255;
}

int TkCalendar::GetMarkedDates(OleDateTime* dates, int capacity) const {
    const int n = std::clamp(capacity, 0, GetMarkedCount());
    std::copy_n(m_markedDates.begin(), n, dates);
    return n;
}

int TkCalendar::GetMarkedDates(std::int32_t* days, int capacity) const {
    const int n = std::clamp(capacity, 0, GetMarkedCount());
    for (int i = 0; i < n; ++i)
        days[i] = std::int32_t(m_markedDates[std::size_t(i)].Value());
    return n;
}

BOOL TkCalendar::SetOption(DWORD option, BOOL on) {
    const BOOL was = (m_options & option) != 0;
    m_options = on ? m_options | option : m_options & ~option;
    return was;
}

const RECT* TkCalendar::GetCalendarRect() const {
    static RECT shared;
    shared = RECT{};
    if (m_hWnd) GetWindowRect(m_hWnd, &shared);
    return &shared;
}

COLORREF TkCalendar::SetDayTextColor(COLORREF colour) {
    const COLORREF old = m_dayTextColor;
    m_dayTextColor = colour;
    return old;
}

RECT TkCalendar::SetWindowRect(const RECT& rect) {
    if (!m_hWnd) return RECT{};
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    GetWindowPlacement(m_hWnd, &placement);
    const RECT old = placement.rcNormalPosition;
    placement.rcNormalPosition = rect;
    SetWindowPlacement(m_hWnd, &placement);
    Layout();
    FitFonts();
    Invalidate(FALSE);
    return old;
}

BOOL TkCalendar::RoughCheck(const OleDateTime& from, const OleDateTimeSpan& span) {
    const std::int64_t days = span.GetDays();
    const std::int64_t years = days / 365, rest = days % 365;
    const std::int64_t months = rest / 28, remaining = rest % 28;
    return IsValidDate(int(from.GetYear() + years), int(from.GetMonth() + months),
                       int(from.GetDay() + remaining));
}

BOOL TkCalendar::OffsetSelection(long seconds) {
    return OffsetSelection(SpanOfSeconds(seconds));
}

BOOL TkCalendar::OffsetSelection(const OleDateTimeSpan& span) {
    if (!m_selectedCell) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    const OleDateTime from = m_selectedCell->GetDate();
    if (!RoughCheck(from, span)) {
        OnInvalidDate();
        return FALSE;
    }
    const OleDateTime to = from + span;
    if (!SameMonth(to, m_shownDate) && !SetDate(to, TRUE)) return FALSE;
    return SelectDate(to, TRUE);
}

BOOL TkCalendar::OffsetDisplay(long seconds) {
    return OffsetDisplay(SpanOfSeconds(seconds));
}

BOOL TkCalendar::OffsetDisplay(const OleDateTimeSpan& span) {
    if (!RoughCheck(m_shownDate, span)) {
        OnInvalidDate();
        return FALSE;
    }
    return SetDate(m_shownDate + span, TRUE);
}

BOOL TkCalendar::MoveNextDay(BOOL fromSelection) {
    return fromSelection ? OffsetSelection(oneDay) : OffsetDisplay(oneDay);
}

BOOL TkCalendar::MovePrevDay(BOOL fromSelection) {
    return fromSelection ? OffsetSelection(-oneDay) : OffsetDisplay(-oneDay);
}

BOOL TkCalendar::MoveNextWeek(BOOL fromSelection) {
    if (m_hWnd) SetFocus(m_hWnd);
    const OleDateTimeSpan week(7.0);
    return fromSelection ? OffsetSelection(week) : OffsetDisplay(week);
}

BOOL TkCalendar::MovePrevWeek(BOOL fromSelection) {
    if (m_hWnd) SetFocus(m_hWnd);
    const OleDateTimeSpan week(-7.0);
    return fromSelection ? OffsetSelection(week) : OffsetDisplay(week);
}

BOOL TkCalendar::StepMonth(BOOL fromSelection, bool forward) {
    const OleDateTime start = fromSelection && m_selectedCell ? m_selectedCell->GetDate() : m_shownDate;
    OleDateTime target;
    if (forward) {
        target = OleDateTime(start.GetYear(), start.GetMonth(), 1, 12, 0, 0) + OleDateTimeSpan(27.0);
        while (target.GetDay() != 1)
            target += oneDay;
    } else {
        target = OleDateTime(start.GetYear(), start.GetMonth(), 1, 0, 0, 0) - OleDateTimeSpan(27.0);
        while (target.GetDay() != 1)
            target -= oneDay;
    }
    const OleDateTimeSpan span = target - start;
    const BOOL moved = fromSelection ? OffsetSelection(span) : OffsetDisplay(span);
    // Stepping the shown month keeps the selection at the same place of the grid.
    if (m_selectedCell) SelectDate(m_selectedCell->GetDate(), TRUE);
    return moved;
}

BOOL TkCalendar::NextMonth(BOOL fromSelection) {
    return StepMonth(fromSelection, true);
}

BOOL TkCalendar::PrevMonth(BOOL fromSelection) {
    return StepMonth(fromSelection, false);
}

BOOL TkCalendar::StepYear(BOOL fromSelection, bool forward) {
    const OleDateTime start = fromSelection && m_selectedCell ? m_selectedCell->GetDate() : m_shownDate;
    const int year = start.GetYear();
    if (!IsValidDate(forward ? year : year - 1, 12, 31)) {
        OnInvalidDate();
        return FALSE;
    }
    const int to = forward ? year + 1 : year - 1;
    const bool leapDay = start.GetMonth() == 2 && start.GetDay() == 29;
    const OleDateTime target = leapDay ? OleDateTime(to, 2, 28, 0, 0, 0)
                                       : OleDateTime(to, start.GetMonth(), start.GetDay(), 12, 0, 0);
    const OleDateTimeSpan span = target - start;
    const BOOL moved = fromSelection ? OffsetSelection(span) : OffsetDisplay(span);
    if (m_selectedCell) SelectDate(m_selectedCell->GetDate(), TRUE);
    return moved;
}

BOOL TkCalendar::NextYear(BOOL fromSelection) {
    return StepYear(fromSelection, true);
}

BOOL TkCalendar::PrevYear(BOOL fromSelection) {
    return StepYear(fromSelection, false);
}

void TkCalendar::Choose() {
    const bool withCell = (m_options & optChooseEverySelection) && m_selectedCell;
    PostNotify(WM_CAL_CHOSEN, withCell ? WPARAM(m_selectedCell->IsSelected()) : 0,
               withCell ? reinterpret_cast<LPARAM>(m_selectedCell) : 0);
    if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
}

void TkCalendar::Cancel() {
    PostNotify(WM_CAL_CANCELLED, 0, 0);
    if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
}

LRESULT TkCalendar::OnChosen(WPARAM wParam, LPARAM lParam) {
    PostNotify(WM_CAL_CHOSEN, wParam, lParam);
    ShowWindow(m_hWnd, SW_HIDE);
    return 0;
}

LRESULT TkCalendar::OnCancelled(WPARAM wParam, LPARAM lParam) {
    PostNotify(WM_CAL_CANCELLED, wParam, lParam);
    ShowWindow(m_hWnd, SW_HIDE);
    return 0;
}

BOOL TkCalendar::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case TkCalTitle::idNextMonth:
        NextMonth(FALSE);
        return TRUE;
    case TkCalTitle::idPrevYear:
        PrevYear(FALSE);
        return TRUE;
    case TkCalTitle::idNextYear:
        NextYear(FALSE);
        return TRUE;
    case TkCalTitle::idPrevMonth:
        PrevMonth(FALSE);
        return TRUE;
    default:
        return CWnd::OnCommand(wParam, lParam);
    }
}

LRESULT TkCalendar::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    auto visible = [&](const TkPanel& panel) {
        const RECT r = panel.GetRect();
        const RECT drawn{r.left, r.top, r.right + 1, r.bottom + 1};
        return RectVisible(dc, &drawn);
    };
    HGDIOBJ old = SelectObject(dc, m_fonts[titleFont]);
    if (visible(m_title)) m_title.Draw(dc);
    SelectObject(dc, m_fonts[headerFont]);
    if (visible(m_header)) m_header.Draw(dc);
    SelectObject(dc, m_fonts[cellFont]);
    for (TkDayBox& cell : m_cells)
        if (visible(cell)) cell.Draw(dc);
    SelectObject(dc, old);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT TkCalendar::OnKeyDown(WPARAM key, LPARAM) {
    if (m_options & optKeyboard) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        const OleDateTime first(m_shownDate.GetYear(), m_shownDate.GetMonth(), 1, 12, 0, 0);
        switch (int(key)) {
        case VK_ESCAPE:
        case VK_CANCEL:
            Cancel();
            break;
        case VK_RETURN:
            if (GetSelectedDate().GetStatus() == OleDateTime::valid)
                Choose();
            else
                Cancel();
            break;
        case VK_SPACE:
            ToggleSelection(m_keyboardDate);
            break;
        case VK_HOME:
            SelectDate(first, TRUE);
            break;
        case VK_END: {
            OleDateTime last = first + OleDateTimeSpan(27.0);
            while ((last + oneDay).GetMonth() == first.GetMonth())
                last += oneDay;
            SelectDate(last, TRUE);
            break;
        }
        case VK_LEFT:
        case VK_NUMPAD4:
            control ? PrevMonth(TRUE) : MovePrevDay(TRUE);
            break;
        case VK_RIGHT:
        case VK_NUMPAD6:
            control ? NextMonth(TRUE) : MoveNextDay(TRUE);
            break;
        case VK_UP:
        case VK_NUMPAD8:
            control ? PrevYear(TRUE) : MovePrevWeek(TRUE);
            break;
        case VK_DOWN:
        case VK_NUMPAD2:
            control ? NextYear(TRUE) : MoveNextWeek(TRUE);
            break;
        case VK_PRIOR:
            control ? PrevYear(TRUE) : PrevMonth(TRUE);
            break;
        case VK_NEXT:
            control ? NextYear(TRUE) : NextMonth(TRUE);
            break;
        default:
            break;
        }
    }
    return Default();
}

TkDayBox* TkCalendar::CellAt(POINT client) {
    for (TkDayBox& cell : m_cells)
        if (cell.PtInPanel(client)) return &cell;
    return nullptr;
}

bool TkCalendar::InClient(POINT client) const {
    RECT r;
    GetClientRect(m_hWnd, &r);
    return r.Contains(client.x, client.y);
}

void TkCalendar::PickCell(TkDayBox& cell) {
    const OleDateTime date = cell.GetDate();
    if (cell.IsOtherMonth() && !(m_options & optPickOtherMonth) && !SetDate(date, TRUE)) return;
    if (m_options & optDragSelect)
        SelectDate(date, TRUE);
    else
        ToggleSelection(date);
}

void TkCalendar::RightClickCell(TkDayBox& cell) {
    const OleDateTime date = cell.GetDate();
    if (cell.IsOtherMonth()) SetDate(date, TRUE);
    ToggleMark(date);
}

LRESULT TkCalendar::OnLButtonDown(WPARAM, LPARAM point) {
    const LRESULT result = Default();
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    TkDayBox* cell = CellAt(p);
    if (!cell) return result;
    m_restoreSelection = m_hasSelectedDate && SameMonth(m_selectedDate, m_shownDate);
    m_restoreDate = m_selectedDate;
    const OleDateTime date = cell->GetDate();
    cell->Pick();
    const bool selected =
        m_selectedCell && m_selectedCell->GetDate() == date && m_selectedCell->ShowsSelected();
    if (selected && (m_options & optDragSelect)) {
        SetCapture(m_hWnd);
        m_tracking = TRUE;
    }
    return result;
}

LRESULT TkCalendar::OnMouseMove(WPARAM, LPARAM point) {
    const LRESULT result = Default();
    if (!m_tracking) return result;
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (TkDayBox* cell = CellAt(p)) {
        if (!cell->ShowsSelected()) cell->Pick();
    } else if (!InClient(p) && m_selectedCell && m_selectedCell->ShowsSelected()) {
        SelectDate(m_selectedCell->GetDate(), FALSE);
    }
    return result;
}

void TkCalendar::EndTracking(bool restore) {
    m_tracking = FALSE;
    if (restore && m_restoreSelection) SelectDate(m_restoreDate, TRUE);
}

LRESULT TkCalendar::OnLButtonUp(WPARAM, LPARAM point) {
    const LRESULT result = Default();
    if (!m_tracking) return result;
    // Tracking ends first, so the capture's own release is not taken for another window's.
    m_tracking = FALSE;
    ReleaseCapture();
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (TkDayBox* cell = CellAt(p)) {
        cell->Pick();
        if (m_options & optChooseOnPick) Choose();
    } else if (InClient(p)) {
        if (m_options & optChooseOnPick) Choose();
    } else {
        EndTracking(true);
    }
    return result;
}

LRESULT TkCalendar::OnCancelMode(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (m_tracking) {
        m_tracking = FALSE;
        ReleaseCapture();
        EndTracking(true);
    }
    return result;
}

LRESULT TkCalendar::OnCaptureChanged(WPARAM, LPARAM newCapture) {
    const LRESULT result = Default();
    // The capture went elsewhere (another window took it, the application lost the user): a
    // drag cannot go on without the button's moves.
    if (m_tracking && HWND(newCapture) != m_hWnd) EndTracking(true);
    return result;
}

LRESULT TkCalendar::OnLButtonDblClk(WPARAM, LPARAM point) {
    const LRESULT result = Default();
    if (TkDayBox* cell = CellAt(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)})) cell->OnDoubleClick();
    return result;
}

LRESULT TkCalendar::OnRButtonDown(WPARAM, LPARAM point) {
    const LRESULT result = Default();
    if (TkDayBox* cell = CellAt(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)})) cell->OnRightClick();
    return result;
}

LRESULT TkCalendar::OnSysColorChange(WPARAM, LPARAM) {
    tkSysMetrics.UpdateSysColors();
    LoadColors();
    return Default();
}

} // namespace vq
