#include "shell/ExplorerInfo.h"

#include "config/CCfgClass.h"
#include "config/CCfgClassEvent.h"
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgLogGroup.h"
#include "config/CCfgNet.h"
#include "config/CCfgNetworkEvent.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/EventInfo.h"

#include <algorithm>

namespace vq {
namespace {

HWND statusWindows[2] = {0, 0};

// A new event record of the object's kind, copied from `event`.
CCfgEvent* CopyEventRecord(int32_t kind, const CCfgEvent& event) {
    switch (kind) {
    case ExplorerInfo::kDevice:
        if (auto* own = dynamic_cast<const CCfgDeviceEvent*>(&event)) return new CCfgDeviceEvent(*own);
        return nullptr;
    case ExplorerInfo::kNetwork: return new CCfgNetworkEvent(event);
    case ExplorerInfo::kClass:
        if (auto* own = dynamic_cast<const CCfgClassEvent*>(&event)) return new CCfgClassEvent(*own);
        return nullptr;
    default: return nullptr;
    }
}

// A live object's event record belongs to the model's lists; an edit copy's to the copy.
void DeleteEventRecord(CCfgEvent* record) {
    auto* app = dynamic_cast<COstrelixApp*>(AfxGetApp());
    std::unique_ptr<CCfgEvent> held = app ? app->GetSystemDoc().ReleaseEventRecord(record) : nullptr;
    if (!held) delete record;
}

bool OwnsEventRecords(int32_t kind) {
    return kind == ExplorerInfo::kDevice || kind == ExplorerInfo::kNetwork || kind == ExplorerInfo::kClass;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(ExplorerInfo, Object)

ExplorerInfo::ExplorerInfo() {
    m_LastTestTime.SetStatus(OleDateTime::invalid);
}

ExplorerInfo::~ExplorerInfo() = default;

void ExplorerInfo::SetStatusWindows(HWND explorer, HWND shortcuts) {
    statusWindows[0] = explorer;
    statusWindows[1] = shortcuts;
}

void ExplorerInfo::SetRecord(CCfgDevice* device) {
    m_Record = device;
}
void ExplorerInfo::SetRecord(CCfgNet* network) {
    m_Record = network;
}
void ExplorerInfo::SetRecord(CCfgClass* cfgClass) {
    m_Record = cfgClass;
}
void ExplorerInfo::SetRecord(CCfgLogGroup* logGroup) {
    m_Record = logGroup;
}

bool ExplorerInfo::AddEvent(EventInfo* event) {
    event->m_Owner = this;
    m_Events.emplace_back(event);
    if (m_Kind != kClass) {
        RaiseStatus(1);
        if (event->m_CfgEvent && event->m_CfgEvent->GetResetWhenNormal()) m_ResetWhenNormal = true;
    }
    return true;
}

bool ExplorerInfo::RemoveEvent(EventInfo* event) {
    if (m_Events.empty()) return true;
    auto found = std::find_if(m_Events.begin(), m_Events.end(),
                              [event](const std::unique_ptr<EventInfo>& held) { return held.get() == event; });
    if (found == m_Events.end()) return false;
    found->release();
    m_Events.erase(found);
    event->m_Owner = nullptr;
    if (OwnsEventRecords(m_Kind)) {
        DeleteEventRecord(event->m_CfgEvent);
        event->m_CfgEvent = nullptr;
    }
    return true;
}

EventInfo* ExplorerInfo::GetEventAt(int index) const {
    return index >= 0 && index < GetEventCount() ? m_Events[std::size_t(index)].get() : nullptr;
}

void ExplorerInfo::RaiseStatus(int level) {
    if (level == 1) m_Configured = 1;
    if (level >= 2 && level <= 4) ++m_Levels[level - 2];
    Recompute();
}

void ExplorerInfo::ClearStatus(int level) {
    int32_t* counter = level == 0 ? &m_Level0 : level >= 2 && level <= 4 ? &m_Levels[level - 2] : nullptr;
    if (counter && --*counter < 0) *counter = 0;
    Recompute();
}

int ExplorerInfo::GetLevelCount(int level) const {
    if (level == 0) return m_Level0;
    return level >= 2 && level <= 4 ? m_Levels[level - 2] : 0;
}

void ExplorerInfo::Recompute() {
    int32_t status = m_Configured ? 1 : 0;
    for (int level = 4; level >= 2; --level) {
        if (m_Levels[level - 2] != 0) {
            status = level;
            break;
        }
    }
    if (status == m_Status) return;
    m_Status = status;
    for (HWND window : statusWindows)
        if (window) PostMessage(window, WM_OBJECT_STATUS, WPARAM(this), 0);
}

int ExplorerInfo::GetDisplayStatus() const {
    return m_Status == 1 && m_ResetWhenNormal ? 2 : m_Status;
}

int ExplorerInfo::GetActiveTestResult(std::uint32_t& roundTrip, OleDateTime& time, std::string& text) const {
    const CCfgDevice* device = GetDevice();
    if (!device) return 0;
    if (!device->GetPerformTest()) return 1;
    if (m_LastTestTime.GetStatus() != OleDateTime::valid) return 4;
    roundTrip = m_LastTestRoundTrip;
    time = m_LastTestTime;
    text.clear();
    return m_LastTestStatus;
}

void ExplorerInfo::CopyFrom(const ExplorerInfo& source) {
    m_Root = source.m_Root;
    m_Record = source.m_Record;
    m_TreeItem = source.m_TreeItem;
    m_Name = source.m_Name;
    m_Status = source.m_Status;
    m_Image = source.m_Image;
    m_Kind = source.m_Kind;
    m_NodeType = source.m_NodeType;
    m_Events.clear();
    m_Valid = true;

    if (const CCfgDevice* device = source.GetDevice()) {
        auto* copy = new CCfgDevice(*device);
        copy->SetName(device->GetName());
        m_Record = copy;
    } else if (const CCfgNet* network = source.GetNetwork()) {
        auto* copy = new CCfgNet(*network);
        copy->SetName(network->GetName());
        m_Record = copy;
    } else if (const CCfgClass* cfgClass = source.GetClass()) {
        auto* copy = new CCfgClass(*cfgClass);
        copy->SetName(cfgClass->GetName());
        m_Record = copy;
    }

    for (const auto& event : source.m_Events) {
        auto copy = std::make_unique<EventInfo>(*event);
        copy->m_CfgEvent = event->m_CfgEvent ? CopyEventRecord(m_Kind, *event->m_CfgEvent) : nullptr;
        copy->m_Object = RecordObject();
        AddEvent(copy.release());
    }
}

void ExplorerInfo::DeleteRecords() {
    if (!OwnsEventRecords(m_Kind) || m_Root) return;
    for (auto& event : m_Events) {
        DeleteEventRecord(event->m_CfgEvent);
        event->m_CfgEvent = nullptr;
    }
    switch (m_Kind) {
    case kDevice: delete GetDevice(); break;
    case kNetwork: delete GetNetwork(); break;
    case kClass: delete GetClass(); break;
    default: break;
    }
    m_Record = nullptr;
}

Object* ExplorerInfo::RecordObject() const {
    if (CCfgDevice* device = GetDevice()) return device;
    if (CCfgNet* network = GetNetwork()) return network;
    return GetClass();
}

std::string ExplorerInfo::GetDescription() const {
    if (const CCfgDevice* device = GetDevice()) return device->GetDescription();
    if (const CCfgNet* network = GetNetwork()) return network->GetDescription();
    if (const CCfgClass* cfgClass = GetClass()) return cfgClass->GetDescription();
    return {};
}

std::string ExplorerInfo::GetDisplayName() const {
    std::string address;
    if (const CCfgDevice* device = GetDevice()) address = device->GetAddress();
    if (const CCfgNet* network = GetNetwork()) address = network->GetAdapterAddress();
    std::string text = m_Name + " " + GetDescription();
    if (!address.empty()) text += " (" + address + ")";
    return text;
}

ExplorerInfo* ExplorerObjectList::Create() {
    m_Records.push_back(std::make_unique<ExplorerInfo>());
    return m_Records.back().get();
}

} // namespace vq
