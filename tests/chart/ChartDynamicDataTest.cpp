#include "chart/ChartDynamicData.h"

#include "ScriptedMessageBoxes.h"
#include "chart/ChartException.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

int ChartErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ChartException& error) {
        return error.GetCode();
    }
    return -1;
}

std::vector<double> Elements(const ChartDynamicData& buffer) {
    std::vector<double> values;
    for (int i = 0; i < buffer.GetCapacity(); ++i)
        values.push_back(buffer.PeekElement(u32(i)));
    return values;
}

ChartDynamicData BufferOf(u32 capacity, std::initializer_list<double> values, int wrap = 1) {
    ChartDynamicData buffer;
    buffer.SetCapacity(capacity);
    buffer.SetWrap(wrap);
    for (double value : values)
        buffer.SetValue(value);
    return buffer;
}

TEST(ChartDynamicData, PushesNeedAnAllocatedBuffer) {
    ChartDynamicData buffer;
    EXPECT_EQ(ChartErrorOf([&] { buffer.SetValue(1); }), 6);
    buffer.SetCapacity(3);
    buffer.SetValue(0); // fixes the double type, so zeros read back
    EXPECT_EQ(Elements(buffer), (std::vector<double>{0, 0, 0}));
}

TEST(ChartDynamicData, WritePositionWrapsOrGrows) {
    ChartDynamicData wrapped = BufferOf(3, {1, 2, 3, 4});
    EXPECT_EQ(Elements(wrapped), (std::vector<double>{4, 2, 3}));
    EXPECT_EQ(wrapped.GetWritePosition(), 1u);

    ChartDynamicData grown;
    grown.SetCapacity(2);
    grown.SetGrowBy(2);
    grown.SetValue(1);
    grown.SetValue(2);
    EXPECT_EQ(Elements(grown), (std::vector<double>{1, 2, 0, 0}));
    EXPECT_EQ(grown.GetWritePosition(), 2u);
}

TEST(ChartDynamicData, FullBufferThatNeitherWrapsNorGrowsRefusesThePush) {
    ChartDynamicData buffer = BufferOf(2, {1, 2}, 0);
    EXPECT_EQ(buffer.GetWritePosition(), 2u);
    EXPECT_EQ(ChartErrorOf([&] { buffer.SetValue(3); }), 3);
    EXPECT_EQ(Elements(buffer), (std::vector<double>{1, 2}));
    EXPECT_EQ(buffer.GetCapacity(), 2);
}

