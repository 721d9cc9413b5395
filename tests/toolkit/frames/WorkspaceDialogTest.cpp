#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/ListBox.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/Messages.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "toolkit/controls/TkRegistry.h"
#include "toolkit/frames/TkPTNFactory.h"
#include "toolkit/frames/TkPTNStrategyRegistry.h"
#include "toolkit/frames/TkPersistentTreeNode.h"
#include "toolkit/frames/TkWSLBEditorEx.h"
#include "toolkit/frames/TkWorkspaceManagerEx.h"
#include "toolkit/frames/TkWorkspaceRegistry.h"
#include "toolkit/frames/TkWsMgrDialogEx.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace vq::test {
namespace {

constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr const char* kLocation = "Software\\Test Maker\\Workspaces\\";

using Names = std::vector<std::string>;

// Answers message boxes from a script and notes what they said.
class ScriptedBoxes : public MessageBoxProvider {
public:
    struct Shown {
        std::string text;
        std::string caption;
    };
    std::vector<Shown> shown;
    int answer = IDNO;
    int Show(HWND, const std::string& text, const std::string& caption, UINT) override {
        shown.push_back({text, caption});
        return answer;
    }
    Names Texts() const {
        Names texts;
        for (const Shown& s : shown) texts.push_back(s.text);
        return texts;
    }
};

// The main frame that owns the dialog: each time the dialog's loop goes idle it plays the next
// step of the user's part.
class IdleFrame : public CFrameWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    std::vector<std::function<void(HWND)>> script;
    std::size_t played = 0;
    LRESULT OnEnterIdle(WPARAM, LPARAM dialog) {
        if (played < script.size()) script[played++](HWND(dialog));
        return 0;
    }
};
VQ_BEGIN_MESSAGE_MAP(IdleFrame, CFrameWnd)
VQ_ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
VQ_END_MESSAGE_MAP()

class WorkspaceDialogTest : public ::testing::Test {
protected:
    TempDir dir;
    CWinApp app;
    ScriptedBoxes boxes;
    MessageBoxProvider* previous = nullptr;
    IdleFrame* frame = nullptr;
    TkWorkspaceManagerEx manager;

    void SetUp() override {
        SetUserRegistryFolder(dir.File("registry"));
        previous = SetMessageBoxProvider(&boxes);
        frame = new IdleFrame;
        frame->m_bAutoDelete = TRUE;
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Main", WS_POPUP | WS_VISIBLE, RECT{0, 0, 640, 480}, nullptr, 0));
        app.m_pMainWnd = frame;
        manager.m_pFrame = frame;
        manager.SetLocation(kLocation, 1, kRegistryCurrentUser, FALSE);
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMessageBoxProvider(previous);
        SetUserRegistryFolder(std::nullopt);
    }

