#include "monitor/MonitorControlMessage.h"

namespace vq {

MonitorControlMessage::MonitorControlMessage(uint32_t messageId, bool wantsReply, bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes) {}

MonitorControlMessage::MonitorControlMessage(const MonitorControlMessage& request)
    : ThreadMessage(request), m_Adapters(request.m_Adapters) {}

bool MonitorControlMessage::AddAdapter(uint16_t index) {
    m_Adapters.push_back(index);
    return true;
}

MonitorControlStartMessage::MonitorControlStartMessage(bool wantsReply, bool receiverDeletes)
    : MonitorControlMessage(WM_Monitor_Start, wantsReply, receiverDeletes) {}

MonitorControlStartMessage::MonitorControlStartMessage(const MonitorControlStartMessage& request)
    : MonitorControlMessage(request), m_Geometry(request.m_Geometry) {}

MonitorControlResetMessage::MonitorControlResetMessage(bool wantsReply, bool receiverDeletes)
    : MonitorControlMessage(WM_Monitor_Reset, wantsReply, receiverDeletes) {}

MonitorControlResetMessage::MonitorControlResetMessage(const MonitorControlResetMessage& request)
    : MonitorControlMessage(request), m_Flags(0) {}

MonitorControlLookupMessage::MonitorControlLookupMessage(bool enable, uint32_t tableMask, bool wantsReply,
                                                         bool receiverDeletes)
    : MonitorControlMessage(WM_Monitor_Lookup, wantsReply, receiverDeletes), m_TableMask(tableMask),
      m_Enable(enable ? 1 : 0) {}

MonitorControlLookupMessage::MonitorControlLookupMessage(const MonitorControlLookupMessage& request)
    : MonitorControlMessage(request), m_TableMask(request.m_TableMask), m_Enable(request.m_Enable) {}

} // namespace vq
