#pragma once

#include "config/CConfig.h"
#include "platform/db/Database.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vq {

namespace fs = std::filesystem;

const std::string kTemplate = vq::test::TestPath("VQ_CONFIG_TEMPLATE");

class CConfigTest : public ::testing::Test {
protected:
    CConfigTest() {
        m_Config.SetProgramFolder(fs::path(kTemplate).parent_path().string());
        m_Path = m_Dir.File("net.vqd");
    }

    // A new database from the template, opened.
    void OpenNew() {
        ASSERT_TRUE(m_Config.CreateDatabase(m_Dir.Path().string(), "net"));
        ASSERT_TRUE(m_Config.Open(m_Path, m_Dir.Path().string())) << m_Config.TakeLastError();
    }

    std::unique_ptr<db::Database> Raw() { return db::Database::Open(m_Path); }

    int64_t RowCount(const std::string& table) {
        auto statement = Raw()->Prepare("SELECT count(*) FROM " + table);
        statement.Step();
        return statement.GetInt64(0);
    }

    std::vector<std::string> TempFilesLeft() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_Dir.Path()))
            if (entry.path().filename().string().starts_with(".")) names.push_back(entry.path().string());
        return names;
    }

    test::TempDir m_Dir;
    std::vector<std::string> m_Messages;
    CConfig m_Config{{}, [this](const std::string& text) { m_Messages.push_back(text); }};
    std::string m_Path;
};

} // namespace vq
