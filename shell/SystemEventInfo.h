#pragma once

#include "platform/time/OleDateTime.h"

#include <string>

namespace vq {

// A system event: the string id of its message text, when it happened and its detail text.
// Stands in for the event log's own record until the event log is built.
struct SystemEventInfo {
    int m_Code = 0;
    OleDateTime m_Time;
    std::string m_Text;
};

} // namespace vq
