#include "platform/gui/Menu.h"
#include "platform/gui/WindowPlacement.h"
#include "platform/registry/RegistryTree.h"
#include "tests/toolkit/frames/WorkspaceFixture.h"
#include "toolkit/controls/TkRegistry.h"
#include "toolkit/frames/TkDocTemplateUtils.h"
#include "toolkit/frames/TkPTNStrategyRegistry.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace vq::test {
namespace {

using Names = std::vector<std::string>;

std::string TreeKey(const std::string& workspace, const std::string& below = "") {
    return std::string(kWorkspaceLocation) + "\\" + workspace + "\\WorkState_v1_1" +
           (below.empty() ? "" : "\\" + below);
}

RECT NormalRect(CWnd* window) {
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    EXPECT_TRUE(GetWindowPlacement(window->m_hWnd, &placement));
    return placement.rcNormalPosition;
}

// The recent entries of the File popup, from the placeholder's position on.
struct RecentItem {
    UINT id;
    std::string text;
    bool checked;
    bool grayed;
    friend bool operator==(const RecentItem&, const RecentItem&) = default;
};

constexpr int kRecentPosition = 6;

std::vector<RecentItem> RecentItems(HMENU popup) {
    std::vector<RecentItem> items;
    for (int i = kRecentPosition; i < GetMenuItemCount(popup); ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id < ID_WORKSPACE_MRU_FIRST || id > ID_WORKSPACE_MRU_LAST) break;
        const UINT state = GetMenuState(popup, UINT(i), MF_BYPOSITION);
        items.push_back({id, ItemText(popup, i), (state & MF_CHECKED) != 0, (state & MF_GRAYED) != 0});
    }
    return items;
}

std::vector<RecentItem> Expected(const Names& names, const std::string& checked) {
    std::vector<RecentItem> items;
    for (std::size_t i = 0; i < names.size(); ++i)
        items.push_back({UINT(ID_WORKSPACE_MRU_FIRST + i), "&" + std::to_string(i + 1) + " " + names[i],
                         names[i] == checked, false});
    return items;
}

