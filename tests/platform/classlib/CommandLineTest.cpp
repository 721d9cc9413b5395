#include "platform/classlib/CommandLineInfo.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/WinApp.h"
#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

// A program's own reading of the words, as the desktop application does.
class RecordingInfo : public CCommandLineInfo {
public:
    void ParseParam(const char* param, BOOL flag, BOOL last) override {
        seen.push_back(std::string(flag ? "flag " : "word ") + param + (last ? " last" : ""));
        CCommandLineInfo::ParseParam(param, flag, last);
    }
    std::vector<std::string> seen;
};

TEST(CommandLine, WordsReachTheOverrideAndTheFirstPlainWordIsTheFile) {
    const char* argv[] = {"vorquel", "-x", "/data/net.vqd", "second"};
    CWinApp app;
    RecordingInfo info;
    app.ParseCommandLine(info, 4, argv);
    EXPECT_EQ(info.seen, (std::vector<std::string>{"flag x", "word /data/net.vqd", "word second last"}));
    EXPECT_EQ(info.m_strFileName, "/data/net.vqd");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
}

TEST(CommandLine, RecentFilesAreReadUpToTheLimit) {
    test::TempDir dir;
    SetUserRegistryFolder(dir.File("registry"));
    CWinApp app;
    app.SetRegistryKey("Test Maker");
    for (const char* entry : {"File1", "File2", "File4", "File5"})
        app.WriteProfileString("Recent File List", entry, (std::string("/r/") + entry).c_str());
    app.LoadStdProfileSettings(4);
    EXPECT_EQ(app.GetRecentFiles(), (std::vector<std::string>{"/r/File1", "/r/File2", "/r/File4"}));
    SetUserRegistryFolder(std::nullopt);
}

// Idle work runs only while the queue is empty, and once per empty queue unless it asks again.
class IdleCountingApp : public CWinApp {
public:
    BOOL OnIdle(int count) override {
        counts.push_back(count);
        if (counts.size() == 2) PostMessage(0, WM_USER, 0, 0);
        if (counts.size() == 3) PostQuitMessage(7);
        return count < 1;
    }
    std::vector<int> counts;
};

TEST(MessageLoop, IdleRunsPerEmptyQueueAndTheQuitCodeEndsTheLoop) {
    IdleCountingApp app;
    EXPECT_EQ(app.Run(), 7);
    // The first empty queue takes counts 0 and 1, which asks for no more; the message posted then
    // is taken and the queue, empty again, starts counting at 0; the quit posted there ends idling
    // although OnIdle asked for more.
    EXPECT_EQ(app.counts, (std::vector<int>{0, 1, 0}));
}

// A reply may name a document closed since it was asked for; identity alone tells.
TEST(LiveDocuments, ADocumentIsLiveFromConstructionToDestruction) {
    auto document = std::make_unique<CDocument>();
    const CDocument* kept = document.get();
    EXPECT_TRUE(IsLiveDocument(kept));
    document.reset();
    EXPECT_FALSE(IsLiveDocument(kept));
    EXPECT_FALSE(IsLiveDocument(nullptr));
}

} // namespace
} // namespace vq
