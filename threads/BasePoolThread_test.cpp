#include "threads/BasePoolThread.h"

#include <gtest/gtest.h>

#include "threads/test_helpers.h"

namespace {

using Member = BasePoolThread::Thread;

std::atomic<int> g_NullJobCalls{0};
bool CountCall(void*) { return ++g_NullJobCalls != 0; }

TEST(BasePoolThread, ReusesAMemberThatFinishedItsJob) {
  CapturedLog log;
  Probe job;
  BasePoolThread pool("P", true);
  Member* member = pool.StartProc("a", &Probe::Call, &job, 0, 0);
  ASSERT_TRUE(WaitUntil(
      [&] { return job.returned == 1 && EndsWith(member->Name(), "Before wait exec "); }));
  const std::string pid = PidText(job.tid);
  EXPECT_TRUE(log.Contains("P - Stop  a(0,0)" + pid + "Exec end  ended in pool P"));
  EXPECT_EQ(pool.StartProc("n", &CountCall, nullptr, 0, 0), member);  // a null argument: not run
  EXPECT_TRUE(log.Contains("P - Start n(0,0)" + pid + "SetParamExec(n not new"));
  const std::string idle = "P - Stop  n(0,0)" + pid + "After wait exec  ended in pool P";
  EXPECT_TRUE(WaitUntil([&] { return log.Contains(idle); }));
  EXPECT_EQ(g_NullJobCalls, 0);
}

TEST(BasePoolThread, RefusesARunningJobAndPrintsEveryMember) {
  CapturedLog log;
  Probe job, other;
  std::atomic<bool> released{false};
  job.action = other.action = [&] { WaitUntil([&] { return released.load(); }); };
  BasePoolThread pool("P", false);
  pool.PrintProc();
  pool.StopProc(&Probe::Call, &job);  // nothing to print or stop: no log line
  Member* member = pool.StartProc("a", &Probe::Call, &job, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return job.calls == 1; }));
  EXPECT_EQ(pool.StartProc("again", &Probe::Call, &job, 0, 0), member);
  EXPECT_NE(pool.StartProc("b", &Probe::Call, &other, 0, 0), member);  // every member was busy
  ASSERT_TRUE(WaitUntil([&] { return other.calls == 1; }));
  std::string name;
  EXPECT_EQ(pool.IsStartProc(&Probe::Call, &job, name, true), member);
  pool.PrintProc();
  const std::string busy = "a(0,0)" + PidText(job.tid) + "Func begin ";
  EXPECT_EQ(name, busy);
  EXPECT_EQ(log.Lines(),
            (std::vector<std::string>{
                "P - again NOT added to pool P because there is already a thread " + busy,
                "P - " + busy + "1 1", "P - b(0,0)" + PidText(other.tid) + "Func begin 1 0"}));
  released = true;
}

TEST(BasePoolThread, BreaksOffAJobWaitingForItsNextCall) {
  for (bool viaStopProc : {false, true}) {
    Probe job;
    BasePoolThread pool("P", false);
    Member* member = pool.StartProc("j", &Probe::Call, &job, 0, 60000);
    ASSERT_TRUE(WaitUntil([&] { return EndsWith(member->Name(), "Func TRUE end "); }));
    std::string name;
    EXPECT_EQ(pool.IsStartProc(&Probe::Call, &job, name, false), member);
    EXPECT_EQ(name, "j(0,60000)" + PidText(job.tid) + "Func TRUE end ");
    if (viaStopProc) pool.StopProc(&Probe::Call, &job);
    if (!viaStopProc) pool.IsStartProc(&Probe::Call, &job, name, true);
    EXPECT_TRUE(!viaStopProc || pool.IsStartProc(&Probe::Call, &job, name, false) == nullptr);
    EXPECT_TRUE(WaitUntil([&] { return EndsWith(member->Name(), "Before wait exec "); }));
    EXPECT_EQ(job.calls, 1);
  }
}

TEST(BasePoolThread, StopBreaksRunningJobsAndLetsThemUseThePool) {
  CapturedLog log;
  Probe ticker, late, caller;
  std::atomic<Member*> lateMember{nullptr};
  BasePoolThread pool("P", true);
  caller.action = [&] {  // Stop has begun once it has broken the ticking job off
    WaitUntil([&] {
      return log.Contains("P - Stop  p(0,5)" + PidText(ticker.tid) + "Exec end  ended in pool P");
    });
    lateMember = pool.StartProc("late", &Probe::Call, &late, 0, 0);
  };
  pool.StartProc("p", &Probe::Call, &ticker, 0, 5);
  pool.StartProc("c", &Probe::Call, &caller, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return ticker.calls >= 2 && caller.calls == 1; }));
  pool.Stop();
  EXPECT_EQ(caller.returned, 1);
  EXPECT_EQ(lateMember.load(), nullptr);
  EXPECT_EQ(late.calls, 0);
  EXPECT_TRUE(log.Contains("P - late NOT added to pool P because the pool is stopped"));
  EXPECT_EQ(pool.StartProc("after", &Probe::Call, &late, 0, 0), nullptr);
}

}  // namespace
