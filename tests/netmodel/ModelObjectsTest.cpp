#include "ModelFixtures.h"
#include "netmodel/HostAddress.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/InterfaceTable.h"
#include "netmodel/ReferenceSessionMap.h"
#include "netmodel/Tuple.h"
#include "platform/core/Format.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using namespace test;

struct Addresses {
    MacAddress mac{"00:a0:c9:12:34:56", true};
    MacAddress otherMac{"00:a0:c9:00:00:01", true};
    IpAddress ip{"10.0.0.7", true};
    IpAddress network{"10.0.0.0", true};
    IpAddress otherIp{"10.0.0.8", true};

    // Owned here, as a table owns them, so that the hosts share rather than adopt them.
    Addresses() {
        for (SafeObject* address :
             std::initializer_list<SafeObject*>{&mac, &otherMac, &ip, &network, &otherIp})
            address->SetOwner(this);
    }
};

TEST(HostAddressTest, EqualityLooksOnlyAtSharedFamilies) {
    Addresses a;
    HostAddress empty, otherEmpty;
    HostAddress macOnly(a.mac, HostAddress::AUTH, false);
    HostAddress full(a.mac, HostAddress::AUTH, false);
    full.SetIp(a.ip, HostAddress::AUTH);
    HostAddress ipOnly(a.ip, HostAddress::AUTH, false);
    HostAddress networkOnly(a.network, HostAddress::AUTH, false);
    HostAddress otherIpOnly(a.otherIp, HostAddress::AUTH, false);
    HostAddress otherMacOnly(a.otherMac, HostAddress::AUTH, false);
    struct Case {
        const char* name;
        const HostAddress& left;
        const HostAddress& right;
        int expected;
    };
    const Case cases[] = {
        {"empty with empty", empty, otherEmpty, 0},
        {"empty with a MAC", empty, macOnly, -1},
        {"a MAC with empty", macOnly, empty, 1},
        {"MAC only with MAC and IP", macOnly, full, 0},
        {"IP only with MAC and IP", ipOnly, full, 0},
        {"no family in common", ipOnly, macOnly, 1},
        {"network address as wildcard", networkOnly, full, 0},
        {"different IP", otherIpOnly, full, -1},
        {"different MAC", otherMacOnly, macOnly, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.left.Compare(c.right), c.expected);
    }
}

TEST(HostAddressTest, CopiesFollowTheirMode) {
    Addresses a;
    HostAddress host(a.mac, HostAddress::AUTH, false);
    host.SetIp(a.ip, HostAddress::PROV);
    HostAddress shallow(host, ShallowCopy), deep(host, DeepCopy), states(host, NullCopy);
    EXPECT_EQ(&shallow.GetIp(), &a.ip);
    EXPECT_NE(&deep.GetIp(), &a.ip);
    EXPECT_EQ(deep.GetIp().GetText(), "10.0.0.7");
    EXPECT_EQ(states.GetValidVector(), 0);
    EXPECT_EQ(states.GetIpState(), HostAddress::PROV);
    EXPECT_EQ(host.GetText(false), "MAC=00:a0:c9:12:34:56 (AUTH), IP=10.0.0.7 (PROV)");
    EXPECT_STREQ(HostAddress::StateName(7), "state?");
}

