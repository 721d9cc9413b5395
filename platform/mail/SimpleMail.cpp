#include "platform/mail/SimpleMail.h"

#include "platform/time/Clock.h"
#include "platform/time/FileTime.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <ctime>
#include <curl/curl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <sstream>
#include <vector>

namespace vq {
namespace {

constexpr long kConnectTimeoutMs = 10'000;
constexpr long kTransferTimeoutMs = 120'000;
constexpr std::size_t kMaxAddressLength = 254;
constexpr const char* kBoundary = "vorquel-part-boundary-7c1f";

struct Credentials {
    std::string user;
    std::string password;
};

// Everything the calls share; the event mail thread and the main thread both mail.
struct MailState {
    std::mutex mutex;
    std::string url;
    std::string from;
    std::map<LHANDLE, Credentials> sessions;
    LHANDLE nextSession = 1;
    LHANDLE lastSession = 0;
    std::set<void*> buffers;
};

MailState& State() {
    static MailState state;
    return state;
}

void InitialiseTransport() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

std::string StripAddressType(std::string address) {
    if (address.size() > 5 && strncasecmp(address.c_str(), "SMTP:", 5) == 0) address.erase(0, 5);
    return address;
}

std::string Base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) group |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        if (i + 2 < bytes.size()) group |= uint8_t(bytes[i + 2]);
        out += digits[group >> 18 & 63];
        out += digits[group >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[group & 63] : '=';
    }
    return out;
}

// A header text on one line; anything beyond plain ASCII travels encoded.
std::string HeaderText(const char* text) {
    std::string value = text ? text : "";
    for (char& c : value)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    for (unsigned char c : value)
        if (c < 0x20 || c > 0x7E) return "=?UTF-8?B?" + Base64(value) + "?=";
    return value;
}

// Lines end in CRLF whatever the caller used; leading dots are left to the transport, which
// doubles them on the wire.
std::string CrlfText(const char* text) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\r') {
            out += "\r\n";
            if (p[1] == '\n') ++p;
        } else if (*p == '\n') {
            out += "\r\n";
        } else {
            out += *p;
        }
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

std::string DateHeader() {
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time_t((CurrentClock().FileTimeNow() - UnixEpochTicks) / TicksPerSecond);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", days[utc.tm_wday], utc.tm_mday,
                  months[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

struct Envelope {
    std::vector<std::string> recipients;
    std::string to, cc;
};

ULONG CollectRecipients(const MapiMessage& message, Envelope& envelope) {
    if (message.nRecipCount == 0 || !message.lpRecips) return MAPI_E_INVALID_RECIPS;
    for (ULONG i = 0; i < message.nRecipCount; ++i) {
        const MapiRecipDesc& recipient = message.lpRecips[i];
        const char* given = recipient.lpszAddress ? recipient.lpszAddress : recipient.lpszName;
        const std::string address = StripAddressType(given ? given : "");
        if (!IsMailAddress(address)) return MAPI_E_UNKNOWN_RECIPIENT;
        std::string* header = nullptr;
        switch (recipient.ulRecipClass) {
        case MAPI_TO: header = &envelope.to; break;
        case MAPI_CC: header = &envelope.cc; break;
        case MAPI_BCC: break;
        default: return MAPI_E_BAD_RECIPTYPE;
        }
        if (header) *header += (header->empty() ? "" : ", ") + address;
        envelope.recipients.push_back(address);
    }
    return SUCCESS_SUCCESS;
}

ULONG AppendAttachments(const MapiMessage& message, std::string& text) {
    for (ULONG i = 0; i < message.nFileCount; ++i) {
        const MapiFileDesc& file = message.lpFiles[i];
        if (!file.lpszPathName) return MAPI_E_ATTACHMENT_NOT_FOUND;
        std::ifstream in(file.lpszPathName, std::ios::binary);
        if (!in) return MAPI_E_ATTACHMENT_NOT_FOUND;
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::string name = file.lpszFileName ? file.lpszFileName : file.lpszPathName;
        if (auto slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
        std::string safeName;
        for (char c : name) safeName += (c == '"' || c == '\\' || uint8_t(c) < 0x20) ? '_' : c;
        text += std::string("--") + kBoundary + "\r\nContent-Type: application/octet-stream\r\n" +
                "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" + safeName +
                "\"\r\n\r\n";
        const std::string encoded = Base64(bytes);
        for (std::size_t at = 0; at < encoded.size(); at += 76) text += encoded.substr(at, 76) + "\r\n";
    }
    return SUCCESS_SUCCESS;
}

ULONG BuildMessage(const MapiMessage& message, const std::string& from, const Envelope& envelope,
                   std::string& text) {
    text = "Date: " + DateHeader() + "\r\nFrom: " + from + "\r\n";
    if (!envelope.to.empty()) text += "To: " + envelope.to + "\r\n";
    if (!envelope.cc.empty()) text += "Cc: " + envelope.cc + "\r\n";
    text += "Subject: " + HeaderText(message.lpszSubject) + "\r\nMIME-Version: 1.0\r\n";
    const std::string body = CrlfText(message.lpszNoteText);
    const std::string plain = "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 8bit\r\n";
    if (message.nFileCount == 0) {
        text += plain + "\r\n" + body;
        return SUCCESS_SUCCESS;
    }
    if (!message.lpFiles) return MAPI_E_ATTACHMENT_NOT_FOUND;
    text += std::string("Content-Type: multipart/mixed; boundary=\"") + kBoundary + "\"\r\n\r\n--" + kBoundary +
            "\r\n" + plain + "\r\n" + body;
    if (ULONG result = AppendAttachments(message, text); result != SUCCESS_SUCCESS) return result;
    text += std::string("--") + kBoundary + "--\r\n";
    return SUCCESS_SUCCESS;
}

struct Upload {
    const std::string& text;
    std::size_t offset = 0;
};

std::size_t ReadUpload(char* buffer, std::size_t size, std::size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const std::size_t room = size * count;
    const std::size_t left = upload->text.size() - upload->offset;
    const std::size_t taken = left < room ? left : room;
    std::memcpy(buffer, upload->text.data() + upload->offset, taken);
    upload->offset += taken;
    return taken;
}

thread_local const std::atomic<bool>* tStopFlag = nullptr;

int StopIfAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::unique_ptr<CURL, CurlDeleter> OpenTransfer(const std::string& url, const Credentials& credentials) {
    InitialiseTransport();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return curl;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, kTransferTimeoutMs);
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    if (tStopFlag) {
        // Called about once a second while the server is silent, not only when bytes move.
        curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, StopIfAsked);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(tStopFlag));
    }
    if (!credentials.user.empty()) {
        curl_easy_setopt(curl.get(), CURLOPT_USERNAME, credentials.user.c_str());
        curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, credentials.password.c_str());
    }
    return curl;
}

