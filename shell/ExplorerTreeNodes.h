#pragma once

#include <cstdint>
#include <string>

namespace vq {

class ExplorerInfo;

// The node operations of the explorer tree that the configuration model uses; the explorer window
// provides them.
class ExplorerTreeNodes {
public:
    using Item = std::uintptr_t;

    virtual ~ExplorerTreeNodes() = default;
    // Appends a node as the last child of `parent` (0: top level) and answers it.
    virtual Item InsertNode(Item parent, int image, const std::string& name, ExplorerInfo* object) = 0;
};

} // namespace vq
