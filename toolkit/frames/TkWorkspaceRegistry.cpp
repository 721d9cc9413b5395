#include "toolkit/frames/TkWorkspaceRegistry.h"

#include "toolkit/controls/TkRegistry.h"
#include "toolkit/frames/TkPTNFactory.h"
#include "toolkit/frames/TkPTNStrategyRegistry.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace vq {

namespace {

constexpr const char* kTreeRootName = "WorkState_v1_1";

// One rename on its way: the entry, and the tree read from its old key.
struct PendingMove {
    std::size_t entry = 0;
    TkPersistentTreeNode* tree = nullptr;
};

} // namespace

TkWorkspaceRegistry::TkWorkspaceRegistry(RegistryKey root, std::string location, std::string recentListKey)
    : m_root(root), m_location(std::move(location)), m_recentListKey(std::move(recentListKey)) {
    if (!m_location.ends_with('\\')) m_location += '\\';
}

bool TkWorkspaceRegistry::SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool TkWorkspaceRegistry::IsValidName(const std::string& name) const {
    return !name.empty() && name.find('\\') == std::string::npos && name.find('\0') == std::string::npos &&
           !SameName(name, m_recentListKey);
}

TkWorkspaceRegistry::StringList TkWorkspaceRegistry::KeyNames() const {
    StringList names;
    TkRegistry registry;
    if (!registry.Connect(m_root, nullptr, true) || !registry.Open(m_location.c_str(), kKeyRead)) return names;
    std::string name;
    for (uint32_t index = 0; registry.EnumerateKeys(index, name); ++index)
        if (!SameName(name, m_recentListKey)) names.push_back(name);
    return names;
}

std::vector<TkWorkspaceRegistry::Rename> TkWorkspaceRegistry::ApplyChanges(const StringList& before, StringList& edited,
                                                                           const StringList& deleted) const {
    const std::size_t count = std::min(before.size(), edited.size());
    std::vector<bool> moving(count, false);
    for (std::size_t i = 0; i < count; ++i)
        moving[i] = before[i] != edited[i] && IsValidName(before[i]) && IsValidName(edited[i]);
    auto finalName = [&](std::size_t i) -> const std::string& { return moving[i] ? edited[i] : before[i]; };
    // A new name that another entry ends up with would put two entries on one key: that rename
    // is given up, which may free or take other names, until the names are all distinct.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (!moving[i]) continue;
            for (std::size_t j = 0; j < count && moving[i]; ++j)
                if (j != i && SameName(edited[i], finalName(j))) moving[i] = false, changed = true;
        }
    }

    // Every source is read before anything is written, so that one rename cannot overwrite the
    // tree another still has to move.
    TkPTNFactory factory;
    TkPTNStrategyRegistry store(m_location, m_root);
    std::vector<PendingMove> moves;
    std::vector<Rename> renamed;
    for (std::size_t i = 0; i < count; ++i) {
        if (!moving[i]) {
            edited[i] = before[i];
            continue;
        }
        if (SameName(before[i], edited[i])) {
            renamed.emplace_back(before[i], edited[i]);
            continue;
        }
        TkPersistentTreeNode* tree = factory.CreateNode(kTreeRootName, nullptr);
        store.SetBaseKeyPath(m_location + before[i]);
        if (!tree || tree->Load(&store) != 1) {
            edited[i] = before[i];
            continue;
        }
        moves.push_back({i, tree});
    }

    // The scope held here makes the saves below share its one batch: the registry takes all of
    // the deletes and writes, or none.
    store.SetBaseKeyPath(m_location);
    TkPTNStrategy::SaveScope scope(store);
    bool saved = scope.Writable();
    if (saved) {
        for (const std::string& name : deleted)
            if (IsValidName(name)) store.ClearNode({name});
        for (const PendingMove& move : moves) {
            store.ClearNode({before[move.entry]});
            store.ClearNode({edited[move.entry]});
        }
        for (const PendingMove& move : moves) {
            store.SetBaseKeyPath(m_location + edited[move.entry]);
            saved = move.tree->Save(&store) == 1 && saved;
        }
    }
    if (!scope.Finish(saved)) {
        for (std::size_t i = 0; i < count; ++i) edited[i] = before[i];
        return {};
    }
    for (const PendingMove& move : moves) renamed.emplace_back(before[move.entry], edited[move.entry]);
    return renamed;
}

} // namespace vq
