#include "tests/support/TestPaths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

namespace vq::test {
namespace {

constexpr const char* kListName = "vq-test-paths.txt";

[[noreturn]] void Stop(const std::string& message) {
    std::cerr << message << '\n';
    std::abort();
}

// The list lies at the top of the build folder, some levels above the test program.
std::filesystem::path FindList() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) Stop("cannot find the test program: " + error.message());
    for (auto folder = program.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        const auto candidate = folder / kListName;
        if (std::filesystem::exists(candidate)) return candidate;
        if (folder == folder.root_path()) break;
    }
    Stop(std::string(kListName) + " not found above " + program.string());
}

std::map<std::string, std::string> ReadList() {
    const auto file = FindList();
    std::ifstream in(file);
    std::map<std::string, std::string> paths;
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) paths.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return paths;
}

} // namespace

const std::string& TestPath(const std::string& name) {
    static const std::map<std::string, std::string> paths = ReadList();
    const auto found = paths.find(name);
    if (found == paths.end()) Stop("the build names no test path " + name);
    return found->second;
}

} // namespace vq::test
