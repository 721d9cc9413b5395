#include "capture/ProtocolTable.h"

#include <deque>
#include <mutex>

namespace vq {

namespace {

// Flags bit 8 marks exactly the rows that name a default row.
constexpr ProtocolRow kProtocolRows[] = {
    {6, 1, "Ethernet", 0, 0, 200, 1, 0},
    {6, 2, "Token Ring", 0, 2, 200, 1, 0},
    {6, 3, "ARCnet", 0, 3, 200, 1, 0},
    {5, 0x0600, "IDP (Interdependent Datagram Protocol)", 0, 16, 0, 0, 0},
    {5, 0x0800, "IP (Internet Protocol)", 0, 17, 0, 1, 0},
    {5, 0x0805, "X.25", 0, 18, 0, 0, 0},
    {5, 0x0BAD, "Banyan VINES", 0, 20, 0, 256, 146},
    {5, 0x0BAE, "Banyan VINES", 0, 22, 0, 256, 146},
    {5, 0x0BAF, "Banyan VINES", 0, 23, 0, 256, 146},
    {5, 0x6004, "LAT (DEC Local Area Transport)", 0, 24, 0, 0, 0},
    {5, 0x0806, "ARP (Address Resolution Protocol)", 0, 25, 0, 1, 0},
    {5, 0x8137, "IPX (Novell Internet Packet eXchange)", 0, 21, 0, 257, 147},
    {5, 0x8138, "IPX (Novell Internet Packet eXchange)", 0, 26, 0, 257, 147},
    {5, 0x86DD, "IPv6 (Internet Protocol version 6)", 0, 27, 0, 0, 0},
    {5, 0x9000, "Loopback", 0, 28, 0, 0, 0},
    {5, 0xFF18, "NetBIOS data", 0, 29, 0, 1, 0},
    {5, 0x809B, "AT (AppleTalk)", 0, 30, 0, 0, 0},
    {5, 0x80F3, "AT-ARP (AppleTalk Address Resolution Protocol)", 0, 31, 0, 0, 0},
    {4, 1, "ICMP (Internet Control Message Protocol)", 1, 0, 4, 1, 0},
    {4, 2, "IGMP (Internet Gateway Message Protocol)", 1, 1, 4, 0, 0},
    {4, 3, "GGP (Gateway-to-Gateway Protocol)", 1, 2, 4, 0, 0},
    {4, 6, "TCP (Transport Control Protocol)", 1, 3, 4, 1, 0},
    {4, 8, "EGP (Exterior Gateway Protocol)", 1, 4, 4, 0, 0},
    {4, 17, "UDP (User Datagram Protocol)", 1, 5, 4, 1, 0},
    {4, 41, "IPv6 (Internet Protocol version 6)", 1, 6, 4, 0, 0},
    {4, 43, "IPv6 Routing", 1, 7, 13, 0, 0},
    {4, 44, "IPv6 Fragment", 1, 8, 13, 0, 0},
    {4, 51, "IPv6 Authorization", 1, 9, 13, 0, 0},
    {4, 255, "(other Transport layer protocols)", 1, 10, 13, 256, 152},
    {4, 83, "Banyan VINES", 1, 11, 146, 0, 0},
    {4, 255, "(other Transport layer protocols)", 1, 12, 146, 256, 152},
    {4, 277, "SPX (Novell Sequenced Packet eXchange)", 1, 13, 147, 1, 0},
    {4, 255, "(other Transport layer protocols)", 1, 14, 147, 257, 152},
    {4, 258, "ARP Reply", 1, 17, 10, 1, 0},
    {3, 7, "Echo", 2, 0, 21, 0, 0},
    {3, 5, "RJE (Remote Job Entry)", 2, 2, 21, 0, 0},
    {3, 9, "Discard", 2, 4, 21, 0, 0},
    {3, 11, "SYSTAT (Uptime)", 2, 6, 21, 0, 0},
    {3, 13, "Daytime", 2, 8, 21, 0, 0},
    {3, 17, "QOTD (quote-of-the-day)", 2, 10, 21, 0, 0},
    {3, 19, "CHARGEN (character generator)", 2, 12, 21, 0, 0},
    {3, 21, "FTP (File Transfer Protocol)", 2, 14, 21, 256, 148},
    {3, 20, "FTP (File Transfer Protocol) data channel", 2, 16, 21, 256, 149},
    {3, 23, "TELNET", 2, 18, 21, 1, 0},
    {3, 25, "SMTP (Simple Mail Transport Protocol)", 2, 20, 21, 1, 0},
    {3, 37, "TIME (time-of-day)", 2, 22, 21, 0, 0},
    {3, 43, "WHOIS", 2, 24, 21, 0, 0},
    {3, 53, "DNS (Domain Name Service)", 2, 26, 21, 1, 0},
    {3, 67, "BOOTP/DHCP (server)", 2, 28, 21, 0, 0},
    {3, 68, "BOOTP/DHCP (client)", 2, 30, 21, 0, 0},
    {3, 69, "TFTP (Trivial File Transfer Protocol)", 3, 0, 21, 1, 0},
    {3, 70, "Gopher", 3, 2, 21, 1, 0},
    {3, 79, "Finger", 3, 4, 21, 1, 0},
    {3, 80, "HTTP (HyperText Transfer Protocol)", 3, 6, 21, 1, 0},
    {3, 109, "POP2 (Post Office Protocol v2)", 3, 8, 21, 0, 0},
    {3, 110, "POP3 (Post Office Protocol v3)", 3, 10, 21, 1, 0},
    {3, 111, "RPC (Sun Remote Procedure Call)", 3, 12, 21, 0, 0},
    {3, 119, "NNTP (Network News Transfer Protocol)", 3, 14, 21, 1, 0},
    {3, 123, "NTP (Network Time Protocol)", 3, 16, 21, 0, 0},
    {3, 143, "IMAP2 (Interim Message Access Protocol v2)", 3, 18, 21, 1, 0},
    {3, 161, "SNMP (Simple Network Management Protocol)", 3, 20, 21, 0, 0},
    {3, 162, "SNMP Trap", 3, 22, 21, 0, 0},
    {3, 179, "BGP (Border Gateway Protocol)", 3, 24, 21, 0, 0},
    {3, 194, "IRC (Internet Relay Chat)", 3, 26, 21, 1, 0},
    {3, 512, "REXEC (Unix Remote Process Execution)", 3, 28, 21, 0, 0},
    {3, 513, "RLOGIN (Unix Remote Login)", 3, 29, 21, 0, 0},
    {3, 514, "RCMD (Unix Remote Command)", 3, 30, 21, 0, 0},
    {3, 512, "BIFF (Unix mail notification)", 3, 31, 23, 0, 0},
    {3, 513, "WHO (Unix who)", 4, 0, 23, 0, 0},
    {3, 514, "SYSLOG (Unix system logging)", 4, 1, 23, 0, 0},
    {3, 201, "AT-RTMP (AppleTalk Routing Maintenance Protocol)", 4, 2, 21, 0, 0},
    {3, 202, "AT-NBP (AppleTalk)", 4, 4, 21, 0, 0},
    {3, 204, "AT-ECHO (AppleTalk Echo)", 4, 6, 21, 0, 0},
    {3, 206, "AT-ZIS (AppleTalk Zone Information Service)", 4, 8, 21, 0, 0},
    {3, 213, "IPX (Novell Internet Packet eXchange)", 4, 10, 21, 1, 0},
    {3, 220, "IMAP (Internet Mail Access Protocol)", 4, 12, 21, 1, 0},
    {3, 515, "LPR (Unix print spooler)", 4, 14, 21, 0, 0},
    {3, 517, "TALK", 4, 16, 21, 0, 0},
    {3, 525, "TIMED (time service) ", 4, 18, 21, 0, 0},
    {3, 533, "NETWALL (network broadcast)", 4, 20, 21, 0, 0},
    {3, 0xE1FF, "NetBIOS", 4, 22, 15, 0, 0},
    {2, 1, "NFS (Network File System)", 5, 0, 56, 0, 0},
    {2, 0, "(other Presentation layer protocols)", 5, 1, 56, 256, 154},
    {2, 2, "SMB (NetBIOS Server Message Block)", 5, 4, 80, 0, 0},
    {2, 0, "(other Presentation layer protocols)", 5, 5, 80, 256, 154},
    {6, 4, "FDDI", 0, 4, 200, 1, 0},
    {6, 5, "unknown WAN", 0, 5, 200, 1, 0},
    {6, 6, "HDLC", 0, 6, 200, 1, 0},
    {6, 7, "SDLC", 0, 7, 200, 1, 0},
    {6, 8, "LAPB", 0, 8, 200, 1, 0},
    {6, 9, "LAPD", 0, 9, 200, 1, 0},
    {6, 10, "Frame Relay", 0, 10, 200, 1, 0},
    {6, 11, "PPP (Point-to-Point Protocol)", 0, 11, 200, 1, 0},
    {6, 12, "SLIP (Serial Line IP)", 0, 12, 200, 1, 0},
    {6, 0, "(other Data Link layer protocols)", 0, 1, 200, 257, 150},
    {4, 257, "ARP Request", 1, 16, 10, 1, 0},
    {4, 259, "ARP Reverse Request", 1, 18, 10, 1, 0},
    {4, 260, "ARP Reverse Reply", 1, 19, 10, 1, 0},
    {4, 261, "ARP Dynamic Reverse Request", 1, 20, 10, 1, 0},
    {4, 262, "ARP Dynamic Reverse Reply", 1, 21, 10, 1, 0},
    {4, 263, "ARP Dynamic Reverse Error", 1, 22, 10, 1, 0},
    {4, 264, "ARP Inverse Request", 1, 23, 10, 1, 0},
    {4, 265, "ARP Inverse Reply", 1, 24, 10, 1, 0},
    {4, 266, "ARP Negative Acknowledge", 1, 25, 10, 1, 0},
    {4, 272, "IPX Unknown", 1, 26, 147, 1, 0},
    {4, 273, "IPX Routing Information", 1, 27, 147, 1, 0},
    {4, 274, "IPX Echo", 1, 28, 147, 1, 0},
    {4, 275, "IPX Error", 1, 29, 147, 1, 0},
    {4, 276, "IPX PEP (Packet Exchange Protocol)", 1, 30, 147, 1, 0},
    {4, 277, "IPX SPX (Sequenced Packet eXchange)", 1, 31, 147, 1, 0},
    {4, 288, "IPX Experimental", 4, 23, 147, 1, 0},
    {4, 289, "IPX NCP (Netware Core Protocol)", 4, 24, 147, 1, 0},
    {4, 292, "IPX encapsulated NetBIOS data", 4, 25, 147, 1, 0},
    {4, 336, "NetBEUI", 4, 26, 15, 1, 0},
    {4, 255, "(other Transport layer protocols)", 1, 15, 4, 257, 152},
    {3, 137, "IP encapsulated NetBIOS NMP (Name Management Protocol)", 4, 27, 21, 1, 0},
    {3, 138, "IP encapsulated NetBIOS UDP (User Datagram Protocol)", 4, 29, 21, 1, 0},
    {3, 139, "IP encapsulated NetBIOS SMP (Session Management Protocol)", 5, 26, 23, 1, 0},
    {3, 518, "NTALK (new talk)", 5, 27, 21, 1, 0},
    {3, 0xE000, "ICMP Echo Reply", 5, 29, 18, 1, 0},
    {3, 0xE003, "ICMP Destination Unreachable", 5, 30, 18, 1, 0},
    {3, 0xE004, "ICMP Source Quench", 5, 31, 18, 1, 0},
    {3, 0xE005, "ICMP Redirect", 5, 6, 18, 1, 0},
    {3, 0xE006, "ICMP Alternate Host Address", 5, 7, 18, 1, 0},
    {3, 0xE008, "ICMP Echo", 5, 8, 18, 1, 0},
    {3, 0xE009, "ICMP Router Advertisement", 5, 9, 18, 1, 0},
    {3, 0xE00A, "ICMP Router Selection", 5, 10, 18, 1, 0},
    {3, 0xE00B, "ICMP Time Exceeded", 5, 11, 18, 1, 0},
    {3, 0xE00C, "ICMP Parameter Problem", 5, 12, 18, 1, 0},
    {3, 0xE00D, "ICMP Timestamp", 5, 13, 18, 1, 0},
    {3, 0xE00E, "ICMP Timestamp Reply", 5, 14, 18, 1, 0},
    {3, 0xE00F, "ICMP Information Request", 5, 15, 18, 1, 0},
    {3, 0xE010, "ICMP Information Reply", 5, 16, 18, 1, 0},
    {3, 0xE011, "ICMP Address Mask Request", 5, 17, 18, 1, 0},
    {3, 0xE012, "ICMP Address Mask Reply", 5, 18, 18, 1, 0},
    {3, 0xE01E, "ICMP Trace Route", 5, 19, 18, 1, 0},
    {3, 0xE01F, "ICMP Datagram Conversion Error", 5, 20, 18, 1, 0},
    {3, 0xE020, "ICMP Mobile Host Redirect", 5, 21, 18, 1, 0},
    {3, 0xE021, "ICMP IPv6 Where-Are-You", 5, 22, 18, 1, 0},
    {3, 0xE022, "ICMP IPv6 I-Am-Here", 5, 23, 18, 1, 0},
    {3, 0xE023, "ICMP Mobile Registration Request", 5, 24, 18, 1, 0},
    {3, 0xE024, "ICMP Mobile Registration Reply", 5, 25, 18, 1, 0},
    {5, 0xFF19, "NetBIOS control", 5, 26, 0, 1, 0},
    {5, 0, "(other Network layer protocols)", 6, 0, 0, 256, 151},
    {3, 0, "(other Session layer protocols)", 6, 1, 4, 256, 153},
    {1, 0, "(other Application layer protocols)", 6, 2, 4, 256, 155},
    {5, 0x0BAD, "Banyan VINES", 6, 3, 0, 0, 0},
    {5, 0x8137, "IPX (Novell Internet Packet eXchange)", 6, 4, 0, 1, 0},
    {3, 21, "FTP (File Transfer Protocol)", 6, 5, 21, 1, 0},
    {3, 20, "FTP (File Transfer Protocol) data channel", 6, 6, 21, 1, 0},
    {6, 0, "(other Data Link layer protocols)", 6, 7, 200, 1, 0},
    {5, 0, "(other Network layer protocols)", 6, 8, 150, 1, 0},
    {4, 255, "(other Transport layer protocols)", 6, 9, 151, 1, 0},
    {3, 0, "(other Session layer protocols)", 6, 10, 152, 1, 0},
    {2, 0, "(other Presentation layer protocols)", 6, 11, 153, 1, 0},
    {1, 0, "(other Application layer protocols)", 6, 12, 154, 1, 0},
    {6, 13, "PPP (Point-to-Point Protocol)", 6, 13, 200, 1, 0},
    {6, 14, "IrDA (infrared port)", 6, 14, 200, 1, 0},
    {2, 256, "DNS QUERY", 6, 15, 47, 1, 0},
    {2, 257, "DNS IQUERY", 6, 16, 47, 1, 0},
    {2, 258, "DNS STATUS", 6, 17, 47, 1, 0},
    {2, 272, "DNS unknown opcode", 6, 18, 47, 1, 0},
    {4, 336, "NetBIOS unknown", 6, 19, 15, 1, 0},
    {4, 337, "NetBIOS NMP (Name Management Protocol)", 6, 20, 15, 1, 0},
    {4, 338, "NetBIOS UDP (User Datagram Protocol)", 6, 21, 15, 1, 0},
    {4, 339, "NetBIOS DMP (Diagnostic and Monitoring Protocol)", 6, 22, 15, 1, 0},
    {4, 340, "NetBIOS SMP (Session Management Protocol)", 6, 23, 15, 1, 0},
    {3, 0xE1FF, "NetBIOS unknown", 6, 24, 162, 1, 0},
    {3, 0xE100, "NetBIOS NMP ADD_GROUP_NAME_QUERY", 6, 25, 163, 1, 0},
    {3, 0xE101, "NetBIOS NMP ADD_NAME_QUERY", 6, 26, 163, 1, 0},
    {3, 0xE10D, "NetBIOS NMP ADD_NAME_RESPONSE", 6, 27, 163, 1, 0},
    {3, 0xE102, "NetBIOS NMP NAME_IN_CONFLICT", 6, 28, 163, 1, 0},
    {3, 0xE108, "NetBIOS UDP DATAGRAM", 6, 29, 164, 1, 0},
    {3, 0xE109, "NetBIOS UDP DATAGRAM_BROADCAST", 6, 30, 164, 1, 0},
    {3, 0xE103, "NetBIOS DMP STATUS_QUERY", 6, 31, 165, 1, 0},
    {3, 0xE10F, "NetBIOS DMP STATUS_RESPONSE", 7, 0, 165, 1, 0},
    {3, 0xE107, "NetBIOS DMP TERMINATE_TRACE", 7, 1, 165, 1, 0},
    {3, 0xE113, "NetBIOS DMP TERMINATE_TRACE", 7, 2, 165, 1, 0},
    {3, 0xE10A, "NetBIOS SMP NAME_QUERY", 7, 3, 166, 1, 0},
    {3, 0xE10E, "NetBIOS SMP NAME_RECOGNIZED", 7, 4, 166, 1, 0},
    {3, 0xE11F, "NetBIOS SMP SESSION_ALIVE", 7, 5, 166, 1, 0},
    {3, 0xE117, "NetBIOS SMP SESSION_CONFIRM", 7, 6, 166, 1, 0},
    {3, 0xE118, "NetBIOS SMP SESSION_END", 7, 7, 166, 1, 0},
    {3, 0xE119, "NetBIOS SMP SESSION_INITIALIZE", 7, 8, 166, 1, 0},
    {3, 0xE114, "NetBIOS SMP DATA_ACK", 7, 9, 166, 1, 0},
    {3, 0xE115, "NetBIOS SMP DATA_FIRST_MIDDLE", 7, 10, 166, 1, 0},
    {3, 0xE116, "NetBIOS SMP DATA_ONLY_LAST", 7, 11, 166, 1, 0},
    {3, 0xE11A, "NetBIOS SMP NO_RECEIVE", 7, 12, 166, 1, 0},
    {3, 0xE11B, "NetBIOS SMP RECEIVE_OUTSTANDING", 7, 13, 166, 1, 0},
    {3, 0xE11C, "NetBIOS SMP RECEIVE_CONTINUE", 7, 14, 166, 1, 0},
    {3, 396, "IP encapsulated IPX (Novell Internet Packet eXchange)", 7, 15, 21, 1, 0},
    {3, 443, "HTTPS (secure HyperText Transfer Protocol)", 7, 16, 21, 1, 0},
    {3, 7070, "RealServer (RealAudio/RealVideo)", 7, 17, 21, 1, 0},
    {3, 554, "RealServer RTSP (Real Time Stream Control Protocol)", 7, 18, 21, 1, 0},
    {3, 135, "DCOM (RPC End Point Mapping for Distributed COM)", 7, 19, 21, 1, 0},
    {3, 1755, "Windows Media Player", 7, 20, 21, 1, 0},
    {3, 389, "LDAP (Lightweight Directory Access Protocol", 7, 21, 21, 1, 0},
    {3, 1433, "SQL Server", 7, 22, 21, 1, 0},
};

static_assert(std::size(kProtocolRows) == 198);

struct AuxiliaryRow {
    int32_t layer;
    int32_t number;
    std::string text;
    int32_t defaultRow;
};

// Auxiliary rows are only ever appended, and a deque never moves the rows it holds, so a row
// found under the lock stays valid; texts still leave as copies.
struct AuxiliaryRows {
    std::mutex mutex;
    std::deque<AuxiliaryRow> rows;
};

AuxiliaryRows& Auxiliary() {
    static AuxiliaryRows auxiliary;
    return auxiliary;
}

// The identifier that stands for "unknown" in a layer's identifier space.
int32_t UnknownNumber(int32_t layer) {
    return layer == 4 ? 255 : 0;
}

} // namespace

std::span<const ProtocolRow> ProtocolRows() {
    return kProtocolRows;
}

int32_t LookupProtocol(int32_t number, int32_t layer, int32_t& defaultRow) {
    int32_t unknown = UnknownNumber(layer);
    int32_t fallback = -1;
    for (int32_t index = 0; index < int32_t(std::size(kProtocolRows)); ++index) {
        const ProtocolRow& row = kProtocolRows[index];
        if (row.layer != layer) continue;
        if (row.number == number) {
            defaultRow = row.defaultRow;
            return index;
        }
        if (fallback < 0 && row.number == unknown) fallback = row.defaultRow ? row.defaultRow : index;
    }
    AuxiliaryRows& auxiliary = Auxiliary();
    std::lock_guard lock(auxiliary.mutex);
    for (size_t j = 0; j < auxiliary.rows.size(); ++j) {
        const AuxiliaryRow& row = auxiliary.rows[j];
        if (row.layer == layer && row.number == number) {
            defaultRow = row.defaultRow;
            return kFirstAuxiliaryRow + int32_t(j);
        }
    }
    auxiliary.rows.push_back({layer, number, "(protocol " + std::to_string(number) + ")", fallback});
    defaultRow = fallback;
    return kFirstAuxiliaryRow + int32_t(auxiliary.rows.size() - 1);
}

std::string GetProtocolName(int32_t row) {
    if (row >= 0 && row < int32_t(std::size(kProtocolRows))) return kProtocolRows[row].name;
    if (row < kFirstAuxiliaryRow) return {};
    AuxiliaryRows& auxiliary = Auxiliary();
    std::lock_guard lock(auxiliary.mutex);
    size_t j = size_t(row - kFirstAuxiliaryRow);
    return j < auxiliary.rows.size() ? auxiliary.rows[j].text : std::string();
}

int32_t BuildProtocolIndexMaps(std::map<int32_t, int32_t>& byParentAndNumber,
                               std::map<int32_t, int32_t>& byTreePosition) {
    for (int32_t index = 0; index < int32_t(std::size(kProtocolRows)); ++index) {
        const ProtocolRow& row = kProtocolRows[index];
        byParentAndNumber[(row.parent << 16) + row.number] = index;
        byTreePosition[ProtocolTreeKey(row.group, row.item)] = index;
    }
    return int32_t(std::size(kProtocolRows));
}

void ResetAuxiliaryProtocols() {
    AuxiliaryRows& auxiliary = Auxiliary();
    std::lock_guard lock(auxiliary.mutex);
    auxiliary.rows.clear();
}

} // namespace vq
