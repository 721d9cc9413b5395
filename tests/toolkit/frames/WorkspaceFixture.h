#pragma once

#include "platform/classlib/DocManager.h"
#include "platform/classlib/DocTemplate.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/OffscreenHarness.h"
#include "tests/support/TempDir.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkMDIFrameWnd.h"
#include "toolkit/frames/TkWorkspaceManagerEx.h"
#include "workspace.h"

#include <gtest/gtest.h>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq::test {

// A document kept in a file of its own: opening needs the file, saving writes it; File Save on an
// untitled one asks for a path through the file dialog.
class WsDoc : public CDocument {
    VQ_DECLARE_RUNTIME_CLASS(WsDoc)
    VQ_DECLARE_MESSAGE_MAP()
public:
    BOOL OnOpenDocument(const char* path) override;
    BOOL OnSaveDocument(const char* path) override;
    void OnFileSave();
};

class WsLogDoc : public WsDoc {
    VQ_DECLARE_RUNTIME_CLASS(WsLogDoc)
};

class WsView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(WsView)
public:
    void OnDraw(HDC) override {}
};

class WsChild : public TkMDIChildWnd {
    VQ_DECLARE_RUNTIME_CLASS(WsChild)
};

// The manager with the workspace dialog answered from a script: an empty queue cancels.
class ScriptedWorkspaceManager : public TkWorkspaceManagerEx {
    VQ_DECLARE_RUNTIME_CLASS(ScriptedWorkspaceManager)
public:
    static inline std::deque<std::string> names;
    static inline int prompts = 0;
    BOOL PromptForRegistryName(std::string& name, BOOL openMode, BOOL saveMode) override;
};

class ScriptedBoxes : public MessageBoxProvider {
public:
    std::vector<std::string> texts;
    int answer = IDNO;
    int Show(HWND, const std::string& text, const std::string&, UINT) override {
        texts.push_back(text);
        return answer;
    }
};

class ScriptedFiles : public CommonDialogProvider {
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<FileRequest> requests;
    std::optional<std::string> PickFile(HWND, const FileRequest& request) override;
    std::optional<COLORREF> PickColour(HWND, ColourRequest&) override { return std::nullopt; }
    std::optional<std::string> PickFolder(HWND, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

class RecordingMenuBar : public TkMenuBarLink {
public:
    UINT id = 0;
    std::vector<UINT> switches;
    void SelectMenu(UINT menuId) override { id = menuId; }
    UINT GetMenuId() const override { return id; }
    void SwitchMenu(UINT menuId) override {
        switches.push_back(menuId);
        id = menuId;
    }
    BOOL UpdateCaptionButtons(BOOL) override { return FALSE; }
    void SetHiddenForInPlace(BOOL) override {}
    HWND GetBarWindow() const override { return 0; }
};

class PlainPlugInFactory : public TkFramePlugInFactory {
public:
    std::unique_ptr<TkWndPlugIn> CreateFramePlugIn(TkMDIFrameWnd&, TkMenuBarLink*, BOOL) override {
        return std::make_unique<TkWndPlugIn>();
    }
};

inline constexpr const char* kWorkspaceLocation = "Software\\Vorquel\\WorkspaceTest";

class WorkspaceTest : public ::testing::Test {
protected:
    static constexpr const char* kLocation = kWorkspaceLocation;

    TempDir registryFolder;
    TempDir files;
    CWinApp app;
    ScriptedBoxes boxes;
    ScriptedFiles dialogs;
    RecordingMenuBar menuBar;
    PlainPlugInFactory plugIns;
    TkMDIFrameWnd* frame = nullptr;
    TkWorkspaceManagerEx* manager = nullptr;
    CMultiDocTemplate* textTemplate = nullptr;
    CMultiDocTemplate* logTemplate = nullptr;
    CMultiDocTemplate* noteTemplate = nullptr;
    std::vector<std::unique_ptr<TkControlBar>> bars;

    void SetUp() override;
    void TearDown() override;
    // The main frame with the workspace manager in the given mode; a menu bar when asked.
    void MakeFrame(bool registryMode, bool withMenuBar);
    TkControlBar* MakeBar(UINT id, DWORD side);
    // A document of the template from a new file of that name (an untitled one for an empty name).
    CDocument* Open(CDocTemplate* docTemplate, const std::string& name);
    CFrameWnd* FrameOf(CDocument* document, std::size_t view = 0) const;
    std::vector<CDocument*> Documents() const;
    void Command(UINT id);
    // The File popup after the frame brought it up to date.
    HMENU OpenFilePopup();
    void SaveShot(const char* name);
};

// The text of a menu item by position.
std::string ItemText(HMENU menu, int position);
bool KeyExists(const std::string& path);
std::vector<std::string> SubkeysOf(const std::string& path);

} // namespace vq::test
