// Timer lists: a worker thread that calls registered procedures on its ticks.
#pragma once

#include <atomic>
#include <ctime>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "threads/BaseThread.h"

// What the three timer lists share: a worker thread whose procedure is the
// list's tick, and the list's mutex, taken through Lock with a reason.
//
// Lock waits up to 30 seconds and then ends the process after logging the
// reason, the holder's reason and the limit. A Lock by the thread that holds
// the mutex already (a procedure of a tick calling its own list) cannot
// succeed and is reported at once, without the wait.
//
// Stop and a tick are ordered by the break request: Stop first requests the
// break, then takes the mutex and waits for the thread to end. A tick that
// holds the mutex when Stop begins finishes first; a tick that has not taken
// it yet, or is waiting for it, gives up without calling anything and ends
// the thread (with logging on, the thread logs "Avto break " for it). The
// same holds for a restart by Start. So Stop never waits for a tick that
// waits for Stop.
//
// Destroying a ticking list ends its thread as BaseThread's destructor does;
// a class derived from a list does the same in its own destructor (see
// BaseThread::ReleaseThreadOnDestroy).
class ListTimersCore : public BaseThread {
 public:
  void Lock(const std::string& reason);
  void Unlock();

 protected:
  explicit ListTimersCore(const char* className) : m_ClassName(className) {}

  // The tick's Lock: false, without the mutex, once a break is requested.
  bool LockForTick(const std::string& reason);
  // Requests the break, takes the mutex and ends the thread; returns with the
  // mutex held, for the caller to empty the list and unlock.
  void StopLocked(const std::string& reason);
  // Records what the holder of the mutex is doing.
  void SetAction(const std::string& reason);

  // The class name that starts every Lock reason.
  const std::string m_ClassName;

 private:
  [[noreturn]] void ReportLockTimeout(const std::string& reason);

  std::timed_mutex m_Mutex;
  // Guarded by m_ActionMutex, as a Lock that times out reads it without
  // holding m_Mutex.
  std::string m_Action;
  std::mutex m_ActionMutex;
  std::atomic<std::thread::id> m_Owner{std::thread::id()};
};

// Calls every registered procedure on every tick; the tick delay and period
// are given to Start. A procedure stays registered while it returns true.
class BaseListTimers : public ListTimersCore {
 public:
  BaseListTimers() : ListTimersCore("BaseListTimers") {}
  ~BaseListTimers() override { ReleaseThreadOnDestroy(); }

  // Empties the list and starts ticking after delay, every period ms.
  void Start(const std::string& name, int delay, int period, bool log);
  // Stops the thread and empties the list.
  void Stop();
  // Appends the procedure; false when the same procedure and argument are
  // registered already.
  bool AddProcTimer(const std::string& name, Procedure proc, void* param);
  // Removes the entry with the procedure and argument; false when none.
  bool DelProcTimer(Procedure proc, void* param);
  // The tick; true, or false when the list is being stopped.
  static bool ListTimersProc(void* list);

 private:
  struct Entry {
    std::string m_Name;
    Procedure m_Proc;
    void* m_Param;
  };
  bool Tick();
  std::list<Entry>::iterator Find(Procedure proc, void* param);

  std::list<Entry> m_Timers;
};

// A timer list whose entries count down in ticks: the common part of the
// minute and the second list.
class CountdownListTimers : public ListTimersCore {
 public:
  // One registered procedure with its countdown.
  struct ProcTimer {
    ProcTimer(const std::string& name, Procedure proc, void* param, int first, int interval)
        : m_Name(name),
          m_Proc(proc),
          m_Param(param),
          m_Left(first),
          m_First(first),
          m_Interval(interval) {}

    // One tick: when no ticks are left, the countdown restarts from the
    // interval and the procedure is called; false when it returned false or
    // there is no interval (below 1), that is when the entry is done. In every
    // case one tick is counted off.
    bool Exec();
    // name(first,interval)
    std::string Name() const;

    std::string m_Name;
    Procedure m_Proc;
    void* m_Param;
    int m_Left;
    int m_First;
    int m_Interval;
  };

  // Registers the procedure to be called after first ticks and then every
  // interval ticks. With first 0 or below it is called at once and kept only
  // when it returned true and an interval is set. Entries already registered
  // are not looked for.
  void AddProcTimer(const std::string& name, Procedure proc, void* param, int first, int interval);
  // Removes every entry with the procedure and argument.
  void DelProcTimer(Procedure proc, void* param);
  // Stops the thread and empties the list.
  void Stop();
  // The tick; true, or false when the list is being stopped.
  static bool ListTimersProc(void* list);

 protected:
  using ListTimersCore::ListTimersCore;
  // Empties the list and starts ticking; the caller holds the mutex.
  void StartLocked(const std::string& name, int delay, int period, bool log);

 private:
  bool Tick();

  std::list<ProcTimer> m_Timers;
};

// Ticks once a minute, the first tick at the start of the next full minute
// of local time.
class BaseListTimersMinute : public CountdownListTimers {
 public:
  // Reads the current time; a parameter so that tests can set the time.
  using WallClock = std::time_t (*)();
  static std::time_t SystemTime();
  // Milliseconds from now to the next full minute of local time.
  static int DelayToNextMinute(std::time_t now);

  explicit BaseListTimersMinute(WallClock clock = &SystemTime)
      : CountdownListTimers("BaseListTimersMinute"), m_Clock(clock) {}
  ~BaseListTimersMinute() override { ReleaseThreadOnDestroy(); }

  void Start(const std::string& name, bool log);

 private:
  WallClock m_Clock;
};

// Ticks once a second, the first tick at once.
class BaseListTimersSecond : public CountdownListTimers {
 public:
  BaseListTimersSecond() : CountdownListTimers("BaseListTimersSecond") {}
  ~BaseListTimersSecond() override { ReleaseThreadOnDestroy(); }

  void Start(const std::string& name, bool log);
};
