#include "platform/sys/HelpLauncher.h"

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace vq {

std::string HelpOpener() {
    const char* opener = std::getenv("VQ_HELP_OPENER");
    return opener && *opener ? opener : "xdg-open";
}

pid_t StartHelpOpener(const std::string& page) {
    std::string opener = HelpOpener();
    char* argv[] = {opener.data(), const_cast<char*>(page.c_str()), nullptr};
    pid_t child = -1;
    if (::posix_spawnp(&child, opener.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
    return child;
}

int WaitHelpOpener(pid_t child) {
    if (child <= 0) return -1;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(child, &status, 0);
    } while (done < 0 && errno == EINTR);
    return done == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ReleaseHelpOpener(pid_t child) {
    if (child > 0) std::thread([child] { WaitHelpOpener(child); }).detach();
}

} // namespace vq
