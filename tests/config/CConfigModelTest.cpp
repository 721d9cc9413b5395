#include "config/CCfgClass.h"
#include "config/CCfgClassEvent.h"
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgNet.h"
#include "config/CCfgNetworkEvent.h"
#include "config/CCfgOstrelix.h"
#include "config/CCfgReport.h"
#include "config/CConfig.h"
#include "platform/core/Archive.h"
#include "tests/config/ConfigFixture.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vq {
namespace {

// 1899-12-29 06:00 and 1899-12-30 12:00 sit on both sides of the negative-day rule; -1.25 must
// come back as -1.25, not as the linear -0.75.
const OleDateTime kBefore1900(-1.25);
const OleDateTime kDayZeroNoon(0.5);
const OleDateTime kPeriod(-364.0 + 0.25); // 1899-01-01 06:00, a schedule period
const std::string kOddName = "x' OR '1'='1 \xc3\xa4/\xe2\x82\xac";

std::string Date(const OleDateTime& date) {
    return std::to_string(date.GetStatus()) + ":" + std::to_string(date.Value());
}

// Every stored field of each record, so a round trip compares all of them at once.
std::string Fields(CCfgOstrelix& r) {
    return r.GetDbVersion() + "|" + std::to_string(r.GetPasswordProtect()) + r.GetPassword() + "|" +
           std::to_string(r.GetCreateLocalDevices()) + std::to_string(r.GetDisableDataMonitor()) +
           Date(r.GetMonitorResetTime()) + std::to_string(r.GetAssignNewDevices()) + r.GetNewDeviceClass() +
           "|" + std::to_string(r.GetReportNewAddresses()) + std::to_string(r.GetUseDefaultLevel()) + "|" +
           std::to_string(r.GetEventClearMinutes()) + std::to_string(r.GetKeepEventStatus()) + "|" +
           std::to_string(r.GetEventEntries()) + std::to_string(r.GetDisableEventMonitor()) +
           r.GetDefaultLogGroup() + "|" + r.GetDefaultLogLevel() + std::to_string(r.GetDisableActiveTest()) +
           r.GetMessagingUser() + "|" + r.GetMessagingPassword() + std::to_string(r.GetUseDefaultLogon()) +
           std::to_string(r.GetCsvLogging()) + "|" + std::to_string(r.GetCsvFrequency()) +
           std::to_string(r.GetSpareFlagA()) + std::to_string(r.GetSpareFlagB()) +
           std::to_string(r.GetSpareFlagC()) + std::to_string(r.GetCaptureEnabled()) + "|" +
           std::to_string(r.GetCaptureFormat()) + std::to_string(r.GetCaptureFixedLength()) + "|" +
           std::to_string(r.GetCaptureFileSize()) + "|" + std::to_string(r.GetCapturePacketSize());
}

std::string Words(const auto& record, int count) {
    std::string text;
    for (int word = 0; word < count; ++word)
        text += std::to_string(record.GetReportWord(word)) + ",";
    return text;
}

std::string Fields(const CCfgDevice& d) {
    return d.GetName() + "|" + d.GetDescription() + "|" + d.GetClassName() + "|" +
           std::to_string(d.GetSpareFlag()) + std::to_string(d.GetDialUp()) +
           std::to_string(d.GetAddressType()) + d.GetAddress() + "|" + d.GetBitmap() +
           std::to_string(d.GetPerformTest()) + Date(d.GetTestTime()) + Words(d, 4) +
           std::to_string(d.GetCsvLogging()) + std::to_string(d.GetMaxBandwidth()) +
           std::to_string(d.GetIpConversations());
}

std::string Fields(const CCfgClass& c) {
    return c.GetName() + "|" + c.GetDescription() + "|" + c.GetBitmap() + std::to_string(c.GetPerformTest()) +
           Date(c.GetTestTime());
}

std::string Fields(const CCfgNet& n) {
    return n.GetName() + "|" + n.GetDescription() + "|" + n.GetAdapterAddress() +
           std::to_string(n.GetSpareFlag()) + Date(n.GetSpareTime()) + std::to_string(n.GetAssignClass()) +
           n.GetDiscoveryClass() + "|" + Words(n, 4) + std::to_string(n.GetCsvLogging()) +
           std::to_string(n.GetCaptureEnabled());
}

std::string Fields(const CCfgEvent& e) {
    std::string text =
        std::to_string(e.GetType()) + e.GetPrimaryGroup() + "|" + e.GetPrimaryLevel() + "|" +
        e.GetSecondaryGroup() + "|" + e.GetSecondaryLevel() + "|" + Date(e.GetSampleTime()) +
        std::to_string(e.GetMeasure()) + Date(e.GetFrequency()) + std::to_string(e.GetThreshold()) + "|" +
        std::to_string(e.GetLimit()) + "|" + std::to_string(e.GetFilterOption()) +
        std::to_string(e.GetDirection()) + std::to_string(e.GetSeverity()) + "|" +
        std::to_string(e.GetSpareValueA()) + Date(e.GetCompareFrom()) + std::to_string(e.GetCompareTo()) +
        "|" + std::to_string(e.GetSpareValueB()) + std::to_string(e.GetBaselineMode()) +
        Date(e.GetBaselineTime()) + e.GetMessage() + "|" + std::to_string(e.GetResetWhenNormal());
    for (int word = 0; word < 8; ++word)
        text += "," + std::to_string(e.GetFilterWord(word));
    return text;
}

std::string Fields(CCfgReport& r) {
    return r.GetName() + "|" + std::to_string(r.GetDay()) + Date(r.GetTime()) +
           std::to_string(r.GetFrequencyUnit()) + std::to_string(r.GetFrequency()) +
           std::to_string(r.GetPrint()) + std::to_string(r.GetPrintToFile()) +
           std::to_string(r.GetSendEmail()) + r.GetEmailAddress() + "|" + std::to_string(r.GetContent());
}

void FillEvent(CCfgEvent& e, int seed) {
    e.SetType(1000 + seed);
    e.SetPrimaryGroup("pg" + std::to_string(seed));
    e.SetPrimaryLevel("pl");
    e.SetSecondaryGroup("");
    e.SetSecondaryLevel("sl'");
    e.SetSampleTime(kPeriod);
    e.SetMeasure(1);
    e.SetFrequency(kBefore1900);
    e.SetThreshold(-5);
    e.SetLimit(6);
    e.SetFilterOption(7);
    e.SetDirection(1);
    e.SetSeverity(3);
    e.SetSpareValueA(8);
    e.SetCompareFrom(kDayZeroNoon);
    e.SetCompareTo(1);
    e.SetSpareValueB(9);
    e.SetBaselineMode(1);
    e.SetBaselineTime(OleDateTime(2001, 5, 6, 7, 8, 9));
    e.SetMessage(kOddName);
    e.SetResetWhenNormal(true);
    for (int word = 0; word < 8; ++word)
        e.SetFilterWord(word, 0x80000000u | static_cast<uint32_t>(word + seed));
}

template <class Event> std::unique_ptr<Event> MakeEvent(const std::string& owner, int seed) {
    auto event = std::make_unique<Event>();
    event->SetOwnerName(owner);
    FillEvent(*event, seed);
    return event;
}

class CConfigModelTest : public CConfigTest {};

TEST_F(CConfigModelTest, WholeModelRoundTripsThroughTheStoredFormat) {
    OpenNew();
    CCfgOstrelix root;
    root.SetDbVersion("DBV2.0a");
    root.SetPasswordProtect(true);
    root.SetPassword("pw'");
    root.SetCreateLocalDevices(true);
    root.SetDisableDataMonitor(false);
    root.SetMonitorResetTime(kPeriod);
    root.SetAssignNewDevices(true);
    root.SetNewDeviceClass(kOddName);
    root.SetReportNewAddresses(false);
    root.SetUseDefaultLevel(true);
    root.SetEventClearMinutes(11);
    root.SetKeepEventStatus(true);
    root.SetEventEntries(13);
    root.SetDisableEventMonitor(false);
    root.SetDefaultLogGroup("G");
    root.SetDefaultLogLevel("");
    root.SetDisableActiveTest(true);
    root.SetMessagingUser("u");
    root.SetMessagingPassword("p");
    root.SetUseDefaultLogon(false);
    root.SetCsvLogging(true);
    root.SetCsvFrequency(14);
    root.SetSpareFlagA(true);
    root.SetSpareFlagB(false);
    root.SetSpareFlagC(true);
    root.SetCaptureEnabled(false);
    root.SetCaptureFormat(1);
    root.SetCaptureFixedLength(true);
    root.SetCaptureFileSize(-29);
    root.SetCapturePacketSize(30);
    ASSERT_TRUE(m_Config.SaveRoot(root)) << m_Config.TakeLastError();

    CCfgDevice device;
    device.SetName(kOddName);
    device.SetDescription("");
    device.SetClassName("Servers");
    device.SetSpareFlag(true);
    device.SetDialUp(false);
    device.SetAddressType(4);
    device.SetAddress("10.0.0.1");
    device.SetBitmap("srv.bmp");
    device.SetPerformTest(true);
    device.SetTestTime(kBefore1900);
    for (int word = 0; word < 4; ++word)
        device.SetReportWord(word, 0x80000001u << word);
    device.SetCsvLogging(true);
    device.SetMaxBandwidth(2'500'000'000);
    device.SetIpConversations(true);
    ASSERT_TRUE(m_Config.SaveDevice(device));

    CCfgClass cfgClass;
    cfgClass.SetName("Servers");
    cfgClass.SetDescription("d");
    cfgClass.SetBitmap("");
    cfgClass.SetPerformTest(true);
    cfgClass.SetTestTime(kDayZeroNoon);
    ASSERT_TRUE(m_Config.SaveClass(cfgClass));

    CCfgNet network;
    network.SetName("LAN/1");
    network.SetDescription("desc");
    network.SetAdapterAddress("00:11:22:33:44:55");
    network.SetSpareFlag(true);
    network.SetSpareTime(kBefore1900);
    network.SetAssignClass(true);
    network.SetDiscoveryClass("");
    for (int word = 0; word < 4; ++word)
        network.SetReportWord(word, 0xFFFFFFFFu - word);
    network.SetCsvLogging(true);
    network.SetCaptureEnabled(true);
    ASSERT_TRUE(m_Config.SaveNetwork(network));

    CCfgLogGroup group;
    group.SetName("G/1");
    group.SetDescription("");
    ASSERT_TRUE(m_Config.SaveLogGroup(group));
    CCfgLogGroupLevel level;
    level.SetGroupName("G/1");
    level.SetName("L");
    level.SetReportEmail(true);
    level.SetInertFlagA(true);
    level.SetInertMinutes(7);
    level.SetInertFlagB(true);
    ASSERT_TRUE(m_Config.SaveLogGroupLevel(level));

    auto classEvent = MakeEvent<CCfgClassEvent>("Servers", 1);
    auto deviceEvent = MakeEvent<CCfgDeviceEvent>(device.GetName(), 2);
    auto networkEvent = MakeEvent<CCfgNetworkEvent>(network.GetName(), 3);
    ASSERT_TRUE(m_Config.SaveClassEvent(*classEvent));
    ASSERT_TRUE(m_Config.SaveDeviceEvent(*deviceEvent));
    ASSERT_TRUE(m_Config.SaveNetworkEvent(*networkEvent));

    CCfgReport report;
    report.SetName("Weekly 'ops'");
    report.SetDay(6);
    report.SetTime(OleDateTime(1899, 12, 30, 14, 30, 0));
    report.SetFrequencyUnit(1);
    report.SetFrequency(2);
    report.SetPrint(3);
    report.SetPrintToFile(4);
    report.SetSendEmail(5);
    report.SetEmailAddress("a@b");
    report.SetContent(1);
    ASSERT_TRUE(m_Config.SaveReport(report));

    CConfig reader;
    ASSERT_TRUE(reader.Open(m_Path, m_Dir.Path().string()));
    auto loadedRoot = reader.LoadRoot();
    ASSERT_NE(loadedRoot, nullptr) << reader.TakeLastError();
    EXPECT_EQ(Fields(*loadedRoot), Fields(root));
    EXPECT_FALSE(loadedRoot->IsNew());
    CfgList<CCfgDevice> devices;
    CfgList<CCfgClass> classes;
    CfgList<CCfgNet> networks;
    CfgList<CCfgLogGroup> groups;
    CfgList<CCfgLogGroupLevel> levels;
    CfgList<CCfgClassEvent> classEvents;
    CfgList<CCfgDeviceEvent> deviceEvents;
    CfgList<CCfgNetworkEvent> networkEvents;
    CfgList<CCfgReport> reports;
    ASSERT_TRUE(reader.LoadDevices(devices));
    ASSERT_TRUE(reader.LoadClasses(classes));
    ASSERT_TRUE(reader.LoadNetworks(networks));
    ASSERT_TRUE(reader.LoadLogGroups(groups));
    ASSERT_TRUE(reader.LoadLogGroupLevels(levels));
    ASSERT_TRUE(reader.LoadClassEvents(classEvents));
    ASSERT_TRUE(reader.LoadDeviceEvents(deviceEvents));
    ASSERT_TRUE(reader.LoadNetworkEvents(networkEvents));
    ASSERT_TRUE(reader.LoadReports(reports));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(Fields(*devices[0]), Fields(device));
    EXPECT_EQ(devices[0]->GetName(), "x' OR '1'='1 \xc3\xa4-\xe2\x82\xac");
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(Fields(*classes[0]), Fields(cfgClass));
    ASSERT_EQ(networks.size(), 1u);
    EXPECT_EQ(Fields(*networks[0]), Fields(network));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]->GetName(), "G/1");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_TRUE(levels[0]->GetReportEmail());
    ASSERT_EQ(classEvents.size(), 1u);
    EXPECT_EQ(classEvents[0]->GetOwnerName(), "Servers");
    EXPECT_EQ(Fields(*classEvents[0]), Fields(*classEvent));
    ASSERT_EQ(deviceEvents.size(), 1u);
    EXPECT_EQ(deviceEvents[0]->GetOwnerName(), device.GetName());
    EXPECT_EQ(Fields(*deviceEvents[0]), Fields(*deviceEvent));
    ASSERT_EQ(networkEvents.size(), 1u);
    EXPECT_EQ(networkEvents[0]->GetOwnerName(), "LAN-1");
    EXPECT_EQ(Fields(*networkEvents[0]), Fields(*networkEvent));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(Fields(*reports[0]), Fields(report));
    EXPECT_EQ(reports[0]->GetId(), 1);
    for (const auto* record : {static_cast<const void*>(devices[0].get())})
        EXPECT_NE(record, nullptr);
    EXPECT_FALSE(devices[0]->IsNew() || classes[0]->IsNew() || networks[0]->IsNew() || groups[0]->IsNew() ||
                 levels[0]->IsNew() || classEvents[0]->IsNew() || reports[0]->IsNew());

