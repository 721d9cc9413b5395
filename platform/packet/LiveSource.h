#pragma once

#include "platform/packet/FrameSource.h"

#include <memory>
#include <pcap/pcap.h>
#include <string>

namespace vq {

// Frames of a live Ethernet interface through libpcap: promiscuous, both directions, immediate,
// nanosecond stamps, 1,536-byte snapshots, non-blocking. Kernel drops rise the sequence.
class LiveSource : public FrameSource {
public:
    // Throws std::system_error with EPERM without CAP_NET_RAW, ENODEV for an unknown interface,
    // EINVAL for one that is not Ethernet.
    explicit LiveSource(const std::string& interfaceName);
    ~LiveSource() override;

    int Dispatch(int limit, FrameSink& sink) override;
    SourceWait Wait() override { return {fd_, nullptr}; }
    void SetAccepting(bool accepting) override;
    AdapterFacts Facts() const override;

private:
    static void OnFrame(u_char* user, const pcap_pkthdr* header, const u_char* bytes);
    void SetKernelFilter(bool accepting);
    uint64_t DropRise();

    std::string interface_;
    pcap_t* pcap_ = nullptr;
    int fd_ = -1;
    bool accepting_ = false;
    uint64_t sequence_ = 0;
    uint32_t drops_ = 0;
    FrameSink* sink_ = nullptr;
    uint64_t pendingLoss_ = 0;
};

// The facts of a live interface from sysfs and the driver, for requests and the adapter list.
AdapterFacts ReadInterfaceFacts(const std::string& interfaceName);
// The name of the interface's driver; empty when it cannot be asked.
std::string ReadDriverName(const std::string& interfaceName);

} // namespace vq
