#include "toolkit/frames/TkWorkspaceManagerEx.h"

#include "platform/classlib/FrameWnd.h"
#include "toolkit/frames/TkWorkspaceRegistry.h"
#include "toolkit/frames/TkWsMgrDialogEx.h"

namespace vq {

BOOL TkWorkspaceManagerEx::PromptForRegistryName(std::string& name, BOOL openMode, BOOL saveMode) {
    StringList before;
    ReadRecentList(before);
    StringList edited = before;
    StringList deleted;
    std::string chosen = m_strWorkspaceName;
    const TkWorkspaceRegistry registry(m_hRootKey, m_strLocation, GetRecentListKeyName());
    TkWsMgrDialogEx dialog(before, edited, deleted, chosen, openMode, saveMode, m_pFrame, registry);
    if (dialog.DoModal() != IDOK) return FALSE;
    ApplyRegistryChanges(before, edited, deleted);
    WriteRecentList(edited);
    name = chosen;
    return TRUE;
}

void TkWorkspaceManagerEx::ApplyRegistryChanges(const StringList& before, StringList& edited, const StringList& deleted) {
    const TkWorkspaceRegistry registry(m_hRootKey, m_strLocation, GetRecentListKeyName());
    // The open workspace follows its key, so that the next save writes where it now lives.
    for (const auto& [from, to] : registry.ApplyChanges(before, edited, deleted))
        if (SameWorkspaceName(m_strWorkspaceName, from)) m_strWorkspaceName = to;
}

} // namespace vq