    // The stored values themselves, by position.
    auto raw = Raw();
    struct Cell {
        const char* sql;
        int column;
        double value;
    };
    const Cell cells[] = {
        {"SELECT * FROM CFGOSTRELIX", 2, -1},
        {"SELECT * FROM CFGOSTRELIX", 5, 0},
        {"SELECT * FROM CFGOSTRELIX", 6, kPeriod.Value()},
        {"SELECT * FROM CFGDEVICE", 4, -1},
        {"SELECT * FROM CFGDEVICE", 10, -1.25},
        {"SELECT * FROM CFGDEVICE", 11, -2147483647},
        {"SELECT * FROM CFGDEVICE", 16, 2.5e9},
        {"SELECT * FROM CFGNETWORK", 4, 1},
        {"SELECT * FROM CFGNETWORK", 6, 1},
        {"SELECT * FROM CFGNETWORK", 12, 1},
        {"SELECT * FROM CFGNETWORK", 13, 1},
        {"SELECT * FROM CFGNETWORK", 5, -1.25},
        {"SELECT * FROM CFGNETWORK", 8, -1},
        {"SELECT * FROM CFGLOGGROUP_LEVEL", 4, -1},
        {"SELECT * FROM CFGLOGGROUP_LEVEL", 17, 0},
        {"SELECT * FROM CFGLOGGROUP_LEVEL", 18, 0},
        {"SELECT * FROM CFGLOGGROUP_LEVEL", 19, 0},
        {"SELECT * FROM CFGREPORT", 2, 6},
        {"SELECT * FROM CFGREPORT", 3, 0.0 + 14.5 / 24},
        {"SELECT * FROM CFGDEVICEEVENT", 9, -1.25},
        {"SELECT * FROM CFGDEVICEEVENT", 22, -1},
        {"SELECT * FROM CFGDEVICEEVENT", 30, -2147483639},
    };
    for (const auto& cell : cells) {
        SCOPED_TRACE(std::string(cell.sql) + " column " + std::to_string(cell.column));
        auto statement = raw->Prepare(cell.sql);
        ASSERT_TRUE(statement.Step());
        EXPECT_DOUBLE_EQ(statement.GetDouble(cell.column), cell.value);
    }
}

