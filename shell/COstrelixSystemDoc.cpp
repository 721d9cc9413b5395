#include "shell/COstrelixSystemDoc.h"

#include "capture/ProtocolTable.h"
#include "config/CCfgClass.h"
#include "config/CCfgClassEvent.h"
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgNet.h"
#include "config/CCfgNetworkEvent.h"
#include "config/CCfgOstrelix.h"
#include "config/CCfgReport.h"
#include "config/ConfigTexts.h"
#include "platform/gui/MessageBox.h"
#include "runtime/ConfigFileNames.h"
#include "shell/COstrelixApp.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"
#include "shell/ExplorerTreeNodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vq {
namespace {

constexpr std::array<std::pair<int, const char*>, 11> kDeviceTypes{{
    {7, "Server"}, {8, "Router"}, {9, "Workstation"}, {12, "Portable"}, {13, "Gateway"}, {14, "Switch"},
    {15, "Printer"}, {16, "LANDisk"}, {17, "PDA"}, {18, "Wireless"}, {19, "WAN"},
}};
constexpr int kWanCode = 19;

void ShowMessage(const std::string& text) {
    MessageBox(0, text.c_str(), "Vorquel", MB_OK | MB_ICONEXCLAMATION);
}

ExplorerInfo* Find(const COstrelixSystemDoc::NameMap& map, const std::string& name) {
    if (name.empty()) return nullptr;
    auto found = map.find(name);
    return found == map.end() ? nullptr : found->second;
}

template <class Record>
std::unique_ptr<CCfgEvent> Release(CfgList<Record>& list, const CCfgEvent* record) {
    auto found = std::find_if(list.begin(), list.end(), [record](const auto& held) { return held.get() == record; });
    if (found == list.end()) return nullptr;
    std::unique_ptr<CCfgEvent> taken(found->release());
    list.erase(found);
    return taken;
}

// Binds each event record to its owner's explorer record; an owner that is missing is named in
// `missingText` and the record stays in the list unbound.
template <class Record>
void BindEvents(CfgList<Record>& list, int kind, const COstrelixSystemDoc::NameMap& owners,
                const std::string& missingText) {
    for (const auto& record : list) {
        const std::string owner = record->GetOwnerName();
        if (owner.empty()) continue;
        ExplorerInfo* object = Find(owners, owner);
        if (!object) {
            std::string text = missingText;
            text.replace(text.find("%1"), 2, owner);
            ShowMessage(text);
            continue;
        }
        auto* event = new EventInfo;
        event->m_Kind = kind;
        event->m_Type = record->GetType();
        event->m_CfgEvent = record.get();
        event->m_Object = kind == EventInfo::kDevice    ? static_cast<Object*>(object->GetDevice())
                          : kind == EventInfo::kNetwork ? static_cast<Object*>(object->GetNetwork())
                                                        : static_cast<Object*>(object->GetClass());
        object->AddEvent(event);
    }
}

} // namespace

int DeviceTypeFromName(const std::string& name) {
    for (const auto& [code, text] : kDeviceTypes)
        if (code != kWanCode && name == text) return code;
    return 0;
}

std::string DeviceTypeName(int code) {
    for (const auto& [known, text] : kDeviceTypes)
        if (known == code) return text;
    return "Default";
}

VQ_IMPLEMENT_RUNTIME_CLASS(COstrelixSystemDoc, Object)

COstrelixSystemDoc::COstrelixSystemDoc(COstrelixApp& app, std::unique_ptr<CConfig> store)
    : m_App(app), m_Store(std::move(store)) {}

COstrelixSystemDoc::~COstrelixSystemDoc() {
    // The explorer records point into the lists, so they go first.
    m_App.GetObjectList().RemoveAll();
}

bool COstrelixSystemDoc::SetPassword(const std::string& password) {
    m_Password = password;
    return true;
}

bool COstrelixSystemDoc::Open(bool withRoot) {
    if (!m_DatabaseOpen) {
        if (!m_Store->Open(MakeConfigFilePath(m_Folder, m_Name), m_Folder)) return false;
        m_DatabaseOpen = true;
    }
    if (!withRoot) return true;
    std::unique_ptr<CCfgOstrelix> root = m_Store->LoadRoot();
    if (!root) return false;
    m_App.SetRootRecord(std::move(root));
    return true;
}

