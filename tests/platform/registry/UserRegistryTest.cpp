#include "platform/registry/Registry.h"
#include "platform/thread/Event.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace vq {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class UserRegistry : public ::testing::Test {
protected:
    void SetUp() override { SetUserRegistryFolder(m_Folder.Path().string()); }
    void TearDown() override {
        SetUserRegistryFolder(std::nullopt);
        SetRegistryNoticeHook(nullptr);
    }

    RegistryKey Create(const std::string& path, RegistryKey parent = kRegistryCurrentUser) {
        RegistryKey key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(parent, path, "", 0, kKeyAllAccess, &key, nullptr), kRegistrySuccess)
            << path;
        return key;
    }

    TempDir m_Folder;
};

struct TypedValue {
    const char* name;
    uint32_t type;
    std::vector<uint8_t> data;
};

std::vector<TypedValue> EveryType() {
    std::vector<uint8_t> binary(44);
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = uint8_t(i * 37);
    return {
        {"none", 0, {1, 0, 2}},          {"text", 1, {'a', ' ', '"', '\\', '\n', 0xc2, 0xb0, 0}},
        {"unterminated", 1, {'a', 'b'}}, {"expand", 2, {'%', 'H', '%', 0}},
        {"binary", 3, binary},           {"empty binary", 3, {}},
        {"dword", 4, {1, 2, 3, 4}},      {"big endian", 5, {0, 0, 0, 9}},
        {"link", 6, {'x', 0, 'y', 0}},   {"multi", 7, {'a', 0, 'b', 'c', 0, 0}},
        {"resources", 8, {0xff}},        {"qword", 11, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"", 1, {'d', 'e', 'f', 0}},
    };
}

TEST_F(UserRegistry, EveryValueTypeSurvivesARestartByteForByte) {
    test::RunInChild([&] {
        RegistryKey key = Create("Software\\Vorquel\\Kept");
        for (const auto& value : EveryType())
            ASSERT_EQ(
                RegSetValueEx(key, value.name, value.type, value.data.data(), uint32_t(value.data.size())),
                kRegistrySuccess);
        RegCloseKey(Create("Software\\Vorquel\\Kept\\Second"));
        RegCloseKey(Create("Software\\Vorquel\\Kept\\First"));
        RegCloseKey(key);
        // A change through the root itself holds no handle: the registry writes it at exit.
        const uint8_t last[] = {'x', 0};
        ASSERT_EQ(RegSetValueEx(kRegistryCurrentUser, "at exit", kRegistryString, last, 2), kRegistrySuccess);
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
    });
    SetUserRegistryFolder(m_Folder.Path().string());
    RegistryKey key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(kRegistryCurrentUser, "SOFTWARE\\vorquel\\kept", &key), kRegistrySuccess);
    uint32_t index = 0;
    for (const auto& value : EveryType()) {
        SCOPED_TRACE(value.name);
        char name[64];
        uint8_t data[64];
        uint32_t nameSize = sizeof name, dataSize = sizeof data, type = 99;
        ASSERT_EQ(RegEnumValue(key, index++, name, &nameSize, &type, data, &dataSize), kRegistrySuccess);
        EXPECT_STREQ(name, value.name) << "values keep their order";
        EXPECT_EQ(type, value.type);
        EXPECT_EQ(std::vector<uint8_t>(data, data + dataSize), value.data);
    }
    char name[16];
    uint32_t size = sizeof name;
    EXPECT_EQ(
        RegQueryValueEx(kRegistryCurrentUser, "at exit", nullptr, reinterpret_cast<uint8_t*>(name), &size),
        kRegistrySuccess);
    EXPECT_STREQ(name, "x");
    size = sizeof name;
    ASSERT_EQ(RegEnumKeyEx(key, 0, name, &size), kRegistrySuccess);
    EXPECT_STREQ(name, "Second") << "subkeys keep their creation order and case";
    RegCloseKey(key);
}

