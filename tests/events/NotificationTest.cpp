#include "events/EventMailer.h"
#include "events/NotificationJob.h"
#include "events/ProgramArguments.h"
#include "tests/events/EventsFixture.h"
#include "tests/shell/EventRecording.h"
#include "tests/support/FifoRead.h"
#include "tests/support/SmtpSink.h"
#include "tests/support/Watchdog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace vq {
namespace {

using Arguments = std::vector<std::string>;

TEST(ProgramArguments, PlaceholdersExpandInsideTheirArgumentsOnly) {
    NotificationJob job;
    job.m_ProgramPath = "/opt/notify";
    job.m_Kind = EventInfo::kDevice;
    job.m_TypeName = "Slow Response";
    job.m_ObjectName = "pc7";
    job.m_GroupName = "Ops";
    job.m_LevelName = "Info";
    job.m_Time = OleDateTime(2026, 12, 8, 22, 15, 3);
    const struct {
        const char* parameters;
        int kind;
        const char* name;
        Arguments expected;
    } cases[] = {
        {"-t [ET] -n [NM]", EventInfo::kDevice, "pc7", {"/opt/notify", "-t", "Slow Response", "-n", "pc7"}},
        {"--name=[NM]", EventInfo::kDevice, "x; touch y", {"/opt/notify", "--name=x; touch y"}},
        {"[OT] [XX] [LG]/[LL]", EventInfo::kSystem, "pc7", {"/opt/notify", "[OT]", "[XX]", "Ops /Info"}},
        {"[OT] \"at [TM]\" a\\\"b",
         EventInfo::kNetwork,
         "pc7",
         {"/opt/notify", "Network", "at Tue 08 Dec 22:15", "a\"b"}},
        {"", EventInfo::kDevice, "pc7", {"/opt/notify"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        job.m_Parameters = c.parameters;
        job.m_Kind = c.kind;
        job.m_ObjectName = c.name;
        EXPECT_EQ(ProgramArguments(job), c.expected);
    }
}

class ProgramNotificationTest : public test::EventsFixture {
protected:
    // An announced "Slow Response" of pc7 whose level starts the program with the parameters.
    void Announce(const std::string& program, const std::string& parameters) {
        SaveLevels("Ops", {{"Info", false, 0, [&](CCfgLogGroupLevel& level) {
                                level.SetReportProgram(true);
                                level.SetProgram(program);
                                level.SetProgramParameters(parameters);
                            }}});
        SaveDevice("x; touch y", 2, "10.0.0.7");
        CCfgDeviceEvent event = DeviceEvent("x; touch y");
        event.SetType(13);
        SaveEvent(event);
        Start();
        EventInfo& info = EventOf("x; touch y");
        info.m_Owner = &Device("x; touch y");
        Log().RaiseEvent(info, OleDateTime::GetCurrentTime());
        Pump();
    }
};

TEST_F(ProgramNotificationTest, TheProgramGetsItsArgumentsWithoutAShell) {
    const std::string fifo = m_Dir.File("argv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string script = m_Dir.File("notify.sh");
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << fifo << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    // Were the value given to a shell, "touch y" would make y here.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(m_Dir.Path());
    Announce(script, "-t [ET] -n [NM]");
    EXPECT_EQ(test::ReadFifo(fifo, std::chrono::seconds(30)), "-t\nSlow Response\n-n\nx; touch y\n");
    EXPECT_FALSE(std::filesystem::exists(m_Dir.File("y")));
    std::filesystem::current_path(previous);
    EXPECT_TRUE(test::SystemEvents(Log()).empty());
}

TEST_F(ProgramNotificationTest, AMissingProgramIsRecordedWithTheSystemsReason) {
    Announce(m_Dir.File("missing"), "-t [ET]");
    EXPECT_EQ(test::SystemEvents(Log()),
              (std::vector<std::pair<int, std::string>>{{287, "No such file or directory"}}));
}

class MailNotificationTest : public test::EventsFixture {
protected:
    // pc7's "High Traffic Volume", mailed to each address by a level of its own, raised once per
    // address; the mails are handed to the mail thread.
    void Raise(const test::SmtpSink& sink, const std::vector<std::string>& addresses) {
        std::vector<Level> levels;
        for (std::size_t i = 0; i < addresses.size(); ++i)
            levels.push_back(
                {"L" + std::to_string(i), false, 0, [address = addresses[i]](CCfgLogGroupLevel& level) {
                     level.SetReportEmail(true);
                     level.SetEmailAddress(address);
                     level.SetDescription("mailed");
                 }});
        SaveLevels("Ops", levels);
        SaveDevice("pc7", 2, "10.0.0.7");
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            CCfgDeviceEvent event = DeviceEvent("pc7");
            event.SetPrimaryLevel("L" + std::to_string(i));
            SaveEvent(event);
        }
        Start();
        m_App->SetRegistryKey(COstrelixApp::kRegistryKey);
        m_App->WriteProfileString("Mail", "Server", sink.Url().c_str());
        m_App->WriteProfileString("Mail", "From", "monitor@example.org");
        ASSERT_TRUE(m_App->LoadMapi());
        if (!m_User.empty()) {
            m_App->GetRootRecord()->SetUseDefaultLogon(false);
            m_App->GetRootRecord()->SetMessagingUser(m_User);
            m_App->GetRootRecord()->SetMessagingPassword("pw");
        }
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            EventInfo& info = EventOf("pc7", int(i));
            info.m_Owner = &Device("pc7");
            Log().RaiseEvent(info, OleDateTime::GetCurrentTime());
        }
        Pump();
        ASSERT_NE(Log().GetMailer(), nullptr);
    }
    // Raised as above, and every mail sent.
    void Announce(const test::SmtpSink& sink, const std::vector<std::string>& addresses) {
        Raise(sink, addresses);
        Log().GetMailer()->Flush();
        Pump();
    }

    std::string m_User;
};

TEST_F(MailNotificationTest, TheMailNamesTheEventInItsSubjectAndBody) {
    test::SmtpSink sink;
    Announce(sink, {"ops@example.org"});
    const auto sessions = sink.Sessions();
    ASSERT_EQ(sessions.size(), 2u) << "the logon, then the mail";
    const auto& lines = sessions[1];
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "RCPT TO:<ops@example.org>"), 1);
    const std::string& content = lines.at(lines.size() - 2);
    EXPECT_NE(content.find("\r\nSubject: VorquelHigh Traffic Volume pc7\r\n"), std::string::npos) << content;
    EXPECT_NE(content.find("\r\n\r\nVorquel reports: High Traffic Volume @ Tue 08 Dec 22:15\r\n"
                           "Device pc7 \r\n"
                           "Log Group: Ops L0 mailed\r\n"
                           "Database: " +
                           DatabasePath() + "\r\nGenerated by Vorquel, the network monitor.\r\n"),
              std::string::npos)
        << content;
    EXPECT_TRUE(test::SystemEvents(Log()).empty());
}

