#include "shell/COstrelixApp.h"

#include "config/CCfgOstrelix.h"
#include "platform/classlib/CommandLineInfo.h"
#include "platform/gui/DialogManager.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/FileNames.h"
#include "tests/shell/ShellFixture.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace vq {
namespace {

constexpr const char* kSettingsKey =
    "Software\\Vorquel Software\\Vorquel\\Workspace\\v2.01dNetworkMonitor\\Vorquel\\Configuration";

// The value names of the settings key in the order they were first written.
std::vector<std::string> SettingNames() {
    std::vector<std::string> names;
    RegistryKey key = nullptr;
    if (RegOpenKeyEx(kRegistryCurrentUser, kSettingsKey, kKeyRead, &key) != kRegistrySuccess) return names;
    for (uint32_t index = 0;; ++index) {
        char name[256];
        uint32_t size = sizeof name;
        if (RegEnumValue(key, index, name, &size, nullptr, nullptr, nullptr) != kRegistrySuccess) break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

void WriteSetting(const char* name, uint32_t type, const void* data, uint32_t size) {
    RegistryKey key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(kRegistryCurrentUser, kSettingsKey, "", 0, kKeyAllAccess, &key, nullptr),
              kRegistrySuccess);
    RegSetValueEx(key, name, type, static_cast<const uint8_t*>(data), size);
    RegCloseKey(key);
}

void WriteSettingNumber(const char* name, uint32_t value) {
    WriteSetting(name, kRegistryDword, &value, sizeof value);
}

void WriteSettingText(const char* name, const std::string& value) {
    WriteSetting(name, kRegistryString, value.c_str(), uint32_t(value.size() + 1));
}

CCommandLineInfo Word(const std::string& word) {
    CCommandLineInfo info;
    info.m_strFileName = word;
    return info;
}

class SettingsTest : public test::ShellFixture {
protected:
    // Starts as the program would, with `word` on the command line.
    bool Start(const std::string& word, COstrelixApp& app) {
        CCommandLineInfo info = Word(word);
        m_Folder.clear();
        m_Name.clear();
        return app.ReadSettings(info, m_Folder, m_Name);
    }

    std::string m_Folder, m_Name;
};

TEST_F(SettingsTest, FirstStartOffersTheDefaultDatabaseAndWritesSettingsBackInOrder) {
    COstrelixApp app;
    app.SetProgramFolder(ProgramFolder());
    const std::string database = DataFolder() + "/VorquelConfig.vqd";
    m_Answers = {{CDlg_DBPathName::kCreate, ""}};
    ASSERT_TRUE(Start("", app));
    EXPECT_EQ(m_Shown, std::vector<std::string>{database});
    EXPECT_EQ(m_Folder + m_Name, database);
    EXPECT_GE(std::filesystem::file_size(database), 10'000u);
    EXPECT_EQ(app.m_HistoryFolder, DataFolder());
    EXPECT_EQ(app.GetMaxMonitorData(), 8);

    app.GetSystemDoc().SetPath(m_Folder);
    app.GetSystemDoc().SetName(m_Name);
    app.ExitInstance();
    const std::vector<std::string> order{"Path", "Name", "HistoryPath", "HistoryName", "HistoryRestart",
                                         "Use Workspace", "MaxMonitorData", "DisableDNS",
                                         "CheckMACOnlyReporting", "CheckMACOnlyReportingRev"};
    EXPECT_EQ(SettingNames(), order);
}

TEST_F(SettingsTest, HandWrittenValuesReadAsTheProgramMeansThem) {
    const std::string database = DataFolder() + "/Mine.vqd";
    MakeDatabase(database);
    WriteSettingText("Path", DataFolder());
    WriteSettingText("Name", "Mine.vqd");
    WriteSettingNumber("CheckMACOnlyReportingREV", 1);
    WriteSettingNumber("HistoryRestart", 2);
    WriteSettingText("MaxMonitorData", "eight");
    WriteSettingNumber("Use Workspace", 5);
    WriteSettingText("Workspace", "Desk");

    COstrelixApp app;
    ASSERT_TRUE(Start("", app));
    EXPECT_TRUE(m_Shown.empty());
    EXPECT_EQ(m_Folder + "/" + m_Name, database);
    EXPECT_TRUE(app.GetMacOnlyReportingReverse());
    EXPECT_FALSE(app.GetMacOnlyReporting());
    EXPECT_FALSE(app.m_HistoryRestart);
    EXPECT_EQ(app.GetMaxMonitorData(), 8);
    EXPECT_TRUE(app.m_UseWorkspace);
    EXPECT_EQ(app.m_WorkspaceName, "Desk");

    app.GetSystemDoc().SetPath(m_Folder);
    app.GetSystemDoc().SetName(m_Name);
    app.ExitInstance();
    const auto names = SettingNames();
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) { return ::strcasecmp(n.c_str(), "CheckMACOnlyReportingRev") == 0; }),
              1);
    EXPECT_EQ(app.ReadSettingInt("Configuration", "CheckMACOnlyReportingREV", 0), 1);
    EXPECT_EQ(app.ReadSettingInt("Configuration", "HistoryRestart", 7), 0);
    EXPECT_EQ(app.ReadSettingInt("Configuration", "MaxMonitorData", 0), 8);
}

