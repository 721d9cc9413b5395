#include "capture/AdapterSet.h"

#include "capture/Adapter.h"
#include "capture/RecvChannel.h"
#include "capture/RegistryNdis.h"
#include "runtime/GlobalState.h"
#include "tests/capture/CaptureTestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace vq {
namespace {

using test::AdapterListScope;
using test::RecordingReports;
using test::RecordingSink;
using test::ReplayName;

std::string OneFramePcap(const test::TempDir& dir) {
    std::string path = dir.File("one.pcap");
    test::WritePcap(path, {{1, 0, test::MakeEthernetFrame(60, 1)}});
    return path;
}

std::string MaskText(int length) {
    uint32_t mask = length == 0 ? 0 : ~0u << (32 - length);
    return std::to_string(mask >> 24) + "." + std::to_string(mask >> 16 & 255) + "." +
           std::to_string(mask >> 8 & 255) + "." + std::to_string(mask & 255);
}

TEST(RegistryNdis2000, HandsOutEveryVisibleInterfaceWithItsAddress) {
    SetMachineAdapterList(std::nullopt);
    unsetenv("VQ_ADAPTERS");
    // "index: name ..." and "index: name inet a.b.c.d/len ..." as iproute2 prints them.
    std::vector<std::string> visible;
    std::map<std::string, std::pair<std::string, std::string>> addresses;
    FILE* pipe = popen("ip -o link show; ip -4 -o addr show", "r");
    ASSERT_TRUE(pipe);
    char line[1024];
    while (fgets(line, sizeof line, pipe)) {
        std::istringstream words(line);
        std::string index, name, kind;
        words >> index >> name >> kind;
        name = name.substr(0, name.find_first_of(":@"));
        if (name.starts_with("vq")) continue; // the live capture tests' veth pairs come and go
        if (kind == "inet") {
            std::string address;
            words >> address;
            if (!addresses.count(name))
                addresses[name] = {address.substr(0, address.find('/')),
                                   MaskText(std::stoi(address.substr(address.find('/') + 1)))};
        } else if (std::string(line).find("link/ether") != std::string::npos && name != "lo") {
            visible.push_back(name);
        }
    }
    pclose(pipe);

    RecordingReports reports;
    RegistryNdis2000 reader(nullptr, reports);
    ASSERT_TRUE(reader.Open());
    std::vector<std::string> handed;
    while (AdapterInfo* info = reader.NextDevice()) {
        if (info->serviceName.starts_with("vq")) continue;
        SCOPED_TRACE(info->serviceName);
        handed.push_back(info->serviceName);
        EXPECT_EQ(info->deviceName, "\\Device\\" + info->serviceName);
        EXPECT_TRUE(info->productName.starts_with(info->serviceName + " ("));
        EXPECT_EQ(info->title, info->productName);
        EXPECT_EQ(info->ipAddressText, addresses[info->serviceName].first);
        EXPECT_EQ(info->ipMaskText, addresses[info->serviceName].second);
        EXPECT_EQ(info->index, -1) << "a fresh record per adapter";
    }
    EXPECT_EQ(handed, visible);
}

TEST(RegistryNdis2000, ReportsWhatIsMissingAndStillHandsTheAdapterOut) {
    SetMachineBranchOverride(MachineBranchOverride{
        {{"first", "", false, {}, {}},
         {"hidden", "hid0", true, {"10.0.0.1"}, {"255.0.0.0"}},
         {"second", "eth7", false, {"10.1.1.1", "10.2.2.2"}, {"255.255.0.0", "255.0.0.0"}}},
        true});
    RecordingReports reports;
    RegistryNdis2000 reader(nullptr, reports);
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.GetFound(), 2) << "the hidden key is left out";
    AdapterInfo* first = reader.NextDevice();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->productName, "first");
    const auto* report = reports.Find("missing ServiceName");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text,
              "missing ServiceName in RegistryNdis2000::NextDevice for adapter ProductName=\"first\", "
              "Title=\"first\", Manufacturer=\"???\"");
    AdapterInfo* second = reader.NextDevice();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->deviceName, "\\Device\\eth7");
    EXPECT_EQ(second->ipAddressText, "10.1.1.1") << "the first of several strings";
    EXPECT_EQ(second->ipMaskText, "255.255.0.0");
    EXPECT_FALSE(reader.NextDevice());
    EXPECT_EQ(reader.NextDevice(), first) << "handing out starts again";
    SetMachineBranchOverride(std::nullopt);
}

