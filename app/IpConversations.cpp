#include "app/IpConversations.h"

#include "netmodel/Conversation.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"

namespace vq {

namespace {

constexpr uint16_t kNetworkIp = 0x0800;

} // namespace

void IpConversations::Add(const Traffic& traffic) {
    for (const TAO* tao : traffic.GetList()) {
        const auto* conversation = static_cast<const Conversation*>(tao);
        const Tuple* tuple = conversation->GetTuple();
        if (!tuple || tuple->GetField(FieldNetwork) != kNetworkIp) continue;
        const HostAddress* source = tuple->GetSource();
        const HostAddress* destination = tuple->GetDestination();
        if (!source || !destination || !source->HasIp() || !destination->HasIp()) continue;
        std::pair<std::string, std::string> key{source->GetIp().FormatText(),
                                                destination->GetIp().FormatText()};
        if (key.second < key.first) std::swap(key.first, key.second);
        IpConversationFigures& pair = m_Pairs[key];
        pair.a = key.first;
        pair.b = key.second;
        pair.frames += uint64_t(conversation->GetTraffic().Get(TrafficData::Packets));
        pair.octets += uint64_t(conversation->GetTraffic().Get(TrafficData::Octets));
    }
}

std::vector<IpConversationFigures> IpConversations::Take() {
    std::vector<IpConversationFigures> list;
    list.reserve(m_Pairs.size());
    for (auto& [key, pair] : m_Pairs)
        list.push_back(std::move(pair));
    m_Pairs.clear();
    return list;
}

} // namespace vq
