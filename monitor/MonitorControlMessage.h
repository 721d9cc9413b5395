#pragma once

#include "monitor/AnswerCopy.h"
#include "monitor/RingGeometry.h"
#include "runtime/MessageIds.h"
#include "runtime/ThreadMessage.h"

#include <cstdint>
#include <vector>

namespace vq {

// A command of the main thread to the monitor, with the adapters it concerns (positions in the
// adapter set); an empty list means every adapter.
class MonitorControlMessage : public ThreadMessage {
public:
    bool AddAdapter(uint16_t index);
    const std::vector<uint16_t>& GetAdapters() const { return m_Adapters; }
    const char* GetClassName() const override { return "MonitorControlMessage"; }

protected:
    MonitorControlMessage(uint32_t messageId, bool wantsReply, bool receiverDeletes);
    // The answer: same serial and id, the adapter list copied.
    explicit MonitorControlMessage(const MonitorControlMessage& request);

private:
    std::vector<uint16_t> m_Adapters;
};

// The commands without a payload of their own: they differ in id and name only.
template <uint32_t Id, const char* Name> class MonitorControlCommand final : public MonitorControlMessage {
public:
    MonitorControlCommand(bool wantsReply, bool receiverDeletes)
        : MonitorControlMessage(Id, wantsReply, receiverDeletes) {}
    MonitorControlCommand(const MonitorControlCommand& request) : MonitorControlMessage(request) {}
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return Name; }
};

inline constexpr char kMonitorControlStopName[] = "MonitorControlStopMessage";
inline constexpr char kMonitorControlPauseName[] = "MonitorControlPauseMessage";
inline constexpr char kMonitorControlUnpauseName[] = "MonitorControlUnpauseMessage";
inline constexpr char kMonitorControlRestartName[] = "MonitorControlRestartMessage";
inline constexpr char kMonitorControlStartCaptureName[] = "MonitorControlStartCaptureMessage";
inline constexpr char kMonitorControlStopCaptureName[] = "MonitorControlStopCaptureMessage";

using MonitorControlStopMessage = MonitorControlCommand<WM_Monitor_Stop, kMonitorControlStopName>;
using MonitorControlPauseMessage = MonitorControlCommand<WM_Monitor_Pause, kMonitorControlPauseName>;
using MonitorControlUnpauseMessage = MonitorControlCommand<WM_Monitor_Unpause, kMonitorControlUnpauseName>;
using MonitorControlRestartMessage = MonitorControlCommand<WM_Monitor_Restart, kMonitorControlRestartName>;
using MonitorControlStartCaptureMessage =
    MonitorControlCommand<WM_Monitor_CaptureOn, kMonitorControlStartCaptureName>;
using MonitorControlStopCaptureMessage =
    MonitorControlCommand<WM_Monitor_CaptureOff, kMonitorControlStopCaptureName>;

// Starts the listed adapters and the tick. The monitor's answer lists the adapters capturing
// afterwards and carries the live ring's shape for the requesters to keep.
class MonitorControlStartMessage final : public MonitorControlMessage {
public:
    MonitorControlStartMessage(bool wantsReply, bool receiverDeletes);
    MonitorControlStartMessage(const MonitorControlStartMessage& request);

    void SetGeometry(const RingGeometry& geometry) { m_Geometry = geometry; }
    const RingGeometry& GetGeometry() const { return m_Geometry; }
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return "MonitorControlStartMessage"; }

private:
    RingGeometry m_Geometry;
};

// Which parts of the live data to reset: 1 totals, 2 last sample, 8 interval ring.
class MonitorControlResetMessage final : public MonitorControlMessage {
public:
    static constexpr int32_t kResetEverything = 15;

    MonitorControlResetMessage(bool wantsReply, bool receiverDeletes);
    // The answer carries no flags: its receiver does not read them.
    MonitorControlResetMessage(const MonitorControlResetMessage& request);

    void SetFlags(int32_t flags) { m_Flags = flags; }
    void AddFlags(int32_t flags) { m_Flags |= flags; }
    int32_t GetFlags() const { return m_Flags; }
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return "MonitorControlResetMessage"; }

private:
    int32_t m_Flags = kResetEverything;
};

// Switches the background name look-up of the address tables in the mask.
class MonitorControlLookupMessage final : public MonitorControlMessage {
public:
    MonitorControlLookupMessage(bool enable, uint32_t tableMask, bool wantsReply, bool receiverDeletes);
    MonitorControlLookupMessage(const MonitorControlLookupMessage& request);

    uint32_t GetTableMask() const { return m_TableMask; }
    bool GetEnable() const { return m_Enable != 0; }
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return "MonitorControlLookupMessage"; }

private:
    uint32_t m_TableMask;
    uint8_t m_Enable;
};

} // namespace vq
