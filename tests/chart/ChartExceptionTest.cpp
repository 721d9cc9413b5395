#include "chart/ChartException.h"

#include "ScriptedMessageBoxes.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(ChartException, EachCodeNamesItsTextAndUnknownCodesTheDefault) {
    struct Case {
        int code;
        std::uint32_t stringId;
    };
    const Case cases[] = {{0, 53512},  {1, 53560},  {3, 53562},  {6, 53513},  {11, 53511}, {15, 53514},
                          {19, 53520}, {23, 53523}, {24, 53517}, {99, 53517}, {-1, 53517}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ChartException(c.code).GetStringId(), c.stringId);
    }
}

TEST(ChartException, ItsClassRecordMakesCodeZero) {
    std::unique_ptr<Object> made = ChartException::Class().CreateObject();
    auto* error = dynamic_cast<ChartException*>(made.get());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetCode(), 0);
}

TEST(ChartException, MessageIsCutToTheBufferAndCodeZeroHasNone) {
    char buffer[8];
    std::uint32_t help = 1234;
    EXPECT_TRUE(ChartException(3).GetErrorMessage(buffer, sizeof buffer, &help));
    EXPECT_STREQ(buffer, "There i");
    EXPECT_EQ(help, 53562u);

    // Code 0 has a string id, yet reports no text.
    std::strcpy(buffer, "stale");
    EXPECT_FALSE(ChartException(0).GetErrorMessage(buffer, sizeof buffer, &help));
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(help, 0u);

    EXPECT_FALSE(ChartException(3).GetErrorMessage(nullptr, 8));
    char full[256];
    EXPECT_TRUE(ChartException(99).GetErrorMessage(full, sizeof full));
    EXPECT_STREQ(full, "An unknown chart error occurred.");
}

TEST(ChartException, RaiseThrowsTheCodeAndReportShowsItsText) {
    try {
        RaiseChartError(19);
        FAIL() << "no exception";
    } catch (const ChartException& error) {
        EXPECT_EQ(error.GetCode(), 19);
        test::ScriptedMessageBoxes boxes;
        ReportChartError(error);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "The shape text or file cannot be read.");
        EXPECT_EQ(boxes.shown[0].type & MB_ICONMASK, MB_ICONWARNING);
    }
}

} // namespace
} // namespace vq
