// Feeds arbitrary bytes to the settings tree as an INI file: the load must finish, every value must
// read through each typed getter, and the loaded tree must save and load again.

#include "toolkit/frames/TkPTNStrategyProfile.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// A folder of its own for the files of each run, removed when the process ends.
struct FuzzFolder {
    std::string path = [] {
        std::string pattern = "/tmp/vq-fuzz-tree-XXXXXX";
        Check(mkdtemp(pattern.data()) != nullptr);
        return pattern;
    }();
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const std::string& Folder() {
    static const FuzzFolder folder;
    return folder.path;
}

void ReadEveryValue(vq::TkPersistentTreeNode& node) {
    std::string key;
    std::string value;
    for (size_t at = 0; node.GetNextPair(at, key, value);) {
        vq::i32 number = 0;
        bool flag = false;
        Check(node.GetIntValue(key, number, 0) == 0);
        Check(node.GetBoolValue(key, flag, false) == 0);
        std::unique_ptr<vq::u8[]> bytes;
        vq::u32 count = 0;
        if (node.GetBinaryValue(key, &bytes, &count) == 0)
            Check(bytes && count > 0);
        else
            Check(!bytes && count == 0);
    }
    for (const auto& name : node.GetChildNames())
        ReadEveryValue(*node.FindChild(name));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = Folder() + "/tree.ini";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), long(size));
    vq::TkPTNStrategyProfile store(file);
    vq::TkPersistentTreeNode root;
    Check(root.Create("Root", nullptr) == 0);
    if (root.Load(&store) != 1) return 0;
    ReadEveryValue(root);
    vq::TkPTNStrategyProfile copy(Folder() + "/copy.ini");
    std::remove((Folder() + "/copy.ini").c_str());
    if (root.Save(&copy) == 1) {
        vq::TkPersistentTreeNode again;
        Check(again.Create("Root", nullptr) == 0);
        size_t first = 0;
        std::string key;
        std::string value;
        const bool nothingToWrite = root.GetChildNames().empty() && !root.GetNextPair(first, key, value);
        Check(again.Load(&copy) == 1 || nothingToWrite);
    }
    return 0;
}
