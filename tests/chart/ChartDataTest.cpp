#include "chart/ChartDataList.h"
#include "chart/ChartDynamicData.h"
#include "chart/ChartException.h"

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

std::vector<double> Values(ChartDataList& group) {
    std::vector<double> values;
    for (auto& item : group.GetItems())
        values.push_back(item->GetValue());
    return values;
}

std::unique_ptr<ChartDataList> GroupOf(std::initializer_list<double> values) {
    auto group = std::make_unique<ChartDataList>();
    for (double value : values) {
        auto item = std::make_unique<ChartData>();
        item->SetValue(value);
        group->Append(std::move(item));
    }
    return group;
}

TEST(ChartData, ValueNullAndRangeFollowTheSetter) {
    ChartData item;
    EXPECT_TRUE(item.IsNull());
    EXPECT_EQ(item.GetValue(), 0);
    EXPECT_TRUE(item.GetRange().IsEmpty());
    EXPECT_EQ(item.GetStyle().GetLevel(), 2u);

    item.SetValue(5);
    EXPECT_FALSE(item.IsNull());
    EXPECT_EQ(item.GetRange().GetMinimum(), 5);
    EXPECT_EQ(item.GetRange().GetMaximum(), 5);
    item.SetValue(-2);
    EXPECT_EQ(item.GetRange().GetMinimum(), -2);
    EXPECT_EQ(item.GetRange().GetMaximum(), 5);

    item.Clear();
    EXPECT_EQ(item.GetValue(), 0);
    EXPECT_TRUE(item.GetRange().IsEmpty());
    EXPECT_FALSE(item.IsNull());
}

TEST(ChartData, LogValueOfZeroAndNegativesIsMinus99) {
    struct Case {
        double value, log;
    };
    for (const Case& c : {Case{100, 2}, Case{0, -99}, Case{-3, -99}, Case{1, 0}}) {
        SCOPED_TRACE(c.value);
        ChartData item;
        item.SetValue(c.value);
        EXPECT_DOUBLE_EQ(item.GetValue(true), c.log);
        EXPECT_DOUBLE_EQ(item.GetLogValue(), c.log);
    }
}

TEST(ChartData, DecadesOnlyForRangesAboveZero) {
    CScale range;
    EXPECT_EQ(range.GetDecades(), 1);
    range.Update(1);
    range.Update(1000);
    EXPECT_DOUBLE_EQ(range.GetDecades(), 3);
    range.Update(0);
    EXPECT_EQ(range.GetDecades(), 1);
    EXPECT_EQ(range.GetSpan(), 1000);
}

TEST(ChartData, SecondConstructorMakesANonNullItemOutsideTheRange) {
    ChartData item(7.5, 0x234, "label");
    EXPECT_FALSE(item.IsNull());
    EXPECT_EQ(item.GetValue(), 7.5);
    EXPECT_TRUE(item.GetRange().IsEmpty());
    EXPECT_EQ(item.GetStyle().styleWord, 0x234u);
    EXPECT_EQ(item.GetStyle().GetLevel(), 0u);
    EXPECT_EQ(item.GetAnnotationText(1), "label");
}

TEST(ChartData, DummyItemAlwaysReadsAsNullZero) {
    ChartDummyData dummy;
    dummy.SetValue(5);
    dummy.SetNull(0);
    dummy.SetAnnotation(1, "x");
    dummy.SetAnnotationText("y", true, 1);
    EXPECT_TRUE(dummy.IsNull());
    EXPECT_EQ(dummy.GetValue(), 0);
    EXPECT_EQ(dummy.GetAnnotationText(1), "");
    dummy.GetStyle().fillColour = 0x123456;
    EXPECT_EQ(dummy.GetStyle().fillColour, ChartStyle().fillColour);
    EXPECT_EQ(&dummy.GetRuntimeClass(), &ChartData::Class());
}

TEST(ChartAnnotationList, FirstAnnotationOfAnIndexIsReplacedOthersAppended) {
    ChartAnnotationList list;
    EXPECT_EQ(list.GetText(7), "");
    list.SetText(1, "one");
    list.SetText(2, "two");
    list.SetText(1, "uno");
    EXPECT_EQ(list.Items().size(), 2u);
    EXPECT_EQ(list.GetText(1), "uno");
    EXPECT_EQ(list.GetText(7), "");
}

