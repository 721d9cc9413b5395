#include "shell/ExplorerInfo.h"

#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgNet.h"
#include "shell/EventInfo.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

// Two windows standing for the explorer and the shortcut bar, recording the status posts in the
// order they arrive.
class StatusSpies {
public:
    StatusSpies() {
        WNDCLASS wc;
        wc.lpfnWndProc = &StatusSpies::Procedure;
        wc.lpszClassName = "StatusSpy";
        RegisterClass(wc);
        explorer = CreateWindowEx(0, "StatusSpy", "explorer", WS_OVERLAPPED, 0, 0, 10, 10, 0, 0, nullptr);
        shortcuts = CreateWindowEx(0, "StatusSpy", "shortcuts", WS_OVERLAPPED, 0, 0, 10, 10, 0, 0, nullptr);
        ExplorerInfo::SetStatusWindows(explorer, shortcuts);
        seen().clear();
    }
    ~StatusSpies() {
        ExplorerInfo::SetStatusWindows(0, 0);
        Take();
        DestroyWindow(explorer);
        DestroyWindow(shortcuts);
        UnregisterClass("StatusSpy");
    }
    // The posts since the last call, each as its window and record.
    std::vector<std::pair<HWND, WPARAM>> Take() {
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
        auto taken = seen();
        seen().clear();
        return taken;
    }

    HWND explorer = 0, shortcuts = 0;

private:
    static std::vector<std::pair<HWND, WPARAM>>& seen() {
        static std::vector<std::pair<HWND, WPARAM>> posts;
        return posts;
    }
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_OBJECT_STATUS) seen().emplace_back(window, wParam);
        return DefWindowProc(window, message, wParam, lParam);
    }
};

// A device record with events, as the configuration model makes them.
struct DeviceFixture {
    explicit DeviceFixture(ExplorerObjectList& list, const std::string& name = "a/b") {
        device.SetName("placeholder");
        record = list.Create();
        record->m_Kind = ExplorerInfo::kDevice;
        record->m_Name = name;
        record->SetRecord(&device);
    }
    EventInfo* Event(bool resetWhenNormal) {
        auto* cfg = new CCfgDeviceEvent;
        cfg->SetResetWhenNormal(resetWhenNormal);
        events.emplace_back(cfg);
        auto* event = new EventInfo;
        event->m_CfgEvent = cfg;
        event->m_Object = &device;
        return event;
    }
    CCfgDevice device;
    ExplorerInfo* record = nullptr;
    std::vector<std::unique_ptr<CCfgEvent>> events; // the model's own records
};

