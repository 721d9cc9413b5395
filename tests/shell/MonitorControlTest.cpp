#include "capture/AdapterInfo.h"
#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "config/CCfgDevice.h"
#include "config/CCfgNet.h"
#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/MonitorStateMessage.h"
#include "platform/db/Database.h"
#include "platform/gui/DialogManager.h"
#include "platform/registry/Registry.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "shell/CDlg_AssignAdapter.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/ExplorerInfo.h"
#include "tests/shell/EventRecording.h"
#include "tests/netmodel/ModelFixtures.h"
#include "tests/shell/ShellFixture.h"
#include "tests/support/TestPaths.h"

#include <algorithm>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vq {
namespace {

constexpr const char* kReplayMac = "02:00:00:00:00:01";
constexpr const char* kAbsentMac = "02:00:00:00:00:99";
constexpr const char* kDeviceIp = "10.0.0.9";

std::string ReplayAdapter(const std::string& mac = kReplayMac) {
    return "\\Device\\replay:" + test::TestPath("VQ_TEST_DATA_DIR") + "/captures/namespace.pcap?mac=" + mac;
}

// A configuration database with the given interfaces (name, adapter MAC, CSV logging) and one
// device at a known IP address, and an application loaded from it.
class MonitorControlTest : public test::ShellFixture {
protected:
    struct Interface {
        std::string name;
        std::string mac;
        bool csv;
    };

    void SetUp() override {
        ShellFixture::SetUp();
        m_Engine = std::make_unique<ScopedEngineGlobals>();
    }
    void TearDown() override {
        m_App.reset();
        SetMachineAdapterList(std::nullopt);
        CDlg_AssignAdapter::SetScript({});
        m_Engine.reset();
        ShellFixture::TearDown();
    }

    std::string Path() const { return m_Dir.File("net.vqd"); }

    void Load(const std::vector<Interface>& interfaces) {
        CConfig store{{}, [](const std::string&) {}};
        store.SetProgramFolder(ProgramFolder());
        ASSERT_TRUE(store.CreateDatabase(m_Dir.Path().string(), "net"));
        ASSERT_TRUE(store.Open(Path(), m_Dir.Path().string()));
        for (const Interface& i : interfaces) {
            CCfgNet network;
            network.SetName(i.name);
            network.SetAdapterAddress(i.mac);
            network.SetAdapterIndex(-1);
            network.SetCsvLogging(i.csv);
            ASSERT_TRUE(store.SaveNetwork(network)) << store.TakeLastError();
        }
        CCfgDevice device;
        device.SetName("pc7");
        device.SetAddressType(2);
        device.SetAddress(kDeviceIp);
        device.SetBitmap("Server");
        ASSERT_TRUE(store.SaveDevice(device)) << store.TakeLastError();

        m_App = std::make_unique<COstrelixApp>();
        m_App->GetSystemDoc().SetPath(m_Dir.Path().string());
        m_App->GetSystemDoc().SetName("net.vqd");
        m_App->SetLogDoc(std::make_unique<LogDoc>());
        ASSERT_TRUE(m_App->LoadConfiguration());
        m_App->RegisterMainThread();
        m_App->m_HistoryFolder = m_Dir.Path().string();
        m_Handler = &test::RecordEventHandler(*m_App);
    }

    std::vector<int> Codes() const {
        std::vector<int> codes;
        codes = test::SystemEventCodes(*m_App->GetLogDoc());
        return codes;
    }
    int Image(const std::string& network) const {
        return m_App->GetSystemDoc().FindNetwork(network)->m_Image;
    }
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }

    std::unique_ptr<ScopedEngineGlobals> m_Engine;
    std::unique_ptr<COstrelixApp> m_App;
    test::RecordingEventHandler* m_Handler = nullptr;
};

// One run of the real monitor over a replay adapter, "Lan" on it and "Spare" on an absent MAC.
class MonitorStartTest : public MonitorControlTest, public testing::WithParamInterface<bool> {};

