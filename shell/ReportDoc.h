#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

// The report document, standing in until reports are built: it records the steps it is told.
class ReportDoc {
public:
    void StartReport(std::intptr_t report, int mode) {
        m_Steps.push_back("start " + std::to_string(report) + " " + std::to_string(mode));
    }
    void NextSubject() { m_Steps.push_back("next"); }

    std::vector<std::string> m_Steps;
};

} // namespace vq