// The server's refusal of a recipient is the recipient's fault; anything else is the transport's.
ULONG ResultOf(CURL* curl, CURLcode code) {
    if (code == CURLE_OK) return SUCCESS_SUCCESS;
    if (code == CURLE_ABORTED_BY_CALLBACK) return MAPI_E_USER_ABORT;
    if (code == CURLE_LOGIN_DENIED) return MAPI_E_LOGIN_FAILURE;
    if (code == CURLE_OUT_OF_MEMORY) return MAPI_E_INSUFFICIENT_MEMORY;
    long response = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response);
    if (code == CURLE_SEND_ERROR && (response == 550 || response == 551 || response == 553 || response == 501))
        return MAPI_E_UNKNOWN_RECIPIENT;
    return MAPI_E_FAILURE;
}

std::size_t DiscardOutput(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

} // namespace

bool IsMailAddress(const std::string& address) {
    if (address.empty() || address.size() > kMaxAddressLength) return false;
    const auto at = address.find('@');
    if (at == 0 || at == std::string::npos || at + 1 == address.size()) return false;
    if (address.find('@', at + 1) != std::string::npos) return false;
    for (unsigned char c : address)
        if (c <= 0x20 || c >= 0x7F || std::strchr("<>()[],;:\"\\", c)) return false;
    const std::string domain = address.substr(at + 1);
    return domain.front() != '.' && domain.back() != '.' && domain.find("..") == std::string::npos;
}

void SetMailStopFlag(const std::atomic<bool>* stop) {
    tStopFlag = stop;
}

bool SetMailServer(const std::string& url, const std::string& from) {
    MailState& state = State();
    std::lock_guard lock(state.mutex);
    const bool schemeOk = url.rfind("smtp://", 0) == 0 || url.rfind("smtps://", 0) == 0;
    const std::size_t hostStart = url.find("://") + 3;
    if (!schemeOk || url.size() <= hostStart || HasLineBreak(url) || !IsMailAddress(from)) {
        state.url.clear();
        state.from.clear();
        return false;
    }
    state.url = url;
    state.from = from;
    return true;
}

bool MailTransportAvailable() {
    InitialiseTransport();
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    for (const char* const* protocol = info ? info->protocols : nullptr; protocol && *protocol; ++protocol)
        if (std::strcmp(*protocol, "smtp") == 0) return true;
    return false;
}

