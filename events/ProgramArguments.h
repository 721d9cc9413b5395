#pragma once

#include <string>
#include <vector>

namespace vq {

struct NotificationJob;

// The argument vector of a level's program: the program itself, then the parameter text split
// into arguments, each with its placeholders ("[ET]", "[LG]", "[LL]", "[NM]", "[OT]", "[TM]")
// replaced by the entry's values. A value never splits or joins arguments.
std::vector<std::string> ProgramArguments(const NotificationJob& job);

// The entry's time as notifications show it: "Tue 08 Dec 22:15".
std::string NotificationTime(const NotificationJob& job);

} // namespace vq
