#include "platform/gui/RegisteredMessage.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(RegisteredMessage, OneNumberPerNameFromTheRegisteredRange) {
    const UINT first = RegisterWindowMessage("RegisteredMessageTestOne");
    const UINT second = RegisterWindowMessage("RegisteredMessageTestTwo");
    EXPECT_GE(first, 0xC000u);
    EXPECT_LE(first, 0xFFFFu);
    EXPECT_NE(first, second);
    EXPECT_EQ(RegisterWindowMessage("RegisteredMessageTestOne"), first);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
    EXPECT_EQ(RegisterWindowMessage(nullptr), 0u);
}

} // namespace
} // namespace vq
