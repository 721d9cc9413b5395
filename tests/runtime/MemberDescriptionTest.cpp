// Runs with TZ=Europe/Berlin.
#include "runtime/MemberDescription.h"

#include "platform/core/Format.h"
#include "runtime/TimeRange.h"
#include "runtime/Timestamp.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

// A value with one member, a class that extends it by another, and a collection of values.
class Reading : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(Reading)

public:
    explicit Reading(int value) : m_Value(value) {}
    static MemberTable Members();

    int m_Value;

protected:
    MemberTable DescribedMembers() const override { return Members(); }
};

class LabelledReading : public Reading {
    VQ_DECLARE_RUNTIME_CLASS(LabelledReading)

public:
    LabelledReading(int value, const char* label) : Reading(value), m_Label(label) {}
    static MemberTable Members();

    const char* m_Label;

protected:
    MemberTable DescribedMembers() const override { return Members(); }
};

class Readings : public DescribableCollection {
    VQ_DECLARE_RUNTIME_CLASS(Readings)

public:
    static MemberTable Members();

    std::vector<Reading> m_Items;

protected:
    MemberTable DescribedMembers() const override { return Members(); }
    std::size_t DescribedCount() const override { return m_Items.size(); }
    const Describable& DescribedElement(std::size_t index) const override { return m_Items[index]; }
};

VQ_IMPLEMENT_RUNTIME_CLASS(Reading, Describable)
VQ_IMPLEMENT_RUNTIME_CLASS(LabelledReading, Reading)
VQ_IMPLEMENT_RUNTIME_CLASS(Readings, DescribableCollection)

MemberTable Reading::Members() {
    static constexpr MemberRow rows[] = {{"m_Value", "value", 6, [](const Object& object, uint32_t, int) {
                                              return FormatMember(static_cast<const Reading&>(object).m_Value,
                                                                  "%d");
                                          }}};
    return {Class(), rows};
}

MemberTable LabelledReading::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Label", "label", 6, [](const Object& object, uint32_t, int) {
             return FormatMember(static_cast<const LabelledReading&>(object).m_Label, nullptr);
         }}};
    return {Class(), rows, &Reading::Members};
}

MemberTable Readings::Members() {
    static constexpr MemberRow rows[] = {{"m_Count", "count", 6, [](const Object& object, uint32_t, int) {
                                              const auto& readings = static_cast<const Readings&>(object);
                                              return FormatMember(int(readings.m_Items.size()), "%d");
                                          }}};
    return {Class(), rows};
}

Timestamp Utc(uint16_t year, uint16_t month, uint16_t day, uint16_t hour) {
    Timestamp time;
    EXPECT_TRUE(time.SetSystemTime({year, month, 0, day, hour, 0, 0, 0}));
    return time;
}

TEST(MemberDescription, ColumnsPadToTheirWidth) {
    const Timestamp time;
    EXPECT_EQ(time.DescribeColumns(12, false), "Time");
    EXPECT_EQ(time.DescribeColumns(12, true), "Time" + std::string(15, ' '));
    EXPECT_EQ(time.DescribeColumns(0, true), "Time" + std::string(15, ' '));
    const TimeRange range;
    EXPECT_EQ(range.DescribeColumns(12, true), "start       end         ");
    EXPECT_EQ(range.DescribeColumns(8, false), "start,end");
    EXPECT_EQ(range.DescribeColumns(4, true), "start end ");
}

TEST(MemberDescription, NamedMembersOfARange) {
    const TimeRange range(Utc(2024, 7, 15, 12), Utc(2024, 1, 15, 12));
    EXPECT_EQ(
        range.DescribeMembers(0, 0, false),
        "\n[class TimeRange members]\nm_RangeStart=<2024/07/15/14:00:00>\nm_RangeEnd=<2024/01/15/13:00:00>");
}

TEST(MemberDescription, RangeWithoutEndsPrintsTheSpecialText) {
    const TimeRange range(NULL_TIME, NULL_TIME);
    EXPECT_EQ(
        range.DescribeObject(0, 0),
        "TimeRange\n\n[class TimeRange members]\nm_RangeStart=<<<NULL_TIME>>>\nm_RangeEnd=<<<NULL_TIME>>>\n");
}

TEST(MemberDescription, TimestampDumpFormatsTheDateDirectly) {
    EXPECT_EQ(Utc(2024, 7, 15, 12).DescribeMembers(0, 0, false),
              "\n[class Timestamp members]\nm_Time=<2024/07/15/14:00:00>");
    EXPECT_EQ(MAX_TIME.DescribeMembers(1, 0, false), "") << "no date, and no special text either";
}

