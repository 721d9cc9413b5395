#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vq {

// One frame of a capture file; data stays valid until the next call of Next.
struct RecordedFrame {
    uint64_t time = 0; // 100-ns ticks since 1601
    uint32_t capturedLength = 0;
    uint32_t originalLength = 0;
    uint32_t dropsBefore = 0; // frames the capturing side lost just before this one
    const uint8_t* data = nullptr;
};

// Reads the Ethernet frames of a capture file in order.
class CaptureFileReader {
public:
    virtual ~CaptureFileReader() = default;
    // False at the end of the file or at a record that cannot be read.
    virtual bool Next(RecordedFrame& frame) = 0;

    // A snoop file through our own reader, pcap and pcapng through libpcap. Throws
    // std::system_error: ENOENT and the like from opening, EINVAL for a file that is not an
    // Ethernet capture.
    static std::unique_ptr<CaptureFileReader> Open(const std::string& path);
};

} // namespace vq