TEST(HostAddressTest, MemberDumpShowsAddressTextsAndStatesByName) {
    Addresses a;
    HostAddress host(a.mac, HostAddress::INITSRC, false);
    host.SetMacState(HostAddress::AUTH);
    host.SetIp(a.ip, HostAddress::PROV);
    EXPECT_EQ(host.DescribeMembers(0, 0, false),
              "\n[class HostAddress members]\nm_ValidVector=<3>\nm_MAC=<00:a0:c9:12:34:56>\nm_IP=<10.0.0.7>\n"
              "m_IPX=<00000000,000000000000>\nm_MacState=<AUTH>\nm_IpState=<PROV>\nm_IpxState=<UNKNOWN>\n"
              "m_PreviousMacState=<INITSRC>\nm_PreviousIpState=<UNKNOWN>\nm_PreviousIpxState=<UNKNOWN>");
    EXPECT_EQ(host.DescribeColumns(12, false),
              "valid MAC               IP              IPX                   "
              "MACst     IPst      IPXst     MACprev   IPprev    IPXprev");
    EXPECT_EQ(host.DescribeMembers(1 | 12, 0, false),
              "3     00:a0:c9:12:34:56 10.0.0.7        00000000,000000000000 "
              "AUTH      PROV      UNKNOWN   INITSRC   UNKNOWN   UNKNOWN");
    // The address line names the host itself, as the table and pool dumps do, not the part of it
    // that describes it.
    const std::string address =
        Format("[addr $%lx]", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&host)));
    EXPECT_EQ(host.DescribeBody(48 | 1 | 4, 1).substr(0, 5 + address.size()), "\n    " + address);
}

TEST(InterfaceTest, TableFindsAppendsAndReplaces) {
    InterfaceTable table;
    for (int16_t i = 0; i < 3; ++i)
        table.SetAt(new InterfaceInfo(i));
    InterfaceInfo* second = table.GetAt(1);
    EXPECT_EQ(table.FindOrAdd(1), second);
    EXPECT_EQ(table.GetCount(), 3);
    InterfaceInfo* added = table.FindOrAdd(9);
    EXPECT_EQ(table.GetCount(), 4);
    EXPECT_EQ(table.FindOrAdd(9), added);

    InterfaceTable two;
    two.SetAt(new InterfaceInfo(0));
    two.SetAt(new InterfaceInfo(1));
    auto* seventh = new InterfaceInfo(7);
    two.SetAt(seventh);
    EXPECT_EQ(two.IndexOf(seventh), 2);
    // The object already in its slot stays alive.
    InterfaceInfo* first = two.GetAt(0);
    two.SetAt(first);
    EXPECT_EQ(two.GetAt(0)->GetText(), "ifnum=0 ifname=NULL ifhost=LOCAL");
    EXPECT_FALSE(two.Remove(second));
    EXPECT_TRUE(two.Remove(seventh));
    EXPECT_EQ(two.Dump(), "InterfaceTable (size 2)\n\nitem\tifnum\tifhost\t\tifname\n"
                          "0\tifnum=0 ifname=NULL ifhost=LOCAL\n1\tifnum=1 ifname=NULL ifhost=LOCAL\n\n");
}

