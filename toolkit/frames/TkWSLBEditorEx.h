#pragma once

#include "toolkit/lists/TkListBoxEditor.h"

#include <string>
#include <vector>

namespace vq {

class TkWsMgrDialogEx;

// The list of the Workspace Manager: checks new names and names given to entries, keeps the
// lists of names before and after editing in step with the entries, and notes deletions.
class TkWSLBEditorEx : public TkListBoxEditor {
    VQ_DECLARE_RUNTIME_CLASS(TkWSLBEditorEx)
public:
    using StringList = std::vector<std::string>;

    TkWSLBEditorEx(StringList& before, StringList& edited, StringList& deleted, TkWsMgrDialogEx* dialog);

    BOOL EditItem(int index, BOOL isNew, const char* initialText) override;
    void OnEditDone() override;
    void OnItemChanged(int index, const std::string& oldText, const std::string& newText) override;
    void OnItemAdded(int index, const std::string& text) override;
    void OnItemMoved(int from, int to, const std::string& text, BOOL byDrag) override;
    BOOL OnDeletingItem(int index, const std::string& text) override;

private:
    // Puts the entry's text back without the list flickering, its selection kept.
    void PutBack(int index, const std::string& text);
    // Takes a typed entry out again; it was never a workspace, so nothing records its going.
    void DropNewEntry(int index);

    StringList& m_before;
    StringList& m_edited;
    StringList& m_deleted;
    TkWsMgrDialogEx* m_pDialog;
};

} // namespace vq
