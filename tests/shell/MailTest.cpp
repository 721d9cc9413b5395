#include "shell/COstrelixApp.h"

#include "config/CCfgOstrelix.h"
#include "platform/mail/SimpleMail.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/NotificationThreadMessage.h"
#include "shell/ShellMessages.h"
#include "tests/shell/EventRecording.h"
#include "tests/shell/ShellFixture.h"
#include "tests/support/SmtpSink.h"

namespace vq {
namespace {

// Stands for the main thread's object: keeps the texts of the reports that reach it.
class ReportSink : public HeadlessApp {
public:
    std::vector<std::string> reports;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message)) reports.push_back(report->GetText());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

class MailTest : public test::ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        m_Engine = std::make_unique<ScopedEngineGlobals>();
        m_Reports = std::make_unique<ReportSink>();
        m_Reports->Register();
        m_App = std::make_unique<COstrelixApp>();
        m_App->SetRegistryKey(COstrelixApp::kRegistryKey);
        m_App->SetLogDoc(std::make_unique<LogDoc>());
        m_App->SetRootRecord(std::make_unique<CCfgOstrelix>());
    }
    void TearDown() override {
        m_App.reset();
        SetMailServer("", "");
        m_Reports->PumpPending();
        m_Reports.reset();
        m_Engine.reset();
        ShellFixture::TearDown();
    }

    ULONG Mail(const char* to) {
        MapiRecipDesc recipient;
        recipient.lpszAddress = const_cast<char*>(to);
        MapiMessage message;
        message.lpszSubject = const_cast<char*>("Event");
        message.lpszNoteText = const_cast<char*>("Device down\n");
        message.nRecipCount = 1;
        message.lpRecips = &recipient;
        return m_App->MapiSendMail(message);
    }

    std::vector<int> LoggedCodes() const {
        MSG msg;
        while (PeekMessage(&msg, 0, WM_LOG_SYSTEM_EVENT, WM_LOG_SYSTEM_EVENT, PM_REMOVE))
            DispatchMessage(&msg);
        return test::SystemEventCodes(*m_App->GetLogDoc());
    }

    std::unique_ptr<ScopedEngineGlobals> m_Engine;
    std::unique_ptr<ReportSink> m_Reports;
    std::unique_ptr<COstrelixApp> m_App;
};

TEST_F(MailTest, WithoutAServerMailIsOffAndSaysSoOnce) {
    m_App->WriteProfileString("Mail", "From", "monitor@example.org");
    EXPECT_FALSE(m_App->LoadMapi());
    EXPECT_EQ(m_App->MapiLogon(), 0u);
    m_Reports->PumpPending();
    EXPECT_EQ(m_Reports->reports, std::vector<std::string>{"Mail is off: settings section \"Mail\" has no \"Server\""});
    EXPECT_TRUE(LoggedCodes().empty()) << "the probe records no system event";
}

TEST_F(MailTest, OneLogonServesEveryMailAndAFailedOneIsRetried) {
    const std::string closed = [] {
        test::SmtpSink gone;
        return gone.Url();
    }();
    m_App->WriteProfileString("Mail", "Server", closed.c_str());
    m_App->WriteProfileString("Mail", "From", "monitor@example.org");
    ASSERT_TRUE(m_App->LoadMapi());
    EXPECT_EQ(m_App->MapiLogon(), 0u);
    EXPECT_EQ(LoggedCodes(), std::vector<int>{COstrelixApp::kMailLogonFailed});

    test::SmtpSink sink({"<gone@b.c>"});
    m_App->WriteProfileString("Mail", "Server", sink.Url().c_str());
    ASSERT_TRUE(m_App->LoadMapi());
    m_App->GetRootRecord()->SetUseDefaultLogon(false);
    m_App->GetRootRecord()->SetMessagingUser("ops");
    m_App->GetRootRecord()->SetMessagingPassword("pw");
    const auto session = m_App->MapiLogon();
    EXPECT_NE(session, 0u);
    EXPECT_EQ(Mail("a@b.c"), SUCCESS_SUCCESS);
    EXPECT_EQ(m_App->MapiLogon(), session);
    EXPECT_EQ(Mail("d@e.f"), SUCCESS_SUCCESS);
    EXPECT_EQ(Mail("gone@b.c"), MAPI_E_UNKNOWN_RECIPIENT) << "the code passes through unchanged";
    EXPECT_EQ(sink.Sessions().size(), 4u) << "one logon, three mails";
    EXPECT_EQ(LoggedCodes().size(), 1u);

    MapiRecipDesc* recipient = nullptr;
    EXPECT_EQ(MapiResolveName("a@b.c\r\nBcc: x@y.z", &recipient), MAPI_E_UNKNOWN_RECIPIENT);
    ASSERT_EQ(MapiResolveName("ops@example.org", &recipient), SUCCESS_SUCCESS);
    EXPECT_EQ(m_App->MapiFreeBuffer(recipient), SUCCESS_SUCCESS);
}

// The settings file lives in the registry folder; a damaged one is reported once and set aside.
TEST_F(MailTest, ADamagedSettingsFileIsReportedAndSetAside) {
    SetUserRegistryFolder(m_Dir.File("broken"));
    std::filesystem::create_directories(m_Dir.File("broken"));
    const std::string file = UserRegistryFile();
    test::WriteFile(file, "this is not a settings file\n");
    EXPECT_EQ(m_App->ReadSettingInt("Configuration", "MaxMonitorData", 8), 8);
    m_Reports->PumpPending();
    ASSERT_EQ(m_Reports->reports.size(), 1u);
    EXPECT_EQ(m_Reports->reports[0].rfind("The settings file " + file + " could not be read", 0), 0u)
        << m_Reports->reports[0];
    EXPECT_FALSE(std::filesystem::exists(file) && test::ReadFile(file) == "this is not a settings file\n");
}

} // namespace
} // namespace vq
