#include "platform/registry/WriteBatch.h"

#include "platform/registry/PrivateProfile.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTree.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace vq {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Profile(const char* section, const char* key, const std::string& file) {
    char buffer[256];
    uint32_t length = GetPrivateProfileString(section, key, "", buffer, sizeof buffer, file);
    return std::string(buffer, length);
}

std::string UserValue(const std::string& path, const std::string& name) {
    RegistryKey key = nullptr;
    if (RegOpenKeyEx(kRegistryCurrentUser, path, &key) != kRegistrySuccess) return "<no key>";
    char text[64] = {};
    uint32_t size = sizeof text;
    uint32_t type = 0;
    long result = RegQueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(text), &size);
    RegCloseKey(key);
    return result == kRegistrySuccess ? std::string(text) : "<no value>";
}

void SetUserValue(const std::string& path, const std::string& name, const std::string& text) {
    RegistryKey key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(kRegistryCurrentUser, path, "", 0, kKeyAllAccess, &key, nullptr),
              kRegistrySuccess);
    ASSERT_EQ(RegSetValueEx(key, name, kRegistryString, reinterpret_cast<const uint8_t*>(text.c_str()),
                            uint32_t(text.size() + 1)),
              kRegistrySuccess);
    RegCloseKey(key);
}

class WriteBatches : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserRegistryFolder(m_Folder.Path().string());
        WriteFile(m_Ini, "; kept comment\n[Other]\nx=1\n");
        SetUserValue("Software\\Before", "v", "old");
        m_UserBefore = ReadFile(UserRegistryFile());
    }
    void TearDown() override {
        SetWholeFileRenameFailure(0);
        SetUserRegistryFolder(std::nullopt);
    }

    TempDir m_Folder;
    std::string m_Ini = m_Folder.File("work.ini");
    std::string m_UserBefore;
};

TEST_F(WriteBatches, ReadsInsideSeeTheWritesAndAbandoningLeavesBothFilesAsTheyWere) {
    const std::string iniBefore = ReadFile(m_Ini);
    {
        WriteBatch user = WriteBatch::UserRegistry();
        WriteBatch ini = WriteBatch::Profile(m_Ini);
        ASSERT_TRUE(user.IsOpen());
        ASSERT_TRUE(ini.IsOpen());
        EXPECT_FALSE(WriteBatch::Profile(m_Folder.File("./work.ini")).IsOpen()) << "one batch per file";
        EXPECT_FALSE(WriteBatch::UserRegistry().IsOpen());
        SetUserValue("Software\\Before", "v", "new");
        SetUserValue("Software\\Added", "a", "1");
        ASSERT_TRUE(WritePrivateProfileString("Tree", "k", "v", m_Ini));
        EXPECT_EQ(UserValue("Software\\Before", "v"), "new");
        EXPECT_EQ(UserValue("Software\\Added", "a"), "1");
        EXPECT_EQ(Profile("Tree", "k", m_Ini), "v");
        EXPECT_EQ(ReadFile(m_Ini), iniBefore) << "nothing reaches the file before commit";
        EXPECT_EQ(ReadFile(UserRegistryFile()), m_UserBefore);
    }
    EXPECT_EQ(ReadFile(m_Ini), iniBefore);
    EXPECT_EQ(ReadFile(UserRegistryFile()), m_UserBefore);
    EXPECT_EQ(UserValue("Software\\Before", "v"), "old") << "memory goes back with the file";
    EXPECT_EQ(UserValue("Software\\Added", "a"), "<no key>");
    EXPECT_EQ(Profile("Tree", "k", m_Ini), "");
}

TEST_F(WriteBatches, CommitReplacesEachFileOnce) {
    const uint64_t iniWrites = WholeFileWriteCount(m_Ini);
    const uint64_t userWrites = WholeFileWriteCount(UserRegistryFile());
    WriteBatch user = WriteBatch::UserRegistry();
    WriteBatch ini = WriteBatch::Profile(m_Ini);
    for (int i = 0; i < 50; ++i) {
        const std::string name = "k" + std::to_string(i);
        SetUserValue("Software\\Many", name, "x");
        ASSERT_TRUE(WritePrivateProfileString("Tree", name.c_str(), "x", m_Ini));
    }
    EXPECT_TRUE(user.Commit());
    EXPECT_TRUE(ini.Commit());
    EXPECT_EQ(WholeFileWriteCount(m_Ini), iniWrites + 1);
    EXPECT_EQ(WholeFileWriteCount(UserRegistryFile()), userWrites + 1);
    EXPECT_EQ(ReadFile(m_Ini).find("; kept comment\n[Other]\nx=1\n"), 0u);
    EXPECT_NE(ReadFile(m_Ini).find("k49=x"), std::string::npos);
    EXPECT_NE(ReadFile(UserRegistryFile()).find("k49"), std::string::npos);
}

TEST_F(WriteBatches, AFailedCommitLeavesTheFileAndSaysSo) {
    const std::string iniBefore = ReadFile(m_Ini);
    WriteBatch user = WriteBatch::UserRegistry();
    WriteBatch ini = WriteBatch::Profile(m_Ini);
    SetUserValue("Software\\Before", "v", "new");
    ASSERT_TRUE(WritePrivateProfileString("Tree", "k", "v", m_Ini));
    SetWholeFileRenameFailure(kRegistryIoFailed);
    EXPECT_FALSE(user.Commit());
    EXPECT_FALSE(ini.Commit());
    SetWholeFileRenameFailure(0);
    EXPECT_EQ(ReadFile(m_Ini), iniBefore);
    EXPECT_EQ(ReadFile(UserRegistryFile()), m_UserBefore);
    EXPECT_EQ(UserValue("Software\\Before", "v"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Folder.Path()), {}), 2)
        << "no temporary file stays behind";
    EXPECT_TRUE(WriteBatch::Profile(m_Ini).IsOpen()) << "a failed commit closes its batch";
}

TEST_F(WriteBatches, AFileThatCannotGrowKeepsItsOldText) {
    const std::string iniBefore = ReadFile(m_Ini);
    test::RunInChild([&] {
        // A file-size limit fails the write of the temporary file as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        WriteBatch user = WriteBatch::UserRegistry();
        WriteBatch ini = WriteBatch::Profile(m_Ini);
        const std::string big(8192, 'x');
        SetUserValue("Software\\Big", "v", big);
        ASSERT_TRUE(WritePrivateProfileString("Tree", "k", big.c_str(), m_Ini));
        EXPECT_FALSE(user.Commit());
        EXPECT_FALSE(ini.Commit());
        EXPECT_EQ(ReadFile(m_Ini), iniBefore);
        EXPECT_EQ(ReadFile(UserRegistryFile()), m_UserBefore);
        EXPECT_EQ(UserValue("Software\\Big", "v"), "<no key>");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Folder.Path()), {}), 2);
    });
}

TEST_F(WriteBatches, AnUnreadableFileTakesNoBatch) {
    std::filesystem::create_directory(m_Folder.File("folder.ini"));
    EXPECT_FALSE(WriteBatch::Profile(m_Folder.File("folder.ini")).IsOpen());
    EXPECT_FALSE(WriteBatch::Refused().IsOpen());
    EXPECT_FALSE(WriteBatch::Refused().Commit());
}

} // namespace
} // namespace vq
