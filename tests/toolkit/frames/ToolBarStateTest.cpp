#include "RegistryProfileApp.h"
#include "ToolBarFixture.h"
#include "mdi.h"
#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"
#include "platform/registry/Registry.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkCustomToolBarInfoEx.h"
#include "toolkit/frames/TkDockState.h"
#include "toolkit/frames/TkMDIFrameWnd.h"
#include "toolkit/frames/TkPTNFactory.h"
#include "toolkit/frames/TkPTNStrategyRegistry.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

namespace vq::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Commands that have no image in the store.
constexpr UINT kFirstCommand = 32771, kSecondCommand = 32772;
const Bytes kThreeButtons = {0x03, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x80, 0, 0, 0};

std::vector<UINT> Commands(const TkCustomToolBar* bar) {
    std::vector<UINT> ids;
    for (int i = 0; i < bar->GetButtonCount(); ++i)
        ids.push_back(bar->GetButtonAt(i)->IsSeparator() ? 0 : bar->GetButtonCommand(i));
    return ids;
}

std::vector<UINT> Commands(const TkCustomToolBarInfoEx& record) {
    std::vector<UINT> ids;
    for (const auto& button : record.m_arrButtons) ids.push_back(button->m_nID);
    return ids;
}

class ToolBarStateTest : public ToolBarTest {
protected:
    RegistryProfileApp app;

    // The record the bar gives the dock state.
    static std::unique_ptr<TkCustomToolBarInfoEx> Capture(TkCustomToolBar* bar) {
        TkControlBarInfo info;
        bar->OnGetBarInfoEx(&info);
        auto* record = dynamic_cast<TkCustomToolBarInfoEx*>(info.m_pBarInfoEx.release());
        return std::unique_ptr<TkCustomToolBarInfoEx>(record);
    }
    static void Apply(TkCustomToolBar* bar, std::unique_ptr<TkCustomToolBarInfoEx> record) {
        TkControlBarInfo info;
        info.m_nTypeID = kCustomToolBarType;
        info.m_pBarInfoEx = std::move(record);
        bar->OnSetBarInfoEx(&info, nullptr);
    }
};

TEST_F(ToolBarStateTest, ButtonsHaveOneByteFormInProfileTreeAndArchive) {
    AddBar(100, {kFirstCommand, 0, kSecondCommand});
    AddBar(101, {ID_TB_BLACK});
    ASSERT_TRUE(manager->CreateDefaultBars());
    const auto record = Capture(Bar(100));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->m_strTitle, "Bar 100");
    EXPECT_EQ(TkCustomToolBarInfoEx::BuildButtonData(record->m_arrButtons), kThreeButtons);

    ASSERT_TRUE(record->SaveStateToProfile("Layout-Bar0"));
    Bytes profile;
    ASSERT_TRUE(app->GetProfileBinary("Layout-Bar0", "Buttons", profile));
    EXPECT_EQ(profile, kThreeButtons);
    EXPECT_EQ(app->GetProfileString("Layout-Bar0", "Title", ""), "Bar 100");

    TkPTNFactory factory;
    TkPersistentTreeNode* node = factory.CreateNode();
    ASSERT_EQ(node->Create("Bar-0", nullptr), 0);
    ASSERT_TRUE(record->SaveStateToTree(&factory, node));
    TkPersistentTreeNode* ex = node->FindChild("ToolBarInfoEx");
    ASSERT_NE(ex, nullptr);
    std::string letters;
    ex->GetValue("Buttons", letters, "");
    EXPECT_EQ(letters, TkPersistentTreeNode::EncodeBinary(kThreeButtons.data(), u32(kThreeButtons.size())));

    ArchiveWriter writer;
    record->Store(writer, nullptr);
    const Bytes& archived = writer.Data();
    const Bytes title = {7, 'B', 'a', 'r', ' ', '1', '0', '0', 3, 0, 0, 0};
    ASSERT_EQ(archived.size(), title.size() + kThreeButtons.size());
    EXPECT_TRUE(std::equal(title.begin(), title.end(), archived.begin()));
    EXPECT_TRUE(std::equal(kThreeButtons.begin(), kThreeButtons.end(), archived.begin() + 12));

    // Every store gives back the same record; applied to another bar the commands come back in
    // their order although none has an image.
    TkCustomToolBarInfoEx fromProfile, fromTree, fromArchive;
    ASSERT_TRUE(fromProfile.LoadStateFromProfile("Layout-Bar0", nullptr));
    ASSERT_TRUE(fromTree.LoadStateFromTree(node));
    ArchiveReader reader(archived);
    fromArchive.Load(reader, nullptr);
    EXPECT_TRUE(reader.AtEnd());
    for (const TkCustomToolBarInfoEx* loaded : {&fromProfile, &fromTree, &fromArchive}) {
        EXPECT_EQ(loaded->m_strTitle, "Bar 100");
        EXPECT_EQ(Commands(*loaded), (std::vector<UINT>{kFirstCommand, 0, kSecondCommand}));
    }
    auto applied = std::make_unique<TkCustomToolBarInfoEx>();
    TkCustomToolBarInfoEx::ParseButtonData(kThreeButtons.data(), kThreeButtons.size(), applied->m_arrButtons);
    Apply(Bar(101), std::move(applied));
    EXPECT_EQ(Commands(Bar(101)), (std::vector<UINT>{kFirstCommand, 0, kSecondCommand}));
    EXPECT_EQ(Bar(101)->GetWindowText(), "Bar 101") << "an empty saved title keeps the bar's";
    Layout();
    Save(frame->m_hWnd, "toolbar-state-commands-without-images");
}

