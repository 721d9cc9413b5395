#include "toolkit/frames/TkPTNStrategyProfile.h"

#include "platform/registry/RegistryTree.h"
#include "tests/support/TempDir.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vq {
namespace {

using Node = TkPersistentTreeNode;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Value(Node& node, const std::string& key) {
    std::string text;
    node.GetValue(key, text, "<none>");
    return text;
}

// A tree of 300 values under WorkState: three frames of a hundred values each.
struct BigTree {
    TkPTNFactory factory;
    Node* root = factory.CreateNode("WorkState", nullptr);

    explicit BigTree(const std::string& mark) {
        for (int frame = 0; frame < 3; ++frame) {
            Node* node = factory.CreateNode("Frame" + std::to_string(frame), root);
            for (int i = 0; i < 100; ++i)
                node->SetValue("v" + std::to_string(i), mark + std::to_string(i), true);
        }
    }
};

class ProfileTree : public ::testing::Test {
protected:
    void TearDown() override { SetWholeFileRenameFailure(0); }

    TempDir m_Folder;
    std::string m_File = m_Folder.File("work.wsp");
};

TEST_F(ProfileTree, SavesSectionsAndKeepsWhatOthersWrote) {
    WriteFile(m_File, "; written by hand\n[Foreign]\nkey=kept\n");
    TkPTNStrategyProfile store(m_File);
    Node root;
    Node child;
    ASSERT_EQ(root.Create("A", nullptr), 0);
    ASSERT_EQ(child.Create("B", &root), 0);
    root.SetValue("k", "v", true);
    ASSERT_EQ(root.Save(&store), 1);
    EXPECT_EQ(ReadFile(m_File), "; written by hand\n[Foreign]\nkey=kept\n[A]\nk=v\nptn_Child1=B\n");

    Node loaded;
    ASSERT_EQ(loaded.Create("A", nullptr), 0);
    EXPECT_EQ(loaded.Load(&store), 1) << "the child's own failed load is ignored";
    EXPECT_EQ(loaded.GetChildNames(), std::vector<std::string>{"B"});
    EXPECT_EQ(Value(loaded, "k"), "v");
    EXPECT_EQ(Value(loaded, "ptn_Child1"), "<none>");

    Node missing;
    ASSERT_EQ(missing.Create("Nowhere", nullptr), 0);
    EXPECT_EQ(missing.Load(&store), 0);
}

TEST_F(ProfileTree, ValuesComeBackAsTheyWereSetAndWhatCannotIsRefused) {
    TkPTNStrategyProfile store(m_File);
    Node root;
    ASSERT_EQ(root.Create("WorkState_v1_1", nullptr), 0);
    Node frames;
    Node main;
    ASSERT_EQ(frames.Create("Frames", &root), 0);
    ASSERT_EQ(main.Create("MainFrame", &frames), 0);
    const std::vector<std::string> kept = {
        " blank", "tail ", "\"quoted\"", "'single'", "a=b", std::string(5000, 'x'), ""};
    for (size_t i = 0; i < kept.size(); ++i)
        main.SetValue("v" + std::to_string(i), kept[i], true);
    ASSERT_EQ(root.Save(&store), 1);
    EXPECT_NE(ReadFile(m_File).find("[WorkState_v1_1.Frames.MainFrame]"), std::string::npos);

    Node loaded;
    ASSERT_EQ(loaded.Create("WorkState_v1_1", nullptr), 0);
    ASSERT_EQ(loaded.Load(&store), 1);
    Node* loadedMain = loaded.FindChild("Frames")->FindChild("MainFrame");
    ASSERT_NE(loadedMain, nullptr);
    for (size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(Value(*loadedMain, "v" + std::to_string(i)), kept[i]);

    const std::string before = ReadFile(m_File);
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"line", "one\ntwo"}, {"k=ey", "v"}, {"[k", "v"}, {"cr", "a\rb"}}) {
        main.SetValue(key, value, true);
        EXPECT_EQ(root.Save(&store), 0) << key;
        EXPECT_EQ(ReadFile(m_File), before) << key;
        main.RemoveValue(key);
    }
}

TEST_F(ProfileTree, DamagedFilesLoadAsFarAsTheyCanBeRead) {
    std::string text =
        "[Root]\nlong=" + std::string(300, 'L') +
        "\nButtons_BinCount=2147483647\nNegative_BinCount=-3\nOdd=BAC\nno equals sign\n"
        "ptn_Child1=Dup\nptn_Child2=Dup\nptn_Child3=Many\n[Broken header\nafter=1\n[Root.Many]\n";
    for (int i = 1; i <= 2000; ++i)
        text += "ptn_Child" + std::to_string(i) + "=Child-" + std::to_string(i) + "\n";
    text += "[Root.Many.Child-2000]\nx=y\n[Root.Dup]\nd=1\n";
    WriteFile(m_File, text);
    TkPTNStrategyProfile store(m_File);

    Node root;
    ASSERT_EQ(root.Create("Root", nullptr), 0);
    ASSERT_EQ(root.Load(&store), 1);
    EXPECT_EQ(Value(root, "long"), std::string(300, 'L'));
    EXPECT_EQ(Value(root, "after"), "1") << "a header without ] is no section";
    EXPECT_EQ(root.GetChildNames(), (std::vector<std::string>{"Dup", "Many"}));
    EXPECT_EQ(Value(*root.FindChild("Dup"), "d"), "1");
    Node* many = root.FindChild("Many");
    ASSERT_EQ(many->GetChildNames().size(), 2000u);
    EXPECT_EQ(many->GetChildNames().back(), "Child-2000");
    EXPECT_EQ(Value(*many->FindChild("Child-2000"), "x"), "y");

    std::unique_ptr<u8[]> bytes;
    u32 count = 5;
    EXPECT_EQ(root.GetBinaryValue("Buttons", &bytes, &count), Node::kOtherFailure);
    EXPECT_EQ(root.GetBinaryValue("Negative", &bytes, &count), Node::kOtherFailure);
    EXPECT_EQ(count, 5u);
    ASSERT_EQ(root.GetBinaryValue("Odd", &bytes, &count), 0);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(bytes[0], 1);
}

