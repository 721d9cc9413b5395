#include "toolkit/controls/TkRegistry.h"

#include "platform/classlib/WinApp.h"
#include "platform/registry/PrivateProfile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

class TkRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserRegistryFolder(m_Folder.Path().string()); }
    void TearDown() override { SetUserRegistryFolder(std::nullopt); }

    // A key under the current user's root, made by an object of its own.
    static void Make(const char* name) {
        TkRegistry maker;
        ASSERT_TRUE(maker.Connect(kRegistryCurrentUser));
        ASSERT_TRUE(maker.CreateKey(name));
    }
    static bool Exists(const char* name) {
        TkRegistry probe;
        probe.Connect(kRegistryCurrentUser);
        return probe.Open(name, kKeyRead);
    }

    test::TempDir m_Folder;
};

TEST_F(TkRegistryTest, RootNamesTranslateExactlyBothWays) {
    EXPECT_EQ(TkRegistry::RootFromName("HKEY_LOCAL_MACHINE"), kRegistryLocalMachine);
    EXPECT_EQ(TkRegistry::RootFromName("hkey_local_machine"), nullptr);
    std::string name = "kept";
    EXPECT_FALSE(TkRegistry::NameFromRoot(RegistryRoot(0x80000004), name));
    EXPECT_EQ(name, "kept");
    EXPECT_TRUE(TkRegistry::NameFromRoot(RegistryRoot(0x80000006), name));
    EXPECT_EQ(name, "HKEY_DYN_DATA");
    for (const auto& [first, second, joined] :
         {std::tuple{"A\\", "\\B\\", "A\\B"}, {"\\A", "B", "\\A\\B"}, {"", "B", "\\B"}, {"A", "", "A\\"}}) {
        EXPECT_EQ(TkRegistry::JoinKeyNames(first, second), joined);
    }
}

TEST_F(TkRegistryTest, ConnectAndOpenEdges) {
    TkRegistry registry;
    EXPECT_TRUE(registry.Open("", kKeyRead)) << "without a connection the classes root is used";
    EXPECT_EQ(registry.GetRoot(), kRegistryClassesRoot);

    TkRegistry remote;
    EXPECT_FALSE(remote.Connect(kRegistryCurrentUser, "far-away", false));
    EXPECT_EQ(remote.GetErrorCode(), kRegistryInvalidHandle);
    EXPECT_TRUE(remote.ClosesRoot()) << "the flag stays as it was before the call";
    EXPECT_FALSE(remote.Connect(kRegistryLocalMachine, "far-away", true));
    EXPECT_EQ(remote.GetErrorCode(), kRegistryBadNetPath);

    Make("Software\\Edge");
    TkRegistry user;
    ASSERT_TRUE(user.Connect(kRegistryCurrentUser));
    EXPECT_EQ(user.GetRootName(), "HKEY_CURRENT_USER");
    EXPECT_EQ(user.GetMachineName(), ComputerName());
    EXPECT_TRUE(user.Open("Software\\Edge\\"));
    EXPECT_EQ(user.GetKeyName(), "Software\\Edge\\");
    EXPECT_FALSE(user.Open("Software\\Missing"));
    EXPECT_EQ(user.GetKey(), nullptr) << "a failed open has closed the key before it";
    EXPECT_EQ(user.GetKeyName(), "Software\\Edge\\");
}

TEST_F(TkRegistryTest, DeleteKeyEdges) {
    Make("Software\\Tree\\Leaf\\Deeper");
    Make("Software\\Tree\\Other");
    TkRegistry registry;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(registry.Open("Software\\Tree"));
    for (const auto& [name, recursive] :
         {std::pair{(const char*)nullptr, false}, {nullptr, true}, {"", true}}) {
        EXPECT_FALSE(registry.DeleteKey(name, recursive));
        EXPECT_EQ(registry.GetErrorCode(), kRegistryInvalidParameter);
    }
    EXPECT_TRUE(Exists("Software\\Tree\\Leaf\\Deeper"));
    EXPECT_FALSE(registry.DeleteKey("Leaf", false)) << "a key with subkeys needs the recursive delete";
    EXPECT_TRUE(registry.DeleteKey("Leaf", true));
    EXPECT_FALSE(Exists("Software\\Tree\\Leaf"));

    // A name found below the open key is deleted there, not below the root.
    Make("Software\\Tree\\Software");
    EXPECT_TRUE(registry.DeleteKey("Software", false));
    EXPECT_FALSE(Exists("Software\\Tree\\Software"));
    EXPECT_TRUE(Exists("Software\\Tree"));

    // Deleting its own key leaves the object on the parent, able to make the key again at once.
    EXPECT_TRUE(registry.DeleteKey("\\Software\\Tree", true));
    EXPECT_FALSE(Exists("Software\\Tree"));
    EXPECT_EQ(registry.GetKeyName(), "\\Software");
    EXPECT_TRUE(registry.CreateKey("Software\\Tree"));
    EXPECT_TRUE(registry.SetStringValue("v", "again"));
    EXPECT_TRUE(Exists("Software\\Tree"));
}

