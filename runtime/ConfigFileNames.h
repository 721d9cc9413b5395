#pragma once

#include <string>

namespace vq {

// True when the text from the last dot on is exactly ".vqd".
bool IsConfigFileName(const std::string& fileName);
// The folder, a separator unless the folder ends with one (an empty folder gives a leading one),
// the name, and ".vqd" when the name has no dot.
std::string MakeConfigFilePath(const std::string& folder, const std::string& fileName);

} // namespace vq