TEST_F(ToolBarStateTest, OnlyWholeRecordsAreReadAndAnEmptyBarWritesNoTreeButtons) {
    // A record with three data bytes, a record without, and the start of a third.
    const Bytes thirteen = {1, 0, 0, 0, 3, 'a', 'b', 'c', 2, 0, 0, 0, 0};
    const Bytes withFragment = [&] {
        Bytes b = thirteen;
        b.insert(b.end(), {5, 0, 0, 0, 9, 'x'});
        return b;
    }();
    for (const Bytes* bytes : {&thirteen, &withFragment}) {
        TkBtnInfoArray buttons;
        TkCustomToolBarInfoEx::ParseButtonData(bytes->data(), bytes->size(), buttons);
        ASSERT_EQ(buttons.size(), 2u);
        EXPECT_EQ(buttons[0]->m_nID, 1u);
        EXPECT_EQ(buttons[0]->m_data, (Bytes{'a', 'b', 'c'}));
        EXPECT_EQ(buttons[1]->m_nID, 2u);
        EXPECT_TRUE(buttons[1]->m_data.empty());
        EXPECT_EQ(TkCustomToolBarInfoEx::BuildButtonData(buttons), thirteen);
    }

    TkCustomToolBarInfoEx empty;
    TkPTNFactory factory;
    TkPersistentTreeNode* node = factory.CreateNode();
    ASSERT_EQ(node->Create("Bar-0", nullptr), 0);
    ASSERT_TRUE(empty.SaveStateToTree(&factory, node));
    TkPersistentTreeNode* ex = node->FindChild("ToolBarInfoEx");
    ASSERT_NE(ex, nullptr);
    EXPECT_NE(ex->FindPair("Title"), nullptr) << "the tree keeps an empty title";
    EXPECT_EQ(ex->FindPair("Buttons"), nullptr);
    EXPECT_FALSE(empty.SaveStateToTree(&factory, nullptr));
    EXPECT_FALSE(empty.LoadStateFromTree(node->FindChild("None")));
    TkCustomToolBarInfoEx bare;
    EXPECT_FALSE(bare.LoadStateFromTree(ex)) << "a node without the child";

    ASSERT_TRUE(empty.SaveStateToProfile("Empty-Bar0"));
    EXPECT_EQ(app->GetProfileString("Empty-Bar0", "Title", "absent"), "absent");
    Bytes profile = {9};
    EXPECT_TRUE(app->GetProfileBinary("Empty-Bar0", "Buttons", profile));
    EXPECT_TRUE(profile.empty());
}

