#include "platform/res/ResourceCompiler.h"

#include <fstream>
#include <iostream>

// Usage: vq_rc <script.rc> <output.cpp>. A failure prints the script's file and line and leaves no
// output behind, so the build stops there.
int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vq_rc <script.rc> <output.cpp>\n";
        return 2;
    }
    try {
        const auto resources = vq::ResourceCompiler().CompileFile(argv[1]);
        const std::string source = vq::ResourceCompiler::GenerateSource(resources, argv[1]);
        const std::string temporary = std::string(argv[2]) + ".tmp";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << source;
            if (!out) {
                std::cerr << argv[2] << ": cannot write\n";
                return 1;
            }
        }
        if (std::rename(temporary.c_str(), argv[2]) != 0) {
            std::cerr << argv[2] << ": cannot write\n";
            return 1;
        }
    } catch (const vq::ResourceScriptError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
