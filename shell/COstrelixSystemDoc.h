#pragma once

#include "config/CConfig.h"
#include "platform/core/RuntimeClass.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class CCfgClass;
class CCfgClassEvent;
class CCfgDevice;
class CCfgDeviceEvent;
class CCfgEvent;
class CCfgLogGroup;
class CCfgLogGroupLevel;
class CCfgNet;
class CCfgNetworkEvent;
class CCfgReport;
class COstrelixApp;
class ExplorerInfo;
class ExplorerTreeNodes;

// Device type codes, which are also the explorer's images of devices and classes.
int DeviceTypeFromName(const std::string& name);
std::string DeviceTypeName(int code);

// The whole configuration in memory: the records of the configuration database, and for each
// object its explorer record, registered in the application's maps and shown in the tree.
class COstrelixSystemDoc : public Object {
    VQ_DECLARE_RUNTIME_CLASS(COstrelixSystemDoc)
public:
    using NameMap = std::map<std::string, ExplorerInfo*>;

    COstrelixSystemDoc(COstrelixApp& app, std::unique_ptr<CConfig> store);
    ~COstrelixSystemDoc() override;

    // Reads the database named by folder and file name into the model and the tree. A database of
    // the wrong type or version is refused with a message and empties the name; any other store
    // failure ends the program (802).
    bool Load();
    bool IsDatabaseOpen() const { return m_DatabaseOpen; }
    void SetTree(ExplorerTreeNodes* tree) { m_Tree = tree; }

    void SetPath(std::string folder) { m_Folder = std::move(folder); }
    const std::string& GetPath() const { return m_Folder; }
    void SetName(std::string name) { m_Name = std::move(name); }
    const std::string& GetName() const { return m_Name; }
    bool SetPassword(const std::string& password);
    bool CheckPassword(const std::string& text) const { return text == m_Password; }

    ExplorerInfo* FindClass(const std::string& name) const;
    ExplorerInfo* FindDevice(const std::string& name) const;
    ExplorerInfo* FindNetwork(const std::string& name) const;
    ExplorerInfo* FindLogGroup(const std::string& name) const;
    CCfgReport* FindReport(const std::string& name) const;
    const CfgList<CCfgReport>& GetReports() const { return m_Reports; }
    CCfgLogGroupLevel* FindLogGroupLevel(const std::string& group, const std::string& level) const;
    bool GetLogGroupLevels(const std::string& group, std::vector<CCfgLogGroupLevel*>& levels) const;
    bool IsDeviceAddressKnown(int addressType, const std::string& address) const;
    bool IsAdapterAssigned(const std::string& macText) const;
    // Creates a device for a newly seen MAC address in the class; false when none was made. Stands
    // in until editing the model is built: it records the call and makes nothing.
    bool CreateMacDevice(const std::string& name, bool local, const std::string& className);
    std::vector<std::string> m_MacDeviceRequests;

    // Takes an event record out of the model's lists for its explorer record to delete; null when
    // the model does not hold it.
    std::unique_ptr<CCfgEvent> ReleaseEventRecord(const CCfgEvent* record);

    CConfig& GetStore() { return *m_Store; }
    ExplorerInfo* GetDeviceRoot() const { return m_DeviceRoot; }
    ExplorerInfo* GetNetworkRoot() const { return m_NetworkRoot; }
    ExplorerInfo* GetLogRoot() const { return m_LogRoot; }
    const CfgList<CCfgDevice>& GetDevices() const { return m_Devices; }
    const CfgList<CCfgClass>& GetClasses() const { return m_Classes; }
    const CfgList<CCfgDeviceEvent>& GetDeviceEvents() const { return m_DeviceEvents; }
    // The network interfaces in the database's order.
    const CfgList<CCfgNet>& GetNetworks() const { return m_Networks; }

    NameMap m_ClassMap;
    NameMap m_DeviceMap;
    NameMap m_NetworkMap;
    NameMap m_LogGroupMap;

private:
    bool Open(bool withRoot);
    bool Fail();
    void CreateRoots();
    bool LoadClassesAndDevices();
    bool LoadNetworks();
    bool LoadLogGroups();
    void LoadEvents();
    ExplorerInfo* NewObject(int kind, int nodeType, int image, const std::string& name, ExplorerInfo* parent);

    COstrelixApp& m_App;
    std::unique_ptr<CConfig> m_Store;
    ExplorerTreeNodes* m_Tree = nullptr;
    ExplorerInfo* m_DeviceRoot = nullptr;
    ExplorerInfo* m_NetworkRoot = nullptr;
    ExplorerInfo* m_LogRoot = nullptr;
    CfgList<CCfgDeviceEvent> m_DeviceEvents;
    CfgList<CCfgNetworkEvent> m_NetworkEvents;
    CfgList<CCfgClassEvent> m_ClassEvents;
    CfgList<CCfgClass> m_Classes;
    CfgList<CCfgDevice> m_Devices;
    CfgList<CCfgNet> m_Networks;
    CfgList<CCfgLogGroup> m_LogGroups;
    CfgList<CCfgLogGroupLevel> m_Levels;
    CfgList<CCfgReport> m_Reports;
    std::string m_Folder;
    std::string m_Name;
    bool m_DatabaseOpen = false;
    std::string m_Password;
};

} // namespace vq
