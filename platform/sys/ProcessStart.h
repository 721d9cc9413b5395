#pragma once

#include <string>
#include <vector>

namespace vq {

// Starts the program at `path` as given (no search of PATH, never through a shell) with the
// argument vector, argv[0] included; the child keeps only standard input, output and error. The
// program is not waited for: one waiter thread reaps every child started here. Answers 0, or the
// system's error number when the program could not be started.
int SpawnProgram(const std::string& path, const std::vector<std::string>& argv);

// Splits a parameter text into arguments as the command lines of the configuring system are split:
// blanks separate, double quotes group, a backslash before a quote escapes it.
std::vector<std::string> SplitCommandLine(const std::string& text);

} // namespace vq
