#include "capture/Registry.h"

#include "capture/CaptureReports.h"
#include "runtime/SystemText.h"

#include <algorithm>
#include <cstring>

namespace vq {
namespace {

constexpr size_t kInitialBuffer = 1024;

bool TypeAgrees(uint32_t asked, uint32_t stored) {
    if (asked == stored || asked == Registry::kAnyType) return true;
    if (asked == kRegistryMultiString) return stored == kRegistryString || stored == kRegistryExpandString;
    if (asked == kRegistryDword) return stored == kRegistryDwordBigEndian;
    return false;
}

} // namespace

Registry::Registry(CaptureReports& reports, std::string path)
    : reports_(reports), path_(std::move(path)), buffer_(kInitialBuffer) {}

Registry::~Registry() {
    Registry::Close();
}

void Registry::ReportCall(const char* call, long result, const char* location) {
    reports_.Report(
        3, FormatSystemError(static_cast<int>(result), std::string(call) + ":", location, true, false),
        "Registry", call);
}

bool Registry::Open() {
    Close();
    long result = RegOpenKeyEx(root_, path_, &key_);
    if (result != kRegistrySuccess) {
        key_ = nullptr;
        ReportCall("RegOpenKeyEx", result, "in Registry::Open");
        return false;
    }
    return true;
}

void Registry::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

std::optional<uint32_t> Registry::GetValue(RegistryKey key, const char* name, uint32_t type,
                                           const char* location, bool quiet) {
    uint32_t stored = 0;
    uint32_t size = static_cast<uint32_t>(buffer_.size());
    long result = RegQueryValueEx(key, name, &stored, buffer_.data(), &size);
    while (result == kRegistryMoreData) {
        size_t grow = std::max<size_t>(size > buffer_.size() ? size - buffer_.size() : 0, buffer_.size());
        buffer_.resize(buffer_.size() + grow);
        size = static_cast<uint32_t>(buffer_.size());
        result = RegQueryValueEx(key, name, &stored, buffer_.data(), &size);
    }
    if (result != kRegistrySuccess) {
        if (!quiet) ReportCall("RegQueryValueEx", result, location);
        return std::nullopt;
    }
    if (!TypeAgrees(type, stored)) {
        if (!quiet) reports_.Report(3, "wrong type returned (in Registry::GetValue)", "Registry", "GetValue");
        return std::nullopt;
    }
    if (type == kRegistryDword && stored == kRegistryDwordBigEndian && size >= 4)
        std::reverse(buffer_.begin(), buffer_.begin() + 4);
    return size;
}

std::string Registry::GetString(RegistryKey key, const char* name, const char* location, bool quiet) {
    auto size = GetValue(key, name, kRegistryMultiString, location, quiet);
    if (!size) return {};
    const char* text = reinterpret_cast<const char*>(buffer_.data());
    return std::string(text, strnlen(text, *size));
}

std::optional<uint32_t> Registry::GetDword(RegistryKey key, const char* name, const char* location,
                                           bool quiet) {
    auto size = GetValue(key, name, kRegistryDword, location, quiet);
    if (!size || *size < 4) return std::nullopt;
    uint32_t value;
    std::memcpy(&value, buffer_.data(), 4);
    return value;
}

bool Registry::GetFlag(RegistryKey key, const char* name) {
    auto value = GetDword(key, name, "", true);
    return value && *value != 0;
}

RegistryKey Registry::OpenKey(RegistryKey parent, const std::string& path, const char* location) {
    RegistryKey key = nullptr;
    long result = RegOpenKeyEx(parent, path, &key);
    if (result != kRegistrySuccess) {
        ReportCall("RegOpenKeyEx", result, location);
        return nullptr;
    }
    return key;
}

std::optional<uint32_t> Registry::CountSubkeys(RegistryKey key, const char* location) {
    uint32_t count = 0;
    long result = RegQueryInfoKey(key, &count, nullptr);
    if (result != kRegistrySuccess) {
        ReportCall("RegQueryInfoKey", result, location);
        return std::nullopt;
    }
    return count;
}

long Registry::EnumKey(RegistryKey key, uint32_t index, std::string& name, const char* location) {
    char buffer[256];
    uint32_t size = sizeof buffer;
    long result = RegEnumKeyEx(key, index, buffer, &size);
    if (result == kRegistrySuccess)
        name = buffer;
    else if (result != kRegistryNoMoreItems)
        ReportCall("RegEnumKeyEx", result, location);
    return result;
}

long Registry::EnumValue(RegistryKey key, uint32_t index, std::string& name, const char* location) {
    char buffer[256];
    uint32_t size = sizeof buffer;
    long result = RegEnumValue(key, index, buffer, &size, nullptr, nullptr, nullptr);
    if (result == kRegistrySuccess)
        name = buffer;
    else if (result != kRegistryNoMoreItems)
        ReportCall("RegEnumValue", result, location);
    return result;
}

} // namespace vq
