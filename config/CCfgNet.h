#pragma once

#include "config/ReportMembership.h"
#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

class ArchiveReader;
class ArchiveWriter;

// A network interface: the adapter it is bound to, discovery, capture, reports and logging.
class CCfgNet : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CCfgNet)

public:
    CCfgNet() { SetDefaults(); }
    // The copy keeps the adapter binding but has no name, capture settings or reports, and is new.
    CCfgNet(const CCfgNet& other);
    CCfgNet& operator=(const CCfgNet&) = delete;

    void SetDefaults();

    // Held in memory only.
    std::string GetCaptureFile() const { return m_CaptureFile; }
    void SetCaptureFile(const std::string& value) { m_CaptureFile = value; }
    bool GetCaptureEnabled() const { return m_CaptureEnabled; }
    void SetCaptureEnabled(bool value) { m_CaptureEnabled = value; }
    bool GetCsvLogging() const { return m_CsvLogging; }
    void SetCsvLogging(bool value) { m_CsvLogging = value; }
    uint32_t GetReportWord(int index) const { return m_Reports.GetWord(index); }
    void SetReportWord(int index, uint32_t value) { m_Reports.SetWord(index, value); }
    bool IsReportMember(int report) const { return m_Reports.IsMember(report); }
    bool SetReportMember(int report, bool member) { return m_Reports.SetMember(report, member); }
    // The capture adapter bound at run time, -1 for none.
    int32_t GetAdapterIndex() const { return m_AdapterIndex; }
    void SetAdapterIndex(int32_t value) { m_AdapterIndex = value; }
    std::string GetDiscoveryClass() const { return m_DiscoveryClass; }
    void SetDiscoveryClass(const std::string& value) { m_DiscoveryClass = value; }
    bool GetAssignClass() const { return m_AssignClass; }
    void SetAssignClass(bool value) { m_AssignClass = value; }
    std::string GetName() const { return m_Name; }
    void SetName(const std::string& value);
    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    std::string GetDescription() const { return m_Description; }
    void SetDescription(const std::string& value) { m_Description = value; }
    std::string GetAdapterAddress() const { return m_AdapterAddress; }
    void SetAdapterAddress(const std::string& value) { m_AdapterAddress = value; }
    bool GetSpareFlag() const { return m_SpareFlag; }
    void SetSpareFlag(bool value) { m_SpareFlag = value; }
    OleDateTime GetSpareTime() const { return m_SpareTime; }
    void SetSpareTime(const OleDateTime& value) { m_SpareTime = value; }

    void Serialize(ArchiveWriter& archive) const;
    // Reads the whole form before storing any of it, so a short or malformed archive raises
    // ArchiveException and leaves the record as it was.
    void Serialize(ArchiveReader& archive);

private:
    std::string m_CaptureFile;
    bool m_CaptureEnabled;
    bool m_CsvLogging;
    ReportMembership m_Reports;
    int32_t m_AdapterIndex;
    std::string m_DiscoveryClass;
    bool m_AssignClass;
    std::string m_Name;
    bool m_New;
    std::string m_Description;
    std::string m_AdapterAddress;
    bool m_SpareFlag;
    OleDateTime m_SpareTime;
};

} // namespace vq