    // A stored workspace whose tree carries `id`, so that it can be told apart where it lands.
    static void Store(const std::string& name, const std::string& id) {
        TkPTNFactory factory;
        TkPersistentTreeNode* root = factory.CreateNode("WorkState_v1_1", nullptr);
        ASSERT_NE(root, nullptr);
        factory.CreateNode("Frames", root)->SetValue("Id", id, true);
        TkPTNStrategyRegistry store(std::string(kLocation) + name, kRegistryCurrentUser);
        ASSERT_EQ(root->Save(&store), 1);
    }
    // The id of the tree stored under the name, "-" for none.
    static std::string IdOf(const std::string& name) {
        TkPTNFactory factory;
        TkPersistentTreeNode* root = factory.CreateNode("WorkState_v1_1", nullptr);
        TkPTNStrategyRegistry store(std::string(kLocation) + name, kRegistryCurrentUser);
        if (root->Load(&store) != 1) return "-";
        std::string id = "?";
        if (TkPersistentTreeNode* frames = root->FindChild("Frames")) frames->GetValue("Id", id, "?");
        return id;
    }
    Names Keys() const {
        Names keys = TkWorkspaceRegistry(kRegistryCurrentUser, kLocation, "__MRURegList").KeyNames();
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    Names Recent() {
        Names list;
        manager.ReadRecentList(list);
        return list;
    }

    static TkWsMgrDialogEx* Dialog(HWND window) { return dynamic_cast<TkWsMgrDialogEx*>(CWnd::FromHandlePermanent(window)); }
    static CListBox& List(HWND window) { return *Dialog(window)->GetEditor()->GetListBox(); }
    static std::string WindowText(HWND window) {
        char text[256] = {};
        GetWindowText(window, text, int(sizeof text) - 1);
        return text;
    }
    static std::string Text(HWND window, UINT id) { return WindowText(GetDlgItem(window, int(id))); }
    static bool Enabled(HWND window, UINT id) { return IsWindowEnabled(GetDlgItem(window, int(id))) != FALSE; }

    // Input as the user gives it: keys to the window with the focus, clicks at a control's centre.
    static void Press(int qtKey, const QString& text = {}) {
        OffscreenHarness::Key(qtKey, Qt::NoModifier, text, true);
        OffscreenHarness::Key(qtKey, Qt::NoModifier, text, false);
    }
    static void Type(const std::string& text) {
        for (const char c : text)
            Press(int(Qt::Key_A) + (std::tolower(static_cast<unsigned char>(c)) - 'a'), QString(QChar(c)));
    }
    static POINT CentreOf(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static void Click(HWND window) {
        const POINT p = CentreOf(window);
        OffscreenHarness::MouseMove(p);
        OffscreenHarness::MousePress(p);
        OffscreenHarness::MouseRelease(p);
    }
    static void ClickRow(HWND dialog, int index) {
        CListBox& list = List(dialog);
        RECT r;
        list.GetItemRect(index, &r);
        POINT p{r.left + 10, (r.top + r.bottom) / 2};
        ClientToScreen(list.m_hWnd, &p);
        OffscreenHarness::MouseMove(p);
        OffscreenHarness::MousePress(p);
        OffscreenHarness::MouseRelease(p);
    }
    static void Screenshot(HWND window, const std::string& name) {
        const std::string path = TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name + ".png";
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(window, path)) << path;
    }
};

TEST_F(WorkspaceDialogTest, OpeningFromAnEmptyListAsksForASelection) {
    frame->script = {[&](HWND d) {
                         EXPECT_EQ(WindowText(d), "Open Workspace");
                         EXPECT_EQ(Text(d, IDC_TK_WORKSPACE_ACTIVE), "<None>");
                         EXPECT_EQ(Dialog(d)->GetEditor()->GetWindowText(), "Workspaces");
                         EXPECT_EQ(List(d).GetCount(), 0) << "no row to type on when opening";
                         EXPECT_TRUE(Enabled(d, IDC_TK_WORKSPACE_OPEN));
                         EXPECT_FALSE(Enabled(d, IDC_TK_WORKSPACE_SAVE));
                         Click(GetDlgItem(d, IDC_TK_WORKSPACE_OPEN));
                     },
                     [&](HWND d) {
                         Screenshot(d, "workspace-dialog-open-empty");
                         Press(Qt::Key_Escape);
                     }};
    std::string name = "untouched";
    EXPECT_FALSE(manager.PromptForRegistryName(name, TRUE, FALSE));
    EXPECT_EQ(name, "untouched");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "You must select an item for this operation");
    EXPECT_EQ(boxes.shown[0].caption, "Workspace Manager");
}

TEST_F(WorkspaceDialogTest, ANameTypedWhenSavingIsSavedAndHeadsTheList) {
    Store("Alpha", "a");
    manager.WriteRecentList({"Alpha"});
    boxes.answer = IDYES;
    frame->script = {[&](HWND d) {
                         EXPECT_EQ(WindowText(d), "Save Workspace");
                         EXPECT_EQ(List(d).GetCount(), 2) << "the entry and the row to type on";
                         // A name differing in case only is taken, and its line goes again.
                         ClickRow(d, 1);
                         Type("alpha");
                         Press(Qt::Key_Return);
                     },
                     [&](HWND d) {
                         EXPECT_EQ(List(d).GetCount(), 2);
                         ClickRow(d, 1);
                         Type("Gamma");
                         Press(Qt::Key_Return);
                     }};
    EXPECT_TRUE(manager.SaveWorkspace(""));
    EXPECT_EQ(boxes.Texts(), (Names{"Workspace 'alpha' already exists. Please enter a unique workspace name.",
                                    "Save new workspace 'Gamma'?\n"}));
    EXPECT_EQ(Recent(), (Names{"Gamma", "Alpha"}));
    EXPECT_EQ(Keys(), (Names{"Alpha", "Gamma"}));
    EXPECT_EQ(IdOf("Alpha"), "a");
    std::string active;
    EXPECT_TRUE(manager.GetActiveWorkspace(active));
    EXPECT_EQ(active, "Gamma");
}

