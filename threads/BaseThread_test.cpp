#include "BaseThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ThreadTesting.h"

namespace {

using std::chrono::milliseconds;
using Clock = Probe::Clock;

std::string Line(const std::string& name, const std::string& text) { return name + " - " + text; }

TEST(BaseThread, LogsEveryEventOfARun) {
  struct Case {
    int period, falseOn;
    bool log, allLog;
    int calls;
  };
  const Case cases[] = {{0, 0, true, false, 1},
                        {0, 1, true, false, 1},
                        {5, 3, true, false, 3},
                        {5, 3, false, true, 3},  // the global flag reaches Init and Start only
                        {5, 3, false, false, 3}};
  for (const Case& c : cases) {
    CapturedLog log;
    Probe probe;
    probe.falseOn = c.falseOn;
    BaseThread::s_IsAllLog = c.allLog;
    {
      BaseThread thread;
      thread.Start("t", &Probe::Call, &probe, 0, c.period, c.log);
      ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
    }
    BaseThread::s_IsAllLog = false;
    const std::string init = "t(0," + std::to_string(c.period) + ")";
    const std::string name = init + PidText(probe.tid);
    std::vector<std::string> expected;
    if (c.log || c.allLog) {
      expected.push_back(
          Line(init, "Init  " + init + " launching PID: " + std::to_string(KernelTid())));
      expected.push_back(Line(name, "Start " + name));
    }
    for (int i = 0; c.log && i < c.calls; ++i) expected.push_back(Line(name, "Exec " + name));
    if (c.log && c.falseOn != 0) expected.push_back(Line(name, "Avto break " + name));
    if (c.log) expected.push_back(Line(name, "End " + name));
    EXPECT_EQ(log.Lines(), expected) << "period " << c.period << " log " << c.log;
    EXPECT_EQ(probe.calls, c.calls);
  }
}

TEST(BaseThread, NameCarriesTheKernelThreadIdOfTheBody) {
  Probe probe;
  BaseThread thread;
  EXPECT_EQ(thread.Name(), "(0,0)");
  thread.Start("poll", &Probe::Call, &probe, 0, 60000, false);
  ASSERT_TRUE(WaitUntil([&] { return probe.calls == 1; }));
  EXPECT_NE(probe.tid, KernelTid());
  EXPECT_EQ(thread.Name(), "poll(0,60000)" + PidText(probe.tid));
}

TEST(BaseThread, CallsStartOnePeriodApartAfterTheDelay) {
  Probe probe;
  probe.falseOn = 4;
  probe.sleepMs = 30;
  const Clock::time_point start = Clock::now();
  BaseThread thread;
  thread.Start("t", &Probe::Call, &probe, 50, 100, false);
  ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
  ASSERT_EQ(probe.calls, 4);
  EXPECT_GE(probe.starts[0] - start, milliseconds(50));
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_GE(probe.Gap(i), milliseconds(99)) << i;
    EXPECT_LT(probe.Gap(i), milliseconds(300)) << i;
  }
}

TEST(BaseThread, LogsAnOverrunAndCallsAgainAtOnce) {
  {
    // A negative delay counts as an overrun of the first wait.
    CapturedLog log;
    Probe probe;
    BaseThread thread;
    thread.Start("t", &Probe::Call, &probe, -7, 0, false);
    ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
    const std::string name = "t(-7,0)" + PidText(probe.tid);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{Line(
                               name, "Duration of procedure is longer than timer interval " +
                                         name + " -7 0")});
    EXPECT_EQ(probe.calls, 1);
  }
  CapturedLog log;
  Probe probe;
  probe.sleepMs = 150;
  probe.falseOn = 2;
  BaseThread thread;
  thread.Start("t", &Probe::Call, &probe, 0, 100, false);
  ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
  const std::string name = "t(0,100)" + PidText(probe.tid);
  const std::string head =
      Line(name, "Duration of procedure is longer than timer interval " + name + " ");
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].compare(0, head.size(), head), 0) << lines[0];
  ASSERT_EQ(lines[0].substr(lines[0].size() - 4), " 100");
  EXPECT_LE(std::stoi(lines[0].substr(head.size())), -50);
  EXPECT_LT(probe.Gap(1), milliseconds(230));  // not another 100 ms on top of the 150
}

