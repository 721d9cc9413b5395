#include "toolkit/controls/TkRegistry.h"

#include "platform/time/FileTime.h"

#include <cstring>
#include <utility>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkRegistry, Object)

namespace {

constexpr long kInvalidParameter = kRegistryInvalidParameter;
constexpr long kUnsupportedType = 1630;
constexpr uint32_t kTextBufferSize = 2048;

constexpr std::pair<uint32_t, const char*> kRootNames[] = {
    {0x80000000, "HKEY_CLASSES_ROOT"},   {0x80000001, "HKEY_CURRENT_USER"},
    {0x80000002, "HKEY_LOCAL_MACHINE"},  {0x80000003, "HKEY_USERS"},
    {0x80000005, "HKEY_CURRENT_CONFIG"}, {0x80000006, "HKEY_DYN_DATA"},
};

} // namespace

TkRegistry::TkRegistry() {
    Reset();
}

TkRegistry::~TkRegistry() {
    if (m_hRoot || m_hKey) Close();
    Reset();
}

void TkRegistry::Reset() {
    m_strClassName.clear();
    m_strComputerName.clear();
    m_strKeyName.clear();
    m_strRootName.clear();
    m_bCloseKeyOnDisconnect = true;
    m_ErrorCode = 0;
    m_hKey = nullptr;
    m_hRoot = nullptr;
    m_bRemote = false;
    m_nSubKeys = 0;
    m_nValues = 0;
    m_nLongestSubkeyNameLength = 0;
    m_nLongestClassNameLength = 0;
    m_nLongestValueNameLength = 0;
    m_nLongestValueDataLength = 0;
    m_nSecurityDescriptorLength = 0;
    m_LastWriteFileTime = 0;
    m_LastWriteTime = 0;
}

void TkRegistry::CloseCurrentKey() {
    if (m_hKey && m_hKey != m_hRoot) m_ErrorCode = RegCloseKey(m_hKey);
    m_hKey = nullptr;
}

bool TkRegistry::Close() {
    bool closed = true;
    if (m_hKey && m_hKey != m_hRoot) {
        m_ErrorCode = RegCloseKey(m_hKey);
        closed = m_ErrorCode == 0;
    }
    m_hKey = nullptr;
    if (m_hRoot) {
        if (m_bCloseKeyOnDisconnect) {
            m_ErrorCode = RegCloseKey(m_hRoot);
            closed = closed && m_ErrorCode == 0;
        }
        m_hRoot = nullptr;
    }
    Reset();
    return closed;
}

bool TkRegistry::Connect(RegistryKey root, const char* machine, bool closeRoot) {
    if (m_hRoot || m_hKey) Close();
    const bool previousCloseRoot = m_bCloseKeyOnDisconnect;
    m_bCloseKeyOnDisconnect = closeRoot;
    m_bRemote = machine && *machine;
    if (root == kRegistryClassesRoot || root == kRegistryCurrentUser) {
        if (m_bRemote) {
            m_ErrorCode = kRegistryInvalidHandle;
        } else {
            m_ErrorCode = 0;
            m_hRoot = m_hKey = root;
        }
    } else {
        m_ErrorCode = RegConnectRegistry(machine ? machine : "", root, &m_hRoot);
        if (m_ErrorCode != 0) m_hRoot = nullptr;
        m_hKey = m_hRoot;
    }
    if (m_ErrorCode != 0) {
        m_bCloseKeyOnDisconnect = previousCloseRoot;
        return false;
    }
    m_strComputerName = m_bRemote ? std::string(machine) : ComputerName();
    std::string name;
    if (NameFromRoot(root, name)) m_strRootName = name;
    return true;
}

bool TkRegistry::Open(const char* name, uint32_t access) {
    if (!name) {
        m_ErrorCode = kInvalidParameter;
        return false;
    }
    if (!m_hRoot) m_hRoot = kRegistryClassesRoot;
    CloseCurrentKey();
    std::string trimmed = name;
    TrimKeyName(trimmed, false);
    RegistryKey opened = nullptr;
    m_ErrorCode = RegOpenKeyEx(m_hRoot, trimmed, access, &opened);
    if (m_ErrorCode != 0) return false;
    m_hKey = opened;
    QueryInfo();
    m_strKeyName = name;
    return true;
}

