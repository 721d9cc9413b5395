#pragma once

#include "platform/gui/EditWidget.h"

#include <QPointer>
#include <vector>

class QPlainTextEdit;

namespace vq {

// The text of an edit of several lines in a Qt plain-text edit. The document holds each "\r\n" as
// one paragraph break, so its positions differ from the edit's; every position is translated.
class TextEditWidget : public EditWidget {
public:
    explicit TextEditWidget(QPlainTextEdit* edit);

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
    bool SetTabStops(std::span<const int> dialogUnits) override;
    void FontChanged() override;

private:
    void ApplyTabStops();

    QPointer<QPlainTextEdit> edit_;
    // Dialog units as last set; empty for the default.
    std::vector<int> tabStops_;
};

} // namespace vq
