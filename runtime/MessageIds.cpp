#include "runtime/MessageIds.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vq {
namespace {

constexpr std::array<std::pair<std::uint32_t, const char*>, 49> kNames{{
    {WM_General_Command, "WM_General_Command"},
    {WM_General_Reply, "WM_General_Reply"},
    {WM_General_Dump, "WM_General_Dump"},
    {WM_General_Notify, "WM_General_Notify"},
    {WM_NameTable_IpNameReply, "WM_NameTable_IpNameReply"},
    {WM_Monitor_Start, "WM_Monitor_Start"},
    {WM_Monitor_Stop, "WM_Monitor_Stop"},
    {WM_Monitor_Pause, "WM_Monitor_Pause"},
    {WM_Monitor_Unpause, "WM_Monitor_Unpause"},
    {WM_Monitor_Reset, "WM_Monitor_Reset"},
    {WM_Monitor_Restart, "WM_Monitor_Restart"},
    {WM_Monitor_Lookup, "WM_Monitor_Lookup"},
    {WM_Monitor_CaptureOn, "WM_Monitor_CaptureOn"},
    {WM_Monitor_CaptureOff, "WM_Monitor_CaptureOff"},
    {WM_State_Adapters, "WM_State_Adapters"},
    {WM_State_Address, "WM_State_Address"},
    {WM_State_Announce, "WM_State_Announce"},
    {WM_State_IntegrityCheck, "WM_State_IntegrityCheck"},
    {WM_Trend_Install, "WM_Trend_Install"},
    {WM_Trend_Uninstall, "WM_Trend_Uninstall"},
    {WM_Trend_Modify, "WM_Trend_Modify"},
    {WM_Trend_Update, "WM_Trend_Update"},
    {WM_Alarm_Install, "WM_Alarm_Install"},
    {WM_Alarm_Uninstall, "WM_Alarm_Uninstall"},
    {WM_Alarm_Modify, "WM_Alarm_Modify"},
    {WM_Alarm_Triggered, "WM_Alarm_Triggered"},
    {WM_Conversation_Install, "WM_Conversation_Install"},
    {WM_Conversation_Uninstall, "WM_Conversation_Uninstall"},
    {WM_Conversation_Modify, "WM_Conversation_Modify"},
    {WM_Conversation_Update, "WM_Conversation_Update"},
    {WM_Summary_Install, "WM_Summary_Install"},
    {WM_Summary_Uninstall, "WM_Summary_Uninstall"},
    {WM_Summary_Modify, "WM_Summary_Modify"},
    {WM_Summary_Update, "WM_Summary_Update"},
    {WM_History_Start, "WM_History_Start"},
    {WM_History_Stop, "WM_History_Stop"},
    {WM_History_Pause, "WM_History_Pause"},
    {WM_History_Unpause, "WM_History_Unpause"},
    {WM_History_Reset, "WM_History_Reset"},
    {WM_History_Restart, "WM_History_Restart"},
    {WM_Checkpoint_Install, "WM_Checkpoint_Install"},
    {WM_Checkpoint_Uninstall, "WM_Checkpoint_Uninstall"},
    {WM_Checkpoint_Modify, "WM_Checkpoint_Modify"},
    {WM_Checkpoint_Initialize, "WM_Checkpoint_Initialize"},
    {WM_Checkpoint_Update, "WM_Checkpoint_Update"},
    {WM_Database_Request, "WM_Database_Request"},
    {WM_Database_Reply, "WM_Database_Reply"},
    {WM_Database_Cancel, "WM_Database_Cancel"},
    {WM_Database_Log, "WM_Database_Log"},
}};

static_assert(std::is_sorted(kNames.begin(), kNames.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

} // namespace

const char* GetMessageIdName(std::uint32_t id) {
    auto it = std::lower_bound(kNames.begin(), kNames.end(), id,
                               [](const auto& entry, std::uint32_t key) { return entry.first < key; });
    return it != kNames.end() && it->first == id ? it->second : "unknown";
}

} // namespace vq
