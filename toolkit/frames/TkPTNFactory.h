#pragma once

#include "platform/core/RuntimeClass.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

class TkPersistentTreeNode;

// Owns the settings-tree nodes it makes; going, it deletes them, newest first, so that every
// child goes before the parent it was made under.
class TkPTNFactory {
public:
    TkPTNFactory();
    ~TkPTNFactory();
    TkPTNFactory(const TkPTNFactory&) = delete;
    TkPTNFactory& operator=(const TkPTNFactory&) = delete;

    // A new node of that class, not yet created; null for a class that is no creatable node.
    TkPersistentTreeNode* CreateNode(const RuntimeClass& nodeClass);
    TkPersistentTreeNode* CreateNode();
    // A new node created under `parent`, or null (and nothing kept) when its Create fails.
    TkPersistentTreeNode* CreateNode(const std::string& name, TkPersistentTreeNode* parent,
                                     const RuntimeClass& nodeClass);
    TkPersistentTreeNode* CreateNode(const std::string& name, TkPersistentTreeNode* parent);
    // 1 when the node was one of this factory's and is now deleted, 0 otherwise.
    int DestroyNode(TkPersistentTreeNode* node);

private:
    std::vector<std::unique_ptr<TkPersistentTreeNode>> m_Nodes;
};

} // namespace vq
