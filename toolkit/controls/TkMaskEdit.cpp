#include "toolkit/controls/TkMaskEdit.h"

#include "platform/classlib/DataExchange.h"
#include "platform/gui/Beep.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/MessageBox.h"

#include <algorithm>
#include <optional>

namespace vq {

namespace {

// Decodes UTF-8; a malformed or overlong sequence, or a surrogate, is dropped byte by byte, so
// nothing of it can reach a placeholder.
std::u32string Decode(const std::string& text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t k) { return char32_t(static_cast<unsigned char>(text[k])); };
        const char32_t lead = byte(i);
        const int extra = lead < 0x80             ? 0
                          : (lead & 0xE0) == 0xC0 ? 1
                          : (lead & 0xF0) == 0xE0 ? 2
                          : (lead & 0xF8) == 0xF0 ? 3
                                                  : -1;
        if (extra < 0 || i + std::size_t(extra) >= text.size()) {
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra && ok; ++k) {
            ok = (byte(i + std::size_t(k)) & 0xC0) == 0x80;
            c = c << 6 | (byte(i + std::size_t(k)) & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            ++i;
            continue;
        }
        out += c;
        i += std::size_t(extra) + 1;
    }
    return out;
}

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string Encode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text)
        Append(out, c);
    return out;
}

