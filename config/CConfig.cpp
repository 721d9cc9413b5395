#include "config/CConfig.h"

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
#include "config/ConfigColumns.h"
#include "config/ConfigRow.h"
#include "config/ConfigTexts.h"
#include "platform/core/Archive.h"
#include "platform/db/StagedFile.h"
#include "platform/db/Transaction.h"
#include "platform/sys/SystemError.h"
#include "runtime/ConfigFileNames.h"
#include "runtime/HeadlessApp.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace vq {
namespace {

constexpr ConfigTable kRootTable{"CFGOSTRELIX", "ID", 31, OleDateTime::invalid};
constexpr ConfigTable kReportTable{"CFGREPORT", "REPORTNAME", 11, OleDateTime::invalid};
constexpr ConfigTable kDeviceTable{"CFGDEVICE", "DEVName", 18};
constexpr ConfigTable kClassTable{"CFGCLASS", "CLASSNAME", 6};
constexpr ConfigTable kNetworkTable{"CFGNETWORK", "NETWORKNAME", 14, OleDateTime::null, 1};
constexpr ConfigTable kLogGroupTable{"CFGLOGGROUP", "LOGGROUP_NAME", 3};
constexpr ConfigTable kLevelTable{"CFGLOGGROUP_LEVEL", "LOGGROUPNAME", 21};
constexpr ConfigTable kClassEventTable{"CFGCLASSEVENT", "CLASSNAME", 31};
constexpr ConfigTable kDeviceEventTable{"CFGDEVICEEVENT", "DEVICENAME", 31};
constexpr ConfigTable kNetworkEventTable{"CFGNETWORKEVENT", "NETWORKNAME", 31};

constexpr int64_t kRootId = 1;
constexpr const char* kNoDatabase = "No configuration database is open.";
constexpr std::size_t kCopyBlock = 16'000;
constexpr std::size_t kArchiveMessageLength = 255;
constexpr std::size_t kNetworkMessageLength = 254;
constexpr char kSqliteHeader[16] = "SQLite format 3";

// The file cause codes that the creation messages carry.
int FileCauseCode(int error) {
    switch (error) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return 13;
    default:
        return 1;
    }
}

std::string WithCause(ConfigTextId id, int error) {
    return ConfigText(id) + " - " + std::to_string(FileCauseCode(error));
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string Truncated(const std::string& text, std::size_t length) {
    return text.substr(0, length);
}

std::vector<u8> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::system_error(errno, std::generic_category(), path);
    std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::system_error(EIO, std::generic_category(), path);
    return bytes;
}

std::string SelectAll(const ConfigTable& table) {
    return std::string("SELECT * FROM ") + table.name + " ORDER BY ID";
}

} // namespace

CConfig::CConfig(ConnectionFactory factory, MessageBox messageBox)
    : m_ProgramFolder(ProgramFolderOfProcess()), m_Factory(std::move(factory)),
      m_MessageBox(std::move(messageBox)) {
    if (!m_Factory) m_Factory = [](std::string&) { return true; };
}

CConfig::~CConfig() = default;

bool CConfig::Open(const std::string& path, const std::string& folder) {
    m_ExecuteComplete = false;
    m_Armed = false;
    if (path.empty()) return false;
    m_Database.reset();
    std::string reason;
    if (!m_Factory(reason)) {
        m_LastError = reason;
        m_ArchiveMode = true;
        return false;
    }
    try {
        m_Database = db::Database::Open(path);
    } catch (const db::DatabaseError& error) {
        m_LastError = error.what();
        return false;
    }
    m_Path = path;
    m_Folder = folder;
    return true;
}

bool CConfig::ProbeAdo() {
    std::string reason;
    return m_Factory(reason);
}

std::string CConfig::TakeLastError() {
    return std::exchange(m_LastError, std::string());
}