TEST_F(ToolBarStateTest, AnArchivedCountTheBytesCannotHoldFailsAtOnce) {
    struct Case {
        const char* what;
        std::uint32_t count;
        Bytes records;
    };
    const Case cases[] = {
        {"a count near the top of the range", 0x7FFFFFFF, kThreeButtons},
        {"one record more than the bytes hold", 4, kThreeButtons},
        {"a record whose data runs past the end", 1, {1, 0, 0, 0, 9, 'a'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArchiveWriter writer;
        writer.WriteText("T");
        writer.WriteUInt32(c.count);
        writer.WriteBytes(c.records);
        TkCustomToolBarInfoEx record;
        record.m_strTitle = "kept";
        ArchiveReader reader(writer.Data());
        EXPECT_THROW(record.Load(reader, nullptr), ArchiveException);
        EXPECT_EQ(record.m_strTitle, "kept");
        EXPECT_TRUE(record.m_arrButtons.empty());
    }
}

// A main window with the tool bar manager, as the program has it: one default bar, cool look on.
class Desk {
public:
    Desk() {
        frame = new TkMDIFrameWnd;
        frame->m_bAutoDelete = TRUE;
        AfxGetApp()->m_pMainWnd = frame;
        EXPECT_TRUE(frame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW));
        SetWindowPos(frame->m_hWnd, 0, 0, 0, 640, 480, SWP_NOZORDER);
        ShowWindow(frame->m_hWnd, SW_SHOW);
        frame->EnableDocking(CBRS_ALIGN_ANY);
        manager = std::make_unique<TkToolBarManager>(frame, nullptr);
        frame->SetControlBarManager(manager.get());
        EXPECT_TRUE(manager->LoadButtonImages(IDR_MAINBAR, 0));
        manager->SetCoolLook(TRUE, kCoolLookBits);
        manager->AddDefaultBar(100, "Standard", 2, kDefaultIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0, TRUE, TRUE);
        EXPECT_TRUE(manager->CreateDefaultBars());
        Layout();
    }
    ~Desk() {
        frame->SetControlBarManager(nullptr);
        manager.reset();
        AfxGetApp()->m_pMainWnd = nullptr;
        frame->DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    void Layout() {
        frame->RecalcLayout();
        OffscreenHarness::RunUntilIdle();
    }
    TkDockBar* Dock(UINT id) const { return dynamic_cast<TkDockBar*>(frame->GetControlBar(id)); }

    TkMDIFrameWnd* frame = nullptr;
    std::unique_ptr<TkToolBarManager> manager;

private:
    static constexpr UINT kDefaultIds[] = {ID_TB_BLACK, ID_TB_BLUE};
};

TEST_F(ToolBarStateTest, ACustomisedLayoutComesBackInAFreshFrameFromProfileAndWorkspaceTree) {
    // The fixture's frame is not needed here; the desks are main windows of their own.
    manager.reset();
    frame.reset();
    const std::string workspace = "Software\\Test Maker\\Workspaces\\Desk\\";
    std::vector<std::uint8_t> archived;
    {
        Desk desk;
        desk.manager->BarFromId(100)->SetButtons(std::vector<UINT>{ID_TB_GREY, 0, ID_TB_LINE}.data(), 3);
        TkCustomToolBar* user = desk.manager->CreateUserBar("Mine");
        ASSERT_NE(user, nullptr);
        user->SetButtons(std::vector<UINT>{ID_TB_NOIMAGE, ID_TB_BLUE}.data(), 2);
        desk.frame->DockControlBar(user, AFX_IDW_DOCKBAR_LEFT);
        desk.manager->SetCoolLook(FALSE, kCoolLookBits);
        desk.Layout();

        desk.frame->SaveBarState("Desk");
        desk.manager->SaveStateToProfile("Desk");

        TkPTNFactory factory;
        TkPersistentTreeNode* root = factory.CreateNode();
        ASSERT_EQ(root->Create("WorkState_v1_1", nullptr), 0);
        TkDockState state(desk.manager.get());
        ASSERT_TRUE(state.CaptureFrame(desk.frame));
        state.CleanBarIdLists();
        ASSERT_TRUE(state.SaveStateToTree(&factory, root));
        ASSERT_TRUE(desk.manager->SaveStateToTree(&factory, root));
        TkPTNStrategyRegistry store(workspace, kRegistryCurrentUser);
        ASSERT_EQ(root->Save(&store), 1);
        ArchiveWriter writer;
        state.Store(writer);
        archived = writer.Data();
    }

    enum class From { Profile, Tree, Archive };
    const char* const names[] = {"profile", "tree", "archive"};
    for (From from : {From::Profile, From::Tree, From::Archive}) {
        const std::string name = names[int(from)];
        SCOPED_TRACE(name);
        Desk desk;
        TkPTNFactory factory;
        if (from == From::Profile) {
            desk.manager->LoadStateFromProfile("Desk");
            desk.frame->LoadBarState("Desk");
        } else if (from == From::Archive) {
            // The archive holds the docking layout alone; the switches stay the manager's.
            TkDockState state(desk.manager.get());
            ArchiveReader reader(archived);
            state.Load(reader);
            ASSERT_TRUE(state.ApplyToFrame(desk.frame));
        } else {
            TkPersistentTreeNode* root = factory.CreateNode();
            ASSERT_EQ(root->Create("WorkState_v1_1", nullptr), 0);
            TkPTNStrategyRegistry store(workspace, kRegistryCurrentUser);
            ASSERT_EQ(root->Load(&store), 1);
            desk.manager->LoadStateFromTree(root);
            TkDockState state(desk.manager.get());
            ASSERT_TRUE(state.LoadStateFromTree(root));
            ASSERT_TRUE(state.ApplyToFrame(desk.frame));
        }
        desk.Layout();
        Save(desk.frame->m_hWnd, "toolbar-state-from-" + name);

        EXPECT_EQ(desk.manager->GetCoolLook(), from == From::Archive);
        TkCustomToolBar* user = desk.manager->BarFromId(kFirstUserBarId);
        ASSERT_NE(user, nullptr);
        EXPECT_EQ(desk.manager->GetBarTypeId(user), kCustomToolBarType);
        EXPECT_EQ(user->GetWindowText(), "Mine");
        EXPECT_EQ(Commands(user), (std::vector<UINT>{ID_TB_NOIMAGE, ID_TB_BLUE}));
        EXPECT_EQ(user->m_pDockBar, desk.Dock(AFX_IDW_DOCKBAR_LEFT));
        TkCustomToolBar* standard = desk.manager->BarFromId(100);
        ASSERT_NE(standard, nullptr);
        EXPECT_EQ(Commands(standard), (std::vector<UINT>{ID_TB_GREY, 0, ID_TB_LINE}));
        for (TkCustomToolBar* bar : {user, standard}) {
            SCOPED_TRACE(bar->GetWindowText());
            EXPECT_TRUE(IsWindowVisible(bar->m_hWnd));
            EXPECT_EQ(bar->m_dwExStyle & kCoolLookBits, 0u);
            const RECT r = bar->GetButtonRect(0);
            EXPECT_EQ(OffscreenHarness::Pixel(bar->m_hWnd, r.left, r.top), tkSysMetrics.m_crButtonHighlight)
                << "raised, classic";
        }
    }
}

} // namespace
} // namespace vq::test
