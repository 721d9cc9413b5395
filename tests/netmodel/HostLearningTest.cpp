#include "ModelFixtures.h"
#include "netmodel/Environment.h"
#include "netmodel/HostTable.h"
#include "netmodel/IntegrityText.h"
#include "runtime/EngineGlobals.h"

#include <gtest/gtest.h>
#include <random>

namespace vq {

class HostTableTestAccess {
public:
    static HostIndexElementMAC* MacElement(HostTable& table, const char* mac) {
        return table.m_MacIndex.Find(MacAddress(mac, false).GetTableKey());
    }
    static HostIndexElementNetwork* IpElement(HostTable& table, const char* ip) {
        return table.m_IpIndex.Find(IpAddress(ip, false).GetTableKey());
    }
    static std::vector<HostAddress*>& Hosts(HostTable& table) { return table.m_Hosts; }
};

namespace {

using namespace test;
using Access = HostTableTestAccess;

constexpr const char* SourceMac = "00:a0:c9:12:34:56";
constexpr const char* PeerMac = "00:a0:c9:00:00:01";

class HostLearningTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
    RecordingAnnouncements announcements;
    Environment model{0, {&announcements, nullptr, nullptr}};
    HostTable& hosts = model.GetHostTable();

    std::pair<HostAddress*, HostAddress*> Learn(const FrameView& frame) {
        HostAddress* source = hosts.LearnSource(frame);
        HostAddress* destination = hosts.LearnDestination(frame);
        EXPECT_TRUE(hosts.CheckIntegrity(true)) << IntegrityText();
        return {source, destination};
    }
};

TEST_F(HostLearningTest, SourceIsAuthoritativeAndAnnouncedOnceDestinationProvisionalAndSilent) {
    const auto frame = IpFrame(SourceMac, "10.0.0.7", PeerMac, "10.0.0.1");
    auto [source, destination] = Learn(frame);
    EXPECT_EQ(source->GetMacState(), HostAddress::AUTH);
    EXPECT_EQ(source->GetIpState(), HostAddress::AUTH);
    EXPECT_EQ(destination->GetMacState(), HostAddress::PROV);
    EXPECT_EQ(destination->GetIpState(), HostAddress::PROV);
    ASSERT_EQ(announcements.received.size(), 1u);
    const Announcement& announced = announcements.received[0];
    EXPECT_EQ(announced.bits, 15u);
    EXPECT_EQ(announced.host->GetText(false), "MAC=00:a0:c9:12:34:56 (AUTH), IP=10.0.0.7 (AUTH)");
    // A deep copy: the main thread never touches the model's address objects.
    EXPECT_NE(&announced.host->GetMac(), &source->GetMac());
    EXPECT_NE(&announced.host->GetIp(), &source->GetIp());
    EXPECT_EQ(source->GetChangedTime(), source->GetCreatedTime());

    auto again = Learn(frame);
    EXPECT_EQ(again.first, source);
    EXPECT_EQ(again.second, destination);
    EXPECT_EQ(announcements.received.size(), 1u);
    EXPECT_EQ(hosts.GetCount(), 2);
}

TEST_F(HostLearningTest, OneMacWithTwoSourceAddressesGivesTwoHostsAndKeepsTheFirstAsPrimary) {
    HostAddress* first = Learn(IpFrame(SourceMac, "10.0.0.7", PeerMac, "10.0.0.1")).first;
    HostAddress* second = Learn(IpFrame(SourceMac, "10.0.0.8", PeerMac, "10.0.0.1")).first;
    EXPECT_NE(first, second);
    EXPECT_EQ(hosts.GetCount(), 3);
    ASSERT_EQ(announcements.received.size(), 2u);
    EXPECT_EQ(announcements.received[1].bits, 15u);
    const HostIndexElementMAC* element = Access::MacElement(hosts, SourceMac);
    ASSERT_NE(element, nullptr);
    ASSERT_NE(element->GetPrimary(), nullptr);
    EXPECT_EQ(*element->GetPrimary(), HostAddressList{first});
    EXPECT_EQ(element->GetIpMap()->size(), 2u);
}

TEST_F(HostLearningTest, BroadcastDestinationIsFiledByIpOnly) {
    auto [source, destination] = Learn(IpFrame(SourceMac, "10.0.0.7", "ff:ff:ff:ff:ff:ff", "10.0.0.255"));
    const HostIndexElementMAC* element = Access::MacElement(hosts, "ff:ff:ff:ff:ff:ff");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetPrimary(), nullptr);
    ASSERT_NE(element->GetIpMap(), nullptr);
    EXPECT_EQ(element->GetIpMap()->begin()->second, HostAddressList{destination});
    EXPECT_EQ(destination->GetKind(), 2);
}

TEST_F(HostLearningTest, ArpLearnsAddressesOtherEtherTypesOnlyMacs) {
    auto arp = IpFrame(SourceMac, "10.0.0.7", PeerMac, "10.0.0.1");
    arp.etherType = 0x0806;
    EXPECT_TRUE(Learn(arp).first->HasIp());

    auto [source, destination] = Learn(MacFrame("00:10:00:00:00:01", "00:10:00:00:00:02", 0x80d5));
    EXPECT_EQ(source->GetValidVector(), HostAddress::MacValid);
    EXPECT_EQ(destination->GetValidVector(), HostAddress::MacValid);
    EXPECT_EQ(source->GetMacState(), HostAddress::AUTH);
}

