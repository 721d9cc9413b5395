#include "chart/ChartAxisManager.h"

#include "GdiFixture.h"
#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartLabel.h"
#include "chart/ChartTickMarks.h"
#include "platform/gui/Gdi.h"

namespace vq {
namespace {

// A scale whose labels, wherever they were laid out, span a fixed box.
class BoxedScale : public ChartDecimalScale {
public:
    RECT GetBounds() const override { return {100, 50, 140, 62}; }
};

TEST(ChartAxisManager, ThicknessAddsLabelsTicksAndTitle) {
    ChartAxisManager empty;
    EXPECT_EQ(empty.GetThicknessX(), 0);
    EXPECT_EQ(empty.GetThicknessY(), 0);
    for (int role = 0; role < ChartAxisManager::roleCount; ++role)
        EXPECT_FALSE(empty.HasRole(static_cast<ChartAxisManager::Role>(role)));
    EXPECT_EQ(empty.GetChildList().size(), 6u) << "placeholders keep the positions";

    ChartAxisManager axis;
    axis.SetScale(std::make_unique<BoxedScale>());
    axis.SetTickMarks(std::make_unique<ChartTickMarks>());
    EXPECT_EQ(axis.GetThicknessX(), 45) << "40 pixels of labels and a tick of 5";
    EXPECT_EQ(axis.GetThicknessY(), 17);
    axis.DetachScale(1);
    EXPECT_EQ(axis.GetThicknessX(), 5);

    // A title adds the extent of its outline, once a chart can measure it.
    Chart chart;
    test::MemoryCanvas canvas(200, 100);
    auto owned = std::make_unique<ChartAxisManager>();
    ChartAxisManager& titled = *owned;
    chart.AddComponent(std::move(owned));
    auto title = std::make_unique<ChartLabel>();
    title->SetCurrentText("Packets per second");
    title->SetRotationPreset(1);
    titled.SetTitle(std::move(title));
    chart.DrawComponentList(canvas.Dc(), 0);
    const SIZE outline = titled.GetTitle()->GetOutlineSize();
    EXPECT_GT(outline.cy, outline.cx) << "turned upright";
    EXPECT_EQ(titled.GetThicknessX(), outline.cx);
    EXPECT_EQ(titled.GetThicknessY(), outline.cy);
}

TEST(ChartAxisManager, DetachHandsTheComponentOverAndAPlaceholderTakesItsPlace) {
    ChartAxisManager axis;
    auto scale = std::make_unique<ChartDecimalScale>();
    ChartDecimalScale* mine = scale.get();
    axis.SetScale(std::move(scale));
    auto ticks = std::make_unique<ChartTickMarks>();
    ChartTickMarks* strokes = ticks.get();
    axis.SetTickMarks(std::move(ticks));
    strokes->SetTickPoints(&mine->GetAnchorList());
    ASSERT_EQ(axis.GetScale(), mine);

    std::unique_ptr<ChartComponent> back = axis.DetachScale(0);
    EXPECT_EQ(back.get(), mine);
    EXPECT_EQ(axis.GetScale(), nullptr);
    EXPECT_EQ(strokes->GetTickPoints(), nullptr) << "the ticks no longer point into the scale that left";
    const ChartComponent& placeholder = *axis.GetChildList().front();
    EXPECT_EQ(placeholder.GetTypeCode(), chartComponentType);
    EXPECT_EQ(placeholder.GetStyle().frameWord & 0xFFF, 0u);
    EXPECT_EQ(axis.DetachScale(0), nullptr) << "an empty role gives nothing";

    axis.SetScale(std::make_unique<ChartDecimalScale>());
    mine->SetMaximum(9);
    EXPECT_EQ(mine->GetMaximum(), 9) << "the scale handed over lives on with its new owner";
    EXPECT_EQ(axis.DetachScale(1), nullptr);
    EXPECT_EQ(axis.GetScale(), nullptr);
    EXPECT_EQ(axis.DetachTickMarks(0).get(), strokes);
}

TEST(ChartAxisManager, ADisplayPutInStopsDrawingItsOwnAxesAndLines) {
    ChartAxisManager axis;
    auto display = std::make_unique<ChartDisplay>();
    ChartStyle& style = display->GetStyle();
    style.labelWord = 0x12A5;
    style.frameWord = 0x1337;
    style.flagsWord = 0x4;
    ChartDisplay* shown = display.get();
    axis.SetDisplay(std::move(display));
    EXPECT_EQ(shown->GetStyle().labelWord, 0x1205u);
    EXPECT_EQ(shown->GetStyle().frameWord, 0x1000u);
    EXPECT_EQ(shown->GetStyle().flagsWord, 0x4u | 0x800 | 0x1000 | 0x8000 | 0x10000);
    EXPECT_EQ(axis.GetDisplay(), shown);

    axis.SetDataWindow(2, 4, 0, 1);
    int lowIndex = 0, highIndex = 0, lowGroup = 0, highGroup = 0;
    shown->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    EXPECT_EQ(highIndex, 4);
    EXPECT_EQ(highGroup, 1);
    axis.GetChildList().back()->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    EXPECT_EQ(lowIndex, 2) << "every child takes the window";
    axis.GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    EXPECT_EQ(lowIndex, -1) << "the manager keeps its own";
}

TEST(ChartAxisManager, LaysItsScaleOutAlongTheLineAndHandsTheAnchorsOn) {
    Chart chart;
    test::MemoryCanvas canvas(200, 100);
    chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 200, 100}, 0, 0, 0x100, 0, 0);
    auto owned = std::make_unique<ChartAxisManager>();
    ChartAxisManager& axis = *owned;
    chart.AddComponent(std::move(owned));
    auto scale = std::make_unique<ChartDecimalScale>();
    scale->SetMaximum(10);
    axis.SetScale(std::move(scale));
    auto ticks = std::make_unique<ChartTickMarks>();
    ticks->SetMajorLength(8);
    axis.SetTickMarks(std::move(ticks));
    axis.SetGridLines(std::make_unique<ChartGridLines>());
    axis.SetStartPoint(20, 80);
    axis.SetEndPoint(180, 80);
    chart.DrawComponentList(canvas.Dc(), 0);
    ChartDecimalScale& labels = *axis.GetScale();
    EXPECT_EQ(labels.GetAxisStart().x, 20);
    EXPECT_EQ(labels.GetAxisEnd().x, 180);
    EXPECT_EQ(labels.GetHorizontalMargin(), 8) << "labels clear the ticks";
    EXPECT_EQ(axis.GetTickMarks()->GetTickPoints(), &labels.GetAnchorList());
    EXPECT_TRUE(labels.GetAnchorList().empty()) << "recording starts with the next layout";