TEST_P(MonitorStartTest, AReplayAdapterStartsMonitoringOnTheInterfacesBoundToIt) {
    const bool dnsDisabled = GetParam();
    SetMachineAdapterList(std::vector<std::string>{ReplayAdapter()});
    Load({{"Lan", kReplayMac, true}, {"Spare", kAbsentMac, false}});
    m_App->SetDisableDns(dnsDisabled);
    Environment& live = *TheMonitorGlobals().m_Environment;
    live.GetMacTable().SetLookup(true);

    m_App->StartMonitor();
    ASSERT_TRUE(m_App->IsMonitorCreated());
    std::vector<std::vector<std::uint16_t>> starts;
    MSG msg;
    while (m_App->GetMonitorState() != 1 && GetMessage(&msg, 0, 0, 0)) {
        if (msg.message == WM_Monitor_Start)
            starts.push_back(reinterpret_cast<MonitorControlMessage*>(msg.lParam)->GetAdapters());
        DispatchMessage(&msg);
    }
    // The monitor handles its queue in order: once this is answered, what was sent before is done.
    ASSERT_TRUE((new MonitorControlPauseMessage(true, true))->Send(m_App->GetMonitor()));
    while (GetMessage(&msg, 0, 0, 0) && msg.message != WM_Monitor_Pause)
        DispatchMessage(&msg);
    DispatchMessage(&msg);
    m_App->StopMonitor();
    Pump();

    EXPECT_EQ(starts, (std::vector<std::vector<std::uint16_t>>{{0}}));
    EXPECT_EQ(Image("Lan"), 1);
    EXPECT_EQ(Image("Spare"), 10);
    // The hosts of the capture follow as new addresses.
    const std::vector<int> codes = Codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], 493);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 493), 1);
    EXPECT_EQ(m_Handler->armAllCalls, 1);
    EXPECT_EQ(m_App->GetViewAdmin().m_Started, std::vector<std::string>{"network Lan"});
    ASSERT_NE(m_App->GetKeptAdapterReport(), nullptr);
    // Name look-ups go off only when they are disabled.
    EXPECT_EQ(live.GetMacTable().GetLookup(), !dnsDisabled);
}

INSTANTIATE_TEST_SUITE_P(DnsDisabledOrNot, MonitorStartTest, testing::Bool());

class SilentReports : public CaptureReports {
public:
    void Report(int, const std::string&, const char*, const char*) override {}
    void Announce(std::unique_ptr<AdapterInfoSet>, int) override {}
};

TEST_F(MonitorControlTest, ACancelledAssignmentStartsNothingAndIsOfferedAgain) {
    SetMachineAdapterList(std::vector<std::string>{ReplayAdapter(), ReplayAdapter(kAbsentMac)});
    Load({});
    SilentReports reports;
    AdapterSet adapters(48, reports);
    std::vector<int> answers{IDCANCEL, IDCANCEL, IDOK};
    int asked = 0;
    CDlg_AssignAdapter::SetScript([&](CDlg_AssignAdapter& dialog) {
        EXPECT_EQ(dialog.m_Adapters.GetSize(), 2);
        return answers[std::size_t(asked++)];
    });
    const auto report = [&] {
        auto* message =
            new MonitorStateAdaptersMessage(std::make_unique<AdapterInfoSet>(adapters), 1, false, true);
        ASSERT_TRUE(message->Send(&m_App->GetThreadObject()));
        Pump();
    };
    report();
    report();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(m_App->GetMonitorState(), 0);
    // Answered at last: there is still no interface to start, and the reports after it are only
    // answered.
    report();
    report();
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(m_App->GetMonitorState(), 0);
}

TEST_F(MonitorControlTest, AnInterfaceWithoutAnAdapterThatCannotBeSavedEndsTheProgramWith800) {
    SetMachineAdapterList(std::vector<std::string>{ReplayAdapter()});
    Load({{"Lan", "", false}});
    db::Database::Open(Path())->Execute("DROP TABLE CFGNETWORK");
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ::alarm(30);
        m_App->StartMonitor();
        for (;;) {
            Pump();
            MessageQueue::Current().Wait({}, MessageQueue::kInfinite);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 800 & 0xFF);
}