bool CConfig::CheckDatabaseFile(int fileDescriptor) const {
    if (m_ArchiveMode) return false;
    struct stat info {};
    if (::fstat(fileDescriptor, &info) != 0 || info.st_size < kMinimumFileSize) return false;
    char header[sizeof kSqliteHeader];
    return ::pread(fileDescriptor, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
           std::equal(header, header + sizeof header, kSqliteHeader);
}

void CConfig::ShowMessage(const std::string& text) const {
    if (m_MessageBox) m_MessageBox(text);
}

bool CConfig::CreateDatabase(const std::string& folder, const std::string& name) {
    std::string path = MakeConfigFilePath(folder, IsConfigFileName(name) ? name : name + ".vqd");
    if (PathExists(path)) {
        ShowMessage(ConfigText(IDS_DATABASE_EXISTS));
        return false;
    }
    if (m_ArchiveMode) return CreateArchive(path);
    return CopyTemplate(MakeConfigFilePath(m_ProgramFolder, kTemplateName), path);
}

void CConfig::ShowCreateFailure(const std::system_error& error) const {
    int code = error.code().value();
    ShowMessage(code == EEXIST ? ConfigText(IDS_DATABASE_EXISTS)
                               : WithCause(IDS_CREATE_DATABASE_FAILED, code));
}

bool CConfig::CopyTemplate(const std::string& templatePath, const std::string& path) {
    int source = ::open(templatePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        ShowMessage(WithCause(IDS_TEMPLATE_ACCESS_FAILED, errno));
        return false;
    }
    try {
        db::StagedFile target(path);
        std::vector<char> block(kCopyBlock);
        for (;;) {
            ssize_t count = ::read(source, block.data(), block.size());
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) throw std::system_error(errno, std::generic_category(), templatePath);
            if (count == 0) break;
            target.Write(block.data(), static_cast<std::size_t>(count));
        }
        target.CommitNew();
    } catch (const std::system_error& error) {
        ::close(source);
        ShowCreateFailure(error);
        return false;
    }
    ::close(source);
    return true;
}

void CConfig::Arm() {
    m_ExecuteComplete = false;
    m_Armed = true;
}

bool CConfig::WaitForExecute(int count) {
    for (int sleeps = 0; !m_ExecuteComplete && sleeps <= count; ++sleeps)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    bool completed = m_ExecuteComplete;
    m_ExecuteComplete = false;
    m_Armed = false;
    return completed;
}

// Every statement runs here, so an armed store sees the completion of the next one.
void CConfig::Execute(db::Statement& statement) {
    bool armed = std::exchange(m_Armed, false);
    statement.Run();
    if (armed) m_ExecuteComplete = true;
}

template <class Result, class Work> Result CConfig::Guarded(Result failure, Work&& work) {
    if (!m_Database) {
        m_LastError = kNoDatabase;
        return failure;
    }
    try {
        return work(*m_Database);
    } catch (const std::bad_alloc&) {
        // Running out of memory keeps the previous text: making a new one could fail the same way.
    } catch (const std::exception& error) {
        m_LastError = error.what();
        if (m_LastError.empty()) m_LastError = ConfigText(IDS_DATABASE_ACCESS_ERROR);
    }
    return failure;
}

template <class Record, class Read>
bool CConfig::LoadTable(const ConfigTable& table, CfgList<Record>& list, Read read) {
    return Guarded(false, [&](db::Database& database) {
        auto statement = database.Prepare(SelectAll(table));
        while (statement.Step()) {
            auto record = std::make_unique<Record>();
            read(RowReader(statement, table.nullDate), *record);
            record->SetNew(false);
            list.push_back(std::move(record));
        }
        return true;
    });
}

std::optional<int64_t> CConfig::FindRow(const ConfigTable& table, const std::string& key) {
    auto statement = m_Database->Prepare(std::string("SELECT ID FROM ") + table.name + " WHERE " + table.key +
                                         " = ?1 ORDER BY ID LIMIT 1");
    statement.Bind(1, key);
    if (!statement.Step()) return std::nullopt;
    return statement.GetInt64(0);
}

// One statement both adds (no ID: the database numbers the row) and rewrites a row in place.
template <class Write>
int64_t CConfig::WriteRow(const ConfigTable& table, std::optional<int64_t> id, Write write) {
    std::string sql = std::string("INSERT OR REPLACE INTO ") + table.name + " VALUES (?1";
    for (int column = 1; column < table.columns; ++column)
        sql += ", ?" + std::to_string(column + 1);
    sql += ")";
    auto statement = m_Database->Prepare(sql);
    if (id)
        statement.Bind(1, *id);
    else
        statement.BindNull(1);
    RowWriter writer(statement, table.trueFlag);
    write(writer);
    Execute(statement);
    return m_Database->LastInsertId();
}

void CConfig::DeleteRows(const ConfigTable& table, const std::string& key) {
    auto statement =
        m_Database->Prepare(std::string("DELETE FROM ") + table.name + " WHERE " + table.key + " = ?1");
    statement.Bind(1, key);
    Execute(statement);
}

