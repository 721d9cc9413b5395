#include "platform/res/ResourceCompiler.h"

#include "platform/res/Resources.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vq {

namespace {

struct Token {
    enum class Kind { Name, Number, String, Symbol, End };
    Kind kind = Kind::End;
    std::string text;
    std::int64_t number = 0;
    int line = 0;
};

// Style names a script may use without defining them.
const std::map<std::string, std::int64_t>& BuiltInNames() {
    static const std::map<std::string, std::int64_t> names = {
        {"WS_OVERLAPPED", 0},
        {"WS_POPUP", 0x80000000},
        {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000},
        {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000},
        {"WS_CLIPCHILDREN", 0x02000000},
        {"WS_MAXIMIZE", 0x01000000},
        {"WS_CAPTION", 0x00C00000},
        {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000},
        {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000},
        {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000},
        {"WS_EX_DLGMODALFRAME", 0x1},
        {"WS_EX_NOPARENTNOTIFY", 0x4},
        {"WS_EX_TOPMOST", 0x8},
        {"WS_EX_TRANSPARENT", 0x20},
        {"WS_EX_TOOLWINDOW", 0x80},
        {"WS_EX_WINDOWEDGE", 0x100},
        {"WS_EX_CLIENTEDGE", 0x200},
        {"WS_EX_CONTEXTHELP", 0x400},
        {"WS_EX_STATICEDGE", 0x20000},
        {"DS_ABSALIGN", 0x1},
        {"DS_SYSMODAL", 0x2},
        {"DS_SETFONT", 0x40},
        {"DS_MODALFRAME", 0x80},
        {"DS_3DLOOK", 0x4},
        {"DS_FIXEDSYS", 0x8},
        {"DS_NOFAILCREATE", 0x10},
        {"DS_CONTROL", 0x400},
        {"DS_CENTER", 0x800},
        {"DS_CENTERMOUSE", 0x1000},
        {"DS_CONTEXTHELP", 0x2000},
        {"DS_SHELLFONT", 0x48},
        {"ES_LEFT", 0x0},
        {"ES_CENTER", 0x1},
        {"ES_RIGHT", 0x2},
        {"ES_MULTILINE", 0x4},
        {"ES_UPPERCASE", 0x8},
        {"ES_LOWERCASE", 0x10},
        {"ES_PASSWORD", 0x20},
        {"ES_AUTOVSCROLL", 0x40},
        {"ES_AUTOHSCROLL", 0x80},
        {"ES_NOHIDESEL", 0x100},
        {"ES_READONLY", 0x800},
        {"ES_WANTRETURN", 0x1000},
        {"ES_NUMBER", 0x2000},
        {"BS_PUSHBUTTON", 0x0},
        {"BS_DEFPUSHBUTTON", 0x1},
        {"BS_CHECKBOX", 0x2},
        {"BS_AUTOCHECKBOX", 0x3},
        {"BS_RADIOBUTTON", 0x4},
        {"BS_3STATE", 0x5},
        {"BS_AUTO3STATE", 0x6},
        {"BS_GROUPBOX", 0x7},
        {"BS_AUTORADIOBUTTON", 0x9},
        {"BS_OWNERDRAW", 0xB},
        {"BS_LEFTTEXT", 0x20},
        {"BS_BITMAP", 0x80},
        {"BS_FLAT", 0x8000},
        {"SS_LEFT", 0x0},
        {"SS_CENTER", 0x1},
        {"SS_RIGHT", 0x2},
        {"SS_ICON", 0x3},
        {"SS_BLACKRECT", 0x4},
        {"SS_GRAYRECT", 0x5},
        {"SS_WHITERECT", 0x6},
        {"SS_BLACKFRAME", 0x7},
        {"SS_ETCHEDHORZ", 0x10},
        {"SS_ETCHEDVERT", 0x11},
        {"SS_ETCHEDFRAME", 0x12},
        {"SS_BITMAP", 0xE},
        {"SS_NOPREFIX", 0x80},
        {"SS_NOTIFY", 0x100},
        {"SS_CENTERIMAGE", 0x200},
        {"SS_SUNKEN", 0x1000},
        {"LBS_NOTIFY", 0x1},
        {"LBS_SORT", 0x2},
        {"LBS_NOREDRAW", 0x4},
        {"LBS_MULTIPLESEL", 0x8},
        {"LBS_OWNERDRAWFIXED", 0x10},
        {"LBS_OWNERDRAWVARIABLE", 0x20},
        {"LBS_HASSTRINGS", 0x40},
        {"LBS_USETABSTOPS", 0x80},
        {"LBS_NOINTEGRALHEIGHT", 0x100},
        {"LBS_EXTENDEDSEL", 0x800},
        {"LBS_DISABLENOSCROLL", 0x1000},
        {"LBS_STANDARD", 0xA00003},
        {"CBS_SIMPLE", 0x1},
        {"CBS_DROPDOWN", 0x2},
        {"CBS_DROPDOWNLIST", 0x3},
        {"CBS_OWNERDRAWFIXED", 0x10},
        {"CBS_AUTOHSCROLL", 0x40},
        {"CBS_SORT", 0x100},
        {"CBS_HASSTRINGS", 0x200},
        {"CBS_NOINTEGRALHEIGHT", 0x400},
        {"CBS_DISABLENOSCROLL", 0x800},
        {"UDS_SETBUDDYINT", 0x2},
        {"UDS_AUTOBUDDY", 0x10},
        {"UDS_ARROWKEYS", 0x20},
        {"LVS_REPORT", 0x1},
        {"LVS_SINGLESEL", 0x4},
        {"LVS_SHOWSELALWAYS", 0x8},
        {"LVS_SHAREIMAGELISTS", 0x40},
        {"LVS_NOCOLUMNHEADER", 0x4000},
        {"TCS_FOCUSONBUTTONDOWN", 0x1000},
        {"SBS_HORZ", 0x0},
        {"SBS_VERT", 0x1},
        {"IDOK", 1},
        {"IDCANCEL", 2},
        {"IDABORT", 3},
        {"IDRETRY", 4},
        {"IDIGNORE", 5},
        {"IDYES", 6},
        {"IDNO", 7},
        {"IDHELP", 9},
        {"IDC_STATIC", -1},
    };
    return names;
}

// Control classes the templates name by ordinal.
int ClassOrdinal(const std::string& name) {
    static const std::map<std::string, int> ordinals = {{"button", 0x80},    {"edit", 0x81},
                                                        {"static", 0x82},    {"listbox", 0x83},
                                                        {"scrollbar", 0x84}, {"combobox", 0x85}};
    std::string lower;
    for (char c : name)
        lower.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    auto it = ordinals.find(lower);
    return it == ordinals.end() ? 0 : it->second;
}

void AppendUtf16(std::vector<std::uint8_t>& out, char32_t c) {
    auto unit = [&](std::uint16_t u) {
        out.push_back(std::uint8_t(u & 0xFF));
        out.push_back(std::uint8_t(u >> 8));
    };
    if (c >= 0x10000) {
        c -= 0x10000;
        unit(std::uint16_t(0xD800 | (c >> 10)));
        unit(std::uint16_t(0xDC00 | (c & 0x3FF)));
    } else {
        unit(std::uint16_t(c));
    }
}

class Builder {
public:
    std::vector<std::uint8_t> bytes;
    void Word(std::int64_t v) {
        bytes.push_back(std::uint8_t(v & 0xFF));
        bytes.push_back(std::uint8_t(v >> 8 & 0xFF));
    }
    void Dword(std::int64_t v) {
        Word(v & 0xFFFF);
        Word(v >> 16 & 0xFFFF);
    }
    void Byte(std::int64_t v) { bytes.push_back(std::uint8_t(v)); }
    void Align4() {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
    // UTF-8 as written in the script to a zero-ended UTF-16 string; other bytes as Latin-1.
    void Text(const std::string& text) {
        for (std::size_t i = 0; i < text.size();) {
            const auto b = static_cast<unsigned char>(text[i]);
            const int length = b < 0x80             ? 1
                               : (b & 0xE0) == 0xC0 ? 2
                               : (b & 0xF0) == 0xE0 ? 3
                               : (b & 0xF8) == 0xF0 ? 4
                                                    : 0;
            char32_t c = length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
            bool valid = length > 1 && i + std::size_t(length) <= text.size();
            for (int k = 1; valid && k < length; ++k) {
                const auto t = static_cast<unsigned char>(text[i + std::size_t(k)]);
                valid = (t & 0xC0) == 0x80;
                c = c << 6 | (t & 0x3F);
            }
            if (length == 1 || !valid) {
                AppendUtf16(bytes, b);
                ++i;
            } else {
                AppendUtf16(bytes, c);
                i += std::size_t(length);
            }
        }
        Word(0);
    }
};

class Parser {
public:
    Parser(std::string text, std::string name, std::filesystem::path folder)
        : text_(std::move(text)), name_(std::move(name)), folder_(std::move(folder)) {}

