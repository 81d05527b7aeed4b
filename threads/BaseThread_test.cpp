#include "threads/BaseThread.h"

#include <gtest/gtest.h>

#include <memory>

#include "threads/test_helpers.h"

namespace {

using std::chrono::milliseconds;

std::string Line(const std::string& name, const std::string& text) { return name + " - " + text; }

TEST(BaseThread, LogsEveryEventOfARun) {
  // Runs end by themselves or in a long delay at BreakExec (stop 1) or Stop (stop 2); allLog: Init,
  // Start.
  struct Case {
    int delay, period, falseOn;
    bool log, allLog;
    int stop, calls;
  };
  const Case cases[] = {{0, 0, 0, true, false, 0, 1},    {0, 0, 1, true, false, 0, 1},
                        {0, 5, 3, true, false, 0, 3},    {0, 5, 3, false, false, 0, 3},
                        {0, 5, 3, false, true, 0, 3},    {60000, 0, 0, true, false, 1, 0},
                        {60000, 0, 0, true, false, 2, 0}};
  for (const Case& c : cases) {
    CapturedLog log;
    Probe probe;
    probe.falseOn = c.falseOn;
    BaseThread::s_IsAllLog = c.allLog;
    BaseThread thread;
    thread.Stop();  // without a thread: nothing happens
    thread.Start("t", &Probe::Call, &probe, c.delay, c.period, c.log);
    ASSERT_TRUE(c.stop == 0 ||
                WaitUntil([&] { return log.Lines().size() == 2; }));  // Init and Start are out
    if (c.stop == 1) thread.BreakExec();
    if (c.stop == 2) thread.Stop();
    ASSERT_TRUE(Ended(thread));
    BaseThread::s_IsAllLog = false;
    const std::string init = "t(" + std::to_string(c.delay) + "," + std::to_string(c.period) + ")";
    const std::string name = c.calls > 0 ? init + PidText(probe.tid) : thread.Name();
    std::vector<std::string> expected;
    if (c.log || c.allLog) {
      expected = {Line(init, "Init  " + init + " launching PID: " + std::to_string(KernelTid())),
                  Line(name, "Start " + name)};
    }
    for (int i = 0; c.log && i < c.calls; ++i) expected.push_back(Line(name, "Exec " + name));
    if (c.log && c.falseOn != 0) expected.push_back(Line(name, "Avto break " + name));
    if (c.stop == 2) expected.push_back(Line(name, "Stop " + name));
    if (c.log) expected.push_back(Line(name, "End " + name));
    EXPECT_EQ(log.Lines(), expected)
        << "period " << c.period << " log " << c.log << " stop " << c.stop;
    EXPECT_EQ(probe.calls, c.calls);
  }
}

// Time is bounded from below only: a busy machine may delay any call by any
// amount, so how soon a call comes is not asserted. After an overrun the
// order holds: the overrun is logged, then the next call begins.
TEST(BaseThread, CallsStartOnePeriodApartOrAtOnceAfterAnOverrun) {
  Probe steady, slow;
  steady.falseOn = 4;
  steady.sleepMs = 30;
  slow.falseOn = 2;
  slow.sleepMs = 150;
  BaseThread thread;
  const Probe::Clock::time_point start = Probe::Clock::now();
  thread.Start("t", &Probe::Call, &steady, 50, 100, false);
  ASSERT_TRUE(Ended(thread));
  ASSERT_EQ(steady.calls, 4);
  EXPECT_GE(steady.starts[0] - start, milliseconds(50));
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_GE(steady.starts[i] - steady.starts[i - 1], milliseconds(99)) << i;
  }
  CapturedLog log;  // from here: a loaded machine may have delayed a steady call past its period
  std::vector<size_t> loggedAtCall;
  slow.action = [&] { loggedAtCall.push_back(log.Lines().size()); };
  thread.Start("t", &Probe::Call, &slow, -7, 100, false);  // a negative delay is an overrun too
  ASSERT_TRUE(Ended(thread));
  EXPECT_EQ(slow.calls, 2);
  EXPECT_EQ(loggedAtCall, (std::vector<size_t>{1, 2}));
  const std::string name = "t(-7,100)" + PidText(slow.tid);
  const std::string head =
      Line(name, "Duration of procedure is longer than timer interval " + name);
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], head + " -7 100");
  ASSERT_EQ(lines[1].rfind(head + " -", 0), 0u) << lines[1];
  EXPECT_LE(std::stoi(lines[1].substr(head.size())), -50);
  EXPECT_TRUE(EndsWith(lines[1], " 100"));
}

TEST(BaseThread, RestartOrDestructionEndsTheThreadItFinds) {
  for (int i = 0; i < 4; ++i) {
    const bool inside = i & 1, destroy = i & 2;  // the thread found in its procedure or waiting
    CapturedLog log;
    Probe probe;
    std::atomic<bool> release{!inside};
    probe.action = [&] { WaitUntil([&] { return release.load(); }); };
    auto thread = std::make_unique<BaseThread>();
    thread->Start("old", &Probe::Call, &probe, 0, inside ? 1 : 60000, false);
    ASSERT_TRUE(WaitUntil([&] { return thread->IsExec() == inside && probe.calls == 1; }));
    const std::string name = thread->Name();
    const std::string head =
        Line(name, name + " - BaseThread::" + (destroy ? "~BaseThread: " : "Start: "));
    std::vector<std::string> expected{
        head + (inside ? "forced disconnection !!!" : "forced stop beginning")};
    if (!inside) expected.push_back(head + "forced stop ending");
    std::thread releaser([&] {
      WaitUntil([&] { return log.Contains(expected[0]); });
      release = true;
    });
    if (destroy) thread.reset();
    if (!destroy) thread->Start("new", &Probe::Call, &probe, 60000, 0, false);
    EXPECT_EQ(probe.returned, 1);  // the owner went on only after the procedure returned
    releaser.join();
    std::vector<std::string> lines = log.Lines();
    lines.resize(std::min(lines.size(), expected.size()));  // an overrun line may follow
    EXPECT_EQ(lines, expected) << "inside " << inside << " destroy " << destroy;
    EXPECT_EQ(probe.calls, 1);  // the old run made no further call, though it overran
  }
}

TEST(BaseThread, OwnProcedureCanStopButNotRestartItsThread) {
  CapturedLog log;
  Probe stopper, restarter;
  BaseThread thread;
  stopper.sleepMs = 5;  // overruns its period, so only the break can end the run
  stopper.action = [&] { thread.Stop(); };
  thread.Start("t", &Probe::Call, &stopper, 0, 1, false);
  ASSERT_TRUE(Ended(thread));
  EXPECT_EQ(stopper.calls, 1);
  restarter.falseOn = 2;
  restarter.action = [&] { thread.Start("other", &Probe::Call, &restarter, 0, 0, true); };
  thread.Start("t", &Probe::Call, &restarter, 0, 1, false);
  ASSERT_TRUE(Ended(thread));
  EXPECT_EQ(restarter.calls, 2);
  const std::string name = "t(0,1)" + PidText(restarter.tid);
  EXPECT_TRUE(log.Contains(
      Line(name, name + " - BaseThread::Start: called from its own procedure, not restarted")));
}

}  // namespace
