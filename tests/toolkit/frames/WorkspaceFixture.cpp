#include "tests/toolkit/frames/WorkspaceFixture.h"

#include "platform/classlib/FileDialog.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Menu.h"
#include "platform/registry/Registry.h"
#include "tests/support/TestPaths.h"
#include "toolkit/controls/TkRegistry.h"
#include "toolkit/frames/TkToolBarManager.h"

#include <filesystem>

namespace vq::test {

VQ_IMPLEMENT_DYNCREATE(WsDoc, CDocument)
VQ_BEGIN_MESSAGE_MAP(WsDoc, CDocument)
VQ_ON_COMMAND(ID_WS_FILE_SAVE, OnFileSave)
VQ_END_MESSAGE_MAP()
VQ_IMPLEMENT_DYNCREATE(WsLogDoc, WsDoc)
VQ_IMPLEMENT_DYNCREATE(WsView, CView)
VQ_IMPLEMENT_DYNCREATE(WsChild, TkMDIChildWnd)
VQ_IMPLEMENT_DYNCREATE(ScriptedWorkspaceManager, TkWorkspaceManagerEx)

BOOL WsDoc::OnOpenDocument(const char* path) {
    if (!path || !std::filesystem::exists(path)) return FALSE;
    return CDocument::OnOpenDocument(path);
}

BOOL WsDoc::OnSaveDocument(const char* path) {
    WriteFile(path, GetTitle());
    return CDocument::OnSaveDocument(path);
}

void WsDoc::OnFileSave() {
    if (!GetPathName().empty()) {
        DoSave(nullptr);
        return;
    }
    CFileDialog dialog(FALSE);
    if (dialog.DoModal() == IDOK) DoSave(dialog.GetPathName().c_str());
}

BOOL ScriptedWorkspaceManager::PromptForRegistryName(std::string& name, BOOL, BOOL) {
    ++prompts;
    if (names.empty()) return FALSE;
    name = names.front();
    names.pop_front();
    return TRUE;
}

std::optional<std::string> ScriptedFiles::PickFile(HWND, const FileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

namespace {

std::unique_ptr<TkToolBarManager>& BarManager() {
    static std::unique_ptr<TkToolBarManager> manager;
    return manager;
}

} // namespace

void WorkspaceTest::SetUp() {
    SetUserRegistryFolder(registryFolder.Path().string());
    SetMessageBoxProvider(&boxes);
    SetCommonDialogProvider(&dialogs);
    ScriptedWorkspaceManager::names.clear();
    ScriptedWorkspaceManager::prompts = 0;
    auto text = std::make_unique<CMultiDocTemplate>(IDR_WS_TEXT, &WsDoc::Class(), &WsChild::Class(), &WsView::Class());
    auto log = std::make_unique<CMultiDocTemplate>(IDR_WS_LOG, &WsLogDoc::Class(), &WsChild::Class(), &WsView::Class());
    auto note = std::make_unique<CMultiDocTemplate>(IDR_WS_NOTE, &WsDoc::Class(), &WsChild::Class(), &WsView::Class());
    textTemplate = text.get();
    logTemplate = log.get();
    noteTemplate = note.get();
    app.AddDocTemplate(std::move(text));
    app.AddDocTemplate(std::move(log));
    app.AddDocTemplate(std::move(note));
}

void WorkspaceTest::TearDown() {
    boxes.answer = IDNO;
    if (frame && IsWindow(frame->m_hWnd)) {
        app.m_pDocManager->CloseAllDocuments(FALSE);
        frame->SetControlBarManager(nullptr);
        BarManager().reset();
        frame->DestroyWindow();
    }
    bars.clear();
    BarManager().reset();
    OffscreenHarness::RunUntilIdle();
    SetCommonDialogProvider(nullptr);
    SetMessageBoxProvider(nullptr);
    SetUserRegistryFolder(std::nullopt);
}

void WorkspaceTest::MakeFrame(bool registryMode, bool withMenuBar) {
    frame = new TkMDIFrameWnd;
    frame->m_bAutoDelete = TRUE;
    frame->m_pPlugInFactory = &plugIns;
    if (withMenuBar) frame->m_pMenuBar = &menuBar;
    app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDR_WS_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    SetWindowPos(frame->m_hWnd, 0, 40, 30, 900, 700, SWP_NOZORDER);
    ShowWindow(frame->m_hWnd, SW_SHOW);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    BarManager() = std::make_unique<TkToolBarManager>(frame, frame);
    frame->SetControlBarManager(BarManager().get());
    manager = dynamic_cast<TkWorkspaceManagerEx*>(frame->CreateWorkspaceManager(
        kLocation, registryMode ? 1 : 0, &ScriptedWorkspaceManager::Class(), FALSE));
    ASSERT_NE(manager, nullptr);
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
}

TkControlBar* WorkspaceTest::MakeBar(UINT id, DWORD side) {
    auto bar = std::make_unique<TkControlBar>();
    const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC;
    EXPECT_TRUE(bar->Create(frame, ("Bar " + std::to_string(id)).c_str(), style, 0x0F50, id));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(bar.get(), side);
    bars.push_back(std::move(bar));
    frame->RecalcLayout();
    return bars.back().get();
}

CDocument* WorkspaceTest::Open(CDocTemplate* docTemplate, const std::string& name) {
    if (name.empty()) return docTemplate->OpenDocumentFile(nullptr);
    const std::string path = files.File(name);
    WriteFile(path, name);
    CDocument* document = docTemplate->OpenDocumentFile(path.c_str());
    OffscreenHarness::RunUntilIdle();
    return document;
}

CFrameWnd* WorkspaceTest::FrameOf(CDocument* document, std::size_t view) const {
    if (!document || document->GetViews().size() <= view) return nullptr;
    return document->GetViews()[view]->GetParentFrame();
}

std::vector<CDocument*> WorkspaceTest::Documents() const {
    std::vector<CDocument*> all;
    for (const auto& docTemplate : app.m_pDocManager->GetDocTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            all.push_back(document);
    return all;
}

void WorkspaceTest::Command(UINT id) {
    frame->SendMessage(WM_COMMAND, id, 0);
    OffscreenHarness::RunUntilIdle();
}

HMENU WorkspaceTest::OpenFilePopup() {
    HMENU popup = GetSubMenu(GetMenu(frame->m_hWnd), 0);
    frame->SendMessage(WM_INITMENUPOPUP, WPARAM(popup), 0);
    return popup;
}

void WorkspaceTest::SaveShot(const char* name) {
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(frame->m_hWnd, TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
}

std::string ItemText(HMENU menu, int position) {
    char text[256] = {};
    MENUITEMINFO info;
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfo(menu, UINT(position), TRUE, &info)) return {};
    return text;
}

bool KeyExists(const std::string& path) {
    TkRegistry registry;
    return registry.Connect(kRegistryCurrentUser) && registry.Open(path.c_str(), kKeyRead);
}

std::vector<std::string> SubkeysOf(const std::string& path) {
    TkRegistry registry;
    std::vector<std::string> names;
    if (!registry.Connect(kRegistryCurrentUser) || !registry.Open(path.c_str(), kKeyRead)) return names;
    std::string name;
    for (uint32_t i = 0; registry.EnumerateKeys(i, name); ++i)
        names.push_back(name);
    return names;
}

} // namespace vq::test
