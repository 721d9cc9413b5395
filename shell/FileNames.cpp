#include "shell/FileNames.h"

#include "platform/time/Clock.h"
#include "platform/time/FileTime.h"
#include "platform/time/LocalTime.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace vq {
namespace {

constexpr char kSeparator = '/';

std::string JoinPath(std::string folder, const std::string& name) {
    if (folder.empty() || folder.back() != kSeparator) folder += kSeparator;
    return folder + name;
}

std::string LocalStamp() {
    const auto seconds = int64_t((CurrentClock().FileTimeNow() - UnixEpochTicks) / TicksPerSecond);
    std::tm local{};
    if (!LocalFromUnixSeconds(seconds, local)) return {};
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%m-%d-%Y-%H-%M", &local));
}

} // namespace

std::string GetFileNamePart(std::string path) {
    const auto separator = path.rfind(kSeparator);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string SplitPath(std::string path, std::string& folder) {
    folder.clear();
    const auto separator = path.rfind(kSeparator);
    if (separator == std::string::npos) return path;
    folder = path.substr(0, separator + 1);
    return path.substr(separator + 1);
}

std::string MakeConfigFileName(std::string name) {
    if (name.find('.') == std::string::npos) name += ".vqd";
    return name;
}

std::string MakeHistoryFilePath(std::string folder, std::string name, bool stamp) {
    if (stamp) name = name.substr(0, name.find('.')) + LocalStamp();
    if (name.find('.') == std::string::npos) name += ".mdb";
    return JoinPath(std::move(folder), name);
}

std::string UserDataFolder() {
    std::filesystem::path folder;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        folder = std::filesystem::path(data) / "vorquel";
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home ? home : ".") / ".local" / "share" / "vorquel";
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}

} // namespace vq
