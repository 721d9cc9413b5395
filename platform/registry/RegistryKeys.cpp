#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTree.h"
#include "platform/thread/Event.h"
#include "platform/time/FileTime.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

namespace vq {

// A tree that is kept in a file: the current user's, or one loaded under the users' root.
struct RegistryHive {
    std::string path;
    std::shared_ptr<RegistryNode> root;
    bool changed = false;
    int handles = 0;
    // A file that exists but could not be read is never replaced by what this process holds.
    long unreadable = 0;
    // While a write batch is open: the tree as it was when the batch began. Saves wait for commit.
    std::shared_ptr<RegistryNode> batchStart;
    bool changedAtBatchStart = false;
};

struct RegistryKeyData {
    std::shared_ptr<RegistryNode> node;
    std::shared_ptr<RegistryHive> hive; // null for a read-only tree
    uint32_t access = kKeyRead;
    bool machineRoot = false;
};

namespace {

constexpr uint32_t kFirstRoot = 0x80000000;
constexpr uint32_t kRootCount = 7;
constexpr uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | 0x20 | 0x10000 | 0x40000 | 0x80000;
constexpr size_t kLongestKeyName = 255;
constexpr const char* kUserFileName = "current-user.txt";

struct RegistryState {
    std::recursive_mutex mutex;
    std::condition_variable_any changed;
    std::optional<std::string> folder;
    std::shared_ptr<RegistryHive> user;
    std::vector<std::shared_ptr<RegistryHive>> loaded;
    std::shared_ptr<RegistryNode> emptyRoots[kRootCount];
    RegistryKeyData roots[kRootCount];
    RegistryNoticeHook notice;
    bool exitRegistered = false;
};

RegistryState& State() {
    static RegistryState state;
    return state;
}

uint64_t Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return UnixEpochTicks + uint64_t(now.tv_sec) * TicksPerSecond + uint64_t(now.tv_nsec) / 100;
}

long ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return kRegistryFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return kRegistryAccessDenied;
    case EEXIST:
        return kRegistryAlreadyExists;
    case EISDIR:
        return kRegistryAccessDenied;
    default:
        return kRegistryIoFailed;
    }
}

} // namespace

long ReadWholeFile(const std::string& path, std::string& text) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return ErrorFromErrno(errno);
    text.clear();
    char buffer[65536];
    while (true) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            int error = errno;
            ::close(descriptor);
            return ErrorFromErrno(error);
        }
        if (count == 0) break;
        text.append(buffer, size_t(count));
    }
    ::close(descriptor);
    return kRegistrySuccess;
}

namespace {

std::mutex writeCountMutex;
std::map<std::string, uint64_t> writeCounts;
std::atomic<long> renameFailure{0};

bool WriteAll(int descriptor, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t count = ::write(descriptor, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += size_t(count);
    }
    return true;
}

} // namespace

// Writes the file whole beside its target and renames it into place, under an exclusive lock on
// the folder so that two processes saving one file do not interleave.
long WriteWholeFile(const std::string& path, const std::string& text, bool replace) {
    std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) return ErrorFromErrno(errno);
    int error = 0;
    if (!WriteAll(descriptor, text) || ::fsync(descriptor) != 0) error = errno ? errno : EIO;
    ::close(descriptor);
    int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!error && folderDescriptor < 0) error = errno;
    if (long failure = renameFailure.load(); !error && failure) {
        ::unlink(temporary.c_str());
        if (folderDescriptor >= 0) ::close(folderDescriptor);
        return failure;
    }
    if (!error) {
        ::flock(folderDescriptor, LOCK_EX);
        int renamed =
            replace ? ::rename(temporary.c_str(), path.c_str())
                    : ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
        if (renamed != 0)
            error = errno;
        else
            ::fsync(folderDescriptor);
        ::flock(folderDescriptor, LOCK_UN);
    }
    if (folderDescriptor >= 0) ::close(folderDescriptor);
    if (error) {
        ::unlink(temporary.c_str());
        return ErrorFromErrno(error);
    }
    std::lock_guard lock(writeCountMutex);
    ++writeCounts[path];
    return kRegistrySuccess;
}

