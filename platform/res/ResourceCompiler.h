#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace vq {

// A resource script that cannot be compiled; the text names the file and line.
class ResourceScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CompiledResource {
    std::uint16_t type = 0;
    std::uint32_t id = 0;
    std::vector<std::uint8_t> bytes;
    // A named resource: its name in capitals, and the name of its type unless it is a bitmap.
    std::string name;
    std::string typeName;
};

// Compiles the subset of the resource script language the program uses: #define and #include of
// headers of definitions, string tables, menus, extended dialogs, accelerators, tool bars, bitmaps, icons and
// cursors, and resources named by a word or a text (`name BITMAP "file"`, `name TYPENAME "file"`,
// the file's bytes). Texts keep their bytes except the escapes \n, \t, \\, \" and "" for a quote; menus and
// dialogs take them as UTF-8 into their UTF-16 templates.
class ResourceCompiler {
public:
    // Throws ResourceScriptError.
    std::vector<CompiledResource> CompileFile(const std::filesystem::path& script);
    std::vector<CompiledResource> CompileText(const std::string& text, const std::string& name,
                                              const std::filesystem::path& folder);

    // The C++ source that registers the resources when the program starts.
    static std::string GenerateSource(const std::vector<CompiledResource>& resources,
                                      const std::string& origin);
};

} // namespace vq