TEST_F(CConfigModelTest, RenamesKeepTheirRowAndNamesMatchExactly) {
    OpenNew();
    CCfgDevice device;
    device.SetName("Printer");
    ASSERT_TRUE(m_Config.SaveDevice(device));
    device.SetName("Printer 2");
    device.SetAddress("new");
    ASSERT_TRUE(m_Config.SaveDevice(device, std::string("Printer")));
    CCfgClass router;
    router.SetName("Router");
    ASSERT_TRUE(m_Config.SaveClass(router));
    router.SetName("Core");
    ASSERT_TRUE(m_Config.SaveClass(router, std::string("Router")));
    CCfgClass lower;
    lower.SetName("router");
    ASSERT_TRUE(m_Config.SaveClass(lower));
    CCfgReport report;
    report.SetName("r1");
    ASSERT_TRUE(m_Config.SaveReport(report));
    report.SetName("R1");
    ASSERT_TRUE(m_Config.SaveReport(report, std::string("r1")));

    auto raw = Raw();
    auto rows = raw->Prepare("SELECT ID, DEVName, Address FROM CFGDEVICE");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.GetInt(0), 1);
    EXPECT_EQ(rows.GetText(1), "Printer 2");
    EXPECT_EQ(rows.GetText(2), "new");
    EXPECT_FALSE(rows.Step());
    EXPECT_EQ(RowCount("CFGCLASS"), 2);
    EXPECT_EQ(m_Config.GetReportId("R1"), 1);
    EXPECT_EQ(m_Config.GetReportId("r1"), 0);

    CCfgDevice odd;
    odd.SetName("x' OR '1'='1");
    ASSERT_TRUE(m_Config.SaveDevice(odd));
    EXPECT_EQ(RowCount("CFGDEVICE"), 2);
    ASSERT_TRUE(m_Config.DeleteDevice("x' OR '1'='1"));
    CfgList<CCfgDevice> devices;
    ASSERT_TRUE(m_Config.LoadDevices(devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0]->GetName(), "Printer 2");
}

