#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

class ArchiveReader;
class ArchiveWriter;

// The settings of the whole system: one per configuration database.
class CCfgOstrelix : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CCfgOstrelix)

public:
    // The database layout these records are read from and written to.
    static constexpr const char* kDbVersion = "DBV2.0a";

    CCfgOstrelix() { SetDefaults(); }
    CCfgOstrelix(const CCfgOstrelix&) = delete;
    CCfgOstrelix& operator=(const CCfgOstrelix&) = delete;

    // Leaves the CSV settings and the three spare flags as they are: the database always
    // supplies them.
    void SetDefaults();

    int32_t GetCapturePacketSize() const { return m_CapturePacketSize; }
    void SetCapturePacketSize(int32_t value) { m_CapturePacketSize = value; }
    int32_t GetCaptureFileSize() const { return m_CaptureFileSize; }
    void SetCaptureFileSize(int32_t value) { m_CaptureFileSize = value; }
    bool GetCaptureFixedLength() const { return m_CaptureFixedLength; }
    void SetCaptureFixedLength(bool value) { m_CaptureFixedLength = value; }
    // 0 snoop, 1 the second format of the capture dialog.
    int32_t GetCaptureFormat() const { return m_CaptureFormat; }
    void SetCaptureFormat(int32_t value) { m_CaptureFormat = value; }
    bool GetCaptureEnabled() const { return m_CaptureEnabled; }
    void SetCaptureEnabled(bool value) { m_CaptureEnabled = value; }
    bool GetCsvLogging() const { return m_CsvLogging; }
    void SetCsvLogging(bool value) { m_CsvLogging = value; }
    bool GetSpareFlagA() const { return m_SpareFlagA; }
    void SetSpareFlagA(bool value) { m_SpareFlagA = value; }
    bool GetSpareFlagC() const { return m_SpareFlagC; }
    void SetSpareFlagC(bool value) { m_SpareFlagC = value; }
    bool GetSpareFlagB() const { return m_SpareFlagB; }
    void SetSpareFlagB(bool value) { m_SpareFlagB = value; }
    // Index 0-14 of the CSV logging interval.
    int32_t GetCsvFrequency() const { return m_CsvFrequency; }
    void SetCsvFrequency(int32_t value) { m_CsvFrequency = value; }
    std::string GetDbVersion() const { return m_DbVersion; }
    void SetDbVersion(const std::string& value) { m_DbVersion = value; }
    // True for exactly kDbVersion; otherwise `message` takes the text that says so.
    bool CheckDbVersion(std::string& message) const;
    bool GetUseDefaultLogon() const { return m_UseDefaultLogon; }
    void SetUseDefaultLogon(bool value) { m_UseDefaultLogon = value; }
    bool GetCreateLocalDevices() const { return m_CreateLocalDevices; }
    void SetCreateLocalDevices(bool value) { m_CreateLocalDevices = value; }
    bool GetDisableEventMonitor() const { return m_DisableEventMonitor; }
    void SetDisableEventMonitor(bool value) { m_DisableEventMonitor = value; }
    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    std::string GetNewDeviceClass() const { return m_NewDeviceClass; }
    void SetNewDeviceClass(const std::string& value) { m_NewDeviceClass = value; }
    std::string GetMessagingUser() const { return m_MessagingUser; }
    void SetMessagingUser(const std::string& value) { m_MessagingUser = value; }
    std::string GetMessagingPassword() const { return m_MessagingPassword; }
    void SetMessagingPassword(const std::string& value) { m_MessagingPassword = value; }
    bool GetPasswordProtect() const { return m_PasswordProtect; }
    void SetPasswordProtect(bool value) { m_PasswordProtect = value; }
    std::string GetPassword() const { return m_Password; }
    void SetPassword(const std::string& value) { m_Password = value; }
    bool GetDisableActiveTest() const { return m_DisableActiveTest; }
    void SetDisableActiveTest(bool value) { m_DisableActiveTest = value; }
    bool GetDisableDataMonitor() const { return m_DisableDataMonitor; }
    void SetDisableDataMonitor(bool value) { m_DisableDataMonitor = value; }
    // A value with the status invalid (how a missing column reads) becomes the zero period,
    // for this and every later read.
    OleDateTime GetMonitorResetTime();
    void SetMonitorResetTime(const OleDateTime& value) { m_MonitorResetTime = value; }
    bool GetAssignNewDevices() const { return m_AssignNewDevices; }
    void SetAssignNewDevices(bool value) { m_AssignNewDevices = value; }
    bool GetReportNewAddresses() const { return m_ReportNewAddresses; }
    void SetReportNewAddresses(bool value) { m_ReportNewAddresses = value; }
    bool GetUseDefaultLevel() const { return m_UseDefaultLevel; }
    void SetUseDefaultLevel(bool value) { m_UseDefaultLevel = value; }
    std::string GetDefaultLogGroup() const { return m_DefaultLogGroup; }
    void SetDefaultLogGroup(const std::string& value) { m_DefaultLogGroup = value; }
    std::string GetDefaultLogLevel() const { return m_DefaultLogLevel; }
    void SetDefaultLogLevel(const std::string& value) { m_DefaultLogLevel = value; }
    int32_t GetEventClearMinutes() const { return m_EventClearMinutes; }
    void SetEventClearMinutes(int32_t value) { m_EventClearMinutes = value; }
    bool GetKeepEventStatus() const { return m_KeepEventStatus; }
    void SetKeepEventStatus(bool value) { m_KeepEventStatus = value; }
    int32_t GetEventEntries() const { return m_EventEntries; }
    void SetEventEntries(int32_t value) { m_EventEntries = value; }

    void Serialize(ArchiveWriter& archive) const;
    // Reads the whole form before storing any of it, so a short or malformed archive raises
    // ArchiveException and leaves the record as it was.
    void Serialize(ArchiveReader& archive);

private:
    int32_t m_CapturePacketSize;
    int32_t m_CaptureFileSize;
    bool m_CaptureFixedLength;
    int32_t m_CaptureFormat;
    bool m_CaptureEnabled;
    bool m_CsvLogging = false;
    bool m_SpareFlagA = false;
    bool m_SpareFlagC = false;
    bool m_SpareFlagB = false;
    int32_t m_CsvFrequency = 0;
    std::string m_DbVersion;
    bool m_UseDefaultLogon;
    bool m_CreateLocalDevices;
    bool m_DisableEventMonitor;
    bool m_New;
    std::string m_NewDeviceClass;
    // The archive values and text are carried only by the archive form; nothing reads them.
    int32_t m_ArchiveValue1;
    int32_t m_ArchiveValue2;
    std::string m_MessagingUser;
    std::string m_MessagingPassword;
    bool m_PasswordProtect;
    std::string m_Password;
    bool m_DisableActiveTest;
    bool m_DisableDataMonitor;
    OleDateTime m_MonitorResetTime;
    bool m_AssignNewDevices;
    std::string m_ArchiveText;
    int32_t m_ArchiveValue3;
    bool m_ReportNewAddresses;
    bool m_UseDefaultLevel;
    std::string m_DefaultLogGroup;
    std::string m_DefaultLogLevel;
    int32_t m_ArchiveValue4;
    int32_t m_EventClearMinutes;
    bool m_KeepEventStatus;
    int32_t m_EventEntries;
};

} // namespace vq