int EncodedLength(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char32_t Upper(char32_t c) {
    return c >= 'a' && c <= 'z' ? c - 0x20 : c;
}

char32_t Lower(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
}

bool IsCharacter(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkMaskEdit, CEdit)

VQ_BEGIN_MESSAGE_MAP(TkMaskEdit, CEdit)
VQ_ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
VQ_ON_MESSAGE(WM_CHAR, OnChar)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
VQ_ON_MESSAGE(WM_CUT, OnCut)
VQ_ON_MESSAGE(WM_COPY, OnCopy)
VQ_ON_MESSAGE(WM_PASTE, OnPaste)
VQ_ON_MESSAGE(WM_CLEAR, OnClear)
// The edit's own undo knows nothing of the mask; Ctrl+Z takes the mask's one step back.
VQ_ON_MESSAGE(WM_UNDO, OnUndo)
VQ_ON_MESSAGE(EM_UNDO, OnUndo)
VQ_END_MESSAGE_MAP()

TkMaskEdit::TkMaskEdit() = default;

BOOL TkMaskEdit::SetMask(const std::string& mask) {
    m_given = mask;
    ConvertMask();
    ResetText();
    ShowText();
    if (m_hWnd) {
        SetModify(FALSE);
        MoveCaret(-1, 1, 0);
    }
    EmptyUndo();
    return TRUE;
}

void TkMaskEdit::ConvertMask() {
    m_mask.clear();
    bool escaped = false;
    for (char32_t c : Decode(m_given)) {
        if (IsMaskChar(c)) {
            m_mask.push_back({!escaped, c});
            escaped = false;
        } else if (c == U'\\' && !escaped) {
            escaped = true;
        } else {
            m_mask.push_back({false, c});
            escaped = false;
        }
    }
}

BOOL TkMaskEdit::IsMaskChar(char32_t c) const {
    return c == U'#' || c == U'&' || c == U'?' || c == U'A' || c == U'L' || c == U'U';
}

void TkMaskEdit::MakeEmptyText(const std::vector<Slot>& mask, std::u32string& text) const {
    text.clear();
    for (const Slot& slot : mask)
        text += slot.placeholder ? m_prompt : slot.code;
}

void TkMaskEdit::ResetText() {
    MakeEmptyText(m_mask, m_text);
}

void TkMaskEdit::ClearText() {
    ResetText();
    ShowText();
}

void TkMaskEdit::ShowText() {
    if (m_hWnd) {
        SetWindowText(Encode(m_text).c_str());
        SetModify(TRUE);
    }
    m_undo = m_shown;
    m_shown = m_text;
}

void TkMaskEdit::EmptyUndo() {
    MakeEmptyText(m_mask, m_undo);
    m_shown = m_undo;
}

BOOL TkMaskEdit::Undo() {
    if (!CanUndo()) return FALSE;
    m_text = m_undo;
    ShowText();
    return TRUE;
}

void TkMaskEdit::SetPromptChar(char32_t prompt) {
    if (prompt == 0 || !IsCharacter(prompt)) return;
    // The undo step changes its prompts too, or undoing would bring back the old prompt as
    // entered characters; a new prompt is no edit, so the step stays the last one typed.
    for (std::u32string* text : {&m_text, &m_undo, &m_shown})
        for (std::size_t i = 0; i < m_mask.size() && i < text->size(); ++i)
            if (m_mask[i].placeholder && (*text)[i] == m_prompt) (*text)[i] = prompt;
    m_prompt = prompt;
    if (m_hWnd) SetWindowText(Encode(m_text).c_str());
}

std::string TkMaskEdit::GetText() const {
    return Encode(m_text);
}

void TkMaskEdit::GetData(std::string& data, BOOL trim) const {
    std::u32string out;
    for (std::size_t i = 0; i < m_mask.size(); ++i)
        if (m_mask[i].placeholder) out += m_text[i] == m_prompt ? U' ' : m_text[i];
    if (trim)
        while (!out.empty() && out.back() == U' ')
            out.pop_back();
    data = Encode(out);
}

BOOL TkMaskEdit::IsLiteral(int position) const {
    return Inside(position) && !m_mask[std::size_t(position)].placeholder;
}

bool TkMaskEdit::IsPlaceholder(int position) const {
    return Inside(position) && m_mask[std::size_t(position)].placeholder;
}

bool TkMaskEdit::IsFilled(int position) const {
    return IsPlaceholder(position) && m_text[std::size_t(position)] != m_prompt;
}

BOOL TkMaskEdit::IsValidChar(int position, char32_t& c) const {
    const DWORD style = m_hWnd ? GetStyle() : 0;
    char32_t converted = (style & ES_UPPERCASE) ? Upper(c) : (style & ES_LOWERCASE) ? Lower(c) : c;
    if (!IsPlaceholder(position)) return FALSE;
    // A control character is no text for a single line, and a surrogate or a code beyond Unicode
    // no character at all, whatever the placeholder takes.
    if (converted < 0x20 || converted == 0x7F || !IsCharacter(converted)) return FALSE;
    switch (m_mask[std::size_t(position)].code) {
    case U'#':
        if (!IsDigit(converted)) return FALSE;
        break;
    case U'&':
        break;
    case U'?':
        if (!IsLetter(converted)) return FALSE;
        break;
    case U'A':
        if (!IsLetter(converted) && !IsDigit(converted)) return FALSE;
        break;
    case U'L':
        if (!IsLetter(converted)) return FALSE;
        if (!(style & ES_UPPERCASE)) converted = Lower(converted);
        break;
    case U'U':
        if (!IsLetter(converted)) return FALSE;
        if (!(style & ES_LOWERCASE)) converted = Upper(converted);
        break;
    default:
        return FALSE;
    }
    c = converted;
    return TRUE;
}

int TkMaskEdit::NextPlaceholder(int position) const {
    const int length = GetMaskLength();
    if (length == 0 || position >= length) return position;
    for (int p = std::max(position + 1, 0); p < length; ++p)
        if (m_mask[std::size_t(p)].placeholder) return p;
    return -1;
}

int TkMaskEdit::PrevPlaceholder(int position) const {
    const int length = GetMaskLength();
    if (length == 0) return position;
    for (int p = std::min(position, length) - 1; p >= 0; --p)
        if (m_mask[std::size_t(p)].placeholder) return p;
    return -1;
}

int TkMaskEdit::GetInputEnd(int position) const {
    const int length = GetMaskLength();
    if (length == 0) return 0;
    // Past the end only the last position can hold input.
    int p = std::clamp(position, 0, length);
    if (p == length) {
        if (IsFilled(p - 1)) return p;
        --p;
    }
    const int field = IsPlaceholder(p) ? p : NextPlaceholder(p);
    if (IsFilled(field)) return p;
    if (IsLiteral(p)) p = PrevPlaceholder(p);
    while (p > 0 && IsPlaceholder(p) && !IsFilled(p))
        p = PrevPlaceholder(p);
    if (p > 0) return p + 1;
    if (p == 0 && IsFilled(0)) return 1;
    return NextPlaceholder(-1);
}

void TkMaskEdit::DeleteRange(int end, int start) {
    const int length = GetMaskLength();
    if (end < 0 || end > length) return;
    start = std::max(start, 0);
    if (start >= length) return;
    if (IsLiteral(start)) start = NextPlaceholder(start);
    if (start < 0 || end < start) return;
    int source = end == length ? -1 : IsLiteral(end) ? NextPlaceholder(end) : end;
    int destination = start;
    // A character is pulled left only into a placeholder that takes it; the first that does not
    // fit stays where it is with everything after it, so a mixed mask never holds a wrong class.
    bool stopped = false;
    while (IsPlaceholder(source) && IsPlaceholder(destination)) {
        char32_t c = m_text[std::size_t(source)];
        if (c != m_prompt && !IsValidChar(destination, c)) {
            stopped = true;
            break;
        }
        m_text[std::size_t(destination)] = c;
        destination = NextPlaceholder(destination);
        source = NextPlaceholder(source);
    }
    while (IsPlaceholder(destination) && (!stopped || destination < source)) {
        m_text[std::size_t(destination)] = m_prompt;
        destination = NextPlaceholder(destination);
    }
}

BOOL TkMaskEdit::InsertChar(int position, char32_t c, BOOL show) {
    if (!IsPlaceholder(position)) return FALSE;
    const int last = PrevPlaceholder(GetMaskLength());
    if (IsFilled(last)) return FALSE;
    int filled = last;
    while (filled >= 0 && !IsFilled(filled))
        filled = PrevPlaceholder(filled);
    // Nothing moves unless every shifted character fits the placeholder it moves to.
    std::u32string shifted = m_text;
    for (int p = filled; p >= position; p = PrevPlaceholder(p)) {
        char32_t moved = m_text[std::size_t(p)];
        if (moved != m_prompt && !IsValidChar(NextPlaceholder(p), moved)) return FALSE;
        shifted[std::size_t(NextPlaceholder(p))] = moved;
    }
    m_text = std::move(shifted);
    m_text[std::size_t(position)] = c;
    if (show) {
        ShowText();
        const int next = NextPlaceholder(position);
        const int caret = next >= 0 ? next : position + 1;
        SetCharSel(caret, caret);
    }
    return TRUE;
}

BOOL TkMaskEdit::SetData(const std::string& text, int position, BOOL insert, BOOL skipInvalid) {
    if (!Inside(position)) return FALSE;
    if (position == 0) ResetText();
    return Enter(text, position, insert, skipInvalid);
}

BOOL TkMaskEdit::Enter(const std::string& text, int position, BOOL insert, BOOL skipInvalid) {
    if (!Inside(position)) return FALSE;
    int p = IsLiteral(position) ? NextPlaceholder(position) : position;
    if (!IsPlaceholder(p)) return FALSE;
    for (char32_t c : Decode(text)) {
        if (!IsPlaceholder(p)) break;
        if (IsValidChar(p, c)) {
            if (insert)
                InsertChar(p, c, FALSE);
            else
                m_text[std::size_t(p)] = c;
            p = NextPlaceholder(p);
        } else if (!skipInvalid && c == m_prompt) {
            m_text[std::size_t(p)] = m_prompt;
            p = NextPlaceholder(p);
        }
    }
    ShowText();
    return TRUE;
}

int TkMaskEdit::MoveCaret(int position, int direction, int length) {
    if (m_mask.empty()) return position;
    int target = position;
    if (direction == -1) {
        target = PrevPlaceholder(position);
        if (target < 0) return -1;
    } else if (direction == 1) {
        target = NextPlaceholder(position);
        if (target < 0) {
            const int caret = position < 0 ? 0 : IsLiteral(position) ? position : position + 1;
            SetCharSel(caret, caret);
            return -1;
        }
    } else {
        return Inside(position) ? position : -1;
    }
    SetCharSel(target, target + length);
    return Inside(target) ? target : -1;
}

void TkMaskEdit::GetCharSel(int& start, int& end) const {
    start = end = 0;
    if (!m_hWnd) return;
    DWORD from = 0, to = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::u32string shown = Decode(GetWindowText());
    const auto toCharacters = [&](DWORD bytes) {
        int characters = 0;
        DWORD walked = 0;
        while (std::size_t(characters) < shown.size() && walked < bytes)
            walked += DWORD(EncodedLength(shown[std::size_t(characters++)]));
        return characters;
    };
    start = toCharacters(from);
    end = toCharacters(to);
}

void TkMaskEdit::SetCharSel(int start, int end) const {
    if (!m_hWnd) return;
    const std::u32string shown = Decode(GetWindowText());
    const auto toBytes = [&](int characters) {
        int bytes = 0;
        for (int i = 0; i < characters && std::size_t(i) < shown.size(); ++i)
            bytes += EncodedLength(shown[std::size_t(i)]);
        return bytes;
    };
    SendMessage(EM_SETSEL, WPARAM(toBytes(std::max(start, 0))), LPARAM(toBytes(std::max(end, 0))));
    SendMessage(EM_SCROLLCARET);
}

void TkMaskEdit::DeleteKey(int start, int end, bool backspace) {
    if (start != end) {
        DeleteRange(end, start);
        ShowText();
        int caret = IsPlaceholder(start) ? start : NextPlaceholder(start);
        if (caret < 0) caret = PrevPlaceholder(GetMaskLength()) + 1;
        SetCharSel(caret, caret);
        return;
    }
    if (backspace) {
        const int previous = PrevPlaceholder(start);
        if (previous < 0) return;
        DeleteRange(previous + 1, previous);
        ShowText();
        SetCharSel(previous, previous);
        return;
    }
    if (!Inside(start)) return;
    DeleteRange(start + 1, start);
    ShowText();
    SetCharSel(start, start);
}

LRESULT TkMaskEdit::OnKeyDown(WPARAM key, LPARAM) {
    int start = 0, end = 0;
    GetCharSel(start, end);
    const bool shift = KeyDown(VK_SHIFT);
    const bool readOnly = (GetStyle() & ES_READONLY) != 0;
    const int length = GetMaskLength();
    m_keyHandled = TRUE;
    switch (UINT(key)) {
    case VK_LEFT:
        if (shift) return Default();
        if (start == end)
            MoveCaret(start, -1, 0);
        else if (end < GetInputEnd(length))
            MoveCaret(end, -1, 0);
        else
            MoveCaret(GetInputEnd(length), 1, 0);
        return 0;
    case VK_RIGHT:
        if (shift) return Default();
        if (start != end)
            MoveCaret(end, 1, 0);
        else if (start < GetInputEnd(length))
            MoveCaret(start, 1, 0);
        return 0;
    case VK_HOME:
        if (shift)
            SetCharSel(start, 0);
        else
            MoveCaret(-1, 1, 0);
        return 0;
    case VK_END:
        if (shift) {
            SetCharSel(start, int(m_text.size()));
        } else {
            int p = GetInputEnd(length);
            if (IsLiteral(p)) p = NextPlaceholder(p);
            if (p >= 0) SetCharSel(p, p);
        }
        return 0;
    case VK_UP:
    case VK_DOWN:
        return 0;
    case VK_BACK:
    case VK_DELETE:
        if (!readOnly) DeleteKey(start, end, key == VK_BACK);
        return 0;
    case VK_INSERT:
        m_insert = !m_insert;
        return 0;
    default:
        m_keyHandled = FALSE;
        return Default();
    }
}

LRESULT TkMaskEdit::OnChar(WPARAM character, LPARAM) {
    // Ctrl's shortcuts arrive as control characters and go to the edit, which sends the clipboard
    // and undo messages back here; a printable character typed with Ctrl held (AltGr on some
    // keyboards) is still checked against the mask.
    if (KeyDown(VK_CONTROL) && character < 0x20) return Default();
    if (GetStyle() & ES_READONLY) return 0;
    if (m_keyHandled) {
        m_keyHandled = FALSE;
        return 0;
    }
    int start = 0, end = 0;
    GetCharSel(start, end);
    int target = -1;
    if (start == end) {
        target = IsPlaceholder(start) ? start : NextPlaceholder(start);
        if (IsPlaceholder(target)) SetCharSel(target, target);
    } else {
        target = IsLiteral(start) ? NextPlaceholder(start) : start;
        if (target >= end) target = -1;
    }
    char32_t c = char32_t(character);
    if (!IsPlaceholder(target) || !IsValidChar(target, c)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    if (start != end) DeleteRange(end, m_insert ? target : target + 1);
    if (m_insert) {
        if (!InsertChar(target, c, FALSE)) return 0;
    } else {
        m_text[std::size_t(target)] = c;
    }
    ShowText();
    const int next = NextPlaceholder(target);
    const int caret = next >= 0 ? next : target + 1;
    SetCharSel(caret, caret);
    m_keyHandled = FALSE;
    return 0;
}

void TkMaskEdit::PutCaretAfterInput() {
    int start = 0, end = 0;
    GetCharSel(start, end);
    if (start != end) return;
    int p = GetInputEnd(start);
    if (p < 0 || IsLiteral(p)) p = NextPlaceholder(p);
    if (p >= 0 && p != start) SetCharSel(p, p);
}

LRESULT TkMaskEdit::OnLButtonDown(WPARAM, LPARAM) {
    const LRESULT result = Default();
    PutCaretAfterInput();
    return result;
}

LRESULT TkMaskEdit::OnSetFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    PutCaretAfterInput();
    return result;
}

LRESULT TkMaskEdit::OnCopy(WPARAM, LPARAM) {
    int start = 0, end = 0;
    GetCharSel(start, end);
    std::u32string copied;
    for (int p = std::max(start, 0); p < end && p < GetMaskLength(); ++p)
        if (IsPlaceholder(p)) copied += m_text[std::size_t(p)] == m_prompt ? U' ' : m_text[std::size_t(p)];
    if (!OpenClipboard(m_hWnd)) return 0;
    EmptyClipboard();
    SetClipboardData(CF_TEXT, Encode(copied));
    CloseClipboard();
    return 0;
}

LRESULT TkMaskEdit::OnCut(WPARAM, LPARAM) {
    if (GetStyle() & ES_READONLY) return 0;
    int start = 0, end = 0;
    GetCharSel(start, end);
    OnCopy(0, 0);
    DeleteRange(end, start);
    ShowText();
    SetCharSel(start, start);
    return 0;
}

LRESULT TkMaskEdit::OnPaste(WPARAM, LPARAM) {
    if (GetStyle() & ES_READONLY) return 0;
    int start = 0, end = 0;
    GetCharSel(start, end);
    if (!IsClipboardFormatAvailable(CF_TEXT) || !Inside(start)) return 0;
    const std::optional<std::string> text = GetClipboardData(CF_TEXT);
    if (!text) return 0;
    if (start != end) DeleteRange(end, start);
    // Unlike loading data, a paste at the first position keeps what follows it.
    Enter(*text, start, TRUE, TRUE);
    const int caret = IsLiteral(start) ? NextPlaceholder(start) : start;
    if (caret >= 0) SetCharSel(caret, caret);
    return 0;
}

LRESULT TkMaskEdit::OnClear(WPARAM, LPARAM) {
    if (GetStyle() & ES_READONLY) return 0;
    int start = 0, end = 0;
    GetCharSel(start, end);
    DeleteKey(start, end, false);
    return 0;
}

LRESULT TkMaskEdit::OnUndo(WPARAM, LPARAM) {
    if (GetStyle() & ES_READONLY) return FALSE;
    return Undo();
}

BOOL TkMaskEdit::AttachEdit(UINT id, CWnd* parent) {
    return SubclassDlgItem(id, parent);
}

void TkMaskEdit::ExchangeData(CDataExchange* exchange, TkMaskEdit& control, std::string& data,
                              std::string& text) {
    if (!exchange) return;
    if (exchange->m_bSaveAndValidate) {
        text = control.GetText();
        control.GetData(data, FALSE);
    } else {
        control.SetData(data, 0, FALSE, TRUE);
    }
}

} // namespace vq
