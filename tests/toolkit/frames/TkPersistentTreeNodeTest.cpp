#include "toolkit/frames/TkPersistentTreeNode.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using Node = TkPersistentTreeNode;

std::vector<std::string> Keys(const Node& node) {
    std::vector<std::string> keys;
    std::string key;
    std::string value;
    for (size_t at = 0; node.GetNextPair(at, key, value);)
        keys.push_back(key + "=" + value);
    return keys;
}

TEST(TkPersistentTreeNode, CreateAndSetValueAnswerTheirErrorBits) {
    Node root;
    Node loose;
    EXPECT_EQ(loose.SetValue("k", "v", true), Node::kNotCreated);
    EXPECT_EQ(loose.SetValue("", "v", true), Node::kNotCreated | Node::kEmptyKey);
    EXPECT_EQ(root.Create("", nullptr), Node::kNoName);
    EXPECT_EQ(root.Create("Root", nullptr), 0);
    EXPECT_EQ(root.Create("Again", nullptr), Node::kAlreadyCreated);
    EXPECT_EQ(root.GetName(), "Root");

    Node child;
    Node twin;
    Node orphan;
    EXPECT_EQ(child.Create("Child", &root), 0);
    EXPECT_EQ(twin.Create("Child", &root), Node::kChildExists);
    EXPECT_EQ(twin.SetValue("k", "v", true), Node::kNotCreated) << "a refused node stays not created";
    EXPECT_EQ(orphan.Create("Orphan", &loose), Node::kOtherFailure);
    EXPECT_EQ(root.GetChildNames(), std::vector<std::string>{"Child"});
    EXPECT_EQ(child.GetPathNames(), (std::vector<std::string>{"Child", "Root"}));

    ASSERT_EQ(root.SetValue("a", "1", false), 0);
    ASSERT_EQ(root.SetValue("b", "2", false), 0);
    ASSERT_EQ(root.SetValue("c", "3", false), 0);
    EXPECT_EQ(root.SetValue("b", "x", false), Node::kKeyExists);
    EXPECT_EQ(root.SetValue("", "x", false), Node::kEmptyKey);
    EXPECT_EQ(Keys(root), (std::vector<std::string>{"a=1", "b=2", "c=3"}));
    EXPECT_EQ(root.SetValue("b", "x", true), 0);
    EXPECT_EQ(Keys(root), (std::vector<std::string>{"a=1", "b=x", "c=3"})) << "replaced in place";
    EXPECT_EQ(root.RemoveValue("b"), 0);
    EXPECT_EQ(root.RemoveValue("b"), Node::kNoValue);
    EXPECT_EQ(Keys(root), (std::vector<std::string>{"a=1", "c=3"}));
}

TEST(TkPersistentTreeNode, ReadsIntegersAndBooleansAsTheStoreWroteThem) {
    Node node;
    ASSERT_EQ(node.Create("N", nullptr), 0);
    const struct {
        const char* text;
        i32 expected;
    } integers[] = {{" -12x", -12}, {"abc", 0}, {"99999999999", 2147483647}, {"-99999999999", INT32_MIN},
                    {"+7", 7},      {"", 0}};
    for (const auto& row : integers) {
        node.SetValue("i", row.text, true);
        i32 value = 5;
        EXPECT_EQ(node.GetIntValue("i", value, 5), 0) << row.text;
        EXPECT_EQ(value, row.expected) << row.text;
    }
    i32 value = 0;
    EXPECT_EQ(node.GetIntValue("missing", value, 42), Node::kNoValue);
    EXPECT_EQ(value, 42);
    u32 unsignedValue = 0;
    node.SetIntValue("u", -1, true);
    EXPECT_EQ(node.GetIntValue("u", unsignedValue, 3u), 0);
    EXPECT_EQ(unsignedValue, 0xFFFFFFFFu);

    const std::pair<const char*, bool> booleans[] = {
        {"true", true}, {"TRUE", true}, {"True", true}, {"1", false}, {"yes", false}};
    for (const auto& [text, expected] : booleans) {
        node.SetValue("b", text, true);
        bool flag = !expected;
        EXPECT_EQ(node.GetBoolValue("b", flag, !expected), 0);
        EXPECT_EQ(flag, expected) << text;
    }
    node.SetBoolValue("b", true, true);
    std::string text;
    node.GetValue("b", text, "");
    EXPECT_EQ(text, "True");
}

