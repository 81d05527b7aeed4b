#include "threads/BaseListTimers.h"

void BaseListTimers::Start(const std::string& name, int delay, int period, bool log) {
  Lock("BaseListTimers::Start");
  m_Timers.clear();
  BaseThread::Start(name, &ListTimersProc, this, delay, period, log);
  Unlock();
}

void BaseListTimers::Stop() {
  StopLocked("BaseListTimers::Stop");
  m_Timers.clear();
  Unlock();
}

std::list<BaseListTimers::Entry>::iterator BaseListTimers::Find(Procedure proc, void* param) {
  auto it = m_Timers.begin();
  while (it != m_Timers.end() && (it->m_Proc != proc || it->m_Param != param)) ++it;
  return it;
}

bool BaseListTimers::AddProcTimer(const std::string& name, Procedure proc, void* param) {
  Lock("BaseListTimers::AddProcTimer " + name);
  const bool added = Find(proc, param) == m_Timers.end();
  if (added) m_Timers.push_back(Entry{name, proc, param});
  if (IsLog()) {
    PutLog("AddProcTimer to   " + Name() + " " + name + (added ? " added" : " already exists"));
  }
  Unlock();
  return added;
}

bool BaseListTimers::DelProcTimer(Procedure proc, void* param) {
  Lock("BaseListTimers::DelProcTimer");
  const auto it = Find(proc, param);
  const bool found = it != m_Timers.end();
  if (found) {
    if (IsLog()) PutLog("DelProcTimer from " + Name() + " " + it->m_Name + " deleted");
    m_Timers.erase(it);
  } else if (IsLog()) {
    PutLog("DelProcTimer from " + Name() + " does not exist");
  }
  Unlock();
  return found;
}

bool BaseListTimers::ListTimersProc(void* list) {
  return static_cast<BaseListTimers*>(list)->Tick();
}

bool BaseListTimers::Tick() {
  const std::string reason = "BaseListTimers::ListTimersProc ";
  if (!LockForTick(reason)) return false;
  for (auto it = m_Timers.begin(); it != m_Timers.end();) {
    SetAction(reason + it->m_Name);
    if (it->m_Proc != nullptr && it->m_Proc(it->m_Param)) {
      ++it;
      continue;
    }
    if (IsLog()) PutLog("AvtoEndProcTimer  " + Name() + " " + it->m_Name);
    it = m_Timers.erase(it);
  }
  Unlock();
  return true;
}
