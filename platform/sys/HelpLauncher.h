#pragma once

#include <string>
#include <sys/types.h>

namespace vq {

// The program that shows a help page: $VQ_HELP_OPENER when set, else xdg-open.
std::string HelpOpener();

// Starts the opener with the page as its one argument, straight from an argument vector so that
// no text of the path is ever read by a shell. Answers the child's id, or -1 when it could not
// start. The caller reaps it: WaitHelpOpener, or ReleaseHelpOpener to have it reaped unseen.
pid_t StartHelpOpener(const std::string& page);
// Waits for the child; answers its exit status, or -1 when it did not exit normally.
int WaitHelpOpener(pid_t child);
// Reaps the child on a thread of its own, so a viewer left open never blocks the caller.
void ReleaseHelpOpener(pid_t child);

} // namespace vq