uint64_t WholeFileWriteCount(const std::string& path) {
    std::lock_guard lock(writeCountMutex);
    auto found = writeCounts.find(path);
    return found == writeCounts.end() ? 0 : found->second;
}

void SetWholeFileRenameFailure(long error) {
    renameFailure = error;
}

namespace {

long SaveHive(RegistryHive& hive) {
    if (hive.batchStart) return kRegistrySuccess;
    if (hive.unreadable) return hive.unreadable;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(hive.path).parent_path(), ignored);
    long result = WriteWholeFile(hive.path, FormatRegistryText(*hive.root), true);
    if (result == kRegistrySuccess) hive.changed = false;
    return result;
}

void SaveAllAtExit() {
    RegistryState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.user && state.user->changed) SaveHive(*state.user);
    for (auto& hive : state.loaded)
        if (hive->changed) SaveHive(*hive);
}

std::string DamagedName(const std::string& path) {
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".damaged-" + stamp;
}

// Moves a file that cannot be read aside unchanged, under a name no earlier one holds.
std::string MoveAside(const std::string& path) {
    std::string base = DamagedName(path);
    std::string name = base;
    for (int number = 2; ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) != 0;
         ++number) {
        if (errno != EEXIST) return {};
        name = base + "-" + std::to_string(number);
    }
    return name;
}

std::shared_ptr<RegistryHive> LoadUserHive(RegistryState& state) {
    auto hive = std::make_shared<RegistryHive>();
    hive->path = UserRegistryFile();
    hive->root = std::make_shared<RegistryNode>();
    std::string text;
    const long read = ReadWholeFile(hive->path, text);
    if (read != kRegistrySuccess && read != kRegistryFileNotFound) hive->unreadable = read;
    if (read == kRegistrySuccess) {
        RegistryText parsed = ParseRegistryText(text);
        if (parsed.badLine) {
            std::string damaged = MoveAside(hive->path);
            if (state.notice) state.notice(hive->path, damaged, *parsed.badLine);
        } else {
            hive->root = parsed.root;
        }
    }
    if (!state.exitRegistered) {
        state.exitRegistered = true;
        std::atexit(SaveAllAtExit);
    }
    return hive;
}

RegistryKeyData* Resolve(RegistryKey key) {
    if (!IsRegistryRoot(key)) return key;
    RegistryState& state = State();
    uint32_t index = uint32_t(reinterpret_cast<uintptr_t>(key) - kFirstRoot);
    RegistryKeyData& root = state.roots[index];
    if (key == kRegistryCurrentUser) {
        if (!state.user) state.user = LoadUserHive(state);
        root.node = state.user->root;
        root.hive = state.user;
        root.access = kKeyAllAccess;
    } else if (key == kRegistryLocalMachine) {
        root.machineRoot = true;
    } else if (!root.node) {
        root.node = std::make_shared<RegistryNode>();
    }
    return &root;
}

long Check(RegistryKeyData* key, uint32_t rights) {
    if (!key) return kRegistryInvalidHandle;
    if (key->machineRoot) return (rights & kWriteRights) ? kRegistryAccessDenied : kRegistrySuccess;
    if (!key->node) return kRegistryInvalidHandle;
    if (key->node->deleted) return kRegistryKeyDeleted;
    if ((key->access & rights) != rights) return kRegistryAccessDenied;
    return kRegistrySuccess;
}

std::shared_ptr<RegistryNode> FindShared(const RegistryNode& parent, const std::string& name) {
    for (const auto& child : parent.children)
        if (strcasecmp(child->name.c_str(), name.c_str()) == 0) return child;
    return nullptr;
}

