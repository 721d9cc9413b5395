#include "../netmodel/ModelFixtures.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorActionSet.h"
#include "netmodel/Conversation.h"
#include "netmodel/Environment.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

struct Log {
    std::vector<std::string> data;
    int matches = 0;
    int deleted = 0;
    int ticks = 0;
};

// An action that records what reaches it; it leaves its pool when it uninstalls itself.
class ProbeAction : public MonitorAction {
public:
    ProbeAction(const void* identifier, std::string name, int32_t scope, int32_t target,
                const char* destination, Log& log, MonitorActionPool& pool, uint32_t repetitions = 0)
        : MonitorAction(identifier, SOURCE_LIVE, scope, target, DATA_PERIODIC, TimeSpan(), repetitions),
          m_Label(std::move(name)), m_Log(log), m_Pool(pool) {
        if (destination) {
            IpAddress ip(destination, true);
            AddSelection(std::make_unique<Tuple>(ip, KEY_Destination, true));
        }
    }
    ~ProbeAction() override { ++m_Log.deleted; }

    bool Matches(const Tuple& tuple) const override {
        ++m_Log.matches;
        return MonitorAction::Matches(tuple);
    }
    void OnData(const FrameView&, const Conversation&) override { m_Log.data.push_back(m_Label); }
    bool OnTick(const Timestamp& now) override {
        ++m_Log.ticks;
        return MonitorAction::OnTick(now);
    }
    void Uninstall() override {
        m_Pool.Remove(*this);
        delete this;
    }
    bool SendUpdate() override { return true; }
    bool SendInitialize() override { return true; }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    std::string m_Label;
    Log& m_Log;
    MonitorActionPool& m_Pool;
};

class ActionPoolTest : public ::testing::Test {
protected:
    ActionPoolTest() : live(1, {nullptr, nullptr, &pools}) { pools.SetEnvironment(&live); }

    // One frame of the stream, counted on its tuple as the live data set does.
    Tuple& Frame(const char* source, const char* destination) {
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:01", source, "00:00:00:00:00:02", destination);
        Tuple* tuple = live.TupleForPacket(frame);
        Conversation conversation(tuple);
        tuple->AddPacket(frame, &conversation);
        return *tuple;
    }
    MonitorActionPool& Trends() { return pools.Trends(); }
    ProbeAction* Install(const void* id, const char* name, int32_t scope, int32_t target,
                         const char* destination, uint32_t repetitions = 0) {
        auto action =
            std::make_unique<ProbeAction>(id, name, scope, target, destination, log, Trends(), repetitions);
        ProbeAction* raw = action.get();
        EXPECT_TRUE(Trends().Add(std::move(action)));
        return raw;
    }

    MonitorActionPools pools;
    Environment live;
    Log log;
    int ids[4] = {};
};

TEST_F(ActionPoolTest, FramesReachTheActionsMatchedOncePerTuple) {
    Tuple& before = Frame("10.0.0.7", "10.0.0.1");
    ProbeAction* watcher = Install(&ids[0], "watcher", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    Install(&ids[1], "data set", SCOPE_DATA_SET, TARGET_CURRENT, "10.0.0.1");
    EXPECT_TRUE(watcher->IsInstalled());
    EXPECT_EQ(log.matches, 1);

    for (int i = 0; i < 3; ++i)
        Frame("10.0.0.7", "10.0.0.1");
    Tuple& after = Frame("10.0.0.9", "10.0.0.1");
    Frame("10.0.0.9", "10.0.0.1");
    Tuple& elsewhere = Frame("10.0.0.7", "10.0.0.2");

    EXPECT_EQ(log.matches, 3);
    EXPECT_EQ(log.data, std::vector<std::string>(5, "watcher"));
    ASSERT_NE(after.GetActions(), nullptr);
    EXPECT_EQ(elsewhere.GetActions(), nullptr);
    const auto& sets = static_cast<const MonitorActionSets&>(*before.GetActions());
    EXPECT_EQ(sets.GetCount(), 1u);
    EXPECT_TRUE(sets.Contains(*watcher));
    EXPECT_FALSE(sets.Contains(*Trends().Find(&ids[1])));
}

TEST_F(ActionPoolTest, SetsDispatchCurrentThenTotalThenLatestAndDropEmptiedTargets) {
    Install(&ids[0], "latest", SCOPE_TUPLES, TARGET_LATEST, "10.0.0.1");
    Install(&ids[1], "total", SCOPE_TUPLES, TARGET_TOTAL, "10.0.0.1");
    Install(&ids[2], "current", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    Install(&ids[3], "no target", SCOPE_TUPLES, 3, "10.0.0.1");
    Tuple& tuple = Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data, (std::vector<std::string>{"current", "total", "latest"}));
    const auto* sets = static_cast<const MonitorActionSets*>(tuple.GetActions());
    EXPECT_EQ(sets->GetTargetVector(), 7);

    Trends().Find(&ids[0])->Uninstall();
    EXPECT_EQ(sets->GetTargetVector(), 3);
    log.data.clear();
    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data, (std::vector<std::string>{"current", "total"}));

    Trends().Find(&ids[1])->Uninstall();
    Trends().Find(&ids[2])->Uninstall();
    EXPECT_EQ(tuple.GetActions(), nullptr);
    EXPECT_EQ(log.deleted, 3);
}

