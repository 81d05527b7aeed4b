// Test support: captures the library's log lines, waits for conditions, a
// probing procedure, and kernel thread ids the way the log shows them.
#pragma once

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BaseThread.h"

// Collects every log line of the library while it exists.
class CapturedLog {
 public:
  CapturedLog() {
    std::lock_guard<std::mutex> lock(Mutex());
    Store().clear();
    BaseThread::SetLogSink(&Append);
  }
  ~CapturedLog() { BaseThread::SetLogSink(nullptr); }
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(Mutex());
    return Store();
  }
  bool Contains(const std::string& line) const {
    for (const std::string& l : Lines()) {
      if (l == line) return true;
    }
    return false;
  }

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::vector<std::string>& Store() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void Append(const std::string& line) {
    std::lock_guard<std::mutex> lock(Mutex());
    Store().push_back(line);
  }
};

// Polls every millisecond until done() holds or limit passes; done()'s result.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

inline long KernelTid() { return static_cast<long>(syscall(SYS_gettid)); }

// The PID text of Name() for a body running as kernel thread tid.
inline std::string PidText(long tid) { return " PID: " + std::to_string(tid) + " "; }

// Objects that run a probe must be declared after it, so that they end
// before it goes.
// A procedure that counts its calls, notes the kernel thread and start time
// of each, runs an optional action, sleeps sleepMs and returns false on call
// falseOn.
struct Probe {
  using Clock = std::chrono::steady_clock;
  std::atomic<int> calls{0};
  std::atomic<int> returned{0};
  std::atomic<long> tid{0};
  int falseOn = 0;
  int sleepMs = 0;
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
  // Time between the starts of calls i - 1 and i (from 0).
  std::chrono::milliseconds Gap(size_t i) {
    std::lock_guard<std::mutex> lock(mutex);
    return std::chrono::duration_cast<std::chrono::milliseconds>(starts.at(i) - starts.at(i - 1));
  }
};

inline bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