std::shared_ptr<RegistryHive> HiveMountedAt(const RegistryNode& node) {
    for (auto& hive : State().loaded)
        if (hive->root.get() == &node) return hive;
    return nullptr;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The starting point of a walk below `base`: a machine key starts in a fresh machine branch.
RegistryKeyData Start(const RegistryKeyData& base) {
    RegistryKeyData start = base;
    if (base.machineRoot) {
        start.node = BuildMachineBranch();
        start.machineRoot = false;
        start.access = kKeyRead;
    }
    return start;
}

void Step(RegistryKeyData& at, std::shared_ptr<RegistryNode> child) {
    if (auto mounted = HiveMountedAt(*child)) {
        at.hive = mounted;
        at.access = kKeyAllAccess;
    }
    at.node = std::move(child);
}

RegistryKey NewHandle(RegistryKeyData data, uint32_t access) {
    if (!data.hive) access &= ~kWriteRights;
    data.access = access;
    if (data.hive) ++data.hive->handles;
    return new RegistryKeyData(std::move(data));
}

void Fire(RegistryWatch& watch) {
    if (watch.event) watch.event->Set();
    if (watch.fired) *watch.fired = true;
    State().changed.notify_all();
}

// Sets the events of the watches that a change of `what` at `node` concerns, and drops them.
void Notify(RegistryNode& node, uint32_t what) {
    bool own = true;
    for (RegistryNode* at = &node; at; at = at->parent, own = false) {
        auto& watches = at->watches;
        for (size_t i = 0; i < watches.size();) {
            if ((own || watches[i].subtree) && (watches[i].filter & what)) {
                Fire(watches[i]);
                watches.erase(watches.begin() + long(i));
            } else {
                ++i;
            }
        }
    }
}

void Touch(RegistryNode& node, RegistryHive& hive, uint32_t what) {
    node.lastWrite = Now();
    hive.changed = true;
    Notify(node, what);
}

void MarkDeleted(RegistryNode& node) {
    node.deleted = true;
    for (auto& watch : node.watches)
        Fire(watch);
    node.watches.clear();
    for (auto& child : node.children)
        MarkDeleted(*child);
}

// Detaches a key from its parent; handles on it and below it answer that the key was deleted.
void Remove(RegistryNode& node) {
    RegistryNode* parent = node.parent;
    MarkDeleted(node);
    if (!parent) return;
    std::erase_if(parent->children, [&](const auto& child) { return child.get() == &node; });
    node.parent = nullptr;
}

long CopyOut(const std::string& text, char* out, uint32_t* size) {
    if (!size) return kRegistryInvalidParameter;
    if (!out || *size < text.size() + 1) {
        *size = uint32_t(text.size() + 1);
        return kRegistryMoreData;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    *size = uint32_t(text.size());
    return kRegistrySuccess;
}

long CopyValue(const RegistryValue& value, uint32_t* type, uint8_t* data, uint32_t* dataSize) {
    if (type) *type = value.type;
    if (!dataSize) return kRegistrySuccess;
    uint32_t needed = uint32_t(value.data.size());
    if (!data || *dataSize < needed) {
        *dataSize = needed;
        return data ? kRegistryMoreData : kRegistrySuccess;
    }
    if (needed) std::memcpy(data, value.data.data(), needed);
    *dataSize = needed;
    return kRegistrySuccess;
}

long ReadTreeFile(const std::string& file, std::shared_ptr<RegistryNode>& root) {
    std::string text;
    if (long result = ReadWholeFile(file, text); result != kRegistrySuccess) return result;
    RegistryText parsed = ParseRegistryText(text);
    if (parsed.badLine) return kRegistryCorrupt;
    root = parsed.root;
    return kRegistrySuccess;
}

} // namespace

RegistryKey RegistryRoot(uint32_t number) {
    return reinterpret_cast<RegistryKey>(uintptr_t(number));
}

bool IsRegistryRoot(RegistryKey key) {
    auto value = reinterpret_cast<uintptr_t>(key);
    return value >= kFirstRoot && value < kFirstRoot + kRootCount;
}

const RegistryKey kRegistryClassesRoot = RegistryRoot(0x80000000);
const RegistryKey kRegistryCurrentUser = RegistryRoot(0x80000001);
const RegistryKey kRegistryLocalMachine = RegistryRoot(0x80000002);
const RegistryKey kRegistryUsers = RegistryRoot(0x80000003);

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

void SetUserRegistryFolder(std::optional<std::string> folder) {
    RegistryState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.user && state.user->changed) SaveHive(*state.user);
    state.user.reset();
    state.roots[1] = {};
    state.folder = std::move(folder);
}

