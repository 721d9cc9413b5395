#include "runtime/ConfigFileNames.h"
#include "runtime/EngineGlobals.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/OsClass.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

class NotificationFormatTest : public ::testing::Test {
protected:
    ScopedEngineGlobals engine;
};

TEST_F(NotificationFormatTest, FormatsEveryFlagCombinationCharacterForCharacter) {
    struct Case {
        const char* file;
        int line;
        std::uint32_t flags;
        const char* expected;
    };
    const Case cases[] = {
        {"net.cpp", 12, 0, "Adapter::Open(eth0) -- no cable(at net.cpp:12)"},
        {"net.cpp", 12, 3, "no cable(at net.cpp:12)"},
        {"net.cpp", 12, 91, "no cable\n"},
        {"net.cpp", 12, 64, "Adapter::Open(eth0) -- no cable(at net.cpp:12)\n"},
        {"net.cpp", 12, 8 | 16, "Adapter::Open(eth0) -- no cable"},
        {"net.cpp", 12, 4 | 8, "Adapter::Open -- no cable(at line 12)"},
        {"net.cpp", 12, 1 | 16 | 32, "::Open(eth0) -- (in net.cpp)"},
        {"net.cpp", -1, 0, "Adapter::Open(eth0) -- no cable(in net.cpp)"},
        {"net.cpp", -1, 3, "no cable(in net.cpp)"},
        {"net.cpp", -1, 91, "no cable\n"},
        {"net.cpp", -1, 64, "Adapter::Open(eth0) -- no cable(in net.cpp)\n"},
        {"net.cpp", -1, 8 | 16, "Adapter::Open(eth0) -- no cable"},
        {nullptr, -1, 0, "Adapter::Open(eth0) -- no cable"},
        {nullptr, 7, 2, "Adapter -- no cable(at line 7)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        NotificationThreadMessage report(3, 0, "no cable", "Adapter", "Open", "eth0", c.file, c.line, false,
                                         true);
        EXPECT_EQ(report.Format(c.flags), c.expected);
        EXPECT_EQ(report.GetLineText(), c.line >= 0 ? std::to_string(c.line) : "");
    }
}

TEST_F(NotificationFormatTest, CacheIsRebuiltWhenTheFlagsChange) {
    NotificationThreadMessage report(3, 0, "text", "Class", "Method", nullptr, nullptr, -1, false, true);
    EXPECT_EQ(report.Format(0), "Class::Method -- text");
    EXPECT_EQ(report.Format(3), "text");
    EXPECT_EQ(report.Format(0), "Class::Method -- text");
    EXPECT_EQ(report.GetFormatFlags(), 0u);
}

TEST_F(NotificationFormatTest, FixedReportsCarryTheirClassTextAndSeverity) {
    const char* texts[kFixedReportCount] = {
        "NoException",           "CMemoryException",   "CFileException",         "CArchiveException",
        "CResourceException",    "CUserException",     "CNotSupportedException", "COleException",
        "COleDispatchException", "CInternetException", "CDaoException",          "CDBException",
        "UnknownException"};
    for (int i = 0; i < kFixedReportCount; ++i) {
        SCOPED_TRACE(i);
        NotificationThreadMessage& report = GetFixedReport(i);
        EXPECT_EQ(report.GetText(), texts[i]);
        EXPECT_EQ(report.GetFormattedText(), std::string(texts[i]) + "\n");
        EXPECT_EQ(report.GetFormatFlags(), 91u);
        EXPECT_EQ(report.GetExceptionIndex(), i);
        EXPECT_EQ(report.GetSeverity(), i == REPORT_MEMORY ? 6 : i == REPORT_UNKNOWN ? 0 : 3);
        EXPECT_FALSE(report.GetReceiverDeletes());
        EXPECT_FALSE(report.GetWantsReply());
        EXPECT_EQ(report.GetLine(), -1);
    }
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
}

TEST_F(NotificationFormatTest, AnswerCopiesEveryFieldAndTheCache) {
    NotificationThreadMessage report(4, 9, "t", "C", "M", "D", "F", 3, true, false);
    report.Format(0);
    NotificationThreadMessage answer(report);
    EXPECT_EQ(answer.GetSeverity(), 4);
    EXPECT_EQ(answer.GetValue(), 9);
    EXPECT_EQ(answer.GetFormattedText(), "C::M(D) -- t(at F:3)");
    EXPECT_FALSE(answer.GetWantsReply());
    EXPECT_TRUE(answer.GetReceiverDeletes());
}

TEST(OsClass, IsTheNewestFamilyAndCached) {
    ScopedEngineGlobals engine;
    EXPECT_EQ(GetOsClass(), 5);
    EXPECT_EQ(engine.Get().m_State.m_OsClass.load(), 5);
    EXPECT_TRUE(IsOsClassNT5());
    EXPECT_FALSE(IsOsClassNT4() || IsOsClass98() || IsOsClass95());
}

TEST(ConfigFileNames, RecognisesAndBuildsConfigurationPaths) {
    struct NameCase {
        const char* name;
        bool isConfig;
    };
    const NameCase names[] = {{"net.vqd", true}, {"net.VQD", false},   {"net", false},    {"net.", false},
                              {".vqd", true},    {"a.vqd.bak", false}, {"a.b.vqd", true}, {"", false}};
    for (const auto& c : names)
        EXPECT_EQ(IsConfigFileName(c.name), c.isConfig) << c.name;

    struct PathCase {
        const char* folder;
        const char* name;
        const char* path;
    };
    const PathCase paths[] = {
        {"/a/.b", "net", "/a/.b/net.vqd"},         {"/a/", "n.x", "/a/n.x"},
        {"~/.config", "net", "~/.config/net.vqd"}, {"", "net", "/net.vqd"},
        {"/a", "net.vqd", "/a/net.vqd"},           {"/a.d", "sub/net", "/a.d/sub/net.vqd"},
    };
    for (const auto& c : paths)
        EXPECT_EQ(MakeConfigFilePath(c.folder, c.name), c.path) << c.folder << "+" << c.name;
}

} // namespace
} // namespace vq
