#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vq {

class Packet;

// What the capture file asks of the receive channel that owns it.
class CaptureChannel {
public:
    virtual ~CaptureChannel() = default;
    // The first six bytes of the adapter's current address.
    virtual std::span<const uint8_t, 6> GetAdapterAddress() const = 0;
    // Frames the driver lost on this channel so far.
    virtual uint32_t GetLostTotal() const = 0;
};

// The capture settings: the file of the first network interface that names the adapter's
// address and has capture on, and the global record-length and wrap settings.
class CaptureSettings {
public:
    virtual ~CaptureSettings() = default;
    // adapterAddress: lower-case "aa:bb:cc:dd:ee:ff". Empty when no such interface or no path.
    virtual std::string GetCaptureFile(const std::string& adapterAddress) const = 0;
    virtual bool GetFixedLength() const = 0;
    // File size in bytes at which a fixed-length file wraps.
    virtual uint32_t GetMaximumSize() const = 0;
    // Frame bytes per record in fixed-length mode.
    virtual uint32_t GetRecordLength() const = 0;
};

// Writes a channel's Ethernet frames to a snoop version 2 file. Records are gathered in a write
// buffer; each reaches the file whole or not at all. In fixed-length mode every record has the
// same size and the file wraps to just after its header once it reaches the maximum size.
class PacketDump {
public:
    PacketDump(const CaptureChannel& channel, const CaptureSettings& settings);
    ~PacketDump();
    PacketDump(const PacketDump&) = delete;
    PacketDump& operator=(const PacketDump&) = delete;

    // Creates (or truncates) the configured file and writes its header. True when open,
    // including when it already was.
    bool Open();
    // Appends one record; false when nothing was written.
    bool Write(const Packet& packet);
    // Hands the buffered records to the file.
    void Flush();
    // Flushes and closes; file errors are swallowed.
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    bool IsFixedLength() const { return fixedLength_; }
    uint32_t GetMaximumSize() const { return maximumSize_; }
    uint32_t GetRecordLength() const { return recordLength_; }
    uint32_t GetLostBaseline() const { return lostBaseline_; }

private:
    bool WriteAll(const uint8_t* data, size_t size);
    bool FlushBuffer();
    void Wrap();

    const CaptureChannel& channel_;
    const CaptureSettings& settings_;
    int fd_ = -1;
    bool fixedLength_ = false;
    uint32_t maximumSize_ = 0;
    uint32_t recordLength_ = 0;
    uint32_t lostBaseline_ = 0;
    // The file offset at which the buffer will be written, and where each buffered record starts
    // within the buffer, so a short write can be undone to a record boundary.
    uint64_t bufferOffset_ = 0;
    uint64_t fileEnd_ = 0;
    std::vector<uint8_t> buffer_;
    std::vector<size_t> recordStarts_;
};

} // namespace vq
