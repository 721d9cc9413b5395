#include "config/CConfig.h"

#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/ConfigColumns.h"
#include "config/ConfigRow.h"
#include "config/ConfigTexts.h"
#include "platform/db/StagedFile.h"
#include "platform/db/Transaction.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace vq {
namespace {

constexpr ConfigTable kReportTable{"CFGREPORT", "REPORTNAME", 11};
constexpr ConfigTable kDeviceTable{"CFGDEVICE", "DEVName", 18};
constexpr ConfigTable kClassTable{"CFGCLASS", "CLASSNAME", 6};
constexpr ConfigTable kNetworkTable{"CFGNETWORK", "NETWORKNAME", 14};
constexpr ConfigTable kLogGroupTable{"CFGLOGGROUP", "LOGGROUP_NAME", 3};
constexpr ConfigTable kLevelTable{"CFGLOGGROUP_LEVEL", "LOGGROUPNAME", 21};
constexpr ConfigTable kClassEventTable{"CFGCLASSEVENT", "CLASSNAME", 31};
constexpr ConfigTable kDeviceEventTable{"CFGDEVICEEVENT", "DEVICENAME", 31};
constexpr ConfigTable kNetworkEventTable{"CFGNETWORKEVENT", "NETWORKNAME", 31};

constexpr const char* kNoDatabase = "No configuration database is open.";
constexpr std::size_t kCopyBlock = 16'000;
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

bool IsConfigFileName(const std::string& name) {
    auto dot = name.rfind('.');
    return dot != std::string::npos && std::string_view(name).substr(dot + 1) == "vqd";
}

std::string MakeConfigFilePath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (!path.ends_with('/')) path += '/';
    path += name;
    if (path.find('.') == std::string::npos) path += ".vqd";
    return path;
}

std::string ProgramFolderOfProcess() {
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : program.parent_path().string();
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
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
    return CopyTemplate(MakeConfigFilePath(m_ProgramFolder, kTemplateName), path);
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
        ShowMessage(error.code().value() == EEXIST
                        ? ConfigText(IDS_DATABASE_EXISTS)
                        : WithCause(IDS_CREATE_DATABASE_FAILED, error.code().value()));
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
        // Out of memory leaves the text of the last failure, as every failure of the store's
        // own memory does.
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
            read(RowReader(statement), *record);
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
int64_t CConfig::WriteRow(const ConfigTable& table, std::optional<int64_t> id, Write write, int trueFlag) {
    std::string sql = std::string("INSERT OR REPLACE INTO ") + table.name + " VALUES (?1";
    for (int column = 1; column < table.columns; ++column)
        sql += ", ?" + std::to_string(column + 1);
    sql += ")";
    auto statement = m_Database->Prepare(sql);
    if (id)
        statement.Bind(1, *id);
    else
        statement.BindNull(1);
    RowWriter writer(statement, trueFlag);
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
        WriteRow(
            kLogGroupTable, FindRow(kLogGroupTable, group.GetName()),
            [&](RowWriter& row) { WriteColumns(row, group); }, RowWriter::kTrueFlag);
        return true;
    });
}

bool CConfig::LoadLogGroupLevels(CfgList<CCfgLogGroupLevel>& list) {
    return LoadTable(kLevelTable, list,
                     [](const RowReader& row, CCfgLogGroupLevel& level) { ReadColumns(row, level); });
}

bool CConfig::SaveLogGroupLevel(const CCfgLogGroupLevel& level) {
    return Guarded(false, [&](db::Database&) {
        WriteRow(
            kLevelTable, std::nullopt, [&](RowWriter& row) { WriteColumns(row, level); },
            RowWriter::kTrueFlag);
        return true;
    });
}

int CConfig::ReplaceLogGroupLevels(const std::string& groupName, const CfgList<CCfgLogGroupLevel>& levels) {
    return Guarded(0, [&](db::Database& database) {
        db::Transaction transaction(database);
        DeleteRows(kLevelTable, groupName);
        int written = 0;
        for (const auto& level : levels) {
            WriteRow(
                kLevelTable, std::nullopt, [&](RowWriter& row) { WriteColumns(row, *level); },
                RowWriter::kTrueFlag);
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

} // namespace vq
