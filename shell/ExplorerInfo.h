#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/Messages.h"
#include "platform/gui/WindowSystem.h"
#include "platform/time/OleDateTime.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class CCfgClass;
class CCfgDevice;
class CCfgLogGroup;
class CCfgNet;
class EventInfo;

inline constexpr UINT WM_OBJECT_STATUS = WM_USER + 5;

// The run-time record of one configured object (device, network interface, class or log group)
// or of a root of the explorer: its configuration record, its events, its place in the tree and
// its live state. Main thread only.
class ExplorerInfo : public Object {
    VQ_DECLARE_RUNTIME_CLASS(ExplorerInfo)
public:
    enum Kind : int32_t { kDevice = 0, kNetwork = 1, kClass = 2, kLogGroup = 3 };

    // Records are made through ExplorerObjectList::Create, which keeps them.
    ExplorerInfo();
    // Deletes the events, never their configuration records nor this record's.
    ~ExplorerInfo() override;
    ExplorerInfo(const ExplorerInfo&) = delete;
    ExplorerInfo& operator=(const ExplorerInfo&) = delete;

    // Takes the event over.
    bool AddEvent(EventInfo* event);
    // Unlinks the event, which goes back to the caller, and deletes its configuration record
    // for kinds device to class. False when the event is not this object's.
    bool RemoveEvent(EventInfo* event);
    int GetEventCount() const { return int(m_Events.size()); }
    EventInfo* GetEventAt(int index) const;

    void RaiseStatus(int level);
    void ClearStatus(int level);
    int GetStatus() const { return m_Status; }
    int GetDisplayStatus() const;
    // 0 not a tested device, 1 testing off, 4 never tested, else the last result (2 or 3).
    int GetActiveTestResult(std::uint32_t& roundTrip, OleDateTime& time, std::string& text) const;

    // Makes this fresh record an edit copy of `source` with records of its own.
    void CopyFrom(const ExplorerInfo& source);
    // Discards an edit copy's records.
    void DeleteRecords();

    std::string GetDescription() const;
    std::string GetDisplayName() const;

    // Read by the active-test threads while the main thread deletes the device.
    bool IsValid() const { return m_Valid.load(); }
    void SetValid(bool valid) { m_Valid = valid; }
    bool IsTransient() const { return m_Transient; }
    void SetTransient() { m_Transient = true; }
    bool AreViewSettingsLoaded() const { return m_ViewSettingsLoaded; }
    void SetViewSettingsLoaded() { m_ViewSettingsLoaded = true; }
    bool IsTrendViewEnabled() const { return m_TrendView; }
    void SetTrendViewEnabled(bool enabled) { m_TrendView = enabled; }
    bool IsConversationViewEnabled() const { return m_ConversationView; }
    void SetConversationViewEnabled(bool enabled) { m_ConversationView = enabled; }
    bool IsProtocolViewEnabled() const { return m_ProtocolView; }
    void SetProtocolViewEnabled(bool enabled) { m_ProtocolView = enabled; }

    // The configuration record of the kind; not owned (the model's lists own it).
    void SetRecord(CCfgDevice* device);
    void SetRecord(CCfgNet* network);
    void SetRecord(CCfgClass* cfgClass);
    void SetRecord(CCfgLogGroup* logGroup);
    CCfgDevice* GetDevice() const { return m_Kind == kDevice ? static_cast<CCfgDevice*>(m_Record) : nullptr; }
    CCfgNet* GetNetwork() const { return m_Kind == kNetwork ? static_cast<CCfgNet*>(m_Record) : nullptr; }
    CCfgClass* GetClass() const { return m_Kind == kClass ? static_cast<CCfgClass*>(m_Record) : nullptr; }
    CCfgLogGroup* GetLogGroup() const {
        return m_Kind == kLogGroup && !m_Root ? static_cast<CCfgLogGroup*>(m_Record) : nullptr;
    }
    int GetLevelCount(int level) const;
    bool IsConfigured() const { return m_Configured; }
    bool HasResetWhenNormal() const { return m_ResetWhenNormal; }

    // Where status changes are posted: the explorer first, then the shortcut bar.
    static void SetStatusWindows(HWND explorer, HWND shortcuts);

    // Written by the application when an active-test result arrives.
    int32_t m_LastTestStatus = 0;
    std::string m_LastTestText;
    std::uint32_t m_LastTestRoundTrip = 0;
    OleDateTime m_LastTestTime;

    bool m_Root = false;
    std::uintptr_t m_TreeItem = 0;
    int32_t m_Kind = kDevice;
    int32_t m_NodeType = 1;
    std::string m_Name;
    int32_t m_Image = 0;

private:
    void Recompute();
    Object* RecordObject() const;

    std::vector<std::unique_ptr<EventInfo>> m_Events;
    void* m_Record = nullptr;
    bool m_ResetWhenNormal = false;
    int32_t m_Status = 0;
    int32_t m_Level0 = 1;
    int32_t m_Configured = 0;
    int32_t m_Levels[3] = {0, 0, 0};
    std::atomic<bool> m_Valid{true};
    bool m_Transient = false;
    bool m_ViewSettingsLoaded = false;
    bool m_TrendView = true;
    bool m_ConversationView = true;
    bool m_ProtocolView = true;
};

// Every record made in the run, edit copies too; they live until the list goes with the
// configuration model.
class ExplorerObjectList {
public:
    ExplorerInfo* Create();
    std::size_t GetCount() const { return m_Records.size(); }
    const std::vector<std::unique_ptr<ExplorerInfo>>& GetRecords() const { return m_Records; }
    void RemoveAll() { m_Records.clear(); }

private:
    std::vector<std::unique_ptr<ExplorerInfo>> m_Records;
};

} // namespace vq
