#pragma once

#include "config/ReportMembership.h"
#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <array>
#include <cstdint>
#include <string>

namespace vq {

class ArchiveReader;
class ArchiveWriter;

// A configured device: its address, class, active test, reports and logging.
class CCfgDevice : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CCfgDevice)

public:
    CCfgDevice() { SetDefaults(); }
    // The copy has no name and no archive texts, and is new.
    CCfgDevice(const CCfgDevice& other);
    CCfgDevice& operator=(const CCfgDevice&) = delete;

    void SetDefaults();

    bool GetIpConversations() const { return m_IpConversations; }
    void SetIpConversations(bool value) { m_IpConversations = value; }
    bool GetCsvLogging() const { return m_CsvLogging; }
    void SetCsvLogging(bool value) { m_CsvLogging = value; }
    uint32_t GetReportWord(int index) const { return m_Reports.GetWord(index); }
    void SetReportWord(int index, uint32_t value) { m_Reports.SetWord(index, value); }
    bool IsReportMember(int report) const { return m_Reports.IsMember(report); }
    bool SetReportMember(int report, bool member) { return m_Reports.SetMember(report, member); }
    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    OleDateTime GetTestTime() const { return m_TestTime; }
    void SetTestTime(const OleDateTime& value) { m_TestTime = value; }
    bool GetPerformTest() const { return m_PerformTest; }
    void SetPerformTest(bool value) { m_PerformTest = value; }
    bool GetDialUp() const { return m_DialUp; }
    void SetDialUp(bool value) { m_DialUp = value; }
    // 0 none, 1 MAC, 2 IP, 3 domain name, 4 IPX, 5 NetBEUI.
    int32_t GetAddressType() const { return m_AddressType; }
    void SetAddressType(int32_t value) { m_AddressType = value; }
    int32_t GetAddressTypeCopy() const { return m_AddressType; }
    void SetAddressTypeCopy(int32_t value) { m_AddressType = value; }
    std::string GetBitmap() const { return m_Bitmap; }
    void SetBitmap(const std::string& value) { m_Bitmap = value; }
    std::string GetAddress() const { return m_Address; }
    void SetAddress(const std::string& value) { m_Address = value; }
    bool GetSpareFlag() const { return m_SpareFlag; }
    void SetSpareFlag(bool value) { m_SpareFlag = value; }
    std::string GetClassName() const { return m_ClassName; }
    void SetClassName(const std::string& value) { m_ClassName = value; }
    std::string GetDescription() const { return m_Description; }
    void SetDescription(const std::string& value) { m_Description = value; }
    std::string GetName() const { return m_Name; }
    void SetName(const std::string& value);
    // Bits per second; 0 stands for the network's setting.
    int64_t GetMaxBandwidth() const { return m_MaxBandwidth; }
    void SetMaxBandwidth(int64_t value) { m_MaxBandwidth = value; }
    int64_t GetMaxBandwidthBytes() const { return m_MaxBandwidth / 8; }

    // The archive keeps the maximum bandwidth in an unsigned 32-bit slot: a value outside it
    // raises ArchiveException before anything is written.
    void Serialize(ArchiveWriter& archive) const;
    // Reads the whole form before storing any of it, so a short or malformed archive raises
    // ArchiveException and leaves the record as it was.
    void Serialize(ArchiveReader& archive);

private:
    bool m_IpConversations;
    bool m_CsvLogging;
    ReportMembership m_Reports;
    bool m_New;
    OleDateTime m_TestTime;
    bool m_PerformTest;
    bool m_DialUp;
    int32_t m_AddressType;
    std::string m_Bitmap;
    std::string m_Address;
    // Carried only by the archive form, numbered in field order; nothing reads them.
    std::array<std::string, 4> m_ArchiveTexts;
    bool m_SpareFlag;
    std::string m_ClassName;
    std::string m_Description;
    std::string m_Name;
    int64_t m_MaxBandwidth;
};

} // namespace vq