TEST(RegistryNdisNT, ReadsTheCardsWithTheirOwnTcpipKey) {
    SetMachineBranchOverride(
        MachineBranchOverride{{{"card", "eth3", false, {"10.1.1.1"}, {"255.0.0.0"}}}, true});
    RecordingReports reports;
    RegistryNdisNT reader(nullptr, reports);
    ASSERT_TRUE(reader.Open());
    AdapterInfo* info = reader.NextDevice();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->deviceName, "\\Device\\eth3");
    EXPECT_EQ(info->ipAddressText, "") << "this branch has no per-service TCP/IP parameters";
    const auto* report = reports.Find("missing Parameters\\Tcpip");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text,
              "missing Parameters\\Tcpip in RegistryNdisNT::NextDevice for adapter ProductName=\"\", "
              "Title=\"\", Manufacturer=\"\"");
    EXPECT_TRUE(reports.Find("RegQueryValueEx:"))
        << "ProductName, Title and Manufacturer are not in this branch";
    SetMachineBranchOverride(std::nullopt);
}

TEST(AdapterSet, OpensAtMost31KeysAndLeavesFailedOnesOut) {
    test::TempDir dir;
    std::string path = OneFramePcap(dir);
    std::vector<std::string> names;
    for (int i = 0; i < 32; ++i)
        names.push_back(ReplayName(path, i < 8 ? "openfail" : "speed=1000000"));
    AdapterListScope scope(names);
    RecordingReports reports;
    AdapterSet set(48, reports);
    EXPECT_EQ(set.GetSize(), 23);
    EXPECT_EQ(reports.Count("W32N_OpenAdapter: 5 "), 8);
    const auto* tooMany = reports.Find("Too many adapters");
    ASSERT_TRUE(tooMany);
    EXPECT_EQ(tooMany->text, "Too many adapters (32); using only the first 31");
    EXPECT_EQ(tooMany->severity, 4);
    EXPECT_EQ(reports.Count("Too many adapters"), 1);
    for (int i = 0; i < set.GetSize(); ++i)
        EXPECT_EQ(set.GetAdapter(i)->GetInfo().index, i);
    ASSERT_EQ(reports.announcements.size(), 1u);
    EXPECT_EQ(reports.announcements[0].first, 1);
    EXPECT_EQ(reports.announcements[0].second->GetSize(), 23);
}

