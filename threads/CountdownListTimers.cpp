#include "threads/BaseListTimers.h"

bool CountdownListTimers::ProcTimer::Exec() {
  bool result = true;
  if (m_Left < 1) {
    m_Left = m_Interval;
    const bool called = m_Proc != nullptr && m_Proc(m_Param);
    result = m_Interval >= 1 && called;
  }
  --m_Left;
  return result;
}

std::string CountdownListTimers::ProcTimer::Name() const {
  return m_Name + "(" + std::to_string(m_First) + "," + std::to_string(m_Interval) + ")";
}

void CountdownListTimers::StartLocked(const std::string& name, int delay, int period, bool log) {
  m_Timers.clear();
  BaseThread::Start(name, &ListTimersProc, this, delay, period, log);
}

void CountdownListTimers::Stop() {
  StopLocked(m_ClassName + "::Stop");
  m_Timers.clear();
  Unlock();
}

void CountdownListTimers::AddProcTimer(const std::string& name, Procedure proc, void* param,
                                       int first, int interval) {
  ProcTimer timer(name, proc, param, first, interval);
  Lock(m_ClassName + "::AddProcTimer " + timer.Name());
  std::string text = "AddProcTimer to   " + Name() + " " + timer.Name() + ":";
  if (first > 0) {
    m_Timers.push_back(timer);
    text += " added";
  } else if (timer.Exec()) {
    // Exec has restarted the countdown from the interval and counted off
    // this call.
    m_Timers.push_back(timer);
    text += " executed immediately and added";
  } else {
    text += " executed immediately and not added because no repeat needed";
  }
  if (IsLog()) PutLog(text);
  Unlock();
}

void CountdownListTimers::DelProcTimer(Procedure proc, void* param) {
  Lock(m_ClassName + "::DelProcTimer");
  for (auto it = m_Timers.begin(); it != m_Timers.end();) {
    if (it->m_Proc != proc || it->m_Param != param) {
      ++it;
      continue;
    }
    if (IsLog()) PutLog("DelProcTimer from " + Name() + " " + it->Name());
    it = m_Timers.erase(it);
  }
  Unlock();
}

bool CountdownListTimers::ListTimersProc(void* list) {
  return static_cast<CountdownListTimers*>(list)->Tick();
}

bool CountdownListTimers::Tick() {
  const std::string reason = m_ClassName + "::ListTimersProc ";
  if (!LockForTick(reason)) return false;
  for (auto it = m_Timers.begin(); it != m_Timers.end();) {
    SetAction(reason + it->Name());
    if (it->Exec()) {
      ++it;
      continue;
    }
    if (IsLog()) PutLog("AvtoEndProcTimer  " + Name() + " " + it->Name());
    it = m_Timers.erase(it);
  }
  Unlock();
  return true;
}

std::time_t BaseListTimersMinute::SystemTime() { return std::time(nullptr); }

int BaseListTimersMinute::DelayToNextMinute(std::time_t now) {
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return (60 - local.tm_sec) * 1000;
}

void BaseListTimersMinute::Start(const std::string& name, bool log) {
  Lock("BaseListTimersMinute::Start");
  StartLocked(name, DelayToNextMinute(m_Clock()), 60000, log);
  Unlock();
}

void BaseListTimersSecond::Start(const std::string& name, bool log) {
  Lock("BaseListTimersSecond::Start");
  StartLocked(name, 0, 1000, log);
  Unlock();
}