TEST(TupleTest, TextsShowWhatTheTupleCarries) {
    Addresses a;
    HostAddress source(a.mac, HostAddress::AUTH, false);
    source.SetOwner(&a);
    Tuple::Fields fields{};
    fields[FieldInterface] = 1;
    fields[FieldDataLink] = 1;
    fields[FieldTransport] = 17;
    fields[FieldReferenceSession] = 53;
    Tuple full(&source, &HostAddress::Invalid(), fields, 1);
    Tuple session(uint16_t(0), KEY_SessionProtocol);
    Tuple reference(uint16_t(0), KEY_ReferenceSession);
    auto wildcard = Tuple::MakeWildcard(KEY_Interface);
    Tuple onHost(source, KEY_Destination, DeepCopy);
    struct Case {
        const Tuple& tuple;
        const char* text;
    };
    const Case cases[] = {
        {full, "key=KEY_NONE src=MAC=00:a0:c9:12:34:56 (AUTH) if=1 data=1 tran=17 ref_sess=53"},
        {session, "key=KEY_SessionProtocol sess=*"},
        {reference, "key=KEY_ReferenceSession ref_sess=?"},
        {*wildcard, "key=KEY_Interface if=*"},
        {onHost, "key=KEY_Destination dst=MAC=00:a0:c9:12:34:56 (AUTH)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.tuple.GetText(false), c.text);
    EXPECT_STREQ(Tuple::KeyName(3), "KEY_???");
    EXPECT_EQ(full.GetValidKeys(), KEY_Source | KEY_Interface | KEY_DataLinkProtocol | KEY_TransportProtocol |
                                       KEY_ReferenceSession);
}

TEST(TupleTest, MemberDumpNestsTheHostsAndPrintsTheFieldsAsNumbers) {
    Addresses a;
    HostAddress source(a.mac, HostAddress::AUTH, false);
    source.SetOwner(&a);
    Tuple::Fields fields{};
    fields[FieldInterface] = 1;
    fields[FieldTransport] = 17;
    fields[FieldReferenceSession] = 53;
    const Tuple full(&source, &HostAddress::Invalid(), fields, 1);
    EXPECT_EQ(
        full.DescribeMembers(1 | 8, 0, false),
        "KEY_NONE,"
        "1,00:a0:c9:12:34:56,0.0.0.0,00000000,000000000000,AUTH,UNKNOWN,UNKNOWN,UNKNOWN,UNKNOWN,UNKNOWN,"
        "0,00:00:00:00:00:00,0.0.0.0,00000000,000000000000,UNKNOWN,UNKNOWN,UNKNOWN,UNKNOWN,UNKNOWN,UNKNOWN,"
        "1,0,0,17,0,0,0,53,$(nil)");
    const std::string sourceAddress =
        Format("[addr $%lx]", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&source)));
    const std::string named = "Tuple\n\n[class Tuple members]\nm_Key=<KEY_NONE>\nSource=<\n    " +
                              sourceAddress + "\n    [class HostAddress members]\n    m_ValidVector=<1>\n";
    EXPECT_EQ(full.DescribeObject(0, 0).substr(0, named.size()), named);

    // A copy without hosts leaves both sides empty; no interface prints as its number.
    const Tuple selection(uint16_t(0), KEY_SessionProtocol);
    const Tuple hostless(selection, NullCopy, 0);
    EXPECT_EQ(hostless.DescribeMembers(1 | 4, 0, false),
              "KEY_SessionProtocol NULL NULL 65535 0 0 0 0 0 0 0 $(nil)");
    EXPECT_EQ(hostless.DescribeColumns(12, false), "Key          Srce                Dest                If  "
                                                   " DLnk Netw Tran Sess Pres Appl RefS Actions");
}

TEST(TupleTest, MatchesComparesTheMaskedFields) {
    Addresses a;
    HostAddress one(a.mac, HostAddress::AUTH, false), twin(a.mac, HostAddress::PROV, false);
    HostAddress other(a.otherMac, HostAddress::AUTH, false);
    for (HostAddress* host : {&one, &twin, &other})
        host->SetOwner(&a);
    Tuple::Fields fields{};
    fields[FieldTransport] = 6;
    Tuple base(&one, &other, fields, 0);
    Tuple sameByAddress(&twin, &other, fields, 0);
    fields[FieldTransport] = 17;
    Tuple udp(&one, &other, fields, 0);
    Tuple noHosts(base, NullCopy, 0);
    struct Case {
        const Tuple& other;
        int32_t mask;
        bool matches;
    };
    const Case cases[] = {
        {sameByAddress, -1, true},
        {udp, -1, false},
        {udp, KEY_Source, true},
        {udp, KEY_TransportProtocol, false},
        {noHosts, KEY_Source | KEY_Destination, true},
        {udp, KEY_Source | KEY_Interface, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(base.Matches(c.other, c.mask), c.matches);
    }
}

TEST(TupleTest, ReverseSwapsHostsAndSides) {
    Addresses a;
    HostAddress host(a.mac, HostAddress::AUTH, false);
    host.SetOwner(&a);
    Tuple selection(host, KEY_Destination);
    EXPECT_TRUE(selection.Reverse(true));
    EXPECT_EQ(selection.GetKey(), KEY_Source);
    EXPECT_EQ(selection.GetSource(), &host);
    Tuple field(uint16_t(6), KEY_TransportProtocol);
    EXPECT_FALSE(field.Reverse(true));
    EXPECT_TRUE(field.Reverse(false));
}

TEST(ReferenceSessionTest, EndpointsInheritTheServicePort) {
    struct Step {
        const char* from;
        uint16_t fromPort;
        const char* to;
        uint16_t toPort;
        uint16_t expected;
    };
    const Step steps[] = {
        {"10.0.0.2", 40000, "10.0.0.1", 80, 80},    // the service port
        {"10.0.0.1", 80, "10.0.0.2", 40000, 80},    // the reply
        {"10.0.0.3", 50000, "10.0.0.4", 50001, 17}, // two unknown ports: the transport's id
        {"10.0.0.4", 50001, "10.0.0.3", 50000, 17},
        {"10.0.0.5", 53, "10.0.0.6", 80, 17},       // two well-known ports store nothing
        {"10.0.0.9", 40000, "10.0.0.2", 40000, 80}, // a known destination overwrites the source
    };
    ReferenceSessionMap map;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.from);
        const auto frame =
            IpFrame("00:00:00:00:00:01", step.from, "00:00:00:00:00:02", step.to, step.fromPort, step.toPort);
        EXPECT_EQ(map.Compute(frame), step.expected);
    }
    EXPECT_FALSE(map.Lookup(HostOrder(IpOf("10.0.0.5")), 53).has_value());
    EXPECT_EQ(map.Lookup(HostOrder(IpOf("10.0.0.9")), 40000), 80);
    EXPECT_EQ(map.Compute(MacFrame("00:00:00:00:00:01", "00:00:00:00:00:02")), 0);
}

