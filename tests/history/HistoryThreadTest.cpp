#include "history/History.h"
#include "history/HistoryDB_Create.h"
#include "history/HistoryThreadMessages.h"
#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryDataSet.h"
#include "monitor/HistoryMessages.h"
#include "runtime/MessageIds.h"
#include "tests/history/HistoryFixtures.h"
#include "tests/support/ChildProcess.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vq::history {
namespace {

using namespace vq::history::test;

// The monitor's side of the exchange: keeps the install and the replies it is sent.
class MonitorSide : public ReportingApp {
public:
    std::vector<HistoryService*> installs;
    std::vector<std::unique_ptr<DatabaseReply>> replies;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (id == WM_Checkpoint_Install) {
            if (!message->Receive()) return;
            installs.push_back(static_cast<HistoryCheckpointRequestMessage*>(message)->GetHistory());
            if (message->Complete()) delete message;
            return;
        }
        if (id == WM_Database_Reply) {
            if (!message->Receive()) return;
            replies.push_back(static_cast<HistoryDatabaseReplyMessage*>(message)->TakeReply());
            if (message->Complete()) delete message;
            return;
        }
        ReportingApp::OnThreadMessage(id, message);
    }
};

// Pumps the test thread's queue until the condition holds (or ten seconds pass).
template <typename Condition> bool PumpUntil(MonitorSide& side, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        side.PumpPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// How many descriptors of this process are open on the file.
int OpenDescriptors(const std::string& path) {
    int count = 0;
    const std::string target = std::filesystem::weakly_canonical(path).string();
    for (const auto& link : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(link.path(), error).string() == target) ++count;
    }
    return count;
}

// A fresh engine, the monitor's side on the calling thread and a history thread to talk to.
class HistoryRig {
public:
    HistoryRig()
        : m_Engine(std::make_unique<ScopedEngineGlobals>()), m_Side(std::make_unique<MonitorSide>()) {
        m_Side->Register();
    }
    ~HistoryRig() {
        StopHistoryThread(m_History);
        m_Side->PumpPending();
        m_Side.reset();
        m_Engine.reset();
    }

    // Starts the thread on a path and waits for its install.
    bool Start(const std::string& path, int32_t flags = 25) {
        m_History = MakeHistory(path, flags);
        if (!StartHistoryThread(m_History)) return false;
        return PumpUntil(*m_Side, [&] { return !m_Side->installs.empty(); });
    }

    template <typename M, typename... Args> bool Post(Args&&... args) {
        auto* message = new M(std::forward<Args>(args)...);
        if (message->Send(m_History.get())) return true;
        delete message;
        return false;
    }

    bool Request(std::uintptr_t identifier, const std::string& name, const Timestamp& from,
                 const Timestamp& to) {
        auto request = std::make_unique<DatabaseRequest>();
        request->m_Identifier = identifier;
        request->m_DatabaseName = name;
        request->m_Kind = 2;
        request->m_From = from;
        request->m_To = to;
        return Post<HistoryDatabaseRequestMessage>(std::move(request), false, true);
    }

    DatabaseReply* WaitForReply(size_t count) {
        if (!PumpUntil(*m_Side, [&] { return m_Side->replies.size() >= count; })) return nullptr;
        return m_Side->replies[count - 1].get();
    }

    bool PostCheckpoint(CheckpointBuilder& builder, const Timestamp& end) {
        CheckpointSource source = builder.At(end);
        auto checkpoint = std::make_unique<DatabaseCheckpoint>(
            std::uintptr_t(m_History.get()), &source.m_Traffic, end, source.m_Length, source.m_Environment);
        return Post<HistoryCheckpointUpdateMessage>(std::move(checkpoint), false, true);
    }

    std::unique_ptr<ScopedEngineGlobals> m_Engine;
    std::unique_ptr<MonitorSide> m_Side;
    std::unique_ptr<HistoryService> m_History;
};

class HistoryThreadTest : public ::testing::Test {
protected:
    HistoryRig m_Rig;
    vq::test::TempDir m_Dir;
};

TEST(HistoryFlagsTest, HistoryFlagsBecomeOpenFlags) {
    EXPECT_EQ(History::OpenFlagsFor(25), OPEN_LOAD | OPEN_READ | OPEN_WRITE | OPEN_CREATE);
    EXPECT_EQ(History::OpenFlagsFor(5), OPEN_READ | OPEN_CREATE);
    EXPECT_EQ(History::OpenFlagsFor(0), OPEN_READ | OPEN_WRITE);
}

