#pragma once

namespace vq {

class ExplorerInfo;

// A device handed to the active-test manager to be tested; the manager owns it once posted.
struct ActiveTestInfo {
    ExplorerInfo* m_Device = nullptr;
};

} // namespace vq
