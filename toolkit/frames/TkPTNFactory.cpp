#include "toolkit/frames/TkPTNFactory.h"

#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>

namespace vq {

TkPTNFactory::TkPTNFactory() = default;

TkPTNFactory::~TkPTNFactory() {
    while (!m_Nodes.empty())
        m_Nodes.pop_back();
}

TkPersistentTreeNode* TkPTNFactory::CreateNode(const RuntimeClass& nodeClass) {
    if (!nodeClass.IsDerivedFrom(TkPersistentTreeNode::Class())) return nullptr;
    std::unique_ptr<Object> made = nodeClass.CreateObject();
    if (!made) return nullptr;
    m_Nodes.emplace_back(static_cast<TkPersistentTreeNode*>(made.release()));
    return m_Nodes.back().get();
}

TkPersistentTreeNode* TkPTNFactory::CreateNode() {
    return CreateNode(TkPersistentTreeNode::Class());
}

TkPersistentTreeNode* TkPTNFactory::CreateNode(const std::string& name, TkPersistentTreeNode* parent,
                                               const RuntimeClass& nodeClass) {
    TkPersistentTreeNode* node = CreateNode(nodeClass);
    if (node && node->Create(name, parent) != 0) {
        DestroyNode(node);
        return nullptr;
    }
    return node;
}

TkPersistentTreeNode* TkPTNFactory::CreateNode(const std::string& name, TkPersistentTreeNode* parent) {
    return CreateNode(name, parent, TkPersistentTreeNode::Class());
}

int TkPTNFactory::DestroyNode(TkPersistentTreeNode* node) {
    auto found =
        std::find_if(m_Nodes.begin(), m_Nodes.end(), [&](const auto& owned) { return owned.get() == node; });
    if (!node || found == m_Nodes.end()) return 0;
    std::unique_ptr<TkPersistentTreeNode> gone = std::move(*found);
    m_Nodes.erase(found);
    return 1;
}

} // namespace vq