TEST(BaseThread, BreakDuringTheDelayEndsTheRunWithoutACall) {
  for (bool viaStop : {false, true}) {
    CapturedLog log;
    Probe probe;
    BaseThread thread;
    thread.Start("t", &Probe::Call, &probe, 60000, 0, true);
    const std::string name = thread.Name();
    if (viaStop) thread.Stop();
    if (!viaStop) thread.BreakExec();
    ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
    EXPECT_EQ(probe.calls, 0);
    std::vector<std::string> expected = {Line(name, "Start " + name), Line(name, "End " + name)};
    if (viaStop) expected.push_back(Line(name, "Stop " + name));
    std::vector<std::string> lines = log.Lines();
    lines.erase(lines.begin());  // Init
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected) << "via Stop " << viaStop;
  }
}

TEST(BaseThread, StopWithoutAThreadDoesNothing) {
  CapturedLog log;
  Probe probe;
  BaseThread thread;
  thread.Stop();
  EXPECT_TRUE(log.Lines().empty());
  thread.Start("t", &Probe::Call, &probe, 0, 60000, false);
  thread.Stop();
  thread.Stop();
  EXPECT_FALSE(thread.IsRun());
  EXPECT_TRUE(log.Lines().empty());
}

TEST(BaseThread, RestartOrDestructionStopsAWaitingThread) {
  for (bool destroy : {false, true}) {
    CapturedLog log;
    Probe probe;
    auto thread = std::make_unique<BaseThread>();
    thread->Start("old", &Probe::Call, &probe, 0, 60000, false);
    ASSERT_TRUE(WaitUntil([&] { return probe.returned == 1 && !thread->IsExec(); }));
    const std::string name = thread->Name();
    const std::string where = destroy ? "BaseThread::~BaseThread" : "BaseThread::Start";
    if (destroy) thread.reset();
    if (!destroy) thread->Start("new", &Probe::Call, &probe, 60000, 0, false);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                               Line(name, name + " - " + where + ": forced stop beginning"),
                               Line(name, name + " - " + where + ": forced stop ending")}));
    EXPECT_EQ(probe.calls, 1);
    EXPECT_TRUE(destroy || thread->Name().rfind("new(60000,0) PID: ", 0) == 0);
  }
}

TEST(BaseThread, ThreadInsideItsProcedureIsWaitedForBeforeRestartOrDestruction) {
  for (bool destroy : {false, true}) {
    CapturedLog log;
    Probe probe;
    std::atomic<bool> release{false};
    probe.action = [&] { WaitUntil([&] { return release.load(); }); };
    auto thread = std::make_unique<BaseThread>();
    thread->Start("old", &Probe::Call, &probe, 0, 1, false);
    ASSERT_TRUE(WaitUntil([&] { return thread->IsExec(); }));
    const std::string name = thread->Name();
    const std::string where = destroy ? "BaseThread::~BaseThread" : "BaseThread::Start";
    const std::string line = Line(name, name + " - " + where + ": forced disconnection !!!");
    std::thread releaser([&] {
      WaitUntil([&] { return log.Contains(line); });
      release = true;
    });
    if (destroy) thread.reset();
    if (!destroy) thread->Start("new", &Probe::Call, &probe, 60000, 0, false);
    EXPECT_EQ(probe.returned, 1);  // the owner went on only after the procedure returned
    releaser.join();
    EXPECT_EQ(log.Lines().at(0), line);
    EXPECT_EQ(probe.calls, 1);  // and the old run, overrunning its period, made no further call
  }
}

TEST(BaseThread, OwnProcedureCanStopButNotRestartItsThread) {
  CapturedLog log;
  Probe stopper, restarter;
  BaseThread thread;
  stopper.sleepMs = 5;  // overruns its period, so only the break can end the run
  stopper.action = [&] { thread.Stop(); };
  thread.Start("t", &Probe::Call, &stopper, 0, 1, false);
  ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
  EXPECT_EQ(stopper.calls, 1);

  restarter.falseOn = 2;
  restarter.action = [&] { thread.Start("other", &Probe::Call, &restarter, 0, 0, true); };
  thread.Start("t", &Probe::Call, &restarter, 0, 1, false);
  ASSERT_TRUE(WaitUntil([&] { return !thread.IsRun(); }));
  EXPECT_EQ(restarter.calls, 2);
  const std::string name = "t(0,1)" + PidText(restarter.tid);
  EXPECT_TRUE(log.Contains(
      Line(name, name + " - BaseThread::Start: called from its own procedure, not restarted")));
  EXPECT_EQ(thread.Name(), name);
}

}  // namespace
