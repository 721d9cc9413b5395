#pragma once

#include <string>

namespace vq {

// The message the last failed integrity check of a network model left for its caller. Monitor
// thread only.
std::string& IntegrityText();

} // namespace vq
