#include "capture/Channel.h"

#include "capture/Adapter.h"
#include "capture/AdapterSet.h"

#include <new>

namespace vq {

Channel::Channel(Adapter* adapter, int32_t kind) : adapter_(adapter), kind_(kind) {}

Channel::~Channel() = default;

std::span<const uint8_t, 6> Channel::GetAdapterAddress() const {
    return std::span<const uint8_t, 6>(adapter_->GetInfo().currentAddress.data(), 6);
}

bool Channel::OpenCaptureFile() {
    const CaptureSettings* settings =
        adapter_->GetOwner() ? adapter_->GetOwner()->GetCaptureSettings() : nullptr;
    if (!settings) return false;
    try {
        if (!captureFile_) captureFile_ = std::make_unique<PacketDump>(*this, *settings);
        return captureFile_->Open();
    } catch (const std::bad_alloc&) {
        captureFile_.reset();
        return false;
    }
}

bool Channel::CloseCaptureFile() {
    if (captureFile_) captureFile_->Close();
    return true;
}

bool Channel::WritePacket(const Packet& packet) {
    return captureFile_ && captureFile_->Write(packet);
}

bool Channel::Open() {
    open_ = true;
    return true;
}

bool Channel::Close() {
    CloseBuffers();
    open_ = false;
    return true;
}

bool Channel::SetBuffers(uint32_t count) {
    bufferCount_ = count;
    AllocBuffers();
    OpenBuffers();
    return true;
}

bool Channel::Start() {
    receiving_ = CanStart();
    return receiving_;
}

bool Channel::Stop() {
    receiving_ = false;
    return true;
}

} // namespace vq
