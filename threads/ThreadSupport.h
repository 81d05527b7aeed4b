// Pieces shared by the worker thread, the pool and the timer lists: the log
// output, the abnormal end, kernel thread ids, the break-aware wait and the
// lock time-out text. Not part of the installed interface.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace vexo::threads {

// How long Lock waits for a pool's or a timer list's mutex, and how long Stop
// waits for a thread, before the process is ended.
constexpr std::chrono::seconds kLockLimit{30};
constexpr long kStopLimitSeconds = 30;

// The deadline of a timed lock that starts now. Timed locks run on the wall
// clock, like every watch of the library; a timed lock on the steady clock
// would also be invisible to the thread sanitizer, which then reports false
// races.
inline std::chrono::system_clock::time_point LockDeadline(std::chrono::milliseconds limit) {
  return std::chrono::system_clock::now() + limit;
}

using LogSink = void (*)(const std::string& line);

// Hands one log line (without its line end) to the installed sink; without
// one, writes it and a line feed to standard output in one piece and flushes.
void WriteLogLine(const std::string& line);
void SetLogSink(LogSink sink);

// Sleeps 512 ms so that log lines of other threads get out, writes "abort "
// and the text as a log line, and ends the process abnormally.
[[noreturn]] void AbortProcess(const std::string& text);

// The kernel's id of the calling thread.
long KernelThreadId();

// Milliseconds left of period after a call that began at begin, by the steady
// clock; negative when the call took longer. Never overflows.
int RemainingMs(int period, std::chrono::steady_clock::time_point begin);

// Waits ms milliseconds on the wall clock unless broken is set. True when the
// time passed without a break; false as soon as a break is seen, also at once
// for ms 0 or below. broken must be set under mutex and cond notified, so that
// a break requested just before the wait is not lost.
bool WaitUnlessBroken(std::mutex& mutex, std::condition_variable& cond,
                      const std::atomic<bool>& broken, int ms);

// The text reported when a mutex could not be taken in time: the reason, then
// " act:" and the reason of the holder when one is known, then the limit.
std::string LockTimeoutText(const std::string& reason, const std::string& action);

// Ends the process after a timed lock failed: reads the holder's reason
// (action, guarded by actionMutex), hands the time-out text to log, then
// aborts as AbortProcess does.
template <class LogFn>
[[noreturn]] void AbortOnLockTimeout(const std::string& reason, const std::string& action,
                                     std::mutex& actionMutex, LogFn log) {
  std::string holder;
  {
    std::lock_guard<std::mutex> lock(actionMutex);
    holder = action;
  }
  const std::string text = LockTimeoutText(reason, holder);
  log(text);
  AbortProcess(text);
}

}  // namespace vexo::threads
