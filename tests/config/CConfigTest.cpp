#include "config/CConfig.h"

#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgOstrelix.h"
#include "platform/db/Database.h"
#include "tests/config/ConfigFixture.h"
#include "tests/support/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace vq {
namespace {

std::string Shell(const std::string& database, const std::string& sql) {
    std::string command = "sqlite3 '" + database + "' \"" + sql + "\"";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    char buffer[4096];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, count);
    return output;
}

TEST(ConfigTemplateTest, TemplateHoldsEveryTableInItsStoredLayout) {
    ASSERT_GT(fs::file_size(kTemplate), 10'000u);
    EXPECT_EQ(Shell(kTemplate, "PRAGMA integrity_check"), "ok\n");
    EXPECT_EQ(Shell(kTemplate, "PRAGMA journal_mode"), "delete\n");
    struct Case {
        const char* table;
        int columns;
        const char* column1;
    };
    const Case cases[] = {
        {"CFGOSTRELIX", 31, "DBVersion"},       {"CFGREPORT", 11, "REPORTNAME"},
        {"CFGDEVICE", 18, "DEVName"},           {"CFGCLASS", 6, "CLASSNAME"},
        {"CFGCLASSEVENT", 31, "CLASSNAME"},     {"CFGDEVICEEVENT", 31, "DEVICENAME"},
        {"CFGNETWORKEVENT", 31, "NETWORKNAME"}, {"CFGNETWORK", 14, "NETWORKNAME"},
        {"CFGLOGGROUP", 3, "LOGGROUP_NAME"},    {"CFGLOGGROUP_LEVEL", 21, "LOGGROUPNAME"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        std::string table = c.table;
        EXPECT_EQ(Shell(kTemplate, "SELECT count(*) FROM pragma_table_info('" + table + "')"),
                  std::to_string(c.columns) + "\n");
        EXPECT_EQ(Shell(kTemplate, "SELECT name FROM pragma_table_info('" + table + "') WHERE cid < 2"),
                  "ID\n" + std::string(c.column1) + "\n");
    }
}

TEST_F(CConfigTest, CreateDatabaseCopiesTheTemplateUnderTheConfigName) {
    ASSERT_TRUE(m_Config.CreateDatabase(m_Dir.Path().string(), "net"));
    EXPECT_EQ(test::ReadFile(m_Path), test::ReadFile(kTemplate));
    ASSERT_TRUE(m_Config.CreateDatabase(m_Dir.Path().string(), "other.vqd"));
    EXPECT_TRUE(fs::exists(m_Dir.File("other.vqd")));
    ASSERT_TRUE(m_Config.CreateDatabase(m_Dir.Path().string() + "/", "net.old"));
    EXPECT_TRUE(fs::exists(m_Dir.File("net.old.vqd")));
    EXPECT_TRUE(m_Messages.empty());
    EXPECT_TRUE(TempFilesLeft().empty());

    int file = ::open(m_Path.c_str(), O_RDONLY);
    EXPECT_TRUE(m_Config.CheckDatabaseFile(file));
    ::close(file);
    ASSERT_TRUE(m_Config.Open(m_Path, m_Dir.Path().string()));
    auto root = m_Config.LoadRoot();
    ASSERT_NE(root, nullptr) << m_Config.TakeLastError();
    EXPECT_EQ(root->GetDbVersion(), "DBV2.0a");
}

TEST_F(CConfigTest, CreateDatabaseLeavesAnExistingFileUntouched) {
    test::WriteFile(m_Path, "precious");
    fs::permissions(m_Path, fs::perms::none);
    EXPECT_FALSE(m_Config.CreateDatabase(m_Dir.Path().string(), "net.vqd"));
    fs::permissions(m_Path, fs::perms::owner_read);
    EXPECT_EQ(test::ReadFile(m_Path), "precious");
    EXPECT_EQ(m_Messages, std::vector<std::string>{"Database already exists."});
    EXPECT_TRUE(TempFilesLeft().empty());
}

TEST_F(CConfigTest, CreateDatabaseFailuresLeaveNoFile) {
    CConfig noTemplate{{}, [this](const std::string& text) { m_Messages.push_back(text); }};
    noTemplate.SetProgramFolder(m_Dir.File("nowhere"));
    EXPECT_FALSE(noTemplate.CreateDatabase(m_Dir.Path().string(), "net"));
    EXPECT_FALSE(m_Config.CreateDatabase(m_Dir.File("nowhere"), "net"));
    EXPECT_EQ(m_Messages, (std::vector<std::string>{"Error accessing configuration database template.  - 2",
                                                    "Error creating new configuration database. - 2"}));
    EXPECT_FALSE(fs::exists(m_Path));

    // A file-size limit below the template's size makes the copy fail after its first block.
    test::RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{20'000, 20'000};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        m_Messages.clear();
        EXPECT_FALSE(m_Config.CreateDatabase(m_Dir.Path().string(), "net"));
        EXPECT_EQ(m_Messages, std::vector<std::string>{"Error creating new configuration database. - 13"});
    });
    EXPECT_FALSE(fs::exists(m_Path));
    EXPECT_TRUE(TempFilesLeft().empty());

    fs::permissions(m_Dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    test::RunInChild([&] {
        test::BecomeUnprivileged();
        m_Messages.clear();
        EXPECT_FALSE(m_Config.CreateDatabase(m_Dir.Path().string(), "net"));
        EXPECT_EQ(m_Messages, std::vector<std::string>{"Error creating new configuration database. - 5"});
    });
    EXPECT_TRUE(fs::is_empty(m_Dir.Path()));
}

TEST_F(CConfigTest, OpenRefusesWhatIsNotAConfigurationDatabase) {
    EXPECT_FALSE(m_Config.Open("", m_Dir.Path().string()));
    EXPECT_EQ(m_Config.TakeLastError(), "");

    EXPECT_FALSE(m_Config.Open(m_Path, m_Dir.Path().string()));
    EXPECT_NE(m_Config.TakeLastError().find("No such file"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_Path));

    std::string junk(20'000, '\0');
    std::mt19937 random(5);
    for (auto& byte : junk)
        byte = static_cast<char>(random());
    test::WriteFile(m_Path, junk);
    int file = ::open(m_Path.c_str(), O_RDONLY);
    EXPECT_FALSE(m_Config.CheckDatabaseFile(file));
    ::close(file);
    EXPECT_FALSE(m_Config.Open(m_Path, m_Dir.Path().string()));
    EXPECT_NE(m_Config.TakeLastError().find("file is not a database"), std::string::npos);
    EXPECT_EQ(m_Config.TakeLastError(), "");

    test::WriteFile(m_Path, test::ReadFile(kTemplate).substr(0, 9'999));
    file = ::open(m_Path.c_str(), O_RDONLY);
    EXPECT_FALSE(m_Config.CheckDatabaseFile(file));
    ::close(file);

    CfgList<CCfgLogGroup> groups;
    EXPECT_FALSE(m_Config.LoadLogGroups(groups));
    EXPECT_EQ(m_Config.TakeLastError(), "No configuration database is open.");
}

TEST_F(CConfigTest, LogGroupsAndLevelsRoundTrip) {
    OpenNew();
    CCfgLogGroup group;
    group.SetName("Ops/Night 'A' \xc3\xa9");
    group.SetDescription("");
    ASSERT_TRUE(m_Config.SaveLogGroup(group));
    group.SetDescription("second save updates");
    ASSERT_TRUE(m_Config.SaveLogGroup(group));

    CCfgLogGroupLevel level;
    level.SetGroupName(group.GetName());
    level.SetName("Critical");
    level.SetDescription("d");
    level.SetReportEmail(true);
    level.SetEmailAddress("ops@example.org");
    level.SetEmailText("mail text");
    level.SetReportDialog(true);
    level.SetDialogMessage("dialog");
    level.SetDialogType(1);
    level.SetReportMultimedia(true);
    level.SetClip("alarm.wav");
    level.SetReportProgram(true);
    level.SetProgram("/bin/true");
    level.SetProgramParameters("-x");
    level.SetAckRequired(true);
    level.SetAutoAckMinutes(15);
    level.SetInertFlagA(true);
    level.SetInertMinutes(7);
    level.SetInertFlagB(true);
    level.SetResetMinutes(30);
    ASSERT_TRUE(m_Config.SaveLogGroupLevel(level));

    CConfig reader;
    ASSERT_TRUE(reader.Open(m_Path, m_Dir.Path().string()));
    CfgList<CCfgLogGroup> groups;
    groups.push_back(std::make_unique<CCfgLogGroup>());
    ASSERT_TRUE(reader.LoadLogGroups(groups));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[1]->GetName(), group.GetName());
    EXPECT_EQ(groups[1]->GetDescription(), "second save updates");
    EXPECT_FALSE(groups[1]->IsNew());

    CfgList<CCfgLogGroupLevel> levels;
    ASSERT_TRUE(reader.LoadLogGroupLevels(levels));
    ASSERT_EQ(levels.size(), 1u);
    const auto& loaded = *levels[0];
    EXPECT_EQ(loaded.GetGroupName(), group.GetName());
    EXPECT_EQ(loaded.GetName(), "Critical");
    EXPECT_EQ(loaded.GetDescription(), "d");
    EXPECT_TRUE(loaded.GetReportEmail());
    EXPECT_EQ(loaded.GetEmailAddress(), "ops@example.org");
    EXPECT_EQ(loaded.GetEmailText(), "mail text");
    EXPECT_TRUE(loaded.GetReportDialog());
    EXPECT_EQ(loaded.GetDialogMessage(), "dialog");
    EXPECT_EQ(loaded.GetDialogType(), 1);
    EXPECT_TRUE(loaded.GetReportMultimedia());
    EXPECT_EQ(loaded.GetClip(), "alarm.wav");
    EXPECT_TRUE(loaded.GetReportProgram());
    EXPECT_EQ(loaded.GetProgram(), "/bin/true");
    EXPECT_EQ(loaded.GetProgramParameters(), "-x");
    EXPECT_TRUE(loaded.GetAckRequired());
    EXPECT_EQ(loaded.GetAutoAckMinutes(), 15);
    EXPECT_EQ(loaded.GetResetMinutes(), 30);
    EXPECT_FALSE(loaded.IsNew());

    auto row = Raw()->Prepare("SELECT * FROM CFGLOGGROUP_LEVEL");
    ASSERT_TRUE(row.Step());
    EXPECT_EQ(row.GetInt(4), -1);
    EXPECT_EQ(row.GetInt(17), 0);
    EXPECT_EQ(row.GetInt(18), 0);
    EXPECT_EQ(row.GetInt(19), 0);
    EXPECT_EQ(RowCount("CFGLOGGROUP"), 1);
}

TEST_F(CConfigTest, NamesAreValuesMatchedExactly) {
    OpenNew();
    for (const char* name : {"Router", "x' OR '1'='1", "x"}) {
        CCfgLogGroup group;
        group.SetName(name);
        ASSERT_TRUE(m_Config.SaveLogGroup(group));
    }
    CCfgLogGroup lower;
    lower.SetName("router");
    ASSERT_TRUE(m_Config.SaveLogGroup(lower));
    EXPECT_EQ(RowCount("CFGLOGGROUP"), 4);

    CCfgLogGroup quoted;
    quoted.SetName("x' OR '1'='1");
    ASSERT_TRUE(m_Config.DeleteLogGroup(quoted));
    EXPECT_TRUE(m_Config.WaitForExecute(0));
    ASSERT_TRUE(m_Config.DeleteLogGroup(lower));
    ASSERT_TRUE(m_Config.DeleteDevice("nobody's"));
    CfgList<CCfgLogGroup> groups;
    ASSERT_TRUE(m_Config.LoadLogGroups(groups));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0]->GetName(), "Router");
    EXPECT_EQ(groups[1]->GetName(), "x");
}

TEST_F(CConfigTest, WaitForExecuteSeesOnlyAnArmedStatement) {
    OpenNew();
    EXPECT_FALSE(m_Config.WaitForExecute(0));
    ASSERT_TRUE(m_Config.DeleteClass("c"));
    EXPECT_FALSE(m_Config.WaitForExecute(0));
    m_Config.Arm();
    ASSERT_TRUE(m_Config.DeleteClass("c"));
    EXPECT_TRUE(m_Config.WaitForExecute(0));
    EXPECT_FALSE(m_Config.WaitForExecute(0));
}

TEST_F(CConfigTest, ReplacingLevelsIsAllOrNothing) {
    OpenNew();
    auto make = [](const std::string& group, const std::string& name) {
        auto level = std::make_unique<CCfgLogGroupLevel>();
        level->SetGroupName(group);
        level->SetName(name);
        return level;
    };
    CfgList<CCfgLogGroupLevel> old;
    old.push_back(make("G", "old1"));
    old.push_back(make("G", "old2"));
    old.push_back(make("H", "other group"));
    for (const auto& level : old)
        ASSERT_TRUE(m_Config.SaveLogGroupLevel(*level));

    CfgList<CCfgLogGroupLevel> fresh;
    fresh.push_back(make("G", "new1"));
    fresh.push_back(make("K", "carries its own group"));
    fresh.push_back(make("G", "new3"));
    Raw()->Execute("CREATE TRIGGER fail_third BEFORE INSERT ON CFGLOGGROUP_LEVEL "
                   "WHEN (SELECT count(*) FROM CFGLOGGROUP_LEVEL WHERE LevelName LIKE 'new%' OR "
                   "LevelName LIKE 'carries%') = 2 BEGIN SELECT RAISE(ABORT, 'disk on fire'); END");
    EXPECT_EQ(m_Config.ReplaceLogGroupLevels("G", fresh), 0);
    EXPECT_NE(m_Config.TakeLastError().find("disk on fire"), std::string::npos);
    CfgList<CCfgLogGroupLevel> stored;
    ASSERT_TRUE(m_Config.LoadLogGroupLevels(stored));
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0]->GetName(), "old1");
    EXPECT_EQ(stored[1]->GetName(), "old2");

    Raw()->Execute("DROP TRIGGER fail_third");
    EXPECT_EQ(m_Config.ReplaceLogGroupLevels("G", fresh), 3);
    stored.clear();
    ASSERT_TRUE(m_Config.LoadLogGroupLevels(stored));
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0]->GetName(), "other group");
    EXPECT_EQ(stored[2]->GetGroupName(), "K");

    EXPECT_EQ(m_Config.ReplaceLogGroupLevels("G", {}), 0);
    stored.clear();
    ASSERT_TRUE(m_Config.LoadLogGroupLevels(stored));
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1]->GetGroupName(), "K");
}

TEST_F(CConfigTest, ReadOnlyFileRefusesSavesWithAText) {
    OpenNew();
    fs::permissions(m_Dir.Path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    test::RunInChild([&] {
        test::BecomeUnprivileged();
        CConfig config;
        ASSERT_TRUE(config.Open(m_Path, m_Dir.Path().string())) << config.TakeLastError();
        CfgList<CCfgLogGroup> groups;
        EXPECT_TRUE(config.LoadLogGroups(groups));
        CCfgLogGroup group;
        group.SetName("g");
        EXPECT_FALSE(config.SaveLogGroup(group));
        EXPECT_NE(config.TakeLastError().find("readonly"), std::string::npos);
        EXPECT_FALSE(config.DeleteLogGroup(group));
        EXPECT_NE(config.TakeLastError().find("net.vqd"), std::string::npos);
    });
}

} // namespace
} // namespace vq