// Each case starts from settings naming a valid "Mine.vqd" in the data folder.
TEST_F(SettingsTest, CommandWordsAndDatabaseFiles) {
    const std::string mine = DataFolder() + "/Mine.vqd";
    MakeDatabase(mine);
    const std::string upper = m_Dir.File("T/Net.vqd");
    MakeDatabase(upper);
    const std::string relative = m_Dir.File("cwd/net.vqd");
    MakeDatabase(relative);
    const std::string shortFile = m_Dir.File("short.vqd");
    test::WriteFile(shortFile, std::string(9'999, 'x'));
    const std::string foreign = m_Dir.File("foreign.vqd");
    const std::string foreignBytes(20'000, 'z');
    test::WriteFile(foreign, foreignBytes);
    const std::string created = m_Dir.File("made/New.vqd");
    std::filesystem::create_directories(m_Dir.File("made"));

    struct Case {
        const char* label;
        std::string word;
        std::vector<Answer> answers;
        bool result;
        std::vector<std::string> shown;
        std::string path; // folder + name after the start
        bool macOnly, reverse;
    };
    const Case cases[] = {
        {"prompt", "prompt", {{IDOK, ""}}, true, {mine}, mine, false, false},
        {"MAC only, reverse", "MacOnlyRev", {}, true, {}, mine, true, true},
        {"MAC only", "MACONLY", {}, true, {}, mine, true, false},
        {"path keeps its case", upper, {}, true, {}, upper, false, false},
        {"relative word", "net", {}, true, {}, relative, false, false},
        {"9,999 bytes", shortFile, {{IDCANCEL, ""}}, false, {shortFile}, "", false, false},
        {"not SQLite", foreign, {{CDlg_DBPathName::kCreate, ""}}, true, {foreign}, foreign, false, false},
        {"create", shortFile, {{CDlg_DBPathName::kCreate, created}}, true, {shortFile}, created, false, false},
        {"OK returns unopened", shortFile, {{IDOK, m_Dir.File("none/x.vqd")}}, true, {shortFile},
         m_Dir.File("none/x.vqd"), false, false},
        {"other results ask again", shortFile, {{3, ""}, {IDCANCEL, ""}}, false, {shortFile, shortFile}, "",
         false, false},
    };
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(m_Dir.File("cwd"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteSettingText("Path", DataFolder());
        WriteSettingText("Name", "Mine.vqd");
        m_Answers = c.answers;
        m_Shown.clear();
        COstrelixApp app;
        app.SetProgramFolder(ProgramFolder());
        EXPECT_EQ(Start(c.word, app), c.result);
        EXPECT_EQ(m_Shown, c.shown);
        if (c.result) {
            EXPECT_EQ(MakeConfigFilePath(m_Folder, m_Name), c.path);
        }
        EXPECT_EQ(app.GetMacOnlyReporting(), c.macOnly);
        EXPECT_EQ(app.GetMacOnlyReportingReverse(), c.reverse);
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(test::ReadFile(foreign), foreignBytes);
    EXPECT_EQ(m_Boxes.texts.size(), 1u) << "only the refused creation over the foreign file speaks";
    EXPECT_GE(std::filesystem::file_size(created), 10'000u);
    EXPECT_FALSE(std::filesystem::exists(m_Dir.File("none/x.vqd")));
}

TEST_F(SettingsTest, RestartScheduleFollowsTheYearOfTheResetTime) {
    struct Case {
        int year, hour, minute;
        bool enabled;
        double periodDays;
    };
    const Case cases[] = {
        {1899, 6, 30, true, (6 * 60 + 30) / 1440.0},
        {1900, 6, 30, true, 0},
        {1910, 6, 30, false, 0},
    };
    COstrelixApp app;
    for (const auto& c : cases) {
        CCfgOstrelix root;
        root.SetMonitorResetTime(OleDateTime(c.year, 12, 30, c.hour, c.minute, 0));
        app.LoadRestartSchedule(root);
        EXPECT_EQ(app.m_RestartEnabled, c.enabled) << c.year;
        if (c.enabled) {
            EXPECT_NEAR(app.m_RestartPeriod.Value(), c.periodDays, 1e-9) << c.year;
        }
    }
}

TEST_F(SettingsTest, LogIntervalFollowsTheFrequencyIndex) {
    COstrelixApp app;
    EXPECT_EQ(app.GetLogInterval(), 300) << "before the configuration is loaded";
    EXPECT_FALSE(app.IsCsvLoggingEnabled());
    app.SetRootRecord(std::make_unique<CCfgOstrelix>());
    const std::pair<int, int> cases[] = {{0, 1}, {5, 300}, {6, 600}, {14, 43200}, {15, 300}, {-1, 300}};
    for (const auto& [index, seconds] : cases) {
        app.GetRootRecord()->SetCsvFrequency(index);
        EXPECT_EQ(app.GetLogInterval(), seconds) << index;
    }
}

TEST_F(SettingsTest, HelpOpensTheTopicPageOfAKnownContext) {
    const std::string help = ProgramFolder() + "/help/";
    std::filesystem::create_directories(help);
    test::WriteFile(help + "index.html", "index");
    test::WriteFile(help + "topic-3.html", "three");
    COstrelixApp app;
    app.SetProgramFolder(ProgramFolder());
    std::vector<std::string> opened;
    app.SetHelpOpener([&](const std::string& page) { opened.push_back(page); });
    app.WinHelp(148, 1);
    app.WinHelp(0x30000 + 148, 1);
    app.WinHelp(9999, 1);
    app.WinHelp(148, 3);
    app.WinHelp(32838, 1); // topic 1 has no page here
    EXPECT_EQ(opened, (std::vector<std::string>{help + "topic-3.html", help + "topic-3.html", help + "index.html",
                                                 help + "index.html", help + "index.html"}));
}

} // namespace
} // namespace vq