    std::vector<CompiledResource> Run() {
        Advance();
        while (current_.kind != Token::Kind::End)
            Statement();
        return std::move(resources_);
    }

private:
    [[noreturn]] void Fail(const std::string& what, int line) const {
        throw ResourceScriptError(name_ + ":" + std::to_string(line) + ": " + what);
    }
    [[noreturn]] void Fail(const std::string& what) const { Fail(what, current_.line); }

    // ---- Lexer ----

    void SkipSpaceAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
                lineStart_ = true;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                pos_ = text_.find('\n', pos_);
                if (pos_ == std::string::npos) pos_ = text_.size();
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                const std::size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string::npos) Fail("comment not closed", line_);
                for (std::size_t i = pos_; i < end; ++i)
                    line_ += text_[i] == '\n';
                pos_ = end + 2;
            } else if (c == '#' && lineStart_) {
                Directive();
            } else {
                return;
            }
        }
    }

    std::string RestOfLine() {
        const std::size_t end = std::min(text_.find('\n', pos_), text_.size());
        std::string rest = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (const auto cut = rest.find("//"); cut != std::string::npos) rest.resize(cut);
        return rest;
    }

    // Definitions and the includes that hold them; conditionals on definitions. Everything else
    // the preprocessor would do is not needed by the program's scripts.
    void Directive() {
        ++pos_;
        std::string line = RestOfLine();
        std::istringstream in(line);
        std::string word;
        in >> word;
        const bool active = Active();
        if (word == "ifdef" || word == "ifndef") {
            std::string name;
            in >> name;
            const bool defined = defines_.count(name) != 0;
            conditions_.push_back(word == "ifdef" ? defined : !defined);
        } else if (word == "if") {
            std::string rest;
            std::getline(in, rest);
            const auto first = rest.find_first_not_of(" \t");
            conditions_.push_back(first == std::string::npos || rest.substr(first, 1) != "0");
        } else if (word == "else") {
            if (conditions_.empty()) Fail("#else without #if", line_);
            conditions_.back() = !conditions_.back();
        } else if (word == "endif") {
            if (conditions_.empty()) Fail("#endif without #if", line_);
            conditions_.pop_back();
        } else if (!active) {
            return;
        } else if (word == "define") {
            std::string name;
            in >> name;
            std::string value;
            std::getline(in, value);
            defines_[name] = value;
        } else if (word == "include") {
            std::string rest;
            std::getline(in, rest);
            const auto open = rest.find_first_of("\"<");
            const auto close = rest.find_last_of("\">");
            if (open == std::string::npos || close <= open) Fail("include without a file name", line_);
            Include(rest.substr(open + 1, close - open - 1));
        }
    }

    bool Active() const {
        for (bool c : conditions_)
            if (!c) return false;
        return true;
    }

    // Headers contribute their definitions only.
    void Include(const std::string& file) {
        const std::filesystem::path path = folder_ / file;
        std::ifstream in(path);
        if (!in) return;
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string hash, name;
            words >> hash;
            if (hash == "#define" && (words >> name)) {
                std::string value;
                std::getline(words, value);
                defines_[name] = value;
            }
        }
    }

    void Advance() {
        SkipSpaceAndComments();
        while (pos_ < text_.size() && !Active()) {
            const std::size_t end = text_.find('\n', pos_);
            pos_ = end == std::string::npos ? text_.size() : end;
            SkipSpaceAndComments();
        }
        current_ = Token{};
        current_.line = line_;
        lineStart_ = false;
        if (pos_ >= text_.size()) return;
        const char c = text_[pos_];
        if (c == '"') {
            current_.kind = Token::Kind::String;
            current_.text = StringLiteral();
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            current_.kind = Token::Kind::Number;
            std::size_t used = 0;
            try {
                current_.number = std::stoll(text_.substr(pos_, 24), &used, 0);
            } catch (const std::exception&) {
                Fail("number out of range");
            }
            pos_ += used;
            while (pos_ < text_.size() &&
                   (text_[pos_] == 'L' || text_[pos_] == 'l' || text_[pos_] == 'U' || text_[pos_] == 'u'))
                ++pos_;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            current_.kind = Token::Kind::Name;
            while (pos_ < text_.size() &&
                   (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                current_.text.push_back(text_[pos_++]);
        } else {
            current_.kind = Token::Kind::Symbol;
            current_.text = std::string(1, c);
            ++pos_;
        }
    }

    std::string StringLiteral() {
        std::string out;
        ++pos_;
        while (true) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("string not closed", line_);
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    out.push_back('"');
                    ++pos_;
                    continue;
                }
                return out;
            }
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (pos_ >= text_.size()) Fail("string not closed", line_);
            const char e = text_[pos_++];
            switch (e) {
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'a':
                out.push_back('\b');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '"':
                out.push_back('"');
                break;
            default:
                out.push_back('\\');
                out.push_back(e);
                break;
            }
        }
    }

    // ---- Grammar ----

    bool IsName(const char* word) const {
        return current_.kind == Token::Kind::Name && current_.text == word;
    }
    bool IsSymbol(const char* s) const { return current_.kind == Token::Kind::Symbol && current_.text == s; }
    bool IsBegin() const { return IsName("BEGIN") || IsSymbol("{"); }
    bool IsEnd() const { return IsName("END") || IsSymbol("}"); }

    void ExpectBegin() {
        if (!IsBegin()) Fail("BEGIN expected");
        Advance();
    }

    void SkipComma() {
        if (IsSymbol(",")) Advance();
    }

    std::string ExpectString() {
        if (current_.kind != Token::Kind::String) Fail("text in quotes expected");
        std::string s = current_.text;
        Advance();
        return s;
    }

    std::int64_t ValueOfName(const std::string& name, int depth = 0) {
        if (auto it = defines_.find(name); it != defines_.end()) {
            if (depth > 16) Fail("definition of " + name + " refers to itself");
            return EvaluateDefinition(it->second, name, depth + 1);
        }
        if (auto it = BuiltInNames().find(name); it != BuiltInNames().end()) return it->second;
        Fail("unknown name " + name);
    }

    std::int64_t EvaluateDefinition(const std::string& value, const std::string& name, int depth) {
        std::int64_t result = 0;
        std::string word;
        char op = '|';
        auto apply = [&](std::int64_t v) {
            result = op == '+' ? result + v : op == '-' ? result - v : (result | v);
        };
        for (std::size_t i = 0; i <= value.size(); ++i) {
            const char c = i < value.size() ? value[i] : ' ';
            if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
                word.push_back(c);
                continue;
            }
            if (!word.empty()) {
                if (std::isdigit(static_cast<unsigned char>(word[0]))) {
                    while (!word.empty() && (word.back() == 'L' || word.back() == 'l' || word.back() == 'U' ||
                                             word.back() == 'u'))
                        word.pop_back();
                    try {
                        apply(std::stoll(word, nullptr, 0));
                    } catch (const std::exception&) {
                        Fail("bad value of " + name);
                    }
                } else {
                    apply(ValueOfName(word, depth));
                }
                word.clear();
            }
            if (c == '|' || c == '+' || c == '-') op = c;
        }
        return result;
    }

    std::int64_t Term() {
        if (IsSymbol("(")) {
            Advance();
            const std::int64_t v = Expression();
            if (!IsSymbol(")")) Fail(") expected");
            Advance();
            return v;
        }
        if (IsSymbol("-")) {
            Advance();
            return -Term();
        }
        if (IsSymbol("~")) {
            Advance();
            return ~Term();
        }
        if (current_.kind == Token::Kind::Number) {
            const std::int64_t v = current_.number;
            Advance();
            return v;
        }
        if (current_.kind == Token::Kind::Name) {
            const std::string name = current_.text;
            const int line = current_.line;
            Advance();
            try {
                return ValueOfName(name);
            } catch (const ResourceScriptError&) {
                Fail("unknown name " + name, line);
            }
        }
        Fail("value expected");
    }

    // Values joined by |, + and -; NOT clears the bits of the value after it.
    std::int64_t Expression() {
        std::int64_t v = IsName("NOT") ? 0 : Term();
        while (true) {
            if (IsName("NOT")) {
                Advance();
                v &= ~Term();
            } else if (IsSymbol("|")) {
                Advance();
                if (IsName("NOT")) {
                    Advance();
                    v &= ~Term();
                } else {
                    v |= Term();
                }
            } else if (IsSymbol("+")) {
                Advance();
                v += Term();
            } else if (IsSymbol("-")) {
                Advance();
                v -= Term();
            } else {
                return v;
            }
        }
    }

    bool StartsValue() const {
        return current_.kind == Token::Kind::Number || current_.kind == Token::Kind::Name || IsSymbol("(") ||
               IsSymbol("-") || IsSymbol("~");
    }

    void Add(std::uint16_t type, std::int64_t id, std::vector<std::uint8_t> bytes, int line) {
        if (id < 0 || id > 0xFFFF) Fail("id " + std::to_string(id) + " out of range", line);
        const auto key = std::pair{type, std::uint32_t(id)};
        if (auto it = seen_.find(key); it != seen_.end())
            Fail("duplicate id " + std::to_string(id) + " (first at line " + std::to_string(it->second) + ")",
                 line);
        seen_.emplace(key, line);
        resources_.push_back({type, std::uint32_t(id), std::move(bytes)});
    }

    // Skips the optional memory attributes that may follow a type keyword.
    void SkipAttributes() {
        while (IsName("DISCARDABLE") || IsName("MOVEABLE") || IsName("PURE") || IsName("PRELOAD") ||
               IsName("LOADONCALL") || IsName("FIXED") || IsName("IMPURE"))
            Advance();
    }

    void Statement() {
        if (IsName("STRINGTABLE")) {
            Advance();
            SkipAttributes();
            StringTable();
            return;
        }
        if (IsName("LANGUAGE")) {
            Advance();
            Expression();
            SkipComma();
            Expression();
            return;
        }
        const int line = current_.line;
        if (IsNamedResource()) {
            NamedResource(line);
            return;
        }
        const std::int64_t id = Term();
        if (current_.kind != Token::Kind::Name) Fail("resource type expected");
        const std::string type = current_.text;
        Advance();
        SkipAttributes();
        if (type == "MENU" || type == "MENUEX") {
            Builder b;
            b.Word(0);
            b.Word(0);
            ExpectBegin();
            MenuItems(b);
            Add(RT_MENU, id, std::move(b.bytes), line);
        } else if (type == "DIALOGEX" || type == "DIALOG") {
            Add(RT_DIALOG, id, Dialog(), line);
        } else if (type == "ACCELERATORS") {
            Add(RT_ACCELERATOR, id, Accelerators(), line);
        } else if (type == "TOOLBAR") {
            Add(RT_TOOLBAR, id, ToolBar(), line);
        } else if (type == "BITMAP") {
            Add(RT_BITMAP, id, BitmapFile(ExpectString(), line), line);
        } else if (type == "ICON") {
            Add(RT_ICON, id, FileBytes(ExpectString(), line), line);
        } else if (type == "CURSOR") {
            Add(RT_CURSOR, id, FileBytes(ExpectString(), line), line);
        } else {
            Fail("resource type " + type + " not supported", line);
        }
    }

    // A resource named by a word no #define gives a value, or by a quoted text.
    bool IsNamedResource() const {
        if (current_.kind == Token::Kind::String) return true;
        return current_.kind == Token::Kind::Name && defines_.count(current_.text) == 0;
    }

    // `name BITMAP "file"` or `name TYPENAME "file"`: the file's bytes under the name (a named
    // bitmap as a packed DIB).
    void NamedResource(int line) {
        std::string name = current_.text;
        Advance();
        if (current_.kind != Token::Kind::Name) Fail("resource type expected");
        const std::string type = current_.text;
        Advance();
        SkipAttributes();
        CompiledResource resource;
        resource.name = UpperCase(name);
        if (type == "BITMAP") {
            resource.type = RT_BITMAP;
            resource.bytes = BitmapFile(ExpectString(), line);
        } else {
            resource.typeName = UpperCase(type);
            resource.bytes = FileBytes(ExpectString(), line);
        }
        const std::string key = resource.typeName + "/" + std::to_string(resource.type) + "/" + resource.name;
        if (auto it = seenNames_.find(key); it != seenNames_.end())
            Fail("duplicate resource " + name + " (first at line " + std::to_string(it->second) + ")", line);
        seenNames_.emplace(key, line);
        resources_.push_back(std::move(resource));
    }

    static std::string UpperCase(std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    void StringTable() {
        ExpectBegin();
        while (!IsEnd()) {
            if (current_.kind == Token::Kind::End) Fail("END of string table expected");
            const int line = current_.line;
            const std::int64_t id = Expression();
            SkipComma();
            const std::string text = ExpectString();
            Add(RT_STRING, id, std::vector<std::uint8_t>(text.begin(), text.end()), line);
        }
        Advance();
    }

    std::uint16_t MenuOptions() {
        std::uint16_t flags = 0;
        while (true) {
            SkipComma();
            if (IsName("GRAYED"))
                flags |= MF_GRAYED;
            else if (IsName("INACTIVE"))
                flags |= MF_DISABLED;
            else if (IsName("CHECKED"))
                flags |= MF_CHECKED;
            else if (IsName("MENUBARBREAK"))
                flags |= MF_MENUBARBREAK;
            else if (IsName("MENUBREAK"))
                flags |= MF_MENUBREAK;
            else if (IsName("HELP"))
                flags |= MF_HELP;
            else
                return flags;
            Advance();
        }
    }

    // Items up to END; the last one of the level is marked.
    void MenuItems(Builder& b) {
        std::size_t last = std::string::npos;
        while (!IsEnd()) {
            if (current_.kind == Token::Kind::End) Fail("END of menu expected");
            last = b.bytes.size();
            if (IsName("POPUP")) {
                Advance();
                const std::string text = ExpectString();
                b.Word(MF_POPUP | MenuOptions());
                b.Text(text);
                ExpectBegin();
                MenuItems(b);
            } else if (IsName("MENUITEM")) {
                Advance();
                if (IsName("SEPARATOR")) {
                    Advance();
                    b.Word(0);
                    b.Word(0);
                    b.Text("");
                    continue;
                }
                const std::string text = ExpectString();
                SkipComma();
                const std::int64_t id = Expression();
                b.Word(MenuOptions());
                b.Word(id);
                b.Text(text);
            } else {
                Fail("POPUP or MENUITEM expected");
            }
        }
        if (last == std::string::npos) Fail("empty menu");
        b.bytes[last] |= MF_END;
        Advance();
    }

    struct Control {
        std::string text;
        std::int64_t id = 0;
        std::string className;
        int ordinal = 0;
        std::int64_t style = 0;
        std::int64_t exStyle = 0;
        std::int64_t x = 0, y = 0, cx = 0, cy = 0;
    };

    std::vector<std::uint8_t> Dialog() {
        const std::int64_t x = Expression();
        SkipComma();
        const std::int64_t y = Expression();
        SkipComma();
        const std::int64_t cx = Expression();
        SkipComma();
        const std::int64_t cy = Expression();
        std::int64_t help = 0;
        if (IsSymbol(",")) {
            Advance();
            help = Expression();
        }
        std::int64_t style = 0x80000000 | 0x00800000 | 0x00080000; // popup, border, system menu
        bool styleGiven = false;
        std::int64_t exStyle = 0;
        std::string caption;
        bool hasCaption = false;
        bool hasFont = false;
        std::int64_t points = 0, weight = 0, italic = 0, charset = 1;
        std::string face;
        while (!IsBegin()) {
            if (IsName("STYLE")) {
                Advance();
                style = Expression();
                styleGiven = true;
            } else if (IsName("EXSTYLE")) {
                Advance();
                exStyle = Expression();
            } else if (IsName("CAPTION")) {
                Advance();
                caption = ExpectString();
                hasCaption = true;
            } else if (IsName("FONT")) {
                Advance();
                points = Expression();
                SkipComma();
                face = ExpectString();
                hasFont = true;
                if (IsSymbol(",")) {
                    Advance();
                    weight = Expression();
                    SkipComma();
                    italic = Expression();
                    SkipComma();
                    charset = Expression();
                }
            } else {
                Fail("dialog option or BEGIN expected");
            }
        }
        (void)styleGiven;
        if (hasCaption) style |= 0x00C00000;
        if (hasFont) style |= DS_SETFONT;
        Advance();
        std::vector<Control> controls;
        while (!IsEnd()) {
            if (current_.kind == Token::Kind::End) Fail("END of dialog expected");
            controls.push_back(DialogControl());
        }
        Advance();

        Builder b;
        b.Word(1);
        b.Word(0xFFFF);
        b.Dword(help);
        b.Dword(exStyle);
        b.Dword(style);
        b.Word(std::int64_t(controls.size()));
        b.Word(x);
        b.Word(y);
        b.Word(cx);
        b.Word(cy);
        b.Word(0); // no menu
        b.Word(0); // the standard dialog class
        b.Text(caption);
        if (hasFont) {
            b.Word(points);
            b.Word(weight);
            b.Byte(italic);
            b.Byte(charset);
            b.Text(face);
        }
        for (const Control& c : controls) {
            b.Align4();
            b.Dword(0);
            b.Dword(c.exStyle);
            b.Dword(c.style);
            b.Word(c.x);
            b.Word(c.y);
            b.Word(c.cx);
            b.Word(c.cy);
            b.Dword(c.id);
            if (c.ordinal) {
                b.Word(0xFFFF);
                b.Word(c.ordinal);
            } else {
                b.Text(c.className);
            }
            b.Text(c.text);
            b.Word(0);
        }
        return std::move(b.bytes);
    }

    void Rectangle(Control& c) {
        c.x = Expression();
        SkipComma();
        c.y = Expression();
        SkipComma();
        c.cx = Expression();
        SkipComma();
        c.cy = Expression();
    }

    // The optional style (added to the statement's own) and extended style at the end. Bits of
    // `kind` name the control's kind: a kind given replaces the statement's own rather than
    // adding to it (a drop-down combo box is not a simple one as well).
    void Styles(Control& c, std::int64_t kind = 0) {
        if (!IsSymbol(",")) return;
        Advance();
        const auto add = [&](std::int64_t extra) {
            if (extra & kind) c.style &= ~kind;
            c.style |= extra;
        };
        if (IsName("NOT")) {
            Advance();
            c.style &= ~Term();
            while (IsSymbol("|")) {
                Advance();
                add(Term());
            }
        } else {
            add(Expression());
        }
        if (IsSymbol(",")) {
            Advance();
            c.exStyle = Expression();
        }
    }

    Control DialogControl() {
        constexpr std::int64_t child = 0x40000000 | 0x10000000; // child, visible
        constexpr std::int64_t tabStop = 0x00010000;
        constexpr std::int64_t group = 0x00020000;
        constexpr std::int64_t border = 0x00800000;
        struct Kind {
            const char* keyword;
            int ordinal;
            std::int64_t style;
            bool hasText;
            std::int64_t kind = 0;
        };
        static const Kind kinds[] = {
            {"LTEXT", 0x82, child | group | 0x0, true},
            {"RTEXT", 0x82, child | group | 0x2, true},
            {"CTEXT", 0x82, child | group | 0x1, true},
            {"PUSHBUTTON", 0x80, child | tabStop, true},
            {"DEFPUSHBUTTON", 0x80, child | tabStop | 0x1, true},
            {"GROUPBOX", 0x80, child | 0x7, true},
            {"CHECKBOX", 0x80, child | tabStop | 0x2, true},
            {"AUTOCHECKBOX", 0x80, child | tabStop | 0x3, true},
            {"RADIOBUTTON", 0x80, child | 0x4, true},
            {"AUTORADIOBUTTON", 0x80, child | 0x9, true},
            {"EDITTEXT", 0x81, child | tabStop | border, false},
            {"LISTBOX", 0x83, child | border | 0x1, false},
            {"COMBOBOX", 0x85, child | tabStop | 0x1, false, 0x3},
            {"SCROLLBAR", 0x84, child, false},
        };
        Control c;
        if (IsName("CONTROL")) {
            Advance();
            c.text = ExpectString();
            SkipComma();
            c.id = Expression();
            SkipComma();
            c.className = ExpectString();
            c.ordinal = ClassOrdinal(c.className);
            SkipComma();
            c.style = child | Expression();
            SkipComma();
            Rectangle(c);
            if (IsSymbol(",")) {
                Advance();
                c.exStyle = Expression();
            }
            return c;
        }
        for (const Kind& k : kinds) {
            if (!IsName(k.keyword)) continue;
            Advance();
            if (k.hasText) {
                c.text = ExpectString();
                SkipComma();
            }
            c.id = Expression();
            SkipComma();
            c.ordinal = k.ordinal;
            c.style = k.style;
            Rectangle(c);
            Styles(c, k.kind);
            return c;
        }
        Fail("dialog control expected");
    }

    // `id TOOLBAR width, height` with BUTTON id and SEPARATOR items: version 1, the image size,
    // the item count and the ids, 0 for a separator, all 16-bit.
    std::vector<std::uint8_t> ToolBar() {
        const std::int64_t width = Expression();
        SkipComma();
        const std::int64_t height = Expression();
        ExpectBegin();
        std::vector<std::int64_t> ids;
        while (!IsEnd()) {
            if (current_.kind == Token::Kind::End) Fail("END of tool bar expected");
            if (IsName("SEPARATOR")) {
                Advance();
                ids.push_back(0);
            } else if (IsName("BUTTON")) {
                Advance();
                const std::int64_t id = Expression();
                if (id <= 0 || id > 0xFFFF) Fail("button id " + std::to_string(id) + " out of range");
                ids.push_back(id);
            } else {
                Fail("BUTTON or SEPARATOR expected");
            }
        }
        Advance();
        Builder b;
        b.Word(1);
        b.Word(width);
        b.Word(height);
        b.Word(std::int64_t(ids.size()));
        for (std::int64_t id : ids)
            b.Word(id);
        return std::move(b.bytes);
    }

    std::vector<std::uint8_t> Accelerators() {
        ExpectBegin();
        Builder b;
        std::size_t last = std::string::npos;
        while (!IsEnd()) {
            if (current_.kind == Token::Kind::End) Fail("END of accelerators expected");
            std::int64_t key = 0;
            std::uint16_t flags = 0;
            if (current_.kind == Token::Kind::String) {
                const std::string k = ExpectString();
                if (k.size() == 2 && k[0] == '^')
                    key = std::toupper(static_cast<unsigned char>(k[1])) - 'A' + 1;
                else if (k.size() == 1)
                    key = static_cast<unsigned char>(k[0]);
                else
                    Fail("accelerator key must be one character or ^ and a letter");
            } else {
                key = Expression();
            }
            SkipComma();
            const std::int64_t id = Expression();
            while (IsSymbol(",")) {
                Advance();
                if (IsName("VIRTKEY"))
                    flags |= FVIRTKEY;
                else if (IsName("ASCII"))
                    flags &= ~FVIRTKEY;
                else if (IsName("NOINVERT"))
                    flags |= FNOINVERT;
                else if (IsName("SHIFT"))
                    flags |= FSHIFT;
                else if (IsName("CONTROL"))
                    flags |= FCONTROL;
                else if (IsName("ALT"))
                    flags |= FALT;
                else
                    Fail("accelerator option expected");
                Advance();
            }
            last = b.bytes.size();
            b.Word(flags);
            b.Word(key);
            b.Word(id);
            b.Word(0);
        }
        if (last != std::string::npos) b.bytes[last] |= 0x80;
        Advance();
        return std::move(b.bytes);
    }

    std::vector<std::uint8_t> FileBytes(const std::string& file, int line) {
        std::ifstream in(folder_ / file, std::ios::binary);
        if (!in) Fail("cannot read " + file, line);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // A bitmap resource is the file without its file header: a packed DIB.
    std::vector<std::uint8_t> BitmapFile(const std::string& file, int line) {
        std::vector<std::uint8_t> bytes = FileBytes(file, line);
        if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M')
            Fail(file + " is not a bitmap file", line);
        return {bytes.begin() + 14, bytes.end()};
    }

    std::string text_;
    std::string name_;
    std::filesystem::path folder_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool lineStart_ = true;
    Token current_;
    std::map<std::string, std::string> defines_;
    std::map<std::string, int> seenNames_;
    std::vector<bool> conditions_;
    std::map<std::pair<std::uint16_t, std::uint32_t>, int> seen_;
    std::vector<CompiledResource> resources_;
};

} // namespace

