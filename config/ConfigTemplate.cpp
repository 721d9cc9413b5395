// Writes the template that every new configuration database is a byte copy of: the schema and
// the root row, in one self-contained file (rollback journal, no WAL beside it).
// Usage: vq_config_template <schema.sql> <template file>

#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "platform/db/Database.h"
#include "platform/db/StagedFile.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kDbVersion = "DBV2.0a";

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(std::string(path) + ": cannot read");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteTemplate(const char* schemaPath, const char* templatePath) {
    std::string schema = ReadText(schemaPath);
    vq::db::StagedFile staged(templatePath);
    {
        auto database = vq::db::Database::Open(staged.TemporaryPath());
        database->Execute("PRAGMA journal_mode=DELETE");
        database->Execute(schema);
    }
    {
        vq::CConfig config;
        if (!config.Open(staged.TemporaryPath(), "")) throw std::runtime_error(config.TakeLastError());
        vq::CCfgOstrelix root;
        root.SetDbVersion(kDbVersion);
        if (!config.SaveRoot(root)) throw std::runtime_error(config.TakeLastError());
    }
    staged.CommitReplace();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <schema.sql> <template file>\n", argv[0]);
        return 2;
    }
    try {
        WriteTemplate(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