TEST_F(WorkspaceDialogTest, ARenameMovesTheTreeOnDoneAndCancelKeepsADeletion) {
    Store("Alpha", "a");
    Store("Other", "o");
    manager.WriteRecentList({"Alpha", "Other"});
    frame->script = {[&](HWND d) { ClickRow(d, 1); }, [&](HWND) { Press(Qt::Key_Delete); },
                     [&](HWND d) {
                         EXPECT_EQ(List(d).GetCount(), 1);
                         Click(GetDlgItem(d, IDCANCEL));
                     }};
    std::string name;
    EXPECT_FALSE(manager.PromptForRegistryName(name, TRUE, FALSE));
    EXPECT_EQ(Recent(), (Names{"Alpha", "Other"}));
    EXPECT_EQ(Keys(), (Names{"Alpha", "Other"}));

    frame->played = 0;
    frame->script = {[&](HWND d) { ClickRow(d, 0); }, [&](HWND) { Type("Beta"); },
                     [&](HWND d) {
                         EXPECT_FALSE(Enabled(d, IDC_TK_WORKSPACE_DONE)) << "while the name is being typed";
                         Press(Qt::Key_Return);
                     },
                     [&](HWND d) {
                         EXPECT_TRUE(Enabled(d, IDC_TK_WORKSPACE_DONE));
                         Screenshot(d, "workspace-dialog-renamed");
                         Click(GetDlgItem(d, IDC_TK_WORKSPACE_DONE));
                     }};
    EXPECT_TRUE(manager.PromptForRegistryName(name, TRUE, FALSE));
    EXPECT_EQ(name, "") << "Done keeps the active name";
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Recent(), (Names{"Beta", "Other"}));
    EXPECT_EQ(Keys(), (Names{"Beta", "Other"}));
    EXPECT_EQ(IdOf("Beta"), "a");
}

// What the user does to the list before pressing Done.
struct Step {
    enum Kind { Rename, Delete } kind;
    int index;
    std::string text;
};

