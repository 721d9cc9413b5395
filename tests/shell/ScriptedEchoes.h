#pragma once

#include "platform/net/IcmpEcho.h"
#include "platform/net/ThreadLastError.h"

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vq::test {

using namespace vq::net;

// An echo library whose answers the test decides: a round trip per address (a missing address
// times out), and a gate that holds every echo until it is opened.
struct ScriptedEchoes {
    static inline std::mutex mutex;
    static inline std::condition_variable changed;
    static inline std::map<uint32_t, uint32_t> roundTrips;
    static inline std::vector<std::string> pinged;
    static inline bool held = false;
    static inline int waiting = 0;

    static void Reset() {
        std::lock_guard lock(mutex);
        roundTrips.clear();
        pinged.clear();
        held = false;
        waiting = 0;
    }
    static void Answer(const std::string& address, uint32_t roundTrip) {
        std::lock_guard lock(mutex);
        roundTrips[inet_addr(address.c_str())] = roundTrip;
    }
    static void Hold(bool hold) {
        std::lock_guard lock(mutex);
        held = hold;
        changed.notify_all();
    }
    // Echoes waiting at the closed gate.
    static int Waiting() {
        std::lock_guard lock(mutex);
        return waiting;
    }
    static std::vector<std::string> TakePinged() {
        std::lock_guard lock(mutex);
        return std::exchange(pinged, {});
    }

    static IcmpBinding Load(const std::string&) {
        return {[]() { return reinterpret_cast<IcmpHandle>(&mutex); }, &SendEcho,
                [](IcmpHandle) { return true; }};
    }
    static uint32_t SendEcho(IcmpHandle, uint32_t to, const void*, uint16_t, const IpOptionInformation*,
                             void* buffer, uint32_t, uint32_t) {
        std::unique_lock lock(mutex);
        in_addr address{to};
        pinged.push_back(inet_ntoa(address));
        ++waiting;
        changed.notify_all();
        changed.wait(lock, [] { return !held; });
        --waiting;
        auto found = roundTrips.find(to);
        if (found == roundTrips.end()) {
            SetThreadLastError(IpReqTimedOut);
            return 0;
        }
        IcmpEchoReply reply;
        reply.Address = to;
        reply.RoundTripTime = found->second;
        reply.Options.Ttl = 64;
        std::memcpy(buffer, &reply, sizeof reply);
        return 1;
    }
};

// Waits for a condition another thread makes true; a hang fails the test instead of blocking it.
template <typename Condition> bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

} // namespace vq::test
