#include "toolkit/controls/TkFileSystem.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace vq {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
namespace fs = std::filesystem;

TEST(TkFileSystem, PathStringsInTheirLinuxForm) {
    struct Case {
        const char* path;
        const char* fileName;
        const char* directory;
        const char* extension;
        const char* baseName;
        const char* drive;
    };
    const Case cases[] = {
        {"/home/user/report.txt", "report.txt", "/home/user/", "txt", "report", "/"},
        {"report.tar.gz", "report.tar.gz", "", "gz", "report.tar", ""},
        {"dir/name.", "name.", "dir/", "", "name", ""},
        {"dir/noext", "noext", "dir/", "", "noext", ""},
        {"c:\\dos\\file.ext", "c:\\dos\\file.ext", "", "ext", "c:\\dos\\file", ""},
        {"/", "", "/", "", "", "/"},
        {"dir/", "", "dir/", "", "", ""},
        {"", "", "", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(TkFileSystem::GetFileName(c.path), c.fileName);
        EXPECT_EQ(TkFileSystem::GetPath(c.path, true), c.directory);
        EXPECT_EQ(TkFileSystem::GetPath(c.path, false), c.directory);
        EXPECT_EQ(TkFileSystem::GetExtension(c.path), c.extension);
        EXPECT_EQ(TkFileSystem::GetBaseFileName(c.path), c.baseName);
        EXPECT_EQ(TkFileSystem::GetDrive(c.path), c.drive);
    }
    for (const auto& [path, name, joined] : {std::tuple{"", "name", "name"},
                                             {"/tmp", "x", "/tmp/x"},
                                             {"/tmp/", "x", "/tmp/x"},
                                             {"a\\", "x", "a\\/x"}})
        EXPECT_EQ(TkFileSystem::AppendPaths(path, name), joined);
    for (const auto& [path, full] :
         {std::pair{"/a/./b/../c", "/a/c"}, {"/../x", "/x"}, {"/a//b/", "/a/b/"}, {"/", "/"}})
        EXPECT_EQ(TkFileSystem::GetFullPathName(path), full);
    EXPECT_EQ(TkFileSystem::GetFullPathName("rel"), fs::current_path().string() + "/rel");

    TkFileSystem files;
    EXPECT_EQ(files.GetCurrentDrive(), "/");
    EXPECT_EQ(*files.GetDriveList(), TkStringList{"/"});
    EXPECT_TRUE(files.DriveExists("/"));
    EXPECT_FALSE(files.DriveExists("c:\\"));
    EXPECT_FALSE(files.ChangeDrive('c'));
    EXPECT_EQ(files.GetVolumeLabel("/"), "");
    EXPECT_EQ(files.GetDriveType("/no/such/path"), 1u);
    EXPECT_EQ(files.GetDriveType("/dev/shm"), 6u);
}

// A folder with a plain file, a read-only file, a hidden file, a FIFO and a subfolder.
class TkFileSystemTree : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(Path("plain.txt"), "12345");
        WriteFile(Path("readonly.txt"), "1");
        ::chmod(Path("readonly.txt").c_str(), 0444);
        WriteFile(Path(".hidden"), "123");
        ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
        fs::create_directory(Path("sub"));
        WriteFile(Path("sub/inner.txt"), "1234567");
    }
    std::string Path(const std::string& name) const { return m_Folder.File(name); }
    std::string Root() const { return m_Folder.Path().string() + "/"; }

    TempDir m_Folder;
    TkFileSystem m_Files;
};

