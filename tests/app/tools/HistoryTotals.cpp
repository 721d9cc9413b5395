// Reads a history database back the way the history thread answers a request and prints, per IP
// conversation (both directions together), the frames and octets it holds over its whole range:
// one JSON object per line, with the keys the engine's --conversations lines use.
// Usage: vq_history_totals <history file>

#include "history/HistoryDatabaseMapEntry.h"
#include "history/HistoryQueryData.h"
#include "netmodel/Conversation.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/EngineGlobals.h"

#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <utility>

namespace {

using namespace vq;

constexpr uint16_t kNetworkIp = 0x0800;

struct Totals {
    int64_t frames = 0;
    int64_t octets = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <history file>\n", argv[0]);
        return 2;
    }
    ScopedEngineGlobals engine;
    history::HistoryDatabaseMapEntry entry;
    if (!entry.Open(argv[1], history::OPEN_READ | history::OPEN_LOAD)) {
        std::fprintf(stderr, "%s: cannot open\n", argv[1]);
        return 1;
    }
    try {
        const std::unique_ptr<history::HistoryQueryData> data = entry.Query(NULL_TIME, NULL_TIME);
        std::map<std::pair<std::string, std::string>, Totals> pairs;
        for (const TAO* tao : data->m_Total->GetList()) {
            const auto* conversation = static_cast<const Conversation*>(tao);
            const Tuple* tuple = conversation->GetTuple();
            if (!tuple || tuple->GetField(FieldNetwork) != kNetworkIp) continue;
            const HostAddress* source = tuple->GetSource();
            const HostAddress* destination = tuple->GetDestination();
            if (!source || !destination || !source->HasIp() || !destination->HasIp()) continue;
            std::pair<std::string, std::string> key{source->GetIp().FormatText(),
                                                    destination->GetIp().FormatText()};
            if (key.second < key.first) std::swap(key.first, key.second);
            pairs[key].frames += conversation->GetTraffic().Get(TrafficData::Packets);
            pairs[key].octets += conversation->GetTraffic().Get(TrafficData::Octets);
        }
        for (const auto& [key, totals] : pairs)
            std::printf("{\"a\":\"%s\",\"b\":\"%s\",\"frames\":%lld,\"octets\":%lld}\n", key.first.c_str(),
                        key.second.c_str(), static_cast<long long>(totals.frames),
                        static_cast<long long>(totals.octets));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
