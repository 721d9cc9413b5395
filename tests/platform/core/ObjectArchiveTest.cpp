#include "platform/core/ObjectArchive.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

// A node that may hold another, with a schema the test chooses.
class Node : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(Node)

public:
    static inline u32 schema = kVersionableSchema | 2;
    u32 GetSchema() const override { return schema; }
    void Store(ObjectWriter& archive) const override {
        archive.WriteInt32(value);
        archive.WriteObject(child.get());
    }
    void Load(ObjectReader& archive, u32 stored) override {
        loadedSchema = stored;
        value = archive.ReadInt32();
        child = archive.ReadObject<Node>();
    }

    int value = 0;
    u32 loadedSchema = 0;
    std::unique_ptr<Node> child;
};
VQ_IMPLEMENT_DYNCREATE(Node, Serializable)

class Other : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(Other)

public:
    u32 GetSchema() const override { return 1; }
    void Store(ObjectWriter&) const override {}
    void Load(ObjectReader&, u32) override {}
};
VQ_IMPLEMENT_DYNCREATE(Other, Serializable)

const RuntimeClass* const kKnown[] = {&Node::Class(), &Other::Class()};

std::vector<u8> Chain(int length) {
    auto head = std::make_unique<Node>();
    Node* tail = head.get();
    for (int i = 1; i < length; ++i) {
        tail->child = std::make_unique<Node>();
        tail = tail->child.get();
        tail->value = i;
    }
    ObjectWriter out;
    out.WriteObject(head.get());
    return out.Data();
}

TEST(ObjectArchive, ClassNameOnceThenItsIndex) {
    const std::vector<u8> bytes = Chain(3);
    // Tag, schema, name, value for the first object; tag (index 1) and value for the others.
    EXPECT_EQ(bytes.size(), (4 + 4 + 1 + 4 + 4) + 2 * (4 + 4) + 4);
    ObjectReader in(bytes, kKnown);
    auto head = in.ReadObject<Node>();
    ASSERT_TRUE(head && head->child && head->child->child);
    EXPECT_EQ(head->child->child->value, 2);
    EXPECT_EQ(head->loadedSchema, 2u);
    EXPECT_TRUE(in.AtEnd());
}

TEST(ObjectArchive, SchemasAreCheckedAgainstTheClass) {
    struct Case {
        u32 stored, current;
        bool ok;
    };
    const Case cases[] = {
        {kVersionableSchema | 1, kVersionableSchema | 2, true},  // older versionable
        {kVersionableSchema | 3, kVersionableSchema | 2, false}, // from the future
        {2, 2, true},                                            // exact fixed schema
        {1, 2, false},                                           // other fixed schema
        {kVersionableSchema | 1, 1, false},                      // versionable for a fixed class
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.stored << " " << c.current);
        Node::schema = c.stored;
        const std::vector<u8> bytes = Chain(1);
        Node::schema = c.current;
        ObjectReader in(bytes, kKnown);
        if (c.ok)
            EXPECT_NO_THROW(in.ReadObject<Node>());
        else
            EXPECT_THROW(in.ReadObject<Node>(), ArchiveException);
    }
    Node::schema = kVersionableSchema | 2;
}

TEST(ObjectArchive, HostileStreamsAreRefused) {
    EXPECT_NO_THROW(ObjectReader(Chain(64), kKnown).ReadObject<Node>());
    EXPECT_THROW(ObjectReader(Chain(65), kKnown).ReadObject<Node>(), ArchiveException) << "nested too deep";

    ObjectWriter other;
    Other o;
    other.WriteObject(&o);
    EXPECT_THROW(ObjectReader(other.Data(), kKnown).ReadObject<Node>(), ArchiveException) << "another base";
    const RuntimeClass* const onlyNode[] = {&Node::Class()};
    EXPECT_THROW(ObjectReader(other.Data(), onlyNode).ReadObject<Other>(), ArchiveException)
        << "unknown class";

    ObjectWriter count;
    count.WriteUInt32(3);
    count.WriteUInt32(0);
    ObjectReader counted(count.Data(), kKnown);
    EXPECT_THROW(counted.ReadCount(4), ArchiveException) << "three objects cannot fit in four bytes";
}

} // namespace
} // namespace vq
