// Reads a history database back the way the history thread answers a request and prints, per IP
// conversation (both directions together), the frames and octets it holds over its whole range:
// one JSON object per line, with the keys the engine's --conversations lines use.
// Usage: vq_history_totals <history file>

#include "app/IpConversations.h"
#include "history/HistoryDatabaseMapEntry.h"
#include "history/HistoryQueryData.h"
#include "runtime/EngineGlobals.h"

#include <cstdio>
#include <exception>

using namespace vq;

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
        IpConversations pairs;
        pairs.Add(*data->m_Total);
        for (const IpConversationFigures& pair : pairs.Take())
            std::printf("{\"a\":\"%s\",\"b\":\"%s\",\"frames\":%llu,\"octets\":%llu}\n", pair.a.c_str(),
                        pair.b.c_str(), static_cast<unsigned long long>(pair.frames),
                        static_cast<unsigned long long>(pair.octets));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
