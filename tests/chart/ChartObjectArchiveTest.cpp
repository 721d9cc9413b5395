#include "chart/Chart.h"
#include "chart/ChartBackground.h"
#include "chart/ChartCompoundComponent.h"
#include "chart/ChartDynamicData.h"
#include "tests/support/TestPaths.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace vq {
namespace {

ChartStyle EveryField(u32 seed) {
    ChartStyle s;
    s.labelWord = 0x20000042 + seed;
    s.secondaryColour = 0x123456 + seed;
    s.extraWord = 0x4000000 + seed;
    s.firstSize = 1.5 + seed;
    s.secondSize = 2.5 + seed;
    s.thirdSize = 3.5 + seed;
    s.name = "name" + std::to_string(seed);
    s.styleWord = 0x01020304 + seed;
    s.flagsWord = 0x10000000 + seed;
    s.frameWord = 0x80000125 + seed;
    s.lineColour = 0xFF + seed;
    s.penWidth = 3 + int(seed);
    s.fillColour = 0xC0C0C0 + seed;
    s.secondFillColour = 0x808080 + seed;
    s.gradientAngle = 45 + seed;
    s.pictureName = "picture" + std::to_string(seed);
    s.tilt = 12 + seed;
    s.spare1 = -1.0 - seed;
    s.spare2 = 7.0 + seed;
    return s;
}

// Three groups: a plain one with texts, a dynamic one with element ranges, a hidden one; styles
// with every field set; chart texts; a compound holding a background.
std::unique_ptr<Chart> SampleChart() {
    auto chart = std::make_unique<Chart>();
    chart->GetStyle() = EveryField(1);
    chart->SetAnnotation("chart title", 1);
    chart->SetAnnotation("subtitle", 2);
    chart->SetItemValue(0, 0, 1.5, false);
    chart->SetItemValue(1, 0, -4, false);
    chart->SetItemLabel(1, 0, "second");
    chart->GetData(0, 0).GetStyle() = EveryField(2);
    chart->SetGroupLabel(0, "plain", false);

    ChartDataList& dynamic = chart->GetGroup(1, true);
    dynamic.SetDynamic(1);
    auto buffer = std::make_unique<ChartDynamicData>();
    buffer->SetCapacity(4);
    buffer->SetElementRanges(1);
    buffer->SetWrap(1);
    for (double v : {1.0, 2.0, 3.0, 4.0, 5.0})
        buffer->SetValue(v);
    dynamic.Append(std::move(buffer));

    ChartDataList& hidden = chart->GetGroup(2, true);
    hidden.GetStyle() = EveryField(3);
    hidden.GetStyle().flagsWord |= ChartStyle::kHiddenGroup;
    chart->SetItemValue(0, 2, 9, false);

    auto compound = std::make_unique<ChartCompoundComponent>();
    compound->GetStyle() = EveryField(4);
    compound->SetTwoPass(1);
    compound->SetOwnBackground(1);
    auto background = std::make_unique<ChartBackground>();
    background->GetStyle() = EveryField(5);
    background->SetUnit(ChartRect::unitPercent);
    background->SetRectValues(10, 20, 90, -1);
    background->SetDataWindow(1, 4, 0, 2);
    compound->AddComponent(std::move(background));
    chart->AddComponent(std::move(compound));
    return chart;
}

std::vector<u8> Bytes(const Chart& chart) {
    ObjectWriter out;
    chart.Store(out);
    return out.Data();
}

void LoadInto(Chart& chart, std::span<const u8> bytes) {
    ObjectReader in(bytes, Chart::ArchiveClasses());
    chart.Load(in, 1);
}

TEST(ChartObjectArchive, ChartReloadsEqualFieldByField) {
    auto chart = SampleChart();
    ObjectWriter out;
    out.WriteObject(chart.get());
    ObjectReader in(out.Data(), Chart::ArchiveClasses());
    auto loaded = in.ReadObject<Chart>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(in.AtEnd());
    // Storing the copy again gives the same bytes: every archived field came back.
    EXPECT_EQ(Bytes(*loaded), Bytes(*chart));

    EXPECT_EQ(loaded->GetStyle(), chart->GetStyle());
    EXPECT_EQ(loaded->GetAnnotation(2), "subtitle");
    EXPECT_EQ(loaded->GetGroupCount(), 3);
    EXPECT_EQ(loaded->GetDataAnnotation(0, 1, 1), "second");
    EXPECT_EQ(loaded->GetGroup(2, false).GetStyle(), chart->GetGroup(2, false).GetStyle());
    auto* buffer = loaded->GetGroup(1, false).GetBufferItem();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->PeekElement(0), 5);
    EXPECT_EQ(buffer->GetElementRange(0)->GetMinimum(), 1);
    EXPECT_EQ(buffer->GetElementRange(0)->GetMaximum(), 5);
    EXPECT_TRUE(loaded->IsAllInvalid());

