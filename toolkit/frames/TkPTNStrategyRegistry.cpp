#include "toolkit/frames/TkPTNStrategyRegistry.h"

#include "toolkit/controls/TkRegistry.h"

#include <algorithm>
#include <utility>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkPTNStrategyRegistry, TkPTNStrategy)

TkPTNStrategyRegistry::TkPTNStrategyRegistry(std::string baseKeyPath, RegistryKey root) : m_Root(root) {
    SetBaseKeyPath(std::move(baseKeyPath));
}

void TkPTNStrategyRegistry::SetBaseKeyPath(std::string baseKeyPath) {
    m_BaseKeyPath = std::move(baseKeyPath);
    if (!m_BaseKeyPath.ends_with('\\')) m_BaseKeyPath += '\\';
}

std::string TkPTNStrategyRegistry::BuildKeyPath(const Names& path) {
    std::string key = m_BaseKeyPath;
    for (auto name = path.rbegin(); name != path.rend(); ++name)
        key += *name + '\\';
    return key;
}

WriteBatch TkPTNStrategyRegistry::BeginBatch() {
    if (m_Root == kRegistryCurrentUser) return WriteBatch::UserRegistry();
    return WriteBatch::Refused();
}

bool TkPTNStrategyRegistry::ClearNode(const Names& path) {
    const std::string key = BuildKeyPath(path);
    TkRegistry reader;
    if (!reader.Connect(m_Root, nullptr, true) || !reader.Open(key.c_str(), kKeyAllAccess)) return false;
    reader.Close();
    TkRegistry deleter;
    return deleter.Connect(m_Root, nullptr, true) && deleter.DeleteKey(key.c_str(), true);
}

namespace {

bool NamesReadBack(const TkPTNStrategy::Names& path) {
    return std::all_of(path.begin(), path.end(), [](const std::string& name) {
        return !name.empty() && name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
    });
}

} // namespace

bool TkPTNStrategyRegistry::WriteValue(const Names& path, const std::string& key, const std::string& value) {
    if (!NamesReadBack(path) || value.find('\0') != std::string::npos) return false;
    const std::string keyPath = BuildKeyPath(path);
    TkRegistry registry;
    return registry.Connect(m_Root, nullptr, true) && registry.CreateKey(keyPath.c_str()) &&
           registry.Open(keyPath.c_str(), kKeyAllAccess) && registry.SetStringValue(key.c_str(), value);
}

// The children are the subkeys themselves; the node's own key is made here, so that a node
// without values or children is kept too.
bool TkPTNStrategyRegistry::WriteChildList(const Names& path, const Names&) {
    if (!NamesReadBack(path)) return false;
    const std::string keyPath = BuildKeyPath(path);
    TkRegistry registry;
    return registry.Connect(m_Root, nullptr, true) && registry.CreateKey(keyPath.c_str());
}

bool TkPTNStrategyRegistry::ReadNode(const Names& path, Names& childNames, Names& keys, Names& values) {
    childNames.clear();
    keys.clear();
    values.clear();
    const std::string keyPath = BuildKeyPath(path);
    TkRegistry registry;
    if (!registry.Connect(m_Root, nullptr, true) || !registry.Open(keyPath.c_str(), kKeyAllAccess))
        return false;
    std::string name;
    for (uint32_t index = 0; registry.EnumerateKeys(index, name); ++index)
        childNames.push_back(name);
    uint32_t type = 0;
    for (uint32_t index = 0; registry.EnumerateValues(index, name, &type); ++index) {
        std::string text;
        if (registry.GetStringValue(name.c_str(), text)) {
            keys.push_back(name);
            values.push_back(std::move(text));
        }
    }
    return true;
}

} // namespace vq
