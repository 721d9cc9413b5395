#include "config/CCfgLogGroupLevel.h"

namespace vq {

CCfgLogGroupLevel::CCfgLogGroupLevel(const CCfgLogGroupLevel& other)
    : m_GroupName(other.GetGroupName()), m_New(other.IsNew()), m_Description(other.GetDescription()),
      m_Name(other.GetName()) {
    CopySettings(other);
}

CCfgLogGroupLevel::CCfgLogGroupLevel(const std::string& name, const CCfgLogGroupLevel& other)
    : m_GroupName(name), m_Name(name) {
    CopySettings(other);
}

// Every notification, acknowledge and reset setting, read through the getters.
void CCfgLogGroupLevel::CopySettings(const CCfgLogGroupLevel& other) {
    m_ResetMinutes = other.GetResetMinutes();
    m_InertFlagB = other.GetInertFlagB();
    m_InertMinutes = other.GetInertMinutes();
    m_InertFlagA = other.GetInertFlagA();
    m_AutoAckMinutes = other.GetAutoAckMinutes();
    m_AckRequired = other.GetAckRequired();
    m_ProgramParameters = other.GetProgramParameters();
    m_Program = other.GetProgram();
    m_ReportProgram = other.GetReportProgram();
    m_Clip = other.GetClip();
    m_ReportMultimedia = other.GetReportMultimedia();
    m_DialogType = other.GetDialogType();
    m_DialogMessage = other.GetDialogMessage();
    m_ReportDialog = other.GetReportDialog();
    m_EmailText = other.GetEmailText();
    m_EmailAddress = other.GetEmailAddress();
    m_ReportEmail = other.GetReportEmail();
}

} // namespace vq