std::vector<CompiledResource> ResourceCompiler::CompileFile(const std::filesystem::path& script) {
    std::ifstream in(script, std::ios::binary);
    if (!in) throw ResourceScriptError(script.string() + ": cannot read");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return CompileText(text, script.string(), script.parent_path());
}

std::vector<CompiledResource> ResourceCompiler::CompileText(const std::string& text, const std::string& name,
                                                            const std::filesystem::path& folder) {
    return Parser(text, name, folder).Run();
}

namespace {

std::string QuoteLiteral(const std::string& text) {
    std::ostringstream out;
    out << '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", c);
            out << escaped;
        } else {
            out << c;
        }
    }
    out << '"';
    return out.str();
}

} // namespace

std::string ResourceCompiler::GenerateSource(const std::vector<CompiledResource>& resources,
                                             const std::string& origin) {
    std::ostringstream out;
    out << "// Made from " << origin << " by the resource compiler at build time.\n"
        << "#include \"platform/res/Resources.h\"\n\nnamespace {\n";
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const auto& bytes = resources[i].bytes;
        out << "const unsigned char r" << i << "[] = {";
        // An empty text still needs an array to point at.
        if (bytes.empty()) out << "0";
        for (std::size_t k = 0; k < bytes.size(); ++k)
            out << (k % 20 == 0 ? "\n    " : " ") << unsigned(bytes[k]) << ",";
        out << "};\n";
    }
    out << "const vq::ResourceEntry entries[] = {\n";
    for (std::size_t i = 0; i < resources.size(); ++i) {
        out << "    {" << resources[i].type << ", " << resources[i].id << ", r" << i << ", "
            << resources[i].bytes.size();
        // Names and type names are words and quoted texts of the script, kept as C++ literals.
        if (!resources[i].name.empty())
            out << ", " << QuoteLiteral(resources[i].name) << ", " << QuoteLiteral(resources[i].typeName);
        out << "},\n";
    }
    if (resources.empty()) out << "    {0, 0, nullptr, 0},\n";
    out << "};\nconst vq::ResourceRegistration registration(entries);\n} // namespace\n";
    return out.str();
}

} // namespace vq
