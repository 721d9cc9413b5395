#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <unistd.h>

namespace vq::test {

inline bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Three network namespaces made for one test: ours (pinger) with a link to a host that answers
// and routes (target, 192.0.2.2, which has no route to 203.0.113.0/24) and a link to a host that
// ignores echoes (quiet, 198.51.100.2). Needs root; Build says why it could not be made.
class TestNetwork {
public:
    TestNetwork() {
        const std::string id = std::to_string(getpid());
        pinger = "vq-ping-p" + id;
        target = "vq-ping-t" + id;
        quiet = "vq-ping-q" + id;
        link = "vqpt" + id;
    }
    ~TestNetwork() {
        if (!m_Tried) return;
        for (const std::string* name : {&pinger, &target, &quiet})
            Shell("ip netns del " + *name);
    }
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    // Empty when the network is ready, else the reason it is not.
    std::string Build() const {
        if (geteuid() != 0) return "network namespaces need root";
        m_Tried = true;
        const bool ready =
            Shell("ip netns add " + pinger) && Shell("ip netns add " + target) && Shell("ip netns add " + quiet) &&
            Shell("ip -n " + pinger + " link add " + link + " type veth peer name t0 netns " + target) &&
            Shell("ip -n " + pinger + " link add q" + link + " type veth peer name q0 netns " + quiet) &&
            Shell("ip -n " + pinger + " addr add 192.0.2.1/24 dev " + link) &&
            Shell("ip -n " + pinger + " addr add 198.51.100.1/24 dev q" + link) &&
            Shell("ip -n " + target + " addr add 192.0.2.2/24 dev t0") &&
            Shell("ip -n " + quiet + " addr add 198.51.100.2/24 dev q0") &&
            Shell("ip -n " + pinger + " link set lo up") && Shell("ip -n " + pinger + " link set " + link + " up") &&
            Shell("ip -n " + pinger + " link set q" + link + " up") && Shell("ip -n " + target + " link set t0 up") &&
            Shell("ip -n " + quiet + " link set q0 up") &&
            Shell("ip -n " + pinger + " route add 203.0.113.0/24 via 192.0.2.2") &&
            Shell("ip netns exec " + target + " sysctl -w net.ipv4.ip_forward=1") &&
            Shell("ip -n " + target + " route add unreachable 203.0.113.0/24") &&
            Shell("ip netns exec " + quiet + " sysctl -w net.ipv4.icmp_echo_ignore_all=1") &&
            Shell("ip netns exec " + pinger + " sysctl -w net.ipv4.ping_group_range='0 2147483647'");
        return ready ? "" : "cannot build the test network (iproute2 missing?)";
    }

    std::string pinger, target, quiet, link;

private:
    mutable bool m_Tried = false;
};

// Moves the calling thread into a named network namespace for its lifetime; threads it starts
// meanwhile are born there.
class InNetworkNamespace {
public:
    explicit InNetworkNamespace(const std::string& name)
        : m_Own(open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
        const int target = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        m_Entered = m_Own >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
        if (target >= 0) close(target);
    }
    ~InNetworkNamespace() {
        if (m_Entered) setns(m_Own, CLONE_NEWNET);
        if (m_Own >= 0) close(m_Own);
    }
    InNetworkNamespace(const InNetworkNamespace&) = delete;
    InNetworkNamespace& operator=(const InNetworkNamespace&) = delete;
    bool Entered() const { return m_Entered; }

private:
    int m_Own;
    bool m_Entered = false;
};

} // namespace vq::test
