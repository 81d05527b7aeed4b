#include "BasePoolThread.h"

#include <gtest/gtest.h>

#include "ThreadTesting.h"

namespace {

using Member = BasePoolThread::Thread;

// A job that stays in its procedure until released.
struct BlockedJob : Probe {
  std::atomic<bool> released{false};
  BlockedJob() {
    action = [this] { WaitUntil([this] { return released.load(); }); };
  }
};

std::atomic<int> g_NullJobCalls{0};
bool CountCall(void*) { return ++g_NullJobCalls != 0; }

TEST(BasePoolThread, ReusesAMemberThatFinishedItsJob) {
  CapturedLog log;
  Probe job;
  BasePoolThread pool("P", true);
  Member* member = pool.StartProc("n", &CountCall, nullptr, 0, 0);  // a null argument: not run
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<std::string> lines = log.Lines();
    return !lines.empty() && EndsWith(lines.back(), "After wait exec  ended in pool P");
  }));
  ASSERT_TRUE(WaitUntil([&] { return EndsWith(member->Name(), "Before wait exec "); }));
  EXPECT_EQ(g_NullJobCalls, 0);
  EXPECT_EQ(pool.StartProc("a", &Probe::Call, &job, 0, 0), member);
  ASSERT_TRUE(WaitUntil(
      [&] { return job.returned == 1 && EndsWith(member->Name(), "Before wait exec "); }));
  const std::string pid = PidText(job.tid);
  EXPECT_TRUE(log.Contains("P - Start a(0,0)" + pid + "SetParamExec(a not new"));
  EXPECT_TRUE(log.Contains("P - Stop  a(0,0)" + pid + "Exec end  ended in pool P"));
}

TEST(BasePoolThread, RefusesARunningJobAndPrintsEveryMember) {
  CapturedLog log;
  Probe unknown;
  BlockedJob job, other;
  BasePoolThread pool("P", false);
  pool.PrintProc();
  pool.StopProc(&Probe::Call, &unknown);
  EXPECT_TRUE(log.Lines().empty());  // nothing to print or stop
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
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                             "P - again NOT added to pool P because there is already a thread " + busy,
                             "P - " + busy + "1 1",
                             "P - b(0,0)" + PidText(other.tid) + "Func begin 1 0"}));
  job.released = other.released = true;
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
  Probe periodic, late, caller;
  std::atomic<Member*> lateMember{nullptr};
  BasePoolThread pool("P", true);
  caller.action = [&] {
    // Stop has begun once it has broken the periodic job off.
    WaitUntil([&] {
      for (const std::string& line : log.Lines()) {
        if (line.rfind("P - Stop  p(0,5)", 0) == 0) return true;
      }
      return false;
    });
    lateMember = pool.StartProc("late", &Probe::Call, &late, 0, 0);
  };
  pool.StartProc("p", &Probe::Call, &periodic, 0, 5);
  pool.StartProc("c", &Probe::Call, &caller, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return periodic.calls >= 2 && caller.calls == 1; }));
  pool.Stop();
  EXPECT_EQ(caller.returned, 1);
  EXPECT_EQ(lateMember.load(), nullptr);
  EXPECT_EQ(late.calls, 0);
  EXPECT_TRUE(log.Contains("P - late NOT added to pool P because the pool is stopped"));
  EXPECT_EQ(pool.StartProc("after", &Probe::Call, &late, 0, 0), nullptr);
}

}  // namespace
