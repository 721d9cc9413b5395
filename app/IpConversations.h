#pragma once

#include "app/EngineFigures.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vq {

class Traffic;

// Conversations summed by IP conversation: both directions between two IPv4 hosts together, as
// tshark's `conv,ip` counts them.
class IpConversations {
public:
    // Adds every conversation of an IPv4 tuple whose hosts both have an IP address.
    void Add(const Traffic& traffic);
    // In the order of the address texts.
    std::vector<IpConversationFigures> Take();

private:
    std::map<std::pair<std::string, std::string>, IpConversationFigures> m_Pairs;
};

} // namespace vq
