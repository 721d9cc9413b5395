#include "CaptureFileReader.h"

#include <algorithm>
#include <filesystem>
#include <pcap/pcap.h>
#include <stdexcept>

namespace vq::test {

struct CaptureFileReader::Handle {
    pcap_t* pcap = nullptr;
    ~Handle() {
        if (pcap) pcap_close(pcap);
    }
};

CaptureFileReader::CaptureFileReader(const std::string& path) : handle_(std::make_unique<Handle>()) {
    char error[PCAP_ERRBUF_SIZE] = {};
    handle_->pcap = pcap_open_offline_with_tstamp_precision(path.c_str(), PCAP_TSTAMP_PRECISION_NANO, error);
    if (!handle_->pcap) throw std::runtime_error(path + ": " + error);
}

CaptureFileReader::~CaptureFileReader() = default;

int CaptureFileReader::LinkType() const {
    return pcap_datalink(handle_->pcap);
}

bool CaptureFileReader::Next(CapturedFrame& frame) {
    pcap_pkthdr* header = nullptr;
    const u_char* data = nullptr;
    if (pcap_next_ex(handle_->pcap, &header, &data) != 1) return false;
    frame.bytes.assign(data, data + header->caplen);
    frame.originalLength = header->len;
    frame.timeNs = int64_t(header->ts.tv_sec) * 1'000'000'000 + header->ts.tv_usec;
    return true;
}

std::vector<CapturedFrame> CaptureFileReader::ReadAll(const std::string& path) {
    CaptureFileReader reader(path);
    std::vector<CapturedFrame> frames;
    CapturedFrame frame;
    while (reader.Next(frame))
        frames.push_back(frame);
    return frames;
}

std::vector<std::string> CaptureFilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        auto extension = entry.path().extension();
        if (extension == ".pcap" || extension == ".pcapng") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace vq::test
