// The monitor's per-frame path on one core: every frame decoded, its hosts learned, its tuple
// found, counted in the running update step and handed to the actions that watch the tuple (a
// trend, an alarm, a conversation and a summary on the busiest server), over a replayed mix of
// 10,000 conversations held in memory. Reported in frames per second against the goal of
// 2,000,000 per core; the runs without actions and with one kind at a time show what each costs.

#include "capture/Packet.h"
#include "capture/PacketAdapter.h"
#include "monitor/ActiveDataSet.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/MonitorSummary.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/EngineGlobals.h"
#include "runtime/TimeUnits.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

using vq::TimeSpan;
namespace Unit = vq::Unit;

constexpr int kConversations = 10'000;
constexpr int kServers = 4;
constexpr double kGoalFramesPerSecond = 2'000'000;

using Frame = std::vector<uint8_t>;

class BenchAdapter : public vq::PacketAdapter {
public:
    int32_t GetMedium() const override { return 0; }
    bool IsOwnAddress(std::span<const uint8_t, 6>, bool) const override { return false; }
    bool IsOwnIpAddress(uint32_t, bool) const override { return false; }
    bool HasIpAddress() const override { return false; }
    void LearnIpAddress(const std::string&) override {}
};

void Put16(Frame& f, size_t at, uint16_t v) {
    f[at] = uint8_t(v >> 8);
    f[at + 1] = uint8_t(v);
}

struct Endpoint {
    uint8_t mac[6];
    uint8_t ip[4];
    uint16_t port;
};

// An Ethernet, IPv4 and TCP frame with `data` bytes of payload.
Frame Tcp(const Endpoint& from, const Endpoint& to, size_t data, uint8_t flags) {
    Frame f(54 + data);
    std::copy_n(to.mac, 6, f.begin());
    std::copy_n(from.mac, 6, f.begin() + 6);
    Put16(f, 12, 0x0800);
    f[14] = 0x45;
    Put16(f, 16, uint16_t(40 + data));
    f[22] = 64;
    f[23] = 6;
    std::copy_n(from.ip, 4, f.begin() + 26);
    std::copy_n(to.ip, 4, f.begin() + 30);
    Put16(f, 34, from.port);
    Put16(f, 36, to.port);
    f[46] = 0x50;
    f[47] = flags;
    return f;
}

