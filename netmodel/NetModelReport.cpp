#include "netmodel/NetModelReport.h"

namespace vq {

void PostNameReport(int, const std::string&, const char*, const char*) {}

} // namespace vq
