#pragma once

#include "../netmodel/ModelFixtures.h"
#include "../runtime/EngineTestClock.h"
#include "monitor/CaptureAdapters.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/TrafficStore.h"
#include "netmodel/AdapterList.h"
#include "platform/thread/Event.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace vq {

// Adapters made of bare slots: each slot has an event when registered and belongs to an adapter
// that receives or not. Servicing a slot records it and runs an optional hook.
class FakeAdapters : public CaptureAdapters {
public:
    struct Slot {
        std::unique_ptr<Event> event;
        int adapter = 0;
    };

    explicit FakeAdapters(uint32_t slotCount) : m_Slots(slotCount) {}

    void Register(int32_t slot, int adapter) {
        m_Slots[size_t(slot)].event = std::make_unique<Event>();
        m_Slots[size_t(slot)].adapter = adapter;
    }
    void Signal(int32_t slot) { m_Slots[size_t(slot)].event->Set(); }

    bool IsReceiving() const override { return m_Receiving; }
    void CollectWaitSlots(std::vector<Event*>& events, std::vector<int32_t>& slots) const override {
        for (size_t i = 0; i < m_Slots.size(); ++i) {
            const Slot& slot = m_Slots[i];
            if (!slot.event || !IsAdapterReceiving(slot.adapter)) continue;
            events.push_back(slot.event.get());
            slots.push_back(int32_t(i));
        }
    }
    bool ServiceSlot(int32_t slot) override {
        serviced.push_back(slot);
        if (onService) onService(slot);
        return true;
    }
    bool Start(const List& list) override {
        Record("start", list);
        for (int adapter = 0; adapter < int(m_Capable.size()); ++adapter)
            if (m_Capable[size_t(adapter)] && Lists(list, adapter)) SetReceiving(adapter, true);
        return true;
    }
    void Stop(const List& list) override {
        Record("stop", list);
        for (int adapter = 0; adapter < int(m_AdapterReceiving.size()); ++adapter)
            if (Lists(list, adapter)) SetReceiving(adapter, false);
    }
    void AfterStop(const List& list) override { Record("after stop", list); }
    void Pause(const List& list) override {
        ++pauses;
        Record("pause", list);
        if (list.empty()) Engine().m_State.m_CaptureActive = false;
    }
    void Resume(const List& list) override {
        ++resumes;
        Record("resume", list);
        if (list.empty()) Engine().m_State.m_CaptureActive = true;
    }
    void StartCapture(const List& list) override { Record("capture on", list); }
    void StopCapture(const List& list) override { Record("capture off", list); }
    bool IsCapturing(int adapter) const override { return IsAdapterReceiving(adapter); }
    const AdapterList* GetAdapterList() const override { return adapterList; }
    int GetAdapterCount() const override { return int(m_Speeds.size()); }
    uint64_t GetLinkSpeed(int index) const override { return m_Speeds[size_t(index)]; }

    bool IsAdapterReceiving(int adapter) const {
        return adapter < int(m_AdapterReceiving.size()) && m_AdapterReceiving[size_t(adapter)];
    }

    // An adapter receives once started only when it can.
    void SetCapable(std::vector<bool> capable) {
        m_Capable = std::move(capable);
        m_Speeds.resize(m_Capable.size());
    }
    void SetReceiving(int adapter, bool receiving) {
        if (adapter >= int(m_AdapterReceiving.size())) m_AdapterReceiving.resize(size_t(adapter) + 1);
        m_AdapterReceiving[size_t(adapter)] = receiving;
        m_Receiving =
            std::find(m_AdapterReceiving.begin(), m_AdapterReceiving.end(), true) != m_AdapterReceiving.end();
    }