std::string UserRegistryFile() {
    RegistryState& state = State();
    std::lock_guard lock(state.mutex);
    std::filesystem::path folder;
    if (state.folder) {
        folder = *state.folder;
    } else if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        folder = std::filesystem::path(config) / "vorquel" / "registry";
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home ? home : ".") / ".config" / "vorquel" / "registry";
    }
    return (folder / kUserFileName).string();
}

void SetRegistryNoticeHook(RegistryNoticeHook hook) {
    RegistryState& state = State();
    std::lock_guard lock(state.mutex);
    state.notice = std::move(hook);
}

long RegOpenKeyEx(RegistryKey parent, const std::string& path, RegistryKey* opened) {
    return RegOpenKeyEx(parent, path, kKeyRead, opened);
}

long RegOpenKeyEx(RegistryKey parent, const std::string& path, uint32_t access, RegistryKey* opened) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* base = Resolve(parent);
    if (!opened) return kRegistryInvalidParameter;
    if (long result = Check(base, 0); result != kRegistrySuccess) return result;
    RegistryKeyData at = Start(*base);
    for (const auto& part : SplitPath(path)) {
        auto child = FindShared(*at.node, part);
        if (!child) return kRegistryFileNotFound;
        Step(at, std::move(child));
    }
    if (!at.hive && (access & kWriteRights)) return kRegistryAccessDenied;
    *opened = NewHandle(std::move(at), access);
    return kRegistrySuccess;
}

long RegCreateKeyEx(RegistryKey parent, const std::string& path, const std::string& className, uint32_t,
                    uint32_t access, RegistryKey* opened, uint32_t* disposition) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* base = Resolve(parent);
    if (!opened) return kRegistryInvalidParameter;
    if (long result = Check(base, 0); result != kRegistrySuccess) return result;
    std::vector<std::string> parts = SplitPath(path);
    for (const auto& part : parts)
        if (part.size() > kLongestKeyName) return kRegistryInvalidParameter;
    RegistryKeyData at = Start(*base);
    bool created = false;
    for (const auto& part : parts) {
        if (auto child = FindShared(*at.node, part)) {
            Step(at, std::move(child));
            continue;
        }
        if (!at.hive || !(base->access & kKeyCreateSubKey)) return kRegistryAccessDenied;
        RegistryNode& child = at.node->Add(part);
        child.lastWrite = Now();
        Touch(*at.node, *at.hive, kNotifyChangeName);
        at.node = FindShared(*at.node, part);
        created = true;
    }
    if (created) at.node->className = className;
    if (!at.hive && (access & kWriteRights)) return kRegistryAccessDenied;
    if (disposition) *disposition = created ? kRegistryCreatedNewKey : kRegistryOpenedExistingKey;
    *opened = NewHandle(std::move(at), access);
    return kRegistrySuccess;
}

long RegConnectRegistry(const std::string& machine, RegistryKey key, RegistryKey* connected) {
    std::lock_guard lock(State().mutex);
    if (!connected) return kRegistryInvalidParameter;
    std::string name = machine.starts_with("\\\\") ? machine.substr(2) : machine;
    if (!name.empty() && strcasecmp(name.c_str(), ComputerName().c_str()) != 0) return kRegistryBadNetPath;
    if (IsRegistryRoot(key)) {
        *connected = key;
        return kRegistrySuccess;
    }
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, 0); result != kRegistrySuccess) return result;
    *connected = NewHandle(*data, data->access);
    return kRegistrySuccess;
}

long RegCloseKey(RegistryKey key) {
    std::lock_guard lock(State().mutex);
    if (!key) return kRegistryInvalidHandle;
    if (IsRegistryRoot(key)) return kRegistrySuccess;
    std::unique_ptr<RegistryKeyData> owned(key);
    if (owned->hive && --owned->hive->handles == 0 && owned->hive->changed) return SaveHive(*owned->hive);
    return kRegistrySuccess;
}

