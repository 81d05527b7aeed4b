// Test support: the library's log lines captured, waiting for a condition, a
// probing procedure, and kernel thread ids as the log shows them.
#pragma once

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "threads/BaseThread.h"

// Collects every log line of the library while it exists.
class CapturedLog {
 public:
  CapturedLog() {
    std::lock_guard<std::mutex> lock(s_Mutex);
    s_Lines.clear();
    BaseThread::SetLogSink(&Append);
  }
  ~CapturedLog() { BaseThread::SetLogSink(nullptr); }
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(s_Mutex);
    return s_Lines;
  }
  bool Contains(const std::string& line) const {
    const std::vector<std::string> lines = Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

 private:
  static void Append(const std::string& line) {
    std::lock_guard<std::mutex> lock(s_Mutex);
    s_Lines.push_back(line);
  }
  inline static std::mutex s_Mutex;
  inline static std::vector<std::string> s_Lines;
};

// Polls every millisecond until done() holds or 10 s pass; done()'s result.
inline bool WaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

// Waits until the thread's body has ended.
inline bool Ended(const BaseThread& thread) {
  return WaitUntil([&] { return !thread.IsRun(); });
}

inline long KernelTid() { return static_cast<long>(syscall(SYS_gettid)); }
// The PID text of Name() for a body running as kernel thread tid.
inline std::string PidText(long tid) { return " PID: " + std::to_string(tid) + " "; }
inline bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A procedure that counts its calls, notes the kernel thread and start of
// each, runs an optional action, sleeps sleepMs and returns false on call
// falseOn. Several threads may call one probe. Objects that call a probe are
// declared after it, so they end first; starts is read once calls are over.
struct Probe {
  using Clock = std::chrono::steady_clock;
  std::atomic<int> calls{0}, returned{0};
  std::atomic<long> tid{0};
  int falseOn = 0, sleepMs = 0;
  std::function<void()> action;
  std::mutex mutex;
  std::vector<Clock::time_point> starts;

  static bool Call(void* arg) {
    Probe* p = static_cast<Probe*>(arg);
    {
      std::lock_guard<std::mutex> lock(p->mutex);
      p->starts.push_back(Clock::now());
    }
    p->tid = KernelTid();
    const int call = ++p->calls;
    if (p->action) p->action();
    std::this_thread::sleep_for(std::chrono::milliseconds(p->sleepMs));
    const bool result = call != p->falseOn;
    ++p->returned;  // the last touch: a test may let the probe go once it sees this
    return result;
  }
};
