#pragma once

#include "events/CPingResults.h"
#include "events/CSimpleSocket.h"

#include <string>

// One ICMP echo to a host given as text, through the system's echo library. Each Ping opens and
// closes its own echo handle, so one object may ping many times and threads ping with their own
// objects at once.
class CPing : public CSimpleSocket {
public:
    // The data of every request: exactly 59 bytes, without a terminating zero.
    static constexpr char kRequestData[] = "Vorquel YES!YES!YES!Vorquel YES!YES!YES!Vorquel YES!YES!YES";
    static constexpr uint16_t kRequestSize = sizeof kRequestData - 1;
    static constexpr uint32_t kTimeout = 5000; // ms

    CPing();

    // The number of replies (0: failure, the reason in GetErrorCode). An ICMP error from a router
    // is a reply too, but not an answer: it gives 0 with the reply's status as the error code.
    int Ping(const char* host, CPingResults* results, uint8_t ttl);
    static std::string GetStatusText(uint32_t code);

    bool OpenSocket() override { return true; }
    bool Open(const std::string&, unsigned, std::optional<vq::FileException>* = nullptr) override {
        return true;
    }
};
