#pragma once

#include "platform/registry/Registry.h"
#include "toolkit/frames/TkPTNStrategy.h"

namespace vq {

// A settings tree under a registry key: one key per node, the base path followed by the names
// from the root down, each with a trailing backslash; values as strings, children as subkeys in
// the order they were made. Only the current user's branch takes a tree whole or not at all;
// saving below any other root fails.
class TkPTNStrategyRegistry : public TkPTNStrategy {
    VQ_DECLARE_RUNTIME_CLASS(TkPTNStrategyRegistry)
public:
    TkPTNStrategyRegistry(std::string baseKeyPath, RegistryKey root);

    bool ClearNode(const Names& path) override;
    // Refuses a path name that would read back as more than one key, or as none.
    bool WriteValue(const Names& path, const std::string& key, const std::string& value) override;
    bool WriteChildList(const Names& path, const Names& childNames) override;
    bool ReadNode(const Names& path, Names& childNames, Names& keys, Names& values) override;
    virtual std::string BuildKeyPath(const Names& path);

    const std::string& GetBaseKeyPath() const { return m_BaseKeyPath; }
    // Moves the strategy to another base key; a trailing backslash is added when missing.
    void SetBaseKeyPath(std::string baseKeyPath);

protected:
    WriteBatch BeginBatch() override;

private:
    std::string m_BaseKeyPath;
    RegistryKey m_Root;
};

} // namespace vq