TEST_F(UserRegistry, ABrokenFileIsMovedAsideUnchangedAndTheNewTreeTakesWrites) {
    const std::string file = UserRegistryFile();
    const std::string broken =
        "vorquel-registry 1\nkey \"Software\" class \"\" time 0\nvalue \"x\" 4 hex:0g\n";
    WriteFile(file, broken);
    std::string noticedFile, noticedDamaged, noticedLine;
    SetRegistryNoticeHook([&](const std::string& f, const std::string& damaged, const std::string& line) {
        noticedFile = f;
        noticedDamaged = damaged;
        noticedLine = line;
    });
    RegistryKey key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(kRegistryCurrentUser, "Software", &key), kRegistryFileNotFound);
    EXPECT_EQ(noticedFile, file);
    EXPECT_EQ(noticedLine, "value \"x\" 4 hex:0g");
    EXPECT_TRUE(noticedDamaged.starts_with(file + ".damaged-")) << noticedDamaged;
    EXPECT_EQ(ReadFile(noticedDamaged), broken);

    key = Create("Software\\New");
    uint8_t four[4] = {4, 0, 0, 0};
    EXPECT_EQ(RegSetValueEx(key, "n", kRegistryDword, four, 4), kRegistrySuccess);
    EXPECT_EQ(RegFlushKey(key), kRegistrySuccess);
    EXPECT_NE(ReadFile(file).find("value \"n\" 4 hex:04000000"), std::string::npos);
    RegCloseKey(key);
}

TEST_F(UserRegistry, UnreadableLinesOfEveryKindAreRefused) {
    for (const char* text : {"not a registry\n", "vorquel-registry 1\nkey \"A\\\\B\" class \"\" time 0\n",
                             "vorquel-registry 1\nkey \"A\" class \"\" time 0\nkey \"a\" class \"\" time 0\n",
                             "vorquel-registry 1\nvalue \"v\" 1 \"x\nvalue\n",
                             "vorquel-registry 1\nvalue \"v\" 4 \"text for a number\"\n",
                             "vorquel-registry 1\nvalue \"v\" 3 hex:0\n", "vorquel-registry 1\ngarbage\n"}) {
        SCOPED_TRACE(text);
        SetUserRegistryFolder(m_Folder.Path().string());
        WriteFile(UserRegistryFile(), text);
        bool noticed = false;
        SetRegistryNoticeHook([&](auto&, auto&, auto&) { noticed = true; });
        uint32_t subkeys = 9;
        EXPECT_EQ(RegQueryInfoKey(kRegistryCurrentUser, &subkeys, nullptr), kRegistrySuccess);
        EXPECT_TRUE(noticed);
        EXPECT_EQ(subkeys, 0u);
        EXPECT_FALSE(std::filesystem::exists(UserRegistryFile()));
    }
}

TEST_F(UserRegistry, AFileThatCannotBeReadIsNeverReplaced) {
    std::filesystem::create_directory(UserRegistryFile()); // a folder where the file belongs
    RegistryKey key = Create("Software\\Lost");
    EXPECT_EQ(RegFlushKey(key), kRegistryAccessDenied);
    RegCloseKey(key);
    EXPECT_TRUE(std::filesystem::is_directory(UserRegistryFile()));
}

TEST_F(UserRegistry, AccessAndHandlesAnswerWithTheRegistryErrors) {
    RegistryKey key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(kRegistryLocalMachine, "", kKeyWrite, &key), kRegistryAccessDenied);
    EXPECT_EQ(RegCreateKeyEx(kRegistryUsers, "x", "", 0, kKeyAllAccess, &key, nullptr),
              kRegistryAccessDenied);
    EXPECT_EQ(RegConnectRegistry("\\\\elsewhere.invalid", kRegistryLocalMachine, &key), kRegistryBadNetPath);
    EXPECT_EQ(RegConnectRegistry(ComputerName(), kRegistryLocalMachine, &key), kRegistrySuccess);
    EXPECT_EQ(key, kRegistryLocalMachine);

    RegistryKey child = Create("Software\\Parent\\Child");
    RegistryKey readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyEx(kRegistryCurrentUser, "Software\\Parent", kKeyRead, &readOnly), kRegistrySuccess);
    uint8_t byte = 1;
    EXPECT_EQ(RegSetValueEx(readOnly, "v", kRegistryBinary, &byte, 1), kRegistryAccessDenied);
    EXPECT_EQ(RegDeleteKey(kRegistryCurrentUser, "Software\\Parent"), kRegistryAccessDenied)
        << "it has a subkey";
    EXPECT_EQ(RegDeleteKey(kRegistryCurrentUser, "Software\\Parent\\Child"), kRegistrySuccess);
    EXPECT_EQ(RegSetValueEx(child, "v", kRegistryBinary, &byte, 1), kRegistryKeyDeleted);
    EXPECT_EQ(RegQueryInfoKey(child, nullptr, nullptr), kRegistryKeyDeleted);
    uint32_t size = 0;
    EXPECT_EQ(RegGetKeySecurity(readOnly, 4, &byte, &size), kRegistryNotSupported);
    EXPECT_EQ(RegReplaceKey(readOnly, "a", "b", "c"), kRegistryNotSupported);
    RegCloseKey(child);
    RegCloseKey(readOnly);
}

