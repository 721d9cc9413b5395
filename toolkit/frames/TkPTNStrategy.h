#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/registry/WriteBatch.h"

#include <optional>
#include <string>
#include <vector>

namespace vq {

// Where a settings tree is stored. Every call names its node by the path of names from the node up
// to the root, node first. The writes of one outermost Save go into one write batch, so that the
// store takes the whole tree or keeps what it held.
class TkPTNStrategy : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkPTNStrategy)
public:
    using Names = std::vector<std::string>;

    TkPTNStrategy();
    ~TkPTNStrategy() override;
    TkPTNStrategy(const TkPTNStrategy&) = delete;
    TkPTNStrategy& operator=(const TkPTNStrategy&) = delete;

    virtual bool ClearNode(const Names& path) = 0;
    virtual bool WriteValue(const Names& path, const std::string& key, const std::string& value) = 0;
    virtual bool WriteChildList(const Names& path, const Names& childNames) = 0;
    // True when the store holds the node; keys and values come as two parallel lists.
    virtual bool ReadNode(const Names& path, Names& childNames, Names& keys, Names& values) = 0;

    // Held by each Save: the outermost one opens the batch and commits it when Finish is told the
    // save succeeded; on every other way out the batch is abandoned.
    class SaveScope {
    public:
        explicit SaveScope(TkPTNStrategy& strategy);
        ~SaveScope();
        SaveScope(const SaveScope&) = delete;
        SaveScope& operator=(const SaveScope&) = delete;

        // A write the store refused: the save as a whole fails.
        void Fail() { m_Strategy.m_Failed = true; }
        // False once the save cannot succeed, the batch never opened included: nothing more is
        // written, since without a batch each write would reach the file on its own.
        bool Writable() const { return !m_Strategy.m_Failed; }
        // The result of this Save: for the outermost one, whether the store now holds the tree.
        bool Finish(bool saved);

    private:
        TkPTNStrategy& m_Strategy;
        bool m_Outermost;
    };

    // Held by each Load: a stored tree is read at most so deep and to so many nodes in all, since
    // a store whose sections name each other, or fan out without end, must not hold a load forever.
    class LoadScope {
    public:
        explicit LoadScope(TkPTNStrategy& strategy);
        ~LoadScope();
        LoadScope(const LoadScope&) = delete;
        LoadScope& operator=(const LoadScope&) = delete;

        // Whether this node may be read; each answer of true spends one node of the budget.
        bool Allowed();
        // True once the budget is spent: no further node is made, read or not.
        bool Exhausted() const { return m_Strategy.m_LoadBudget == 0; }

    private:
        TkPTNStrategy& m_Strategy;
    };

    static constexpr int kDeepestTree = 64;
    static constexpr int kMostLoadedNodes = 16384;

protected:
    virtual WriteBatch BeginBatch() = 0;

private:
    int m_LoadDepth = 0;
    int m_LoadBudget = 0;
    int m_SaveDepth = 0;
    bool m_Failed = false;
    std::optional<WriteBatch> m_Batch;
};

} // namespace vq
