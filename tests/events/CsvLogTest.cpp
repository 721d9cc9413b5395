#include "events/CLogBaseFile.h"
#include "tests/events/EventsFixture.h"
#include "tests/shell/EventRecording.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vq {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CsvLogTest : public test::EventsFixture {
protected:
    std::string Folder() const { return m_Dir.File("site_log"); }
    std::string EventFile() const { return Folder() + "/Event_2026_12_08.txt"; }
    void StartLogging() {
        Start([](CCfgOstrelix& root) { root.SetCsvLogging(true); });
    }
    void Record(int code) {
        Log().OnSystemEvent(std::make_unique<SystemEventInfo>(code, OleDateTime::GetCurrentTime(), ""));
    }
};

constexpr const char* kHeader = "Date-Time,Object,Event,Message\r\n\r\r\n";

TEST_F(CsvLogTest, TheEventFileIsDatedAndHoldsOneQuotedRecordPerTransaction) {
    SaveDevice("rou,ter\"1", 2, "10.0.0.1");
    SaveEvent(DeviceEvent("rou,ter\"1"));
    StartLogging();
    ASSERT_TRUE(Log().GetEventFile()->IsOpen());
    EXPECT_EQ(Log().GetEventFile()->GetPath(), EventFile());
    EXPECT_EQ(Read(EventFile()), kHeader);

    Log().RaiseEvent(EventOf("rou,ter\"1"), OleDateTime::GetCurrentTime());
    EXPECT_EQ(Read(EventFile()),
              std::string(kHeader) +
                  "Dec-08-2026,22:15:03,\"rou_ter\"1\",\"High Traffic Volume\",\"Active\",\"\"\r\n");
    Pump();
    EXPECT_TRUE(test::SystemEvents(Log()).empty());
}

TEST_F(CsvLogTest, TheLogFolderDropsTheLastFourCharactersOfTheDatabaseName) {
    EXPECT_EQ(LogDoc::LogFolder("/d", "site.vqd"), "/d/site_log");
    EXPECT_EQ(LogDoc::LogFolder("/d", "a.b"), "/d/_log");
    EXPECT_EQ(LogDoc::LogFolder("/d", "abcd"), "/d/_log");
}

TEST_F(CsvLogTest, ASuspendedFileComesBackWithItsHeaderAndKeepsItsDayPastMidnight) {
    fs::create_directories(Folder());
    CLogBaseFile file;
    ASSERT_TRUE(file.Open(Folder() + "/Hosts"));
    file.WriteHeader("Date-Time,Host");
    ASSERT_TRUE(file.WriteLine("one"));
    file.Suspend();
    fs::remove(file.GetPath());
    ASSERT_TRUE(file.WriteLine("two"));
    file.Suspend();
    EXPECT_EQ(Read(file.GetPath()), "Date-Time,Host\r\ntwo\r\n");

    m_Clock.Set(test::LocalTicks(2026, 12, 9, 0, 0, 30));
    ASSERT_TRUE(file.WriteLine("three"));
    file.Suspend();
    EXPECT_EQ(Read(Folder() + "/Hosts_2026_12_08.txt"), "Date-Time,Host\r\ntwo\r\nthree\r\n");
    EXPECT_FALSE(fs::exists(Folder() + "/Hosts_2026_12_09.txt"));

    // A writer without a header starts a file made again with an empty line.
    CLogBaseFile bare;
    ASSERT_TRUE(bare.Open(Folder() + "/Bare"));
    bare.Suspend();
    fs::remove(bare.GetPath());
    ASSERT_TRUE(bare.WriteLine("x"));
    EXPECT_EQ(Read(bare.GetPath()), "\r\nx\r\n");
    EXPECT_EQ(CLogBaseFile::FormatDateTime(OleDateTime(2026, 3, 3, 9, 5, 7)), "Mar-03-2026,09:05:07,");
}

TEST_F(CsvLogTest, AFileWhereTheFolderShouldBeLeavesTheLogInMemory) {
    std::ofstream(Folder()) << "not a folder";
    StartLogging();
    Pump();
    EXPECT_EQ(test::SystemEventCodes(Log()), std::vector<int>{281});
    EXPECT_FALSE(m_App->GetRootRecord()->GetKeepEventStatus());
    Record(493);
    EXPECT_EQ(test::SystemEventCodes(Log()), (std::vector<int>{281, 493}));
    EXPECT_EQ(Read(Folder()), "not a folder");
}

TEST_F(CsvLogTest, AFailingFileIsReportedOnceAndWritingResumesWhenItCanBeWritten) {
    StartLogging();
    Record(493);
    fs::remove(EventFile());
    fs::create_directory(EventFile());
    Record(494);
    Pump();
    Record(411);
    Pump();
    const auto events = test::SystemEvents(Log());
    ASSERT_EQ(test::SystemEventCodes(Log()), (std::vector<int>{493, 494, 281, 411}));
    EXPECT_NE(events[2].second.find(EventFile()), std::string::npos) << events[2].second;

    fs::remove(EventFile());
    Record(412);
    Pump();
    EXPECT_EQ(test::SystemEventCodes(Log()).size(), 5u);
    const std::string text = Read(EventFile());
    EXPECT_EQ(text.rfind(kHeader, 0), 0u);
    EXPECT_NE(text.find("\"New IP device\""), std::string::npos) << text;
}

} // namespace
} // namespace vq
