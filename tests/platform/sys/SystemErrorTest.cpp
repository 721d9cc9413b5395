#include "platform/sys/SystemError.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(SystemError, KnownNumbersHaveTheSystemText) {
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(SystemErrorText(EACCES), "Permission denied");
}

TEST(SystemError, UnknownNumbersHaveNoText) {
    for (int error : {-1, 134, 4000, 1 << 30})
        EXPECT_EQ(SystemErrorText(error), "") << error;
}

} // namespace
} // namespace vq
