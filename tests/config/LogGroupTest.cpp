#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

CCfgLogGroupLevel FilledLevel() {
    CCfgLogGroupLevel level;
    level.SetGroupName("Ops/Net");
    level.SetNew(false);
    level.SetResetMinutes(11);
    level.SetInertFlagB(true);
    level.SetInertMinutes(15);
    level.SetInertFlagA(true);
    level.SetAutoAckMinutes(12);
    level.SetAckRequired(true);
    level.SetProgramParameters("-t [ET]");
    level.SetProgram("/usr/bin/notify");
    level.SetReportProgram(true);
    level.SetClip("alarm.wav");
    level.SetReportMultimedia(true);
    level.SetDialogType(1);
    level.SetDialogMessage("look");
    level.SetReportDialog(true);
    level.SetEmailText("text");
    level.SetEmailAddress("ops@example.org");
    level.SetReportEmail(true);
    level.SetDescription("desc");
    level.SetName("Critical/High");
    return level;
}

void ExpectSameSettings(const CCfgLogGroupLevel& a, const CCfgLogGroupLevel& b) {
    EXPECT_EQ(a.GetResetMinutes(), b.GetResetMinutes());
    EXPECT_EQ(a.GetAutoAckMinutes(), b.GetAutoAckMinutes());
    EXPECT_EQ(a.GetAckRequired(), b.GetAckRequired());
    EXPECT_EQ(a.GetProgramParameters(), b.GetProgramParameters());
    EXPECT_EQ(a.GetProgram(), b.GetProgram());
    EXPECT_EQ(a.GetReportProgram(), b.GetReportProgram());
    EXPECT_EQ(a.GetClip(), b.GetClip());
    EXPECT_EQ(a.GetReportMultimedia(), b.GetReportMultimedia());
    EXPECT_EQ(a.GetDialogType(), b.GetDialogType());
    EXPECT_EQ(a.GetDialogMessage(), b.GetDialogMessage());
    EXPECT_EQ(a.GetReportDialog(), b.GetReportDialog());
    EXPECT_EQ(a.GetEmailText(), b.GetEmailText());
    EXPECT_EQ(a.GetEmailAddress(), b.GetEmailAddress());
    EXPECT_EQ(a.GetReportEmail(), b.GetReportEmail());
}

TEST(LogGroupRecords, Defaults) {
    const CCfgLogGroup group;
    EXPECT_TRUE(group.IsNew());
    EXPECT_EQ(group.GetName(), "");
    EXPECT_EQ(group.GetDescription(), "");

    const CCfgLogGroupLevel level;
    EXPECT_TRUE(level.IsNew());
    EXPECT_EQ(level.GetGroupName(), "");
    EXPECT_EQ(level.GetName(), "");
    EXPECT_EQ(level.GetDescription(), "");
    EXPECT_EQ(level.GetResetMinutes(), 0);
    EXPECT_EQ(level.GetAutoAckMinutes(), 0);
    EXPECT_FALSE(level.GetAckRequired());
    EXPECT_EQ(level.GetProgramParameters(), "");
    EXPECT_EQ(level.GetProgram(), "");
    EXPECT_FALSE(level.GetReportProgram());
    EXPECT_EQ(level.GetClip(), "");
    EXPECT_FALSE(level.GetReportMultimedia());
    EXPECT_EQ(level.GetDialogType(), 0);
    EXPECT_EQ(level.GetDialogMessage(), "");
    EXPECT_FALSE(level.GetReportDialog());
    EXPECT_EQ(level.GetEmailText(), "");
    EXPECT_EQ(level.GetEmailAddress(), "");
    EXPECT_FALSE(level.GetReportEmail());
}

TEST(LogGroupRecords, NamesKeepTheirSlashes) {
    CCfgLogGroup group;
    group.SetName("a/b/c");
    EXPECT_EQ(group.GetName(), "a/b/c");
    const CCfgLogGroupLevel level = FilledLevel();
    EXPECT_EQ(level.GetName(), "Critical/High");
    EXPECT_EQ(level.GetGroupName(), "Ops/Net");
}

TEST(LogGroupRecords, GroupCopyIsNew) {
    CCfgLogGroup group;
    group.SetName("Ops");
    group.SetDescription("operators");
    group.SetNew(false);
    const CCfgLogGroup copy(group);
    EXPECT_EQ(copy.GetName(), "Ops");
    EXPECT_EQ(copy.GetDescription(), "operators");
    EXPECT_TRUE(copy.IsNew());
}

TEST(LogGroupRecords, InertFieldsReadFixedValuesAndCopyThem) {
    const CCfgLogGroupLevel level = FilledLevel();
    EXPECT_FALSE(level.GetInertFlagA());
    EXPECT_EQ(level.GetInertMinutes(), 0);
    EXPECT_FALSE(level.GetInertFlagB());

    const CCfgLogGroupLevel copy(level);
    EXPECT_FALSE(copy.GetInertFlagA());
    EXPECT_EQ(copy.GetInertMinutes(), 0);
    EXPECT_FALSE(copy.GetInertFlagB());
    ExpectSameSettings(copy, level);
    EXPECT_EQ(copy.GetGroupName(), "Ops/Net");
    EXPECT_EQ(copy.GetName(), "Critical/High");
    EXPECT_EQ(copy.GetDescription(), "desc");
    EXPECT_FALSE(copy.IsNew());
}

TEST(LogGroupRecords, LevelFromTextTakesSettingsButNotIdentity) {
    const CCfgLogGroupLevel level = FilledLevel();
    const CCfgLogGroupLevel made("Night", level);
    EXPECT_EQ(made.GetName(), "Night");
    EXPECT_EQ(made.GetGroupName(), "Night");
    EXPECT_EQ(made.GetDescription(), "");
    EXPECT_TRUE(made.IsNew());
    ExpectSameSettings(made, level);
    EXPECT_EQ(made.GetInertMinutes(), 0);
}

} // namespace
} // namespace vq
