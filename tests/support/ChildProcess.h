#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vq::test {

// Runs `work` in a forked child, so that what it changes of the process (limits, user) ends with
// it; its expectations print there and a failure fails the calling test.
inline void RunInChild(const std::function<void()>& work) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's expectations failed";
}

// Root may write any file, so tests of refused writes drop to an ordinary user inside the child.
inline void BecomeUnprivileged() {
    if (::geteuid() != 0) return;
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::setgid(nobody->pw_gid), 0);
    ASSERT_EQ(::setuid(nobody->pw_uid), 0);
}

} // namespace vq::test
