#include "chart/ChartDataList.h"
#include "chart/ChartDynamicData.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace vq {
namespace {

const RuntimeClass* const kKnown[] = {&ChartAnnotation::Class(), &ChartData::Class(),
                                      &ChartDynamicData::Class(), &ChartDataList::Class()};

ChartStyle EveryFieldSet() {
    ChartStyle style;
    style.labelWord = 0x30A0542;
    style.secondaryColour = 0x123456;
    style.extraWord = 0x4000000;
    style.firstSize = 1.5;
    style.secondSize = 2.5;
    style.thirdSize = 3.5;
    style.name = "box|arrow";
    style.styleWord = 0x01020304;
    style.flagsWord = ChartStyle::kHiddenGroup;
    style.frameWord = 0x80000325;
    style.lineColour = 0xFF;
    style.penWidth = 3;
    style.fillColour = 0xC0C0C0;
    style.secondFillColour = 0x808080;
    style.gradientAngle = 45;
    style.pictureName = "picture.bmp";
    style.tilt = 12;
    style.spare1 = -1;
    style.spare2 = 7;
    return style;
}

std::unique_ptr<ChartDataList> SampleGroup() {
    auto group = std::make_unique<ChartDataList>("group", 1);
    group->GetStyle() = EveryFieldSet();
    group->SetDynamic(0);
    for (double value : {1.25, -3.0}) {
        auto item = std::make_unique<ChartData>();
        item->SetValue(value);
        item->SetAnnotation(1, "item");
        item->SetAnnotation(4, "four");
        group->Append(std::move(item));
    }
    group->Append(std::make_unique<ChartData>());
    auto buffer = std::make_unique<ChartDynamicData>();
    buffer->SetCapacity(3);
    buffer->SetElementRanges(1);
    buffer->SetWrap(1);
    buffer->SetGrowBy(4);
    for (double value : {5.0, 6.0, 7.0, 8.0})
        buffer->SetValue(value);
    group->Append(std::move(buffer));
    return group;
}

void ExpectEqualItems(ChartData& a, ChartData& b) {
    EXPECT_EQ(&a.GetRuntimeClass(), &b.GetRuntimeClass());
    EXPECT_EQ(a.GetStyle(), b.GetStyle());
    EXPECT_EQ(a.GetAnnotationList(), b.GetAnnotationList());
    EXPECT_EQ(a.GetRangeRecord(), b.GetRangeRecord());
    EXPECT_EQ(a.IsNull(), b.IsNull());
    if (!a.IsDynamic()) {
        EXPECT_EQ(a.GetValue(), b.GetValue());
        return;
    }
    auto& x = static_cast<ChartDynamicData&>(a);
    auto& y = static_cast<ChartDynamicData&>(b);
    EXPECT_EQ(x.GetCapacity(), y.GetCapacity());
    EXPECT_EQ(x.GetWrap(), y.GetWrap());
    EXPECT_EQ(x.GetGrowBy(), y.GetGrowBy());
    EXPECT_EQ(x.GetElementType(), y.GetElementType());
    EXPECT_EQ(x.HasElementRanges(), y.HasElementRanges());
    for (u32 i = 0; i < u32(x.GetCapacity()); ++i) {
        EXPECT_EQ(x.PeekElement(i), y.PeekElement(i));
        EXPECT_EQ(*x.GetElementRange(i), *y.GetElementRange(i));
    }
}

std::vector<u8> Store(const ChartDataList& group) {
    ObjectWriter out;
    out.WriteObject(&group);
    return out.Data();
}

TEST(ChartArchive, GroupWithPlainAndBufferItemsReloadsFieldByField) {
    auto group = SampleGroup();
    group->GetStyle().secondText = "not kept";
    const std::vector<u8> bytes = Store(*group);
    ObjectReader in(bytes, kKnown);
    auto loaded = in.ReadObject<ChartDataList>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded->GetStyle().secondText, "");
    loaded->GetStyle().secondText = "not kept";
    EXPECT_EQ(loaded->GetStyle(), group->GetStyle());
    EXPECT_EQ(loaded->GetAnnotationList(), group->GetAnnotationList());
    ASSERT_EQ(loaded->GetItemCount(), group->GetItemCount());
    for (int i = 0; i < group->GetItemCount(); ++i) {
        SCOPED_TRACE(i);
        ExpectEqualItems(group->GetDataInGroup(i, false), loaded->GetDataInGroup(i, false));
    }
    // Positions are not stored.
    auto* buffer = static_cast<ChartDynamicData*>(&loaded->GetDataInGroup(3, false));
    EXPECT_EQ(buffer->GetReadPosition(), 0u);
    EXPECT_EQ(buffer->GetWritePosition(), 0u);
}

TEST(ChartArchive, EveryTruncationIsRefused) {
    const std::vector<u8> bytes = Store(*SampleGroup());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        ObjectReader in(std::span<const u8>(bytes).first(length), kKnown);
        EXPECT_THROW(in.ReadObject<ChartDataList>(), ArchiveException);
    }
}

// Patches a 32-bit little-endian word.
void Put32(std::vector<u8>& bytes, std::size_t at, u32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = u8(value >> (8 * i));
}

std::size_t Find(const std::vector<u8>& bytes, std::string_view text) {
    auto found = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    EXPECT_NE(found, bytes.end());
    return std::size_t(found - bytes.begin());
}

// Where the capacity lies after the buffer item's class name, found from a stream of the item alone.
std::size_t CapacityOffset() {
    auto group = SampleGroup();
    ObjectWriter out;
    out.WriteObject(group->GetItems().back().get());
    const std::vector<u8>& bytes = out.Data();
    const std::size_t elements = 3 * (8 + CScale::kArchivedSize);
    return bytes.size() - elements - 3 * 4 - Find(bytes, "ChartDynamicData");
}

TEST(ChartArchive, HostileRecordsAreRefusedBeforeAllocating) {
    const std::vector<u8> good = Store(*SampleGroup());
    struct Case {
        const char* name;
        std::function<void(std::vector<u8>&)> corrupt;
    };
    const Case cases[] = {
        {"class name", [](auto& b) { b[Find(b, "ChartDynamicData")] = 'X'; }},
        {"item count of 10^9", [](auto& b) { Put32(b, Find(b, "ChartDataList") + 13, 1'000'000'000); }},
        {"buffer capacity of 2^31",
         [](auto& b) { Put32(b, Find(b, "ChartDynamicData") + CapacityOffset(), 0x80000000); }},
        {"class index", [](auto& b) { Put32(b, Find(b, "ChartDataList") + 13 + 4, 9); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<u8> bytes = good;
        c.corrupt(bytes);
        ObjectReader in(bytes, kKnown);
        EXPECT_THROW(in.ReadObject<ChartDataList>(), ArchiveException);
    }
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(ChartArchive, AnObjectOfAnotherBaseIsRefused) {
    ChartData item;
    ObjectWriter out;
    out.WriteObject(&item);
    ObjectReader in(out.Data(), kKnown);
    EXPECT_THROW(in.ReadObject<ChartDataList>(), ArchiveException);
}

} // namespace
} // namespace vq
