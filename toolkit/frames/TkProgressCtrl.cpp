#include "toolkit/frames/TkProgressCtrl.h"

#include "platform/core/Format.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkProgressCtrl, CProgressCtrl)

VQ_BEGIN_MESSAGE_MAP(TkProgressCtrl, CProgressCtrl)
VQ_ON_MESSAGE(WM_CREATE, OnCreate)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
VQ_ON_MESSAGE(WM_TIMER, OnTimer)
VQ_END_MESSAGE_MAP()

BOOL TkProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD styleFlags) {
    if (m_created) return FALSE;
    m_styleFlags = styleFlags;
    m_created = CProgressCtrl::Create(style, rect, parent, id);
    // A control of the window layer's class is attached after its WM_CREATE has gone by.
    if (m_created) UpdateClientRect();
    return m_created;
}

BOOL TkProgressCtrl::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!CWnd::SubclassDlgItem(id, parent)) return FALSE;
    m_created = TRUE;
    UpdateClientRect();
    return TRUE;
}

void TkProgressCtrl::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    if (m_hWnd) SetRange32(lower, upper);
}

void TkProgressCtrl::Repaint() {
    if (m_created && m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
    }
}

int TkProgressCtrl::SetPos(int position, BOOL pump) {
    int old = m_position;
    m_position = position;
    if (IsNative() && m_hWnd) old = CProgressCtrl::SetPos(position);
    Repaint();
    if (pump) PumpPaintMessages();
    return old;
}

int TkProgressCtrl::OffsetPos(int delta, BOOL pump) {
    if (!IsNative() || !m_hWnd) return SetPos(int(std::int64_t(m_position) + delta), pump);
    const int old = m_position;
    m_position = int(std::int64_t(m_position) + delta);
    CProgressCtrl::OffsetPos(delta);
    if (pump) PumpPaintMessages();
    return old;
}

int TkProgressCtrl::SetStep(int step) {
    const int old = m_step;
    m_step = step;
    if (m_hWnd) CProgressCtrl::SetStep(step);
    return old;
}

void TkProgressCtrl::SetColors(COLORREF bar, COLORREF background) {
    m_barColor = bar;
    m_backgroundColor = background;
    Repaint();
}

void TkProgressCtrl::SetTextFont(HFONT font, BOOL redraw) {
    m_font = font;
    if (redraw) Repaint();
}

void TkProgressCtrl::SetCaption(const std::string& caption) {
    m_caption = caption;
}

void TkProgressCtrl::GetCaption(std::string& caption) const {
    caption = m_caption;
}

int TkProgressCtrl::StepIt(BOOL pump) {
    if (!IsNative() || !m_hWnd) return OffsetPos(m_step, pump);
    const int old = m_position;
    m_position = int(std::int64_t(m_position) + m_step);
    CProgressCtrl::StepIt();
    if (pump) PumpPaintMessages();
    return old;
}

void TkProgressCtrl::Reset() {
    SetPos(m_lower, FALSE);
    if (m_created) {
        UpdateClientRect();
        Repaint();
    }
}

BOOL TkProgressCtrl::SetAutoStep(UINT milliseconds) {
    if (m_position >= m_upper) {
        KillTimer(m_hWnd, kAutoStepTimer);
        return FALSE;
    }
    if (milliseconds == 0) {
        KillTimer(m_hWnd, kAutoStepTimer);
        return TRUE;
    }
    return SetTimer(m_hWnd, kAutoStepTimer, milliseconds, nullptr) != 0;
}

void TkProgressCtrl::UpdateClientRect() {
    if (m_hWnd) GetClientRect(m_hWnd, &m_clientRect);
}

