// Per-frame cost of the network model as hosts and tuples grow, the cost of a checkpoint import,
// and the memory a tuple takes.
#include "netmodel/Environment.h"
#include "netmodel/Traffic.h"
#include "runtime/EngineGlobals.h"
#include "tests/netmodel/ModelFixtures.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <utility>
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

using namespace test;

// `hosts` stations behind one router MAC talk to one server, each over `sessions` session ids.
std::vector<FakeFrame> RouterFrames(int hosts, int sessions) {
    std::vector<FakeFrame> frames;
    frames.reserve(size_t(hosts) * size_t(sessions));
    for (int session = 0; session < sessions; ++session) {
        for (int i = 0; i < hosts; ++i) {
            FakeFrame frame = IpFrame("02:00:00:00:01:00", "10.0.0.1", "02:00:00:00:00:01", "192.168.0.1");
            // Neither a network address nor a broadcast: host parts 1-250.
            frame.ip[0] = Ip{10, uint8_t(1 + i / 62500), uint8_t((i / 250) % 250), uint8_t(1 + i % 250)};
            frame.ids[FrameView::Session] = uint16_t(session);
            frame.length = uint32_t(60 + (i % 1400));
            frames.push_back(frame);
        }
    }
    return frames;
}

struct LiveModel {
    LiveModel() { traffic.SetHostReference(&model.GetHostTable().GetEqualityIndex()); }

    ScopedEngineGlobals globals;
    Environment model{0};
    // As the live data set's counters are: on the model's hosts.
    Traffic traffic{1};

    void Count(const FakeFrame& frame) { traffic.AddPacket(frame, *model.TupleForPacket(frame)); }
};

// One frame of the timed loop, out of line so that callgrind can count it alone:
// valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*CountTimedFrame*'
[[gnu::noinline]] Conversation* CountTimedFrame(LiveModel& live, const FakeFrame& frame) {
    return live.traffic.AddPacket(frame, *live.model.TupleForPacket(frame));
}

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// Learning both hosts, finding the frame's tuple and counting it, over frames already learned.
void BM_FramePath(benchmark::State& state) {
    const int hosts = int(state.range(0));
    const int sessions = int(state.range(1));
    LiveModel live;
    const std::vector<FakeFrame> frames = RouterFrames(hosts, sessions);
    const size_t heapBefore = HeapInUse();
    for (const FakeFrame& frame : frames)
        live.Count(frame);
    const size_t heapAfter = HeapInUse();

    // Visit the frames in a scattered order so that caches do not flatter large models.
    size_t next = 0;
    const size_t stride = 7919;
    const uint64_t allocationsBefore = g_Allocations.load();
    for (auto _ : state) {
        next = (next + stride) % frames.size();
        benchmark::DoNotOptimize(CountTimedFrame(live, frames[next]));
    }
    const double iterations = double(state.iterations());
    state.counters["tuples"] = double(live.model.GetTuplePool().GetCount());
    state.counters["hosts"] = double(live.model.GetHostTable().GetCount());
    state.counters["allocs_per_frame"] = double(g_Allocations.load() - allocationsBefore) / iterations;
    state.counters["bytes_per_tuple"] =
        double(heapAfter - heapBefore) / double(live.model.GetTuplePool().GetCount());
}
BENCHMARK(BM_FramePath)
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({100000, 10})
    ->Apply(Counted)
    ->Unit(benchmark::kNanosecond);

// `conversations` clients each talk to one of 16 servers on port 80, both ways, as TCP/UDP frames
// whose reference sessions are looked up by their endpoints.
std::vector<FakeFrame> PortFrames(int conversations) {
    std::vector<FakeFrame> frames;
    frames.reserve(2 * size_t(conversations));
    for (int i = 0; i < conversations; ++i) {
        FakeFrame frame = IpFrame("02:00:00:00:01:00", "10.0.0.1", "02:00:00:00:00:01", "192.168.0.1",
                                  uint16_t(1024 + i % 60000), 80);
        frame.ip[0] = Ip{10, uint8_t(1 + i / 62500), uint8_t((i / 250) % 250), uint8_t(1 + i % 250)};
        frame.ip[1] = Ip{192, 168, 0, uint8_t(1 + i % 16)};
        frame.endpoints = std::array<FrameView::Endpoint, 2>{
            FrameView::Endpoint{HostOrder(*frame.ip[0]), frame.endpoints->at(0).port},
            FrameView::Endpoint{HostOrder(*frame.ip[1]), 80}};
        frames.push_back(frame);
        std::swap(frame.mac[0], frame.mac[1]);
        std::swap(frame.ip[0], frame.ip[1]);
        std::swap(frame.endpoints->at(0), frame.endpoints->at(1));
        frames.push_back(frame);
    }
    return frames;
}

// Finding the tuple of a frame whose stream is known and whose model has stopped changing.
void BM_KnownStream(benchmark::State& state) {
    LiveModel live;
    const std::vector<FakeFrame> frames = PortFrames(int(state.range(0)));
    for (int pass = 0; pass < 2; ++pass)
        for (const FakeFrame& frame : frames)
            live.model.TupleForPacket(frame);
    size_t next = 0;
    const size_t stride = 7919;
    const uint64_t allocationsBefore = g_Allocations.load();
    for (auto _ : state) {
        next = (next + stride) % frames.size();
        benchmark::DoNotOptimize(live.model.TupleForPacket(frames[next]));
    }
    state.counters["tuples"] = double(live.model.GetTuplePool().GetCount());
    state.counters["allocs_per_frame"] = double(g_Allocations.load() - allocationsBefore) / double(state.iterations());
}
BENCHMARK(BM_KnownStream)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(Counted)->Unit(benchmark::kNanosecond);

// A checkpoint: every conversation of an interval imported into a fresh model.
void BM_CheckpointImport(benchmark::State& state) {
    const int conversations = int(state.range(0));
    LiveModel live;
    for (const FakeFrame& frame : RouterFrames(conversations, 1))
        live.Count(frame);
    for (auto _ : state) {
        Environment checkpoint(0);
        Traffic saved(1);
        checkpoint.CopyInterfaces(live.model.GetInterfaceTable());
        checkpoint.ImportTraffic(live.traffic, saved, 0);
        benchmark::DoNotOptimize(saved.GetCount());
    }
    state.SetComplexityN(conversations);
}
BENCHMARK(BM_CheckpointImport)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vq

BENCHMARK_MAIN();
