#pragma once

#include "platform/gui/DialogManager.h"
#include "platform/gui/MessageBox.h"
#include "platform/registry/Registry.h"
#include "shell/CDlg_DBPathName.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace vq::test {

// Message boxes answer OK and are remembered.
class RecordingMessageBoxes : public MessageBoxProvider {
public:
    int Show(HWND, const std::string& text, const std::string&, UINT) override {
        texts.push_back(text);
        return IDOK;
    }
    std::vector<std::string> texts;
};

// A fresh user: settings, data folder and a program folder holding the database template, all
// in a temporary folder; the selection dialog answers from `answers` and records what it showed.
class ShellFixture : public testing::Test {
protected:
    struct Answer {
        int result;
        std::string path; // empty: keep the path shown
    };

    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", m_Dir.File("config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", m_Dir.File("data").c_str(), 1);
        SetUserRegistryFolder(std::nullopt);
        std::filesystem::create_directories(ProgramFolder());
        std::filesystem::copy_file(vq::test::TestPath("VQ_CONFIG_TEMPLATE"), ProgramFolder() + "/VorquelIP.tpl");
        m_PreviousBoxes = SetMessageBoxProvider(&m_Boxes);
        CDlg_DBPathName::SetScript([this](CDlg_DBPathName& dialog) {
            m_Shown.push_back(dialog.m_PathName);
            if (m_Answers.empty()) return 2;
            Answer answer = m_Answers.front();
            m_Answers.erase(m_Answers.begin());
            if (!answer.path.empty()) dialog.m_PathName = answer.path;
            return answer.result;
        });
    }

    void TearDown() override {
        CDlg_DBPathName::SetScript({});
        SetMessageBoxProvider(m_PreviousBoxes);
        SetUserRegistryFolder(m_Dir.File("discarded"));
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DATA_HOME");
    }

    std::string ProgramFolder() const { return m_Dir.File("program"); }
    std::string DataFolder() const { return m_Dir.File("data") + "/vorquel"; }
    // A valid configuration database: a copy of the template.
    void MakeDatabase(const std::string& path) const {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(vq::test::TestPath("VQ_CONFIG_TEMPLATE"), path);
    }

    TempDir m_Dir;
    RecordingMessageBoxes m_Boxes;
    MessageBoxProvider* m_PreviousBoxes = nullptr;
    std::vector<Answer> m_Answers;
    std::vector<std::string> m_Shown;
};

} // namespace vq::test
