#pragma once

#include <string>

namespace vq {

// Reports a failure of the name services to the main thread.
void PostNameReport(int severity, const std::string& text, const char* className, const char* method);

} // namespace vq
