#pragma once

#include <cstdint>
#include <string>

namespace vq {

// String-table ids of the configuration store's messages.
enum ConfigTextId : std::uint32_t {
    IDS_SCHEDULE_EVERY = 293,
    IDS_SCHEDULE_DAILY = 294,
    IDS_SCHEDULE_WEEKLY = 295,
    IDS_SCHEDULE_MONTHLY = 296,
    IDS_SCHEDULE_ANNUALLY = 297,
    IDS_SCHEDULE_FORMAT_EVERY = 298,
    IDS_SCHEDULE_FORMAT_DAILY = 299,
    IDS_SCHEDULE_FORMAT_WEEKLY = 300,
    IDS_SCHEDULE_FORMAT_MONTHLY = 301,
    IDS_SCHEDULE_FORMAT_ANNUALLY = 302,
    IDS_CREATE_DATABASE_FAILED = 332,
    IDS_TEMPLATE_ACCESS_FAILED = 333,
    IDS_DATABASE_EXISTS = 334,
    IDS_DATABASE_ACCESS_ERROR = 460,
    IDS_DATABASE_INTERNAL_ERROR = 557,
    IDS_INVALID_DATABASE_TYPE = 558,
    IDS_ARCHIVE_LOAD_ERROR = 559,
    IDS_DATABASE_VERSION_MISMATCH = 625,
    IDS_INVALID_DATABASE_TYPE_2 = 652,
    // Event type names sit at this id plus their type code; the id itself is "Other Event".
    IDS_EVENT_TYPE_BASE = 40000,
};

// The id of the name of an event type code.
ConfigTextId EventTypeNameId(std::int32_t type);

// The text of the id from the string table, which the configuration store fills with its texts
// on first use.
std::string ConfigText(ConfigTextId id);

} // namespace vq