long RegDeleteKey(RegistryKey key, const std::string& subkey) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* base = Resolve(key);
    if (long result = Check(base, 0); result != kRegistrySuccess) return result;
    RegistryKeyData at = Start(*base);
    for (const auto& part : SplitPath(subkey)) {
        auto child = FindShared(*at.node, part);
        if (!child) return kRegistryFileNotFound;
        Step(at, std::move(child));
    }
    RegistryNode& target = *at.node;
    if (!at.hive || !target.parent || HiveMountedAt(target) || (at.hive && at.hive->root.get() == &target))
        return kRegistryAccessDenied;
    if (!target.children.empty()) return kRegistryAccessDenied;
    RegistryNode& parent = *target.parent;
    Remove(target);
    Touch(parent, *at.hive, kNotifyChangeName);
    return kRegistrySuccess;
}

long RegDeleteValue(RegistryKey key, const std::string& name) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, kKeySetValue); result != kRegistrySuccess) return result;
    if (!data->hive) return kRegistryAccessDenied;
    RegistryValue* value = data->node->Value(name);
    if (!value) return kRegistryFileNotFound;
    data->node->values.erase(data->node->values.begin() + (value - data->node->values.data()));
    Touch(*data->node, *data->hive, kNotifyChangeLastSet);
    return kRegistrySuccess;
}

long RegSetValueEx(RegistryKey key, const std::string& name, uint32_t type, const uint8_t* data,
                   uint32_t dataSize) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* at = Resolve(key);
    if (long result = Check(at, kKeySetValue); result != kRegistrySuccess) return result;
    if (!at->hive) return kRegistryAccessDenied;
    if (!data && dataSize) return kRegistryInvalidParameter;
    std::vector<uint8_t> bytes(data, data + dataSize);
    if (RegistryValue* value = at->node->Value(name)) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        at->node->values.push_back({name, type, std::move(bytes)});
    }
    Touch(*at->node, *at->hive, kNotifyChangeLastSet);
    return kRegistrySuccess;
}

long RegFlushKey(RegistryKey key) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, 0); result != kRegistrySuccess) return result;
    if (data->hive && data->hive->changed) return SaveHive(*data->hive);
    return kRegistrySuccess;
}

long RegSaveKey(RegistryKey key, const std::string& file) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, 0); result != kRegistrySuccess) return result;
    if (file.empty()) return kRegistryInvalidParameter;
    RegistryKeyData at = Start(*data);
    return WriteWholeFile(file, FormatRegistryText(*at.node), false);
}

long RegRestoreKey(RegistryKey key, const std::string& file, uint32_t) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, kKeySetValue); result != kRegistrySuccess) return result;
    if (!data->hive) return kRegistryAccessDenied;
    std::shared_ptr<RegistryNode> restored;
    if (long result = ReadTreeFile(file, restored); result != kRegistrySuccess) return result;
    RegistryNode& node = *data->node;
    for (auto& child : node.children) {
        MarkDeleted(*child);
        child->parent = nullptr;
    }
    node.values = std::move(restored->values);
    node.children = std::move(restored->children);
    for (auto& child : node.children)
        child->parent = &node;
    Touch(node, *data->hive, kNotifyChangeName | kNotifyChangeLastSet);
    return kRegistrySuccess;
}

long RegLoadKey(RegistryKey key, const std::string& subkey, const std::string& file) {
    RegistryState& state = State();
    std::lock_guard lock(state.mutex);
    if (key != kRegistryUsers) return IsRegistryRoot(key) ? kRegistryAccessDenied : kRegistryInvalidParameter;
    RegistryKeyData* users = Resolve(key);
    if (subkey.empty() || subkey.find('\\') != std::string::npos || subkey.size() > kLongestKeyName ||
        file.empty())
        return kRegistryInvalidParameter;
    if (users->node->Find(subkey)) return kRegistryAlreadyExists;
    auto hive = std::make_shared<RegistryHive>();
    hive->path = file;
    if (long result = ReadTreeFile(file, hive->root); result != kRegistrySuccess) return result;
    hive->root->name = subkey;
    hive->root->parent = users->node.get();
    users->node->children.push_back(hive->root);
    state.loaded.push_back(hive);
    return kRegistrySuccess;
}