TEST_F(CConfigModelTest, ADuplicatedNameUpdatesItsFirstRowOnly) {
    OpenNew();
    auto raw = Raw();
    raw->Execute("INSERT INTO CFGDEVICE (DEVName, Address) VALUES ('dup', 'first'), ('dup', 'second')");
    CCfgDevice device;
    device.SetName("dup");
    device.SetAddress("saved");
    ASSERT_TRUE(m_Config.SaveDevice(device));
    auto rows = raw->Prepare("SELECT ID, Address FROM CFGDEVICE ORDER BY ID");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.GetText(1), "saved");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.GetText(1), "second");
    EXPECT_FALSE(rows.Step());
    ASSERT_TRUE(m_Config.DeleteDevice("dup"));
    EXPECT_EQ(RowCount("CFGDEVICE"), 0);
}

TEST_F(CConfigModelTest, ReportNumbersAreNeverReusedAndEndAt128) {
    OpenNew();
    for (const char* name : {"a", "b"}) {
        CCfgReport report;
        report.SetName(name);
        ASSERT_TRUE(m_Config.SaveReport(report));
    }
    ASSERT_TRUE(m_Config.DeleteReport("b"));
    CCfgReport next;
    next.SetName("c");
    ASSERT_TRUE(m_Config.SaveReport(next));
    EXPECT_EQ(m_Config.GetReportId("c"), 3);

    Raw()->Execute("UPDATE sqlite_sequence SET seq = 128 WHERE name = 'CFGREPORT'");
    CCfgReport tooMany;
    tooMany.SetName("d");
    EXPECT_FALSE(m_Config.SaveReport(tooMany));
    EXPECT_EQ(m_Config.TakeLastError(),
              "No report number left: a configuration holds at most 128 report numbers.");
    EXPECT_EQ(m_Config.GetReportId("d"), 0);
    next.SetEmailAddress("still saved in place");
    EXPECT_TRUE(m_Config.SaveReport(next));
}