TEST_F(TkRegistryTest, ValueReadEdges) {
    TkRegistry registry;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    uint32_t disposition = 0;
    ASSERT_TRUE(registry.CreateKey("Software\\Values", nullptr, 0, kKeyAllAccess, nullptr, &disposition));
    EXPECT_EQ(disposition, kRegistryCreatedNewKey);
    ASSERT_TRUE(registry.SetBinaryValue("bin", {1, 2, 3}));
    std::vector<uint8_t> binary{9};
    EXPECT_FALSE(registry.GetBinaryValue("bin", binary)) << "no QueryInfo since CreateKey";
    EXPECT_EQ(registry.GetErrorCode(), kRegistryMoreData);
    EXPECT_EQ(binary, std::vector<uint8_t>{9});

    ASSERT_TRUE(registry.SetStringValue("long", std::string(2048, 'x')));
    ASSERT_TRUE(registry.SetStringArrayValue("two", {"first", "second"}));
    ASSERT_TRUE(registry.SetStringArrayValue("none", {}));
    const uint8_t unterminated[] = {'a', 0, 'b', 'c'};
    ASSERT_TRUE(registry.SetValue("cut", kRegistryMultiString, unterminated, sizeof unterminated));
    const uint8_t shortNumber[] = {0x34, 0x12};
    ASSERT_TRUE(registry.SetValue("short", kRegistryDword, shortNumber, sizeof shortNumber));
    ASSERT_TRUE(registry.SetDoubleWordValue("number", 0x41424344));
    ASSERT_TRUE(registry.Open("Software\\Values"));
    EXPECT_EQ(registry.GetValueCount(), 7u);

    std::string text = "kept";
    EXPECT_FALSE(registry.GetStringValue("long", text)) << "2049 bytes do not fit";
    EXPECT_EQ(text, "");
    text = "kept";
    EXPECT_FALSE(registry.GetStringValue("number", text)) << "a number is no text";
    EXPECT_EQ(text, "");
    EXPECT_FALSE(registry.GetValue(nullptr, text));
    EXPECT_EQ(registry.GetErrorCode(), kRegistryInvalidParameter);

    std::vector<std::string> texts{"old"};
    EXPECT_TRUE(registry.GetStringArrayValue("two", texts));
    EXPECT_EQ(texts, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(registry.GetStringArrayValue("none", texts));
    EXPECT_TRUE(texts.empty());
    EXPECT_TRUE(registry.GetStringArrayValue("cut", texts));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "bc"})) << "the last text ends with the bytes";

    uint32_t number = 0xffffffff;
    EXPECT_TRUE(registry.GetDoubleWordValue("short", number));
    EXPECT_EQ(number, 0x1234u) << "zero-filled";
    EXPECT_TRUE(registry.GetValue("number", number));
    EXPECT_EQ(number, 0x41424344u);
    EXPECT_FALSE(registry.GetDoubleWordValue("missing", number));
    EXPECT_EQ(registry.GetErrorCode(), kRegistryFileNotFound);
}

