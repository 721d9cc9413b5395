#include "toolkit/lists/TkSubItemTextStorage.h"
#include "toolkit/lists/TkTreeNodeX.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

// A named node that counts the live nodes, so leaks and double deletions show.
class Named : public TkTreeNodeX {
public:
    explicit Named(std::string label) : name(std::move(label)) { ++alive; }
    ~Named() override { --alive; }
    BOOL Match(LPARAM key, const TkTreeNode*) const override {
        return name == reinterpret_cast<const char*>(key);
    }
    std::string name;
    static inline int alive = 0;
};

Named* Add(TkTreeNode& parent, const char* name, TkTreeNode* where = TkTreeNode::AddLast) {
    std::unique_ptr<TkTreeNode> node = std::make_unique<Named>(name);
    Named* made = static_cast<Named*>(node.get());
    EXPECT_TRUE(parent.AddChild(node, where));
    return made;
}

std::string NameOf(const TkTreeNode* node) {
    return node ? static_cast<const Named*>(node)->name : "-";
}

std::string Children(const TkTreeNode& node) {
    std::string out;
    for (const TkTreeNode* c = node.GetFirstChild(); c; c = c->GetNextSibling())
        out += NameOf(c) + " ";
    return out;
}

std::string PreOrder(const TkTreeNode& root) {
    std::string out;
    for (const TkTreeNode* n = root.GetNextInOrder(); n; n = n->GetNextInOrder())
        out += NameOf(n) + " ";
    return out;
}

TEST(TkTreeNodeTest, AddChildPlacesNodesAndRefusesAStrangerLeavingOnlyItsParentLink) {
    Named root("root");
    Named* b = Add(root, "b", TkTreeNode::AddFirst);
    Add(root, "c", TkTreeNode::AddLast);
    Add(root, "d", TkTreeNode::AddAppend);
    Add(root, "a", TkTreeNode::AddFirst);
    Add(root, "b2", b);
    EXPECT_EQ(Children(root), "a b b2 c d ");
    EXPECT_EQ(NameOf(root.GetLastChild()), "d");

    Named other("other");
    Named* stranger = Add(other, "x");
    std::unique_ptr<TkTreeNode> node = std::make_unique<Named>("e");
    EXPECT_FALSE(root.AddChild(node, stranger));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetRawParent(), &root);
    EXPECT_EQ(Children(root), "a b b2 c d ");
    node.reset();
}

TEST(TkTreeNodeTest, DestroyingARootDestroysEveryNode) {
    const int before = Named::alive;
    {
        auto root = std::make_unique<Named>("root");
        Named* a = Add(*root, "a");
        Add(*Add(*a, "a1"), "a1x");
        Add(*a, "a2");
        Add(*root, "b");
        EXPECT_EQ(Named::alive, before + 6);
        EXPECT_EQ(root->CountFollowing(), 5);
    }
    EXPECT_EQ(Named::alive, before);
}

TEST(TkTreeNodeTest, WalksInPreOrderBothWays) {
    Named root("root");
    Named* a = Add(root, "a");
    Named* a1 = Add(*a, "a1");
    Named* a1x = Add(*a1, "a1x");
    Named* b = Add(root, "b");
    EXPECT_EQ(PreOrder(root), "a a1 a1x b ");
    EXPECT_EQ(a1->GetPrevInOrder(), a);
    EXPECT_EQ(b->GetPrevInOrder(), a1x);
    EXPECT_EQ(a1x->GetDepth(), 3);
    EXPECT_TRUE(a->IsAncestorOf(a1x));
    EXPECT_FALSE(a1x->IsAncestorOf(a));
    EXPECT_FALSE(a->IsAncestorOf(a));
    EXPECT_TRUE(a1x->HasAncestor(&root));
    EXPECT_TRUE(b->IsSibling(a));
    EXPECT_EQ(root.GetLeftmostLeaf(), a1x);
    EXPECT_EQ(root.GetDeepestLastDescendant(), b);
    EXPECT_EQ(root.FindNode(LPARAM("a1x")), a1x);
    EXPECT_EQ(a1->FindNode(LPARAM("b")), nullptr);
    EXPECT_EQ(root.FindNode(LPARAM("root")), nullptr);

    b->MoveBeforePrevious();
    EXPECT_EQ(Children(root), "b a ");
    EXPECT_EQ(root.GetLastChild(), a);
    a->Unlink();
    EXPECT_EQ(Children(root), "b ");
    std::unique_ptr<TkTreeNode> back(a);
    EXPECT_TRUE(root.AddChild(back, TkTreeNode::AddLast));
    EXPECT_EQ(PreOrder(root), "b a a1 a1x ");
}