bool COstrelixSystemDoc::Load() {
    if (!Open(true)) return Fail();
    CreateRoots();
    m_App.m_ProtocolsByNumber.clear();
    m_App.m_ProtocolsByTreePosition.clear();
    BuildProtocolIndexMaps(m_App.m_ProtocolsByNumber, m_App.m_ProtocolsByTreePosition);
    m_App.m_DataMonitorDisabled = m_App.GetRootRecord()->GetDisableDataMonitor();
    if (!LoadClassesAndDevices() || !LoadNetworks() || !LoadLogGroups()) return Fail();
    LoadEvents();
    if (!m_Store->LoadReports(m_Reports)) return Fail();
    return true;
}

bool COstrelixSystemDoc::Fail() {
    const std::string reason = m_Store->TakeLastError();
    if (reason == ConfigText(IDS_INVALID_DATABASE_TYPE) || reason == ConfigText(IDS_DATABASE_VERSION_MISMATCH)) {
        ShowMessage(reason);
        m_Name.clear();
        return false;
    }
    FatalError(reason, 802);
}

ExplorerInfo* COstrelixSystemDoc::NewObject(int kind, int nodeType, int image, const std::string& name,
                                            ExplorerInfo* parent) {
    ExplorerInfo* object = m_App.GetObjectList().Create();
    object->m_Kind = kind;
    object->m_NodeType = nodeType;
    object->m_Image = image;
    object->m_Name = name;
    if (m_Tree) object->m_TreeItem = m_Tree->InsertNode(parent ? parent->m_TreeItem : 0, image, name, object);
    return object;
}

void COstrelixSystemDoc::CreateRoots() {
    m_NetworkRoot = NewObject(ExplorerInfo::kNetwork, 1, 1, "Network", nullptr);
    m_DeviceRoot = NewObject(ExplorerInfo::kDevice, 1, 0, "Device", nullptr);
    m_LogRoot = NewObject(ExplorerInfo::kLogGroup, 1, 2, "Log", nullptr);
    for (ExplorerInfo* root : {m_NetworkRoot, m_DeviceRoot, m_LogRoot}) root->m_Root = true;
}

bool COstrelixSystemDoc::LoadClassesAndDevices() {
    if (!Open(false) || !m_Store->LoadDevices(m_Devices) || !m_Store->LoadClasses(m_Classes)) return false;
    for (const auto& record : m_Classes) {
        const std::string name = record->GetName();
        if (m_ClassMap.count(name)) {
            ShowMessage("Class " + name + " has been defined more than once. First definition will be used.");
            continue;
        }
        ExplorerInfo* object = NewObject(ExplorerInfo::kClass, 1, DeviceTypeFromName(record->GetBitmap()), name,
                                         m_DeviceRoot);
        object->SetRecord(record.get());
        m_ClassMap[name] = object;
    }
    for (const auto& record : m_Devices) {
        if (record->GetIpConversations())
            m_App.AddMacFilterEntry(record->GetAddress());
        else
            m_App.RemoveMacFilterEntry(record->GetAddress());
        ExplorerInfo* parent = m_DeviceRoot;
        const std::string className = record->GetClassName();
        if (!className.empty()) {
            if (ExplorerInfo* cfgClass = FindClass(className)) {
                parent = cfgClass;
            } else {
                ShowMessage("Device " + record->GetName() + " names the class " + className +
                            ", which does not exist; it is shown without a class.");
                record->SetClassName("");
            }
        }
        const std::string name = record->GetName();
        ExplorerInfo* object =
            NewObject(ExplorerInfo::kDevice, 1, DeviceTypeFromName(record->GetBitmap()), name, parent);
        object->SetRecord(record.get());
        m_DeviceMap[name] = object;
    }
    return true;
}

