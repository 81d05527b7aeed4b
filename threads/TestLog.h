// Test support: captures the library's log lines, waits for conditions and
// names kernel thread ids the way the log does.
#pragma once

#include <sys/syscall.h>
#include <unistd.h>

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
