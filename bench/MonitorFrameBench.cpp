// The monitor's per-frame path on one core: a received frame decoded, its hosts learned, its tuple
// found, counted in the live data set's running step and handed to the actions watching the tuple;
// the tick's merge runs every 50,000 frames as it would at that rate. Frames come from memory.

#include "capture/Packet.h"
#include "capture/PacketAdapter.h"
#include "monitor/ActiveDataSet.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorGlobals.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/EngineGlobals.h"
#include "runtime/TimeUnits.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

// Counting replacements of the global allocation functions; GCC cannot see that they pair up.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<uint64_t> g_Allocations{0};

} // namespace

void* operator new(size_t size) {
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, size_t) noexcept {
    std::free(memory);
}

namespace vq {
namespace {

// VQ_BENCH_ITERATIONS fixes the iteration count, so that a callgrind run counts a known number of
// frames.
void Counted(benchmark::internal::Benchmark* benchmark) {
    if (const char* iterations = std::getenv("VQ_BENCH_ITERATIONS"))
        benchmark->Iterations(benchmark::IterationCount(std::atoll(iterations)));
}

using Frame = std::vector<uint8_t>;

class BenchAdapter : public PacketAdapter {
public:
    int32_t GetMedium() const override { return 0; }
    bool IsOwnAddress(std::span<const uint8_t, 6>, bool) const override { return false; }
    bool IsOwnIpAddress(uint32_t, bool) const override { return false; }
    bool HasIpAddress() const override { return true; }
    void LearnIpAddress(const std::string&) override {}
};

void Put16(Frame& f, size_t at, uint16_t v) {
    f[at] = uint8_t(v >> 8);
    f[at + 1] = uint8_t(v);
}

// Station `host` (10.0.x.y behind its own MAC) to one of four servers, TCP or UDP.
Frame StationFrame(int host, int server, bool udp, size_t payload) {
    Frame f(34 + (udp ? 8 : 20) + payload);
    const uint8_t serverMac[] = {0x02, 0, 0, 0, 0, uint8_t(1 + server)};
    std::copy(serverMac, serverMac + 6, f.begin());
    const uint8_t stationMac[] = {0x02, 0x10, 0, uint8_t(host >> 16), uint8_t(host >> 8), uint8_t(host)};
    std::copy(stationMac, stationMac + 6, f.begin() + 6);
    Put16(f, 12, 0x0800);
    f[14] = 0x45;
    Put16(f, 16, uint16_t(f.size() - 14));
    f[22] = 64;
    f[23] = udp ? 17 : 6;
    const uint8_t source[] = {10, uint8_t(1 + host / 250 / 250), uint8_t((host / 250) % 250),
                              uint8_t(1 + host % 250)};
    const uint8_t destination[] = {192, 168, 0, uint8_t(1 + server)};
    std::copy(source, source + 4, f.begin() + 26);
    std::copy(destination, destination + 4, f.begin() + 30);
    Put16(f, 34, uint16_t(40000 + host % 20000));
    const uint16_t ports[] = {443, 80, 445, 53};
    Put16(f, 36, ports[server]);
    if (udp) {
        Put16(f, 38, uint16_t(8 + payload));
    } else {
        f[46] = 0x50;
        f[47] = 0x18;
    }
    return f;
}

std::vector<Frame> Frames(int hosts) {
    std::vector<Frame> frames;
    for (int host = 0; host < hosts; ++host)
        for (int server = 0; server < 4; ++server)
            frames.push_back(
                StationFrame(host, server, server == 3, server == 3 ? 40 : 60 + (host * 37) % 1400));
    return frames;
}

// An action on the tuples to one server that only counts what reaches it.
class CountingAction : public MonitorAction {
public:
    CountingAction(const void* identifier, const char* server)
        : MonitorAction(identifier, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC,
                        TimeSpan(60, Unit::Seconds), 0) {
        IpAddress ip(server, true);
        AddSelection(std::make_unique<Tuple>(ip, KEY_Destination, true));
    }
    void OnData(const FrameView& frame, const Conversation&) override { m_Octets += frame.GetFrameLength(); }
    bool SendUpdate() override { return true; }
    bool SendInitialize() override { return true; }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    uint64_t m_Octets = 0;
};

struct LiveMonitor {
    explicit LiveMonitor(int actions) {
        const char* servers[] = {"192.168.0.1", "192.168.0.2", "192.168.0.3", "192.168.0.4"};
        for (int i = 0; i < actions; ++i)
            TheMonitorGlobals().m_Pools.Trends().Add(
                std::make_unique<CountingAction>(&ids[i], servers[i % 4]));
    }

