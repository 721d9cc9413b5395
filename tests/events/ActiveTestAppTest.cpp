#include "platform/net/FakeResolver.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/ActiveTestInfo.h"
#include "shell/ActiveTestManager.h"
#include "shell/ShellMessages.h"
#include "tests/events/EventsFixture.h"
#include "tests/events/TestNetwork.h"
#include "tests/shell/ScriptedEchoes.h"

namespace vq::test {
namespace {

// The application with its real event handler and log, active tests started from the loaded
// configuration, the manager's clock ticked by the test.
class ActiveTestAppTest : public EventsFixture {
protected:
    void TearDown() override {
        if (m_App) m_App->StopActiveTests();
        EventsFixture::TearDown();
    }

    void SaveTestedDevice(const std::string& name, const std::string& address) {
        CCfgDevice record;
        record.SetName(name);
        record.SetAddressType(2);
        record.SetAddress(address);
        record.SetBitmap("Server");
        record.SetPerformTest(true);
        record.SetTestTime(OleDateTime(1899, 12, 30, 0, 0, 0));
        ASSERT_TRUE(m_Store.SaveDevice(record)) << m_Store.TakeLastError();
    }
    // A "Device does not respond" event that fires at the first failure.
    void SaveNoResponseEvent(const std::string& device) {
        CCfgDeviceEvent event = DeviceEvent(device);
        event.SetType(ActiveTestEvent::kNoResponse);
        event.SetThreshold(1);
        SaveEvent(event);
    }
    void StartTests() {
        Start();
        StartMonitoring();
        TakeInstalls();
        ASSERT_TRUE(m_App->StartActiveTests());
    }
    ActiveTestManager& Manager() { return *m_App->GetActiveTestManager(); }
    void Tick(int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(PostThreadMessage(Manager().GetThreadId(), WM_ACTIVETEST_TICK, 0, 0));
    }
    // Dispatches the application's messages one by one until `done` holds; `each` looks on after
    // every message.
    template <typename Done, typename Each = bool (*)()>
    bool PumpUntil(Done done, Each each = [] { return true; }) {
        return Eventually([&] {
            MSG msg;
            while (PeekMessage(&msg, 0, WM_USER, WM_USER + 0x7000, PM_REMOVE)) {
                DispatchMessage(&msg);
                if (!each()) return true;
            }
            return done();
        });
    }
    static bool Raised(EventInfo& event) { return event.m_ActiveEntry != nullptr; }

    std::shared_ptr<FakeResolver> m_Resolver = std::make_shared<FakeResolver>();
    ScopedResolver m_ResolverScope{m_Resolver};
};

TEST_F(ActiveTestAppTest, OpeningADevicesDialogGoesThroughTheManagerToTheApplicationThread) {
    SaveTestedDevice("pc7", "10.0.0.7");
    StartTests();
    for (UINT open : {WM_ACTIVETEST_OPEN, WM_ACTIVETEST_OPEN_SHORTCUT}) {
        auto request = ActiveTestInfo::Naming(Device("pc7"));
        ASSERT_TRUE(PostThreadMessage(Manager().GetThreadId(), open, WPARAM(request.release()), 0));
    }
    const std::vector<std::string> opened{"active test pc7", "active test pc7"};
    EXPECT_TRUE(PumpUntil([&] { return m_App->GetViewAdmin().m_Started == opened; }));
}

TEST_F(ActiveTestAppTest, AFiredEventIsRaisedBeforeTheResultReachesTheDevice) {
    ScriptedEchoes::Reset();
    IcmpLoader previous = SetIcmpLoader(&ScriptedEchoes::Load);
    SaveTestedDevice("pc7", "10.0.0.7");
    SaveNoResponseEvent("pc7");
    StartTests();
    EventInfo& event = EventOf("pc7");
    Tick(60);
    bool raisedFirst = false;
    EXPECT_TRUE(PumpUntil([&] { return !Device("pc7").m_LastTestText.empty(); },
                          [&] {
                              if (Raised(event) && Device("pc7").m_LastTestText.empty()) raisedFirst = true;
                              return true;
                          }));
    EXPECT_TRUE(raisedFirst);
    EXPECT_EQ(Device("pc7").m_LastTestStatus, ActiveTestResult::kNoAnswer);
    m_App->StopActiveTests();
    SetIcmpLoader(previous);
}

TEST_F(ActiveTestAppTest, DevicesInATestNetworkGetTheirResultLinesAndTheSilentOneRaisesItsEvent) {
    TestNetwork network;
    const std::string reason = network.Build();
    if (!reason.empty()) GTEST_SKIP() << reason;
    InNetworkNamespace inside(network.pinger);
    ASSERT_TRUE(inside.Entered());
    SaveTestedDevice("answering", "192.0.2.2");
    SaveTestedDevice("ignoring", "198.51.100.2");
    SaveTestedDevice("unresolvable", "nosuch.example");
    SaveNoResponseEvent("ignoring");
    StartTests();
    // The devices hold slots 1 to 3 in name order: slot 1 comes round at the 60th tick.
    Tick(60);
    const auto tested = [&] {
        for (const char* name : {"answering", "ignoring", "unresolvable"})
            if (Device(name).m_LastTestText.empty()) return false;
        return true;
    };
    ASSERT_TRUE(PumpUntil(tested));
    const std::string answer = Device("answering").m_LastTestText;
    EXPECT_EQ(answer.rfind(" 192.0.2.2 Round Trip ", 0), 0u) << answer;
    EXPECT_EQ(answer.substr(answer.size() - 10), "ms TTL: 64") << answer;
    EXPECT_EQ(Device("answering").m_LastTestStatus, ActiveTestResult::kAnswered);
    EXPECT_EQ(Device("ignoring").m_LastTestText, "Ping Error: IP_REQ_TIMED_OUT: Request timed out");
    EXPECT_EQ(Device("unresolvable").m_LastTestText, "Ping Error: IP_BUFF_TOO_SMALL: Buffer too small");
    EXPECT_TRUE(Raised(EventOf("ignoring")));
    m_App->StopActiveTests();
}

} // namespace
} // namespace vq::test
