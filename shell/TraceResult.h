#pragma once

#include <string>

namespace vq {

class CDlgTrace;

// A report of the trace-route worker for the dialog that started the trace; the dialog that takes
// it deletes it.
struct TraceResult {
    CDlgTrace* m_Dialog = nullptr;
    std::string m_Text;
};

} // namespace vq
