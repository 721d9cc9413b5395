#include "platform/registry/PrivateProfile.h"

#include "platform/registry/RegistryTree.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <strings.h>
#include <vector>

namespace vq {

namespace {

constexpr size_t kLargestFile = 16 * 1024 * 1024;
constexpr long kMissing = 2;

std::string Trim(std::string_view text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return std::string(text.substr(start, end - start + 1));
}

bool SameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

// One line as read, with what it means; unreadable lines keep their text and mean nothing.
struct ProfileLine {
    std::string raw;
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string name;
    std::string value;
};

struct ProfileFile {
    std::vector<ProfileLine> lines;

    static ProfileLine Parse(const std::string& raw) {
        ProfileLine line;
        line.raw = raw;
        std::string text =
            Trim(!raw.empty() && raw.back() == '\r' ? std::string_view(raw).substr(0, raw.size() - 1)
                                                    : std::string_view(raw));
        if (text.starts_with('[')) {
            size_t close = text.find(']');
            if (close != std::string::npos) {
                line.kind = ProfileLine::Kind::Section;
                line.name = Trim(std::string_view(text).substr(1, close - 1));
            }
        } else if (!text.starts_with(';') && !text.starts_with('#')) {
            size_t equals = text.find('=');
            if (equals != std::string::npos && equals > 0) {
                line.kind = ProfileLine::Kind::Entry;
                line.name = Trim(std::string_view(text).substr(0, equals));
                line.value = Trim(std::string_view(text).substr(equals + 1));
            }
        }
        return line;
    }

    static std::optional<ProfileFile> Read(const std::string& path) {
        if (auto batched = Batched(path)) return batched;
        std::string text;
        if (ReadWholeFile(path, text) != 0 || text.size() > kLargestFile) return std::nullopt;
        return FromText(text);
    }

    // The file to change: empty when it does not exist yet, none when it exists but cannot be
    // read, so that a write never replaces a file it could not read.
    static std::optional<ProfileFile> ReadForWrite(const std::string& path) {
        if (auto batched = Batched(path)) return batched;
        std::string text;
        const long result = ReadWholeFile(path, text);
        if (result == kMissing) return ProfileFile{};
        if (result != 0 || text.size() > kLargestFile) return std::nullopt;
        return FromText(text);
    }

    static ProfileFile FromText(const std::string& text) {
        ProfileFile file;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            file.lines.push_back(Parse(text.substr(start, end - start)));
            start = end + 1;
        }
        return file;
    }

    std::string Text() const {
        std::string text;
        for (const auto& line : lines)
            text += line.raw + '\n';
        return text;
    }

    bool Write(const std::string& path) const {
        if (KeepInBatch(path, *this)) return true;
        return WriteWholeFile(path, Text(), true) == 0;
    }

    static std::optional<ProfileFile> Batched(const std::string& path);
    static bool KeepInBatch(const std::string& path, const ProfileFile& file);

    // The lines of a section: from its header (or end() when missing) to the next header.
    std::pair<size_t, size_t> Section(const char* name) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind != ProfileLine::Kind::Section || !SameName(lines[i].name, name)) continue;
            size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != ProfileLine::Kind::Section)
                ++end;
            return {i, end};
        }
        return {lines.size(), lines.size()};
    }

    std::optional<size_t> Entry(const char* section, const char* key) const {
        auto [header, end] = Section(section);
        for (size_t i = header + 1; i < end; ++i)
            if (lines[i].kind == ProfileLine::Kind::Entry && SameName(lines[i].name, key)) return i;
        return std::nullopt;
    }
};

// The files with an open write batch: their contents as the batch's writes left them.
struct ProfileBatch {
    ProfileFile file;
    bool changed = false;
};

struct ProfileBatches {
    std::mutex mutex;
    std::map<std::string, ProfileBatch> open;
};

ProfileBatches& Batches() {
    static ProfileBatches batches;
    return batches;
}

// One file named two ways shares one batch.
std::string BatchName(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::absolute(path, ignored).lexically_normal().string();
}

std::optional<ProfileFile> ProfileFile::Batched(const std::string& path) {
    ProfileBatches& batches = Batches();
    std::lock_guard lock(batches.mutex);
    auto found = batches.open.find(BatchName(path));
    if (found == batches.open.end()) return std::nullopt;
    return found->second.file;
}

bool ProfileFile::KeepInBatch(const std::string& path, const ProfileFile& file) {
    ProfileBatches& batches = Batches();
    std::lock_guard lock(batches.mutex);
    auto found = batches.open.find(BatchName(path));
    if (found == batches.open.end()) return false;
    found->second.file = file;
    found->second.changed = true;
    return true;
}

// A line break inside a name or value would make the rest of it a line of its own, which could
// read as another key or section.
bool BreaksLine(const char* text) {
    return text && std::strpbrk(text, "\r\n") != nullptr;
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 &&
        ((value.front() == '"' && value.back() == '"') || (value.front() == '\'' && value.back() == '\'')))
        return value.substr(1, value.size() - 2);
    return value;
}