ULONG MAPILogon(ULONG, const char* profileName, const char* password, ULONG, ULONG, LHANDLE* session) {
    if (!session) return MAPI_E_FAILURE;
    *session = 0;
    MailState& state = State();
    std::unique_lock lock(state.mutex);
    if (state.url.empty()) return MAPI_E_LOGIN_FAILURE;
    const std::string url = state.url;
    lock.unlock();

    Credentials credentials{profileName ? profileName : "", password ? password : ""};
    auto curl = OpenTransfer(url, credentials);
    if (!curl) return MAPI_E_INSUFFICIENT_MEMORY;
    // A harmless command proves the server answers and takes the credentials.
    curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, DiscardOutput);
    const ULONG result = ResultOf(curl.get(), curl_easy_perform(curl.get()));
    if (result != SUCCESS_SUCCESS) return result == MAPI_E_FAILURE ? MAPI_E_LOGIN_FAILURE : result;

    lock.lock();
    const LHANDLE handle = state.nextSession++;
    state.sessions.emplace(handle, std::move(credentials));
    state.lastSession = handle;
    *session = handle;
    return SUCCESS_SUCCESS;
}

ULONG MAPILogoff(LHANDLE session, ULONG, ULONG, ULONG) {
    MailState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.sessions.erase(session) == 0) return MAPI_E_INVALID_SESSION;
    if (state.lastSession == session) state.lastSession = 0;
    return SUCCESS_SUCCESS;
}

ULONG MAPISendMail(LHANDLE session, ULONG, const MapiMessage* message, ULONG, ULONG) {
    if (!message) return MAPI_E_INVALID_MESSAGE;
    MailState& state = State();
    std::unique_lock lock(state.mutex);
    if (state.url.empty()) return MAPI_E_FAILURE;
    const LHANDLE used = session ? session : state.lastSession;
    Credentials credentials;
    if (used) {
        auto found = state.sessions.find(used);
        if (found == state.sessions.end()) return MAPI_E_INVALID_SESSION;
        credentials = found->second;
    }
    const std::string url = state.url;
    const std::string from = state.from;
    lock.unlock();

    Envelope envelope;
    if (ULONG result = CollectRecipients(*message, envelope); result != SUCCESS_SUCCESS) return result;
    std::string text;
    if (ULONG result = BuildMessage(*message, from, envelope, text); result != SUCCESS_SUCCESS) return result;

    auto curl = OpenTransfer(url, credentials);
    if (!curl) return MAPI_E_INSUFFICIENT_MEMORY;
    std::unique_ptr<curl_slist, ListDeleter> recipients;
    for (const std::string& address : envelope.recipients) {
        curl_slist* longer = curl_slist_append(recipients.get(), ("<" + address + ">").c_str());
        if (!longer) return MAPI_E_INSUFFICIENT_MEMORY;
        recipients.release();
        recipients.reset(longer);
    }
    const std::string sender = "<" + from + ">";
    Upload upload{text};
    curl_easy_setopt(curl.get(), CURLOPT_MAIL_FROM, sender.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(curl.get(), CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(curl.get(), CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl.get(), CURLOPT_UPLOAD, 1L);
    return ResultOf(curl.get(), curl_easy_perform(curl.get()));
}

ULONG MAPIResolveName(LHANDLE, ULONG, const char* name, ULONG, ULONG, MapiRecipDesc** recipient) {
    if (!recipient) return MAPI_E_FAILURE;
    *recipient = nullptr;
    const std::string address = StripAddressType(name ? name : "");
    if (!IsMailAddress(address)) return MAPI_E_UNKNOWN_RECIPIENT;
    // One block holds the record and its two texts, so one free releases all of it.
    const std::size_t size = sizeof(MapiRecipDesc) + 2 * (address.size() + 1);
    void* block = std::calloc(1, size);
    if (!block) return MAPI_E_INSUFFICIENT_MEMORY;
    auto* record = new (block) MapiRecipDesc;
    char* texts = static_cast<char*>(block) + sizeof(MapiRecipDesc);
    std::memcpy(texts, address.c_str(), address.size() + 1);
    std::memcpy(texts + address.size() + 1, address.c_str(), address.size() + 1);
    record->lpszName = texts;
    record->lpszAddress = texts + address.size() + 1;
    MailState& state = State();
    std::lock_guard lock(state.mutex);
    state.buffers.insert(block);
    *recipient = record;
    return SUCCESS_SUCCESS;
}

ULONG MAPIFreeBuffer(void* buffer) {
    if (!buffer) return SUCCESS_SUCCESS;
    MailState& state = State();
    std::lock_guard lock(state.mutex);
    // Only what this interface handed out is freed; anything else would corrupt the heap.
    if (state.buffers.erase(buffer) == 0) return MAPI_E_FAILURE;
    std::free(buffer);
    return SUCCESS_SUCCESS;
}

} // namespace vq
