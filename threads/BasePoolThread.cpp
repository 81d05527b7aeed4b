#include "threads/BasePoolThread.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "threads/ThreadSupport.h"

using vexo::threads::AbortOnLockTimeout;
using vexo::threads::AbortProcess;
using vexo::threads::kLockLimit;
using vexo::threads::kStopLimitSeconds;
using vexo::threads::LockDeadline;
using vexo::threads::WriteLogLine;

BasePoolThread::BasePoolThread(const std::string& name, bool log) : m_Name(name), m_IsLog(log) {}

BasePoolThread::~BasePoolThread() { Stop(); }

void BasePoolThread::PutLog(const std::string& text) { WriteLogLine(m_Name + " - " + text); }

void BasePoolThread::Lock(const std::string& reason) {
  if (!m_Mutex.try_lock_until(LockDeadline(kLockLimit))) {
    AbortOnLockTimeout(reason, m_Action, m_ActionMutex,
                       [this](const std::string& text) { PutLog(text); });
  }
  SetAction(reason);
}

void BasePoolThread::Unlock() { m_Mutex.unlock(); }

void BasePoolThread::SetAction(const std::string& reason) {
  std::lock_guard<std::mutex> lock(m_ActionMutex);
  m_Action = reason;
}

BasePoolThread::Thread* BasePoolThread::FindJob(Procedure proc, void* param) const {
  for (Thread* member : m_Threads) {
    if (member->m_PoolProc == proc && member->m_PoolParam == param) return member;
  }
  return nullptr;
}

BasePoolThread::Thread* BasePoolThread::FindRunningJob(Procedure proc, void* param,
                                                       std::string& name) const {
  name.clear();
  Thread* member = FindJob(proc, param);
  if (member == nullptr) return nullptr;
  name = member->Name();
  if (member->m_IsWork) return member;
  member->m_PoolProc = nullptr;
  member->m_PoolParam = nullptr;
  return nullptr;
}

BasePoolThread::Thread* BasePoolThread::IsStartProc(Procedure proc, void* param, std::string& name,
                                                    bool breakJob) {
  Lock("BasePoolThread::IsStartProc");
  Thread* member = FindRunningJob(proc, param, name);
  if (member != nullptr && breakJob) member->BreakPoolExec();
  Unlock();
  return member;
}

BasePoolThread::Thread* BasePoolThread::StartProc(const std::string& name, Procedure proc,
                                                  void* param, int delay, int period) {
  // The check and the start happen under one lock, so that two callers cannot
  // both start the same job.
  Lock("BasePoolThread::StartProc " + name);
  std::string existing;
  if (Thread* running = FindRunningJob(proc, param, existing)) {
    Unlock();
    PutLog(name + " NOT added to pool " + m_Name + " because there is already a thread " +
           existing);
    return running;
  }
  if (!m_IsRun) {
    Unlock();
    PutLog(name + " NOT added to pool " + m_Name + " because the pool is stopped");
    return nullptr;
  }
  Thread* member = nullptr;
  for (Thread* candidate : m_Threads) {
    if (!candidate->m_IsWork) {
      member = candidate;
      break;
    }
  }
  if (member != nullptr) {
    member->SetJob(name, proc, param, delay, period);
    if (IsLog()) PutLog("Start " + member->Name() + "not new");
  } else {
    member = new Thread(this);
    m_Threads.push_back(member);
    member->SetJob(name, proc, param, delay, period);
    member->BaseThread::Start("BasePoolThread::StartProc: pool " + m_Name + " thread " + name,
                              &PoolThreadProc, member, 0, 0, false);
  }
  member->Notify();
  Unlock();
  return member;
}

void BasePoolThread::StopProc(Procedure proc, void* param) {
  const std::time_t begin = std::time(nullptr);
  std::string name;
  for (;;) {
    Lock("BasePoolThread::IsStartProc");
    Thread* member = FindRunningJob(proc, param, name);
    if (member == nullptr) {
      Unlock();
      break;
    }
    member->BreakPoolExec();
    const bool ownJob = member->IsOwnThread();
    Unlock();
    if (ownJob) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (std::time(nullptr) - begin > kStopLimitSeconds) {
      const std::string text = name + " - thread not complete";
      PutLog(text);
      PrintProc();
      AbortProcess(text);
    }
  }
  if (IsLog() && !name.empty()) PutLog("Stop  " + name + " removed from pool " + m_Name);
}

void BasePoolThread::Stop() {
  std::list<Thread*> members;
  Lock("BasePoolThread::Stop");
  m_IsRun = false;
  members.swap(m_Threads);
  for (Thread* member : members) member->BreakPoolExec();
  Unlock();

  std::list<Thread*> kept;
  for (Thread* member : members) {
    if (member->IsOwnThread()) {
      kept.push_back(member);
      continue;
    }
    member->Notify();
    member->BaseThread::Stop();
    delete member;
  }
  if (kept.empty()) return;
  Lock("BasePoolThread::Stop");
  m_Threads.splice(m_Threads.end(), kept);
  Unlock();
}

void BasePoolThread::PrintProc() {
  Lock("BasePoolThread::PrintProc");
  for (Thread* member : m_Threads) {
    PutLog(member->Name() + (member->m_IsWork ? "1" : "0") + (member->m_IsPoolBreak ? " 1" : " 0"));
  }
  Unlock();
}
