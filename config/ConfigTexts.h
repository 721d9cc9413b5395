#pragma once

#include <cstdint>
#include <string>

namespace vq {

// String-table ids of the configuration store's messages.
enum ConfigTextId : std::uint32_t {
    IDS_CREATE_DATABASE_FAILED = 332,
    IDS_TEMPLATE_ACCESS_FAILED = 333,
    IDS_DATABASE_EXISTS = 334,
    IDS_DATABASE_ACCESS_ERROR = 460,
    IDS_DATABASE_INTERNAL_ERROR = 557,
    IDS_INVALID_DATABASE_TYPE = 558,
    IDS_ARCHIVE_LOAD_ERROR = 559,
    IDS_DATABASE_VERSION_MISMATCH = 625,
    IDS_INVALID_DATABASE_TYPE_2 = 652,
};

// The text of the id from the string table, which the configuration store fills with its texts
// on first use.
std::string ConfigText(ConfigTextId id);

} // namespace vq
