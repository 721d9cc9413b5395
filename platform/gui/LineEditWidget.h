#pragma once

#include "platform/gui/EditWidget.h"

#include <QPointer>

class QLineEdit;

namespace vq {

// A single-line edit's text in a Qt line edit, whose positions are the edit's own.
class LineEditWidget : public EditWidget {
public:
    LineEditWidget(HWND window, QLineEdit* line);

    QWidget* Widget() const override;
    QString Text() const override;
    void SetText(const QString& text) override;
    int Anchor() const override;
    int Caret() const override;
    void Select(int anchor, int caret) override;
    void ReplaceSelection(const QString& text) override;
    void Backspace() override;
    void Undo() override;
    bool CanUndo() const override;
    bool IsModified() const override;
    void SetModified(bool modified) override;
    void SetReadOnly(bool readOnly) override;
    void ScrollCaret() override;
    void Mouse(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND window_;
    QPointer<QLineEdit> line_;
};

} // namespace vq