TEST_F(CConfigModelTest, ReplacingEventsIsAllOrNothing) {
    OpenNew();
    CCfgDevice device;
    device.SetName("dev");
    CfgList<CCfgDeviceEvent> old;
    old.push_back(MakeEvent<CCfgDeviceEvent>("dev", 1));
    old.push_back(MakeEvent<CCfgDeviceEvent>("dev", 2));
    ASSERT_EQ(m_Config.ReplaceDeviceEvents(old, device), 2);

    CfgList<CCfgDeviceEvent> fresh;
    for (int seed = 10; seed < 13; ++seed)
        fresh.push_back(MakeEvent<CCfgDeviceEvent>("dev", seed));
    Raw()->Execute("CREATE TRIGGER third BEFORE INSERT ON CFGDEVICEEVENT WHEN NEW.Type = 1012 "
                   "BEGIN SELECT RAISE(ABORT, 'third insert refused'); END");
    EXPECT_EQ(m_Config.ReplaceDeviceEvents(fresh, device), 0);
    EXPECT_NE(m_Config.TakeLastError().find("third insert refused"), std::string::npos);
    CfgList<CCfgDeviceEvent> stored;
    ASSERT_TRUE(m_Config.LoadDeviceEvents(stored));
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0]->GetType(), 1001);
    EXPECT_EQ(stored[1]->GetType(), 1002);

    CCfgNet network;
    network.SetName("wan");
    CfgList<CCfgNetworkEvent> networkEvents;
    networkEvents.push_back(MakeEvent<CCfgNetworkEvent>("elsewhere", 4));
    EXPECT_EQ(m_Config.ReplaceNetworkEvents(networkEvents, network), 1);
    EXPECT_EQ(networkEvents[0]->GetOwnerName(), "wan");

    EXPECT_EQ(m_Config.ReplaceDeviceEvents({}, device), 0);
    EXPECT_EQ(m_Config.TakeLastError(), "");
    EXPECT_EQ(RowCount("CFGDEVICEEVENT"), 0);
    EXPECT_EQ(RowCount("CFGNETWORKEVENT"), 1);
}