TEST(MemberDescription, NamingAndSeparatorModes) {
    const TimeRange range(NULL_TIME, NULL_TIME);
    EXPECT_EQ(range.DescribeObject(1 | 4, 0), "<<NULL_TIME>> <<NULL_TIME>>");
    EXPECT_EQ(range.DescribeObject(2 | 8, 0), "TimeRange\n<<NULL_TIME>>,<<NULL_TIME>>\n");
    EXPECT_EQ(range.DescribeMembers(1 | 12, 0, true), "<<NULL_TIME>> <<NULL_TIME>> ") << "at least one blank";
    const Timestamp time(Utc(2024, 7, 15, 12));
    EXPECT_EQ(time.DescribeMembers(1 | 12, 0, true), "2024/07/15/14:00:00 ");
    EXPECT_EQ(range.DescribeMembers(3, 0, false), range.DescribeMembers(0, 0, false));
}

TEST(MemberDescription, BlockModeIndentsAndShowsTheAddress) {
    const Timestamp time(Utc(2024, 7, 15, 12));
    const std::string address =
        Format("[addr $%lx]", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&time)));
    EXPECT_EQ(time.DescribeBody(48 | 1, 2), "\n        " + address + "        2024/07/15/14:00:00\n    ");
    EXPECT_EQ(time.DescribeBody(48, 1),
              "\n    " + address + "\n    [class Timestamp members]\n    m_Time=<2024/07/15/14:00:00>\n");
}

TEST(MemberDescription, ObjectReferences) {
    EXPECT_EQ(FormatMember(static_cast<const Describable*>(nullptr), 0, 0), "NULL");
    const TimeRange range(NULL_TIME, NULL_TIME);
    EXPECT_EQ(FormatMember(&range, 1 | 4, 0), "<<NULL_TIME>> <<NULL_TIME>>");
    const std::string invalid = FormatMember(&range, Timestamp::Class(), 1, 0);
    EXPECT_EQ(invalid, Format("$%p(invalid)", static_cast<const void*>(&range)));
    EXPECT_EQ(FormatObjectPointer(nullptr), "NULL");
}

TEST(MemberDescription, AnExtendedClassListsTheRowsOfItsBaseFirstUnderItsOwnName) {
    const LabelledReading reading(5, "x");
    EXPECT_EQ(reading.DescribeMembers(0, 0, false),
              "\n[class LabelledReading members]\nm_Value=<5>\nm_Label=<x>");
    EXPECT_EQ(reading.DescribeMembers(1 | 12, 0, true), "5     x     ");
    EXPECT_EQ(reading.DescribeColumns(8, false), "value,label");
    EXPECT_EQ(Reading(5).DescribeColumns(8, true), "value,");
}

TEST(MemberDescription, ACollectionCountsAndDescribesItsElements) {
    Readings readings;
    EXPECT_EQ(readings.DescribeMembers(1 | 4, 0, false), "0 (empty)");
    readings.m_Items = {Reading(5), Reading(6)};
    EXPECT_EQ(readings.DescribeMembers(1 | 4, 0, false), "2 (2 elements)\n5\n6\n")
        << "bare values, one per line";
    EXPECT_EQ(readings.DescribeMembers(0, 0, false), "\n[class Readings members]\nm_Count=<2> (2 elements)\n"
                                                     "Reading\n\n[class Reading members]\n    m_Value=<5>\n"
                                                     "Reading\n\n[class Reading members]\n    m_Value=<6>\n");
    EXPECT_EQ(readings.DescribeColumns(8, false), "count") << "the elements add no columns";
}

TEST(MemberDescription, ValueFormatters) {
    EXPECT_EQ(FormatMember(true, nullptr), "true");
    EXPECT_EQ(FormatMember(false, "[%s]"), "[false]");
    EXPECT_EQ(FormatMember("text", nullptr), "text");
    EXPECT_EQ(FormatMember(std::string("text"), "<%s>"), "<text>");
    EXPECT_EQ(FormatMember(uint8_t(200), "%d"), "200");
    EXPECT_EQ(FormatMember(-5, "%d"), "-5");
    EXPECT_EQ(FormatMember(int64_t(-5'000'000'000), "%lld"), "-5000000000");
    EXPECT_EQ(FormatMember(0.25, "%g"), "0.25");
    EXPECT_EQ(FormatMember(NULL_TIME, "%Y"), "<<NULL_TIME>>");
    EXPECT_EQ(FormatMember(TimeSpan(2, Unit::Hours), "%H:%M"), "02:00");
    std::string text = "a";
    AppendRepeated(text, 3, "bc");
    EXPECT_EQ(text, "abcbcbc");
}

} // namespace
} // namespace vq
