#pragma once

#include "capture/PacketDump.h"

#include <cstdint>
#include <memory>

namespace vq {

class Adapter;
class Packet;

// A channel of one adapter: its buffers, its place in the ring, its counters and its capture file.
class Channel : public CaptureChannel {
public:
    static constexpr int32_t kReceive = 1;

    Channel(Adapter* adapter, int32_t kind);
    ~Channel() override;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    virtual bool Open();
    virtual bool Close();
    virtual bool SetBuffers(uint32_t count);
    virtual bool Start();
    virtual bool CanStart() { return true; }
    virtual bool Stop();
    // Without capture settings (the monitor gives them to the set) no file is opened.
    virtual bool OpenCaptureFile();
    virtual bool CloseCaptureFile();
    virtual bool AllocBuffers() = 0;
    virtual bool FreeBuffers() = 0;
    virtual bool OpenBuffers() = 0;
    virtual bool CloseBuffers() = 0;

    bool WritePacket(const Packet& packet);

    std::span<const uint8_t, 6> GetAdapterAddress() const override;
    uint32_t GetLostTotal() const override { return lostTotal_; }
    PacketDump* GetCaptureFile() const { return captureFile_.get(); }

    Adapter* GetAdapter() const { return adapter_; }
    int32_t GetKind() const { return kind_; }
    uint32_t GetBufferCount() const { return bufferCount_; }
    uint32_t GetCurrent() const { return current_; }
    uint64_t GetFramesReceived() const { return framesReceived_; }
    uint32_t GetLastSequence() const { return lastSequence_; }
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
    std::unique_ptr<PacketDump> captureFile_;
};

} // namespace vq