TEST_F(CConfigModelTest, RootRowRefusals) {
    OpenNew();
    auto raw = Raw();
    raw->Execute("UPDATE CFGOSTRELIX SET DBVersion = 'DBV2.0'");
    EXPECT_EQ(m_Config.LoadRoot(), nullptr);
    EXPECT_EQ(m_Config.TakeLastError(), "Database not compatible with the version of Vorquel.");

    raw->Execute("DELETE FROM CFGOSTRELIX");
    EXPECT_EQ(m_Config.LoadRoot(), nullptr);
    EXPECT_EQ(m_Config.TakeLastError(), "ADO Database access error.");
    CCfgOstrelix root;
    root.SetDbVersion("DBV2.0a");
    ASSERT_TRUE(m_Config.SaveRoot(root));
    auto loaded = m_Config.LoadRoot();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetDbVersion(), "DBV2.0a");

    raw->Execute("UPDATE CFGOSTRELIX SET MonitorResetTime = NULL");
    loaded = m_Config.LoadRoot();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetMonitorResetTime(), OleDateTime(1899, 1, 1, 0, 0, 0));

    raw->Execute("ALTER TABLE CFGOSTRELIX RENAME COLUMN DBVersion TO Version");
    EXPECT_EQ(m_Config.LoadRoot(), nullptr);
    EXPECT_EQ(m_Config.TakeLastError(), "Invalid Vorquel database type.");
}

