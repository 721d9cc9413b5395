#include "platform/mail/SimpleMail.h"

#include "tests/support/SmtpSink.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vq {
namespace {

std::vector<std::string> Commands(const std::vector<std::string>& session) {
    std::vector<std::string> commands;
    for (const auto& line : session)
        if (line.rfind("EHLO", 0) != 0 && line.find("\r\n") == std::string::npos) commands.push_back(line);
    return commands;
}

// A port nothing listens on.
std::string ClosedUrl() {
    test::SmtpSink gone;
    return gone.Url();
}

class SimpleMailTest : public testing::Test {
protected:
    void TearDown() override { SetMailServer("", ""); }

    ULONG Send(const char* to, const char* body = "hello\n", LHANDLE session = 0) {
        MapiRecipDesc recipients[2];
        recipients[0].ulRecipClass = MAPI_TO;
        recipients[0].lpszAddress = const_cast<char*>(to);
        recipients[1].ulRecipClass = MAPI_BCC;
        recipients[1].lpszAddress = const_cast<char*>("SMTP:hidden@y.z");
        MapiMessage message;
        message.lpszSubject = const_cast<char*>("Alarm\r\nBcc: evil@x.y");
        message.lpszNoteText = const_cast<char*>(body);
        message.nRecipCount = 2;
        message.lpRecips = recipients;
        return MAPISendMail(session, 0, &message, 0, 0);
    }
};

TEST_F(SimpleMailTest, AMailCarriesItsEnvelopeHeadersAndBodyAsSent) {
    test::SmtpSink sink;
    ASSERT_TRUE(SetMailServer(sink.Url(), "monitor@example.org"));
    ASSERT_TRUE(MailTransportAvailable());
    LHANDLE session = 0;
    ASSERT_EQ(MAPILogon(0, nullptr, nullptr, 0, 0, &session), SUCCESS_SUCCESS);
    EXPECT_NE(session, 0u);
    EXPECT_EQ(Send("a@b.c", "first\n.dot line\r\nlast"), SUCCESS_SUCCESS);
    EXPECT_EQ(Send("SMTP:d@e.f"), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPILogoff(session, 0, 0, 0), SUCCESS_SUCCESS);

    const auto sessions = sink.Sessions();
    ASSERT_EQ(sessions.size(), 3u);
    EXPECT_EQ(Commands(sessions[0]), (std::vector<std::string>{"NOOP", "QUIT"}));
    EXPECT_EQ(Commands(sessions[1]), (std::vector<std::string>{"MAIL FROM:<monitor@example.org>", "RCPT TO:<a@b.c>",
                                                               "RCPT TO:<hidden@y.z>", "DATA", "QUIT"}));
    const std::string& content = sessions[1][5];
    EXPECT_NE(content.find("\r\nFrom: monitor@example.org\r\n"), std::string::npos) << content;
    EXPECT_NE(content.find("\r\nTo: a@b.c\r\n"), std::string::npos);
    EXPECT_NE(content.find("\r\nSubject: Alarm  Bcc: evil@x.y\r\n"), std::string::npos);
    EXPECT_EQ(content.find("hidden"), std::string::npos) << "a blind copy shows in no header";
    EXPECT_EQ(content.substr(content.find("\r\n\r\n") + 4), "first\r\n..dot line\r\nlast\r\n")
        << "leading dots are doubled on the wire";
}

TEST_F(SimpleMailTest, CredentialsAreOfferedOnlyWhenAUserIsGiven) {
    test::SmtpSink sink;
    ASSERT_TRUE(SetMailServer(sink.Url(), "monitor@example.org"));
    LHANDLE anonymous = 0, named = 0;
    ASSERT_EQ(MAPILogon(0, "", "", 0, 0, &anonymous), SUCCESS_SUCCESS);
    ASSERT_EQ(MAPILogon(0, "user", "secret", 0, 0, &named), SUCCESS_SUCCESS);
    EXPECT_EQ(Send("a@b.c"), SUCCESS_SUCCESS) << "without a handle the last logon's credentials go";
    const auto sessions = sink.Sessions();
    ASSERT_EQ(sessions.size(), 3u);
    auto hasAuth = [](const std::vector<std::string>& session) {
        for (const auto& line : session)
            if (line.rfind("AUTH", 0) == 0) return true;
        return false;
    };
    EXPECT_FALSE(hasAuth(sessions[0]));
    EXPECT_TRUE(hasAuth(sessions[1]));
    const std::string plain = "AHVzZXIAc2VjcmV0"; // "\0user\0secret"
    EXPECT_NE(std::find_if(sessions[2].begin(), sessions[2].end(),
                           [&](const std::string& line) { return line.find(plain) != std::string::npos; }),
              sessions[2].end());
    EXPECT_TRUE(hasAuth(sessions[2]));
    MAPILogoff(anonymous, 0, 0, 0);
    MAPILogoff(named, 0, 0, 0);
    EXPECT_EQ(MAPILogoff(named, 0, 0, 0), MAPI_E_INVALID_SESSION);
}

TEST_F(SimpleMailTest, RefusalsAndBadInputGiveTheirCodes) {
    test::SmtpSink sink({"<nobody@b.c>"});
    ASSERT_TRUE(SetMailServer(sink.Url(), "monitor@example.org"));
    EXPECT_EQ(Send("nobody@b.c"), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(sink.Sessions().size(), 1u);
    for (const char* bad : {"a@b.c\r\nBcc: x@y.z", "a b@c.d", "@b.c", "a@", "a@b@c", "<a@b.c>", "a@b..c", ""})
        EXPECT_EQ(Send(bad), MAPI_E_UNKNOWN_RECIPIENT) << bad;
    EXPECT_EQ(sink.Sessions().size(), 1u) << "nothing is sent for a malformed address";
    EXPECT_EQ(MAPISendMail(0, 0, nullptr, 0, 0), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(Send("a@b.c", "x", 12345), MAPI_E_INVALID_SESSION);

    ASSERT_TRUE(SetMailServer(ClosedUrl(), "monitor@example.org"));
    LHANDLE session = 7;
    EXPECT_EQ(MAPILogon(0, nullptr, nullptr, 0, 0, &session), MAPI_E_LOGIN_FAILURE);
    EXPECT_EQ(session, 0u);
    EXPECT_EQ(Send("a@b.c"), MAPI_E_FAILURE);

    for (const auto& [url, from] : std::vector<std::pair<std::string, std::string>>{
             {"http://127.0.0.1", "a@b.c"}, {"smtp://", "a@b.c"}, {"smtp://h\r\nx", "a@b.c"}, {"smtp://h", "a b"}})
        EXPECT_FALSE(SetMailServer(url, from)) << url;
    EXPECT_EQ(MAPILogon(0, nullptr, nullptr, 0, 0, &session), MAPI_E_LOGIN_FAILURE);
}

TEST_F(SimpleMailTest, ResolvedNamesAreFreedOnlyByTheInterface) {
    MapiRecipDesc* recipient = nullptr;
    ASSERT_EQ(MAPIResolveName(0, 0, "SMTP:ops@example.org", 0, 0, &recipient), SUCCESS_SUCCESS);
    ASSERT_NE(recipient, nullptr);
    EXPECT_STREQ(recipient->lpszAddress, "ops@example.org");
    EXPECT_EQ(recipient->ulRecipClass, MAPI_TO);
    EXPECT_EQ(MAPIFreeBuffer(recipient), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPIFreeBuffer(recipient), MAPI_E_FAILURE) << "a second free is refused";
    int local = 0;
    EXPECT_EQ(MAPIFreeBuffer(&local), MAPI_E_FAILURE);
    EXPECT_EQ(MAPIResolveName(0, 0, "a@b.c\r\nBcc: x@y.z", 0, 0, &recipient), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(recipient, nullptr);
}

} // namespace
} // namespace vq