TEST_F(WorkspaceDialogTest, RenamesAndDeletesLandOnTheRightKeys) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> stored;
        Names recent;
        std::string open;
        std::vector<Step> steps;
        Names recentAfter;
        std::map<std::string, std::string> idsAfter;
        Names messages;
    };
    const Case cases[] = {
        {"B to C, then A to B", {{"A", "a"}, {"B", "b"}}, {"A", "B"}, "",
         {{Step::Rename, 1, "C"}, {Step::Rename, 0, "B"}}, {"B", "C"}, {{"A", "-"}, {"B", "a"}, {"C", "b"}}, {}},
        {"A and B swapped through a third name", {{"A", "a"}, {"B", "b"}}, {"A", "B"}, "",
         {{Step::Rename, 0, "X"}, {Step::Rename, 1, "A"}, {Step::Rename, 0, "B"}}, {"B", "A"},
         {{"A", "b"}, {"B", "a"}, {"X", "-"}}, {}},
        {"a change of case only", {{"Alpha", "a"}}, {"Alpha"}, "", {{Step::Rename, 0, "ALPHA"}}, {"ALPHA"},
         {{"ALPHA", "a"}}, {}},
        {"onto a key not on the list", {{"A", "a"}, {"Hidden", "h"}}, {"A"}, "", {{Step::Rename, 0, "hidden"}},
         {"A"}, {{"A", "a"}, {"Hidden", "h"}},
         {"Workspace 'hidden' already exists. Please enter a unique workspace name."}},
        {"names that address other keys", {{"A", "a"}}, {"A"}, "",
         {{Step::Rename, 0, "x\\y"}, {Step::Rename, 0, "__mruRegList"}, {Step::Rename, 0, "  "}}, {"A"},
         {{"A", "a"}}, {"Invalid workspace name.", "Invalid workspace name.", "Invalid workspace name."}},
        {"renamed, then deleted", {{"A", "a"}, {"B", "b"}}, {"A", "B"}, "",
         {{Step::Rename, 0, "Z"}, {Step::Delete, 0, ""}}, {"B"}, {{"A", "-"}, {"Z", "-"}, {"B", "b"}}, {}},
        {"a deletion before a rename further down", {{"A", "a"}, {"B", "b"}, {"C", "c"}}, {"A", "B", "C"}, "",
         {{Step::Delete, 1, ""}, {Step::Rename, 1, "D"}}, {"A", "D"}, {{"A", "a"}, {"B", "-"}, {"C", "-"}, {"D", "c"}}, {}},
        {"a source that cannot be read", {{"A", "a"}}, {"Gone", "A"}, "", {{Step::Rename, 0, "New"}},
         {"Gone", "A"}, {{"New", "-"}, {"A", "a"}}, {}},
        {"the open workspace renamed", {{"A", "a"}}, {"A"}, "A", {{Step::Rename, 0, "R"}}, {"R"},
         {{"A", "-"}, {"R", "a"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TkRegistry cleaner;
        ASSERT_TRUE(cleaner.Connect(kRegistryCurrentUser));
        cleaner.DeleteKey("Software\\Test Maker", true);
        for (const auto& [name, id] : c.stored) Store(name, id);
        manager.WriteRecentList(c.recent);
        manager.m_strWorkspaceName = c.open;
        manager.m_bWorkspaceOpen = !c.open.empty();
        boxes.shown.clear();
        frame->played = 0;
        frame->script = {[&](HWND d) {
            TkWSLBEditorEx& editor = *Dialog(d)->GetEditor();
            for (const Step& step : c.steps) {
                List(d).SetCurSel(step.index);
                if (step.kind == Step::Delete) {
                    editor.DeleteSelected();
                    continue;
                }
                ASSERT_TRUE(editor.BeginEdit(0));
                editor.GetEdit()->SetWindowText(step.text.c_str());
                SendMessage(editor.GetEdit()->m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
            }
            SendMessage(d, WM_COMMAND, IDC_TK_WORKSPACE_DONE, 0);
        }};
        std::string name;
        ASSERT_TRUE(manager.PromptForRegistryName(name, TRUE, FALSE));
        EXPECT_EQ(Recent(), c.recentAfter);
        for (const auto& [key, id] : c.idsAfter) EXPECT_EQ(IdOf(key), id) << key;
        EXPECT_EQ(Keys().size(), std::count_if(c.idsAfter.begin(), c.idsAfter.end(),
                                               [](const auto& entry) { return entry.second != "-"; }))
            << "no key left behind";
        EXPECT_EQ(boxes.Texts(), c.messages);
        if (c.open.empty()) continue;
        EXPECT_EQ(name, "R");
        EXPECT_EQ(manager.m_strWorkspaceName, "R");
        EXPECT_TRUE(manager.SaveCurrentWorkspace());
        EXPECT_EQ(Keys(), (Names{"R"})) << "the next save writes the new key";
    }
}

TEST_F(WorkspaceDialogTest, EmptyAndMalformedRecentEntriesAreDroppedAndTheLocationStays) {
    Store("A", "a");
    TkRegistry raw;
    ASSERT_TRUE(raw.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(raw.CreateKey((std::string(kLocation) + "__MRURegList").c_str()));
    raw.SetStringValue("Workspace0", "");
    raw.SetStringValue("Workspace1", "A");
    raw.SetStringValue("Workspace2", "A\\Frames");
    frame->script = {[&](HWND d) {
        EXPECT_EQ(List(d).GetCount(), 1);
        SendMessage(d, WM_COMMAND, IDC_TK_WORKSPACE_DONE, 0);
    }};
    std::string name;
    ASSERT_TRUE(manager.PromptForRegistryName(name, TRUE, FALSE));
    EXPECT_EQ(Recent(), (Names{"A"}));
    EXPECT_EQ(IdOf("A"), "a");

    // Lists handed over by other code are held to the same rules: nothing addresses the location.
    const TkWorkspaceRegistry registry(kRegistryCurrentUser, kLocation, "__MRURegList");
    Names edited = {"", "A\\Frames"};
    EXPECT_TRUE(registry.ApplyChanges({"A", "A"}, edited, {"", "A\\Frames", "__MRURegList"}).empty());
    EXPECT_EQ(edited, (Names{"A", "A"}));
    EXPECT_EQ(IdOf("A"), "a");
    EXPECT_EQ(Recent(), (Names{"A"}));
}

TEST_F(WorkspaceDialogTest, ARegistryThatRefusesTheWriteChangesNothing) {
    Store("A", "a");
    Store("B", "b");
    const TkWorkspaceRegistry registry(kRegistryCurrentUser, kLocation, "__MRURegList");
    // Another write holding the registry: the batch cannot begin, so nothing is done in part.
    ASSERT_EQ(RegBeginUserBatch(), kRegistrySuccess);
    Names edited = {"C"};
    const auto renamed = registry.ApplyChanges({"A"}, edited, {"B"});
    RegAbandonUserBatch();
    EXPECT_TRUE(renamed.empty());
    EXPECT_EQ(edited, (Names{"A"}));
    EXPECT_EQ(IdOf("A"), "a");
    EXPECT_EQ(IdOf("B"), "b");
    EXPECT_EQ(IdOf("C"), "-");
}

} // namespace
} // namespace vq::test
