#include "platform/core/Exceptions.h"
#include "platform/core/Format.h"
#include "platform/core/RuntimeClass.h"
#include "platform/core/StringTable.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

class Shape : public Object {
    VQ_DECLARE_RUNTIME_CLASS(Shape)
};
VQ_IMPLEMENT_RUNTIME_CLASS(Shape, Object)

class Circle : public Shape {
    VQ_DECLARE_RUNTIME_CLASS(Circle)
public:
    int radius = 7;
};
VQ_IMPLEMENT_DYNCREATE(Circle, Shape)

class Square : public Shape {
    VQ_DECLARE_RUNTIME_CLASS(Square)
};
VQ_IMPLEMENT_DYNCREATE(Square, Shape)

TEST(Format, PrintsIntoExactlySizedText) {
    EXPECT_EQ(Format("%d-%s-%.1f", 42, "x", 2.25), "42-x-2.2");
    EXPECT_EQ(Format("%s", ""), "");
    const std::string wide(5000, 'w');
    EXPECT_EQ(Format("<%s>", wide.c_str()), "<" + wide + ">");
}

TEST(StringTable, AddsReplacesAndFinds) {
    EXPECT_FALSE(StringTable::Find(900001).has_value());
    EXPECT_EQ(StringTable::Get(900001), "");
    StringTable::Add(900001, "first");
    EXPECT_EQ(StringTable::Find(900001), "first");
    StringTable::Add(900001, "second");
    EXPECT_EQ(StringTable::Get(900001), "second");
}

TEST(RuntimeClass, KnowsNamesAndBases) {
    const Circle circle;
    const Object& object = circle;
    EXPECT_STREQ(object.GetRuntimeClass().name, "Circle");
    EXPECT_TRUE(object.IsKindOf(Circle::Class()));
    EXPECT_TRUE(object.IsKindOf(Shape::Class()));
    EXPECT_TRUE(object.IsKindOf(Object::Class()));
    EXPECT_FALSE(object.IsKindOf(Square::Class()));
    EXPECT_FALSE(Shape::Class().IsDerivedFrom(Circle::Class()));
}

TEST(RuntimeClass, CreatesDefaultObjectsOnlyWithFactory) {
    std::unique_ptr<Object> made = Circle::Class().CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(Circle::Class()));
    EXPECT_EQ(static_cast<Circle&>(*made).radius, 7);
    EXPECT_FALSE(Shape::Class().IsCreatable());
    EXPECT_EQ(Shape::Class().CreateObject(), nullptr);
}

TEST(RuntimeClass, CreatableClassesAreFoundByTheirExactName) {
    EXPECT_EQ(FindRuntimeClass("Circle"), &Circle::Class());
    EXPECT_EQ(FindRuntimeClass("Square"), &Square::Class());
    // Exact and case-sensitive; a class that cannot make objects is not offered.
    EXPECT_EQ(FindRuntimeClass("circle"), nullptr);
    EXPECT_EQ(FindRuntimeClass("Circle "), nullptr);
    EXPECT_EQ(FindRuntimeClass("Shape"), nullptr);
    EXPECT_EQ(FindRuntimeClass(""), nullptr);
}

TEST(Exceptions, CarryCauseAndMessage) {
    const ArchiveException eof(ArchiveException::Cause::EndOfFile);
    EXPECT_EQ(eof.GetCause(), ArchiveException::Cause::EndOfFile);
    EXPECT_STREQ(eof.what(), "unexpected end of archive data");
    EXPECT_STREQ(ArchiveException(ArchiveException::Cause::BadFormat, "tag").what(),
                 "bad archive format: tag");

    const FileException file(FileException::Cause::NotFound, "/x/y", "cannot open /x/y");
    EXPECT_EQ(file.GetPath(), "/x/y");
    const Exception& base = file;
    EXPECT_STREQ(base.what(), "cannot open /x/y");
}

} // namespace
} // namespace vq
