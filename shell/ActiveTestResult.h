#pragma once

#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

class ExplorerInfo;

// The outcome of one ping of a device under test. It travels from the worker to the manager and
// on to the application thread, each receiver owning it; the monitor window gets copies.
struct ActiveTestResult {
    enum Status : std::int32_t { kNone = 0, kAnswered = 2, kNoAnswer = 3, kNotTested = 4 };

    // Set only on the copies for the monitor window.
    OleDateTime m_NextTest = Invalid();
    // The serial of the test the result is for: the test may be removed before the result
    // arrives, so it is named, never pointed to.
    std::uint64_t m_TestSerial = 0;
    std::int32_t m_Status = kNone;
    // Outlives the result: device records live as long as the configuration model.
    ExplorerInfo* m_Device = nullptr;
    std::int32_t m_RoundTrip = -1;
    OleDateTime m_TestTime = Invalid();
    std::string m_DeviceText;
    std::string m_Text;

    // A copy for the monitor window: everything but the test; the next test is the caller's.
    ActiveTestResult CopyForWindow() const {
        ActiveTestResult copy = *this;
        copy.m_TestSerial = 0;
        copy.m_NextTest = Invalid();
        return copy;
    }

private:
    static OleDateTime Invalid() {
        OleDateTime time;
        time.SetStatus(OleDateTime::invalid);
        return time;
    }
};

} // namespace vq
