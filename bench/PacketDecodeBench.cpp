// Decode-only throughput: frames per second through Packet::Decode on one core, in memory, over a
// mix like a busy office LAN (mostly TCP and UDP over IPv4, with DNS, ARP, ICMP and some LLC).

#include "capture/Packet.h"
#include "capture/PacketAdapter.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

using Frame = std::vector<uint8_t>;

class BenchAdapter : public vq::PacketAdapter {
public:
    int32_t GetMedium() const override { return 0; }
    bool IsOwnAddress(std::span<const uint8_t, 6> mac, bool) const override { return mac[5] == 0x01; }
    bool IsOwnIpAddress(uint32_t address, bool) const override { return address == 0x0A000001; }
    bool HasIpAddress() const override { return true; }
    void LearnIpAddress(const std::string&) override {}
};

void Put16(Frame& f, size_t at, uint16_t v) {
    f[at] = uint8_t(v >> 8);
    f[at + 1] = uint8_t(v);
}

Frame EthernetHeader(uint16_t type, uint8_t host, bool broadcast = false) {
    Frame f(14);
    for (int i = 0; i < 6; ++i)
        f[i] = broadcast ? 0xFF : uint8_t(0x02 + i);
    f[5] = broadcast ? 0xFF : 0x01;
    for (int i = 6; i < 12; ++i)
        f[i] = uint8_t(0x10 + i);
    f[11] = host;
    Put16(f, 12, type);
    return f;
}

Frame Ip(uint8_t protocol, uint8_t host, size_t payload) {
    Frame f = EthernetHeader(0x0800, host);
    f.resize(34 + payload);
    f[14] = 0x45;
    Put16(f, 16, uint16_t(20 + payload));
    f[22] = 64;
    f[23] = protocol;
    uint8_t source[] = {10, 0, 1, host}, destination[] = {10, 0, 0, 1};
    std::copy(source, source + 4, f.begin() + 26);
    std::copy(destination, destination + 4, f.begin() + 30);
    return f;
}

Frame Tcp(uint8_t host, uint16_t port, uint8_t flags, size_t data) {
    Frame f = Ip(6, host, 20 + data);
    Put16(f, 34, uint16_t(40000 + host));
    Put16(f, 36, port);
    f[46] = 0x50;
    f[47] = flags;
    return f;
}

Frame Udp(uint8_t host, uint16_t port, size_t data) {
    Frame f = Ip(17, host, 8 + data);
    Put16(f, 34, uint16_t(50000 + host));
    Put16(f, 36, port);
    Put16(f, 38, uint16_t(8 + data));
    if (port == 53 && data >= 12) f[44] = 0x01;
    return f;
}

std::vector<Frame> Mix() {
    std::vector<Frame> frames;
    for (int i = 0; i < 55; ++i) {
        const uint16_t ports[] = {443, 80, 445, 3389, 22};
        frames.push_back(Tcp(uint8_t(i), ports[i % 5], i % 11 == 0 ? 0x02 : 0x18, i % 3 == 0 ? 0 : 1200));
    }
    for (int i = 0; i < 15; ++i)
        frames.push_back(Udp(uint8_t(i), i % 3 ? 123 : 137, 48 + 20 * i));
    for (int i = 0; i < 10; ++i)
        frames.push_back(Udp(uint8_t(i), 53, 40));
    for (int i = 0; i < 8; ++i) {
        Frame f = EthernetHeader(0x0806, uint8_t(i), true);
        f.resize(60);
        Put16(f, 14, 1), Put16(f, 16, 0x0800), f[18] = 6, f[19] = 4, Put16(f, 20, 1);
        frames.push_back(f);
    }
    for (int i = 0; i < 6; ++i) {
        Frame f = Ip(1, uint8_t(i), 64);
        f[34] = 8;
        frames.push_back(f);
    }
    for (int i = 0; i < 6; ++i) {
        Frame f = EthernetHeader(38, uint8_t(i));
        f.resize(60);
        f[14] = 0x42, f[15] = 0x42, f[16] = 0x03;
        frames.push_back(f);
    }
    return frames;
}

void BM_PacketDecode(benchmark::State& state) {
    const std::vector<Frame> frames = Mix();
    BenchAdapter adapter;
    size_t next = 0;
    for (auto _ : state) {
        const Frame& frame = frames[next];
        next = next + 1 == frames.size() ? 0 : next + 1;
        vq::Packet packet(frame.data(), uint32_t(frame.size()), adapter, 0, vq::Timestamp(), 1);
        packet.Decode();
        benchmark::DoNotOptimize(packet.GetDestinationKind());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PacketDecode);

} // namespace

BENCHMARK_MAIN();
