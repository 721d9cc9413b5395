#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq::test {

// One frame of a capture file with its capture time (nanoseconds since 1970).
struct CapturedFrame {
    std::vector<uint8_t> bytes;
    uint32_t originalLength = 0;
    int64_t timeNs = 0;
};

// Reads pcap and pcapng files through libpcap's offline reader.
class CaptureFileReader {
public:
    // Throws std::runtime_error with libpcap's text when the file cannot be read.
    explicit CaptureFileReader(const std::string& path);
    ~CaptureFileReader();
    CaptureFileReader(const CaptureFileReader&) = delete;
    CaptureFileReader& operator=(const CaptureFileReader&) = delete;

    // The link type of the file (1 for Ethernet).
    int LinkType() const;
    // The next frame, or false at the end of the file or at a damaged record.
    bool Next(CapturedFrame& frame);

    static std::vector<CapturedFrame> ReadAll(const std::string& path);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// Every *.pcap and *.pcapng file under a folder, sorted by name; none when it cannot be read.
std::vector<std::string> CaptureFilesIn(const std::string& folder);

} // namespace vq::test
