#include "platform/gui/LineEditWidget.h"

#include "platform/gui/QtControl.h"

#include <QLineEdit>

namespace vq {

LineEditWidget::LineEditWidget(HWND window, QLineEdit* line) : window_(window), line_(line) {}

QWidget* LineEditWidget::Widget() const {
    return line_.data();
}

QString LineEditWidget::Text() const {
    return line_ ? line_->text() : QString();
}

void LineEditWidget::SetText(const QString& text) {
    if (!line_) return;
    line_->setText(text);
    line_->setCursorPosition(0);
}

int LineEditWidget::Anchor() const {
    if (!line_) return 0;
    if (!line_->hasSelectedText()) return line_->cursorPosition();
    const int start = line_->selectionStart();
    return line_->cursorPosition() == start ? line_->selectionEnd() : start;
}

int LineEditWidget::Caret() const {
    return line_ ? line_->cursorPosition() : 0;
}

void LineEditWidget::Select(int anchor, int caret) {
    if (!line_) return;
    if (anchor == caret)
        line_->setCursorPosition(caret);
    else
        line_->setSelection(anchor, caret - anchor);
}

void LineEditWidget::ReplaceSelection(const QString& text) {
    if (line_) line_->insert(text);
}

void LineEditWidget::Backspace() {
    if (line_) line_->backspace();
}

void LineEditWidget::Undo() {
    if (line_) line_->undo();
}

bool LineEditWidget::CanUndo() const {
    return line_ && line_->isUndoAvailable();
}

bool LineEditWidget::IsModified() const {
    return line_ && line_->isModified();
}

void LineEditWidget::SetModified(bool modified) {
    if (line_) line_->setModified(modified);
}

void LineEditWidget::SetReadOnly(bool readOnly) {
    if (line_) line_->setReadOnly(readOnly);
}

// A line edit keeps its caret in view by itself.
void LineEditWidget::ScrollCaret() {}

void LineEditWidget::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    ForwardMouseToQtControl(window_, message, wParam, lParam);
}

} // namespace vq