TEST_F(TkFileSystemTree, FiltersChooseEntriesByTheirAttributes) {
    struct Case {
        int32_t filter;
        std::vector<std::string> enumerated; // names as GetADirectoryEntry gives them, "" refused
        TkStringList listed;
    };
    const std::string everyName[] = {".", "..", ".hidden", "pipe", "plain.txt", "readonly.txt", "sub"};
    const Case cases[] = {
        {-1,
         {".", "..", ".hidden", "pipe", "plain.txt", "readonly.txt", "sub"},
         {".hidden", "pipe", "plain.txt", "readonly.txt", "sub"}},
        {0, {"", "", "", "", "plain.txt", "readonly.txt", ""}, {"plain.txt", "readonly.txt"}},
        {0x80, {"", "", "", "", "plain.txt", "readonly.txt", ""}, {"plain.txt", "readonly.txt"}},
        {0x10, {".", "..", "", "", "", "", "sub"}, {"sub"}},
        {0x02, {"", "", ".hidden", "", "", "", ""}, {".hidden"}},
        {0x40, {"", "", "", "pipe", "", "", ""}, {"pipe"}},
        {0x01, {"", "", "", "", "", "readonly.txt", ""}, {"readonly.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        std::vector<std::string> enumerated;
        std::string name;
        for (bool more = m_Files.GetADirectoryEntry(name, Root() + "*.*", c.filter); more;
             more = m_Files.GetADirectoryEntry(name, "", c.filter))
            enumerated.push_back(name);
        EXPECT_EQ(enumerated, c.enumerated);
        EXPECT_EQ(name, "") << "the end gives an empty name";
        TkStringList listed;
        const auto paths = m_Files.GetFileListFromDirectory(Root() + "*", c.filter);
        for (const auto& path : *paths)
            listed.push_back(TkFileSystem::GetFileName(path));
        EXPECT_EQ(listed, c.listed);
    }
    EXPECT_EQ(*m_Files.GetDirectoryEntry(Root() + "*.txt", 0), "plain.txt");
    EXPECT_EQ(m_Files.GetDirectoryEntry(Root() + "*.none", -1), nullptr);
    EXPECT_EQ(*m_Files.GetSubdirList(Root(), false), TkStringList{"sub"});
    EXPECT_EQ(*m_Files.GetFileList(Root() + "*.txt", -1, true),
              (TkStringList{Root() + "plain.txt", Root() + "readonly.txt", Root() + "sub/inner.txt"}));
    EXPECT_EQ(m_Files.GetDirectorySize(Root(), "*.*", false), 9);
    EXPECT_EQ(m_Files.GetDirectorySize(Root(), "*.*", true), 16);

    uint8_t attribute = 0;
    EXPECT_TRUE(m_Files.GetFileAttribute(Path("sub"), attribute));
    EXPECT_EQ(attribute, 0x10);
    int64_t size = 0;
    EXPECT_TRUE(m_Files.GetFileSize(Path("plain.txt"), size));
    EXPECT_EQ(size, 5);
    EXPECT_TRUE(m_Files.FileExists(Path("sub")));
    EXPECT_TRUE(m_Files.DirectoryExists(Path("sub")));
    EXPECT_FALSE(m_Files.DirectoryExists(Path("plain.txt")));
}

TEST_F(TkFileSystemTree, FilesAreCopiedComparedAndRenamedWithoutReplacing) {
    EXPECT_TRUE(m_Files.CopyFile(Path("plain.txt"), Path("copy.txt"), 2));
    EXPECT_EQ(ReadFile(Path("copy.txt")), "12345");
    EXPECT_FALSE(m_Files.CopyFile(Path("readonly.txt"), Path("copy.txt"), 2)) << "no overwriting";
    EXPECT_EQ(ReadFile(Path("copy.txt")), "12345");
    EXPECT_TRUE(m_Files.CompareFiles(Path("plain.txt"), Path("copy.txt"), 3));
    EXPECT_FALSE(m_Files.CompareFiles(Path("plain.txt"), Path("readonly.txt"), 3));

    EXPECT_FALSE(m_Files.RenameFile(Path("copy.txt"), Path("plain.txt")));
    EXPECT_EQ(ReadFile(Path("readonly.txt")), "1");
    EXPECT_TRUE(m_Files.RenameFile(Path("copy.txt"), Path("moved.txt")));
    EXPECT_FALSE(m_Files.FileExists(Path("copy.txt")));
    EXPECT_FALSE(m_Files.RenameDirectory(Path("sub"), Root()));
    EXPECT_TRUE(m_Files.RenameDirectory(Path("sub"), Path("renamed")));

    TempDir other;
    const std::string otherRoot = other.Path().string() + "/";
    EXPECT_TRUE(m_Files.CopyFiles(Root() + "*.txt", otherRoot, false, -1));
    EXPECT_TRUE(m_Files.CompareDirectories(Root() + "*.txt", otherRoot + "*.txt", false, true, -1));
    EXPECT_TRUE(m_Files.DeleteFile(otherRoot + "moved.txt"));
    EXPECT_FALSE(m_Files.CompareDirectories(Root() + "*.txt", otherRoot + "*.txt", false, true, -1));
    EXPECT_TRUE(m_Files.DeleteFile(Path("moved.txt")));
    EXPECT_FALSE(m_Files.DeleteFile(Path("moved.txt")));
    WriteFile(otherRoot + "plain.txt", "54321");
    EXPECT_TRUE(m_Files.CompareDirectories(Root() + "*.txt", otherRoot + "*.txt", false, false, -1));
    EXPECT_FALSE(m_Files.CompareDirectories(Root() + "*.txt", otherRoot + "*.txt", false, true, -1));
    EXPECT_FALSE(m_Files.CompareDirectories(Root() + "*.txt", otherRoot + "missing/*.txt", false, false, -1));
    EXPECT_TRUE(m_Files.DeleteFiles(otherRoot + "*.txt", -1));
    EXPECT_TRUE(fs::is_empty(other.Path()));
}

TEST(TkFileSystem, MakePathCreatesEveryLevelAndAnswersForTheLast) {
    TempDir folder;
    TkFileSystem files;
    const std::string outer = folder.File("outer"), inner = outer + "/inner";
    EXPECT_TRUE(files.MakePath(inner));
    EXPECT_TRUE(files.DirectoryExists(outer));
    EXPECT_TRUE(files.DirectoryExists(inner));
    EXPECT_FALSE(files.MakePath(inner + "/")) << "the last level exists already";
    EXPECT_FALSE(files.MakePath(""));
    EXPECT_TRUE(files.MakePath("/"));
}

TEST(TkFileSystem, DeletingATreeSparesSiblingsAndWhatLinksPointTo) {
    TempDir folder;
    const std::string data = folder.File("data");
    fs::create_directories(data + "/deep/deeper");
    WriteFile(data + "/deep/deeper/f", "x");
    WriteFile(data + "/top", "x");
    fs::create_directories(folder.File("data.bak"));
    WriteFile(folder.File("data.bak/keep"), "x");
    fs::create_directories(folder.File("outside"));
    WriteFile(folder.File("outside/keep"), "x");
    fs::create_directory_symlink(folder.File("outside"), data + "/deep/link");
    fs::create_directory_symlink(folder.File("outside"), folder.File("alias"));

    TkFileSystem files;
    EXPECT_TRUE(files.DeleteDirectory(data, true));
    EXPECT_FALSE(fs::exists(data));
    EXPECT_TRUE(fs::exists(folder.File("data.bak/keep")));
    EXPECT_TRUE(fs::exists(folder.File("outside/keep")));
    EXPECT_TRUE(files.DeleteDirectory(folder.File("alias"), true)) << "a link is removed, not followed";
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.File("alias"))));
    EXPECT_TRUE(fs::exists(folder.File("outside/keep")));
}