bool CConfig::Delete(const ConfigTable& table, const std::string& key) {
    return Guarded(false, [&](db::Database&) {
        DeleteRows(table, key);
        return true;
    });
}

bool CConfig::LoadLogGroups(CfgList<CCfgLogGroup>& list) {
    return LoadTable(kLogGroupTable, list,
                     [](const RowReader& row, CCfgLogGroup& group) { ReadColumns(row, group); });
}

bool CConfig::SaveLogGroup(const CCfgLogGroup& group) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kLogGroupTable, FindRow(kLogGroupTable, group.GetName()),
                 [&](RowWriter& row) { WriteColumns(row, group); });
        return true;
    });
}

bool CConfig::LoadLogGroupLevels(CfgList<CCfgLogGroupLevel>& list) {
    return LoadTable(kLevelTable, list,
                     [](const RowReader& row, CCfgLogGroupLevel& level) { ReadColumns(row, level); });
}

bool CConfig::SaveLogGroupLevel(const CCfgLogGroupLevel& level) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kLevelTable, std::nullopt, [&](RowWriter& row) { WriteColumns(row, level); });
        return true;
    });
}

int CConfig::ReplaceLogGroupLevels(const std::string& groupName, const CfgList<CCfgLogGroupLevel>& levels) {
    return Guarded(0, [&](db::Database& database) {
        db::Transaction transaction(database);
        DeleteRows(kLevelTable, groupName);
        int written = 0;
        for (const auto& level : levels) {
            WriteRow(kLevelTable, std::nullopt, [&](RowWriter& row) { WriteColumns(row, *level); });
            ++written;
        }
        transaction.Commit();
        return written;
    });
}

int32_t CConfig::GetReportId(const std::string& name) {
    return Guarded(int32_t{0}, [&](db::Database&) {
        auto id = FindRow(kReportTable, name);
        return id ? static_cast<int32_t>(*id) : 0;
    });
}

bool CConfig::DeleteReport(const std::string& name) {
    return Delete(kReportTable, name);
}
bool CConfig::DeleteDevice(const std::string& name) {
    return Delete(kDeviceTable, name);
}
bool CConfig::DeleteClass(const std::string& name) {
    return Delete(kClassTable, name);
}
bool CConfig::DeleteNetwork(const std::string& name) {
    return Delete(kNetworkTable, name);
}
bool CConfig::DeleteLogGroupLevels(const std::string& groupName) {
    return Delete(kLevelTable, groupName);
}
bool CConfig::DeleteDeviceEvents(const std::string& deviceName) {
    return Delete(kDeviceEventTable, deviceName);
}
bool CConfig::DeleteClassEvents(const std::string& className) {
    return Delete(kClassEventTable, className);
}
bool CConfig::DeleteNetworkEvents(const std::string& networkName) {
    return Delete(kNetworkEventTable, networkName);
}

bool CConfig::DeleteLogGroup(const CCfgLogGroup& group) {
    Arm();
    return Delete(kLogGroupTable, group.GetName());
}

std::unique_ptr<CCfgOstrelix> CConfig::LoadRoot() {
    if (m_ArchiveMode) return LoadArchiveRoot();
    std::unique_ptr<CCfgOstrelix> none;
    return Guarded(std::move(none), [&](db::Database& database) -> std::unique_ptr<CCfgOstrelix> {
        auto statement = database.Prepare("SELECT * FROM CFGOSTRELIX WHERE ID = ?1");
        statement.Bind(1, kRootId);
        if (!statement.Step()) {
            m_LastError = ConfigText(IDS_DATABASE_ACCESS_ERROR);
            return nullptr;
        }
        if (statement.ColumnName(1) != "DBVersion") {
            m_LastError = ConfigText(IDS_INVALID_DATABASE_TYPE);
            return nullptr;
        }
        auto root = std::make_unique<CCfgOstrelix>();
        root->SetDbVersion(statement.GetText(1));
        if (!root->CheckDbVersion(m_LastError)) return nullptr;
        ReadColumns(RowReader(statement, kRootTable.nullDate), *root);
        root->SetNew(false);
        return root;
    });
}

// Only row 1 is ever read, so only row 1 is ever written.
bool CConfig::SaveRoot(CCfgOstrelix& root) {
    if (m_ArchiveMode) return SaveArchiveRoot(root);
    return Guarded(false, [&](db::Database&) {
        WriteRow(kRootTable, kRootId, [&](RowWriter& row) { WriteColumns(row, root); });
        return true;
    });
}