TEST_F(HostLearningTest, DhcpClientWithoutAddressIsMacOnly) {
    auto [source, destination] = Learn(IpFrame(SourceMac, "0.0.0.0", "ff:ff:ff:ff:ff:ff", "255.255.255.255"));
    EXPECT_EQ(source->GetValidVector(), HostAddress::MacValid);
    EXPECT_EQ(model.GetIpTable().Find(IpOf("0.0.0.0").data()), nullptr);
    EXPECT_EQ(Access::IpElement(hosts, "0.0.0.0"), nullptr);
    // The address it gets later is adopted by the same host.
    HostAddress* later = Learn(IpFrame(SourceMac, "10.0.0.7", PeerMac, "10.0.0.1")).first;
    EXPECT_EQ(later, source);
    EXPECT_TRUE(source->HasIp());
}

TEST_F(HostLearningTest, DestinationSeenLaterAsSourceBecomesAuthoritative) {
    HostAddress* peer = Learn(IpFrame(SourceMac, "10.0.0.7", PeerMac, "10.0.0.1")).second;
    ASSERT_EQ(peer->GetIpState(), HostAddress::PROV);
    const size_t before = announcements.received.size();

    EXPECT_EQ(Learn(IpFrame(PeerMac, "10.0.0.1", SourceMac, "10.0.0.7")).first, peer);
    EXPECT_EQ(peer->GetMacState(), HostAddress::AUTH);
    EXPECT_EQ(peer->GetIpState(), HostAddress::AUTH);
    ASSERT_EQ(announcements.received.size(), before + 1);
    EXPECT_EQ(announcements.received.back().bits, 15u);
    const HostIndexElementNetwork* element = Access::IpElement(hosts, "10.0.0.1");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetList(HostIndexElementNetwork::Prov), nullptr);
    EXPECT_EQ(*element->GetList(HostIndexElementNetwork::Auth), HostAddressList{peer});
}

// A repeated frame is answered without learning again only while the table stays as it was.
TEST_F(HostLearningTest, RepeatedFrameFollowsTheTableWhenItChanges) {
    const auto frame = IpFrame(SourceMac, "10.0.0.7", PeerMac, "10.0.0.1");
    Learn(frame);
    HostAddress* peer = Learn(frame).second;
    ASSERT_EQ(Learn(frame).second, peer);

    // Taken out and gone: the next frame files a new host instead of answering the old one.
    ASSERT_TRUE(hosts.Remove(peer));
    delete peer;
    HostAddress* fresh = Learn(frame).second;
    EXPECT_EQ(hosts.GetHosts().back(), fresh);
    EXPECT_EQ(fresh->GetIpState(), HostAddress::PROV);
    EXPECT_EQ(hosts.GetCount(), 2);

    // Promoted by a frame the other way: the repeated frame sees the promoted host.
    Learn(IpFrame(PeerMac, "10.0.0.1", SourceMac, "10.0.0.7"));
    HostAddress* again = Learn(frame).second;
    EXPECT_EQ(again, fresh);
    EXPECT_EQ(again->GetIpState(), HostAddress::AUTH);
}

TEST_F(HostLearningTest, ImportedMisroutedHostStaysSilentAndInItsList) {
    auto imported = std::make_unique<HostAddress>(*model.FindOrAddMacAddress(MacOf(PeerMac).data(), false),
                                                  HostAddress::AUTH, false);
    imported->SetMacState(HostAddress::AUTH);
    imported->SetIp(*model.FindOrAddIpAddress(IpOf("10.0.0.50").data(), false), HostAddress::MISROUTED);
    imported->SetIpState(HostAddress::MISROUTED);
    HostAddress* misrouted = imported.release();
    hosts.Insert(misrouted);
    ASSERT_TRUE(hosts.CheckIntegrity(true)) << IntegrityText();

    EXPECT_EQ(Learn(IpFrame(PeerMac, "10.0.0.50", SourceMac, "10.0.0.7")).first, misrouted);
    EXPECT_EQ(misrouted->GetIpState(), HostAddress::MISROUTED);
    const HostIndexElementNetwork* element = Access::IpElement(hosts, "10.0.0.50");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(*element->GetList(HostIndexElementNetwork::Misrouted), HostAddressList{misrouted});
    for (const Announcement& announced : announcements.received)
        EXPECT_NE(announced.host->GetIp().GetText(), "10.0.0.50");
}

TEST_F(HostLearningTest, IntegrityHoldsAfterManyRandomFrames) {
    std::mt19937 random(7);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    char mac[2][32], ip[2][32];
    for (int i = 0; i < 100000; ++i) {
        for (int side = 0; side < 2; ++side) {
            std::snprintf(mac[side], sizeof mac[side], "00:00:00:00:%02x:%02x", pick(3), pick(40));
            std::snprintf(ip[side], sizeof ip[side], "10.%d.0.%d", pick(2), pick(5) == 0 ? 255 : pick(60));
        }
        FakeFrame frame = IpFrame(mac[0], ip[0], mac[1], ip[1]);
        switch (pick(6)) {
        case 0:
            frame.etherType = 0x0806;
            break;
        case 1:
            frame.etherType = 0x80d5;
            break;
        case 2:
            frame.ip[0] = IpOf("0.0.0.0");
            break;
        default:
            break;
        }
        hosts.LearnSource(frame);
        hosts.LearnDestination(frame);
    }
    EXPECT_TRUE(hosts.CheckIntegrity(true)) << IntegrityText();
    EXPECT_TRUE(model.CheckIntegrity(0, true)) << IntegrityText();
}

TEST_F(HostLearningTest, IntegrityCheckIsSkippedUnlessSwitchedOnOrForced) {
    Access::Hosts(hosts).push_back(nullptr);
    EXPECT_TRUE(hosts.CheckIntegrity(false));
    TheGlobalState().m_IntegrityOptions[0] = 1;
    EXPECT_FALSE(hosts.CheckIntegrity(false));
    EXPECT_EQ(IntegrityText(), "_BAD_ITEM 0");
    Access::Hosts(hosts).pop_back();
}

} // namespace
} // namespace vq
