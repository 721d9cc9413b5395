#pragma once

#include <vector>

namespace vq {

class HostAddress;

// Hosts filed together in an index element; the element does not own them.
using HostAddressList = std::vector<HostAddress*>;

} // namespace vq
