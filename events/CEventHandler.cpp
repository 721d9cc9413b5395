#include "events/CEventHandler.h"

#include "capture/ProtocolTable.h"
#include "config/CCfgDevice.h"
#include "config/CCfgEvent.h"
#include "config/CCfgNet.h"
#include "events/LogDoc.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarm.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/TimeUnits.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"

#include <array>
#include <utility>
#include <vector>

namespace vq {
namespace {

constexpr double kRateBase = 1000.0;
constexpr int kFilterBits = 32;

enum AddressType : int { kMacAddress = 1, kIpAddress = 2, kIpName = 3, kIpxAddress = 4 };
enum Direction : int { kReceived = 0, kTransmitted = 1, kBoth = 2 };

// The tuple key bit that a protocol row's layer kind sets.
int32_t KeyOfLayer(int32_t layer) {
    switch (layer) {
    case 6:
        return KEY_DataLinkProtocol;
    case 5:
        return KEY_NetworkProtocol;
    case 4:
        return KEY_TransportProtocol;
    case 3:
        return KEY_ReferenceSession;
    case 2:
        return KEY_PresentationProtocol;
    default:
        return KEY_NONE;
    }
}

// The traffic types of devices (1-12) and of network interfaces (1001-1012): odd ones watch for too
// much, even ones for too little.
int TrafficType(int type) {
    if (type >= 1 && type <= 12) return type;
    if (type >= 1001 && type <= 1012) return type - 1000;
    return 0;
}

bool IsHighType(int type) {
    return TrafficType(type) % 2 == 1;
}

bool IsLowType(int type) {
    const int traffic = TrafficType(type);
    return traffic != 0 && traffic % 2 == 0;
}

bool IsResponseType(int type) {
    return type >= 13 && type <= 15;
}

// A check frequency that re-arms: a period or recurring schedule with a time.
bool IsRecurring(const OleDateTime& frequency) {
    const int year = frequency.GetYear();
    return year >= kSchedulePeriod && year <= kScheduleAnnually && ScheduleHasTime(frequency);
}

} // namespace

CEventHandler::CEventHandler(COstrelixApp& app) : m_App(app) {
    std::map<std::int32_t, std::int32_t> byParentAndNumber;
    BuildProtocolIndexMaps(byParentAndNumber, m_ProtocolsByTreePosition);
}

CEventHandler::~CEventHandler() = default;

const void* CEventHandler::AlarmIdentifier(const EventInfo& info) {
    return reinterpret_cast<const void*>(std::uintptr_t(info.GetSerial()));
}

ThreadObject* CEventHandler::MonitorThread() const {
    return m_MonitorThread ? m_MonitorThread : m_App.GetMonitor();
}

bool CEventHandler::IsArmed(const EventInfo& info) const {
    return m_ArmedEvents.count(info.GetSerial()) != 0;
}

bool CEventHandler::IsScheduled(const EventInfo& info) const {
    return m_ScheduledEvents.count(info.GetSerial()) != 0;
}

void CEventHandler::ArmAll(const ExplorerObjectList& objects) {
    for (const auto& object : objects.GetRecords()) {
        if (object->m_Kind != ExplorerInfo::kDevice && object->m_Kind != ExplorerInfo::kNetwork) continue;
        for (int index = 0; index < object->GetEventCount(); ++index) {
            EventInfo* info = object->GetEventAt(index);
            info->m_Owner = object.get();
            ArmEvent(*info, true);
        }
    }
    m_Started = true;
}

void CEventHandler::ArmEvent(EventInfo& info, bool force) {
    if (!m_App.IsEventHandlerRunning() || !(m_Started || force) || m_App.GetMonitorState() != 1) return;
    if (IsArmed(info)) DisarmEvent(info);
    if (!info.m_Owner || !info.m_CfgEvent) return;
    const COstrelixSystemDoc& model = m_App.GetSystemDoc();
    const std::string& name = info.m_Owner->m_Name;
    if (info.m_Kind == EventInfo::kDevice) {
        if (!model.FindDevice(name)) return;
    } else if (info.m_Kind == EventInfo::kNetwork) {
        if (!model.FindNetwork(name)) return;
    } else {
        return;
    }
    // Armed before its selections, so that an event without an alarm still takes the active tests'
    // reports.
    m_ArmedEvents[info.GetSerial()] = &info;
    std::unique_ptr<MonitorAlarm> alarm = BuildAlarm(info);
    if (!alarm) return;
    auto* message = new MonitorAlarmRequestMessage(alarm.get(), false, true);
    ThreadObject* monitor = MonitorThread();
    if (monitor && message->Send(monitor)) {
        alarm.release();
    } else {
        delete message;
    }
}

bool CEventHandler::AddDeviceSelections(EventInfo& info, MonitorAlarm& alarm) const {
    const CCfgDevice* device = info.m_Owner->GetDevice();
    if (!device) return false;
    const std::string address = device->GetAddress();
    std::vector<std::unique_ptr<Tuple>> tuples;
    const int direction = info.m_CfgEvent->GetDirection();
    std::vector<int> sides;
    if (direction == kReceived || direction == kBoth) sides.push_back(KEY_Destination);
    if (direction == kTransmitted || direction == kBoth) sides.push_back(KEY_Source);
    for (const int side : sides) {
        switch (device->GetAddressType()) {
        case kMacAddress: {
            MacAddress mac(address.c_str(), true);
            tuples.push_back(std::make_unique<Tuple>(mac, side, true));
            break;
        }
        case kIpAddress:
        case kIpName: {
            IpAddress ip(address.c_str(), true);
            tuples.push_back(std::make_unique<Tuple>(ip, side, true));
            break;
        }
        case kIpxAddress: {
            IpxAddress ipx(address.c_str(), true);
            tuples.push_back(std::make_unique<Tuple>(ipx, side, true));
            break;
        }
        default:
            return false;
        }
    }
    for (int word = 0; word < CCfgEvent::kFilterWords; ++word)
        for (int bit = 0; bit < kFilterBits; ++bit) {
            if (!info.m_CfgEvent->IsFilterBit(word, bit)) continue;
            const auto row = m_ProtocolsByTreePosition.find(ProtocolTreeKey(word, bit));
            if (row == m_ProtocolsByTreePosition.end()) continue;
            const ProtocolRow& protocol = ProtocolRows()[std::size_t(row->second)];
            const int32_t key = KeyOfLayer(protocol.layer);
            if (key == KEY_NONE) continue;
            for (auto& tuple : tuples)
                tuple->SetKeyValue(uint16_t(protocol.number), key);
        }
    for (auto& tuple : tuples)
        alarm.AddSelection(std::move(tuple));
    return true;
}

std::unique_ptr<MonitorAlarm> CEventHandler::BuildAlarm(EventInfo& info) {
    const CCfgEvent& event = *info.m_CfgEvent;
    const auto seconds = std::int64_t(ScheduleDurationSeconds(event.GetSampleTime()));
    const OleDateTime frequency = event.GetFrequency();
    const bool scheduled = IsRecurring(frequency);
    auto alarm =
        std::make_unique<MonitorAlarm>(AlarmIdentifier(info), SOURCE_LIVE_RING, SCOPE_TUPLES, TARGET_CURRENT,
                                       TimeSpan(seconds, Unit::Seconds), scheduled ? 1 : 0);
    alarm->SetEvaluation(event.GetMeasure() != 0 ? MODE_OCTETS : MODE_PACKETS, EVALUATE_RATE, kRateBase);
    alarm->SetReplyThread(&m_App.GetThreadObject());
    if (info.m_Kind == EventInfo::kDevice) {
        if (!AddDeviceSelections(info, *alarm)) return nullptr;
    } else {
        const CCfgNet* network = info.m_Owner->GetNetwork();
        if (!network) return nullptr;
        alarm->AddSelection(std::make_unique<Tuple>(uint16_t(network->GetAdapterIndex()), KEY_Interface));
    }
    if (scheduled) ScheduleStartCountdown(frequency, m_ScheduledEvents[info.GetSerial()]);
    alarm->AddDefaultElement();
    alarm->SetThreshold(std::make_unique<AlarmThreshold>(double(event.GetThreshold()), MODE_CROSSING,
                                                         kLimitNotSet, MODE_UNSET));
    return alarm;
}

void CEventHandler::DisarmEvent(EventInfo& info) {
    if (!m_App.IsEventHandlerRunning() || !m_Started) return;
    auto* cancel = new MonitorAlarmCancelMessage(AlarmIdentifier(info), false, true);
    ThreadObject* monitor = MonitorThread();
    if (!monitor || !cancel->Send(monitor)) delete cancel;
    // The monitor names the alarm's reports by the serial, which is never used again, so the
    // event may go at once.
    if (LogDoc* log = m_App.GetLogDoc()) {
        if (info.m_Owner && !info.m_Owner->IsValid())
            log->ClearEventEntry(info);
        else if (info.GetResetWhenNormal())
            log->ResetIfNormal(info);
    }
    m_ArmedEvents.erase(info.GetSerial());
    m_ScheduledEvents.erase(info.GetSerial());
}

void CEventHandler::DisarmAll() {
    std::vector<EventInfo*> armed;
    for (const auto& [serial, info] : m_ArmedEvents)
        armed.push_back(info);
    for (EventInfo* info : armed)
        DisarmEvent(*info);
}

void CEventHandler::OnAlarmValue(std::uint64_t serial, int value, bool reachedUpward) {
    if (!m_Started) return;
    const auto found = m_ArmedEvents.find(serial);
    if (found == m_ArmedEvents.end()) return;
    EventInfo& info = *found->second;
    const bool configured = info.m_Kind == EventInfo::kDevice || info.m_Kind == EventInfo::kNetwork;
    const int threshold = configured ? info.GetThreshold() : 0;
    const bool resetWhenNormal = configured && info.GetResetWhenNormal();
    bool fires = false;
    if (IsHighType(info.m_Type))
        fires = value > threshold || (value == threshold && reachedUpward);
    else if (IsLowType(info.m_Type))
        fires = value < threshold || (value == threshold && !reachedUpward);
    else if (IsResponseType(info.m_Type))
        fires = value == 256;
    LogDoc* log = m_App.GetLogDoc();
    if (!log) return;
    if (fires)
        log->RaiseEvent(info, OleDateTime::GetCurrentTime());
    else if (resetWhenNormal)
        log->ResetIfNormal(info);
}

void CEventHandler::RearmScheduled() {
    std::vector<std::uint64_t> due;
    for (auto& [serial, countdown] : m_ScheduledEvents)
        if (ScheduleCountdownTick(countdown)) due.push_back(serial);
    for (const std::uint64_t serial : due)
        if (const auto found = m_ArmedEvents.find(serial); found != m_ArmedEvents.end())
            ArmEvent(*found->second, false);
}

} // namespace vq
