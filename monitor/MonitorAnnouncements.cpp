#include "monitor/MonitorAnnouncements.h"

#include "monitor/MonitorStateMessage.h"
#include "netmodel/HostAddress.h"
#include "runtime/EngineGlobals.h"

#include <new>

namespace vq {

bool MonitorAnnouncements::Announce(uint32_t changeBits, std::unique_ptr<HostAddress> host) {
    std::unique_ptr<MonitorStateAddressMessage> message;
    try {
        message =
            std::make_unique<MonitorStateAddressMessage>(int32_t(changeBits), std::move(host), false, true);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!message->Send(Engine().m_ThreadPool.GetMainThread())) return false;
    message.release();
    return true;
}

} // namespace vq
