#include "platform/packet/SnoopReader.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace vq {
namespace {

constexpr uint8_t kSignature[8] = {'s', 'n', 'o', 'o', 'p', 0, 0, 0};
constexpr uint32_t kVersion = 2;
constexpr uint32_t kEthernet = 4;
constexpr uint32_t kRecordHeaderSize = 24;
constexpr uint32_t kLargestRecord = 262144;
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;

uint32_t BigEndian32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

} // namespace

bool SnoopReader::HasSignature(const uint8_t* bytes, size_t size) {
    return size >= sizeof kSignature && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

SnoopReader::SnoopReader(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) throw std::system_error(errno, std::generic_category(), path);
    uint8_t header[16];
    if (std::fread(header, 1, sizeof header, file_) != sizeof header ||
        !HasSignature(header, sizeof header) || BigEndian32(header + 8) != kVersion ||
        BigEndian32(header + 12) != kEthernet) {
        std::fclose(file_);
        throw std::system_error(EINVAL, std::generic_category(), path + ": not a snoop 2 Ethernet file");
    }
}

SnoopReader::~SnoopReader() {
    std::fclose(file_);
}

bool SnoopReader::Next(RecordedFrame& frame) {
    uint8_t header[kRecordHeaderSize];
    if (std::fread(header, 1, sizeof header, file_) != sizeof header) return false;
    uint32_t original = BigEndian32(header);
    uint32_t included = BigEndian32(header + 4);
    uint32_t recordLength = BigEndian32(header + 8);
    uint32_t drops = BigEndian32(header + 12);
    if (recordLength < kRecordHeaderSize || recordLength > kLargestRecord ||
        included > recordLength - kRecordHeaderSize)
        return false;
    // The pad after the data belongs to the record and is read with it.
    data_.resize(recordLength - kRecordHeaderSize);
    if (std::fread(data_.data(), 1, data_.size(), file_) != data_.size()) return false;
    frame.time = (BigEndian32(header + 16) + kSecondsFrom1601To1970) * 10000000ULL +
                 uint64_t(BigEndian32(header + 20) % 1000000) * 10;
    frame.capturedLength = included;
    frame.originalLength = original;
    // Only rises are losses; a count that falls is a new base.
    frame.dropsBefore = drops > drops_ ? drops - drops_ : 0;
    drops_ = drops;
    frame.data = data_.data();
    return true;
}

} // namespace vq