TEST_F(CConfigModelTest, DamagedFilesAreRefusedWithAText) {
    OpenNew();
    Raw()->Execute(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
        "INSERT INTO CFGDEVICE (DEVName, Description) SELECT 'device ' || i, printf('%300d', i) FROM n");
    ASSERT_GT(fs::file_size(m_Path), 20'000u);
    fs::resize_file(m_Path, 20'000);
    CConfig config;
    bool opened = config.Open(m_Path, m_Dir.Path().string());
    bool loaded = opened && config.LoadRoot() != nullptr;
    CfgList<CCfgDevice> devices;
    if (loaded) {
        EXPECT_FALSE(config.LoadDevices(devices));
    }
    EXPECT_NE(config.TakeLastError().find("malformed"), std::string::npos);
}

TEST_F(CConfigModelTest, RowsOfNullsLoadAsEmptyValues) {
    OpenNew();
    auto raw = Raw();
    raw->Execute("INSERT INTO CFGDEVICE (ID) VALUES (NULL); INSERT INTO CFGREPORT (ID) VALUES (NULL);"
                 "INSERT INTO CFGNETWORKEVENT (ID) VALUES (NULL)");
    CfgList<CCfgDevice> devices;
    CfgList<CCfgReport> reports;
    CfgList<CCfgNetworkEvent> events;
    ASSERT_TRUE(m_Config.LoadDevices(devices));
    ASSERT_TRUE(m_Config.LoadReports(reports));
    ASSERT_TRUE(m_Config.LoadNetworkEvents(events));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0]->GetName(), "");
    EXPECT_EQ(devices[0]->GetAddressType(), 0);
    EXPECT_FALSE(devices[0]->GetPerformTest());
    EXPECT_EQ(devices[0]->GetMaxBandwidth(), 0);
    EXPECT_EQ(devices[0]->GetTestTime().GetStatus(), OleDateTime::null);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0]->GetTime().GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(reports[0]->GetDay(), 0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]->GetFilterWord(7), 0u);
    EXPECT_EQ(events[0]->GetCompareFrom().GetStatus(), OleDateTime::null);
}

class ArchiveModeTest : public CConfigTest {
protected:
    ArchiveModeTest() {
        m_Archive.SetProgramFolder(m_Dir.Path().string());
        EXPECT_FALSE(m_Archive.Open(m_Dir.File("any.vqd"), m_Dir.Path().string()));
        EXPECT_EQ(m_Archive.TakeLastError(), "component missing");
    }

