#include "events/ProgramArguments.h"

#include "events/NotificationJob.h"
#include "platform/sys/ProcessStart.h"
#include "shell/EventInfo.h"

#include <array>
#include <utility>

namespace vq {
namespace {

constexpr std::size_t kPlaceholderLength = 4;

// Each value is followed by one blank, as the parameters were once pasted into one command line;
// the blank a value leaves at the end of an argument is dropped.
std::string Expand(const std::string& argument,
                   const std::array<std::pair<const char*, std::string>, 6>& values) {
    std::string out;
    bool endsWithValue = false;
    std::size_t at = 0;
    while (at < argument.size()) {
        const std::size_t open = argument.find('[', at);
        if (open == std::string::npos) {
            out.append(argument, at);
            endsWithValue = false;
            break;
        }
        out.append(argument, at, open - at);
        const std::string token = argument.substr(open, kPlaceholderLength);
        const std::string* value = nullptr;
        for (const auto& [name, text] : values)
            if (token == name && !text.empty()) value = &text;
        if (value) {
            out += *value + " ";
            endsWithValue = true;
            at = open + kPlaceholderLength;
        } else {
            out += '[';
            endsWithValue = false;
            at = open + 1;
        }
    }
    if (endsWithValue) out.pop_back();
    return out;
}

} // namespace

std::string NotificationTime(const NotificationJob& job) {
    return job.m_Time.Format("%a %d %b %H:%M");
}

std::vector<std::string> ProgramArguments(const NotificationJob& job) {
    const std::string objectType = job.m_Kind == EventInfo::kDevice    ? "Device"
                                   : job.m_Kind == EventInfo::kNetwork ? "Network"
                                                                       : "";
    const std::array<std::pair<const char*, std::string>, 6> values{{
        {"[ET]", job.m_TypeName},
        {"[LG]", job.m_GroupName},
        {"[LL]", job.m_LevelName},
        {"[NM]", job.m_ObjectName},
        {"[OT]", objectType},
        {"[TM]", NotificationTime(job)},
    }};
    std::vector<std::string> arguments{job.m_ProgramPath};
    for (const std::string& argument : SplitCommandLine(job.m_Parameters))
        arguments.push_back(Expand(argument, values));
    return arguments;
}

} // namespace vq
