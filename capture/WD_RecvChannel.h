#pragma once

#include "capture/RecvChannel.h"
#include "platform/packet/DriverRecord.h"
#include "platform/packet/Overlapped.h"
#include "platform/thread/Event.h"

#include <memory>

namespace vq {

// The receive ring over the packet driver: one buffer with its own completion event per slot.
class WD_RecvChannel : public RecvChannel {
public:
    // One receive buffer: the driver writes into it between posting and completion only.
    struct Buffer {
        Overlapped overlapped;
        uint32_t bytesReturned = 0;
        DriverRecord record;
        bool posted = false;
        bool repostReported = false;
    };

    explicit WD_RecvChannel(Adapter* adapter) : RecvChannel(adapter) {}
    ~WD_RecvChannel() override;

    bool AllocBuffers() override;
    bool FreeBuffers() override;
    bool OpenBuffers() override;
    bool CloseBuffers() override;
    bool Process(uint32_t index) override;
    bool ScheduleRecv(uint32_t index) override;
    bool ScheduleAll() override;
    bool BufferReady(uint32_t index) override;
    bool IsPosted(uint32_t index) const override;

    Event* GetEvent(uint32_t index) const;

private:
    void Analyse(const DriverRecord& record, uint32_t lost);

    std::unique_ptr<Buffer[]> buffers_;
    std::unique_ptr<std::unique_ptr<Event>[]> events_;
    uint32_t allocated_ = 0;
};

} // namespace vq
