#pragma once

#include "platform/packet/CaptureFileReader.h"

#include <cstdio>
#include <vector>

namespace vq {

// Snoop version 2 files of Ethernet frames (data-link 4): big-endian records padded to their
// record length, each with the capturing side's cumulative drop count.
class SnoopReader : public CaptureFileReader {
public:
    // Throws std::system_error as CaptureFileReader::Open says.
    explicit SnoopReader(const std::string& path);
    ~SnoopReader() override;

    bool Next(RecordedFrame& frame) override;

    static bool HasSignature(const uint8_t* bytes, size_t size);

private:
    std::FILE* file_ = nullptr;
    std::vector<uint8_t> data_;
    uint32_t drops_ = 0;
};

} // namespace vq
