#include "shell/ActiveTestManager.h"

#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/ActiveTestExec.h"
#include "shell/ActiveTestInfo.h"
#include "shell/ActiveTestResult.h"
#include "shell/ExplorerInfo.h"
#include "shell/ShellMessages.h"

#include <algorithm>
#include <cmath>

namespace vq {
namespace {

// Whole minutes of a span; the half second added keeps a span built from minutes from falling
// just short of its value.
std::int64_t WholeMinutes(const OleDateTimeSpan& span) {
    return std::int64_t(std::trunc(span.GetTotalDays() * 1440.0 + 1.0 / 172'800.0));
}

template <typename T> std::unique_ptr<T> Take(std::uintptr_t value) {
    return std::unique_ptr<T>(reinterpret_cast<T*>(value));
}

} // namespace

ActiveTestManager::ActiveTestManager() = default;

ActiveTestManager::~ActiveTestManager() {
    if (m_Thread.IsJoinable()) PostThreadMessage(GetThreadId(), WM_ACTIVETEST_STOP, 0, 0);
    WaitUntilEnded();
}

bool ActiveTestManager::CreateThread() {
    return m_Thread.Start([this] { Loop(); });
}

void ActiveTestManager::WaitUntilEnded() {
    m_Thread.Join();
}

void ActiveTestManager::Loop() {
    MessageQueue& queue = MessageQueue::Current();
    QueueEntry entry;
    while (queue.Get(entry) && Handle(entry)) {
    }
    m_Tests.clear();
    // Posts that come after this are refused, so workers still running free their own results.
    for (const QueueEntry& left : queue.CloseAndTake())
        Free(left);
    m_Workers.clear();
    m_WorkersRunning = 0;
}

bool ActiveTestManager::Handle(const QueueEntry& entry) {
    switch (entry.message) {
    case WM_ACTIVETEST_OPEN:
    case WM_ACTIVETEST_OPEN_SHORTCUT:
        OnOpen(entry.message, Take<ActiveTestInfo>(entry.wParam));
        break;
    case WM_ACTIVETEST_STOP:
        return false;
    case WM_ACTIVETEST_INIT:
        OnInit(ThreadId(entry.wParam));
        break;
    case WM_ACTIVETEST_ADD:
        OnAdd(Take<ActiveTestInfo>(entry.wParam));
        break;
    case WM_ACTIVETEST_TICK:
        OnTick();
        break;
    case WM_ACTIVETEST_REMOVE:
        OnRemove(Take<ActiveTestInfo>(entry.wParam));
        break;
    case WM_ACTIVETEST_ATTACH:
        OnAttach(HWND(entry.wParam));
        break;
    case WM_ACTIVETEST_DETACH:
        m_MonitorWnd = 0;
        break;
    case WM_ACTIVETEST_DONE:
        OnDone(entry.wParam, Take<ActiveTestResult>(std::uintptr_t(entry.lParam)));
        break;
    case WM_ACTIVETEST_SKIPPED:
        OnSkipped(entry.wParam, std::uint64_t(entry.lParam));
        break;
    default:
        break;
    }
    // Counted once the message's posts are out, so an observer that sees the count sees them.
    m_WorkersRunning = m_Workers.size();
    return true;
}

void ActiveTestManager::Free(const QueueEntry& entry) {
    switch (entry.message) {
    case WM_ACTIVETEST_OPEN:
    case WM_ACTIVETEST_OPEN_SHORTCUT:
    case WM_ACTIVETEST_ADD:
    case WM_ACTIVETEST_REMOVE:
        delete reinterpret_cast<ActiveTestInfo*>(entry.wParam);
        break;
    case WM_ACTIVETEST_DONE:
        delete reinterpret_cast<ActiveTestResult*>(entry.lParam);
        break;
    default:
        break;
    }
}

void ActiveTestManager::OnInit(ThreadId application) {
    m_App = application;
    // The tests are the manager's own records: emptying the list frees them.
    m_Tests.clear();
    m_Second = 1;
    m_NextSlot = 1;
}

OleDateTimeSpan ActiveTestManager::TestTimeSpan(const ActiveTestInfo& test) {
    // Only the hour and the minute of the configured time count, whatever its date part.
    return OleDateTimeSpan(0, test.m_Interval.GetHour(), test.m_Interval.GetMinute(), 0);
}

void ActiveTestManager::OnAdd(std::unique_ptr<ActiveTestInfo> test) {
    if (!test) return;
    test->m_Remaining = TestTimeSpan(*test);
    test->m_Slot = m_NextSlot;
    m_NextSlot = (m_NextSlot + 1) % 60;
    if (m_NextSlot == 0) m_NextSlot = 1;
    test->m_Serial = ++m_LastTestSerial;
    m_Tests.push_back(std::move(test));
    if (m_MonitorWnd)
        PostToWindow(WM_ACTIVETEST_ADDED, std::make_unique<ActiveTestInfo>(m_Tests.back()->CopyForWindow()));
}

void ActiveTestManager::OnTick() {
    m_Second = (m_Second + 1) % 60;
    std::vector<ActiveTestInfo*> due;
    for (const auto& test : m_Tests)
        if (test->m_Slot == m_Second && WholeMinutes(test->m_Remaining) <= 0) due.push_back(test.get());
    // Tests turned away before go first, the longest-waiting first, so that a slot holding more
    // tests than workers serves each of them in turn.
    std::stable_sort(due.begin(), due.end(), [](const ActiveTestInfo* a, const ActiveTestInfo* b) {
        const std::int64_t aWait = a->m_WaitingSince ? a->m_WaitingSince : INT64_MAX;
        const std::int64_t bWait = b->m_WaitingSince ? b->m_WaitingSince : INT64_MAX;
        return aWait < bWait;
    });
    for (ActiveTestInfo* test : due) {
        if (StartWorker(*test)) {
            test->m_WaitingSince = 0;
            continue;
        }
        test->m_Remaining = m_OneMinute;
        if (!test->m_WaitingSince) test->m_WaitingSince = ++m_LastTurnedAway;
    }
    // Every test loses the minute, one whose worker runs too.
    if (m_Second == 0)
        for (const auto& test : m_Tests)
            test->m_Remaining -= m_OneMinute;
    m_WorkersRunning = m_Workers.size();
    ++m_TicksHandled;
}

bool ActiveTestManager::StartWorker(ActiveTestInfo& test) {
    if (m_Workers.size() >= kMaxWorkers) return false;
    auto worker = std::make_unique<ActiveTestExec>();
    if (!worker->Start()) return false;
    const std::uint64_t key = ++m_LastWorker;
    auto job = std::make_unique<ActiveTestExec::Job>(
        ActiveTestExec::Job{key, test.m_Serial, test.m_Device, test.m_Address, GetThreadId()});
    if (!PostThreadMessage(worker->GetThreadId(), WM_ACTIVETEST_EXEC, 0, LPARAM(job.get()))) return false;
    job.release();
    test.m_Exec = key;
    m_Workers.emplace(key, std::move(worker));
    ++m_WorkersStarted;
    return true;
}

bool ActiveTestManager::EndWorker(std::uint64_t worker) {
    auto found = m_Workers.find(worker);
    if (found == m_Workers.end()) return false;
    found->second->Join();
    m_Workers.erase(found);
    return true;
}

ActiveTestInfo* ActiveTestManager::FindTest(std::uint64_t serial) const {
    auto found = std::find_if(m_Tests.begin(), m_Tests.end(),
                              [serial](const auto& test) { return test->m_Serial == serial; });
    return found == m_Tests.end() ? nullptr : found->get();
}

void ActiveTestManager::ResetTest(ActiveTestInfo& test) const {
    test.m_Remaining = TestTimeSpan(test);
    test.m_Exec = 0;
}

void ActiveTestManager::OnDone(std::uint64_t worker, std::unique_ptr<ActiveTestResult> result) {
    if (!EndWorker(worker) || !result) return;
    // A test removed while its worker ran is gone; so is its late result.
    ActiveTestInfo* test = FindTest(result->m_TestSerial);
    if (!test || !test->m_Device || !test->m_Device->IsValid()) return;
    for (ActiveTestEvent& event : test->m_Events)
        if (Evaluate(event, *result)) PostToApplication(WM_ACTIVETEST_EVENT, event.m_EventSerial, kFiredValue);
    std::unique_ptr<ActiveTestResult> copy;
    if (m_MonitorWnd) copy = std::make_unique<ActiveTestResult>(result->CopyForWindow());
    PostToApplication(WM_ACTIVETEST_RESULT, WPARAM(result.release()), 0);
    ResetTest(*test);
    if (copy) {
        copy->m_NextTest = copy->m_TestTime + test->m_Remaining;
        PostToWindow(WM_ACTIVETEST_UPDATED, std::move(copy));
    }
}

void ActiveTestManager::OnSkipped(std::uint64_t worker, std::uint64_t testSerial) {
    EndWorker(worker);
    if (ActiveTestInfo* test = FindTest(testSerial)) ResetTest(*test);
}

void ActiveTestManager::OnRemove(std::unique_ptr<ActiveTestInfo> request) {
    if (!request) return;
    auto found = std::find_if(m_Tests.begin(), m_Tests.end(), [&](const auto& test) {
        return test->m_DeviceName == request->m_DeviceName;
    });
    if (found != m_Tests.end()) m_Tests.erase(found);
    // The window hears of it whether or not a test matched.
    if (m_MonitorWnd)
        PostToWindow(WM_ACTIVETEST_REMOVED, std::make_unique<ActiveTestInfo>(request->CopyForWindow()));
}

void ActiveTestManager::OnAttach(HWND window) {
    m_MonitorWnd = window;
    if (!window) return;
    ::vq::PostMessage(window, WM_ACTIVETEST_CLEAR, 0, 0);
    for (const auto& test : m_Tests)
        PostToWindow(WM_ACTIVETEST_ADDED, std::make_unique<ActiveTestInfo>(test->CopyForWindow()));
}

void ActiveTestManager::OnOpen(UINT message, std::unique_ptr<ActiveTestInfo> request) {
    // The dialog is a window: it is made on the application thread, never here.
    if (request && m_App && PostThreadMessage(m_App, message, WPARAM(request.get()), 0)) request.release();
}

void ActiveTestManager::PostToApplication(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_App && PostThreadMessage(m_App, message, wParam, lParam)) return;
    if (message == WM_ACTIVETEST_RESULT) delete reinterpret_cast<ActiveTestResult*>(wParam);
}

template <typename Payload>
void ActiveTestManager::PostToWindow(UINT message, std::unique_ptr<Payload> payload) const {
    // A window closed meanwhile refuses the post; the payload is then freed here.
    if (::vq::PostMessage(m_MonitorWnd, message, WPARAM(payload.get()), 0)) payload.release();
}

bool ActiveTestManager::Evaluate(ActiveTestEvent& event, const ActiveTestResult& result) {
    const bool failed = result.m_Status == ActiveTestResult::kNoAnswer;
    bool hit = false;
    switch (event.m_Type) {
    case ActiveTestEvent::kSlowResponse:
        hit = failed || result.m_RoundTrip > event.m_Threshold;
        break;
    case ActiveTestEvent::kNoResponse:
        hit = failed;
        break;
    case ActiveTestEvent::kResponds:
        hit = result.m_Status == ActiveTestResult::kAnswered;
        break;
    default:
        break;
    }
    if (!hit) {
        event.m_HitCount = 0;
        // A device that answers fires "responds" once per run of answers: a miss re-arms it.
        if (event.m_Type == ActiveTestEvent::kResponds) event.m_State = ActiveTestEvent::kArmed;
        return false;
    }
    ++event.m_HitCount;
    if (event.m_HitCount < event.RequiredCount()) return false;
    if (event.m_Type == ActiveTestEvent::kResponds && event.m_State == ActiveTestEvent::kFired) return false;
    event.m_State = ActiveTestEvent::kFired;
    return true;
}

} // namespace vq
