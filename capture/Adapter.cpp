#include "capture/Adapter.h"

#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "capture/RecvChannel.h"
#include "capture/WD_RecvChannel.h"
#include "platform/core/Format.h"
#include "platform/packet/DeviceName.h"
#include "runtime/GlobalState.h"
#include "runtime/NdisStatus.h"
#include "runtime/SystemText.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vq {
namespace {

constexpr uint32_t kBroadcast = 0xFFFFFFFF;

std::string Ipv4Text(uint32_t value) {
    return Format("%u.%u.%u.%u", value >> 24, value >> 16 & 255, value >> 8 & 255, value & 255);
}

// The class mask of an address (first octet most significant).
uint32_t ClassMask(uint32_t ip) {
    IpAddress address;
    address.SetHostLong(ip, false, false);
    return address.GetClassMask();
}

bool IsUsableUnicast(uint32_t ip) {
    uint32_t first = ip >> 24;
    return ip != 0 && ip != kBroadcast && first != 127 && first < 224;
}

// A step whose failure ends the opening of an adapter.
struct OpenStep {
    const char* method;
};

uint32_t CurrentAddressOid(int32_t medium) {
    switch (medium) {
    case 0:
    case 5:
        return 0x01010102;
    case 1:
        return 0x02010102;
    case 2:
        return 0x03010102;
    case 3:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
        return 0x04010102;
    case 4:
        return 0x05010102;
    case 6:
    case 7:
        return 0x06010102;
    case 8:
        return 0x08010105;
    case 9:
        return 0x0901010C;
    default:
        return 0;
    }
}

} // namespace

Adapter::Adapter(AdapterSet* owner, const AdapterInfo& info) : owner_(owner), info_(info) {
    auto ip = info_.ipAddressText.empty() ? std::nullopt : ParseIpv4(info_.ipAddressText);
    if (!ip) {
        broadcastAddress_.SetHostLong(kBroadcast, false, true);
        info_.broadcastText = Ipv4Text(kBroadcast);
        return;
    }
    auto mask = info_.ipMaskText.empty() ? std::nullopt : ParseIpv4(info_.ipMaskText);
    if (!mask) {
        mask = ClassMask(*ip);
        info_.ipMaskText = Ipv4Text(*mask);
    }
    DeriveAddresses(*ip, *mask);
}

Adapter::~Adapter() = default;

void Adapter::DeriveAddresses(uint32_t ip, uint32_t mask) {
    ipAddress_.SetHostLong(ip, false, true);
    mask_.SetHostLong(mask, false, false);
    networkAddress_.SetHostLong(ip & mask, false, false);
    broadcastAddress_.SetHostLong(ip | ~mask, false, true);
    info_.networkText = Ipv4Text(ip & mask);
    info_.broadcastText = Ipv4Text(ip | ~mask);
}

PacketSink* Adapter::GetPacketSink() const {
    return owner_ ? owner_->GetPacketSink() : nullptr;
}

void Adapter::Report(int severity, const std::string& text, const char* className,
                     const char* methodName) const {
    if (owner_) owner_->GetReports().Report(severity, text, className, methodName);
}

bool Adapter::Open() {
    try {
        event_ = std::make_unique<Event>();
        requestOverlap_.event = event_.get();
        if (!AcquireMedium()) throw OpenStep{"AcquireMedium"};
        QueryCurrentAddress();
        QueryLinkSpeed();
        QueryMaxTotalSize();
        QueryVendorDescription();
        CreateChannel();
        channel_->Open();
        info_.state = AdapterInfo::kOpen;
        open_ = true;
        return true;
    } catch (const OpenStep& step) {
        Report(7, FormatSystemError(W32N_GetLastError(), std::string(step.method) + "():", "", true, false),
               "Adapter", "Open");
        Close();
        return false;
    } catch (const std::bad_alloc&) {
        Close();
        throw;
    }
}

bool Adapter::Close() {
    if (channel_) channel_->Close();
    event_.reset();
    requestOverlap_.event = nullptr;
    open_ = false;
    handle_ = kInvalidPacketHandle;
    info_.state = AdapterInfo::kClosed;
    return true;
}

bool Adapter::Prepare() {
    if (!channel_) return false;
    channel_->SetBuffers(static_cast<uint32_t>(bufferCount_));
    return SetPacketFilter(0);
}

bool Adapter::Start() {
    if (channel_) channel_->Start();
    SetFilterByMedium();
    receiving_ = true;
    info_.state = AdapterInfo::kCapturing;
    return true;
}

bool Adapter::Stop() {
    Pause();
    receiving_ = false;
    info_.state = AdapterInfo::kStopped;
    if (channel_) channel_->Stop();
    AfterStop();
    return true;
}

bool Adapter::Pause() {
    if (info_.state != AdapterInfo::kCapturing) return true;
    info_.state = AdapterInfo::kPaused;
    return SetPacketFilter(0);
}

bool Adapter::Resume() {
    if (info_.state != AdapterInfo::kPaused) return false;
    info_.state = AdapterInfo::kCapturing;
    return SetFilterByMedium();
}

bool Adapter::SetFilterByMedium() {
    uint32_t filter;
    switch (info_.medium) {
    case 0:
    case 1:
    case 5:
    case 14:
    case 15:
    case 18:
    case 19:
        filter = 0x21;
        break;
    case 3:
    case 16:
    case 17:
    case 20:
        filter = 1;
        break;
    case 4:
        filter = 9;
        break;
    default:
        return false;
    }
    if (channel_) channel_->CanStart();
    return SetPacketFilter(filter);
}

