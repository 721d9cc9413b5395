#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq {

class Event;

struct RegistryValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

// A change notification waiting on one key.
struct RegistryWatch {
    Event* event = nullptr;
    uint32_t filter = 0;
    bool subtree = false;
    std::shared_ptr<bool> fired; // for a synchronous waiter
};

// One key. Children and values stay in creation order; names are compared without case.
struct RegistryNode {
    std::string name;
    std::string className;
    uint64_t lastWrite = 0;
    RegistryNode* parent = nullptr;
    bool deleted = false;
    std::vector<std::shared_ptr<RegistryNode>> children;
    std::vector<RegistryValue> values;
    std::vector<RegistryWatch> watches;

    RegistryNode* Find(const std::string& childName) const;
    RegistryNode& Add(const std::string& childName);
    RegistryValue* Value(const std::string& valueName);
};

// The outcome of reading a registry text: the tree, or the first line that could not be read.
struct RegistryText {
    std::shared_ptr<RegistryNode> root;
    std::optional<std::string> badLine;
};

// A fresh machine branch, made each time a key is opened below the machine root.
std::shared_ptr<RegistryNode> BuildMachineBranch();

// Registry error numbers of file operations.
long ReadWholeFile(const std::string& path, std::string& text);
// Writes a temporary file beside the target, syncs it and renames it into place; without
// `replace` an existing target stays and the answer is 183.
long WriteWholeFile(const std::string& path, const std::string& text, bool replace);
// How many times WriteWholeFile has put a file at this path in place, in this process.
uint64_t WholeFileWriteCount(const std::string& path);
// For failure tests: while set, every WriteWholeFile writes its temporary file and then fails in
// place of the rename with this error, leaving the target untouched; 0 ends it.
void SetWholeFileRenameFailure(long error);

RegistryText ParseRegistryText(const std::string& text);
std::string FormatRegistryText(const RegistryNode& root);

} // namespace vq
