#include "platform/gui/Edit.h"

#include "platform/gui/ControlFont.h"
#include "platform/gui/LineEditWidget.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/TextEditWidget.h"
#include "platform/gui/WindowStates.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace vq {

namespace {

struct EditState {
    // Shared, so that a handler that destroys the edit while it is told of a change leaves the
    // widget's view alive until the edit's own code has returned.
    std::shared_ptr<EditWidget> widget;
    bool multiLine = false;
    bool tracking = false;
    // Bytes of text the user may enter; setting the text is not held to it.
    std::int64_t limit = 30000;
};

std::unordered_map<HWND, EditState>& States() {
    return WindowStates<EditState>();
}

EditState* StateOf(HWND window) {
    return FindWindowState<EditState>(window);
}

std::shared_ptr<EditWidget> WidgetOf(HWND window) {
    EditState* s = StateOf(window);
    return s && s->widget && s->widget->Widget() ? s->widget : nullptr;
}

bool IsMultiLine(HWND window) {
    EditState* s = StateOf(window);
    return s && s->multiLine;
}

DWORD StyleOf(HWND window) {
    return DWORD(GetWindowLongPtr(window, GWL_STYLE));
}

bool IsReadOnly(HWND window) {
    return (StyleOf(window) & ES_READONLY) != 0;
}

// A single-line password edit never lets its text out; one of several lines has no password.
bool HidesText(HWND window) {
    return (StyleOf(window) & ES_PASSWORD) && !IsMultiLine(window);
}

void Notify(HWND window, UINT code) {
    SendMessage(GetParent(window), WM_COMMAND, WPARAM(MAKELPARAM(GetDlgCtrlID(window), int(code))),
                LPARAM(window));
}

// Byte offsets of the UTF-8 text and positions in its UTF-16 units.
int ByteOffset(const QString& text, int position) {
    return int(text.left(std::clamp(position, 0, int(text.size()))).toUtf8().size());
}
// The position after the whole characters that fit the bytes; a line end is one character.
int QtPosition(const QString& text, std::int64_t bytes) {
    if (bytes < 0) return int(text.size());
    int position = 0;
    std::int64_t used = 0;
    while (position < text.size()) {
        const bool pair = position + 1 < text.size() &&
                          ((text[position].isHighSurrogate() && text[position + 1].isLowSurrogate()) ||
                           (text[position] == u'\r' && text[position + 1] == u'\n'));
        const int step = pair ? 2 : 1;
        const std::int64_t size = text.mid(position, step).toUtf8().size();
        if (used + size > bytes) break;
        used += size;
        position += step;
    }
    return position;
}

QString Selected(const EditWidget& w) {
    const int from = std::min(w.Anchor(), w.Caret());
    const int to = std::max(w.Anchor(), w.Caret());
    return w.Text().mid(from, to - from);
}

bool HasSelection(const EditWidget& w) {
    return w.Anchor() != w.Caret();
}

// Runs an edit and reports it when it changed the text.
template <class Change> void Edit(HWND window, Change change) {
    const std::shared_ptr<EditWidget> w = WidgetOf(window);
    if (!w) return;
    const QString before = w->Text();
    change(*w);
    if (w->Widget() && w->Text() != before && IsWindow(window)) {
        Notify(window, EN_UPDATE);
        if (IsWindow(window)) Notify(window, EN_CHANGE);
    }
}

// Inserts what fits the limit in place of the selection; EN_MAXTEXT when something did not fit.
void Insert(HWND window, QString text) {
    const std::shared_ptr<EditWidget> w = WidgetOf(window);
    if (!w) return;
    const std::int64_t used = w->Text().toUtf8().size() - Selected(*w).toUtf8().size();
    const int fits = QtPosition(text, std::max<std::int64_t>(StateOf(window)->limit - used, 0));
    const bool cut = fits < text.size();
    text.truncate(fits);
    if (!text.isEmpty() || HasSelection(*w)) Edit(window, [&](EditWidget& e) { e.ReplaceSelection(text); });
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

void DeleteSelection(HWND window) {
    Edit(window, [](EditWidget& e) {
        if (HasSelection(e)) e.ReplaceSelection(QString());
    });
}

void Copy(HWND window) {
    const std::shared_ptr<EditWidget> w = WidgetOf(window);
    if (!w || HidesText(window) || !HasSelection(*w)) return;
    QGuiApplication::clipboard()->setText(Selected(*w));
}

void Cut(HWND window) {
    if (IsReadOnly(window) || HidesText(window)) return;
    Copy(window);
    DeleteSelection(window);
}

// Every line end of the clipboard's text as the edit's own "\r\n".
QString WithLineEnds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

void Paste(HWND window) {
    if (IsReadOnly(window)) return;
    QString text = QGuiApplication::clipboard()->text();
    if (IsMultiLine(window)) {
        text = WithLineEnds(text);
    } else {
        // A single-line edit takes the clipboard's first line.
        const auto end =
            std::find_if(text.begin(), text.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
        text.truncate(int(end - text.begin()));
    }
    Insert(window, text);
}

void OnChar(HWND window, WPARAM code) {
    const bool readOnly = IsReadOnly(window);
    switch (code) {
    // The clipboard keys go through the window as their messages, so a subclass that handles
    // WM_PASTE also sees Ctrl+V.
    case 3:
        SendMessage(window, WM_COPY, 0, 0);
        return;
    case VK_BACK:
        if (!readOnly) Edit(window, [](EditWidget& e) { e.Backspace(); });
        return;
    case 0x16:
        SendMessage(window, WM_PASTE, 0, 0);
        return;
    case 0x18:
        SendMessage(window, WM_CUT, 0, 0);
        return;
    case 0x1A:
        if (!readOnly) SendMessage(window, WM_UNDO, 0, 0);
        return;
    case '\t':
        if (!readOnly && IsMultiLine(window)) Insert(window, QStringLiteral("\t"));
        return;
    // Enter, and Ctrl+Enter (a line feed), begin a new line where there are lines.
    case '\r':
    case '\n':
        if (!readOnly && IsMultiLine(window)) Insert(window, QStringLiteral("\r\n"));
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
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
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
        if (IsReadOnly(window)) return;
        Edit(window, [&](EditWidget&) { ForwardKeyToQtControl(window, key, modifiers, ""); });
        return;
    }
    ForwardKeyToQtControl(window, key, modifiers, "");
}

QWidget* NewLineEdit(DWORD style) {
    auto* line = new QLineEdit;
    line->setFrame(false);
    line->setReadOnly(style & ES_READONLY);
    if (style & ES_PASSWORD) line->setEchoMode(QLineEdit::Password);
    line->setAlignment((style & ES_RIGHT)    ? Qt::AlignRight
                       : (style & ES_CENTER) ? Qt::AlignHCenter
                                             : Qt::AlignLeft);
    return line;
}

// Lines wrap at the edge unless the edit scrolls sideways; a word longer than a line breaks.
QWidget* NewTextEdit(DWORD style) {
    auto* edit = new QPlainTextEdit;
    edit->setFrameShape(QFrame::NoFrame);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit->document()->setDocumentMargin(1);
    return edit;
}

void SetText(EditWidget& w, const char* text) {
    w.SetText(QString::fromUtf8(text ? text : ""));
    w.SetModified(false);
}

int Create(HWND window, const CREATESTRUCT* cs) {
    const DWORD style = cs ? cs->style : StyleOf(window);
    const bool multiLine = (style & ES_MULTILINE) != 0;
    QWidget* widget = multiLine ? NewTextEdit(style) : NewLineEdit(style);
    widget->setEnabled(!(style & WS_DISABLED));
    if (!AttachQtControl(window, widget)) return -1;
    EditState& s = States()[window];
    s.multiLine = multiLine;
    if (multiLine)
        s.widget = std::make_shared<TextEditWidget>(static_cast<QPlainTextEdit*>(widget));
    else
        s.widget = std::make_shared<LineEditWidget>(window, static_cast<QLineEdit*>(widget));
    SetText(*s.widget, cs ? cs->lpszName : nullptr);
    return 0;
}

LRESULT GetText(const EditWidget& w, WPARAM size, char* out) {
    if (!out || size == 0) return 0;
    const QByteArray text = w.Text().toUtf8();
    const std::size_t n = std::min(std::size_t(text.size()), std::size_t(size) - 1);
    std::memcpy(out, text.constData(), n);
    out[n] = '\0';
    return LRESULT(n);
}

void SetSelection(EditWidget& w, std::int64_t start, std::int64_t end) {
    if (start < 0) {
        w.Select(w.Caret(), w.Caret());
        return;
    }
    const QString text = w.Text();
    w.Select(QtPosition(text, start), QtPosition(text, end));
}

LRESULT GetSelection(const EditWidget& w, WPARAM wParam, LPARAM lParam) {
    const QString text = w.Text();
    const int from = ByteOffset(text, std::min(w.Anchor(), w.Caret()));
    const int to = ByteOffset(text, std::max(w.Anchor(), w.Caret()));
    if (wParam) *reinterpret_cast<std::uint32_t*>(wParam) = std::uint32_t(from);
    if (lParam) *reinterpret_cast<std::uint32_t*>(lParam) = std::uint32_t(to);
    return MAKELPARAM(std::min(from, 0xFFFF), std::min(to, 0xFFFF));
}

LRESULT SetTabStops(EditWidget& w, WPARAM count, LPARAM stops) {
    if (count > 0 && !stops) return FALSE;
    return w.SetTabStops({reinterpret_cast<const int*>(stops), std::size_t(count)});
}

// Enter begins a new line in a dialog only where the style asks for it; otherwise the dialog
// takes it for its default button. Tab and Escape always go to the dialog.
LRESULT DialogCode(HWND window, const MSG* msg) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_RETURN &&
        IsMultiLine(window) && (StyleOf(window) & ES_WANTRETURN))
        code |= DLGC_WANTALLKEYS;
    return code;
}

void OnMouse(HWND window, EditWidget& w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        if (GetFocus() != window) SetFocus(window);
        EditState* s = StateOf(window);
        if (!s || !w.Widget()) return;
        SetCapture(window);
        s->tracking = true;
    } else if (message == WM_MOUSEMOVE && !StateOf(window)->tracking) {
        return;
    }
    w.Mouse(message, wParam, lParam);
    EditState* s = StateOf(window);
    if (message == WM_LBUTTONUP && s && s->tracking) {
        s->tracking = false;
        if (GetCapture() == window) ReleaseCapture();
    }
}

