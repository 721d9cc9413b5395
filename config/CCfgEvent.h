#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <array>
#include <cstdint>
#include <string>

namespace vq {

class ArchiveReader;
class ArchiveWriter;

// A configured event: what is measured for an object, the threshold and schedule, the protocol
// filter, the log-group levels it reports to and the status it sets. The owner kinds add the
// name of the object.
class CCfgEvent : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CCfgEvent)

public:
    static constexpr int kFilterWords = 8;

    CCfgEvent();
    CCfgEvent(const CCfgEvent&) = delete;
    CCfgEvent& operator=(const CCfgEvent&) = delete;

    // Every setting, the filter words and the new flag included; an owner name stays as it is.
    void CopyFrom(const CCfgEvent& other) { m_Fields = other.m_Fields; }

    std::string GetSecondaryLevel() const { return m_Fields.secondaryLevel; }
    void SetSecondaryLevel(const std::string& value) { m_Fields.secondaryLevel = value; }
    // One bit per protocol; all zero means every frame counts.
    uint32_t GetFilterWord(int index) const;
    void SetFilterWord(int index, uint32_t value);
    bool IsFilterBit(int word, int bit) const;
    bool GetResetWhenNormal() const { return m_Fields.resetWhenNormal; }
    void SetResetWhenNormal(bool value) { m_Fields.resetWhenNormal = value; }
    std::string GetMessage() const { return m_Fields.message; }
    void SetMessage(const std::string& value) { m_Fields.message = value; }
    std::string GetSecondaryGroup() const { return m_Fields.secondaryGroup; }
    void SetSecondaryGroup(const std::string& value) { m_Fields.secondaryGroup = value; }
    std::string GetPrimaryGroup() const { return m_Fields.primaryGroup; }
    void SetPrimaryGroup(const std::string& value) { m_Fields.primaryGroup = value; }
    std::string GetPrimaryLevel() const { return m_Fields.primaryLevel; }
    void SetPrimaryLevel(const std::string& value) { m_Fields.primaryLevel = value; }
    int32_t GetThreshold() const { return m_Fields.threshold; }
    void SetThreshold(int32_t value) { m_Fields.threshold = value; }
    int32_t GetType() const { return m_Fields.type; }
    void SetType(int32_t value) { m_Fields.type = value; }
    OleDateTime GetSampleTime() const { return m_Fields.sampleTime; }
    void SetSampleTime(const OleDateTime& value) { m_Fields.sampleTime = value; }
    // 0 packets, 1 bytes.
    int32_t GetMeasure() const { return m_Fields.measure; }
    void SetMeasure(int32_t value) { m_Fields.measure = value; }
    OleDateTime GetFrequency() const { return m_Fields.frequency; }
    void SetFrequency(const OleDateTime& value) { m_Fields.frequency = value; }
    int32_t GetLimit() const { return m_Fields.limit; }
    void SetLimit(int32_t value) { m_Fields.limit = value; }
    int32_t GetFilterOption() const { return m_Fields.filterOption; }
    void SetFilterOption(int32_t value) { m_Fields.filterOption = value; }
    // 0 received, 1 transmitted, 2 both.
    int32_t GetDirection() const { return m_Fields.direction; }
    void SetDirection(int32_t value) { m_Fields.direction = value; }
    // The status update: 0 none, 1 OK, 2 Warning, 3 Fault.
    int32_t GetSeverity() const { return m_Fields.severity; }
    void SetSeverity(int32_t value) { m_Fields.severity = value; }
    int32_t GetSpareValueA() const { return m_Fields.spareValueA; }
    void SetSpareValueA(int32_t value) { m_Fields.spareValueA = value; }
    // A value in 1920 stands for the last sample.
    OleDateTime GetCompareFrom() const { return m_Fields.compareFrom; }
    void SetCompareFrom(const OleDateTime& value) { m_Fields.compareFrom = value; }
    int32_t GetCompareTo() const { return m_Fields.compareTo; }
    void SetCompareTo(int32_t value) { m_Fields.compareTo = value; }
    int32_t GetSpareValueB() const { return m_Fields.spareValueB; }
    void SetSpareValueB(int32_t value) { m_Fields.spareValueB = value; }
    // 0 fixed sample, 1 floating.
    int32_t GetBaselineMode() const { return m_Fields.baselineMode; }
    void SetBaselineMode(int32_t value) { m_Fields.baselineMode = value; }
    OleDateTime GetBaselineTime() const { return m_Fields.baselineTime; }
    void SetBaselineTime(const OleDateTime& value) { m_Fields.baselineTime = value; }
    bool IsNew() const { return m_Fields.isNew; }
    void SetNew(bool value) { m_Fields.isNew = value; }

    // The status level a raised event gives its object: OK 2, Warning 3, Fault 4, otherwise 0.
    static int32_t StatusLevel(int32_t severity);

    virtual void Serialize(ArchiveWriter& archive) const;
    // Reads the whole form before storing any of it, so a short or malformed archive raises
    // ArchiveException and leaves the record as it was.
    virtual void Serialize(ArchiveReader& archive);

protected:
    // The form with an owner name appended, read whole before anything is stored.
    void SerializeWithOwner(ArchiveWriter& archive, const std::string& owner) const;
    void SerializeWithOwner(ArchiveReader& archive, std::string& owner);

private:
    struct Fields {
        std::string secondaryLevel;
        std::array<uint32_t, kFilterWords> filter{};
        bool resetWhenNormal = false;
        std::string message;
        std::string secondaryGroup;
        std::string primaryGroup;
        std::string primaryLevel;
        int32_t threshold = 0;
        int32_t type = 0;
        OleDateTime sampleTime;
        int32_t measure = 0;
        OleDateTime frequency;
        int32_t limit = 0;
        int32_t filterOption = 0;
        int32_t direction = 2;
        int32_t severity = 2;
        int32_t spareValueA = 0;
        OleDateTime compareFrom;
        int32_t compareTo = 0;
        int32_t spareValueB = 0;
        int32_t baselineMode = 0;
        OleDateTime baselineTime;
        bool isNew = true;
    };

    void WriteForm(ArchiveWriter& archive) const;
    // Reads the form into `fields`, leaving the fields outside the form as they are.
    static void ReadForm(ArchiveReader& archive, Fields& fields);

    Fields m_Fields;
};

// The name of an event type code; "Other Event" for a code that has none.
std::string GetEventTypeName(int32_t type);

} // namespace vq
