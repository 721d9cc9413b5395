#pragma once

#include <string>

namespace vq {

// The system's message for an error number, or an empty text when the system has none for it.
std::string SystemErrorText(int error);

} // namespace vq