    bool m_Receiving = false;
    std::vector<bool> m_AdapterReceiving;
    std::vector<bool> m_Capable;
    // What the live model builds its interfaces from; none by default.
    const AdapterList* adapterList = nullptr;
    // Every state change, as "pause 0,2" or "resume" for all adapters.
    std::vector<std::string> calls;
    std::vector<uint64_t> m_Speeds;
    std::vector<int32_t> serviced;
    std::function<void(int32_t)> onService;
    int pauses = 0;
    int resumes = 0;

private:
    static bool Lists(const List& list, int adapter) {
        return list.empty() || std::find(list.begin(), list.end(), uint16_t(adapter)) != list.end();
    }
    void Record(const char* call, const List& list) {
        std::string text = call;
        for (size_t i = 0; i < list.size(); ++i)
            text += (i == 0 ? " " : ",") + std::to_string(list[i]);
        calls.push_back(text);
    }

    std::vector<Slot> m_Slots;
};

// Counters that only count frames, enough to follow where the counts go.
class CountingStore : public TrafficStore {
public:
    void AddPacket(const FrameView&) override { ++count; }
    void Clear() override { count = 0; }
    void CopyFrom(const TrafficStore& other) override {
        count = static_cast<const CountingStore&>(other).count;
    }
    void Add(const TrafficStore& other) override { count += static_cast<const CountingStore&>(other).count; }
    void SetAdapters(const CaptureAdapters& adapters) override { bound = &adapters; }
    void UpdateAdapters(const CaptureAdapters& adapters) override { updated.push_back(&adapters); }
    void AddOne() { ++count; }

    int count = 0;
    const CaptureAdapters* bound = nullptr;
    std::vector<const CaptureAdapters*> updated;
};

inline const CountingStore& StoreOf(const DataRoot& root) {
    return *static_cast<const CountingStore*>(root.GetTraffic());
}

inline int CountOf(const DataRoot& root) {
    return StoreOf(root).count;
}

inline TrafficStoreFactory CountingFactory() {
    return [](int32_t) { return std::make_unique<CountingStore>(); };
}

// The main thread of a test: collects the report texts.
class ReportingApp : public HeadlessApp {
public:
    std::vector<std::string> reports;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
            reports.push_back(report->GetText());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

using test::TestAdapterList;

// What a monitor on its own thread tells the test's main thread.
inline constexpr std::uint32_t kProbeRun = 0x0406;
inline constexpr std::uint32_t kProbeRunDone = 0x0407;
inline constexpr std::uint32_t kProbeTicked = 0x0408;

inline ThreadId MainThreadId() {
    return Engine().m_ThreadPool.GetMainThread()->GetThreadId();
}

// A monitor on its own thread that runs test code between two of its messages and tells the main
// thread when it ticked.
class ProbeMonitor : public Monitor {
public:
    explicit ProbeMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {}

    void Update(const Timestamp& now) override {
        struct Told {
            ~Told() { PostThreadMessage(MainThreadId(), kProbeTicked, 0, 0); }
        } told;
        Monitor::Update(now);
    }

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        if (entry.message != kProbeRun) return Monitor::OnThreadMessage(entry);
        (*reinterpret_cast<std::function<void()>*>(entry.lParam))();
        PostThreadMessage(MainThreadId(), kProbeRunDone, 0, 0);
    }
};

// Takes the first entry of the id from the main thread's queue, leaving the others queued.
inline bool WaitForMain(std::uint32_t id) {
    QueueEntry entry;
    return MessageQueue::Current().Get(entry, TargetFilter::Any(), {id, id});
}

// Queues the work to a ProbeMonitor; it runs once the monitor handled everything sent before.
inline bool PostToMonitor(const Monitor& monitor, std::function<void()>& work) {
    return PostThreadMessage(monitor.GetThreadId(), kProbeRun, 0, reinterpret_cast<std::intptr_t>(&work));
}

inline bool RunOnMonitor(const Monitor& monitor, std::function<void()> work) {
    return PostToMonitor(monitor, work) && WaitForMain(kProbeRunDone);
}

// One update step of a ProbeMonitor. The tick timer takes its next expiry from the clock once the
// tick is done: the clock moves on only after that.
inline bool TickMonitor(EngineTestClock& clock, const Monitor& monitor) {
    clock.AdvanceMilliseconds(500);
    return WaitForMain(kProbeTicked) && RunOnMonitor(monitor, [] {});
}

inline void DrainQueue() {
    QueueEntry e;
    while (MessageQueue::Current().Peek(e)) {
    }
}

} // namespace vq
