#include "CfgTestText.h"
#include "config/CCfgClass.h"
#include "config/CCfgClassEvent.h"
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgEvent.h"
#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgNet.h"
#include "config/CCfgNetworkEvent.h"
#include "config/CCfgOstrelix.h"
#include "config/CCfgReport.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using test::FieldRow;
using test::Text;

const std::string kZeroPeriod = "1899-01-01 00:00:00";

void ExpectRows(const std::vector<FieldRow>& rows) {
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.field;
}

void ExpectEventDefaults(const char* kind, const CCfgEvent& e) {
    SCOPED_TRACE(kind);
    std::vector<FieldRow> rows = {
        {"secondary level", Text(e.GetSecondaryLevel()), Text("")},
        {"reset when normal", Text(e.GetResetWhenNormal()), Text(false)},
        {"message", Text(e.GetMessage()), Text("")},
        {"secondary group", Text(e.GetSecondaryGroup()), Text("")},
        {"primary group", Text(e.GetPrimaryGroup()), Text("")},
        {"primary level", Text(e.GetPrimaryLevel()), Text("")},
        {"threshold", Text(e.GetThreshold()), Text(0)},
        {"type", Text(e.GetType()), Text(0)},
        {"sample period", Text(e.GetSampleTime()), kZeroPeriod},
        {"measure", Text(e.GetMeasure()), Text(0)},
        {"frequency", Text(e.GetFrequency()), kZeroPeriod},
        {"limit", Text(e.GetLimit()), Text(0)},
        {"filter option", Text(e.GetFilterOption()), Text(0)},
        {"direction", Text(e.GetDirection()), Text(2)},
        {"status update", Text(e.GetSeverity()), Text(2)},
        {"spare A", Text(e.GetSpareValueA()), Text(0)},
        {"compare from", Text(e.GetCompareFrom()), "1920-01-01 00:00:00"},
        {"compare to", Text(e.GetCompareTo()), Text(0)},
        {"spare B", Text(e.GetSpareValueB()), Text(0)},
        {"baseline mode", Text(e.GetBaselineMode()), Text(0)},
        {"baseline time", Text(e.GetBaselineTime()), "1900-01-01 00:00:00"},
        {"new", Text(e.IsNew()), Text(true)},
    };
    for (int w = 0; w < CCfgEvent::kFilterWords; ++w)
        rows.push_back({"filter word", Text(e.GetFilterWord(w)), Text(0u)});
    ExpectRows(rows);
}