TEST_F(HistoryThreadTest, ControlMessagesAreTakenAndRestartReopensOnlyTheDefault) {
    const std::string path = m_Dir.File("default.db");
    const std::string other = m_Dir.File("other.db");
    ASSERT_TRUE(DatabaseCreate(other, true));
    ASSERT_TRUE(m_Rig.Start(path));
    ASSERT_EQ(m_Rig.m_Side->installs.size(), 1u);
    EXPECT_EQ(m_Rig.m_Side->installs[0], m_Rig.m_History.get());
    EXPECT_TRUE(std::filesystem::exists(path));

    ASSERT_TRUE(m_Rig.Post<HistoryControlPauseMessage>(false, true));
    ASSERT_TRUE(m_Rig.Post<HistoryControlUnpauseMessage>(false, true));
    ASSERT_TRUE(m_Rig.Post<HistoryControlResetMessage>(false, true));
    ASSERT_TRUE(m_Rig.Post<HistoryDatabaseCancelMessage>(nullptr, false, true));
    ASSERT_TRUE(m_Rig.Request(7, other, NULL_TIME, NULL_TIME));
    DatabaseReply* reply = m_Rig.WaitForReply(1);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->GetIdentifier(), 7u);
    EXPECT_FALSE(reply->IsFailed());
    EXPECT_GT(OpenDescriptors(other), 0);
    // Everything sent so far has been taken and deleted: only the reply's set is still around.
    EXPECT_EQ(Engine().m_MessagePool.GetSize(), 0u);

    ASSERT_TRUE(m_Rig.Post<HistoryControlRestartMessage>(false, true));
    ASSERT_TRUE(m_Rig.Request(8, std::string(), NULL_TIME, NULL_TIME));
    ASSERT_NE(m_Rig.WaitForReply(2), nullptr);
    EXPECT_EQ(OpenDescriptors(other), 0);
    EXPECT_GT(OpenDescriptors(path), 0);
    EXPECT_TRUE(m_Rig.m_Side->reports.empty());
}

TEST_F(HistoryThreadTest, AnUnopenableDefaultEndsTheThreadAndLaterSendsAreRefused) {
    m_Rig.m_History = MakeHistory(m_Dir.File("missing-folder/h.db"), 25);
    ASSERT_TRUE(StartHistoryThread(m_Rig.m_History));
    ASSERT_TRUE(PumpUntil(*m_Rig.m_Side, [&] { return m_Rig.m_Side->reports.size() >= 2; }));
    EXPECT_TRUE(m_Rig.m_Side->installs.empty());
    m_Rig.m_History->Join();
    auto* late = new HistoryControlPauseMessage(false, true);
    EXPECT_FALSE(late->Send(m_Rig.m_History.get()));
    delete late;
}

TEST_F(HistoryThreadTest, EveryRequestIsAnsweredFailuresAsFailedRepliesWithAReport) {
    const std::string path = m_Dir.File("h.db");
    ASSERT_TRUE(m_Rig.Start(path));
    ASSERT_TRUE(m_Rig.Request(10, std::string(), NULL_TIME, NULL_TIME));
    DatabaseReply* empty = m_Rig.WaitForReply(1);
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(empty->IsFailed());
    ASSERT_NE(empty->GetDataSet()->GetRing(), nullptr);
    EXPECT_EQ(empty->GetDataSet()->GetRing()->GetCount(), 2);
    EXPECT_TRUE(m_Rig.m_Side->reports.empty());

    ASSERT_TRUE(m_Rig.Request(11, m_Dir.File("nothing-here.db"), NULL_TIME, NULL_TIME));
    DatabaseReply* missing = m_Rig.WaitForReply(2);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetIdentifier(), 11u);
    EXPECT_TRUE(missing->IsFailed());
    ASSERT_NE(missing->GetDataSet(), nullptr);
    EXPECT_EQ(missing->GetDataSet()->GetRing(), nullptr);
    EXPECT_EQ(m_Rig.m_Side->reports.size(), 1u);

    TwoHostCheckpoint checkpoint;
    ASSERT_TRUE(m_Rig.PostCheckpoint(checkpoint, Utc(2026, 3, 3, 10, 5)));
    ASSERT_TRUE(m_Rig.Request(12, std::string(), NULL_TIME, NULL_TIME));
    ASSERT_NE(m_Rig.WaitForReply(3), nullptr);
    db::Database::Open(path)->Execute("INSERT INTO Data VALUES (9, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 77)");
    ASSERT_TRUE(m_Rig.Request(13, std::string(), NULL_TIME, NULL_TIME));
    DatabaseReply* broken = m_Rig.WaitForReply(4);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->GetIdentifier(), 13u);
    EXPECT_TRUE(broken->IsFailed());
    EXPECT_EQ(m_Rig.m_Side->reports.size(), 2u);
}

TEST_F(HistoryThreadTest, StopFreesWhatIsStillQueued) {
    ASSERT_TRUE(m_Rig.Start(m_Dir.File("h.db")));
    TwoHostCheckpoint checkpoint;
    for (int i = 1; i <= 20; ++i)
        ASSERT_TRUE(m_Rig.PostCheckpoint(checkpoint, Utc(2026, 3, 3, 10, 5 * i)));
    ASSERT_TRUE(m_Rig.Request(1, std::string(), NULL_TIME, NULL_TIME));
    StopHistoryThread(m_Rig.m_History);
    EXPECT_EQ(m_Rig.m_History, nullptr);
}

