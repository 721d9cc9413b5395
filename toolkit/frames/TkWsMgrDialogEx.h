#pragma once

#include "platform/classlib/Dialog.h"
#include "toolkit/frames/TkWorkspaceRegistry.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

class TkWSLBEditorEx;

// The dialog and its controls.
enum : UINT {
    IDD_TK_WORKSPACE_MANAGER = 20502,
    IDC_TK_WORKSPACE_SAVE = 43000,
    IDC_TK_WORKSPACE_OPEN = 43001,
    IDC_TK_WORKSPACE_DONE = 43053,
    IDC_TK_WORKSPACE_LIST = 43072,
    IDC_TK_WORKSPACE_ACTIVE = 43105,
};

// The editor's options: tool tips, keys, drag, in-place editing on a typed character, the
// Delete, Move Up and Move Down buttons; saving adds the New button and a blank row to type a
// new name on, opening has neither.
inline constexpr DWORD kWorkspaceEditorSaveOptions = 0xF3E;
inline constexpr DWORD kWorkspaceEditorOpenOptions = 0xE7E;

// The Workspace Manager of registry mode: the recent workspaces in an editable list, one to pick
// for opening or saving, or a new name to type when saving; renames, deletions and moves go to
// the three lists the caller owns, which it carries out once the dialog ends with OK.
class TkWsMgrDialogEx : public CDialog {
    VQ_DECLARE_RUNTIME_CLASS(TkWsMgrDialogEx)
    VQ_DECLARE_MESSAGE_MAP()
public:
    using StringList = std::vector<std::string>;

    // `name` holds the open workspace's name and receives the one picked; `registry` answers
    // which names are taken.
    TkWsMgrDialogEx(StringList& before, StringList& edited, StringList& deleted, std::string& name, BOOL openMode,
                    BOOL saveMode, CWnd* parent, const TkWorkspaceRegistry& registry);
    ~TkWsMgrDialogEx() override;

    BOOL OnInitDialog() override;

    // What the editor asks of the dialog.
    void EnableButtons(BOOL editing);
    int ShowMessage(const std::string& text, UINT type);
    // Whether a name can be given to the entry at `position` (-1 for a new one): a valid name that
    // no other entry has, nor a key below the location that no entry or deletion accounts for.
    BOOL IsNameFree(const std::string& name, int position) const;
    BOOL IsValidName(const std::string& name) const;
    // The entry at `position` now carries `name`; the open workspace keeps following its entry.
    void OnEntryRenamed(int position, const std::string& name);

    TkWSLBEditorEx* GetEditor() const { return m_pEditor.get(); }
    BOOL IsOpenMode() const { return m_bOpenMode; }
    BOOL IsSaveMode() const { return m_bSaveMode; }

protected:
    void OnPick();
    void OnDone();

private:
    void ShowActiveName(const char* text);

    std::unique_ptr<TkWSLBEditorEx> m_pEditor;
    StringList& m_before;
    StringList& m_edited;
    StringList& m_deleted;
    std::string* m_pName;
    // The open workspace's name before editing: its entry is the one whose renames the name follows.
    std::string m_activeBefore;
    BOOL m_bOpenMode;
    BOOL m_bSaveMode;
    const TkWorkspaceRegistry& m_registry;
};

} // namespace vq
