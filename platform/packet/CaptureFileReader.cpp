#include "platform/packet/CaptureFileReader.h"

#include "platform/packet/SnoopReader.h"

#include <cerrno>
#include <cstdio>
#include <pcap/pcap.h>
#include <system_error>

namespace vq {
namespace {

constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;

// pcap and pcapng files through libpcap, Ethernet only.
class PcapFileReader : public CaptureFileReader {
public:
    explicit PcapFileReader(const std::string& path) : buffer_(std::make_unique<char[]>(kReadBuffer)) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) throw std::system_error(errno, std::generic_category(), path);
        // The standard buffer of a few kilobytes costs a system call every few frames.
        setvbuf(file, buffer_.get(), _IOFBF, kReadBuffer);
        char error[PCAP_ERRBUF_SIZE] = {};
        pcap_ = pcap_fopen_offline_with_tstamp_precision(file, PCAP_TSTAMP_PRECISION_NANO, error);
        if (!pcap_) {
            std::fclose(file);
            throw std::system_error(EINVAL, std::generic_category(), error);
        }
        if (pcap_datalink(pcap_) != DLT_EN10MB) {
            pcap_close(pcap_);
            throw std::system_error(EINVAL, std::generic_category(), path + ": not an Ethernet capture");
        }
    }
    ~PcapFileReader() override { pcap_close(pcap_); }

    bool Next(RecordedFrame& frame) override {
        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        if (pcap_next_ex(pcap_, &header, &data) != 1) return false;
        frame.time = (static_cast<uint64_t>(header->ts.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
                     static_cast<uint64_t>(header->ts.tv_usec) / 100;
        frame.capturedLength = header->caplen;
        frame.originalLength = header->len;
        frame.dropsBefore = 0;
        frame.data = data;
        return true;
    }

private:
    static constexpr size_t kReadBuffer = 256 * 1024;
    // Outlives the file, which pcap_close closes.
    std::unique_ptr<char[]> buffer_;
    pcap_t* pcap_ = nullptr;
};

} // namespace

std::unique_ptr<CaptureFileReader> CaptureFileReader::Open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw std::system_error(errno, std::generic_category(), path);
    uint8_t start[8] = {};
    size_t size = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    if (SnoopReader::HasSignature(start, size)) return std::make_unique<SnoopReader>(path);
    return std::make_unique<PcapFileReader>(path);
}

} // namespace vq
