#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The read-only machine branch of the registry: the network adapters as the adapter readers look
// for them, made from /sys/class/net and the interfaces' IPv4 addresses each time a key is opened
// below the machine root. The calls answer with the registry's error numbers.
namespace vq {

struct RegistryKeyData;
using RegistryKey = RegistryKeyData*;

// The machine root; never closed.
extern const RegistryKey kRegistryLocalMachine;

constexpr long kRegistrySuccess = 0;
constexpr long kRegistryFileNotFound = 2;
constexpr long kRegistryInvalidHandle = 6;
constexpr long kRegistryMoreData = 234;
constexpr long kRegistryNoMoreItems = 259;

constexpr uint32_t kRegistryString = 1;
constexpr uint32_t kRegistryExpandString = 2;
constexpr uint32_t kRegistryBinary = 3;
constexpr uint32_t kRegistryDword = 4;
constexpr uint32_t kRegistryDwordBigEndian = 5;
constexpr uint32_t kRegistryMultiString = 7;

// Paths are separated by backslashes and compared without regard to case.
long RegOpenKeyEx(RegistryKey parent, const std::string& path, RegistryKey* opened);
long RegCloseKey(RegistryKey key);
long RegQueryInfoKey(RegistryKey key, uint32_t* subkeys, uint32_t* values);
// The name of subkey `index` with its terminating zero, which must fit `*nameSize` bytes.
long RegEnumKeyEx(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize);
// Copies a value's bytes; with too small a buffer answers kRegistryMoreData and the size needed.
long RegQueryValueEx(RegistryKey key, const std::string& name, uint32_t* type, uint8_t* data,
                     uint32_t* dataSize);
long RegEnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                  uint8_t* data, uint32_t* dataSize);

// One adapter as the machine branch lists it.
struct MachineAdapter {
    std::string description;
    std::string serviceName; // the device name is "\Device\" + this
    bool hidden = false;
    std::vector<std::string> ipAddresses;
    std::vector<std::string> subnetMasks;
};

// The adapters of this machine, or those of the in-process list or VQ_ADAPTERS (device names,
// live or replay, one per line), which replace the enumeration.
std::vector<MachineAdapter> ListMachineAdapters();

// Replaces (or, with nullopt, stops replacing) the enumeration with these device names.
void SetMachineAdapterList(std::optional<std::vector<std::string>> deviceNames);

// Replaces the whole machine branch's adapters, for tests; `readable` false makes the adapter base
// key absent. nullopt returns to the real branch.
struct MachineBranchOverride {
    std::vector<MachineAdapter> adapters;
    bool readable = true;
};
void SetMachineBranchOverride(std::optional<MachineBranchOverride> branch);

} // namespace vq
