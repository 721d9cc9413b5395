#include "ChartTestSupport.h"
#include "chart/Chart.h"
#include "chart/ChartLabelBlock.h"
#include "chart/ChartLegend.h"
#include "chart/ChartTextPanel.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vq {
namespace {

using test::ChartErrorOf;

std::vector<u8> Bytes(const Chart& chart) {
    ObjectWriter out;
    chart.Store(out);
    return out.Data();
}

// A chart holding one of each text component, every field away from its default.
std::unique_ptr<Chart> TextChart() {
    auto chart = std::make_unique<Chart>();
    auto title = std::make_unique<ChartTitle>();
    title->SetFont(14, ChartTitle::fontBold | ChartTitle::fontItalic, "Courier");
    title->SetText("Traffic", ChartTitle::alignRight);
    title->SetColor(RGB(1, 2, 3));
    chart->AddComponent(std::move(title));

    auto label = std::make_unique<ChartLabel>();
    label->SetAnnotationText(1, "one");
    label->SetAnnotationText(2, "two");
    label->SetPosition(12.5, 40.25);
    label->SetDirectionVector(0.5, -0.5);
    label->SetAnchorCode(ChartLabel::anchorBottomMiddle);
    label->SetRotationPreset(1);
    chart->AddComponent(std::move(label));

    auto block = std::make_unique<ChartLabelBlock>();
    block->SetAvoidOverlap(0);
    block->SetRecordAnchors(1);
    ChartLabelBlock& b = *block;
    chart->AddComponent(std::move(block));
    b.AddLabel("a");
    auto own = std::make_unique<ChartLabel>();
    own->SetAnnotationText(1, "own");
    b.AttachLabel(std::move(own), 1);

    auto panel = std::make_unique<ChartTextPanel>();
    panel->SetTitlePosition(ChartTextPanel::titleRight);
    panel->SetTitleText("Heading", 1);
    panel->SetBodyText("Body text", 1);
    panel->SetBodyFace("Times");
    panel->SetTitleFontSize(-18);
    panel->SetFitToText(0);
    panel->GetTitleStyle().fillColour = RGB(9, 9, 9);
    chart->AddComponent(std::move(panel));

    auto legend = std::make_unique<ChartLegend>();
    legend->SetOptions(0xB);
    legend->SetKeySize(12.5);
    chart->AddComponent(std::move(legend));
    return chart;
}

TEST(ChartTextArchive, TextComponentsReloadEqual) {
    const auto chart = TextChart();
    const std::vector<u8> stored = Bytes(*chart);
    Chart loaded;
    ObjectReader in(stored, Chart::ArchiveClasses());
    loaded.Load(in, 1);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(Bytes(loaded), stored) << "every archived field came back";

    auto it = loaded.GetComponentList().begin();
    auto* title = dynamic_cast<ChartTitle*>(it->get());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), "Traffic");
    EXPECT_EQ(title->GetFaceName(), "Courier");
    EXPECT_TRUE(title->IsFontDirty());
    auto* label = dynamic_cast<ChartLabel*>((++it)->get());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetAnnotationText(2), "two");
    EXPECT_EQ(label->GetAnchorCode(), ChartLabel::anchorBottomMiddle);
    EXPECT_DOUBLE_EQ(label->GetY(), 40.25);
    auto* block = dynamic_cast<ChartLabelBlock*>((++it)->get());
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->GetLabelCount(), 2);
    EXPECT_EQ(block->GetLabel(0)->GetOwner(), block);
    EXPECT_FALSE(block->GetLabel(0)->HasOwnStyle());
    EXPECT_TRUE(block->GetLabel(1)->HasOwnStyle());
    EXPECT_EQ(block->GetLabel(1)->GetChart(), &loaded);
    auto* panel = dynamic_cast<ChartTextPanel*>((++it)->get());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetTitlePosition(), ChartTextPanel::titleRight) << "read at class version 2";
    EXPECT_EQ(panel->GetBodyFace(), "Times");
    auto* legend = dynamic_cast<ChartLegend*>((++it)->get());
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->GetOptions(), 0xB);
    EXPECT_DOUBLE_EQ(legend->GetKeySizeValue(), 12.5);
}

TEST(ChartTextArchive, TruncatedStreamsAreRefusedAndChangeNothing) {
    const std::vector<u8> good = Bytes(*TextChart());
    Chart target;
    target.AddComponent(std::make_unique<ChartTitle>());
    const std::vector<u8> before = Bytes(target);
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        ObjectReader in(std::span<const u8>(good).first(length), Chart::ArchiveClasses());
        EXPECT_THROW(target.Load(in, 1), ArchiveException);
        EXPECT_EQ(Bytes(target), before);
    }
}

TEST(ChartTextTemplate, TitleGroup) {
    ChartTitle title;
    const std::string longFace(200, 'F');
    const std::string line = " 255 128 1 \"" + longFace + "\" 12 3 1 rest";
    const int used = title.ReadTemplate(line);
    EXPECT_EQ(line.substr(static_cast<std::size_t>(used)), " rest") << "reports what it used";
    EXPECT_EQ(title.GetFaceName(), std::string(30, 'F'));
    EXPECT_EQ(title.GetColor(), RGB(255, 128, 1));
    EXPECT_EQ(title.GetFontSize(), 12);
    EXPECT_EQ(title.GetFontFlags(), 3);
    EXPECT_EQ(title.GetAlignment(), ChartTitle::alignRight);
    EXPECT_EQ(title.GetText(), " ");

    const char* const refused[] = {" 1 2 3 \"Arial\" 10 0",
                                   " 1 2 3 \"\" 10 0 2",
                                   " 1 2 3 Arial 10 0 2",
                                   " 1 2 x \"Arial\" 10 0 2",
                                   "",
                                   " 99999999999 2 3 \"Arial\" 10 0 2"};
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        ChartTitle other;
        EXPECT_EQ(ChartErrorOf([&] { other.ReadTemplate(text); }), 10);
        EXPECT_EQ(other.GetFaceName(), "Arial") << "nothing applied";
    }
}

