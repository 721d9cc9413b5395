#pragma once

#include "platform/time/OleDateTime.h"

#include <string>

namespace vq {

// One record of the event log: what happened to which entry, and when it was recorded.
struct LogTransaction {
    enum Action : int {
        kActive = 0,
        kAck = 1,
        kClear = 2,
        kReset = 3,
        kSystemStarted = 4,
        kSystemStopped = 5
    };

    int m_Type = 0;
    int m_Kind = 0;
    std::string m_ObjectName;
    OleDateTime m_Time;
    int m_Action = kActive;
    int m_Code = 0;
    std::string m_Message;
};

// "Active", "Ack", ...; "Other" for an unknown action.
const char* TransactionActionName(int action);

} // namespace vq
