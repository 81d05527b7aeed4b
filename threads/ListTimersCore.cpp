#include <chrono>

#include "threads/BaseListTimers.h"
#include "threads/ThreadSupport.h"

using vexo::threads::AbortOnLockTimeout;
using vexo::threads::kLockLimit;
using vexo::threads::LockDeadline;

void ListTimersCore::Lock(const std::string& reason) {
  if (m_Owner.load() == std::this_thread::get_id()) ReportLockTimeout(reason);
  if (!m_Mutex.try_lock_until(LockDeadline(kLockLimit))) ReportLockTimeout(reason);
  m_Owner = std::this_thread::get_id();
  SetAction(reason);
}

void ListTimersCore::Unlock() {
  m_Owner = std::thread::id();
  m_Mutex.unlock();
}

bool ListTimersCore::LockForTick(const std::string& reason) {
  // Short tries, so that a break requested while the tick waits is seen.
  const auto deadline = LockDeadline(kLockLimit);
  while (!IsBreak()) {
    if (m_Mutex.try_lock_until(LockDeadline(std::chrono::milliseconds(1)))) {
      m_Owner = std::this_thread::get_id();
      SetAction(reason);
      return true;
    }
    if (std::chrono::system_clock::now() > deadline) ReportLockTimeout(reason);
  }
  return false;
}

void ListTimersCore::StopLocked(const std::string& reason) {
  BreakExec();
  Lock(reason);
  BaseThread::Stop();
}

void ListTimersCore::SetAction(const std::string& reason) {
  std::lock_guard<std::mutex> lock(m_ActionMutex);
  m_Action = reason;
}

void ListTimersCore::ReportLockTimeout(const std::string& reason) {
  AbortOnLockTimeout(reason, m_Action, m_ActionMutex,
                     [this](const std::string& text) { PutLog(text); });
}