TEST(ExplorerInfo, StatusFollowsRaisesAndClearsAndIsPostedOnlyOnAChange) {
    StatusSpies spies;
    ExplorerObjectList list;
    DeviceFixture fixture(list);
    ExplorerInfo& record = *fixture.record;
    const auto post = [&](HWND window) { return std::make_pair(window, WPARAM(&record)); };
    using Posts = std::vector<std::pair<HWND, WPARAM>>;
    const Posts both{post(spies.explorer), post(spies.shortcuts)};

    struct Step {
        const char* label;
        bool raise;
        int level;
        int status;
        bool posted;
    };
    const Step steps[] = {
        {"clear an empty level", false, 3, 0, false},
        {"raise 3", true, 3, 3, true},
        {"raise 3 again", true, 3, 3, false},
        {"raise 2 below it", true, 2, 3, false},
        {"clear 3 once", false, 3, 3, false},
        {"clear 3 again", false, 3, 2, true},
        {"clear 2", false, 2, 0, true},
        {"clear 2 below zero", false, 2, 0, false},
        {"raise 1: configured", true, 1, 1, true},
        {"clear 1 changes nothing", false, 1, 1, false},
        {"raise 4", true, 4, 4, true},
        {"clear 0 leaves the status", false, 0, 4, false},
        {"raise 7 changes nothing", true, 7, 4, false},
        {"clear 4", false, 4, 1, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        step.raise ? record.RaiseStatus(step.level) : record.ClearStatus(step.level);
        EXPECT_EQ(record.GetStatus(), step.status);
        EXPECT_EQ(spies.Take(), step.posted ? both : Posts());
    }
    EXPECT_EQ(record.GetLevelCount(0), 0) << "the level-0 counter starts at 1 and only falls";
    EXPECT_EQ(record.GetLevelCount(2), 0);
}

TEST(ExplorerInfo, EventsConfigureDevicesButNeverClasses) {
    StatusSpies spies;
    ExplorerObjectList list;
    DeviceFixture device(list);
    EXPECT_EQ(device.record->GetDisplayStatus(), 0);
    device.record->AddEvent(device.Event(true));
    EXPECT_EQ(device.record->GetStatus(), 1);
    EXPECT_EQ(device.record->GetDisplayStatus(), 2) << "reset when normal shows OK while nothing is raised";

    DeviceFixture asClass(list, "Printers");
    asClass.record->m_Kind = ExplorerInfo::kClass;
    EventInfo* classEvent = asClass.Event(true);
    classEvent->m_Kind = EventInfo::kClass;
    asClass.record->AddEvent(classEvent);
    EXPECT_EQ(asClass.record->GetStatus(), 0);
    EXPECT_FALSE(asClass.record->HasResetWhenNormal());

    DeviceFixture empty(list, "empty");
    EventInfo stranger;
    EXPECT_TRUE(empty.record->RemoveEvent(&stranger)) << "nothing to remove from an object without events";
    EXPECT_FALSE(device.record->RemoveEvent(&stranger));
    EXPECT_EQ(device.record->GetEventAt(1), nullptr);
    EXPECT_EQ(device.record->GetEventAt(-1), nullptr);
    std::unique_ptr<EventInfo> removed(device.record->GetEventAt(0));
    device.events[0].release(); // the removal deletes the event's configuration record
    EXPECT_TRUE(device.record->RemoveEvent(removed.get()));
    EXPECT_EQ(removed->m_CfgEvent, nullptr);
    EXPECT_EQ(removed->m_Owner, nullptr);
    EXPECT_EQ(device.record->GetEventCount(), 0);
    EXPECT_EQ(list.GetCount(), 3u);
}

TEST(ExplorerInfo, ActiveTestResultByKindAndHistory) {
    ExplorerObjectList list;
    DeviceFixture device(list);
    std::uint32_t roundTrip = 0;
    OleDateTime time;
    std::string text = "stale";
    device.device.SetPerformTest(false);
    EXPECT_EQ(device.record->GetActiveTestResult(roundTrip, time, text), 1);
    device.device.SetPerformTest(true);
    EXPECT_EQ(device.record->GetActiveTestResult(roundTrip, time, text), 4) << "never tested";
    device.record->m_LastTestText = "Reply from 10.0.0.1";
    device.record->m_LastTestTime = OleDateTime(2026, 12, 8, 22, 30, 0);
    device.record->m_LastTestRoundTrip = 17;
    device.record->m_LastTestStatus = 2;
    EXPECT_EQ(device.record->GetActiveTestResult(roundTrip, time, text), 2);
    EXPECT_EQ(roundTrip, 17u);
    EXPECT_EQ(time.GetYear(), 2026);
    EXPECT_TRUE(text.empty());

    CCfgNet network;
    ExplorerInfo* net = list.Create();
    net->m_Kind = ExplorerInfo::kNetwork;
    net->SetRecord(&network);
    EXPECT_EQ(net->GetActiveTestResult(roundTrip, time, text), 0);
    ExplorerInfo* root = list.Create();
    root->m_Root = true;
    EXPECT_EQ(root->GetActiveTestResult(roundTrip, time, text), 0);
}

TEST(ExplorerInfo, AnEditCopyHasRecordsOfItsOwn) {
    StatusSpies spies;
    ExplorerObjectList list;
    DeviceFixture source(list);
    source.device.SetName("a/b");
    source.record->AddEvent(source.Event(false));
    source.record->AddEvent(source.Event(true));
    source.record->RaiseStatus(3);
    source.record->m_LastTestStatus = 2;
    source.record->SetTrendViewEnabled(false);

    ExplorerInfo* copy = list.Create();
    copy->CopyFrom(*source.record);
    ASSERT_NE(copy->GetDevice(), nullptr);
    EXPECT_NE(copy->GetDevice(), &source.device);
    EXPECT_EQ(copy->GetDevice()->GetName(), "a-b");
    ASSERT_EQ(copy->GetEventCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EventInfo* event = copy->GetEventAt(i);
        EXPECT_NE(event, source.record->GetEventAt(i));
        EXPECT_NE(event->m_CfgEvent, source.record->GetEventAt(i)->m_CfgEvent);
        EXPECT_EQ(event->m_Object, copy->GetDevice());
        EXPECT_EQ(event->m_Owner, copy);
        EXPECT_NE(event->GetSerial(), source.record->GetEventAt(i)->GetSerial());
    }
    EXPECT_TRUE(copy->HasResetWhenNormal());
    EXPECT_TRUE(copy->IsConfigured());
    for (int level : {0, 2, 3, 4}) EXPECT_EQ(copy->GetLevelCount(level), level == 0 ? 1 : 0) << level;
    EXPECT_EQ(copy->m_LastTestStatus, 0);
    EXPECT_TRUE(copy->IsTrendViewEnabled());
    copy->DeleteRecords();
}

} // namespace
} // namespace vq