TEST(TkTreeNodeTest, HiddenLevelShowsGrandchildrenAndStepsOverChildlessHiddenNodes) {
    Named root("root");
    Named* a = Add(root, "A");
    Add(*a, "a1");
    Add(root, "B");
    Named* c = Add(root, "C");
    Add(*c, "c1");
    Add(*c, "c2");
    ASSERT_TRUE(a->SetHiddenLevel(1));
    EXPECT_EQ(root.GetHiddenLevel(), 1);
    EXPECT_EQ(Children(root), "a1 c1 c2 ");
    const TkTreeNode* c2 = root.GetFirstChild()->GetNextSibling()->GetNextSibling();
    EXPECT_EQ(NameOf(c2->GetPrevSibling()->GetPrevSibling()), "a1");
    EXPECT_EQ(c2->GetParent(), &root);
    EXPECT_EQ(c2->GetDepth(), 1);
    EXPECT_EQ(PreOrder(root), "a1 c1 c2 ");

    // A childless first hidden node does not empty the view.
    Named empty("root");
    Add(empty, "X");
    Named* y = Add(empty, "Y");
    Add(*y, "y1");
    empty.SetHiddenLevel(1);
    EXPECT_EQ(Children(empty), "y1 ");
}

TEST(TkSubItemTextStorageTest, KeepsTextsByPositionAndMovesThem) {
    TkSubItemTextStorage storage;
    auto* item = reinterpret_cast<HTREEITEM>(std::uintptr_t(0x1000));
    auto* other = reinterpret_cast<HTREEITEM>(std::uintptr_t(0x2000));
    char buffer[16];

    ASSERT_TRUE(storage.SetSubItemText(item, 1, "a"));
    EXPECT_FALSE(storage.GetSubItemText(item, 3, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    ASSERT_TRUE(storage.SetSubItemText(other, 3, "z"));
    EXPECT_TRUE(storage.GetSubItemText(other, 1, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(storage.GetSubItemText(other, 3, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "z");

    storage.SetSubItemText(item, 2, "b");
    storage.SetSubItemText(item, 3, "c");
    ASSERT_TRUE(storage.MoveSubItemText(item, 1, 3));
    std::string moved;
    for (int k = 1; k <= 3; ++k) {
        storage.GetSubItemText(item, k, buffer, sizeof buffer);
        moved += buffer;
    }
    EXPECT_EQ(moved, "bca");

    // A short buffer gets a terminated prefix.
    storage.SetSubItemText(item, 1, "abcdef");
    EXPECT_TRUE(storage.GetSubItemText(item, 1, buffer, 4));
    EXPECT_STREQ(buffer, "abc");

    // A position past the end counts as an empty text.
    TkSubItemTextStorage two;
    two.SetSubItemText(item, 2, "y");
    two.SetSubItemText(item, 1, "x");
    EXPECT_TRUE(two.MoveSubItemText(item, 5, 1));
    two.GetSubItemText(item, 1, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
    two.GetSubItemText(item, 2, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "x");

    EXPECT_FALSE(storage.MoveSubItemText(reinterpret_cast<HTREEITEM>(std::uintptr_t(0x3000)), 1, 2));
    EXPECT_TRUE(storage.RemoveItem(item));
    EXPECT_FALSE(storage.RemoveItem(item));
}

} // namespace
} // namespace vq