TEST_F(MonitorControlTest, LearnedAddressesRaiseTheirSystemEvents) {
    Load({{"Lan", kReplayMac, false}});
    CCfgOstrelix& root = *m_App->GetRootRecord();
    root.SetNewDeviceClass("New");
    MacAddress stranger("00:a0:c9:12:34:56", false);
    MacAddress adapter(kReplayMac, false);
    IpAddress knownIp(kDeviceIp, false);
    IpAddress newIp("10.0.0.77", false);
    const std::uint8_t ipxBytes[10] = {0, 0, 0, 1, 0, 0xa0, 0xc9, 0x12, 0x34, 0x56};
    IpxAddress ipx(ipxBytes, false);
    const std::string ipxText = ipx.GetText();

    const struct {
        const char* name;
        std::int32_t bits;
        bool create;
        bool report;
        MacAddress* mac;
        IpAddress* ip;
        std::vector<std::pair<int, std::string>> events;
        std::vector<std::string> devices;
    } cases[] = {
        {"new MAC reported", 0x03, false, true, &stranger, nullptr, {{484, "00:a0:c9:12:34:56"}}, {}},
        {"new MAC silent", 0x03, false, false, &stranger, nullptr, {}, {}},
        {"new MAC made into devices",
         0x01,
         true,
         true,
         &stranger,
         nullptr,
         {},
         {"MAC-00:a0:c9:12:34:56 New", "LOCAL MAC-00:a0:c9:12:34:56 local New"}},
        {"adapter MAC", 0x03, true, true, &adapter, nullptr, {}, {"LOCAL MAC-02:00:00:00:00:01 local New"}},
        {"adapter MAC reported", 0x03, false, true, &adapter, nullptr, {}, {}},
        {"misrouted IP", 0x04, false, true, nullptr, &newIp, {{414, "10.0.0.77"}}, {}},
        {"duplicate IP", 0x08, false, true, nullptr, &newIp, {{416, "10.0.0.77"}}, {}},
        {"new IP", 0x0C, false, true, nullptr, &newIp, {{412, "10.0.0.77"}}, {}},
        {"new IP of a device", 0x0C, false, true, nullptr, &knownIp, {}, {}},
        {"new IP silent", 0x0C, false, false, nullptr, &newIp, {}, {}},
        {"misrouted IPX", 0x10, false, true, nullptr, nullptr, {{415, ipxText}}, {}},
        {"duplicate IPX", 0x20, false, true, nullptr, nullptr, {{417, ipxText}}, {}},
        {"new IPX", 0x30, false, true, nullptr, nullptr, {{413, ipxText}}, {}},
        {"everything new",
         0x3F,
         false,
         true,
         &stranger,
         &newIp,
         {{484, "00:a0:c9:12:34:56"}, {412, "10.0.0.77"}, {413, ipxText}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        root.SetCreateLocalDevices(c.create);
        root.SetReportNewAddresses(c.report);
        HostAddress host(0);
        if (c.mac) host.SetMacCopy(*c.mac, 0);
        if (c.ip) host.SetIpCopy(*c.ip, 0);
        host.SetIpxCopy(ipx, 0);
        const auto before = test::SystemEvents(*m_App->GetLogDoc()).size();
        m_App->GetSystemDoc().m_MacDeviceRequests.clear();
        ASSERT_TRUE(
            (new MonitorStateAddressMessage(c.bits, host, false, true))->Send(&m_App->GetThreadObject()));
        Pump();
        auto events = test::SystemEvents(*m_App->GetLogDoc());
        events.erase(events.begin(), events.begin() + std::ptrdiff_t(before));
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(m_App->GetSystemDoc().m_MacDeviceRequests, c.devices);
    }
}

TEST_F(MonitorControlTest, MacOnlyReportingPassesAConfiguredPeerOnTheConfiguredSideOnly) {
    Load({});
    m_App->SetMacOnlyReporting(true);
    m_App->AddMacFilterEntry("00:a0:c9:00:00:01");
    const auto frame = test::IpFrame("00:a0:c9:12:34:56", "10.0.0.7", "00:a0:c9:00:00:01", "10.0.0.1");
    EXPECT_FALSE(m_App->GetMacFilter().PassesMacFilter(frame, FrameView::Source));
    EXPECT_TRUE(m_App->GetMacFilter().PassesMacFilter(frame, FrameView::Destination));
}

// The main thread edits the configured MACs while the monitor learns hosts through the filter.
TEST_F(MonitorControlTest, TheConfiguredMacsChangeWhileAFilteredReplayRuns) {
    SetMachineAdapterList(std::vector<std::string>{ReplayAdapter()});
    Load({{"Lan", kReplayMac, false}});
    m_App->SetMacOnlyReporting(true);
    m_App->StartMonitor();
    MSG msg;
    int edits = 0;
    while (m_App->GetMonitorState() != 1 && GetMessage(&msg, 0, 0, 0))
        DispatchMessage(&msg);
    for (; edits < 2000; ++edits) {
        if (edits % 2 == 0)
            m_App->AddMacFilterEntry("00:a0:c9:12:34:56");
        else
            m_App->RemoveMacFilterEntry("00:a0:c9:12:34:56");
        m_App->SetMacOnlyReportingReverse(edits % 3 == 0);
    }
    m_App->StopMonitor();
    Pump();
    EXPECT_TRUE(TheMonitorGlobals().m_Environment->CheckIntegrity(0, true));
}

} // namespace
} // namespace vq
