#include "platform/registry/PrivateProfile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vq {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Read(const char* section, const char* key, const char* fallback, const std::string& file,
                 uint32_t size = 256) {
    std::vector<char> buffer(size, 'X');
    uint32_t count = GetPrivateProfileString(section, key, fallback, buffer.data(), size, file);
    return std::string(buffer.data(), count);
}

TEST(PrivateProfile, ReadsNamesWithoutCaseAndListsSectionsAndKeys) {
    TempDir folder;
    const std::string file = folder.File("settings.ini");
    WriteFile(file,
              "; comment\n[Main]\n Name = \"quoted value\" \r\nCount=42\n\n[Other]\nx=1\nbroken line\n");
    EXPECT_EQ(Read("main", "NAME", "d", file), "quoted value");
    EXPECT_EQ(Read("Main", "missing", "fallback  ", file), "fallback")
        << "the default loses its trailing blanks";
    EXPECT_EQ(Read("Main", "Count", nullptr, folder.File("none.ini")), "");
    EXPECT_EQ(Read(nullptr, nullptr, nullptr, file), std::string("Main\0Other\0", 11));
    EXPECT_EQ(Read("MAIN", nullptr, nullptr, file), std::string("Name\0Count\0", 11));
    EXPECT_EQ(GetPrivateProfileInt("main", "count", 7, file), 42u);
    EXPECT_EQ(GetPrivateProfileInt("main", "Name", 7, file), 0u) << "present but no number";
    EXPECT_EQ(GetPrivateProfileInt("main", "absent", 7, file), 7u);
    EXPECT_EQ(GetPrivateProfileInt("main", "absent", 7, folder.File("none.ini")), 7u);

    char small[5];
    EXPECT_EQ(GetPrivateProfileString("Main", "Name", "", small, sizeof small, file), 4u);
    EXPECT_STREQ(small, "quot") << "a cut text keeps its terminator";
    EXPECT_EQ(GetPrivateProfileString(nullptr, nullptr, "", small, sizeof small, file), 3u);
    EXPECT_EQ(std::string(small, 5), std::string("Mai\0\0", 5)) << "a cut list ends in two zeros";
    char section[64];
    uint32_t count = GetPrivateProfileSection("main", section, sizeof section, file);
    EXPECT_EQ(std::string(section, count + 1), std::string("Name=\"quoted value\"\0Count=42\0\0", 30));
}

TEST(PrivateProfile, WritesReplaceTheFileAndKeepUnreadableLines) {
    TempDir folder;
    const std::string file = folder.File("settings.ini");
    WriteFile(file, "[Main]\n= no name\nx=1\n[Gone]\ny=2\n");
    EXPECT_TRUE(WritePrivateProfileString("main", "X", "two words °", file));
    EXPECT_TRUE(WritePrivateProfileString("Main", "added", "3", file));
    EXPECT_TRUE(WritePrivateProfileString("New", "k", "v", file));
    EXPECT_TRUE(WritePrivateProfileString("gone", nullptr, nullptr, file));
    EXPECT_TRUE(WritePrivateProfileString("New", "k", nullptr, file));
    EXPECT_EQ(ReadFile(file), "[Main]\n= no name\nx=two words °\nadded=3\n[New]\n");
    EXPECT_TRUE(WritePrivateProfileSection("main", "a=1\0b=2\0", file));
    EXPECT_EQ(ReadFile(file), "[Main]\na=1\nb=2\n= no name\n[New]\n");
    EXPECT_FALSE(WritePrivateProfileString("Main", "k", "v", folder.File("missing/folder.ini")));
    for (const auto& [section, key, value] :
         {std::tuple{"Main", "k", "v\n[Injected]"}, std::tuple{"Main", "k\rx", "v"},
          std::tuple{"Ma\nin", "k", "v"}})
        EXPECT_FALSE(WritePrivateProfileString(section, key, value, file)) << key << value;
    EXPECT_FALSE(WritePrivateProfileSection("Main", "a=1\0b=2\n[X]\0", file));
    EXPECT_EQ(ReadFile(file), "[Main]\na=1\nb=2\n= no name\n[New]\n");
    // A file that exists but cannot be read is never replaced by the one line written.
    WriteFile(folder.File("large.ini"), std::string(16 * 1024 * 1024 + 1, ';'));
    EXPECT_FALSE(WritePrivateProfileString("Main", "k", "v", folder.File("large.ini")));
    EXPECT_EQ(std::filesystem::file_size(folder.File("large.ini")), 16u * 1024 * 1024 + 1);
    std::filesystem::remove(folder.File("large.ini"));
    EXPECT_EQ(std::filesystem::directory_iterator(folder.Path())->path().filename(), "settings.ini")
        << "no temporary file stays behind";
}

} // namespace
} // namespace vq
