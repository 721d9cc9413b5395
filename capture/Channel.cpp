#include "capture/Channel.h"

namespace vq {

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
