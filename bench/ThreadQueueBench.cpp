#include "platform/thread/Event.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueRegistry.h"

#include <array>
#include <benchmark/benchmark.h>

namespace vq {
namespace {

// Setting an event that its thread finds set on its next wait: the path of a completed receive
// buffer while the capturing thread is busy.
void BM_EventSetThenWaitOnOneThread(benchmark::State& state) {
    std::array<Event, 48> events;
    std::array<Event*, 48> slots;
    for (std::size_t i = 0; i < events.size(); ++i)
        slots[i] = &events[i];
    MessageQueue& queue = MessageQueue::Current();
    for (auto _ : state) {
        events[47].Set();
        benchmark::DoNotOptimize(queue.Wait(slots));
    }
}
BENCHMARK(BM_EventSetThenWaitOnOneThread);

// A message to another thread and its answer back.
void BM_PostRoundTripBetweenThreads(benchmark::State& state) {
    const ThreadId self = CurrentThreadId();
    MessageQueue& queue = MessageQueue::Current();
    PlatformThread echo;
    echo.Start([self] {
        QueueEntry e;
        while (MessageQueue::Current().Get(e))
            PostThreadMessage(self, e.message, e.wParam, 0);
    });
    QueueEntry e;
    for (auto _ : state) {
        PostThreadMessage(echo.GetId(), 0x8001, 0, 0);
        queue.Get(e);
    }
    PostThreadMessage(echo.GetId(), WM_QUIT, 0, 0);
    echo.Join();
}
BENCHMARK(BM_PostRoundTripBetweenThreads)->UseRealTime();

// An event set by another thread while the waiter sleeps, and the waiter's acknowledgement.
void BM_EventWakeBetweenThreads(benchmark::State& state) {
    Event request, done;
    std::atomic<bool> stop{false};
    Event* waitOn[] = {&request};
    PlatformThread waiter;
    waiter.Start([&] {
        MessageQueue& queue = MessageQueue::Current();
        while (!stop.load()) {
            queue.Wait(waitOn);
            done.Set();
        }
    });
    Event* waitDone[] = {&done};
    MessageQueue& queue = MessageQueue::Current();
    for (auto _ : state) {
        request.Set();
        queue.Wait(waitDone);
    }
    stop = true;
    request.Set();
    waiter.Join();
}
BENCHMARK(BM_EventWakeBetweenThreads)->UseRealTime();

} // namespace
} // namespace vq