TEST(ConfigRecords, DefaultState) {
    const CCfgClass c;
    const CCfgDevice d;
    const CCfgNet n;
    CCfgOstrelix r;
    CCfgReport rep;
    ExpectRows({
        {"class new", Text(c.IsNew()), Text(false)},
        {"class test time", Text(c.GetTestTime()), kZeroPeriod},
        {"class perform test", Text(c.GetPerformTest()), Text(false)},
        {"class bitmap", Text(c.GetBitmap()), Text("")},
        {"class description", Text(c.GetDescription()), Text("")},
        {"class name", Text(c.GetName()), Text("")},

        {"device IP conversations", Text(d.GetIpConversations()), Text(false)},
        {"device CSV", Text(d.GetCsvLogging()), Text(false)},
        {"device report word 0", Text(d.GetReportWord(0)), Text(0u)},
        {"device report word 3", Text(d.GetReportWord(3)), Text(0u)},
        {"device new", Text(d.IsNew()), Text(true)},
        {"device test time", Text(d.GetTestTime()), kZeroPeriod},
        {"device perform test", Text(d.GetPerformTest()), Text(false)},
        {"device dial-up", Text(d.GetDialUp()), Text(false)},
        {"device address type", Text(d.GetAddressType()), Text(2)},
        {"device address type twin", Text(d.GetAddressTypeCopy()), Text(2)},
        {"device bitmap", Text(d.GetBitmap()), Text("")},
        {"device address", Text(d.GetAddress()), Text("")},
        {"device spare flag", Text(d.GetSpareFlag()), Text(false)},
        {"device class name", Text(d.GetClassName()), Text("")},
        {"device description", Text(d.GetDescription()), Text("")},
        {"device name", Text(d.GetName()), Text("")},
        {"device max bandwidth", Text(d.GetMaxBandwidth()), Text(int64_t{0})},

        {"net capture file", Text(n.GetCaptureFile()), Text("")},
        {"net capture enabled", Text(n.GetCaptureEnabled()), Text(false)},
        {"net CSV", Text(n.GetCsvLogging()), Text(false)},
        {"net report word 0", Text(n.GetReportWord(0)), Text(0u)},
        {"net adapter index", Text(n.GetAdapterIndex()), Text(-1)},
        {"net discovery class", Text(n.GetDiscoveryClass()), Text("")},
        {"net assign class", Text(n.GetAssignClass()), Text(false)},
        {"net name", Text(n.GetName()), Text("")},
        {"net new", Text(n.IsNew()), Text(true)},
        {"net description", Text(n.GetDescription()), Text("")},
        {"net adapter address", Text(n.GetAdapterAddress()), Text("")},
        {"net spare flag", Text(n.GetSpareFlag()), Text(false)},
        {"net spare time", Text(n.GetSpareTime()), "null"},

        {"root capture packet size", Text(r.GetCapturePacketSize()), Text(0)},
        {"root capture file size", Text(r.GetCaptureFileSize()), Text(0)},
        {"root capture fixed length", Text(r.GetCaptureFixedLength()), Text(false)},
        {"root capture format", Text(r.GetCaptureFormat()), Text(0)},
        {"root capture enabled", Text(r.GetCaptureEnabled()), Text(false)},
        {"root CSV (unset)", Text(r.GetCsvLogging()), Text(false)},
        {"root spare A (unset)", Text(r.GetSpareFlagA()), Text(false)},
        {"root spare B (unset)", Text(r.GetSpareFlagB()), Text(false)},
        {"root spare C (unset)", Text(r.GetSpareFlagC()), Text(false)},
        {"root CSV frequency (unset)", Text(r.GetCsvFrequency()), Text(0)},
        {"root database version", Text(r.GetDbVersion()), Text("???")},
        {"root default logon", Text(r.GetUseDefaultLogon()), Text(true)},
        {"root create local devices", Text(r.GetCreateLocalDevices()), Text(false)},
        {"root disable event monitor", Text(r.GetDisableEventMonitor()), Text(false)},
        {"root new", Text(r.IsNew()), Text(true)},
        {"root new device class", Text(r.GetNewDeviceClass()), Text("")},
        {"root messaging user", Text(r.GetMessagingUser()), Text("")},
        {"root messaging password", Text(r.GetMessagingPassword()), Text("")},
        {"root password protect", Text(r.GetPasswordProtect()), Text(false)},
        {"root password", Text(r.GetPassword()), Text("")},
        {"root disable active test", Text(r.GetDisableActiveTest()), Text(false)},
        {"root disable data monitor", Text(r.GetDisableDataMonitor()), Text(false)},
        {"root monitor reset", Text(r.GetMonitorResetTime()), "1910-01-01 08:00:00"},
        {"root assign new devices", Text(r.GetAssignNewDevices()), Text(false)},
        {"root report new addresses", Text(r.GetReportNewAddresses()), Text(true)},
        {"root use default level", Text(r.GetUseDefaultLevel()), Text(false)},
        {"root default group", Text(r.GetDefaultLogGroup()), Text("")},
        {"root default level", Text(r.GetDefaultLogLevel()), Text("")},
        {"root clear minutes", Text(r.GetEventClearMinutes()), Text(10)},
        {"root keep event status", Text(r.GetKeepEventStatus()), Text(false)},
        {"root event entries", Text(r.GetEventEntries()), Text(100)},

        {"report number", Text(rep.GetId()), Text(0)},
        {"report items", Text(int64_t(rep.GetItems().size())), Text(int64_t{0})},
        {"report content", Text(rep.GetContent()), Text(0)},
        {"report print to file", Text(rep.GetPrintToFile()), Text(0)},
        {"report new", Text(rep.IsNew()), Text(true)},
        {"report e-mail address", Text(rep.GetEmailAddress()), Text("")},
        {"report send e-mail", Text(rep.GetSendEmail()), Text(0)},
        {"report print", Text(rep.GetPrint()), Text(0)},
        {"report frequency", Text(rep.GetFrequency()), Text(0)},
        {"report frequency unit", Text(rep.GetFrequencyUnit()), Text(0)},
        {"report time", Text(rep.GetTime()), "1899-12-30 00:00:00"},
        {"report day", Text(rep.GetDay()), Text(0)},
        {"report name", Text(rep.GetName()), Text("")},
    });

    ExpectEventDefaults("event", CCfgEvent{});
    const CCfgClassEvent classEvent;
    const CCfgDeviceEvent deviceEvent;
    const CCfgNetworkEvent networkEvent;
    ExpectEventDefaults("class event", classEvent);
    ExpectEventDefaults("device event", deviceEvent);
    ExpectEventDefaults("network event", networkEvent);
    EXPECT_EQ(classEvent.GetOwnerName(), "");
    EXPECT_EQ(deviceEvent.GetOwnerName(), "");
    EXPECT_EQ(networkEvent.GetOwnerName(), "");
}