void TkProgressCtrl::FillBar(HDC dc, const RECT& r) {
    HBRUSH brush = CreateSolidBrush(m_barColor);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void TkProgressCtrl::FillBackground(HDC dc, const RECT& r) {
    HBRUSH brush = CreateSolidBrush(m_backgroundColor);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

std::string TkProgressCtrl::BarText(double percent) const {
    if (m_styleFlags & percentText) return Format("%d %%", int(std::min(100.0, percent + 0.5)));
    if (m_styleFlags & captionText) return m_caption;
    return {};
}

void TkProgressCtrl::AdjustText(std::string&) {}

void TkProgressCtrl::DrawBarText(HDC dc, double percent, const RECT& emptyPart, const RECT& filledPart) {
    std::string text = BarText(percent);
    AdjustText(text);
    if (text.empty()) return;
    HGDIOBJ oldFont = m_font ? SelectObject(dc, m_font) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    format |= (m_styleFlags & textLeft) ? DT_LEFT : (m_styleFlags & textRight) ? DT_RIGHT : DT_CENTER;
    // The text twice over the whole bar, each time clipped to one part in the other part's colour.
    const std::pair<const RECT*, COLORREF> passes[] = {{&filledPart, m_backgroundColor},
                                                       {&emptyPart, m_barColor}};
    for (const auto& [part, colour] : passes) {
        if (part->IsEmpty()) continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, part->left, part->top, part->right, part->bottom);
        SetTextColor(dc, colour);
        RECT whole = m_clientRect;
        DrawText(dc, text.c_str(), int(text.size()), &whole, format);
        RestoreDC(dc, saved);
    }
    SetBkMode(dc, oldMode);
    if (oldFont) SelectObject(dc, oldFont);
}

double TkProgressCtrl::GetPercent() {
    // Signed bounds and a 64-bit span: a position below a range that starts at 0 is empty, not full.
    const std::int64_t low = std::min(m_lower, m_upper), high = std::max(m_lower, m_upper);
    const std::int64_t position = std::clamp<std::int64_t>(m_position, low, high);
    const std::int64_t span = m_upper == m_lower ? 1 : std::int64_t(m_upper) - m_lower;
    return double(position - m_lower) / double(span) * 100.0;
}

void TkProgressCtrl::CalcRects(double percent, RECT& filledPart, RECT& emptyPart) {
    const RECT& c = m_clientRect;
    const bool upright = (m_styleFlags & vertical) != 0;
    const std::int32_t extent = upright ? c.Height() : c.Width();
    const auto d = std::int32_t(percent * 0.01 * extent);
    if (!upright) {
        if (m_styleFlags & fillFromRight) {
            filledPart = {c.right - d, c.top, c.right, c.bottom};
            emptyPart = {c.left, c.top, c.right - d, c.bottom};
        } else {
            filledPart = {c.left, c.top, c.left + d, c.bottom};
            emptyPart = {c.left + d, c.top, c.right, c.bottom};
        }
    } else if (m_styleFlags & fillFromTop) {
        filledPart = {c.left, c.top, c.right, c.top + d};
        emptyPart = {c.left, c.top + d, c.right, c.bottom};
    } else {
        filledPart = {c.left, c.bottom - d, c.right, c.bottom};
        emptyPart = {c.left, c.top, c.right, c.bottom - d};
    }
}

void TkProgressCtrl::DrawToMemory(double percent, const RECT& filledPart, const RECT& emptyPart, HDC dc) {
    const std::int32_t width = m_clientRect.Width(), height = m_clientRect.Height();
    if (width <= 0 || height <= 0) return;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    FillBackground(memory, emptyPart);
    FillBar(memory, filledPart);
    DrawBarText(memory, percent, emptyPart, filledPart);
    BitBlt(dc, m_clientRect.left, m_clientRect.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void TkProgressCtrl::Paint(HDC dc) {
    if (!m_visible) return;
    RECT filled, empty;
    const double percent = GetPercent();
    CalcRects(percent, filled, empty);
    DrawToMemory(percent, filled, empty, dc);
}

void TkProgressCtrl::SetStyleFlags(DWORD flags) {
    if ((flags & nativeMode) && !IsNative() && m_hWnd) CProgressCtrl::SetPos(m_position);
    m_styleFlags = flags;
    Repaint();
}

void TkProgressCtrl::PumpPaintMessages() {
    MSG msg;
    while (PeekMessage(&msg, 0, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessage(&msg);
}

LRESULT TkProgressCtrl::OnCreate(WPARAM, LPARAM) {
    const LRESULT result = Default();
    UpdateClientRect();
    return result;
}

LRESULT TkProgressCtrl::OnEraseBkgnd(WPARAM, LPARAM) {
    return IsNative() ? Default() : 1;
}

LRESULT TkProgressCtrl::OnPaint(WPARAM, LPARAM) {
    if (IsNative()) return Default();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    Paint(dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT TkProgressCtrl::OnSize(WPARAM, LPARAM) {
    const LRESULT result = Default();
    UpdateClientRect();
    return result;
}

LRESULT TkProgressCtrl::OnShowWindow(WPARAM shown, LPARAM) {
    const LRESULT result = Default();
    m_visible = shown != 0;
    return result;
}

LRESULT TkProgressCtrl::OnTimer(WPARAM id, LPARAM) {
    if (id == kAutoStepTimer) {
        StepIt(TRUE);
        if (m_position >= m_upper) KillTimer(m_hWnd, kAutoStepTimer);
    }
    return Default();
}

} // namespace vq
