#pragma once

#include "platform/classlib/ListBox.h"

namespace vq {

class TkListBoxEditor;

// Subclasses the editor's list box and routes its keys, clicks and the edit's notices to the
// editor.
class TkListBoxEditorHelper : public CListBox {
public:
    explicit TkListBoxEditorHelper(TkListBoxEditor* editor) : m_editor(editor) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The list box's own handling of a click.
    LRESULT DefaultButtonDown(WPARAM wParam, LPARAM lParam) { return CListBox::WindowProc(WM_LBUTTONDOWN, wParam, lParam); }

    BOOL m_focusLeft = FALSE;

private:
    TkListBoxEditor* m_editor;
};

} // namespace vq
