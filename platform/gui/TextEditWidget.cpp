#include "platform/gui/TextEditWidget.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextOption>
#include <algorithm>

namespace vq {

namespace {

// How the document holds line ends: "\r\n" as a paragraph break; a lone line feed as a line break
// inside the paragraph, shown as a break as drawn text shows it; a lone carriage return as a
// character of its own. Qt's plain-text editing would turn either lone one into a paragraph and
// the text would not read back as it was set. A text that holds one of the two stand-ins itself
// reads back with the line end instead.
constexpr QChar kParagraph(0x2029);
constexpr QChar kLoneLineFeed(0x2028);
constexpr QChar kLoneReturn(0xE00D);
// Tabs every 8 average character widths, as drawn text has them.
constexpr int kDefaultTabStop = 32;

QString ToDocument(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += kParagraph;
            ++i;
        } else if (c == u'\n') {
            out += kLoneLineFeed;
        } else if (c == u'\r') {
            out += kLoneReturn;
        } else {
            out += c;
        }
    }
    return out;
}

QString FromDocument(const QString& raw) {
    QString out;
    out.reserve(raw.size() + raw.count(kParagraph));
    for (const QChar c : raw) {
        if (c == kParagraph)
            out += u"\r\n";
        else if (c == kLoneLineFeed)
            out += u'\n';
        else if (c == kLoneReturn)
            out += u'\r';
        else
            out += c;
    }
    return out;
}

int EditPosition(const QString& raw, int position) {
    const int end = std::clamp(position, 0, int(raw.size()));
    return end + int(raw.left(end).count(kParagraph));
}

// A position between the "\r" and "\n" of a line end falls before the line end.
int DocumentPosition(const QString& raw, int position) {
    int edit = 0;
    for (int i = 0; i < raw.size(); ++i) {
        edit += raw[i] == kParagraph ? 2 : 1;
        if (edit > position) return i;
    }
    return int(raw.size());
}

} // namespace

TextEditWidget::TextEditWidget(QPlainTextEdit* edit) : edit_(edit) {
    ApplyTabStops();
}

QWidget* TextEditWidget::Widget() const {
    return edit_.data();
}

QString TextEditWidget::Text() const {
    return edit_ ? FromDocument(edit_->document()->toRawText()) : QString();
}

void TextEditWidget::SetText(const QString& text) {
    if (!edit_) return;
    edit_->setPlainText(ToDocument(text));
    edit_->moveCursor(QTextCursor::Start);
}

int TextEditWidget::Anchor() const {
    return edit_ ? EditPosition(edit_->document()->toRawText(), edit_->textCursor().anchor()) : 0;
}

int TextEditWidget::Caret() const {
    return edit_ ? EditPosition(edit_->document()->toRawText(), edit_->textCursor().position()) : 0;
}

void TextEditWidget::Select(int anchor, int caret) {
    if (!edit_) return;
    const QString raw = edit_->document()->toRawText();
    QTextCursor cursor = edit_->textCursor();
    cursor.setPosition(DocumentPosition(raw, anchor));
    cursor.setPosition(DocumentPosition(raw, caret), QTextCursor::KeepAnchor);
    edit_->setTextCursor(cursor);
}

void TextEditWidget::ReplaceSelection(const QString& text) {
    if (!edit_) return;
    QTextCursor cursor = edit_->textCursor();
    // One step for undo, whether it deletes, inserts or both.
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(ToDocument(text));
    cursor.endEditBlock();
    edit_->setTextCursor(cursor);
}

void TextEditWidget::Backspace() {
    if (!edit_) return;
    QTextCursor cursor = edit_->textCursor();
    cursor.deletePreviousChar();
    edit_->setTextCursor(cursor);
}

void TextEditWidget::Undo() {
    if (edit_) edit_->undo();
}

bool TextEditWidget::CanUndo() const {
    return edit_ && edit_->document()->isUndoAvailable();
}

bool TextEditWidget::IsModified() const {
    return edit_ && edit_->document()->isModified();
}

void TextEditWidget::SetModified(bool modified) {
    if (edit_) edit_->document()->setModified(modified);
}

// The edit keeps changes out of a read-only text itself; Qt's read-only mode would also stop the
// keyboard moving the caret.
void TextEditWidget::SetReadOnly(bool) {}

void TextEditWidget::ScrollCaret() {
    if (edit_) edit_->ensureCursorVisible();
}

// Placed and extended here rather than by Qt's own handling, which would start dragging a
// selection away.
void TextEditWidget::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!edit_) return;
    const QPoint at = edit_->viewport()->mapFrom(edit_, QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    const int position = edit_->cursorForPosition(at).position();
    QTextCursor cursor = edit_->textCursor();
    switch (message) {
    case WM_LBUTTONDOWN:
        cursor.setPosition(position, (wParam & MK_SHIFT) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        break;
    case WM_MOUSEMOVE:
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        break;
    case WM_LBUTTONDBLCLK:
        cursor.setPosition(position);
        cursor.select(QTextCursor::WordUnderCursor);
        break;
    default:
        return;
    }
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
}

bool TextEditWidget::SetTabStops(std::span<const int> dialogUnits) {
    if (std::any_of(dialogUnits.begin(), dialogUnits.end(), [](int stop) { return stop <= 0; })) return false;
    tabStops_.assign(dialogUnits.begin(), dialogUnits.end());
    ApplyTabStops();
    return true;
}

void TextEditWidget::FontChanged() {
    ApplyTabStops();
}

// Dialog units are quarters of the font's average character width.
void TextEditWidget::ApplyTabStops() {
    if (!edit_) return;
    const int average = QFontMetrics(edit_->font()).averageCharWidth();
    const auto pixels = [&](int units) { return qreal(units * average) / 4; };
    QTextOption option = edit_->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    if (tabStops_.size() > 1)
        for (int stop : tabStops_)
            tabs.append(QTextOption::Tab(pixels(stop), QTextOption::LeftTab));
    option.setTabs(tabs);
    option.setTabStopDistance(pixels(tabStops_.size() == 1 ? tabStops_.front() : kDefaultTabStop));
    edit_->document()->setDefaultTextOption(option);
}

} // namespace vq