bool CConfig::LoadReports(CfgList<CCfgReport>& list) {
    return LoadTable(kReportTable, list,
                     [](const RowReader& row, CCfgReport& report) { ReadColumns(row, report); });
}

bool CConfig::SaveReport(CCfgReport& report, const std::optional<std::string>& oldName) {
    return Guarded(false, [&](db::Database& database) {
        db::Transaction transaction(database);
        auto id = FindRow(kReportTable, oldName.value_or(report.GetName()));
        int64_t written = WriteRow(kReportTable, id, [&](RowWriter& row) { WriteColumns(row, report); });
        if (!id && written > kMaxReportId) {
            m_LastError = "No report number left: a configuration holds at most 128 report numbers.";
            return false;
        }
        transaction.Commit();
        return true;
    });
}

bool CConfig::LoadDevices(CfgList<CCfgDevice>& list) {
    return LoadTable(kDeviceTable, list,
                     [](const RowReader& row, CCfgDevice& device) { ReadColumns(row, device); });
}

bool CConfig::LoadClasses(CfgList<CCfgClass>& list) {
    return LoadTable(kClassTable, list,
                     [](const RowReader& row, CCfgClass& cfgClass) { ReadColumns(row, cfgClass); });
}

bool CConfig::SaveDevice(const CCfgDevice& device, const std::optional<std::string>& oldName) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kDeviceTable, FindRow(kDeviceTable, oldName.value_or(device.GetName())),
                 [&](RowWriter& row) { WriteColumns(row, device); });
        return true;
    });
}

bool CConfig::SaveClass(const CCfgClass& cfgClass, const std::optional<std::string>& oldName) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kClassTable, FindRow(kClassTable, oldName.value_or(cfgClass.GetName())),
                 [&](RowWriter& row) { WriteColumns(row, cfgClass); });
        return true;
    });
}

bool CConfig::LoadNetworks(CfgList<CCfgNet>& list) {
    if (m_ArchiveMode) return LoadArchiveNetworks(list);
    return LoadTable(kNetworkTable, list,
                     [](const RowReader& row, CCfgNet& network) { ReadColumns(row, network); });
}

bool CConfig::SaveNetwork(const CCfgNet& network) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kNetworkTable, FindRow(kNetworkTable, network.GetName()),
                 [&](RowWriter& row) { WriteColumns(row, network); });
        return true;
    });
}

namespace {

template <class Event> void ReadEvent(const RowReader& row, Event& event) {
    event.SetOwnerName(row.Text(1));
    ReadEventColumns(row, event);
}

template <class Event> void WriteEvent(RowWriter& row, const Event& event) {
    row.Text(1, event.GetOwnerName());
    WriteEventColumns(row, event);
}

} // namespace

bool CConfig::LoadClassEvents(CfgList<CCfgClassEvent>& list) {
    return LoadTable(kClassEventTable, list, ReadEvent<CCfgClassEvent>);
}

bool CConfig::LoadDeviceEvents(CfgList<CCfgDeviceEvent>& list) {
    return LoadTable(kDeviceEventTable, list, ReadEvent<CCfgDeviceEvent>);
}

bool CConfig::LoadNetworkEvents(CfgList<CCfgNetworkEvent>& list) {
    return LoadTable(kNetworkEventTable, list, ReadEvent<CCfgNetworkEvent>);
}

bool CConfig::SaveClassEvent(const CCfgClassEvent& event) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kClassEventTable, std::nullopt, [&](RowWriter& row) { WriteEvent(row, event); });
        return true;
    });
}

bool CConfig::SaveDeviceEvent(const CCfgDeviceEvent& event) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kDeviceEventTable, std::nullopt, [&](RowWriter& row) { WriteEvent(row, event); });
        return true;
    });
}

bool CConfig::SaveNetworkEvent(const CCfgNetworkEvent& event) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(kNetworkEventTable, std::nullopt, [&](RowWriter& row) { WriteEvent(row, event); });
        return true;
    });
}

template <class Event>
int CConfig::ReplaceEvents(const ConfigTable& table, const CfgList<Event>& events, const std::string& owner) {
    return Guarded(0, [&](db::Database& database) {
        db::Transaction transaction(database);
        DeleteRows(table, owner);
        int written = 0;
        for (const auto& event : events) {
            WriteRow(table, std::nullopt, [&](RowWriter& row) { WriteEvent(row, *event); });
            ++written;
        }
        transaction.Commit();
        return written;
    });
}