TEST(AdapterSet, NothingToOpenGivesAnEmptySetAnnounced) {
    const struct {
        const char* name;
        MachineBranchOverride branch;
        const char* report;
        int severity;
    } cases[] = {
        {"only hidden keys",
         {{{"lo", "lo", true, {}, {}}, {"ifb0", "ifb0", true, {}, {}}}, true},
         "no adapters discovered",
         3},
        {"no keys", {{}, true}, "could not open registry", 7},
        {"unreadable base key", {{}, false}, "could not open registry", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetMachineBranchOverride(c.branch);
        RecordingReports reports;
        AdapterSet set(48, reports);
        EXPECT_EQ(set.GetSize(), 0);
        const auto* report = reports.Find(c.report);
        ASSERT_TRUE(report);
        EXPECT_EQ(report->severity, c.severity);
        EXPECT_EQ(report->className, "AdapterSet");
        ASSERT_EQ(reports.announcements.size(), 1u);
        EXPECT_EQ(reports.announcements[0].first, 1);
        EXPECT_EQ(reports.announcements[0].second->GetSize(), 0);
    }
    SetMachineBranchOverride(std::nullopt);
}

TEST(AdapterSet, SharesTheEventSlotsByLinkSpeed) {
    test::TempDir dir;
    std::string path = OneFramePcap(dir);
    const struct {
        const char* name;
        std::vector<uint64_t> speeds;
        std::vector<int> slots;
    } cases[] = {
        {"10 and 100 Mbit/s", {10000000, 100000000}, {5, 43}},
        {"three equal", {100000000, 100000000, 100000000}, {16, 16, 16}},
        {"all unknown", {0, 0, 0}, {16, 16, 16}},
        {"10 and 1 Gbit/s", {10000000000, 1000000000}, {43, 5}},
        {"24 adapters", std::vector<uint64_t>(24, 100000000), std::vector<int>(24, 2)},
        {"one unknown among fast ones", {1000000000, 0}, {46, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> names;
        for (uint64_t speed : c.speeds)
            names.push_back(ReplayName(path, "speed=" + std::to_string(speed)));
        AdapterListScope scope(names);
        RecordingReports reports;
        AdapterSet set(48, reports);
        ASSERT_EQ(set.GetSize(), int(c.slots.size()));
        int first = 0;
        uint64_t total = 0;
        for (int i = 0; i < set.GetSize(); ++i) {
            EXPECT_EQ(set.GetAdapter(i)->GetSlotCount(), c.slots[size_t(i)]) << i;
            EXPECT_EQ(set.GetAdapter(i)->GetFirstSlot(), first) << i;
            EXPECT_EQ(set.GetAdapter(i)->GetInfo().linkSpeed, c.speeds[size_t(i)]);
            first += c.slots[size_t(i)];
            total += c.speeds[size_t(i)];
        }
        EXPECT_EQ(set.GetTotalLinkSpeed(), total);
        for (Event* event : set.GetEvents())
            EXPECT_TRUE(event);
    }
}

TEST(AdapterSet, OpensNoMoreAdaptersThanCanReceive) {
    test::TempDir dir;
    std::string path = OneFramePcap(dir);
    AdapterListScope scope(std::vector<std::string>(30, ReplayName(path)));
    RecordingReports reports;
    AdapterSet set(48, reports);
    EXPECT_EQ(set.GetSize(), 24);
    EXPECT_EQ(reports.Count("Too many adapters (30); using only the first 24"), 1);
    for (Event* event : set.GetEvents())
        EXPECT_TRUE(event);
}

TEST(Adapter, DescribesAReplayAdapterFromItsOptions) {
    test::TempDir dir;
    std::string path = OneFramePcap(dir);
    AdapterListScope scope({ReplayName(path, "mac=02:11:22:33:44:55&ip=10.9.8.7/16&speed=10000000000"),
                            ReplayName(path, "ip=172.16.5.4/0")});
    RecordingReports reports;
    AdapterSet set(48, reports);
    ASSERT_EQ(set.GetSize(), 2);
    const AdapterInfo& info = set.GetAdapter(0)->GetInfo();
    EXPECT_EQ(info.medium, 0);
    EXPECT_EQ(info.FormatCurrentAddress(), "02:11:22:33:44:55");
    EXPECT_EQ(info.linkSpeed, 10000000000u);
    EXPECT_EQ(info.maxTotalSize, 1514u);
    EXPECT_EQ(info.vendorDescription, "replay");
    EXPECT_EQ(info.ipAddressText, "10.9.8.7");
    EXPECT_EQ(info.ipMaskText, "255.255.0.0");
    EXPECT_EQ(info.networkText, "10.9.0.0");
    EXPECT_EQ(info.broadcastText, "10.9.255.255");
    EXPECT_EQ(info.state, AdapterInfo::kOpen);
    const uint8_t own[6] = {2, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_TRUE(set.GetAdapter(1)->IsOwnAddress(std::span<const uint8_t, 6>(own, 6), true));
    EXPECT_FALSE(set.GetAdapter(1)->IsOwnAddress(std::span<const uint8_t, 6>(own, 6), false));
    EXPECT_TRUE(set.GetAdapter(1)->IsOwnIpAddress(0x0A090807, true));
    EXPECT_FALSE(set.GetAdapter(1)->IsOwnIpAddress(0x0A090807, false));
    EXPECT_EQ(set.GetAdapter(1)->GetInfo().ipMaskText, "0.0.0.0");

    const AdapterList& list = set;
    EXPECT_EQ(list.GetAdapterCount(), 2);
    EXPECT_EQ(list.GetServiceName(0),
              "replay:" + path + "?mac=02:11:22:33:44:55&ip=10.9.8.7/16&speed=10000000000");
    EXPECT_EQ(list.GetDescription(0), path + " (replay)");
    EXPECT_EQ(list.GetIpAddressText(0), "10.9.8.7");
    EXPECT_EQ(list.GetCurrentAddress(0)[5], 0x55);
    EXPECT_EQ(list.GetMedium(0), 0u);
    EXPECT_EQ(list.GetMaximumTotalSize(0), 1514u);
    EXPECT_EQ(list.GetLinkSpeed(0), 10'000'000'000u);
}

TEST(Adapter, ConfiguredAddressWithoutMaskTakesTheClassMask) {
    const struct {
        const char* ip;
        const char* mask;
        const char* network;
        const char* broadcast;
    } cases[] = {{"10.1.2.3", "255.0.0.0", "10.0.0.0", "10.255.255.255"},
                 {"172.16.1.2", "255.255.0.0", "172.16.0.0", "172.16.255.255"},
                 {"192.168.7.9", "255.255.255.0", "192.168.7.0", "192.168.7.255"},
                 {"", "", "", "255.255.255.255"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ip);
        AdapterInfo info;
        info.ipAddressText = c.ip;
        WD_Adapter adapter(nullptr, info);
        EXPECT_EQ(adapter.GetInfo().ipMaskText, c.mask);
        EXPECT_EQ(adapter.GetInfo().networkText, c.network);
        EXPECT_EQ(adapter.GetInfo().broadcastText, c.broadcast);
    }
}

TEST(Adapter, LearnsOnlyUsableUnicastAddressesAndAnnouncesThem) {
    test::TempDir dir;
    AdapterListScope scope({ReplayName(OneFramePcap(dir))});
    RecordingReports reports;
    AdapterSet set(48, reports);
    Adapter& adapter = *set.GetAdapter(0);
    for (const char* refused :
         {"0.0.0.0", "255.255.255.255", "224.0.0.1", "127.0.0.1", "240.0.0.1", "1.2.3"}) {
        SCOPED_TRACE(refused);
        adapter.LearnIpAddress(refused);
        EXPECT_FALSE(adapter.HasIpAddress());
    }
    EXPECT_EQ(reports.announcements.size(), 1u);
    adapter.LearnIpAddress("192.168.1.20");
    EXPECT_TRUE(adapter.HasIpAddress());
    EXPECT_EQ(adapter.GetInfo().ipMaskText, "255.255.255.0");
    EXPECT_EQ(adapter.GetInfo().broadcastText, "192.168.1.255");
    EXPECT_TRUE(adapter.IsOwnIpAddress(0xC0A80114, false));
    ASSERT_EQ(reports.announcements.size(), 2u);
    EXPECT_EQ(reports.announcements[1].first, 5);
    ASSERT_EQ(reports.announcements[1].second->GetSize(), 1);
    EXPECT_EQ(reports.announcements[1].second->GetAt(0)->ipAddressText, "192.168.1.20");
}

TEST(Adapter, RequestsWithoutAHandleOrForUnknownOidsFailReported) {
    test::TempDir dir;
    AdapterListScope scope({ReplayName(OneFramePcap(dir))});
    RecordingReports reports;
    AdapterSet set(48, reports);
    Adapter& adapter = *set.GetAdapter(0);
    NdisRequest request;
    uint32_t word = 0;
    request.oid = 0x00010101;
    request.buffer = &word;
    request.bufferLength = 4;
    EXPECT_EQ(adapter.MakeRequest(request), 0xC0010017u);
    ASSERT_TRUE(reports.Find("W32N_MakeNdisRequest(oid==0x10101):"));
    set.CloseAll();
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kClosed);
    EXPECT_EQ(adapter.MakeRequest(request), 0xC0010012u);
    EXPECT_EQ(reports.Count("W32N_MakeNdisRequest(oid==0x10101):"), 2);
}

TEST(RecvChannel, LostFramesFollowTheSequence) {
    const struct {
        uint32_t last, sequence, lost;
    } cases[] = {{0, 17, 0}, {5, 6, 0},          {5, 9, 3},         {5, 5, 1},
                 {5, 3, 3},  {0xFFFFFFFF, 0, 0}, {0xFFFFFFFF, 3, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.last) + " then " + std::to_string(c.sequence));
        EXPECT_EQ(RecvChannel::LostBefore(c.sequence, c.last), c.lost);
    }
}

} // namespace
} // namespace vq
