#include "toolkit/frames/TkWorkspaceManagerEx.h"

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/FileDialog.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/MdiClient.h"
#include "platform/gui/Menu.h"
#include "platform/gui/MessageBox.h"
#include "platform/registry/WriteBatch.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDockState.h"
#include "toolkit/frames/TkPTNStrategyProfile.h"
#include "toolkit/frames/TkPTNStrategyRegistry.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <strings.h>

namespace vq {

namespace {

constexpr const char* kRegistryListKey = "__MRURegList";
constexpr const char* kFileListKey = "__MRUFileList";

std::string RecentValueName(int index) {
    return "Workspace" + std::to_string(index);
}

// A string value's text without its terminator; nothing when it is missing or no string.
std::optional<std::string> ReadStringValue(RegistryKey key, const std::string& name) {
    uint32_t type = 0, size = 0;
    if (RegQueryValueEx(key, name, &type, nullptr, &size) != kRegistrySuccess) return std::nullopt;
    if (type != kRegistryString && type != kRegistryExpandString) return std::nullopt;
    std::string text(size, '\0');
    if (RegQueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(text.data()), &size) != kRegistrySuccess)
        return std::nullopt;
    text.resize(std::min<std::size_t>(size, text.size()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool WriteStringValue(RegistryKey key, const std::string& name, const std::string& text) {
    return RegSetValueEx(key, name, kRegistryString, reinterpret_cast<const uint8_t*>(text.c_str()),
                         uint32_t(text.size() + 1)) == kRegistrySuccess;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkWorkspaceManagerEx, TkWndPlugIn)

VQ_BEGIN_MESSAGE_MAP(TkWorkspaceManagerEx, TkWndPlugIn)
VQ_ON_COMMAND(ID_WORKSPACE_NEW, OnNewWorkspace)
VQ_ON_COMMAND(ID_WORKSPACE_OPEN, OnOpenWorkspace)
VQ_ON_COMMAND(ID_WORKSPACE_SAVE, OnSaveWorkspace)
VQ_ON_COMMAND(ID_WORKSPACE_SAVEAS, OnSaveWorkspaceAs)
VQ_ON_COMMAND(ID_WORKSPACE_DELETE, OnDeleteWorkspace)
VQ_ON_COMMAND(ID_WORKSPACE_CLOSE, OnCloseWorkspace)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_NEW, OnUpdateAlwaysEnabled)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_OPEN, OnUpdateAlwaysEnabled)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_SAVE, OnUpdateAlwaysEnabled)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_SAVEAS, OnUpdateAlwaysEnabled)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_DELETE, OnUpdateAlwaysEnabled)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_CLOSE, OnUpdateCloseWorkspace)
VQ_ON_UPDATE_COMMAND_UI(ID_WORKSPACE_MRU_FIRST, OnUpdateRecentWorkspaces)
VQ_END_MESSAGE_MAP()

TkWorkspaceManagerEx::TkWorkspaceManagerEx() = default;
TkWorkspaceManagerEx::~TkWorkspaceManagerEx() = default;

BOOL TkWorkspaceManagerEx::AttachToHost(CWnd* host) {
    if (!TkWndPlugIn::AttachToHost(host)) return FALSE;
    m_pFrame = dynamic_cast<CFrameWnd*>(host);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    // The recent entries share one handler that needs to know which entry was chosen.
    if (code == CN_COMMAND && id >= ID_WORKSPACE_MRU_FIRST && id <= ID_WORKSPACE_MRU_LAST && m_bAttached) {
        if (!info) OnOpenRecentWorkspace(id);
        return TRUE;
    }
    return TkWndPlugIn::OnCmdMsg(id, code, extra, info);
}

void TkWorkspaceManagerEx::SetLocation(const char* locationKey, int registryMode, RegistryKey root,
                                       BOOL recentListUnderAppKey) {
    m_strLocation = locationKey ? locationKey : "";
    m_hRootKey = root;
    SetStorageMode(registryMode != 0, recentListUnderAppKey);
    if (!m_strLocation.empty() && m_strLocation.back() != '\\') m_strLocation += '\\';
}

void TkWorkspaceManagerEx::SetStorageMode(BOOL registryMode, BOOL recentListUnderAppKey) {
    if (!registryMode != !m_bRegistryMode) {
        m_bWorkspaceOpen = FALSE;
        m_strWorkspaceName.clear();
    }
    m_bRegistryMode = registryMode ? TRUE : FALSE;
    m_bRecentListUnderAppKey = recentListUnderAppKey ? TRUE : FALSE;
}

BOOL TkWorkspaceManagerEx::IsValidWorkspaceName(const std::string& name) const {
    if (name.empty()) return FALSE;
    if (!m_bRegistryMode) return TRUE;
    return name.find('\\') == std::string::npos && !SameWorkspaceName(name, GetRecentListKeyName());
}

