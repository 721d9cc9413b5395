#include "toolkit/frames/TkPTNStrategyRegistry.h"

#include "platform/registry/RegistryTree.h"
#include "tests/support/TempDir.h"
#include "toolkit/controls/TkRegistry.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using Node = TkPersistentTreeNode;
using test::ReadFile;
using test::TempDir;

constexpr const char* kBase = "Software\\Vorquel\\Workspaces";

class RegistryTree : public ::testing::Test {
protected:
    void SetUp() override { SetUserRegistryFolder(m_Folder.Path().string()); }
    void TearDown() override {
        SetWholeFileRenameFailure(0);
        SetUserRegistryFolder(std::nullopt);
    }

    static bool KeyExists(const std::string& path) {
        TkRegistry registry;
        return registry.Connect(kRegistryCurrentUser) && registry.Open(path.c_str(), kKeyRead);
    }

    TempDir m_Folder;
};

// WorkState_v1_1 / Frames / MainFrame and a list of documents under Frames.
struct Workspace {
    TkPTNFactory factory;
    Node* root = factory.CreateNode("WorkState_v1_1", nullptr);
    Node* frames = factory.CreateNode("Frames", root);
    Node* main = factory.CreateNode("MainFrame", frames);

    Workspace() {
        root->SetValue("Version", "2", true);
        frames->SetIntValue("Count", 3, true);
        main->SetBoolValue("Maximized", true, true);
        main->SetIntValue("Left", -4, true);
        for (const char* name : {"Document-2", "Document-10", "Document-1"})
            factory.CreateNode(name, frames)->SetValue("Title", name, true);
    }
};

TEST_F(RegistryTree, SavesKeysPerNodeAndLoadsChildrenInTheirOrder) {
    TkPTNStrategyRegistry store(kBase, kRegistryCurrentUser);
    EXPECT_EQ(store.GetBaseKeyPath(), std::string(kBase) + "\\");
    Workspace saved;
    ASSERT_EQ(saved.root->Save(&store), 1);

    TkRegistry registry;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(
        registry.Open("Software\\Vorquel\\Workspaces\\WorkState_v1_1\\Frames\\MainFrame\\", kKeyRead));
    std::string text;
    EXPECT_TRUE(registry.GetStringValue("Maximized", text));
    EXPECT_EQ(text, "True");
    EXPECT_TRUE(registry.GetStringValue("Left", text));
    EXPECT_EQ(text, "-4");

    Node loaded;
    ASSERT_EQ(loaded.Create("WorkState_v1_1", nullptr), 0);
    ASSERT_EQ(loaded.Load(&store), 1);
    Node* frames = loaded.FindChild("Frames");
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->GetChildNames(),
              (std::vector<std::string>{"MainFrame", "Document-2", "Document-10", "Document-1"}));
    i32 count = 0;
    EXPECT_EQ(frames->GetIntValue("Count", count, 0), 0);
    EXPECT_EQ(count, 3);

    saved.factory.DestroyNode(saved.frames->FindChild("Document-10"));
    ASSERT_EQ(saved.root->Save(&store), 1);
    EXPECT_FALSE(KeyExists("Software\\Vorquel\\Workspaces\\WorkState_v1_1\\Frames\\Document-10"));
    EXPECT_TRUE(KeyExists("Software\\Vorquel\\Workspaces\\WorkState_v1_1\\Frames\\Document-2"));
}

TEST_F(RegistryTree, ASaveReachesTheUserFileWholeOrNotAtAll) {
    TkPTNStrategyRegistry store(kBase, kRegistryCurrentUser);
    Workspace first;
    ASSERT_EQ(first.root->Save(&store), 1);
    const std::string saved = ReadFile(UserRegistryFile());

    Workspace second;
    for (int i = 0; i < 300; ++i)
        second.main->SetValue("v" + std::to_string(i), "x", true);
    SetWholeFileRenameFailure(28);
    EXPECT_EQ(second.root->Save(&store), 0);
    SetWholeFileRenameFailure(0);
    EXPECT_EQ(ReadFile(UserRegistryFile()), saved);
    EXPECT_TRUE(KeyExists("Software\\Vorquel\\Workspaces\\WorkState_v1_1\\Frames\\Document-10"));
    TkRegistry registry;
    std::string text;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(registry.Open("Software\\Vorquel\\Workspaces\\WorkState_v1_1\\Frames\\MainFrame", kKeyRead));
    EXPECT_FALSE(registry.GetStringValue("v0", text)) << "memory went back with the file";
    registry.Close();

    const uint64_t writes = WholeFileWriteCount(UserRegistryFile());
    EXPECT_EQ(second.root->Save(&store), 1);
    EXPECT_EQ(WholeFileWriteCount(UserRegistryFile()), writes + 1);
}

TEST_F(RegistryTree, ARootWithoutBatchesTakesNoTree) {
    TkPTNStrategyRegistry store(kBase, kRegistryLocalMachine);
    Workspace tree;
    EXPECT_EQ(tree.root->Save(&store), 0);
    Node loaded;
    ASSERT_EQ(loaded.Create("WorkState_v1_1", nullptr), 0);
    EXPECT_EQ(loaded.Load(&store), 0);
}

} // namespace
} // namespace vq
