// Writes a pcap file of generated Ethernet traffic with a realistic mix: Ethernet II and
// 802.3/LLC/SNAP framing; IPv4 TCP, UDP with DNS, ICMP; ARP; IPX/SPX; NetBIOS over LLC; frame
// sizes across every size bucket. The same seed gives the same file.
// Usage: vq_gen_traffic <out.pcap> [--frames N] [--conversations M] [--hosts H] [--seconds S]
//        [--seed X] [--start UNIX-SECONDS]
// The conversations run between H hosts (M / 2 by default).

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
    std::string path;
    uint64_t frames = 1'000'000;
    uint64_t conversations = 10'000;
    uint64_t hosts = 0; // 0: half the conversations
    uint64_t seconds = 900;
    uint64_t seed = 1;
    uint64_t start = 1'700'000'000;
};

enum class Kind { Tcp, Udp, Dns, Icmp, SnapIp, Arp, IpxSpx, NetBios };

struct Conversation {
    Kind kind;
    std::array<uint8_t, 6> macA;
    std::array<uint8_t, 6> macB;
    uint32_t ipA;
    uint32_t ipB;
    uint16_t portA;
    uint16_t portB;
};

using Frame = std::vector<uint8_t>;

void Put16(Frame& frame, uint16_t value) {
    frame.push_back(static_cast<uint8_t>(value >> 8));
    frame.push_back(static_cast<uint8_t>(value));
}

void Put32(Frame& frame, uint32_t value) {
    Put16(frame, static_cast<uint16_t>(value >> 16));
    Put16(frame, static_cast<uint16_t>(value));
}

void PutBytes(Frame& frame, const uint8_t* bytes, std::size_t count) {
    frame.insert(frame.end(), bytes, bytes + count);
}

void PutMacs(Frame& frame, const Conversation& c, bool forward) {
    PutBytes(frame, (forward ? c.macB : c.macA).data(), 6);
    PutBytes(frame, (forward ? c.macA : c.macB).data(), 6);
}

// The 802.3 length word is patched once the frame is complete.
void PutLlc(Frame& frame, uint8_t sap) {
    Put16(frame, 0);
    frame.push_back(sap);
    frame.push_back(sap);
    frame.push_back(0x03);
}

void PutIpv4(Frame& frame, const Conversation& c, bool forward, uint8_t protocol) {
    const uint8_t header[12] = {0x45, 0, 0, 0, 0x12, 0x34, 0x40, 0, 64, protocol, 0, 0};
    PutBytes(frame, header, sizeof header);
    Put32(frame, forward ? c.ipA : c.ipB);
    Put32(frame, forward ? c.ipB : c.ipA);
}

void PutIpx(Frame& frame, const Conversation& c, bool forward) {
    Put16(frame, 0xFFFF);
    Put16(frame, 0); // length, patched
    frame.push_back(0);
    frame.push_back(5); // SPX
    const auto address = [&](uint32_t network, const std::array<uint8_t, 6>& node, uint16_t socket) {
        Put32(frame, network);
        PutBytes(frame, node.data(), 6);
        Put16(frame, socket);
    };
    address(forward ? c.ipB : c.ipA, forward ? c.macB : c.macA, forward ? c.portB : c.portA);
    address(forward ? c.ipA : c.ipB, forward ? c.macA : c.macB, forward ? c.portA : c.portB);
    const uint8_t spx[12] = {0x80, 0, 0x12, 0x34, 0x56, 0x78, 0, 1, 0, 1, 0, 4};
    PutBytes(frame, spx, sizeof spx);
}

