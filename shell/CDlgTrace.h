#pragma once

#include "platform/gui/WindowSystem.h"
#include "shell/TraceResult.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vq {

// The trace-route dialog's report handlers, standing in until the dialog is built: each takes its
// report and records which handler got which text.
class CDlgTrace {
public:
    CDlgTrace();
    ~CDlgTrace();
    CDlgTrace(const CDlgTrace&) = delete;
    CDlgTrace& operator=(const CDlgTrace&) = delete;

    // Whether `dialog` names a dialog that exists now and has its window; decided by identity
    // first, so a report naming a deleted dialog never reads it.
    static bool HasWindow(const CDlgTrace* dialog);

    void OnHopResult(std::unique_ptr<TraceResult> report) { Record("hop", std::move(report)); }
    void OnTraceFinished(std::unique_ptr<TraceResult> report) { Record("finished", std::move(report)); }
    void OnTraceError(std::unique_ptr<TraceResult> report) { Record("error", std::move(report)); }
    void OnHopError(std::unique_ptr<TraceResult> report) { Record("hop error", std::move(report)); }
    void OnTraceCancelled(std::unique_ptr<TraceResult> report) { Record("cancelled", std::move(report)); }

    HWND m_hWnd = 0;
    std::vector<std::pair<std::string, std::string>> m_Reports;

private:
    void Record(const char* handler, std::unique_ptr<TraceResult> report) {
        m_Reports.emplace_back(handler, report->m_Text);
    }
};

} // namespace vq
