#pragma once

#include "monitor/CaptureAdapters.h"
#include "monitor/HistoryService.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorAnnouncements.h"
#include "monitor/RingGeometry.h"
#include "monitor/TrafficStore.h"
#include "netmodel/Environment.h"
#include "runtime/EngineGlobals.h"

#include <atomic>
#include <mutex>
#include <string>

namespace vq {

class Monitor;

// The monitor engine's program-wide values, kept with the rest of the engine state so that a test
// starts from fresh ones.
class MonitorGlobals : public EngineExtension {
public:
    MonitorGlobals();
    ~MonitorGlobals() override;

    // The installed actions of the four kinds, offered every new tuple of the live model. Made
    // before the model; the actions are deleted before the model goes, since their elements and
    // selectors may share its hosts (the tuples only point at the actions, never through them).
    MonitorActionPools m_Pools;
    // Where the live model reports hosts whose addresses became authoritative.
    MonitorAnnouncements m_Announcements;
    // The live network model, used on the monitor thread only.
    std::unique_ptr<Environment> m_Environment;
    // The one monitor thread object and the one history thread object; null when none exists.
    std::atomic<Monitor*> m_Monitor{nullptr};
    std::atomic<HistoryService*> m_History{nullptr};

    // How the monitor makes its adapters (the capture adapter set when empty) and its history thread
    // (none when empty). Set before the monitor starts; read only on its thread.
    CaptureAdaptersFactory m_AdaptersFactory;
    HistoryFactory m_HistoryFactory;
    // The live ring's shape as the requesters know it from the start answer.
    RingGeometryCopy m_RingGeometry;
    // The counters of the live data set's containers; the live model's conversations when empty.
    TrafficStoreFactory m_TrafficFactory;

    void SetHistoryDatabasePath(std::string path);
    std::string GetHistoryDatabasePath() const;

private:
    mutable std::mutex m_PathMutex;
    std::string m_HistoryDatabasePath;
};

MonitorGlobals& TheMonitorGlobals();

} // namespace vq
