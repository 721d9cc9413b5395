#pragma once

#include "platform/registry/Registry.h"
#include "toolkit/frames/TkMDIFrameWnd.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

class CControlBar;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;
class TkPersistentTreeNode;
class TkPTNFactory;
class TkPTNStrategy;

// Texts the workspace manager and its dialog show.
inline constexpr const char* kWorkspaceRootName = "WorkState_v1_1";
inline constexpr const char* kInvalidWorkspaceText = "Invalid workspace. Operation has been cancelled.";
inline constexpr const char* kWorkspaceNotSavedText = "The workspace could not be saved.";
inline constexpr const char* kInvalidWorkspaceNameText = "Invalid workspace name.";
inline constexpr const char* kSelectItemText = "You must select an item for this operation";
inline constexpr const char* kWorkspaceExistsFormat =
    "Workspace '%s' already exists. Please enter a unique workspace name.";
inline constexpr const char* kSaveNewWorkspaceFormat = "Save new workspace '%s'?\n";
inline constexpr const char* kNoActiveWorkspaceText = "<None>";
inline constexpr const char* kNoRecentWorkspaceText = "(none)";
inline constexpr const char* kOpenWorkspaceTitle = "Open Workspace";
inline constexpr const char* kSaveWorkspaceTitle = "Save Workspace";
inline constexpr const char* kWorkspaceManagerTitle = "Workspace Manager";
inline constexpr const char* kWorkspacesText = "Workspaces";
inline constexpr const char* kAllFilesText = "All Files";

// Saves the desktop - main window, documents in their frames with their placements and the active
// one, the docking layout, the tool bar switches and whatever a subclass adds - as one settings
// tree under a name, opens it again, and keeps the most recently used names. In file mode a name
// is the path of a workspace file; in registry mode it is a key below the location key. The main
// frame routes the workspace commands to it.
class TkWorkspaceManagerEx : public TkWorkspaceManagerPlugIn {
    VQ_DECLARE_RUNTIME_CLASS(TkWorkspaceManagerEx)
    VQ_DECLARE_MESSAGE_MAP()
public:
    using StringList = std::vector<std::string>;

    TkWorkspaceManagerEx();
    ~TkWorkspaceManagerEx() override;

    CFrameWnd* m_pFrame = nullptr;
    std::string m_strWorkspaceName;
    BOOL m_bWorkspaceOpen = FALSE;
    std::string m_strFileFilter = "*.wsp";
    std::string m_strLocation = "Software\\Quartzel\\DefWorkspace\\";
    RegistryKey m_hRootKey = kRegistryCurrentUser;
    BOOL m_bRegistryMode = FALSE;
    BOOL m_bRecentListUnderAppKey = FALSE;
    int m_nRecentMax = 8;

    BOOL AttachToHost(CWnd* host) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    void SetLocation(const char* locationKey, int registryMode, RegistryKey root, BOOL recentListUnderAppKey) override;
    virtual void SetStorageMode(BOOL registryMode, BOOL recentListUnderAppKey);
    virtual BOOL CloseWorkspace();
    virtual BOOL SaveWorkspace(std::string name);
    virtual BOOL SaveCurrentWorkspace();
    virtual BOOL OpenWorkspace(std::string name, BOOL quiet);
    virtual BOOL OpenWorkspaceOrPrompt(BOOL useMostRecent, BOOL quiet);
    virtual std::unique_ptr<TkPTNStrategy> CreateStrategy(const std::string& name);
    virtual BOOL LoadWorkspaceBarState(TkPersistentTreeNode* root);
    virtual BOOL LoadFrames(TkPersistentTreeNode* root, CFrameWnd** activeChild);
    virtual BOOL SaveWorkspaceBarState(TkPTNFactory* factory, TkPersistentTreeNode* root);
    virtual BOOL SaveFrames(TkPTNFactory* factory, TkPersistentTreeNode* root);
    // Asks for a name: the workspace dialog in registry mode, a file dialog in file mode.
    virtual BOOL PromptForName(std::string& name, BOOL forSaving);
    virtual void OnWorkspaceOpened(TkPersistentTreeNode* root, const std::string& name);
    virtual void OnWorkspaceSaving(TkPTNFactory* factory, TkPersistentTreeNode* root, const std::string& name);
    virtual BOOL CloseDocumentFrames();
    virtual BOOL CloseControlBars(std::vector<CControlBar*>& bars, CFrameWnd* frame);