TEST(TkPersistentTreeNode, ByteBlocksRoundTripInBothForms) {
    Node node;
    ASSERT_EQ(node.Create("Bar", nullptr), 0);
    const u8 three[] = {0x00, 0xFF, 0x3C};
    ASSERT_EQ(node.SetBinaryValue("small", three, 3, false), 0);
    std::string text;
    node.GetValue("small", text, "");
    EXPECT_EQ(text, "AAPPMD");

    for (u32 size : {125u, 126u, 2000u}) {
        std::vector<u8> block(size);
        for (u32 i = 0; i < size; ++i)
            block[i] = u8(i * 7 + 1);
        const std::string key = "block" + std::to_string(size);
        ASSERT_EQ(node.SetBinaryValue(key, block.data(), size, false), 0);
        std::unique_ptr<u8[]> read;
        u32 count = 0;
        ASSERT_EQ(node.GetBinaryValue(key, &read, &count), 0) << size;
        EXPECT_EQ(std::vector<u8>(read.get(), read.get() + count), block) << size;
    }
    EXPECT_EQ(node.GetValue("block125", text, ""), 0);
    EXPECT_EQ(text.size(), 250u);
    EXPECT_EQ(node.GetValue("block126", text, ""), Node::kNoValue) << "no plain key beside the split form";
    node.GetValue("block126_BinCount", text, "");
    EXPECT_EQ(text, "2");
    node.GetValue("block126_BinVal0", text, "");
    EXPECT_EQ(text.size(), 250u);
    node.GetValue("block126_BinVal1", text, "");
    EXPECT_EQ(text.size(), 2u);

    // Rewriting a key in the other form leaves nothing of the first behind to be read instead.
    ASSERT_EQ(node.SetBinaryValue("block126", three, 3, true), 0);
    std::unique_ptr<u8[]> read;
    u32 count = 0;
    ASSERT_EQ(node.GetBinaryValue("block126", &read, &count), 0);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(node.FindPair("block126_BinCount"), nullptr);

    u8 sentinel = 0;
    std::unique_ptr<u8[]> untouched(new u8[1]{7});
    u8* before = untouched.get();
    count = 99;
    EXPECT_EQ(node.GetBinaryValue("absent", &untouched, &count), Node::kNoValue);
    EXPECT_EQ(untouched.get(), before);
    EXPECT_EQ(count, 99u);
    EXPECT_EQ(node.GetBinaryValue("absent", nullptr, &count), Node::kNoBuffer);
    EXPECT_EQ(node.SetBinaryValue("k", nullptr, 3, true), Node::kNoBuffer);
    EXPECT_EQ(node.SetBinaryValue("k", &sentinel, 0, true), Node::kNoData);
}

TEST(TkPersistentTreeNode, DamagedByteBlocksFailWithoutTouchingTheOutValues) {
    Node node;
    ASSERT_EQ(node.Create("Bar", nullptr), 0);
    const struct {
        std::vector<std::pair<std::string, std::string>> values;
        int error;
        std::vector<u8> bytes;
    } rows[] = {
        {{{"B_BinCount", "2147483647"}}, Node::kOtherFailure, {}},
        {{{"B_BinCount", "-3"}}, Node::kOtherFailure, {}},
        {{{"B_BinCount", "4097"}, {"B_BinVal0", "BA"}}, Node::kOtherFailure, {}},
        {{{"B_BinCount", "3"}, {"B_BinVal0", "BA"}, {"B_BinVal2", "CA"}}, 0, {1, 2}},
        {{{"B", "BAC"}}, 0, {1}},
        {{{"B", "C"}}, Node::kOtherFailure, {}},
        {{{"B", "zz"}}, 0, {u8((('z' - 'A') * 16 + ('z' - 'A')) & 0xFF)}},
    };
    for (const auto& row : rows) {
        Node fresh;
        ASSERT_EQ(fresh.Create("Bar", nullptr), 0);
        for (const auto& [key, value] : row.values)
            fresh.SetValue(key, value, true);
        std::unique_ptr<u8[]> read;
        u32 count = 77;
        EXPECT_EQ(fresh.GetBinaryValue("B", &read, &count), row.error) << row.values.front().second;
        if (row.error == 0) {
            EXPECT_EQ(std::vector<u8>(read.get(), read.get() + count), row.bytes);
        } else {
            EXPECT_EQ(read, nullptr);
            EXPECT_EQ(count, 77u);
        }
    }
}

TEST(TkPersistentTreeNode, NodesGoWithoutLeavingPointersBehind) {
    TkPTNFactory factory;
    Node* root = factory.CreateNode("Root", nullptr);
    ASSERT_NE(root, nullptr);
    Node* child = factory.CreateNode("Child", root);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(factory.CreateNode("Child", root), nullptr);
    EXPECT_EQ(factory.CreateNode(Object::Class()), nullptr) << "only node classes are made";
    EXPECT_EQ(factory.DestroyNode(child), 1);
    EXPECT_EQ(factory.DestroyNode(child), 0);
    EXPECT_TRUE(root->GetChildNames().empty());
    {
        Node stackChild;
        ASSERT_EQ(stackChild.Create("Brief", root), 0);
    }
    EXPECT_TRUE(root->GetChildNames().empty());
    Node* listed = factory.CreateNode("Listed", nullptr);
    EXPECT_EQ(root->AddChild(listed), 0);
    EXPECT_EQ(root->AddChild(nullptr), Node::kNoName);
    factory.DestroyNode(listed);
    EXPECT_TRUE(root->GetChildNames().empty());
    Node* last = factory.CreateNode("Last", root);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(factory.DestroyNode(root), 1);
    EXPECT_EQ(last->GetParent(), nullptr);
}

} // namespace
} // namespace vq
