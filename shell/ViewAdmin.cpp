#include "shell/ViewAdmin.h"

#include "shell/ExplorerInfo.h"

namespace vq {

void ViewAdmin::StartNetworkLogging(ExplorerInfo* network) {
    m_Started.push_back("network " + network->m_Name);
}

void ViewAdmin::StartDeviceLogging(ExplorerInfo* device) {
    m_Started.push_back("device " + device->m_Name);
}

void ViewAdmin::OpenDeviceActiveTestDialog(ExplorerInfo* device) {
    m_Started.push_back("active test " + device->m_Name);
}

} // namespace vq