    chart.DrawComponentList(canvas.Dc(), 0);
    const std::vector<POINT>& anchors = labels.GetAnchorList();
    ASSERT_GE(anchors.size(), 2u);
    EXPECT_EQ(anchors.front().x, 20);
    EXPECT_EQ(anchors.front().y, 80) << "on the axis line";
    EXPECT_EQ(anchors.back().x, 180);
    EXPECT_EQ(canvas.At(20, 87), test::kBlack) << "a tick of 8 below the start";
    EXPECT_EQ(canvas.At(20, 78), test::kWhite) << "on one side only";
}

std::vector<u8> Archived(const ChartAxisManager& axis) {
    ObjectWriter out;
    out.WriteObject(&axis);
    return out.Data();
}

TEST(ChartAxisManagerArchive, LoadingReplacesThePlaceholdersWithTheStoredChildren) {
    ChartAxisManager axis;
    auto scale = std::make_unique<ChartDecimalScale>();
    scale->SetMaximum(42);
    axis.SetScale(std::move(scale));
    axis.SetTickMarks(std::make_unique<ChartTickMarks>());
    axis.SetGridLines(std::make_unique<ChartGridLines>());
    axis.SetAuxiliary(std::make_unique<ChartLabel>());
    axis.SetDisplay(std::make_unique<ChartDisplay>());
    auto title = std::make_unique<ChartLabel>();
    title->SetCurrentText("Octets");
    axis.SetTitle(std::move(title));
    axis.SetStartPoint(1, 2);
    axis.SetEndPoint(3, 4);
    axis.SetValue(77);

    const std::vector<u8> bytes = Archived(axis);
    ObjectReader in(bytes, Chart::ArchiveClasses());
    auto loaded = in.ReadObject<ChartAxisManager>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(in.AtEnd());
    ASSERT_TRUE(loaded->GetScale() && loaded->GetTickMarks() && loaded->GetGridLines() &&
                loaded->GetAuxiliary() && loaded->GetDisplay() && loaded->GetTitle());
    EXPECT_EQ(loaded->GetScale()->GetMaximum(), 42);
    EXPECT_EQ(loaded->GetTitle()->GetCurrentText(), "Octets");
    EXPECT_EQ(loaded->GetAuxiliary()->GetTypeCode(), chartLabelType);
    EXPECT_EQ(loaded->GetStartPoint().y, 2);
    EXPECT_EQ(loaded->GetEndPoint().x, 3);
    EXPECT_EQ(loaded->GetValue(), 0) << "the free value is not stored";

    ChartAxisManager half;
    half.SetTitle(std::make_unique<ChartLabel>());
    const std::vector<u8> halfBytes = Archived(half);
    ObjectReader again(halfBytes, Chart::ArchiveClasses());
    loaded = again.ReadObject<ChartAxisManager>();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->GetTitle());
    EXPECT_FALSE(loaded->GetScale());
    EXPECT_EQ(loaded->GetChildList().size(), 6u);
}

TEST(ChartAxisManagerArchive, ARoleHoldingAnotherClassIsRefusedAndNothingChanges) {
    // Six plain components, the scale's role marked filled.
    ObjectWriter out;
    std::vector<std::unique_ptr<ChartComponent>> plain;
    for (int i = 0; i < 6; ++i)
        plain.push_back(std::make_unique<ChartComponent>());
    out.WriteObjectList(plain);
    for (int flag : {1, 0, 0, 0, 0, 0, 0, 0, 0, 0})
        out.WriteInt32(flag);

    ChartAxisManager axis;
    auto scale = std::make_unique<ChartDecimalScale>();
    ChartDecimalScale* mine = scale.get();
    axis.SetScale(std::move(scale));
    ObjectReader in(out.Data(), Chart::ArchiveClasses());
    EXPECT_THROW(axis.Load(in, 1), ArchiveException);
    EXPECT_EQ(axis.GetScale(), mine);
    EXPECT_EQ(axis.GetChildList().size(), 6u);

    const std::vector<u8> good = Archived(axis);
    for (std::size_t length = 0; length < good.size(); ++length) {
        ObjectReader cut(std::span<const u8>(good).first(length), Chart::ArchiveClasses());
        EXPECT_THROW(cut.ReadObject<ChartAxisManager>(), ArchiveException) << length;
    }
}

} // namespace
} // namespace vq
