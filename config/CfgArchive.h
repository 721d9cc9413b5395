#pragma once

#include "platform/core/Archive.h"
#include "platform/time/OleDateTime.h"

namespace vq {

// Date-times of configuration records in their archive encoding: the status and the stored day
// count, so invalid and null values travel unchanged.
inline void WriteDate(ArchiveWriter& archive, const OleDateTime& value) {
    archive.WriteDateTime({static_cast<ArchiveDateTime::Status>(value.GetStatus()), value.Value()});
}

// A valid date outside the years the date type holds reads as invalid.
inline OleDateTime ReadDate(ArchiveReader& archive) {
    const ArchiveDateTime stored = archive.ReadDateTime();
    OleDateTime value(stored.days);
    if (stored.status != ArchiveDateTime::Valid)
        value.SetStatus(static_cast<OleDateTime::Status>(stored.status));
    return value;
}

} // namespace vq
