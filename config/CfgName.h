#pragma once

#include <algorithm>
#include <string>

namespace vq {

// The name rule of classes, devices and network interfaces: they never hold a "/", which is
// stored as "-". Log groups, levels, reports and owner names keep their text.
inline std::string CfgObjectName(std::string name) {
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

} // namespace vq
