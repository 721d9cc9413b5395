#include "capture/decode/SessionPacket.h"

#include "capture/Packet.h"
#include "capture/decode/DecoderTable.h"
#include "capture/decode/ProtocolNames.h"
#include "capture/decode/TransportPacket.h"

namespace vq {

namespace {

constexpr ProtocolNameRow kSessionNames[] = {
    {0, 0, "unknown", "???"},
    {5, 5, "Remote Job Entry", "RJE"},
    {7, 7, "Echo", "ECHO"},
    {9, 9, "Discard", "DISCARD"},
    {11, 11, "System Status", "SYSTAT"},
    {13, 13, "Time Of Day", "DAYTIME"},
    {17, 17, "Quote-of-the-Day", "QOTD"},
    {19, 19, "Character Generator", "CHARGEN"},
    {20, 20, "File Transfer Protocol (data)", "FTPdata"},
    {21, 21, "File Transfer Protocol (control)", "FTP"},
    {23, 23, "Telnet", "TELNET"},
    {25, 25, "Simple Mail Transfer Protocol", "SMTP"},
    {37, 37, "Time", "TIME"},
    {43, 43, "Whois", "WHOIS"},
    {53, 53, "Domain Name Service", "DNS"},
    {67, 67, "Bootstrap Server", "BOOTPS"},
    {68, 68, "Bootstrap Client", "BOOTPC"},
    {69, 69, "Trivial File Transfer Protocol", "TFTP"},
    {70, 70, "Gopher", "GOPHER"},
    {79, 79, "Finger", "FINGER"},
    {80, 80, "Hypertext Transfer Protocol", "HTTP"},
    {109, 109, "Post Office Protocol v2", "POP2"},
    {110, 110, "Post Office Protocol v3", "POP3"},
    {111, 111, "Sun Remote Procedure Call", "SunRPC"},
    {119, 119, "Network News Transfer Protocol", "NNTP"},
    {123, 123, "Network Time Protocol", "NTP"},
    {137, 137, "NetBIOS Name Service", "NBns"},
    {138, 138, "NetBIOS Datagram Service", "NBdgm"},
    {139, 139, "NetBIOS Session Service", "NBssn"},
    {143, 143, "Internet Mail Access Protocol version 2", "IMAPv2"},
    {161, 161, "Simple Network Management Protocol", "SNMP"},
    {162, 162, "Simple Network Management Protocol (trap)", "SNMPtrap"},
    {179, 179, "Border Gateway Protocol", "BGP"},
    {194, 194, "Internet Relay Chat", "IRC"},
    {201, 201, "AppleTalk Routing Maintenance", "AT-RTMP"},
    {202, 202, "AppleTalk Name Binding", "AT-NBP"},
    {204, 204, "AppleTalk Echo", "AT-ECHO"},
    {206, 206, "AppleTalk Zone Information", "AT-ZIS"},
    {213, 213, "Novell IPX", "IPX"},
    {220, 220, "Interactive Mail Access Protocol v3", "IMAPv3"},
    {515, 515, "Printer (Unix)", "PRINTER"},
    {517, 517, "Talk", "TALK"},
    {518, 518, "New Talk", "NTALK"},
    {525, 525, "Time Daemon", "TIMED"},
    {533, 533, "Emergency Broadcast", "WALL"},
    {0xE000, 0xE000, "Echo Reply", "reply"},
    {0xE003, 0xE003, "Destination Unreachable", "unreach"},
    {0xE004, 0xE004, "Source Quench", "quench"},
    {0xE005, 0xE005, "Redirect", "redir"},
    {0xE006, 0xE006, "Alternate Host Address", "alt"},
    {0xE008, 0xE008, "Echo", "echo"},
    {0xE009, 0xE009, "Router Advertisement", "rtradv"},
    {0xE00A, 0xE00A, "Router Selection", "rtrsel"},
    {0xE00B, 0xE00B, "Time Exceeded", "timeout"},
    {0xE00C, 0xE00C, "Parameter Problem", "pprob"},
    {0xE00D, 0xE00D, "Timestamp", "time"},
    {0xE00E, 0xE00E, "Timestamp Reply", "timerep"},
    {0xE00F, 0xE00F, "Information Request", "infreq"},
    {0xE010, 0xE010, "Information Reply", "infrep"},
    {0xE011, 0xE011, "Address Mask Request", "maskreq"},
    {0xE012, 0xE012, "Address Mask Reply", "maskrep"},
    {0xE01E, 0xE01E, "Traceroute", "tracert"},
    {0xE01F, 0xE01F, "Datagram Conversion Error", "dgconverr"},
    {0xE020, 0xE020, "Mobile Host Redirect", "mobred"},
    {0xE021, 0xE021, "IPv6 Where-Are-You", "where-are-you"},
    {0xE022, 0xE022, "IPv6 I-Am-Here", "i-am-here"},
    {0xE023, 0xE023, "Mobile Registration Request", "mobreq"},
    {0xE024, 0xE024, "Mobile Registration Reply", "mobrep"},
    {0xE1FF, 0xE1FF, "NetBIOS", "NB"},
};

// Ports 512 to 514 mean different services over TCP and over UDP.
constexpr ProtocolNameRow kTcpSessionNames[] = {
    {512, 512, "Remote Execution (Unix)", "REXEC"},
    {513, 513, "Remote Login (Unix)", "RLOGIN"},
    {514, 514, "Remote Command (Unix)", "RCMD"},
};
constexpr ProtocolNameRow kUdpSessionNames[] = {
    {512, 512, "Mail Notification (Unix)", "BIFF"},
    {513, 513, "Who Is On (Unix)", "WHO"},
    {514, 514, "System Log (Unix)", "SYSLOG"},
};

using SessionFactory = SessionPacket& (*)(Packet&, uint16_t, const GenericPacket&, SessionPacket::Slot&);

template <typename T>
SessionPacket& Make(Packet& packet, uint16_t protocol, const GenericPacket& lower, SessionPacket::Slot& slot) {
    return slot.Emplace<T>(packet, protocol, lower);
}

constexpr DecoderTable<SessionFactory, 1> kSessionDecoders({{
                                                               {53, Make<SessionPacket_DNS>},
                                                           }},
                                                           Make<SessionPacket_Unknown>);

constexpr LengthLimits kDnsLimits{12, 16, 0, 0, 12, 65535, 0, 65523, 0, 65523};
constexpr size_t kDnsHeader = 12;
constexpr size_t kDnsTcpPrefix = 2;

} // namespace

SessionPacket& SessionPacket::Create(Packet& packet, const TransportPacket& lower, Slot& slot) {
    uint16_t protocol = lower.HasNextLayer() ? lower.GetNextProtocol() : 0;
    return kSessionDecoders.Find(protocol)(packet, protocol, lower, slot);
}

std::string SessionPacket::GetName(bool verbose) const {
    uint16_t protocol = GetProtocol();
    if (protocol >= 512 && protocol <= 514) {
        if (GetParentProtocol() == TransportTcp)
            return LookupProtocolName(kTcpSessionNames, protocol, verbose, "SESSION");
        if (GetParentProtocol() == TransportUdp)
            return LookupProtocolName(kUdpSessionNames, protocol, verbose, "SESSION");
    }
    return LookupProtocolName(kSessionNames, protocol, verbose, "SESSION");
}

SessionPacket_DNS::SessionPacket_DNS(Packet& packet, uint16_t protocol, const GenericPacket& lower)
    : SessionPacket(packet, protocol, lower),
      prefix_(lower.GetProtocol() == TransportTcp ? kDnsTcpPrefix : 0) {
    size_t header = prefix_ + kDnsHeader;
    SetHeaderLength(int32_t(header));
    // The header must lie within the unit the transport states, not merely within the capture.
    bool captured = Bytes().has(0, header);
    bool stated = size_t(GetTotalLength()) >= header;
    if (captured && stated) {
        hasHeader_ = true;
        return;
    }
    // A unit too small to hold a header (a bare acknowledgement) is simply not a message; the
    // header is cut only when the message was on the wire but not all captured.
    const Packet& frame = GetPacket();
    if (!captured && (stated || frame.GetOriginalLength() > frame.GetLength())) MarkCut();
}

uint16_t SessionPacket_DNS::Field(size_t at) const {
    return Bytes().be16(prefix_ + at).value_or(0);
}
uint16_t SessionPacket_DNS::Flags() const {
    return Field(2);
}
uint16_t SessionPacket_DNS::GetIdentification() const {
    return Field(0);
}
uint16_t SessionPacket_DNS::GetQuestionCount() const {
    return Field(4);
}
uint16_t SessionPacket_DNS::GetAnswerCount() const {
    return Field(6);
}
uint16_t SessionPacket_DNS::GetAuthorityCount() const {
    return Field(8);
}
uint16_t SessionPacket_DNS::GetAdditionalCount() const {
    return Field(10);
}
const LengthLimits& SessionPacket_DNS::Limits() const {
    return kDnsLimits;
}

} // namespace vq
