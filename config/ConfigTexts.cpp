#include "config/ConfigTexts.h"

#include "platform/core/StringTable.h"

#include <mutex>

namespace vq {

namespace {

struct EventTypeName {
    std::int32_t code;
    const char* text;
};

// Codes 1-15 name device and class events, 1001-1014 network events.
constexpr EventTypeName kEventTypeNames[] = {
    {1, "High Traffic Volume"},
    {2, "Low Traffic Volume"},
    {3, "High % Increase in traffic"},
    {4, "High % Decrease in Traffic"},
    {5, "High Bandwidth Utilization"},
    {6, "Low Bandwidth Utilization"},
    {7, "Traffic high vs. Baseline"},
    {8, "Traffic low vs. Baseline"},
    {9, "Traffic rate high vs. Baseline"},
    {10, "Traffic rate low vs. Baseline"},
    {11, "Bandwidth Utilization high vs. Baseline"},
    {12, "Bandwidth Utilization low vs. Baseline"},
    {13, "Slow Response"},
    {14, "Device does not respond"},
    {15, "Device responds"},
    {1001, "High Traffic Volume"},
    {1002, "Low Traffic Volume"},
    {1003, "High % Increase in traffic"},
    {1004, "High % Decrease in Traffic"},
    {1005, "High Bandwidth Utilization"},
    {1006, "Low Bandwidth Utilization"},
    {1007, "Traffic high vs. Baseline"},
    {1008, "Traffic low vs. Baseline"},
    {1009, "Traffic rate high vs. Baseline"},
    {1010, "Traffic rate low vs. Baseline"},
    {1011, "Bandwidth Utilization high vs. Baseline"},
    {1012, "Bandwidth Utilization low vs. Baseline"},
    {1013, "Error Limit"},
    {1014, "Device Discovery Event"},
};

} // namespace

ConfigTextId EventTypeNameId(std::int32_t type) {
    for (const auto& name : kEventTypeNames)
        if (name.code == type)
            return static_cast<ConfigTextId>(IDS_EVENT_TYPE_BASE + static_cast<std::uint32_t>(type));
    return IDS_EVENT_TYPE_BASE;
}

std::string ConfigText(ConfigTextId id) {
    static std::once_flag added;
    std::call_once(added, [] {
        StringTable::Add(IDS_CREATE_DATABASE_FAILED, "Error creating new configuration database.");
        StringTable::Add(IDS_TEMPLATE_ACCESS_FAILED, "Error accessing configuration database template. ");
        StringTable::Add(IDS_DATABASE_EXISTS, "Database already exists.");
        StringTable::Add(IDS_DATABASE_ACCESS_ERROR, "ADO Database access error.");
        StringTable::Add(IDS_DATABASE_INTERNAL_ERROR,
                         "Cannot access configuration database - Internal Error!");
        StringTable::Add(IDS_INVALID_DATABASE_TYPE, "Invalid Vorquel database type.");
        StringTable::Add(IDS_ARCHIVE_LOAD_ERROR, "Error loading database from archive.");
        StringTable::Add(IDS_DATABASE_VERSION_MISMATCH,
                         "Database not compatible with the version of Vorquel.");
        StringTable::Add(IDS_INVALID_DATABASE_TYPE_2, "Invalid Vorquel Database Type(2)");
        StringTable::Add(IDS_SCHEDULE_EVERY, "Every ");
        StringTable::Add(IDS_SCHEDULE_DAILY, "Daily at ");
        StringTable::Add(IDS_SCHEDULE_WEEKLY, "Weekly on ");
        StringTable::Add(IDS_SCHEDULE_MONTHLY, "Monthly on ");
        StringTable::Add(IDS_SCHEDULE_ANNUALLY, "Annually on ");
        StringTable::Add(IDS_SCHEDULE_FORMAT_EVERY, "%H:%M");
        StringTable::Add(IDS_SCHEDULE_FORMAT_DAILY, "%H:%M");
        StringTable::Add(IDS_SCHEDULE_FORMAT_WEEKLY, "%a @ %H:%M");
        StringTable::Add(IDS_SCHEDULE_FORMAT_MONTHLY, "Day %d  @ %H:%M");
        StringTable::Add(IDS_SCHEDULE_FORMAT_ANNUALLY, "%d %b @ %H:%M");
        StringTable::Add(IDS_EVENT_TYPE_BASE, "Other Event");
        for (const auto& name : kEventTypeNames)
            StringTable::Add(EventTypeNameId(name.code), name.text);
    });
    return StringTable::Get(id);
}

} // namespace vq
