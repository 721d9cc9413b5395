#pragma once

#include <cstdint>

namespace vq {

class Adapter;
class Packet;

// A channel of one adapter: its buffers, its place in the ring and its counters.
class Channel {
public:
    static constexpr int32_t kReceive = 1;

    Channel(Adapter* adapter, int32_t kind) : adapter_(adapter), kind_(kind) {}
    virtual ~Channel() = default;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    virtual bool Open();
    virtual bool Close();
    virtual bool SetBuffers(uint32_t count);
    virtual bool Start();
    virtual bool CanStart() { return true; }
    virtual bool Stop();
    // The capture file comes with the capture-file writer; until then there is none to open.
    virtual bool OpenCaptureFile() { return false; }
    virtual bool CloseCaptureFile() { return true; }
    virtual bool AllocBuffers() = 0;
    virtual bool FreeBuffers() = 0;
    virtual bool OpenBuffers() = 0;
    virtual bool CloseBuffers() = 0;

    bool WritePacket(Packet&) { return false; }

    Adapter* GetAdapter() const { return adapter_; }
    int32_t GetKind() const { return kind_; }
    uint32_t GetBufferCount() const { return bufferCount_; }
    uint32_t GetCurrent() const { return current_; }
    uint64_t GetFramesReceived() const { return framesReceived_; }
    uint32_t GetLastSequence() const { return lastSequence_; }
    uint32_t GetLostTotal() const { return lostTotal_; }
    bool IsOpen() const { return open_; }
    bool IsReceiving() const { return receiving_; }

protected:
    Adapter* adapter_;
    int32_t kind_;
    uint32_t bufferCount_ = 0;
    uint32_t current_ = 0;
    uint64_t framesReceived_ = 0;
    uint32_t lastSequence_ = 0;
    uint32_t lostTotal_ = 0;
    bool open_ = false;
    bool receiving_ = false;
};

} // namespace vq