TEST_F(TkRegistryTest, CloseAfterAFailedCloseIsFalseWithTheErrorCleared) {
    SetUserRegistryFolder("/dev/null/registry"); // no file can be written there
    TkRegistry registry;
    ASSERT_TRUE(registry.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(registry.CreateKey("Software\\Unsaved"));
    ASSERT_TRUE(registry.SetStringValue("v", "x"));
    EXPECT_FALSE(registry.Close());
    EXPECT_EQ(registry.GetErrorCode(), 0);
}

// The start-up probe's flow: a root by name, a key opened with full access, a 32-bit value that is
// there exactly when it can be read into 4 bytes.
TEST_F(TkRegistryTest, ProbeFlowReadsAThirtyTwoBitValueByRootName) {
    const char* key = "SOFTWARE\\Maker\\Messaging";
    auto probe = [&] {
        TkRegistry registry;
        uint32_t value = 0;
        return registry.Connect(TkRegistry::RootFromName("HKEY_CURRENT_USER"), nullptr, true) &&
               registry.Open(key, kKeyAllAccess) && registry.GetDoubleWordValue("MAPI", value);
    };
    EXPECT_FALSE(probe()) << "no key";
    TkRegistry writer;
    ASSERT_TRUE(writer.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(writer.CreateKey(key));
    EXPECT_FALSE(probe()) << "no value";
    ASSERT_TRUE(writer.SetBinaryValue("MAPI", {1, 2, 3, 4, 5}));
    EXPECT_FALSE(probe()) << "5 bytes do not fit";
    ASSERT_TRUE(writer.SetDoubleWordValue("MAPI", 1));
    EXPECT_TRUE(probe());
}

// The workspace manager's flow: settings written under a key that is deleted and made again,
// then read back by enumerating subkeys with their classes and values until the end.
TEST_F(TkRegistryTest, WorkspaceFlowOnTheCurrentUsersKeys) {
    CWinApp application;
    application.SetRegistryKey("Maker");
    RegistryKey section = application.GetSectionKey("Workspace");
    ASSERT_NE(section, nullptr);
    for (int pass = 0; pass < 2; ++pass) {
        TkRegistry writer;
        ASSERT_TRUE(writer.Connect(section, nullptr, true));
        writer.DeleteKey("Bars", true);
        ASSERT_TRUE(writer.CreateKey("Bars\\Tools", "bar", 0, kKeyAllAccess));
        ASSERT_TRUE(writer.SetStringValue("Visible", pass ? "yes" : "no"));
        ASSERT_TRUE(writer.CreateKey("Bars\\Status", "bar", 0, kKeyAllAccess));
        ASSERT_TRUE(writer.SetStringValue("Visible", "yes"));
    }
    TkRegistry reader;
    ASSERT_TRUE(reader.Connect(kRegistryCurrentUser));
    ASSERT_TRUE(reader.Open("Software\\Maker\\Vorquel\\Workspace\\Bars"));
    std::vector<std::string> seen;
    std::string name, className;
    for (uint32_t i = 0; reader.EnumerateKeys(i, name, className); ++i)
        seen.push_back(name + ":" + className);
    EXPECT_EQ(reader.GetErrorCode(), kRegistryNoMoreItems);
    EXPECT_EQ(seen, (std::vector<std::string>{"Tools:bar", "Status:bar"}));
    ASSERT_TRUE(reader.Open("Software\\Maker\\Vorquel\\Workspace\\Bars\\Tools"));
    uint32_t type = 0;
    ASSERT_TRUE(reader.EnumerateValues(0, name, &type));
    EXPECT_EQ(name, "Visible");
    EXPECT_EQ(type, kRegistryString);
    EXPECT_FALSE(reader.EnumerateValues(1, name, &type));
    std::string visible;
    EXPECT_TRUE(reader.GetValue("visible", visible));
    EXPECT_EQ(visible, "yes");
    RegCloseKey(section);
}

TEST_F(TkRegistryTest, ProfileValuesRoundTripThroughTheRegistryAndAnIniFile) {
    std::vector<uint8_t> binary(44);
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = uint8_t(255 - i * 5);
    for (bool registry : {true, false}) {
        SCOPED_TRACE(registry ? "registry" : "INI file");
        CWinApp application;
        if (registry)
            application.SetRegistryKey("Maker");
        else
            application.m_pszProfileName = m_Folder.File("vorquel.ini");
        EXPECT_TRUE(application.WriteProfileInt("Numbers", "Negative", -12));
        EXPECT_TRUE(application.WriteProfileInt("Numbers", "Positive", 70000));
        EXPECT_TRUE(application.WriteProfileString("Texts", "Place", "two  words °"));
        EXPECT_TRUE(application.WriteProfileBinary("Bytes", "Data", binary.data(), UINT(binary.size())));
        EXPECT_EQ(int(application.GetProfileInt("numbers", "NEGATIVE", 5)), -12) << "another case finds it";
        EXPECT_EQ(application.GetProfileInt("Numbers", "Positive", 5), 70000u);
        EXPECT_EQ(application.GetProfileInt("Numbers", "Absent", 5), 5u);
        EXPECT_EQ(application.GetProfileString("TEXTS", "place"), "two  words °");
        EXPECT_EQ(application.GetProfileString("Texts", "Absent", "fallback"), "fallback");
        std::vector<uint8_t> read;
        EXPECT_TRUE(application.GetProfileBinary("Bytes", "Data", read));
        EXPECT_EQ(read, binary);
        EXPECT_FALSE(application.GetProfileBinary("Bytes", "Absent", read));
        EXPECT_TRUE(application.WriteProfileString("Texts", "Place", nullptr));
        EXPECT_EQ(application.GetProfileString("Texts", "Place", "gone"), "gone");
        EXPECT_TRUE(application.WriteProfileString("Numbers", nullptr, nullptr));
        EXPECT_EQ(application.GetProfileInt("Numbers", "Positive", 5), 5u) << "the section went";
    }
    CWinApp missing;
    missing.m_pszProfileName = m_Folder.File("absent.ini");
    EXPECT_EQ(missing.GetProfileString("Texts", "Place", "fallback"), "fallback");
    EXPECT_EQ(missing.GetProfileInt("Numbers", "Positive", 3), 3u);
}

TEST_F(TkRegistryTest, ABrokenIniLineSurvivesAProfileWrite) {
    const std::string file = m_Folder.File("broken.ini");
    test::WriteFile(file, "[Texts]\n[unclosed\nPlace=old\n");
    CWinApp application;
    application.m_pszProfileName = file;
    EXPECT_TRUE(application.WriteProfileString("Texts", "Place", "new"));
    EXPECT_EQ(test::ReadFile(file), "[Texts]\n[unclosed\nPlace=new\n");
}

} // namespace
} // namespace vq
