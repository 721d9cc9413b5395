#pragma once

#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

class ExplorerInfo;

// A scheduled report: when it runs, where its output goes and which subjects it covers.
class CCfgReport {
public:
    CCfgReport();
    CCfgReport(const CCfgReport&) = delete;
    CCfgReport& operator=(const CCfgReport&) = delete;
    virtual ~CCfgReport() = default;

    // The ID of the report's row, and the key of the membership bits of its subjects; 0 until the
    // report is loaded or saved.
    int32_t GetId() const { return m_Id; }
    void SetId(int32_t value) { m_Id = value; }
    // The chosen devices and network interfaces; the list does not own them.
    std::vector<ExplorerInfo*>& GetItems() { return m_Items; }
    // 0 all data, 1 the selected items only.
    int32_t GetContent() const { return m_Content; }
    void SetContent(int32_t value) { m_Content = value; }
    int32_t GetPrintToFile() const { return m_PrintToFile; }
    void SetPrintToFile(int32_t value) { m_PrintToFile = value; }
    bool IsNew() const { return m_New; }
    void SetNew(bool value) { m_New = value; }
    std::string GetEmailAddress() const { return m_EmailAddress; }
    void SetEmailAddress(const std::string& value) { m_EmailAddress = value; }
    int32_t GetSendEmail() const { return m_SendEmail; }
    void SetSendEmail(int32_t value) { m_SendEmail = value; }
    int32_t GetPrint() const { return m_Print; }
    void SetPrint(int32_t value) { m_Print = value; }
    // Repeat every N units after the trigger; 0 runs at the trigger only.
    int32_t GetFrequency() const { return m_Frequency; }
    void SetFrequency(int32_t value) { m_Frequency = value; }
    // 0 hours, 1 days.
    int32_t GetFrequencyUnit() const { return m_FrequencyUnit; }
    void SetFrequencyUnit(int32_t value) { m_FrequencyUnit = value; }
    // Only the hour and minute count.
    OleDateTime GetTime() const { return m_Time; }
    void SetTime(const OleDateTime& value) { m_Time = value; }
    // Day of the week, 0 Sunday .. 6 Saturday; stored as 1 .. 7. A stored 0 becomes 1 on reading.
    int32_t GetDay();
    void SetDay(int32_t dayOfWeek) { m_Day = dayOfWeek + 1; }
    std::string GetName() const { return m_Name; }
    void SetName(const std::string& value) { m_Name = value; }

    // Whether the report runs now, by the local time of the installed clock: true at the first
    // call in each minute in which its trigger or one of its repetitions falls.
    bool IsDue();

private:
    bool IsDueAt(const OleDateTime& now) const;

    int32_t m_Id = 0;
    std::vector<ExplorerInfo*> m_Items;
    // The local minute that last answered true. A minute, not a flag, so that two due minutes
    // with no call in between (a scheduler held up by a long report) each still answer true.
    int64_t m_DueMinute = -1;
    int32_t m_Content = 0;
    int32_t m_PrintToFile = 0;
    bool m_New = true;
    std::string m_EmailAddress;
    int32_t m_SendEmail = 0;
    int32_t m_Print = 0;
    int32_t m_Frequency = 0;
    int32_t m_FrequencyUnit = 0;
    OleDateTime m_Time;
    int32_t m_Day = 1;
    std::string m_Name;
};

} // namespace vq