bool COstrelixSystemDoc::LoadNetworks() {
    if (!m_Store->LoadNetworks(m_Networks)) return false;
    for (const auto& record : m_Networks) {
        ExplorerInfo* object = NewObject(ExplorerInfo::kNetwork, 1, 10, record->GetName(), m_NetworkRoot);
        object->SetRecord(record.get());
        m_NetworkMap[record->GetName()] = object;
    }
    return true;
}

bool COstrelixSystemDoc::LoadLogGroups() {
    if (!m_Store->LoadLogGroups(m_LogGroups) || !m_Store->LoadLogGroupLevels(m_Levels)) return false;
    for (const auto& record : m_LogGroups) {
        ExplorerInfo* object = NewObject(ExplorerInfo::kLogGroup, 4, 2, record->GetName(), m_LogRoot);
        object->SetRecord(record.get());
        m_LogGroupMap[record->GetName()] = object;
    }
    return true;
}

void COstrelixSystemDoc::LoadEvents() {
    // A kind the store cannot read is left out; the other kinds still load.
    if (m_Store->LoadClassEvents(m_ClassEvents))
        BindEvents(m_ClassEvents, EventInfo::kClass, m_ClassMap, "Class lookup for %1 failed - cannot load event.");
    if (m_Store->LoadDeviceEvents(m_DeviceEvents))
        BindEvents(m_DeviceEvents, EventInfo::kDevice, m_DeviceMap, "Device %1 missing. Event not loaded.");
    if (m_Store->LoadNetworkEvents(m_NetworkEvents))
        BindEvents(m_NetworkEvents, EventInfo::kNetwork, m_NetworkMap,
                   "Network interface %1 missing. Event not loaded.");
}

ExplorerInfo* COstrelixSystemDoc::FindClass(const std::string& name) const {
    return Find(m_ClassMap, name);
}
ExplorerInfo* COstrelixSystemDoc::FindDevice(const std::string& name) const {
    return Find(m_DeviceMap, name);
}
ExplorerInfo* COstrelixSystemDoc::FindNetwork(const std::string& name) const {
    return Find(m_NetworkMap, name);
}
ExplorerInfo* COstrelixSystemDoc::FindLogGroup(const std::string& name) const {
    return Find(m_LogGroupMap, name);
}

CCfgReport* COstrelixSystemDoc::FindReport(const std::string& name) const {
    for (const auto& report : m_Reports)
        if (report->GetName() == name) return report.get();
    return nullptr;
}

CCfgLogGroupLevel* COstrelixSystemDoc::FindLogGroupLevel(const std::string& group, const std::string& level) const {
    for (const auto& record : m_Levels)
        if (record->GetGroupName() == group && record->GetName() == level) return record.get();
    return nullptr;
}

bool COstrelixSystemDoc::GetLogGroupLevels(const std::string& group, std::vector<CCfgLogGroupLevel*>& levels) const {
    levels.clear();
    if (m_Levels.empty()) return false;
    for (const auto& record : m_Levels)
        if (record->GetGroupName() == group) levels.push_back(record.get());
    return true;
}

bool COstrelixSystemDoc::IsDeviceAddressKnown(int addressType, const std::string& address) const {
    return std::any_of(m_Devices.begin(), m_Devices.end(), [&](const auto& device) {
        return device->GetAddressType() == addressType && device->GetAddress() == address;
    });
}

bool COstrelixSystemDoc::IsAdapterAssigned(const std::string& macText) const {
    return std::any_of(m_Networks.begin(), m_Networks.end(),
                       [&](const auto& network) { return network->GetAdapterAddress() == macText; });
}

bool COstrelixSystemDoc::CreateMacDevice(const std::string& name, bool local, const std::string& className) {
    m_MacDeviceRequests.push_back(name + (local ? " local " : " ") + className);
    return false;
}

std::unique_ptr<CCfgEvent> COstrelixSystemDoc::ReleaseEventRecord(const CCfgEvent* record) {
    if (auto taken = Release(m_DeviceEvents, record)) return taken;
    if (auto taken = Release(m_NetworkEvents, record)) return taken;
    return Release(m_ClassEvents, record);
}

} // namespace vq
