#pragma once

#include <cstdint>
#include <string>

namespace vq {

// One level of a log group: how an event reported to it is notified, acknowledged and reset.
class CCfgLogGroupLevel {
public:
    CCfgLogGroupLevel() = default;
    // Copies through the getters, so the three inert values come out false, 0 and false.
    CCfgLogGroupLevel(const CCfgLogGroupLevel& other);
    // A new level named `name` in the group of the same name, with the settings of `other`.
    CCfgLogGroupLevel(const std::string& name, const CCfgLogGroupLevel& other);
    CCfgLogGroupLevel& operator=(const CCfgLogGroupLevel&) = delete;
    virtual ~CCfgLogGroupLevel() = default;

    std::string GetGroupName() const { return m_GroupName; }
    void SetGroupName(const std::string& value) { m_GroupName = value; }
    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    int32_t GetResetMinutes() const { return m_ResetMinutes; }
    void SetResetMinutes(int32_t value) { m_ResetMinutes = value; }

    // The inert fields are loaded and can be set, but their getters answer fixed values, so
    // every copy and every save carries false, 0 and false.
    bool GetInertFlagB() const { return false; }
    void SetInertFlagB(bool value) { m_InertFlagB = value; }
    int32_t GetInertMinutes() const { return 0; }
    void SetInertMinutes(int32_t value) { m_InertMinutes = value; }
    bool GetInertFlagA() const { return false; }
    void SetInertFlagA(bool value) { m_InertFlagA = value; }

    int32_t GetAutoAckMinutes() const { return m_AutoAckMinutes; }
    void SetAutoAckMinutes(int32_t value) { m_AutoAckMinutes = value; }
    bool GetAckRequired() const { return m_AckRequired; }
    void SetAckRequired(bool value) { m_AckRequired = value; }
    std::string GetProgramParameters() const { return m_ProgramParameters; }
    void SetProgramParameters(const std::string& value) { m_ProgramParameters = value; }
    std::string GetProgram() const { return m_Program; }
    void SetProgram(const std::string& value) { m_Program = value; }
    bool GetReportProgram() const { return m_ReportProgram; }
    void SetReportProgram(bool value) { m_ReportProgram = value; }
    std::string GetClip() const { return m_Clip; }
    void SetClip(const std::string& value) { m_Clip = value; }
    bool GetReportMultimedia() const { return m_ReportMultimedia; }
    void SetReportMultimedia(bool value) { m_ReportMultimedia = value; }
    // 0 Info, 1 Confirm.
    int32_t GetDialogType() const { return m_DialogType; }
    void SetDialogType(int32_t value) { m_DialogType = value; }
    std::string GetDialogMessage() const { return m_DialogMessage; }
    void SetDialogMessage(const std::string& value) { m_DialogMessage = value; }
    bool GetReportDialog() const { return m_ReportDialog; }
    void SetReportDialog(bool value) { m_ReportDialog = value; }
    std::string GetEmailText() const { return m_EmailText; }
    void SetEmailText(const std::string& value) { m_EmailText = value; }
    std::string GetEmailAddress() const { return m_EmailAddress; }
    void SetEmailAddress(const std::string& value) { m_EmailAddress = value; }
    bool GetReportEmail() const { return m_ReportEmail; }
    void SetReportEmail(bool value) { m_ReportEmail = value; }
    std::string GetDescription() const { return m_Description; }
    void SetDescription(const std::string& value) { m_Description = value; }
    std::string GetName() const { return m_Name; }
    void SetName(const std::string& value) { m_Name = value; }

private:
    void CopySettings(const CCfgLogGroupLevel& other);

    std::string m_GroupName;
    bool m_New = true;
    int32_t m_ResetMinutes = 0;
    bool m_InertFlagB = false;
    int32_t m_InertMinutes = 0;
    bool m_InertFlagA = false;
    int32_t m_AutoAckMinutes = 0;
    bool m_AckRequired = false;
    std::string m_ProgramParameters;
    std::string m_Program;
    bool m_ReportProgram = false;
    std::string m_Clip;
    bool m_ReportMultimedia = false;
    int32_t m_DialogType = 0;
    std::string m_DialogMessage;
    bool m_ReportDialog = false;
    std::string m_EmailText;
    std::string m_EmailAddress;
    bool m_ReportEmail = false;
    std::string m_Description;
    std::string m_Name;
};

} // namespace vq
