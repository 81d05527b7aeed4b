#include "threads/BaseThread.h"

#include <chrono>
#include <ctime>
#include <system_error>

#include "threads/ThreadSupport.h"

using vexo::threads::AbortProcess;
using vexo::threads::KernelThreadId;
using vexo::threads::kStopLimitSeconds;
using vexo::threads::RemainingMs;
using vexo::threads::WaitUnlessBroken;
using vexo::threads::WriteLogLine;

std::atomic<bool> BaseThread::s_IsAllLog{false};

namespace {
// The object whose body runs on this thread; lets the owner's operations
// recognise a call from the thread's own procedure.
thread_local const BaseThread* t_Body = nullptr;
}  // namespace

void BaseThread::SetLogSink(LogSink sink) { vexo::threads::SetLogSink(sink); }

BaseThread::Borders::~Borders() {
  m_Thread->m_IsRun = false;
  m_Thread->m_IsExec = false;
}

BaseThread::~BaseThread() { ReleaseThreadOnDestroy(); }

void BaseThread::ReleaseThreadOnDestroy() { ReleaseThread("BaseThread::~BaseThread", true); }

bool BaseThread::IsOwnThread() const { return t_Body == this; }

std::string BaseThread::Name() {
  return m_Name + "(" + std::to_string(m_Delay) + "," + std::to_string(m_Period) + ")" + m_Pid;
}

void BaseThread::PutLog(const std::string& text) { WriteLogLine(Name() + " - " + text); }

void BaseThread::Start(const std::string& name, Procedure proc, void* param, int delay, int period,
                       bool log) {
  if (IsOwnThread()) {
    PutLog(Name() + " - BaseThread::Start: called from its own procedure, not restarted");
    return;
  }
  ReleaseThread("BaseThread::Start", false);
  m_Name = name;
  m_IsLog = log;
  m_Delay = delay;
  m_Proc = proc;
  m_Period = period;
  m_Param = param;
  m_IsBreak = false;
  m_Pid.clear();
  if (IsLog()) PutLog("Init  " + Name() + " launching PID: " + std::to_string(KernelThreadId()));
  // Running from here on, so that a Stop or destructor coming before the body
  // is scheduled still waits for it.
  m_IsRun = true;
  try {
    m_Thread = std::thread(&BaseThread::Proc, this);
  } catch (const std::system_error& e) {
    const std::string text = "std::system_error " + Name() + " what():" + e.what();
    PutLog(text);
    AbortProcess(text);
  }
  std::unique_lock<std::mutex> lock(m_Mutex);
  m_CondVar.wait(lock, [this] { return !m_Pid.empty(); });
}

void BaseThread::Stop() {
  if (IsOwnThread()) {
    if (IsLog()) PutLog("Stop " + Name());
    BreakExec();
    return;
  }
  if (!m_Thread.joinable()) return;
  if (IsLog()) PutLog("Stop " + Name());
  BreakExec();
  WaitForEnd(true);
  m_Thread.join();
}

void BaseThread::BreakExec() {
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_IsBreak = true;
  }
  m_CondVar.notify_one();
}

bool BaseThread::WaitBeforeExec(int ms) {
  if (ms < 0) {
    PutLog("Duration of procedure is longer than timer interval " + Name() + " " +
           std::to_string(ms) + " " + std::to_string(m_Period));
  }
  return WaitUnlessBroken(m_Mutex, m_CondVar, m_IsBreak, ms);
}

void BaseThread::ReleaseThread(const std::string& where, bool ownLog) {
  if (!m_Thread.joinable()) return;
  const std::string name = ownLog ? BaseThread::Name() : Name();
  const auto log = [&](const std::string& text) {
    const std::string line = name + " - " + where + ": " + text;
    if (ownLog) {
      WriteLogLine(name + " - " + line);
    } else {
      PutLog(line);
    }
  };
  if (m_IsRun && !m_IsExec) {
    log("forced stop beginning");
    Stop();
    log("forced stop ending");
    return;
  }
  if (m_IsRun) {
    log("forced disconnection !!!");
    BreakExec();
    WaitForEnd(false);
  }
  m_Thread.join();
}

void BaseThread::WaitForEnd(bool watch) {
  const std::time_t begin = std::time(nullptr);
  while (m_IsRun) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (watch && std::time(nullptr) - begin > kStopLimitSeconds) {
      const std::string text = Name() + " - thread not complete";
      PutLog(text);
      AbortProcess(text);
    }
  }
}

void BaseThread::Proc(BaseThread* self) {
  Borders borders(self);
  self->m_IsRun = true;
  self->m_IsExec = false;
  t_Body = self;
  {
    std::lock_guard<std::mutex> lock(self->m_Mutex);
    self->m_Pid = " PID: " + std::to_string(KernelThreadId()) + " ";
  }
  self->m_CondVar.notify_all();
  self->Run();
}

void BaseThread::Run() {
  const std::string name = Name();
  const bool log = m_IsLog;
  const int delay = m_Delay;
  const int period = m_Period;
  if (log || s_IsAllLog) PutLog("Start " + name);
  bool again = WaitBeforeExec(delay);
  while (again) {
    const auto begin = std::chrono::steady_clock::now();
    if (log) PutLog("Exec " + name);
    m_IsExec = true;
    const bool result = m_Proc != nullptr && m_Proc(m_Param);
    m_IsExec = false;
    if (!result) {
      if (log) PutLog("Avto break " + name);
      break;
    }
    again = period >= 1 && WaitBeforeExec(RemainingMs(period, begin));
  }
  if (log) PutLog("End " + name);
}
