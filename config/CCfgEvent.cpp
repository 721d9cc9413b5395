#include "config/CCfgEvent.h"

#include "config/CfgArchive.h"
#include "config/ConfigTexts.h"
#include "config/Schedule.h"
#include "platform/core/Archive.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgEvent, Object)

namespace {

bool IsFilterWordIndex(int index) {
    return index >= 0 && index < CCfgEvent::kFilterWords;
}

} // namespace

CCfgEvent::CCfgEvent() {
    m_Fields.sampleTime = ScheduleStart(kSchedulePeriod);
    m_Fields.frequency = ScheduleStart(kSchedulePeriod);
    m_Fields.compareFrom = OleDateTime(1920, 1, 1, 0, 0, 0);
    m_Fields.baselineTime = OleDateTime(1900, 1, 1, 0, 0, 0);
}

uint32_t CCfgEvent::GetFilterWord(int index) const {
    return IsFilterWordIndex(index) ? m_Fields.filter[index] : 0;
}

void CCfgEvent::SetFilterWord(int index, uint32_t value) {
    if (IsFilterWordIndex(index)) m_Fields.filter[index] = value;
}

bool CCfgEvent::IsFilterBit(int word, int bit) const {
    if (!IsFilterWordIndex(word) || bit < 0 || bit > 31) return false;
    return (m_Fields.filter[word] >> bit & 1) != 0;
}

int32_t CCfgEvent::StatusLevel(int32_t severity) {
    switch (severity) {
    case 1:
        return 2;
    case 2:
        return 3;
    case 3:
        return 4;
    default:
        return 0;
    }
}

void CCfgEvent::Serialize(ArchiveWriter& archive) const {
    WriteForm(archive);
}

void CCfgEvent::Serialize(ArchiveReader& archive) {
    Fields fields = m_Fields;
    ReadForm(archive, fields);
    m_Fields = std::move(fields);
}

void CCfgEvent::SerializeWithOwner(ArchiveWriter& archive, const std::string& owner) const {
    WriteForm(archive);
    archive.WriteText(owner);
}

void CCfgEvent::SerializeWithOwner(ArchiveReader& archive, std::string& owner) {
    Fields fields = m_Fields;
    ReadForm(archive, fields);
    std::string readOwner = archive.ReadText();
    m_Fields = std::move(fields);
    owner = std::move(readOwner);
}

void CCfgEvent::WriteForm(ArchiveWriter& archive) const {
    const Fields& f = m_Fields;
    WriteDate(archive, f.baselineTime);
    archive.WriteInt32(f.baselineMode);
    archive.WriteFlag(f.resetWhenNormal);
    WriteDate(archive, f.compareFrom);
    archive.WriteInt32(f.measure);
    archive.WriteInt32(f.direction);
    archive.WriteInt32(f.spareValueA);
    archive.WriteInt32(f.type);
    WriteDate(archive, f.frequency);
    archive.WriteInt32(f.threshold);
    archive.WriteText(f.message);
    archive.WriteInt32(f.filterOption);
    archive.WriteInt32(f.limit);
    archive.WriteText(f.primaryGroup);
    archive.WriteText(f.primaryLevel);
    archive.WriteText(f.secondaryGroup);
    archive.WriteText(f.secondaryLevel);
    WriteDate(archive, f.sampleTime);
    archive.WriteInt32(f.severity);
    archive.WriteInt32(f.spareValueB);
    archive.WriteInt32(f.compareTo);
}

void CCfgEvent::ReadForm(ArchiveReader& archive, Fields& f) {
    f.baselineTime = ReadDate(archive);
    f.baselineMode = archive.ReadInt32();
    f.resetWhenNormal = archive.ReadFlag();
    f.compareFrom = ReadDate(archive);
    f.measure = archive.ReadInt32();
    f.direction = archive.ReadInt32();
    f.spareValueA = archive.ReadInt32();
    f.type = archive.ReadInt32();
    f.frequency = ReadDate(archive);
    f.threshold = archive.ReadInt32();
    f.message = archive.ReadText();
    f.filterOption = archive.ReadInt32();
    f.limit = archive.ReadInt32();
    f.primaryGroup = archive.ReadText();
    f.primaryLevel = archive.ReadText();
    f.secondaryGroup = archive.ReadText();
    f.secondaryLevel = archive.ReadText();
    f.sampleTime = ReadDate(archive);
    f.severity = archive.ReadInt32();
    f.spareValueB = archive.ReadInt32();
    f.compareTo = archive.ReadInt32();
}

std::string GetEventTypeName(int32_t type) {
    return ConfigText(EventTypeNameId(type));
}

} // namespace vq
