#include "toolkit/frames/TkPersistentTreeNode.h"

#include "toolkit/frames/TkPTNStrategy.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace vq {

namespace {

constexpr size_t kLongestUnsplitText = 250;
constexpr const char* kBinCount = "_BinCount";
constexpr const char* kBinValue = "_BinVal";
// Far beyond any block the toolkit writes; a stored count above it is damage, not data.
constexpr i32 kMostBinaryChunks = 4096;

std::string ChunkName(const std::string& key, i32 number) {
    return key + kBinValue + std::to_string(number);
}

i32 ParseInt(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    const int64_t limit =
        negative ? -int64_t(std::numeric_limits<i32>::min()) : std::numeric_limits<i32>::max();
    int64_t number = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        number = std::min<int64_t>(number * 10 + (text[at] - '0'), limit);
    return i32(negative ? -number : number);
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkPersistentTreeNode, Object)

TkPersistentTreeNode::TkPersistentTreeNode() = default;

// Children merely listed here are not deleted; they only forget this node, and this node leaves
// its parent's list, so that neither side keeps a pointer to the other once it is gone.
TkPersistentTreeNode::~TkPersistentTreeNode() {
    for (TkPersistentTreeNode* child : m_Children)
        child->m_Parent = nullptr;
    m_Children.clear();
    if (m_Parent) m_Parent->Unlink(this);
}

void TkPersistentTreeNode::Unlink(TkPersistentTreeNode* child) {
    std::erase(m_Children, child);
}

int TkPersistentTreeNode::Create(const std::string& name, TkPersistentTreeNode* parent) {
    if (name.empty()) return kNoName;
    if (m_Created) return kAlreadyCreated;
    m_Name = name;
    if (parent) {
        const int linked = parent->AddChild(this);
        if (linked != 0) {
            m_Name.clear();
            return linked == kChildExists ? kChildExists : kOtherFailure;
        }
        m_Parent = parent;
    }
    m_Created = true;
    return 0;
}

int TkPersistentTreeNode::AddChild(TkPersistentTreeNode* child) {
    if (!m_Created) return kNotCreated;
    if (!child) return kNoName;
    if (FindChild(child->GetName())) return kChildExists;
    m_Children.push_back(child);
    // A child listed here must be able to leave the list when it goes.
    if (!child->m_Parent) child->m_Parent = this;
    return 0;
}

int TkPersistentTreeNode::SetIntValue(const std::string& key, i32 value, bool overwrite) {
    return SetValue(key, std::to_string(value), overwrite);
}

int TkPersistentTreeNode::SetValue(const std::string& key, const std::string& value, bool overwrite) {
    TkPersTreeNodeKeyValuePair* pair = FindPair(key);
    int error = 0;
    if (!m_Created) error |= kNotCreated;
    if (key.empty()) error |= kEmptyKey;
    if (pair && !overwrite) error |= kKeyExists;
    if (error) return error;
    if (pair)
        pair->value = value;
    else
        m_Pairs.push_back(
            std::make_unique<TkPersTreeNodeKeyValuePair>(TkPersTreeNodeKeyValuePair{key, value}));
    return 0;
}

int TkPersistentTreeNode::SetBoolValue(const std::string& key, bool value, bool overwrite) {
    return SetValue(key, value ? "True" : "False", overwrite);
}

int TkPersistentTreeNode::SetBinaryValue(const std::string& key, const u8* data, u32 count, bool overwrite) {
    if (!data) return kNoBuffer;
    const std::string letters = EncodeBinary(data, count);
    if (letters.empty()) return kNoData;
    return SetTextBinary(key, letters, overwrite);
}

// A block is kept in one form only: the other form's values would be read back in its place.
int TkPersistentTreeNode::SetTextBinary(const std::string& key, const std::string& letters, bool overwrite) {
    if (letters.size() > kLongestUnsplitText) {
        const int error = SplitBinaryValue(key, letters);
        if (error == 0) RemoveValue(key);
        return error;
    }
    if (!overwrite && FindPair(key + kBinCount)) return kKeyExists | (m_Created ? 0 : kNotCreated);
    const int error = SetValue(key, letters, overwrite);
    if (error == 0) RemoveBinaryChunks(key, 0);
    return error;
}

void TkPersistentTreeNode::RemoveBinaryChunks(const std::string& key, i32 from) {
    i32 count = 0;
    if (GetIntValue(key + kBinCount, count, 0) != 0) return;
    if (from == 0) RemoveValue(key + kBinCount);
    for (i32 number = from; number < std::min(count, kMostBinaryChunks); ++number)
        RemoveValue(ChunkName(key, number));
}

int TkPersistentTreeNode::SplitBinaryValue(const std::string& key, const std::string& letters) {
    std::vector<std::string> chunks;
    size_t at = 0;
    while (letters.size() - at > kLongestUnsplitText) {
        chunks.push_back(letters.substr(at, kLongestUnsplitText));
        at += kLongestUnsplitText;
    }
    chunks.push_back(letters.substr(at));
    const i32 count = i32(chunks.size());
    RemoveBinaryChunks(key, count);
    if (const int error = SetIntValue(key + kBinCount, count, true); error != 0) return error;
    for (i32 number = 0; number < count; ++number)
        SetValue(ChunkName(key, number), chunks[size_t(number)], true);
    return 0;
}

int TkPersistentTreeNode::JoinBinaryValue(const std::string& key, std::string& letters) {
    i32 count = 0;
    if (GetIntValue(key + kBinCount, count, 0) != 0) return GetValue(key, letters, "");
    if (count < 0 || count > kMostBinaryChunks) return kOtherFailure;
    std::string joined;
    for (i32 number = 0; number < count; ++number) {
        if (const TkPersTreeNodeKeyValuePair* chunk = FindPair(ChunkName(key, number)))
            joined += chunk->value;
    }
    letters = std::move(joined);
    return 0;
}

int TkPersistentTreeNode::RemoveValue(const std::string& key) {
    auto found =
        std::find_if(m_Pairs.begin(), m_Pairs.end(), [&](const auto& pair) { return pair->key == key; });
    if (key.empty() || found == m_Pairs.end()) return kNoValue;
    m_Pairs.erase(found);
    return 0;
}

int TkPersistentTreeNode::GetValue(const std::string& key, std::string& value,
                                   const std::string& defaultValue) {
    value = defaultValue;
    const TkPersTreeNodeKeyValuePair* pair = FindPair(key);
    if (!pair) return kNoValue;
    value = pair->value;
    return 0;
}

int TkPersistentTreeNode::GetIntValue(const std::string& key, i32& value, i32 defaultValue) {
    value = defaultValue;
    std::string text;
    const int error = GetValue(key, text, "");
    if (error == 0) value = ParseInt(text);
    return error;
}

int TkPersistentTreeNode::GetIntValue(const std::string& key, u32& value, u32 defaultValue) {
    i32 signedValue = 0;
    const int error = GetIntValue(key, signedValue, i32(defaultValue));
    value = u32(signedValue);
    return error;
}

int TkPersistentTreeNode::GetBoolValue(const std::string& key, bool& value, bool defaultValue) {
    value = defaultValue;
    std::string text;
    const int error = GetValue(key, text, "");
    if (error != 0) return error;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char letter) { return char(std::toupper(letter)); });
    value = text == "TRUE";
    return 0;
}

