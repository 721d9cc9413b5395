#include "platform/sys/HelpLauncher.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

namespace vq {
namespace {

// The opener gets the page as one argument, even one a shell would split or expand.
TEST(HelpLauncher, PassesThePageAsOneArgumentWithoutAShell) {
    test::TempDir dir;
    const std::string script = dir.File("opener.sh");
    const std::string record = dir.File("seen");
    test::WriteFile(script, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + record + "'\n");
    ::chmod(script.c_str(), 0700);
    ::setenv("VQ_HELP_OPENER", script.c_str(), 1);
    const std::string page = dir.File("help dir/topic-3.html; touch $HOME/x `id`");
    EXPECT_EQ(WaitHelpOpener(StartHelpOpener(page)), 0);
    EXPECT_EQ(test::ReadFile(record), "1|" + page);

    ::setenv("VQ_HELP_OPENER", dir.File("missing-opener").c_str(), 1);
    EXPECT_EQ(StartHelpOpener(page), -1);
    ::unsetenv("VQ_HELP_OPENER");
    EXPECT_EQ(HelpOpener(), "xdg-open");
}

} // namespace
} // namespace vq