size_t CountNodes(const Node& node, size_t depth, size_t& deepest) {
    deepest = std::max(deepest, depth);
    size_t count = 1;
    for (const auto& name : node.GetChildNames())
        count += CountNodes(*node.FindChild(name), depth + 1, deepest);
    return count;
}

TEST_F(ProfileTree, AFileCannotHoldALoadForever) {
    // Sections are found without regard to case, so children "a" and "A" share one section and
    // every level doubles the tree; a long chain goes deeper than any saved tree.
    std::string doubling;
    std::string section = "Doubling";
    for (int level = 0; level < 40; ++level) {
        doubling += "[" + section + "]\nptn_Child1=a\nptn_Child2=A\n";
        section += ".a";
    }
    std::string chain;
    section = "Chain";
    for (int level = 0; level < 100; ++level) {
        chain += "[" + section + "]\nptn_Child1=c\n";
        section += ".c";
    }
    WriteFile(m_File, doubling + chain);
    TkPTNStrategyProfile store(m_File);
    const struct {
        const char* root;
        size_t nodes;
        size_t depth;
    } rows[] = {{"Doubling", TkPTNStrategy::kMostLoadedNodes, 13}, {"Chain", 64, 63}};
    for (const auto& row : rows) {
        Node root;
        ASSERT_EQ(root.Create(row.root, nullptr), 0);
        ASSERT_EQ(root.Load(&store), 1);
        size_t deepest = 0;
        const size_t loaded = CountNodes(root, 0, deepest);
        EXPECT_GE(loaded, row.nodes) << row.root;
        EXPECT_LE(loaded, size_t(TkPTNStrategy::kMostLoadedNodes) + 1) << row.root;
        EXPECT_LE(deepest, size_t(TkPTNStrategy::kDeepestTree)) << row.root;
        EXPECT_GE(deepest, row.depth) << row.root;
    }
}

TEST_F(ProfileTree, ASaveReachesTheFileWholeOrNotAtAll) {
    WriteFile(m_File, "[Other]\nx=1\n");
    TkPTNStrategyProfile store(m_File);
    BigTree first("first");
    ASSERT_EQ(first.root->Save(&store), 1);
    const std::string saved = ReadFile(m_File);

    BigTree second("second");
    SetWholeFileRenameFailure(28);
    EXPECT_EQ(second.root->Save(&store), 0);
    SetWholeFileRenameFailure(0);
    EXPECT_EQ(ReadFile(m_File), saved);

    const uint64_t writes = WholeFileWriteCount(m_File);
    EXPECT_EQ(second.root->Save(&store), 1);
    EXPECT_EQ(WholeFileWriteCount(m_File), writes + 1);
    EXPECT_EQ(ReadFile(m_File).find("[Other]\nx=1\n"), 0u);

    TkPTNStrategyProfile other(m_File);
    TkPTNFactory factory;
    Node* workspace = factory.CreateNode("Another", nullptr);
    workspace->SetValue("w", "1", true);
    EXPECT_EQ(workspace->Save(&other), 1);
    EXPECT_EQ(WholeFileWriteCount(m_File), writes + 2);
    Node reread;
    ASSERT_EQ(reread.Create("WorkState", nullptr), 0);
    ASSERT_EQ(reread.Load(&store), 1);
    EXPECT_EQ(Value(*reread.FindChild("Frame2"), "v99"), "second99");
}

TEST_F(ProfileTree, ASaveThatGetsNoBatchWritesNothing) {
    WriteFile(m_File, "[Other]\nx=1\n");
    TkPTNStrategyProfile store(m_File);
    BigTree tree("t");
    WriteBatch held = WriteBatch::Profile(m_File);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_EQ(tree.root->Save(&store), 0);
    EXPECT_TRUE(held.Commit());
    EXPECT_EQ(ReadFile(m_File), "[Other]\nx=1\n");

    std::filesystem::create_directory(m_Folder.File("folder.wsp"));
    TkPTNStrategyProfile unreadable(m_Folder.File("folder.wsp"));
    EXPECT_EQ(tree.root->Save(&unreadable), 0);
    TkPTNStrategyProfile nowhere(m_Folder.File("missing/work.wsp"));
    EXPECT_EQ(tree.root->Save(&nowhere), 0);
}

// Fails partway through the values of its second frame.
class ThrowingProfile : public TkPTNStrategyProfile {
public:
    using TkPTNStrategyProfile::TkPTNStrategyProfile;
    bool WriteValue(const Names& path, const std::string& key, const std::string& value) override {
        if (++m_Writes == 150) throw std::runtime_error("store gone");
        return TkPTNStrategyProfile::WriteValue(path, key, value);
    }

private:
    int m_Writes = 0;
};

TEST_F(ProfileTree, ASaveThatThrowsLeavesNoBatchAndNoChange) {
    WriteFile(m_File, "[Other]\nx=1\n");
    ThrowingProfile store(m_File);
    BigTree tree("t");
    EXPECT_THROW(tree.root->Save(&store), std::runtime_error);
    EXPECT_EQ(ReadFile(m_File), "[Other]\nx=1\n");
    TkPTNStrategyProfile plain(m_File);
    EXPECT_EQ(tree.root->Save(&plain), 1) << "the thrown save left no batch open";
}

} // namespace
} // namespace vq
