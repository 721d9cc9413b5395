#pragma once

#include "platform/registry/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vq {

class CaptureReports;

// Reads one key below the machine root with a value buffer that grows on demand. Failures are
// reported, with the caller's location text, and give no value.
class Registry {
public:
    static constexpr uint32_t kAnyType = 0;

    Registry(CaptureReports& reports, std::string path);
    virtual ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    virtual bool Open();
    virtual void Close();

    // Reads a value into the buffer; its size, or nullopt.
    std::optional<uint32_t> GetValue(RegistryKey key, const char* name, uint32_t type, const char* location,
                                     bool quiet = false);
    // The first string of a string or multi-string value; empty when absent.
    std::string GetString(RegistryKey key, const char* name, const char* location, bool quiet = false);
    std::optional<uint32_t> GetDword(RegistryKey key, const char* name, const char* location,
                                     bool quiet = false);
    // A 32-bit value not zero; quiet.
    bool GetFlag(RegistryKey key, const char* name);
    // Null when the key cannot be opened (reported).
    RegistryKey OpenKey(RegistryKey parent, const std::string& path, const char* location);
    std::optional<uint32_t> CountSubkeys(RegistryKey key, const char* location);
    // The registry's answer; the name is set on success.
    long EnumKey(RegistryKey key, uint32_t index, std::string& name, const char* location);
    long EnumValue(RegistryKey key, uint32_t index, std::string& name, const char* location);

    RegistryKey GetKey() const { return key_; }

protected:
    void ReportCall(const char* call, long result, const char* location);

    CaptureReports& reports_;
    RegistryKey root_ = kRegistryLocalMachine;
    RegistryKey key_ = nullptr;
    std::string path_;
    std::vector<uint8_t> buffer_;
};

} // namespace vq