TEST_F(UserRegistry, SaveThenRestoreCopiesASubtreeAndLoadMountsAFile) {
    RegistryKey source = Create("Software\\Source\\Inner");
    uint8_t bytes[3] = {7, 0, 9};
    ASSERT_EQ(RegSetValueEx(source, "b", kRegistryBinary, bytes, 3), kRegistrySuccess);
    RegCloseKey(source);
    ASSERT_EQ(RegOpenKeyEx(kRegistryCurrentUser, "Software\\Source", &source), kRegistrySuccess);
    const std::string saved = m_Folder.File("subtree.txt");
    EXPECT_EQ(RegSaveKey(source, saved), kRegistrySuccess);
    EXPECT_EQ(RegSaveKey(source, saved), kRegistryAlreadyExists) << "a save never replaces a file";

    RegistryKey target = Create("Software\\Target\\Old");
    RegCloseKey(target);
    target = Create("Software\\Target");
    EXPECT_EQ(RegRestoreKey(target, saved, 0), kRegistrySuccess);
    RegistryKey inner = nullptr;
    EXPECT_EQ(RegOpenKeyEx(target, "Old", &inner), kRegistryFileNotFound);
    ASSERT_EQ(RegOpenKeyEx(target, "Inner", &inner), kRegistrySuccess);
    uint8_t read[8];
    uint32_t size = sizeof read, type = 0;
    EXPECT_EQ(RegQueryValueEx(inner, "b", &type, read, &size), kRegistrySuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(read[2], 9);
    WriteFile(m_Folder.File("bad.txt"), "vorquel-registry 1\nkey\n");
    EXPECT_EQ(RegRestoreKey(target, m_Folder.File("bad.txt"), 0), kRegistryCorrupt);
    EXPECT_EQ(RegRestoreKey(target, m_Folder.File("missing.txt"), 0), kRegistryFileNotFound);

    EXPECT_EQ(RegLoadKey(kRegistryUsers, "Mounted", saved), kRegistrySuccess);
    RegistryKey mounted = nullptr;
    ASSERT_EQ(RegOpenKeyEx(kRegistryUsers, "Mounted\\Inner", kKeyAllAccess, &mounted), kRegistrySuccess);
    EXPECT_EQ(RegSetValueEx(mounted, "added", kRegistryBinary, bytes, 1), kRegistrySuccess);
    RegCloseKey(mounted);
    EXPECT_EQ(RegUnLoadKey(kRegistryUsers, "Mounted"), kRegistrySuccess);
    EXPECT_NE(ReadFile(saved).find("\"added\""), std::string::npos) << "unloading writes the hive back";
    RegCloseKey(inner);
    RegCloseKey(target);
    RegCloseKey(source);
}

TEST_F(UserRegistry, AnotherThreadsChangeSetsTheWatchingEventOnce) {
    RegistryKey key = Create("Software\\Watched");
    Event event;
    ASSERT_EQ(RegNotifyChangeKeyValue(key, true, kNotifyChangeLastSet, &event, true), kRegistrySuccess);
    RegistryKey sub = Create("Software\\Watched\\Deep");
    EXPECT_FALSE(event.IsSet()) << "a new subkey is no value change";
    std::thread writer([&] {
        uint8_t byte = 1;
        EXPECT_EQ(RegSetValueEx(sub, "v", kRegistryBinary, &byte, 1), kRegistrySuccess);
    });
    writer.join();
    EXPECT_TRUE(event.IsSet());
    event.Reset();
    uint8_t byte = 2;
    RegSetValueEx(sub, "v", kRegistryBinary, &byte, 1);
    EXPECT_FALSE(event.IsSet()) << "one-shot";

    std::atomic<bool> returned = false;
    std::thread waiter([&] {
        EXPECT_EQ(RegNotifyChangeKeyValue(key, false, kNotifyChangeName, nullptr, false), kRegistrySuccess);
        returned = true;
    });
    // The waiter may not have begun to wait yet: new subkeys keep coming until it returns.
    while (!returned) {
        RegistryKey extra = Create("Software\\Watched\\Extra");
        RegDeleteKey(extra, "");
        RegCloseKey(extra);
    }
    waiter.join();
    RegCloseKey(sub);
    RegCloseKey(key);
}

} // namespace
} // namespace vq
