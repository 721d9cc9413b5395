// Prints what the decoders make of every frame of a capture file, one line per frame with
// tab-separated columns: frame number, EtherType (Ethernet II only), IP protocol, fragment offset
// in 8-byte units, IP source, IP destination, ARP operation, ARP sender and target address, IPX packet
// type, TCP destination port, SYN, FIN, RST, UDP destination port, ICMP type, DNS operation code,
// NetBIOS command, LLC DSAP, SSAP and control (unnumbered frames only), SNAP OUI and protocol id,
// the six layer identifiers, and the captured length, original length and time
// (microseconds since 1970) as the file reader handed them over. Empty cells: the decoder has no
// such field.
// With --capture, the frames also go to a snoop file through the capture-file writer, in
// fixed-length records when a record length is given.
// Frames arrive through a replay adapter and the receive ring, as the monitor gets them.
// Usage: vq_decode_dump <capture file> [--capture <snoop file> [<record length> <maximum size>]]

#include "capture/Adapter.h"
#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "capture/Packet.h"
#include "capture/PacketDump.h"
#include "capture/RecvChannel.h"
#include "capture/decode/ApplicationPacket.h"
#include "capture/decode/DataLinkPacket.h"
#include "capture/decode/NetworkPacket.h"
#include "capture/decode/PresentationPacket.h"
#include "capture/decode/SessionPacket.h"
#include "capture/decode/TransportPacket.h"
#include "platform/packet/DeviceName.h"
#include "platform/registry/Registry.h"
#include "platform/thread/Event.h"
#include "platform/thread/MessageQueue.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vq;

struct DumpSettings : CaptureSettings {
    std::string GetCaptureFile(const std::string&) const override { return path; }
    bool GetFixedLength() const override { return recordLength != 0; }
    uint32_t GetMaximumSize() const override { return maximum; }
    uint32_t GetRecordLength() const override { return recordLength; }
    std::string path;
    uint32_t recordLength = 0;
    uint32_t maximum = 0;
};

std::string Number(uint64_t value) {
    return std::to_string(value);
}

std::vector<std::string> Columns(const Packet& packet) {
    std::vector<std::string> cells(17);
    auto ethernet = dynamic_cast<const DataLinkPacket_Ethernet*>(packet.GetDataLink());
    if (ethernet && ethernet->GetFrameType() == DataLinkPacket_Ethernet::FrameEthernetII)
        cells[0] = Number(ethernet->GetLengthType());
    const NetworkPacket* network = packet.GetNetwork();
    if (auto ip = dynamic_cast<const NetworkPacket_IP*>(network); ip && ip->HasAddresses()) {
        cells[1] = Number(ip->GetIpProtocol());
        cells[2] = Number(ip->GetFragmentOffset());
        cells[3] = ip->GetSourceText();
        cells[4] = ip->GetDestinationText();
    }
    if (auto arp = dynamic_cast<const NetworkPacket_ARP*>(network); arp && !arp->IsCut()) {
        cells[5] = Number(arp->GetOperation());
        if (arp->HasAddresses()) {
            cells[6] = arp->GetSourceText();
            cells[7] = arp->GetDestinationText();
        }
    }
    if (auto ipx = dynamic_cast<const NetworkPacket_IPX*>(network); ipx && !ipx->IsCut())
        cells[8] = Number(ipx->GetPacketType());
    const TransportPacket* transport = packet.GetTransport();
    if (auto tcp = dynamic_cast<const TransportPacket_TCP*>(transport); tcp && !tcp->IsCut()) {
        cells[9] = Number(tcp->GetDestinationPort());
        cells[10] = Number(tcp->IsSyn());
        cells[11] = Number(tcp->IsFin());
        cells[12] = Number(tcp->IsRst());
    }
    if (auto udp = dynamic_cast<const TransportPacket_UDP*>(transport); udp && !udp->IsCut())
        cells[13] = Number(udp->GetDestinationPort());
    if (auto icmp = dynamic_cast<const TransportPacket_ICMP*>(transport); icmp && !icmp->IsCut())
        cells[14] = Number(icmp->GetType());
    if (auto dns = dynamic_cast<const SessionPacket_DNS*>(packet.GetSession()); dns && dns->HasNextLayer())
        cells[15] = Number(dns->GetOperationCode());
    if (auto netbeui = dynamic_cast<const NetworkPacket_NetBEUI*>(network); netbeui && !netbeui->IsCut())
        cells[16] = Number(netbeui->GetCommand());
    cells.resize(22);
    if (const uint8_t* llc = ethernet ? ethernet->GetLlcHeader() : nullptr) {
        cells[17] = Number(llc[0]);
        cells[18] = Number(llc[1]);
        if ((llc[2] & 0x03) == 0x03) cells[19] = Number(llc[2]);
    }
    if (const uint8_t* snap = ethernet ? ethernet->GetSnapHeader() : nullptr) {
        cells[20] = Number(uint32_t(snap[0]) << 16 | uint32_t(snap[1]) << 8 | snap[2]);
        cells[21] = Number(uint32_t(snap[3]) << 8 | snap[4]);
    }
    for (int32_t kind = LayerDataLink; kind <= LayerApplication; ++kind)
        cells.push_back(Number(packet.GetLayer(kind)->GetProtocol()));
    constexpr uint64_t unixEpochTicks = 116'444'736'000'000'000ull;
    uint64_t ticks = packet.GetTime().GetTicks();
    cells.push_back(Number(packet.GetLength()));
    cells.push_back(Number(packet.GetOriginalLength()));
    cells.push_back(Number(ticks > unixEpochTicks ? (ticks - unixEpochTicks) / 10 : 0));
    return cells;
}

