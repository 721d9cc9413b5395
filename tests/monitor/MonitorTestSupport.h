#pragma once

#include "../runtime/EngineTestClock.h"
#include "monitor/CaptureAdapters.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/TrafficStore.h"
#include "platform/thread/Event.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/NotificationThreadMessage.h"

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
    void Pause() override {
        ++pauses;
        Engine().m_State.m_CaptureActive = false;
    }
    void Resume() override {
        ++resumes;
        Engine().m_State.m_CaptureActive = true;
    }
    int GetAdapterCount() const override { return int(m_Speeds.size()); }
    uint64_t GetLinkSpeed(int index) const override { return m_Speeds[size_t(index)]; }

    bool IsAdapterReceiving(int adapter) const {
        return adapter < int(m_AdapterReceiving.size()) && m_AdapterReceiving[size_t(adapter)];
    }

    bool m_Receiving = false;
    std::vector<bool> m_AdapterReceiving;
    std::vector<uint64_t> m_Speeds;
    std::vector<int32_t> serviced;
    std::function<void(int32_t)> onService;
    int pauses = 0;
    int resumes = 0;

private:
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
    void AddOne() { ++count; }

    int count = 0;
};

inline int CountOf(const DataRoot& root) {
    return static_cast<const CountingStore*>(root.GetTraffic())->count;
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

inline void DrainQueue() {
    QueueEntry e;
    while (MessageQueue::Current().Peek(e)) {
    }
}

} // namespace vq
