#include "events/SystemEventInfo.h"

#include "platform/core/StringTable.h"

#include <array>
#include <utility>

namespace vq {
namespace {

// The texts of the events the program records itself. Other codes show the string table's text.
constexpr std::array<std::pair<int, const char*>, 16> kTexts{{
    {281, "The event log folder or file could not be made or written"},
    {283, "Mail cannot be sent: this build's mail transfer has no SMTP"},
    {284, "Logging on to the mail server failed"},
    {285, "The mail recipient could not be resolved"},
    {286, "Sending the mail failed"},
    {287, "The notification program could not be started"},
    {411, "Device added for MAC address "},
    {412, "New IP device"},
    {413, "New IPX device"},
    {414, "IP Packet misrouted"},
    {415, "IPX Packet misroute"},
    {416, "Duplicate IP Address"},
    {417, "Duplicate IPX address"},
    {484, "New Local Device "},
    {493, "Monitor started"},
    {494, "Attemp to start monitor failed."},
}};

} // namespace

std::string SystemEventText(int code) {
    for (const auto& [known, text] : kTexts)
        if (known == code) return text;
    return code < 0 ? std::string() : StringTable::Get(std::uint32_t(code));
}

std::string SystemEventInfo::GetText() const {
    return SystemEventText(m_Code);
}

} // namespace vq