int CConfig::ReplaceClassEvents(const CfgList<CCfgClassEvent>& events, const CCfgClass& cfgClass) {
    return ReplaceEvents(kClassEventTable, events, cfgClass.GetName());
}

int CConfig::ReplaceDeviceEvents(const CfgList<CCfgDeviceEvent>& events, const CCfgDevice& device) {
    return ReplaceEvents(kDeviceEventTable, events, device.GetName());
}

int CConfig::ReplaceNetworkEvents(CfgList<CCfgNetworkEvent>& events, const CCfgNet& network) {
    for (auto& event : events)
        event->SetOwnerName(network.GetName());
    return ReplaceEvents(kNetworkEventTable, events, network.GetName());
}

bool CConfig::CreateArchive(const std::string& path) {
    try {
        ArchiveWriter archive;
        CCfgOstrelix().Serialize(archive);
        db::StagedFile file(path);
        file.Write(archive.Data().data(), archive.Data().size());
        file.CommitNew();
        return true;
    } catch (const std::system_error& error) {
        ShowCreateFailure(error);
    } catch (const std::exception& error) {
        m_LastError = Truncated(error.what(), kArchiveMessageLength);
    }
    return false;
}

bool CConfig::AttachArchiveFile(const std::string& name, const std::string& folder) {
    if (!m_ArchiveMode) return false;
    if (name.empty()) return true;
    std::string path = folder + name;
    int file = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (file < 0) {
        m_LastError = SystemErrorText(errno);
        m_ArchivePath.reset();
        return false;
    }
    ::close(file);
    m_ArchivePath = path;
    m_Archive.reset();
    return true;
}

std::unique_ptr<CCfgOstrelix> CConfig::LoadArchiveRoot() {
    m_Archive.reset();
    if (!m_ArchivePath) {
        m_LastError = ConfigText(IDS_DATABASE_INTERNAL_ERROR);
        return nullptr;
    }
    try {
        m_ArchiveBytes = ReadWholeFile(*m_ArchivePath);
    } catch (const std::exception&) {
        m_LastError = ConfigText(IDS_ARCHIVE_LOAD_ERROR);
        return nullptr;
    }
    auto archive = std::make_unique<ArchiveReader>(m_ArchiveBytes);
    auto root = std::make_unique<CCfgOstrelix>();
    try {
        root->Serialize(*archive);
    } catch (const std::bad_alloc&) {
        m_LastError = ConfigText(IDS_INVALID_DATABASE_TYPE);
        return nullptr;
    } catch (const std::exception& error) {
        m_LastError = Truncated(error.what(), kArchiveMessageLength);
        return nullptr;
    }
    m_Archive = std::move(archive);
    return root;
}

// The file is rewritten whole, the new root followed by the network records that followed the old
// one, and is complete on disk before the answer, so the next load reads what was saved.
bool CConfig::SaveArchiveRoot(const CCfgOstrelix& root) {
    m_Archive.reset();
    if (!m_ArchivePath) {
        m_LastError = ConfigText(IDS_DATABASE_INTERNAL_ERROR);
        return false;
    }
    try {
        std::vector<u8> old = ReadWholeFile(*m_ArchivePath);
        ArchiveReader reader(old);
        if (!old.empty()) CCfgOstrelix().Serialize(reader);
        ArchiveWriter archive;
        root.Serialize(archive);
        db::StagedFile file(*m_ArchivePath);
        file.Write(archive.Data().data(), archive.Data().size());
        file.Write(old.data() + (old.size() - reader.Remaining()), reader.Remaining());
        file.CommitReplace();
        return true;
    } catch (const std::exception& error) {
        m_LastError = Truncated(error.what(), kArchiveMessageLength);
    }
    return false;
}

// End of data between two records ends the list; inside one it is a damaged file.
bool CConfig::LoadArchiveNetworks(CfgList<CCfgNet>& list) {
    if (!m_Archive) {
        m_LastError = ConfigText(IDS_DATABASE_INTERNAL_ERROR);
        return false;
    }
    auto archive = std::move(m_Archive);
    while (!archive->AtEnd()) {
        auto network = std::make_unique<CCfgNet>();
        try {
            network->Serialize(*archive);
        } catch (const std::exception& error) {
            m_LastError = Truncated(error.what(), kNetworkMessageLength);
            return false;
        }
        list.push_back(std::move(network));
    }
    return true;
}

} // namespace vq