// The widget never takes Qt's focus; it is told of the window's, so that it shows its caret.
void TellFocus(const EditWidget& w, QEvent::Type type) {
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(w.Widget(), &event);
}

void SetFont(HWND window, EditWidget* w, HFONT font, bool redraw) {
    SetQtControlFont(window, font, false);
    if (!w) return;
    w->FontChanged();
    if (redraw) w->Widget()->repaint();
}

} // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return Create(window, reinterpret_cast<const CREATESTRUCT*>(lParam));
    if (message == WM_NCDESTROY) {
        States().erase(window);
        return DefWindowProc(window, message, wParam, lParam);
    }
    const std::shared_ptr<EditWidget> w = WidgetOf(window);
    if (!w) return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_SETTEXT:
        SetText(*w, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return GetText(*w, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        return LRESULT(w->Text().toUtf8().size());
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
        if (IsWindowEnabled(window)) OnMouse(window, *w, message, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        StateOf(window)->tracking = false;
        return 0;
    case WM_SETFOCUS:
        TellFocus(*w, QEvent::FocusIn);
        Notify(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        w->Select(w->Caret(), w->Caret());
        TellFocus(*w, QEvent::FocusOut);
        Notify(window, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        w->Widget()->setEnabled(wParam != 0);
        return 0;
    case WM_GETDLGCODE:
        return DialogCode(window, reinterpret_cast<const MSG*>(lParam));
    case WM_SETFONT:
        SetFont(window, w.get(), reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(ControlFont(window));
    case EM_SETSEL:
        SetSelection(*w, std::int64_t(std::int32_t(wParam)), std::int64_t(std::int32_t(lParam)));
        return 0;
    case EM_GETSEL:
        return GetSelection(*w, wParam, lParam);
    case EM_REPLACESEL:
        Insert(window, QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
        return 0;
    case EM_LIMITTEXT:
        StateOf(window)->limit = wParam == 0 ? 0x7FFFFFFE : std::int64_t(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return LRESULT(StateOf(window)->limit);
    case EM_GETMODIFY:
        return w->IsModified();
    case EM_SETMODIFY:
        w->SetModified(wParam != 0);
        return 0;
    case EM_CANUNDO:
        return w->CanUndo();
    case EM_UNDO:
    case WM_UNDO:
        Edit(window, [](EditWidget& e) { e.Undo(); });
        return TRUE;
    case EM_SETREADONLY: {
        const DWORD style = StyleOf(window);
        SetWindowLongPtr(window, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
        w->SetReadOnly(wParam != 0);
        return TRUE;
    }
    case EM_SCROLLCARET:
        w->ScrollCaret();
        return TRUE;
    case EM_SETTABSTOPS:
        return SetTabStops(*w, wParam, lParam);
    case WM_CUT:
        Cut(window);
        return 0;
    case WM_COPY:
        Copy(window);
        return 0;
    case WM_PASTE:
        Paste(window);
        return 0;
    case WM_CLEAR:
        if (!IsReadOnly(window)) DeleteSelection(window);
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace vq
