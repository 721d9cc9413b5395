// Frames per second from a replay adapter through the receive ring, the packet's decode and a
// counting sink, with the monitor's wait on the buffer events between services.

#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "capture/Packet.h"
#include "platform/registry/Registry.h"
#include "platform/thread/MessageQueue.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vq;

constexpr int kFrames = 200000;

class QuietReports : public CaptureReports {
public:
    void Report(int, const std::string&, const char*, const char*) override {}
    void Announce(std::unique_ptr<AdapterInfoSet>, int) override {}
};

class CountingSink : public PacketSink {
public:
    bool AddPacket(Packet& packet) override {
        ++frames;
        octets += uint64_t(packet.GetFrameLength());
        return true;
    }
    uint64_t frames = 0;
    uint64_t octets = 0;
};

void Put32(std::ofstream& out, uint32_t value) {
    out.write(reinterpret_cast<const char*>(&value), 4);
}

// UDP datagrams over IPv4 of sizes from 64 to 1514 bytes.
std::string WriteCapture() {
    std::string path = (std::filesystem::temp_directory_path() / "vq-bench-ring.pcap").string();
    std::ofstream out(path, std::ios::binary);
    for (uint32_t word : {0xA1B2C3D4u, 0x00040002u, 0u, 0u, 65535u, 1u})
        Put32(out, word);
    std::vector<uint8_t> frame(1514, 0);
    const uint8_t header[] = {0,    1,    2, 3, 4,  5, 0, 1,    2,    3,    4,    6,   0x08,
                              0x00, 0x45, 0, 0, 0,  0, 0, 0x40, 0,    64,   17,   0,   0,
                              10,   0,    0, 1, 10, 0, 0, 2,    0x13, 0x88, 0x00, 0x35};
    std::copy(std::begin(header), std::end(header), frame.begin());
    for (int i = 0; i < kFrames; ++i) {
        uint32_t size = 64 + uint32_t(i * 97) % 1451;
        frame[16] = uint8_t((size - 14) >> 8);
        frame[17] = uint8_t(size - 14);
        Put32(out, uint32_t(i / 1000));
        Put32(out, uint32_t(i % 1000) * 1000);
        Put32(out, size);
        Put32(out, size);
        out.write(reinterpret_cast<const char*>(frame.data()), size);
    }
    return path;
}

void BM_ReplayThroughReceiveRing(benchmark::State& state) {
    static const std::string path = WriteCapture();
    SetMachineAdapterList(std::vector<std::string>{"\\Device\\replay:" + path});
    uint64_t frames = 0;
    for (auto _ : state) {
        QuietReports reports;
        CountingSink sink;
        AdapterSet set(48, reports, &sink);
        std::vector<Event*> events(set.GetEvents().begin(), set.GetEvents().end());
        set.Start({});
        while (sink.frames < kFrames) {
            auto result = MessageQueue::Current().Wait(events, 2000);
            if (result.kind != WaitResult::Kind::Event) break;
            set.ServiceSlot(int32_t(result.index));
        }
        frames += sink.frames;
    }
    state.SetItemsProcessed(int64_t(frames));
    SetMachineAdapterList(std::nullopt);
}
BENCHMARK(BM_ReplayThroughReceiveRing)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
