#pragma once

#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

class ExplorerInfo;

// The outcome of one test of a device, posted to the main thread, which owns it from then on.
struct ActiveTestResult {
    ExplorerInfo* m_Device = nullptr;
    std::string m_Text;
    OleDateTime m_TestTime;
    std::uint32_t m_RoundTrip = 0;
    std::int32_t m_Status = 0;
};

} // namespace vq
