#pragma once

#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/NotificationThreadMessage.h"

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace vq::test {

struct Report {
    int severity;
    std::string text;
    std::string className;
    std::string method;
    friend bool operator==(const Report&, const Report&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Report& report) {
    return out << report.severity << " " << report.className << "::" << report.method << " \"" << report.text
               << "\"";
}

// Makes the calling thread the main thread of a fresh engine and collects the reports sent to it.
class ReportCollector {
public:
    ReportCollector() { app_.Register(); }

    // The reports that arrived so far.
    std::vector<Report> Take() {
        app_.PumpPending();
        return std::exchange(app_.reports, {});
    }

private:
    class App : public HeadlessApp {
    public:
        std::vector<Report> reports;

    protected:
        void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
            if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
                reports.push_back({report->GetSeverity(), report->GetText(), report->GetClassNameText(),
                                   report->GetMethodName()});
            HeadlessApp::OnThreadMessage(id, message);
        }
    };

    ScopedEngineGlobals engine_;
    App app_;
};

} // namespace vq::test