TEST(TkFileSystem, TheWriteTestTouchesNoFileOfTheUsers) {
    TempDir folder;
    WriteFile(folder.File("xxxxtest.999"), "the user's");
    TkFileSystem files;
    EXPECT_FALSE(files.IsReadOnlyDirectory(folder.Path().string()));
    EXPECT_EQ(ReadFile(folder.File("xxxxtest.999")), "the user's");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(files.IsReadOnlyDirectory(folder.File("missing")));
    EXPECT_TRUE(files.IsReadOnlyDirectory("/proc"));
}

TEST(TkFileSystem, ACopyCutShortByAFileSizeLimitIsFalseAndLeavesNoFile) {
    TempDir folder;
    WriteFile(folder.File("source"), std::string(100000, 'x'));
    test::RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{50000, 50000};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        TkFileSystem files;
        EXPECT_FALSE(files.CopyFile(folder.File("source"), folder.File("copy"), 10240));
        EXPECT_FALSE(fs::exists(folder.File("copy")));
    });
}

TEST(TkFileSystem, OnlyChangeDirectoryMovesTheCurrentDirectory) {
    TempDir folder;
    fs::create_directory(folder.File("sub"));
    const fs::path before = fs::current_path();
    TkFileSystem files;
    std::string directory;
    files.GetCurrentDirectory(directory, folder.File("sub/../sub"));
    EXPECT_EQ(directory, fs::canonical(folder.File("sub")).string());
    files.GetCurrentDirectory(directory, folder.File("missing"));
    EXPECT_EQ(directory, "");
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_TRUE(files.ChangeDirectory(folder.File("sub")));
    files.GetCurrentDirectory(directory);
    EXPECT_EQ(directory, fs::canonical(folder.File("sub")).string());
    EXPECT_TRUE(files.ChangeDirectory(before.string()));
}

TEST(TkFileSystem, SpaceIsStatvfsFigureAndMissingPathsAnswerMinusOne) {
    TkFileSystem files;
    EXPECT_EQ(files.GetFreeSpace("/no/such/path"), -1);
    EXPECT_EQ(files.GetTotalSpace("/no/such/path"), -1);
    const std::string temporary = fs::temp_directory_path().string();
    struct statvfs info {};
    ASSERT_EQ(::statvfs(temporary.c_str(), &info), 0);
    EXPECT_EQ(files.GetTotalSpace(temporary), int64_t(info.f_blocks) * int64_t(info.f_frsize));
    const int64_t before = int64_t(info.f_bavail) * int64_t(info.f_frsize);
    const int64_t free = files.GetFreeSpace(temporary);
    ASSERT_EQ(::statvfs(temporary.c_str(), &info), 0);
    const int64_t after = int64_t(info.f_bavail) * int64_t(info.f_frsize);
    EXPECT_GE(free, std::min(before, after)) << "other engineers write to the same disk meanwhile";
    EXPECT_LE(free, std::max(before, after));
}

TEST(File, OpensReadsAndRefusesFolders) {
    TempDir folder;
    WriteFile(folder.File("f"), "abcdef");
    File file(folder.File("f"), File::modeRead);
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.Read(buffer, 4), 2u) << "fewer only at the end";
    EXPECT_EQ(file.GetLength(), 6);
    FileStatus status;
    EXPECT_TRUE(file.GetStatus(status));
    EXPECT_EQ(status.m_size, 6);
    EXPECT_EQ(status.m_szFullName, fs::canonical(folder.File("f")).string());
    EXPECT_THROW(File(folder.Path().string(), File::modeRead), FileException);
    EXPECT_THROW(File(folder.File("missing"), File::modeRead), FileException);
    File created(folder.File("new"), File::modeCreate | File::modeWrite);
    created.Write("xy", 2);
    created.Close();
    EXPECT_EQ(ReadFile(folder.File("new")), "xy");
    EXPECT_THROW(File::Rename(folder.File("new"), folder.File("f")), FileException);
}

} // namespace
} // namespace vq