void PutNetBios(Frame& frame, uint32_t serial) {
    const std::size_t start = frame.size();
    Put16(frame, 0); // header length, little-endian, patched
    frame.push_back(0xFF);
    frame.push_back(0xEF);
    frame.push_back(0x0A); // name query
    frame.push_back(0);
    Put16(frame, 0);
    Put16(frame, static_cast<uint16_t>(serial));
    Put16(frame, 0);
    char names[33];
    std::snprintf(names, sizeof names, "HOST%-12uWORKGROUP%-7u", serial % 10000, serial % 100);
    PutBytes(frame, reinterpret_cast<const uint8_t*>(names), 32);
    const auto length = static_cast<uint16_t>(frame.size() - start);
    frame[start] = static_cast<uint8_t>(length);
    frame[start + 1] = static_cast<uint8_t>(length >> 8);
}

void PutArp(Frame& frame, const Conversation& c, bool forward) {
    Put16(frame, 1);
    Put16(frame, 0x0800);
    frame.push_back(6);
    frame.push_back(4);
    Put16(frame, forward ? 1 : 2);
    PutBytes(frame, (forward ? c.macA : c.macB).data(), 6);
    Put32(frame, forward ? c.ipA : c.ipB);
    const std::array<uint8_t, 6> unknown{};
    PutBytes(frame, (forward ? unknown : c.macA).data(), 6);
    Put32(frame, forward ? c.ipB : c.ipA);
}

void PutDns(Frame& frame, bool forward, uint32_t serial) {
    Put16(frame, static_cast<uint16_t>(serial));
    Put16(frame, forward ? 0x0100 : 0x8180);
    Put16(frame, 1);
    Put16(frame, forward ? 0 : 1);
    Put16(frame, 0);
    Put16(frame, 0);
    static const uint8_t question[] = {4,   'h', 'o', 's', 't', 7, 'e', 'x', 'a',
                                       'm', 'p', 'l', 'e', 0,   0, 1,   0,   1};
    PutBytes(frame, question, sizeof question);
    if (!forward) {
        static const uint8_t answer[] = {0xC0, 12, 0, 1, 0, 1, 0, 0, 0x0E, 0x10, 0, 4, 192, 0, 2, 1};
        PutBytes(frame, answer, sizeof answer);
    }
}

