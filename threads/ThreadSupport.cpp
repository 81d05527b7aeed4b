#include "threads/ThreadSupport.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vexo::threads {

namespace {
std::atomic<LogSink> g_Sink{nullptr};
}  // namespace

void SetLogSink(LogSink sink) { g_Sink = sink; }

void WriteLogLine(const std::string& line) {
  if (LogSink sink = g_Sink) {
    sink(line);
    return;
  }
  // One write per line: stdio locks the stream per call, so lines of
  // different threads do not mix.
  const std::string text = line + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void AbortProcess(const std::string& text) {
  std::this_thread::sleep_for(std::chrono::milliseconds(512));
  WriteLogLine("abort " + text);
  std::abort();
}

long KernelThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

int RemainingMs(int period, std::chrono::steady_clock::time_point begin) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const long long elapsed =
      duration_cast<milliseconds>(std::chrono::steady_clock::now() - begin).count();
  const long long left = period - elapsed;
  return left < INT_MIN ? INT_MIN : static_cast<int>(left);
}

bool WaitUnlessBroken(std::mutex& mutex, std::condition_variable& cond,
                      const std::atomic<bool>& broken, int ms) {
  if (ms <= 0) return !broken;
  using Clock = std::chrono::system_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock<std::mutex> lock(mutex);
  while (Clock::now() < deadline) {
    if (broken) return false;
    cond.wait_until(lock, deadline);
  }
  return !broken;
}

std::string LockTimeoutText(const std::string& reason, const std::string& action) {
  std::string text = reason;
  if (!action.empty()) text += " act:" + action;
  return text + " - lock during " + std::to_string(kLockLimit.count()) + " sec";
}

}  // namespace vexo::threads