void Adapter::AssignSlots(int32_t first, int32_t count) {
    firstSlot_ = first;
    slotCount_ = count;
    bufferCount_ = count;
}

void Adapter::RegisterEvent(RecvChannel* channel, Event* event, int32_t bufferIndex) {
    if (owner_ && firstSlot_ >= 0)
        owner_->RegisterSlot(channel, event, bufferIndex, firstSlot_ + bufferIndex);
}

bool Adapter::OpenCaptureFile() {
    return channel_ && channel_->OpenCaptureFile();
}

bool Adapter::CloseCaptureFile() {
    return !channel_ || channel_->CloseCaptureFile();
}

bool Adapter::Query(uint32_t oid, void* buffer, uint32_t size) {
    NdisRequest request;
    request.type = NdisRequest::kQuery;
    request.oid = oid;
    request.buffer = buffer;
    request.bufferLength = size;
    return MakeRequest(request) == ndis::kStatusSuccess;
}

bool Adapter::SetPacketFilter(uint32_t filter) {
    TheGlobalState().m_CaptureActive = filter != 0;
    NdisRequest request;
    request.type = NdisRequest::kSet;
    request.oid = ndis::kOidCurrentPacketFilter;
    request.buffer = &filter;
    request.bufferLength = sizeof filter;
    return MakeRequest(request) == ndis::kStatusSuccess;
}

bool Adapter::AcquireMedium() {
    uint32_t medium = 0;
    if (!Query(ndis::kOidMediumInUse, &medium, sizeof medium)) return false;
    info_.medium = medium == 3 ? 19 : static_cast<int32_t>(medium);
    return true;
}

bool Adapter::QueryVendorDescription() {
    char vendor[80] = {};
    if (!Query(ndis::kOidVendorDescription, vendor, sizeof vendor)) return false;
    vendor[sizeof vendor - 1] = '\0';
    info_.vendorDescription = vendor;
    return true;
}

bool Adapter::QueryMaxTotalSize() {
    return Query(ndis::kOidMaximumTotalSize, &info_.maxTotalSize, 4);
}

bool Adapter::QueryLinkSpeed() {
    uint32_t units = 0;
    if (!Query(ndis::kOidLinkSpeed, &units, sizeof units)) return false;
    info_.linkSpeed = uint64_t(units) * 100;
    return true;
}

bool Adapter::QueryCurrentAddress() {
    uint32_t oid = CurrentAddressOid(info_.medium);
    if (oid == 0) return false;
    uint8_t address[AdapterInfo::kAddressSize] = {};
    bool answered = Query(oid, address, sizeof address);
    std::memcpy(info_.currentAddress.data(), address, sizeof address);
    return answered;
}

bool Adapter::IsOwnAddress(std::span<const uint8_t, 6> mac, bool anyAdapter) const {
    if (std::equal(mac.begin(), mac.end(), info_.currentAddress.begin())) return true;
    return anyAdapter && owner_ && owner_->IsOwnAddress(mac, this);
}

bool Adapter::IsOwnIpAddress(uint32_t address, bool anyAdapter) const {
    if (HasIpAddress() && ipAddress_.GetHostLong(true) == address) return true;
    return anyAdapter && owner_ && owner_->IsOwnIpAddress(address, this);
}

void Adapter::LearnIpAddress(const std::string& text) {
    auto ip = ParseIpv4(text);
    if (!ip || !IsUsableUnicast(*ip)) return;
    uint32_t mask = ClassMask(*ip);
    info_.ipAddressText = Ipv4Text(*ip);
    info_.ipMaskText = Ipv4Text(mask);
    DeriveAddresses(*ip, mask);
    try {
        if (owner_) owner_->GetReports().Announce(std::make_unique<AdapterInfoSet>(info_), 5);
    } catch (const std::bad_alloc&) {
    }
}

WD_Adapter::~WD_Adapter() {
    if (handle_ == kInvalidPacketHandle) return;
    if (receiving_) Stop();
    if (open_) WD_Adapter::Close();
}

bool WD_Adapter::Open() {
    open_ = false;
    std::string deviceName = info_.deviceName;
    handle_ = W32N_OpenAdapter(deviceName.c_str());
    if (handle_ == kInvalidPacketHandle) {
        Report(7, FrameText(ErrorNumberText(W32N_GetLastError()), "W32N_OpenAdapter:", "", true, false),
               "WD_Adapter", "Open");
        return false;
    }
    return Adapter::Open();
}

bool WD_Adapter::Close() {
    // The driver handle goes first: its reader thread must be done with the buffers before they are freed.
    if (handle_ != kInvalidPacketHandle) {
        int result = W32N_CloseAdapter(handle_);
        if (result != 0)
            Report(3,
                   Format("W32N_CloseAdapter(0x%0lx): expected return %d, got %d", static_cast<long>(handle_),
                          0, result),
                   "WD_Adapter", "Close");
    }
    return Adapter::Close();
}

void WD_Adapter::CreateChannel() {
    channel_ = std::make_unique<WD_RecvChannel>(this);
}

uint32_t WD_Adapter::MakeRequest(NdisRequest& request) {
    uint32_t status = handle_ == kInvalidPacketHandle
                          ? ndis::kStatusAdapterNotOpen
                          : W32N_MakeNdisRequest(handle_, request, &requestOverlap_, 1);
    if (status != ndis::kStatusSuccess)
        Report(3,
               FormatNdisStatus(status, Format("W32N_MakeNdisRequest(oid==0x%0x):", request.oid), "", true,
                                false),
               "WD_Adapter", "MakeRequest");
    return status;
}

} // namespace vq