bool TkRegistry::CreateKey(const char* name, const char* className, uint32_t options, uint32_t access,
                           const void*, uint32_t* disposition) {
    if (!name) {
        m_ErrorCode = kInvalidParameter;
        return false;
    }
    CloseCurrentKey();
    std::string trimmed = name;
    TrimKeyName(trimmed, false);
    RegistryKey created = nullptr;
    uint32_t outcome = 0;
    m_ErrorCode =
        RegCreateKeyEx(m_hRoot, trimmed, className ? className : "", options, access, &created, &outcome);
    if (m_ErrorCode != 0) return false;
    m_hKey = created;
    if (disposition) *disposition = outcome;
    m_strKeyName = name;
    return true;
}

bool TkRegistry::QueryInfo() {
    RegistryKeyInfo info;
    m_ErrorCode = RegQueryInfoKey(m_hKey, &info);
    if (m_ErrorCode != 0) return false;
    m_strClassName = info.className.substr(0, kTextBufferSize - 1);
    m_nSubKeys = info.subkeys;
    m_nLongestSubkeyNameLength = info.longestSubkeyName;
    m_nLongestClassNameLength = info.longestClassName;
    m_nValues = info.values;
    m_nLongestValueNameLength = info.longestValueName;
    m_nLongestValueDataLength = info.longestValueData;
    m_nSecurityDescriptorLength = info.securityDescriptorSize;
    m_LastWriteFileTime = info.lastWriteTime;
    m_LastWriteTime = info.lastWriteTime >= UnixEpochTicks
                          ? int64_t((info.lastWriteTime - UnixEpochTicks) / TicksPerSecond)
                          : -int64_t((UnixEpochTicks - info.lastWriteTime) / TicksPerSecond);
    return true;
}

bool TkRegistry::DeleteKey(const char* name, bool recursive) {
    // An empty name would mean the open key itself, and a recursive delete of it its whole subtree.
    if (!name || (recursive && !*name)) {
        m_ErrorCode = kInvalidParameter;
        return false;
    }
    TkRegistry helper;
    // Connecting to a key that is no predefined root gives the helper a handle of its own to close.
    if (!helper.Connect(m_hRoot, m_bRemote ? m_strComputerName.c_str() : nullptr, !IsRegistryRoot(m_hRoot))) {
        m_ErrorCode = helper.m_ErrorCode;
        return false;
    }
    const std::string text = name;
    bool relative = false;
    if (!text.starts_with('\\'))
        relative = helper.Open(JoinKeyNames(m_strKeyName, text).c_str(), kKeyAllAccess);
    if (!relative && !helper.Open(name, kKeyAllAccess)) {
        m_ErrorCode = helper.m_ErrorCode;
        return false;
    }
    if (recursive) {
        std::string subkey;
        bool deleted = true;
        while (deleted && helper.EnumerateKeys(0, subkey)) {
            deleted = helper.DeleteKey(subkey.c_str(), true);
            m_ErrorCode = helper.m_ErrorCode;
        }
        if (!deleted) return false;
    }
    if (relative) {
        m_ErrorCode = RegDeleteKey(m_hKey, text);
        return m_ErrorCode == 0;
    }
    size_t split = text.rfind('\\');
    std::string parent = split == std::string::npos ? std::string() : text.substr(0, split);
    std::string leaf = split == std::string::npos ? text : text.substr(split + 1);
    if (!helper.Open(parent.c_str(), kKeyAllAccess)) {
        m_ErrorCode = helper.m_ErrorCode;
        return false;
    }
    const long deletion = RegDeleteKey(helper.m_hKey, leaf);
    // When this object's own key went with the deletion it holds the parent from now on.
    if (!helper.Open(m_strKeyName.c_str(), kKeyAllAccess)) Open(parent.c_str(), kKeyAllAccess);
    m_ErrorCode = deletion;
    return deletion == 0;
}

bool TkRegistry::DeleteValue(const char* name) {
    m_ErrorCode = RegDeleteValue(m_hKey, name ? name : "");
    return m_ErrorCode == 0;
}

long TkRegistry::EnumerateKeys(uint32_t index, char* name, uint32_t* nameLength, char* className,
                               uint32_t* classLength) {
    m_ErrorCode = RegEnumKeyEx(m_hKey, index, name, nameLength, className, classLength, &m_LastWriteFileTime);
    return m_ErrorCode;
}

bool TkRegistry::EnumerateKeys(uint32_t index, std::string& name, std::string& className) {
    char nameBuffer[kTextBufferSize] = {};
    char classBuffer[kTextBufferSize] = {};
    uint32_t nameLength = kTextBufferSize - 1;
    uint32_t classLength = kTextBufferSize - 1;
    long result = EnumerateKeys(index, nameBuffer, &nameLength, classBuffer, &classLength);
    if (result != 0 && result != kRegistryMoreData) return false;
    name = nameBuffer;
    className = classBuffer;
    return true;
}

