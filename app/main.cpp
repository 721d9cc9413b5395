#include "platform/time/CalendarTime.h"
#include "runtime/Timestamp.h"

#include <cstdio>

int main() {
    const vq::Timestamp now = vq::Timestamp::Now();
    const vq::CalendarTime local(now.GetCTime());
    std::printf("Vorquel %s\n", VQ_VERSION);
    std::printf("UTC file time: %llu\n", static_cast<unsigned long long>(now.GetTicks()));
    std::printf("Local time: %s\n", now.Format("%Y/%m/%d/%H:%M:%S").c_str());
    std::printf("Time zone: %s\n", local.Format("%Z (UTC%z)").c_str());
    std::printf("Clock resolution: %lld\n", static_cast<long long>(vq::ClockResolution()));
    return 0;
}
