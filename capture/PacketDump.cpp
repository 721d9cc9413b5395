#include "capture/PacketDump.h"

#include "capture/Packet.h"
#include "capture/decode/DataLinkPacket.h"
#include "platform/core/Format.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vq {

namespace {

constexpr size_t kFileHeaderLength = 16;
constexpr size_t kRecordHeaderLength = 24;
constexpr size_t kBufferCapacity = 64 * 1024;
constexpr uint32_t kSnoopVersion = 2;
constexpr uint32_t kSnoopEthernet = 4;
// 1601-01-01 to 1970-01-01 in 100-ns ticks.
constexpr uint64_t kUnixEpochTicks = 116'444'736'000'000'000ull;
constexpr uint64_t kTicksPerSecond = 10'000'000;

void Append32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value >> 24));
    out.push_back(uint8_t(value >> 16));
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value));
}

} // namespace

PacketDump::PacketDump(const CaptureChannel& channel, const CaptureSettings& settings)
    : channel_(channel), settings_(settings) {}

PacketDump::~PacketDump() {
    Close();
}

bool PacketDump::Open() {
    if (IsOpen()) return true;
    auto mac = channel_.GetAdapterAddress();
    std::string address =
        Format("%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    std::string path = settings_.GetCaptureFile(address);
    if (path.empty()) return false;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return false;
    std::vector<uint8_t> header = {'s', 'n', 'o', 'o', 'p', 0, 0, 0};
    Append32(header, kSnoopVersion);
    Append32(header, kSnoopEthernet);
    if (!WriteAll(header.data(), header.size())) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    fixedLength_ = settings_.GetFixedLength();
    maximumSize_ = settings_.GetMaximumSize();
    recordLength_ = settings_.GetRecordLength();
    lostBaseline_ = channel_.GetLostTotal();
    bufferOffset_ = fileEnd_ = kFileHeaderLength;
    buffer_.clear();
    recordStarts_.clear();
    return true;
}

bool PacketDump::Write(const Packet& packet) {
    const DataLinkPacket* dataLink = packet.GetDataLink();
    if (!IsOpen() || !dataLink || dataLink->GetProtocol() != DataLinkEthernet) return false;
    // Only captured bytes go to the file; a fixed-length record is padded with zeros so that every
    // record has the same size and a wrap overwrites whole records.
    uint32_t captured = packet.GetLength();
    uint32_t included = fixedLength_ ? std::min(captured, recordLength_) : captured;
    uint32_t stored = fixedLength_ ? recordLength_ : captured;
    size_t recordSize = kRecordHeaderLength + stored;
    if (buffer_.size() + recordSize > kBufferCapacity && !FlushBuffer()) return false;

    uint64_t ticks = packet.GetTime().GetTicks();
    uint64_t sinceEpoch = ticks > kUnixEpochTicks ? ticks - kUnixEpochTicks : 0;
    recordStarts_.push_back(buffer_.size());
    Append32(buffer_, uint32_t(std::clamp<int64_t>(packet.GetFrameLength(), 0, UINT32_MAX)));
    Append32(buffer_, included);
    Append32(buffer_, uint32_t(recordSize));
    Append32(buffer_, channel_.GetLostTotal() - lostBaseline_);
    Append32(buffer_, uint32_t(sinceEpoch / kTicksPerSecond));
    Append32(buffer_, uint32_t(sinceEpoch % kTicksPerSecond / 10));
    buffer_.insert(buffer_.end(), packet.GetData(), packet.GetData() + included);
    buffer_.resize(buffer_.size() + (stored - included), 0);

    if (fixedLength_ && bufferOffset_ + buffer_.size() >= maximumSize_) Wrap();
    return true;
}

// The wrap seek must not overtake the records still in the buffer.
void PacketDump::Wrap() {
    FlushBuffer();
    if (bufferOffset_ >= maximumSize_ && ::lseek(fd_, off_t(kFileHeaderLength), SEEK_SET) >= 0)
        bufferOffset_ = kFileHeaderLength;
}

void PacketDump::Flush() {
    if (IsOpen()) FlushBuffer();
}

void PacketDump::Close() {
    if (!IsOpen()) return;
    FlushBuffer();
    ::close(fd_);
    fd_ = -1;
}

bool PacketDump::FlushBuffer() {
    if (buffer_.empty()) return true;
    size_t written = 0;
    while (written < buffer_.size()) {
        ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += size_t(n);
    }
    bool complete = written == buffer_.size();
    if (complete) {
        bufferOffset_ += written;
        fileEnd_ = std::max(fileEnd_, bufferOffset_);
    } else {
        // Records that reached the file whole stay; the one the write cut and those after it
        // are lost, and the next record starts where the cut one did.
        size_t cut = *(std::upper_bound(recordStarts_.begin(), recordStarts_.end(), written) - 1);
        uint64_t resume = bufferOffset_ + cut;
        if (::lseek(fd_, off_t(resume), SEEK_SET) >= 0) {
            if (resume >= fileEnd_ && ::ftruncate(fd_, off_t(resume)) == 0) fileEnd_ = resume;
            bufferOffset_ = resume;
        }
    }
    buffer_.clear();
    recordStarts_.clear();
    return complete;
}

bool PacketDump::WriteAll(const uint8_t* data, size_t size) {
    size_t written = 0;
    while (written < size) {
        ssize_t n = ::write(fd_, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += size_t(n);
    }
    return true;
}

} // namespace vq
