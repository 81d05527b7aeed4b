#include <chrono>

#include "threads/BasePoolThread.h"
#include "threads/ThreadSupport.h"

using vexo::threads::RemainingMs;
using vexo::threads::WaitUnlessBroken;

std::string BasePoolThread::Thread::Name() {
  std::string state;
  {
    std::lock_guard<std::mutex> lock(m_StateMutex);
    state = m_State;
  }
  return m_ProcName + "(" + std::to_string(m_PoolDelay) + "," + std::to_string(m_PoolPeriod) + ")" +
         Pid() + state + " ";
}

void BasePoolThread::Thread::PutLog(const std::string& text) { m_Pool->PutLog(text); }

void BasePoolThread::Thread::SetState(const std::string& state) {
  std::lock_guard<std::mutex> lock(m_StateMutex);
  m_State = state;
}

void BasePoolThread::Thread::SetJob(const std::string& name, Procedure proc, void* param, int delay,
                                    int period) {
  m_ProcName = name;
  SetState("SetParamExec(" + name);
  m_PoolProc = proc;
  m_PoolParam = param;
  m_PoolDelay = delay;
  m_PoolPeriod = period;
  m_IsPoolBreak = false;
}

void BasePoolThread::Thread::Notify() {
  {
    std::lock_guard<std::mutex> lock(m_WorkMutex);
    m_IsWork = true;
  }
  m_WorkCond.notify_one();
}

void BasePoolThread::Thread::BreakPoolExec() {
  {
    std::lock_guard<std::mutex> lock(m_PoolMutex);
    m_IsPoolBreak = true;
  }
  m_PoolCond.notify_one();
}

bool BasePoolThread::Thread::WaitBeforePoolExec(int ms) {
  if (ms < 0) {
    PutLog("Duration of procedure is longer than timer interval " + Name() + " " +
           std::to_string(ms) + " " + std::to_string(m_PoolPeriod));
  }
  return WaitUnlessBroken(m_PoolMutex, m_PoolCond, m_IsPoolBreak, ms);
}

void BasePoolThread::Thread::Exec() {
  const Procedure proc = m_PoolProc;
  void* const param = m_PoolParam;
  SetState("Exec begin");
  bool again = WaitBeforePoolExec(m_PoolDelay);
  while (again) {
    const auto begin = std::chrono::steady_clock::now();
    SetState("Func begin");
    const bool result = proc(param);
    SetState(result ? "Func TRUE end" : "Func FALSE end");
    again = result && m_PoolPeriod >= 1 && WaitBeforePoolExec(RemainingMs(m_PoolPeriod, begin));
  }
  SetState("Exec end");
}

bool BasePoolThread::PoolThreadProc(void* arg) {
  Thread* member = static_cast<Thread*>(arg);
  BasePoolThread* pool = member->m_Pool;
  member->SetState("Thread begin");
  while (pool->m_IsRun) {
    member->SetState("Before wait exec");
    std::unique_lock<std::mutex> lock(member->m_WorkMutex);
    member->m_WorkCond.wait(lock, [&] { return member->m_IsWork || !pool->m_IsRun; });
    member->SetState("After wait exec");
    if (!pool->m_IsRun) return true;
    if (member->m_PoolProc != nullptr && member->m_PoolParam != nullptr && !member->m_IsPoolBreak) {
      member->Exec();
    }
    if (pool->IsLog()) {
      member->PutLog("Stop  " + member->Name() + " ended in pool " + pool->m_Name);
    }
    member->m_PoolProc = nullptr;
    member->m_PoolParam = nullptr;
    member->m_IsWork = false;
  }
  return true;
}