    ScopedEngineGlobals globals;
    ActiveDataSet data{TimeSpan(8, Unit::Hours), TimeSpan(), TimeSpan(),
                       LiveTrafficFactory(*TheMonitorGlobals().m_Environment)};
    int ids[16] = {};
};

constexpr int kFramesPerStep = 50'000;

// The timed steps, out of line so that callgrind can count them alone:
// valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*CountTimedPacket*'
[[gnu::noinline]] void CountTimedPacket(LiveMonitor& live, Packet& packet) {
    live.data.AddPacket(packet);
}

[[gnu::noinline]] void TimedTick(LiveMonitor& live) {
    live.data.Tick(Timestamp::Now());
}

// range(0): stations, each talking to four servers; range(1): installed actions.
void BM_MonitorFramePath(benchmark::State& state) {
    const std::vector<Frame> frames = Frames(int(state.range(0)));
    LiveMonitor live(int(state.range(1)));
    BenchAdapter adapter;
    for (const Frame& frame : frames) {
        Packet packet(frame.data(), uint32_t(frame.size()), adapter, 0, Timestamp::Now(), 1);
        packet.Decode();
        live.data.AddPacket(packet);
    }
    live.data.Tick(Timestamp::Now());

    size_t next = 0;
    int inStep = 0;
    const size_t stride = 7919;
    const uint64_t allocationsBefore = g_Allocations.load();
    for (auto _ : state) {
        next = (next + stride) % frames.size();
        const Frame& frame = frames[next];
        Packet packet(frame.data(), uint32_t(frame.size()), adapter, 0, Timestamp::Now(), 1);
        packet.Decode();
        live.data.AddPacket(packet);
        if (++inStep == kFramesPerStep) {
            live.data.Tick(Timestamp::Now());
            inStep = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["tuples"] = double(TheMonitorGlobals().m_Environment->GetTuplePool().GetCount());
    state.counters["allocs_per_frame"] =
        double(g_Allocations.load() - allocationsBefore) / double(state.iterations());
}
BENCHMARK(BM_MonitorFramePath)
    ->Args({250, 0})
    ->Args({250, 4})
    ->Args({2500, 4})
    ->Args({25000, 4})
    ->Args({2500, 16});

// The same without decoding: what the monitor adds to the decoders' cost.
void BM_MonitorCountingOnly(benchmark::State& state) {
    const std::vector<Frame> frames = Frames(int(state.range(0)));
    LiveMonitor live(int(state.range(1)));
    BenchAdapter adapter;
    std::vector<std::unique_ptr<Packet>> packets;
    for (const Frame& frame : frames) {
        packets.push_back(
            std::make_unique<Packet>(frame.data(), uint32_t(frame.size()), adapter, 0, Timestamp::Now(), 1));
        packets.back()->Decode();
        live.data.AddPacket(*packets.back());
    }
    live.data.Tick(Timestamp::Now());

    size_t next = 0;
    int inStep = 0;
    const size_t stride = 7919;
    const uint64_t allocationsBefore = g_Allocations.load();
    for (auto _ : state) {
        next = (next + stride) % packets.size();
        CountTimedPacket(live, *packets[next]);
        if (++inStep == kFramesPerStep) {
            TimedTick(live);
            inStep = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["tuples"] = double(TheMonitorGlobals().m_Environment->GetTuplePool().GetCount());
    state.counters["allocs_per_frame"] =
        double(g_Allocations.load() - allocationsBefore) / double(state.iterations());
}
BENCHMARK(BM_MonitorCountingOnly)
    ->Args({250, 4})
    ->Args({2500, 4})
    ->Args({25000, 4})
    ->Args({250000, 4})
    ->Apply(Counted);

} // namespace
} // namespace vq

BENCHMARK_MAIN();
