#pragma once

#include <cstdint>
#include <ctime>

namespace vq {

// Local time follows the rule in force at each moment (summer dates get the summer offset), never
// today's offset applied to every date.

// Local calendar fields of a moment given as seconds since 1970-01-01 UTC.
bool LocalFromUnixSeconds(int64_t seconds, std::tm& local);
// The moment of local calendar fields. An hour that the clock skips or repeats gets the platform's
// choice between the two offsets.
bool UnixSecondsFromLocal(const std::tm& local, int64_t& seconds);

// File-time forms; the fraction of a second is carried over unchanged.
bool UtcToLocalFileTime(uint64_t utc, uint64_t& local);
bool LocalToUtcFileTime(uint64_t local, uint64_t& utc);

} // namespace vq
