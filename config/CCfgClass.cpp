#include "config/CCfgClass.h"

#include "config/CfgArchive.h"
#include "config/CfgName.h"
#include "config/Schedule.h"
#include "platform/core/Archive.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgClass, Object)

CCfgClass::CCfgClass(const CCfgClass& other) : Object() {
    SetDefaults();
    m_Description = other.m_Description;
    m_Bitmap = other.m_Bitmap;
    m_PerformTest = other.m_PerformTest;
    m_TestTime = other.m_TestTime;
}

void CCfgClass::SetDefaults() {
    m_New = false;
    m_TestTime = ScheduleStart(kSchedulePeriod);
    m_PerformTest = false;
    m_Bitmap.clear();
    m_Description.clear();
    m_Name.clear();
}

void CCfgClass::SetName(const std::string& value) {
    m_Name = CfgObjectName(value);
}

void CCfgClass::Serialize(ArchiveWriter& archive) const {
    WriteDate(archive, m_TestTime);
    archive.WriteFlag(m_PerformTest);
    archive.WriteText(m_Bitmap);
    archive.WriteText(m_Description);
    archive.WriteText(m_Name);
}

void CCfgClass::Serialize(ArchiveReader& archive) {
    const OleDateTime testTime = ReadDate(archive);
    const bool performTest = archive.ReadFlag();
    std::string bitmap = archive.ReadText();
    std::string description = archive.ReadText();
    const std::string name = archive.ReadText();

    m_TestTime = testTime;
    m_PerformTest = performTest;
    m_Bitmap = std::move(bitmap);
    m_Description = std::move(description);
    SetName(name);
}

} // namespace vq