int TkPersistentTreeNode::GetBinaryValue(const std::string& key, std::unique_ptr<u8[]>* data, u32* count) {
    if (!data || !count) return kNoBuffer;
    std::string letters;
    if (const int error = JoinBinaryValue(key, letters); error != 0) return error;
    std::vector<u8> bytes = DecodeBinary(letters);
    if (bytes.empty()) return kOtherFailure;
    *data = std::make_unique<u8[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data->get());
    *count = u32(bytes.size());
    return 0;
}

std::string TkPersistentTreeNode::EncodeBinary(const u8* data, u32 count) {
    std::string letters;
    if (!data) return letters;
    letters.reserve(size_t(count) * 2);
    for (u32 i = 0; i < count; ++i) {
        letters += char('A' + (data[i] & 0x0F));
        letters += char('A' + (data[i] >> 4));
    }
    return letters;
}

// Letters outside A to P are no fault of the reader's: they give their value modulo 256.
std::vector<u8> TkPersistentTreeNode::DecodeBinary(const std::string& letters) {
    std::vector<u8> bytes(letters.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int low = static_cast<unsigned char>(letters[2 * i]) - 'A';
        const int high = static_cast<unsigned char>(letters[2 * i + 1]) - 'A';
        bytes[i] = u8(unsigned(high * 16 + low) & 0xFF);
    }
    return bytes;
}

