#include "config/CCfgOstrelix.h"

#include "config/CfgArchive.h"
#include "config/ConfigTexts.h"
#include "config/Schedule.h"
#include "platform/core/Archive.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgOstrelix, Object)

void CCfgOstrelix::SetDefaults() {
    m_CapturePacketSize = 0;
    m_CaptureFileSize = 0;
    m_CaptureFixedLength = false;
    m_CaptureFormat = 0;
    m_CaptureEnabled = false;
    m_DbVersion = "???";
    m_UseDefaultLogon = true;
    m_CreateLocalDevices = false;
    m_DisableEventMonitor = false;
    m_New = true;
    m_NewDeviceClass.clear();
    m_ArchiveValue1 = 0;
    m_ArchiveValue2 = 0;
    m_MessagingUser.clear();
    m_MessagingPassword.clear();
    m_PasswordProtect = false;
    m_Password.clear();
    m_DisableActiveTest = false;
    m_DisableDataMonitor = false;
    m_MonitorResetTime = OleDateTime(1910, 1, 1, 8, 0, 0);
    m_AssignNewDevices = false;
    m_ArchiveText.clear();
    m_ArchiveValue3 = 0;
    m_ReportNewAddresses = true;
    m_UseDefaultLevel = false;
    m_DefaultLogGroup.clear();
    m_DefaultLogLevel.clear();
    m_ArchiveValue4 = 0;
    m_EventClearMinutes = 10;
    m_KeepEventStatus = false;
    m_EventEntries = 100;
}

bool CCfgOstrelix::CheckDbVersion(std::string& message) const {
    if (m_DbVersion == kDbVersion) return true;
    message = ConfigText(IDS_DATABASE_VERSION_MISMATCH);
    return false;
}

OleDateTime CCfgOstrelix::GetMonitorResetTime() {
    if (m_MonitorResetTime.GetStatus() == OleDateTime::invalid)
        m_MonitorResetTime = ScheduleStart(kSchedulePeriod);
    return m_MonitorResetTime;
}

void CCfgOstrelix::Serialize(ArchiveWriter& archive) const {
    archive.WriteText(m_ArchiveText);
    archive.WriteInt32(m_ArchiveValue3);
    archive.WriteFlag(m_DisableActiveTest);
    archive.WriteFlag(m_UseDefaultLevel);
    archive.WriteFlag(m_AssignNewDevices);
    archive.WriteFlag(m_ReportNewAddresses);
    archive.WriteFlag(m_CreateLocalDevices);
    archive.WriteFlag(m_DisableEventMonitor);
    archive.WriteFlag(m_UseDefaultLogon);
    archive.WriteFlag(m_DisableDataMonitor);
    archive.WriteFlag(m_PasswordProtect);
    archive.WriteFlag(m_KeepEventStatus);
    archive.WriteText(m_Password);
    archive.WriteText(m_NewDeviceClass);
    archive.WriteInt32(m_EventClearMinutes);
    archive.WriteInt32(m_ArchiveValue4);
    archive.WriteText(m_DefaultLogGroup);
    archive.WriteText(m_DefaultLogLevel);
    archive.WriteInt32(m_ArchiveValue1);
    archive.WriteText(m_MessagingUser);
    archive.WriteText(m_MessagingPassword);
    archive.WriteInt32(m_ArchiveValue2);
    archive.WriteFlag(m_New);
    WriteDate(archive, m_MonitorResetTime);
    archive.WriteInt32(m_EventEntries);
}

void CCfgOstrelix::Serialize(ArchiveReader& archive) {
    std::string archiveText = archive.ReadText();
    const int32_t archiveValue3 = archive.ReadInt32();
    const bool disableActiveTest = archive.ReadFlag();
    const bool useDefaultLevel = archive.ReadFlag();
    const bool assignNewDevices = archive.ReadFlag();
    const bool reportNewAddresses = archive.ReadFlag();
    const bool createLocalDevices = archive.ReadFlag();
    const bool disableEventMonitor = archive.ReadFlag();
    const bool useDefaultLogon = archive.ReadFlag();
    const bool disableDataMonitor = archive.ReadFlag();
    const bool passwordProtect = archive.ReadFlag();
    const bool keepEventStatus = archive.ReadFlag();
    std::string password = archive.ReadText();
    std::string newDeviceClass = archive.ReadText();
    const int32_t eventClearMinutes = archive.ReadInt32();
    const int32_t archiveValue4 = archive.ReadInt32();
    std::string defaultLogGroup = archive.ReadText();
    std::string defaultLogLevel = archive.ReadText();
    const int32_t archiveValue1 = archive.ReadInt32();
    std::string messagingUser = archive.ReadText();
    std::string messagingPassword = archive.ReadText();
    const int32_t archiveValue2 = archive.ReadInt32();
    const bool isNew = archive.ReadFlag();
    const OleDateTime monitorResetTime = ReadDate(archive);
    const int32_t eventEntries = archive.ReadInt32();

    m_ArchiveText = std::move(archiveText);
    m_ArchiveValue3 = archiveValue3;
    m_DisableActiveTest = disableActiveTest;
    m_UseDefaultLevel = useDefaultLevel;
    m_AssignNewDevices = assignNewDevices;
    m_ReportNewAddresses = reportNewAddresses;
    m_CreateLocalDevices = createLocalDevices;
    m_DisableEventMonitor = disableEventMonitor;
    m_UseDefaultLogon = useDefaultLogon;
    m_DisableDataMonitor = disableDataMonitor;
    m_PasswordProtect = passwordProtect;
    m_KeepEventStatus = keepEventStatus;
    m_Password = std::move(password);
    m_NewDeviceClass = std::move(newDeviceClass);
    m_EventClearMinutes = eventClearMinutes;
    m_ArchiveValue4 = archiveValue4;
    m_DefaultLogGroup = std::move(defaultLogGroup);
    m_DefaultLogLevel = std::move(defaultLogLevel);
    m_ArchiveValue1 = archiveValue1;
    m_MessagingUser = std::move(messagingUser);
    m_MessagingPassword = std::move(messagingPassword);
    m_ArchiveValue2 = archiveValue2;
    m_New = isNew;
    m_MonitorResetTime = monitorResetTime;
    m_EventEntries = eventEntries;
}

} // namespace vq
