#include "capture/WD_RecvChannel.h"

#include "capture/Adapter.h"
#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "capture/Packet.h"
#include "platform/packet/PacketDriver.h"
#include "runtime/NdisStatus.h"
#include "runtime/SystemText.h"

#include <cstring>
#include <new>

namespace vq {

WD_RecvChannel::~WD_RecvChannel() {
    if (open_) WD_RecvChannel::Close();
    WD_RecvChannel::FreeBuffers();
}

bool WD_RecvChannel::AllocBuffers() {
    FreeBuffers();
    buffers_ = std::make_unique<Buffer[]>(bufferCount_);
    events_ = std::make_unique<std::unique_ptr<Event>[]>(bufferCount_);
    allocated_ = bufferCount_;
    return true;
}

bool WD_RecvChannel::FreeBuffers() {
    buffers_.reset();
    events_.reset();
    allocated_ = 0;
    return true;
}

bool WD_RecvChannel::OpenBuffers() {
    for (uint32_t i = 0; i < allocated_; ++i) {
        Buffer& buffer = buffers_[i];
        std::memset(&buffer.record, 0, sizeof buffer.record);
        buffer.bytesReturned = 0;
        buffer.posted = false;
        buffer.repostReported = false;
        buffer.overlapped.completed = false;
        events_[i] = std::make_unique<Event>();
        buffer.overlapped.event = events_[i].get();
        buffer.record.capacity = DriverRecord::kDataCapacity;
        adapter_->RegisterEvent(this, events_[i].get(), static_cast<int32_t>(i));
    }
    return true;
}

bool WD_RecvChannel::CloseBuffers() {
    for (uint32_t i = 0; i < allocated_; ++i) {
        if (!events_[i]) continue;
        // The set must not wait on an event that is gone.
        adapter_->RegisterEvent(this, nullptr, static_cast<int32_t>(i));
        buffers_[i].overlapped.event = nullptr;
        buffers_[i].posted = false;
        events_[i].reset();
    }
    return true;
}

Event* WD_RecvChannel::GetEvent(uint32_t index) const {
    return index < allocated_ ? events_[index].get() : nullptr;
}

bool WD_RecvChannel::IsPosted(uint32_t index) const {
    return index < allocated_ && buffers_[index].posted;
}

bool WD_RecvChannel::ScheduleRecv(uint32_t index) {
    if (index >= allocated_) return false;
    Buffer& buffer = buffers_[index];
    if (W32N_PacketRead(adapter_->GetHandle(), &buffer.record, &buffer.bytesReturned, &buffer.overlapped,
                        0) == 0) {
        buffer.posted = true;
        buffer.repostReported = false;
        return true;
    }
    buffer.posted = false;
    if (!buffer.repostReported) {
        buffer.repostReported = true;
        adapter_->Report(3,
                         FrameText(ErrorNumberText(W32N_GetLastError()), "W32N_PacketRead:", "", true, true),
                         "WD_RecvChannel", "ScheduleRecv");
    }
    return false;
}

bool WD_RecvChannel::ScheduleAll() {
    for (uint32_t i = 0; i < allocated_; ++i)
        ScheduleRecv(i);
    current_ = 0;
    return true;
}

bool WD_RecvChannel::BufferReady(uint32_t index) {
    if (index >= allocated_) return false;
    uint32_t bytes = 0;
    if (GetOverlappedResult(adapter_->GetHandle(), buffers_[index].overlapped, &bytes)) return true;
    int error = W32N_GetLastError();
    if (error != kErrorIoIncomplete)
        adapter_->Report(3, FormatSystemError(error, "GetOverlappedResult:", "", true, false),
                         "WD_RecvChannel", "BuffersRemaining");
    return false;
}

bool WD_RecvChannel::Process(uint32_t index) {
    RecvChannel::Process(index);
    Buffer& buffer = buffers_[index];
    buffer.posted = false;
    const DriverRecord& record = buffer.record;
    if (record.status != 0) {
        ++badFrames_;
        adapter_->Report(3, FormatNdisStatus(record.status, "event buffer:", "", true, false),
                         "WD_RecvChannel", "Process");
        return false;
    }
    uint32_t sequence = static_cast<uint32_t>(record.sequence);
    uint32_t lost = LostBefore(sequence, lastSequence_);
    lostTotal_ += lost;
    lastSequence_ = sequence;
    if (record.originalLength > record.capturedLength) ++cutFrames_;
    Analyse(record, lost);
    return true;
}

void WD_RecvChannel::Analyse(const DriverRecord& record, uint32_t lost) {
    try {
        // The packet reads the buffer in place and is gone before the buffer is posted again.
        Packet packet(record.data, record.capturedLength, *adapter_, lost, Timestamp(record.time),
                      record.sequence, record.originalLength);
        if (PacketSink* sink = adapter_->GetPacketSink()) packet.Analyse(*sink);
        if (packet.IsShort()) ++shortFrames_;
        WritePacket(packet);
    } catch (const std::bad_alloc&) {
    }
}

} // namespace vq