bool TkRegistry::EnumerateKeys(uint32_t index, std::string& name) {
    std::string className;
    return EnumerateKeys(index, name, className);
}

bool TkRegistry::EnumerateValues(uint32_t index, std::string& name, uint32_t* type, uint8_t* data,
                                 uint32_t* dataSize) {
    char nameBuffer[kTextBufferSize] = {};
    uint32_t nameLength = kTextBufferSize;
    uint32_t reported = 0;
    m_ErrorCode = RegEnumValue(m_hKey, index, nameBuffer, &nameLength, &reported, data, dataSize);
    if (m_ErrorCode != 0 && m_ErrorCode != kRegistryMoreData) return false;
    if (type) *type = reported;
    name = nameBuffer;
    return true;
}

bool TkRegistry::EnumerateValues(uint32_t index, std::string& name, uint32_t* type) {
    return EnumerateValues(index, name, type, nullptr, nullptr);
}

bool TkRegistry::FlushKey() {
    m_ErrorCode = RegFlushKey(m_hKey);
    return m_ErrorCode == 0;
}

bool TkRegistry::QueryValue(const char* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    if (!name) {
        m_ErrorCode = kInvalidParameter;
        return false;
    }
    uint32_t reported = 0;
    m_ErrorCode = RegQueryValueEx(m_hKey, name, &reported, data, size);
    if (m_ErrorCode != 0) return false;
    if (type) *type = reported;
    return true;
}

bool TkRegistry::GetStringValue(const char* name, std::string& value) {
    if (!name) {
        m_ErrorCode = kInvalidParameter;
        return false;
    }
    char buffer[kTextBufferSize] = {};
    uint32_t size = kTextBufferSize;
    uint32_t type = 0;
    if (!QueryValue(name, &type, reinterpret_cast<uint8_t*>(buffer), &size)) {
        value.clear();
        return false;
    }
    // Other types' bytes are no text: a number read as a string would come back as garbage.
    if (type != kRegistryString && type != kRegistryExpandString) {
        m_ErrorCode = kUnsupportedType;
        value.clear();
        return false;
    }
    value.assign(buffer, strnlen(buffer, size));
    return true;
}

bool TkRegistry::GetDoubleWordValue(const char* name, uint32_t& value) {
    uint8_t bytes[4] = {};
    uint32_t size = sizeof bytes;
    if (!QueryValue(name, nullptr, bytes, &size)) return false;
    std::memcpy(&value, bytes, sizeof value);
    return true;
}

bool TkRegistry::ReadSizedValue(const char* name, std::vector<uint8_t>& data) {
    // The buffer has room for the longest value the last QueryInfo saw; never a null buffer, which
    // would ask for the size instead of the data.
    std::vector<uint8_t> buffer(std::max<uint32_t>(m_nLongestValueDataLength, 1));
    uint32_t size = m_nLongestValueDataLength;
    if (!QueryValue(name, nullptr, buffer.data(), &size)) return false;
    buffer.resize(size);
    data = std::move(buffer);
    return true;
}

bool TkRegistry::GetBinaryValue(const char* name, std::vector<uint8_t>& value) {
    std::vector<uint8_t> data;
    if (!ReadSizedValue(name, data)) return false;
    value = std::move(data);
    return true;
}

bool TkRegistry::GetStringArrayValue(const char* name, std::vector<std::string>& value) {
    std::vector<uint8_t> data;
    if (!ReadSizedValue(name, data)) return false;
    value.clear();
    size_t position = 0;
    // Each text ends at its zero or at the end of the bytes returned, whichever comes first.
    while (data.size() > 0 && position < data.size() - 1) {
        const auto* text = reinterpret_cast<const char*>(data.data() + position);
        size_t length = strnlen(text, data.size() - position);
        value.emplace_back(text, length);
        position += length + 1;
    }
    return true;
}

bool TkRegistry::GetValue(const char* name, std::string& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return GetStringValue(name, value);
}

bool TkRegistry::GetValue(const char* name, std::vector<std::string>& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return GetStringArrayValue(name, value);
}

bool TkRegistry::GetValue(const char* name, uint32_t& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return GetDoubleWordValue(name, value);
}

bool TkRegistry::GetValue(const char* name, std::vector<uint8_t>& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return GetBinaryValue(name, value);
}

