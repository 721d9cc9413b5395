#include "toolkit/controls/TkDTGadget.h"

#include "platform/gui/Beep.h"
#include "platform/gui/WindowSystem.h"
#include "toolkit/controls/TkDateTimeCtrl.h"

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
    if (m_leadingZeros && int(digits.size()) < m_digits) digits.insert(0, std::size_t(m_digits) - digits.size(), '0');
    return shown < 0 ? "-" + digits : digits;
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

BOOL TkDTButtonGadget::Initialize(TkDateTimeCtrl* owner, UINT bitmapId, std::int32_t id) {
    TkDTGadget::Initialize(owner, id);
    m_bitmapId = bitmapId;
    return TRUE;
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
