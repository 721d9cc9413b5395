#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/core/Types.h"
#include "toolkit/frames/TkPTNFactory.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

class TkPTNStrategy;

// One node of a settings tree: a name, ordered text values and ordered children, saved to and
// loaded from a store as a whole tree. Integers, booleans and byte blocks are kept as text. The
// operations answer error bits, combined where one call finds several faults; 0 is success.
class TkPersistentTreeNode : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkPersistentTreeNode)
public:
    enum Error : int {
        kAlreadyCreated = 1,
        kNotCreated = 2,
        kNoName = 4,
        kEmptyKey = 8,
        kKeyExists = 16,
        kChildExists = 32,
        kNoValue = 64,
        kNoBuffer = 128,
        kNoData = 256,
        kOtherFailure = 0xFFFF,
    };

    struct TkPersTreeNodeKeyValuePair {
        std::string key;
        std::string value;
    };

    TkPersistentTreeNode();
    ~TkPersistentTreeNode() override;
    TkPersistentTreeNode(const TkPersistentTreeNode&) = delete;
    TkPersistentTreeNode& operator=(const TkPersistentTreeNode&) = delete;

    virtual int Create(const std::string& name, TkPersistentTreeNode* parent);
    virtual int SetIntValue(const std::string& key, i32 value, bool overwrite);
    virtual int SetValue(const std::string& key, const std::string& value, bool overwrite);
    virtual int SetBoolValue(const std::string& key, bool value, bool overwrite);
    virtual int SetBinaryValue(const std::string& key, const u8* data, u32 count, bool overwrite);
    virtual int RemoveValue(const std::string& key);
    virtual int GetValue(const std::string& key, std::string& value, const std::string& defaultValue);
    // Leading blanks and a sign are read, digits up to the first other character; no digits read
    // as 0, and a number beyond 32 bits stops at the nearest 32-bit limit.
    virtual int GetIntValue(const std::string& key, i32& value, i32 defaultValue);
    virtual int GetIntValue(const std::string& key, u32& value, u32 defaultValue);
    virtual int GetBoolValue(const std::string& key, bool& value, bool defaultValue);
    // The decoded bytes go to a new buffer of the caller's; on failure both outs stay as they were.
    virtual int GetBinaryValue(const std::string& key, std::unique_ptr<u8[]>* data, u32* count);
    // 1 when the store now holds this node's tree, 0 otherwise.
    virtual int Save(TkPTNStrategy* strategy);
    // 1 when the store held this node; children it could not read are left without values.
    virtual int Load(TkPTNStrategy* strategy);
    virtual int AddChild(TkPersistentTreeNode* child);

    TkPersistentTreeNode* FindChild(const std::string& name) const;
    TkPersTreeNodeKeyValuePair* FindPair(const std::string& key) const;
    const std::string& GetName() const { return m_Name; }
    TkPersistentTreeNode* GetParent() const { return m_Parent; }
    std::vector<std::string> GetPathNames() const;
    std::vector<std::string> GetChildNames() const;
    // Walks the pairs in order: start with position 0; false past the last.
    bool GetNextPair(size_t& position, std::string& key, std::string& value) const;

    static std::string EncodeBinary(const u8* data, u32 count);
    static std::vector<u8> DecodeBinary(const std::string& letters);
    int SplitBinaryValue(const std::string& key, const std::string& letters);
    // The letters of a byte block in either form, or kNoValue / kOtherFailure.
    int JoinBinaryValue(const std::string& key, std::string& letters);

private:
    int SetTextBinary(const std::string& key, const std::string& letters, bool overwrite);
    void RemoveBinaryChunks(const std::string& key, i32 from);
    void Unlink(TkPersistentTreeNode* child);

    std::string m_Name;
    TkPersistentTreeNode* m_Parent = nullptr;
    std::vector<TkPersistentTreeNode*> m_Children;
    std::vector<std::unique_ptr<TkPersTreeNodeKeyValuePair>> m_Pairs;
    bool m_Created = false;
    // Declared last so that the children it made go first, while this node is whole.
    TkPTNFactory m_Factory;
};

} // namespace vq