TEST(ChartTextTemplate, LegendNumbers) {
    struct {
        const char* numbers;
        int error, options, mode, keyKind;
        bool noLines;
    } const cases[] = {
        {" 5 12.5 2 0", -1, 5, 2, ChartLegend::keyByChartType, true},
        {" 3 20 4 1 3", -1, 3, 4, ChartLegend::keyBox, false},
        {" 5 12.5 2", 11, 0, 0, 0, false},
        {"", 11, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.numbers);
        ChartLegend legend;
        legend.GetStyle().labelWord = (legend.GetStyle().labelWord & ~0xF000u) | 0x4000;
        const std::string line = std::string(" 0 0 0 \"Arial\" 10 0 0") + c.numbers;
        const int error = ChartErrorOf([&] { legend.ReadTemplate(line); });
        EXPECT_EQ(error, c.error);
        if (error != -1) continue;
        EXPECT_EQ(legend.GetOptions(), c.options);
        EXPECT_EQ(static_cast<int>(legend.GetStyle().extraWord & 0xFF), c.mode);
        EXPECT_EQ(static_cast<int>((legend.GetStyle().labelWord >> 12) & 0xF), c.keyKind);
        EXPECT_EQ((legend.GetStyle().flagsWord & ChartLegend::kNoLinesInKeys) != 0, c.noLines);
    }
}

TEST(ChartTextTemplate, LabelNumbersApplyOnlyWhenAllSevenArePresent) {
    ChartLabel label;
    label.SetPosition(7, 8);
    label.SetAnchorCode(ChartLabel::anchorCentre);
    label.ReadTemplate(" 0 0 0 \"Arial\" 10 0 0 1.5 2.5 0 1 45");
    EXPECT_EQ(label.GetX(), 7) << "missing numbers keep the label's values, without an error";
    EXPECT_EQ(label.GetAnchorCode(), ChartLabel::anchorCentre);

    label.ReadTemplate(" 0 0 0 \"Arial\" 10 0 0 1.1 2.5 0 1 45 3 1");
    EXPECT_EQ(label.GetX(), static_cast<double>(1.1f)) << "single precision";
    EXPECT_EQ(label.GetY(), 2.5);
    EXPECT_EQ(label.GetDirectionY(), 1);
    EXPECT_EQ(label.GetAngle(), 45);
    EXPECT_EQ(label.GetAnchorCode(), 3);
    EXPECT_FALSE(label.IsInBlock()) << "only a block takes a label";

    label.ReadTemplate(" 0 0 0 \"Arial\" 10 0 0 1e300 -1e300 nan 1 45 3 1");
    EXPECT_TRUE(std::isinf(label.GetX())) << "beyond single precision is infinite, not undefined";
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(ChartTextTemplate, WrittenFieldsReadBackEqual) {
    ChartTitle title;
    title.SetFont(12, 1, "Courier");
    title.SetColor(RGB(10, 20, 30));
    title.SetText("x", ChartTitle::alignRight);
    EXPECT_EQ(title.WriteTemplateOwn(), "10 20 30 \"Courier\" 12 1 1 ");
    ChartTitle again;
    again.ReadTemplate(title.WriteTemplateOwn());
    EXPECT_EQ(again.WriteTemplateOwn(), title.WriteTemplateOwn());

    ChartLabel label;
    label.SetPosition(12.5, 40);
    label.SetDirectionVector(0, -1);
    label.SetAngle(30);
    label.SetAnchorCode(ChartLabel::anchorCentre);
    label.SetAnnotationText(1, "first");
    const std::string line = label.WriteTemplateOwn() + label.WriteTemplateExtra();
    EXPECT_NE(line.find(" 12.5 40 0 -1 30 8 0\nannotation 1 first\n"), std::string::npos) << line;
    ChartLabel read;
    read.ReadTemplate(line);
    EXPECT_EQ(read.GetX(), 12.5);
    EXPECT_EQ(read.GetDirectionY(), -1);
    EXPECT_EQ(read.GetAngle(), 30);
    EXPECT_EQ(read.GetAnchorCode(), ChartLabel::anchorCentre);

    ChartLegend legend;
    legend.SetOptions(6);
    legend.SetKeySize(15);
    legend.GetStyle().extraWord = 2;
    legend.GetStyle().labelWord = (legend.GetStyle().labelWord & ~0xF000u) | 0x3000;
    ChartLegend legendRead;
    legendRead.ReadTemplate(legend.WriteTemplateOwn() + legend.WriteTemplateExtra());
    EXPECT_EQ(legendRead.WriteTemplateExtra(), legend.WriteTemplateExtra());
    EXPECT_EQ(legendRead.GetOptions(), 6);

    ChartTextPanel panel(chartDataWatcherType);
    panel.SetBodyFace("Times");
    panel.SetTitleFontSize(14);
    EXPECT_EQ(panel.WriteTemplateKeyword(), "textpanel ");
    EXPECT_EQ(panel.WriteTemplateOwn(), "0 0 0 \"Times\" 10 0 0 0 0 0 \"Arial\" 14 0 0 ");
}

} // namespace
} // namespace vq