// Prints each frame as the ring hands it over and writes it to the snoop file when one is asked for.
class DumpSink : public PacketSink {
public:
    explicit DumpSink(const DumpSettings& settings) : settings_(settings) {}

    bool Open(const CaptureChannel& channel) {
        dump_ = std::make_unique<PacketDump>(channel, settings_);
        return settings_.path.empty() || dump_->Open();
    }
    void Close() { dump_->Close(); }

    bool AddPacket(Packet& packet) override {
        packet.Decode();
        dump_->Write(packet);
        std::string line = Number(++number_);
        for (const auto& cell : Columns(packet))
            line += "\t" + cell;
        std::puts(line.c_str());
        return true;
    }

private:
    const DumpSettings& settings_;
    std::unique_ptr<PacketDump> dump_;
    uint64_t number_ = 0;
};

class StderrReports : public CaptureReports {
public:
    void Report(int severity, const std::string& text, const char* className,
                const char* methodName) override {
        if (severity >= 4) std::fprintf(stderr, "%s::%s: %s\n", className, methodName, text.c_str());
    }
    void Announce(std::unique_ptr<AdapterInfoSet>, int) override {}
};

// Services the slots until the file is delivered whole and no buffer has completed for a while.
void ServiceUntilFinished(AdapterSet& set) {
    std::vector<Event*> events;
    std::vector<int32_t> slots;
    for (size_t slot = 0; slot < set.GetEvents().size(); ++slot)
        if (Event* event = set.GetEvents()[slot]) {
            events.push_back(event);
            slots.push_back(int32_t(slot));
        }
    for (;;) {
        const WaitResult result = MessageQueue::Current().Wait(events, 100);
        if (result.kind == WaitResult::Kind::Event)
            set.ServiceSlot(slots[result.index]);
        else if (set.IsReplayFinished())
            return;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4 && argc != 6) {
        std::fprintf(stderr,
                     "usage: %s <capture file> [--capture <snoop file> [<record length> <maximum size>]]\n",
                     argv[0]);
        return 2;
    }
    DumpSettings settings;
    if (argc >= 4) settings.path = argv[3];
    if (argc == 6) {
        settings.recordLength = uint32_t(std::stoul(argv[4]));
        settings.maximum = uint32_t(std::stoul(argv[5]));
    }
    // The frames come the way the monitor gets them: a replay adapter, its reader thread and the
    // receive ring, serviced slot by slot.
    SetMachineAdapterList(std::vector<std::string>{std::string(DeviceName::kPrefix) +
                                                   std::string(DeviceName::kReplayPrefix) + argv[1] +
                                                   "?speed=1000000000"});
    StderrReports reports;
    DumpSink sink(settings);
    AdapterSet set(48, reports, &sink);
    if (set.GetSize() != 1 || !set.Start({})) {
        std::fprintf(stderr, "%s: cannot replay\n", argv[1]);
        return 1;
    }
    if (!sink.Open(*set.GetAdapter(0)->GetChannel())) {
        std::fprintf(stderr, "%s: cannot create\n", settings.path.c_str());
        return 1;
    }
    ServiceUntilFinished(set);
    set.Stop({});
    sink.Close();
    SetMachineAdapterList(std::nullopt);
    return 0;
}