bool TkRegistry::SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    if (!name || !data) {
        m_ErrorCode = kInvalidParameter;
        return false;
    }
    m_ErrorCode = RegSetValueEx(m_hKey, name, type, data, size);
    return m_ErrorCode == 0;
}

bool TkRegistry::SetStringValue(const char* name, const std::string& value) {
    return SetValue(name, kRegistryString, reinterpret_cast<const uint8_t*>(value.c_str()),
                    uint32_t(value.size() + 1));
}

bool TkRegistry::SetDoubleWordValue(const char* name, uint32_t value) {
    uint8_t bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    return SetValue(name, kRegistryDword, bytes, sizeof bytes);
}

bool TkRegistry::SetBinaryValue(const char* name, const std::vector<uint8_t>& value) {
    static const uint8_t none = 0;
    return SetValue(name, kRegistryBinary, value.empty() ? &none : value.data(), uint32_t(value.size()));
}

bool TkRegistry::SetStringArrayValue(const char* name, const std::vector<std::string>& value) {
    std::vector<uint8_t> bytes;
    for (const auto& text : value) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    bytes.push_back(0);
    return SetValue(name, kRegistryMultiString, bytes.data(), uint32_t(bytes.size()));
}

bool TkRegistry::SetValue(const char* name, const std::string& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return SetStringValue(name, value);
}

bool TkRegistry::SetValue(const char* name, const std::vector<std::string>& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return SetStringArrayValue(name, value);
}

bool TkRegistry::SetValue(const char* name, uint32_t value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return SetDoubleWordValue(name, value);
}

bool TkRegistry::SetValue(const char* name, const std::vector<uint8_t>& value) {
    if (!name) return m_ErrorCode = kInvalidParameter, false;
    return SetBinaryValue(name, value);
}

bool TkRegistry::GetKeySecurity(uint32_t information, void* descriptor, uint32_t* size) {
    if (!descriptor) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegGetKeySecurity(m_hKey, information, descriptor, size);
    return m_ErrorCode == 0;
}

bool TkRegistry::SetKeySecurity(const uint32_t& information, const void* descriptor) {
    if (!descriptor) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegSetKeySecurity(m_hKey, information, descriptor);
    return m_ErrorCode == 0;
}

bool TkRegistry::LoadKey(const char* subkey, const char* file) {
    if (!subkey || !file) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegLoadKey(m_hRoot, subkey, file);
    return m_ErrorCode == 0;
}

bool TkRegistry::UnLoadKey(const char* subkey) {
    if (!subkey) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegUnLoadKey(m_hKey, subkey);
    return m_ErrorCode == 0;
}

bool TkRegistry::SaveKey(const char* file, const void*) {
    if (!file) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegSaveKey(m_hKey, file);
    return m_ErrorCode == 0;
}

bool TkRegistry::RestoreKey(const char* file, uint32_t flags) {
    if (!file) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegRestoreKey(m_hKey, file, flags);
    return m_ErrorCode == 0;
}

bool TkRegistry::ReplaceKey(const char* subkey, const char* newFile, const char* oldFile) {
    if (!subkey || !newFile || !oldFile) return m_ErrorCode = kInvalidParameter, false;
    m_ErrorCode = RegReplaceKey(m_hKey, subkey, newFile, oldFile);
    return m_ErrorCode == 0;
}

bool TkRegistry::NotifyChange(Event* event, uint32_t filter, bool watchSubtree, bool asynchronous) {
    m_ErrorCode = RegNotifyChangeKeyValue(m_hKey, watchSubtree, filter, event, asynchronous);
    return m_ErrorCode == 0;
}

RegistryKey TkRegistry::RootFromName(const std::string& name) {
    for (const auto& [root, rootName] : kRootNames)
        if (name == rootName) return RegistryRoot(root);
    return nullptr;
}

bool TkRegistry::NameFromRoot(RegistryKey root, std::string& name) {
    for (const auto& [number, rootName] : kRootNames) {
        if (root == RegistryRoot(number)) {
            name = rootName;
            return true;
        }
    }
    return false;
}

void TkRegistry::TrimKeyName(std::string& name, bool stripLeading) {
    if (name.ends_with('\\')) name.pop_back();
    if (stripLeading && name.starts_with('\\')) name.erase(0, 1);
}

std::string TkRegistry::JoinKeyNames(const std::string& first, const std::string& second) {
    std::string head = first;
    std::string tail = second;
    TrimKeyName(head, false);
    TrimKeyName(tail, true);
    return head + "\\" + tail;
}

} // namespace vq
