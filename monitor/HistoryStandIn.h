#pragma once

#include "monitor/HistoryService.h"

namespace vq {

// The history thread until the recorder exists: it asks the monitor for checkpoints once started,
// takes and drops the checkpoints and restarts, and answers no history request.
class HistoryStandIn : public HistoryService {
public:
    HistoryStandIn(std::string databasePath, int32_t flags);

    bool InitInstance() override;

protected:
    void OnThreadMessage(const QueueEntry& entry) override;
};

} // namespace vq
