#include "config/ConfigTexts.h"

#include "platform/core/StringTable.h"

#include <mutex>

namespace vq {

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
    });
    return StringTable::Get(id);
}

} // namespace vq
