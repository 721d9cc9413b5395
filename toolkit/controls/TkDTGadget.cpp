#include "toolkit/controls/TkDTGadget.h"

#include "platform/gui/Beep.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/WindowSystem.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/LoadBitmapWithSysColors.h"
#include "toolkit/controls/TkDateTimeCtrl.h"
#include "toolkit/controls/TkResources.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>
#include <unordered_map>

namespace vq {

namespace {

constexpr UINT defaultBeep = 0xFFFFFFFF;
constexpr UINT firstRepeatDelay = 500;
constexpr UINT repeatInterval = 100;

// Windowless timers get ids the window layer chooses, so they are keyed by the id returned.
std::unordered_map<std::uintptr_t, TkDTGadget*>& GadgetTimers() {
    static std::unordered_map<std::uintptr_t, TkDTGadget*> timers;
    return timers;
}

void AppendUtf8(std::string& out, UINT c) {
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
}

// Decodes one character; a malformed sequence yields its first byte alone so the walk still ends.
UINT NextCodePoint(const std::string& s, std::size_t& i) {
    const auto b = [&](std::size_t k) { return UINT(static_cast<unsigned char>(s[k])); };
    const UINT lead = b(i);
    const int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + std::size_t(extra) >= s.size()) {
        ++i;
        return lead;
    }
    UINT c = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((b(i + std::size_t(k)) & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        c = c << 6 | (b(i + std::size_t(k)) & 0x3F);
    }
    i += std::size_t(extra) + 1;
    return c;
}

// Case folding for the scripts whose month and day names have cases.
UINT Fold(UINT c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

// Whether `name` begins with `prefix`, character by character without case.
bool StartsWithNoCase(const std::string& name, const std::string& prefix) {
    std::size_t i = 0, j = 0;
    while (j < prefix.size()) {
        if (i >= name.size()) return false;
        if (Fold(NextCodePoint(name, i)) != Fold(NextCodePoint(prefix, j))) return false;
    }
    return true;
}

constexpr UINT fieldText = DT_CENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
constexpr std::int32_t fixedWidth = 16;
// Unset names show a run long enough to fill the widest name.
constexpr std::size_t unsetNameRun = 80;

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    const COLORREF old = SetBkColor(dc, colour);
    ExtTextOut(dc, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    SetBkColor(dc, old);
}

// A one-pixel ring: the first colour along the top and left, the second along the bottom and right.
void Ring(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

RECT Shrunk(const RECT& r, std::int32_t by) {
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// Focused fields show in the highlight colours, others in the control's.
void FieldColours(HDC dc, const TkDateTimeCtrl* owner, bool focus, const RECT& r) {
    const COLORREF text = focus ? tkSysMetrics.m_crHighlightText : owner ? owner->GetTextColour() : 0;
    const COLORREF back = focus ? tkSysMetrics.m_crHighlight : owner ? owner->GetBackColour() : 0xFFFFFF;
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    Fill(dc, r, back);
}

} // namespace

void GadgetTimerProc(HWND, UINT, std::uintptr_t id, DWORD) {
    const auto& timers = GadgetTimers();
    if (const auto it = timers.find(id); it != timers.end()) it->second->OnTimer();
}

TkDTGadget::~TkDTGadget() {
    StopTimer();
}

void TkDTGadget::Initialize(TkDateTimeCtrl* owner, std::int32_t id) {
    m_owner = owner;
    m_id = id;
}

BOOL TkDTGadget::SetFocus(BOOL focus) {
    if (!(m_flags & takesFocus)) return FALSE;
    if ((focus != FALSE) != (m_focus != FALSE)) {
        m_focus = focus != FALSE;
        Invalidate(false);
    }
    return TRUE;
}

BOOL TkDTGadget::Notify(int event, std::int32_t value) {
    return m_owner ? m_owner->OnGadgetEvent(event, m_id, value) : FALSE;
}

void TkDTGadget::Invalidate(bool updateNow) {
    if (m_owner) m_owner->InvalidateGadget(*this, updateNow);
}

void TkDTGadget::Capture(bool capture) {
    if (m_owner) m_owner->CaptureGadget(capture ? this : nullptr);
}

void TkDTGadget::StartTimer(UINT milliseconds) {
    StopTimer();
    const std::uintptr_t id = SetTimer(HWND{}, 1, milliseconds, &GadgetTimerProc);
    if (id == 0) return;
    m_timer = id;
    GadgetTimers()[id] = this;
}

void TkDTGadget::StopTimer() {
    if (m_timer == 0) return;
    KillTimer(HWND{}, m_timer);
    GadgetTimers().erase(m_timer);
    m_timer = 0;
}

BOOL TkDTStaticGadget::Initialize(TkDateTimeCtrl* owner, std::string text, std::int32_t id) {
    TkDTGadget::Initialize(owner, id);
    m_text = std::move(text);
    return TRUE;
}

void TkDTStaticGadget::CalcSize(HDC dc) {
    RECT r{};
    DrawText(dc, m_text.c_str(), int(m_text.size()), &r,
             DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    m_rect = RECT{0, 0, r.Width(), r.Height()};
}

void TkDTStaticGadget::Draw(HDC dc) {
    if (m_owner) {
        SetTextColor(dc, m_owner->GetTextColour());
        SetBkColor(dc, m_owner->GetBackColour());
    }
    RECT r = m_rect;
    DrawText(dc, m_text.c_str(), int(m_text.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

BOOL TkDTNumericGadget::Initialize(TkDateTimeCtrl* owner, int, int largest, int value, BOOL leadingZeros,
                                   std::int32_t id) {
    TkDTGadget::Initialize(owner, id);
    m_largest = largest;
    m_digits = largest <= 9 ? 1 : largest <= 99 ? 2 : largest <= 999 ? 3 : 4;
    m_value = value;
    m_leadingZeros = leadingZeros;
    return TRUE;
}

std::string TkDTNumericGadget::GetText() const {
    const int shown = m_typing ? m_typed : m_value;
    std::string digits = std::to_string(shown < 0 ? -shown : shown);
    if (m_leadingZeros && int(digits.size()) < m_digits)
        digits.insert(0, std::size_t(m_digits) - digits.size(), '0');
    return shown < 0 ? "-" + digits : digits;
}

void TkDTNumericGadget::CalcSize(HDC dc) {
    const std::string zeros(std::size_t(m_digits), '0');
    SIZE size{};
    GetTextExtentPoint32(dc, zeros.c_str(), int(zeros.size()), &size);
    m_rect = RECT{0, 0, size.cx, size.cy};
}

void TkDTNumericGadget::Draw(HDC dc) {
    FieldColours(dc, m_owner, m_focus != FALSE, m_rect);
    const bool placeholders = (m_flags & unset) && !m_typing;
    const std::string text =
        placeholders ? std::string(std::size_t(m_digits), m_owner ? m_owner->GetPlaceholder() : '_')
                     : GetText();
    RECT r = m_rect;
    DrawText(dc, text.c_str(), int(text.size()), &r, fieldText);
}

BOOL TkDTNumericGadget::SetFocus(BOOL focus) {
    Commit();
    return TkDTGadget::SetFocus(focus);
}

void TkDTNumericGadget::OnKeyDown(UINT key) {
    const bool digitKey = (key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9);
    if (!digitKey && m_typing && !Commit()) return;
    switch (key) {
    case VK_END:
        Notify(9, 0);
        break;
    case VK_HOME:
        Notify(8, 0);
        break;
    case VK_UP:
    case VK_ADD:
        Notify(1, 0);
        break;
    case VK_DOWN:
    case VK_SUBTRACT:
        Notify(2, 0);
        break;
    default:
        break;
    }
}

void TkDTNumericGadget::OnChar(UINT character) {
    if (character < '0' || character > '9') {
        if (!m_typing) return;
        MessageBeep(defaultBeep);
        m_typing = false;
        m_typedDigits = 0;
        Invalidate(false);
        Notify(10, 0);
        return;
    }
    const int digit = int(character - '0');
    if (!m_typing) {
        m_typing = true;
        m_typed = 0;
        m_typedDigits = 0;
        Notify(10, 1);
    }
    if (digit == 0 && m_typed == 0 && m_typedDigits > 0) return;
    m_typed = m_typed * 10 + digit;
    ++m_typedDigits;
    if (m_typedDigits >= m_digits && Commit()) Notify(11, 0);
    Invalidate(true);
}

void TkDTNumericGadget::EndEditing() {
    Commit();
}

bool TkDTNumericGadget::Commit() {
    if (!m_typing) return true;
    m_typing = false;
    m_typedDigits = 0;
    const bool taken = Notify(6, m_typed) != FALSE;
    if (taken) {
        m_value = m_typed;
        Notify(7, m_typed);
    } else {
        MessageBeep(defaultBeep);
        Invalidate(false);
    }
    Notify(10, 0);
    return taken;
}

TkDTListGadget::~TkDTListGadget() = default;

BOOL TkDTListGadget::Initialize(TkDateTimeCtrl* owner, std::vector<std::string> names, int value,
                                std::int32_t id) {
    TkDTGadget::Initialize(owner, id);
    m_names = std::move(names);
    m_value = value;
    return TRUE;
}

std::string TkDTListGadget::GetText() const {
    if (m_value < 0 || std::size_t(m_value) >= m_names.size()) return {};
    return m_names[std::size_t(m_value)];
}

void TkDTListGadget::CalcSize(HDC dc) {
    std::int32_t width = 0, height = 0;
    for (const std::string& name : m_names) {
        SIZE size{};
        GetTextExtentPoint32(dc, name.c_str(), int(name.size()), &size);
        width = std::max(width, size.cx);
        height = std::max(height, size.cy);
    }
    m_rect = RECT{0, 0, width, height};
}

void TkDTListGadget::Draw(HDC dc) {
    FieldColours(dc, m_owner, m_focus != FALSE, m_rect);
    RECT r = m_rect;
    const bool named = m_value >= 0 && std::size_t(m_value) < m_names.size();
    if ((m_flags & unset) || !named) {
        // The run is wider than any name, so it stays inside the field's own rectangle.
        const std::string run(unsetNameRun, m_owner ? m_owner->GetPlaceholder() : '_');
        DrawText(dc, run.c_str(), int(run.size()), &r, fieldText & ~UINT(DT_NOCLIP));
        return;
    }
    const std::string& name = m_names[std::size_t(m_value)];
    DrawText(dc, name.c_str(), int(name.size()), &r, fieldText);
}

BOOL TkDTListGadget::SetFocus(BOOL focus) {
    EndSearch();
    return TkDTGadget::SetFocus(focus);
}

void TkDTListGadget::EndSearch() {
    StopTimer();
    m_running = false;
    m_search.clear();
}

void TkDTListGadget::OnKeyDown(UINT key) {
    int event = 0;
    switch (key) {
    case VK_END:
        event = 9;
        break;
    case VK_HOME:
        event = 8;
        break;
    case VK_UP:
    case VK_ADD:
        event = 1;
        break;
    case VK_DOWN:
    case VK_SUBTRACT:
        event = 2;
        break;
    default:
        return;
    }
    StopTimer();
    m_running = false;
    Notify(event, 0);
}

void TkDTListGadget::OnChar(UINT character) {
    std::string typed;
    AppendUtf8(typed, character);
    if (typed.empty()) return;
    if (m_search.empty()) {
        if (Find(m_value + 1, typed) < 0) {
            MessageBeep(defaultBeep);
            return;
        }
        Invalidate(true);
        m_search = typed;
        StartTimer(searchTimeout);
        m_running = true;
        return;
    }
    std::size_t i = 0;
    const UINT first = NextCodePoint(m_search, i);
    if (i == m_search.size() && Fold(first) == Fold(character)) {
        Find(m_value + 1, m_search);
        Invalidate(true);
        StartTimer(searchTimeout);
        m_running = true;
        return;
    }
    m_search += typed;
    if (Find(m_value, m_search) < 0) {
        StopTimer();
        MessageBeep(defaultBeep);
        m_search.clear();
        return;
    }
    StopTimer();
    Invalidate(true);
    StartTimer(searchTimeout);
}

int TkDTListGadget::Find(int start, const std::string& text) {
    const int count = int(m_names.size());
    if (start < 0 || start >= count) start = 0;
    for (int n = 0; n < count; ++n) {
        const int index = (start + n) % count;
        if (!StartsWithNoCase(m_names[std::size_t(index)], text)) continue;
        if (!Notify(6, index)) continue;
        Notify(7, index);
        return index;
    }
    return -1;
}

void TkDTListGadget::OnTimer() {
    EndSearch();
}

BOOL TkDTSpinGadget::Initialize(TkDateTimeCtrl* owner, std::int32_t id) {
    TkDTGadget::Initialize(owner, id);
    return TRUE;
}

void TkDTSpinGadget::CalcSize(HDC) {
    m_rect = RECT{0, 0, fixedWidth, -1};
}

void TkDTSpinGadget::Draw(HDC dc) {
    Fill(dc, m_rect, tkSysMetrics.m_crButtonFace);
    const std::int32_t half = m_rect.Height() / 2;
    DrawHalf(dc, RECT{m_rect.left, m_rect.top, m_rect.right, m_rect.top + half}, true,
             (m_state & upPressed) != 0);
    DrawHalf(dc, RECT{m_rect.left, m_rect.bottom - half, m_rect.right, m_rect.bottom}, false,
             (m_state & downPressed) != 0);
}

void TkDTSpinGadget::DrawHalf(HDC dc, const RECT& r, bool up, bool pressed) const {
    const TkSysMetrics& m = tkSysMetrics;
    if (pressed) {
        Ring(dc, r, m.m_crButtonShadow, m.m_crButtonHighlight);
        Ring(dc, Shrunk(r, 1), m.m_crWindowFrame, m.m_crButtonFace);
    } else {
        Ring(dc, r, m.m_crButtonFace, m.m_crWindowFrame);
        Ring(dc, Shrunk(r, 1), m.m_crButtonHighlight, m.m_crButtonShadow);
    }
    const RECT inner = Shrunk(r, 2);
    const std::int32_t quarter = inner.Height() / 4;
    const std::int32_t size = quarter < 4 ? quarter + 1 : 4;
    const std::int32_t shift = pressed ? 1 : 0;
    const std::int32_t cx = inner.left + inner.Width() / 2 + shift;
    if (size < 2) {
        SetPixel(dc, cx, inner.top + inner.Height() / 2 + shift, 0);
        return;
    }
    const std::int32_t top = inner.top + (inner.Height() - size) / 2 + shift;
    const std::int32_t apex = up ? top : top + size - 1;
    const std::int32_t base = up ? top + size - 1 : top;
    const POINT points[] = {{cx, apex}, {cx - (size - 1), base}, {cx + (size - 1), base}};
    const int oldMode = SetPolyFillMode(dc, WINDING);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, points, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SetPolyFillMode(dc, oldMode);
}

int TkDTSpinGadget::HitTest(POINT point) const {
    if (!m_rect.Contains(point.x, point.y)) return -1;
    const int half = m_rect.Height() / 2;
    return point.y < m_rect.top + half ? 0 : 1;
}

void TkDTSpinGadget::Restart(UINT milliseconds) {
    StartTimer(milliseconds);
    m_state |= timerRunning;
}

void TkDTSpinGadget::Halt() {
    StopTimer();
    m_state &= ~std::uint32_t(timerRunning | firstDelay);
}

void TkDTSpinGadget::OnLButtonDown(UINT, POINT point) {
    const int half = HitTest(point);
    if (half < 0) return;
    Capture(true);
    m_state = half == 0 ? (upPressed | trackingUp) : (downPressed | trackingDown);
    Notify(half == 0 ? 3 : 4, 1);
    Invalidate(false);
    Restart(firstRepeatDelay);
    m_state |= firstDelay;
    m_repeats = 0;
}

void TkDTSpinGadget::OnMouseMove(UINT, POINT point) {
    if (!(m_state & (trackingUp | trackingDown))) return;
    const bool up = (m_state & trackingUp) != 0;
    const std::uint32_t bit = up ? upPressed : downPressed;
    const bool inside = HitTest(point) == (up ? 0 : 1);
    if (inside != ((m_state & bit) != 0)) {
        m_state ^= bit;
        Invalidate(false);
    }
    if (inside && !(m_state & timerRunning)) {
        Restart(repeatInterval);
        m_repeats = 0;
    } else if (!inside && (m_state & timerRunning)) {
        Halt();
    }
}

void TkDTSpinGadget::OnTimer() {
    if (m_state & firstDelay) {
        Restart(repeatInterval);
        m_state &= ~std::uint32_t(firstDelay);
    }
    ++m_repeats;
    const int step = m_repeats <= 20 ? 1 : m_repeats <= 50 ? 2 : 5;
    Notify((m_state & upPressed) ? 3 : 4, step);
}

void TkDTSpinGadget::OnLButtonUp(UINT, POINT) {
    EndEditing();
}

void TkDTSpinGadget::EndEditing() {
    if (!(m_state & (trackingUp | trackingDown))) return;
    Capture(false);
    if (m_state & (upPressed | downPressed)) Invalidate(false);
    Halt();
    m_state = 0;
}

TkDTButtonGadget::~TkDTButtonGadget() {
    if (m_bitmap) DeleteObject(m_bitmap);
}

BOOL TkDTButtonGadget::Initialize(TkDateTimeCtrl* owner, UINT bitmapId, std::int32_t id) {
    TkDTGadget::Initialize(owner, id);
    m_bitmapId = bitmapId;
    return LoadBitmap() ? TRUE : FALSE;
}

bool TkDTButtonGadget::LoadBitmap() {
    const auto bytes = FindToolkitResource(RT_BITMAP, m_bitmapId);
    HBITMAP loaded = nullptr;
    if (bytes.empty() || !LoadBitmapWithSysColors(loaded, bytes.data(), bytes.size())) return false;
    if (m_bitmap) DeleteObject(m_bitmap);
    m_bitmap = loaded;
    return true;
}

void TkDTButtonGadget::OnSysColorChange() {
    if (m_bitmap) LoadBitmap();
}

void TkDTButtonGadget::CalcSize(HDC) {
    m_rect = RECT{0, 0, fixedWidth, -1};
}

void TkDTButtonGadget::Draw(HDC dc) {
    const TkSysMetrics& m = tkSysMetrics;
    const bool down = (m_state & pushed) != 0;
    if (down) {
        Ring(dc, m_rect, m.m_crButtonShadow, m.m_crButtonShadow);
        Ring(dc, Shrunk(m_rect, 1), m.m_crButtonFace, m.m_crButtonFace);
    } else {
        Ring(dc, m_rect, m.m_crButtonFace, m.m_crWindowFrame);
        Ring(dc, Shrunk(m_rect, 1), m.m_crButtonHighlight, m.m_crButtonShadow);
    }
    const RECT inside = Shrunk(m_rect, 2);
    Fill(dc, inside, m.m_crButtonFace);
    BITMAP info;
    if (!m_bitmap || !GetObject(m_bitmap, sizeof info, &info)) return;
    HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, m_bitmap);
    const std::int32_t shift = down ? 1 : 0;
    BitBlt(dc, inside.left + (inside.Width() - info.bmWidth) / 2 + shift,
           inside.top + (inside.Height() - info.bmHeight) / 2 + shift, info.bmWidth, info.bmHeight, source, 0,
           0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void TkDTButtonGadget::OnLButtonDown(UINT, POINT) {
    m_state = tracking | pushed;
    Invalidate(false);
    Capture(true);
}

void TkDTButtonGadget::OnMouseMove(UINT, POINT point) {
    if (!(m_state & tracking)) return;
    const bool inside = m_rect.Contains(point.x, point.y);
    if (inside != ((m_state & pushed) != 0)) {
        m_state ^= pushed;
        Invalidate(false);
    }
}

void TkDTButtonGadget::OnLButtonUp(UINT, POINT point) {
    if (!(m_state & tracking)) return;
    Capture(false);
    m_state &= ~std::uint32_t(tracking);
    if (m_rect.Contains(point.x, point.y)) Notify(5, 0);
    if (m_state & pushed) {
        m_state &= ~std::uint32_t(pushed);
        Invalidate(false);
    }
}

void TkDTButtonGadget::EndEditing() {
    if (!(m_state & tracking)) return;
    Capture(false);
    m_state &= ~std::uint32_t(tracking);
    if (m_state & pushed) {
        m_state &= ~std::uint32_t(pushed);
        Invalidate(false);
    }
}

} // namespace vq
