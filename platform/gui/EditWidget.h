#pragma once

#include "platform/gui/WindowSystem.h"

#include <QString>
#include <span>

class QWidget;

namespace vq {

// The Qt widget that holds an edit's text, seen in the edit's own terms: the text as callers set
// and read it, lines ended by "\r\n", and positions counted in UTF-16 units of that text. The edit
// decides what may change; the widget only holds, shows and changes the text when told.
class EditWidget {
public:
    virtual ~EditWidget() = default;

    // Null once Qt has deleted the widget.
    virtual QWidget* Widget() const = 0;
    virtual QString Text() const = 0;
    // Replaces the text, forgets what undo would restore and puts the caret at the start.
    virtual void SetText(const QString& text) = 0;
    virtual int Anchor() const = 0;
    virtual int Caret() const = 0;
    virtual void Select(int anchor, int caret) = 0;
    virtual void ReplaceSelection(const QString& text) = 0;
    // Deletes the selection, else the character before the caret.
    virtual void Backspace() = 0;
    virtual void Undo() = 0;
    virtual bool CanUndo() const = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual void ScrollCaret() = 0;
    // A pointer message in client coordinates; the edit holds the capture meanwhile.
    virtual void Mouse(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Tab stops in dialog units: none for the default, one for equal steps, more for positions.
    // Only an edit of several lines has them.
    virtual bool SetTabStops(std::span<const int>) { return false; }
    // The widget's font changed; what is measured in it is measured again.
    virtual void FontChanged() {}
};

} // namespace vq