// Every client talks to one of four servers: a request and a reply per round, shuffled so that
// consecutive frames rarely share a conversation.
std::vector<Frame> Mix() {
    const uint16_t services[] = {443, 80, 445, 22};
    std::vector<Frame> frames;
    frames.reserve(size_t(kConversations) * 4);
    for (int c = 0; c < kConversations; ++c) {
        const int s = c % kServers;
        const Endpoint server{
            {0x00, 0xa0, 0xc9, 0x00, 0x00, uint8_t(s + 1)}, {10, 0, 0, uint8_t(s + 1)}, services[s]};
        const Endpoint client{{0x02, 0x00, 0x00, 0x01, uint8_t(c >> 8), uint8_t(c)},
                              {10, 1, uint8_t(c >> 8), uint8_t(c)},
                              uint16_t(20'000 + c)};
        for (int round = 0; round < 2; ++round) {
            frames.push_back(Tcp(client, server, 60 + size_t(c % 200), 0x18));
            frames.push_back(Tcp(server, client, 400 + size_t(c % 1000), 0x18));
        }
    }
    std::shuffle(frames.begin(), frames.end(), std::mt19937(20261210));
    return frames;
}

std::unique_ptr<vq::Tuple> Server1(int side) {
    vq::IpAddress ip("10.0.0.1", true);
    return std::make_unique<vq::Tuple>(ip, side, true);
}

// The kinds named by the mask (1 trend, 2 alarm, 4 conversation, 8 summary) on the first server,
// each installed and attached as the install handler does.
void InstallActions(int64_t kinds, vq::MonitorActionPools& pools, vq::ActiveDataSet& data,
                    const int* owners) {
    if (kinds & 1) {
        auto trend = std::make_unique<vq::MonitorTrend>(&owners[0], vq::SOURCE_LIVE_RING, vq::SCOPE_TUPLES,
                                                        vq::TARGET_CURRENT, vq::DATA_PERIODIC,
                                                        TimeSpan(60, Unit::Seconds), 0);
        trend->AddSelection(Server1(vq::KEY_Destination));
        trend->AddDefaultElement();
        vq::MonitorAction& trendRef = *trend;
        pools.Trends().Add(std::move(trend));
        trendRef.Start(&data);
    }
    if (kinds & 2) {
        auto alarm = std::make_unique<vq::MonitorAlarm>(&owners[1], vq::SOURCE_LIVE_RING, vq::SCOPE_TUPLES,
                                                        vq::TARGET_CURRENT, TimeSpan(5, Unit::Seconds), 0);
        alarm->AddSelection(Server1(vq::KEY_Source));
        alarm->AddDefaultElement();
        alarm->SetThreshold(
            std::make_unique<vq::AlarmThreshold>(1e12, vq::MODE_CROSSING, vq::kLimitNotSet, 0));
        vq::MonitorAction& alarmRef = *alarm;
        pools.Alarms().Add(std::move(alarm));
        alarmRef.Start(&data);
    }
    if (kinds & 4) {
        auto conversation = std::make_unique<vq::MonitorConversation>(
            &owners[2], vq::SOURCE_LIVE, vq::SCOPE_TUPLES, vq::TARGET_CURRENT, vq::DATA_PERIODIC,
            vq::MonitorConversation::OPTION_BIDIRECTIONAL, TimeSpan(60, Unit::Seconds), 0);
        conversation->AddSelection(Server1(vq::KEY_Source));
        conversation->AddDiscreteElements();
        vq::MonitorAction& conversationRef = *conversation;
        pools.Conversations().Add(std::move(conversation));
        conversationRef.Start(&data);
    }
    if (kinds & 8) {
        auto summary = std::make_unique<vq::MonitorSummary>(&owners[3], vq::SOURCE_LIVE_RING,
                                                            vq::SCOPE_TUPLES, TimeSpan(5, Unit::Minutes), 0);
        summary->AddSelection(Server1(vq::KEY_Destination));
        for (int64_t minutes : {5, 60, 480})
            summary->AddPeriod(TimeSpan(minutes, Unit::Minutes));
        summary->AddDiscreteElements();
        vq::MonitorAction& summaryRef = *summary;
        pools.Summaries().Add(std::move(summary));
        summaryRef.Start(&data);
    }
}

const char* LabelOf(int64_t kinds) {
    switch (kinds) {
    case 0:
        return "no actions";
    case 1:
        return "trend";
    case 2:
        return "alarm";
    case 4:
        return "conversation";
    case 8:
        return "summary";
    default:
        return "trend, alarm, conversation and summary";
    }
}

void BM_FramePathWithActions(benchmark::State& state) {
    const int64_t kinds = state.range(0);
    const std::vector<Frame> frames = Mix();
    vq::ScopedEngineGlobals engine;
    vq::MonitorGlobals& globals = vq::TheMonitorGlobals();
    vq::ActiveDataSet data(TimeSpan(8, Unit::Hours), TimeSpan(), TimeSpan(),
                           vq::LiveTrafficFactory(*globals.m_Environment));
    const int owners[4] = {};
    InstallActions(kinds, globals.m_Pools, data, owners);

    BenchAdapter adapter;
    uint64_t sequence = 0;
    uint64_t ticks = vq::Timestamp::Now().GetTicks();
    auto feed = [&](const Frame& frame) {
        vq::Packet packet(frame.data(), uint32_t(frame.size()), adapter, 0, vq::Timestamp(ticks += 500),
                          ++sequence);
        packet.Decode();
        data.AddPacket(packet);
    };
    // The model learns every host and tuple first: what is timed is the steady state.
    for (const Frame& frame : frames)
        feed(frame);

    size_t next = 0;
    for (auto _ : state) {
        feed(frames[next]);
        next = next + 1 == frames.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["share_of_goal"] =
        benchmark::Counter(double(state.iterations()) / kGoalFramesPerSecond, benchmark::Counter::kIsRate);
    state.SetLabel(LabelOf(kinds));
}
BENCHMARK(BM_FramePathWithActions)->Arg(0)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(15)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
