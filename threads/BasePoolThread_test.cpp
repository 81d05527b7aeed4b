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
bool CountCall(void*) {
  ++g_NullJobCalls;
  return true;
}

TEST(BasePoolThread, ReusesAMemberThatFinishedItsJob) {
  CapturedLog log;
  Probe first, second;
  BasePoolThread pool("P", true);
  Member* member = pool.StartProc("a", &Probe::Call, &first, 0, 0);
  ASSERT_TRUE(WaitUntil(
      [&] { return first.returned == 1 && EndsWith(member->Name(), "Before wait exec "); }));
  const std::string pid = PidText(first.tid);
  EXPECT_TRUE(log.Contains("P - Stop  a(0,0)" + pid + "Exec end  ended in pool P"));
  EXPECT_EQ(pool.StartProc("b", &Probe::Call, &second, 0, 0), member);
  EXPECT_TRUE(log.Contains("P - Start b(0,0)" + pid + "SetParamExec(b not new"));
  ASSERT_TRUE(WaitUntil([&] { return second.returned == 1; }));
  EXPECT_EQ(second.tid, first.tid);
}

TEST(BasePoolThread, JobWithANullArgumentIsNotRun) {
  CapturedLog log;
  Probe next;
  BasePoolThread pool("P", true);
  Member* member = pool.StartProc("n", &CountCall, nullptr, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<std::string> lines = log.Lines();
    return !lines.empty() && EndsWith(lines.back(), "After wait exec  ended in pool P");
  }));
  ASSERT_TRUE(WaitUntil([&] { return EndsWith(member->Name(), "Before wait exec "); }));
  EXPECT_EQ(g_NullJobCalls, 0);
  EXPECT_EQ(pool.StartProc("p", &Probe::Call, &next, 0, 0), member);
}

TEST(BasePoolThread, RefusesAJobThatIsAlreadyRunning) {
  CapturedLog log;
  BlockedJob job, other;
  BasePoolThread pool("P", false);
  Member* member = pool.StartProc("a", &Probe::Call, &job, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return job.calls == 1; }));
  EXPECT_EQ(pool.StartProc("again", &Probe::Call, &job, 0, 0), member);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{
                             "P - again NOT added to pool P because there is already a thread a(0,0)" +
                             PidText(job.tid) + "Func begin "});
  Member* second = pool.StartProc("b", &Probe::Call, &other, 0, 0);
  EXPECT_NE(second, member);  // every member was busy
  job.released = other.released = true;
}

TEST(BasePoolThread, MemberStateFollowsTheJob) {
  struct Case {
    int delay, period;
    bool blocked;
    const char* state;
  };
  const Case cases[] = {{60000, 0, false, "Exec begin "},
                        {0, 0, true, "Func begin "},
                        {0, 60000, false, "Func TRUE end "}};
  for (const Case& c : cases) {
    BlockedJob job;
    job.released = !c.blocked;
    BasePoolThread pool("P", false);
    Member* member = pool.StartProc("s", &Probe::Call, &job, c.delay, c.period);
    EXPECT_TRUE(WaitUntil([&] { return EndsWith(member->Name(), c.state); })) << member->Name();
    job.released = true;
  }
}

TEST(BasePoolThread, FindsAndBreaksOffARunningJob) {
  for (bool viaStopProc : {false, true}) {
    Probe job;  // periodic, never returns false
    BasePoolThread pool("P", false);
    Member* member = pool.StartProc("j", &Probe::Call, &job, 0, 5);
    ASSERT_TRUE(WaitUntil([&] { return job.calls >= 2; }));
    std::string name;
    EXPECT_EQ(pool.IsStartProc(&Probe::Call, &job, name, false), member);
    EXPECT_EQ(name.rfind("j(0,5)" + PidText(job.tid), 0), 0u) << name;
    if (viaStopProc) {
      pool.StopProc(&Probe::Call, &job);
      EXPECT_EQ(pool.IsStartProc(&Probe::Call, &job, name, false), nullptr);
      EXPECT_EQ(name, "");
    } else {
      pool.IsStartProc(&Probe::Call, &job, name, true);
    }
    ASSERT_TRUE(WaitUntil([&] { return EndsWith(member->Name(), "Before wait exec "); }));
    const int calls = job.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(job.calls, calls);
  }
}

TEST(BasePoolThread, PrintProcShowsWorkAndBreakOfEveryMember) {
  CapturedLog log;
  Probe unknown;
  BlockedJob job;
  BasePoolThread pool("P", false);
  pool.PrintProc();
  pool.StopProc(&Probe::Call, &unknown);
  EXPECT_TRUE(log.Lines().empty());
  pool.StartProc("j", &Probe::Call, &job, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return job.calls == 1; }));
  pool.PrintProc();
  std::string name;
  pool.IsStartProc(&Probe::Call, &job, name, true);
  pool.PrintProc();
  const std::string member = "P - j(0,0)" + PidText(job.tid) + "Func begin ";
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{member + "1 0", member + "1 1"}));
  job.released = true;
}

TEST(BasePoolThread, OverrunOfAJobIsLoggedByThePool) {
  CapturedLog log;
  Probe job;
  BasePoolThread pool("P", false);
  job.sleepMs = 30;
  job.falseOn = 2;
  Member* member = pool.StartProc("j", &Probe::Call, &job, 0, 10);
  ASSERT_TRUE(WaitUntil(
      [&] { return job.returned == 2 && EndsWith(member->Name(), "Before wait exec "); }));
  const std::string head = "P - Duration of procedure is longer than timer interval j(0,10)" +
                           PidText(job.tid) + "Func TRUE end  -";
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(head, 0), 0u) << lines[0];
  EXPECT_TRUE(EndsWith(lines[0], " 10")) << lines[0];
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
  const size_t lines = log.Lines().size();
  pool.PrintProc();
  EXPECT_EQ(log.Lines().size(), lines);  // no members left
}

}  // namespace
