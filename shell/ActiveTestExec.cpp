#include "shell/ActiveTestExec.h"

#include "events/CPing.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/ActiveTestResult.h"
#include "shell/ExplorerInfo.h"
#include "shell/ShellMessages.h"

#include <algorithm>
#include <cstdio>

namespace vq {

bool ActiveTestExec::Start() {
    return m_Thread.Start([] {
        QueueEntry entry;
        while (MessageQueue::Current().Get(entry)) {
            if (entry.message != WM_ACTIVETEST_EXEC) continue;
            std::unique_ptr<Job> job(reinterpret_cast<Job*>(entry.lParam));
            if (job) OnExec(*job);
            return;
        }
    });
}

std::unique_ptr<ActiveTestResult> ActiveTestExec::Run(const Job& job) {
    CPing ping;
    CPingResults reply;
    const bool answered = ping.Ping(job.m_Address.c_str(), &reply, kTimeToLive) > 0;
    auto result = std::make_unique<ActiveTestResult>();
    result->m_TestSerial = job.m_TestSerial;
    result->m_Device = job.m_Device;
    result->m_TestTime = OleDateTime::GetCurrentTime();
    if (answered) {
        const std::int32_t roundTrip =
            std::max<std::int32_t>(kMinimumRoundTrip, std::int32_t(std::min<std::uint32_t>(reply.m_RoundTrip, INT32_MAX)));
        char text[160];
        std::snprintf(text, sizeof text, " %s Round Trip %dms TTL: %d", reply.m_Address.c_str(), roundTrip,
                      int(reply.m_Ttl));
        result->m_Status = ActiveTestResult::kAnswered;
        result->m_RoundTrip = roundTrip;
        result->m_Text = text;
    } else {
        result->m_Status = ActiveTestResult::kNoAnswer;
        result->m_Text = "Ping Error: " + CPing::GetStatusText(ping.GetErrorCode());
    }
    return result;
}

void ActiveTestExec::OnExec(const Job& job) {
    if (!job.m_Device || !job.m_Device->IsValid()) {
        PostThreadMessage(job.m_Manager, WM_ACTIVETEST_SKIPPED, job.m_Worker, LPARAM(job.m_TestSerial));
        return;
    }
    std::unique_ptr<ActiveTestResult> result = Run(job);
    // A manager that has ended refuses the post; the result is then freed here.
    if (PostThreadMessage(job.m_Manager, WM_ACTIVETEST_DONE, job.m_Worker, LPARAM(result.get())))
        result.release();
}

} // namespace vq