int TkPersistentTreeNode::Save(TkPTNStrategy* strategy) {
    if (!m_Created || !strategy) return 0;
    TkPTNStrategy::SaveScope scope(*strategy);
    if (!scope.Writable()) return scope.Finish(false) ? 1 : 0;
    const std::vector<std::string> path = GetPathNames();
    strategy->ClearNode(path);
    for (const auto& pair : m_Pairs) {
        if (!strategy->WriteValue(path, pair->key, pair->value)) scope.Fail();
    }
    if (!strategy->WriteChildList(path, GetChildNames())) scope.Fail();
    bool saved = true;
    for (TkPersistentTreeNode* child : std::vector<TkPersistentTreeNode*>(m_Children))
        saved = child->Save(strategy) == 1 && saved;
    return scope.Finish(saved) ? 1 : 0;
}

int TkPersistentTreeNode::Load(TkPTNStrategy* strategy) {
    if (!m_Created || !strategy) return 0;
    TkPTNStrategy::LoadScope scope(*strategy);
    if (!scope.Allowed()) return 0;
    const std::vector<std::string> path = GetPathNames();
    std::vector<std::string> childNames;
    std::vector<std::string> keys;
    std::vector<std::string> values;
    if (!strategy->ReadNode(path, childNames, keys, values)) return 0;
    for (size_t i = 0; i < keys.size() && i < values.size(); ++i)
        SetValue(keys[i], values[i], true);
    for (const auto& name : childNames) {
        if (scope.Exhausted()) break;
        if (TkPersistentTreeNode* child = m_Factory.CreateNode(name, this)) child->Load(strategy);
    }
    return 1;
}

TkPersistentTreeNode* TkPersistentTreeNode::FindChild(const std::string& name) const {
    if (name.empty()) return nullptr;
    auto found = std::find_if(m_Children.begin(), m_Children.end(),
                              [&](const TkPersistentTreeNode* child) { return child->m_Name == name; });
    return found == m_Children.end() ? nullptr : *found;
}

TkPersistentTreeNode::TkPersTreeNodeKeyValuePair*
TkPersistentTreeNode::FindPair(const std::string& key) const {
    if (key.empty()) return nullptr;
    auto found =
        std::find_if(m_Pairs.begin(), m_Pairs.end(), [&](const auto& pair) { return pair->key == key; });
    return found == m_Pairs.end() ? nullptr : found->get();
}

std::vector<std::string> TkPersistentTreeNode::GetPathNames() const {
    std::vector<std::string> names;
    for (const TkPersistentTreeNode* node = this; node; node = node->m_Parent)
        names.push_back(node->m_Name);
    return names;
}

std::vector<std::string> TkPersistentTreeNode::GetChildNames() const {
    std::vector<std::string> names;
    names.reserve(m_Children.size());
    for (const TkPersistentTreeNode* child : m_Children)
        names.push_back(child->m_Name);
    return names;
}

bool TkPersistentTreeNode::GetNextPair(size_t& position, std::string& key, std::string& value) const {
    if (position >= m_Pairs.size()) return false;
    key = m_Pairs[position]->key;
    value = m_Pairs[position]->value;
    ++position;
    return true;
}

} // namespace vq