long RegUnLoadKey(RegistryKey key, const std::string& subkey) {
    RegistryState& state = State();
    std::lock_guard lock(state.mutex);
    if (key != kRegistryUsers) return IsRegistryRoot(key) ? kRegistryAccessDenied : kRegistryInvalidParameter;
    RegistryKeyData* users = Resolve(key);
    RegistryNode* node = users->node->Find(subkey);
    if (!node) return kRegistryFileNotFound;
    auto hive = HiveMountedAt(*node);
    if (!hive) return kRegistryAccessDenied;
    if (hive->changed) {
        if (long result = SaveHive(*hive); result != kRegistrySuccess) return result;
    }
    Remove(*node);
    std::erase(state.loaded, hive);
    return kRegistrySuccess;
}

long RegNotifyChangeKeyValue(RegistryKey key, bool watchSubtree, uint32_t filter, Event* event,
                             bool asynchronous) {
    RegistryState& state = State();
    std::unique_lock lock(state.mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, kKeyNotify); result != kRegistrySuccess) return result;
    if ((asynchronous && !event) || (filter & 0xF) == 0 || data->machineRoot)
        return kRegistryInvalidParameter;
    RegistryWatch watch{event, filter, watchSubtree, nullptr};
    if (!asynchronous) watch.fired = std::make_shared<bool>(false);
    auto fired = watch.fired;
    std::shared_ptr<RegistryNode> node = data->node;
    node->watches.push_back(std::move(watch));
    if (fired) state.changed.wait(lock, [&] { return *fired; });
    return kRegistrySuccess;
}

long RegGetKeySecurity(RegistryKey key, uint32_t, void*, uint32_t*) {
    std::lock_guard lock(State().mutex);
    if (long result = Check(Resolve(key), 0); result != kRegistrySuccess) return result;
    return kRegistryNotSupported;
}

long RegSetKeySecurity(RegistryKey key, uint32_t, const void*) {
    std::lock_guard lock(State().mutex);
    if (long result = Check(Resolve(key), 0); result != kRegistrySuccess) return result;
    return kRegistryNotSupported;
}

long RegReplaceKey(RegistryKey key, const std::string&, const std::string&, const std::string&) {
    std::lock_guard lock(State().mutex);
    if (long result = Check(Resolve(key), 0); result != kRegistrySuccess) return result;
    return kRegistryNotSupported;
}

long RegQueryInfoKey(RegistryKey key, uint32_t* subkeys, uint32_t* values) {
    RegistryKeyInfo info;
    long result = RegQueryInfoKey(key, &info);
    if (result != kRegistrySuccess) return result;
    if (subkeys) *subkeys = info.subkeys;
    if (values) *values = info.values;
    return kRegistrySuccess;
}

long RegQueryInfoKey(RegistryKey key, RegistryKeyInfo* info) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, kKeyQueryValue); result != kRegistrySuccess) return result;
    if (!info) return kRegistryInvalidParameter;
    RegistryKeyData at = Start(*data);
    const RegistryNode& node = *at.node;
    *info = {};
    info->className = node.className;
    info->subkeys = uint32_t(node.children.size());
    info->values = uint32_t(node.values.size());
    info->lastWriteTime = node.lastWrite;
    for (const auto& child : node.children) {
        info->longestSubkeyName = std::max(info->longestSubkeyName, uint32_t(child->name.size()));
        info->longestClassName = std::max(info->longestClassName, uint32_t(child->className.size()));
    }
    for (const auto& value : node.values) {
        info->longestValueName = std::max(info->longestValueName, uint32_t(value.name.size()));
        info->longestValueData = std::max(info->longestValueData, uint32_t(value.data.size()));
    }
    return kRegistrySuccess;
}

long RegEnumKeyEx(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize) {
    return RegEnumKeyEx(key, index, name, nameSize, nullptr, nullptr, nullptr);
}

