#pragma once

#include "platform/time/OleDateTime.h"

#include <string>

namespace vq {

// A system event: the code of its text, when it happened and an optional detail text.
struct SystemEventInfo {
    static constexpr int kType = 2001;

    SystemEventInfo() = default;
    SystemEventInfo(int code, const OleDateTime& time, std::string detail)
        : m_Time(time), m_Detail(std::move(detail)), m_Code(code) {}

    std::string GetText() const;
    const std::string& GetDetail() const { return m_Detail; }
    static std::string GetObjectName() { return "System"; }

    int m_Type = kType;
    OleDateTime m_Time;
    std::string m_Detail;
    int m_Code = -1;
};

// The text of a system event's code.
std::string SystemEventText(int code);

} // namespace vq
