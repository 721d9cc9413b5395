#include "capture/CaptureReports.h"

#include "runtime/NotificationThreadMessage.h"
#include "runtime/SystemText.h"

namespace vq {

void NotifyingCaptureReports::Report(int severity, const std::string& text, const char* className,
                                     const char* methodName) {
    PostNotification(severity, 0, text.c_str(), className, methodName, nullptr, nullptr, -1);
}

std::string ErrorNumberText(int error) {
    return FormatSystemError(error, std::to_string(error), "", true, false);
}

} // namespace vq