long RegEnumKeyEx(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize, char* className,
                  uint32_t* classSize, uint64_t* lastWriteTime) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* data = Resolve(key);
    if (long result = Check(data, kKeyEnumerateSubKeys); result != kRegistrySuccess) return result;
    RegistryKeyData at = Start(*data);
    if (index >= at.node->children.size()) return kRegistryNoMoreItems;
    const RegistryNode& child = *at.node->children[index];
    if (long result = CopyOut(child.name, name, nameSize); result != kRegistrySuccess) return result;
    if (className) {
        if (long result = CopyOut(child.className, className, classSize); result != kRegistrySuccess)
            return result;
    }
    if (lastWriteTime) *lastWriteTime = child.lastWrite;
    return kRegistrySuccess;
}

long RegQueryValueEx(RegistryKey key, const std::string& name, uint32_t* type, uint8_t* data,
                     uint32_t* dataSize) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* at = Resolve(key);
    if (long result = Check(at, kKeyQueryValue); result != kRegistrySuccess) return result;
    RegistryKeyData start = Start(*at);
    const RegistryValue* value = start.node->Value(name);
    if (!value) return kRegistryFileNotFound;
    return CopyValue(*value, type, data, dataSize);
}

long RegEnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                  uint8_t* data, uint32_t* dataSize) {
    std::lock_guard lock(State().mutex);
    RegistryKeyData* at = Resolve(key);
    if (long result = Check(at, kKeyQueryValue); result != kRegistrySuccess) return result;
    RegistryKeyData start = Start(*at);
    if (index >= start.node->values.size()) return kRegistryNoMoreItems;
    const RegistryValue& value = start.node->values[index];
    if (long result = CopyOut(value.name, name, nameSize); result != kRegistrySuccess) return result;
    return CopyValue(value, type, data, dataSize);
}

namespace {

// A copy of a subtree without its watches, which stay with the keys they were set on.
std::shared_ptr<RegistryNode> CopyTree(const RegistryNode& node, RegistryNode* parent) {
    auto copy = std::make_shared<RegistryNode>();
    copy->name = node.name;
    copy->className = node.className;
    copy->lastWrite = node.lastWrite;
    copy->parent = parent;
    copy->values = node.values;
    for (const auto& child : node.children)
        copy->children.push_back(CopyTree(*child, copy.get()));
    return copy;
}

// Puts the branch back as it was when the batch began; handles opened on keys below the root
// since then answer that their key was deleted.
void RestoreBatchStart(RegistryHive& hive) {
    RegistryNode& root = *hive.root;
    for (auto& child : root.children)
        MarkDeleted(*child);
    root.children = std::move(hive.batchStart->children);
    for (auto& child : root.children)
        child->parent = &root;
    root.values = std::move(hive.batchStart->values);
    hive.batchStart.reset();
    hive.changed = hive.changedAtBatchStart;
    Notify(root, kNotifyChangeName | kNotifyChangeLastSet);
}

RegistryHive* UserHive() {
    Resolve(kRegistryCurrentUser);
    return State().user.get();
}

} // namespace

long RegBeginUserBatch() {
    std::lock_guard lock(State().mutex);
    RegistryHive& hive = *UserHive();
    if (hive.batchStart) return kRegistryBusy;
    if (hive.unreadable) return hive.unreadable;
    hive.batchStart = CopyTree(*hive.root, nullptr);
    hive.changedAtBatchStart = hive.changed;
    return kRegistrySuccess;
}

long RegCommitUserBatch() {
    std::lock_guard lock(State().mutex);
    RegistryHive& hive = *UserHive();
    if (!hive.batchStart) return kRegistryInvalidParameter;
    std::shared_ptr<RegistryNode> start = hive.batchStart;
    hive.batchStart.reset();
    if (!hive.changed) return kRegistrySuccess;
    long result = SaveHive(hive);
    if (result != kRegistrySuccess) {
        hive.batchStart = std::move(start);
        RestoreBatchStart(hive);
    }
    return result;
}

void RegAbandonUserBatch() {
    std::lock_guard lock(State().mutex);
    RegistryHive& hive = *UserHive();
    if (hive.batchStart) RestoreBatchStart(hive);
}

} // namespace vq
