#include "netmodel/NameRequestTable.h"

#include "netmodel/NameEntry.h"
#include "platform/core/Format.h"
#include "runtime/NotificationThreadMessage.h"

#include <new>
#include <vector>

namespace vq {

NameRequestTable::NameRequestTable(WinSockIf& service) : service_(service) {}

NameRequestTable::~NameRequestTable() {
    service_.Reset(true);
}

void NameRequestTable::SetWindow(ReplyTarget target) {
    service_.SetWindow(target, 0, WinSockIf::ReplyMessage, WinSockIf::InternetFamily);
}

bool NameRequestTable::Request(NameEntry* entry) {
    std::unique_ptr<NameRequest> request = NewRequest(entry);
    entry->SetLookupState(NameEntry::LookupRequested);
    return Insert(std::move(request));
}

bool NameRequestTable::Insert(std::unique_ptr<NameRequest> request) {
    NameEntry* entry = request->GetEntry();
    const uint32_t identifier = Start(*request);
    if (identifier != 0) {
        entry->SetLookupState(NameEntry::LookupInProgress);
        request->SetIdentifier(identifier);
        try {
            inFlight_.emplace(identifier, std::move(request));
        } catch (const std::bad_alloc&) {
            service_.Cancel(identifier);
            throw;
        }
        return true;
    }
    const int error = service_.GetLastError();
    entry->SetLookupState(NameEntry::LookupFailed);
    if (error == 0 || error == 10035 || error == 10036 || error == 10050) {
        const int64_t delay = request->TakeRefusedRetryDelay();
        retries_.Add(std::move(request), Timestamp::Now(), delay);
        return false;
    }
    const std::string text = error == 10093 ? "WSANOTINITIALISED: WSAStartup() not run or was not successful"
                                            : Format("unexpected WSAGetLastError() return: %d", error);
    PostNotification(7, 0, text.c_str(), "NameRequestTable", "Insert", nullptr, nullptr, -1);
    return false;
}

NameEntry* NameRequestTable::OnReply(uint32_t identifier, uint32_t value) {
    auto found = inFlight_.find(identifier);
    if (found == inFlight_.end() || found->second->GetEntry() == nullptr) return nullptr;
    std::unique_ptr<NameRequest> request = std::move(found->second);
    inFlight_.erase(found);
    NameEntry* entry = request->GetEntry();

    bool retry = false;
    if (NameEntry::CheckError(value, retry)) {
        entry->SetLookupState(NameEntry::LookupResolved);
        ApplyReply(*request);
    } else {
        entry->SetLookupState(NameEntry::LookupFailed);
        if (retry) {
            try {
                const int64_t delay = request->TakeReplyRetryDelay();
                retries_.Add(std::move(request), Timestamp::Now(), delay);
            } catch (const std::bad_alloc&) {
                service_.Release(identifier, false);
                throw;
            }
        }
    }
    service_.Release(identifier, false);
    return entry;
}

void NameRequestTable::TimeOut(const Timestamp& now) {
    std::vector<uint32_t> late;
    // Only a running look-up has a start time: asking about each request in flight would cost a
    // lock per request on every tick.
    for (const auto& [identifier, started] : service_.GetStartTimes()) {
        if (!inFlight_.contains(identifier)) continue;
        Timestamp deadline(started);
        deadline.AddTicks(static_cast<uint64_t>(deadline_) * 10'000);
        if (deadline.Compare(now) != -1) late.push_back(identifier);
    }
    for (uint32_t identifier : late) {
        auto found = inFlight_.find(identifier);
        found->second->GetEntry()->SetLookupState(NameEntry::LookupTimedOut);
        if (Cancel(*found->second)) inFlight_.erase(found);
    }
}

void NameRequestTable::Tick(const Timestamp& now) {
    TimeOut(now);
    try {
        for (auto& request : retries_.TakeDue(now))
            Insert(std::move(request));
    } catch (const std::bad_alloc&) {
        // The pass ends here; the requests in hand are lost with their look-ups.
    }
    service_.PumpIfQueueing();
}

std::unique_ptr<NameRequest> IpNameRequestTable::NewRequest(NameEntry* entry) {
    return std::make_unique<NameRequest>(entry);
}

uint32_t IpNameRequestTable::Start(NameRequest& request) {
    const NameEntry* entry = request.GetEntry();
    return GetService().Request(entry->GetAddressBytes(), entry->GetAddressLength());
}

void IpNameRequestTable::ApplyReply(NameRequest& request) {
    const std::optional<net::HostEntry> answer = GetService().TakeAnswer(request.GetIdentifier());
    if (!answer) return;
    NameEntry* entry = request.GetEntry();
    bool primary = false;
    if (IsValidHostName(answer->name.c_str())) {
        entry->SetNameAt(answer->name, 0);
        primary = true;
    }
    for (const std::string& alias : answer->aliases) {
        if (!IsValidHostName(alias.c_str())) continue;
        if (primary) {
            entry->AddAlias(alias);
        } else {
            entry->SetNameAt(alias, 0);
            primary = true;
        }
    }
}

bool IpNameRequestTable::Cancel(NameRequest& request) {
    return request.GetIdentifier() != 0 && GetService().Cancel(request.GetIdentifier());
}

} // namespace vq
