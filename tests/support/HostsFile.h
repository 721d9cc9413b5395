#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace vq::test {

// Whether the hosts file maps localhost to 127.0.0.1. Minimal systems and some containers ship
// none, and look-up tests that read it must never fall back to the network.
inline bool HostsFileKnowsLocalhost() {
    std::ifstream hosts("/etc/hosts");
    std::string line;
    while (std::getline(hosts, line)) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string address, name;
        if (!(fields >> address) || address != "127.0.0.1") continue;
        while (fields >> name)
            if (name == "localhost") return true;
    }
    return false;
}

} // namespace vq::test
