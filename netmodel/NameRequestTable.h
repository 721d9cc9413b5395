#pragma once

#include "netmodel/NameRequest.h"
#include "netmodel/NameRetryTable.h"
#include "netmodel/WinSockIf.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace vq {

class NameEntry;

// The name look-ups of one address table: those in flight by look-up identifier and those waiting
// to be tried again. An entry's lookup state follows its request: 1 requested, 2 accepted (running
// or queued), 128 names stored, 129 failed, 130 timed out.
class NameRequestTable {
public:
    explicit NameRequestTable(WinSockIf& service);
    // Drops every look-up of the service, whichever table asked for it, then the requests.
    virtual ~NameRequestTable();
    NameRequestTable(const NameRequestTable&) = delete;
    NameRequestTable& operator=(const NameRequestTable&) = delete;

    void SetWindow(ReplyTarget target);
    virtual bool Request(NameEntry* entry);
    // The entry the reply was for, or none when no request holds the identifier.
    virtual NameEntry* OnReply(uint32_t identifier, uint32_t value);
    // Time-outs, due retries, then a turn of the service's queue.
    virtual void Tick(const Timestamp& now);

    // How long a running look-up may take before its entry is given up as timed out.
    void SetDeadline(int64_t milliseconds) { deadline_ = milliseconds; }
    size_t GetInFlightCount() const { return inFlight_.size(); }
    size_t GetRetryCount() const { return retries_.GetCount(); }

    static constexpr int64_t DefaultDeadline = 30'000; // ms

protected:
    virtual std::unique_ptr<NameRequest> NewRequest(NameEntry* entry) = 0;
    // The look-up's identifier, or 0 when the service refused it.
    virtual uint32_t Start(NameRequest& request) = 0;
    virtual void ApplyReply(NameRequest& request) = 0;
    virtual bool Cancel(NameRequest& request) = 0;

    bool Insert(std::unique_ptr<NameRequest> request);
    WinSockIf& GetService() const { return service_; }

private:
    void TimeOut(const Timestamp& now);

    WinSockIf& service_;
    std::unordered_map<uint32_t, std::unique_ptr<NameRequest>> inFlight_;
    NameRetryTable retries_;
    int64_t deadline_ = DefaultDeadline;
};

// Reverse look-ups of IPv4 addresses.
class IpNameRequestTable : public NameRequestTable {
public:
    explicit IpNameRequestTable(WinSockIf& service = WinSockIf::Instance()) : NameRequestTable(service) {}

protected:
    std::unique_ptr<NameRequest> NewRequest(NameEntry* entry) override;
    uint32_t Start(NameRequest& request) override;
    // A valid official name becomes name 0; valid aliases follow, the first of them becoming name 0
    // when the official name was not valid. Names already held stay, but for name 0.
    void ApplyReply(NameRequest& request) override;
    bool Cancel(NameRequest& request) override;
};

} // namespace vq
