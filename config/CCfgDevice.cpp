#include "config/CCfgDevice.h"

#include "config/CfgArchive.h"
#include "config/CfgName.h"
#include "config/Schedule.h"
#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"

#include <limits>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgDevice, Object)

CCfgDevice::CCfgDevice(const CCfgDevice& other) : Object() {
    SetDefaults();
    m_TestTime = other.m_TestTime;
    m_PerformTest = other.m_PerformTest;
    m_Bitmap = other.m_Bitmap;
    m_SpareFlag = other.m_SpareFlag;
    m_Description = other.m_Description;
    m_Address = other.m_Address;
    m_AddressType = other.m_AddressType;
    m_DialUp = other.m_DialUp;
    m_ClassName = other.m_ClassName;
    m_Reports = other.m_Reports;
    m_CsvLogging = other.m_CsvLogging;
    m_MaxBandwidth = other.m_MaxBandwidth;
    m_IpConversations = other.m_IpConversations;
}

void CCfgDevice::SetDefaults() {
    m_IpConversations = false;
    m_CsvLogging = false;
    m_Reports = ReportMembership();
    m_New = true;
    m_TestTime = ScheduleStart(kSchedulePeriod);
    m_PerformTest = false;
    m_DialUp = false;
    m_AddressType = 2;
    m_Bitmap.clear();
    m_Address.clear();
    for (auto& text : m_ArchiveTexts)
        text.clear();
    m_SpareFlag = false;
    m_ClassName.clear();
    m_Description.clear();
    m_Name.clear();
    m_MaxBandwidth = 0;
}

void CCfgDevice::SetName(const std::string& value) {
    m_Name = CfgObjectName(value);
}

void CCfgDevice::Serialize(ArchiveWriter& archive) const {
    if (m_MaxBandwidth < 0 || m_MaxBandwidth > std::numeric_limits<uint32_t>::max())
        throw ArchiveException(ArchiveException::Cause::Generic, "maximum bandwidth " +
                                                                     std::to_string(m_MaxBandwidth) +
                                                                     " does not fit the device archive");
    WriteDate(archive, m_TestTime);
    archive.WriteFlag(m_PerformTest);
    archive.WriteText(m_Address);
    archive.WriteInt32(m_AddressType);
    archive.WriteText(m_Bitmap);
    archive.WriteFlag(m_SpareFlag);
    archive.WriteText(m_ClassName);
    archive.WriteText(m_Description);
    archive.WriteText(m_ArchiveTexts[1]);
    archive.WriteText(m_ArchiveTexts[0]);
    archive.WriteText(m_ArchiveTexts[2]);
    archive.WriteFlag(m_DialUp);
    archive.WriteText(m_Name);
    archive.WriteText(m_ArchiveTexts[3]);
    archive.WriteFlag(m_CsvLogging);
    archive.WriteUInt32(static_cast<uint32_t>(m_MaxBandwidth));
}

void CCfgDevice::Serialize(ArchiveReader& archive) {
    const OleDateTime testTime = ReadDate(archive);
    const bool performTest = archive.ReadFlag();
    std::string address = archive.ReadText();
    const int32_t addressType = archive.ReadInt32();
    std::string bitmap = archive.ReadText();
    const bool spareFlag = archive.ReadFlag();
    std::string className = archive.ReadText();
    std::string description = archive.ReadText();
    std::array<std::string, 4> archiveTexts;
    archiveTexts[1] = archive.ReadText();
    archiveTexts[0] = archive.ReadText();
    archiveTexts[2] = archive.ReadText();
    const bool dialUp = archive.ReadFlag();
    const std::string name = archive.ReadText();
    archiveTexts[3] = archive.ReadText();
    const bool csvLogging = archive.ReadFlag();
    const uint32_t maxBandwidth = archive.ReadUInt32();

    m_TestTime = testTime;
    m_PerformTest = performTest;
    m_Address = std::move(address);
    m_AddressType = addressType;
    m_Bitmap = std::move(bitmap);
    m_SpareFlag = spareFlag;
    m_ClassName = std::move(className);
    m_Description = std::move(description);
    m_ArchiveTexts = std::move(archiveTexts);
    m_DialUp = dialUp;
    SetName(name);
    m_CsvLogging = csvLogging;
    m_MaxBandwidth = maxBandwidth;
}

} // namespace vq