    // Frames and documents.
    virtual BOOL RestoreAdditionalView(CDocument* document, CFrameWnd* frame, TkPersistentTreeNode* node);
    virtual TkPersistentTreeNode* SaveAdditionalView(CDocument* document, CView* view, CFrameWnd* frame,
                                                     TkPTNFactory* factory, TkPersistentTreeNode* frameNode,
                                                     int number);
    virtual BOOL LoadMainFrame(TkPersistentTreeNode* frames);
    virtual BOOL SaveMainFrame(TkPTNFactory* factory, TkPersistentTreeNode* frames);
    virtual BOOL LoadChildFrames(TkPersistentTreeNode* frames, CFrameWnd** activeChild);
    virtual BOOL SaveChildFrames(TkPTNFactory* factory, TkPersistentTreeNode* frames, CFrameWnd* activeChild);
    virtual BOOL LoadChildFrame(TkPersistentTreeNode* node, CDocument** document, CFrameWnd** frame,
                                CFrameWnd** activeChild);
    virtual TkPersistentTreeNode* SaveChildFrame(CDocument* document, CView* view, CFrameWnd* frame,
                                                 CFrameWnd* activeChild, TkPTNFactory* factory,
                                                 TkPersistentTreeNode* documentNode, int number);
    // TRUE when it stored the frame's placement itself.
    virtual BOOL SaveFramePlacement(CFrameWnd* frame, TkPersistentTreeNode* node);
    virtual BOOL SaveModifiedDocument(CFrameWnd* frame, CDocument* document);
    virtual CFrameWnd* OpenDocumentFrame(CDocTemplate* docTemplate, const std::string& path, CDocument** document);
    virtual CDocument* FindOpenDocument(TkPersistentTreeNode* node, CDocTemplate* docTemplate,
                                        const std::string& path);
    virtual CFrameWnd* CreateFrameForDocument(CDocTemplate* docTemplate, CDocument* document, CFrameWnd* other);
    virtual CFrameWnd* FindFrameForDocument(TkPersistentTreeNode* node, CDocTemplate* docTemplate,
                                            CDocument* document, CFrameWnd* frame);
    virtual BOOL ActivateChildFrame(CFrameWnd* frame);

    // The recent list.
    virtual BOOL ReadRecentList(StringList& list);
    virtual std::string GetRecentListKeyName() const;
    virtual BOOL WriteRecentList(const StringList& list);
    virtual int AddToRecentList(const std::string& name, StringList& list);
    virtual BOOL RemoveFromRecentList(const std::string& name);

    // The workspace dialog's side.
    virtual BOOL PromptForRegistryName(std::string& name, BOOL openMode, BOOL saveMode);
    virtual void ApplyRegistryChanges(const StringList& before, StringList& edited, const StringList& deleted);
    virtual BOOL PromptForFileName(std::string& name, BOOL forSaving);

    BOOL GetActiveWorkspace(std::string& name) const;
    const std::string& GetLocation() const { return m_strLocation; }
    RegistryKey GetRootKey() const { return m_hRootKey; }
    BOOL IsRegistryMode() const { return m_bRegistryMode; }
    int GetRecentMax() const { return m_nRecentMax; }

    // Whether a name can name a workspace: in registry mode not empty, without a backslash and not
    // the recent list's own key; in file mode not empty.
    BOOL IsValidWorkspaceName(const std::string& name) const;
    // Equal as workspace names: without regard to case in registry mode, where they name keys.
    BOOL SameWorkspaceName(const std::string& a, const std::string& b) const;

protected:
    void OnNewWorkspace() {}
    void OnOpenWorkspace();
    void OnSaveWorkspace();
    void OnSaveWorkspaceAs();
    void OnDeleteWorkspace() {}
    void OnCloseWorkspace();
    void OnOpenRecentWorkspace(UINT id);
    void OnUpdateAlwaysEnabled(CCmdUI*) {}
    void OnUpdateCloseWorkspace(CCmdUI* ui);
    void OnUpdateRecentWorkspaces(CCmdUI* ui);
};

} // namespace vq
