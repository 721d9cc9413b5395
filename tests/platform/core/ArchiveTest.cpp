#include "platform/core/Archive.h"

#include "platform/core/Exceptions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vq {
namespace {

using Bytes = std::vector<u8>;

ArchiveException::Cause CauseOfReading(const Bytes& bytes, void (*read)(ArchiveReader&)) {
    ArchiveReader reader(bytes);
    try {
        read(reader);
    } catch (const ArchiveException& e) {
        return e.GetCause();
    }
    ADD_FAILURE() << "no archive error";
    return ArchiveException::Cause::Generic;
}

// One record holding every kind of value, written and read in the same order.
void WriteRecord(ArchiveWriter& w) {
    w.WriteInt32(-2);
    w.WriteUInt32(0xDEADBEEF);
    w.WriteInt64(std::numeric_limits<i64>::min());
    w.WriteUInt64(0x0123456789ABCDEFull);
    w.WriteFlag(true);
    w.WriteFlag(false);
    w.WriteDouble(-0.1);
    w.WriteText("Grüße");
    w.WriteText("");
    w.WriteDateTime({ArchiveDateTime::Valid, -363.0208333});
    w.WriteDateTime({ArchiveDateTime::Null, 0.0});
    w.WriteDateTime({ArchiveDateTime::Invalid, 2.5});
}

void ReadRecord(ArchiveReader& r) {
    EXPECT_EQ(r.ReadInt32(), -2);
    EXPECT_EQ(r.ReadUInt32(), 0xDEADBEEFu);
    EXPECT_EQ(r.ReadInt64(), std::numeric_limits<i64>::min());
    EXPECT_EQ(r.ReadUInt64(), 0x0123456789ABCDEFull);
    EXPECT_TRUE(r.ReadFlag());
    EXPECT_FALSE(r.ReadFlag());
    EXPECT_EQ(r.ReadDouble(), -0.1);
    EXPECT_EQ(r.ReadText(), "Grüße");
    EXPECT_EQ(r.ReadText(), "");
    EXPECT_EQ(r.ReadDateTime(), (ArchiveDateTime{ArchiveDateTime::Valid, -363.0208333}));
    EXPECT_EQ(r.ReadDateTime(), (ArchiveDateTime{ArchiveDateTime::Null, 0.0}));
    EXPECT_EQ(r.ReadDateTime(), (ArchiveDateTime{ArchiveDateTime::Invalid, 2.5}));
}

TEST(Archive, EveryKindRoundTrips) {
    ArchiveWriter writer;
    WriteRecord(writer);
    ArchiveReader reader(writer.Data());
    ReadRecord(reader);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(Archive, WritesLittleEndianSlots) {
    ArchiveWriter w;
    w.WriteInt32(0x01020304);
    w.WriteFlag(true);
    w.WriteDateTime({ArchiveDateTime::Null, 1.0});
    const Bytes expected = {4, 3, 2, 1, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(w.Data(), expected);
}

TEST(Archive, FlagIsReadFromLowestByteOfItsSlot) {
    const struct {
        Bytes slot;
        bool flag;
    } cases[] = {{{0, 0, 0, 0}, false},
                 {{1, 0, 0, 0}, true},
                 {{0, 1, 0, 0}, false},
                 {{0, 0, 0, 0x80}, false},
                 {{0xFF, 0xFF, 0xFF, 0xFF}, true}};
    for (const auto& c : cases) {
        ArchiveReader reader(c.slot);
        EXPECT_EQ(reader.ReadFlag(), c.flag) << int(c.slot[0]) << " " << int(c.slot[1]);
    }
}

TEST(Archive, TextLengthPrefixGrowsAtItsLimits) {
    const struct {
        std::size_t size;
        Bytes prefix;
    } cases[] = {
        {0, {0}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::string text(c.size, 'a');
        if (!text.empty()) text.back() = 'z';
        ArchiveWriter writer;
        writer.WriteText(text);
        const Bytes& data = writer.Data();
        ASSERT_EQ(data.size(), c.prefix.size() + c.size);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), data.begin()));
        ArchiveReader reader(data);
        EXPECT_EQ(reader.ReadText(), text);
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(Archive, StreamCutAnywhereRaisesEndOfFile) {
    ArchiveWriter writer;
    WriteRecord(writer);
    writer.WriteText(std::string(300, 'l'));
    writer.WriteText(std::string(70000, 'x'));
    const Bytes& whole = writer.Data();
    const auto readAll = [](ArchiveReader& r) {
        r.ReadInt32();
        r.ReadUInt32();
        r.ReadInt64();
        r.ReadUInt64();
        r.ReadFlag();
        r.ReadFlag();
        r.ReadDouble();
        r.ReadText();
        r.ReadText();
        r.ReadDateTime();
        r.ReadDateTime();
        r.ReadDateTime();
        r.ReadText();
        r.ReadText();
    };
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        // A copy of exactly the kept bytes, so ASan sees any read past the cut.
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        ArchiveReader reader(part);
        try {
            readAll(reader);
            FAIL() << "cut at " << cut << " read without error";
        } catch (const ArchiveException& e) {
            ASSERT_EQ(e.GetCause(), ArchiveException::Cause::EndOfFile) << "cut at " << cut;
        }
    }
}

TEST(Archive, ClaimedLengthBeyondDataIsEndOfFile) {
    const Bytes cases[] = {
        {0x05, 'a', 'b'},
        {0xFF, 0x00, 0x01, 'a'},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 'a'},
    };
    for (const Bytes& bytes : cases) {
        EXPECT_EQ(CauseOfReading(bytes, [](ArchiveReader& r) { r.ReadText(); }),
                  ArchiveException::Cause::EndOfFile);
    }
}

TEST(Archive, MalformedValuesAreFormatErrors) {
    const Bytes wideText = {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0};
    EXPECT_EQ(CauseOfReading(wideText, [](ArchiveReader& r) { r.ReadText(); }),
              ArchiveException::Cause::BadFormat);

    const auto readDate = [](ArchiveReader& r) { r.ReadDateTime(); };
    const Bytes unknownStatus = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CauseOfReading(unknownStatus, readDate), ArchiveException::Cause::BadFormat);
    const Bytes negativeStatus = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CauseOfReading(negativeStatus, readDate), ArchiveException::Cause::BadFormat);
    const Bytes notANumber = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x7F};
    EXPECT_EQ(CauseOfReading(notANumber, readDate), ArchiveException::Cause::BadFormat);
}

TEST(Archive, WriterRefusesWhatItCannotRepresent) {
    ArchiveWriter w;
    EXPECT_THROW(w.WriteDateTime({static_cast<ArchiveDateTime::Status>(7), 0.0}), ArchiveException);
    EXPECT_THROW(w.WriteDateTime({ArchiveDateTime::Valid, INFINITY}), ArchiveException);
    EXPECT_TRUE(w.Data().empty());
}

} // namespace
} // namespace vq
