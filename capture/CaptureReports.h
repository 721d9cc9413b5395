#pragma once

#include <memory>
#include <string>

namespace vq {

class AdapterInfoSet;

// Where the capture side sends its failure reports and its adapter announcements. The monitor
// passes them on to the main thread; tests keep them.
class CaptureReports {
public:
    virtual ~CaptureReports() = default;
    virtual void Report(int severity, const std::string& text, const char* className,
                        const char* methodName) = 0;
    // A snapshot of adapters with its value: 1 the set after opening, 5 an adapter that learned its address.
    virtual void Announce(std::unique_ptr<AdapterInfoSet> adapters, int value) = 0;
};

// Sends the reports through the program's report call to the main thread; the announcements are
// the monitor's to send.
class NotifyingCaptureReports : public CaptureReports {
public:
    void Report(int severity, const std::string& text, const char* className,
                const char* methodName) override;
};

} // namespace vq

namespace vq {

// A driver error number for reports: the number in decimal, then the system's text for it.
std::string ErrorNumberText(int error);

} // namespace vq