TEST(ConfigRecords, SetDefaultsLeavesTheUnsetRootFieldsAlone) {
    CCfgOstrelix r;
    r.SetCsvLogging(true);
    r.SetCsvFrequency(7);
    r.SetSpareFlagA(true);
    r.SetSpareFlagB(true);
    r.SetSpareFlagC(true);
    r.SetEventEntries(5);
    r.SetDbVersion("DBV2.0a");
    r.SetDefaults();
    EXPECT_TRUE(r.GetCsvLogging());
    EXPECT_EQ(r.GetCsvFrequency(), 7);
    EXPECT_TRUE(r.GetSpareFlagA());
    EXPECT_TRUE(r.GetSpareFlagB());
    EXPECT_TRUE(r.GetSpareFlagC());
    EXPECT_EQ(r.GetEventEntries(), 100);
    EXPECT_EQ(r.GetDbVersion(), "???");
}

TEST(ConfigRecords, ClassDeviceAndNetworkNamesTurnSlashesIntoDashes) {
    CCfgClass c;
    CCfgDevice d;
    CCfgNet n;
    c.SetName("a/b/c");
    d.SetName("a/b/c");
    n.SetName("/x//");
    EXPECT_EQ(c.GetName(), "a-b-c");
    EXPECT_EQ(d.GetName(), "a-b-c");
    EXPECT_EQ(n.GetName(), "-x--");

    CCfgLogGroup g;
    CCfgReport rep;
    CCfgDeviceEvent e;
    g.SetName("a/b/c");
    rep.SetName("a/b/c");
    e.SetOwnerName("a/b/c");
    EXPECT_EQ(g.GetName(), "a/b/c");
    EXPECT_EQ(rep.GetName(), "a/b/c");
    EXPECT_EQ(e.GetOwnerName(), "a/b/c");
}

TEST(ConfigRecords, ClassCopyHasNoNameAndStaysNotNew) {
    CCfgClass c;
    c.SetName("Servers");
    c.SetNew(true);
    c.SetDescription("racks");
    c.SetBitmap("server.bmp");
    c.SetPerformTest(true);
    c.SetTestTime(OleDateTime(1899, 1, 1, 0, 15, 0));
    const CCfgClass copy(c);
    ExpectRows({
        {"name", Text(copy.GetName()), Text("")},
        {"new", Text(copy.IsNew()), Text(false)},
        {"description", Text(copy.GetDescription()), Text("racks")},
        {"bitmap", Text(copy.GetBitmap()), Text("server.bmp")},
        {"perform test", Text(copy.GetPerformTest()), Text(true)},
        {"test time", Text(copy.GetTestTime()), "1899-01-01 00:15:00"},
    });
}

