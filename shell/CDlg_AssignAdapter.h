#pragma once

#include <functional>

namespace vq {

class AdapterInfoSet;

// The adapter assignment dialog. Until its window is built the answer comes from a script; without
// one the dialog is cancelled.
class CDlg_AssignAdapter {
public:
    using Script = std::function<int(CDlg_AssignAdapter& dialog)>;

    explicit CDlg_AssignAdapter(const AdapterInfoSet& adapters) : m_Adapters(adapters) {}

    // With exactly one adapter there is nothing to choose, so nothing is asked.
    bool SettlesByItself() const;
    int DoModal();
    static void SetScript(Script script);

    const AdapterInfoSet& m_Adapters;
};

} // namespace vq