// The mail thread logs on with the credentials of the moment the event was raised: the user may be
// editing the configuration on the main thread meanwhile.
TEST_F(MailNotificationTest, TheMailThreadLogsOnWithTheCredentialsHandedToIt) {
    test::SmtpSink sink;
    m_User = "ops";
    Raise(sink, {"ops@example.org"});
    m_App->GetRootRecord()->SetMessagingUser("someone else");
    Log().GetMailer()->Flush();
    const auto sessions = sink.Sessions();
    ASSERT_FALSE(sessions.empty());
    EXPECT_EQ(std::count(sessions[0].begin(), sessions[0].end(), "AG9wcwBwdw=="), 1)
        << "the logon names ops with password pw: " << testing::PrintToString(sessions[0]);
}

TEST_F(MailNotificationTest, BadAddressesAndRefusedMailsAreRecorded) {
    test::SmtpSink sink({"<gone@example.org>"});
    Announce(sink, {"a@b.c\rBcc: x@y.z", "nobody", "gone@example.org"});
    EXPECT_EQ(test::SystemEvents(Log()), (std::vector<std::pair<int, std::string>>{
                                             {285, "a@b.c\rBcc: x@y.z"}, {285, "nobody"}, {286, ""}}));
}

TEST_F(MailNotificationTest, ARejectedMessageIsRecorded) {
    test::SmtpSink sink({}, true);
    Announce(sink, {"ops@example.org"});
    EXPECT_EQ(test::SystemEventCodes(Log()), std::vector<int>{286});
}

TEST_F(MailNotificationTest, AServerThatNeverAnswersHoldsUpNeitherTheRaisingNorTheEnd) {
    test::SmtpSink sink({}, false, test::SmtpSink::kStall);
    {
        // Were the mail sent on this thread, the raising would wait out the ten seconds the
        // transfer gives a server to greet it.
        test::Watchdog watchdog(std::chrono::seconds(5));
        Raise(sink, {"ops@example.org"});
        EXPECT_FALSE(watchdog.Fired()) << "the raising waited for the server";
    }
    ASSERT_TRUE(sink.WaitForSessions(1)) << "the mail thread never called";
    test::Watchdog watchdog(std::chrono::seconds(5));
    m_App.reset();
    EXPECT_FALSE(watchdog.Fired()) << "the end waited for the server";
    EXPECT_TRUE(sink.WaitForHangUps(1));
}

} // namespace
} // namespace vq