TEST(ReferenceSessionTest, EntriesLeaveWithTheTupleThatStoredThem) {
    ReferenceSessionMap map;
    Tuple first(uint8_t(0)), second(uint8_t(0));
    map.Compute(IpFrame("00:00:00:00:00:01", "10.0.0.2", "00:00:00:00:00:02", "10.0.0.1", 40000, 80));
    map.Tie(&first);
    map.Compute(IpFrame("00:00:00:00:00:01", "10.0.0.3", "00:00:00:00:00:02", "10.0.0.1", 40001, 80));
    map.Tie(&second);
    ASSERT_EQ(map.GetCount(), 3u);
    map.Untie(&first);
    EXPECT_FALSE(map.Lookup(HostOrder(IpOf("10.0.0.2")), 40000).has_value());
    EXPECT_EQ(map.Lookup(HostOrder(IpOf("10.0.0.3")), 40001), 80);
    EXPECT_EQ(map.GetCount(), 1u);
}

TEST(ReferenceSessionTest, ATupleThatStoredManyEndpointsTakesThemAllAlong) {
    ReferenceSessionMap map;
    Tuple busy(uint8_t(0)), other(uint8_t(0));
    // Clients of one server: the first frame stores both ends, each later one its client alone.
    const char* clients[] = {"10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5", "10.0.0.6"};
    uint16_t port = 40000;
    for (const char* client : clients) {
        map.Compute(IpFrame("00:00:00:00:00:01", client, "00:00:00:00:00:02", "10.0.0.1", port++, 80));
        map.Tie(&busy);
    }
    map.Compute(IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", "10.0.0.1", port, 80));
    map.Tie(&other);
    ASSERT_EQ(map.GetCount(), 7u);
    map.Untie(&busy);
    EXPECT_EQ(map.GetCount(), 1u);
    EXPECT_FALSE(map.Lookup(HostOrder(IpOf("10.0.0.1")), 80).has_value());
    EXPECT_FALSE(map.Lookup(HostOrder(IpOf("10.0.0.6")), 40004).has_value());
    EXPECT_EQ(map.Lookup(HostOrder(IpOf("10.0.0.7")), port), 80);
    map.Untie(&busy);
    map.Untie(&other);
    EXPECT_EQ(map.GetCount(), 0u);
}

} // namespace
} // namespace vq
