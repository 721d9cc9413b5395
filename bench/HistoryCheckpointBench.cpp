// A whole checkpoint write (new conversations into a file that already holds history, and a steady
// one whose objects are all stored) and a bounded one-interval query over a large Data table.
#include "history/HistoryDB.h"
#include "history/HistoryDatabaseMapEntry.h"
#include "netmodel/Conversation.h"
#include "netmodel/Environment.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"
#include "platform/db/Database.h"
#include "platform/db/StatementCache.h"
#include "runtime/TimeUnits.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <iostream>
#include <stdlib.h>

namespace vq::history {
namespace {

const Timestamp kBase(uint64_t(133'800'000'000'000'000));
const TimeSpan kInterval(5, Unit::Minutes);

std::string TempFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "vq-bench-XXXXXX").string();
    return ::mkdtemp(folder.data()) != nullptr ? folder : std::string();
}

// One interval's model and traffic: `count` conversations between `count` hosts numbered from
// `first`, each host talking to the next.
struct Interval {
    Interval(uint32_t first, uint32_t count) : model(uint8_t(0)), traffic(1) {
        std::vector<HostAddress*> hosts;
        for (uint32_t i = 0; i <= count; ++i) {
            const uint32_t id = first + i;
            const uint8_t mac[6] = {0x02,       0, uint8_t(id >> 24), uint8_t(id >> 16), uint8_t(id >> 8),
                                    uint8_t(id)};
            const uint8_t ip[4] = {10, uint8_t(id >> 16), uint8_t(id >> 8), uint8_t(id)};
            auto* host = new HostAddress(uint8_t(0));
            host->SetMac(*model.FindOrAddMacAddress(mac, false), HostAddress::AUTH);
            host->SetIp(*model.FindOrAddIpAddress(ip, false), HostAddress::AUTH);
            model.AddHost(host, false);
            hosts.push_back(host);
        }
        for (uint32_t i = 0; i < count; ++i) {
            Tuple::Fields fields{};
            fields[FieldInterface] = NoInterface;
            fields[FieldNetwork] = 0x800;
            fields[FieldTransport] = 6;
            fields[FieldApplication] = 80;
            auto* tuple = new Tuple(hosts[i], hosts[i + 1], fields, uint8_t(0));
            model.AddTuple(tuple, false);
            Conversation conversation(tuple);
            TrafficData counts;
            counts.m_Counters[TrafficData::Octets] = 1500;
            counts.m_Counters[TrafficData::Packets] = 1;
            conversation.SetTraffic(counts);
            bool created = false;
            traffic.FindOrAdd(conversation, &created);
        }
    }
    CheckpointSource At(const Timestamp& end) { return {end, kInterval, model, traffic}; }

    Environment model;
    Traffic traffic;
};

void Checkpoint(benchmark::State& state, bool steady) {
    const uint32_t count = uint32_t(state.range(0));
    const std::string folder = TempFolder();
    HistoryDatabaseMapEntry entry;
    if (folder.empty() || !entry.Open(folder + "/h.db", 15)) {
        state.SkipWithError("no history file");
        return;
    }
    Interval stored(1, count);
    Timestamp end = kBase;
    entry.WriteCheckpoint(stored.At(end));
    uint32_t next = count + 2;
    int64_t preparations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto interval = steady ? nullptr : std::make_unique<Interval>(next, count);
        next += count + 1;
        end = end + kInterval;
        const int64_t before = entry.GetDatabase()->Statements().Preparations();
        state.ResumeTiming();
        if (!entry.WriteCheckpoint(steady ? stored.At(end) : interval->At(end)))
            state.SkipWithError("write failed");
        state.PauseTiming();
        preparations = entry.GetDatabase()->Statements().Preparations() - before;
        interval.reset();
        state.ResumeTiming();
    }
    state.counters["preparations"] = double(preparations);
    state.SetItemsProcessed(state.iterations() * count);
    std::filesystem::remove_all(folder);
}

void NewConversations(benchmark::State& state) {
    Checkpoint(state, false);
}
void SteadyConversations(benchmark::State& state) {
    Checkpoint(state, true);
}

// 3,000 intervals of 1,000 Data rows; one interval in the middle is asked for.
void BoundedQuery(benchmark::State& state) {
    const std::string folder = TempFolder();
    const std::string path = folder + "/h.db";
    HistoryDatabaseMapEntry entry;
    if (folder.empty() || !entry.Open(path, 15)) {
        state.SkipWithError("no history file");
        return;
    }
    Interval interval(1, 1000);
    entry.WriteCheckpoint(interval.At(kBase));
    {
        // The rest of the rows go in directly: the writer's path is measured above.
        auto database = db::Database::Open(path);
        database->Execute("BEGIN");
        auto timeLine =
            database->Prepare("INSERT INTO TimeLine SELECT TimeIndex + ?1, EndTime + ?2, Duration, "
                              "Status FROM TimeLine WHERE TimeIndex = 0");
        auto data =
            database->Prepare("INSERT INTO Data SELECT DataIndex + ?1, Octets, Packets, PacketsUnder64, "
                              "Packets64, Packets65To127, Packets128To255, Packets256To511, "
                              "Packets512To1023, Packets1024To1518, PacketsOver1518, Errors, TupleIndex, "
                              "TimeIndex + ?2 FROM Data WHERE TimeIndex = 0");
        for (int64_t i = 1; i < 3000; ++i) {
            timeLine.Bind(1, i).Bind(2, double(i) * 5.0 / 1440.0).Run();
            timeLine.Reset();
            data.Bind(1, i * 1000).Bind(2, i).Run();
            data.Reset();
        }
        database->Execute("COMMIT");
    }
    HistoryDatabaseMapEntry reader;
    reader.Open(path, OPEN_LOAD | OPEN_READ);
    const Timestamp middle = kBase + TimeSpan(kInterval.GetTicks() * 1500);
    {
        auto database = db::Database::Open(path, db::OpenMode::ReadOnly);
        auto plan =
            database->Prepare("EXPLAIN QUERY PLAN SELECT * FROM \"Data\" WHERE \"TimeIndex\" IN (SELECT "
                              "\"TimeIndex\" FROM \"TimeLine\" WHERE \"EndTime\" BETWEEN ?1 AND ?2) "
                              "ORDER BY \"TimeIndex\",\"DataIndex\"");
        while (plan.Step())
            std::cout << "plan: " << plan.GetText(3) << "\n";
    }
    for (auto _ : state) {
        auto data = reader.Query(middle, middle);
        benchmark::DoNotOptimize(data);
        if (data->m_Total->GetCount() != 1000) state.SkipWithError("wrong answer");
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(NewConversations)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(SteadyConversations)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BoundedQuery)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace vq::history