    auto& compound = static_cast<ChartCompoundComponent&>(*loaded->GetComponentList().front());
    ASSERT_EQ(compound.GetChildList().size(), 1u);
    ChartComponent& background = *compound.GetChildList().front();
    EXPECT_EQ(background.GetTypeCode(), chartBackgroundType);
    EXPECT_EQ(&background.GetRuntimeClass(), &ChartBackground::Class());
    EXPECT_EQ(background.GetChart(), loaded.get());
    EXPECT_EQ(background.GetStyle(), EveryField(5));
    EXPECT_EQ(background.GetRect().Left(), 10);
    EXPECT_EQ(background.GetRect().GetUnit(), ChartRect::unitPercent);
}

std::size_t Find(const std::vector<u8>& bytes, std::string_view text, std::size_t from = 0) {
    auto found = std::search(bytes.begin() + std::ptrdiff_t(from), bytes.end(), text.begin(), text.end());
    EXPECT_NE(found, bytes.end()) << text;
    return std::size_t(found - bytes.begin());
}

void Put32(std::vector<u8>& bytes, std::size_t at, u32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = u8(value >> (8 * i));
}

// The group count follows the chart's texts and its off-screen (1), empty (0) and default group (0)
// words.
std::size_t GroupCountOffset(const std::vector<u8>& bytes) {
    const u8 flagsThenThree[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0};
    return Find(bytes, std::string_view(reinterpret_cast<const char*>(flagsThenThree), 16),
                Find(bytes, "subtitle")) +
           12;
}

TEST(ChartObjectArchive, RefusedStreamsLeaveTheChartAsItWas) {
    const std::vector<u8> good = Bytes(*SampleChart());
    auto target = std::make_unique<Chart>();
    target->SetItemValue(2, 0, 42, false);
    target->AddComponent(std::make_unique<ChartBackground>());
    const std::vector<u8> before = Bytes(*target);

    auto refused = [&](std::span<const u8> bytes) {
        EXPECT_THROW(LoadInto(*target, bytes), ArchiveException);
        EXPECT_EQ(Bytes(*target), before);
    };
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        refused(std::span(good).first(length));
    }

    std::vector<u8> badName = good;
    badName[Find(badName, "ChartBackground")] = 'c';
    refused(badName);

    std::vector<u8> manyGroups = good;
    Put32(manyGroups, GroupCountOffset(good), 1'000'000'000);
    refused(manyGroups);

    // The buffer's capacity follows its wrap, element-ranges and allocated words (1, 1, 1).
    std::vector<u8> hugeBuffer = good;
    const std::size_t item = Find(hugeBuffer, "ChartDynamicData");
    const u8 capacityFour[] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0};
    const std::size_t flags =
        Find(hugeBuffer, std::string_view(reinterpret_cast<const char*>(capacityFour), 16), item);
    Put32(hugeBuffer, flags + 12, 0x80000000);
    refused(hugeBuffer);
}

} // namespace
} // namespace vq

namespace vq {
namespace {

// The stored form is what files hold: a chart written by hand in that form still loads.
TEST(ChartObjectArchive, AStoredChartOfKnownBytesLoads) {
    std::ifstream file(vq::test::TestPath("VQ_TEST_DATA_DIR") + "/fuzz/chart_archive/chart.bin",
                       std::ios::binary);
    const std::vector<u8> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    Chart chart;
    LoadInto(chart, bytes);
    EXPECT_EQ(chart.GetComponentList().size(), 2u);
    ASSERT_EQ(chart.GetGroupCount(), 1);
    EXPECT_EQ(chart.GetData(0, 0).GetValue(), 2.5);
    EXPECT_EQ(chart.GetDataAnnotation(0, 0, 1), "label");
    auto& buffer = static_cast<ChartDynamicData&>(chart.GetData(1, 0));
    EXPECT_EQ(buffer.PeekElement(1), 2);
    EXPECT_EQ(buffer.GetElementRange(1)->GetMaximum(), 2);
}

} // namespace
} // namespace vq
