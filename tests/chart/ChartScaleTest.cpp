#include "ChartTestSupport.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "chart/ChartDateScale.h"
#include "chart/ChartIndexScale.h"
#include "chart/ChartLogScale.h"
#include "platform/gui/Gdi.h"

#include <cmath>
#include <limits>

namespace vq {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A scale attached to a chart and in its drawing state on a canvas, with 16-pixel text.
template <typename Scale> struct Drawn {
    explicit Drawn(int length = 200) {
        scale.SetParent(&chart);
        scale.SetFont(-16, 0, "Arial");
        scale.BeginDraw(canvas.Dc(), 0);
        scale.SetAxisStart(0, 100);
        scale.SetAxisEnd(length, 100);
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (auto& label : scale.GetLabels())
            texts.push_back(label->GetAnnotationText(1));
        return texts;
    }
    Chart chart;
    test::MemoryCanvas canvas{400, 200};
    Scale scale;
};

std::vector<std::string> Padded(std::initializer_list<const char*> values) {
    std::vector<std::string> texts;
    for (const char* v : values)
        texts.push_back(std::string(v) == "0" ? "0 " : " " + std::string(v) + " ");
    return texts;
}

TEST(ChartScale, DecimalTicks) {
    struct {
        double minimum, maximum, step;
        std::vector<std::string> texts;
    } const cases[] = {
        {0, 100, 0.1, Padded({"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"})},
        {3, 97, 10, Padded({"3", "13", "23", "33", "43", "53", "63", "73", "83", "93"})},
        {5, 5, 0.1, Padded({"5"})},
        {1.5e6, 1.5e6, 0.1, {" 1.5e6 "}},
        {kNaN, 10, 0.1, {}},
        {0, kInfinity, 0.1, {}},
        {-kInfinity, kInfinity, 0.1, {}},
        {0, 10, kNaN, {}},
        {10, 0, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << " to " << c.maximum);
        Drawn<ChartDecimalScale> d;
        d.scale.SetRecordAnchors(1);
        d.scale.AddLabel("old");
        d.scale.SetMinimum(c.minimum);
        d.scale.SetMaximum(c.maximum);
        d.scale.SetStep(c.step);
        d.scale.BuildLabels();
        EXPECT_EQ(d.Texts(), c.texts);
        EXPECT_EQ(d.scale.GetAnchorList().size(), c.texts.size());
    }
}

TEST(ChartScale, DecimalTicksSitOnTheAxisAndLabelsBesideIt) {
    Drawn<ChartDecimalScale> d;
    d.scale.SetRecordAnchors(1);
    d.scale.SetMaximum(100);
    d.scale.BuildLabels();
    EXPECT_DOUBLE_EQ(d.scale.GetChosenStep(), 10);
    const auto& anchors = d.scale.GetAnchorList();
    ASSERT_EQ(anchors.size(), 11u);
    for (std::size_t i = 0; i < anchors.size(); ++i) {
        EXPECT_EQ(anchors[i].x, static_cast<int>(20 * i));
        EXPECT_EQ(anchors[i].y, 100);
    }
    const POINT offset = d.scale.GetLabelOffset();
    EXPECT_EQ(offset.x, 0);
    EXPECT_GT(offset.y, 0) << "labels of side 0 go below a left-to-right axis";
    EXPECT_EQ(d.scale.GetLabel(1)->GetAnchor().y, 100 + offset.y);

    Drawn<ChartDecimalScale> huge;
    huge.scale.SetMinimum(1e300);
    huge.scale.SetMaximum(1.0000000000001e300);
    huge.scale.BuildLabels();
    EXPECT_LE(huge.Texts().size(), 13u) << "at most one label per text height along the axis";
    EXPECT_EQ(huge.Texts().front(), " 1e+300 ") << "only a leading zero of the exponent is trimmed";

    Drawn<ChartDecimalScale> tiny;
    tiny.scale.SetMinimum(1e-20);
    tiny.scale.SetMaximum(2);
    tiny.scale.SetStep(1);
    tiny.scale.BuildLabels();
    EXPECT_EQ(tiny.Texts().front(), "0 ") << "a tick within a ten-thousandth of a step of 0";
}

TEST(ChartScale, ExponentsAreTrimmedAndOnlyDoubleFormatsAreUsed) {
    ChartDecimalScale scale;
    struct {
        const char* in;
        const char* out;
    } const trims[] = {{"1e+005", "1e5"}, {"2.5e-010", "2.5e-10"}, {"1.5E+06", "1.5E6"}, {"42", "42"}};
    for (const auto& t : trims) {
        std::string text = t.in;
        scale.TrimExponent(text);
        EXPECT_EQ(text, t.out);
    }
    for (const char* good : {" %g ", "%.2f%%", "%08.3e"})
        EXPECT_TRUE(ChartDecimalScale::IsDoubleFormat(good)) << good;
    for (const char* bad : {"%s", "%g %g", "%n", "%*g", "no number", "%ld", "%"})
        EXPECT_FALSE(ChartDecimalScale::IsDoubleFormat(bad)) << bad;
    scale.SetFormat("%s%s%s");
    EXPECT_EQ(scale.FormatValue(2.5), " 2.5 ") << "an unsafe format falls back to the default";
}

TEST(ChartScale, LogTicks) {
    Drawn<ChartLogScale> decades;
    decades.scale.SetMinimum(1);
    decades.scale.SetMaximum(1000);
    decades.scale.BuildLabels();
    const auto texts = decades.Texts();
    ASSERT_EQ(texts.size(), 28u) << "1-9, 10-90, 100-900 and 1000";
    std::vector<std::string> shown;
    for (const auto& t : texts)
        if (!t.empty()) shown.push_back(t);
    EXPECT_EQ(shown, Padded({"1", "10", "100", "1000"}));

    Drawn<ChartLogScale> narrow;
    narrow.scale.SetMinimum(2);
    narrow.scale.SetMaximum(8);
    narrow.scale.BuildLabels();
    EXPECT_EQ(narrow.Texts(), Padded({"2", "3", "4", "5", "6", "7", "8"}));

    Drawn<ChartLogScale> zero;
    zero.scale.SetMinimum(0);
    zero.scale.SetMaximum(8);
    EXPECT_EQ(test::ChartErrorOf([&] { zero.scale.BuildLabels(); }), 22);

    Drawn<ChartLogScale> endless;
    endless.scale.SetMinimum(1);
    endless.scale.SetMaximum(kInfinity);
    endless.scale.BuildLabels();
    EXPECT_TRUE(endless.Texts().empty());
}

TEST(ChartScale, DateSteps) {
    const double hour = 1.0 / 24, minute = hour / 60;
    EXPECT_DOUBLE_EQ(ChartDateScale::AutomaticStep(3, 10), 8 * hour);
    EXPECT_DOUBLE_EQ(ChartDateScale::AutomaticStep(40 * minute, 15), 5 * minute);
    EXPECT_DOUBLE_EQ(ChartDateScale::AutomaticStep(1e6, 2), 3650);
    EXPECT_DOUBLE_EQ(ChartDateScale::AutomaticStep(0, 10), 2.0 / 86400) << "at least a second";
    EXPECT_DOUBLE_EQ(ChartDateScale::AutomaticStep(1, 0), 3650) << "no room at all";

    struct {
        double range;
        int room;
        double step;
        const char* format;
    } const cases[] = {{3, 10, 8 * hour, "%x"}, {40 * minute, 15, 5 * minute, "%M:%S"}};
    for (const auto& c : cases) {
        Drawn<ChartDateScale> d;
        TEXTMETRIC metrics{};
        d.scale.BuildFont();
        HGDIOBJ old = SelectObject(d.canvas.Dc(), d.scale.GetFont());
        GetTextMetrics(d.canvas.Dc(), &metrics);
        SelectObject(d.canvas.Dc(), old);
        d.scale.SetAxisEnd(c.room * metrics.tmHeight, 100);
        const double start = 45000.25;
        d.scale.SetMinimum(start);
        d.scale.SetMaximum(start + c.range);
        d.scale.BuildLabels();
        EXPECT_DOUBLE_EQ(d.scale.GetChosenStep(), c.step);
        EXPECT_EQ(d.scale.GetChosenFormat(), c.format);
        const auto texts = d.Texts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front(), OleDateTime(start).Format(c.format));
        std::string previous;
        for (const std::string& text : texts) {
            if (text.empty()) continue;
            EXPECT_NE(text, previous) << "a repeated date stays unlabelled";
            previous = text;
        }
        EXPECT_EQ(previous, OleDateTime(start + c.range).Format(c.format)) << "the far end is labelled";
    }
    {
        // Three days at eight hours under "%x": one labelled tick per day, blank ones between.
        Drawn<ChartDateScale> d;
        d.scale.SetMinimum(45000);
        d.scale.SetMaximum(45003);
        d.scale.SetStep(8 * hour);
        d.scale.SetFormat("%x");
        d.scale.BuildLabels();
        const std::string a = OleDateTime(45000).Format("%x"), b = OleDateTime(45001).Format("%x"),
                          c = OleDateTime(45002).Format("%x"), e = OleDateTime(45003).Format("%x");
        EXPECT_EQ(d.Texts(), (std::vector<std::string>{a, "", "", b, "", "", c, "", "", e}));
    }

