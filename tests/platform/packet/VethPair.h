#pragma once

// A veth pair for live capture tests: our end in this namespace, the peer in a network namespace of
// its own, so that the only traffic is what a test sends.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sched.h>
#include <string>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vq::test {

inline bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::array<uint8_t, 6> SysfsMac(const std::string& interfaceName) {
    std::ifstream file("/sys/class/net/" + interfaceName + "/address");
    std::string text;
    file >> text;
    std::array<uint8_t, 6> mac{};
    for (size_t i = 0; i < 6; ++i)
        mac[i] = uint8_t(std::stoul(text.substr(i * 3, 2), nullptr, 16));
    return mac;
}

// A veth pair whose peer lives in a network namespace of its own, so traffic stays on the pair.
class VethPair {
public:
    VethPair()
        : namespace_("vq-live-" + std::to_string(getpid())), local_("vqL" + std::to_string(getpid())),
          peer_("vqP" + std::to_string(getpid())) {
        ready_ = Run("ip netns add " + namespace_) &&
                 Run("ip link add " + local_ + " type veth peer name " + peer_ + " netns " + namespace_) &&
                 Run("sh -c 'echo 1 > /proc/sys/net/ipv6/conf/" + local_ + "/disable_ipv6'") &&
                 Run("ip netns exec " + namespace_ + " sh -c 'echo 1 > /proc/sys/net/ipv6/conf/" + peer_ +
                     "/disable_ipv6'") &&
                 Run("ip link set " + local_ + " up") &&
                 Run("ip -n " + namespace_ + " link set " + peer_ + " up") &&
                 Run("ip addr add 10.213.7.1/24 dev " + local_);
        // Offloads would merge the peer's frames; raw frames are sent whole, but keep them off.
        Run("ethtool -K " + local_ + " gro off gso off tso off");
    }
    ~VethPair() {
        Run("ip link del " + local_);
        Run("ip netns del " + namespace_);
    }
    bool Ready() const { return ready_; }
    const std::string& Local() const { return local_; }

    // Sends the frames from the peer's end, inside the namespace.
    void SendFromPeer(const std::vector<std::vector<uint8_t>>& frames) {
        std::thread sender([&] {
            int ns = open(("/var/run/netns/" + namespace_).c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_GE(ns, 0);
            ASSERT_EQ(setns(ns, CLONE_NEWNET), 0);
            close(ns);
            Send(peer_, frames);
        });
        sender.join();
    }
    void SendFromLocal(const std::vector<std::vector<uint8_t>>& frames) { Send(local_, frames); }

private:
    static void Send(const std::string& interfaceName, const std::vector<std::vector<uint8_t>>& frames) {
        int fd = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        sockaddr_ll address{};
        address.sll_family = AF_PACKET;
        address.sll_ifindex = int(if_nametoindex(interfaceName.c_str()));
        address.sll_halen = 6;
        for (const auto& frame : frames)
            EXPECT_EQ(sendto(fd, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr*>(&address),
                             sizeof address),
                      ssize_t(frame.size()));
        close(fd);
    }

    std::string namespace_;
    std::string local_;
    std::string peer_;
    bool ready_ = false;
};

// Takes CAP_NET_RAW from the calling thread's effective set for its lifetime; capabilities belong
// to the thread, so nothing else loses it.
class WithoutRawCapability {
public:
    WithoutRawCapability() {
        EXPECT_EQ(syscall(SYS_capget, &header_, saved_), 0);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_NET_RAW);
        EXPECT_EQ(syscall(SYS_capset, &header_, reduced), 0);
    }
    ~WithoutRawCapability() { EXPECT_EQ(syscall(SYS_capset, &header_, saved_), 0); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
};

} // namespace vq::test
