#pragma once

#include <cstdint>

namespace vq {

// The ids of thread messages and of the one window message the engine sends itself.
inline constexpr std::uint32_t WM_General_Command = 0x8001;
inline constexpr std::uint32_t WM_General_Reply = 0x8002;
inline constexpr std::uint32_t WM_General_Dump = 0x8003;
inline constexpr std::uint32_t WM_General_Notify = 0x8004;
inline constexpr std::uint32_t WM_NameTable_IpNameReply = 0x8011;
inline constexpr std::uint32_t WM_Monitor_Start = 0x8021;
inline constexpr std::uint32_t WM_Monitor_Stop = 0x8022;
inline constexpr std::uint32_t WM_Monitor_Pause = 0x8023;
inline constexpr std::uint32_t WM_Monitor_Unpause = 0x8024;
inline constexpr std::uint32_t WM_Monitor_Reset = 0x8025;
inline constexpr std::uint32_t WM_Monitor_Restart = 0x8026;
inline constexpr std::uint32_t WM_Monitor_Lookup = 0x8027;
inline constexpr std::uint32_t WM_Monitor_CaptureOn = 0x8028;
inline constexpr std::uint32_t WM_Monitor_CaptureOff = 0x8029;
inline constexpr std::uint32_t WM_State_Adapters = 0x8031;
inline constexpr std::uint32_t WM_State_Address = 0x8032;
inline constexpr std::uint32_t WM_State_Announce = 0x8033;
inline constexpr std::uint32_t WM_State_IntegrityCheck = 0x8034;
inline constexpr std::uint32_t WM_Trend_Install = 0x8041;
inline constexpr std::uint32_t WM_Trend_Uninstall = 0x8042;
inline constexpr std::uint32_t WM_Trend_Modify = 0x8043;
inline constexpr std::uint32_t WM_Trend_Initialize = 0x8044;
inline constexpr std::uint32_t WM_Trend_Update = 0x8045;
inline constexpr std::uint32_t WM_Alarm_Install = 0x8051;
inline constexpr std::uint32_t WM_Alarm_Uninstall = 0x8052;
inline constexpr std::uint32_t WM_Alarm_Modify = 0x8053;
inline constexpr std::uint32_t WM_Alarm_Initialize = 0x8054;
inline constexpr std::uint32_t WM_Alarm_Triggered = 0x8055;
inline constexpr std::uint32_t WM_Conversation_Install = 0x8061;
inline constexpr std::uint32_t WM_Conversation_Uninstall = 0x8062;
inline constexpr std::uint32_t WM_Conversation_Modify = 0x8063;
inline constexpr std::uint32_t WM_Conversation_Initialize = 0x8064;
inline constexpr std::uint32_t WM_Conversation_Update = 0x8065;
inline constexpr std::uint32_t WM_Summary_Install = 0x8071;
inline constexpr std::uint32_t WM_Summary_Uninstall = 0x8072;
inline constexpr std::uint32_t WM_Summary_Modify = 0x8073;
inline constexpr std::uint32_t WM_Summary_Initialize = 0x8074;
inline constexpr std::uint32_t WM_Summary_Update = 0x8075;
inline constexpr std::uint32_t WM_History_Start = 0x8081;
inline constexpr std::uint32_t WM_History_Stop = 0x8082;
inline constexpr std::uint32_t WM_History_Pause = 0x8083;
inline constexpr std::uint32_t WM_History_Unpause = 0x8084;
inline constexpr std::uint32_t WM_History_Reset = 0x8085;
inline constexpr std::uint32_t WM_History_Restart = 0x8086;
inline constexpr std::uint32_t WM_Checkpoint_Install = 0x8091;
inline constexpr std::uint32_t WM_Checkpoint_Uninstall = 0x8092;
inline constexpr std::uint32_t WM_Checkpoint_Modify = 0x8093;
inline constexpr std::uint32_t WM_Checkpoint_Initialize = 0x8094;
inline constexpr std::uint32_t WM_Checkpoint_Update = 0x8095;
inline constexpr std::uint32_t WM_Database_Request = 0x80A1;
inline constexpr std::uint32_t WM_Database_Reply = 0x80A2;
inline constexpr std::uint32_t WM_Database_Cancel = 0x80A3;
inline constexpr std::uint32_t WM_Database_Log = 0x80A4;

// The ids that carry a thread-message object as their second parameter.
inline constexpr std::uint32_t kFirstThreadMessageId = WM_General_Command;
inline constexpr std::uint32_t kLastThreadMessageId = WM_Database_Log;

// The id's name, or "unknown"; the four Initialize ids have none.
const char* GetMessageIdName(std::uint32_t id);

} // namespace vq
