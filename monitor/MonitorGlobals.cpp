#include "monitor/MonitorGlobals.h"

#include "monitor/MonitorAction.h"

namespace vq {
namespace {

std::unique_ptr<EngineExtension> MakeMonitorGlobals() {
    return std::make_unique<MonitorGlobals>();
}

} // namespace

MonitorGlobals::MonitorGlobals()
    : m_Environment(std::make_unique<Environment>(
          uint8_t(1), Environment::Services{&m_Announcements, nullptr, &m_Pools})) {
    m_Pools.SetEnvironment(m_Environment.get());
}

MonitorGlobals::~MonitorGlobals() {
    m_Pools.DeleteAll();
}

void MonitorGlobals::SetHistoryDatabasePath(std::string path) {
    std::lock_guard lock(m_PathMutex);
    m_HistoryDatabasePath = std::move(path);
}

std::string MonitorGlobals::GetHistoryDatabasePath() const {
    std::lock_guard lock(m_PathMutex);
    return m_HistoryDatabasePath;
}

MonitorGlobals& TheMonitorGlobals() {
    return static_cast<MonitorGlobals&>(Engine().MonitorState(&MakeMonitorGlobals));
}

} // namespace vq
