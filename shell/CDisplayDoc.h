#pragma once

#include "platform/classlib/Document.h"

#include <functional>
#include <string>
#include <vector>

namespace vq {

class MonitorDataReply;

// The display document, standing in until the displays are built: it records the monitor replies
// passed to it and the resets of its views.
class CDisplayDoc : public CDocument {
public:
    struct Call {
        std::string operation;
        int key;
        bool operator==(const Call&) const = default;
    };

    CDisplayDoc();
    ~CDisplayDoc() override;

    virtual void OnSummaryInitialize(const MonitorDataReply&, int key) {
        m_Calls.push_back({"summary init", key});
    }
    virtual void OnSummaryUpdate(const MonitorDataReply&, int key) { m_Calls.push_back({"summary", key}); }
    virtual void OnConversationInitialize(const MonitorDataReply&, int key) {
        m_Calls.push_back({"conversation init", key});
    }
    virtual void OnConversationUpdate(const MonitorDataReply&, int key) {
        m_Calls.push_back({"conversation", key});
    }
    virtual void OnTrendInitialize(const MonitorDataReply&, int key) {
        m_Calls.push_back({"trend init", key});
    }
    virtual void OnTrendUpdate(const MonitorDataReply&, int key) { m_Calls.push_back({"trend", key}); }
    void ResetViews() { ++m_Resets; }

    // Every display document that exists, in the order they were made.
    static void ForEach(const std::function<void(CDisplayDoc&)>& visit);

    std::vector<Call> m_Calls;
    int m_Resets = 0;
};

} // namespace vq
