#pragma once

#include "platform/core/Types.h"
#include "platform/db/Database.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace vq {

class ArchiveReader;
class CCfgClass;
class CCfgClassEvent;
class CCfgDevice;
class CCfgDeviceEvent;
class CCfgLogGroup;
class CCfgLogGroupLevel;
class CCfgNet;
class CCfgNetworkEvent;
class CCfgOstrelix;
class CCfgReport;
class RowReader;
class RowWriter;
struct ConfigTable;

template <class Record> using CfgList = std::vector<std::unique_ptr<Record>>;

// The configuration database: loads the configuration model, writes each record as it is
// committed, deletes rows by name, creates new databases from the template. Nothing here throws to
// its caller: an operation answers false, none or 0 and leaves the reason for TakeLastError.
// Main thread only.
class CConfig {
public:
    // Creates the database access component, apart from opening any file, so that a machine
    // without it (archive mode) can be reproduced; answers false with the reason when it cannot.
    using ConnectionFactory = std::function<bool(std::string& reason)>;
    // Shows a message to the user; CreateDatabase's failures are reported this way.
    using MessageBox = std::function<void(const std::string& text)>;

    static constexpr const char* kTemplateName = "VorquelIP.tpl";
    static constexpr int64_t kMinimumFileSize = 10'000;
    static constexpr int64_t kMaxReportId = 128;

    explicit CConfig(ConnectionFactory factory = {}, MessageBox messageBox = {});
    CConfig(const CConfig&) = delete;
    CConfig& operator=(const CConfig&) = delete;
    virtual ~CConfig();

    bool Open(const std::string& path, const std::string& folder);
    bool ProbeAdo();
    std::string TakeLastError();
    // Whether the open file can be a configuration database at all: long enough and an SQLite
    // file. The file stays open and its position unchanged.
    bool CheckDatabaseFile(int fileDescriptor) const;
    bool CreateDatabase(const std::string& folder, const std::string& name);
    // Where CreateDatabase finds the template; the program's own folder unless set.
    void SetProgramFolder(const std::string& folder) { m_ProgramFolder = folder; }

    void Arm();
    bool WaitForExecute(int count);
    // Archive mode only: the file (folder and name joined as given) that holds the root record and
    // the network records.
    bool AttachArchiveFile(const std::string& name, const std::string& folder);

    // The model loads in this order: root, devices, classes, networks, log groups, levels, class,
    // device and network events, reports.
    std::unique_ptr<CCfgOstrelix> LoadRoot();
    bool SaveRoot(CCfgOstrelix& root);
    bool LoadReports(CfgList<CCfgReport>& list);
    // `oldName` finds the row of a renamed report. A report gets the next unused number, at most
    // kMaxReportId, as the membership bits of devices and networks hold no more.
    bool SaveReport(CCfgReport& report, const std::optional<std::string>& oldName = std::nullopt);

    bool LoadDevices(CfgList<CCfgDevice>& list);
    bool LoadClasses(CfgList<CCfgClass>& list);
    // `oldName` finds the row of a renamed record. Of several rows with the key name the first by
    // ID is the record's; a row is added only when none has the name.
    bool SaveDevice(const CCfgDevice& device, const std::optional<std::string>& oldName = std::nullopt);
    bool SaveClass(const CCfgClass& cfgClass, const std::optional<std::string>& oldName = std::nullopt);

    bool LoadClassEvents(CfgList<CCfgClassEvent>& list);
    bool LoadDeviceEvents(CfgList<CCfgDeviceEvent>& list);
    bool LoadNetworkEvents(CfgList<CCfgNetworkEvent>& list);
    bool SaveClassEvent(const CCfgClassEvent& event);
    bool SaveDeviceEvent(const CCfgDeviceEvent& event);
    bool SaveNetworkEvent(const CCfgNetworkEvent& event);
    // Each replace is one transaction: on any failure the owner's stored rows stay as they were
    // and the answer is 0; otherwise the answer is the number of rows written.
    int ReplaceClassEvents(const CfgList<CCfgClassEvent>& events, const CCfgClass& cfgClass);
    int ReplaceDeviceEvents(const CfgList<CCfgDeviceEvent>& events, const CCfgDevice& device);
    // The events take the network's name.
    int ReplaceNetworkEvents(CfgList<CCfgNetworkEvent>& events, const CCfgNet& network);

    bool LoadNetworks(CfgList<CCfgNet>& list);
    bool SaveNetwork(const CCfgNet& network);

    bool LoadLogGroups(CfgList<CCfgLogGroup>& list);
    bool SaveLogGroup(const CCfgLogGroup& group);
    bool LoadLogGroupLevels(CfgList<CCfgLogGroupLevel>& list);
    bool SaveLogGroupLevel(const CCfgLogGroupLevel& level);
    int ReplaceLogGroupLevels(const std::string& groupName, const CfgList<CCfgLogGroupLevel>& levels);

    int32_t GetReportId(const std::string& name);
    bool DeleteReport(const std::string& name);
    bool DeleteDevice(const std::string& name);
    bool DeleteClass(const std::string& name);
    bool DeleteNetwork(const std::string& name);
    bool DeleteLogGroup(const CCfgLogGroup& group);
    bool DeleteLogGroupLevels(const std::string& groupName);
    bool DeleteDeviceEvents(const std::string& deviceName);
    bool DeleteClassEvents(const std::string& className);
    bool DeleteNetworkEvents(const std::string& networkName);

private:
    template <class Result, class Work> Result Guarded(Result failure, Work&& work);
    template <class Record, class Read>
    bool LoadTable(const ConfigTable& table, CfgList<Record>& list, Read read);
    template <class Write> int64_t WriteRow(const ConfigTable& table, std::optional<int64_t> id, Write write);
    std::optional<int64_t> FindRow(const ConfigTable& table, const std::string& key);
    void DeleteRows(const ConfigTable& table, const std::string& key);
    bool Delete(const ConfigTable& table, const std::string& key);
    void Execute(db::Statement& statement);
    template <class Event>
    int ReplaceEvents(const ConfigTable& table, const CfgList<Event>& events, const std::string& owner);
    void ShowMessage(const std::string& text) const;
    void ShowCreateFailure(const std::system_error& error) const;
    bool CopyTemplate(const std::string& templatePath, const std::string& path);
    bool CreateArchive(const std::string& path);
    std::unique_ptr<CCfgOstrelix> LoadArchiveRoot();
    bool SaveArchiveRoot(const CCfgOstrelix& root);
    bool LoadArchiveNetworks(CfgList<CCfgNet>& list);

    bool m_ExecuteComplete = false;
    bool m_Armed = false;
    bool m_ArchiveMode = false;
    std::string m_LastError;
    std::string m_Folder;
    std::string m_Path;
    std::string m_ProgramFolder;
    ConnectionFactory m_Factory;
    MessageBox m_MessageBox;
    std::unique_ptr<db::Database> m_Database;
    std::optional<std::string> m_ArchivePath;
    // The root loader leaves the rest of the archive to the network loader.
    std::vector<u8> m_ArchiveBytes;
    std::unique_ptr<ArchiveReader> m_Archive;
};

} // namespace vq
