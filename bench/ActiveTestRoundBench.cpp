// Runs the active-test manager over 1,000 devices on loopback addresses from 127.0.1.1, each with
// the test time 00:01, pinged over real ICMP, the clock ticked every 100 ms (--real-pace: every
// second) for --minutes minutes (default 6). Reports the workers started per slot-second, the pings
// per second and each device's longest gap between tests. As root it runs in a network namespace
// of its own; otherwise in the caller's, where this user must be allowed ICMP datagram sockets.
#include "config/CCfgDevice.h"
#include "platform/net/FakeResolver.h"
#include "platform/net/Resolver.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/ActiveTestInfo.h"
#include "shell/ActiveTestManager.h"
#include "shell/ActiveTestResult.h"
#include "shell/ExplorerInfo.h"
#include "shell/ShellMessages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sched.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace vq;
using SteadyClock = std::chrono::steady_clock;

constexpr int kDevices = 1000;

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A namespace with only its loopback up, entered by this thread (so by the manager and its
// workers, which it starts) and removed at the end.
class BenchNamespace {
public:
    BenchNamespace() : m_Name("vq-bench-at" + std::to_string(getpid())) {
        if (geteuid() != 0) return;
        if (!Shell("ip netns add " + m_Name) || !Shell("ip -n " + m_Name + " link set lo up") ||
            !Shell("ip netns exec " + m_Name + " sysctl -w net.ipv4.ping_group_range='0 2147483647'"))
            return;
        const int ns = open(("/var/run/netns/" + m_Name).c_str(), O_RDONLY | O_CLOEXEC);
        m_Entered = ns >= 0 && setns(ns, CLONE_NEWNET) == 0;
        if (ns >= 0) close(ns);
    }
    ~BenchNamespace() {
        if (geteuid() == 0) Shell("ip netns del " + m_Name);
    }
    bool Entered() const { return m_Entered; }

private:
    std::string m_Name;
    bool m_Entered = false;
};

struct Options {
    int minutes = 6;
    std::chrono::milliseconds pace{100};
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--real-pace") == 0) options.pace = std::chrono::milliseconds(1000);
        else if (std::strncmp(argv[i], "--minutes=", 10) == 0) options.minutes = std::max(1, std::atoi(argv[i] + 10));
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    BenchNamespace space;
    std::printf("network: %s\n", space.Entered() ? "a namespace of its own" : "the caller's");
    vq::net::ScopedResolver resolver(std::make_shared<vq::net::FakeResolver>());

    std::vector<std::unique_ptr<CCfgDevice>> records;
    ExplorerObjectList devices;
    std::map<ExplorerInfo*, int> index;
    for (int i = 0; i < kDevices; ++i) {
        auto& record = records.emplace_back(std::make_unique<CCfgDevice>());
        record->SetAddress("127.0." + std::to_string(1 + i / 254) + "." + std::to_string(1 + i % 254));
        record->SetTestTime(OleDateTime(1899, 12, 30, 0, 1, 0));
        ExplorerInfo* device = devices.Create();
        device->m_Name = "device " + std::to_string(i);
        device->SetRecord(record.get());
        index[device] = i;
    }

    ActiveTestManager manager;
    if (!manager.CreateThread()) {
        std::fprintf(stderr, "no manager thread\n");
        return 1;
    }
    PostThreadMessage(manager.GetThreadId(), WM_ACTIVETEST_INIT, CurrentThreadId(), 0);
    for (const auto& device : devices.GetRecords())
        PostThreadMessage(manager.GetThreadId(), WM_ACTIVETEST_ADD,
                          WPARAM(ActiveTestInfo::ForDevice(*device).release()), 0);

    const int ticks = options.minutes * 60;
    std::vector<std::vector<int>> tested(kDevices);
    std::map<std::uint64_t, int> startsPerSlotSecond; // starts -> how many slot-seconds
    int failures = 0;
    std::uint64_t results = 0;
    const auto begin = SteadyClock::now();
    std::uint64_t startedBefore = 0;
    for (int tick = 1; tick <= ticks; ++tick) {
        PostThreadMessage(manager.GetThreadId(), WM_ACTIVETEST_TICK, 0, 0);
        const auto due = begin + tick * options.pace;
        while (manager.GetTicksHandled() < std::uint64_t(tick) && SteadyClock::now() < due + std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::uint64_t started = manager.GetWorkersStarted();
        // Every slot-second after the first minute has due tests (about 17 devices per slot).
        if (tick > 60 && tick % 60 != 59) ++startsPerSlotSecond[started - startedBefore];
        startedBefore = started;
        do {
            QueueEntry entry;
            while (MessageQueue::Current().Peek(entry, TargetFilter::ThreadOnly())) {
                if (entry.message != WM_ACTIVETEST_RESULT) continue;
                std::unique_ptr<ActiveTestResult> result(reinterpret_cast<ActiveTestResult*>(entry.wParam));
                ++results;
                if (result->m_Status != ActiveTestResult::kAnswered) ++failures;
                tested[std::size_t(index[result->m_Device])].push_back(tick);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } while (SteadyClock::now() < due);
    }
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - begin).count();
    PostThreadMessage(manager.GetThreadId(), WM_ACTIVETEST_STOP, 0, 0);
    manager.WaitUntilEnded();

    int longestGap = 0, latestFirst = 0, untested = 0;
    for (const auto& ticksTested : tested) {
        if (ticksTested.empty()) {
            ++untested;
            continue;
        }
        latestFirst = std::max(latestFirst, ticksTested.front());
        for (std::size_t i = 1; i < ticksTested.size(); ++i)
            longestGap = std::max(longestGap, ticksTested[i] - ticksTested[i - 1]);
    }
    std::printf("ticks %d every %lld ms, %.1f s\n", ticks, static_cast<long long>(options.pace.count()), seconds);
    std::printf("starts per slot-second (after the first minute):");
    for (const auto& [starts, count] : startsPerSlotSecond)
        std::printf(" %llu starts x %d", static_cast<unsigned long long>(starts), count);
    std::printf("\npings %llu (%d failed), %.1f per second, %.1f per simulated minute\n",
                static_cast<unsigned long long>(results), failures, results / seconds,
                results * 60.0 / ticks);
    std::printf("longest gap between a device's tests: %d ticks (%.2f minutes); latest first test at tick %d "
                "(the first minute runs none); never tested: %d\n",
                longestGap, longestGap / 60.0, latestFirst, untested);
    return untested == 0 ? 0 : 1;
}
