// Thread pool: reusable worker threads that run jobs identified by their
// procedure and argument.
#pragma once

#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <string>

#include "threads/BaseThread.h"

// Keeps a list of member threads and hands jobs to them. A job is a procedure
// with its argument, a delay and a period, run like a BaseThread procedure;
// the pair of procedure and argument identifies it. A member that finished
// its job waits idle for the next; a new member is made only when every
// member is busy. A job whose procedure or argument is null is never run.
//
// The pool's mutex is taken through Lock with a reason; one not obtained
// within 30 seconds ends the process, as does a job that does not end within
// 30 seconds of StopProc.
//
// Stop ends the pool for good: it breaks every running job off at its next
// wait (a call in progress is not interrupted), waits for the jobs to return,
// ends the members and destroys them. The pool's mutex is not held while
// Stop waits, so jobs may call the pool meanwhile; StartProc then and later
// refuses with a log line and returns null. A job that calls Stop itself
// keeps its member until the destructor, since it cannot wait for itself.
// Pointers to members are valid until Stop or the destructor.
class BasePoolThread {
 public:
  using Procedure = BaseThread::Procedure;

  // One member of the pool. Its base thread runs PoolThreadProc, which waits
  // idle for a job and runs it. Only the pool makes and destroys members.
  class Thread : public BaseThread {
   public:
    // procname(delay,period), the base's PID text, the state and a space.
    std::string Name() override;
    // Hands the text to the pool's PutLog.
    void PutLog(const std::string& text) override;
    // Under m_WorkMutex, marks a job as assigned and wakes the member; waits
    // for a running job, since the member holds that mutex while it runs one.
    void Notify();
    // Breaks the job off at its next wait.
    void BreakPoolExec();

   private:
    friend class BasePoolThread;
    explicit Thread(BasePoolThread* pool) : m_Pool(pool) {}
    ~Thread() override = default;
    // Runs the assigned job: the delay, then calls once per period until the
    // procedure returns false, the job is broken off or no period is set.
    void Exec();
    // As BaseThread::WaitBeforeExec, with the job's break request.
    bool WaitBeforePoolExec(int ms);
    // Stores a job; the member must be idle and the pool locked.
    void SetJob(const std::string& name, Procedure proc, void* param, int delay, int period);
    void SetState(const std::string& state);

    BasePoolThread* m_Pool;
    std::atomic<bool> m_IsWork{false};
    std::mutex m_WorkMutex;
    std::condition_variable m_WorkCond;
    std::atomic<Procedure> m_PoolProc{nullptr};
    std::atomic<void*> m_PoolParam{nullptr};
    std::string m_ProcName = "constructor";
    // What the member is doing; guarded by m_StateMutex, since the member
    // changes it while others read Name().
    std::string m_State = "constructor";
    int m_PoolDelay = 0;
    int m_PoolPeriod = 0;
    std::atomic<bool> m_IsPoolBreak{false};
    std::mutex m_PoolMutex;
    std::condition_variable m_PoolCond;
    std::mutex m_StateMutex;
  };

  // An empty running pool; name starts every log line.
  BasePoolThread(const std::string& name, bool log);
  BasePoolThread(const BasePoolThread&) = delete;
  BasePoolThread& operator=(const BasePoolThread&) = delete;
  // Writes m_Name, " - " and the text as one log line.
  virtual void PutLog(const std::string& text);
  // Stops the pool.
  virtual ~BasePoolThread();

  // Starts the job on the first idle member or a new one and returns that
  // member. A job already running is not started again: the member running it
  // is returned and "NOT added to pool" is logged. Null after Stop.
  Thread* StartProc(const std::string& name, Procedure proc, void* param, int delay, int period);
  // The member running the job, or null; name receives the Name() of the
  // member found with the pair, else is emptied. An idle member still holding
  // the pair lets go of it. With breakJob, a running job is broken off.
  Thread* IsStartProc(Procedure proc, void* param, std::string& name, bool breakJob);
  // Breaks the job off and waits until its member is idle. Called by the job
  // itself, it only breaks the job off.
  void StopProc(Procedure proc, void* param);
  // Ends every member and empties the pool (see above).
  void Stop();
  // Logs one line per member: its Name(), then m_IsWork and m_IsPoolBreak.
  void PrintProc();
  void Lock(const std::string& reason);
  void Unlock();

  // The body of every member; always true.
  static bool PoolThreadProc(void* member);

 private:
  bool IsLog() const { return m_IsLog || BaseThread::s_IsAllLog; }
  // The first member holding the pair, or null; the pool must be locked.
  Thread* FindJob(Procedure proc, void* param) const;
  // The member found with the pair when it is busy; an idle one lets go of
  // the pair. The pool must be locked.
  Thread* FindRunningJob(Procedure proc, void* param, std::string& name) const;
  void SetAction(const std::string& reason);

  const std::string m_Name;
  const bool m_IsLog;
  std::list<Thread*> m_Threads;
  std::timed_mutex m_Mutex;
  // Reason of the holder of m_Mutex; guarded by m_ActionMutex, as a Lock
  // that times out reads it without holding m_Mutex.
  std::string m_Action;
  std::mutex m_ActionMutex;
  std::atomic<bool> m_IsRun{true};
};
