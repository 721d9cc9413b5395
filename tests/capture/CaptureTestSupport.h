#pragma once

// Reports, a packet sink and a monitor-like wait loop for the adapter and ring tests.

#include "capture/AdapterInfo.h"
#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "capture/Packet.h"
#include "platform/registry/Registry.h"
#include "platform/thread/MessageQueue.h"
#include "tests/platform/packet/TestCaptureFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq::test {

struct ReportRecord {
    int severity;
    std::string text, className, methodName;
};

class RecordingReports : public CaptureReports {
public:
    void Report(int severity, const std::string& text, const char* className,
                const char* methodName) override {
        reports.push_back({severity, text, className, methodName});
    }
    void Announce(std::unique_ptr<AdapterInfoSet> adapters, int value) override {
        announcements.emplace_back(value, std::move(adapters));
    }
    int Count(const std::string& start) const {
        int count = 0;
        for (const auto& report : reports)
            count += report.text.starts_with(start) ? 1 : 0;
        return count;
    }
    const ReportRecord* Find(const std::string& start) const {
        for (const auto& report : reports)
            if (report.text.starts_with(start)) return &report;
        return nullptr;
    }

    std::vector<ReportRecord> reports;
    std::vector<std::pair<int, std::unique_ptr<AdapterInfoSet>>> announcements;
};

struct SeenFrame {
    int adapter;
    uint64_t sequence;
    uint32_t lost;
    uint32_t length;
    int64_t frameLength;
    int64_t marker; // of a frame made by MakeEthernetFrame, else -1
};

class RecordingSink : public PacketSink {
public:
    bool AddPacket(Packet& packet) override {
        const auto& adapter = static_cast<const Adapter&>(packet.GetAdapter());
        const uint8_t* data = packet.GetData();
        int64_t marker = -1;
        if (packet.GetLength() >= 18 && data[12] == 0x88 && data[13] == 0xB5)
            marker = int64_t(data[14]) << 24 | data[15] << 16 | data[16] << 8 | data[17];
        frames.push_back({adapter.GetInfo().index, packet.GetSequence(), packet.GetLost(), packet.GetLength(),
                          packet.GetFrameLength(), marker});
        return true;
    }
    std::vector<SeenFrame> For(int adapter) const {
        std::vector<SeenFrame> seen;
        for (const auto& frame : frames)
            if (frame.adapter == adapter) seen.push_back(frame);
        return seen;
    }
    std::vector<SeenFrame> frames;
};

// Sets the machine branch's adapter list for one test.
class AdapterListScope {
public:
    explicit AdapterListScope(std::vector<std::string> names) { SetMachineAdapterList(std::move(names)); }
    ~AdapterListScope() { SetMachineAdapterList(std::nullopt); }
};

inline std::string ReplayName(const std::string& path, const std::string& options = "") {
    return "\\Device\\replay:" + path + (options.empty() ? "" : "?" + options);
}

// Waits as the monitor does, on every registered event, and services the slot that fired, until
// `done` holds or nothing fires for `quietMs`.
template <typename Done> void ServiceUntil(AdapterSet& set, Done done, uint32_t quietMs = 2000) {
    std::vector<Event*> events;
    std::vector<int32_t> slots;
    for (size_t slot = 0; slot < set.GetEvents().size(); ++slot)
        if (Event* event = set.GetEvents()[slot]) {
            events.push_back(event);
            slots.push_back(int32_t(slot));
        }
    while (!done()) {
        auto result = MessageQueue::Current().Wait(events, quietMs);
        if (result.kind != WaitResult::Kind::Event) break;
        EXPECT_TRUE(set.ServiceSlot(slots[result.index]));
    }
}

} // namespace vq::test