uint32_t CopyText(const std::string& text, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return 0;
    uint32_t count = uint32_t(std::min<size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = 0;
    return count;
}

// Copies zero-terminated names and a final zero; a list cut to the buffer ends in two zeros.
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return 0;
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    std::string list;
    for (const auto& name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = 0;
        return uint32_t(list.size() == 0 ? 0 : list.size());
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = 0;
    buffer[size - 1] = 0;
    return size - 2;
}

ProfileLine EntryLine(const std::string& key, const std::string& value) {
    return ProfileFile::Parse(key + "=" + value);
}

} // namespace

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const std::string& path) {
    std::optional<ProfileFile> file = ProfileFile::Read(path);
    if (!section || !key) {
        std::vector<std::string> names;
        if (file) {
            auto [header, end] =
                section ? file->Section(section) : std::pair<size_t, size_t>{0, file->lines.size()};
            if (section && header == file->lines.size()) end = header;
            auto wanted = section ? ProfileLine::Kind::Entry : ProfileLine::Kind::Section;
            for (size_t i = section ? header + 1 : 0; i < end; ++i)
                if (file->lines[i].kind == wanted) names.push_back(file->lines[i].name);
        }
        return CopyList(names, buffer, size);
    }
    if (file) {
        if (auto entry = file->Entry(section, key))
            return CopyText(Unquote(file->lines[*entry].value), buffer, size);
    }
    std::string fallback = defaultValue ? defaultValue : "";
    fallback.erase(fallback.find_last_not_of(' ') + 1);
    return CopyText(fallback, buffer, size);
}

uint32_t GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const std::string& path) {
    std::optional<ProfileFile> file = ProfileFile::Read(path);
    if (!file || !section || !key) return uint32_t(defaultValue);
    auto entry = file->Entry(section, key);
    if (!entry) return uint32_t(defaultValue);
    std::string value = Unquote(file->lines[*entry].value);
    bool negative = value.starts_with('-');
    uint32_t number = 0;
    for (size_t i = negative ? 1 : 0; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        number = number * 10 + uint32_t(value[i] - '0');
    return negative ? uint32_t(0) - number : number;
}

uint32_t GetPrivateProfileSection(const char* section, char* buffer, uint32_t size, const std::string& path) {
    std::optional<ProfileFile> file = ProfileFile::Read(path);
    std::vector<std::string> pairs;
    if (file && section) {
        auto [header, end] = file->Section(section);
        for (size_t i = header + 1; i < end; ++i)
            if (file->lines[i].kind == ProfileLine::Kind::Entry)
                pairs.push_back(file->lines[i].name + "=" + file->lines[i].value);
    }
    return CopyList(pairs, buffer, size);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& path) {
    if (!section || BreaksLine(section) || BreaksLine(key) || BreaksLine(value)) return false;
    std::optional<ProfileFile> read = ProfileFile::ReadForWrite(path);
    if (!read) return false;
    ProfileFile& file = *read;
    auto [header, end] = file.Section(section);
    if (!key) {
        if (header == file.lines.size()) return true;
        file.lines.erase(file.lines.begin() + long(header), file.lines.begin() + long(end));
        return file.Write(path);
    }
    std::optional<size_t> entry = file.Entry(section, key);
    if (!value) {
        if (!entry) return true;
        file.lines.erase(file.lines.begin() + long(*entry));
        return file.Write(path);
    }
    if (entry) {
        file.lines[*entry] = EntryLine(file.lines[*entry].name, value);
    } else if (header == file.lines.size()) {
        file.lines.push_back(ProfileFile::Parse(std::string("[") + section + "]"));
        file.lines.push_back(EntryLine(key, value));
    } else {
        // After the section's last entry, so that blank lines and comments stay between sections.
        size_t at = header + 1;
        for (size_t i = header + 1; i < end; ++i)
            if (file.lines[i].kind == ProfileLine::Kind::Entry) at = i + 1;
        file.lines.insert(file.lines.begin() + long(at), EntryLine(key, value));
    }
    return file.Write(path);
}

bool WritePrivateProfileSection(const char* section, const char* pairs, const std::string& path) {
    if (!section || !pairs || BreaksLine(section)) return false;
    std::optional<ProfileFile> read = ProfileFile::ReadForWrite(path);
    if (!read) return false;
    ProfileFile& file = *read;
    std::vector<ProfileLine> entries;
    for (const char* text = pairs; *text; text += std::strlen(text) + 1) {
        if (BreaksLine(text)) return false;
        entries.push_back(ProfileFile::Parse(text));
    }
    auto [header, end] = file.Section(section);
    if (header == file.lines.size()) {
        file.lines.push_back(ProfileFile::Parse(std::string("[") + section + "]"));
        file.lines.insert(file.lines.end(), entries.begin(), entries.end());
    } else {
        std::vector<ProfileLine> kept;
        for (size_t i = header + 1; i < end; ++i)
            if (file.lines[i].kind != ProfileLine::Kind::Entry) kept.push_back(file.lines[i]);
        file.lines.erase(file.lines.begin() + long(header) + 1, file.lines.begin() + long(end));
        entries.insert(entries.end(), kept.begin(), kept.end());
        file.lines.insert(file.lines.begin() + long(header) + 1, entries.begin(), entries.end());
    }
    return file.Write(path);
}

bool BeginPrivateProfileBatch(const std::string& path) {
    std::optional<ProfileFile> file = ProfileFile::ReadForWrite(path);
    ProfileBatches& batches = Batches();
    std::lock_guard lock(batches.mutex);
    if (!file) return false;
    return batches.open.try_emplace(BatchName(path), ProfileBatch{std::move(*file), false}).second;
}

bool CommitPrivateProfileBatch(const std::string& path) {
    ProfileBatch batch;
    {
        ProfileBatches& batches = Batches();
        std::lock_guard lock(batches.mutex);
        auto found = batches.open.find(BatchName(path));
        if (found == batches.open.end()) return false;
        batch = std::move(found->second);
        batches.open.erase(found);
    }
    return !batch.changed || WriteWholeFile(path, batch.file.Text(), true) == 0;
}

void AbandonPrivateProfileBatch(const std::string& path) {
    ProfileBatches& batches = Batches();
    std::lock_guard lock(batches.mutex);
    batches.open.erase(BatchName(path));
}

} // namespace vq