TEST(ChartDynamicData, ElementTypesAndTheirPushes) {
    struct Case {
        const char* name;
        std::function<void(ChartDynamicData&)> action;
        int error;
    };
    const Case cases[] = {
        {"int32 after a double",
         [](auto& b) {
             b.SetValue(1);
             b.PushInt32(2);
         },
         15},
        {"int32 on a fresh buffer", [](auto& b) { b.PushInt32(2); }, 15},
        {"byte on a fresh buffer", [](auto& b) { b.PushByte(2); }, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChartDynamicData buffer;
        buffer.SetCapacity(4);
        EXPECT_EQ(ChartErrorOf([&] { c.action(buffer); }), c.error);
        EXPECT_EQ(buffer.GetWritePosition(), c.error == 15 && buffer.GetElementType() == 0 ? 0u : 1u);
    }
}

TEST(ChartDynamicData, IntegerAndByteBuffersCheckDoublePushes) {
    struct Case {
        i32 type;
        double value;
        int error;
        double readBack;
    };
    const Case cases[] = {
        {ChartDynamicData::typeInt32, 2147483647.0, -1, 2147483647.0},
        {ChartDynamicData::typeInt32, -2147483648.0, -1, -2147483648.0},
        {ChartDynamicData::typeInt32, 2147483648.0, 5, 0},
        {ChartDynamicData::typeInt32, -7.9, -1, -7},
        {ChartDynamicData::typeInt32, NAN, 5, 0},
        {ChartDynamicData::typeByte, 255, -1, -1},
        {ChartDynamicData::typeByte, -128, -1, -128},
        {ChartDynamicData::typeByte, 256, 5, 0},
        {ChartDynamicData::typeByte, -129, 5, 0},
        {-1, 1, 5, 0},
        {4, 1, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " value " << c.value);
        // A stored buffer brings its type with it; the stream is the only way to set one.
        ObjectWriter out;
        ChartDynamicData source;
        source.SetCapacity(1);
        out.WriteObject(&source);
        std::vector<u8> bytes = out.Data();
        // The type is the fifth 32-bit word after the item part: patch it in place.
        const std::size_t typeAt = bytes.size() - 8 - 8;
        for (int i = 0; i < 4; ++i)
            bytes[typeAt + std::size_t(i)] = u8(u32(c.type) >> (8 * i));
        const RuntimeClass* known[] = {&ChartDynamicData::Class(), &ChartAnnotation::Class()};
        ObjectReader in(bytes, known);
        auto buffer = in.ReadObject<ChartDynamicData>();
        ASSERT_EQ(buffer->GetElementType(), c.type);
        EXPECT_EQ(ChartErrorOf([&] { buffer->SetValue(c.value); }), c.error);
        if (c.error < 0) {
            EXPECT_EQ(buffer->GetValue(), c.readBack);
        } else {
            EXPECT_EQ(buffer->GetWritePosition(), 0u);
        }
    }
}

TEST(ChartDynamicData, ReadsWrapAndLogOfZeroIsMinus99) {
    ChartDynamicData buffer = BufferOf(3, {10, 0, -1000});
    std::vector<double> read;
    for (int i = 0; i < 4; ++i)
        read.push_back(buffer.GetValue());
    EXPECT_EQ(read, (std::vector<double>{10, 0, -1000, 10}));
    EXPECT_EQ(buffer.GetValue(true), -99);
    EXPECT_DOUBLE_EQ(buffer.GetValue(true), 3);

    ChartDynamicData untyped;
    untyped.SetCapacity(2);
    untyped.GetValue();
    EXPECT_EQ(untyped.GetReadPosition(), 0u);
}

TEST(ChartDynamicData, ShiftMovesElementsAndTheirRangesButNoPosition) {
    ChartDynamicData left = BufferOf(3, {1, 2, 3});
    left.SetReadPosition(1);
    left.Shift(9, true);
    EXPECT_EQ(Elements(left), (std::vector<double>{2, 3, 9}));
    EXPECT_EQ(left.GetReadPosition(), 1u);
    EXPECT_EQ(left.GetWritePosition(), 0u);

    ChartDynamicData right;
    right.SetCapacity(3);
    right.SetElementRanges(1);
    right.SetWrap(1);
    for (double value : {1, 2, 3})
        right.SetValue(value);
    right.Shift(9, false);
    EXPECT_EQ(Elements(right), (std::vector<double>{9, 1, 2}));
    EXPECT_TRUE(right.GetElementRange(0)->IsEmpty());
    EXPECT_EQ(right.GetElementRange(1)->GetMaximum(), 1);
    EXPECT_EQ(right.GetElementRange(2)->GetMaximum(), 2);
}

TEST(ChartDynamicData, PositionsMustNameAnElement) {
    ChartDynamicData buffer = BufferOf(3, {});
    for (u32 position : {3u, 4u}) {
        EXPECT_EQ(ChartErrorOf([&] { buffer.SetReadPosition(position); }), 3);
        EXPECT_EQ(ChartErrorOf([&] { buffer.SetWritePosition(position); }), 3);
    }
    buffer.SetReadPosition(2);
    buffer.SetWritePosition(2);
    EXPECT_EQ(buffer.GetReadPosition(), 2u);

    // Shrinking keeps the first elements and brings positions back inside.
    buffer.SetCapacity(2);
    EXPECT_EQ(buffer.GetReadPosition(), 0u);
    EXPECT_EQ(buffer.GetWritePosition(), 0u);
    ChartDynamicData empty;
    empty.SetCapacity(0);
    EXPECT_EQ(empty.SetReadPosition(0), 1);
    EXPECT_EQ(ChartErrorOf([&] { empty.SetValue(1); }), 3);
}

TEST(ChartDynamicData, ElementRangesRecordEveryPush) {
    ChartDynamicData buffer;
    buffer.SetCapacity(2);
    buffer.SetElementRanges(1);
    buffer.SetWrap(1);
    for (double value : {5, 1, 3, 8})
        buffer.SetValue(value);
    EXPECT_EQ(buffer.GetRange().GetMinimum(), 3);
    const CScale second = buffer.GetRange();
    EXPECT_EQ(second.GetMinimum(), 1);
    EXPECT_EQ(second.GetMaximum(), 8);
    buffer.SetElementRanges(0);
    EXPECT_TRUE(buffer.GetRange().IsEmpty());
}

TEST(ChartDynamicData, GrowingKeepsElementsAndRanges) {
    ChartDynamicData buffer = BufferOf(2, {4, 5});
    buffer.SetElementRanges(1);
    buffer.SetCapacity(4);
    EXPECT_EQ(Elements(buffer), (std::vector<double>{4, 5, 0, 0}));
    EXPECT_EQ(buffer.GetCapacity(), 4);
    EXPECT_NE(buffer.GetElementRange(3), nullptr);
}

} // namespace
} // namespace vq
