#include "history/FieldSupport.h"

#include "history/FieldSupportADO.h"
#include "history/FieldSupportDAO.h"
#include "history/TableSupport.h"
#include "platform/db/DatabaseError.h"

#include <gtest/gtest.h>
#include <memory>

namespace vq::history {
namespace {

std::unique_ptr<FieldSupport> MakeColumn(int kind, int capacity = 48) {
    switch (kind) {
    case ShortValue:
        return std::make_unique<ShortFieldDAO>(1, "S");
    case IntValue:
        return std::make_unique<IntFieldDAO>(1, "I");
    case DoubleValue:
        return std::make_unique<DoubleFieldDAO>(1, "D");
    case DateValue:
        return std::make_unique<DateFieldDAO>(1, "T");
    case ByteValue:
        return std::make_unique<ByteFieldDAO>(1, "B");
    default:
        return std::make_unique<TextFieldDAO>(1, "X", capacity);
    }
}

bool IsValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80         ? 1
                              : (lead >> 5) == 6  ? 2
                              : (lead >> 4) == 14 ? 3
                              : (lead >> 3) == 30 ? 4
                                                  : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

TEST(FieldSupportTest, SetVariantConvertsOnlyWhatTheKindHolds) {
    std::string twoByte;
    for (int i = 0; i < 150; ++i)
        twoByte += "\xC3\xA9"; // é, 300 bytes
    struct Case {
        int kind;
        Variant value;
        const char* stored; // nullptr: refused
    };
    const Case cases[] = {
        {IntValue, "12", "12"},         {IntValue, "12x", nullptr},
        {IntValue, "abc", nullptr},     {IntValue, "", nullptr},
        {IntValue, " 12", nullptr},     {IntValue, "2.5", "2"},
        {IntValue, 2.5, "2"},           {IntValue, 3.5, "4"},
        {IntValue, -2.5, "-2"},         {IntValue, int64_t{3000000000}, "3000000000"},
        {IntValue, 9.3e18, nullptr},    {ShortValue, 70000, nullptr},
        {ShortValue, -32768, "-32768"}, {ShortValue, "32767", "32767"},
        {ShortValue, 32767.5, nullptr}, {ByteValue, 256, nullptr},
        {ByteValue, -1, nullptr},       {ByteValue, 255, "0xff"},
        {DoubleValue, "2.5", "2.5"},    {DoubleValue, "1e999", nullptr},
        {DoubleValue, 7, "7"},          {DateValue, 45000.25, "45000.2"},
        {TextValue, 12, "12"},          {TextValue, 2.5, "2.5"},
    };
    for (const auto& c : cases) {
        auto column = MakeColumn(c.kind);
        SCOPED_TRACE(std::string(column->m_Name) + " " + column->ToString());
        if (c.stored == nullptr) {
            const std::string before = column->ToString();
            EXPECT_THROW(column->SetVariant(c.value), db::DatabaseError);
            EXPECT_EQ(column->ToString(), before);
        } else {
            column->SetVariant(c.value);
            EXPECT_EQ(column->ToString(), c.stored);
        }
    }
    for (int kind : {ShortValue, IntValue, DoubleValue, DateValue, ByteValue, TextValue}) {
        auto column = MakeColumn(kind);
        EXPECT_THROW(column->SetVariant(Variant()), db::DatabaseError) << kind;
        EXPECT_THROW(column->SetVariant(Variant::Blob()), db::DatabaseError) << kind;
    }

    auto text = MakeColumn(TextValue, 48);
    text->SetVariant(std::string(60, 'a'));
    EXPECT_EQ(text->ToString(), std::string(47, 'a'));
    text->SetVariant(std::string(47, 'b'));
    EXPECT_EQ(text->ToString(), std::string(47, 'b'));
    auto name = MakeColumn(TextValue, 255);
    name->SetVariant(twoByte);
    EXPECT_EQ(name->ToString().size(), 254u);
    EXPECT_TRUE(IsValidUtf8(name->ToString()));
    name->SetVariant("a" + twoByte);
    EXPECT_EQ(name->ToString().size(), 253u);
    EXPECT_TRUE(IsValidUtf8(name->ToString()));
}

TEST(FieldSupportTest, FormatsRenderTheKindOrGiveInvalid) {
    ByteFieldDAO byte(1, "B");
    struct Case {
        uint8_t value;
        const char* text;
    };
    for (const Case& c : {Case{0x1f, "0x1f"}, Case{5, "0x5"}, Case{0, "00"}}) {
        *byte.m_Value = c.value;
        EXPECT_EQ(byte.ToString(), c.text);
    }
    DateFieldDAO date(1, "EndTime");
    *date.m_Value = 46000.123456789;
    EXPECT_EQ(date.ToString(), "46000.1");
    IntFieldDAO key(1, "Key");
    *key.m_Value = (int64_t{1} << 40) + 1;
    EXPECT_EQ(key.ToString(), "1099511627777");
    EXPECT_EQ(key.ToString("%llx"), "10000000001");
    ShortFieldDAO small(1, "S");
    *small.m_Value = -5;
    EXPECT_EQ(small.ToString(), "-5");

    // A format of another kind would make printf read the wrong type.
    EXPECT_EQ(key.ToString("%s"), "<<invalid>>");
    EXPECT_EQ(key.ToString("%d"), "<<invalid>>");
    EXPECT_EQ(date.ToString("%d %d"), "<<invalid>>");
    EXPECT_EQ(date.ToString("100%% %.2f"), "100% 46000.12");

    int64_t slot = 7;
    int32_t status = 0;
    IntFieldADO column(1, "Key", kIntFormat, &slot, &status);
    EXPECT_EQ(column.ToString(), "7");
    status = 1;
    EXPECT_EQ(column.ToString(), "<<invalid>>");
}

class NoColumns : public TableSupport {
public:
    const char* GetName() const override { return "Empty"; }
    int GetFieldCount() const override { return 0; }
    bool CreateFields() override { return true; }
};

class TwoColumns : public TableSupport {
public:
    const char* GetName() const override { return "Two"; }
    int GetFieldCount() const override { return 2; }
    bool CreateFields() override {
        m_Fields = {&m_Key, &m_Name};
        ClearFields();
        return true;
    }
    IntFieldDAO m_Key{1, "Key"};
    TextFieldDAO m_Name{2, "Name", 8};
};

TEST(TableSupportTest, AllValidAndToString) {
    NoColumns empty;
    ASSERT_TRUE(empty.Init(true));
    EXPECT_FALSE(empty.AllValid());
    EXPECT_EQ(empty.ToString("<", "=", ">", true), "");

    TwoColumns two;
    ASSERT_TRUE(two.Init(false));
    EXPECT_TRUE(two.m_System);
    *two.m_Key.m_Value = 3;
    two.m_Name.SetVariant("abc");
    two.m_Key.m_Valid = true;
    EXPECT_FALSE(two.AllValid());
    two.m_Name.m_Valid = true;
    EXPECT_TRUE(two.AllValid());
    EXPECT_EQ(two.ToString("[", "=", "]", true), "[Key=3]\n[Name=abc]\n");
    two.ClearFields();
    EXPECT_FALSE(two.AllValid());
    EXPECT_EQ(two.ToString(nullptr, ":", ";"), "Key:0;Name:;");
}

} // namespace
} // namespace vq::history
