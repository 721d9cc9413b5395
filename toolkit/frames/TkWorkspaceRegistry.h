#pragma once

#include "platform/registry/Registry.h"

#include <string>
#include <utility>
#include <vector>

namespace vq {

// The workspaces of registry mode: one key per workspace below the location key, beside the key
// of the recent list. Key names ignore case, so workspace names do too; a name that is empty,
// holds a backslash or names the recent list would address the wrong key and is refused.
class TkWorkspaceRegistry {
public:
    using StringList = std::vector<std::string>;
    using Rename = std::pair<std::string, std::string>;

    // The location ends with a backslash; one is added when it is missing.
    TkWorkspaceRegistry(RegistryKey root, std::string location, std::string recentListKey);

    static bool SameName(const std::string& a, const std::string& b);
    bool IsValidName(const std::string& name) const;
    // The names of the keys below the location, the recent list's excluded.
    StringList KeyNames() const;

    // Carries out what the workspace dialog's lists say, as one write: every entry whose edited
    // name differs from its name before editing moves its tree to the new key, and the keys of
    // the deleted names go. The lists run in parallel, deleted entries already gone from both.
    // A rename whose source cannot be read, or whose new name another entry keeps, is undone in
    // `edited`; a rename in case only moves no key. Answers the renames carried out (old, new),
    // none when the registry refused the write, whose renames are then all undone in `edited`.
    std::vector<Rename> ApplyChanges(const StringList& before, StringList& edited, const StringList& deleted) const;

    const std::string& GetLocation() const { return m_location; }

private:
    RegistryKey m_root;
    std::string m_location;
    std::string m_recentListKey;
};

} // namespace vq