BOOL TkWorkspaceManagerEx::SameWorkspaceName(const std::string& a, const std::string& b) const {
    if (!m_bRegistryMode) return a == b;
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

BOOL TkWorkspaceManagerEx::GetActiveWorkspace(std::string& name) const {
    name = m_strWorkspaceName;
    return m_bWorkspaceOpen;
}

BOOL TkWorkspaceManagerEx::CloseWorkspace() {
    m_bWorkspaceOpen = FALSE;
    m_strWorkspaceName.clear();
    const BOOL documents = CloseDocumentFrames();
    if (!m_pFrame) return FALSE;
    const BOOL bars = CloseControlBars(m_pFrame->m_listControlBars, m_pFrame);
    return documents && bars;
}

BOOL TkWorkspaceManagerEx::SaveWorkspace(std::string name) {
    const HWND owner = m_pFrame ? m_pFrame->m_hWnd : 0;
    if (name.empty() && !PromptForName(name, TRUE)) return FALSE;
    if (!IsValidWorkspaceName(name)) {
        MessageBox(owner, kInvalidWorkspaceNameText, kSaveWorkspaceTitle, MB_OK);
        return FALSE;
    }
    TkPTNFactory factory;
    TkPersistentTreeNode* root = factory.CreateNode(kWorkspaceRootName, nullptr);
    if (!root) return FALSE;
    SaveWorkspaceBarState(&factory, root);
    SaveFrames(&factory, root);
    OnWorkspaceSaving(&factory, root, name);
    std::unique_ptr<TkPTNStrategy> strategy = CreateStrategy(name);
    // A store that did not take the tree still holds the old one: nothing here may say otherwise.
    if (!strategy || root->Save(strategy.get()) != 1) {
        MessageBox(owner, kWorkspaceNotSavedText, kSaveWorkspaceTitle, MB_OK);
        return FALSE;
    }
    if (!SameWorkspaceName(name, m_strWorkspaceName)) {
        m_strWorkspaceName = name;
        StringList list;
        ReadRecentList(list);
        AddToRecentList(name, list);
        WriteRecentList(list);
    }
    m_bWorkspaceOpen = TRUE;
    return TRUE;
}

BOOL TkWorkspaceManagerEx::SaveCurrentWorkspace() {
    return SaveWorkspace(m_strWorkspaceName);
}

BOOL TkWorkspaceManagerEx::OpenWorkspace(std::string name, BOOL quiet) {
    const HWND owner = m_pFrame ? m_pFrame->m_hWnd : 0;
    if (name.empty() && !PromptForName(name, FALSE)) return FALSE;
    TkPersistentTreeNode root;
    std::unique_ptr<TkPTNStrategy> strategy =
        IsValidWorkspaceName(name) && root.Create(kWorkspaceRootName, nullptr) == 0 ? CreateStrategy(name) : nullptr;
    if (!strategy || root.Load(strategy.get()) != 1) {
        if (!quiet) MessageBox(owner, kInvalidWorkspaceText, kOpenWorkspaceTitle, MB_OK);
        RemoveFromRecentList(name);
        return FALSE;
    }
    strategy.reset();
    CloseWorkspace();
    CFrameWnd* active = nullptr;
    LoadFrames(&root, &active);
    LoadWorkspaceBarState(&root);
    if (active) {
        ActivateChildFrame(active);
    } else if (auto* mdiFrame = dynamic_cast<TkMDIFrameWnd*>(m_pFrame)) {
        // Without a recorded active frame, a bar floated inside the main window takes the focus.
        for (CControlBar* bar : mdiFrame->m_listControlBars) {
            auto* dockBar = dynamic_cast<CDockBar*>(bar);
            auto* child = dockBar ? dynamic_cast<CMDIChildWnd*>(dockBar->GetParentFrame()) : nullptr;
            if (!child) continue;
            ::vq::SendMessage(mdiFrame->m_hWndMDIClient, WM_MDIACTIVATE, WPARAM(child->m_hWnd), 0);
            break;
        }
    }
    OnWorkspaceOpened(&root, name);
    m_bWorkspaceOpen = TRUE;
    m_strWorkspaceName = name;
    StringList list;
    ReadRecentList(list);
    AddToRecentList(name, list);
    WriteRecentList(list);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::OpenWorkspaceOrPrompt(BOOL useMostRecent, BOOL quiet) {
    std::string name;
    if (useMostRecent) {
        StringList list;
        if (!ReadRecentList(list) || list.empty()) return FALSE;
        name = list.front();
    } else if (!PromptForName(name, FALSE) || name.empty()) {
        return FALSE;
    }
    return OpenWorkspace(name, quiet);
}

std::unique_ptr<TkPTNStrategy> TkWorkspaceManagerEx::CreateStrategy(const std::string& name) {
    if (m_bRegistryMode) return std::make_unique<TkPTNStrategyRegistry>(m_strLocation + name, m_hRootKey);
    return std::make_unique<TkPTNStrategyProfile>(name);
}

BOOL TkWorkspaceManagerEx::SaveWorkspaceBarState(TkPTNFactory* factory, TkPersistentTreeNode* root) {
    auto* host = dynamic_cast<TkDockingFrameHost*>(m_pFrame);
    if (!root || !factory || !m_pFrame) return FALSE;
    TkControlBarManager* manager = host ? host->GetControlBarManager() : nullptr;
    TkDockState state(manager);
    if (state.CaptureFrame(m_pFrame)) {
        state.CleanBarIdLists();
        state.SaveStateToTree(factory, root);
    }
    if (manager) manager->SaveStateToTree(factory, root);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::LoadWorkspaceBarState(TkPersistentTreeNode* root) {
    auto* host = dynamic_cast<TkDockingFrameHost*>(m_pFrame);
    if (!root || !m_pFrame) return FALSE;
    TkControlBarManager* manager = host ? host->GetControlBarManager() : nullptr;
    if (manager) manager->LoadStateFromTree(root);
    auto* mdiFrame = dynamic_cast<TkMDIFrameWnd*>(m_pFrame);
    TkDockState state(manager, mdiFrame ? &mdiFrame->m_listOwnedObjects : nullptr);
    // A workspace without a docking layout leaves the bars as they stand.
    if (state.LoadStateFromTree(root)) state.ApplyToFrame(m_pFrame);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::PromptForName(std::string& name, BOOL forSaving) {
    name.clear();
    if (m_bRegistryMode) return PromptForRegistryName(name, !forSaving, forSaving);
    return PromptForFileName(name, forSaving);
}

void TkWorkspaceManagerEx::OnWorkspaceOpened(TkPersistentTreeNode*, const std::string&) {}

void TkWorkspaceManagerEx::OnWorkspaceSaving(TkPTNFactory*, TkPersistentTreeNode*, const std::string&) {}

BOOL TkWorkspaceManagerEx::CloseControlBars(std::vector<CControlBar*>&, CFrameWnd*) {
    return TRUE;
}

std::string TkWorkspaceManagerEx::GetRecentListKeyName() const {
    return m_bRegistryMode ? kRegistryListKey : kFileListKey;
}

namespace {

// The key the recent list lives below, for the caller to close unless it is a root.
RegistryKey RecentListParent(BOOL underAppKey, const std::string& location, std::string& path,
                             const std::string& keyName) {
    if (!underAppKey) {
        path = location + keyName;
        return kRegistryCurrentUser;
    }
    path = keyName;
    CWinApp* app = AfxGetApp();
    return app ? app->GetSectionKey(location.c_str()) : nullptr;
}

void CloseUnlessRoot(RegistryKey key) {
    if (key && !IsRegistryRoot(key)) RegCloseKey(key);
}

} // namespace

BOOL TkWorkspaceManagerEx::ReadRecentList(StringList& list) {
    std::string path;
    RegistryKey parent = RecentListParent(m_bRecentListUnderAppKey, m_strLocation, path, GetRecentListKeyName());
    RegistryKey key = nullptr;
    const bool opened = parent && RegOpenKeyEx(parent, path, kKeyAllAccess, &key) == kRegistrySuccess;
    CloseUnlessRoot(parent);
    if (!opened) return FALSE;
    for (int i = 0; i < m_nRecentMax; ++i) {
        std::optional<std::string> name = ReadStringValue(key, RecentValueName(i));
        // A name that cannot address a workspace of its own never reaches a caller.
        if (name && IsValidWorkspaceName(*name)) list.push_back(std::move(*name));
    }
    RegCloseKey(key);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::WriteRecentList(const StringList& list) {
    std::string path;
    RegistryKey parent = RecentListParent(m_bRecentListUnderAppKey, m_strLocation, path, GetRecentListKeyName());
    if (!parent) return FALSE;
    // The list is replaced whole: the old one stays unless the new one reaches the file.
    WriteBatch batch = WriteBatch::UserRegistry();
    RegDeleteKey(parent, path);
    RegistryKey key = nullptr;
    bool written = RegCreateKeyEx(parent, path, "", 0, kKeyAllAccess, &key, nullptr) == kRegistrySuccess;
    CloseUnlessRoot(parent);
    const int count = int(std::min<std::size_t>(list.size(), std::size_t(std::max(m_nRecentMax, 0))));
    for (int i = 0; written && i < count; ++i)
        written = WriteStringValue(key, RecentValueName(i), list[std::size_t(i)]);
    // A key that could not be deleted still holds the old entries past the new ones.
    for (int i = count; written && i < m_nRecentMax; ++i)
        RegDeleteValue(key, RecentValueName(i));
    if (key) RegCloseKey(key);
    if (!written) return FALSE;
    return !batch.IsOpen() || batch.Commit();
}

int TkWorkspaceManagerEx::AddToRecentList(const std::string& name, StringList& list) {
    std::erase_if(list, [&](const std::string& entry) { return SameWorkspaceName(entry, name); });
    list.insert(list.begin(), name);
    if (m_nRecentMax >= 0 && list.size() > std::size_t(m_nRecentMax)) list.resize(std::size_t(m_nRecentMax));
    return int(list.size());
}

BOOL TkWorkspaceManagerEx::RemoveFromRecentList(const std::string& name) {
    StringList list;
    if (!ReadRecentList(list)) return FALSE;
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const std::string& entry) { return SameWorkspaceName(entry, name); });
    if (it == list.end()) return FALSE;
    list.erase(it);
    return WriteRecentList(list);
}

BOOL TkWorkspaceManagerEx::PromptForFileName(std::string& name, BOOL forSaving) {
    const std::string extension = m_strFileFilter.size() > 2 ? m_strFileFilter.substr(2) : std::string();
    const std::string filter = std::string(kWorkspacesText) + " (" + m_strFileFilter + ")|" + m_strFileFilter + "|" +
                               kAllFilesText + " (*.*)|*.*||";
    DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!forSaving) flags |= OFN_FILEMUSTEXIST;
    CFileDialog dialog(!forSaving, extension.empty() ? nullptr : extension.c_str(), nullptr, flags, filter.c_str(),
                       m_pFrame);
    dialog.SetTitle(forSaving ? kSaveWorkspaceTitle : kOpenWorkspaceTitle);
    if (dialog.DoModal() != IDOK) return FALSE;
    name = dialog.GetPathName();
    return TRUE;
}

void TkWorkspaceManagerEx::OnOpenWorkspace() {
    OpenWorkspaceOrPrompt(FALSE, FALSE);
    m_bHandled = TRUE;
}

void TkWorkspaceManagerEx::OnSaveWorkspace() {
    SaveWorkspace(m_strWorkspaceName);
}

void TkWorkspaceManagerEx::OnSaveWorkspaceAs() {
    SaveWorkspace(std::string());
}

void TkWorkspaceManagerEx::OnCloseWorkspace() {
    CloseWorkspace();
    m_bHandled = TRUE;
}

void TkWorkspaceManagerEx::OnOpenRecentWorkspace(UINT id) {
    StringList list;
    ReadRecentList(list);
    const std::size_t index = id - ID_WORKSPACE_MRU_FIRST;
    if (index >= list.size()) return;
    OpenWorkspace(list[index], FALSE);
    m_bHandled = TRUE;
}

void TkWorkspaceManagerEx::OnUpdateCloseWorkspace(CCmdUI* ui) {
    ui->Enable(m_bWorkspaceOpen);
}

void TkWorkspaceManagerEx::OnUpdateRecentWorkspaces(CCmdUI* ui) {
    HMENU menu = ui->m_pMenu;
    if (!menu || GetMenuItemID(menu, int(ui->m_nIndex)) != ID_WORKSPACE_MRU_FIRST) return;
    const UINT position = ui->m_nIndex;
    for (UINT i = position; i < UINT(GetMenuItemCount(menu));) {
        const UINT id = GetMenuItemID(menu, int(i));
        if (id >= ID_WORKSPACE_MRU_FIRST && id <= ID_WORKSPACE_MRU_LAST) DeleteMenu(menu, i, MF_BYPOSITION);
        else ++i;
    }
    StringList list;
    ReadRecentList(list);
    const std::size_t count =
        std::min({list.size(), std::size_t(std::max(m_nRecentMax, 0)),
                  std::size_t(ID_WORKSPACE_MRU_LAST - ID_WORKSPACE_MRU_FIRST + 1)});
    if (count == 0) {
        InsertMenu(menu, position, MF_BYPOSITION | MF_STRING, ID_WORKSPACE_MRU_FIRST, kNoRecentWorkspaceText);
        ui->m_nIndexMax = UINT(GetMenuItemCount(menu));
        ui->Enable(FALSE);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::string text = "&" + std::to_string(i + 1) + " " + list[i];
        const UINT at = position + UINT(i);
        InsertMenu(menu, at, MF_BYPOSITION | MF_STRING, ID_WORKSPACE_MRU_FIRST + i, text.c_str());
        if (SameWorkspaceName(list[i], m_strWorkspaceName))
            CheckMenuItem(menu, at, MF_BYPOSITION | MF_CHECKED);
    }
    // The walk over the popup goes on after the entries made here.
    ui->m_nIndex = position + UINT(count) - 1;
    ui->m_nIndexMax = UINT(GetMenuItemCount(menu));
    ui->m_bEnableChanged = TRUE;
}

} // namespace vq
