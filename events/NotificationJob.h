#pragma once

#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

// What the notifications of one announced entry need, copied when the entry is announced: the
// entry and its level may be gone by the time a notification runs.
struct NotificationJob {
    // The serial of the entry's event.
    std::uint64_t m_Serial = 0;
    int m_Kind = 0;
    std::string m_TypeName;
    std::string m_ObjectName;
    std::string m_ObjectDescription;
    std::string m_UserMessage;
    OleDateTime m_Time;

    std::string m_GroupName;
    std::string m_LevelName;
    std::string m_LevelDescription;
    bool m_Popup = false;
    int m_DialogType = 0;
    std::string m_DialogMessage;
    bool m_Email = false;
    std::string m_EmailAddress;
    bool m_Sound = false;
    std::string m_Clip;
    bool m_Program = false;
    std::string m_ProgramPath;
    std::string m_Parameters;

    std::string m_DatabaseFolder;
    std::string m_DatabaseName;
};

} // namespace vq
