#include "runtime/SystemText.h"

#include "platform/core/Exceptions.h"
#include "runtime/NdisStatus.h"

#include <cerrno>
#include <cstdint>
#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(FrameText, FramesAndTrimsEverythingBuiltSoFar) {
    const struct {
        const char* text;
        const char* prefix;
        const char* suffix;
        bool spaced;
        bool newline;
        const char* framed;
    } cases[] = {
        {"msg", "pre", "suf", true, true, "pre msg suf\n"},
        {"msg", "pre", "suf", false, false, "premsgsuf"},
        {"msg \r\n", "", "", false, true, "msg\n"},
        {"", "open():", "", true, true, "open(): \n"},
        {"  \n", "open():", "", true, false, "open():"},
        {"", "", "", true, true, "\n"},
        {"", "", "suf", true, false, " suf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrameText(c.text, c.prefix, c.suffix, c.spaced, c.newline), c.framed)
            << '"' << c.text << "\" \"" << c.prefix << '"';
    }
}

TEST(FormatSystemError, FramesTheSystemMessage) {
    EXPECT_EQ(FormatSystemError(ENOENT, "open():", "", true, true), "open(): No such file or directory\n");
    EXPECT_EQ(FormatSystemError(4000, "open():", "", true, true), "open(): \n");
}

TEST(FormatSystemError, ZeroTakesTheCurrentErrno) {
    errno = EACCES;
    EXPECT_EQ(FormatSystemError(0, "", "", false, false), "Permission denied");
}

TEST(FormatExceptionText, UsesMessageOrFallback) {
    EXPECT_EQ(FormatExceptionText(FileException(FileException::Cause::NotFound, "a", "no file a"), "read", "",
                                  true, false),
              "read no file a");
    EXPECT_EQ(FormatExceptionText(std::exception(), "", "", false, false), "std::exception");
    EXPECT_EQ(FormatExceptionText(Exception(""), "x:", "", true, true), "x: exception\n");
    const std::string longText(3000, 'q');
    EXPECT_EQ(FormatExceptionText(Exception(longText), "", "", false, false), longText.substr(0, 1024));
}

TEST(NdisStatus, TableHoldsAllFiftyEntriesInOrder) {
    const NdisStatusEntry expected[] = {
        {0x00000000, "success"},
        {0x00000103, "pending"},
        {0x00010001, "not recognized"},
        {0x00010002, "not copied"},
        {0x00010003, "not accepted"},
        {0x00010004, "may close"},
        {0x40010003, "online"},
        {0x40010004, "reset start"},
        {0x40010005, "reset end"},
        {0x40010006, "ring status"},
        {0x40010007, "closed"},
        {0x40010008, "WAN line_up"},
        {0x40010009, "WAN line_down"},
        {0x4001000A, "WAN fragment"},
        {0x80010001, "not resettable"},
        {0x80010003, "soft errors"},
        {0x80010004, "hard errors"},
        {0xC0000001, "failure"},
        {0xC000009A, "resources"},
        {0xC0010002, "closing"},
        {0xC0010004, "bad version"},
        {0xC0010005, "bad characteristics"},
        {0xC0010006, "adapter not found"},
        {0xC0010007, "open failed"},
        {0xC0010008, "device failed"},
        {0xC0010009, "multicast full"},
        {0xC001000A, "multicast exists"},
        {0xC001000B, "multicast not found"},
        {0xC001000C, "request aborted"},
        {0xC001000D, "reset in progress"},
        {0xC001000E, "closing indicating"},
        {0xC00000BB, "not supported"},
        {0xC001000F, "invalid packet"},
        {0xC0010010, "open list full"},
        {0xC0010011, "adapter not ready"},
        {0xC0010012, "adapter not open"},
        {0xC0010013, "not indicating"},
        {0xC0010014, "invalid length"},
        {0xC0010015, "invalid data"},
        {0xC0010016, "buffer too short"},
        {0xC0010017, "invalid OID"},
        {0xC0010018, "adapter removed"},
        {0xC0010019, "unsupported media"},
        {0xC001001A, "group address in use"},
        {0xC001001B, "file not found"},
        {0xC001001C, "error reading file"},
        {0xC001001D, "already mapped"},
        {0xC001001E, "resource conflict"},
        {0xC001001F, "no cable"},
        {0xC0011000, "Token Ring open error"},
    };
    const auto table = NdisStatusTable();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].status, expected[i].status);
        EXPECT_STREQ(table[i].text, expected[i].text);
        EXPECT_STREQ(NdisStatusText(expected[i].status), expected[i].text);
    }
}

TEST(NdisStatus, UnknownStatusAndFraming) {
    EXPECT_STREQ(NdisStatusText(0xC0010012), "adapter not open");
    EXPECT_STREQ(NdisStatusText(0xC0010003), "unknown NDIS status");
    EXPECT_EQ(FormatNdisStatus(0xC001001F, "link:", "", true, true), "link: no cable\n");
}

TEST(SmallHelpers, HexDigitsSwapAndBool) {
    const struct {
        char digit;
        int value;
    } digits[] = {{'0', 0},  {'9', 9},  {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15}, {'g', -1},
                  {'G', -1}, {'/', -1}, {':', -1}, {'@', -1}, {'`', -1}, {'\0', -1}};
    for (const auto& d : digits)
        EXPECT_EQ(HexDigitValue(d.digit), d.value) << d.digit;

    EXPECT_EQ(SwapBytes32(0x11223344), 0x44332211u);
    EXPECT_EQ(SwapBytes32(0xFF000080), 0x800000FFu);
    EXPECT_STREQ(BoolText(0), "false");
    EXPECT_STREQ(BoolText(1), "true");
    EXPECT_STREQ(BoolText(0x80), "true");
}

} // namespace
} // namespace vq
