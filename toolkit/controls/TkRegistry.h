#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/registry/Registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

class Event;

// One connection to a registry root and one open key below it. Every operation keeps the
// registry's result code as the last error and answers true exactly when it was 0; a missing
// name, file or buffer is refused with 87.
class TkRegistry : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkRegistry)
public:
    TkRegistry();
    ~TkRegistry() override;
    TkRegistry(const TkRegistry&) = delete;
    TkRegistry& operator=(const TkRegistry&) = delete;

    virtual void Reset();
    virtual bool CreateKey(const char* name, const char* className = nullptr, uint32_t options = 0,
                           uint32_t access = kKeyAllAccess, const void* security = nullptr,
                           uint32_t* disposition = nullptr);
    virtual bool Close();
    virtual bool Connect(RegistryKey root = kRegistryClassesRoot, const char* machine = nullptr,
                         bool closeRoot = true);
    virtual bool DeleteKey(const char* name, bool recursive);
    virtual bool DeleteValue(const char* name);
    // The registry's own answer: 0, 234 when a buffer is short, 259 past the last key.
    virtual long EnumerateKeys(uint32_t index, char* name, uint32_t* nameLength, char* className,
                               uint32_t* classLength);
    virtual bool EnumerateKeys(uint32_t index, std::string& name, std::string& className);
    virtual bool EnumerateKeys(uint32_t index, std::string& name);
    virtual bool EnumerateValues(uint32_t index, std::string& name, uint32_t* type, uint8_t* data,
                                 uint32_t* dataSize);
    virtual bool EnumerateValues(uint32_t index, std::string& name, uint32_t* type);
    virtual bool FlushKey();
    virtual bool GetBinaryValue(const char* name, std::vector<uint8_t>& value);
    virtual bool GetDoubleWordValue(const char* name, uint32_t& value);
    virtual bool GetKeySecurity(uint32_t information, void* descriptor, uint32_t* size);
    virtual bool GetStringValue(const char* name, std::string& value);
    virtual bool GetStringArrayValue(const char* name, std::vector<std::string>& value);
    virtual bool GetValue(const char* name, std::string& value);
    virtual bool GetValue(const char* name, std::vector<std::string>& value);
    virtual bool GetValue(const char* name, uint32_t& value);
    virtual bool GetValue(const char* name, std::vector<uint8_t>& value);
    virtual bool LoadKey(const char* subkey, const char* file);
    virtual bool NotifyChange(Event* event, uint32_t filter = kNotifyChangeLastSet, bool watchSubtree = true,
                              bool asynchronous = true);
    virtual bool Open(const char* name, uint32_t access = kKeyAllAccess);
    virtual bool QueryInfo();
    virtual bool QueryValue(const char* name, uint32_t* type, uint8_t* data, uint32_t* size);
    virtual bool ReplaceKey(const char* subkey, const char* newFile, const char* oldFile);
    virtual bool RestoreKey(const char* file, uint32_t flags = 0);
    virtual bool SaveKey(const char* file, const void* security = nullptr);
    virtual bool SetBinaryValue(const char* name, const std::vector<uint8_t>& value);
    virtual bool SetDoubleWordValue(const char* name, uint32_t value);
    virtual bool SetKeySecurity(const uint32_t& information, const void* descriptor);
    virtual bool SetStringValue(const char* name, const std::string& value);
    virtual bool SetStringArrayValue(const char* name, const std::vector<std::string>& value);
    virtual bool SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size);
    virtual bool SetValue(const char* name, const std::string& value);
    virtual bool SetValue(const char* name, const std::vector<std::string>& value);
    virtual bool SetValue(const char* name, uint32_t value);
    virtual bool SetValue(const char* name, const std::vector<uint8_t>& value);
    virtual bool UnLoadKey(const char* subkey);

    static RegistryKey RootFromName(const std::string& name);
    static bool NameFromRoot(RegistryKey root, std::string& name);
    static void TrimKeyName(std::string& name, bool stripLeading);
    static std::string JoinKeyNames(const std::string& first, const std::string& second);

    long GetErrorCode() const { return m_ErrorCode; }
    RegistryKey GetKey() const { return m_hKey; }
    RegistryKey GetRoot() const { return m_hRoot; }
    const std::string& GetKeyName() const { return m_strKeyName; }
    const std::string& GetRootName() const { return m_strRootName; }
    const std::string& GetMachineName() const { return m_strComputerName; }
    const std::string& GetClassName() const { return m_strClassName; }
    uint32_t GetSubkeyCount() const { return m_nSubKeys; }
    uint32_t GetValueCount() const { return m_nValues; }
    uint32_t GetLongestValueDataLength() const { return m_nLongestValueDataLength; }
    uint64_t GetLastWriteFileTime() const { return m_LastWriteFileTime; }
    int64_t GetLastWriteTime() const { return m_LastWriteTime; }
    bool IsRemote() const { return m_bRemote; }
    bool ClosesRoot() const { return m_bCloseKeyOnDisconnect; }

private:
    // Opens a fresh read buffer of the longest value data size and reads the value into it.
    bool ReadSizedValue(const char* name, std::vector<uint8_t>& data);
    void CloseCurrentKey();

    long m_ErrorCode = 0;
    RegistryKey m_hKey = nullptr;
    RegistryKey m_hRoot = nullptr;
    uint32_t m_nLongestSubkeyNameLength = 0;
    uint32_t m_nLongestClassNameLength = 0;
    uint32_t m_nLongestValueNameLength = 0;
    uint32_t m_nLongestValueDataLength = 0;
    uint32_t m_nSecurityDescriptorLength = 0;
    uint64_t m_LastWriteFileTime = 0;
    std::string m_strClassName;
    std::string m_strComputerName;
    std::string m_strKeyName;
    std::string m_strRootName;
    uint32_t m_nSubKeys = 0;
    uint32_t m_nValues = 0;
    int64_t m_LastWriteTime = 0;
    bool m_bRemote = false;
    bool m_bCloseKeyOnDisconnect = true;
};

} // namespace vq