bool Grayed(HMENU popup, UINT id) {
    return (GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST_F(WorkspaceTest, TheDesktopComesBackAfterCloseAndOpen) {
    MakeFrame(true, true);
    TkControlBar* bar = MakeBar(101, AFX_IDW_DOCKBAR_LEFT);
    CDocument* a = Open(textTemplate, "a.txt");
    CDocument* b = Open(textTemplate, "b.txt");
    CDocument* untitled = Open(textTemplate, "");
    untitled->SetModifiedFlag();
    CDocument* c = Open(logTemplate, "c.log");
    ASSERT_TRUE(a && b && untitled && c);
    // The first document in two frames, the second with two views in its frame.
    CFrameWnd* second = textTemplate->CreateNewFrame(a, FrameOf(a));
    ASSERT_NE(second, nullptr);
    textTemplate->InitialUpdateFrame(second, a, TRUE);
    CCreateContext context;
    context.m_pNewViewClass = &WsView::Class();
    context.m_pCurrentDoc = b;
    ASSERT_NE(FrameOf(b)->CreateView(context, AFX_IDW_PANE_FIRST + 1), nullptr);
    SetWindowPos(FrameOf(a)->m_hWnd, 0, 10, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(second->m_hWnd, 0, 330, 20, 250, 180, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(FrameOf(c)->m_hWnd, 0, 60, 250, 400, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->MDIActivate(FrameOf(c));
    OffscreenHarness::RunUntilIdle();
    const RECT placeA = NormalRect(FrameOf(a)), placeSecond = NormalRect(second), placeC = NormalRect(FrameOf(c));

    ScriptedWorkspaceManager::names = {"Desk"};
    dialogs.answers = {std::nullopt};
    Command(ID_WORKSPACE_SAVEAS);

    EXPECT_EQ(dialogs.requests.size(), 1u) << "the untitled document was asked for a path once";
    EXPECT_TRUE(untitled->GetPathName().empty());
    EXPECT_EQ(frame->MDIGetActive(), FrameOf(c)) << "the active frame is back after the save prompt";
    EXPECT_EQ(SubkeysOf(TreeKey("Desk")), (Names{"DockState", "ToolBarMgr", "Frames"}));
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", "Frames")), (Names{"MainFrame", "ChildFrames"}));
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", "Frames\\ChildFrames")),
              (Names{"Document-0", "Document-1", "Document-2", "Document-3"}));
    const std::string children = "Frames\\ChildFrames\\";
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", children + "Document-0")), (Names{"ViewFrame-0", "ViewFrame-1"}));
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", children + "Document-1")), (Names{"ViewFrame-0"}));
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", children + "Document-1\\ViewFrame-0")),
              (Names{"AdditionalViewPerFrame-0"}));
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", children + "Document-2")), Names{});
    EXPECT_EQ(SubkeysOf(TreeKey("Desk", children + "Document-3")), (Names{"ViewFrame-0"}));
    std::string name;
    EXPECT_TRUE(manager->GetActiveWorkspace(name));
    EXPECT_EQ(name, "Desk");

    frame->ShowControlBar(bar, FALSE, FALSE);
    boxes.answer = IDNO;
    Command(ID_WORKSPACE_CLOSE);
    ASSERT_TRUE(Documents().empty());
    EXPECT_FALSE(manager->GetActiveWorkspace(name));

    menuBar.switches.clear();
    ScriptedWorkspaceManager::names = {"Desk"};
    Command(ID_WORKSPACE_OPEN);
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();

    std::map<std::string, CDocument*> byPath;
    for (CDocument* document : Documents()) {
        const std::string file = std::filesystem::path(document->GetPathName()).filename().string();
        EXPECT_TRUE(byPath.emplace(file, document).second) << file << " opened twice";
    }
    ASSERT_EQ(byPath.size(), 3u);
    CDocument* a2 = byPath["a.txt"];
    CDocument* b2 = byPath["b.txt"];
    CDocument* c2 = byPath["c.log"];
    ASSERT_TRUE(a2 && b2 && c2);
    EXPECT_EQ(a2->GetDocTemplate(), textTemplate);
    EXPECT_EQ(c2->GetDocTemplate(), logTemplate);
    ASSERT_EQ(a2->GetViews().size(), 2u);
    EXPECT_NE(FrameOf(a2, 0), FrameOf(a2, 1));
    EXPECT_EQ(NormalRect(FrameOf(a2, 0)), placeA);
    EXPECT_EQ(NormalRect(FrameOf(a2, 1)), placeSecond);
    EXPECT_EQ(NormalRect(FrameOf(c2)), placeC);
    EXPECT_EQ(frame->MDIGetActive(), FrameOf(c2));
    ASSERT_FALSE(menuBar.switches.empty());
    EXPECT_EQ(menuBar.switches.back(), UINT(IDR_WS_LOG));
    EXPECT_TRUE(IsWindowVisible(bar->m_hWnd));
    EXPECT_TRUE(manager->GetActiveWorkspace(name));
    SaveShot("workspace-restored.png");
}

TEST_F(WorkspaceTest, AFileWorkspaceGetsItsExtensionAndReopensEqual) {
    MakeFrame(false, false);
    MakeBar(101, AFX_IDW_DOCKBAR_TOP);
    CDocument* a = Open(textTemplate, "a.txt");
    Open(logTemplate, "c.log");
    SetWindowPos(FrameOf(a)->m_hWnd, 0, 15, 25, 320, 210, SWP_NOZORDER | SWP_NOACTIVATE);

    dialogs.answers = {files.File("x")};
    Command(ID_WORKSPACE_SAVEAS);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileRequest& asked = dialogs.requests[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.title, "Save Workspace");
    EXPECT_EQ(asked.filters, (std::vector<FileFilter>{{"Workspaces (*.wsp)", {"*.wsp"}}, {"All Files (*.*)", {"*"}}}));
    const std::string saved = ReadFile(files.File("x.wsp"));
    for (const char* section : {"[WorkState_v1_1]", "[WorkState_v1_1.DockState]", "[WorkState_v1_1.ToolBarMgr]",
                                "[WorkState_v1_1.Frames]", "[WorkState_v1_1.Frames.MainFrame]",
                                "[WorkState_v1_1.Frames.ChildFrames.Document-0.ViewFrame-0]",
                                "[WorkState_v1_1.Frames.ChildFrames.Document-1.ViewFrame-0]"})
        EXPECT_NE(saved.find(section), std::string::npos) << section;

    Command(ID_WORKSPACE_CLOSE);
    ASSERT_TRUE(Documents().empty());
    dialogs.answers = {files.File("x.wsp")};
    Command(ID_WORKSPACE_OPEN);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_FALSE(dialogs.requests[1].save);
    EXPECT_EQ(dialogs.requests[1].title, "Open Workspace");
    EXPECT_EQ(Documents().size(), 2u);

    // Saved again as it came back, the desktop gives the same file.
    dialogs.answers = {files.File("y.wsp")};
    Command(ID_WORKSPACE_SAVEAS);
    EXPECT_EQ(ReadFile(files.File("y.wsp")), saved);
    Names recent;
    ASSERT_TRUE(manager->ReadRecentList(recent));
    EXPECT_EQ(recent, (Names{files.File("y.wsp"), files.File("x.wsp")}));
    EXPECT_TRUE(KeyExists(std::string(kLocation) + "\\__MRUFileList"));
}

TEST_F(WorkspaceTest, TheFileMenuListsTheRecentWorkspaces) {
    MakeFrame(true, false);
    HMENU popup = OpenFilePopup();
    EXPECT_TRUE(Grayed(popup, ID_WORKSPACE_CLOSE)) << "nothing is open";
    EXPECT_EQ(RecentItems(popup), (std::vector<RecentItem>{{ID_WORKSPACE_MRU_FIRST, "(none)", false, true}}));

    Names saved;
    for (int i = 1; i <= 8; ++i) {
        ScriptedWorkspaceManager::names = {"W" + std::to_string(i)};
        Command(ID_WORKSPACE_SAVEAS);
        saved.insert(saved.begin(), "W" + std::to_string(i));
    }
    EnableMenuItem(popup, ID_WS_FILE_NEW, MF_BYCOMMAND | MF_ENABLED);
    popup = OpenFilePopup();
    EXPECT_EQ(RecentItems(popup), Expected(saved, "W8"));
    EXPECT_FALSE(Grayed(popup, ID_WORKSPACE_CLOSE));
    EXPECT_EQ(ItemText(popup, kRecentPosition + 9), "&New") << "the items after the list stay";
    EXPECT_TRUE(Grayed(popup, ID_WS_FILE_NEW)) << "the update went on past the entries it inserted";

    ScriptedWorkspaceManager::names = {"W9"};
    Command(ID_WORKSPACE_SAVEAS);
    saved.insert(saved.begin(), "W9");
    saved.pop_back();
    popup = OpenFilePopup();
    EXPECT_EQ(RecentItems(popup), Expected(saved, "W9"));

    // Saving under the open name leaves the order as it was.
    Names reordered(saved.rbegin(), saved.rend());
    ASSERT_TRUE(manager->WriteRecentList(reordered));
    const int prompts = ScriptedWorkspaceManager::prompts;
    Command(ID_WORKSPACE_SAVE);
    EXPECT_EQ(ScriptedWorkspaceManager::prompts, prompts);
    Names recent;
    ASSERT_TRUE(manager->ReadRecentList(recent));
    EXPECT_EQ(recent, reordered);

    // A workspace deleted behind the manager's back is reported and leaves the list.
    TkRegistry registry;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(registry.Open(kLocation));
    ASSERT_TRUE(registry.DeleteKey("W5", true));
    registry.Close();
    popup = OpenFilePopup();
    const auto items = RecentItems(popup);
    const auto w5 = std::find_if(items.begin(), items.end(), [](const RecentItem& item) {
        return item.text.ends_with(" W5");
    });
    ASSERT_NE(w5, items.end());
    Command(w5->id);
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts.back(), "Invalid workspace. Operation has been cancelled.");
    std::erase(reordered, "W5");
    recent.clear();
    ASSERT_TRUE(manager->ReadRecentList(recent));
    EXPECT_EQ(recent, reordered);
    popup = OpenFilePopup();
    EXPECT_EQ(RecentItems(popup), Expected(reordered, "W9"));

    // An entry opened from the menu heads the list and carries the check mark.
    Command(ID_WORKSPACE_MRU_FIRST + 2);
    std::string open;
    EXPECT_TRUE(manager->GetActiveWorkspace(open));
    EXPECT_EQ(open, reordered[2]);
    std::rotate(reordered.begin(), reordered.begin() + 2, reordered.begin() + 3);
    popup = OpenFilePopup();
    EXPECT_EQ(RecentItems(popup), Expected(reordered, open));

    ASSERT_TRUE(manager->WriteRecentList({}));
    Command(ID_WORKSPACE_CLOSE);
    popup = OpenFilePopup();
    EXPECT_EQ(RecentItems(popup), (std::vector<RecentItem>{{ID_WORKSPACE_MRU_FIRST, "(none)", false, true}}));
    EXPECT_TRUE(Grayed(popup, ID_WORKSPACE_CLOSE));
}

TEST_F(WorkspaceTest, AFailedSaveChangesNothing) {
    MakeFrame(true, false);
    Open(textTemplate, "a.txt");
    ScriptedWorkspaceManager::names = {"Kept"};
    Command(ID_WORKSPACE_SAVEAS);
    ASSERT_TRUE(KeyExists(TreeKey("Kept")));
    Open(logTemplate, "c.log");
    const std::string stored = ReadFile(UserRegistryFile());

    for (const char* name : {"Other", "Kept"}) {
        SCOPED_TRACE(name);
        boxes.texts.clear();
        SetWholeFileRenameFailure(28);
        EXPECT_FALSE(manager->SaveWorkspace(name));
        SetWholeFileRenameFailure(0);
        EXPECT_EQ(boxes.texts, Names{"The workspace could not be saved."});
        EXPECT_EQ(ReadFile(UserRegistryFile()), stored);
        EXPECT_FALSE(KeyExists(TreeKey("Other")));
        EXPECT_EQ(SubkeysOf(TreeKey("Kept", "Frames\\ChildFrames")), Names{"Document-0"});
        std::string open;
        EXPECT_TRUE(manager->GetActiveWorkspace(open));
        EXPECT_EQ(open, "Kept");
        Names recent;
        ASSERT_TRUE(manager->ReadRecentList(recent));
        EXPECT_EQ(recent, Names{"Kept"});
    }
}

TEST_F(WorkspaceTest, NamesThatCannotNameAWorkspaceAreRefused) {
    MakeFrame(true, false);
    for (const char* bad : {"", "a\\b", "\\", "__MRURegList", "__mruREGlist"}) {
        SCOPED_TRACE(bad);
        boxes.texts.clear();
        ScriptedWorkspaceManager::names = {bad};
        EXPECT_FALSE(manager->SaveWorkspace(""));
        EXPECT_EQ(boxes.texts, Names{"Invalid workspace name."});
        EXPECT_FALSE(manager->OpenWorkspace(bad[0] ? bad : "x\\", TRUE));
    }
    EXPECT_EQ(SubkeysOf(kLocation), Names{});

    // Entries of the stored list that could not name a workspace are dropped as they are read.
    TkRegistry registry;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(registry.CreateKey((std::string(kLocation) + "\\__MRURegList").c_str()));
    const char* values[] = {"", "x\\y", "Good", "__MRURegList", "Also"};
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(registry.SetStringValue(("Workspace" + std::to_string(i)).c_str(), values[i]));
    registry.Close();
    Names recent;
    ASSERT_TRUE(manager->ReadRecentList(recent));
    EXPECT_EQ(recent, (Names{"Good", "Also"}));

    // Key names ignore case, and so does the recent list in registry mode; file paths do not.
    Names list{"Alpha", "Beta"};
    EXPECT_EQ(manager->AddToRecentList("ALPHA", list), 2);
    EXPECT_EQ(list, (Names{"ALPHA", "Beta"}));
    manager->SetStorageMode(FALSE, FALSE);
    EXPECT_EQ(manager->AddToRecentList("alpha", list), 3);
    EXPECT_EQ(list, (Names{"alpha", "ALPHA", "Beta"}));
}

TEST_F(WorkspaceTest, ChangingTheModeForgetsTheOpenWorkspace) {
    MakeFrame(false, false);
    dialogs.answers = {files.File("w.wsp")};
    Command(ID_WORKSPACE_SAVEAS);
    std::string name;
    ASSERT_TRUE(manager->GetActiveWorkspace(name));
    manager->SetLocation("Software\\Elsewhere", 0, kRegistryCurrentUser, FALSE);
    EXPECT_TRUE(manager->GetActiveWorkspace(name)) << "the same mode keeps it";
    EXPECT_EQ(manager->GetLocation(), "Software\\Elsewhere\\");
    manager->SetStorageMode(TRUE, FALSE);
    EXPECT_FALSE(manager->GetActiveWorkspace(name));
    EXPECT_EQ(name, "");
    EXPECT_TRUE(Grayed(OpenFilePopup(), ID_WORKSPACE_CLOSE));
}

// A stored tree written by hand: what can be restored is, the rest is skipped.
TEST_F(WorkspaceTest, AMalformedTreeRestoresWhatItCan) {
    MakeFrame(true, false);
    const RECT mainBefore = NormalRect(frame);
    for (const char* name : {"p1.txt", "p2.txt", "p3.txt", "p4.log"})
        WriteFile(files.File(name), name);

    WINDOWPLACEMENT good;
    good.length = sizeof good;
    good.showCmd = SW_SHOWNORMAL;
    good.rcNormalPosition = RECT{50, 60, 350, 260};
    WINDOWPLACEMENT mislabelled = good;
    mislabelled.length = 12;
    mislabelled.rcNormalPosition = RECT{5, 5, 100, 100};
    const auto bytes = [](const WINDOWPLACEMENT& p) { return reinterpret_cast<const u8*>(&p); };

    TkPTNFactory factory;
    TkPersistentTreeNode* root = factory.CreateNode("WorkState_v1_1", nullptr);
    TkPersistentTreeNode* frames = factory.CreateNode("Frames", root);
    factory.CreateNode("MainFrame", frames)->SetBinaryValue("WindowPlacement", bytes(good), 43, true);
    TkPersistentTreeNode* children = factory.CreateNode("ChildFrames", frames);
    struct Entry {
        const char* documentString;
        const char* index;
        const char* path;
        const WINDOWPLACEMENT* placement;
        u32 size;
    };
    const Entry entries[][2] = {
        {{"Text document", "-5", "p1.txt", &good, 10}},
        {{"Text document", "99", "p2.txt", nullptr, 0}},
        {{"Unknown document", "0", "p3.txt", &good, 44}},
        {{"Log document", "0", "missing.log", &good, 44}},
        {{"Log document", "0", "p4.log", &good, 44}, {"Log document", "0", "p4.log", &mislabelled, 44}},
    };
    int documentNumber = 0;
    for (const auto& frameEntries : entries) {
        TkPersistentTreeNode* document = factory.CreateNode("Document-" + std::to_string(documentNumber++), children);
        int frameNumber = 0;
        for (const Entry& entry : frameEntries) {
            if (!entry.documentString) continue;
            TkPersistentTreeNode* node = factory.CreateNode("ViewFrame-" + std::to_string(frameNumber++), document);
            node->SetValue("DocumentString", entry.documentString, true);
            node->SetValue("DocTemplateIndex", entry.index, true);
            node->SetValue("DocPathName", files.File(entry.path), true);
            if (entry.placement) node->SetBinaryValue("WindowPlacement", bytes(*entry.placement), entry.size, true);
        }
    }
    TkPTNStrategyRegistry store(std::string(kLocation) + "\\Bad", kRegistryCurrentUser);
    ASSERT_EQ(root->Save(&store), 1);

    ASSERT_TRUE(manager->OpenWorkspace("Bad", TRUE));
    OffscreenHarness::RunUntilIdle();
    std::map<std::string, CDocument*> byPath;
    for (CDocument* document : Documents())
        byPath[std::filesystem::path(document->GetPathName()).filename().string()] = document;
    EXPECT_EQ(byPath.size(), 3u);
    ASSERT_TRUE(byPath["p1.txt"] && byPath["p2.txt"] && byPath["p4.log"]);
    EXPECT_EQ(byPath["p1.txt"]->GetDocTemplate(), textTemplate) << "a negative index counts as 0";
    EXPECT_EQ(byPath["p2.txt"]->GetDocTemplate(), noteTemplate) << "an index past the end takes the last";
    CDocument* log = byPath["p4.log"];
    ASSERT_EQ(log->GetViews().size(), 2u);
    EXPECT_EQ(NormalRect(FrameOf(log, 0)), good.rcNormalPosition);
    EXPECT_FALSE(NormalRect(FrameOf(log, 1)) == mislabelled.rcNormalPosition);
    EXPECT_FALSE(NormalRect(FrameOf(byPath["p1.txt"])) == good.rcNormalPosition);
    EXPECT_EQ(NormalRect(frame), mainBefore) << "a short main placement is ignored";
    EXPECT_EQ(frame->GetWindowText(), "Workspace Test - p4.log")
        << "without a stored title the caption is composed from the active document alone";
}

TEST_F(WorkspaceTest, TemplatesAreNamedByDocumentStringAndIndex) {
    TkDocTemplateUtils utils;
    struct IndexCase {
        CDocTemplate* docTemplate;
        const char* documentString;
        int index;
    };
    for (const IndexCase& c : {IndexCase{textTemplate, "Text document", 0}, IndexCase{noteTemplate, "Text document", 1},
                               IndexCase{logTemplate, "Log document", 0}, IndexCase{logTemplate, "Text document", -1},
                               IndexCase{nullptr, "Text document", -1}})
        EXPECT_EQ(utils.GetTemplateIndex(c.docTemplate, c.documentString), c.index) << c.documentString;
    struct FindCase {
        const char* documentString;
        int index;
        CDocTemplate* found;
    };
    for (const FindCase& c : {FindCase{"Text document", 0, textTemplate}, FindCase{"Text document", 1, noteTemplate},
                              FindCase{"Text document", 99, noteTemplate}, FindCase{"Log document", 3, logTemplate},
                              FindCase{"Nothing", 0, nullptr}})
        EXPECT_EQ(utils.FindTemplateByString(c.documentString, c.index), c.found) << c.documentString << c.index;

    MakeFrame(true, false);
    CDocument* note = Open(noteTemplate, "n.txt");
    CDocument* text = Open(textTemplate, "t.txt");
    CView* noteView = note->GetViews()[0];
    EXPECT_EQ(utils.FindTemplate(note, noteView, FrameOf(note)), noteTemplate) << "told apart by resource id";
    EXPECT_EQ(utils.FindTemplate(text, text->GetViews()[0], FrameOf(text)), textTemplate);
    EXPECT_EQ(utils.FindTemplate(note, nullptr, FrameOf(note)), nullptr);
    EXPECT_EQ(utils.GetFrameResourceId(FrameOf(note)), UINT(IDR_WS_NOTE));
}

} // namespace
} // namespace vq::test