uint16_t Checksum(const uint8_t* bytes, std::size_t count) {
    uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < count; i += 2)
        sum += static_cast<uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (count % 2 != 0) sum += static_cast<uint32_t>(bytes[count - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

// Pads the frame to `size` bytes (never below the Ethernet minimum of 60 without FCS) and fills
// in the length fields the headers left open.
void Finish(Frame& frame, std::size_t size, std::size_t ipStart, std::size_t ipxStart, bool llc) {
    frame.resize(std::max({frame.size(), size, std::size_t{60}}), 0);
    if (llc) {
        const auto length = static_cast<uint16_t>(frame.size() - 14);
        frame[12] = static_cast<uint8_t>(length >> 8);
        frame[13] = static_cast<uint8_t>(length);
    }
    if (ipStart != 0) {
        const auto length = static_cast<uint16_t>(frame.size() - ipStart);
        frame[ipStart + 2] = static_cast<uint8_t>(length >> 8);
        frame[ipStart + 3] = static_cast<uint8_t>(length);
        const uint16_t sum = Checksum(&frame[ipStart], 20);
        frame[ipStart + 10] = static_cast<uint8_t>(sum >> 8);
        frame[ipStart + 11] = static_cast<uint8_t>(sum);
        const uint8_t protocol = frame[ipStart + 9];
        if (protocol == 17) {
            const std::size_t udp = ipStart + 20;
            frame[udp + 4] = static_cast<uint8_t>((length - 20) >> 8);
            frame[udp + 5] = static_cast<uint8_t>(length - 20);
        }
    }
    if (ipxStart != 0) {
        const auto length = static_cast<uint16_t>(frame.size() - ipxStart);
        frame[ipxStart + 2] = static_cast<uint8_t>(length >> 8);
        frame[ipxStart + 3] = static_cast<uint8_t>(length);
    }
}

class Generator {
public:
    explicit Generator(const Options& options) : options_(options), random_(options.seed) {}

    std::vector<Conversation> MakeConversations() {
        std::vector<Conversation> list;
        list.reserve(options_.conversations);
        for (uint64_t i = 0; i < options_.conversations; ++i)
            list.push_back(MakeConversation(i));
        return list;
    }

    Frame MakeFrame(const Conversation& c, bool forward, uint32_t serial) {
        Frame frame;
        frame.reserve(1514);
        PutMacs(frame, c, forward);
        std::size_t ipStart = 0;
        std::size_t ipxStart = 0;
        bool llc = false;
        switch (c.kind) {
        case Kind::Tcp:
        case Kind::Udp:
        case Kind::Dns:
        case Kind::Icmp:
            Put16(frame, 0x0800);
            ipStart = frame.size();
            PutTransport(frame, c, forward, serial);
            break;
        case Kind::SnapIp: {
            llc = true;
            Put16(frame, 0);
            const uint8_t snap[8] = {0xAA, 0xAA, 0x03, 0, 0, 0, 0x08, 0x00};
            PutBytes(frame, snap, sizeof snap);
            ipStart = frame.size();
            PutTransport(frame, c, forward, serial);
            break;
        }
        case Kind::Arp:
            Put16(frame, 0x0806);
            PutArp(frame, c, forward);
            break;
        case Kind::IpxSpx:
            llc = true;
            PutLlc(frame, 0xE0);
            ipxStart = frame.size();
            PutIpx(frame, c, forward);
            break;
        case Kind::NetBios:
            llc = true;
            PutLlc(frame, 0xF0);
            PutNetBios(frame, serial);
            break;
        }
        Finish(frame, FrameSize(c.kind), ipStart, ipxStart, llc);
        return frame;
    }

private:
    Conversation MakeConversation(uint64_t index) {
        Conversation c{};
        c.kind = PickKind();
        const auto host = [&](std::array<uint8_t, 6>& mac, uint32_t& ip, uint64_t number) {
            mac = {0x02,
                   0x00,
                   static_cast<uint8_t>(number >> 24),
                   static_cast<uint8_t>(number >> 16),
                   static_cast<uint8_t>(number >> 8),
                   static_cast<uint8_t>(number)};
            ip = 0x0A000000u | static_cast<uint32_t>(number & 0xFFFFFF);
        };
        // Hosts repeat across conversations unless there are as many as conversation ends.
        const uint64_t hosts =
            std::max<uint64_t>(2, options_.hosts ? options_.hosts : options_.conversations / 2);
        host(c.macA, c.ipA, 1 + index % hosts);
        host(c.macB, c.ipB, 1 + (index * 7 + 3 + index / hosts) % hosts);
        if (c.ipA == c.ipB) host(c.macB, c.ipB, hosts + 1 + index);
        c.portA = static_cast<uint16_t>(1024 + random_() % 60000);
        static const uint16_t services[] = {80, 443, 25, 110, 21, 23, 139, 8080};
        c.portB = c.kind == Kind::Dns ? 53 : services[random_() % std::size(services)];
        return c;
    }

    Kind PickKind() {
        const uint32_t roll = random_() % 100;
        if (roll < 60) return Kind::Tcp;
        if (roll < 70) return Kind::Udp;
        if (roll < 78) return Kind::Dns;
        if (roll < 83) return Kind::Icmp;
        if (roll < 86) return Kind::SnapIp;
        if (roll < 91) return Kind::Arp;
        if (roll < 96) return Kind::IpxSpx;
        return Kind::NetBios;
    }

    // Sizes across the buckets 64, 65-127, 128-255, 256-511, 512-1023, 1024-1518 (FCS included).
    std::size_t FrameSize(Kind kind) {
        if (kind == Kind::Arp || kind == Kind::NetBios) return 60;
        static const std::array<std::pair<uint32_t, uint32_t>, 6> buckets{
            {{60, 60}, {61, 123}, {124, 251}, {252, 507}, {508, 1019}, {1020, 1514}}};
        const auto& [low, high] = buckets[random_() % buckets.size()];
        return low + random_() % (high - low + 1);
    }

    void PutTransport(Frame& frame, const Conversation& c, bool forward, uint32_t serial) {
        const uint16_t source = forward ? c.portA : c.portB;
        const uint16_t destination = forward ? c.portB : c.portA;
        switch (c.kind) {
        case Kind::Icmp:
            PutIpv4(frame, c, forward, 1);
            frame.push_back(forward ? 8 : 0);
            frame.push_back(0);
            Put16(frame, 0);
            Put32(frame, serial);
            break;
        case Kind::Udp:
        case Kind::Dns:
            PutIpv4(frame, c, forward, 17);
            Put16(frame, source);
            Put16(frame, destination);
            Put32(frame, 0); // length patched, checksum unused
            if (c.kind == Kind::Dns) PutDns(frame, forward, serial);
            break;
        default:
            PutIpv4(frame, c, forward, 6);
            Put16(frame, source);
            Put16(frame, destination);
            Put32(frame, serial);
            Put32(frame, serial / 2);
            Put16(frame, 0x5010); // header length 5, ACK
            Put16(frame, 65535);
            Put32(frame, 0);
            break;
        }
    }

    const Options& options_;
    std::mt19937_64 random_;
};

bool ParseNumber(std::string_view text, uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 2) return false;
    options.path = argv[1];
    for (int i = 2; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        const std::string_view name = argv[i];
        uint64_t* target = name == "--frames"          ? &options.frames
                           : name == "--conversations" ? &options.conversations
                           : name == "--hosts"         ? &options.hosts
                           : name == "--seconds"       ? &options.seconds
                           : name == "--seed"          ? &options.seed
                           : name == "--start"         ? &options.start
                                                       : nullptr;
        if (target == nullptr || !ParseNumber(argv[i + 1], *target)) return false;
    }
    return options.conversations > 0 && options.frames > 0;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void PutLittle32(std::FILE* file, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: vq_gen_traffic <out.pcap> [--frames N] [--conversations M] [--hosts H] [--seconds S] "
            "[--seed X] [--start UNIX-SECONDS]\n");
        return 2;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(options.path.c_str(), "wb"));
    if (!file) {
        std::fprintf(stderr, "vq_gen_traffic: %s: %s\n", options.path.c_str(), std::strerror(errno));
        return 2;
    }
    const uint32_t header[6] = {0xA1B2C3D4, 0x00040002, 0, 0, 65535, 1};
    for (uint32_t word : header)
        PutLittle32(file.get(), word);

    Generator generator(options);
    const std::vector<Conversation> conversations = generator.MakeConversations();
    std::mt19937_64 order(options.seed ^ 0x9E3779B97F4A7C15ull);
    const uint64_t span = options.seconds * 1'000'000;
    for (uint64_t i = 0; i < options.frames; ++i) {
        // Every conversation gets frames both ways; the rest go to random conversations.
        const uint64_t pick = i < 2 * conversations.size() ? i / 2 : order() % conversations.size();
        const bool forward = i < 2 * conversations.size() ? i % 2 == 0 : order() % 2 == 0;
        const Frame frame = generator.MakeFrame(conversations[pick], forward, static_cast<uint32_t>(i));
        const uint64_t micros = options.start * 1'000'000 + span * i / options.frames;
        PutLittle32(file.get(), static_cast<uint32_t>(micros / 1'000'000));
        PutLittle32(file.get(), static_cast<uint32_t>(micros % 1'000'000));
        PutLittle32(file.get(), static_cast<uint32_t>(frame.size()));
        PutLittle32(file.get(), static_cast<uint32_t>(frame.size()));
        std::fwrite(frame.data(), 1, frame.size(), file.get());
    }
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        std::fprintf(stderr, "vq_gen_traffic: %s: %s\n", options.path.c_str(), std::strerror(errno));
        return 2;
    }
    return 0;
}
