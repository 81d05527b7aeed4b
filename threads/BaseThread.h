// Worker thread: one procedure, called after a start delay and then at a
// fixed period, with break requests, a stop watch and log lines.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Runs a procedure bool (*)(void*) on a thread of its own: once after the
// start delay, then once per period (from the start of one call to the start
// of the next) until the procedure returns false, a break is requested, or no
// period is set. A null procedure counts as one that returns false.
//
// Start, Stop and the destructor are the owner's operations and come from one
// thread at a time; BreakExec may come from any thread.
//
// The object never lets a thread go while that thread can still touch it.
// Start on a running object and the destructor first end the thread they
// find: a thread waiting between calls is stopped ("forced stop"); a thread
// inside its procedure is disconnected ("forced disconnection"): a break is
// requested so that no further call follows, and the owner waits, without a
// time limit, for the procedure to return and the body to end. So two runs
// never share one object, and an object is never destroyed under its thread.
// A thread whose body has ended is joined, which takes no time.
//
// Called from the object's own procedure, Stop only requests the break (a
// thread cannot wait for its own end) and Start refuses to restart, with a
// log line; the destructor must not be called from there.
//
// Failures end the process abnormally after a log line: a thread the system
// refuses to create, and a Stop that does not see the thread end within 30
// seconds.
class BaseThread {
 public:
  using Procedure = bool (*)(void*);
  // Receives each log line of the library, without its line end.
  using LogSink = void (*)(const std::string& line);

  // Switches on the log of every thread, pool and timer list.
  static std::atomic<bool> s_IsAllLog;
  // Routes all log lines of the library to sink; null (the default) writes
  // them to standard output. The sink is called from many threads at once.
  static void SetLogSink(LogSink sink);

  // Lives on the stack of the thread body; when the body ends, however it
  // ends, it drops m_IsRun and then m_IsExec of its thread.
  class Borders {
   public:
    explicit Borders(BaseThread* thread) : m_Thread(thread) {}
    Borders(const Borders&) = delete;
    Borders& operator=(const Borders&) = delete;
    virtual ~Borders();

   private:
    BaseThread* m_Thread;
  };

  BaseThread() = default;
  BaseThread(const BaseThread&) = delete;
  BaseThread& operator=(const BaseThread&) = delete;
  virtual ~BaseThread();

  // Ends a thread still held (see above), stores the new settings and starts
  // a new thread. Returns once the new body has started, so that Name()
  // carries its kernel thread id from then on.
  void Start(const std::string& name, Procedure proc, void* param, int delay, int period, bool log);
  // Requests the break and waits until the body has ended. Nothing happens
  // without a thread.
  void Stop();
  // Requests the break without waiting: a wait in progress ends, a procedure
  // being called is not interrupted, and the body ends at its next wait.
  void BreakExec();
  // The body's wait: true when ms milliseconds passed on the wall clock
  // without a break, false at a break. A negative ms (the procedure overran
  // its period) is logged. With 0 or less the result comes at once: true,
  // unless a break is pending, so that a procedure overrunning its period
  // cannot keep Stop waiting.
  bool WaitBeforeExec(int ms);
  // The thread body.
  static void Proc(BaseThread* self);

  // name(delay,period), then " PID: ", the body's kernel thread id and a
  // space once the body has started.
  virtual std::string Name();
  // Writes Name(), " - " and the text as one log line.
  virtual void PutLog(const std::string& text);

  // True from Start until the body has ended.
  bool IsRun() const { return m_IsRun; }
  // True while the procedure is being called.
  bool IsExec() const { return m_IsExec; }
  // True when called on this object's own thread, that is by its procedure.
  bool IsOwnThread() const;

 protected:
  // The object's log flag or the global one.
  bool IsLog() const { return m_IsLog || s_IsAllLog; }
  bool IsBreak() const { return m_IsBreak; }
  const std::string& Pid() const { return m_Pid; }
  // What the destructor does with a thread still held, logged with this
  // class's own Name and PutLog. The body calls the virtual Name and PutLog,
  // which change while an object is destroyed, and a derived procedure may
  // use derived members; so every derived class whose objects may be
  // destroyed with a running thread calls this first in its destructor, and
  // the most-derived destructor is the one that ends the thread.
  void ReleaseThreadOnDestroy();

 private:
  // Ends a thread still held, logging the forced stop or disconnection with
  // where (the operation) in the text; with ownLog through this class's own
  // Name and PutLog.
  void ReleaseThread(const std::string& where, bool ownLog);
  // Polls every millisecond until the body has ended; with watch, gives up
  // after 30 seconds and ends the process.
  void WaitForEnd(bool watch);
  // Steps of the body after the guard and the kernel thread id are set up.
  void Run();

  Procedure m_Proc = nullptr;
  void* m_Param = nullptr;
  std::thread m_Thread;
  std::atomic<bool> m_IsRun{false};
  std::atomic<bool> m_IsExec{false};
  std::string m_Name;
  std::atomic<bool> m_IsBreak{false};
  int m_Delay = 0;
  int m_Period = 0;
  bool m_IsLog = false;
  std::mutex m_Mutex;
  std::condition_variable m_CondVar;
  std::string m_Pid;
};
