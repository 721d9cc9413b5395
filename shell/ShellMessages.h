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
inline constexpr UINT WM_ACTIVETEST_STOP = WM_USER + 101;
inline constexpr UINT WM_ACTIVETEST_INIT = WM_USER + 102;
inline constexpr UINT WM_ACTIVETEST_ADD = WM_USER + 103;
inline constexpr UINT WM_ACTIVETEST_RESULT = WM_USER + 104;
inline constexpr UINT WM_ACTIVETEST_TICK = WM_USER + 105;
inline constexpr UINT WM_ACTIVETEST_REMOVE = WM_USER + 107;
// Carries the serial of the event, not the record, which may be gone by the message's arrival.
inline constexpr UINT WM_ACTIVETEST_EVENT = WM_USER + 110;
inline constexpr UINT WM_TRACE_HOP = WM_USER + 132;
inline constexpr UINT WM_TRACE_FINISHED = WM_USER + 133;
inline constexpr UINT WM_TRACE_FAILED = WM_USER + 134;
inline constexpr UINT WM_TRACE_HOP_ERROR = WM_USER + 135;
inline constexpr UINT WM_TRACE_CANCELLED = WM_USER + 136;

} // namespace vq
