#pragma once

#include "platform/gui/Messages.h"

namespace vq {

// Messages that the main thread's parts and the active-test and trace threads post to each other;
// the object in wparam belongs to the receiver unless said otherwise.
inline constexpr UINT WM_LOG_SYSTEM_EVENT = WM_USER + 4;
inline constexpr UINT WM_LOG_CHANGED = WM_USER + 10;
inline constexpr UINT WM_REPORT_STEP = WM_USER + 12;
// The notifications of an announced event, run after the raising is done: a NotificationJob.
inline constexpr UINT WM_LOG_NOTIFY = WM_USER + 14;
// The Active Test dialog of the ActiveTestInfo's device: from the explorer to the manager, which
// passes it on to the application thread, where the dialog's window must live.
inline constexpr UINT WM_ACTIVETEST_OPEN = WM_USER + 100;
inline constexpr UINT WM_ACTIVETEST_OPEN_SHORTCUT = WM_USER + 129;
inline constexpr UINT WM_ACTIVETEST_STOP = WM_USER + 101;
inline constexpr UINT WM_ACTIVETEST_INIT = WM_USER + 102;
inline constexpr UINT WM_ACTIVETEST_ADD = WM_USER + 103;
inline constexpr UINT WM_ACTIVETEST_RESULT = WM_USER + 104;
inline constexpr UINT WM_ACTIVETEST_TICK = WM_USER + 105;
inline constexpr UINT WM_ACTIVETEST_REMOVE = WM_USER + 107;
// wparam: the Active Test Monitor window's handle, or 0.
inline constexpr UINT WM_ACTIVETEST_ATTACH = WM_USER + 108;
inline constexpr UINT WM_ACTIVETEST_DETACH = WM_USER + 109;
// Carries the serial of the event, not the record, which may be gone by the message's arrival.
inline constexpr UINT WM_ACTIVETEST_EVENT = WM_USER + 110;
// To the Active Test Monitor window; every payload is a copy the window owns.
inline constexpr UINT WM_ACTIVETEST_ADDED = WM_USER + 111;
inline constexpr UINT WM_ACTIVETEST_UPDATED = WM_USER + 112;
inline constexpr UINT WM_ACTIVETEST_CLEAR = WM_USER + 113;
inline constexpr UINT WM_ACTIVETEST_REMOVED = WM_USER + 114;
// Between the manager and a ping worker: wparam the worker's key; lparam the job, the result or,
// for a skip, the test's serial.
inline constexpr UINT WM_ACTIVETEST_EXEC = WM_USER + 125;
inline constexpr UINT WM_ACTIVETEST_DONE = WM_USER + 126;
inline constexpr UINT WM_ACTIVETEST_SKIPPED = WM_USER + 127;
inline constexpr UINT WM_TRACE_HOP = WM_USER + 132;
inline constexpr UINT WM_TRACE_FINISHED = WM_USER + 133;
inline constexpr UINT WM_TRACE_FAILED = WM_USER + 134;
inline constexpr UINT WM_TRACE_HOP_ERROR = WM_USER + 135;
inline constexpr UINT WM_TRACE_CANCELLED = WM_USER + 136;

} // namespace vq
