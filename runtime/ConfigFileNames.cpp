#include "runtime/ConfigFileNames.h"

namespace vq {
namespace {

constexpr char kSeparator = '/';
constexpr const char* kExtension = ".vqd";

} // namespace

bool IsConfigFileName(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot != std::string::npos && fileName.compare(dot, std::string::npos, kExtension) == 0;
}

std::string MakeConfigFilePath(const std::string& folder, const std::string& fileName) {
    std::string path = folder;
    if (path.empty() || path.back() != kSeparator) path += kSeparator;
    path += fileName;
    const auto nameStart = path.rfind(kSeparator) + 1;
    if (path.find('.', nameStart) == std::string::npos) path += kExtension;
    return path;
}

} // namespace vq
