#include "capture/ProtocolTable.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/MonitorAlarmReply.h"
#include "netmodel/HostAddress.h"
#include "netmodel/Tuple.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/TimeUnits.h"
#include "shell/ShellMessages.h"
#include "tests/events/EventsFixture.h"

#include <limits>

namespace vq {
namespace {

class EventHandlerTest : public test::EventsFixture {
protected:
    CEventHandler& Handler() { return m_App->GetEventHandler(); }
    bool Fired(const EventInfo& info) const { return info.m_ActiveEntry && info.m_ActiveEntry->m_Reported; }
    // Reports a value as the application hands the alarm's threshold over.
    void Report(const EventInfo& info, double value, bool upward) {
        AlarmThresholds thresholds;
        auto threshold = std::make_unique<AlarmThreshold>(0.0, MODE_CROSSING, kLimitNotSet, MODE_UNSET);
        threshold->m_CurrentValue = value;
        threshold->m_RisingLimit.m_State = upward ? LIMIT_ROSE : LIMIT_FELL;
        threshold->m_RisingLimit.m_Fired = 1;
        thresholds.Add(std::move(threshold));
        auto* reply = new MonitorAlarmReply(CEventHandler::AlarmIdentifier(info), nullptr, thresholds,
                                            MODE_UPDATE, TimeRange());
        ASSERT_TRUE((new MonitorAlarmUpdateMessage(reply, false, true))->Send(&m_App->GetThreadObject()));
        PumpOnly(WM_Alarm_Triggered);
    }
};

struct ProtocolBit {
    int word;
    int bit;
    const ProtocolRow* row;
};

// The first tree positions whose rows are of the layer kind.
std::vector<ProtocolBit> ProtocolBits(int32_t layer, std::size_t count) {
    std::map<int32_t, int32_t> byNumber, byPosition;
    BuildProtocolIndexMaps(byNumber, byPosition);
    std::vector<ProtocolBit> bits;
    for (const auto& [key, row] : byPosition) {
        const ProtocolRow& protocol = ProtocolRows()[std::size_t(row)];
        if (protocol.layer == layer && bits.size() < count) bits.push_back({key / 32, key % 32, &protocol});
    }
    return bits;
}

TEST_F(EventHandlerTest, EventsBecomeAlarmsOnTheirAddressesDirectionsAndProtocols) {
    const struct {
        const char* name;
        int type;
        const char* address;
        bool (HostAddress::*has)() const;
    } devices[] = {{"t0", 0, "", nullptr},
                   {"t1", 1, "00:a0:c9:12:34:56", &HostAddress::HasMac},
                   {"t2", 2, "10.0.0.2", &HostAddress::HasIp},
                   {"t3", 3, "10.0.0.3", &HostAddress::HasIp},
                   {"t4", 4, "00000001,00a0c9123456", &HostAddress::HasIpx},
                   {"t5", 5, "NETBEUI", nullptr}};
    const auto network = ProtocolBits(5, 1);
    const auto transport = ProtocolBits(4, 2);
    ASSERT_EQ(network.size(), 1u);
    ASSERT_EQ(transport.size(), 2u);
    for (const auto& device : devices) {
        SaveDevice(device.name, device.type, device.address);
        for (int direction = 0; direction < 3; ++direction) {
            CCfgDeviceEvent event = DeviceEvent(device.name);
            event.SetDirection(direction);
            if (direction == 2)
                for (const auto& bit : {network[0], transport[0], transport[1]})
                    event.SetFilterWord(bit.word, event.GetFilterWord(bit.word) | (1u << bit.bit));
            SaveEvent(event);
        }
    }
    SaveNetwork("Lan", 3);
    CCfgNetworkEvent onNetwork;
    onNetwork.SetOwnerName("Lan");
    onNetwork.SetType(1001);
    onNetwork.SetThreshold(5);
    onNetwork.SetDirection(1);
    onNetwork.SetFilterWord(network[0].word, 1u << network[0].bit);
    onNetwork.SetSampleTime(ScheduleStart(kSchedulePeriod) + OleDateTimeSpan(0, 0, 0, 30));
    onNetwork.SetFrequency(ScheduleStart(kScheduleOff));
    SaveEvent(onNetwork);
    Start();

    // Bound to its adapter when the monitor reported the adapters.
    m_App->GetSystemDoc().FindNetwork("Lan")->GetNetwork()->SetAdapterIndex(3);
    // Nothing is armed before monitoring runs, not even by force.
    Handler().ArmEvent(EventOf("t2"), true);
    EXPECT_FALSE(Handler().IsArmed(EventOf("t2")));
    StartMonitoring();
    std::vector<Sent> installs = TakeInstalls();
    ASSERT_EQ(installs.size(), 4u * 3 + 1);

    std::size_t next = 0;
    for (const auto& device : devices) {
        SCOPED_TRACE(device.name);
        for (int direction = 0; direction < 3; ++direction) {
            SCOPED_TRACE(direction);
            const EventInfo& info = EventOf(device.name, direction);
            EXPECT_TRUE(Handler().IsArmed(info));
            if (!device.has) continue;
            const MonitorAlarm& alarm = installs[next++].Alarm();
            EXPECT_EQ(alarm.GetIdentifier(), CEventHandler::AlarmIdentifier(info));
            EXPECT_EQ(alarm.GetPeriod(), TimeSpan(60, Unit::Seconds));
            EXPECT_EQ(alarm.GetRepetitions(), 0u);
            const AlarmThreshold& threshold = *alarm.GetThresholds().GetAt(0);
            EXPECT_EQ(threshold.m_RisingLimit.m_Value, 100.0);
            EXPECT_EQ(threshold.m_RisingLimit.m_Mode, MODE_CROSSING);
            EXPECT_FALSE(threshold.m_FallingLimit.IsSet());
            const TupleSet& selections = alarm.GetCriteria().GetSelections();
            const std::vector<int32_t> sides = direction == 0 ? std::vector<int32_t>{KEY_Destination}
                                               : direction == 1
                                                   ? std::vector<int32_t>{KEY_Source}
                                                   : std::vector<int32_t>{KEY_Destination, KEY_Source};
            ASSERT_EQ(selections.GetSize(), sides.size());
            for (std::size_t i = 0; i < sides.size(); ++i) {
                const Tuple& tuple = selections.Get(i);
                EXPECT_EQ(tuple.GetKey() & (KEY_Source | KEY_Destination), sides[i]);
                ASSERT_NE(tuple.GetKeyHost(sides[i]), nullptr);
                EXPECT_TRUE((tuple.GetKeyHost(sides[i])->*device.has)());
                const bool filtered = direction == 2;
                EXPECT_EQ(tuple.GetKeyValue(KEY_NetworkProtocol),
                          filtered ? uint32_t(network[0].row->number) : 0u);
                EXPECT_EQ(tuple.GetKeyValue(KEY_TransportProtocol),
                          filtered ? uint32_t(transport[1].row->number) : 0u);
            }
        }
    }
    // The interface's event keys on its adapter and ignores direction and filter.
    const MonitorAlarm& interfaceAlarm = installs[next].Alarm();
    EXPECT_EQ(interfaceAlarm.GetPeriod(), TimeSpan(30, Unit::Seconds));
    ASSERT_EQ(interfaceAlarm.GetCriteria().GetSelections().GetSize(), 1u);
    const Tuple& onInterface = interfaceAlarm.GetCriteria().GetSelections().Get(0);
    EXPECT_EQ(onInterface.GetKeyValue(KEY_Interface), 3u);
    EXPECT_EQ(onInterface.GetKeyValue(KEY_NetworkProtocol), 0u);
}

TEST_F(EventHandlerTest, APeriodicFrequencyRearmsOnItsMinuteAndADailyOneNever) {
    SaveDevice("pc7", 2, "10.0.0.7");
    CCfgDeviceEvent every30 = DeviceEvent("pc7");
    every30.SetFrequency(ScheduleStart(kSchedulePeriod) + OleDateTimeSpan(0, 0, 30, 0));
    SaveEvent(every30);
    CCfgDeviceEvent daily = DeviceEvent("pc7");
    daily.SetFrequency(ScheduleStart(kScheduleDaily) + OleDateTimeSpan(0, 8, 0, 0));
    SaveEvent(daily);
    for (const int type : {13, 14, 15}) {
        CCfgDeviceEvent response = DeviceEvent("pc7");
        response.SetType(type);
        SaveEvent(response);
    }
    Start();
    StartMonitoring();
    std::vector<Sent> installs = TakeInstalls();
    ASSERT_EQ(installs.size(), 5u) << "response events get traffic alarms too";
    EXPECT_EQ(installs[0].Alarm().GetRepetitions(), 1u);
    EXPECT_EQ(installs[1].Alarm().GetRepetitions(), 1u);
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(installs[i].Alarm().GetRepetitions(), 0u);
    }
    for (int minute = 1; minute <= 60; ++minute) {
        Handler().RearmScheduled();
        const std::size_t expected = minute % 30 == 0 ? 1 : 0;
        ASSERT_EQ(TakeCancels(), expected) << minute;
        installs = TakeInstalls();
        ASSERT_EQ(installs.size(), expected) << minute;
        if (expected) {
            EXPECT_EQ(installs[0].Alarm().GetIdentifier(), CEventHandler::AlarmIdentifier(EventOf("pc7", 0)));
        }
    }
}

TEST_F(EventHandlerTest, ReportedValuesFireByTheEventsType) {
    SaveDevice("pc7", 2, "10.0.0.7");
    for (const int type : {1, 2, 13, 1013, 1014}) {
        CCfgDeviceEvent event = DeviceEvent("pc7");
        event.SetType(type);
        event.SetResetWhenNormal(true);
        SaveEvent(event);
    }
    Start();
    StartMonitoring();
    TakeInstalls();
    const struct {
        const char* name;
        int event;
        double value;
        bool upward;
        bool fires;
    } cases[] = {
        {"high 101", 0, 101, true, true},        {"high 100 up", 0, 100, true, true},
        {"high 100 down", 0, 100, false, false}, {"high 99", 0, 99, true, false},
        {"high 100.9", 0, 100.9, false, false},  {"high 3e9", 0, 3e9, false, true},
        {"low 99", 1, 99, false, true},          {"low 100 down", 1, 100, false, true},
        {"low 100 up", 1, 100, true, false},     {"low 101", 1, 101, false, false},
        {"response 256", 2, 256, true, true},    {"response 255", 2, 255, true, false},
        {"error limit", 3, 1e6, true, false},    {"discovery", 4, 1e6, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EventInfo& info = EventOf("pc7", c.event);
        if (info.m_ActiveEntry) Log().Reset(*info.m_ActiveEntry);
        Report(info, c.value, c.upward);
        EXPECT_EQ(Fired(info), c.fires);
    }
    // A value on the normal side clears a raised entry that resets when normal.
    EventInfo& high = EventOf("pc7", 0);
    Report(high, 101, true);
    ASSERT_TRUE(Fired(high));
    Report(high, 99, false);
    EXPECT_EQ(high.m_ActiveEntry, nullptr);

    // A disarmed event's serial is no longer known.
    Handler().DisarmEvent(high);
    EXPECT_EQ(TakeCancels(), 1u);
    Report(high, 500, true);
    EXPECT_FALSE(Fired(high));
}

TEST_F(EventHandlerTest, AResponseEventWithoutAnAlarmFiresFromTheActiveTestsAndClearsOnAnyOtherReport) {
    SaveDevice("nb", 5, "NETBEUI");
    CCfgDeviceEvent event = DeviceEvent("nb");
    event.SetType(14);
    event.SetResetWhenNormal(true);
    SaveEvent(event);
    Start();
    StartMonitoring();
    EXPECT_TRUE(TakeInstalls().empty());
    EventInfo& info = EventOf("nb");
    ASSERT_TRUE(Handler().IsArmed(info));
    ASSERT_TRUE(PostThreadMessage(CurrentThreadId(), WM_ACTIVETEST_EVENT, WPARAM(info.GetSerial()), 256));
    PumpOnly(WM_ACTIVETEST_EVENT);
    ASSERT_TRUE(Fired(info));
    Report(info, 256.7, true);
    EXPECT_TRUE(Fired(info));
    Report(info, 255, true);
    EXPECT_EQ(info.m_ActiveEntry, nullptr);
}

TEST_F(EventHandlerTest, DisarmingAThousandEventsSendsAThousandCancels) {
    SaveDevice("pc7", 2, "10.0.0.7");
    for (int i = 0; i < 1000; ++i)
        SaveEvent(DeviceEvent("pc7"));
    Start();
    StartMonitoring();
    EXPECT_EQ(TakeInstalls().size(), 1000u);
    Handler().DisarmAll();
    EXPECT_EQ(TakeCancels(), 1000u);
    EXPECT_FALSE(Handler().IsArmed(EventOf("pc7", 999)));
}

TEST_F(EventHandlerTest, ADeletedDevicesEntriesLeaveTheLog) {
    SaveDevice("pc7", 2, "10.0.0.7");
    SaveEvent(DeviceEvent("pc7"));
    Start();
    StartMonitoring();
    TakeInstalls();
    ExplorerInfo& device = Device("pc7");
    EventInfo* info = &EventOf("pc7");
    Report(*info, 500, true);
    ASSERT_TRUE(Fired(*info));
    // The editor marks the device gone, disarms its events and then frees them.
    device.SetValid(false);
    Handler().DisarmEvent(*info);
    EXPECT_TRUE(Log().GetEntries().empty());
    ASSERT_TRUE(device.RemoveEvent(info));
    delete info;
    for (int minute = 0; minute < 20; ++minute)
        Log().OnMinuteTick();
    EXPECT_EQ(TakeCancels(), 1u);
}

} // namespace
} // namespace vq
