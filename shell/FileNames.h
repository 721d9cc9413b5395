#pragma once

#include "runtime/ConfigFileNames.h"

#include <string>

namespace vq {

// Names of the configuration and history databases. Paths split at '/'.

// The text after the last separator; all of it without one; empty when it ends with one.
std::string GetFileNamePart(std::string path);
// Answers the file name and puts the folder, separator included, into `folder`.
std::string SplitPath(std::string path, std::string& folder);
// The name with ".vqd" added when it has no dot.
std::string MakeConfigFileName(std::string name);
// The folder, a separator, the name; with `stamp` the name's extension (from its first dot) gives
// way to the local time "%m-%d-%Y-%H-%M" of the installed clock; ".mdb" when the name has no dot.
std::string MakeHistoryFilePath(std::string folder, std::string name, bool stamp);

// Where the program keeps its data files: $XDG_DATA_HOME/vorquel, else ~/.local/share/vorquel,
// made when missing. Without a trailing separator.
std::string UserDataFolder();

} // namespace vq
