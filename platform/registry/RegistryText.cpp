#include "platform/registry/RegistryTree.h"

#include <charconv>
#include <strings.h>

namespace vq {

namespace {

constexpr const char* kHeader = "vorquel-registry 1";

void AppendQuoted(std::string& out, const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += char(c);
        }
    }
    out += '"';
}

bool IsPlainString(const RegistryValue& value) {
    if (value.type != 1 && value.type != 2) return false;
    if (value.data.empty() || value.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i)
        if (value.data[i] == 0) return false;
    return true;
}

void AppendValue(std::string& out, const RegistryValue& value) {
    static const char digits[] = "0123456789abcdef";
    out += "value ";
    AppendQuoted(out, value.name);
    out += ' ';
    out += std::to_string(value.type);
    out += ' ';
    if (IsPlainString(value)) {
        AppendQuoted(out, std::string(value.data.begin(), value.data.end() - 1));
    } else {
        out += "hex:";
        for (uint8_t byte : value.data) {
            out += digits[byte >> 4];
            out += digits[byte & 15];
        }
    }
    out += '\n';
}

void AppendKey(std::string& out, const RegistryNode& node, const std::string& path) {
    out += "key ";
    AppendQuoted(out, path);
    out += " class ";
    AppendQuoted(out, node.className);
    out += " time " + std::to_string(node.lastWrite) + '\n';
    for (const auto& value : node.values)
        AppendValue(out, value);
    for (const auto& child : node.children)
        AppendKey(out, *child, path + '\\' + child->name);
}

// Reads the line's words one at a time; a quoted word may hold any byte through its escapes.
class LineReader {
public:
    explicit LineReader(const std::string& line) : m_Line(line) {}

    bool Word(std::string& word) {
        SkipBlanks();
        size_t start = m_Position;
        while (m_Position < m_Line.size() && m_Line[m_Position] != ' ')
            ++m_Position;
        word = m_Line.substr(start, m_Position - start);
        return !word.empty();
    }
    bool Quoted(std::string& text) {
        SkipBlanks();
        if (m_Position >= m_Line.size() || m_Line[m_Position] != '"') return false;
        text.clear();
        for (++m_Position; m_Position < m_Line.size(); ++m_Position) {
            char c = m_Line[m_Position];
            if (c == '"') {
                ++m_Position;
                return true;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (++m_Position >= m_Line.size()) return false;
            char escaped = m_Line[m_Position];
            if (escaped == '"' || escaped == '\\') {
                text += escaped;
            } else if (escaped == 'x' && m_Position + 2 < m_Line.size()) {
                unsigned byte = 0;
                auto [end, error] =
                    std::from_chars(&m_Line[m_Position + 1], &m_Line[m_Position + 3], byte, 16);
                if (error != std::errc() || end != &m_Line[m_Position + 3]) return false;
                text += char(byte);
                m_Position += 2;
            } else {
                return false;
            }
        }
        return false;
    }
    template <typename Number> bool Decimal(Number& number) {
        std::string word;
        if (!Word(word)) return false;
        auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
        return error == std::errc() && end == word.data() + word.size();
    }
    bool AtEnd() {
        SkipBlanks();
        return m_Position == m_Line.size();
    }
    bool PeekQuote() {
        SkipBlanks();
        return m_Position < m_Line.size() && m_Line[m_Position] == '"';
    }

private:
    void SkipBlanks() {
        while (m_Position < m_Line.size() && m_Line[m_Position] == ' ')
            ++m_Position;
    }
    const std::string& m_Line;
    size_t m_Position = 0;
};

bool ParseHex(const std::string& word, std::vector<uint8_t>& bytes) {
    if (!word.starts_with("hex:") || word.size() % 2 != 0) return false;
    bytes.clear();
    for (size_t i = 4; i < word.size(); i += 2) {
        uint8_t byte = 0;
        auto [end, error] = std::from_chars(word.data() + i, word.data() + i + 2, byte, 16);
        if (error != std::errc() || end != word.data() + i + 2) return false;
        bytes.push_back(byte);
    }
    return true;
}

// A key line names a path below the root whose every part but the last already exists, so the
// file's order is the tree's creation order and each key appears once.
RegistryNode* ParseKey(LineReader& reader, RegistryNode& root) {
    std::string path, className, word;
    uint64_t time = 0;
    if (!reader.Quoted(path) || !reader.Word(word) || word != "class" || !reader.Quoted(className) ||
        !reader.Word(word) || word != "time" || !reader.Decimal(time) || !reader.AtEnd())
        return nullptr;
    RegistryNode* node = &root;
    size_t start = 0;
    while (true) {
        size_t end = path.find('\\', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty()) return nullptr;
        if (end == std::string::npos) {
            if (node->Find(part)) return nullptr;
            node = &node->Add(part);
            break;
        }
        node = node->Find(part);
        if (!node) return nullptr;
        start = end + 1;
    }
    node->className = className;
    node->lastWrite = time;
    return node;
}

bool ParseValue(LineReader& reader, RegistryNode& key) {
    RegistryValue value;
    if (!reader.Quoted(value.name) || !reader.Decimal(value.type) || key.Value(value.name)) return false;
    if (reader.PeekQuote()) {
        std::string text;
        if (!reader.Quoted(text) || (value.type != 1 && value.type != 2)) return false;
        if (text.find('\0') != std::string::npos) return false;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
    } else {
        std::string word;
        if (!reader.Word(word) || !ParseHex(word, value.data)) return false;
    }
    if (!reader.AtEnd()) return false;
    key.values.push_back(std::move(value));
    return true;
}

} // namespace

RegistryNode* RegistryNode::Find(const std::string& childName) const {
    for (const auto& child : children)
        if (strcasecmp(child->name.c_str(), childName.c_str()) == 0) return child.get();
    return nullptr;
}

RegistryNode& RegistryNode::Add(const std::string& childName) {
    if (RegistryNode* found = Find(childName)) return *found;
    children.push_back(std::make_shared<RegistryNode>());
    children.back()->name = childName;
    children.back()->parent = this;
    return *children.back();
}

RegistryValue* RegistryNode::Value(const std::string& valueName) {
    for (auto& value : values)
        if (strcasecmp(value.name.c_str(), valueName.c_str()) == 0) return &value;
    return nullptr;
}

std::string FormatRegistryText(const RegistryNode& root) {
    std::string out = std::string(kHeader) + '\n';
    for (const auto& value : root.values)
        AppendValue(out, value);
    for (const auto& child : root.children)
        AppendKey(out, *child, child->name);
    return out;
}

RegistryText ParseRegistryText(const std::string& text) {
    RegistryText result;
    result.root = std::make_shared<RegistryNode>();
    RegistryNode* key = result.root.get();
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            first = false;
            if (line != kHeader) {
                result.badLine = line;
                return result;
            }
            continue;
        }
        if (line.empty()) continue;
        LineReader reader(line);
        std::string word;
        reader.Word(word);
        bool good = false;
        if (word == "key") {
            key = ParseKey(reader, *result.root);
            good = key != nullptr;
        } else if (word == "value") {
            good = ParseValue(reader, *key);
        }
        if (!good) {
            result.badLine = line;
            return result;
        }
    }
    return result;
}

} // namespace vq
