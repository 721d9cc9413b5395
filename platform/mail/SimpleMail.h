#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace vq {

// The simple mail interface the program mails through, carried over SMTP to one configured
// server. Records and result codes are those of the interface; addresses are plain
// "user@domain" texts, optionally prefixed "SMTP:".

using ULONG = std::uint32_t;
using LHANDLE = std::uintptr_t;

enum : ULONG {
    SUCCESS_SUCCESS = 0,
    MAPI_E_USER_ABORT = 1,
    MAPI_E_FAILURE = 2,
    MAPI_E_LOGIN_FAILURE = 3,
    MAPI_E_INSUFFICIENT_MEMORY = 5,
    MAPI_E_ATTACHMENT_NOT_FOUND = 11,
    MAPI_E_UNKNOWN_RECIPIENT = 14,
    MAPI_E_BAD_RECIPTYPE = 15,
    MAPI_E_INVALID_SESSION = 19,
    MAPI_E_INVALID_MESSAGE = 17,
    MAPI_E_INVALID_RECIPS = 25,
    MAPI_E_NOT_SUPPORTED = 26,
};

enum : ULONG { MAPI_ORIG = 0, MAPI_TO = 1, MAPI_CC = 2, MAPI_BCC = 3 };

struct MapiRecipDesc {
    ULONG ulReserved = 0;
    ULONG ulRecipClass = MAPI_TO;
    char* lpszName = nullptr;
    char* lpszAddress = nullptr;
    ULONG ulEIDSize = 0;
    void* lpEntryID = nullptr;
};

struct MapiFileDesc {
    ULONG ulReserved = 0;
    ULONG flFlags = 0;
    ULONG nPosition = 0;
    char* lpszPathName = nullptr;
    char* lpszFileName = nullptr;
    void* lpFileType = nullptr;
};

struct MapiMessage {
    ULONG ulReserved = 0;
    char* lpszSubject = nullptr;
    char* lpszNoteText = nullptr;
    char* lpszMessageType = nullptr;
    char* lpszDateReceived = nullptr;
    char* lpszConversationID = nullptr;
    ULONG flFlags = 0;
    MapiRecipDesc* lpOriginator = nullptr;
    ULONG nRecipCount = 0;
    MapiRecipDesc* lpRecips = nullptr;
    ULONG nFileCount = 0;
    MapiFileDesc* lpFiles = nullptr;
};

// The server mail goes to: "smtp://host[:port]" or "smtps://host[:port]", and the sender's
// address. Answers false, leaving the server unset, when either is malformed.
bool SetMailServer(const std::string& url, const std::string& from);
// Whether the SMTP transport exists in this build of the transfer library.
bool MailTransportAvailable();
// Whether `address` is one plain mailbox that can stand in an SMTP envelope.
bool IsMailAddress(const std::string& address);

// Mail calls made afterwards on the calling thread give up once `stop` holds, within about a second
// even while a server keeps them waiting, and answer MAPI_E_USER_ABORT; null lets them run to the
// transfer's time-outs. The flag must outlive the calls.
void SetMailStopFlag(const std::atomic<bool>* stop);

// Checks the server answers and accepts the credentials (none when the profile is null or
// empty); the session carries them to every later mail. The server is given by SetMailServer.
ULONG MAPILogon(ULONG uiParam, const char* profileName, const char* password, ULONG flags, ULONG reserved,
                LHANDLE* session);
ULONG MAPILogoff(LHANDLE session, ULONG uiParam, ULONG flags, ULONG reserved);
// Without a session handle the mail goes with the credentials of the last logon.
ULONG MAPISendMail(LHANDLE session, ULONG uiParam, const MapiMessage* message, ULONG flags, ULONG reserved);
// A recipient record for `name`, freed with MAPIFreeBuffer.
ULONG MAPIResolveName(LHANDLE session, ULONG uiParam, const char* name, ULONG flags, ULONG reserved,
                      MapiRecipDesc** recipient);
ULONG MAPIFreeBuffer(void* buffer);

} // namespace vq
