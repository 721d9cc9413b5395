#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The registry: a tree of keys with typed values under predefined roots. The machine root is the
// read-only machine branch: the network adapters as the adapter readers look for them, made from
// /sys/class/net and the interfaces' IPv4 addresses each time a key is opened below it. The current
// user's root is a writable tree kept in one text file under the user's config folder; hive files
// loaded under the users' root are writable too. The other roots are empty and read-only. The
// calls answer with the registry's error numbers and may be used from any thread.
namespace vq {

class Event;
struct RegistryKeyData;
using RegistryKey = RegistryKeyData*;

// The predefined roots, 0x80000000 to 0x80000006 as handles; never closed.
RegistryKey RegistryRoot(uint32_t number);
bool IsRegistryRoot(RegistryKey key);
extern const RegistryKey kRegistryClassesRoot;
extern const RegistryKey kRegistryCurrentUser;
extern const RegistryKey kRegistryLocalMachine;
extern const RegistryKey kRegistryUsers;

constexpr long kRegistrySuccess = 0;
constexpr long kRegistryFileNotFound = 2;
constexpr long kRegistryAccessDenied = 5;
constexpr long kRegistryInvalidHandle = 6;
constexpr long kRegistryNotSupported = 50;
constexpr long kRegistryBadNetPath = 53;
constexpr long kRegistryInvalidParameter = 87;
constexpr long kRegistryBusy = 170;
constexpr long kRegistryAlreadyExists = 183;
constexpr long kRegistryMoreData = 234;
constexpr long kRegistryNoMoreItems = 259;
constexpr long kRegistryCorrupt = 1015;
constexpr long kRegistryIoFailed = 1016;
constexpr long kRegistryKeyDeleted = 1018;

constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyCreateSubKey = 0x0004;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kKeyNotify = 0x0010;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;

constexpr uint32_t kRegistryCreatedNewKey = 1;
constexpr uint32_t kRegistryOpenedExistingKey = 2;

constexpr uint32_t kNotifyChangeName = 0x1;
constexpr uint32_t kNotifyChangeAttributes = 0x2;
constexpr uint32_t kNotifyChangeLastSet = 0x4;
constexpr uint32_t kNotifyChangeSecurity = 0x8;

constexpr uint32_t kRegistryString = 1;
constexpr uint32_t kRegistryExpandString = 2;
constexpr uint32_t kRegistryBinary = 3;
constexpr uint32_t kRegistryDword = 4;
constexpr uint32_t kRegistryDwordBigEndian = 5;
constexpr uint32_t kRegistryMultiString = 7;

// Paths are separated by backslashes and compared without regard to case, which they keep.
// Opening asks for read access; asking for a right that a read-only tree cannot grant gives 5.
long RegOpenKeyEx(RegistryKey parent, const std::string& path, RegistryKey* opened);
long RegOpenKeyEx(RegistryKey parent, const std::string& path, uint32_t access, RegistryKey* opened);
// Creates every missing key of the path, or opens the last one when it exists.
long RegCreateKeyEx(RegistryKey parent, const std::string& path, const std::string& className,
                    uint32_t options, uint32_t access, RegistryKey* opened, uint32_t* disposition);
// Only this machine is reachable: an empty name or this host's name. A predefined root comes back
// as itself, any other key as a new handle on it.
long RegConnectRegistry(const std::string& machine, RegistryKey key, RegistryKey* connected);
long RegCloseKey(RegistryKey key);
// Deletes a subkey that has no subkeys (5 otherwise); an empty name deletes the key itself.
long RegDeleteKey(RegistryKey key, const std::string& subkey);
long RegDeleteValue(RegistryKey key, const std::string& name);
long RegSetValueEx(RegistryKey key, const std::string& name, uint32_t type, const uint8_t* data,
                   uint32_t dataSize);
// Writes the key's hive file now when it has changed.
long RegFlushKey(RegistryKey key);
// Writes the key's subtree to a new file (183 when it exists).
long RegSaveKey(RegistryKey key, const std::string& file);
// Replaces the key's values and subkeys with those of a file that RegSaveKey wrote.
long RegRestoreKey(RegistryKey key, const std::string& file, uint32_t flags);
// Mounts a hive file as a writable subkey of the users' root, which is written back to that file.
long RegLoadKey(RegistryKey key, const std::string& subkey, const std::string& file);
long RegUnLoadKey(RegistryKey key, const std::string& subkey);
// One-shot: sets `event` (asynchronous) or returns (synchronous) at the first change the filter
// names of the key, or of a key below it with `watchSubtree`, or when the key is deleted.
long RegNotifyChangeKeyValue(RegistryKey key, bool watchSubtree, uint32_t filter, Event* event,
                             bool asynchronous);
// Keys carry no security here; the calls that need it, and replacing a hive, answer 50.
long RegGetKeySecurity(RegistryKey key, uint32_t information, void* descriptor, uint32_t* size);
long RegSetKeySecurity(RegistryKey key, uint32_t information, const void* descriptor);
long RegReplaceKey(RegistryKey key, const std::string& subkey, const std::string& newFile,
                   const std::string& oldFile);

struct RegistryKeyInfo {
    std::string className;
    uint32_t subkeys = 0;
    uint32_t longestSubkeyName = 0;
    uint32_t longestClassName = 0;
    uint32_t values = 0;
    uint32_t longestValueName = 0;
    uint32_t longestValueData = 0;
    uint32_t securityDescriptorSize = 0;
    uint64_t lastWriteTime = 0; // file time
};
long RegQueryInfoKey(RegistryKey key, uint32_t* subkeys, uint32_t* values);
long RegQueryInfoKey(RegistryKey key, RegistryKeyInfo* info);
// The name of subkey `index` with its terminating zero, which must fit `*nameSize` bytes.
long RegEnumKeyEx(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize);
// As above, also the class (when `className` is given) and the last write time (when given).
long RegEnumKeyEx(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize, char* className,
                  uint32_t* classSize, uint64_t* lastWriteTime);
// Copies a value's bytes; with too small a buffer answers kRegistryMoreData and the size needed.
long RegQueryValueEx(RegistryKey key, const std::string& name, uint32_t* type, uint8_t* data,
                     uint32_t* dataSize);
long RegEnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                  uint8_t* data, uint32_t* dataSize);

// A write batch on the current user's branch, one at a time: while it is open every change stays
// in memory, where reads see it, and nothing is written. Commit writes the file once (a temporary
// file renamed into place); when that fails, the branch goes back to what it was at begin and the
// error is answered, so memory and file still agree. Abandon goes back to begin without writing.
// Begin answers 170 while a batch is open and the read error of a file that could not be read.
long RegBeginUserBatch();
long RegCommitUserBatch();
void RegAbandonUserBatch();

// This host's name, or empty when it cannot be read.
std::string ComputerName();

// The folder of the current user's registry file; by default $XDG_CONFIG_HOME/vorquel/registry
// (~/.config when unset). Setting it writes the present file when changed and reads the next one
// on first use.
void SetUserRegistryFolder(std::optional<std::string> folder);
std::string UserRegistryFile();
// Called when a registry file cannot be read: the file, the name it was moved to, the bad line.
using RegistryNoticeHook =
    std::function<void(const std::string& file, const std::string& damagedName, const std::string& line)>;
void SetRegistryNoticeHook(RegistryNoticeHook hook);

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