    Drawn<ChartDateScale> monthly;
    monthly.scale.SetMinimum(OleDateTime(2026, 1, 15, 12, 0, 0).Value());
    monthly.scale.SetMaximum(OleDateTime(2026, 4, 10, 0, 0, 0).Value());
    monthly.scale.SetStep(30);
    monthly.scale.SetFormat("%d.%m");
    monthly.scale.BuildLabels();
    EXPECT_EQ(monthly.Texts(), (std::vector<std::string>{"15.01", "01.02", "01.03", "01.04", "10.04"}));

    Drawn<ChartDateScale> tinyStep;
    tinyStep.scale.SetMinimum(45000);
    tinyStep.scale.SetMaximum(45003);
    tinyStep.scale.SetStep(1e-12);
    tinyStep.scale.BuildLabels();
    EXPECT_LE(tinyStep.Texts().size(), 200u) << "a step finer than the pixels is replaced by one that fits";
}

TEST(ChartScale, IndexAndGroupScales) {
    EXPECT_EQ(ChartIndexScale::ChooseStep(7, 3, 0), 2);
    EXPECT_EQ(ChartIndexScale::ChooseStep(7, 0, 0), 7);
    EXPECT_EQ(ChartIndexScale::ChooseStep(1000, 12, 0), 100);
    EXPECT_EQ(ChartIndexScale::ChooseStep(7, 3, 3.9), 3);

    Drawn<ChartIndexScale> seven(63);
    for (int i = 0; i < 7; ++i)
        seven.chart.SetItemLabel(i, 0, "c" + std::to_string(i));
    seven.scale.SetStep(0);
    seven.scale.BuildLabels();
    EXPECT_EQ(seven.Texts(), (std::vector<std::string>{"c0", "c2", "c4", "c6"}));

    Drawn<ChartIndexScale> one;
    one.chart.SetItemLabel(0, 0, "only");
    one.scale.SetRecordAnchors(1);
    one.scale.BuildLabels();
    ASSERT_EQ(one.Texts(), (std::vector<std::string>{"only", "only"}));
    EXPECT_EQ(one.scale.GetAnchorList()[0].x, one.scale.GetAnchorList()[1].x) << "two labels at one point";

    Drawn<ChartGroupScale> series;
    for (int g = 0; g < 3; ++g)
        series.chart.SetGroupLabel(g, "s" + std::to_string(g), true);
    series.scale.SetLabelsOnEdges(1);
    series.scale.SetRecordAnchors(1);
    series.scale.BuildLabels();
    EXPECT_EQ(series.Texts(), (std::vector<std::string>{"s0", "s1", "s2"}));
    EXPECT_EQ(series.scale.GetAnchorList().front().x, 0) << "on the edges";
    EXPECT_EQ(series.scale.GetAnchorList().back().x, 200);
}

} // namespace
} // namespace vq