TEST(ConfigRecords, DeviceCopyKeepsSettingsButNotNameAndIsNew) {
    CCfgDevice d;
    d.SetName("pc7");
    d.SetNew(false);
    d.SetTestTime(OleDateTime(1899, 1, 1, 0, 5, 0));
    d.SetPerformTest(true);
    d.SetBitmap("pc.bmp");
    d.SetSpareFlag(true);
    d.SetDescription("desk");
    d.SetAddress("10.0.0.7");
    d.SetAddressType(4);
    d.SetDialUp(true);
    d.SetClassName("PCs");
    for (int w = 0; w < 4; ++w)
        d.SetReportWord(w, 0x100u + w);
    d.SetCsvLogging(true);
    d.SetMaxBandwidth(2'500'000'000);
    d.SetIpConversations(true);
    const CCfgDevice copy(d);
    ExpectRows({
        {"name", Text(copy.GetName()), Text("")},
        {"new", Text(copy.IsNew()), Text(true)},
        {"test time", Text(copy.GetTestTime()), "1899-01-01 00:05:00"},
        {"perform test", Text(copy.GetPerformTest()), Text(true)},
        {"bitmap", Text(copy.GetBitmap()), Text("pc.bmp")},
        {"spare flag", Text(copy.GetSpareFlag()), Text(true)},
        {"description", Text(copy.GetDescription()), Text("desk")},
        {"address", Text(copy.GetAddress()), Text("10.0.0.7")},
        {"address type", Text(copy.GetAddressType()), Text(4)},
        {"dial-up", Text(copy.GetDialUp()), Text(true)},
        {"class name", Text(copy.GetClassName()), Text("PCs")},
        {"report word 0", Text(copy.GetReportWord(0)), Text(0x100u)},
        {"report word 3", Text(copy.GetReportWord(3)), Text(0x103u)},
        {"CSV", Text(copy.GetCsvLogging()), Text(true)},
        {"max bandwidth", Text(copy.GetMaxBandwidth()), Text(int64_t{2'500'000'000})},
        {"IP conversations", Text(copy.GetIpConversations()), Text(true)},
    });
}

TEST(ConfigRecords, NetworkCopyKeepsAdapterButNotCaptureOrReports) {
    CCfgNet n;
    n.SetName("lan");
    n.SetNew(false);
    n.SetCaptureFile("/tmp/lan.snoop");
    n.SetCaptureEnabled(true);
    n.SetReportMember(3, true);
    n.SetDescription("office");
    n.SetAdapterAddress("00:11:22:33:44:55");
    n.SetSpareFlag(true);
    n.SetSpareTime(OleDateTime(2001, 5, 6, 7, 8, 0));
    n.SetDiscoveryClass("Found");
    n.SetAssignClass(true);
    n.SetAdapterIndex(3);
    n.SetCsvLogging(true);
    const CCfgNet copy(n);
    ExpectRows({
        {"name", Text(copy.GetName()), Text("")},
        {"new", Text(copy.IsNew()), Text(true)},
        {"capture file", Text(copy.GetCaptureFile()), Text("")},
        {"capture enabled", Text(copy.GetCaptureEnabled()), Text(false)},
        {"report 3", Text(copy.IsReportMember(3)), Text(false)},
        {"description", Text(copy.GetDescription()), Text("office")},
        {"adapter address", Text(copy.GetAdapterAddress()), Text("00:11:22:33:44:55")},
        {"spare flag", Text(copy.GetSpareFlag()), Text(true)},
        {"spare time", Text(copy.GetSpareTime()), "2001-05-06 07:08:00"},
        {"discovery class", Text(copy.GetDiscoveryClass()), Text("Found")},
        {"assign class", Text(copy.GetAssignClass()), Text(true)},
        {"adapter index", Text(copy.GetAdapterIndex()), Text(3)},
        {"CSV", Text(copy.GetCsvLogging()), Text(true)},
    });
}

TEST(ConfigRecords, MaxBandwidthBytesTruncates) {
    struct Case {
        int64_t bits;
        int64_t bytes;
    };
    const Case cases[] = {{12, 1}, {7, 0}, {0, 0}, {2'500'000'000, 312'500'000}, {-12, -1}};
    for (const auto& c : cases) {
        CCfgDevice d;
        d.SetMaxBandwidth(c.bits);
        EXPECT_EQ(d.GetMaxBandwidthBytes(), c.bytes) << c.bits;
    }
}

TEST(ConfigRecords, DeviceAndNetworkMembershipFollowTheReportNumbers) {
    CCfgDevice d;
    CCfgNet n;
    EXPECT_FALSE(d.SetReportMember(0, true));
    EXPECT_TRUE(d.SetReportMember(2, true));
    EXPECT_TRUE(n.SetReportMember(33, true));
    EXPECT_EQ(d.GetReportWord(1), 2u);
    EXPECT_EQ(n.GetReportWord(1), 1u);
    EXPECT_FALSE(n.IsReportMember(1));
    EXPECT_FALSE(d.IsReportMember(0));
    EXPECT_FALSE(d.SetReportMember(129, true));
}

TEST(ConfigRecords, RuntimeClassesMakeDefaultRecords) {
    const RuntimeClass* classes[] = {&CCfgClass::Class(),      &CCfgDevice::Class(), &CCfgNet::Class(),
                                     &CCfgOstrelix::Class(),   &CCfgEvent::Class(),  &CCfgClassEvent::Class(),
                                     &CCfgDeviceEvent::Class()};
    for (const RuntimeClass* cls : classes) {
        SCOPED_TRACE(cls->name);
        const std::unique_ptr<Object> made = cls->CreateObject();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(&made->GetRuntimeClass(), cls);
    }
    const auto device = CCfgDevice::Class().CreateObject();
    EXPECT_TRUE(static_cast<CCfgDevice&>(*device).IsNew());
    EXPECT_TRUE(CCfgDeviceEvent::Class().IsDerivedFrom(CCfgEvent::Class()));
    // A network event answers the plain event's class: it shares its record and archive form.
    EXPECT_EQ(&CCfgNetworkEvent{}.GetRuntimeClass(), &CCfgEvent::Class());
}

} // namespace
} // namespace vq
