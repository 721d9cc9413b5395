#include "platform/gui/Clipboard.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(Clipboard, TextAndRegisteredFormatsRoundTripByteForByte) {
    const UINT format = RegisterClipboardFormat("VQ_TEST_ITEMS");
    EXPECT_GE(format, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("VQ_TEST_ITEMS"), format);
    EXPECT_NE(RegisterClipboardFormat("VQ_TEST_OTHER"), format);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);

    const std::string binary("\x01\x00\xFF\x7F", 4);
    ASSERT_TRUE(OpenClipboard(0));
    EXPECT_FALSE(OpenClipboard(0));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_TRUE(SetClipboardData(CF_TEXT, "a\xC2\xB0"
                                          "b"));
    EXPECT_TRUE(SetClipboardData(format, binary));
    EXPECT_FALSE(SetClipboardData(0xBFFF, "x"));
    ASSERT_TRUE(CloseClipboard());

    EXPECT_EQ(GetClipboardData(CF_TEXT), "a\xC2\xB0"
                                         "b");
    EXPECT_EQ(GetClipboardData(format), binary);
    EXPECT_FALSE(IsClipboardFormatAvailable(RegisterClipboardFormat("VQ_TEST_OTHER")));

    // Text that is not UTF-8 keeps its bytes too; writing needs an open clipboard.
    EXPECT_FALSE(SetClipboardData(CF_TEXT, "closed"));
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, "a\xB0"
                              "b");
    CloseClipboard();
    EXPECT_EQ(GetClipboardData(CF_TEXT), "a\xB0"
                                         "b");
    EXPECT_FALSE(IsClipboardFormatAvailable(format));
}

} // namespace
} // namespace vq
