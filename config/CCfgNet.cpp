#include "config/CCfgNet.h"

#include "config/CfgArchive.h"
#include "config/CfgName.h"
#include "platform/core/Archive.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgNet, Object)

CCfgNet::CCfgNet(const CCfgNet& other) : Object() {
    SetDefaults();
    m_Description = other.m_Description;
    m_AdapterAddress = other.m_AdapterAddress;
    m_SpareFlag = other.m_SpareFlag;
    m_SpareTime = other.m_SpareTime;
    m_DiscoveryClass = other.m_DiscoveryClass;
    m_AssignClass = other.m_AssignClass;
    m_AdapterIndex = other.m_AdapterIndex;
    m_CsvLogging = other.m_CsvLogging;
}

void CCfgNet::SetDefaults() {
    m_CaptureFile.clear();
    m_CaptureEnabled = false;
    m_CsvLogging = false;
    m_Reports = ReportMembership();
    m_AdapterIndex = -1;
    m_DiscoveryClass.clear();
    m_AssignClass = false;
    m_Name.clear();
    m_New = true;
    m_Description.clear();
    m_AdapterAddress.clear();
    m_SpareFlag = false;
    m_SpareTime = OleDateTime();
    m_SpareTime.SetStatus(OleDateTime::null);
}

void CCfgNet::SetName(const std::string& value) {
    m_Name = CfgObjectName(value);
}

void CCfgNet::Serialize(ArchiveWriter& archive) const {
    archive.WriteInt32(m_AdapterIndex);
    archive.WriteFlag(m_AssignClass);
    archive.WriteFlag(m_SpareFlag);
    archive.WriteText(m_DiscoveryClass);
    archive.WriteText(m_Description);
    archive.WriteText(m_AdapterAddress);
    WriteDate(archive, m_SpareTime);
    archive.WriteText(m_Name);
    archive.WriteFlag(m_New);
}

void CCfgNet::Serialize(ArchiveReader& archive) {
    const int32_t adapterIndex = archive.ReadInt32();
    const bool assignClass = archive.ReadFlag();
    const bool spareFlag = archive.ReadFlag();
    std::string discoveryClass = archive.ReadText();
    std::string description = archive.ReadText();
    std::string adapterAddress = archive.ReadText();
    const OleDateTime spareTime = ReadDate(archive);
    const std::string name = archive.ReadText();
    const bool isNew = archive.ReadFlag();

    m_AdapterIndex = adapterIndex;
    m_AssignClass = assignClass;
    m_SpareFlag = spareFlag;
    m_DiscoveryClass = std::move(discoveryClass);
    m_Description = std::move(description);
    m_AdapterAddress = std::move(adapterAddress);
    m_SpareTime = spareTime;
    SetName(name);
    m_New = isNew;
}

} // namespace vq