constexpr int kIntervals = 6;
const Timestamp kBase = Utc(2026, 3, 3, 10, 0);

// The writing process of the test below, which starts it: the history thread on a missing path,
// checkpoints and a log mark through the thread messages, then the stop.
TEST(HistoryWriterProcess, WritesThroughTheHistoryThread) {
    const char* path = std::getenv("VQ_HISTORY_WRITER");
    if (path == nullptr) GTEST_SKIP() << "runs as the writer of TheHistoryReadsBackInAnotherProcess";
    HistoryRig writer;
    ASSERT_TRUE(writer.Start(path));
    TwoHostCheckpoint checkpoint;
    for (int i = 1; i <= kIntervals; ++i) {
        checkpoint.Clear();
        checkpoint.Count(checkpoint.ab, 100 * i, i);
        checkpoint.Count(checkpoint.ba, 10 * i, 1);
        ASSERT_TRUE(writer.PostCheckpoint(checkpoint, kBase + Minutes(5 * i)));
    }
    ASSERT_TRUE(writer.Post<HistoryDatabaseLogMessage>(kBase + Minutes(7), "mark", false, true));
    StopHistoryThread(writer.m_History);
}

// Runs this test program again as the writer and answers its exit status.
int RunWriter(const std::string& path) {
    std::vector<std::string> environment{"VQ_HISTORY_WRITER=" + path};
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=HistoryWriterProcess.*";
    char* argv[] = {program.data(), filter.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One process writes, another reads: the history survives the first one's end.
TEST_F(HistoryThreadTest, TheHistoryReadsBackInAnotherProcess) {
    const std::string path = m_Dir.File("shared.db");
    const Timestamp base = kBase;
    ASSERT_EQ(RunWriter(path), 0);
    ASSERT_EQ(Scalar(path, "SELECT count(*) FROM TimeLine"), kIntervals + 1);

    ASSERT_TRUE(m_Rig.Start(path));
    ASSERT_TRUE(m_Rig.Request(1, std::string(), NULL_TIME, NULL_TIME));
    ASSERT_TRUE(m_Rig.Request(2, std::string(), base + Minutes(10), base + Minutes(20)));
    DatabaseReply* all = m_Rig.WaitForReply(1);
    DatabaseReply* middle = m_Rig.WaitForReply(2);
    ASSERT_NE(all, nullptr);
    ASSERT_NE(middle, nullptr);
    ASSERT_FALSE(all->IsFailed());

    auto octetsOf = [](const DataRoot& root, uint16_t application, bool forward) {
        int64_t octets = 0;
        size_t position = 0;
        while (Conversation* c = root.GetTraffic()->GetConversations()->GetNextConversation(position)) {
            const Tuple* tuple = c->GetTuple();
            const bool isForward = tuple->GetSource()->GetIp().GetText() == "10.0.0.1";
            if (tuple->GetField(FieldApplication) == application && isForward == forward)
                octets += c->GetTraffic().Get(TrafficData::Octets);
        }
        return octets;
    };
    HistoryBuffer* ring = all->GetDataSet()->GetRing();
    ASSERT_EQ(ring->GetCount(), kIntervals);
    for (int i = 0; i < kIntervals; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ring->GetSlot(i)->GetTime(), base + Minutes(5 * (i + 1)));
        EXPECT_EQ(octetsOf(*ring->GetSlot(i), 80, true), 100 * (i + 1));
        EXPECT_EQ(octetsOf(*ring->GetSlot(i), 80, false), 10 * (i + 1));
    }
    EXPECT_EQ(octetsOf(all->GetDataSet()->GetTotal(), 80, true), 100 * 21);
    EXPECT_EQ(octetsOf(all->GetDataSet()->GetTotal(), 80, false), 10 * 21);

    HistoryBuffer* part = middle->GetDataSet()->GetRing();
    ASSERT_EQ(part->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(part->GetSlot(i)->GetTime(), ring->GetSlot(i + 1)->GetTime());
        EXPECT_EQ(octetsOf(*part->GetSlot(i), 80, true), octetsOf(*ring->GetSlot(i + 1), 80, true));
    }

    // Hosts, addresses, names and interfaces come back with the tuples.
    Environment* model = all->GetEnvironment();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->GetTuplePool().GetCount(), 2);
    EXPECT_EQ(model->GetHostTable().GetCount(), 2);
    bool named = false;
    for (HostAddress* host : model->GetHostTable().GetHosts())
        named |= host->GetIp().GetNameAt(0) == "alpha";
    EXPECT_TRUE(named);
    ASSERT_EQ(model->GetInterfaceTable().GetCount(), 1);
    EXPECT_EQ(model->GetInterfaceTable().GetAt(0)->GetName(), "eth0");
}

} // namespace
} // namespace vq::history
