#include "platform/packet/LiveSource.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <linux/ethtool.h>
#include <linux/filter.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace vq {
namespace {

constexpr int kSnapLength = DriverRecord::kDataCapacity;
constexpr int kKernelBufferBytes = 64 << 20;
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;

std::string ReadSysfs(const std::string& interfaceName, const char* attribute) {
    std::ifstream file("/sys/class/net/" + interfaceName + "/" + attribute);
    std::string text;
    std::getline(file, text);
    return text;
}

int ActivationErrno(int status) {
    switch (status) {
    case PCAP_ERROR_PERM_DENIED:
        return EPERM;
    case PCAP_ERROR_NO_SUCH_DEVICE:
        return ENODEV;
    case PCAP_ERROR_IFACE_NOT_UP:
        return ENETDOWN;
    default:
        return EIO;
    }
}

} // namespace

std::string ReadDriverName(const std::string& interfaceName) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    ifreq request{};
    std::strncpy(request.ifr_name, interfaceName.c_str(), IFNAMSIZ - 1);
    request.ifr_data = reinterpret_cast<char*>(&info);
    int result = ioctl(fd, SIOCETHTOOL, &request);
    close(fd);
    if (result < 0) return {};
    return std::string(info.driver, strnlen(info.driver, sizeof info.driver));
}

AdapterFacts ReadInterfaceFacts(const std::string& interfaceName) {
    AdapterFacts facts;
    std::string mac = ReadSysfs(interfaceName, "address");
    for (size_t i = 0; i < facts.mac.size() && i * 3 + 2 <= mac.size(); ++i)
        facts.mac[i] = static_cast<uint8_t>(std::strtoul(mac.substr(i * 3, 2).c_str(), nullptr, 16));
    // sysfs gives Mbit/s, -1 or an unreadable attribute when the link cannot tell.
    std::string speed = ReadSysfs(interfaceName, "speed");
    char* end = nullptr;
    long long mbits = std::strtoll(speed.c_str(), &end, 10);
    if (!speed.empty() && *end == '\0' && mbits > 0) facts.speed = static_cast<uint64_t>(mbits) * 1000000;
    std::string mtu = ReadSysfs(interfaceName, "mtu");
    unsigned long value = std::strtoul(mtu.c_str(), &end, 10);
    if (!mtu.empty() && *end == '\0' && value <= UINT32_MAX - 14) facts.mtu = static_cast<uint32_t>(value);
    facts.vendor = ReadDriverName(interfaceName);
    return facts;
}

LiveSource::LiveSource(const std::string& interfaceName) : interface_(interfaceName) {
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_ = pcap_create(interfaceName.c_str(), error);
    if (!pcap_) throw std::system_error(ENODEV, std::generic_category(), error);
    pcap_set_snaplen(pcap_, kSnapLength);
    pcap_set_promisc(pcap_, 1);
    pcap_set_immediate_mode(pcap_, 1);
    // The kernel's ring holds what arrives while every posted read is full: a burst of a busy
    // link waits there instead of being dropped.
    pcap_set_buffer_size(pcap_, kKernelBufferBytes);
    pcap_set_tstamp_precision(pcap_, PCAP_TSTAMP_PRECISION_NANO);
    int status = pcap_activate(pcap_);
    int failure = 0;
    if (status < 0)
        failure = ActivationErrno(status);
    else if (pcap_datalink(pcap_) != DLT_EN10MB)
        failure = EINVAL;
    else if (pcap_setnonblock(pcap_, 1, error) < 0 || pcap_setdirection(pcap_, PCAP_D_INOUT) < 0)
        failure = EIO;
    if (failure == 0) {
        SetKernelFilter(false);
        fd_ = pcap_get_selectable_fd(pcap_);
        if (fd_ < 0) failure = EIO;
    }
    if (failure != 0) {
        pcap_close(pcap_);
        throw std::system_error(failure, std::generic_category(), "pcap " + interfaceName);
    }
    SetAccepting(false);
}

LiveSource::~LiveSource() {
    pcap_close(pcap_);
}

void LiveSource::SetKernelFilter(bool accepting) {
    sock_filter instruction{BPF_RET | BPF_K, 0, 0, accepting ? 0xFFFFFFFFu : 0u};
    bpf_insn program[1];
    std::memcpy(program, &instruction, sizeof program);
    bpf_program filter{1, program};
    pcap_setfilter(pcap_, &filter);
}

void LiveSource::SetAccepting(bool accepting) {
    SetKernelFilter(accepting);
    accepting_ = accepting;
    if (accepting) return;
    // Frames taken in before the filter closed belong to no read: drop them unsequenced.
    auto discard = [](u_char*, const pcap_pkthdr*, const u_char*) {};
    while (pcap_dispatch(pcap_, -1, discard, nullptr) > 0) {
    }
}

uint64_t LiveSource::DropRise() {
    pcap_stat stats{};
    if (pcap_stats(pcap_, &stats) < 0) return 0;
    uint32_t rise = stats.ps_drop - drops_;
    drops_ = stats.ps_drop;
    return rise;
}

int LiveSource::Dispatch(int limit, FrameSink& sink) {
    if (!accepting_) {
        auto discard = [](u_char*, const pcap_pkthdr*, const u_char*) {};
        pcap_dispatch(pcap_, -1, discard, nullptr);
        return 0;
    }
    pendingLoss_ += DropRise();
    sink_ = &sink;
    int count = pcap_dispatch(pcap_, limit, &LiveSource::OnFrame, reinterpret_cast<u_char*>(this));
    sink_ = nullptr;
    return count > 0 ? count : 0;
}

void LiveSource::OnFrame(u_char* user, const pcap_pkthdr* header, const u_char* bytes) {
    auto* self = reinterpret_cast<LiveSource*>(user);
    Frame frame;
    self->sequence_ += 1 + self->pendingLoss_;
    self->pendingLoss_ = 0;
    frame.sequence = self->sequence_;
    // With nanosecond precision the microsecond member carries nanoseconds.
    frame.time = (static_cast<uint64_t>(header->ts.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
                 static_cast<uint64_t>(header->ts.tv_usec) / 100;
    frame.capturedLength = header->caplen;
    frame.originalLength = header->len;
    frame.data = bytes;
    self->sink_->Deliver(frame);
}

AdapterFacts LiveSource::Facts() const {
    return ReadInterfaceFacts(interface_);
}

} // namespace vq