// More actions than a tuple keeps inline, then few enough again: the order holds either way.
TEST_F(ActionPoolTest, ManyActionsKeepTheDispatchOrderAsTheyComeAndGo) {
    int many[6] = {};
    Install(&many[0], "latest", SCOPE_TUPLES, TARGET_LATEST, "10.0.0.1");
    Install(&many[1], "current 1", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    Install(&many[2], "total 1", SCOPE_TUPLES, TARGET_TOTAL, "10.0.0.1");
    Install(&many[3], "current 2", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    Install(&many[4], "current 3", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    Install(&many[5], "total 2", SCOPE_TUPLES, TARGET_TOTAL, "10.0.0.1");
    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data, (std::vector<std::string>{"current 1", "current 2", "current 3", "total 1", "total 2",
                                                  "latest"}));

    Trends().Find(&many[3])->Uninstall();
    Trends().Find(&many[2])->Uninstall();
    log.data.clear();
    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data, (std::vector<std::string>{"current 1", "current 3", "total 2", "latest"}));

    Install(&many[2], "total 3", SCOPE_TUPLES, TARGET_TOTAL, "10.0.0.1");
    log.data.clear();
    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data,
              (std::vector<std::string>{"current 1", "current 3", "total 2", "total 3", "latest"}));
}

TEST_F(ActionPoolTest, DescriptionsGiveTheTargetsAndHowManyActionsEachSetHolds) {
    Install(&ids[0], "total", SCOPE_TUPLES, TARGET_TOTAL, "10.0.0.1");
    Install(&ids[1], "current", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    Install(&ids[2], "current too", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    const auto& sets = static_cast<const MonitorActionSets&>(*Frame("10.0.0.7", "10.0.0.1").GetActions());
    EXPECT_EQ(sets.DescribeMembers(1 | 4, 0, false), "3 false (1 elements) false (2 elements) false (empty)");
    EXPECT_EQ(sets.DescribeColumns(4, false), "Target Total Current Latest");
    const std::string heading = "\n[class MonitorActionSets members]\nm_TargetVector=<3>\n";
    EXPECT_EQ(sets.DescribeMembers(0, 0, false).substr(0, heading.size()), heading);
    EXPECT_EQ(MonitorActionSet().DescribeObject(0, 0),
              "MonitorActionSet\n\n[class MonitorActionSet members]\nm_OwnsContents=<false> (empty)\n");
    // A pool has no members to show, only its class.
    EXPECT_EQ(Trends().DescribeObject(0, 0), "MonitorActionPool\n\n[class MonitorActionPool members]\n\n");
    EXPECT_EQ(Trends().DescribeObject(1, 0), "");
}

TEST_F(ActionPoolTest, SecondInstallUnderOneIdentifierUninstallsTheFirst) {
    Frame("10.0.0.7", "10.0.0.1");
    Install(&ids[0], "first", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    ProbeAction* second = Install(&ids[0], "second", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    EXPECT_EQ(log.deleted, 1);
    EXPECT_EQ(Trends().Find(&ids[0]), second);
    EXPECT_EQ(Trends().GetCount(), 1u);

    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data, std::vector<std::string>{"second"});

    Trends().Find(&ids[0])->Uninstall();
    EXPECT_EQ(log.deleted, 2);
    EXPECT_EQ(Trends().GetCount(), 0u);
    EXPECT_EQ(Trends().Find(&ids[0]), nullptr);
}

TEST_F(ActionPoolTest, AnActionUninstallingItselfDuringTheTickLeavesTheOthersTicking) {
    Frame("10.0.0.7", "10.0.0.1");
    Install(&ids[0], "once", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1", 1);
    Install(&ids[1], "once more", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1", 1);
    Install(&ids[2], "endless", SCOPE_TUPLES, TARGET_CURRENT, "10.0.0.1");
    pools.UpdateAll(Timestamp::Now());
    EXPECT_EQ(log.ticks, 3);
    EXPECT_EQ(log.deleted, 2);
    EXPECT_EQ(Trends().GetCount(), 1u);

    log.data.clear();
    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_EQ(log.data, std::vector<std::string>{"endless"});
}

TEST_F(ActionPoolTest, NullActionIsRefusedAndDeleteAllEmptiesEveryPool) {
    EXPECT_FALSE(Trends().Add(nullptr));
    Install(&ids[0], "one", SCOPE_DATA_SET, TARGET_CURRENT, nullptr);
    Install(&ids[1], "two", SCOPE_DATA_SET, TARGET_CURRENT, nullptr);
    pools.DeleteAll();
    EXPECT_EQ(log.deleted, 2);
    EXPECT_EQ(Trends().GetCount(), 0u);
}

// A kind that leaves uninstalling to the base.
class PlainAction : public MonitorAction {
public:
    PlainAction(const void* identifier, Log& log)
        : MonitorAction(identifier, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, TimeSpan(), 1),
          m_Log(log) {
        IpAddress ip("10.0.0.1", true);
        AddSelection(std::make_unique<Tuple>(ip, KEY_Destination, true));
    }
    ~PlainAction() override { ++m_Log.deleted; }
    void OnData(const FrameView&, const Conversation&) override { m_Log.data.push_back("plain"); }
    bool SendUpdate() override { return true; }
    bool SendInitialize() override { return true; }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    Log& m_Log;
};

TEST_F(ActionPoolTest, AnUninstalledActionLeavesItsPoolAndItsTuplesWhateverItsKind) {
    Tuple& tuple = Frame("10.0.0.7", "10.0.0.1");
    ASSERT_TRUE(pools.Alarms().Add(std::make_unique<PlainAction>(&ids[0], log)));
    ASSERT_NE(tuple.GetActions(), nullptr);
    pools.UpdateAll(Timestamp::Now());
    EXPECT_EQ(log.deleted, 1);
    EXPECT_EQ(pools.Alarms().GetCount(), 0u);
    EXPECT_EQ(tuple.GetActions(), nullptr);
    Frame("10.0.0.7", "10.0.0.1");
    EXPECT_TRUE(log.data.empty());
}

} // namespace
} // namespace vq
