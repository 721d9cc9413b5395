#include "platform/gui/Edit.h"

#include "platform/gui/QtControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

namespace vq {

namespace {

struct EditState {
    bool tracking = false;
    // Bytes of text the user may enter; setting the text is not held to it.
    std::int64_t limit = 30000;
};

std::unordered_map<HWND, EditState>& States() {
    static std::unordered_map<HWND, EditState> states;
    return states;
}

QLineEdit* LineOf(HWND window) {
    return static_cast<QLineEdit*>(QtControlOf(window));
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

void Notify(HWND window, UINT code) {
    SendMessage(GetParent(window), WM_COMMAND, WPARAM(MAKELPARAM(GetDlgCtrlID(window), int(code))),
                LPARAM(window));
}

// Byte offsets of the UTF-8 text and Qt's UTF-16 positions.
int ByteOffset(const QString& text, int position) {
    return int(text.left(std::clamp(position, 0, int(text.size()))).toUtf8().size());
}
int QtPosition(const QString& text, std::int64_t bytes) {
    if (bytes < 0) return int(text.size());
    int position = 0;
    std::int64_t used = 0;
    while (position < text.size()) {
        const int step = text[position].isHighSurrogate() && position + 1 < text.size() ? 2 : 1;
        const std::int64_t size = text.mid(position, step).toUtf8().size();
        if (used + size > bytes) break;
        used += size;
        position += step;
    }
    return position;
}

// Runs an edit and reports it when it changed the text.
template <class Change> void Edit(HWND window, Change change) {
    QLineEdit* line = LineOf(window);
    if (!line) return;
    const QString before = line->text();
    change(*line);
    if (LineOf(window) && line->text() != before) {
        Notify(window, EN_UPDATE);
        if (IsWindow(window)) Notify(window, EN_CHANGE);
    }
}

// Inserts what fits the limit in place of the selection; EN_MAXTEXT when something did not fit.
void Insert(HWND window, QString text) {
    QLineEdit* line = LineOf(window);
    if (!line) return;
    const std::int64_t used = line->text().toUtf8().size() - line->selectedText().toUtf8().size();
    const int fits = QtPosition(text, std::max<std::int64_t>(States()[window].limit - used, 0));
    const bool cut = fits < text.size();
    text.truncate(fits);
    if (!text.isEmpty() || line->hasSelectedText()) Edit(window, [&](QLineEdit& l) { l.insert(text); });
    if (cut && IsWindow(window)) Notify(window, EN_MAXTEXT);
}

void InsertTyped(HWND window, QString text) {
    const DWORD style = StyleOf(window);
    if (style & ES_READONLY) return;
    if ((style & ES_NUMBER) && !text.front().isDigit()) return;
    if (style & ES_UPPERCASE) text = text.toUpper();
    if (style & ES_LOWERCASE) text = text.toLower();
    Insert(window, text);
}

void Paste(HWND window) {
    if (StyleOf(window) & ES_READONLY) return;
    // One line of the clipboard's text, as a single-line edit takes it.
    QString text = QGuiApplication::clipboard()->text();
    const auto end = std::find_if(text.begin(), text.end(), [](QChar c) { return c == '\r' || c == '\n'; });
    text.truncate(int(end - text.begin()));
    Insert(window, text);
}

void OnChar(HWND window, WPARAM code) {
    const bool readOnly = (StyleOf(window) & ES_READONLY) != 0;
    switch (code) {
    case 3:
        if (QLineEdit* line = LineOf(window)) line->copy();
        return;
    case VK_BACK:
        if (!readOnly) Edit(window, [](QLineEdit& l) { l.backspace(); });
        return;
    case 0x16:
        Paste(window);
        return;
    case 0x18:
        if (!readOnly) Edit(window, [](QLineEdit& l) { l.cut(); });
        return;
    case 0x1A:
        if (!readOnly) Edit(window, [](QLineEdit& l) { l.undo(); });
        return;
    default:
        break;
    }
    if (code < 0x20 || code == 0x7F) return;
    const char32_t c = char32_t(code);
    InsertTyped(window, QString::fromUcs4(&c, 1));
}

int QtKeyOf(int vk) {
    switch (vk) {
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_UP:
        return Qt::Key_Up;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_HOME:
        return Qt::Key_Home;
    case VK_END:
        return Qt::Key_End;
    case VK_DELETE:
        return Qt::Key_Delete;
    default:
        return 0;
    }
}

void OnKeyDown(HWND window, WPARAM vk) {
    const int key = QtKeyOf(int(vk));
    if (!key) return;
    const Qt::KeyboardModifiers modifiers = CurrentModifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (key == Qt::Key_Delete) {
        if (StyleOf(window) & ES_READONLY) return;
        Edit(window, [&](QLineEdit&) { ForwardKeyToQtControl(window, key, modifiers, ""); });
        return;
    }
    ForwardKeyToQtControl(window, key, modifiers, "");
}

int Create(HWND window, const CREATESTRUCT* cs) {
    auto* line = new QLineEdit;
    const DWORD style = cs ? cs->style : StyleOf(window);
    line->setFrame(false);
    line->setReadOnly(style & ES_READONLY);
    if (style & ES_PASSWORD) line->setEchoMode(QLineEdit::Password);
    line->setAlignment((style & ES_RIGHT)    ? Qt::AlignRight
                       : (style & ES_CENTER) ? Qt::AlignHCenter
                                             : Qt::AlignLeft);
    line->setText(QString::fromUtf8(cs && cs->lpszName ? cs->lpszName : ""));
    line->setEnabled(!(style & WS_DISABLED));
    States()[window];
    return AttachQtControl(window, line) ? 0 : -1;
}

LRESULT GetText(HWND window, WPARAM size, char* out) {
    QLineEdit* line = LineOf(window);
    if (!line || !out || size == 0) return 0;
    const QByteArray text = line->text().toUtf8();
    const std::size_t n = std::min(std::size_t(text.size()), std::size_t(size) - 1);
    std::memcpy(out, text.constData(), n);
    out[n] = '\0';
    return LRESULT(n);
}

void SetSelection(QLineEdit& line, std::int64_t start, std::int64_t end) {
    const QString text = line.text();
    if (start < 0) {
        line.deselect();
        return;
    }
    const int from = QtPosition(text, start);
    const int to = QtPosition(text, end);
    line.setSelection(from, to - from);
}

LRESULT GetSelection(QLineEdit& line, WPARAM wParam, LPARAM lParam) {
    const QString text = line.text();
    int start = line.cursorPosition();
    int end = start;
    if (line.hasSelectedText()) {
        start = line.selectionStart();
        end = line.selectionEnd();
    }
    const int from = ByteOffset(text, start);
    const int to = ByteOffset(text, end);
    if (wParam) *reinterpret_cast<std::uint32_t*>(wParam) = std::uint32_t(from);
    if (lParam) *reinterpret_cast<std::uint32_t*>(lParam) = std::uint32_t(to);
    return MAKELPARAM(std::min(from, 0xFFFF), std::min(to, 0xFFFF));
}

void OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EditState& s = States()[window];
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        if (GetFocus() != window) SetFocus(window);
        SetCapture(window);
        s.tracking = true;
    } else if (message == WM_MOUSEMOVE && !s.tracking) {
        return;
    }
    ForwardMouseToQtControl(window, message, wParam, lParam);
    if (message == WM_LBUTTONUP && s.tracking) {
        s.tracking = false;
        if (GetCapture() == window) ReleaseCapture();
    }
}

} // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QLineEdit* line = LineOf(window);
    switch (message) {
    case WM_CREATE:
        return Create(window, reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_NCDESTROY:
        States().erase(window);
        break;
    case WM_SETTEXT:
        if (line) {
            line->setText(QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
            line->setModified(false);
        }
        return TRUE;
    case WM_GETTEXT:
        return GetText(window, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        return line ? LRESULT(line->text().toUtf8().size()) : 0;
    case WM_KEYDOWN:
        OnKeyDown(window, wParam);
        return 0;
    case WM_CHAR:
        OnChar(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        if (IsWindowEnabled(window)) OnMouse(window, message, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        States()[window].tracking = false;
        return 0;
    case WM_SETFOCUS:
        Notify(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (line) line->deselect();
        Notify(window, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        if (line) line->setEnabled(wParam != 0);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETFONT:
        SetQtControlFont(window, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(QtControlFont(window));
    case EM_SETSEL:
        if (line) SetSelection(*line, std::int64_t(std::int32_t(wParam)), std::int64_t(std::int32_t(lParam)));
        return 0;
    case EM_GETSEL:
        return line ? GetSelection(*line, wParam, lParam) : 0;
    case EM_REPLACESEL:
        Insert(window, QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
        return 0;
    case EM_LIMITTEXT:
        States()[window].limit = wParam == 0 ? 0x7FFFFFFE : std::int64_t(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return LRESULT(States()[window].limit);
    case EM_GETMODIFY:
        return line && line->isModified();
    case EM_SETMODIFY:
        if (line) line->setModified(wParam != 0);
        return 0;
    case EM_CANUNDO:
        return line && line->isUndoAvailable();
    case EM_UNDO:
    case WM_UNDO:
        Edit(window, [](QLineEdit& l) { l.undo(); });
        return TRUE;
    case EM_SETREADONLY: {
        const DWORD style = StyleOf(window);
        SetWindowLongPtr(window, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
        if (line) line->setReadOnly(wParam != 0);
        return TRUE;
    }
    case EM_SCROLLCARET:
        return TRUE;
    case WM_CUT:
        if (!(StyleOf(window) & ES_READONLY)) Edit(window, [](QLineEdit& l) { l.cut(); });
        return 0;
    case WM_COPY:
        if (line) line->copy();
        return 0;
    case WM_PASTE:
        Paste(window);
        return 0;
    case WM_CLEAR:
        if (!(StyleOf(window) & ES_READONLY)) Edit(window, [](QLineEdit& l) { l.del(); });
        return 0;
    default:
        break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

} // namespace vq