TEST(ChartDataList, ItemsAreCreatedOnlyWhenAsked) {
    ChartDataList group;
    group.GetDataInGroup(3, true).SetValue(3);
    EXPECT_EQ(group.GetCount(), 4);
    EXPECT_EQ(group.GetDataInGroup(3, false).GetValue(), 3);
    EXPECT_EQ(ChartErrorOf([&] { group.GetDataInGroup(4, false); }), 3);
    EXPECT_EQ(ChartErrorOf([&] { group.GetDataInGroup(-1, false); }), 3);
    EXPECT_EQ(ChartErrorOf([&] { group.GetDataInGroup(-1, true); }), 3);
    EXPECT_EQ(group.GetCount(), 4);
}

TEST(ChartDataList, SetDataPrependsAppendsAndReplaces) {
    auto owned = GroupOf({1, 2});
    ChartDataList& group = *owned;
    auto item = [](double value) {
        auto data = std::make_unique<ChartData>();
        data->SetValue(value);
        return data;
    };
    group.SetData(item(0), -2);
    EXPECT_EQ(Values(group), (std::vector<double>{0, 1, 2}));
    group.SetData(item(9), 1);
    EXPECT_EQ(Values(group), (std::vector<double>{0, 9, 2}));
    group.SetData(item(4), -1);
    group.SetData(item(6), 6);
    EXPECT_EQ(Values(group), (std::vector<double>{0, 9, 2, 4, 0, 0, 6}));
}

TEST(ChartDataList, ScrollMovesOneItemToTheOtherEnd) {
    auto plainGroup = GroupOf({1, 2, 3});
    plainGroup->Scroll(9, false);
    EXPECT_EQ(Values(*plainGroup), (std::vector<double>{2, 3, 9}));
    auto atStartGroup = GroupOf({1, 2, 3});
    atStartGroup->Scroll(9, true);
    EXPECT_EQ(Values(*atStartGroup), (std::vector<double>{9, 1, 2}));

    ChartDataList empty;
    empty.Scroll(9, true);
    empty.Scroll(9, false);
    EXPECT_EQ(empty.GetCount(), 0);
}

TEST(ChartDataList, CursorFollowsScrollingFromEveryPlace) {
    for (bool atStart : {false, true})
        for (int cursor = 0; cursor < 4; ++cursor) {
            SCOPED_TRACE(testing::Message() << "cursor " << cursor << " at start " << atStart);
            auto owned = GroupOf({1, 2, 3, 4});
            ChartDataList& group = *owned;
            group.GetDataInGroup(cursor, false);
            group.Scroll(9, atStart);
            const std::vector<double> expected =
                atStart ? std::vector<double>{9, 1, 2, 3} : std::vector<double>{2, 3, 4, 9};
            for (int i : {3, 1, 2, 0, 3})
                EXPECT_EQ(group.GetDataInGroup(i, false).GetValue(), expected[std::size_t(i)]);
        }
}

TEST(ChartDataList, DynamicGroupAddressesItsBuffer) {
    ChartDataList group;
    group.SetDynamic(1);
    EXPECT_EQ(ChartErrorOf([&] { group.GetCount(); }), 6);
    EXPECT_EQ(ChartErrorOf([&] { group.GetDataInGroup(0, true); }), 6);

    auto buffer = std::make_unique<ChartDynamicData>();
    buffer->SetCapacity(3);
    ChartDynamicData* raw = buffer.get();
    group.Append(std::move(buffer));
    EXPECT_EQ(group.GetCount(), 3);
    EXPECT_EQ(&group.GetDataInGroup(2, false), raw);
    EXPECT_EQ(raw->GetReadPosition(), 2u);
    EXPECT_EQ(raw->GetWritePosition(), 2u);
    // Positions at or past the capacity, and negative ones, name no element.
    for (int index : {3, 4, -1})
        EXPECT_EQ(&group.GetDataInGroup(index, false), &ChartDummyData::Shared());
    EXPECT_EQ(raw->GetReadPosition(), 2u);

    raw->SetWrap(1);
    raw->ResetWritePosition();
    for (double value : {1, 2, 3})
        raw->SetValue(value);
    group.Scroll(7, true);
    EXPECT_EQ(raw->PeekElement(0), 2);
    EXPECT_EQ(raw->PeekElement(2), 7);
}

} // namespace
} // namespace vq
