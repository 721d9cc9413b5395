#pragma once

#include <string>
#include <vector>

namespace vq {

class ExplorerInfo;

// The view administration, standing in until it is built: it records the logging documents and the
// dialogs it is asked to open.
class ViewAdmin {
public:
    void StartNetworkLogging(ExplorerInfo* network);
    void StartDeviceLogging(ExplorerInfo* device);
    void OpenDeviceActiveTestDialog(ExplorerInfo* device);

    std::vector<std::string> m_Started;
};

} // namespace vq