    CConfig m_Archive{[](std::string& reason) {
                          reason = "component missing";
                          return false;
                      },
                      [this](const std::string& text) { m_Messages.push_back(text); }};
};

TEST_F(ArchiveModeTest, TableOperationsFailWithATextAndCreationWritesADefaultRoot) {
    EXPECT_FALSE(m_Archive.ProbeAdo());
    CfgList<CCfgDevice> devices;
    EXPECT_FALSE(m_Archive.LoadDevices(devices));
    EXPECT_EQ(m_Archive.TakeLastError(), "No configuration database is open.");
    EXPECT_FALSE(m_Archive.DeleteDevice("d"));
    EXPECT_EQ(m_Archive.TakeLastError(), "No configuration database is open.");
    EXPECT_EQ(m_Archive.LoadRoot(), nullptr);
    EXPECT_EQ(m_Archive.TakeLastError(), "Cannot access configuration database - Internal Error!");

    ASSERT_TRUE(m_Archive.CreateDatabase(m_Dir.Path().string(), "arch"));
    ASSERT_TRUE(m_Archive.AttachArchiveFile("arch.vqd", m_Dir.Path().string() + "/"));
    auto root = m_Archive.LoadRoot();
    ASSERT_NE(root, nullptr) << m_Archive.TakeLastError();
    EXPECT_EQ(Fields(*root), Fields(*std::make_unique<CCfgOstrelix>()));
    CfgList<CCfgNet> networks;
    EXPECT_TRUE(m_Archive.LoadNetworks(networks));
    EXPECT_TRUE(networks.empty());
    EXPECT_FALSE(m_Archive.CreateDatabase(m_Dir.Path().string(), "arch"));
    EXPECT_EQ(m_Messages, std::vector<std::string>{"Database already exists."});
}

TEST_F(ArchiveModeTest, SavedRootKeepsTheNetworksThatFollowIt) {
    ArchiveWriter archive;
    CCfgOstrelix root;
    root.SetPassword("old");
    root.Serialize(archive);
    for (const char* name : {"lan", "wan"}) {
        CCfgNet network;
        network.SetName(name);
        network.Serialize(archive);
    }
    test::WriteFile(m_Dir.File("a.vqa"), std::string(archive.Data().begin(), archive.Data().end()));
    ASSERT_TRUE(m_Archive.AttachArchiveFile("a.vqa", m_Dir.Path().string() + "/"));

    auto loaded = m_Archive.LoadRoot();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetPassword(), "old");
    CfgList<CCfgNet> networks;
    ASSERT_TRUE(m_Archive.LoadNetworks(networks));
    ASSERT_EQ(networks.size(), 2u);

    loaded->SetPassword("new");
    ASSERT_TRUE(m_Archive.SaveRoot(*loaded));
    loaded = m_Archive.LoadRoot();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetPassword(), "new");
    networks.clear();
    ASSERT_TRUE(m_Archive.LoadNetworks(networks));
    ASSERT_EQ(networks.size(), 2u);
    EXPECT_EQ(networks[1]->GetName(), "wan");
    EXPECT_TRUE(TempFilesLeft().empty());

    std::string bytes = test::ReadFile(m_Dir.File("a.vqa"));
    test::WriteFile(m_Dir.File("a.vqa"), bytes.substr(0, bytes.size() - 3));
    ASSERT_NE(m_Archive.LoadRoot(), nullptr);
    networks.clear();
    EXPECT_FALSE(m_Archive.LoadNetworks(networks));
    EXPECT_EQ(networks.size(), 1u);
    EXPECT_NE(m_Archive.TakeLastError(), "");
    EXPECT_FALSE(m_Archive.LoadNetworks(networks));
    EXPECT_EQ(m_Archive.TakeLastError(), "Cannot access configuration database - Internal Error!");
}

} // namespace
} // namespace vq
